#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QScreen>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QSerialPortInfo>
#include <QSettings>
#include <QSpinBox>
#include <QStackedWidget>
#include <QToolButton>
#include <QWidgetAction>

#include "app/MainWindow.h"
#include "app/SettingWidget.h"
#include "app/WizardManager.h"
#include "foundation/UserPaths.h"
#include "foundation/ZThreadManager.h"
#include "foundation/ZTranslatorManager.h"
#include "foundation/ZUdpOutput.h"
#include "foundation/ZWidgetLogger.h"
#include "link/ZSerialPort.h"
#include "link/ZUiSerialPortAssistant.h"
#include "products/trelvan/calibration/UwbCalibrationWindow.h"
#include "protocol/ProductsManager.h"
#include "protocol/ProtocolFrameExtraction.h"
#include "protocol/WidgetSystemInfo.h"
#include "record/DataExportObserver.h"
#include "record/RecordingCharger.h"
#include "record/ReplayCharger.h"
#include "record/WidgetDataPlayerBar.h"
#include "support/testenv.h"
#include "views/ModelViewManagers.h"
#include "views/RefreshManagers.h"
#include "views/ViewHooks.h"
#include "views/ViewManager.h"
#include "widgets/PlainTextEditWithFile.h"
#include "widgets/ZComboBox.h"
#include "widgets/ZComboBoxEditable.h"

// Receives what the desktop would open.
class UrlCatcher : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl& url) { urls << url; }
};

// The main window as the program builds it, in one process with fresh settings:
// its tool bars, its menu and settings widget, and its close.
class TstMainWindow : public QObject
{
    Q_OBJECT

    MainWindow* window_ = nullptr;
    QStringList boxes_;
    UrlCatcher urls_;

    QList<QAction*> menuActions() const { return window_->mainMenu()->actions(); }

    static void typeInto(QSpinBox* box, const QString& text)
    {
        box->setFocus();
        auto* edit = box->findChild<QLineEdit*>();
        edit->selectAll();
        QTest::keyClicks(edit, text);
        QTest::keyClick(edit, Qt::Key_Return);
    }

    // The chooser loads a group, which makes its page current.
    void choosePage()
    {
        QComboBox* chooser = window_->protocolChooser();
        const int index = chooser->findText("Vexa_Sarvel_Frame0");
        chooser->setCurrentIndex(index);
        emit chooser->activated(index);
        QCOMPARE(ModelViewManagers::instance()->currentName(), QString("Vexa_Sarvel_Frame0"));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(!QSettings().contains("EnableUDPOutput")); // a first start
        // The machine's own serial ports stay closed.
        QStringList realPorts;
        for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
            realPorts << info.portName();
        QSettings().setValue("SerialPort/IgnoredPortNames", realPorts);
        initUserDataFolders();
        ZTranslatorManager::setNoticeHook([](const QString&, const QString&) {});
        MainWindow::informationBoxHook() = [this](QWidget*, const QString& title, const QString& text) {
            boxes_ << title + "|" + text;
        };
        QDesktopServices::setUrlHandler("file", &urls_, "open");
        window_ = new MainWindow;
    }

    // With no settings: everything on, rates 10 and 30, memory 300 MB, UDP on 33000.
    void defaultsOfAFirstStart()
    {
        QVERIFY(window_->use3DAction()->isChecked());
        QVERIFY(window_->autoConnectAction()->isChecked());
        QVERIFY(window_->autoRecognizeAction()->isChecked());
        QVERIFY(window_->udpCheckBox()->isChecked());
        QCOMPARE(QSettings().value("EnableUDPOutput").toString(), QString("true")); // written when absent
        QVERIFY(udpOutputEnabled.load());
        QCOMPARE(udpOutputPort.load(), 33000);
        QCOMPARE(window_->udpPortBox()->minimum(), 33000);
        QCOMPARE(window_->udpPortBox()->maximum(), 65534);

        SettingWidget* s = window_->settingWidget();
        QCOMPARE(s->dataRateBox()->value(), 10);
        QCOMPARE(s->chartRateBox()->value(), 30);
        QCOMPARE(s->memoryBox()->value(), 300);
        QCOMPARE(PlainTextEditWithFileManager::instance()->memoryLimit(), 300.0);
        ModelViewManagers* registry = ModelViewManagers::instance();
        QCOMPARE(registry->dataRefreshManager()->interval(), 100);
        QTRY_COMPARE(registry->chartRefreshManager()->interval(), 33);
        CommonRefreshManager* common = CommonRefreshManager::singleton();
        QCOMPARE(common->interval(), 100);
        QVERIFY(common->isActive()); // started once the data rate was applied
    }

