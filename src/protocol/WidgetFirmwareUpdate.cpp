#include "protocol/WidgetFirmwareUpdate.h"

#include "foundation/UserPaths.h"
#include "foundation/ZAlgo.h"
#include "foundation/ZIconsManager.h"
#include "foundation/ZLog.h"
#include "foundation/ZTimerManager.h"
#include "link/ZSerialPort.h"
#include "link/ZUiSerialPortAssistant.h"
#include "protocol/FirmwareUpdater.h"
#include "protocol/FirmwareWirelessHooks.h"
#include "protocol/ProductHandleBase.h"
#include "protocol/ProductHooks.h"
#include "protocol/ProductsManager.h"
#include "protocol/ProtocolFirmware.h"
#include "protocol/ProtocolSystem.h"
#include "protocol/WidgetSystemInfo.h"
#include "views/ViewHooks.h"

#include <QAction>
#include <QCheckBox>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSettings>
#include <QStackedLayout>
#include <QStatusBar>
#include <QVBoxLayout>

namespace {
WidgetFirmwareUpdate* g_window = nullptr;

const QString kShowAllKey = QStringLiteral("FirmwareUpdate/ShowAllReleaseNotes");
const QString kBetaCodeKey = QStringLiteral("FirmwareUpdate/BetaCode");
const QString kLocalPathKey = QStringLiteral("FirmwareUpdate/LocalFirmwarePath");
const QString kVersionPattern = QStringLiteral("(?<version>\\d+(\\.\\d+)+)");

constexpr int kPullMessageMs = 5000;
constexpr int kUpdateMessageMs = 6000;
constexpr int kRebootWaitMs = 10000;
constexpr int kNodeSearchMs = 2000;
constexpr int kModeSwitchMs = 1000;
constexpr int kUserChannel = 2;

// The info line: what happened, then when.
QString withTime(const QString& what)
{
    return what + WidgetFirmwareUpdate::tr("   time: %1").arg(QTime::currentTime().toString("hh:mm:ss"));
}

WidgetFirmwareUpdate::TextInputHook& textInputHook()
{
    static WidgetFirmwareUpdate::TextInputHook h;
    return h;
}

WidgetFirmwareUpdate::QuestionHook& questionHook()
{
    static WidgetFirmwareUpdate::QuestionHook h;
    return h;
}

QIcon generalIcon(const QString& fileName)
{
    ZIconsManager* icons = ZIconsManager::instance();
    for (int id = 0; id < ZIconsManager::generalIconCount(); ++id) {
        if (ZIconsManager::generalIconName(id) == fileName)
            return icons->icon(id);
    }
    return QIcon();
}

// Runs its action on every way out of a scope.
class OnExit
{
public:
    explicit OnExit(std::function<void()> action) : action_(std::move(action)) {}
    ~OnExit() { action_(); }

private:
    std::function<void()> action_;
};
} // namespace

WidgetFirmwareUpdate* WidgetFirmwareUpdate::instance(QWidget* parent)
{
    if (!g_window)
        g_window = new WidgetFirmwareUpdate(parent);
    return g_window;
}

WidgetFirmwareUpdate* WidgetFirmwareUpdate::existing()
{
    return g_window;
}

WidgetFirmwareUpdate::WidgetFirmwareUpdate(QWidget* parent)
    : ZMainWindow(parent)
{
    // Own top-level window even with the main window as parent.
    setWindowFlag(Qt::Window, true);
    setWindowTitle(tr("Firmware update"));
    setWindowIcon(generalIcon(QStringLiteral("updatefirmware1.png")));
    resize(900, 556);

    ProtocolSystem::instance(this);
    ProtocolFirmware::instance(this);

    buildWidgets();

    FirmwareUpdater* updater = FirmwareUpdater::instance(this);
    connect(updater, &FirmwareUpdater::firmwareFrameCountChanged, this,
            [this](int n) { progressBar_->setRange(0, n); });
    connect(updater, &FirmwareUpdater::currentFirmwareFrameChanged, this,
            [this](int n) { progressBar_->setValue(n); });

    updateUpdateButton();
}

WidgetFirmwareUpdate::~WidgetFirmwareUpdate()
{
    if (g_window == this)
        g_window = nullptr;
}

