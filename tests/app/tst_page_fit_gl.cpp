// Every product's data page, every window its tool bars open and the serial terminal, at the program's
// own window size on a 1600 x 1000 screen, in English and in Chinese: nothing labelled
// is cut sideways or lies outside its window or pane, no horizontal scroll bar shows,
// a window opens within the screen and large enough for its content (a calibration window for its last messages). Each
// row runs the program's own main in a child process with a simulated device of its own.

#include <QSerialPortInfo>
#include <QtWidgets>
#include <memory>

#include "app/MainWindow.h"
#include "app/ZApplication.h"
#include "link/ZSerialPort.h"
#include "link/ZUiSerialPortAssistant.h"
#include "products/iot/IotWidgetFrame0.h"
#include "products/trelvan/calibration/AhrsCalibrationWindow.h"
#include "products/trelvan/calibration/UwbCalibrationWindow.h"
#include "products/trelvan/config/WidgetSetting.h"
#include "products/trelvan/config/ZAppModeItem.h"
#include "products/trelvan/wireless/WidgetWirelessSetting.h"
#include "products/uwbana/UwbAnaWidgetData.h"
#include "protocol/ProductsManager.h"
#include "protocol/ProtocolFactory.h"
#include "sim/AhrsCalibrationHandler.h"
#include "sim/AnalyserSimulator.h"
#include "sim/AoaCalibrationHandler.h"
#include "sim/AoaNodeSimulator.h"
#include "sim/IotNodeSimulator.h"
#include "sim/RangeSensorSimulator.h"
#include "sim/TrelvanNodeSimulator.h"
#include "sim/TrelvanRelayHandler.h"
#include "sim/TrelvanScenario.h"
#include "support/ScreenShot.h"
#include "support/testenv.h"
#include "widgets/DataWidgetBase.h"
#include "widgets/PlainTextEditWithFile.h"
#include "widgets/ZLabel.h"
#include "widgets/ZWidgetHelpers.h"

