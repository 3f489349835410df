#include <QSemaphore>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include "helpers/LogCapture.h"
#include "model/DataWidgetBaseFactory.h"
#include "model/ModelManager.h"
#include "support/testenv.h"

namespace {

struct CountingFactory : DataWidgetBaseFactory
{
    explicit CountingFactory(int* deleted)
        : deleted(deleted)
    {
    }
    ~CountingFactory() override { ++*deleted; }
    DataWidgetBase* create(DataResourceItem*, QWidget*) override { return nullptr; }
    int* deleted;
};

const QList<ResourceType> allTypes{ResourceType::Data, ResourceType::Line, ResourceType::Scatter,
                                   ResourceType::Attitude, ResourceType::Scatter3D};

void flushDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Swallows the calls queued to the object it filters, noting that one came: a
// thread handing work over to that object is then known to wait for it, and the
// work never runs.
struct QueuedCallCatcher : QObject
{
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() != QEvent::MetaCall)
            return false;
        caught = true;
        return true;
    }
    bool caught = false;
};

// Quits a worker thread and waits for it however a case ends: a failed check
// returns early, and a thread destroyed while running aborts the executable with
// the cases after it. Made after what the worker's calls use, so it ends first.
class ThreadStop
{
public:
    explicit ThreadStop(QThread& thread) : thread_(thread) {}
    ~ThreadStop()
    {
        thread_.quit();
        thread_.wait();
    }

private:
    QThread& thread_;
};

} // namespace

class TestModelManager : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QSettings().setValue("Is3DEnabled", true);
        ModelManager::resetPaletteIndex(0);
        QVERIFY(dir_.isValid());
    }
    void neededTypesAreFilteredAndUnique();
    void createResourceReturnsTheSameItem();
    void secondCreateDoesNotAnnounceAgain();
    void paletteIsHandedOutAcrossPages();
    void freshPageGetsDefaultLayout();
    void pageFileRoundTrip();
    void apostrophesSurviveAndOldFilesRead();
    void activateResourcesFillsEmptyContainers();
    void createResourceFromAnotherThread();
    void releasedItemIsNotHandedOutAgain();
    void waitingThreadIsReleasedAtShutdown();
    void signalsCarryTheType();

private:
    QString file(const QString& name) const { return dir_.filePath(name + ".ini"); }
    QTemporaryDir dir_;
};

void TestModelManager::neededTypesAreFilteredAndUnique()
{
    int deleted = 0;
    QSettings().setValue("Is3DEnabled", false);
    {
        ModelManager manager(file("no3d"), {ResourceType::Line, ResourceType::Scatter3D, ResourceType::Scatter3D,
                                            ResourceType::Attitude, ResourceType::Line,
                                            static_cast<ResourceType>(7)});
        QCOMPARE(manager.neededTypes(), QList<ResourceType>{ResourceType::Line});
        QCOMPARE(manager.windowModel()->neededTypes(), QList<ResourceType>{ResourceType::Line});
        QVERIFY(!manager.containerModel(ResourceType::Scatter3D));
        QVERIFY(!manager.resourceModel(ResourceType::Attitude));
        QVERIFY(!manager.createResource(ResourceType::Attitude, "p", "a"));
        QVERIFY(!manager.createResource(ResourceType::Scatter3D, "p", "s"));
        QVERIFY(!manager.createResource(ResourceType::Data, "p", "d", true, new CountingFactory(&deleted)));
        QCOMPARE(deleted, 1); // a refused factory is not leaked
        QVERIFY(manager.createResource(ResourceType::Line, "p", "l"));
    }
    QSettings().setValue("Is3DEnabled", true);
    ModelManager manager(file("with3d"), {ResourceType::Scatter3D, ResourceType::Data, ResourceType::Scatter3D});
    QCOMPARE(manager.neededTypes(), (QList<ResourceType>{ResourceType::Scatter3D, ResourceType::Data}));
    QCOMPARE(manager.containerModels().keys(), (QList<ResourceType>{ResourceType::Data, ResourceType::Scatter3D}));
    QCOMPARE(manager.resourceModel(ResourceType::Scatter3D)->name(), QString("3D"));
}