void WidgetFirmwareUpdate::buildWidgets()
{
    QSettings settings;
    statusBar()->show();

    auto* central = new QWidget(this);
    auto* box = new QVBoxLayout(central);

    auto* updateRow = new QHBoxLayout;
    progressBar_ = new QProgressBar(central);
    progressBar_->setRange(0, 1);
    progressBar_->setValue(0);
    updateButton_ = new QPushButton(tr("Firmware Update"), central);
    updateRow->addWidget(progressBar_, 1);
    updateRow->addWidget(updateButton_);
    box->addLayout(updateRow);

    auto* infoRow = new QHBoxLayout;
    infoLabel_ = new QLabel(central);
    showAllCheckBox_ = new QCheckBox(tr("Show all Release Notes"), central);
    infoRow->addWidget(infoLabel_, 1);
    infoRow->addWidget(showAllCheckBox_);
    box->addLayout(infoRow);

    notesLayout_ = new QStackedLayout;
    newReleaseNotesView_ = new QPlainTextEdit(central);
    newReleaseNotesView_->setReadOnly(true);
    allReleaseNotesView_ = new QPlainTextEdit(central);
    allReleaseNotesView_->setReadOnly(true);
    notesLayout_->addWidget(newReleaseNotesView_);
    notesLayout_->addWidget(allReleaseNotesView_);
    box->addLayout(notesLayout_, 1);
    setCentralWidget(central);

    connect(showAllCheckBox_, &QCheckBox::toggled, this, [this](bool on) {
        notesLayout_->setCurrentWidget(on ? allReleaseNotesView_ : newReleaseNotesView_);
        QSettings().setValue(kShowAllKey, on);
    });
    const bool showAll = settings.value(kShowAllKey, false).toBool();
    showAllCheckBox_->setChecked(showAll);
    notesLayout_->setCurrentWidget(showAll ? allReleaseNotesView_ : newReleaseNotesView_);
    connect(updateButton_, &QPushButton::clicked, this, [this] { startUpdate(); });

    ZToolBar* bar = toolBar();
    bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    publicFirmwareAction_ = bar->addAction(generalIcon(QStringLiteral("stable.png")), tr("Public Firmware"));
    publicFirmwareAction_->setToolTip(tr("Pull info of latest public firmware"));
    betaFirmwareAction_ = bar->addAction(generalIcon(QStringLiteral("debug.png")), tr("Beta Firmware"));
    betaFirmwareAction_->setToolTip(tr("Pull beta firmware"));
    localFirmwareAction_ = bar->addAction(generalIcon(QStringLiteral("openfile.png")), tr("Local Firmware"));
    localFirmwareAction_->setToolTip(tr("Load local firmware"));
    ignoreVersionAction_ = bar->addAction(tr("Ignore Version"));
    ignoreVersionAction_->setCheckable(true);

    connect(publicFirmwareAction_, &QAction::triggered, this, [this] {
        publicFirmwareAction_->setEnabled(false);
        pullFirmware(0, QString());
        publicFirmwareAction_->setEnabled(true);
    });
    connect(betaFirmwareAction_, &QAction::triggered, this, [this] { pullBetaFirmware(); });
    connect(localFirmwareAction_, &QAction::triggered, this, [this] { loadLocalFirmware(); });
    connect(ignoreVersionAction_, &QAction::toggled, this, [this] { updateUpdateButton(); });

    betaCode_ = settings.value(kBetaCodeKey).toString();
    localFirmwarePath_ = settings.value(kLocalPathKey, userDataDir).toString();
}

void WidgetFirmwareUpdate::handleSerialPortStatusChanged(bool)
{
    updateUpdateButton();
}

void WidgetFirmwareUpdate::handleSystemInfoChanged(bool, const SystemInfoFrame&)
{
    updateUpdateButton();
}

void WidgetFirmwareUpdate::setWirelessUpdate(bool on)
{
    wirelessUpdate_ = on;
    updateButton_->setText(on ? tr("Wireless Update") : tr("Firmware Update"));
}

ProductHandleBase* WidgetFirmwareUpdate::currentHandle() const
{
    ProductsManager* registry = ProductsManager::existing();
    return registry ? registry->currentProductHandle() : nullptr;
}

void WidgetFirmwareUpdate::showStatus(const QString& text, int ms)
{
    statusBar()->showMessage(text, ms);
}

bool WidgetFirmwareUpdate::askText(const QString& title, const QString& label, const QString& text, QString* answer)
{
    if (textInputHook())
        return textInputHook()(this, title, label, text, answer);
    bool ok = false;
    *answer = QInputDialog::getText(this, title, label, QLineEdit::Normal, text, &ok);
    return ok;
}

