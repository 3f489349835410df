#include <QCheckBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QMessageBox>
#include <QPainter>
#include <QVBoxLayout>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QtDataVisualization/Q3DTheme>
#include <QtDataVisualization/QScatter3DSeries>
#include <QtDataVisualization/QScatterDataProxy>
#include <QtDataVisualization/QValue3DAxis>

#include "foundation/UserPaths.h"
#include "foundation/ZColorSchemeManager.h"
#include "helpers/ChartTestSupport.h"
#include "support/testenv.h"
#include "views/GlContextCheck.h"
#include "views/Scatter3DContainer.h"
#include "views/Scatter3DResource.h"
#include "views/ViewHooks.h"
#include "views/Z3DScatter.h"

using namespace QtDataVisualization;
using namespace charts_test;
using Item3D = Scatter3DContainerItem;

namespace {

class LogCapture
{
public:
    LogCapture()
    {
        lines().clear();
        previous_ = qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& msg) {
            lines() << msg;
        });
    }
    ~LogCapture() { qInstallMessageHandler(previous_); }
    static QStringList& lines()
    {
        static QStringList l;
        return l;
    }
    QStringList matching(const QString& text) const
    {
        QStringList out;
        for (const QString& line : lines())
            if (line.contains(text))
                out << line;
        return out;
    }

private:
    QtMessageHandler previous_;
};

std::unique_ptr<Scatter3DContainerItem> scatter3DContainerItem(const QString& name)
{
    Scatter3DContainerItemFactory factory;
    auto* item = static_cast<Scatter3DContainerItem*>(factory.createItem(nullptr));
    item->setData(0, name);
    return std::unique_ptr<Scatter3DContainerItem>(item);
}

int countNear(const QImage& image, const QColor& c, int tol = 40)
{
    int n = 0;
    const QImage img = image.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < img.height(); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        for (int x = 0; x < img.width(); ++x)
            if (qAbs(qRed(line[x]) - c.red()) < tol && qAbs(qGreen(line[x]) - c.green()) < tol
                && qAbs(qBlue(line[x]) - c.blue()) < tol)
                ++n;
    }
    return n;
}

const QRegularExpression kTimePrefix("^\\[\\d\\d\\.\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d\\d\\d\\] ");

} // namespace

class Test3D : public QObject
{
    Q_OBJECT

    QStringList openedFolders_;

private slots:
    void initTestCase()
    {
        if (!GlContextCheck::canCreate3DContext())
            QFAIL("no OpenGL 2.1 context on this display");
        initUserDataFolders();
        ZColorSchemeManager::instance()->applyStyleSheet(QString());
        ViewHooks::setOpenFolderHook([this](const QString& path) { openedFolders_ << path; });
    }