void TestModelManager::createResourceReturnsTheSameItem()
{
    int deleted = 0;
    ModelManager manager(file("same"), allTypes);
    manager.loadSettings();
    auto line = manager.createResource(ResourceType::Line, "proto", "speed", true, nullptr, false);
    QVERIFY(line);
    QCOMPARE(line->uniqueName(), QString("protospeed"));
    QCOMPARE(qobject_cast<LineResourceItem*>(line)->lineRecord()->Length, 200);
    const QString color = line->data(BaseResourceItem::ColColor, 0).toString();
    QCOMPARE(manager.createResource(ResourceType::Line, "proto", "speed", false, nullptr, true), line);
    QVERIFY(line->isUsed());
    QVERIFY(line->resourceRecord()->IsUsed);
    QCOMPARE(line->data(BaseResourceItem::ColColor, 0).toString(), color);
    QVERIFY(line->isFixedVisibility());
    QCOMPARE(manager.resourceModel(ResourceType::Line)->rowCount(), 1);

    // Belong and Name are joined without separator.
    auto abc = manager.createResource(ResourceType::Scatter, "ab", "c");
    QCOMPARE(manager.createResource(ResourceType::Scatter, "a", "bc"), abc);
    QCOMPARE(abc->name(), QString("c"));

    auto first = new CountingFactory(&deleted);
    auto data = qobject_cast<DataResourceItem*>(manager.createResource(ResourceType::Data, "p", "view", true, first));
    QCOMPARE(data->factory(), first);
    auto second = new CountingFactory(&deleted);
    QCOMPARE(manager.createResource(ResourceType::Data, "p", "view", true, second), data);
    QCOMPARE(data->factory(), second);
    QCOMPARE(deleted, 1);
    // A chart item takes no page factory; the one given is not leaked.
    manager.createResource(ResourceType::Line, "p", "x", true, new CountingFactory(&deleted));
    QCOMPARE(deleted, 2);

    // Not used: no container, no announcement.
    QSignalSpy created(&manager, &ModelManager::resourceCreated);
    auto hidden = manager.createResource(ResourceType::Line, "p", "hidden", false);
    QVERIFY(!hidden->isUsed());
    QCOMPARE(hidden->containerName(), QString());
    QCOMPARE(created.count(), 0);
}

void TestModelManager::secondCreateDoesNotAnnounceAgain()
{
    ModelManager manager(file("again"), {ResourceType::Line});
    manager.loadSettings();
    BaseContainerModel* containers = manager.containerModel(ResourceType::Line);
    auto extra = qobject_cast<BaseContainerItem*>(containers->createItem(nullptr));
    QVERIFY(extra);
    QSignalSpy created(&manager, &ModelManager::resourceCreated);
    QSignalSpy moved(&manager, &ModelManager::resourceMoved);
    auto item = manager.createResource(ResourceType::Line, "p", "v");
    QCOMPARE(created.count(), 1);
    QCOMPARE(item->containerName(), containers->defaultContainerName());
    item->setData(BaseResourceItem::ColContainerName, extra->name());
    QCOMPARE(moved.count(), 2);
    QCOMPARE(manager.createResource(ResourceType::Line, "p", "v", true, nullptr, true), item);
    QCOMPARE(created.count(), 1);
    QCOMPARE(moved.count(), 2);
    QCOMPARE(item->containerName(), extra->name()); // not pulled back to the default
    QVERIFY(item->isFixedVisibility());
    // An item created not used and asked for again as used is announced now.
    auto later = manager.createResource(ResourceType::Line, "p", "later", false);
    QCOMPARE(created.count(), 1);
    later->setData(BaseResourceItem::ColIsUsed, true);
    QCOMPARE(manager.createResource(ResourceType::Line, "p", "later"), later);
    QCOMPARE(created.count(), 2);
    QVERIFY(!later->containerName().isEmpty());
}

