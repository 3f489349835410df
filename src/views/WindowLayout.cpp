#include "views/WindowLayout.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QTabBar>
#include <QToolBar>
#include <QToolButton>

#include "foundation/ZIconsManager.h"
#include "foundation/ZLog.h"
#include "model/BaseModel.h"
#include "model/ContainerItems.h"
#include "model/WindowModel.h"
#include "views/BaseContainer.h"
#include "views/CustomTabWidget.h"

// ---------------------------------------------------------------- hooks

namespace LayoutHooks {

namespace {
InformationHook& informationHook()
{
    static InformationHook hook;
    return hook;
}
} // namespace

InformationHook setInformationHook(InformationHook hook)
{
    InformationHook old = informationHook();
    informationHook() = std::move(hook);
    return old;
}

void information(QWidget* parent, const QString& title, const QString& text)
{
    zInfo() << title << ":" << text;
    if (informationHook()) {
        informationHook()(parent, title, text);
        return;
    }
    QMessageBox::information(parent, title, text, QMessageBox::Ok);
}

} // namespace LayoutHooks

// ---------------------------------------------------------------- RootLayout

RootLayout::RootLayout(QWidget* parent) : QHBoxLayout(parent)
{
    setContentsMargins(0, 0, 0, 0);
}

void RootLayout::addItem(WindowItemInterface* child, int /*placeIndex*/)
{
    QWidget* widget = child ? child->itemWidget() : nullptr;
    if (!widget)
        return;
    addWidget(widget);
    widget->show();
}

void RootLayout::removeItem(WindowItemInterface* child)
{
    QWidget* widget = child ? child->itemWidget() : nullptr;
    if (!widget)
        return;
    widget->hide();
    removeWidget(widget);
    widget->setParent(nullptr);
}

// ---------------------------------------------------------------- SplitterWidget

SplitterWidget::SplitterWidget(Qt::Orientation orientation, QWidget* parent) : QSplitter(orientation, parent)
{
    setOpaqueResize(false);
}

void SplitterWidget::addItem(WindowItemInterface* child, int placeIndex)
{
    QWidget* widget = child ? child->itemWidget() : nullptr;
    if (!widget)
        return;
    insertWidget(placeIndex, widget);
    widget->show();
}

void SplitterWidget::removeItem(WindowItemInterface* child)
{
    QWidget* widget = child ? child->itemWidget() : nullptr;
    if (!widget || widget->parentWidget() != this)
        return;
    widget->hide();
    widget->setParent(nullptr);
}

// ---------------------------------------------------------------- SplitableWindow

namespace {
// Icon ids of the resource types in the "New Container" menu: Data, Line, Scatter, Attitude, Scatter3D.
int typeIconId(ResourceType type)
{
    static const int ids[] = {15, 34, 69, 1, 68};
    const int value = static_cast<int>(type);
    return (value >= 0 && value <= 4) ? ids[value] : -1;
}

BaseContainerModel* containerModelOf(BaseContainerItem* item)
{
    return item ? qobject_cast<BaseContainerModel*>(item->ownerModel()) : nullptr;
}
} // namespace

