#include <QTemporaryDir>
#include <QThread>
#include <QtCharts/QLineSeries>
#include <atomic>
#include <chrono>
#include <thread>
#include <QElapsedTimer>
#include <QScopeGuard>
#include <memory>

#include "foundation/UserPaths.h"
#include "foundation/ZThreadManager.h"
#include "model/ModelManager.h"
#include "model/ResourceItems.h"
#include "support/testenv.h"
#include "views/ChartDrawBudget.h"
#include "views/ChartView2D.h"
#include "views/LineResource.h"
#include "views/RefreshManagers.h"
#include "views/ViewManager.h"

namespace {

// A product view: counts its redraws; optionally new data arrives while it draws.
class CountingItem : public SpecialDataResourceItem
{
public:
    using SpecialDataResourceItem::SpecialDataResourceItem;
    int redraws = 0;
    bool dataArrivesDuringRedraw = false;
    QList<int>* order = nullptr;
    int id = 0;
    std::atomic<QThread*> createdOn{nullptr};

    void createView() override { createdOn = QThread::currentThread(); }
    void refreshView() override
    {
        ++redraws;
        if (order)
            order->append(id);
        if (dataArrivesDuringRedraw)
            setDirty(true);
    }
};

// A chart whose every draw takes 200 ms, as a heavy chart does on a slow machine.
class SlowChartView : public LineChartView
{
public:
    using LineChartView::LineChartView;

protected:
    void drawBackground(QPainter* painter, const QRectF& rect) override
    {
        QThread::msleep(200);
        LineChartView::drawBackground(painter, rect);
    }
};

// A page with one line item and its resource.
struct OneLinePage
{
    QTemporaryDir dir;
    std::unique_ptr<ModelManager> models{
        new ModelManager(dir.filePath("p.ini"), QList<ResourceType>{ResourceType::Line})};
    std::unique_ptr<ViewManager> views{new ViewManager(models.get())};
    BaseResourceItem* item = nullptr;
    LineResource* resource = nullptr;

    OneLinePage()
    {
        models->loadSettings();
        item = models->createResource(ResourceType::Line, "dev", "v");
        resource = qobject_cast<LineResource*>(views->resource(ResourceType::Line, "devv"));
    }
};

template <typename F>
auto onThreadOf(QObject* object, F f) -> decltype(f())
{
    decltype(f()) result{};
    QMetaObject::invokeMethod(object, [&] { result = f(); }, Qt::BlockingQueuedConnection);
    return result;
}

} // namespace