void TestModelManager::paletteIsHandedOutAcrossPages()
{
    ModelManager a(file("pa"), allTypes);
    ModelManager b(file("pb"), allTypes);
    const QList<QColor>& palette = ModelManager::palette();
    QCOMPARE(palette.size(), 6);
    QCOMPARE(palette.at(0), QColor(109, 95, 213));
    QCOMPARE(palette.at(5), QColor(255, 85, 0));
    QList<BaseResourceItem*> items;
    items << a.createResource(ResourceType::Line, "p", "1");
    items << b.createResource(ResourceType::Scatter, "p", "2");
    a.createResource(ResourceType::Data, "p", "data");  // takes no colour
    a.createResource(ResourceType::Line, "p", "1");     // repeated: no colour
    items << a.createResource(ResourceType::Attitude, "p", "3");
    items << b.createResource(ResourceType::Scatter3D, "p", "4");
    items << a.createResource(ResourceType::Line, "p", "5");
    items << b.createResource(ResourceType::Line, "p", "6");
    items << a.createResource(ResourceType::Scatter, "p", "7");
    for (int i = 0; i < items.size(); ++i) {
        auto chart = qobject_cast<ChartResourceItem*>(items.at(i));
        QVERIFY(chart);
        QCOMPARE(chart->color(), palette.at(i % 6));
    }
    QCOMPARE(items.last()->data(BaseResourceItem::ColColor, 0).toString(), QString("#6d5fd5"));
}

void TestModelManager::freshPageGetsDefaultLayout()
{
    ModelManager manager(file("fresh"), allTypes);
    QSignalSpy containersCreated(&manager, &ModelManager::containerCreated);
    LogCapture log;
    manager.loadSettings();
    const QStringList windows = manager.windowModel()->windowNames();
    QCOMPARE(windows.size(), 1);
    QCOMPARE(containersCreated.count(), 5);
    for (ResourceType type : allTypes) {
        BaseContainerModel* model = manager.containerModel(type);
        QCOMPARE(model->rowCount(), 1);
        auto item = model->container(model->defaultContainerName());
        QVERIFY(item && item->isDefault());
        QVERIFY(item->name().startsWith(resourceTypeName(type) + " ["));
        QCOMPARE(item->window(), windows.first());
    }
    QCOMPARE(log.lines(QtWarningMsg).size(), 0);
    QCOMPARE(log.lines(QtCriticalMsg).size(), 0);
}

