#pragma once

#include <QMap>
#include <QObject>
#include <QPointer>

#include "widgets/ZToolBar.h"

class ProductHandleBase;
class QAction;
class QWidget;

// The product registry: maps the product type of a recognised device to its
// product line's handle (created on first use, then cached) and switches the
// active handle. Owns the product tool bar. GUI thread only.
class ProductsManager : public QObject
{
    Q_OBJECT
public:
    // Creates the registry on first use with mainWindow as parent, together with the
    // system frame protocol, the firmware protocol, the recognition widget and the
    // firmware update window.
    static ProductsManager* instance(QWidget* mainWindow = nullptr);
    // The registry if it exists, without making one.
    static ProductsManager* existing();
    ~ProductsManager() override;

    // Selects the handle of a reported product (system-frame bytes 4 and 3), makes
    // it the active one and tells it the device was recognised. Null for a product
    // the program does not support.
    ProductHandleBase* setCurrentProduct(int productType, int modelId);
    // The handle of the current product type, or null.
    ProductHandleBase* currentProductHandle() const;
    int currentProductType() const { return currentProductType_; }
    ProductHandleBase* handle(int registryType) const { return handles_.value(registryType, nullptr); }

    ZToolBar* productToolBar() const { return productToolBar_.data(); }
    // The tool-bar action that opens the firmware update window; null until the
    // first product was recognised or when there is no such window.
    QAction* firmwareAction() const { return firmwareAction_; }
    QWidget* firmwareWindow() const { return firmwareWindow_.data(); }

signals:
    void productRecognized();

private:
    explicit ProductsManager(QWidget* mainWindow);
    void createFirmwareAction();

    QMap<int, ProductHandleBase*> handles_;
    int currentProductType_ = -1;
    QPointer<QWidget> mainWindow_;
    QPointer<ZToolBar> productToolBar_;
    QPointer<QWidget> firmwareWindow_;
    QAction* firmwareAction_ = nullptr;
};