namespace child {

QString language, scenario;
QStringList problems;
int checked = 0;

// The widget's class and what it shows (or its parent's), for the report.
QString nameOf(const QWidget* w)
{
    const QString text = w->property("text").toString() + w->property("title").toString()
                         + w->property("currentText").toString() + w->property("placeholderText").toString();
    if (text.isEmpty() && w->parentWidget())
        return QString("%1 in %2").arg(w->metaObject()->className(), nameOf(w->parentWidget()));
    return QString("%1 \"%2\"").arg(w->metaObject()->className(), text.left(40));
}

// The room a widget's own text lacks (0 when it shows whole), or -1 for a widget
// that shows no caption, value or text of its own.
int textShortfall(QWidget* w)
{
    const QFontMetrics fm = w->fontMetrics();
    QWidget* parent = w->parentWidget();
    // Parts of a box are checked with the box; the main tool bar's port box shows the
    // simulator's long link path elided.
    if (qobject_cast<QAbstractSpinBox*>(parent) || qobject_cast<QComboBox*>(parent)
        || (qobject_cast<QComboBox*>(w) && qobject_cast<QToolBar*>(parent) && qobject_cast<MainWindow*>(w->window())))
        return -1;
    if (auto* l = qobject_cast<QLabel*>(w)) {
        if (!l->text().isEmpty() && !l->wordWrap())
            return l->sizeHint().width() - l->width();
        return l->pixmap(Qt::ReturnByValue).isNull() && !qobject_cast<ZLabel*>(parent) ? -1 : 0;
    }
    if (auto* e = qobject_cast<QLineEdit*>(w)) {
        const QString shown = e->text().isEmpty() ? e->placeholderText() : e->text();
        return shown.isEmpty() ? 0 : lineEditWidth(e, shown) - e->width();
    }
    if (auto* s = qobject_cast<QAbstractSpinBox*>(w)) {
        QLineEdit* e = s->findChild<QLineEdit*>();
        return e ? fm.horizontalAdvance(s->text()) + 4 - e->width() : 0;
    }
    if (auto* bar = qobject_cast<QStatusBar*>(w)) { // its message: from x 6 to 12 px short of the edge or the grip
        const QSizeGrip* grip = bar->findChild<QSizeGrip*>();
        const int right = grip && grip->isVisible() ? qMin(grip->x(), bar->width() - 12) : bar->width() - 12;
        return bar->currentMessage().isEmpty() ? 0 : fm.horizontalAdvance(bar->currentMessage()) - (right - 6);
    }
    if (auto* b = qobject_cast<QAbstractButton*>(w); b && b->text().isEmpty()) // an icon or arrow, no label
        return -1;
    if (qobject_cast<QAbstractButton*>(w) || qobject_cast<QComboBox*>(w) || qobject_cast<QGroupBox*>(w))
        return w->minimumSizeHint().width() - w->width();
    return -1;
}

// What is cut sideways in a window. A viewport in `sideways` may hold content wider
// than itself (its page scrolls sideways as a whole).
QStringList cutsIn(QWidget* window, const QList<QWidget*>& sideways)
{
    QStringList cuts;
    const QRect screen = window->screen()->availableGeometry();
    if (!screen.contains(window->frameGeometry()))
        cuts << "window past the screen";
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (!w->isVisible() || w->window() != window)
            continue;
        auto* area = qobject_cast<QAbstractScrollArea*>(w);
        if (area && area->horizontalScrollBar()->isVisible() && !sideways.contains(area->viewport()))
            cuts << "horizontal scroll bar in " + nameOf(area->parentWidget());
        if (qobject_cast<QScrollArea*>(w) && !qobject_cast<MainWindow*>(window) && area->verticalScrollBar()->isVisible()
            && window->frameGeometry().height() < screen.height() - 40)
            cuts << "window too low for " + nameOf(area->parentWidget());
        if (auto* bar = qobject_cast<QToolBar*>(w))
            for (QAction* a : bar->actions())
                if (a->isVisible() && bar->widgetForAction(a) && !bar->widgetForAction(a)->isVisible())
                    cuts << "tool bar hides " + a->text();
        const int shortfall = textShortfall(w);
        if (shortfall > 0)
            cuts << QString("%1 lacks %2 px").arg(nameOf(w)).arg(shortfall);
        for (QWidget* a = w->parentWidget(); shortfall >= 0 && a != window->parentWidget() && !sideways.contains(a);
             a = a->parentWidget()) {
            const int left = w->mapTo(a, QPoint(0, 0)).x();
            if (left < 0 || left + w->width() > a->width()) {
                cuts << QString("%1 at x %2..%3 of %4 wide %5").arg(nameOf(w)).arg(left).arg(left + w->width())
                            .arg(a->width()).arg(a->metaObject()->className());
                break;
            }
        }
    }
    return cuts;
}

// Waits a while for the window to settle whole, then reports what is still cut; with
// TALMENO_SCREENS_DIR set it leaves a picture of the window there.
void check(QWidget* window, const QString& name, const QList<QWidget*>& sideways = {})
{
    QStringList cuts;
    if (!QTest::qWaitForWindowExposed(window))
        problems << name + ": not shown";
    (void)QTest::qWaitFor([&] { return (cuts = cutsIn(window, sideways)).isEmpty(); }, 3000);
    for (const QString& cut : qAsConst(cuts))
        problems << name + ": " + cut;
    window->raise();
    talmeno_test::saveWindowIfAsked(window, QString("fit_%1_%2_%3").arg(scenario, name, language));
    ++checked;
}

// Waits for a data page in the main window (other than `previous`) to show frames.
DataWidgetBase* livePage(MainWindow* window, const QString& name, DataWidgetBase* previous = nullptr)
{
    const auto live = [&]() -> DataWidgetBase* {
        for (DataWidgetBase* page : window->findChildren<DataWidgetBase*>())
            for (PlainTextEditWithFile* console : page->findChildren<PlainTextEditWithFile*>())
                if (page != previous && console->isVisible() && !console->document()->isEmpty())
                    return page;
        return nullptr;
    };
    if (!QTest::qWaitFor([&] { return live() != nullptr; }, 40000))
        problems << name + ": no live page";
    return live();
}

