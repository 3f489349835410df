#include <QDir>
#include <QFileInfo>
#include <QGraphicsLayout>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLWidget>
#include <QPainter>
#include <QTemporaryDir>
#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QSpinBox>
#include <QToolButton>
#include "widgets/ZPopupShadowWindow.h"
#include <QtCharts/QLineSeries>
#include <QtCharts/QScatterSeries>
#include <cmath>

#include "foundation/UserPaths.h"
#include "foundation/ZColorSchemeManager.h"
#include "helpers/ChartTestSupport.h"
#include "support/testenv.h"
#include "views/ScatterChartView.h"
#include "views/ScatterContainer.h"
#include "views/ScatterResource.h"
#include "views/ViewHooks.h"

QT_CHARTS_USE_NAMESPACE
using namespace charts_test;
using SItem = ScatterContainerItem;

namespace {

bool openGLWorks()
{
    QOffscreenSurface surface;
    surface.create();
    QOpenGLContext ctx;
    return ctx.create() && ctx.makeCurrent(&surface);
}

int countNear(const QImage& image, const QColor& c, int tol)
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

const QColor kFloor(236, 226, 200);
const QColor kWall(70, 70, 80);

// A floor plan of 20 m x 12 m at 40 pixels per metre: three rooms and a corridor.
QString writeFloorPlan(const QString& dir)
{
    QImage img(800, 480, QImage::Format_RGB32);
    img.fill(kFloor);
    QPainter p(&img);
    p.setPen(QPen(kWall, 6));
    p.drawRect(3, 3, 794, 474);
    p.drawLine(0, 300, 520, 300);   // corridor wall
    p.drawLine(260, 0, 260, 300);   // between rooms 1 and 2
    p.drawLine(520, 0, 520, 480);   // room 3
    p.setPen(QPen(kFloor, 8));
    p.drawLine(120, 300, 180, 300); // doors
    p.drawLine(380, 300, 440, 300);
    p.drawLine(520, 360, 520, 420);
    p.end();
    const QString path = dir + "/floor.png";
    img.save(path);
    return path;
}

} // namespace

class TestScatterGL : public QObject
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
    }

    // Two tags walk through a mapped floor; the screenshot holds the map, both
    // tracks (drawn with OpenGL) and the markers.
    void mapTracksAndMarkersInTheScreenshot()
    {
        QTemporaryDir dir;
        ScatterContainerItemFactory factory;
        std::unique_ptr<SItem> item(static_cast<SItem*>(factory.createItem(nullptr)));
        item->setData(0, QStringLiteral("Floor"));
        item->setData(SItem::ColXMin, -1.0);
        item->setData(SItem::ColXMax, 21.0);
        item->setData(SItem::ColMapXMin, 0.0);
        item->setData(SItem::ColMapXMax, 20.0);
        item->setData(SItem::ColMapYMin, 0.0);
        item->setData(SItem::ColMapYMax, 12.0);
        item->setData(SItem::ColMapFilePath, writeFloorPlan(dir.path()));
        item->setData(SItem::ColUseMap, true);
        item->setData(SItem::ColTrackLength, 400);

        ScatterContainer c(item.get());
        c.syncFromItem();
        c.resize(1000, 640);

        const QColor red(214, 48, 49), blue(9, 132, 227);
        auto tag1 = scatterItem("tag1", red);
        auto tag2 = scatterItem("tag2", blue);
        tag2->setData(ScatterResourceItem::ColMarkerType, 1);
        tag2->setData(ScatterResourceItem::ColShowCoordinate, true);
        ScatterResource r1(tag1.get()), r2(tag2.get());
        r1.syncFromItem();
        r2.syncFromItem();
        c.putResource(&r1);
        c.putResource(&r2);
        c.show();
        QVERIFY(QTest::qWaitForWindowExposed(&c));

        // tag1 walks round room 1 and out through its door; tag2 along the corridor.
        for (int i = 0; i <= 300; ++i) {
            const double t = i / 300.0;
            const double a = t * 2 * M_PI;
            tag1->setData(6, QVariant::fromValue(ScatterValue{float(3.2 + 2.2 * std::cos(a)),
                                                              float(8.2 + 2.2 * std::sin(a) - 3.5 * t * t),
                                                              float(a * 57.3)}));
            tag2->setData(6, QVariant::fromValue(ScatterValue{float(1 + 17 * t), float(2.2 + 0.6 * std::sin(9 * a)),
                                                              float(90 * t)}));
        }
        r1.updateFromItem();
        r2.updateFromItem();
        QCOMPARE(r1.lineTrack()->count(), 301);
        QCOMPARE(r2.marker()->count(), 1);
        QTRY_VERIFY(!c.chart()->plotAreaBackgroundBrush().texture().isNull());
        QTest::qWait(200);
        QVERIFY(c.view()->findChild<QOpenGLWidget*>());

        const QString path = c.takeScreenshot();
        QVERIFY(QFileInfo::exists(path));
        const QImage shot(path);
        const QString out = qEnvironmentVariable("TALMENO_CHART_SCREENSHOT_DIR");
        if (!out.isEmpty()) {
            QDir().mkpath(out);
            QImage window = c.grab().toImage();
            QPainter p(&window);
            p.drawImage(c.view()->mapTo(&c, QPoint(0, 0)), c.grabChart().toImage());
            p.end();
            window.save(out + "/scatter_container_map_tracks.png");
            shot.save(out + "/scatter_screenshot.png");
        }
        const int floor = countNear(shot, kFloor, 10);
        const int wall = countNear(shot, kWall, 20);
        const int redTrack = countNear(shot, red, 50);
        const int blueTrack = countNear(shot, blue, 50);
        QVERIFY2(floor > shot.width() * shot.height() / 4, qPrintable(QString::number(floor)));
        QVERIFY2(wall > 2000, qPrintable(QString::number(wall)));
        QVERIFY2(redTrack > 400, qPrintable(QString::number(redTrack)));
        QVERIFY2(blueTrack > 400, qPrintable(QString::number(blueTrack)));
        // The map sits at its extents: room 1's floor at (5, 10), a wall at x = 13 along y 6..12.
        c.chart()->layout()->activate();
        const QPoint floorAt = c.chart()->mapToPosition(QPointF(5.0, 10.8), c.referenceSeries()).toPoint();
        const QPoint wallAt = c.chart()->mapToPosition(QPointF(13.0, 10.0), c.referenceSeries()).toPoint();
        const QImage viewImg = c.grabChart().toImage();
        auto close = [](QRgb p, QColor col, int tol) {
            return qAbs(qRed(p) - col.red()) < tol && qAbs(qGreen(p) - col.green()) < tol
                   && qAbs(qBlue(p) - col.blue()) < tol;
        };
        QVERIFY(close(viewImg.pixel(floorAt), kFloor, 12));
        QVERIFY(close(viewImg.pixel(wallAt), kWall, 30));

        // The settings pop-up opens from its button, with the item's values.
        c.settingsButton()->click();
        QTRY_VERIFY(c.settingsPopup()->isVisible());
        QCOMPARE(c.mapXMaxBox()->value(), 20.0);
        QCOMPARE(c.trackLengthBox()->value(), 400);
        QVERIFY(c.useMapBox()->isChecked());
        if (!out.isEmpty())
            c.settingsPopup()->grab().save(out + "/scatter_settings_popup.png");
        c.settingsPopup()->hide();

        c.takeResource(&r1);
        c.takeResource(&r2);
    }
};

TALMENO_TEST_MAIN(TestScatterGL)
#include "tst_scatter_gl.moc"
