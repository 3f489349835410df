#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QGraphicsLayout>
#include <QPainter>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QToolButton>
#include <QWheelEvent>
#include <QtCharts/QLineSeries>
#include <QtCharts/QScatterSeries>
#include <cmath>
#include <functional>

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

// Collects log lines while alive.
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
    bool contains(const QString& text) const
    {
        for (const QString& line : lines())
            if (line.contains(text))
                return true;
        return false;
    }

private:
    QtMessageHandler previous_;
};

std::unique_ptr<ScatterContainerItem> scatterContainerItem(const QString& name)
{
    ScatterContainerItemFactory factory;
    auto* item = static_cast<ScatterContainerItem*>(factory.createItem(nullptr));
    item->setData(0, name);
    return std::unique_ptr<ScatterContainerItem>(item);
}

// A container inside a still host window, so that resizing the container
// moves none of its edges but those asked for.
struct Fixture
{
    std::unique_ptr<ScatterContainerItem> item;
    std::unique_ptr<QWidget> host;
    ScatterContainer* c = nullptr;

    explicit Fixture(const std::function<void(ScatterContainerItem*)>& prepare = {}, QSize size = QSize(700, 420))
    {
        item = scatterContainerItem("Room");
        if (prepare)
            prepare(item.get());
        // The host first: a new window may still be moved by the platform.
        host = std::make_unique<QWidget>();
        host->resize(1300, 900);
        host->show();
        QVERIFY(QTest::qWaitForWindowExposed(host.get()));
        QTest::qWait(30);
        c = new ScatterContainer(item.get(), host.get());
        c->syncFromItem();
        c->setGeometry(QRect(QPoint(10, 10), size));
        c->show();
        QTest::qWait(30);
    }
    ScatterChartView* view() const { return c->scatterView(); }
    QValueAxis* ax() const { return c->axisX(); }
    QValueAxis* ay() const { return c->axisY(); }
    QRectF plot() const
    {
        c->chart()->layout()->activate();
        return c->chart()->plotArea();
    }
    // Positions as drawn: pending layout work is done first.
    QPointF pos(QPointF value) const
    {
        c->chart()->layout()->activate();
        return c->chart()->mapToPosition(value, c->referenceSeries());
    }
    QPointF value(QPointF pos) const
    {
        c->chart()->layout()->activate();
        return c->chart()->mapToValue(pos, c->referenceSeries());
    }
    // Pixels per unit as drawn.
    double xScale() const { return plot().width() / (ax()->max() - ax()->min()); }
    double yScale() const { return plot().height() / (ay()->max() - ay()->min()); }
    QWidget* viewport() const { return view()->viewport(); }
};

