#include "products/sarvel/RangeProductHandles.h"

#include "products/sarvel/ParvoWidgetSetting.h"
#include "products/sarvel/RangeParameterProtocol.h"
#include "products/sarvel/RangeSensorTables.h"
#include "products/sarvel/SarvelProtocolFrame0.h"
#include "products/sarvel/SarvelWidgetSetting.h"
#include "protocol/ProductRegistration.h"
#include "protocol/ProtocolFactory.h"

#include <QAction>

namespace Sarvel {

RangeProductHandle::RangeProductHandle(int productType, const QString& key, const QString& displayName,
                                       QObject* parent)
    : ProductHandleBase(productType, parent)
{
    name_ = key;
    modelNames_.clear();
    modelNames_.insert(0, displayName);
}

RangeProductHandle::~RangeProductHandle()
{
    // The window has no parent: the handle owns it and deletes it before the base.
    delete window_;
    window_ = nullptr;
}

void RangeProductHandle::adoptWindow(RangeSettingWindow* window)
{
    window_ = window;
    addWidgetToHide(window);
    if (!window->windowAction()) {
        auto* action = new QAction(window->windowIcon(), window->windowTitle(), window);
        window->setWindowAction(action);
        connect(action, &QAction::triggered, window, [window] {
            const QPoint position = window->pos();
            window->showNormal();
            window->show();
            window->raise();
            window->activateWindow();
            window->move(position);
        });
    }
    addToolBarAction(window->windowAction());
    setActive(false);
}

QAction* RangeProductHandle::settingAction() const
{
    return window_ ? window_->windowAction() : nullptr;
}

QString RangeProductHandle::handleProductRecognized()
{
    return window_ ? window_->readParameter() : QString();
}

ProductHandle::ProductHandle(int productType, const QString& key, const QString& displayName, QObject* parent)
    : RangeProductHandle(productType, key, displayName, parent)
{
    ProtocolParameter::instance(this);
    adoptWindow(new WidgetSetting(productType));
}

WidgetSetting* ProductHandle::widgetSetting() const
{
    return static_cast<WidgetSetting*>(settingWindow());
}

void registerRangeSensors()
{
    using ProductRegistration::ProductLine;
    ProductRegistration::registerLine(
        ProductLine::Sarvel, [](int type, const QString& key, const QString& name, QObject* parent) {
            return static_cast<ProductHandleBase*>(new ProductHandle(type, key, name, parent));
        });
    ProductRegistration::registerLine(
        ProductLine::Parvo, [](int type, const QString& key, const QString& name, QObject* parent) {
            return static_cast<ProductHandleBase*>(new Parvo::ProductHandle(type, key, name, parent));
        });
    ProtocolFactory::registerProtocol(frameName(0), [](QObject* parent) -> ProtocolBase* {
        return ProtocolFrame0::instance(parent);
    });
}

} // namespace Sarvel

namespace Parvo {

ProductHandle::ProductHandle(int productType, const QString& key, const QString& displayName, QObject* parent)
    : RangeProductHandle(productType, key, displayName, parent)
{
    ProtocolParameter::instance(this);
    adoptWindow(new WidgetSetting());
}

WidgetSetting* ProductHandle::widgetSetting() const
{
    return static_cast<WidgetSetting*>(settingWindow());
}

} // namespace Parvo
