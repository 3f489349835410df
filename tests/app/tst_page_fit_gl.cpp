// Every product's data page, and every window its tool bars open, at the program's
// own window size on a 1600 x 1000 screen, in English and in Chinese: no caption,
// value, button or check box is cut sideways or lies past the right edge of its
// window or pane, no horizontal scroll bar shows, a window opens large enough for
// its content and within the screen. Each row runs the program's own main in a
// child process with a simulated device of its own; with TALMENO_SCREENS_DIR set the
// child leaves a picture of every page and window there.

#include <QAbstractScrollArea>
#include <QAbstractSpinBox>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSerialPortInfo>
#include <QSettings>
#include <QStatusBar>
#include <QStyleOptionComboBox>
#include <QStyleOptionFrame>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <cstdio>
#include <memory>

#include "app/MainWindow.h"
#include "app/ZApplication.h"
#include "products/iot/IotWidgetFrame0.h"
#include "products/trelvan/calibration/UwbCalibrationWindow.h"
#include "products/trelvan/config/WidgetSetting.h"
#include "products/trelvan/config/ZAppModeItem.h"
#include "products/trelvan/wireless/WidgetWirelessSetting.h"
#include "products/uwbana/UwbAnaWidgetData.h"
#include "protocol/ProductsManager.h"
#include "protocol/ProtocolFactory.h"
#include "sim/AnalyserSimulator.h"
#include "sim/AoaNodeSimulator.h"
#include "sim/DeviceSimulator.h"
#include "sim/IotNodeSimulator.h"
#include "sim/RangeSensorSimulator.h"
#include "sim/TrelvanNodeSimulator.h"
#include "sim/TrelvanRelayHandler.h"
#include "sim/TrelvanScenario.h"
#include "support/testenv.h"
#include "widgets/DataWidgetBase.h"
#include "widgets/PlainTextEditWithFile.h"
#include "widgets/ZLabel.h"

namespace child {

void say(const QString& line)
{
    std::fprintf(stdout, "%s\n", line.toUtf8().constData());
    std::fflush(stdout);
}

QString nameOf(const QWidget* w)
{
    QString text;
    if (auto* l = qobject_cast<const QLabel*>(w))
        text = l->text();
    else if (auto* b = qobject_cast<const QAbstractButton*>(w))
        text = b->text().isEmpty() ? b->toolTip() : b->text();
    else if (auto* g = qobject_cast<const QGroupBox*>(w))
        text = g->title();
    else if (auto* e = qobject_cast<const QLineEdit*>(w))
        text = e->text().isEmpty() ? e->placeholderText() : e->text();
    else if (auto* c = qobject_cast<const QComboBox*>(w))
        text = c->currentText();
    else if (auto* s = qobject_cast<const QAbstractSpinBox*>(w))
        text = s->text();
    if (text.isEmpty() && w->parentWidget())
        return QString("%1 in %2").arg(w->metaObject()->className(), nameOf(w->parentWidget()));
    return QString("%1 \"%2\"").arg(w->metaObject()->className(), text.left(40));
}

// The room a widget's own text lacks (0 when it shows whole).
int textShortfall(QWidget* w)
{
    const QFontMetrics fm = w->fontMetrics();
    if (auto* l = qobject_cast<QLabel*>(w)) {
        if (l->wordWrap() || l->text().isEmpty())
            return 0;
        return l->sizeHint().width() - l->width();
    }
    if (auto* b = qobject_cast<QAbstractButton*>(w))
        return b->minimumSizeHint().width() - b->width();
    if (auto* g = qobject_cast<QGroupBox*>(w))
        return g->title().isEmpty() ? 0 : g->minimumSizeHint().width() - g->width();
    if (auto* e = qobject_cast<QLineEdit*>(w)) {
        const QString shown = e->text().isEmpty() ? e->placeholderText() : e->text();
        if (shown.isEmpty())
            return 0;
        QStyleOptionFrame opt;
        opt.initFrom(e);
        opt.rect = e->rect();
        opt.lineWidth = e->hasFrame() ? e->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &opt, e) : 0;
        const QRect r = e->style()->subElementRect(QStyle::SE_LineEditContents, &opt, e).marginsRemoved(e->textMargins());
        return fm.horizontalAdvance(shown) - (r.width() - 4);
    }
    if (auto* c = qobject_cast<QComboBox*>(w)) {
        QStyleOptionComboBox opt;
        opt.initFrom(c);
        opt.editable = c->isEditable();
        opt.frame = c->hasFrame();
        opt.currentText = c->currentText();
        const QRect r = c->style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, c);
        return fm.horizontalAdvance(c->currentText()) - r.width();
    }
    if (auto* s = qobject_cast<QAbstractSpinBox*>(w)) {
        if (QLineEdit* e = s->findChild<QLineEdit*>())
            return fm.horizontalAdvance(s->text()) - (e->width() - 4);
    }
    if (auto* bar = qobject_cast<QStatusBar*>(w))
        return bar->currentMessage().isEmpty() ? 0 : fm.horizontalAdvance(bar->currentMessage()) + 8 - bar->width();
    return 0;
}

