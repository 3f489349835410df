#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QLabel>
#include <QMouseEvent>
#include <QScrollArea>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>
#include <QtCharts/QLineSeries>

#include "foundation/UserPaths.h"
#include "foundation/ZColorSchemeManager.h"
#include "helpers/ChartTestSupport.h"
#include "model/BaseModel.h"
#include "support/testenv.h"
#include "views/ChartContainerSplitter.h"
#include "views/ChartResourceSettingWidget.h"
#include "views/ChartView2D.h"
#include "views/LineContainer.h"
#include "views/LineResource.h"
#include "views/ViewHooks.h"
#include "views/VolatileCombobox.h"

QT_CHARTS_USE_NAMESPACE
using namespace charts_test;

namespace {

void sendMouse(QWidget* w, QEvent::Type type, const QPoint& local, Qt::MouseButtons buttons)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent e(type, local, w->mapToGlobal(local), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

// A drag on the chart view's viewport with the left button.
void drag(QWidget* viewport, QPoint from, QPoint to)
{
    sendMouse(viewport, QEvent::MouseButtonPress, from, Qt::LeftButton);
    sendMouse(viewport, QEvent::MouseMove, (from + to) / 2, Qt::LeftButton);
    sendMouse(viewport, QEvent::MouseMove, to, Qt::LeftButton);
    sendMouse(viewport, QEvent::MouseButtonRelease, to, Qt::NoButton);
}

} // namespace

class TestLineContainer : public QObject
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

    void defaultsShowAxesTicksAndHistory()
    {
        auto item = lineContainerItem("Line [07]");
        LineContainer c(item.get());
        c.syncFromItem();
        QVERIFY(c.isInitialized());
        QCOMPARE(c.nameLabel()->text(), QString("Line [07]"));
        QCOMPARE(c.axisX()->min(), 0.0);
        QCOMPARE(c.axisX()->max(), 500.0);
        QCOMPARE(c.axisY()->min(), -1.0);
        QCOMPARE(c.axisY()->max(), 11.0);
        QCOMPARE(c.axisX()->tickCount(), 11);
        QCOMPARE(c.axisY()->tickCount(), 11);
        QCOMPARE(c.axisX()->labelFormat(), QString("%.2f"));
        QCOMPARE(c.pointsBox()->value(), 500);
        QCOMPARE(c.pointsBox()->prefix(), QString("Points  "));
        QCOMPARE(c.seriesArea()->width(), 300);
        QCOMPARE(c.view()->rubberBand(), QChartView::VerticalRubberBand);
        QVERIFY(c.referenceSeries()->useOpenGL());
        QVERIFY(!c.referenceSeries()->isVisible());
        // The item was not touched by building the chart.
        QCOMPARE(item->lineRecord()->YMin, -1.0);
        QCOMPARE(item->lineRecord()->YMax, 11.0);

        auto line = lineItem("dist");
        LineResource r(line.get());
        r.syncFromItem();
        c.putResource(&r);
        QCOMPARE(line->lineRecord()->Length, 500); // the container's Points
        // A line draws nothing before its second point, nor in a hidden chart: it
        // joins the chart when both hold.
        for (double v : {4.0, 5.0}) {
            QCOMPARE(r.series()->chart(), nullptr);
            line->setData(6, v);
            r.updateFromItem();
        }
        QCOMPARE(r.series()->chart(), nullptr);
        c.show();
        QCOMPARE(r.series()->chart(), c.chart());
        auto later = lineItem("later");
        LineResource r2(later.get());
        r2.syncFromItem();
        c.putResource(&r2);
        for (double v : {1.0, 2.0}) {
            QCOMPARE(r2.series()->chart(), nullptr);
            later->setData(6, v);
            r2.updateFromItem();
        }
        QCOMPARE(r2.series()->chart(), c.chart());
        c.takeResource(&r2);
        QCOMPARE(r.series()->attachedAxes().size(), 2);
        QCOMPARE(c.seriesRow(&r), r.settingWidget());
        QVERIFY(c.seriesLayout()->indexOf(r.settingWidget()) >= 0);
        QCOMPARE(item->resources(), (QList<BaseResourceItem*>{line.get()}));

        // Points flow into every line it holds.
        c.pointsBox()->setValue(300);
        QCOMPARE(item->lineRecord()->Points, 300);
        QCOMPARE(line->lineRecord()->Length, 300);
        QCOMPARE(c.axisX()->max(), 300.0);

        c.takeResource(&r);
        QCOMPARE(r.series()->chart(), nullptr);
        QVERIFY(c.seriesLayout()->indexOf(r.settingWidget()) < 0);
        QVERIFY(!c.seriesRow(&r));
        // Taken before its row is built, a resource leaves no slot behind either.
        c.putResource(&r);
        c.takeResource(&r);
        QCOMPARE(c.seriesLayout()->count(), 1); // the stretch
        QVERIFY(item->resources().isEmpty());
        c.takeResource(&r); // absent: nothing changes
        QVERIFY(c.resources().isEmpty());
    }

