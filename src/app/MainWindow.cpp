#include "app/MainWindow.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QScreen>
#include <QShowEvent>
#include <QSpinBox>
#include <QThread>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWidgetAction>

#include "app/ProductLines.h"
#include "app/SettingWidget.h"
#include "foundation/UserPaths.h"
#include "foundation/Version.h"
#include "foundation/ZColorSchemeManager.h"
#include "foundation/ZHooks.h"
#include "foundation/ZIconsManager.h"
#include "foundation/ZLog.h"
#include "foundation/ZThreadManager.h"
#include "foundation/ZTimerManager.h"
#include "foundation/ZTranslatorManager.h"
#include "foundation/ZUdpOutput.h"
#include "foundation/ZWidgetLogger.h"
#include "link/ZSerialPort.h"
#include "link/ZUiSerialPortAssistant.h"
#include "protocol/LinkServices.h"
#include "protocol/ProductsManager.h"
#include "protocol/ProtocolFactory.h"
#include "protocol/ProtocolFrameExtraction.h"
#include "protocol/ProtocolSeams.h"
#include "protocol/WidgetFirmwareUpdate.h"
#include "protocol/WidgetSystemInfo.h"
#include "record/RecordingCharger.h"
#include "record/ReplayCharger.h"
#include "record/WidgetDataPlayerBar.h"
#include "views/ModelViewManagers.h"
#include "views/ViewManager.h"
#include "widgets/ZComboBox.h"
#include "widgets/ZComboBoxEditable.h"
#include "widgets/ZUiColorSchemeManager.h"

namespace {

constexpr int kMenuIcon = 104;         // "menu1.png"
constexpr int kColorPaletteIcon = 88;  // "color-palette.png"
constexpr int kProgramIcon = 1;        // the program's logo, untinted
constexpr int kDeferredDelayMs = 1000;
constexpr int kAutoConnectDelayMs = 200;
constexpr int kRecognizeWaitMs = 3000;
constexpr int kUdpPortMin = 33000;
constexpr int kUdpPortMax = 65534;

MainWindow::WindowFactory& uwbCalibrationFactory()
{
    static MainWindow::WindowFactory factory;
    return factory;
}

QPointer<QWidget>& uwbCalibrationInstance()
{
    static QPointer<QWidget> window;
    return window;
}

// Brings a top-level window to the front where it was last placed.
void bringToFront(QWidget* window)
{
    const QPoint position = window->pos();
    window->showNormal();
    window->show();
    window->raise();
    window->activateWindow();
    window->move(position);
}

// A combo box that shows the same items and selection as another and follows its
// current index and enabled state both ways.
void mirrorComboBox(ZComboBox* mirror, ZComboBox* original)
{
    mirror->setModel(original->model());
    if (QItemSelectionModel* selection = original->view()->selectionModel())
        mirror->view()->setSelectionModel(selection);
    mirror->setCurrentIndex(original->currentIndex());
    mirror->setEnabled(original->isEnabled());
    QObject::connect(mirror, QOverload<int>::of(&QComboBox::currentIndexChanged), original,
                     [original](int index) { original->setCurrentIndex(index); });
    QObject::connect(original, QOverload<int>::of(&QComboBox::currentIndexChanged), mirror,
                     [mirror](int index) { mirror->setCurrentIndex(index); });
    QObject::connect(mirror, &ZComboBox::enableChanged, original, &QWidget::setEnabled);
    QObject::connect(original, &ZComboBox::enableChanged, mirror, &QWidget::setEnabled);
}

} // namespace

MainWindow::MainWindow()
    : ZMainWindow(nullptr)
{
    titles_[0] = QStringLiteral("Talmeno V%1").arg(readLatestVersion().toString());
    updateWindowTitle();
    setWindowIcon(ZIconsManager::instance()->colorIcon(kProgramIcon));

    connect(this, &MainWindow::newMessageForMessageBox, this, &MainWindow::handleMessageForMessageBox);
    connect(this, &MainWindow::newMessageForStatusBar, this, &MainWindow::handleMessageForStatusBar);
    messageBoxHook = [this](const QString& text) { emit newMessageForMessageBox(text); };
    statusBarHook = [this](const QString& text) { emit newMessageForStatusBar(text); };

    // Frame extraction on slot 2 (it puts the processor on slot 3).
    initLinkServices();

    ModelViewManagers* registry = ModelViewManagers::createInstance(this);
    // Decoded frames reach the current page's data items from now on.
    ProtocolSeams::setCurrentModelManagerLookup(&ModelViewManagers::currentModelManager);

    registerProductLines();
    installFirmwareUpdateHooks();
    ProductsManager::instance(this);

    ZThreadManager::instance()->moveToThread(ZTimerManager::instance(), 5);

    initSerialPortInterface(this);
    WidgetDataPlayerBar::createInstance(this);

    centralLayout_ = new QVBoxLayout(centralWidget());
    centralLayout_->setContentsMargins(0, 0, 0, 0);
    centralLayout_->setSpacing(0);
    centralLayout_->addWidget(registry->pageStack(), 1);
    centralLayout_->addWidget(ZWidgetLogger::instance(logDir, nullptr), 0);

    if (QScreen* screen = QGuiApplication::screens().value(0)) {
        QSize size;
        if (initialSize(screen->availableSize(), &size))
            resize(size);
    }

    initMenu();
    initToolBars();
    ZThreadManager::instance()->startThreads();

    ProtocolFrameExtraction::instance()->setEnabled(true);

    searchPortData(ZUiSerialPortAssistant::instance()->serialPort());
}