bool labelled(const QWidget* w)
{
    // The main tool bar's port box shows a long port path (the simulator's link)
    // elided: its room goes to the product's actions.
    if (qobject_cast<const QComboBox*>(w) && qobject_cast<const QToolBar*>(w->parentWidget())
        && qobject_cast<const MainWindow*>(w->window()))
        return false;
    if (qobject_cast<const QAbstractSpinBox*>(w->parentWidget()) || qobject_cast<const QComboBox*>(w->parentWidget())
        || qobject_cast<const QScrollBar*>(w))
        return false;
    if (auto* l = qobject_cast<const QLabel*>(w))
        return !l->text().isEmpty() || !l->pixmap(Qt::ReturnByValue).isNull() || qobject_cast<const ZLabel*>(w->parentWidget());
    return qobject_cast<const QAbstractButton*>(w) || qobject_cast<const QGroupBox*>(w)
           || qobject_cast<const QLineEdit*>(w) || qobject_cast<const QComboBox*>(w)
           || qobject_cast<const QAbstractSpinBox*>(w) || qobject_cast<const QStatusBar*>(w);
}

// What is cut sideways in a window: a labelled widget whose text lacks room or that
// lies (partly) outside one of its ancestors, a horizontal scroll bar, a tool bar that
// hides actions, a window past the screen. A viewport in `sideways` may hold content
// wider than itself (its page scrolls sideways as a whole).
QStringList cutsIn(QWidget* window, const QList<QWidget*>& sideways = {})
{
    QStringList cuts;
    const QRect screen = window->screen()->availableGeometry();
    if (!screen.contains(window->frameGeometry()))
        cuts << QString("window %1 past the screen").arg(window->metaObject()->className());
    // A window opens large enough for its content: nothing in it scrolls, unless the
    // screen is too low for it.
    const bool ownWindow = !qobject_cast<MainWindow*>(window);
    if (ownWindow && window->frameGeometry().height() < screen.height() - 40)
        for (QScrollArea* area : window->findChildren<QScrollArea*>())
            if (area->isVisible() && area->verticalScrollBar()->isVisible())
                cuts << "window too low for " + nameOf(area->widget() ? area->widget() : area);
    QList<QWidget*> widgets = window->findChildren<QWidget*>();
    for (QWidget* w : widgets) {
        if (!w->isVisible() || w->window() != window)
            continue;
        if (auto* area = qobject_cast<QAbstractScrollArea*>(w)) {
            if (area->horizontalScrollBar()->isVisible() && !sideways.contains(area->viewport()))
                cuts << "horizontal scroll bar in " + nameOf(area->parentWidget() ? area->parentWidget() : area);
        }
        if (auto* bar = qobject_cast<QToolBar*>(w)) {
            for (QAction* a : bar->actions()) {
                QWidget* shown = bar->widgetForAction(a);
                if (a->isVisible() && !a->isSeparator() && shown && !shown->isVisible())
                    cuts << "tool bar hides " + a->text();
            }
        }
        if (!labelled(w))
            continue;
        const int shortfall = textShortfall(w);
        if (shortfall > 0)
            cuts << QString("%1 lacks %2 px").arg(nameOf(w)).arg(shortfall);
        for (QWidget* a = w->parentWidget(); a && a != window->parentWidget(); a = a->parentWidget()) {
            if (sideways.contains(a))
                break;
            const int left = w->mapTo(a, QPoint(0, 0)).x();
            if (left < 0 || left + w->width() > a->width()) {
                cuts << QString("%1 at x %2..%3 of %4 wide %5")
                            .arg(nameOf(w))
                            .arg(left)
                            .arg(left + w->width())
                            .arg(a->width())
                            .arg(a->metaObject()->className());
                break;
            }
        }
    }
    return cuts;
}

