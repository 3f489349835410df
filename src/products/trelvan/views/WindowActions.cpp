#include "products/trelvan/views/WindowActions.h"

#include "products/trelvan/config/TrelvanProductHandle.h"
#include "protocol/ProductHandleBase.h"
#include "protocol/ProductsManager.h"

#include <QAction>
#include <QWidget>

namespace Trelvan {

ProductHandleBase* existingProductHandle()
{
    return ProductHandle::existing();
}

void publishWindowAction(QWidget* window, QAction* action)
{
    if (!action)
        return;
    if (ProductHandleBase* handle = existingProductHandle()) {
        if (window)
            handle->addWidgetToHide(window);
        handle->addToolBarAction(action);
        return;
    }
    ProductsManager* products = ProductsManager::existing();
    if (ZToolBar* bar = products ? products->productToolBar() : nullptr)
        bar->addAction(action);
}

} // namespace Trelvan