    // Runs first: the OpenGL strings are reported by the first graph of a run only.
    void firstGraphReportsGraphicsOnce()
    {
        QVERIFY(!Z3DScatter::graphicsAnnounced());
        QSettings().setValue("IgnoreIntelCard", false);
        QString realVendor;
        GlContextCheck::setInfoHook([&](GlContextCheck::GlInfo& info) {
            realVendor = info.vendor;
            info.vendor = "INTEL Open Source Technology Center";
        });
        LogCapture log;
        auto item = scatter3DContainerItem("Space");
        auto c = std::make_unique<Scatter3DContainer>(item.get());
        GlContextCheck::setInfoHook({});
        QVERIFY(c->hasGraph());
        QVERIFY(Z3DScatter::graphicsAnnounced());
        QVERIFY(!realVendor.isEmpty()); // read from the graph's own context

        const QStringList vendor = log.matching("GL_VENDOR: ");
        const QStringList version = log.matching("GL_VERSION: ");
        const QStringList renderer = log.matching("GL_RENDERER: ");
        QCOMPARE(vendor.size(), 1);
        QCOMPARE(version.size(), 1);
        QCOMPARE(renderer.size(), 1);
        QVERIFY(QRegularExpression("^\\[\\d\\d\\.\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d\\d\\d\\] "
                                   "GL_VENDOR: INTEL Open Source Technology Center$")
                    .match(vendor[0])
                    .hasMatch());
        QVERIFY(kTimePrefix.match(version[0]).hasMatch());
        QVERIFY(version[0].length() > QString("GL_VERSION: ").length() + 23); // a real version text

        // The Intel notice is open, not modal, and Ok keeps it coming at the next start.
        QMessageBox* notice = Z3DScatter::intelNotice();
        QVERIFY(notice);
        QVERIFY(notice->isVisible());
        QVERIFY(!notice->isModal());
        QCOMPARE(notice->text(), QString("Detected that you are using the Intel integrated graphics card"));
        QVERIFY(notice->informativeText().startsWith("It is known that some Intel integrated graphics cards"));
        QCOMPARE(notice->standardButtons(), QMessageBox::Ok | QMessageBox::Ignore);
        QCOMPARE(notice->defaultButton(), notice->button(QMessageBox::Ok));
        notice->button(QMessageBox::Ok)->click();
        QTRY_VERIFY(!Z3DScatter::intelNotice()); // deleted after the button
        QCOMPARE(QSettings().value("IgnoreIntelCard", false).toBool(), false);

        // The second graph of the run reports nothing.
        GlContextCheck::setInfoHook([](GlContextCheck::GlInfo& info) { info.vendor = "Intel"; });
        log.lines().clear();
        auto item2 = scatter3DContainerItem("Space2");
        Scatter3DContainer c2(item2.get());
        GlContextCheck::setInfoHook({});
        QVERIFY(c2.hasGraph());
        QVERIFY(log.matching("GL_").isEmpty());
        QVERIFY(!Z3DScatter::intelNotice());
    }

    void intelNoticeFollowsVendorAndSetting()
    {
        QSettings().setValue("IgnoreIntelCard", false);
        {
            LogCapture log;
            Z3DScatter::announceGraphics({"Mesa/X.org", "4.5 (Core Profile) Mesa", "llvmpipe"});
            QVERIFY(!Z3DScatter::intelNotice());
            QCOMPARE(log.matching("GL_RENDERER: llvmpipe").size(), 1);
        }
        Z3DScatter::announceGraphics({"intel corporation", "3.0", "HD"});
        QMessageBox* notice = Z3DScatter::intelNotice();
        QVERIFY(notice);
        notice->button(QMessageBox::Ignore)->click();
        QTRY_VERIFY(!Z3DScatter::intelNotice());
        QCOMPARE(QSettings().value("IgnoreIntelCard").toBool(), true);
        // Never again.
        Z3DScatter::announceGraphics({"Intel", "3.0", "HD"});
        QVERIFY(!Z3DScatter::intelNotice());
        QSettings().setValue("IgnoreIntelCard", false);
    }