MainWindow* mainWindow()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* m = qobject_cast<MainWindow*>(w))
            return m;
    return nullptr;
}

QString language;
QString scenario;
QStringList problems;

void savePicture(QWidget* window, const QString& name)
{
    const QString dir = qEnvironmentVariable("TALMENO_SCREENS_DIR");
    if (dir.isEmpty())
        return;
    window->raise();
    QCoreApplication::processEvents();
    const QString file = QString("%1/fit_%2_%3_%4.png").arg(dir, scenario, name, language);
    window->screen()->grabWindow(window->winId()).save(file);
}

// Waits a while for the window to settle whole, then reports what is still cut.
void check(QWidget* window, const QString& name, const QList<QWidget*>& sideways = {})
{
    QStringList cuts;
    if (!QTest::qWaitForWindowExposed(window))
        problems << name + ": not shown";
    (void)QTest::qWaitFor([&] { return (cuts = cutsIn(window, sideways)).isEmpty(); }, 3000);
    for (const QString& cut : qAsConst(cuts))
        problems << name + ": " + cut;
    savePicture(window, name);
    say("checked:" + name);
}

// The data page shown in the main window, once its console shows frames.
DataWidgetBase* livePage(MainWindow* window)
{
    for (DataWidgetBase* page : window->findChildren<DataWidgetBase*>()) {
        if (!page->isVisible())
            continue;
        for (PlainTextEditWithFile* console : page->findChildren<PlainTextEditWithFile*>())
            if (console->isVisible() && !console->document()->isEmpty())
                return page;
    }
    return nullptr;
}

// Waits for a live page other than `previous`.
bool waitForPage(MainWindow* window, const QString& name, DataWidgetBase* previous = nullptr)
{
    if (!QTest::qWaitFor([&] { return livePage(window) && livePage(window) != previous; }, 40000)) {
        problems << name + ": no live page";
        return false;
    }
    return true;
}

// Opens every window of the product's tool bar in turn and checks it.
void checkToolBarWindows(MainWindow* main)
{
    ProductsManager* products = ProductsManager::existing();
    for (QAction* action : products->productToolBar()->actions()) {
        if (!action->isVisible() || action->text().isEmpty())
            continue;
        QList<QWidget*> before;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible())
                before << w;
        action->trigger();
        QWidget* opened = nullptr;
        (void)QTest::qWaitFor([&] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (w->isVisible() && !before.contains(w) && w != main && !qobject_cast<QMenu*>(w))
                    opened = w;
            return opened != nullptr;
        }, 5000);
        if (!opened)
            continue;
        check(opened, "window " + action->text());
        opened->close();
    }
}

struct Device
{
    sim::DeviceSimulator device;
    std::unique_ptr<sim::RangeSensor> range;
    std::unique_ptr<sim::TrelvanNode> node;
    std::unique_ptr<sim::AoaNode> aoa;
    std::unique_ptr<sim::IotNode> iot;
    std::unique_ptr<sim::Analyser> analyser;
    std::shared_ptr<sim::TrelvanRelayHandler> relay;
    sim::TrelvanScenario frames{20};
};
Device* device = nullptr;