void TestModelManager::pageFileRoundTrip()
{
    const QString path = file("round");
    QString secondWindow, lineDefault, extraName;
    QColor speedColor;
    {
        ModelManager manager(path, allTypes);
        manager.loadSettings();
        WindowModel* windows = manager.windowModel();
        WindowItem* first = windows->window(windows->windowNames().first());
        windows->addNew(first);
        secondWindow = first->parentItem()->children().last()->name();
        BaseContainerModel* lines = manager.containerModel(ResourceType::Line);
        lineDefault = lines->defaultContainerName();
        auto extra = qobject_cast<LineContainerItem*>(lines->createItem(nullptr));
        extra->setData(BaseContainerItem::ColWindow, secondWindow);
        extra->setData(LineContainerItem::ColPoints, 42);
        extraName = extra->name();
        auto speed = manager.createResource(ResourceType::Line, "proto", "speed");
        speed->setData(BaseResourceItem::ColContainerName, extraName);
        speed->setData(BaseResourceItem::ColValue, 9.5);
        speedColor = qobject_cast<ChartResourceItem*>(speed)->color();
        manager.createResource(ResourceType::Scatter, "proto", "tag");
        manager.saveSettings();
    }
    QSettings raw(path, QSettings::IniFormat);
    QCOMPARE(raw.childGroups(), (QStringList{"Container", "Resource", "Window"}));
    QVERIFY(!raw.value("Window/Window").toString().contains('"'));
    QCOMPARE(raw.value("Container/Line/Version").toString(), QString("1.2.2.1"));
    QCOMPARE(raw.value("Resource/Line/Version").toString(), QString("1.1.1.1"));

    ModelManager::resetPaletteIndex(3);
    ModelManager manager(path, allTypes);
    QSignalSpy resourceMoved(&manager, &ModelManager::resourceMoved);
    LogCapture log;
    manager.loadSettings();
    QCOMPARE(log.lines(QtWarningMsg).size(), 0);
    WindowModel* windows = manager.windowModel();
    QCOMPARE(windows->windowNames().size(), 2);
    QVERIFY(windows->window(secondWindow));
    BaseContainerModel* lines = manager.containerModel(ResourceType::Line);
    QCOMPARE(lines->rowCount(), 2);
    QCOMPARE(lines->defaultContainerName(), lineDefault);
    auto extra = qobject_cast<LineContainerItem*>(lines->container(extraName));
    QCOMPARE(extra->window(), secondWindow);
    QCOMPARE(extra->lineRecord()->Points, 42);
    // Stored resources wait, silent, until the product creates them again.
    auto speed = manager.resourceModel(ResourceType::Line)->resource("protospeed");
    QVERIFY(speed && !speed->isUsed());
    QCOMPARE(resourceMoved.count(), 0);
    QCOMPARE(manager.createResource(ResourceType::Line, "proto", "speed"), speed);
    QCOMPARE(speed->containerName(), extraName);
    QCOMPARE(qobject_cast<ChartResourceItem*>(speed)->color(), speedColor);
    QCOMPARE(qobject_cast<LineResourceItem*>(speed)->values(), QList<double>{9.5});
    QCOMPARE(resourceMoved.count(), 1);
    QCOMPARE(manager.resourceModel(ResourceType::Scatter)->rowCount(), 1);
}

void TestModelManager::apostrophesSurviveAndOldFilesRead()
{
    const QString path = file("quotes");
    {
        ModelManager manager(path, {ResourceType::Line});
        manager.windowModel()->load("<?xml version=\"1.0\"?><WindowModel Version=\"1.2\">"
                                    "<Item Type=\"2\" Name=\"Bob's view\" Orientation=\"H\" "
                                    "CurrentContainer=\"Line's, [01]\"/></WindowModel>");
        auto record = new LineContainerItem::Data;
        record->Name = "Line's, [01]";
        QVERIFY(manager.containerModel(ResourceType::Line)->createItem(record));
        manager.saveSettings();
    }
    {
        ModelManager manager(path, {ResourceType::Line});
        LogCapture log;
        manager.loadSettings();
        QCOMPARE(log.lines(QtWarningMsg).size(), 0);
        WindowItem* window = manager.windowModel()->window("Bob's view");
        QVERIFY(window);
        QCOMPARE(window->orientation(), Qt::Horizontal);
        QCOMPARE(window->currentContainer(), QString("Line's, [01]"));
        auto container = manager.containerModel(ResourceType::Line)->container("Line's, [01]");
        QVERIFY(container);
        QCOMPARE(container->window(), QString("Bob's view"));
    }
    // A file written the old way (single quotes, no apostrophe) reads as before.
    const QString oldPath = file("old");
    {
        QSettings settings(oldPath, QSettings::IniFormat);
        settings.setValue("Window/Window", "<?xml version='1.0' encoding='UTF-8'?>\n<WindowModel Version='1.2'>"
                                           "<Item Type='2' Name='W1' Orientation='V' CurrentContainer=''/>"
                                           "</WindowModel>\n");
        settings.setValue("Container/Line/Version", "1.2.2.1");
        settings.setValue("Container/Line/Items", "Line [07],W1,true,300,500,-1,11,10,10;");
    }
    ModelManager manager(oldPath, {ResourceType::Line});
    manager.loadSettings();
    QCOMPARE(manager.windowModel()->windowNames(), QStringList{"W1"});
    QCOMPARE(manager.containerModel(ResourceType::Line)->defaultContainerName(), QString("Line [07]"));
}