    void sizedByTheFirstScreen()
    {
        const QSize available = QGuiApplication::screens().first()->availableSize();
        QSize expected;
        QVERIFY(MainWindow::initialSize(available, &expected)); // the test screen is wide enough
        QCOMPARE(window_->size(), expected);
        QCOMPARE(expected.height(), int(available.height() * 0.7));
    }

    void titleAndTheWizardMenu()
    {
        QVERIFY(window_->titleText(0).startsWith("Talmeno V"));
        QCOMPARE(window_->windowTitle(), window_->titleText(0) + "   ");
        window_->setTitleText(1, "second");
        window_->setTitleText(2, "third");
        QCOMPARE(window_->windowTitle(), window_->titleText(0) + " second  third");
        window_->setTitleText(1, QString());
        window_->setTitleText(2, QString());

        // Built empty, titled with one ampersand shown, and owning its entries.
        WizardManager* wizard = WizardManager::instance();
        QCOMPARE(wizard->menu()->title(), QString("Help && Wizard"));
        QVERIFY(wizard->menu()->actions().isEmpty());
        QPointer<QObject> entry = new QObject;
        wizard->addEntry("tour", entry);
        QCOMPARE(wizard->entryNames(), QStringList{"tour"});
        delete wizard;
        QVERIFY(entry.isNull());
        QVERIFY(!WizardManager::existing());
    }

    void mainToolBarInOrder()
    {
        ZUiSerialPortAssistant* terminal = ZUiSerialPortAssistant::existing();
        WidgetDataPlayerBar* player = WidgetDataPlayerBar::instance();
        const QList<QAction*> actions = window_->toolBar()->actions();
        QCOMPARE(actions.size(), 11);
        QCOMPARE(window_->toolBar()->widgetForAction(actions[0]), window_->menuButton());
        QCOMPARE(actions[1], window_->terminalAction());
        QCOMPARE(window_->toolBar()->widgetForAction(actions[2]), window_->portMirror());
        QCOMPARE(window_->toolBar()->widgetForAction(actions[3]), window_->baudrateMirror());
        QCOMPARE(actions[4], terminal->openAction());
        QCOMPARE(actions[5], WidgetSystemInfo::existing()->recognizeAction());
        QCOMPARE(actions[6], player->recordingAction());
        QCOMPARE(actions[7], player->replayAction());
        QCOMPARE(actions[8], player->exportAction());
        auto* spacer = qobject_cast<QLabel*>(window_->toolBar()->widgetForAction(actions[9]));
        QVERIFY(spacer);
        QCOMPARE(spacer->minimumWidth(), 30);
        QCOMPARE(actions[10], window_->uwbCalibrationAction());
        QCOMPARE(actions[10]->iconText(), QString("UWB Calibration"));

        // The menu button opens the menu at once and hides its arrow through the style.
        QToolButton* button = window_->menuButton();
        QCOMPARE(button->objectName(), QString("QToolButton_Without_menu_indicator"));
        QCOMPARE(button->text(), QString("Menu"));
        QCOMPARE(button->toolTip(), QString("Menu"));
        QCOMPARE(button->popupMode(), QToolButton::InstantPopup);
        QCOMPARE(button->menu(), window_->mainMenu());
        QVERIFY(!button->icon().isNull());

        // The terminal's own action, made once, with its title.
        QCOMPARE(terminal->windowAction(), window_->terminalAction());
        QCOMPARE(window_->terminalAction()->text(), terminal->windowTitle());
        terminal->move(40, 50);
        window_->terminalAction()->trigger();
        QVERIFY(terminal->isVisible());
        QCOMPARE(terminal->pos(), QPoint(40, 50));
        terminal->hide();

        // Top area: the main bar, the product bar, then the recognition bar.
        QList<QToolBar*> top;
        for (QToolBar* bar : window_->findChildren<QToolBar*>())
            if (window_->toolBarArea(bar) == Qt::TopToolBarArea)
                top << bar;
        QVERIFY(top.contains(ProductsManager::existing()->productToolBar()));
        QVERIFY(top.contains(window_->recognitionToolBar()));
        QCOMPARE(window_->recognitionToolBar()->widgetForAction(window_->recognitionToolBar()->actions().value(0)),
                 static_cast<QWidget*>(WidgetSystemInfo::existing()));
        QVERIFY(!window_->recognitionToolBar()->isMovable());
        QCOMPARE(window_->recognitionToolBar()->contextMenuPolicy(), Qt::PreventContextMenu);
    }