bool WidgetFirmwareUpdate::askQuestion(const QString& title, const QString& text)
{
    if (questionHook())
        return questionHook()(this, title, text);
    return QMessageBox::question(this, title, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes) ==
           QMessageBox::Yes;
}

WidgetFirmwareUpdate::TextInputHook WidgetFirmwareUpdate::setTextInputHook(TextInputHook hook)
{
    std::swap(textInputHook(), hook);
    return hook;
}

WidgetFirmwareUpdate::QuestionHook WidgetFirmwareUpdate::setQuestionHook(QuestionHook hook)
{
    std::swap(questionHook(), hook);
    return hook;
}

void WidgetFirmwareUpdate::pullBetaFirmware()
{
    betaFirmwareAction_->setEnabled(false);
    QString code;
    if (askText(tr("Pull beta firmware"), tr("Beta code"), betaCode_, &code) && !code.isEmpty()) {
        betaCode_ = code;
        QSettings().setValue(kBetaCodeKey, betaCode_);
        betaRequested_ = true;
        pullFirmware(kUserChannel, betaCode_);
    }
    betaFirmwareAction_->setEnabled(true);
}

void WidgetFirmwareUpdate::pullFirmware(int channel, const QString& userCode)
{
    QWidget* central = centralWidget();
    central->setEnabled(false);
    busy_ = true;
    OnExit enable([this, central] {
        central->setEnabled(true);
        busy_ = false;
    });

    ProductHandleBase* handle = currentHandle();
    const QString error = handle ? handle->downloadFirmware(channel, userCode) : tr("No product has been recognized");
    if (!error.isEmpty()) {
        if (betaRequested_) {
            betaRequested_ = false;
            showStatus(tr("Download failed, please check user code or network connection"), kPullMessageMs);
        } else {
            showStatus(error, kPullMessageMs);
        }
        firmwareFile_.clear();
        localFirmwareLoaded_ = false;
        updateUpdateButton();
        // Nothing was learnt about newer firmware: the line says that the pull failed
        // and why, where the status bar shows it only for a while.
        infoLabel_->setText(withTime(tr("Download failed, please check user code or network connection") + ": " + error));
        return;
    }

    newReleaseNotesView_->setPlainText(handle->newReleaseNotes());
    allReleaseNotesView_->setPlainText(handle->allReleaseNotes());

    // A name of its own, so that a later download of the same file cannot replace
    // the image at hand.
    const QString downloaded = handle->firmwareFileName();
    const QString folder = tempDir.isEmpty() ? QDir::tempPath() : tempDir;
    const QByteArray stamp = QDateTime::currentDateTime().toString("yyyyMMddhhmmsszzz").toLatin1();
    const QString renamed =
        folder + "/" + QString::fromLatin1(QCryptographicHash::hash(stamp, QCryptographicHash::Md5).toHex());
    QString path = renamed;
    if (!QFile::rename(downloaded, renamed)) {
        zCritical() << "file process failed";
        // The download is still where it arrived.
        path = downloaded;
    }

    localFirmwareLoaded_ = false;
    firmwareFile_ = path;
    updateUpdateButton();
    showFirmwareInfo(handle->latestFirmwareVersion().toString());
}

void WidgetFirmwareUpdate::loadLocalFirmware()
{
    const QString path = ViewHooks::getOpenFileName(this, tr("Choose firmware file"), localFirmwarePath_, "(*.bin)");
    if (path.isEmpty())
        return;
    ProductHandleBase* handle = currentHandle();
    if (!handle) {
        showStatus(tr("No product has been recognized"), kUpdateMessageMs);
        return;
    }

    QString version = extractVersion(QFileInfo(path).fileName());
    if (version.isEmpty()) {
        QString answer;
        const bool confirmed =
            askText(tr("Version of the firmware"), tr("Example: 1.3.1.0"), QDir::home().dirName(), &answer);
        answer = answer.trimmed();
        QRegularExpressionValidator validator{QRegularExpression(kVersionPattern)};
        int pos = 0;
        if (!confirmed || answer.isEmpty() || validator.validate(answer, pos) == QValidator::Invalid) {
            showStatus(tr("Version number's format is illegal"), kUpdateMessageMs);
            return;
        }
        version = answer;
    }
    handle->setLatestFirmwareVersion(QVersionNumber::fromString(version));

    const QString loaded = tr("Local firmware loaded:") + path;
    newReleaseNotesView_->setPlainText(loaded);
    allReleaseNotesView_->setPlainText(loaded);

    localFirmwareLoaded_ = true;
    firmwareFile_ = path;
    updateUpdateButton();
    showFirmwareInfo(version);

    localFirmwarePath_ = QFileInfo(path).absolutePath();
    QSettings().setValue(kLocalPathKey, localFirmwarePath_);
}