    void axesFollowTheProgramCoordinates()
    {
        auto item = scatter3DContainerItem("Space");
        Scatter3DContainer c(item.get());
        QVERIFY(c.hasGraph());
        Z3DScatter* g = c.graph();
        // Before the item: the graph's own look.
        QCOMPARE(g->axisX()->title(), QString("X"));
        QCOMPARE(g->axisY()->title(), QString("Z"));
        QCOMPARE(g->axisZ()->title(), QString("Y"));
        QVERIFY(g->axisY()->isTitleVisible());
        QVERIFY(!g->axisX()->isAutoAdjustRange());
        QCOMPARE(g->activeTheme()->type(), Q3DTheme::ThemeQt);
        QCOMPARE(g->activeTheme()->font().pointSize(), 10);
        QCOMPARE(g->shadowQuality(), QAbstract3DGraph::ShadowQualityNone);
        QVERIFY(!g->activeTheme()->isBackgroundEnabled());
        QCOMPARE(g->activeTheme()->windowColor(),
                 ZColorSchemeManager::instance()->color(ZColorSchemeManager::BackgroundNormal));

        c.syncFromItem();
        QCOMPARE(g->axisX()->min(), -1.0f);
        QCOMPARE(g->axisX()->max(), 11.0f);
        QCOMPARE(g->axisZ()->min(), -1.0f); // program y: depth
        QCOMPARE(g->axisY()->min(), -3.0f); // program z: vertical
        QCOMPARE(g->axisY()->max(), 3.0f);
        QCOMPARE(g->axisX()->segmentCount(), 5); // grids are segments here
        QCOMPARE(c.zMinBox()->value(), -3.0);
        QCOMPARE(c.trackLengthBox()->value(), 500);

        c.zMinBox()->setValue(-5.0);
        emit c.zMinBox()->editingFinished();
        QCOMPARE(item->scatter3DRecord()->ZMin, -5.0f);
        QCOMPARE(g->axisY()->min(), -5.0f);
        QCOMPARE(c.zMaxBox()->minimum(), -5.0);
        c.yMinBox()->setValue(-2.5);
        emit c.yMinBox()->editingFinished();
        QCOMPARE(g->axisZ()->min(), -2.5f);
        QCOMPARE(g->axisY()->min(), -5.0f);
        // A range beyond the old other end comes in whole.
        item->setData(Item3D::ColXMin, 50.0f);
        item->setData(Item3D::ColXMax, 60.0f);
        QCOMPARE(g->axisX()->min(), 50.0f);
        QCOMPARE(g->axisX()->max(), 60.0f);
        QCOMPARE(c.xMinBox()->value(), 50.0);
        QCOMPARE(c.xMaxBox()->value(), 60.0);
        c.yGridsBox()->setValue(8);
        emit c.yGridsBox()->editingFinished();
        QCOMPARE(g->axisZ()->segmentCount(), 8);
        item->setData(Item3D::ColZGrids, 3);
        QCOMPARE(g->axisY()->segmentCount(), 3);
        QCOMPARE(c.zGridsBox()->value(), 3);
    }

    void resourcesAndShowAllBoxes()
    {
        auto item = scatter3DContainerItem("Space");
        Scatter3DContainer c(item.get());
        c.syncFromItem();
        auto free1 = scatter3DItem("uav");
        auto fixed = scatter3DItem("base");
        fixed->setFixedVisibility(true);
        Scatter3DResource r1(free1.get()), r2(fixed.get());
        r1.syncFromItem();
        r2.syncFromItem();
        c.putResource(&r1);
        c.putResource(&r2);
        // A hidden graph takes its series once shown.
        QVERIFY(c.graph()->seriesList().isEmpty());
        c.show();
        QCOMPARE(c.graph()->seriesList().size(), 4);
        QVERIFY(c.graph()->seriesList().contains(r1.marker()));
        QVERIFY(c.graph()->seriesList().contains(r1.trackSeries()));

        free1->setData(6, QVariant::fromValue(Scatter3DValue{1, 2, 3, 0, 0, 0}));
        r1.updateFromItem();
        QCOMPARE(r1.marker()->dataProxy()->itemAt(0)->position(), QVector3D(1, 3, 2));

        QVERIFY(c.showTrackBox()->isChecked());
        c.showTrackBox()->click();
        QCOMPARE(free1->scatter3DRecord()->ShowScatterTrack, false);
        QVERIFY(!r1.trackSeries()->isVisible());
        QCOMPARE(fixed->scatter3DRecord()->ShowScatterTrack, true);
        QVERIFY(r2.trackSeries()->isVisible());
        c.showMarkerBox()->click();
        QCOMPARE(free1->scatter3DRecord()->ShowMarker, false);
        QCOMPARE(fixed->scatter3DRecord()->ShowMarker, true);

        c.trackLengthBox()->setValue(7);
        emit c.trackLengthBox()->editingFinished();
        QCOMPARE(item->scatter3DRecord()->TrackLength, 7);
        QCOMPARE(free1->scatter3DRecord()->TrackLength, 7);
        for (int i = 0; i < 20; ++i)
            free1->setData(6, QVariant::fromValue(Scatter3DValue{float(i), 0, 0, 0, 0, 0}));
        QCOMPARE(free1->track().size(), 7);

        // Taken out, the series come back to the resource; a container that goes
        // first hands back what it still holds.
        c.takeResource(&r1);
        QCOMPARE(c.graph()->seriesList().size(), 2);
        QVERIFY(!r1.graph());
        auto other = std::make_unique<Scatter3DContainer>(item.get());
        other->show();
        other->putResource(&r1);
        QCOMPARE(r1.graph(), other->graph());
        other.reset();
        QVERIFY(r1.marker());
        QVERIFY(r1.trackSeries());
        QVERIFY(!r1.graph());
        c.takeResource(&r2);
    }

