#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLWidget>
#include <QScreen>
#include <QThread>
#include <QtCharts/QLineSeries>
#include <QtDataVisualization/Q3DScatter>
#include <QtDataVisualization/QCustom3DItem>
#include <QtDataVisualization/QScatter3DSeries>
#include <QtDataVisualization/QScatterDataProxy>
#include <algorithm>
#include <atomic>
#include <cmath>

#include "foundation/UserPaths.h"
#include "foundation/ZColorSchemeManager.h"
#include "foundation/ZThreadManager.h"
#include "helpers/ChartTestSupport.h"
#include "support/EventLog.h"
#include "support/testenv.h"
#include "views/AttitudeResource.h"
#include "views/ChartRefreshDriver.h"
#include "views/ChartView2D.h"
#include "views/LineContainer.h"
#include "views/LineResource.h"
#include "views/Scatter3DResource.h"
#include "views/ViewHooks.h"

QT_CHARTS_USE_NAMESPACE
using namespace QtDataVisualization;
using namespace charts_test;

namespace {

// The colour most pixels of the picture have.
QRgb commonestColour(const QImage& image)
{
    QHash<QRgb, int> counts;
    const QImage img = image.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            ++counts[img.pixel(x, y)];
    QRgb best = 0;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        if (it.value() > counts.value(best))
            best = it.key();
    return best;
}

// Pixels of the picture close to the colour.
int countColour(const QImage& image, const QColor& c)
{
    int n = 0;
    const QImage img = image.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < img.height(); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        for (int x = 0; x < img.width(); ++x) {
            const QRgb p = line[x];
            if (qAbs(qRed(p) - c.red()) < 40 && qAbs(qGreen(p) - c.green()) < 40 && qAbs(qBlue(p) - c.blue()) < 40)
                ++n;
        }
    }
    return n;
}

bool openGLWorks()
{
    QOffscreenSurface surface;
    surface.create();
    QOpenGLContext ctx;
    return ctx.create() && ctx.makeCurrent(&surface);
}

} // namespace