MainWindow::~MainWindow()
{
    if (!closing_) {
        // Destroyed without being closed: the same stop as a close, so that no frame
        // is decoded into a page that is about to go.
        if (WidgetDataPlayerBar* bar = WidgetDataPlayerBar::instance())
            bar->finishOnClose();
        ProtocolFrameExtraction::instance()->setEnabled(false);
    }
    // From here on the hooks only log: nothing may reach a window being taken apart.
    // Not before the saves have finished: a failing save calls the hook from its
    // own thread, and the hook must not change under it.
    resetMessageHooks();
    stopWorkerThreads();
    delete ZUiSerialPortAssistant::existing();
    delete ModelViewManagers::instance(); // saves every page
    delete ProductsManager::existing();
}

bool MainWindow::initialSize(const QSize& available, QSize* size)
{
    const int h = int(available.height() * 0.7);
    const int w = int(h / 0.618);
    if (w >= available.width())
        return false;
    *size = QSize(w, h);
    return true;
}

void MainWindow::updateWindowTitle()
{
    setWindowTitle(QStringLiteral("%1 %2  %3").arg(titles_[0], titles_[1], titles_[2]));
}

void MainWindow::setTitleText(int index, const QString& text)
{
    if (index < 0 || index > 2)
        return;
    titles_[index] = text;
    updateWindowTitle();
}

void MainWindow::runDeferredActions()
{
    const QList<std::function<void()>> actions = std::move(deferredActions_);
    deferredActions_.clear();
    for (const std::function<void()>& action : actions)
        action();
}

void MainWindow::setUwbCalibrationWindowFactory(WindowFactory factory)
{
    uwbCalibrationFactory() = std::move(factory);
}

QWidget* MainWindow::uwbCalibrationWindow()
{
    return uwbCalibrationInstance().data();
}

MainWindow::DialogHook& MainWindow::informationBoxHook()
{
    static DialogHook hook = [](QWidget* parent, const QString& title, const QString& text) {
        QMessageBox::information(parent, title, text, QMessageBox::Ok);
    };
    return hook;
}

MainWindow::DialogHook& MainWindow::warningBoxHook()
{
    static DialogHook hook = [](QWidget* parent, const QString& title, const QString& text) {
        QMessageBox::warning(parent, title, text, QMessageBox::Ok);
    };
    return hook;
}

void MainWindow::handleMessageForStatusBar(QString message)
{
    zInfo().quote() << message;
}

void MainWindow::handleMessageForMessageBox(QString message)
{
    warningBoxHook()(this, tr("Warning"), message);
}

void MainWindow::handleAutoConnect()
{
    if (!autoConnectAction_ || !autoConnectAction_->isChecked())
        return;
    QTimer::singleShot(kAutoConnectDelayMs, this, [] {
        ZUiSerialPortAssistant* terminal = ZUiSerialPortAssistant::existing();
        if (terminal && !terminal->serialPort()->isOpen())
            terminal->setSerialPortOpen(true);
    });
}

void MainWindow::handleAutoRecognize(bool connected)
{
    if (!connected || !autoRecognizeAction_ || !autoRecognizeAction_->isChecked())
        return;
    ZUiSerialPortAssistant* terminal = ZUiSerialPortAssistant::existing();
    WidgetSystemInfo* recognition = WidgetSystemInfo::existing();
    // The port may have closed again before this queued call arrived.
    if (!terminal || !terminal->serialPort()->isOpen() || !recognition || recognition->isRecognizing())
        return;
    recognition->waitDataThenRecognize(kRecognizeWaitMs);
}

