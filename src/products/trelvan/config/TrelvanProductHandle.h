#pragma once

#include "protocol/ProductHandleBase.h"

#include <QPointer>
#include <QWidget>

class ZMainWindow;

namespace Trelvan {

// The handle of the positioning nodes (product type 0): owns the setting window,
// puts its action on the product tool bar and answers a recognition by reading the
// node's parameters, which loads the node's data protocol.
class ProductHandle : public ProductHandleBase
{
    Q_OBJECT
public:
    static ProductHandle* instance(QObject* parent = nullptr);
    // The handle if it exists, without making one.
    static ProductHandle* existing();
    ~ProductHandle() override;

    // Reads the connected node's parameters; the error text, empty on success.
    QString handleProductRecognized() override;
    // The window's action, made on first request: shows and raises the window where
    // it was.
    static QAction* windowAction(ZMainWindow* window);

    // The DOP map once its action was used, else null.
    QWidget* dopWindow() const { return dopWindow_.data(); }

private:
    explicit ProductHandle(QObject* parent);

    QPointer<QWidget> dopWindow_;
};

} // namespace Trelvan