// Opens every window of the product's tool bar in turn and checks it.
void checkToolBarWindows(MainWindow* main)
{
    const auto shown = [main] {
        QWidgetList windows;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible() && w != main && !qobject_cast<QMenu*>(w))
                windows << w;
        return windows;
    };
    for (QAction* action : ProductsManager::existing()->productToolBar()->actions()) {
        if (!action->isVisible())
            continue;
        const QWidgetList before = shown();
        action->trigger();
        QWidget* opened = nullptr;
        (void)QTest::qWaitFor([&] {
            for (QWidget* w : shown())
                if (!before.contains(w))
                    opened = w;
            return opened != nullptr;
        }, 5000);
        if (opened) {
            check(opened, "window " + action->text());
            opened->close();
        }
    }
}

// The row's simulated device, made before the program's window and started once its
// link is in place (the program finds the one port and recognises it).
sim::DeviceSimulator* device = nullptr;
sim::TrelvanScenario* frames = nullptr;
std::shared_ptr<sim::AhrsCalibrationHandler> ahrs;
std::shared_ptr<sim::AoaCalibrationHandler> offsets;
std::function<void()> start; // holds the product's simulator

// Checks the window with the status message its last act brings, held, at the size it opened at.
void checkHeld(QWidget* window, const QSize& opened, const QString& message, const QString& name)
{
    QStatusBar* bar = window->findChild<QStatusBar*>();
    if (!QTest::qWaitFor([&] { return bar->currentMessage() == message; }, 10000))
        problems << name + ": no message " + message + ", but " + bar->currentMessage();
    bar->showMessage(message);
    check(window, "window " + name);
    if (window->size() != opened)
        problems << name + ": grew";
}

void checkTrelvan(MainWindow* main)
{
    using Kind = sim::TrelvanScenario::Kind;
    const QList<QPair<QString, Kind>> kinds{
        {"Node_Frame2", Kind::NodeFrame2}, {"Tag_Frame0", Kind::TagFrame0},   {"Node_Frame1", Kind::NodeFrame1},
        {"Node_Frame3", Kind::NodeFrame3}, {"Node_Frame4", Kind::NodeFrame4}, {"Node_Frame5", Kind::NodeFrame5},
        {"Node_Frame7", Kind::NodeFrame7}, {"AOA_Node_Frame0", Kind::AoaNodeFrame0}, {"Node_Frame0", Kind::NodeFrame0}};
    DataWidgetBase* page = livePage(main, "page");
    for (const auto& kind : kinds) {
        ProtocolFactory::loadProtocols("Vexa_Trelvan_" + kind.first, main);
        frames->streamMixedTo(*device, kind.second, 400, true);
        if (kind.second != Kind::NodeFrame0 && (page = livePage(main, kind.first, page)))
            check(main, kind.first);
    }
    checkToolBarWindows(main); // the data-transmission window with its three nodes
    // Every sensor calibrated as the node answers, then an accelerometer step that fails.
    auto* ahrsWindow = Trelvan::WidgetAHRSCalibration::existing();
    ahrsWindow->windowAction()->trigger();
    QSize opened = QTest::qWaitForWindowExposed(ahrsWindow) ? ahrsWindow->size() : QSize();
    const QString done = Trelvan::WidgetSensor::tr("Calibration succeeded");
    for (const auto& row : QList<QPair<Trelvan::WidgetSensor*, int>>{
             {ahrsWindow->gyroRow(), 1}, {ahrsWindow->accRow(), 6}, {ahrsWindow->magRow(), 3}})
        for (int step = 1; step <= row.second; ++step) {
            row.first->stepButton()->click();
            if (!QTest::qWaitFor([&] {
                    return step < row.second ? row.first->currentStep() == step : row.first->statusButton()->text() == done;
                }, 10000))
                problems << "AHRS Calibration stops at " + row.first->sensorButton()->text();
        }
    checkHeld(ahrsWindow, opened, ahrsWindow->tr("Magnetometer calibration succeeded!"), "AHRS Calibration done");
    ahrs->setScript(sim::AhrsCalibrationHandler::Script::AccNotAligned);
    ahrsWindow->accRow()->stepButton()->click();
    checkHeld(ahrsWindow, opened, ahrsWindow->tr("Accelerometer calibration failed, please align the direction"),
              "AHRS Calibration failed");
    ahrsWindow->close();
    main->uwbCalibrationAction()->trigger(); // a read that no node answers, a write of an offset it refuses
    auto* calibration = qobject_cast<trelvan::WidgetCalibration*>(MainWindow::uwbCalibrationWindow());
    if (!calibration) {
        problems << "no UWB Calibration window";
        return;
    }
    opened = QTest::qWaitForWindowExposed(calibration) ? calibration->size() : QSize();
    offsets->setFault(sim::AoaCalibrationHandler::Fault::Silent);
    calibration->readButton()->click();
    checkHeld(calibration, opened, calibration->tr("Read parameter failed, error type: timeout"), "UWB Calibration timeout");
    offsets->setFault(sim::AoaCalibrationHandler::Fault::None);
    offsets->setChangedByte(8); // the Rx delay
    calibration->writeButton()->click();
    checkHeld(calibration, opened, calibration->tr("Write parameter failed, error type: ") + "antenna_rx_delay_offset",
              "UWB Calibration refused");
    calibration->close();
}