    void resourcesOutliveTheirContainer()
    {
        auto item = lineContainerItem("L");
        auto line = lineItem("kept");
        LineResource r(line.get());
        r.syncFromItem();
        line->setData(6, 1.0);
        line->setData(6, 1.25);
        r.updateFromItem();
        {
            LineContainer c(item.get());
            c.syncFromItem();
            c.show();
            c.putResource(&r);
            QCOMPARE(r.series()->chart(), c.chart());
        }
        // Neither the series nor the setting widget went with the container.
        QVERIFY(r.settingWidget());
        QCOMPARE(r.series()->chart(), nullptr);
        LineContainer next(item.get());
        next.syncFromItem();
        next.show();
        next.putResource(&r);
        QCOMPARE(r.series()->chart(), next.chart());
        QVERIFY(next.seriesLayout()->indexOf(next.seriesRow(&r)) >= 0);
        line->setData(6, 1.5);
        r.updateFromItem();
        QCOMPARE(r.series()->count(), 3);
        next.takeResource(&r);
    }

    void pointsBoxLimits()
    {
        auto item = lineContainerItem("L");
        LineContainer c(item.get());
        c.syncFromItem();
        item->setData(4, 2);
        QCOMPARE(c.axisX()->max(), 2.0);
        QCOMPARE(c.pointsBox()->value(), 2);
        c.pointsBox()->setValue(1);
        QCOMPARE(c.pointsBox()->value(), 2);
        QCOMPARE(item->lineRecord()->Points, 2);
    }

    void popupBoxesEditTheItemBothWays()
    {
        auto item = lineContainerItem("L");
        LineContainer c(item.get());
        c.syncFromItem();
        QCOMPARE(c.yMinBox()->value(), -1.0);
        QCOMPARE(c.yMaxBox()->value(), 11.0);
        QCOMPARE(c.yMinBox()->maximum(), 11.0);
        QCOMPARE(c.yMaxBox()->minimum(), -1.0);
        QCOMPARE(c.xGridsBox()->value(), 10);

        // The Y min box cannot pass the current YMax.
        c.yMinBox()->setValue(50);
        QCOMPARE(c.yMinBox()->value(), 11.0);
        c.yMinBox()->setValue(2.5);
        emit c.yMinBox()->editingFinished();
        QCOMPARE(item->lineRecord()->YMin, 2.5);
        QCOMPARE(c.axisY()->min(), 2.5);
        QCOMPARE(c.yMaxBox()->minimum(), 2.5);

        c.xGridsBox()->setValue(4);
        emit c.xGridsBox()->editingFinished();
        QCOMPARE(item->lineRecord()->XGrids, 4);
        QCOMPARE(c.axisX()->tickCount(), 5);
        item->setData(8, 3);
        QCOMPARE(c.yGridsBox()->value(), 3);
        QCOMPARE(c.axisY()->tickCount(), 4);
    }

    void storedRangeRestoresWithoutLoss()
    {
        // A stored Y range above the default one: showing it must not clip YMax.
        auto item = lineContainerItem("L");
        item->setData(5, 20.0);
        item->setData(6, 30.0);
        LineContainer c(item.get());
        c.syncFromItem();
        QCOMPARE(item->lineRecord()->YMin, 20.0);
        QCOMPARE(item->lineRecord()->YMax, 30.0);
        QCOMPARE(c.axisY()->min(), 20.0);
        QCOMPARE(c.axisY()->max(), 30.0);
    }