void checkTrelvan(MainWindow* main)
{
    using Kind = sim::TrelvanScenario::Kind;
    const QList<QPair<QString, Kind>> kinds{
        {"Node_Frame2", Kind::NodeFrame2}, {"Tag_Frame0", Kind::TagFrame0},   {"Node_Frame1", Kind::NodeFrame1},
        {"Node_Frame3", Kind::NodeFrame3}, {"Node_Frame4", Kind::NodeFrame4}, {"Node_Frame5", Kind::NodeFrame5},
        {"Node_Frame7", Kind::NodeFrame7}, {"AOA_Node_Frame0", Kind::AoaNodeFrame0}};
    for (const auto& kind : kinds) {
        DataWidgetBase* previous = livePage(main);
        ProtocolFactory::loadProtocols("Vexa_Trelvan_" + kind.first, main);
        device->frames.streamMixedTo(device->device, kind.second, 400, true);
        if (waitForPage(main, kind.first, previous))
            check(main, kind.first);
    }
    // The data-transmission window with its three nodes.
    ProtocolFactory::loadProtocols("Vexa_Trelvan_Node_Frame0", main);
    device->frames.streamMixedTo(device->device, Kind::NodeFrame0, 400, true);
    checkToolBarWindows(main);

    // A calibration read that no node answers.
    main->uwbCalibrationAction()->trigger();
    if (auto* calibration = qobject_cast<trelvan::WidgetCalibration*>(MainWindow::uwbCalibrationWindow())) {
        calibration->readButton()->click();
        if (!QTest::qWaitFor([&] { return !calibration->statusBar()->currentMessage().isEmpty(); }, 8000))
            problems << "UWB Calibration: no message";
        check(calibration, "window UWB Calibration");
        calibration->close();
    } else {
        problems << "no UWB Calibration window";
    }
}

void checkWirelessSetting()
{
    Trelvan::WidgetSetting* setting = Trelvan::WidgetSetting::instance();
    setting->show();
    if (!QTest::qWaitForWindowExposed(setting) || !QTest::qWaitFor([&] { return setting->isEnabled(); }, 10000))
        problems << "no setting window";
    setting->modeItem()->enterWirelessSetting();
    // Once the search has ended (it counts the nodes it found).
    Trelvan::WidgetWirelessSetting* wireless = Trelvan::WidgetWirelessSetting::existing();
    if (!QTest::qWaitFor([&] { return wireless && !wireless->totalLabel()->value().isEmpty() && setting->isEnabled(); },
                         30000))
        problems << "no wireless setting: " + (wireless ? wireless->totalLabel()->value() : QString("none"));
    check(setting, "window wireless setting");
}

void act()
{
    MainWindow* main = mainWindow();
    if (!main) {
        problems << "no main window";
    } else if (scenario == "uwbana") {
        if (waitForPage(main, "page") && QTest::qWaitFor([] { return UwbAna::WidgetData::existing(); }, 1000)) {
            UwbAna::WidgetData* page = UwbAna::WidgetData::existing();
            page->showConfigBox()->setChecked(true);
            QList<QWidget*> sideways;
            for (QScrollArea* area : main->findChildren<QScrollArea*>())
                if (area->widget() == page)
                    sideways << area->viewport();
            check(main, "page with config", sideways);
            page->showConfigBox()->setChecked(false);
            check(main, "page");
            checkToolBarWindows(main);
        }
    } else if (waitForPage(main, "page")) {
        check(main, "page");
        // The node count stands in one row with the two box sizes.
        if (auto* page = main->findChild<iot::WidgetFrame0*>())
            if (page->nodeCountLabel->y() != page->nodeHeightSpin->y())
                problems << "page: node count above the box sizes";
        if (scenario == "trelvan")
            checkTrelvan(main);
        else if (scenario == "wireless")
            checkWirelessSetting();
        else
            checkToolBarWindows(main);
    }
    for (const QString& p : qAsConst(problems))
        say("cut:" + p);
    say("done");
    if (main)
        main->close();
    else
        QCoreApplication::quit();
}