void act()
{
    MainWindow* main = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        main = main ? main : qobject_cast<MainWindow*>(w);
    if (livePage(main, "page")) {
        if (scenario == "uwbana") { // with its configuration shown the page may scroll sideways as a whole
            UwbAna::WidgetData* page = UwbAna::WidgetData::existing();
            page->showConfigBox()->setChecked(true);
            check(main, "page with config", {page->parentWidget()}); // the viewport of its scroll area
            page->showConfigBox()->setChecked(false);
        }
        // Node count in one row with the box sizes, once the boxes of the first frames
        // are built and the panes shared out again (a few turns of the event loop).
        if (auto* page = main->findChild<iot::WidgetFrame0*>())
            if (!QTest::qWaitFor([page] { return page->nodeCountLabel->y() == page->nodeHeightSpin->y(); }, 5000))
                problems << "page: node count above the box sizes";
        check(main, "page");
        if (scenario == "sarvel") { // the serial terminal, its counters filled, as narrow as it can be made
            main->terminalAction()->trigger();
            ZUiSerialPortAssistant* terminal = ZUiSerialPortAssistant::existing();
            (void)QTest::qWaitFor([&] { return terminal->serialPort()->receivedBytes() > 0; }, 10000);
            terminal->resize(terminal->minimumSize());
            check(terminal, "window terminal");
            terminal->close();
        }
        if (scenario == "trelvan") {
            checkTrelvan(main);
        } else if (scenario == "wireless") { // the setting window beside the wireless page, its search ended
            Trelvan::WidgetSetting* setting = Trelvan::WidgetSetting::instance();
            setting->show();
            (void)QTest::qWaitFor([&] { return setting->isEnabled(); }, 10000);
            setting->modeItem()->enterWirelessSetting();
            auto* wireless = Trelvan::WidgetWirelessSetting::existing();
            if (!QTest::qWaitFor([&] { return !wireless->totalLabel()->value().isEmpty() && setting->isEnabled(); }, 30000))
                problems << "no wireless setting";
            check(setting, "window wireless setting");
        } else {
            checkToolBarWindows(main);
        }
    }
    for (const QString& p : qAsConst(problems))
        std::printf("cut:%s\n", qPrintable(p));
    std::printf("checked:%d\ndone\n", checked);
    std::fflush(stdout);
    main->close();
}

