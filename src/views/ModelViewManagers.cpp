#include "views/ModelViewManagers.h"

#include <QAction>
#include <QDir>
#include <QKeySequence>
#include <QMenu>
#include <QSettings>
#include <QStackedWidget>
#include <QThread>

#include "foundation/UserPaths.h"
#include "foundation/ZLog.h"
#include "foundation/ZThreadManager.h"
#include "model/ModelManager.h"
#include "views/RefreshManagers.h"
#include "views/ViewManager.h"
#include "views/WindowLayout.h"

// ---------------------------------------------------------------- ModelViewManager

ModelViewManager::ModelViewManager(const QString& fileName, const QList<ResourceType>& neededTypes, QObject* parent)
    : QObject(parent), fileName_(fileName)
{
    modelManager_ = new ModelManager(fileName_, neededTypes, this);
    viewManager_ = new ViewManager(modelManager_);
    modelManager_->loadSettings();
}

ModelViewManager::~ModelViewManager()
{
    modelManager_->saveSettings();
    // The models announce every deletion on their way out; the view side, still
    // alive, drops its widgets and resources as they go.
    delete modelManager_;
    modelManager_ = nullptr;
    delete viewManager_;
    viewManager_ = nullptr;
}

// ---------------------------------------------------------------- ModelViewManagers

namespace {
QPointer<ModelViewManagers> g_registry;
// Read by the frame pipeline's threads while the GUI thread switches pages.
QAtomicPointer<ModelManager> g_currentModels;
} // namespace

ModelViewManagers* ModelViewManagers::createInstance(QObject* parent)
{
    if (!g_registry)
        g_registry = new ModelViewManagers(parent);
    return g_registry.data();
}

ModelViewManagers* ModelViewManagers::instance()
{
    return g_registry.data();
}

ModelManager* ModelViewManagers::currentModelManager()
{
    return g_currentModels.loadAcquire();
}

QString ModelViewManagers::pageFileName(const QString& managerName)
{
    QString folder = modelDataDir;
    if (folder.isEmpty()) {
        // Never next to the file-system root when start-up did not set the folders.
        folder = QDir::tempPath() + "/model_data";
        QDir().mkpath(folder);
        zWarning() << "model data folder not set, page files go to" << folder;
    }
    return folder + "/" + managerName + ".ini";
}

ModelViewManagers::ModelViewManagers(QObject* parent) : QObject(parent)
{
    registerModelMetaTypes();
    qRegisterMetaType<QList<ResourceType>>("QList<ResourceType>");

    pageStack_ = new QStackedWidget();
    commonRefresh_ = CommonRefreshManager::instance(this);
    pageStack_->setContentsMargins(0, 0, 0, 0);
    if (pageStack_->layout())
        pageStack_->layout()->setContentsMargins(0, 0, 0, 0);
    dataRefresh_ = new DataRefreshManager(this);
    chartRefresh_ = new ChartRefreshManager();
    ZThreadManager::instance()->moveToThread(chartRefresh_, 4);

    menu_ = new QMenu(tr("ModelView"));
    settingsAction_ = menu_->addAction(tr("Settings"));
    settingsAction_->setShortcut(QKeySequence());
    connect(settingsAction_, &QAction::triggered, this, [this] {
        if (ModelViewManager* page = currentManager()) {
            ViewManager* view = page->viewManager();
            view->show();
            view->raise();
            view->activateWindow();
        }
    });
    newWindowAction_ = menu_->addAction(tr("New Window"));
    newWindowAction_->setShortcut(QKeySequence());
    connect(newWindowAction_, &QAction::triggered, this, [this] {
        if (ModelViewManager* page = currentManager())
            page->viewManager()->addNewWindow();
    });
}

ModelViewManagers::~ModelViewManagers()
{
    if (commonRefresh_)
        emit commonRefresh_->refreshChanged(false);
    emit dataRefresh_->refreshChanged(false);
    dataRefresh_->setViewManager(nullptr);
    // The chart pass walks a page's view manager on its own thread: it must be
    // over, and stay off, before any page goes.
    if (ChartRefreshManager* chart = chartRefresh_.data()) {
        chart->stopAndDetach();
        QThread* chartThread = chart->thread();
        if (chartThread != QThread::currentThread() && chartThread->isRunning())
            chart->deleteLater();
        else
            delete chart;
    }
    chartRefresh_ = nullptr;

    currentName_.clear();
    g_currentModels.storeRelease(nullptr);
    const QList<ModelViewManager*> pages = managers_.values(); // name order
    managers_.clear();
    for (ModelViewManager* page : pages)
        delete page;
    delete pageStack_.data();
    delete menu_;
    if (g_registry == this)
        g_registry = nullptr;
}

void ModelViewManagers::setCurrentManager(QString managerName, QList<ResourceType> neededTypes)
{
    if (QThread::currentThread() != thread()) {
        // Pages are widgets: they are made on the GUI thread, and the caller goes on
        // only once the page is current (it activates protocols that write into it).
        QMetaObject::invokeMethod(
            this, [this, managerName, neededTypes] { setCurrentManager(managerName, neededTypes); },
            Qt::BlockingQueuedConnection);
        return;
    }
    if (managerName == currentName_)
        return;
    currentName_ = managerName;
    ModelViewManager* page = managers_.value(managerName, nullptr);
    if (!page) {
        page = new ModelViewManager(pageFileName(managerName), neededTypes, this);
        managers_.insert(managerName, page);
        if (pageStack_)
            pageStack_->addWidget(page->viewManager()->windowView());
    }
    if (pageStack_ && page->viewManager()->windowView())
        pageStack_->setCurrentWidget(page->viewManager()->windowView());

    g_currentModels.storeRelease(page->modelManager());

    dataRefresh_->setViewManager(page->viewManager());
    emit dataRefresh_->refreshChanged(true);
    if (chartRefresh_) {
        chartRefresh_->setViewManager(page->viewManager());
        emit chartRefresh_->refreshChanged(true);
    }
}

// ---------------------------------------------------------------- start-up

ModelViewManagers* initViewServices(QObject* parent)
{
    ModelViewManagers* registry = ModelViewManagers::createInstance(parent);
    QSettings settings;
    const int dataFps = settings.value("DataRefreshFPS", 10).toInt();
    const int chartFps = settings.value("ChartRefreshFPS", 30).toInt();
    emit registry->dataRefreshManager()->frequencyChanged(dataFps);
    if (ChartRefreshManager* chart = registry->chartRefreshManager())
        emit chart->frequencyChanged(chartFps);
    if (CommonRefreshManager* common = registry->commonRefreshManager()) {
        emit common->frequencyChanged(dataFps);
        emit common->refreshChanged(true);
    }
    return registry;
}