    void screenshotRendersTheGraph()
    {
        auto item = scatter3DContainerItem("Flight");
        item->setData(Item3D::ColXMin, -6.0f);
        item->setData(Item3D::ColXMax, 6.0f);
        item->setData(Item3D::ColYMin, -6.0f);
        item->setData(Item3D::ColYMax, 6.0f);
        Scatter3DContainer c(item.get());
        c.syncFromItem();
        c.resize(900, 600);
        const QColor colour(230, 60, 30);
        auto uav = scatter3DItem("uav", colour); // the default marker: the plane
        QCOMPARE(uav->scatter3DRecord()->MarkerType, 2);
        uav->setData(Scatter3DResourceItem::ColMarkerSize, 1.0f);
        uav->setData(Scatter3DResourceItem::ColTrackWidth, 0.06f);
        Scatter3DResource r(uav.get());
        r.syncFromItem();
        c.putResource(&r);
        for (int i = 0; i <= 120; ++i) {
            const double t = i / 120.0 * 4 * M_PI;
            uav->setData(6, QVariant::fromValue(Scatter3DValue{float(5 * std::cos(t)), float(5 * std::sin(t)),
                                                               float(-2 + t / 3), 0, 0, float(t * 57.3)}));
        }
        r.updateFromItem();
        c.show();
        QVERIFY(QTest::qWaitForWindowExposed(&c));
        QTest::qWait(200);

        const QColor labelColour = c.graph()->activeTheme()->labelTextColor();
        c.setScreenshotMode(true);
        QCOMPARE(c.graph()->activeTheme()->labelTextColor(), QColor(Qt::black));
        QCOMPARE(c.graph()->activeTheme()->backgroundColor(), QColor(Qt::white));
        c.setScreenshotMode(false);
        QCOMPARE(c.graph()->activeTheme()->labelTextColor(), labelColour);
        openedFolders_.clear();
        const QString path = c.takeScreenshot();
        QVERIFY(QFileInfo::exists(path));
        QVERIFY(QFileInfo(path).fileName().startsWith("[Flight]ScreenShot_"));
        QCOMPARE(openedFolders_, QStringList{screenshotDir});
        const QImage shot(path);
        QCOMPARE(shot.size(), c.graph()->size());
        // White window of the screenshot look, and the track drawn in its colour.
        QVERIFY(countNear(shot, Qt::white, 8) > shot.width() * shot.height() / 4);
        QVERIFY2(countNear(shot, colour, 60) > 300, qPrintable(QString::number(countNear(shot, colour, 60))));
        // The look comes back afterwards.
        QVERIFY(!c.graph()->activeTheme()->isBackgroundEnabled());
        QCOMPARE(c.graph()->activeTheme()->labelTextColor(), labelColour);
        QCOMPARE(c.graph()->activeTheme()->windowColor(),
                 ZColorSchemeManager::instance()->color(ZColorSchemeManager::BackgroundNormal));

        const QString out = qEnvironmentVariable("TALMENO_CHART_SCREENSHOT_DIR");
        if (!out.isEmpty()) {
            QDir().mkpath(out);
            QImage window = c.grab().toImage();
            QPainter p(&window);
            p.drawImage(c.graphWidget()->mapTo(&c, QPoint(0, 0)), c.renderGraph());
            p.end();
            window.save(out + "/scatter3d_container.png");
            shot.save(out + "/scatter3d_screenshot.png");
        }
        c.takeResource(&r);
    }