void TestModelManager::activateResourcesFillsEmptyContainers()
{
    ModelManager manager(file("activate"), {ResourceType::Line, ResourceType::Scatter});
    manager.loadSettings();
    BaseContainerModel* lines = manager.containerModel(ResourceType::Line);
    const QString only = lines->defaultContainerName();
    auto item = manager.createResource(ResourceType::Line, "p", "v");
    auto idle = manager.createResource(ResourceType::Line, "p", "idle", false);
    auto scatter = manager.createResource(ResourceType::Scatter, "p", "s");
    QCOMPARE(item->containerName(), only);
    lines->container(only)->appendResource(item);
    lines->removeItem(lines->container(only));
    QCOMPARE(lines->rowCount(), 0);
    QCOMPARE(item->containerName(), QString());
    manager.activateResources(); // no Line container: nothing to give
    QCOMPARE(item->containerName(), QString());
    auto fresh = qobject_cast<BaseContainerItem*>(lines->createItem(nullptr));
    manager.activateResources();
    QCOMPARE(item->containerName(), fresh->name());
    QCOMPARE(idle->containerName(), QString());
    QCOMPARE(scatter->containerName(), manager.containerModel(ResourceType::Scatter)->defaultContainerName());
}

void TestModelManager::createResourceFromAnotherThread()
{
    int factoriesDeleted = 0;
    ModelManager manager(file("threads"), {ResourceType::Line, ResourceType::Data});
    manager.loadSettings();
    BaseResourceModel* lines = manager.resourceModel(ResourceType::Line);
    QThread* mainThread = QThread::currentThread();
    QThread* insertedOn = nullptr;
    connect(lines, &QAbstractItemModel::rowsInserted, this, [&]() { insertedOn = QThread::currentThread(); },
            Qt::DirectConnection);
    // What the views learn, in order.
    QStringList announced;
    connect(&manager, &ModelManager::resourceCreated, this,
            [&](ResourceType, BaseResourceItem* item) { announced << "+" + item->uniqueName(); });
    connect(&manager, &ModelManager::resourceDeleted, this,
            [&](ResourceType, QString name) { announced << "-" + name; });
    QThread worker;
    QObject onWorker;
    onWorker.moveToThread(&worker);
    worker.start();
    QThread* ranOn = nullptr;
    BaseResourceItem* first = nullptr;
    BaseResourceItem* second = nullptr;
    BaseResourceItem* refused = nullptr;
    BaseResourceItem* data = nullptr;
    BaseResourceItem* again = nullptr;
    CountingFactory* secondFactory = nullptr;
    QSemaphore returned;
    ThreadStop stop(worker);
    QMetaObject::invokeMethod(
        &onWorker,
        [&]() {
            ranOn = QThread::currentThread();
            first = manager.createResource(ResourceType::Line, "p", "v");
            // Asked again before its row exists: the same item.
            second = manager.createResource(ResourceType::Line, "p", "v");
            refused = manager.createResource(ResourceType::Scatter, "p", "v");
            if (first)
                first->setData(BaseResourceItem::ColValue, 1.5); // before its row exists
            data = manager.createResource(ResourceType::Data, "p", "data", true,
                                          new CountingFactory(&factoriesDeleted));
            secondFactory = new CountingFactory(&factoriesDeleted);
            manager.createResource(ResourceType::Data, "p", "data", true, secondFactory);
            // Made, written, released and made again before any of it reached the model.
            if (BaseResourceItem* gone = manager.createResource(ResourceType::Line, "p", "gone")) {
                gone->setData(BaseResourceItem::ColValue, 2.0);
                manager.releaseResources({gone});
            }
            again = manager.createResource(ResourceType::Line, "p", "gone");
            returned.release();
        },
        Qt::QueuedConnection);
    // This thread does not return to its event loop meanwhile: the worker must not
    // wait for it.
    QVERIFY(returned.tryAcquire(1, 10000));
    QCOMPARE(lines->rowCount(), 0);
    QCOMPARE(ranOn, &worker);
    QVERIFY(first);
    QCOMPARE(second, first);
    QVERIFY(!refused);
    QVERIFY(again);
    QCOMPARE(first->thread(), mainThread);
    QCOMPARE(again->thread(), mainThread);

    QTRY_COMPARE(lines->rowCount(), 2);
    worker.quit();
    worker.wait();
    QCOMPARE(insertedOn, mainThread);
    QCOMPARE(first->containerName(), manager.containerModel(ResourceType::Line)->defaultContainerName());
    QCOMPARE(qobject_cast<LineResourceItem*>(first)->values(), QList<double>{1.5});
    QCOMPARE(lines->resource("pgone"), again);
    QVERIFY(qobject_cast<LineResourceItem*>(again)->values().isEmpty());
    QCOMPARE(announced, (QStringList{"+pv", "+pdata", "+pgone", "-pgone", "+pgone"}));
    QCOMPARE(manager.resourceModel(ResourceType::Data)->rowCount(), 1);
    QCOMPARE(qobject_cast<DataResourceItem*>(data)->factory(), secondFactory);
    QCOMPARE(factoriesDeleted, 1); // the first, replaced

    // On the manager's thread a release takes effect at once.
    manager.releaseResources({first});
    QCOMPARE(lines->rowCount(), 1);
    QVERIFY(!lines->resource("pv"));
    QCOMPARE(announced.last(), QString("-pv"));
    disconnect(lines, nullptr, this, nullptr);
    disconnect(&manager, nullptr, this, nullptr);
}

