#include "products/trelvan/TrelvanRegistration.h"

#include "products/trelvan/calibration/AoaProductHandle.h"
#include "products/trelvan/config/TrelvanProductHandle.h"
#include "products/trelvan/protocols/NodeLabel.h"
#include "products/trelvan/protocols/ProtocolAnchorFrame0.h"
#include "products/trelvan/protocols/ProtocolAoaNodeFrame0.h"
#include "products/trelvan/protocols/ProtocolErrorFrame0.h"
#include "products/trelvan/protocols/ProtocolNodeFrame0.h"
#include "products/trelvan/protocols/ProtocolNodeFrame1.h"
#include "products/trelvan/protocols/ProtocolNodeFrame2.h"
#include "products/trelvan/protocols/ProtocolNodeFrame3.h"
#include "products/trelvan/protocols/ProtocolNodeFrame4.h"
#include "products/trelvan/protocols/ProtocolNodeFrame5.h"
#include "products/trelvan/protocols/ProtocolNodeFrame7.h"
#include "products/trelvan/protocols/ProtocolTagFrame0.h"
#include "products/trelvan/tools/ProtocolNmea0183.h"
#include "protocol/ProductRegistration.h"

namespace Trelvan {

void registerProtocols()
{
    installNodeLabel();
    // Each frame protocol of the line registers its creator here.
    ProtocolNodeFrame2::registerProtocol();
    ProtocolAnchorFrame0::registerProtocol();
    ProtocolNodeFrame0::registerProtocol();
    ProtocolErrorFrame0::registerProtocol();
    ProtocolTagFrame0::registerProtocol();
    ProtocolNodeFrame1::registerProtocol();
    ProtocolNodeFrame3::registerProtocol();
    ProtocolNodeFrame4::registerProtocol();
    ProtocolNodeFrame5::registerProtocol();
    ProtocolNodeFrame7::registerProtocol();
    ProtocolAoaNodeFrame0::registerProtocol();
    registerSentenceProtocols();
    // The handle of the positioning nodes, made on their first recognition.
    ProductRegistration::registerLine(ProductRegistration::ProductLine::Trelvan,
                                      [](int, const QString&, const QString&, QObject* parent) -> ProductHandleBase* {
                                          return ProductHandle::instance(parent);
                                      });
    // The AOA models (type 0, model 15 or 16) have a handle of their own.
    ProductRegistration::registerLine(ProductRegistration::ProductLine::TrelvanAoa,
                                      [](int, const QString&, const QString&, QObject* parent) -> ProductHandleBase* {
                                          return AoaProductHandle::instance(parent);
                                      });
}

} // namespace Trelvan
