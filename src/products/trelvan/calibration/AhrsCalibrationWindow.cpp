#include "products/trelvan/calibration/AhrsCalibrationWindow.h"

#include "foundation/ZHooks.h"
#include "foundation/ZIconsManager.h"
#include "products/trelvan/calibration/AhrsCalibrationProtocol.h"
#include "products/trelvan/config/ProtocolParameter.h"
#include "widgets/ZWidgetHelpers.h"

#include <QPointer>
#include <QPushButton>
#include <QStatusBar>
#include <QHBoxLayout>
#include <QToolButton>
#include <QVBoxLayout>

namespace Trelvan {

namespace {

QPointer<WidgetAHRSCalibration> g_window;

// General icon ids.
enum Icon { Gyro = 27, Mag = 37, Static = 74, Window = 89, AccXPlus = 90, Accelerometer = 99, MagX = 96 };
// Status-icon ids of light grey, green, red and yellow.
constexpr int kFirstLight = 6;

struct StatusLook
{
    QIcon icon;
    QString text;
};

const QList<StatusLook>& statusLooks()
{
    static const QList<StatusLook> looks = [] {
        QList<StatusLook> l;
        const QStringList texts{WidgetSensor::tr("Wait calibration"), WidgetSensor::tr("Calibration succeeded"),
                                WidgetSensor::tr("Calibration error"), WidgetSensor::tr("Calibrating ...")};
        for (int i = 0; i < texts.size(); ++i)
            l.append(StatusLook{ZIconsManager::instance()->colorIcon(kFirstLight + i), texts.at(i)});
        return l;
    }();
    return looks;
}

QToolButton* rowButton(QWidget* parent)
{
    auto* b = new QToolButton(parent);
    b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    b->setIconSize(QSize(100, 100));
    return b;
}

// Wide enough for each of the texts: the row keeps its width, and the window its
// size, as the step and status change.
void fitToTexts(QToolButton* button, const QStringList& texts)
{
    const QString shown = button->text();
    int width = 0;
    for (const QString& text : texts) {
        button->setText(text);
        width = qMax(width, button->sizeHint().width());
    }
    button->setText(shown);
    button->setMinimumWidth(width);
}

} // namespace

WidgetSensor::WidgetSensor(const QString& name, const QIcon& icon, const QList<QIcon>& stepIcons,
                           const QStringList& stepTexts, QWidget* parent)
    : QWidget(parent)
    , sensorButton_(rowButton(this))
    , stepButton_(rowButton(this))
    , statusButton_(rowButton(this))
    , stepIcons_(stepIcons)
    , stepTexts_(stepTexts)
{
    auto* row = new QHBoxLayout(this);
    row->addWidget(sensorButton_);
    row->addWidget(stepButton_);
    row->addWidget(statusButton_);
    sensorButton_->setIcon(icon);
    sensorButton_->setText(name);
    sensorButton_->setFocusPolicy(Qt::NoFocus);
    statusButton_->setFocusPolicy(Qt::NoFocus);
    connect(stepButton_, &QToolButton::clicked, this, [this] { emit operationRequest(currentStep_); });
    QStringList statusTexts;
    for (const StatusLook& look : statusLooks())
        statusTexts << look.text;
    fitToTexts(stepButton_, stepTexts_);
    fitToTexts(statusButton_, statusTexts);
    setCurrentStep(0);
    setStepStatus(Waiting);
}

void WidgetSensor::setCurrentStep(int step)
{
    if (step == currentStep_ || step < 0 || step >= stepTexts_.size())
        return;
    currentStep_ = step;
    stepButton_->setText(stepTexts_.at(step));
    stepButton_->setIcon(stepIcons_.value(step));
}

void WidgetSensor::setStepStatus(int status)
{
    if (status < 0 || status >= statusLooks().size())
        return;
    statusButton_->setIcon(statusLooks().at(status).icon);
    statusButton_->setText(statusLooks().at(status).text);
}

WidgetAHRSCalibration* WidgetAHRSCalibration::instance(QWidget* parent)
{
    if (!g_window)
        g_window = new WidgetAHRSCalibration(parent);
    return g_window.data();
}

WidgetAHRSCalibration* WidgetAHRSCalibration::existing()
{
    return g_window.data();
}

WidgetAHRSCalibration::WidgetAHRSCalibration(QWidget* parent)
    : ZMainWindow(parent)
{
    setWindowTitle(tr("AHRS Calibration"));
    ZIconsManager* icons = ZIconsManager::instance();
    setWindowIcon(icons->icon(Window));

    auto* central = new QWidget(this);
    auto* column = new QVBoxLayout(central);
    gyro_ = new WidgetSensor(tr("Gyro"), icons->icon(Gyro), {icons->icon(Static)}, {tr("Keep Static")}, central);
    QList<QIcon> accIcons;
    for (int i = 0; i < 6; ++i)
        accIcons << icons->icon(AccXPlus + i);
    acc_ = new WidgetSensor(tr("Acc"), icons->icon(Accelerometer), accIcons,
                            {tr("Keep Axis X+ upward"), tr("Keep Axis X- upward"), tr("Keep Axis Y+ upward"),
                             tr("Keep Axis Y- upward"), tr("Keep Axis Z+ upward"), tr("Keep Axis Z- upward")},
                            central);
    mag_ = new WidgetSensor(tr("Mag"), icons->icon(Mag), {icons->icon(MagX), icons->icon(MagX + 1), icons->icon(MagX + 2)},
                            {tr("Rotating around axis X uniformly"), tr("Rotating around axis Y uniformly"),
                             tr("Rotating around axis Z uniformly")},
                            central);
    reset_ = new QPushButton(tr("Reset All"), central);
    column->addWidget(gyro_);
    column->addWidget(acc_);
    column->addWidget(mag_);
    column->addWidget(reset_);
    setCentralWidget(central);
    statusBar()->setSizeGripEnabled(false);
    // The window is as wide as its longest message: a result is never cut.
    QStringList messages;
    for (int m = 0; m < MessageCount; ++m)
        messages << messageText(Message(m));
    fitStatusBarToMessages(statusBar(), messages);

    connect(gyro_, &WidgetSensor::operationRequest, this, [this](int) { startGyro(); });
    connect(acc_, &WidgetSensor::operationRequest, this, &WidgetAHRSCalibration::startAccelerometerStep);
    connect(mag_, &WidgetSensor::operationRequest, this, [this](int) { startMagnetometer(); });
    connect(reset_, &QPushButton::clicked, this, &WidgetAHRSCalibration::resetAll);

    protocol_ = ProtocolAhrsCalibration::instance();
    // Queued from the processing thread: each reply once, in order, with its own bytes.
    connect(protocol_, &ProtocolAhrsCalibration::replyReceived, this,
            &WidgetAHRSCalibration::handleCalibrationResponse);
}

WidgetAHRSCalibration::~WidgetAHRSCalibration()
{
    if (protocol_)
        protocol_->setActive(false);
}

void WidgetAHRSCalibration::onVisibilityChanged(bool visible)
{
    protocol_->setActive(visible);
}

void WidgetAHRSCalibration::hideEvent(QHideEvent* event)
{
    ZMainWindow::hideEvent(event);
    protocol_->setActive(false);
}

void WidgetAHRSCalibration::handleSerialPortStatusChanged(bool isOpen)
{
    centralWidget()->setEnabled(isOpen);
}

void WidgetAHRSCalibration::sendGyroCommand(quint8 command)
{
    protocol_->setActive(true);
    write(AhrsCalibrationFrame::gyroCommandFrame(command));
}

void WidgetAHRSCalibration::sendAccelerometerCommand(quint8 command)
{
    protocol_->setActive(true);
    write(AhrsCalibrationFrame::accCommandFrame(command));
}

void WidgetAHRSCalibration::sendMagnetometerCommand(quint8 command)
{
    protocol_->setActive(true);
    write(AhrsCalibrationFrame::magCommandFrame(command));
}

bool WidgetAHRSCalibration::switchToAhrsMode()
{
    if (ProtocolParameter::instance()->writeParameter(kAhrsMode))
        return true;
    messageBoxHook(tr("Switch mode failed."));
    return false;
}

void WidgetAHRSCalibration::startGyro()
{
    if (!switchToAhrsMode())
        return;
    state_ = GyroRunning;
    sendGyroCommand(1);
}

void WidgetAHRSCalibration::startAccelerometerStep(int step)
{
    if (step < 0 || step > 5)
        return;
    if (step == 0 && !switchToAhrsMode())
        return;
    state_ = step;
    sendAccelerometerCommand(quint8(step));
}

void WidgetAHRSCalibration::startMagnetometer()
{
    if (!switchToAhrsMode())
        return;
    state_ = MagRunning;
    sendMagnetometerCommand(1);
}

void WidgetAHRSCalibration::resetAll()
{
    state_ = Idle;
    // The magnetometer row goes back to its first rotation: so does its step.
    magStep_ = 0;
    for (WidgetSensor* row : {gyro_, acc_, mag_}) {
        row->setCurrentStep(0);
        row->setStepStatus(WidgetSensor::Waiting);
    }
}

void WidgetAHRSCalibration::resetSteps()
{
    state_ = Idle;
    magStep_ = 0;
    for (WidgetSensor* row : {gyro_, acc_, mag_})
        row->setCurrentStep(0);
}

QString WidgetAHRSCalibration::messageText(Message message)
{
    switch (message) {
    case AccNotStill:
        return tr("Accelerometer calibration failed, please keep still");
    case AccNotAligned:
        return tr("Accelerometer calibration failed, please align the direction");
    case AxisDone:
        return tr("Current axis calibration succeeded!");
    case AccDone:
        return tr("Accelerometer calibration succeeded!");
    case GyroError:
        return tr("Gyroscope calibration error, please set it horizontally");
    case MagFailed:
        return tr("Magnetometer calibration failed, please try again");
    case MagDone:
    case MessageCount:
        break;
    }
    return tr("Magnetometer calibration succeeded!");
}

void WidgetAHRSCalibration::showStatus(Message message, int ms)
{
    statusBar()->showMessage(messageText(message), ms);
}

void WidgetAHRSCalibration::handleCalibrationResponse(const QByteArray& bytes)
{
    if (bytes.size() < AhrsCalibrationFrame::kSize)
        return;
    const AhrsCalibrationFrame reply = AhrsCalibrationFrame::fromBytes(bytes);
    if (state_ >= 0 && state_ <= 5) {
        const quint8 flags = reply.accFlags();
        if (flags & 0x40) {
            acc_->setStepStatus(WidgetSensor::Failed);
            showStatus(AccNotStill, kFailureMs);
        } else if (flags & 0x80) {
            acc_->setStepStatus(WidgetSensor::Failed);
            showStatus(AccNotAligned, kFailureMs);
        } else if (flags & (1u << state_)) {
            if (state_ < 5) {
                state_ += 1;
                showStatus(AxisDone, kSuccessMs);
                acc_->setStepStatus(WidgetSensor::Calibrating);
                acc_->setCurrentStep(state_);
            } else {
                state_ = AccFinished;
                sendAccelerometerCommand(AhrsCalibrationFrame::kAccFinish);
                showStatus(AccDone, kSuccessMs);
                acc_->setStepStatus(WidgetSensor::Succeeded);
                resetSteps();
            }
        }
        return;
    }
    if (state_ == GyroRunning) {
        const quint8 g = reply.gyroStatus();
        if (g == 1) {
            state_ = GyroFinished;
            sendGyroCommand(2);
            gyro_->setStepStatus(WidgetSensor::Succeeded);
        } else if (g == 2) {
            showStatus(GyroError, kFailureMs);
            gyro_->setStepStatus(WidgetSensor::Failed);
        } else {
            gyro_->setStepStatus(WidgetSensor::Calibrating);
        }
        return;
    }
    if (state_ == MagRunning) {
        const quint8 m = reply.magFlags();
        if (m & 0x08) {
            mag_->setStepStatus(WidgetSensor::Failed);
            showStatus(MagFailed, kFailureMs);
            resetSteps();
            return;
        }
        if (!(m & (1u << magStep_)))
            return;
        magStep_ += 1;
        if (magStep_ == 3) {
            magStep_ = 0;
            sendMagnetometerCommand(2);
            showStatus(MagDone, kSuccessMs);
            resetSteps();
            mag_->setStepStatus(WidgetSensor::Succeeded);
        }
        mag_->setCurrentStep(magStep_);
    }
}

} // namespace Trelvan