void WidgetFirmwareUpdate::updateUpdateButton()
{
    ProductHandleBase* handle = currentHandle();
    bool enable = handle && isOpen() && !firmwareFile_.isEmpty();
    if (enable) {
        enable = ignoreVersionAction_->isChecked() || localFirmwareLoaded_ ||
                 handle->firmwareVersion().normalized() < handle->latestFirmwareVersion().normalized();
    }
    updateButton_->setEnabled(enable);
}

void WidgetFirmwareUpdate::showFirmwareInfo(const QString& version)
{
    const QString what =
        version.isEmpty() ? tr("Already been the latest firmware.") : tr("Firmware has been loaded : ") + version;
    infoLabel_->setText(withTime(what));
}

void WidgetFirmwareUpdate::waitForPortData(int ms)
{
    ZUiSerialPortAssistant* terminal = ZUiSerialPortAssistant::existing();
    if (!terminal) {
        ZTimerManager::instance()->wait(ms);
        return;
    }
    waitForReply(ZTimerManager::instance(), ms, terminal->serialPort(), &ZSerialPort::dataArrived);
}

void WidgetFirmwareUpdate::startUpdate()
{
    setEnabled(false);
    busy_ = true;
    OnExit enable([this] {
        setEnabled(true);
        busy_ = false;
    });

    FirmwareUpdater* updater = FirmwareUpdater::instance(this);
    const QString image = firmwareFile_;
    if (wirelessUpdate_) {
        const QString error = updater->updateFirmwareWireless(image);
        if (!error.isEmpty()) {
            showStatus(error, kUpdateMessageMs);
            return;
        }
        ZTimerManager::instance()->wait(kRebootWaitMs);
    } else {
        const QString error = updater->updateFirmwareWired(image);
        if (!error.isEmpty()) {
            showStatus(error, kUpdateMessageMs);
            return;
        }
        waitForPortData(kRebootWaitMs);
    }
    if (!isOpen())
        return;

    if (!wirelessUpdate_) {
        WidgetSystemInfo::instance()->recognizeProduct();
        return;
    }

    const FirmwareWirelessHooks::Hooks& hooks = FirmwareWirelessHooks::hooks();
    if (hooks.findAllNodes)
        hooks.findAllNodes(kNodeSearchMs);
    ProductHandleBase* handle = currentHandle();
    if (!isOpen() || !handle ||
        handle->firmwareVersion().normalized() == handle->latestFirmwareVersion().normalized())
        return;
    if (!askQuestion(tr("Wireless firmware update finished"), tr("Do you want to update firmware of local node?")))
        return;
    if (hooks.restoreLocalRunningMode)
        hooks.restoreLocalRunningMode();
    ZTimerManager::instance()->wait(kModeSwitchMs);
    const QString error = updater->updateFirmwareWired(image);
    if (!error.isEmpty()) {
        showStatus(error, kUpdateMessageMs);
        return;
    }
    waitForPortData(kRebootWaitMs);
    if (WidgetSystemInfo::instance()->recognizeProduct()) {
        ZTimerManager::instance()->wait(kModeSwitchMs);
        if (hooks.enterWirelessSetting)
            hooks.enterWirelessSetting();
    }
}

void installFirmwareUpdateHooks()
{
    ProductHooks::FirmwareHooks hooks;
    hooks.createFirmwareProtocol = [](QObject* parent) { ProtocolFirmware::instance(parent); };
    hooks.createFirmwareWindow = [](QWidget* mainWindow) -> QWidget* {
        return WidgetFirmwareUpdate::instance(mainWindow);
    };
    hooks.checkForNewFirmware = [] {
        // Not in the middle of an update or of another pull (both run local event
        // loops in which this timer call can arrive).
        WidgetFirmwareUpdate* window = WidgetFirmwareUpdate::existing();
        if (window && !window->isBusy())
            window->pullFirmware(0, QString());
    };
    ProductHooks::setFirmwareHooks(std::move(hooks));
}