    void rubberBandZoomsAreStored()
    {
        auto item = lineContainerItem("L");
        {
            LineContainer c(item.get());
            c.syncFromItem();
            c.resize(900, 600);
            c.show();
            QVERIFY(QTest::qWaitForWindowExposed(&c));
            QWidget* vp = c.view()->viewport();
            const QPointF y3 = c.chart()->mapToPosition(QPointF(100, 3), c.referenceSeries());
            const QPointF y4 = c.chart()->mapToPosition(QPointF(400, 4), c.referenceSeries());
            // Normal mode: a vertical band, X untouched.
            drag(vp, c.view()->mapFromScene(y4), c.view()->mapFromScene(y3));
            QVERIFY(qAbs(item->lineRecord()->YMin - 3) < 0.05);
            QVERIFY(qAbs(item->lineRecord()->YMax - 4) < 0.05);
            QCOMPARE(c.axisX()->min(), 0.0);
            QCOMPARE(c.axisX()->max(), 500.0);

            // Zoom view: a rectangle changes X too; leaving it puts X back.
            c.zoomButton()->setChecked(true);
            QCOMPARE(c.view()->rubberBand(), QChartView::RectangleRubberBand);
            const double ymin = item->lineRecord()->YMin, ymax = item->lineRecord()->YMax;
            const QPointF a = c.chart()->mapToPosition(QPointF(100, ymin + (ymax - ymin) * 0.8), c.referenceSeries());
            const QPointF b = c.chart()->mapToPosition(QPointF(200, ymin + (ymax - ymin) * 0.2), c.referenceSeries());
            drag(vp, c.view()->mapFromScene(a), c.view()->mapFromScene(b));
            QVERIFY(c.axisX()->max() < 250);
            const double zoomedMin = c.axisY()->min(), zoomedMax = c.axisY()->max();
            QVERIFY(zoomedMax - zoomedMin < 0.8);
            c.zoomButton()->setChecked(false);
            QCOMPARE(c.axisX()->min(), 0.0);
            QCOMPARE(c.axisX()->max(), 500.0);
            QCOMPARE(c.axisY()->min(), zoomedMin);
            QCOMPARE(item->lineRecord()->YMax, zoomedMax);
        }
        // A container built later from the item opens with the stored range.
        const double ymin = item->lineRecord()->YMin, ymax = item->lineRecord()->YMax;
        LineContainer again(item.get());
        again.syncFromItem();
        QCOMPARE(again.axisY()->min(), ymin);
        QCOMPARE(again.axisY()->max(), ymax);
        QCOMPARE(again.view()->rubberBand(), QChartView::VerticalRubberBand);
    }

    void cursorReadoutPadsTo12()
    {
        auto item = lineContainerItem("L");
        LineContainer c(item.get());
        c.syncFromItem();
        c.resize(900, 600);
        c.show();
        QVERIFY(QTest::qWaitForWindowExposed(&c));
        const QPointF scenePos = c.chart()->mapToPosition(QPointF(250, 5), c.referenceSeries());
        const QPoint viewPos = c.view()->mapFromScene(scenePos);
        sendMouse(c.view()->viewport(), QEvent::MouseMove, viewPos, Qt::NoButton);
        const QString x = c.xReadout()->text();
        QVERIFY2(x.startsWith("X:"), qPrintable(x));
        QCOMPARE(x.size(), 14);
        QVERIFY(qAbs(x.mid(2).trimmed().toDouble() - 250) < 2);
        c.updateCursorReadout(scenePos);
        QCOMPARE(c.xReadout()->text(), QString("X:250         "));
        QCOMPARE(c.yReadout()->text(), QString("Y:5           "));
    }

    void clearAndSelectAllSpareFixedSeries()
    {
        auto item = lineContainerItem("L");
        LineContainer c(item.get());
        c.syncFromItem();
        auto free = lineItem("free");
        auto fixed = lineItem("fixed");
        fixed->setFixedVisibility(true);
        LineResource rf(free.get()), rx(fixed.get());
        rf.syncFromItem();
        rx.syncFromItem();
        c.putResource(&rf);
        c.putResource(&rx);
        // Fixed series never appear in the series panel.
        QVERIFY(c.seriesLayout()->indexOf(c.seriesRow(&rf)) >= 0);
        QVERIFY(!c.seriesRow(&rx));
        QVERIFY(c.seriesLayout()->indexOf(rx.settingWidget()) < 0);

        free->setData(6, 1.0);
        fixed->setData(6, 2.0);
        free->setDirty(false);
        fixed->setDirty(false);
        c.clearButton()->click();
        QVERIFY(free->values().isEmpty());
        QVERIFY(free->isDirty());
        QCOMPARE(fixed->values(), QList<double>{2.0});
        QVERIFY(!fixed->isDirty());

        QVERIFY(c.selectAllButton()->isChecked());
        c.selectAllButton()->click();
        QVERIFY(!free->isVisible());
        QVERIFY(!rf.series()->isVisible());
        QVERIFY(fixed->isVisible());
        c.selectAllButton()->click();
        QVERIFY(free->isVisible());
    }