void sendMouse(QWidget* w, QEvent::Type type, QPointF local, Qt::MouseButton button, Qt::MouseButtons buttons)
{
    QMouseEvent e(type, local, QPointF(w->mapToGlobal(local.toPoint())), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

void sendWheel(QWidget* w, QPointF local, QPoint pixelDelta, QPoint angleDelta)
{
    QWheelEvent e(local, QPointF(w->mapToGlobal(local.toPoint())), pixelDelta, angleDelta, Qt::NoButton,
                  Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(w, &e);
}

bool near(double a, double b, double tol = 1e-6)
{
    return std::abs(a - b) <= tol * std::max(1.0, std::abs(a) + std::abs(b));
}

// A 100 x 100 picture in four colours: top-left red, top-right green,
// bottom-left blue, bottom-right yellow.
QString writeQuadrantMap(const QString& dir, QSize size = QSize(100, 100))
{
    QImage img(size, QImage::Format_RGB32);
    QPainter p(&img);
    const int w = size.width() / 2, h = size.height() / 2;
    p.fillRect(0, 0, w, h, Qt::red);
    p.fillRect(w, 0, size.width() - w, h, Qt::green);
    p.fillRect(0, h, w, size.height() - h, Qt::blue);
    p.fillRect(w, h, size.width() - w, size.height() - h, Qt::yellow);
    p.end();
    const QString path = dir + "/map.png";
    img.save(path);
    return path;
}

bool isColour(QRgb p, QColor c)
{
    return qAbs(qRed(p) - c.red()) < 30 && qAbs(qGreen(p) - c.green()) < 30 && qAbs(qBlue(p) - c.blue()) < 30;
}

} // namespace

class TestScatter : public QObject
{
    Q_OBJECT

    QStringList openedFolders_;

private slots:
    void initTestCase()
    {
        initUserDataFolders();
        ZColorSchemeManager::instance()->applyStyleSheet(QString());
        ViewHooks::setOpenFolderHook([this](const QString& path) { openedFolders_ << path; });
    }

    void cleanup() { ViewHooks::setOpenFileHook({}); }

    void zoomFactorOfOneWheelEvent()
    {
        QCOMPARE(ScatterChartView::wheelZoomFactor(QPoint(), QPoint(0, 120)), 0.9);
        QCOMPARE(ScatterChartView::wheelZoomFactor(QPoint(), QPoint(0, -120)), 1.1);
        QCOMPARE(ScatterChartView::wheelZoomFactor(QPoint(0, 30), QPoint(0, 120)), 0.9); // pixels win
        QCOMPARE(ScatterChartView::wheelZoomFactor(QPoint(), QPoint()), 0.9);            // no delta: one step in
        // A horizontal swipe has y = 0, which counts as a step out.
        QCOMPARE(ScatterChartView::wheelZoomFactor(QPoint(), QPoint(120, 0)), 1.1);
        // A swipe of 20 notches would give 1 - 2 = -1: bounded, the span stays positive.
        QCOMPARE(ScatterChartView::wheelZoomFactor(QPoint(), QPoint(0, 120 * 20)), 0.1);
        QCOMPARE(ScatterChartView::wheelZoomFactor(QPoint(0, 3000), QPoint()), 0.1);
        QCOMPARE(ScatterChartView::wheelZoomFactor(QPoint(0, -30000), QPoint()), 10.0);
    }

    void firstShowGivesEqualScales()
    {
        Fixture f;
        const QRectF plot = f.plot();
        QVERIFY(plot.width() > 100 && plot.height() > 100);
        QCOMPARE(f.ax()->min(), -1.0);
        QCOMPARE(f.ax()->max(), 11.0);
        QVERIFY(near(f.view()->scale(), plot.width() / 12.0));
        QCOMPARE(f.view()->lastPlotRect().size(), plot.size());
        // Y keeps its centre (5) and spans plot height / scale.
        QVERIFY(near((f.ay()->min() + f.ay()->max()) / 2, 5.0));
        QVERIFY(near(f.ay()->max() - f.ay()->min(), plot.height() / f.view()->scale()));
        // A unit is as many pixels up as across.
        const QPointF o = f.pos(QPointF(0, 0)), e = f.pos(QPointF(1, 1));
        QVERIFY(near(e.x() - o.x(), o.y() - e.y(), 1e-3));
        QVERIFY(near(f.xScale(), f.yScale()));
        // The equalised Y range is stored.
        QVERIFY(near(f.item->scatterRecord()->YMin, f.ay()->min()));
        QVERIFY(near(f.item->scatterRecord()->YMax, f.ay()->max()));
    }

    void wheelZoomsAboutTheCursor()
    {
        Fixture f;
        const QPointF at = f.pos(QPointF(2, 3));
        const double xSpan = f.ax()->max() - f.ax()->min();
        const double ySpan = f.ay()->max() - f.ay()->min();
        sendWheel(f.viewport(), at, QPoint(), QPoint(0, 120));
        QVERIFY(near(f.ax()->max() - f.ax()->min(), 0.9 * xSpan));
        QVERIFY(near(f.ay()->max() - f.ay()->min(), 0.9 * ySpan));
        // (2, 3) divides both ranges as before.
        const QPointF c = f.value(at);
        QVERIFY2(near(c.x(), 2, 1e-3) && near(c.y(), 3, 1e-3), qPrintable(QString("%1,%2").arg(c.x()).arg(c.y())));
        QVERIFY(near(f.view()->scale(), f.xScale()));
        QVERIFY(near(f.item->scatterRecord()->XMax, f.ax()->max()));

        // One huge touchpad event zooms in by ten at most; the view survives it.
        const double before = f.ax()->max() - f.ax()->min();
        sendWheel(f.viewport(), at, QPoint(0, 6000), QPoint(0, 120 * 50));
        const double after = f.ax()->max() - f.ax()->min();
        QVERIFY(after > 0);
        QVERIFY(near(after, before * 0.1));
        QVERIFY(f.ay()->max() > f.ay()->min());
        // ... and zooming out again works.
        sendWheel(f.viewport(), at, QPoint(), QPoint(0, -120));
        QVERIFY(near(f.ax()->max() - f.ax()->min(), after * 1.1));
    }

    void panKeepsThePressedPointUnderTheCursor()
    {
        Fixture f;
        const QPointF start = f.pos(QPointF(4, 5));
        sendMouse(f.viewport(), QEvent::MouseButtonPress, start, Qt::RightButton, Qt::RightButton);
        QVERIFY(f.view()->isPanning());
        QCOMPARE(f.view()->cursor().shape(), Qt::ClosedHandCursor);
        const double scale = f.view()->scale();
        for (QPointF d : {QPointF(10, 0), QPointF(35, -20), QPointF(-60, 44), QPointF(120, 80)}) {
            const QPointF p = start + d;
            sendMouse(f.viewport(), QEvent::MouseMove, p, Qt::NoButton, Qt::RightButton);
            const QPointF v = f.value(p);
            QVERIFY2(near(v.x(), 4, 1e-3) && near(v.y(), 5, 1e-3),
                     qPrintable(QString("at %1,%2: %3,%4").arg(d.x()).arg(d.y()).arg(v.x()).arg(v.y())));
        }
        QVERIFY(near(f.view()->scale(), scale));
        sendMouse(f.viewport(), QEvent::MouseButtonRelease, start + QPointF(120, 80), Qt::RightButton, Qt::NoButton);
        QVERIFY(!f.view()->isPanning());
        QVERIFY(!f.view()->testAttribute(Qt::WA_SetCursor));
        // The panned plane is in the item.
        const SItem::Data* r = f.item->scatterRecord();
        QVERIFY(near(r->XMin, f.ax()->min()) && near(r->XMax, f.ax()->max()));
        QVERIFY(near(r->YMin, f.ay()->min()) && near(r->YMax, f.ay()->max()));
        QVERIFY(r->XMin < -1.0 - 100 / scale); // moved right by 120 px, so the plane went left

        // A left-button drag does not pan.
        const double xMin = f.ax()->min();
        sendMouse(f.viewport(), QEvent::MouseButtonPress, start, Qt::LeftButton, Qt::LeftButton);
        sendMouse(f.viewport(), QEvent::MouseMove, start + QPointF(50, 50), Qt::NoButton, Qt::LeftButton);
        sendMouse(f.viewport(), QEvent::MouseButtonRelease, start + QPointF(50, 50), Qt::LeftButton, Qt::NoButton);
        QCOMPARE(f.ax()->min(), xMin);
    }

    void resizeKeepsTheScale()
    {
        Fixture f;
        const double scale = f.view()->scale();
        const double xMin = f.ax()->min(), xMax = f.ax()->max();
        const double yMin = f.ay()->min(), yMax = f.ay()->max();
        const QRectF before = f.view()->lastPlotRect();

        // Growing to the right: only X max moves, by the pixels gained.
        f.c->resize(f.c->width() + 120, f.c->height());
        QTRY_VERIFY(f.view()->lastPlotRect() != before);
        const double dw = f.view()->lastPlotRect().width() - before.width();
        QVERIFY(dw > 100);
        QVERIFY(near(f.ax()->min(), xMin));
        QVERIFY(near(f.ax()->max(), xMax + dw / scale));
        QVERIFY(near(f.ay()->min(), yMin) && near(f.ay()->max(), yMax));
        QVERIFY(near(f.view()->scale(), scale, 1e-4));

        // Growing downwards: Y max stays, Y min takes the new rows.
        const QRectF r2 = f.view()->lastPlotRect();
        f.c->resize(f.c->width(), f.c->height() + 90);
        QTRY_VERIFY(f.view()->lastPlotRect() != r2);
        const double dh = f.view()->lastPlotRect().height() - r2.height();
        QVERIFY(near(f.ay()->max(), yMax));
        QVERIFY(near(f.ay()->min(), yMin - dh / scale));
        QVERIFY(near(f.view()->scale(), scale, 1e-4));

        // Moved and resized at once (a maximised window): the centre stays.
        const double cx = (f.ax()->min() + f.ax()->max()) / 2, cy = (f.ay()->min() + f.ay()->max()) / 2;
        const QRect g = f.c->geometry();
        const QRectF r3 = f.view()->lastPlotRect();
        f.c->setGeometry(g.x() + 37, g.y() + 21, g.width() + 200, g.height() + 100);
        QTRY_VERIFY(f.view()->lastPlotRect() != r3);
        QVERIFY(f.view()->lastPlotRect().topLeft() != r3.topLeft());
        QVERIFY(near((f.ax()->min() + f.ax()->max()) / 2, cx));
        QVERIFY(near((f.ay()->min() + f.ay()->max()) / 2, cy));
        QVERIFY(near(f.ax()->max() - f.ax()->min(), f.view()->lastPlotRect().width() / scale));
        QVERIFY(near(f.view()->scale(), scale, 1e-4));
    }

    void keysScrollAndZoom()
    {
        Fixture f;
        f.view()->setFocus();
        // Each key moves the plane by 10 pixels of the scale as drawn.
        auto press = [&](Qt::Key key, double* axisMin, double* expected) {
            const double sx = f.xScale(), sy = f.yScale();
            const double x = f.ax()->min(), y = f.ay()->min();
            QTest::keyClick(f.view(), key);
            *axisMin = key == Qt::Key_Left || key == Qt::Key_Right ? f.ax()->min() : f.ay()->min();
            *expected = key == Qt::Key_Left ? x - 10 / sx
                        : key == Qt::Key_Right ? x + 10 / sx
                        : key == Qt::Key_Up ? y + 10 / sy
                                            : y - 10 / sy;
        };
        for (Qt::Key key : {Qt::Key_Right, Qt::Key_Left, Qt::Key_Left, Qt::Key_Up, Qt::Key_Down, Qt::Key_Down}) {
            double got = 0, want = 0;
            press(key, &got, &want);
            QVERIFY2(near(got, want, 1e-4), qPrintable(QString("key %1: %2 for %3").arg(key).arg(got).arg(want)));
        }
        const double scale = f.view()->scale();
        QVERIFY(near(scale, f.xScale()));

        // "+" halves the spans; the scale follows, so a later pan stays under the cursor.
        const double span = f.ax()->max() - f.ax()->min();
        QTest::keyClick(f.view(), Qt::Key_Plus);
        QVERIFY(near(f.ax()->max() - f.ax()->min(), span / 2, 1e-4));
        QVERIFY(near(f.view()->scale(), f.xScale()));
        QVERIFY(std::abs(f.view()->scale() / scale - 2) < 0.1); // the labels may take a little room
        const QPointF start = f.pos(QPointF(5, 5));
        sendMouse(f.viewport(), QEvent::MouseButtonPress, start, Qt::RightButton, Qt::RightButton);
        sendMouse(f.viewport(), QEvent::MouseMove, start + QPointF(40, 30), Qt::NoButton, Qt::RightButton);
        const QPointF v = f.value(start + QPointF(40, 30));
        sendMouse(f.viewport(), QEvent::MouseButtonRelease, start, Qt::RightButton, Qt::NoButton);
        QVERIFY(near(v.x(), 5, 1e-3) && near(v.y(), 5, 1e-3));
        QTest::keyClick(f.view(), Qt::Key_Minus);
        QVERIFY(near(f.ax()->max() - f.ax()->min(), span, 1e-4));
        QVERIFY(near(f.view()->scale(), f.xScale()));

        // Other keys change nothing.
        const double x0 = f.ax()->min(), x1 = f.ax()->max();
        QTest::keyClick(f.view(), Qt::Key_A);
        QTest::keyClick(f.view(), Qt::Key_PageUp);
        QCOMPARE(f.ax()->min(), x0);
        QCOMPARE(f.ax()->max(), x1);
    }

    void storedPlaneIsRestored()
    {
        // Ranges beyond the axis defaults come back whole (no end dragged along).
        auto item = scatterContainerItem("Hall");
        item->setData(SItem::ColXMin, 20.0);
        item->setData(SItem::ColXMax, 30.0);
        item->setData(SItem::ColYMin, -40.0);
        item->setData(SItem::ColYMax, -35.0);
        item->setData(SItem::ColXGrids, 4);
        {
            ScatterContainer c(item.get());
            c.syncFromItem();
            QCOMPARE(c.axisX()->min(), 20.0);
            QCOMPARE(c.axisX()->max(), 30.0);
            QCOMPARE(c.axisY()->min(), -40.0);
            QCOMPARE(c.axisY()->max(), -35.0);
            QCOMPARE(c.axisX()->tickCount(), 5);
            QCOMPARE(c.xMinBox()->value(), 20.0);
            QCOMPARE(c.xMaxBox()->value(), 30.0);
            QCOMPARE(c.yMinBox()->value(), -40.0);
            QCOMPARE(c.yMaxBox()->value(), -35.0);
            QCOMPARE(c.xMaxBox()->minimum(), 20.0);
            QCOMPARE(c.xMinBox()->maximum(), 30.0);
            QCOMPARE(item->scatterRecord()->XMax, 30.0);
            // A pan is written into the item.
            c.axisX()->setRange(21.0, 31.0);
            QCOMPARE(item->scatterRecord()->XMin, 21.0);
            QCOMPARE(item->scatterRecord()->XMax, 31.0);
            QCOMPARE(c.xMinBox()->value(), 21.0);
            QCOMPARE(c.xMaxBox()->value(), 31.0);
        }
        ScatterContainer again(item.get());
        again.syncFromItem();
        QCOMPARE(again.axisX()->min(), 21.0);
        QCOMPARE(again.axisX()->max(), 31.0);
    }

    void typedRangesAndGrids()
    {
        Fixture f;
        f.c->xMaxBox()->setValue(23.0);
        emit f.c->xMaxBox()->editingFinished();
        QCOMPARE(f.item->scatterRecord()->XMax, 23.0);
        QCOMPARE(f.ax()->max(), 23.0);
        QCOMPARE(f.c->xMinBox()->maximum(), 23.0);
        // The scale follows a typed range.
        QVERIFY(near(f.view()->scale(), f.plot().width() / 24.0));
        f.c->yGridsBox()->setValue(7);
        emit f.c->yGridsBox()->editingFinished();
        QCOMPARE(f.item->scatterRecord()->YGrids, 7);
        QCOMPARE(f.ay()->tickCount(), 8);
        // EqualRatio changes nothing of the view.
        const double y0 = f.ay()->min();
        f.item->setData(SItem::ColEqualRatio, true);
        QCOMPARE(f.ay()->min(), y0);
    }

    void mapIsDrawnUnderTheVisiblePlane()
    {
        QTemporaryDir dir;
        const QString path = writeQuadrantMap(dir.path());
        Fixture f([&](ScatterContainerItem* it) {
            it->setData(SItem::ColMapXMin, 0.0);
            it->setData(SItem::ColMapXMax, 10.0);
            it->setData(SItem::ColMapYMin, 0.0);
            it->setData(SItem::ColMapYMax, 10.0);
            it->setData(SItem::ColMapFilePath, path);
            it->setData(SItem::ColUseMap, true);
        });
        QCOMPARE(f.c->useMapBox()->isChecked(), true);
        QVERIFY(f.c->mapButton()->isEnabled());
        QCOMPARE(f.view()->mapXMax(), 10.0);
        QTRY_VERIFY(!f.c->chart()->plotAreaBackgroundBrush().texture().isNull());
        QTRY_VERIFY(!f.view()->mapTimer()->isActive());

        auto shot = [&] { return f.view()->grab().toImage(); };
        QImage img = shot();
        auto at = [&](double x, double y) { return img.pixel(f.pos(QPointF(x, y)).toPoint()); };
        QVERIFY(isColour(at(2.5, 7.5), Qt::red));
        QVERIFY(isColour(at(7.5, 7.5), Qt::green));
        QVERIFY(isColour(at(2.5, 2.5), Qt::blue));
        QVERIFY(isColour(at(7.5, 2.5), Qt::yellow));
        QVERIFY(!isColour(at(-0.5, 5), Qt::red) && !isColour(at(-0.5, 5), Qt::blue));
        QVERIFY(!isColour(at(10.5, 5), Qt::green) && !isColour(at(10.5, 5), Qt::yellow));

        // A typed extent moves the map 100 ms later.
        f.c->mapXMaxBox()->setValue(20.0);
        emit f.c->mapXMaxBox()->editingFinished();
        QCOMPARE(f.item->scatterRecord()->MapXMax, 20.0);
        QCOMPARE(f.view()->mapXMax(), 20.0);
        QVERIFY(f.view()->mapTimer()->isActive());
        QTRY_VERIFY(!f.view()->mapTimer()->isActive());
        img = shot();
        QVERIFY(isColour(at(4.5, 7.5), Qt::red)); // x 0..10 is now the red half
        QVERIFY(isColour(at(10.5, 7.5), Qt::green));

        // Far out, the background stays the size of the view.
        f.ax()->setRange(-1e7, 1e7);
        f.ay()->setRange(-1e7, 1e7);
        QTRY_VERIFY(!f.view()->mapTimer()->isActive());
        QTest::qWait(150);
        QVERIFY(f.c->chart()->plotAreaBackgroundBrush().texture().size().width() <= f.c->chart()->size().width() + 1);
        // Far in, likewise, and the zoomed quadrant fills the plot.
        f.ax()->setRange(2.0, 2.001);
        f.ay()->setRange(7.0, 7.001);
        QTest::qWait(150);
        QTRY_VERIFY(!f.view()->mapTimer()->isActive());
        img = shot();
        QVERIFY(isColour(img.pixel(f.plot().center().toPoint()), Qt::red));
        QVERIFY(f.c->chart()->plotAreaBackgroundBrush().texture().size().height() <= f.c->chart()->size().height() + 1);

        // Off: the map goes away.
        f.c->useMapBox()->click();
        QCOMPARE(f.item->scatterRecord()->UseMap, false);
        QVERIFY(!f.c->mapButton()->isEnabled());
        QVERIFY(f.c->chart()->plotAreaBackgroundBrush().texture().isNull());
        QCOMPARE(f.c->chart()->plotAreaBackgroundBrush().color().alpha(), 0);
    }

    void badMapsAreSkippedWithALogLine()
    {
        QTemporaryDir dir;
        const QString good = writeQuadrantMap(dir.path());
        Fixture f([&](ScatterContainerItem* it) {
            it->setData(SItem::ColMapXMin, 0.0);
            it->setData(SItem::ColMapXMax, 10.0);
            it->setData(SItem::ColMapYMin, 0.0);
            it->setData(SItem::ColMapYMax, 10.0);
            it->setData(SItem::ColMapFilePath, good);
            it->setData(SItem::ColUseMap, true);
        });
        QTRY_VERIFY(!f.c->chart()->plotAreaBackgroundBrush().texture().isNull());

        {
            // A file that does not load: warned, the old map is gone.
            LogCapture log;
            f.item->setData(SItem::ColMapFilePath, dir.path() + "/missing.png");
            QVERIFY(log.contains("set map file failed"));
            QTRY_VERIFY(f.c->chart()->plotAreaBackgroundBrush().texture().isNull());
            QVERIFY(log.contains("background map skipped"));
        }
        {
            // Map extents of no width are never divided by.
            f.item->setData(SItem::ColMapFilePath, good);
            QTRY_VERIFY(!f.c->chart()->plotAreaBackgroundBrush().texture().isNull());
            LogCapture log;
            f.view()->setMapXMax(f.view()->mapXMin());
            f.view()->redrawMap();
            QVERIFY(log.contains("background map skipped"));
            QVERIFY(f.c->chart()->plotAreaBackgroundBrush().texture().isNull());
        }
        {
            // Axis ranges of no width are never divided by either: X, then Y.
            auto drawn = [&] { return !f.c->chart()->plotAreaBackgroundBrush().texture().isNull(); };
            f.view()->setMapXMax(10.0);
            f.view()->redrawMap();
            QVERIFY(drawn());
            LogCapture log;
            f.ax()->setRange(5, 5);
            f.view()->redrawMap();
            QVERIFY(log.contains("background map skipped: axis ranges 5 5 "));
            QVERIFY(!drawn());

            f.ax()->setRange(0, 10);
            f.view()->redrawMap();
            QVERIFY(drawn());
            LogCapture::lines().clear();
            f.ay()->setMin(20); // pushes the maximum along: no width
            QCOMPARE(f.ay()->max(), 20.0);
            f.view()->redrawMap();
            QVERIFY(log.contains("background map skipped: axis ranges 0 10 20 20 "));
            QVERIFY(!drawn());

            // A range turned round never reaches the view: the axis keeps its last one,
            // and the map is drawn on it.
            f.ay()->setRange(0, 10);
            f.ay()->setRange(8, 2);
            QCOMPARE(f.ay()->min(), 0.0);
            QCOMPARE(f.ay()->max(), 10.0);
            LogCapture::lines().clear();
            f.view()->redrawMap();
            QVERIFY(!log.contains("background map skipped"));
            QVERIFY(drawn());
        }
    }

    void chooseMapFileWithInvalidExtents()
    {
        QTemporaryDir dir;
        const QString path = writeQuadrantMap(dir.path());
        Fixture f([&](ScatterContainerItem* it) {
            it->setData(SItem::ColMapXMin, 5.0);
            it->setData(SItem::ColMapXMax, 5.0);
        });
        QStringList asked;
        ViewHooks::setOpenFileHook([&](QWidget*, const QString& title, const QString& folder, const QString& filter) {
            asked << title << folder << filter;
            return path;
        });
        LogCapture log;
        QVERIFY(f.c->chooseMapFile());
        QCOMPARE(asked, (QStringList{"Open File", pictureDir, "image files (*.bmp *.jpg *.jpeg *.png)"}));
        bool prefixed = false;
        for (const QString& line : LogCapture::lines())
            if (line.contains("map parameter is invalid,use default instead"))
                prefixed = QRegularExpression("^\\[\\d\\d\\.\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d\\d\\d\\] map parameter")
                               .match(line)
                               .hasMatch();
        QVERIFY(prefixed);
        const SItem::Data* r = f.item->scatterRecord();
        QCOMPARE(r->MapXMin, f.c->xMinBox()->value());
        QCOMPARE(r->MapXMax, f.c->xMaxBox()->value());
        QCOMPARE(r->MapYMin, f.c->yMinBox()->value());
        QCOMPARE(r->MapYMax, f.c->yMaxBox()->value());
        QCOMPARE(f.c->mapXMaxBox()->value(), r->MapXMax);
        QCOMPARE(f.view()->mapYMin(), r->MapYMin);
        QCOMPARE(r->MapFilePath, path);
        QCOMPARE(f.view()->mapPath(), path);
        QVERIFY(!f.view()->mapImage().isNull());

        // Valid extents stay as they are.
        log.lines().clear();
        f.item->setData(SItem::ColMapXMin, 100.0);
        f.item->setData(SItem::ColMapXMax, 200.0);
        QVERIFY(f.c->chooseMapFile());
        QCOMPARE(r->MapXMin, 100.0);
        QVERIFY(!log.contains("map parameter is invalid"));
    }

    void useMapWithoutAFileAsksForOne()
    {
        Fixture f;
        QString answer;
        int asked = 0;
        ViewHooks::setOpenFileHook([&](QWidget*, const QString&, const QString&, const QString&) {
            ++asked;
            return answer;
        });
        f.c->useMapBox()->click();
        QCOMPARE(asked, 1);
        QCOMPARE(f.item->scatterRecord()->UseMap, false);
        QVERIFY(!f.c->useMapBox()->isChecked());
        QVERIFY(!f.view()->useMap());

        QTemporaryDir dir;
        answer = writeQuadrantMap(dir.path());
        f.c->useMapBox()->click();
        QCOMPARE(asked, 2);
        QCOMPARE(f.item->scatterRecord()->UseMap, true);
        QCOMPARE(f.item->scatterRecord()->MapFilePath, answer);
        QVERIFY(f.view()->useMap());
        // With a file, ticking again asks nothing.
        f.c->useMapBox()->click();
        f.c->useMapBox()->click();
        QCOMPARE(asked, 2);
        QCOMPARE(f.item->scatterRecord()->UseMap, true);
    }

    void showAllBoxesSpareFixedItems()
    {
        Fixture f;
        auto free1 = scatterItem("tag1");
        auto fixed = scatterItem("anchor");
        fixed->setFixedVisibility(true);
        ScatterResource r1(free1.get()), r2(fixed.get());
        r1.syncFromItem();
        r2.syncFromItem();
        f.c->putResource(&r1);
        f.c->putResource(&r2);
        QCOMPARE(f.c->chart()->series().size(), 7); // the reference series and three per resource

        QVERIFY(!f.c->showScatterTrackBox()->isChecked());
        QVERIFY(f.c->showMarkerBox()->isChecked());
        QVERIFY(f.c->showLineTrackBox()->isChecked());
        f.c->showScatterTrackBox()->click();
        QCOMPARE(free1->scatterRecord()->ShowScatterTrack, true);
        QVERIFY(r1.scatterTrack()->isVisible());
        QCOMPARE(fixed->scatterRecord()->ShowScatterTrack, false);
        QVERIFY(!r2.scatterTrack()->isVisible());

        f.c->showMarkerBox()->click();
        QCOMPARE(free1->scatterRecord()->ShowMarker, false);
        QVERIFY(!r1.marker()->isVisible());
        QCOMPARE(fixed->scatterRecord()->ShowMarker, true);
        f.c->showLineTrackBox()->click();
        QCOMPARE(free1->scatterRecord()->ShowLineTrack, false);
        QCOMPARE(fixed->scatterRecord()->ShowLineTrack, true);

        // Track lengths reach the items: on putting in, and when typed.
        QCOMPARE(free1->scatterRecord()->TrackLength, 500);
        f.c->trackLengthBox()->setValue(42);
        emit f.c->trackLengthBox()->editingFinished();
        QCOMPARE(f.item->scatterRecord()->TrackLength, 42);
        QCOMPARE(free1->scatterRecord()->TrackLength, 42);
        QCOMPARE(fixed->scatterRecord()->TrackLength, 42);
        for (int i = 0; i < 60; ++i)
            free1->setData(6, QVariant::fromValue(ScatterValue{float(i), float(i) / 2, 0}));
        QCOMPARE(free1->track().size(), 42);

        f.c->takeResource(&r1);
        f.c->takeResource(&r2);
        QCOMPARE(f.c->chart()->series().size(), 1);
    }
};

TALMENO_TEST_MAIN(TestScatter)
#include "tst_scatter.moc"