// A node that goes and comes back at once: its item is made, released and asked
// for again by a parsing thread while the model's thread has run the insertion but
// not yet the release. The second request must build a new item, never hand out
// the one about to be deleted.
void TestModelManager::releasedItemIsNotHandedOutAgain()
{
    ModelManager manager(file("released"), {ResourceType::Line});
    manager.loadSettings();
    BaseResourceModel* lines = manager.resourceModel(ResourceType::Line);
    QThread worker;
    QObject onWorker;
    onWorker.moveToThread(&worker);
    worker.start();
    QSemaphore returned;
    BaseResourceItem* gone = nullptr;
    BaseResourceItem* again = nullptr;
    bool goneDestroyed = false;
    ThreadStop stop(worker);
    QMetaObject::invokeMethod(
        &onWorker,
        [&]() {
            gone = manager.createResource(ResourceType::Line, "p", "n");
            if (gone) {
                connect(gone, &QObject::destroyed, [&]() { goneDestroyed = true; });
                manager.releaseResources({gone});
            }
            returned.release();
        },
        Qt::QueuedConnection);
    QVERIFY(returned.tryAcquire(1, 10000));
    QVERIFY(gone);
    // Announced as its insertion runs, its release still queued behind it: the
    // parsing thread asks for the name now.
    bool asked = false;
    connect(&manager, &ModelManager::resourceCreated, this, [&](ResourceType, BaseResourceItem* item) {
        if (item != gone || asked)
            return;
        asked = true;
        QMetaObject::invokeMethod(
            &onWorker,
            [&]() {
                again = manager.createResource(ResourceType::Line, "p", "n");
                returned.release();
            },
            Qt::QueuedConnection);
        QVERIFY(returned.tryAcquire(1, 10000));
    });
    QTRY_VERIFY(goneDestroyed);
    QVERIFY(asked);
    QVERIFY(again);
    QVERIFY(again != gone);
    QTRY_COMPARE(lines->rowCount(), 1);
    QCOMPARE(lines->resource("pn"), again);
    QCOMPARE(lines->indexed("pn"), again);
    worker.quit();
    QVERIFY(worker.wait(5000));
    disconnect(&manager, nullptr, this, nullptr);
}

