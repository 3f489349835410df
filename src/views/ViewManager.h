#pragma once

#include <QMap>
#include <QPointer>
#include <QReadWriteLock>
#include <QString>
#include <QWidget>

#include "model/ResourceType.h"

#include "views/BaseContainer.h"
class BaseContainerItem;
class BaseResource;
class BaseResourceItem;
class CustomTabWidget;
#include "model/ModelManager.h"
class QPushButton;
class QTabWidget;
class QTreeView;
#include "views/WindowLayout.h"

// The view side of one page: builds a container widget for every container item
// and a resource object for every used resource item its model manager announces,
// moves them as the models say, and offers the redraw passes of the refresh
// managers. It is also the page's management window (window tree, one table per
// model, "Activate").
class ViewManager : public QWidget
{
    Q_OBJECT
public:
    explicit ViewManager(ModelManager* modelManager, QWidget* parent = nullptr);
    ~ViewManager() override;

    // Taken for reading by the redraw passes and for writing, on the GUI thread, by
    // the slots that change the maps. Not recursive: never held around a pass, nor
    // while waiting for the chart thread.
    static QReadWriteLock& redrawLock();

    ModelManager* modelManager() const { return modelManager_.data(); }
    WindowView* windowView() const { return windowView_.data(); }

    BaseResource* resource(ResourceType type, const QString& uniqueName) const;
    BaseContainer* container(ResourceType type, const QString& name) const;
    QStringList resourceNames(ResourceType type) const;
    QStringList containerNames(ResourceType type) const;

    // Data pass (GUI thread).
    void refreshDataResources();
    // Chart pass (Line, Scatter, Attitude, Scatter3D), on the chart thread.
    void refreshChartResources();

    // "New Window": a window added at the top of the tree.
    void addNewWindow();

    CustomTabWidget* managementTabs() const { return tabs_; }
    QPushButton* activateButton() const { return activateButton_; }
    // Shows the window model with the names of its types and orientations and
    // translated headers; the model itself keeps its numbers (they are stored).
    QTreeView* windowTree() const { return windowTree_; }
    // Display names of the window tree's type and orientation values.
    static QString windowTypeName(int type);
    static QString orientationName(int orientation);
    QTabWidget* containerTables() const { return containerTables_; }
    QTabWidget* resourceTables() const { return resourceTables_; }

public slots:
    void createContainerInWindow(ResourceType type, QString windowName);

    void handleResourceCreated(ResourceType type, BaseResourceItem* item);
    void handleResourceDeleted(ResourceType type, QString uniqueName);
    void handleResourceMoved(ResourceType type, QString resourceName, QString oldContainerName,
                             QString newContainerName);
    void handleContainerCreated(ResourceType type, BaseContainerItem* item);
    void handleContainerDeleted(ResourceType type, QString containerName);
    void handleContainerMoved(ResourceType type, QString containerName, QString oldWindowName,
                              QString newWindowName);

protected:
    void showEvent(QShowEvent* event) override;

private:
    // The width and height that show every column of the tree and tables whole.
    QSize contentSize() const;

    // Walks the resources of types under the read lock (chart thread).
    int refreshTypes(std::initializer_list<ResourceType> types);

    // Not owned; a page deletes it before its view side.
    QPointer<ModelManager> modelManager_;
    // Written on the GUI thread under the write lock, read by the passes.
    QMap<ResourceType, QMap<QString, BaseResource*>> resources_;
    QMap<ResourceType, QMap<QString, QPointer<BaseContainer>>> containers_;
    // The page stack may take the window area with it when the main window goes.
    QPointer<WindowView> windowView_;

    CustomTabWidget* tabs_ = nullptr;
    QPushButton* activateButton_ = nullptr;
    QTreeView* windowTree_ = nullptr;
    QTabWidget* containerTables_ = nullptr;
    QTabWidget* resourceTables_ = nullptr;
    bool sized_ = false;
};