    // The tool-bar copies of the port and rate boxes are the terminal's, both ways.
    void portAndBaudMirrors()
    {
        ZUiSerialPortAssistant* terminal = ZUiSerialPortAssistant::existing();
        ZComboBox* port = terminal->portComboBox();
        ZComboBox* portMirror = window_->portMirror();
        QCOMPARE(portMirror->model(), port->model());
        QCOMPARE(portMirror->view()->selectionModel(), port->view()->selectionModel());
        QCOMPARE(portMirror->isEnabled(), port->isEnabled());

        terminal->handlePortsChanged({"/dev/ttyFAKE0", "/dev/ttyFAKE1", "/dev/ttyFAKE2"});
        QCOMPARE(portMirror->count(), 3);
        port->setCurrentIndex(2);
        QCOMPARE(portMirror->currentText(), QString("/dev/ttyFAKE2"));
        portMirror->setCurrentIndex(1);
        QCOMPARE(port->currentText(), QString("/dev/ttyFAKE1"));
        // A refresh that moves the selected port keeps it selected in both.
        terminal->handlePortsChanged({"/dev/ttyFAKE1", "/dev/ttyFAKE3"});
        QCOMPARE(port->currentText(), QString("/dev/ttyFAKE1"));
        QCOMPARE(portMirror->currentText(), QString("/dev/ttyFAKE1"));

        ZComboBoxEditable* baud = terminal->baudrateComboBox();
        ZComboBoxEditable* baudMirror = window_->baudrateMirror();
        QCOMPARE(baudMirror->model(), baud->model());
        baudMirror->setCurrentIndex(baudMirror->findText("115200"));
        QCOMPARE(baud->currentText(), QString("115200"));
        QCOMPARE(QSettings().value("SerialPort/CurrentBaudrate").toString(), QString("115200"));
        terminal->setBaudRate(250000, true); // a new rate appears in the mirror too
        QCOMPARE(baudMirror->currentText(), QString("250000"));

        // Enabled state, both ways (the port opening locks them).
        terminal->handleStatusChanged(true);
        QVERIFY(!portMirror->isEnabled());
        QVERIFY(!baudMirror->isEnabled());
        terminal->handleStatusChanged(false);
        QVERIFY(portMirror->isEnabled());
        portMirror->setEnabled(false);
        QVERIFY(!port->isEnabled());
        portMirror->setEnabled(true);
        QVERIFY(port->isEnabled());
        terminal->handlePortsChanged({});
        QCOMPARE(portMirror->count(), 0);
    }