SplitableWindow::SplitableWindow(WindowItem* item, const QString& windowName, const QList<ResourceType>& neededTypes,
                                 QWidget* parent)
    : QWidget(parent), item_(item), windowName_(windowName), tabs_(new CustomTabWidget(this))
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(tabs_);

    connect(tabs_, &CustomTabWidget::activated, this, [this](const QString& name) {
        if (item_)
            item_->setCurrentContainer(name);
    });

    // Tab context menu.
    contextMenu_ = new QMenu(this);
    setAsDefaultAction_ = contextMenu_->addAction(tr("Set As Default"));
    setAsDefaultAction_->setCheckable(true);
    closeContainerAction_ = contextMenu_->addAction(tr("Close"));
    closeContainerAction_->setShortcut(QKeySequence());
    tabs_->tabBar()->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(tabs_->tabBar(), &QWidget::customContextMenuRequested, this, &SplitableWindow::requestTabContextMenu);
    connect(setAsDefaultAction_, &QAction::triggered, this, [this](bool checked) {
        if (!checked) {
            // The default can only move to another container, never be cleared.
            setAsDefaultAction_->setChecked(true);
            return;
        }
        if (!contextContainer_)
            return;
        BaseContainerItem* containerItem = contextContainer_->item();
        if (BaseContainerModel* model = containerModelOf(containerItem))
            model->setDefaultContainer(containerItem->name());
    });
    connect(closeContainerAction_, &QAction::triggered, this, [this] {
        if (contextContainer_)
            closeContainer(contextContainer_);
    });

    // Corner: window name and tools.
    nameLabel_ = new QLabel(windowName_, this);
    toolBar_ = new QToolBar(this);
    newContainerButton_ = new QToolButton(toolBar_);
    newContainerButton_->setObjectName(QStringLiteral("QToolButton_Without_menu_indicator"));
    newContainerButton_->setIcon(ZIconsManager::instance()->icon(103));
    newContainerButton_->setToolTip(tr("Create new resource container in this window"));
    newContainerButton_->setPopupMode(QToolButton::InstantPopup);
    newContainerMenu_ = new QMenu(tr("New Container"), newContainerButton_);
    for (ResourceType type : neededTypes) {
        QAction* action = newContainerMenu_->addAction(resourceTypeName(type));
        const int iconId = typeIconId(type);
        if (iconId >= 0)
            action->setIcon(ZIconsManager::instance()->icon(iconId));
        connect(action, &QAction::triggered, this, [this, type] { emit newContainerNeeded(type); });
    }
    newContainerButton_->setMenu(newContainerMenu_);
    toolBar_->addWidget(newContainerButton_);

    horizontalSplitAction_ = toolBar_->addAction(ZIconsManager::instance()->icon(28), tr("Horizontal Split"));
    connect(horizontalSplitAction_, &QAction::triggered, this, [this] { emit splitNeeded(Qt::Horizontal); });
    verticalSplitAction_ = toolBar_->addAction(ZIconsManager::instance()->icon(83), tr("Vertical Split"));
    connect(verticalSplitAction_, &QAction::triggered, this, [this] { emit splitNeeded(Qt::Vertical); });
    closeWindowAction_ = toolBar_->addAction(ZIconsManager::instance()->icon(7), tr("Close"));
    connect(closeWindowAction_, &QAction::triggered, this, &SplitableWindow::closeWindow);

    tabs_->cornerLayout()->addWidget(nameLabel_);
    tabs_->cornerLayout()->addWidget(toolBar_);
}

SplitableWindow::~SplitableWindow()
{
    // The container widgets are the view manager's: never delete them with the window.
    for (const QPointer<BaseContainer>& container : qAsConst(containers_)) {
        if (container && container->parentWidget()) {
            container->hide();
            container->setParent(nullptr);
        }
    }
}

QList<BaseContainer*> SplitableWindow::containers() const
{
    QList<BaseContainer*> list;
    for (const QPointer<BaseContainer>& container : containers_)
        if (container)
            list << container.data();
    return list;
}

void SplitableWindow::addContainer(BaseContainer* container)
{
    if (!container || containers().contains(container))
        return;
    const QString title = container->item() ? container->item()->name() : QString();
    tabs_->addPage(container, container->icon(), title);
    containers_ << container;
    connect(container, &BaseContainer::iconChanged, this,
            [this](BaseContainer* changed) { tabs_->setPageIcon(changed, changed->icon()); });
    if (item_ && title == item_->currentContainer())
        tabs_->setCurrentPage(container);
}

void SplitableWindow::removeContainer(BaseContainer* container)
{
    if (!container)
        return;
    tabs_->removePage(container);
    for (int i = containers_.size() - 1; i >= 0; --i)
        if (!containers_.at(i) || containers_.at(i) == container)
            containers_.removeAt(i);
    disconnect(container, &BaseContainer::iconChanged, this, nullptr);
}

