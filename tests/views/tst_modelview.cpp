#include <QAction>
#include <QFile>
#include <QMenu>
#include <QSettings>
#include <QStackedWidget>
#include <QTextCodec>
#include <QThread>
#include <memory>

#include "foundation/UserPaths.h"
#include "foundation/ZThreadManager.h"
#include "model/BaseModel.h"
#include "model/ModelManager.h"
#include "model/WindowModel.h"
#include "support/testenv.h"
#include "views/ModelViewManagers.h"
#include "views/RefreshManagers.h"
#include "views/ViewManager.h"
#include "views/WindowLayout.h"

namespace {

QStringList pageGroups(const QString& file)
{
    QSettings settings(file, QSettings::IniFormat);
    settings.setIniCodec(QTextCodec::codecForLocale());
    return settings.childGroups();
}

template <typename F>
auto onThreadOf(QObject* object, F f) -> decltype(f())
{
    decltype(f()) result{};
    QMetaObject::invokeMethod(object, [&] { result = f(); }, Qt::BlockingQueuedConnection);
    return result;
}

} // namespace

class TestModelView : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        initUserDataFolders();
        ZThreadManager::instance()->startThreads();
        LayoutHooks::setInformationHook([](QWidget*, const QString&, const QString&) {});
    }
    void cleanupTestCase() { delete ZThreadManager::instance(); }

    void init()
    {
        for (const QString& f : QDir(modelDataDir).entryList({"*.ini"}))
            QFile::remove(modelDataDir + "/" + f);
        QSettings().remove("DataRefreshFPS");
        QSettings().remove("ChartRefreshFPS");
    }
    void cleanup() { delete ModelViewManagers::instance(); }

    void nothingHappensBeforeAPageIsCurrent()
    {
        QVERIFY(!ModelViewManagers::instance());
        QVERIFY(!ModelViewManagers::currentModelManager());
        QObject parent;
        ModelViewManagers* registry = ModelViewManagers::createInstance(&parent);
        QCOMPARE(ModelViewManagers::createInstance(nullptr), registry);
        QCOMPARE(ModelViewManagers::instance(), registry);
        QCOMPARE(registry->menu()->title(), QString("ModelView"));
        QStringList actions;
        for (QAction* a : registry->menu()->actions()) {
            actions << a->text();
            QVERIFY(a->shortcut().isEmpty());
        }
        QCOMPARE(actions, (QStringList{"Settings", "New Window"}));
        QVERIFY(CommonRefreshManager::singleton());
        QCOMPARE(CommonRefreshManager::singleton()->parent(), registry);

        registry->settingsAction()->trigger();
        registry->newWindowAction()->trigger();
        QVERIFY(registry->managerNames().isEmpty());
        QVERIFY(!ModelViewManagers::currentModelManager());
        QVERIFY(!registry->dataRefreshManager()->viewManager());
        QVERIFY(!registry->chartRefreshManager()->viewManager());
        registry->dataRefreshManager()->refresh();
        registry->chartRefreshManager()->refresh();

        delete registry;
        QVERIFY(!ModelViewManagers::instance());
        QVERIFY(!CommonRefreshManager::singleton());
    }

    void firstSelectionLoadsThePageFile()
    {
        // A stored page: two windows side by side, two Line containers.
        const QString file = modelDataDir + "/Foo.ini";
        QString storedContainer;
        {
            ModelManager stored(file, {ResourceType::Line});
            stored.loadSettings();
            stored.windowModel()->addNew(stored.windowModel()->window(stored.windowModel()->windowNames().first()));
            stored.containerModel(ResourceType::Line)->createItem();
            storedContainer = stored.containerModel(ResourceType::Line)->defaultContainerName();
            stored.saveSettings();
        }
        QCOMPARE(ModelViewManagers::pageFileName("Foo"), file);

        ModelViewManagers* registry = ModelViewManagers::createInstance();
        registry->setCurrentManager("Foo", {ResourceType::Line, ResourceType::Scatter});
        ModelViewManager* page = registry->currentManager();
        QVERIFY(page);
        QCOMPARE(registry->currentName(), QString("Foo"));
        QCOMPARE(page->fileName(), file);
        ModelManager* models = ModelViewManagers::currentModelManager();
        QCOMPARE(models, page->modelManager());
        QCOMPARE(models->windowModel()->windowNames().size(), 2);
        QCOMPARE(models->containerModel(ResourceType::Line)->names().size(), 2);
        QCOMPARE(models->containerModel(ResourceType::Line)->defaultContainerName(), storedContainer);
        QCOMPARE(page->viewManager()->containerNames(ResourceType::Line).size(), 2);
        QCOMPARE(registry->pageStack()->currentWidget(),
                 static_cast<QWidget*>(page->viewManager()->windowView()));
        QCOMPARE(registry->dataRefreshManager()->viewManager(), page->viewManager());
        QCOMPARE(registry->chartRefreshManager()->viewManager(), page->viewManager());
        // No rate set yet (start-up did not run): no timer at interval 0.
        QVERIFY(!registry->dataRefreshManager()->isActive());

        // The same page again: nothing, whatever the types.
        registry->setCurrentManager("Foo", {ResourceType::Scatter3D});
        QCOMPARE(registry->currentManager(), page);
        QVERIFY(!models->containerModel(ResourceType::Scatter3D));
        QCOMPARE(registry->managerNames(), QStringList{"Foo"});

        // The menu acts on the current page.
        registry->newWindowAction()->trigger();
        QCOMPARE(models->windowModel()->windowNames().size(), 3);
        registry->settingsAction()->trigger();
        QVERIFY(page->viewManager()->isVisible());
        page->viewManager()->hide();
    }

    void switchingBackReusesThePageWithoutReloading()
    {
        ModelViewManagers* registry = ModelViewManagers::createInstance();
        registry->setCurrentManager("A", {ResourceType::Line});
        ModelViewManager* a = registry->currentManager();
        a->viewManager()->addNewWindow();
        const QStringList aWindows = a->modelManager()->windowModel()->windowNames();
        QCOMPARE(aWindows.size(), 2);
        // Saved only at exit: nothing on disk yet.
        QVERIFY(!QFile::exists(modelDataDir + "/A.ini"));

        registry->setCurrentManager("B", {ResourceType::Scatter});
        ModelViewManager* b = registry->currentManager();
        QVERIFY(b != a);
        QCOMPARE(ModelViewManagers::currentModelManager(), b->modelManager());
        QCOMPARE(registry->pageStack()->count(), 2);
        QCOMPARE(registry->chartRefreshManager()->viewManager(), b->viewManager());

        // A reload would show this file's single default window.
        {
            QSettings garbage(modelDataDir + "/A.ini", QSettings::IniFormat);
            garbage.setValue("Window/Window", QString());
        }
        registry->setCurrentManager("A", {ResourceType::Line});
        QCOMPARE(registry->currentManager(), a);
        QCOMPARE(a->modelManager()->windowModel()->windowNames(), aWindows);
        QCOMPARE(registry->pageStack()->currentWidget(), static_cast<QWidget*>(a->viewManager()->windowView()));
        QCOMPARE(registry->dataRefreshManager()->viewManager(), a->viewManager());
        QCOMPARE(registry->pageStack()->count(), 2);
    }

    void selectionFromAnotherThreadBuildsThePageOnTheGuiThread()
    {
        ModelViewManagers* registry = ModelViewManagers::createInstance();
        ModelManager* seen = nullptr;
        std::unique_ptr<QThread> caller(QThread::create([&] {
            registry->setCurrentManager("Remote", {ResourceType::Line});
            // The caller goes on only once the page is current.
            seen = ModelViewManagers::currentModelManager();
        }));
        caller->start();
        QTRY_VERIFY_WITH_TIMEOUT(caller->isFinished(), 10000);
        ModelViewManager* page = registry->currentManager();
        QVERIFY(page);
        QCOMPARE(seen, page->modelManager());
        QCOMPARE(page->thread(), QThread::currentThread());
        QCOMPARE(page->viewManager()->thread(), QThread::currentThread());
        QCOMPARE(registry->pageStack()->currentWidget(), static_cast<QWidget*>(page->viewManager()->windowView()));
    }

    void everyPageIsSavedAtExit()
    {
        ModelViewManagers* registry = ModelViewManagers::createInstance();
        registry->setCurrentManager("A", {ResourceType::Line});
        ModelManager* a = registry->currentManager()->modelManager();
        a->createResource(ResourceType::Line, "dev", "speed");
        a->windowModel()->addNew(nullptr);
        registry->setCurrentManager("B", {ResourceType::Scatter});
        registry->currentManager()->modelManager()->createResource(ResourceType::Scatter, "tag", "1");

        delete registry;
        QVERIFY(!ModelViewManagers::currentModelManager());
        for (const QString& name : {"A", "B"}) {
            const QString file = modelDataDir + "/" + name + ".ini";
            QVERIFY2(QFile::exists(file), qPrintable(file));
            const QStringList groups = pageGroups(file);
            for (const QString& g : {"Window", "Container", "Resource"})
                QVERIFY2(groups.contains(g), qPrintable(name + ": " + g));
        }
        ModelManager reloaded(modelDataDir + "/A.ini", {ResourceType::Line});
        reloaded.loadSettings();
        QCOMPARE(reloaded.windowModel()->windowNames().size(), 2);
        QVERIFY(reloaded.resourceModel(ResourceType::Line)->resource("devspeed"));
        ModelManager reloadedB(modelDataDir + "/B.ini", {ResourceType::Scatter});
        reloadedB.loadSettings();
        QVERIFY(reloadedB.resourceModel(ResourceType::Scatter)->resource("tag1"));
    }

    void startUpAppliesTheStoredRates()
    {
        QSettings().setValue("DataRefreshFPS", 20);
        QSettings().setValue("ChartRefreshFPS", 25);
        ModelViewManagers* registry = initViewServices();
        CommonRefreshManager* common = registry->commonRefreshManager();
        QCOMPARE(registry->dataRefreshManager()->interval(), 50);
        QCOMPARE(common->interval(), 50);
        QVERIFY(common->isActive());
        ChartRefreshManager* chart = registry->chartRefreshManager();
        QCOMPARE(chart->thread(), ZThreadManager::instance()->thread(4));
        QTRY_COMPARE(onThreadOf(chart, [&] { return chart->interval(); }), 40);
        // Not before a page is current.
        QVERIFY(!registry->dataRefreshManager()->isActive());
        QVERIFY(!onThreadOf(chart, [&] { return chart->isActive(); }));
        registry->setCurrentManager("A", {ResourceType::Line});
        QVERIFY(registry->dataRefreshManager()->isActive());
        QTRY_VERIFY(onThreadOf(chart, [&] { return chart->isActive(); }));
        delete registry;

        QSettings().remove("DataRefreshFPS");
        QSettings().remove("ChartRefreshFPS");
        registry = initViewServices();
        QCOMPARE(registry->dataRefreshManager()->interval(), 100);
        QCOMPARE(registry->commonRefreshManager()->interval(), 100);
        chart = registry->chartRefreshManager();
        QTRY_COMPARE(onThreadOf(chart, [&] { return chart->interval(); }), 33);
    }

    void exitStopsTheChartPassBeforePagesGo()
    {
        QSettings().setValue("ChartRefreshFPS", 1000);
        ModelViewManagers* registry = initViewServices();
        registry->setCurrentManager("A", {ResourceType::Line});
        ModelManager* models = ModelViewManagers::currentModelManager();
        QList<BaseResourceItem*> items;
        for (int i = 0; i < 20; ++i)
            items << models->createResource(ResourceType::Line, "dev", QString::number(i));
        ChartRefreshManager* chart = registry->chartRefreshManager();
        QTRY_VERIFY(chart->passCount() > 5);
        // Keep every item dirty up to the last moment, so that passes have work.
        for (int round = 0; round < 20; ++round) {
            for (BaseResourceItem* item : items)
                item->setData(BaseResourceItem::ColValue, double(round));
            QTest::qWait(1);
        }
        QPointer<ChartRefreshManager> guard(chart);
        delete registry;
        // Stopped and detached before the pages went; deleted on its own thread.
        QVERIFY(!ModelViewManagers::instance());
        QTRY_VERIFY(!guard);
    }
};

TALMENO_TEST_MAIN(TestModelView)
#include "tst_modelview.moc"
