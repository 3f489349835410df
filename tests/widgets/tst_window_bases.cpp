#include <QCursor>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalSpy>
#include <QStackedWidget>

#include "support/testenv.h"

#include "foundation/ZIconsManager.h"
#include "widgets/WidgetIndicator.h"
#include "widgets/ZMainWindow.h"
#include "widgets/ZPopupShadowWindow.h"

namespace {

// A product window stand-in that logs its hook, so the order against listeners shows.
class LoggingWindow : public ZMainWindow
{
public:
    QStringList* log = nullptr;

protected:
    void onVisibilityChanged(bool visible) override
    {
        *log << QStringLiteral("hook %1").arg(visible);
    }
};

} // namespace

class TestWindowBases : public QObject
{
    Q_OBJECT

private slots:
    void mainWindowConstruction()
    {
        ZMainWindow window;
        QCOMPARE(window.parent(), nullptr);
        QVERIFY(window.toolBar());
        QCOMPARE(window.toolBarArea(window.toolBar()), Qt::TopToolBarArea);
        QCOMPARE(window.toolBar()->contextMenuPolicy(), Qt::PreventContextMenu);
        QVERIFY(!window.toolBar()->isMovable());
        QCOMPARE(window.toolBar()->sizePolicy().horizontalPolicy(), QSizePolicy::Fixed);
        QVERIFY(window.centralWidget());
        QCOMPARE(window.windowAction(), nullptr);

        QWidget owner;
        auto* child = new ZMainWindow(&owner);
        QCOMPARE(child->parentWidget(), &owner);
        QAction action(QStringLiteral("open"), nullptr);
        child->setWindowAction(&action);
        QCOMPARE(child->windowAction(), &action);
    }

    void hookRunsBeforeSignal()
    {
        QStringList log;
        LoggingWindow window;
        window.log = &log;
        connect(&window, &ZMainWindow::visibilityChanged, this,
                [&](bool visible) { log << QStringLiteral("signal %1").arg(visible); });
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(log, QStringList({QStringLiteral("hook 1"), QStringLiteral("signal 1")}));
        log.clear();
        window.close();
        QCOMPARE(log, QStringList({QStringLiteral("hook 0"), QStringLiteral("signal 0")}));
    }

    void maximizeReportedOncePerLeave()
    {
        ZMainWindow window;
        QSignalSpy spy(&window, &ZMainWindow::maximizeChanged);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        // Never maximised: minimising and restoring says nothing.
        window.setWindowState(Qt::WindowMinimized);
        window.setWindowState(Qt::WindowNoState);
        QCOMPARE(spy.count(), 0);

        window.setWindowState(Qt::WindowMaximized);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toBool(), true);
        QVERIFY(window.wasMaximized());

        window.setWindowState(Qt::WindowNoState);
        QCOMPARE(spy.count(), 2);
        QCOMPARE(spy.at(1).at(0).toBool(), false);
        QVERIFY(!window.wasMaximized());

        window.setWindowState(Qt::WindowMinimized);
        window.setWindowState(Qt::WindowNoState);
        QCOMPARE(spy.count(), 2);
    }

    void popupHidesWhenDeactivated()
    {
        QWidget other;
        other.resize(200, 200);
        other.show();
        QVERIFY(QTest::qWaitForWindowExposed(&other));

        ZPopupShadowWindow popup;
        popup.contentLayout()->addWidget(new QLabel(QStringLiteral("content")));
        QVERIFY(popup.windowFlags() & Qt::FramelessWindowHint);
        QVERIFY(popup.testAttribute(Qt::WA_TranslucentBackground));

        QCursor::setPos(QPoint(40, 50));
        popup.popupAtCursor();
        QVERIFY(QTest::qWaitForWindowActive(&popup));
        QVERIFY(popup.isVisible());
        QCOMPARE(popup.pos(), QCursor::pos());

        // A click elsewhere makes another window active.
        other.activateWindow();
        QTRY_VERIFY(popup.isHidden());

        popup.popupAtCursor();
        QVERIFY(QTest::qWaitForWindowActive(&popup));
        QVERIFY(popup.isVisible());
    }

    void indicatorStates()
    {
        WidgetIndicator indicator;
        QVERIFY(!indicator.state());
        QCOMPARE(indicator.pages()->count(), 2);
        QCOMPARE(indicator.pages()->currentIndex(), 0);
        indicator.setState(true);
        QVERIFY(indicator.state());
        QCOMPARE(indicator.pages()->currentIndex(), 1);
        indicator.setState(false);
        QCOMPARE(indicator.pages()->currentIndex(), 0);

        // The pages show the grey and the red status lights at 25 x 25.
        const auto* off = qobject_cast<QLabel*>(indicator.pages()->widget(0));
        const auto* on = qobject_cast<QLabel*>(indicator.pages()->widget(1));
        QVERIFY(off && on && off->pixmap() && on->pixmap());
        const QImage expectedOff = ZIconsManager::instance()->colorIcon(6).pixmap(25, 25).toImage();
        const QImage expectedOn = ZIconsManager::instance()->colorIcon(8).pixmap(25, 25).toImage();
        QVERIFY(!expectedOff.isNull());
        QVERIFY(expectedOff != expectedOn);
        QCOMPARE(off->pixmap()->toImage(), expectedOff);
        QCOMPARE(on->pixmap()->toImage(), expectedOn);
        QVERIFY(off->pixmap()->width() <= 25 && off->pixmap()->height() <= 25);
    }
};

TALMENO_TEST_MAIN(TestWindowBases)
#include "tst_window_bases.moc"