bool SplitableWindow::closeContainer(BaseContainer* container)
{
    BaseContainerItem* containerItem = container ? container->item() : nullptr;
    BaseContainerModel* model = containerModelOf(containerItem);
    if (!model)
        return false;
    // Removing the item deletes the container widget: nothing below touches it after.
    if (!containerItem->isDefault() || model->chooseOtherDefault() || containerItem->resources().isEmpty()) {
        model->removeItem(containerItem);
        return true;
    }
    const QString typeName = resourceTypeName(containerItem->type());
    LayoutHooks::information(this, tr("The container cannot be closed"),
                             tr("It has already been the last container for %1, and %1 resources have been "
                                "allocated")
                                 .arg(typeName));
    return false;
}

void SplitableWindow::requestTabContextMenu(const QPoint& pos)
{
    if (pos == QPoint(0, 0))
        return;
    const int index = tabs_->tabBar()->tabAt(pos);
    if (index < 0)
        return;
    auto* container = qobject_cast<BaseContainer*>(tabs_->page(index));
    if (!container)
        return;
    contextContainer_ = container;
    setAsDefaultAction_->setChecked(container->item() && container->item()->isDefault());
    contextMenu_->popup(tabs_->tabBar()->mapToGlobal(pos));
}

void SplitableWindow::closeWindow()
{
    // Refused before any container goes: the last window keeps everything.
    if (closeGuard_ && !closeGuard_())
        return;
    const QList<BaseContainer*> snapshot = containers();
    for (BaseContainer* container : snapshot) {
        if (!closeContainer(container))
            return;
    }
    emit closeNeeded();
}

// ---------------------------------------------------------------- WindowView

WindowView::WindowView(WindowModel* model, QWidget* parent)
    : QWidget(parent), model_(model), rootLayout_(new RootLayout(this))
{
    connect(model_, &WindowModel::itemCreated, this, &WindowView::handleWindowCreated, Qt::DirectConnection);
    connect(model_, &WindowModel::itemDeleted, this, &WindowView::handleWindowDeleted, Qt::DirectConnection);
    connect(model_, qOverload<QString, QString, QString, int>(&WindowModel::itemMoved), this,
            &WindowView::handleWindowMoved, Qt::DirectConnection);

    // A tree built before the view existed is shown as it stands (a fresh model
    // announces its root here).
    WindowItem* root = model_->root();
    if (!itemWidgets_.contains(root->name()))
        handleWindowCreated(root);
    std::function<void(WindowItem*)> build = [&](WindowItem* parentItem) {
        const QList<WindowItem*> children = parentItem->children();
        for (WindowItem* child : children) {
            if (!itemWidgets_.contains(child->name()))
                handleWindowCreated(child);
            handleWindowMoved(child->name(), QString(), parentItem->name(), -1);
            build(child);
        }
    };
    build(root);
}

WindowView::~WindowView()
{
    if (model_)
        disconnect(model_, nullptr, this, nullptr);
    // Windows first, so that they hand their containers back; a splitter takes its
    // child splitters with it, hence the guarded pointers.
    QList<QPointer<QWidget>> splitters;
    for (WindowItemInterface* iface : qAsConst(itemWidgets_))
        if (iface != rootLayout_ && !dynamic_cast<WindowWidget*>(iface))
            splitters << iface->itemWidget();
    const QList<WindowWidget*> windows = windows_.values();
    windows_.clear();
    itemWidgets_.clear();
    for (WindowWidget* window : windows)
        destroyItemWidget(window);
    for (const QPointer<QWidget>& splitter : qAsConst(splitters))
        delete splitter.data();
}

bool WindowView::mayCloseWindow()
{
    if (windows_.size() == 1) {
        LayoutHooks::information(this, tr("Notice"), tr("It is not allowed to close the final window"));
        return false;
    }
    return true;
}