    void uwbCalibrationThroughItsFactory()
    {
        // The product lines install the positioning line's calibration window.
        window_->uwbCalibrationAction()->trigger();
        auto* installed = qobject_cast<trelvan::WidgetCalibration*>(MainWindow::uwbCalibrationWindow());
        QVERIFY(installed);
        QVERIFY(!installed->parent());
        QVERIFY(installed->isVisible());
        delete installed;
        MainWindow::setUwbCalibrationWindowFactory(nullptr);

        window_->uwbCalibrationAction()->trigger(); // no window registered: nothing
        QVERIFY(!MainWindow::uwbCalibrationWindow());

        int made = 0;
        MainWindow::setUwbCalibrationWindowFactory([&made]() -> QWidget* {
            ++made;
            auto* w = new QWidget;
            w->setWindowTitle("calibration");
            return w;
        });
        window_->uwbCalibrationAction()->trigger();
        QWidget* calibration = MainWindow::uwbCalibrationWindow();
        QVERIFY(calibration);
        QVERIFY(calibration->isVisible());
        QVERIFY(!calibration->parent()); // a window of its own
        calibration->move(70, 80);
        calibration->hide();
        window_->uwbCalibrationAction()->trigger();
        QCOMPARE(made, 1);
        QVERIFY(calibration->isVisible());
        QCOMPARE(calibration->pos(), QPoint(70, 80));
        MainWindow::setUwbCalibrationWindowFactory(nullptr);
        delete calibration;
    }

    void deferredActionsRunAfterEachShow()
    {
        QStringList ran;
        QElapsedTimer clock;
        qint64 ranAt = -1;
        window_->addDeferredAction([&] {
            ran << "first";
            ranAt = clock.elapsed();
        });
        window_->addDeferredAction([&ran] { ran << "second"; });
        clock.start();
        window_->show();
        QTRY_COMPARE_WITH_TIMEOUT(ran, (QStringList{"first", "second"}), 3000);
        QVERIFY2(ranAt >= 1000, qPrintable(QString::number(ranAt)));
        QCOMPARE(window_->deferredActionCount(), 0);

        // The next show runs only what was queued since.
        window_->hide();
        window_->addDeferredAction([&] {
            ran << "third";
            ranAt = clock.elapsed();
        });
        clock.restart();
        window_->show();
        QTRY_COMPARE_WITH_TIMEOUT(ran.size(), 3, 3000);
        QCOMPARE(ran.last(), QString("third"));
        QVERIFY2(ranAt >= 1000, qPrintable(QString::number(ranAt)));
    }

    void menuEntriesInOrder()
    {
        const QList<QAction*> actions = menuActions();
        QCOMPARE(actions.size(), 10);
        QCOMPARE(actions[0], window_->use3DAction());
        QCOMPARE(actions[0]->text(), QString("Use 3D"));
        QCOMPARE(actions[1]->text(), QString("Auto Connect Serial Port"));
        QCOMPARE(actions[2]->text(), QString("Auto Recognize Device"));
        QCOMPARE(qobject_cast<QWidgetAction*>(actions[3])->defaultWidget(),
                 static_cast<QWidget*>(window_->settingWidget()));
        QCOMPARE(actions[4]->text(), QString("Show ModelView Table"));
        QCOMPARE(actions[5]->text(), QString("Open Data Dir"));
        QCOMPARE(actions[6]->text(), QString("Color Scheme"));
        QVERIFY(!actions[6]->icon().isNull());
        QCOMPARE(actions[7]->menu(), ZTranslatorManager::instance()->menu());
        QCOMPARE(qobject_cast<QWidgetAction*>(actions[8])->defaultWidget(),
                 static_cast<QWidget*>(window_->protocolChooser()));
        auto* udpRow = qobject_cast<QWidgetAction*>(actions[9])->defaultWidget();
        QVERIFY(udpRow->isAncestorOf(window_->udpCheckBox()));
        QVERIFY(udpRow->isAncestorOf(window_->udpPortBox()));
        QCOMPARE(window_->udpCheckBox()->text(), QString("UDP"));

        QStringList languages;
        for (QAction* a : ZTranslatorManager::instance()->menu()->actions())
            languages << a->text();
        QCOMPARE(languages, (QStringList{"Chinese", "English"}));

        // Every registered protocol name is offered.
        QComboBox* chooser = window_->protocolChooser();
        QVERIFY(chooser->findText("Vexa_Sarvel_Frame0") >= 0);
        QVERIFY(chooser->findText("Vexa_Trelvan_Node_Frame2") >= 0);
        QVERIFY(chooser->findText("UWB_Analyzer") >= 0);
    }