    // The window layout moves containers between tab stacks: hidden, without a
    // parent, then into another window.
    void survivesReparenting()
    {
        auto item = scatter3DContainerItem("Moved");
        item->setData(Item3D::ColXMin, -6.0f);
        item->setData(Item3D::ColXMax, 6.0f);
        item->setData(Item3D::ColYMin, -6.0f);
        item->setData(Item3D::ColYMax, 6.0f);
        QWidget first, second;
        auto* layout1 = new QVBoxLayout(&first);
        auto* layout2 = new QVBoxLayout(&second);
        auto* c = new Scatter3DContainer(item.get());
        c->syncFromItem();
        const QColor colour(30, 200, 90);
        auto s = scatter3DItem("uav", colour);
        s->setData(Scatter3DResourceItem::ColMarkerType, 0);
        Scatter3DResource r(s.get());
        r.syncFromItem();
        c->putResource(&r);
        for (int i = 0; i < 40; ++i)
            s->setData(6, QVariant::fromValue(Scatter3DValue{float(i) / 4 - 5, float(i) / 8, 0, 0, 0, 0}));
        r.updateFromItem();
        layout1->addWidget(c);
        first.resize(600, 400);
        first.show();
        QVERIFY(QTest::qWaitForWindowExposed(&first));

        c->hide();
        layout1->removeWidget(c);
        c->setParent(nullptr);
        QTest::qWait(50);
        layout2->addWidget(c);
        c->show();
        second.resize(640, 420);
        second.show();
        QVERIFY(QTest::qWaitForWindowExposed(&second));
        QTest::qWait(100);
        QVERIFY(c->graph()->hasContext());
        const QImage img = c->renderGraph();
        QVERIFY(!img.isNull());
        QVERIFY2(countNear(img, colour, 60) > 100, qPrintable(QString::number(countNear(img, colour, 60))));
        c->takeResource(&r);
        delete c;
        QVERIFY(r.marker());
    }

    // Runs last: the failure closes every window and turns 3D off.
    void missingContextTakesTheFailurePath()
    {
        QSettings().setValue("Is3DEnabled", true);
        GlContextCheck::setProbeHook([] { return false; });
        QStringList boxes;
        GlContextCheck::setModalBoxHook([&](QMessageBox* box) {
            boxes << box->windowTitle() << box->text();
            QVERIFY(box->standardButtons() == QMessageBox::Ok);
        });
        QWidget other;
        other.show();
        QVERIFY(QTest::qWaitForWindowExposed(&other));

        auto item = scatter3DContainerItem("Space");
        Scatter3DContainer c(item.get());
        QCOMPARE(boxes.size(), 2);
        QCOMPARE(boxes[0], QString("3D context initialization failed"));
        QCOMPARE(boxes[1], QString("context initialization failed,lack of sufficient platform support for OpenGL."
                                   "The current graphics card does not support 3D rendering of this application. "
                                   "The program will be closed. Please restart later"));
        QCOMPARE(QSettings().value("Is3DEnabled").toBool(), false);
        QVERIFY(!other.isVisible()); // every window was closed
        QVERIFY(!c.hasGraph());
        QVERIFY(!c.graphWidget());

        // Everything else works without a graph.
        c.syncFromItem();
        item->setData(Item3D::ColZMin, -4.0f);
        QCOMPARE(c.zMinBox()->value(), -4.0);
        auto s = scatter3DItem("uav");
        Scatter3DResource r(s.get());
        r.syncFromItem();
        c.putResource(&r);
        QVERIFY(!r.graph());
        c.setScreenshotMode(true);
        c.setScreenshotMode(false);
        QVERIFY(c.takeScreenshot().isEmpty());
        QVERIFY(c.renderGraph().isNull());
        c.takeResource(&r);

        // A second container of the run asks no more.
        Scatter3DContainer c2(item.get());
        QCOMPARE(boxes.size(), 2);
        QVERIFY(!c2.hasGraph());
        GlContextCheck::setProbeHook({});
        GlContextCheck::setModalBoxHook({});
    }
};

TALMENO_TEST_MAIN(Test3D)
#include "tst_3d_gl.moc"