void preRoutine()
{
    device = new sim::DeviceSimulator;
    frames = new sim::TrelvanScenario(20);
    if (scenario.startsWith("sarvel") || scenario.startsWith("parvo")) {
        auto sensor = std::make_shared<sim::RangeSensor>(*device, scenario == "sarvel" ? 3 : scenario.mid(5).toInt());
        sensor->setZoneRate(10);
        start = [sensor] { sensor->start(); };
    } else if (scenario == "trelvan" || scenario == "wireless") {
        sim::TrelvanNodeSetup setup;
        setup.protocol = quint8(frames->frameAt(sim::TrelvanScenario::Kind::AnchorFrame0, 0).at(1));
        if (scenario == "wireless") { // an anchor of a system with two more anchors
            setup.role = 1;
            setup.localMode = 13;
            auto relay = std::make_shared<sim::TrelvanRelayHandler>(*device);
            device->addHandler(relay);
            for (quint8 id : {1, 2}) {
                sim::TrelvanNodeSetup remote = setup;
                remote.id = id;
                relay->addNode(remote, {1, 2, 3, 4});
            }
        }
        auto node = std::make_shared<sim::TrelvanNode>(*device, setup);
        device->addHandler(ahrs = std::make_shared<sim::AhrsCalibrationHandler>());
        device->addHandler(offsets = std::make_shared<sim::AoaCalibrationHandler>());
        start = [node] {
            node->start(false);
            frames->streamMixedTo(*device, sim::TrelvanScenario::Kind::AnchorFrame0, 400, true);
        };
    } else if (scenario == "aoa") {
        start = [node = std::make_shared<sim::AoaNode>(*device, sim::AoaNode::kAnchorModel, 115200)] { node->start(true); };
    } else if (scenario == "iot") {
        start = [node = std::make_shared<sim::IotNode>(*device, 20)] { node->start(); };
    } else {
        start = [analyser = std::make_shared<sim::Analyser>(*device, 19, 921600)] { analyser->start(); };
    }
    if (device->start() && QFile::link(device->portPath(), qEnvironmentVariable("TALMENO_EXTRA_PORTS")))
        start();
    else
        problems << "no simulated device";
    QTimer::singleShot(500, QCoreApplication::instance(), [] { talmeno_test::runAtTopLevel(&act); });
}

} // namespace child

class TstPageFit : public QObject
{
    Q_OBJECT

private slots:
    void pagesAndWindowsWhole_data()
    {
        QTest::addColumn<QString>("scenario");
        QTest::addColumn<QString>("language");
        QTest::addColumn<int>("checks");
        const QList<QPair<QString, int>> scenarios{{"sarvel", 4},   {"parvo8", 3}, {"parvo13", 3}, {"trelvan", 19},
                                                   {"wireless", 2}, {"aoa", 3},    {"iot", 2},     {"uwbana", 3}};
        for (const QString language : {"English", "Chinese"})
            for (const auto& s : scenarios)
                QTest::newRow(qPrintable(s.first + " " + language)) << s.first << language << s.second;
    }

    void pagesAndWindowsWhole()
    {
        QFETCH(QString, scenario);
        QFETCH(QString, language);
        QFETCH(int, checks);
        QTemporaryDir config;
        QSettings settings(config.filePath("Quorvel/" + QCoreApplication::applicationName() + ".ini"), QSettings::IniFormat);
        settings.setValue("Language", language);
        QStringList realPorts; // stay closed
        for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
            realPorts << info.portName();
        settings.setValue("SerialPort/IgnoredPortNames", realPorts);
        settings.sync();
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("TALMENO_CHILD_SCENARIO", scenario);
        env.insert("TALMENO_CHILD_LANGUAGE", language);
        env.insert("XDG_CONFIG_HOME", config.path());
        // A link path as short as a user's (such as /tmp/ttyTalmeno): a long one would
        // widen the terminal's port box and with it the window.
        QTemporaryDir link("/tmp/tf-XXXXXX");
        env.insert("TALMENO_EXTRA_PORTS", link.filePath("tty"));
        p.setProcessEnvironment(env);
        p.start(QCoreApplication::applicationFilePath(), QStringList());
        QVERIFY(p.waitForFinished(240000));
        const QStringList out = QString::fromUtf8(p.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
        QStringList cuts = out.filter(QRegularExpression("^cut:"));
        cuts.removeDuplicates();
        QVERIFY2(cuts.isEmpty(), qPrintable(cuts.join('\n')));
        QVERIFY2(out.contains("done"), qPrintable(QString::fromUtf8(p.readAllStandardError()).right(3000)));
        QCOMPARE(out.filter(QRegularExpression("^checked:")).value(0), QString("checked:%1").arg(checks));
    }
};

#define main talmenoTestMain
TALMENO_TEST_MAIN(TstPageFit)
#undef main

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("TALMENO_CHILD_SCENARIO"))
        return talmenoTestMain(argc, argv);
    child::scenario = qEnvironmentVariable("TALMENO_CHILD_SCENARIO");
    child::language = qEnvironmentVariable("TALMENO_CHILD_LANGUAGE");
    qAddPreRoutine(&child::preRoutine);
    return talmenoMain(argc, argv);
}

#include "tst_page_fit_gl.moc"