class TestRefresh : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        initUserDataFolders();
        ZThreadManager::instance();
    }

    void intervalIsThousandByRateAndBadRatesAreRefused()
    {
        DataRefreshManager manager;
        QCOMPARE(manager.interval(), 0);
        manager.setFrequency(10);
        QCOMPARE(manager.interval(), 100);
        manager.setFrequency(1000);
        QCOMPARE(manager.interval(), 1);
        manager.setFrequency(30);
        QCOMPARE(manager.interval(), 33);
        for (int bad : {0, -5, 1001}) {
            QTest::ignoreMessage(QtWarningMsg,
                                 QRegularExpression(QString("^\\[\\d\\d\\.\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3}\\] "
                                                            "frequency <=0 \\|\\| frequency >1000 %1$")
                                                        .arg(bad)));
            manager.setFrequency(bad);
            QCOMPARE(manager.interval(), 33);
        }
    }

    void noTimerRunsBeforeARateIsSet()
    {
        DataRefreshManager manager;
        manager.setEnabled(true);
        QVERIFY(!manager.isActive());
        manager.setFrequency(20);
        QVERIFY(manager.isActive());
        QCOMPARE(manager.interval(), 50);
        manager.setEnabled(false);
        QVERIFY(!manager.isActive());
        manager.setFrequency(40);
        QVERIFY(!manager.isActive());
    }

    void changesRunOnTheManagersThread()
    {
        QThread worker;
        worker.start();
        auto* manager = new ChartRefreshManager;
        manager->moveToThread(&worker);
        manager->setFrequency(25);
        manager->setEnabled(true);
        // A timer started from another thread would not run at all.
        QTRY_VERIFY(onThreadOf(manager, [&] { return manager->isActive(); }));
        QCOMPARE(onThreadOf(manager, [&] { return manager->interval(); }), 40);
        // Without a page the passes run and do nothing.
        QTRY_VERIFY(manager->passCount() > 2);
        manager->stopAndDetach();
        QVERIFY(!onThreadOf(manager, [&] { return manager->isActive(); }));
        QMetaObject::invokeMethod(manager, [manager] { delete manager; }, Qt::BlockingQueuedConnection);
        worker.quit();
        worker.wait();
    }

    void chartPassOnItsThreadDrawsOnTheGuiThread()
    {
        OneLinePage page;
        QVERIFY(page.resource);
        for (int i = 0; i < 7; ++i)
            page.item->setData(BaseResourceItem::ColValue, double(i));

        QThread worker;
        worker.start();
        auto* manager = new ChartRefreshManager;
        manager->moveToThread(&worker);
        manager->setViewManager(page.views.get());
        manager->setFrequency(1000);
        manager->setEnabled(true);
        QTRY_COMPARE(page.resource->series()->count(), 7);
        QVERIFY(!page.item->isDirty());

        manager->stopAndDetach();
        QVERIFY(!manager->viewManager());
        const quint64 passes = manager->passCount();
        page.item->setData(BaseResourceItem::ColValue, 8.0);
        QTest::qWait(50);
        QCOMPARE(manager->passCount(), passes);
        QCOMPARE(page.resource->series()->count(), 7);
        QVERIFY(page.item->isDirty());

        QMetaObject::invokeMethod(manager, [manager] { delete manager; }, Qt::BlockingQueuedConnection);
        worker.quit();
        worker.wait();
        page.models.reset();
        page.views.reset();
    }

    // The port is read on the page's thread: a chart whose draws take long draws less
    // often, so that it takes at most half of that thread, and still shows the newest value.
    void slowChartTakesAtMostHalfThePagesThread()
    {
        OneLinePage page;
        QVERIFY(page.resource);
        auto* chart = new QtCharts::QChart;
        chart->addSeries(page.resource->series());
        SlowChartView view(chart, nullptr);
        view.resize(400, 300);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));

        QThread worker;
        worker.start();
        auto* manager = new ChartRefreshManager;
        manager->moveToThread(&worker);
        manager->setViewManager(page.views.get());
        manager->setFrequency(60);
        manager->setEnabled(true);

        // A device writing a new value every 5 ms.
        std::atomic<bool> stop{false};
        std::atomic<int> last{0};
        std::thread device([&] {
            for (int v = 1; !stop.load(); ++v) {
                page.item->setData(BaseResourceItem::ColValue, double(v));
                last = v;
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
        });
        // Also when a check fails: the threads end before their objects go.
        auto cleanup = qScopeGuard([&] {
            stop = true;
            if (device.joinable())
                device.join();
            manager->stopAndDetach();
            QMetaObject::invokeMethod(manager, [manager] { delete manager; }, Qt::BlockingQueuedConnection);
            worker.quit();
            worker.wait();
            chart->removeSeries(page.resource->series());
        });
        QTRY_VERIFY(ChartDrawBudget::totals().draws > 0);
        const ChartDrawBudget::Totals before = ChartDrawBudget::totals();
        QElapsedTimer clock;
        clock.start();
        QTest::qWait(3000);
        const ChartDrawBudget::Totals after = ChartDrawBudget::totals();
        const double drawing = double(after.drawNs - before.drawNs) / double(clock.nsecsElapsed());
        stop = true;
        device.join();
        QVERIFY2(after.draws - before.draws >= 3, qPrintable(QString::number(after.draws - before.draws)));
        QVERIFY2(drawing <= 0.55, qPrintable(QString("drawing took %1 of the thread").arg(drawing)));
        auto newest = [&] {
            const auto points = page.resource->series()->pointsVector();
            return points.isEmpty() ? -1.0 : points.last().y();
        };
        QTRY_COMPARE(newest(), double(last.load()));
    }

    void commonManagerRedrawsDirtyItemsInOrder()
    {
        QVERIFY(!CommonRefreshManager::singleton());
        QObject owner;
        CommonRefreshManager* common = CommonRefreshManager::instance(&owner);
        QCOMPARE(CommonRefreshManager::singleton(), common);
        QObject other;
        QCOMPARE(CommonRefreshManager::instance(&other), common);
        QCOMPARE(common->parent(), &owner);

        QList<int> order;
        auto a = std::make_unique<CountingItem>();
        auto b = std::make_unique<CountingItem>();
        auto c = std::make_unique<CountingItem>();
        int id = 0;
        for (CountingItem* i : {a.get(), b.get(), c.get()}) {
            i->order = &order;
            i->id = ++id;
            QVERIFY(!i->isDirty());
        }
        QCOMPARE(common->itemCount(), 3);

        c->setDirty(true);
        a->setDirty(true);
        common->refresh();
        QCOMPARE(order, (QList<int>{1, 3}));
        QVERIFY(!a->isDirty() && !c->isDirty());
        common->refresh();
        QCOMPARE(order.size(), 2);

        // Data arriving while the view draws is shown at the next tick.
        b->dataArrivesDuringRedraw = true;
        b->setDirty(true);
        common->refresh();
        QVERIFY(b->isDirty());
        common->refresh();
        QCOMPARE(b->redraws, 2);

        common->unregisterItem(b.get());
        common->unregisterItem(b.get()); // not registered: ignored
        QCOMPARE(common->itemCount(), 2);
        a.reset();
        QCOMPARE(common->itemCount(), 1);

        // Timer-driven.
        common->setFrequency(1000);
        common->setEnabled(true);
        c->setDirty(true);
        QTRY_COMPARE(c->redraws, 2);

        delete common;
        QVERIFY(!CommonRefreshManager::singleton());
        // Items outliving the manager leave quietly.
        c.reset();
        b.reset();
    }

    void viewIsCreatedOnTheGuiThread()
    {
        ZThreadManager::instance()->startThreads();
        QObject owner;
        CommonRefreshManager::instance(&owner);
        CountingItem item;
        item.createViewInGuiThread();
        QCOMPARE(item.createdOn.load(), QThread::currentThread());
        item.createdOn = nullptr;
        std::unique_ptr<QThread> caller(QThread::create([&item] { item.createViewInGuiThread(); }));
        caller->start();
        caller->wait();
        QTRY_COMPARE(item.createdOn.load(), QThread::currentThread());
        delete CommonRefreshManager::singleton();
        ZThreadManager::instance()->stopThreads();
    }
};

TALMENO_TEST_MAIN(TestRefresh)
#include "tst_refresh.moc"