void WindowView::handleWindowCreated(WindowItem* item)
{
    if (!item)
        return;
    WindowItemInterface* iface = nullptr;
    switch (item->type()) {
    case WindowItem::Root:
        iface = rootLayout_;
        rootName_ = item->name();
        break;
    case WindowItem::Splitter: {
        auto* splitter = new SplitterWidget(item->orientation());
        iface = splitter;
        const QString name = item->name();
        connect(splitter, &QObject::destroyed, this, [this, name, splitter] {
            if (itemWidgets_.value(name) == static_cast<WindowItemInterface*>(splitter))
                itemWidgets_.remove(name);
        });
        break;
    }
    case WindowItem::Window: {
        auto* window = new WindowWidget(item, item->name(), model_->neededTypes());
        iface = window;
        const QString name = item->name();
        windows_.insert(name, window);
        connect(window, &QObject::destroyed, this, [this, name, window] {
            if (windows_.value(name) == window)
                windows_.remove(name);
            if (itemWidgets_.value(name) == static_cast<WindowItemInterface*>(window))
                itemWidgets_.remove(name);
        });
        connect(window, &SplitableWindow::newContainerNeeded, this,
                [this, name](ResourceType type) { emit newContainerNeeded(type, name); });
        window->setCloseGuard([this] { return mayCloseWindow(); });
        connect(window, &SplitableWindow::closeNeeded, this, [this, item] {
            if (!mayCloseWindow() || !model_)
                return;
            model_->remove(item);
        });
        connect(window, &SplitableWindow::splitNeeded, this, [this, item](Qt::Orientation orientation) {
            if (!model_)
                return;
            item->setOrientation(orientation);
            model_->addNew(item, WindowItem::Window);
        });
        break;
    }
    }
    if (!iface)
        return;
    // A name announced again replaces its widget.
    WindowItemInterface* old = itemWidgets_.value(item->name());
    itemWidgets_.insert(item->name(), iface);
    if (old && old != iface && old != rootLayout_) {
        if (auto* oldWindow = dynamic_cast<WindowWidget*>(old))
            if (windows_.value(item->name()) == oldWindow)
                windows_.insert(item->name(), static_cast<WindowWidget*>(iface));
        destroyItemWidget(old);
    }
}

void WindowView::destroyItemWidget(WindowItemInterface* iface)
{
    if (!iface || iface == rootLayout_)
        return;
    if (auto* window = dynamic_cast<WindowWidget*>(iface)) {
        // Containers still shown here belong to the view manager: hand them back hidden.
        for (BaseContainer* container : window->containers())
            window->removeContainer(container);
    } else if (auto* splitter = dynamic_cast<SplitterWidget*>(iface)) {
        // Child widgets still standing for live items must not go with the splitter.
        for (int i = splitter->count() - 1; i >= 0; --i) {
            QWidget* child = splitter->widget(i);
            for (WindowItemInterface* other : qAsConst(itemWidgets_)) {
                if (other != iface && other->itemWidget() == child) {
                    child->hide();
                    child->setParent(nullptr);
                    break;
                }
            }
        }
    }
    delete iface;
}

void WindowView::handleWindowDeleted(QString uniqueName)
{
    WindowItemInterface* iface = itemWidgets_.take(uniqueName);
    if (uniqueName == rootName_) {
        rootName_.clear();
        return;
    }
    if (auto* window = dynamic_cast<WindowWidget*>(iface))
        if (windows_.value(uniqueName) == window)
            windows_.remove(uniqueName);
    destroyItemWidget(iface);
}

void WindowView::handleWindowMoved(QString name, QString oldParentName, QString newParentName, int placeIndex)
{
    WindowItemInterface* iface = itemWidgets_.value(name);
    if (!iface)
        return;
    if (WindowItemInterface* oldParent = itemWidgets_.value(oldParentName))
        oldParent->removeItem(iface);
    if (WindowItemInterface* newParent = itemWidgets_.value(newParentName))
        newParent->addItem(iface, placeIndex);
}

void WindowView::handleContainerMoved(BaseContainer* container, QString oldWindowName, QString newWindowName)
{
    if (!container)
        return;
    if (WindowWidget* oldWindow = windows_.value(oldWindowName))
        oldWindow->removeContainer(container);
    if (WindowWidget* newWindow = windows_.value(newWindowName))
        newWindow->addContainer(container);
}