    void settingWidgetPrefixesAndClamping()
    {
        SettingWidget* s = window_->settingWidget();
        window_->show();
        QCOMPARE(s->dataRateBox()->prefix(), QString("Data FPS: "));
        QCOMPARE(s->chartRateBox()->prefix(), QString("Chart FPS: "));
        QCOMPARE(s->memoryBox()->prefix(), QString("Maximum Memory(History Data): "));
        QCOMPARE(s->memoryBox()->suffix(), QString(" MB"));
        QVERIFY(s->memoryBox()->toolTip().startsWith("When memory usage of history raw data is overflow"));
        QCOMPARE(s->dataRateBox()->maximum(), 120);
        QCOMPARE(s->chartRateBox()->minimum(), 1);
        QCOMPARE(s->chartRateBox()->maximum(), 120);
        QCOMPARE(s->memoryBox()->minimum(), 50);
        QCOMPARE(s->memoryBox()->maximum(), 10240);

        // The settings widget lives in a menu: test it on its own top-level copy of focus.
        s->setParent(nullptr);
        s->show();
        QVERIFY(QTest::qWaitForWindowExposed(s));
        ModelViewManagers* registry = ModelViewManagers::instance();

        typeInto(s->dataRateBox(), "0");
        QCOMPARE(s->dataRateBox()->value(), 1);
        QCOMPARE(QSettings().value("DataRefreshFPS").toInt(), 1);
        QCOMPARE(registry->dataRefreshManager()->interval(), 1000);
        QCOMPARE(CommonRefreshManager::singleton()->interval(), 1000);

        typeInto(s->dataRateBox(), "500");
        QCOMPARE(s->dataRateBox()->value(), 120);
        QCOMPARE(QSettings().value("DataRefreshFPS").toInt(), 120);
        QCOMPARE(registry->dataRefreshManager()->interval(), 8);

        typeInto(s->chartRateBox(), "0");
        QCOMPARE(s->chartRateBox()->value(), 1);
        QCOMPARE(QSettings().value("ChartRefreshFPS").toInt(), 1);
        QTRY_COMPARE(registry->chartRefreshManager()->interval(), 1000);
        typeInto(s->chartRateBox(), "500");
        QCOMPARE(s->chartRateBox()->value(), 120);
        QCOMPARE(QSettings().value("ChartRefreshFPS").toInt(), 120);
        QTRY_COMPARE(registry->chartRefreshManager()->interval(), 8);

        typeInto(s->chartRateBox(), "50");
        QCOMPARE(QSettings().value("ChartRefreshFPS").toInt(), 50);
        QTRY_COMPARE(registry->chartRefreshManager()->interval(), 20);

        typeInto(s->memoryBox(), "20");
        QCOMPARE(s->memoryBox()->value(), 50);
        QCOMPARE(PlainTextEditWithFileManager::instance()->memoryLimit(), 50.0);
        typeInto(s->memoryBox(), "99999");
        QCOMPARE(s->memoryBox()->value(), 10240);
        QCOMPARE(QSettings().value("MaximumMemory").toInt(), 10240);
        QCOMPARE(PlainTextEditWithFileManager::instance()->memoryLimit(), 10240.0);

        typeInto(s->dataRateBox(), "10");
        s->hide();
        qobject_cast<QWidgetAction*>(menuActions()[3])->setDefaultWidget(s);
    }

    void switchesAreStored()
    {
        window_->autoConnectAction()->trigger();
        QCOMPARE(QSettings().value("SerialPort/AutoConnect").toBool(), false);
        window_->autoConnectAction()->trigger();
        QCOMPARE(QSettings().value("SerialPort/AutoConnect").toBool(), true);
        window_->autoRecognizeAction()->trigger();
        QCOMPARE(QSettings().value("ProductAutoRecognize").toBool(), false);
        window_->autoRecognizeAction()->trigger();
        QCOMPARE(QSettings().value("ProductAutoRecognize").toBool(), true);

        // UDP: off at once and stored; the port is taken when its editing ends.
        window_->udpCheckBox()->click();
        QVERIFY(!udpOutputEnabled.load());
        QCOMPARE(QSettings().value("EnableUDPOutput").toBool(), false);
        QVERIFY(!sendUdpText("{}"));
        window_->udpCheckBox()->click();
        QVERIFY(udpOutputEnabled.load());
        window_->udpPortBox()->setValue(40000);
        emit window_->udpPortBox()->editingFinished();
        QCOMPARE(udpOutputPort.load(), 40000);
        QVERIFY(!QSettings().contains("UdpPort") && !QSettings().allKeys().join(',').contains("40000"));
    }

