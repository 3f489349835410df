#include <QImage>
#include <QPointer>
#include <QScrollArea>
#include <QSemaphore>
#include <QThread>
#include <QtCharts/QLineSeries>
#include <QtCharts/QScatterSeries>
#include <QtDataVisualization/QCustom3DItem>
#include <QtDataVisualization/QScatter3DSeries>
#include <QtDataVisualization/QScatterDataProxy>

#include "helpers/ChartTestSupport.h"
#include "model/DataWidgetBaseFactory.h"
#include "support/testenv.h"
#include "views/AttitudeResource.h"
#include "views/ChartRefreshDriver.h"
#include "views/ChartResourceSettingWidget.h"
#include "views/ChartUpdateHandover.h"
#include "views/DataResource.h"
#include "views/LineResource.h"
#include "views/Scatter3DResource.h"
#include "views/ScatterResource.h"
#include "widgets/DataWidgetBase.h"
#include "widgets/ZColorTextLabel.h"

QT_CHARTS_USE_NAMESPACE
using namespace QtDataVisualization;
using namespace charts_test;

namespace {

QVector<QPointF> pointsOf(QXYSeries* s)
{
    return s->pointsVector();
}

// Runs f on a fresh worker thread and waits for it (the chart pass's side).
void onWorker(const std::function<void()>& f)
{
    QThread* t = QThread::create(f);
    t->start();
    QVERIFY(t->wait(5000));
    delete t;
}

class CountingPage : public DataWidgetBase
{
public:
    explicit CountingPage(QWidget* parent) : DataWidgetBase(nullptr, parent) {}
    void refresh() override { ++refreshes; }
    int refreshes = 0;
};

class CountingFactory : public DataWidgetBaseFactory
{
public:
    DataWidgetBase* create(DataResourceItem*, QWidget* parent) override
    {
        auto* page = new CountingPage(parent);
        page->hide();
        last = page;
        return page;
    }
    QPointer<DataWidgetBase> last;
};

// Two line series "a" and "b" with their resources, synced to their items.
struct TwoLines
{
    std::unique_ptr<LineResourceItem> a = lineItem("a");
    std::unique_ptr<LineResourceItem> b = lineItem("b");
    LineResource ra{a.get()};
    LineResource rb{b.get()};
    TwoLines()
    {
        ra.syncFromItem();
        rb.syncFromItem();
    }
};

QColor centrePixel(const QPixmap& p)
{
    return p.toImage().pixelColor(p.width() / 2, p.height() / 2);
}

} // namespace

class TestChartResources : public QObject
{
    Q_OBJECT

private slots:
    void linePointsAreIndexAndValue()
    {
        auto item = lineItem("dist");
        LineResource r(item.get());
        r.syncFromItem();
        QVERIFY(r.series()->useOpenGL());
        QCOMPARE(r.seriesList().size(), 1);
        item->setData(6, 5.0);
        item->setData(6, 7.0);
        item->setData(6, 9.0);
        r.updateFromItem();
        QCOMPARE(pointsOf(r.series()), (QVector<QPointF>{{0, 5}, {1, 7}, {2, 9}}));

        // Length caps the history; the x axis stays the index.
        item->setData(8, 2);
        item->setData(6, 11.0);
        r.updateFromItem();
        QCOMPARE(pointsOf(r.series()), (QVector<QPointF>{{0, 9}, {1, 11}}));
    }

    void lineSettingsReachTheSeries()
    {
        auto item = lineItem("dist", QColor(246, 166, 37));
        LineResource r(item.get());
        r.syncFromItem();
        QCOMPARE(r.series()->pen().width(), 2);
        QCOMPARE(r.series()->color(), QColor(246, 166, 37));
        QVERIFY(r.settingWidget());
        QVERIFY(!r.settingWidget()->isVisible());
        QCOMPARE(r.settingWidget()->nameLabel()->text(), QString("dist")); // filled by syncFromItem

        item->setData(7, 6);
        QCOMPARE(r.series()->pen().width(), 6);
        item->setData(5, "#ff5500");
        QCOMPARE(r.series()->color(), QColor(255, 85, 0));
        QCOMPARE(r.series()->pen().width(), 6);
        r.setItemVisible(false);
        QVERIFY(!r.series()->isVisible());
        QVERIFY(!item->isVisible());
        item->setFixedVisibility(true);
        r.setItemVisible(true);
        QVERIFY(!r.series()->isVisible());
    }