void TestModelManager::waitingThreadIsReleasedAtShutdown()
{
    // The GUI thread stops a worker while the worker waits for the GUI thread
    // to run its work: the stop must not hang, and the work never runs.
    auto manager = std::make_unique<ModelManager>(file("shutdown"), allTypes);
    manager->loadSettings();
    QThread worker;
    QObject onWorker;
    onWorker.moveToThread(&worker);
    worker.start();
    QSemaphore calling;
    std::atomic<bool> returned{false};
    std::atomic<bool> ran{false};
    bool result = true;
    LogCapture log;
    ThreadStop stop(worker);
    QMetaObject::invokeMethod(
        &onWorker,
        [&]() {
            calling.release();
            result = manager->runOnModelThread([&]() { ran = true; });
            returned = true;
        },
        Qt::QueuedConnection);
    calling.acquire();
    QThread::msleep(50); // the worker is inside its wait now
    worker.quit();
    QVERIFY(worker.wait(5000));
    QVERIFY(returned.load());
    QVERIFY(!result);
    QCOMPARE(log.count(QtWarningMsg, "hand-over to the model thread given up"), 1);
    // The queued work finds the call abandoned and does nothing.
    QCoreApplication::processEvents();
    QVERIFY(!ran.load());

    // A worker waiting while the manager goes away is released too.
    QThread second;
    QObject onSecond;
    onSecond.moveToThread(&second);
    second.start();
    std::atomic<bool> secondReturned{false};
    bool secondResult = true;
    QueuedCallCatcher catcher;
    manager->installEventFilter(&catcher);
    ThreadStop stopSecond(second);
    QMetaObject::invokeMethod(
        &onSecond,
        [&, m = manager.get()]() {
            calling.release();
            secondResult = m->runOnModelThread([&]() { ran = true; });
            secondReturned = true;
        },
        Qt::QueuedConnection);
    calling.acquire();
    QTRY_VERIFY(catcher.caught); // the worker waits for its hand-over now
    manager.reset();
    QTRY_VERIFY(secondReturned.load());
    QVERIFY(!secondResult);
    QVERIFY(!ran.load());
    second.quit();
    QVERIFY(second.wait(5000));
    flushDeletes();
}

void TestModelManager::signalsCarryTheType()
{
    QList<ResourceType> deletedTypes;
    QStringList deletedNames;
    {
        ModelManager manager(file("signals"), {ResourceType::Scatter, ResourceType::Data});
        QSignalSpy containerCreated(&manager, &ModelManager::containerCreated);
        QSignalSpy containerMoved(&manager, &ModelManager::containerMoved);
        manager.loadSettings();
        QCOMPARE(containerCreated.count(), 2);
        QCOMPARE(containerCreated.at(0).at(0).value<ResourceType>(), ResourceType::Data);
        QCOMPARE(containerCreated.at(1).at(0).value<ResourceType>(), ResourceType::Scatter);
        QCOMPARE(containerMoved.count(), 2);
        QCOMPARE(containerMoved.at(1).at(3).toString(), manager.windowModel()->windowNames().first());
        QSignalSpy resourceCreated(&manager, &ModelManager::resourceCreated);
        auto item = manager.createResource(ResourceType::Scatter, "p", "s");
        QCOMPARE(resourceCreated.count(), 1);
        QCOMPARE(resourceCreated.at(0).at(0).value<ResourceType>(), ResourceType::Scatter);
        QCOMPARE(resourceCreated.at(0).at(1).value<BaseResourceItem*>(), item);
        connect(&manager, &ModelManager::resourceDeleted, this, [&](ResourceType type, QString name) {
            deletedTypes << type;
            deletedNames << name;
        });
        connect(&manager, &ModelManager::containerDeleted, this, [&](ResourceType type, QString name) {
            deletedTypes << type;
            deletedNames << name;
        });
    }
    // Resources go first, then containers, each announced with its type.
    QCOMPARE(deletedTypes.size(), 3);
    QCOMPARE(deletedTypes.at(0), ResourceType::Scatter);
    QCOMPARE(deletedNames.at(0), QString("ps"));
    QVERIFY(deletedNames.at(1).startsWith("Data ["));
    QVERIFY(deletedNames.at(2).startsWith("2D ["));
}

TALMENO_TEST_MAIN(TestModelManager)
#include "tst_model_manager.moc"
