#include "products/trelvan/TrelvanRegistration.h"

#include "products/trelvan/config/TrelvanProductHandle.h"
#include "products/trelvan/protocols/NodeLabel.h"
#include "products/trelvan/protocols/ProtocolAnchorFrame0.h"
#include "products/trelvan/protocols/ProtocolNodeFrame2.h"
#include "protocol/ProductRegistration.h"

namespace Trelvan {

void registerProtocols()
{
    installNodeLabel();
    // Each frame protocol of the line registers its creator here.
    ProtocolNodeFrame2::registerProtocol();
    ProtocolAnchorFrame0::registerProtocol();
    // The handle of the positioning nodes, made on their first recognition.
    ProductRegistration::registerLine(ProductRegistration::ProductLine::Trelvan,
                                      [](int, const QString&, const QString&, QObject* parent) -> ProductHandleBase* {
                                          return ProductHandle::instance(parent);
                                      });
}

} // namespace Trelvan
