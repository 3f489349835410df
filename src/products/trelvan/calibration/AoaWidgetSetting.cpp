#include "products/trelvan/calibration/AoaWidgetSetting.h"

#include "foundation/ZAlgo.h"
#include "foundation/ZIconsManager.h"
#include "foundation/ZLog.h"
#include "foundation/ZTimerManager.h"
#include "link/ZSerialPort.h"
#include "link/ZUiSerialPortAssistant.h"
#include "products/trelvan/calibration/UwbCalibrationPage.h"
#include "products/trelvan/config/ConfigTypes.h"
#include "products/trelvan/protocols/AoaProtocolParameter.h"
#include "products/trelvan/protocols/TrelvanTables.h"
#include "protocol/ProtocolFactory.h"
#include "protocol/WidgetSystemInfo.h"
#include "widgets/ZVToolBarWidget.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QSpinBox>
#include <QStatusBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace Trelvan {

namespace {

constexpr int kReadIcon = 61;
constexpr int kWriteIcon = 87;
constexpr int kRestartIcon = 64;
constexpr int kWindowIcon = 105;
constexpr int kSwitchToggle = 1;
constexpr int kReadExtraMs = 3000;
constexpr int kRestartSettleMs = 100;
constexpr int kRestartDataMs = 5000;
// The frame-name table's AOA node frame.
constexpr int kAoaNodeFrameKey = 7;

AoaWidgetSetting::PortLookup g_portLookup;

ZSerialPort* defaultPort()
{
    ZUiSerialPortAssistant* terminal = ZUiSerialPortAssistant::existing();
    return terminal ? terminal->serialPort() : nullptr;
}

// Item data of the role and protocol lists; a value that is no number counts as 0.
quint8 itemByte(const QComboBox* box)
{
    bool ok = false;
    const uint v = box->currentData().toUInt(&ok);
    return ok ? quint8(v) : 0;
}

void selectData(QComboBox* box, int value)
{
    box->setCurrentIndex(box->findData(value));
}

// Shows a number as its decimal text, adding it when the list lacks it.
void selectText(QComboBox* box, quint32 value)
{
    const QString text = QString::number(value);
    int index = box->findText(text);
    if (index < 0) {
        box->addItem(text);
        index = box->count() - 1;
    }
    box->setCurrentIndex(index);
}

} // namespace

void AoaWidgetSetting::setPortLookup(PortLookup lookup)
{
    g_portLookup = std::move(lookup);
}

AoaWidgetSetting::AoaWidgetSetting(QWidget* parent)
    : ZMainWindow(parent)
{
    setWindowTitle(tr("AOA Setting"));
    setWindowIcon(ZIconsManager::instance()->icon(kWindowIcon));
    protocol_ = AoaProtocolParameter::instance();
    initUi();
    statusBar()->show();
    centralWidget()->setEnabled(isOpen());
}

AoaWidgetSetting::~AoaWidgetSetting() = default;

void AoaWidgetSetting::initUi()
{
    auto* central = new QWidget(this);
    auto* row = new QHBoxLayout(central);

    auto* toolBar = new ZVToolBarWidget(central);
    toolBar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    ZIconsManager* icons = ZIconsManager::instance();
    readButton_ = toolBar->addButton(icons->icon(kReadIcon), tr("Read Parameter"));
    writeButton_ = toolBar->addButton(icons->icon(kWriteIcon), tr("Write Parameter"));
    restartButton_ = toolBar->addButton(icons->icon(kRestartIcon), tr("Restart"));
    row->addWidget(toolBar);

    auto* column = new QVBoxLayout;
    auto* system = new QGroupBox(tr("System"), central);
    auto* systemForm = new QFormLayout(system);
    systemId_ = new QSpinBox(system);
    systemId_->setRange(0, 255);
    systemChannel_ = new QSpinBox(system);
    systemChannel_->setRange(0, 11);
    txGain_ = new QDoubleSpinBox(system);
    txGain_->setRange(0.0, 33.5);
    txGain_->setDecimals(1);
    txGain_->setSingleStep(0.5);
    systemForm->addRow(tr("System ID"), systemId_);
    systemForm->addRow(tr("System CH"), systemChannel_);
    systemForm->addRow(tr("Tx Gain"), txGain_);
    column->addWidget(system);

    roleForm_ = new QFormLayout;
    roleCombo_ = new QComboBox(central);
    id_ = new QSpinBox(central);
    id_->setRange(0, 3);
    protocolCombo_ = new QComboBox(central);
    protocolCombo_->addItem(ProtocolFactory::trelvanFrameNames().value(kAoaNodeFrameKey), kAoaNodeFrameKey);
    protocolCombo_->hide();
    baudCombo_ = new QComboBox(central);
    // The rates a node can be set to, not the terminal's wider list.
    for (int rate : WidgetSystemInfo::baudrates())
        baudCombo_->addItem(QString::number(rate));
    rateCombo_ = new QComboBox(central);
    rateCombo_->addItems({"1", "2", "5", "10", "25", "50", "100", "200"});
    filterFactor_ = new QSpinBox(central);
    filterFactor_->setRange(0, 255);
    indicatorLight_ = new QToolButton(central);
    indicatorLight_->setObjectName("Icon_Switch");
    indicatorLight_->setCheckable(true);
    indicatorLight_->setToolButtonStyle(Qt::ToolButtonIconOnly);
    indicatorLight_->setIconSize(QSize(100, 30));
    indicatorLight_->setIcon(icons->toggleIcon(kSwitchToggle));
    roleForm_->addRow(tr("Role"), roleCombo_);
    roleForm_->addRow(tr("ID"), id_);
    roleForm_->addRow(tr("Baudrate"), baudCombo_);
    roleForm_->addRow(tr("Update Rate"), rateCombo_);
    roleForm_->addRow(tr("Filter Factor"), filterFactor_);
    roleForm_->addRow(tr("Indicator Light"), indicatorLight_);
    column->addStretch();
    column->addLayout(roleForm_);
    column->addStretch();
    row->addLayout(column);

    calibrationPage_ = new WidgetUwbCalibration(central);
    row->addWidget(calibrationPage_);
    row->addStretch();
    setCentralWidget(central);

    connect(roleCombo_, qOverload<int>(&QComboBox::currentIndexChanged), this, &AoaWidgetSetting::onRoleChanged);
    connect(readButton_, &QToolButton::clicked, this, [this] {
        runButton([this] { return readParameter(); }, tr("Read parameter succeeded"), tr("Read parameter failed,"));
    });
    connect(writeButton_, &QToolButton::clicked, this, [this] {
        runButton([this] { return writeParameter(); }, tr("Write parameter succeeded"),
                  tr("Write parameter failed,"));
    });
    connect(restartButton_, &QToolButton::clicked, this, [this] {
        runButton([this] { return restartNode(); }, tr("Restart succeeded"), tr("Restart failed,"));
    });
}