    void use3DAndTheProtocolChooser()
    {
        // No page current: stored without a notice.
        QVERIFY(!ModelViewManagers::instance()->currentManager());
        window_->use3DAction()->trigger();
        QCOMPARE(QSettings().value("Is3DEnabled").toBool(), false);
        QVERIFY(boxes_.isEmpty());
        window_->showModelViewTableAction()->trigger(); // nothing to show yet

        choosePage();

        window_->use3DAction()->trigger();
        QCOMPARE(QSettings().value("Is3DEnabled").toBool(), true);
        QCOMPARE(boxes_, QStringList{"Settings changed|The settings will take effect after the software restarts"});

        window_->showModelViewTableAction()->trigger();
        ViewManager* table = ModelViewManagers::instance()->currentManager()->viewManager();
        QVERIFY(table->isVisible());
        table->hide();
    }

    // A real recording of the current page replayed: the bottom bar shows while the
    // replay runs and goes when it ends.
    void bottomBarFollowsTheReplay()
    {
        if (!ModelViewManagers::instance()->currentManager())
            choosePage(); // run alone
        window_->show();
        ZToolBar* bar = window_->playerToolBar();
        WidgetDataPlayerBar* player = WidgetDataPlayerBar::instance();
        QCOMPARE(window_->toolBarArea(bar), Qt::BottomToolBarArea);
        QVERIFY(!bar->isMovable());
        QCOMPARE(bar->widgetForAction(bar->actions().value(0)), static_cast<QWidget*>(player));
        QVERIFY(!bar->isVisible());

        const QDir recordings(recordingDataDir);
        const QStringList before = recordings.entryList({"*.dat"}, QDir::Files);
        ZSerialPort* port = ZUiSerialPortAssistant::existing()->serialPort();
        player->recordingAction()->trigger();
        QVERIFY(player->isRecording());
        emit port->dataArrived(QByteArray(300, char(0x11)));
        player->recordingAction()->trigger();
        QTRY_VERIFY(!player->isRecording());
        QStringList made = recordings.entryList({"*.dat"}, QDir::Files);
        for (const QString& old : before)
            made.removeAll(old);
        QCOMPARE(made.size(), 1);
        QVERIFY(made.first().startsWith("Vexa_Sarvel_Frame0_"));

        const QString file = recordings.filePath(made.first());
        ViewHooks::setOpenFileHook([file](QWidget*, const QString&, const QString&, const QString&) { return file; });
        player->replayAction()->trigger();
        QVERIFY(player->isReplaying());
        QVERIFY(bar->isVisible());
        player->stopReplay();
        QVERIFY(!player->isReplaying());
        QVERIFY(!bar->isVisible());
        ViewHooks::setOpenFileHook(nullptr);
        QFile::remove(file);
    }

    void dataFolderAndColorScheme()
    {
        const int opened = urls_.urls.size();
        window_->openDataDirAction()->trigger();
        QCOMPARE(urls_.urls.size(), opened + 1);
        QCOMPARE(QDir(urls_.urls.last().toLocalFile()).absolutePath(), QDir(userDataDir).absolutePath());

        QVERIFY(!window_->colorSchemeEditor());
        window_->colorSchemeAction()->trigger();
        QWidget* editor = window_->colorSchemeEditor();
        QVERIFY(editor);
        QVERIFY(editor->isVisible());
        QCOMPARE(editor->parentWidget(), static_cast<QWidget*>(window_));
        QVERIFY(editor->isWindow());
        editor->hide();
        window_->colorSchemeAction()->trigger();
        QCOMPARE(window_->colorSchemeEditor(), editor); // made once
        editor->hide();
    }

