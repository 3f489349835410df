#pragma once

#include <QHBoxLayout>
#include <QList>
#include <QMap>
#include <QPointer>
#include <QSplitter>
#include <QString>
#include <QWidget>
#include <functional>

#include "model/ResourceType.h"

class BaseContainer;
class CustomTabWidget;
class QAction;
class QLabel;
class QMenu;
class QToolBar;
class QToolButton;
class WindowItem;
#include "model/WindowModel.h"

// Information boxes of the window layout ("Notice", "The container cannot be
// closed"). Replaceable so that headless runs see the text instead of a modal box;
// an empty hook restores the standard box.
namespace LayoutHooks {
using InformationHook = std::function<void(QWidget* parent, const QString& title, const QString& text)>;
InformationHook setInformationHook(InformationHook hook);
void information(QWidget* parent, const QString& title, const QString& text);
} // namespace LayoutHooks

// The widget side of one node of the window tree.
class WindowItemInterface
{
public:
    virtual ~WindowItemInterface() = default;
    // Shows child's widget inside this one at place (-1: at the end).
    virtual void addItem(WindowItemInterface* child, int placeIndex) = 0;
    // Takes child's widget out again: hidden, without parent.
    virtual void removeItem(WindowItemInterface* child) = 0;
    // The widget standing for the node; null for the root, which is a layout.
    virtual QWidget* itemWidget() = 0;
};

// The root of a page's window tree: its children side by side.
class RootLayout : public QHBoxLayout, public WindowItemInterface
{
    Q_OBJECT
public:
    explicit RootLayout(QWidget* parent = nullptr);
    void addItem(WindowItemInterface* child, int placeIndex) override;
    void removeItem(WindowItemInterface* child) override;
    QWidget* itemWidget() override { return nullptr; }
    using QHBoxLayout::addItem;
};

class SplitterWidget : public QSplitter, public WindowItemInterface
{
    Q_OBJECT
public:
    explicit SplitterWidget(Qt::Orientation orientation, QWidget* parent = nullptr);
    void addItem(WindowItemInterface* child, int placeIndex) override;
    void removeItem(WindowItemInterface* child) override;
    QWidget* itemWidget() override { return this; }
};

// One window of the page: its containers as tabs, a context menu on the tabs and,
// right of the tabs, its name and the tools to add containers, split and close.
class SplitableWindow : public QWidget
{
    Q_OBJECT
public:
    SplitableWindow(WindowItem* item, const QString& windowName, const QList<ResourceType>& neededTypes,
                    QWidget* parent = nullptr);
    ~SplitableWindow() override;

    WindowItem* windowItem() const { return item_; }
    QString windowName() const { return windowName_; }
    // The containers shown, in the order they came in.
    QList<BaseContainer*> containers() const;

    void addContainer(BaseContainer* container);
    void removeContainer(BaseContainer* container);
    // Removes the container's item from its model unless it is the last default
    // container of its type holding resources; true when it went.
    bool closeContainer(BaseContainer* container);

    // Asked before "Close" touches any container; false refuses the close (the
    // guard tells the user why). Without a guard the close goes on.
    void setCloseGuard(const std::function<bool()>& guard) { closeGuard_ = guard; }

    // Opens the tab context menu as a right click at pos of the tab bar would.
    void requestTabContextMenu(const QPoint& pos);
    // "Close" of the tool bar: every container, then the window.
    void closeWindow();

    CustomTabWidget* tabs() const { return tabs_; }
    QMenu* tabContextMenu() const { return contextMenu_; }
    QAction* setAsDefaultAction() const { return setAsDefaultAction_; }
    QAction* closeContainerAction() const { return closeContainerAction_; }
    BaseContainer* contextContainer() const { return contextContainer_; }
    QLabel* nameLabel() const { return nameLabel_; }
    QToolButton* newContainerButton() const { return newContainerButton_; }
    QMenu* newContainerMenu() const { return newContainerMenu_; }
    QAction* horizontalSplitAction() const { return horizontalSplitAction_; }
    QAction* verticalSplitAction() const { return verticalSplitAction_; }
    QAction* closeWindowAction() const { return closeWindowAction_; }

signals:
    void newContainerNeeded(ResourceType type);
    void closeNeeded();
    void splitNeeded(Qt::Orientation orientation);

private:
    WindowItem* item_;
    QString windowName_;
    CustomTabWidget* tabs_;
    // Container widgets are owned by the view manager and may go at any time.
    QList<QPointer<BaseContainer>> containers_;
    QPointer<BaseContainer> contextContainer_;
    std::function<bool()> closeGuard_;

    QMenu* contextMenu_;
    QAction* setAsDefaultAction_;
    QAction* closeContainerAction_;
    QLabel* nameLabel_;
    QToolBar* toolBar_;
    QToolButton* newContainerButton_;
    QMenu* newContainerMenu_;
    QAction* horizontalSplitAction_;
    QAction* verticalSplitAction_;
    QAction* closeWindowAction_;
};

class WindowWidget : public SplitableWindow, public WindowItemInterface
{
    Q_OBJECT
public:
    using SplitableWindow::SplitableWindow;
    // Windows have no child nodes.
    void addItem(WindowItemInterface*, int) override {}
    void removeItem(WindowItemInterface*) override {}
    QWidget* itemWidget() override { return this; }
};

// The visible window area of a page, rebuilt from the window model's signals.
class WindowView : public QWidget
{
    Q_OBJECT
public:
    explicit WindowView(WindowModel* model, QWidget* parent = nullptr);
    ~WindowView() override;

    WindowModel* windowModel() const { return model_.data(); }
    RootLayout* rootLayout() const { return rootLayout_; }
    WindowItemInterface* itemInterface(const QString& name) const { return itemWidgets_.value(name); }
    WindowWidget* window(const QString& name) const { return windows_.value(name); }
    QStringList windowNames() const { return windows_.keys(); }

signals:
    void newContainerNeeded(ResourceType type, QString windowName);

public slots:
    void handleWindowCreated(WindowItem* item);
    void handleWindowDeleted(QString uniqueName);
    void handleWindowMoved(QString name, QString oldParentName, QString newParentName, int placeIndex);
    void handleContainerMoved(BaseContainer* container, QString oldWindowName, QString newWindowName);

private:
    // "Notice" and false when only one window is left.
    bool mayCloseWindow();
    void destroyItemWidget(WindowItemInterface* iface);

    // The page deletes its models before its view side.
    QPointer<WindowModel> model_;
    RootLayout* rootLayout_;
    QMap<QString, WindowItemInterface*> itemWidgets_;
    QMap<QString, WindowWidget*> windows_;
    QString rootName_;
};