void MainWindow::showEvent(QShowEvent* event)
{
    ZMainWindow::showEvent(event);
    QTimer::singleShot(kDeferredDelayMs, this, &MainWindow::runDeferredActions);
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (!closing_) {
        closing_ = true;
        // A recording and an export still running are written out first, while the
        // pipeline and its threads still run; then no frame is extracted any more.
        if (WidgetDataPlayerBar* bar = WidgetDataPlayerBar::instance())
            bar->finishOnClose();
        ProtocolFrameExtraction::instance()->setEnabled(false);
        // A close that arrives inside a local wait (recognition, a parameter
        // exchange) must leave the timer thread running until that wait has
        // unwound: the waits return at once after quit, but still use the timers.
        if (QThread::currentThread()->loopLevel() <= 1)
            stopWorkerThreads();
        else
            connect(qApp, &QCoreApplication::aboutToQuit, this, &MainWindow::stopWorkerThreads);
    }
    ZMainWindow::closeEvent(event);
    QCoreApplication::quit();
}

void MainWindow::stopWorkerThreads()
{
    if (threadsStopped_)
        return;
    threadsStopped_ = true;
    ZThreadManager::instance()->stopThreads();
}

void MainWindow::initMenu()
{
    mainMenu_ = new QMenu(this);
    menuButton_ = new QToolButton(this);
    menuButton_->setObjectName("QToolButton_Without_menu_indicator");
    menuButton_->setIcon(ZIconsManager::instance()->icon(kMenuIcon));
    menuButton_->setText(tr("Menu"));
    menuButton_->setToolTip(tr("Menu"));
    menuButton_->setMenu(mainMenu_);
    menuButton_->setPopupMode(QToolButton::InstantPopup);
    toolBar()->addWidget(menuButton_);

    ZSerialPort* port = ZUiSerialPortAssistant::instance()->serialPort();

    use3DAction_ = mainMenu_->addAction(tr("Use 3D"));
    use3DAction_->setCheckable(true);
    use3DAction_->setChecked(settings_.value("Is3DEnabled", true).toBool());
    connect(use3DAction_, &QAction::triggered, this, [this](bool checked) {
        settings_.setValue("Is3DEnabled", checked);
        ModelViewManagers* registry = ModelViewManagers::instance();
        if (registry && registry->currentManager())
            informationBoxHook()(this, tr("Settings changed"),
                                 tr("The settings will take effect after the software restarts"));
    });

    autoConnectAction_ = mainMenu_->addAction(tr("Auto Connect Serial Port"));
    autoConnectAction_->setCheckable(true);
    autoConnectAction_->setChecked(settings_.value("SerialPort/AutoConnect", true).toBool());
    connect(autoConnectAction_, &QAction::toggled, this,
            [this](bool checked) { settings_.setValue("SerialPort/AutoConnect", checked); });
    connect(port, &ZSerialPort::singlePortInserted, this, &MainWindow::handleAutoConnect);

    autoRecognizeAction_ = mainMenu_->addAction(tr("Auto Recognize Device"));
    autoRecognizeAction_->setCheckable(true);
    autoRecognizeAction_->setChecked(settings_.value("ProductAutoRecognize", true).toBool());
    connect(autoRecognizeAction_, &QAction::toggled, this,
            [this](bool checked) { settings_.setValue("ProductAutoRecognize", checked); });
    // Queued: every other listener learns of the open port before recognition
    // starts its waits, and the open that reported it has returned.
    connect(port, &ZSerialPort::statusChanged, this, &MainWindow::handleAutoRecognize, Qt::QueuedConnection);

    settingWidget_ = new SettingWidget(this);
    auto* settingAction = new QWidgetAction(this);
    settingAction->setDefaultWidget(settingWidget_);
    mainMenu_->addAction(settingAction);

    showModelViewTableAction_ = mainMenu_->addAction(tr("Show ModelView Table"));
    connect(showModelViewTableAction_, &QAction::triggered, this, [] {
        ModelViewManagers* registry = ModelViewManagers::instance();
        if (ModelViewManager* page = registry ? registry->currentManager() : nullptr)
            bringToFront(page->viewManager());
    });

    openDataDirAction_ = mainMenu_->addAction(tr("Open Data Dir"));
    connect(openDataDirAction_, &QAction::triggered, this, [] { openUrlInDesktop(userDataDir); });

    colorSchemeAction_ = mainMenu_->addAction(ZIconsManager::instance()->icon(kColorPaletteIcon), tr("Color Scheme"));
    connect(colorSchemeAction_, &QAction::triggered, this, &MainWindow::showColorSchemeEditor);

    if (QMenu* languages = ZTranslatorManager::instance()->menu())
        mainMenu_->addMenu(languages);

    protocolChooser_ = new QComboBox(this);
    protocolChooser_->addItems(ProtocolFactory::supportedProtocolNames());
    connect(protocolChooser_, QOverload<int>::of(&QComboBox::activated), this,
            [this](int index) { ProtocolFactory::loadProtocols(protocolChooser_->itemText(index), this); });
    auto* protocolAction = new QWidgetAction(this);
    protocolAction->setDefaultWidget(protocolChooser_);
    mainMenu_->addAction(protocolAction);

    auto* udpAction = new QWidgetAction(this);
    udpAction->setDefaultWidget(createUdpRow());
    mainMenu_->addAction(udpAction);
}