    void workerUpdatesReachTheGuiOnce()
    {
        auto item = lineItem("w");
        auto* r = new LineResource(item.get());
        r->syncFromItem();
        item->setData(6, 1.0);
        onWorker([&] { r->updateFromItem(); });
        // Not applied on the worker thread.
        QCOMPARE(r->series()->count(), 0);
        item->setData(6, 2.0);
        onWorker([&] { r->updateFromItem(); });
        // The newer copy replaced the older one.
        QCOMPARE(ChartUpdateHandover::instance().pendingCount(), 1);
        QTRY_COMPARE(r->series()->count(), 2);
        QCOMPARE(pointsOf(r->series()), (QVector<QPointF>{{0, 1}, {1, 2}}));

        // A resource deleted before the GUI thread gets to its copy: the copy is dropped.
        item->setData(6, 3.0);
        onWorker([&] { r->updateFromItem(); });
        delete r;
        QCOMPARE(ChartUpdateHandover::instance().pendingCount(), 0);
        QCOMPARE(ChartUpdateHandover::instance().flush(), 0);
    }

    // A pass over the series of a chart hands them over together: the GUI thread
    // turning its event loop in the middle of the pass applies nothing, so the
    // chart is repainted once with every series, not once per series.
    void passHandsOverAsOneBatch()
    {
        TwoLines lines;
        auto& [a, b, ra, rb] = lines;
        a->setData(6, 1.0);
        b->setData(6, 2.0);
        QSemaphore firstPosted, guiTurned;
        QThread* pass = QThread::create([&] {
            ChartUpdateHandover::Batch batch;
            lines.ra.updateFromItem();
            firstPosted.release();
            guiTurned.acquire();
            lines.rb.updateFromItem();
        });
        pass->start();
        QVERIFY(firstPosted.tryAcquire(1, 5000));
        QCoreApplication::processEvents();
        QCOMPARE(ra.series()->count(), 0);
        QCOMPARE(ChartUpdateHandover::instance().pendingCount(), 0);
        guiTurned.release();
        QVERIFY(pass->wait(5000));
        delete pass;
        QCOMPARE(ChartUpdateHandover::instance().pendingCount(), 2);
        QCoreApplication::processEvents();
        QCOMPARE(ra.series()->count(), 1);
        QCOMPARE(rb.series()->count(), 1);
        QCOMPARE(ChartUpdateHandover::instance().pendingCount(), 0);
    }

    void driverUpdatesOnlyDirtyVisibleItems()
    {
        TwoLines lines;
        auto& [a, b, ra, rb] = lines;
        ChartRefreshDriver driver;
        driver.addResource(&ra);
        driver.addResource(&rb);
        a->setDirty(false);
        b->setDirty(false);

        a->setData(6, 4.0);
        b->setData(6, 8.0);
        b->setData(4, false); // hidden after the value came in: keeps its dirty flag
        QCOMPARE(driver.refreshOnce(), 1);
        QCOMPARE(ra.series()->count(), 1);
        QCOMPARE(rb.series()->count(), 0);
        QVERIFY(!a->isDirty());
        QVERIFY(b->isDirty());
        QCOMPARE(driver.refreshOnce(), 0);
        b->setData(4, true);
        QCOMPARE(driver.refreshOnce(), 1);
        QCOMPARE(rb.series()->count(), 1);

        driver.removeResource(&rb);
        b->setData(6, 9.0);
        QCOMPARE(driver.refreshOnce(), 0);
    }

    void driverRunsOnItsThread()
    {
        auto item = lineItem("t");
        LineResource r(item.get());
        r.syncFromItem();
        QThread worker;
        worker.start();
        {
            ChartRefreshDriver driver;
            driver.addResource(&r);
            driver.start(&worker, 100);
            for (int i = 0; i < 50; ++i)
                item->setData(6, double(i));
            QTRY_COMPARE(r.series()->count(), 50);
            QCOMPARE(r.series()->at(49), QPointF(49, 49));
            QVERIFY(driver.passCount() > 0);
            driver.stop();
            driver.removeResource(&r);
            QMetaObject::invokeMethod(&driver, [&] { driver.moveToThread(qApp->thread()); },
                                      Qt::BlockingQueuedConnection);
        }
        worker.quit();
        worker.wait();
    }

