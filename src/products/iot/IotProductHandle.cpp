#include "products/iot/IotProductHandle.h"

#include "products/iot/IotProtocolFrame0.h"
#include "protocol/ProductRegistration.h"
#include "protocol/ProtocolFactory.h"

#include <QPointer>

namespace iot {

namespace {
QPointer<ProductHandle> g_handle;
}

ProductHandle* ProductHandle::instance(QObject* parent)
{
    if (!g_handle)
        g_handle = new ProductHandle(parent);
    return g_handle.data();
}

ProductHandle* ProductHandle::existing()
{
    return g_handle.data();
}

ProductHandle::ProductHandle(QObject* parent)
    : ProductHandleBase(kProductType, parent)
{
    name_ = QStringLiteral("iot");
    modelNames_.insert(0, QStringLiteral("IOT"));
    setActive(false);
}

ProductHandle::~ProductHandle() = default;

QString ProductHandle::handleProductRecognized()
{
    ProtocolFactory::loadProtocols(frameName(0), nullptr);
    return QString();
}

void registerIotLine()
{
    ProductRegistration::registerLine(ProductRegistration::ProductLine::Iot,
                                      [](int, const QString&, const QString&, QObject* parent) {
                                          return static_cast<ProductHandleBase*>(ProductHandle::instance(parent));
                                      });
    ProtocolFactory::registerProtocol(frameName(0), [](QObject* parent) -> ProtocolBase* {
        return ProtocolFrame0::instance(parent);
    });
}

} // namespace iot
