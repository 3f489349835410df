#include "products/uwbana/UwbAnaProductHandle.h"

#include "products/uwbana/UwbAnaProtocols.h"
#include "products/uwbana/UwbAnaTables.h"
#include "products/uwbana/UwbAnaWidgetData.h"
#include "protocol/ProductRegistration.h"
#include "protocol/ProtocolFactory.h"

namespace UwbAna {

ProductHandle::ProductHandle(int productType, const QString& name, const QString& displayName, QObject* parent)
    : ProductHandleBase(productType, parent)
{
    name_ = name;
    modelNames_.clear();
    modelNames_.insert(0, displayName);
    ProtocolParameter::instance(this);
    setActive(false);
}

QString ProductHandle::handleProductRecognized()
{
    ProtocolFactory::loadProtocols(textOf(frameNames, 3), nullptr);
    WidgetData* page = WidgetData::existing();
    return page ? page->readParameter() : QString();
}

void registerAnalyser()
{
    ProtocolFactory::registerProtocol(textOf(frameNames, 2), [](QObject* parent) -> ProtocolBase* {
        return ProtocolParameter::instance(parent);
    });
    ProtocolFactory::registerProtocol(textOf(frameNames, 0), [](QObject* parent) -> ProtocolBase* {
        return ProtocolFrame0::instance(parent);
    });
    ProtocolFactory::registerProtocol(textOf(frameNames, 1), [](QObject* parent) -> ProtocolBase* {
        return ProtocolFrame1::instance(parent);
    });
    ProtocolFactory::registerGroupSetUp(textOf(frameNames, 3),
                                        [] { registerDataView(ProtocolParameter::instance()); });
    ProductRegistration::registerLine(ProductRegistration::ProductLine::UwbAna,
                                      [](int type, const QString& key, const QString& name, QObject* parent) {
                                          return static_cast<ProductHandleBase*>(
                                              new ProductHandle(type, key, name, parent));
                                      });
}

} // namespace UwbAna