    void scatterMarkerFollowsLastValueAndTrack()
    {
        auto item = scatterItem("anchor");
        ScatterResource r(item.get());
        r.syncFromItem();
        QCOMPARE(r.seriesList(), (QList<QAbstractSeries*>{r.marker(), r.lineTrack(), r.scatterTrack()}));
        QCOMPARE(r.marker()->name(), QString("anchor"));
        QCOMPARE(r.lineTrack()->name(), QString("anchor_lt"));
        QCOMPARE(r.scatterTrack()->name(), QString("anchor_st"));
        QVERIFY(!r.marker()->useOpenGL());
        QVERIFY(r.lineTrack()->useOpenGL());
        QVERIFY(r.scatterTrack()->useOpenGL());
        QVERIFY(!r.scatterTrack()->isVisible()); // ShowScatterTrack defaults to false

        item->setData(6, QVariant::fromValue(ScatterValue{1, 2, 0}));
        item->setData(6, QVariant::fromValue(ScatterValue{3, 4, 0}));
        r.updateFromItem();
        QCOMPARE(pointsOf(r.marker()), (QVector<QPointF>{{3, 4}}));
        QCOMPARE(pointsOf(r.lineTrack()), (QVector<QPointF>{{1, 2}, {3, 4}}));
        // The scatter track is off: it keeps its (empty) points.
        QCOMPARE(r.scatterTrack()->count(), 0);
        // Angle 0 on the first update is applied (the last angle started at 1e-6).
        QCOMPARE(r.lastAngle(), 0.0);

        item->setData(6, QVariant::fromValue(ScatterValue{5, 6, 30}));
        r.updateFromItem();
        QCOMPARE(pointsOf(r.marker()), (QVector<QPointF>{{5, 6}}));
        QCOMPARE(r.lastAngle(), 30.0);
        QTransform expected;
        expected.translate(15, 15);
        expected.rotate(-30);
        expected.translate(-15, -15);
        QCOMPARE(r.marker()->brush().transform(), expected);

        // An empty track clears the marker although a last value exists.
        item->clear();
        r.updateFromItem();
        QCOMPARE(r.marker()->count(), 0);
        QCOMPARE(r.lineTrack()->count(), 0);
    }

    void scatterShowFlagsHideAndFreeze()
    {
        auto item = scatterItem("s");
        ScatterResource r(item.get());
        r.syncFromItem();
        item->setData(6, QVariant::fromValue(ScatterValue{1, 1, 0}));
        r.updateFromItem();
        item->setData(8, false);
        QVERIFY(!r.lineTrack()->isVisible());
        item->setData(6, QVariant::fromValue(ScatterValue{2, 2, 0}));
        r.updateFromItem();
        QCOMPARE(r.lineTrack()->count(), 1); // no updates while off
        item->setData(8, true);
        QVERIFY(r.lineTrack()->isVisible());
        QCOMPARE(r.lineTrack()->count(), 1); // old points until the next refresh
        r.updateFromItem();
        QCOMPARE(r.lineTrack()->count(), 2);

        item->setData(4, false);
        QVERIFY(!r.marker()->isVisible() && !r.lineTrack()->isVisible() && !r.scatterTrack()->isVisible());
        item->setData(4, true);
        item->setData(9, true);
        QVERIFY(r.marker()->isVisible() && r.lineTrack()->isVisible() && r.scatterTrack()->isVisible());
        r.setItemShowMarker(false);
        QVERIFY(!r.marker()->isVisible());
    }

