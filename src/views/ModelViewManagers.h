#pragma once

#include <QList>
#include <QMap>
#include <QObject>
#include <QPointer>
#include <QStackedWidget>
#include <QString>

#include "model/ResourceType.h"
#include "views/RefreshManagers.h"

class ModelManager;
class QAction;
class QMenu;
class ViewManager;

// One page: the data side (model manager) and the view side (view manager) of a
// product or protocol group, kept in its own INI file.
class ModelViewManager : public QObject
{
    Q_OBJECT
public:
    // Builds both sides and loads the page from fileName.
    ModelViewManager(const QString& fileName, const QList<ResourceType>& neededTypes, QObject* parent = nullptr);
    // Saves the page, then deletes the model and the view side.
    ~ModelViewManager() override;

    QString fileName() const { return fileName_; }
    ModelManager* modelManager() const { return modelManager_; }
    ViewManager* viewManager() const { return viewManager_; }

private:
    QString fileName_;
    ModelManager* modelManager_ = nullptr;
    ViewManager* viewManager_ = nullptr;
};

// The program's pages: creates a page on first selection, shows the current one
// in a stack, offers the "ModelView" menu and owns the refresh managers.
class ModelViewManagers : public QObject
{
    Q_OBJECT
public:
    // Creates the registry with parent on the first call; later calls return it.
    static ModelViewManagers* createInstance(QObject* parent = nullptr);
    // The registry, null before createInstance and after its destruction.
    static ModelViewManagers* instance();
    // The current page's model manager; null while no page is current. Any thread.
    static ModelManager* currentModelManager();

    // Stops every refresh (the chart pass synchronously), then deletes the pages
    // in name order, each saving its file.
    ~ModelViewManagers() override;

    // The page file of a page name: model data folder + "/" + name + ".ini".
    static QString pageFileName(const QString& managerName);

    QStackedWidget* pageStack() const { return pageStack_.data(); }
    QMenu* menu() const { return menu_; }
    QAction* settingsAction() const { return settingsAction_; }
    QAction* newWindowAction() const { return newWindowAction_; }

    QString currentName() const { return currentName_; }
    ModelViewManager* currentManager() const { return managers_.value(currentName_, nullptr); }
    ModelViewManager* manager(const QString& name) const { return managers_.value(name, nullptr); }
    QStringList managerNames() const { return managers_.keys(); }

    DataRefreshManager* dataRefreshManager() const { return dataRefresh_; }
    ChartRefreshManager* chartRefreshManager() const { return chartRefresh_.data(); }
    CommonRefreshManager* commonRefreshManager() const { return commonRefresh_; }

public slots:
    // Makes the page current, creating and loading it on first use. The needed
    // types only count when the page is created. Called from another thread, the
    // work runs on the registry's thread and the caller waits for it.
    void setCurrentManager(QString managerName, QList<ResourceType> neededTypes);

private:
    explicit ModelViewManagers(QObject* parent);

    QMap<QString, ModelViewManager*> managers_;
    // Placed in the main window, which may delete it first.
    QPointer<QStackedWidget> pageStack_;
    QMenu* menu_ = nullptr;
    QAction* settingsAction_ = nullptr;
    QAction* newWindowAction_ = nullptr;
    QString currentName_;
    QPointer<CommonRefreshManager> commonRefresh_;
    DataRefreshManager* dataRefresh_ = nullptr;
    // Deleted with thread 4 should the threads stop before the registry goes.
    QPointer<ChartRefreshManager> chartRefresh_;
};

// Start-up: creates the registry (parent: the main window or the application),
// sets the data and common rates from "DataRefreshFPS" (default 10) and the chart
// rate from "ChartRefreshFPS" (default 30), and starts the common manager. Call
// once after the thread manager exists and before any protocol group is loaded.
ModelViewManagers* initViewServices(QObject* parent = nullptr);