QWidget* MainWindow::createUdpRow()
{
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);

    udpCheckBox_ = new QCheckBox("UDP", row);
    if (!settings_.contains("EnableUDPOutput"))
        settings_.setValue("EnableUDPOutput", true);
    connect(udpCheckBox_, &QCheckBox::toggled, this, [this](bool checked) {
        settings_.setValue("EnableUDPOutput", checked);
        udpOutputEnabled.store(checked);
    });
    udpCheckBox_->setChecked(settings_.value("EnableUDPOutput").toBool());
    udpOutputEnabled.store(udpCheckBox_->isChecked());
    layout->addWidget(udpCheckBox_);

    // The port is not stored: every start begins at the lowest one.
    udpPortBox_ = new ZClampingSpinBox(row);
    udpPortBox_->setRange(kUdpPortMin, kUdpPortMax);
    udpPortBox_->setValue(kUdpPortMin);
    connect(udpPortBox_, &QSpinBox::editingFinished, this, [this] { udpOutputPort.store(udpPortBox_->value()); });
    emit udpPortBox_->editingFinished();
    layout->addWidget(udpPortBox_);
    return row;
}

void MainWindow::initToolBars()
{
    ZUiSerialPortAssistant* terminal = ZUiSerialPortAssistant::instance();
    ZToolBar* bar = toolBar();

    terminalAction_ = terminal->windowAction();
    if (!terminalAction_) {
        terminalAction_ = new QAction(terminal->windowIcon(), terminal->windowTitle(), terminal);
        terminal->setWindowAction(terminalAction_);
    }
    connect(terminalAction_, &QAction::triggered, terminal, [terminal] { bringToFront(terminal); });
    bar->addAction(terminalAction_);

    portMirror_ = new ZComboBox(terminal->portComboBox()->parentWidget());
    mirrorComboBox(portMirror_, terminal->portComboBox());
    bar->addWidget(portMirror_);
    baudrateMirror_ = new ZComboBoxEditable(terminal->baudrateComboBox()->parentWidget());
    mirrorComboBox(baudrateMirror_, terminal->baudrateComboBox());
    bar->addWidget(baudrateMirror_);

    bar->addAction(terminal->openAction());

    WidgetSystemInfo* recognition = WidgetSystemInfo::instance(this);
    bar->addAction(recognition->recognizeAction());

    WidgetDataPlayerBar* player = WidgetDataPlayerBar::instance();
    bar->addAction(player->recordingAction());
    bar->addAction(player->replayAction());
    bar->addAction(player->exportAction());

    auto* spacer = new QLabel(bar);
    spacer->setFixedWidth(30);
    spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    bar->addWidget(spacer);

    uwbCalibrationAction_ = bar->addAction(tr("UWB Calibration"));
    uwbCalibrationAction_->setIconText(tr("UWB Calibration"));
    connect(uwbCalibrationAction_, &QAction::triggered, this, &MainWindow::showUwbCalibration);

    playerToolBar_ = new ZToolBar(this);
    playerToolBar_->setMovable(false);
    playerToolBar_->addWidget(player);
    addToolBar(Qt::BottomToolBarArea, playerToolBar_);
    playerToolBar_->hide();
    connect(player, &WidgetDataPlayerBar::replayStatusChanged, playerToolBar_, &QWidget::setVisible);

    if (ZToolBar* products = ProductsManager::instance()->productToolBar())
        addToolBar(Qt::TopToolBarArea, products);
    recognitionToolBar_ = new ZToolBar(this);
    recognitionToolBar_->setContextMenuPolicy(Qt::PreventContextMenu);
    recognitionToolBar_->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    recognitionToolBar_->setMovable(false);
    recognitionToolBar_->layout()->setContentsMargins(0, 0, 0, 0);
    recognitionToolBar_->addWidget(recognition);
    addToolBar(Qt::TopToolBarArea, recognitionToolBar_);
}

void MainWindow::showColorSchemeEditor()
{
    if (!colorSchemeEditor_)
        colorSchemeEditor_ = new ZUiColorSchemeManager(ZColorSchemeManager::instance(), this);
    colorSchemeEditor_->show();
    colorSchemeEditor_->raise();
    colorSchemeEditor_->activateWindow();
}

void MainWindow::showUwbCalibration()
{
    QPointer<QWidget>& window = uwbCalibrationInstance();
    if (!window) {
        const WindowFactory& factory = uwbCalibrationFactory();
        if (!factory)
            return;
        window = factory();
        if (!window)
            return;
    }
    bringToFront(window);
}