void startDevice()
{
    device = new Device;
    sim::DeviceSimulator& d = device->device;
    if (scenario == "sarvel" || scenario == "parvo8" || scenario == "parvo13") {
        const int type = scenario == "sarvel" ? 3 : scenario.mid(5).toInt();
        device->range.reset(new sim::RangeSensor(d, type));
        device->range->setZoneRate(10);
    } else if (scenario == "trelvan" || scenario == "wireless") {
        sim::TrelvanNodeSetup setup;
        setup.protocol = quint8(device->frames.frameAt(sim::TrelvanScenario::Kind::AnchorFrame0, 0).at(1));
        if (scenario == "wireless") {
            setup.role = 1; // an anchor of a system with remote nodes
            setup.localMode = 13;
            device->relay = std::make_shared<sim::TrelvanRelayHandler>(d);
            d.addHandler(device->relay);
            for (quint8 id : {1, 2}) {
                sim::TrelvanNodeSetup remote = setup;
                remote.id = id;
                device->relay->addNode(remote, {1, 2, 3, 4});
            }
        }
        device->node.reset(new sim::TrelvanNode(d, setup));
    } else if (scenario == "aoa") {
        device->aoa.reset(new sim::AoaNode(d, sim::AoaNode::kAnchorModel, 115200));
    } else if (scenario == "iot") {
        device->iot.reset(new sim::IotNode(d, 20));
    } else if (scenario == "uwbana") {
        device->analyser.reset(new sim::Analyser(d, 19, 921600));
    }
    if (!d.start() || !QFile::link(d.portPath(), qEnvironmentVariable("TALMENO_EXTRA_PORTS"))) {
        say("cut:no simulated device");
        return;
    }
    if (device->range)
        device->range->start();
    if (device->node) {
        device->node->start(false);
        device->frames.streamMixedTo(d, sim::TrelvanScenario::Kind::AnchorFrame0, 400, true);
    }
    if (device->aoa)
        device->aoa->start(true);
    if (device->iot)
        device->iot->start();
    if (device->analyser)
        device->analyser->start();
}

void preRoutine()
{
    startDevice();
    QTimer::singleShot(500, QCoreApplication::instance(), &act);
}

int run(int argc, char** argv)
{
    scenario = qEnvironmentVariable("TALMENO_CHILD_SCENARIO");
    language = qEnvironmentVariable("TALMENO_CHILD_LANGUAGE");
    qAddPreRoutine(&preRoutine);
    return talmenoMain(argc, argv);
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
        const QList<QPair<QString, int>> scenarios{{"sarvel", 3},  {"parvo8", 3}, {"parvo13", 3},
                                                   {"trelvan", 16}, {"wireless", 2}, {"aoa", 3},
                                                   {"iot", 2},      {"uwbana", 3}};
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
        QSettings settings(config.filePath("Quorvel/" + QFileInfo(QCoreApplication::applicationFilePath()).baseName()
                                           + ".ini"),
                           QSettings::IniFormat);
        settings.setValue("Language", language);
        QStringList realPorts;
        for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
            realPorts << info.portName();
        settings.setValue("SerialPort/IgnoredPortNames", realPorts);
        settings.sync();

        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("TALMENO_CHILD_SCENARIO", scenario);
        env.insert("TALMENO_CHILD_LANGUAGE", language);
        env.insert("XDG_CONFIG_HOME", config.path());
        env.insert("TALMENO_EXTRA_PORTS", config.filePath("tty"));
        p.setProcessEnvironment(env);
        p.start(QCoreApplication::applicationFilePath(), QStringList());
        QVERIFY(p.waitForFinished(240000));
        const QStringList out = QString::fromUtf8(p.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
        QStringList cuts = out.filter(QRegularExpression("^cut:"));
        cuts.removeDuplicates();
        for (const QString& cut : qAsConst(cuts))
            qWarning().noquote() << cut;
        QVERIFY2(cuts.isEmpty(), qPrintable(cuts.join('\n')));
        QVERIFY2(out.contains("done"), qPrintable(QString::fromUtf8(p.readAllStandardError()).right(3000)));
        QCOMPARE(out.filter(QRegularExpression("^checked:")).size(), checks);
    }
};

#define main talmenoTestMain
TALMENO_TEST_MAIN(TstPageFit)
#undef main

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsEmpty("TALMENO_CHILD_SCENARIO"))
        return child::run(argc, argv);
    return talmenoTestMain(argc, argv);
}

#include "tst_page_fit_gl.moc"
