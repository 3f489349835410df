#include "products/trelvan/calibration/AoaProductHandle.h"

#include "products/trelvan/calibration/AoaWidgetSetting.h"
#include "products/trelvan/config/TrelvanProductHandle.h"
#include "products/trelvan/protocols/AoaProtocolParameter.h"
#include "products/trelvan/protocols/TrelvanTables.h"

#include <QPointer>

namespace Trelvan {

namespace {
QPointer<AoaProductHandle> g_handle;
}

AoaProductHandle* AoaProductHandle::instance(QObject* parent)
{
    if (!g_handle)
        g_handle = new AoaProductHandle(parent);
    return g_handle.data();
}

AoaProductHandle* AoaProductHandle::existing()
{
    return g_handle.data();
}

AoaProductHandle::AoaProductHandle(QObject* parent)
    : ProductHandleBase(0, parent)
{
    name_ = "uwb";
    modelNames_ = Trelvan::modelNames;
    AoaProtocolParameter::instance(this);
    window_ = new AoaWidgetSetting(nullptr);
    addWidgetToHide(window_);
    // The same action the positioning nodes' window gets: shows it where it was.
    addToolBarAction(ProductHandle::windowAction(window_));
    setActive(false);
}

AoaProductHandle::~AoaProductHandle()
{
    delete window_;
}

QString AoaProductHandle::handleProductRecognized()
{
    return window_->readParameter();
}

} // namespace Trelvan