    // Closing finishes the recording, stops the threads before the loop returns, and
    // the window's end saves every page and gives the hooks back to the log.
    void closeFinishesEverything()
    {
        if (!ModelViewManagers::instance()->currentManager())
            choosePage(); // run alone
        WidgetDataPlayerBar* player = WidgetDataPlayerBar::instance();
        ZSerialPort* port = ZUiSerialPortAssistant::existing()->serialPort();
        const QString recordings = recordingDataDir;
        QCOMPARE(QDir(recordings).entryList({"*.dat"}, QDir::Files).size(), 0);
        player->recordingAction()->trigger();
        QVERIFY(player->isRecording());
        QVERIFY(!player->replayAction()->isEnabled());
        player->exportAction()->trigger();
        QVERIFY(DataExportSubject::instance()->isExporting());
        const QByteArray chunk(500, char(0x5a));
        emit port->dataArrived(chunk);
        emit port->dataArrived(chunk);
        QTest::qWait(50);

        QVERIFY(ProtocolFrameExtraction::instance()->isEnabled());
        window_->close();
        QVERIFY(!ProtocolFrameExtraction::instance()->isEnabled());
        for (int n = 1; n <= 5; ++n)
            QVERIFY2(!ZThreadManager::instance()->thread(n)->isRunning(), qPrintable(QString::number(n)));
        QVERIFY(!player->isRecording());
        QVERIFY(!player->recordingAction()->isChecked());
        const QStringList files = QDir(recordings).entryList({"Vexa_Sarvel_Frame0_*.dat"}, QDir::Files);
        QCOMPARE(files.size(), 1);
        QVERIFY(QFileInfo(QDir(recordings).filePath(files.first())).size() >= 81 + 1000);

        // The export ended with the close and its workbook was written.
        QVERIFY(!player->exportAction()->isChecked());
        QVERIFY(!DataExportSubject::instance()->isExporting());
        const QStringList workbooks = QDir(exportDataDir).entryList({"Vexa_Sarvel_Frame0_*.xlsx"}, QDir::Files);
        QCOMPARE(workbooks.size(), 1);
        QVERIFY(QFileInfo(QDir(exportDataDir).filePath(workbooks.first())).size() > 0);

        const QString page = ModelViewManagers::pageFileName("Vexa_Sarvel_Frame0");
        QFile::remove(page);
        QPointer<ZWidgetLogger> logger = ZWidgetLogger::current();
        // The terminal goes first, then the pages, then the product registry, then
        // the window's own children such as the logger window.
        QStringList order;
        connect(ZUiSerialPortAssistant::existing(), &QObject::destroyed, [&order] { order << "terminal"; });
        connect(ModelViewManagers::instance(), &QObject::destroyed, [&order] { order << "pages"; });
        connect(ProductsManager::existing(), &QObject::destroyed, [&order] { order << "products"; });
        connect(logger.data(), &QObject::destroyed, [&order] { order << "logger"; });
        delete window_;
        QCOMPARE(order, (QStringList{"terminal", "pages", "products", "logger"}));
        window_ = nullptr;
        QVERIFY(QFileInfo::exists(page));
        QVERIFY(!ModelViewManagers::instance());
        QVERIFY(!ProductsManager::existing());
        QVERIFY(!ZUiSerialPortAssistant::existing());
        QVERIFY(logger.isNull()); // went with the window
    }

    void destroyedWithoutCloseReportsAFailedSave()
    {
        // A window taken apart without a close event still waits for the export's
        // save, and a save that fails reports to the window's own message hook.
        window_ = new MainWindow;
        QStringList reported;
        connect(window_, &MainWindow::newMessageForMessageBox, window_,
                [&reported](const QString& text) { reported << text; }, Qt::DirectConnection);
        const QString folder = exportDataDir;
        exportDataDir = "/dev/null/export"; // no workbook can be written there
        WidgetDataPlayerBar::instance()->exportAction()->trigger();
        QVERIFY(DataExportSubject::instance()->isExporting());
        delete window_;
        window_ = nullptr;
        exportDataDir = folder;
        QCOMPARE(reported.size(), 1);
        QVERIFY2(reported.first().endsWith(" save failed"), qPrintable(reported.first()));
    }
};

TALMENO_TEST_MAIN(TstMainWindow)
#include "tst_mainwindow.moc"