void AoaWidgetSetting::runButton(const std::function<QString()>& action, const QString& succeeded,
                                 const QString& failed)
{
    const QString error = action();
    statusBar()->showMessage(error.isEmpty() ? succeeded : failed + error, kStatusMs);
}

void AoaWidgetSetting::lockButtons(bool locked)
{
    exchanges_ += locked ? 1 : -1;
    const bool enabled = exchanges_ == 0;
    for (QToolButton* b : {readButton_, writeButton_, restartButton_})
        b->setEnabled(enabled);
    calibrationPage_->setExchangeLocked(!enabled);
}

QString AoaWidgetSetting::readParameter()
{
    AoaProtocolParameter* p = protocol_;
    ZScopeGuard exchange(
        [this, p] {
            lockButtons(true);
            p->setActive(true);
            p->setWaitingForReply(true);
        },
        [this, p] {
            p->setWaitingForReply(false);
            p->setActive(isVisible());
            lockButtons(false);
        });
    const QByteArray request = p->packReadRequest();
    const bool timedOut =
        sendAndWaitForReply(ZTimerManager::instance(), timeoutForBytes(request.size(), kReadExtraMs), p,
                            &AoaProtocolParameter::dataFrameReceived, [&request] { write(request); });
    if (timedOut)
        return "Time out.";
    readSinceOpen_ = true;
    applyParameter(p->receivedFrame());
    return QString();
}

ParameterFrame AoaWidgetSetting::frameFromEditors() const
{
    ParameterFrame f;
    f.setSystemNum(quint8(systemChannel_->value()));
    f.setSystemID(quint8(systemId_->value()));
    f.setTxGain(quint8(int(txGain_->value() * 2)));
    f.setRole(itemByte(roleCombo_));
    f.setId(quint8(id_->value()));
    f.setProtocol(itemByte(protocolCombo_));
    f.setBaudRate(baudCombo_->currentText().toUInt());
    f.setRefreshRate(quint16(rateCombo_->currentText().toUInt()));
    f.setOnOffControl(quint8((f.onOffControl() & ~0x01) | (indicatorLight_->isChecked() ? 0x01 : 0x00)));
    f.setFilterFactor(quint8(filterFactor_->value()));
    f.seal();
    return f;
}