    void scatterMarkerPictures()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath("pin.png");
        auto item = scatterItem("m", QColor(0, 0, 255));
        item->setData(11, file); // does not exist yet: types 0 and 1 must not care
        ScatterResource r(item.get());
        QVERIFY(r.markerPixmap().isNull()); // nothing before syncFromItem
        r.syncFromItem();
        QCOMPARE(r.markerPixmap().size(), QSize(30, 30));
        QCOMPARE(centrePixel(r.markerPixmap()), QColor(0, 0, 255));
        QCOMPARE(r.marker()->markerSize(), 30.0);

        item->setData(5, "#00ff00"); // colour change rebuilds the picture
        QCOMPARE(centrePixel(r.markerPixmap()), QColor(0, 255, 0));

        item->setData(10, 1);
        const QPixmap tri = r.markerPixmap();
        QCOMPARE(tri.toImage().pixelColor(15, 2).alpha() > 0, true); // apex
        QCOMPARE(tri.toImage().pixelColor(2, 2).alpha(), 0);          // outside
        QCOMPARE(ScatterResource::triangleMarkerPixmap(30, Qt::green).toImage(), tri.toImage());

        QImage red(10, 10, QImage::Format_ARGB32);
        red.fill(Qt::red);
        QVERIFY(red.save(file));
        item->setData(10, 2);
        QCOMPARE(r.markerPixmap().size(), QSize(30, 30));
        QCOMPARE(centrePixel(r.markerPixmap()), QColor(Qt::red));
        // The picture is read again on each rebuild and never recoloured.
        QImage blue(10, 10, QImage::Format_ARGB32);
        blue.fill(Qt::blue);
        QVERIFY(blue.save(file));
        item->setData(5, "#ffff00");
        QCOMPARE(centrePixel(r.markerPixmap()), QColor(Qt::blue));
        item->setData(12, 20);
        QCOMPARE(r.markerPixmap().size(), QSize(20, 20));
        QCOMPARE(r.marker()->markerSize(), 20.0);
    }

    void scatterLabelsAndTrackWidth()
    {
        auto item = scatterItem("tag7");
        ScatterResource r(item.get());
        r.syncFromItem();
        QCOMPARE(r.marker()->pointLabelsFormat(), QString("tag7"));
        QVERIFY(r.marker()->pointLabelsVisible());
        item->setData(14, true);
        QCOMPARE(r.marker()->pointLabelsFormat(), QString("tag7:(@xPoint, @yPoint)"));
        item->setData(13, false);
        QCOMPARE(r.marker()->pointLabelsFormat(), QString("(@xPoint, @yPoint)"));
        item->setData(14, false);
        QCOMPARE(r.marker()->pointLabelsFormat(), QString());
        QVERIFY(!r.marker()->pointLabelsVisible());

        QCOMPARE(r.lineTrack()->pen().width(), 5);
        QCOMPARE(r.scatterTrack()->pen().width(), 8); // round(5 * 1.618)
        item->setData(15, 10);
        QCOMPARE(r.lineTrack()->pen().width(), 10);
        QCOMPARE(r.scatterTrack()->pen().width(), 16);
    }

    void scatter3DMeshTrackAndMarker()
    {
        auto item = scatter3DItem("uav");
        Scatter3DResource r(item.get());
        r.syncFromItem();
        QCOMPARE(r.marker()->itemLabelFormat(), QString("uav:@xLabel,@zLabel,@yLabel"));
        QCOMPARE(r.trackSeries()->itemLabelFormat(), QString("@xLabel,@zLabel,@yLabel"));
        // Airplane by default: the paper plane at a twentieth of MarkerSize.
        QCOMPARE(r.marker()->mesh(), QAbstract3DSeries::MeshUserDefined);
        QCOMPARE(r.marker()->userDefinedMesh(), QString(":/obj/paperplane.obj"));
        QVERIFY(qAbs(r.marker()->itemSize() - 0.01f) < 1e-6f);
        QVERIFY(qAbs(r.trackSeries()->itemSize() - 0.1f) < 1e-6f);
        QCOMPARE(r.marker()->baseColor(), QColor(32, 159, 223));

        item->setData(9, 0);
        QCOMPARE(r.marker()->mesh(), QAbstract3DSeries::MeshSphere);
        QVERIFY(qAbs(r.marker()->itemSize() - 0.2f) < 1e-6f);
        item->setData(9, 1);
        QCOMPARE(r.marker()->mesh(), QAbstract3DSeries::MeshMinimal);
        item->setData(9, 7);
        QCOMPARE(r.marker()->mesh(), QAbstract3DSeries::MeshMinimal);

        item->setData(6, QVariant::fromValue(Scatter3DValue{1, 2, 3, 0, 0, 0}));
        item->setData(6, QVariant::fromValue(Scatter3DValue{4, 5, 6, 0, 0, 0}));
        r.updateFromItem();
        QCOMPARE(r.trackSeries()->dataProxy()->itemCount(), 2);
        QCOMPARE(r.marker()->dataProxy()->itemCount(), 1);
        QCOMPARE(r.marker()->dataProxy()->itemAt(0)->position(), QVector3D(4, 6, 5));
        item->setData(6, QVariant::fromValue(Scatter3DValue{7, 8, 9, 0, 0, 0}));
        r.updateFromItem();
        QCOMPARE(r.marker()->dataProxy()->itemCount(), 1);
        QCOMPARE(r.marker()->dataProxy()->itemAt(0)->position(), QVector3D(7, 9, 8));

        item->clear();
        r.updateFromItem();
        QCOMPARE(r.trackSeries()->dataProxy()->itemCount(), 0);
        QCOMPARE(r.marker()->dataProxy()->itemCount(), 0);

        item->setData(7, false);
        QVERIFY(!r.marker()->isVisible());
        QVERIFY(r.trackSeries()->isVisible());
        item->setData(4, false);
        QVERIFY(!r.trackSeries()->isVisible());
    }

    void attitudeRotationAndColour()
    {
        auto item = attitudeItem("att", QColor(10, 20, 30));
        AttitudeResource r(item.get());
        r.syncFromItem();
        QCOMPARE(r.model()->meshFile(), QString(":/obj/paperplane.obj"));
        QCOMPARE(r.model()->scaling(), QVector3D(0.05f, 0.05f, 0.05f));
        QCOMPARE(r.texture().size(), QSize(2, 2));
        QCOMPARE(r.texture().pixelColor(1, 1), QColor(10, 20, 30));

        item->setData(6, QVariant::fromValue(QVector3D(0, 0, 90)));
        r.updateFromItem();
        QVERIFY(qFuzzyCompare(r.model()->rotation(), QQuaternion()));
        item->setData(6, QVariant::fromValue(QVector3D(0, 0, 0)));
        r.updateFromItem();
        QVERIFY(qFuzzyCompare(r.model()->rotation(), QQuaternion::fromAxisAndAngle(0, 1, 0, -90)));

        QSignalSpy rotations(r.model(), &QCustom3DItem::rotationChanged);
        r.updateFromItem(); // unchanged value: rotation not set again
        QCOMPARE(rotations.count(), 0);
        item->setData(6, QVariant::fromValue(QVector3D(10, 0, 0)));
        r.updateFromItem();
        QCOMPARE(rotations.count(), 1);

        item->setData(4, false);
        QVERIFY(!r.model()->isVisible());
    }

    void dataResourceDrivesThePage()
    {
        DataResourceItemFactory factory;
        std::unique_ptr<DataResourceItem> item(static_cast<DataResourceItem*>(factory.createItem(nullptr)));
        auto* pageFactory = new CountingFactory;
        item->setFactory(pageFactory);
        QWidget viewManager;
        QPointer<QScrollArea> area;
        {
            DataResource r(item.get(), &viewManager);
            r.syncFromItem();
            area = r.scrollArea();
            QCOMPARE(area->parentWidget(), &viewManager);
            QCOMPARE(area->widget(), r.view());
            QVERIFY(area->widgetResizable());
            auto* page = static_cast<CountingPage*>(r.view());
            r.updateFromItem();
            r.updateFromItem();
            QCOMPARE(page->refreshes, 2);
            item->setData(4, false);
            QVERIFY(area->isHidden());
            item->setData(4, true);
            QVERIFY(!area->isHidden());
        }
        QVERIFY(area.isNull());
        QVERIFY(pageFactory->last.isNull());
    }
};

TALMENO_TEST_MAIN(TestChartResources)
#include "tst_chartresources.moc"