class TestChartsGL : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (!openGLWorks())
            QFAIL("no OpenGL context on this display");
        initUserDataFolders();
        ZColorSchemeManager::instance()->applyStyleSheet(QString());
        ViewHooks::setOpenFolderHook([](const QString&) {});
        ZThreadManager::instance()->startThreads();
    }

    void cleanupTestCase()
    {
        ZThreadManager::instance()->stopThreads();
    }

    // Three live series, refreshed on the chart thread while a writer feeds them
    // at 1 kHz; the screenshot must hold the curves that OpenGL drew.
    void liveLineContainerScreenshot()
    {
        const QList<QColor> colours{QColor(109, 95, 213), QColor(191, 89, 62), QColor(32, 159, 223)};
        auto containerItem = lineContainerItem("Range");
        containerItem->setData(6, 2.0);  // YMax
        containerItem->setData(5, -2.0); // YMin
        LineContainer c(containerItem.get());
        c.syncFromItem();
        c.resize(1100, 600);

        std::vector<std::unique_ptr<LineResourceItem>> items;
        std::vector<std::unique_ptr<LineResource>> resources;
        const QStringList names{"distance", "signal", "noise"};
        ChartRefreshDriver driver;
        for (int i = 0; i < 3; ++i) {
            items.push_back(lineItem(names[i], colours[i]));
            items.back()->setData(7, 3);
            resources.push_back(std::make_unique<LineResource>(items.back().get()));
            resources.back()->syncFromItem();
            c.putResource(resources.back().get());
            driver.addResource(resources.back().get());
        }
        c.show();
        QVERIFY(QTest::qWaitForWindowExposed(&c));

        std::atomic<bool> stop{false};
        QThread* writer = QThread::create([&] {
            for (int t = 0; !stop.load(); ++t) {
                const double s = t / 1000.0;
                items[0]->setData(6, 1.5 * std::sin(2 * M_PI * 0.5 * s));
                items[1]->setData(6, std::cos(2 * M_PI * 1.3 * s) * 0.8 + 0.3);
                items[2]->setData(6, 0.25 * std::sin(2 * M_PI * 7 * s) - 1.0);
                QThread::usleep(1000);
            }
        });
        writer->start();
        driver.start(ZThreadManager::instance()->thread(4), 30);
        // Every series holds the container's 500 points, drawn over many passes.
        QTRY_VERIFY_WITH_TIMEOUT(driver.passCount() >= 20 &&
                                     std::all_of(resources.begin(), resources.end(),
                                                 [](const auto& r) { return r->series()->count() == 500; }),
                                 20000);
        stop = true;
        writer->wait();
        delete writer;
        // The last values drawn too.
        QTRY_VERIFY_WITH_TIMEOUT(std::none_of(items.begin(), items.end(), [](const auto& i) { return i->isDirty(); }),
                                 5000);
        driver.stop();
        QMetaObject::invokeMethod(&driver, [&] { driver.moveToThread(qApp->thread()); }, Qt::BlockingQueuedConnection);

        QVERIFY(driver.passCount() >= 20);
        for (auto& r : resources)
            QCOMPARE(r->series()->count(), 500); // Points of the container

        QVERIFY2(c.view()->findChild<QOpenGLWidget*>(), "the line series draw with OpenGL");
        const QString path = c.takeScreenshot();
        QVERIFY(QFileInfo::exists(path));
        QVERIFY(QFileInfo(path).fileName().startsWith("[Range]ScreenShot_"));
        QCOMPARE(QFileInfo(path).absolutePath(), QFileInfo(screenshotDir).absoluteFilePath());
        const QImage shot(path);
        for (const QColor& colour : colours) {
            const int inShot = countColour(shot, colour);
            QVERIFY2(inShot > 200, qPrintable(QString("%1 pixels of %2").arg(inShot).arg(colour.name())));
        }

        // The OpenGL widget has a window of its own, nothing else of the container
        // does, and the screen shows the same plot as the grab: the curves over the
        // chart's own background, not over black.
        QOpenGLWidget* gl = c.view()->findChild<QOpenGLWidget*>();
        QVERIFY(gl->internalWinId());
        for (QWidget* w : c.findChildren<QWidget*>())
            QVERIFY2(w == gl || !w->internalWinId(), w->metaObject()->className());
        const QRect onScreen(gl->mapToGlobal(QPoint(0, 0)), gl->size());
        const auto onTheScreen = [&onScreen] {
            return QGuiApplication::primaryScreen()->grabWindow(0).toImage().copy(onScreen);
        };
        // Once the screen has caught up with the widget's last frame.
        QTRY_VERIFY_WITH_TIMEOUT(std::all_of(colours.begin(), colours.end(),
                                             [image = onTheScreen()](const QColor& colour) {
                                                 return countColour(image, colour) > 200;
                                             }),
                                 5000);
        const QImage screen = onTheScreen();
        const QImage plot = c.grabChart().toImage().copy(QRect(gl->mapTo(c.view(), QPoint(0, 0)), gl->size()));
        QCOMPARE(commonestColour(screen), commonestColour(plot));
        for (const QColor& colour : colours)
            QVERIFY2(countColour(screen, colour) > 200, qPrintable(colour.name()));

        // New points of an OpenGL series repaint the OpenGL widget alone: nothing
        // of the view under it is painted again.
        talmeno_test::EventLog paints(QEvent::Paint);
        paints.watch(c.view()->viewport(), "view");
        paints.watch(gl, "gl");
        const auto newPoints = [&] {
            const int painted = paints.count("gl");
            QVector<QPointF> points = resources[1]->series()->pointsVector();
            for (QPointF& p : points)
                p.setY(-p.y());
            resources[1]->series()->replace(points);
            QTRY_VERIFY(paints.count("gl") > painted);
        };
        // Paints of the view still due from the live updates come with the first changes.
        for (int warmUp = 0, viewPainted = -1; viewPainted != paints.count("view"); ++warmUp) {
            QVERIFY2(warmUp < 20, "the view is painted with every change");
            viewPainted = paints.count("view");
            newPoints();
        }
        const int viewPainted = paints.count("view");
        for (int pass = 0; pass < 3; ++pass)
            newPoints();
        QCOMPARE(paints.count("view"), viewPainted);

        const QString out = qEnvironmentVariable("TALMENO_CHART_SCREENSHOT_DIR");
        if (!out.isEmpty()) {
            QDir().mkpath(out);
            QImage window = c.grab().toImage();
            QPainter p(&window);
            p.drawImage(c.view()->mapTo(&c, QPoint(0, 0)), shot);
            p.end();
            window.save(out + "/line_container_three_live_series.png");
        }
        for (auto& r : resources)
            c.takeResource(r.get());
    }

    void scatter3DAndAttitudeInAGraph()
    {
        auto* graph = new Q3DScatter();
        QVERIFY(graph->hasContext());
        graph->resize(400, 300);
        graph->show();

        auto item = scatter3DItem("uav");
        auto att = attitudeItem("att");
        Scatter3DResource r(item.get());
        AttitudeResource a(att.get());
        r.syncFromItem();
        a.syncFromItem();
        r.attachToGraph(graph);
        a.attachToGraph(graph);
        QCOMPARE(graph->seriesList().size(), 2);
        QCOMPARE(graph->customItems().size(), 1);

        for (int i = 0; i < 20; ++i)
            item->setData(6, QVariant::fromValue(Scatter3DValue{float(i) / 2, 1, float(i) / 10, 0, 0, float(i) * 9}));
        att->setData(6, QVariant::fromValue(QVector3D(10, 20, 30)));
        r.updateFromItem();
        a.updateFromItem();
        QCOMPARE(r.trackSeries()->dataProxy()->itemCount(), 20);
        const QImage img = graph->renderToImage(0, QSize(400, 300));
        QVERIFY(!img.isNull());

        // Taking them out hands the objects back: the graph no longer holds them.
        r.detachFromGraph();
        a.detachFromGraph();
        QCOMPARE(graph->seriesList().size(), 0);
        QCOMPARE(graph->customItems().size(), 0);
        QVERIFY(r.marker());
        QVERIFY(a.model());

        // A graph that goes first takes what it holds with it; the resources cope.
        r.attachToGraph(graph);
        a.attachToGraph(graph);
        delete graph;
        QVERIFY(!r.graph());
        r.updateFromItem();
        a.updateFromItem();
    }
};

TALMENO_TEST_MAIN(TestChartsGL)
#include "tst_charts_gl.moc"