QString AoaWidgetSetting::writeParameter()
{
    // The editors hold start values until a read filled them: writing those would
    // reconfigure the node (its baud rate among them).
    if (!readSinceOpen_)
        return "no parameters read";
    AoaProtocolParameter* p = protocol_;
    ZScopeGuard exchange(
        [this, p] {
            lockButtons(true);
            p->setActive(true);
            p->setWaitingForReply(true);
        },
        [this, p] {
            p->setWaitingForReply(false);
            p->setActive(isVisible());
            lockButtons(false);
        });
    const ParameterFrame sent = frameFromEditors();
    const QByteArray bytes = sent.toByteArray();
    // The reply's own announcement, as the read waits for: a parse-finished signal
    // of the read before may still be on its way and would end this wait with the
    // read's frame as the "echo".
    const bool timedOut =
        sendAndWaitForReply(ZTimerManager::instance(), timeoutForBytes(ParameterFrame::kSize, kWriteWaitMs), p,
                            &AoaProtocolParameter::dataFrameReceived, [&bytes] { write(bytes); });
    if (timedOut)
        return "Time out.";
    const ParameterFrame echo = p->receivedFrame();
    applyParameter(echo);
    QString keys;
    if (echo.systemNum() != sent.systemNum())
        keys += "systemCh";
    if (echo.systemID() != sent.systemID())
        keys += "systemID";
    if (echo.txGain() != sent.txGain())
        keys += "txGain";
    if (echo.role() != sent.role())
        keys += "role";
    if (echo.id() != sent.id())
        keys += "id";
    if (echo.protocol() != sent.protocol())
        keys += "protocol";
    if (echo.baudRate() != sent.baudRate())
        keys += "baudRate";
    if (echo.refreshRate() != sent.refreshRate())
        keys += "updateRate";
    if ((echo.onOffControl() & 0x01) != (sent.onOffControl() & 0x01))
        keys += "onOffControl.UARTLed";
    if (echo.filterFactor() != sent.filterFactor())
        keys += "filterFactor";
    return keys.isEmpty() ? QString() : keys + "  write failed.";
}

QString AoaWidgetSetting::restartNode()
{
    lockButtons(true);
    ZScopeGuard unlock([] {}, [this] { lockButtons(false); });
    QString error = readParameter();
    if (!error.isEmpty())
        return "read before restart failed," + error;
    const quint32 previous = protocol_->receivedFrame().systemTime();
    write(AoaProtocolParameter::makeRestartCommand());
    ZTimerManager* timers = ZTimerManager::instance();
    timers->wait(kRestartSettleMs);
    ZSerialPort* port = g_portLookup ? g_portLookup() : defaultPort();
    if (port)
        waitForReply(timers, kRestartDataMs, port, &ZSerialPort::dataArrived);
    else
        timers->wait(kRestartDataMs);
    error = readParameter();
    if (!error.isEmpty())
        return "read after restart failed," + error;
    const quint32 current = protocol_->receivedFrame().systemTime();
    if (current <= previous)
        return QString();
    return QString("currentSystemTime(%1) > prevSystemTime(%2)").arg(current).arg(previous);
}

void AoaWidgetSetting::applyParameter(const ParameterFrame& frame)
{
    systemChannel_->setValue(frame.systemNum());
    systemId_->setValue(frame.systemID());
    txGain_->setValue(frame.txGain() * 0.5);
    const int roleIndex = roleCombo_->findData(int(frame.role()));
    roleCombo_->setCurrentIndex(roleIndex);
    if (roleIndex < 0)
        zDebug() << "could find role:" << frame.role();
    if (frame.role() == ANCHOR)
        zDebug() << "data.role == kRoleAnchor";
    QStringList roles;
    for (int i = 0; i < roleCombo_->count(); ++i)
        roles << roleCombo_->itemText(i);
    zDebug() << roles;
    id_->setValue(frame.id());
    selectData(protocolCombo_, frame.protocol());
    selectText(baudCombo_, frame.baudRate());
    selectText(rateCombo_, frame.refreshRate());
    filterFactor_->setValue(frame.filterFactor());
    indicatorLight_->setChecked(frame.onOffControl() & 0x01);
}

void AoaWidgetSetting::handleSystemInfoChanged(bool isRecognized, const SystemInfoFrame& frame)
{
    if (!isRecognized || frame.productType() != 0 || frame.modelId() == lastProductId_)
        return;
    lastProductId_ = frame.modelId();
    roleCombo_->clear();
    QList<int> roles;
    if (lastProductId_ == 16)
        roles = {TAG};
    else if (lastProductId_ == 15)
        roles = {ANCHOR, MONITOR};
    for (int role : roles)
        roleCombo_->addItem(roleNames.value(role), role);
    selectData(roleCombo_, frame.role());
}

void AoaWidgetSetting::onRoleChanged()
{
    if (roleCombo_->currentIndex() < 0)
        return;
    switch (itemByte(roleCombo_)) {
    case ANCHOR:
        setRowShown(id_, true);
        setRowShown(rateCombo_, false);
        break;
    case TAG:
        setRowShown(id_, false);
        setRowShown(rateCombo_, true);
        break;
    case MONITOR:
        setRowShown(id_, false);
        setRowShown(rateCombo_, false);
        break;
    default:
        break;
    }
}

void AoaWidgetSetting::setRowShown(QWidget* field, bool shown)
{
    field->setVisible(shown);
    if (QWidget* label = roleForm_->labelForField(field))
        label->setVisible(shown);
}

bool AoaWidgetSetting::isRowShown(QWidget* field) const
{
    QWidget* label = roleForm_->labelForField(field);
    return !field->isHidden() && label && !label->isHidden();
}

void AoaWidgetSetting::handleSerialPortStatusChanged(bool open)
{
    centralWidget()->setEnabled(open);
    readSinceOpen_ = false;
}

void AoaWidgetSetting::onVisibilityChanged(bool visible)
{
    protocol_->setActive(visible);
    if (visible)
        readButton_->click();
}

} // namespace Trelvan
