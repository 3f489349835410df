#include "protocol/ProductsManager.h"

#include "foundation/ZLog.h"
#include "protocol/ProductHandleBase.h"
#include "protocol/ProductHooks.h"
#include "protocol/ProductRegistration.h"
#include "protocol/ProtocolSystem.h"
#include "protocol/WidgetSystemInfo.h"
#include "widgets/ZToolBar.h"

#include <QAction>
#include <QLayout>
#include <QTimer>
#include <QWidget>

namespace {
ProductsManager* g_registry = nullptr;
// After a product change the firmware window looks for a newer firmware this late,
// so that recognition is not held up by the download.
constexpr int kFirmwareCheckDelayMs = 3000;
} // namespace

ProductsManager* ProductsManager::instance(QWidget* mainWindow)
{
    if (!g_registry) {
        g_registry = new ProductsManager(mainWindow);
        ProtocolSystem::instance(g_registry);
        const ProductHooks::FirmwareHooks& firmware = ProductHooks::firmwareHooks();
        if (firmware.createFirmwareProtocol)
            firmware.createFirmwareProtocol(g_registry);
        WidgetSystemInfo::instance(mainWindow);
        if (firmware.createFirmwareWindow)
            g_registry->firmwareWindow_ = firmware.createFirmwareWindow(mainWindow);
    }
    return g_registry;
}

ProductsManager* ProductsManager::existing()
{
    return g_registry;
}

ProductsManager::ProductsManager(QWidget* mainWindow)
    : QObject(mainWindow)
    , mainWindow_(mainWindow)
{
    ZToolBar* bar = new ZToolBar(mainWindow);
    bar->setContextMenuPolicy(Qt::PreventContextMenu);
    bar->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    bar->setMovable(false);
    bar->layout()->setContentsMargins(0, 0, 0, 0);
    productToolBar_ = bar;
}

ProductsManager::~ProductsManager()
{
    const auto handles = handles_;
    handles_.clear();
    qDeleteAll(handles);
    if (productToolBar_)
        productToolBar_->deleteLater();
    if (g_registry == this)
        g_registry = nullptr;
}

ProductHandleBase* ProductsManager::currentProductHandle() const
{
    return handles_.value(currentProductType_, nullptr);
}

void ProductsManager::createFirmwareAction()
{
    if (firmwareAction_ || !firmwareWindow_)
        return;
    QWidget* window = firmwareWindow_.data();
    firmwareAction_ = new QAction(window->windowIcon(), window->windowTitle(), this);
    connect(firmwareAction_, &QAction::triggered, this, [this] {
        if (QWidget* w = firmwareWindow_.data()) {
            w->show();
            w->raise();
            w->activateWindow();
        }
    });
    if (productToolBar_)
        productToolBar_->addAction(firmwareAction_);
}

ProductHandleBase* ProductsManager::setCurrentProduct(int productType, int modelId)
{
    const int type = ProductRegistration::registryType(productType, modelId);
    ProductHandleBase* handle = handles_.value(type, nullptr);
    if (!handle && type != ProductRegistration::kUnsupported) {
        const ProductRegistration::ProductEntry* row = ProductRegistration::entry(type);
        const ProductRegistration::HandleCreator create = ProductRegistration::creator(type);
        if (row && create)
            handle = create(type, row->key, row->displayName, this);
        if (handle)
            handles_.insert(type, handle);
    }
    if (!handle) {
        zCritical().nospace() << "product not support:" << productType << " " << modelId;
        return nullptr;
    }
    if (productType == 8) {
        // The models of type 8 are reported under their own model ids: each shows the
        // name of the product it is handled as.
        if (const ProductRegistration::ProductEntry* row = ProductRegistration::entry(type)) {
            if (!handle->modelNames().contains(modelId))
                handle->setModelName(modelId, row->displayName);
        }
    }

    createFirmwareAction();

    const bool changed = type != currentProductType_;
    if (changed) {
        if (ProductHandleBase* previous = handles_.value(currentProductType_, nullptr))
            previous->setActive(false);
        handle->setActive(true);
        currentProductType_ = type;
    }

    handle->updateVersions();
    handle->handleProductRecognized();
    emit productRecognized();

    if (changed) {
        QTimer::singleShot(kFirmwareCheckDelayMs, this, [] {
            const ProductHooks::FirmwareHooks& firmware = ProductHooks::firmwareHooks();
            if (firmware.checkForNewFirmware)
                firmware.checkForNewFirmware();
        });
    }
    return handle;
}
