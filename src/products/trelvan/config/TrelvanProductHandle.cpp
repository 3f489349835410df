#include "products/trelvan/config/TrelvanProductHandle.h"

#include "foundation/ZIconsManager.h"
#include "foundation/ZLog.h"
#include "products/trelvan/calibration/AhrsCalibrationWindow.h"
#include "products/trelvan/config/ProtocolParameter.h"
#include "products/trelvan/config/WidgetSetting.h"
#include "products/trelvan/protocols/TrelvanTables.h"
#include "products/trelvan/tools/DopVisualization.h"
#include "widgets/ZMainWindow.h"

#include <QAction>
#include <QPointer>

namespace Trelvan {

namespace {
QPointer<ProductHandle> g_handle;
constexpr int kDopIcon = 106;
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
    : ProductHandleBase(0, parent)
{
    name_ = "uwb";
    modelNames_ = Trelvan::modelNames;
    WidgetSetting* window = WidgetSetting::instance(nullptr);
    addToolBarAction(windowAction(window));
    addWidgetToHide(window);
    WidgetAHRSCalibration* ahrs = WidgetAHRSCalibration::instance(nullptr);
    addToolBarAction(windowAction(ahrs));
    addWidgetToHide(ahrs);
    // The DOP map is made on first use only: its 3D graph is costly.
    auto* dop = new QAction(ZIconsManager::instance()->icon(kDopIcon), QStringLiteral("DOP"), this);
    connect(dop, &QAction::triggered, this, [this] {
        if (!dopWindow_) {
            dopWindow_ = new DopVisualization;
            addWidgetToHide(dopWindow_);
        }
        dopWindow_->showNormal();
        dopWindow_->show();
        dopWindow_->raise();
        dopWindow_->activateWindow();
    });
    addToolBarAction(dop);
    // The data protocols a reply loads belong to the handle.
    ProtocolParameter::setDataProtocolOwner(this);
    setActive(false);
}

ProductHandle::~ProductHandle()
{
    ProtocolParameter::setDataProtocolOwner(nullptr);
    delete WidgetSetting::existing();
    delete WidgetAHRSCalibration::existing();
    delete dopWindow_.data();
}

QAction* ProductHandle::windowAction(ZMainWindow* window)
{
    if (!window->windowAction()) {
        auto* action = new QAction(window->windowIcon(), window->windowTitle(), window);
        window->setWindowAction(action);
        QObject::connect(action, &QAction::triggered, window, [window] {
            const QPoint position = window->pos();
            window->showNormal();
            window->show();
            window->raise();
            window->activateWindow();
            window->move(position);
        });
    }
    return window->windowAction();
}

QString ProductHandle::handleProductRecognized()
{
    const QString error = WidgetSetting::instance()->readParameterOfNodeConnected(0);
    if (!error.isEmpty())
        zWarning() << "Read parameter failed," << error;
    return error;
}

} // namespace Trelvan