    void splitterDragStoresWidth()
    {
        auto item = lineContainerItem("L");
        {
            LineContainer c(item.get());
            c.syncFromItem();
            c.resize(1000, 500);
            c.show();
            QVERIFY(QTest::qWaitForWindowExposed(&c));
            QSplitterHandle* handle = c.splitter()->handle(1);
            const QPoint grip(handle->width() / 2, handle->height() / 2);
            sendMouse(handle, QEvent::MouseButtonPress, grip, Qt::LeftButton);
            const QPoint target = c.splitter()->mapToGlobal(QPoint(240 + grip.x(), grip.y()));
            QMouseEvent move(QEvent::MouseMove, handle->mapFromGlobal(target), target, Qt::NoButton, Qt::LeftButton,
                             Qt::NoModifier);
            QApplication::sendEvent(handle, &move);
            sendMouse(handle, QEvent::MouseButtonRelease, handle->mapFromGlobal(target), Qt::NoButton);
            // The splitter's frame takes a pixel or two: what is stored is the panel's width.
            const int stored = item->chartRecord()->SeriesWidgetWidth;
            QVERIFY2(qAbs(stored - 240) <= 3, qPrintable(QString::number(stored)));
            QCOMPARE(c.splitter()->sizes().value(0), stored);
            QCOMPARE(c.seriesArea()->minimumWidth(), stored);
            QCOMPARE(c.seriesArea()->maximumWidth(), stored);
        }
        const int stored = item->chartRecord()->SeriesWidgetWidth;
        LineContainer later(item.get());
        later.syncFromItem();
        QCOMPARE(later.seriesArea()->minimumWidth(), stored);
        QCOMPARE(later.seriesArea()->maximumWidth(), stored);
    }

    void defaultFlagRedrawsIcon()
    {
        auto item = lineContainerItem("L");
        LineContainer c(item.get());
        c.syncFromItem();
        QSignalSpy spy(&c, &BaseContainer::iconChanged);
        const QImage normal = c.iconPixmap().toImage();
        item->setData(2, true);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(c.iconPixmap().toImage(), c.icon().pixmap(QSize(26, 26), QIcon::Active).toImage());
        QCOMPARE(normal, c.icon().pixmap(QSize(26, 26), QIcon::Normal).toImage());
        item->setData(2, true);
        QCOMPARE(spy.count(), 1);
    }

    void windowChooserMovesTheContainer()
    {
        QStringList windows{"W1", "W2"};
        BaseContainerModel model(new LineContainerItemFactory);
        model.setAvailableWindowNamesFunction([&] { return windows; });
        auto* item = static_cast<LineContainerItem*>(model.createItem(nullptr));
        QVERIFY(item);
        QCOMPARE(item->window(), QString("W1"));
        LineContainer c(item);
        c.syncFromItem();
        QCOMPARE(c.windowChooser()->currentText(), QString("W1"));
        QCOMPARE(c.windowChooser()->count(), 2);
        windows << "W3";
        QEvent enter(QEvent::Enter);
        QApplication::sendEvent(c.windowChooser(), &enter);
        QCOMPARE(c.windowChooser()->count(), 3);
        QCOMPARE(c.windowChooser()->currentText(), QString("W1"));
        emit c.windowChooser()->textActivated("W3");
        QCOMPARE(item->window(), QString("W3"));
        QCOMPARE(c.windowChooser()->currentText(), QString("W3"));
    }

    void screenshotNameAndFile()
    {
        auto item = lineContainerItem("Range");
        LineContainer c(item.get());
        c.syncFromItem();
        c.resize(600, 400);
        c.show();
        QVERIFY(QTest::qWaitForWindowExposed(&c));
        const QString expected = c.screenshotFilePath();
        QVERIFY(expected.startsWith(screenshotDir + "/[Range]ScreenShot_"));
        QVERIFY(QRegularExpression(R"(\[Range\]ScreenShot_\d{8}_\d{6}\.png$)").match(expected).hasMatch());
        openedFolders_.clear();
        const QString path = c.takeScreenshot();
        QVERIFY(!path.isEmpty());
        QVERIFY(QFileInfo::exists(path));
        QImage shot(path);
        QCOMPARE(shot.size(), c.view()->size());
        QCOMPARE(openedFolders_, QStringList{screenshotDir});
        // The normal look is back after the picture.
        QVERIFY(c.chart()->isPlotAreaBackgroundVisible());
        QCOMPARE(c.chart()->backgroundBrush().color(),
                 ZColorSchemeManager::instance()->color(ZColorSchemeManager::BackgroundNormal));
    }
};

TALMENO_TEST_MAIN(TestLineContainer)
#include "tst_linecontainer.moc"
