#pragma once

#include "link/ZSerialPortInterface.h"
#include "widgets/ZMainWindow.h"

#include <QIcon>
#include <QList>
#include <QStringList>
#include <QWidget>

class QPushButton;
class QToolButton;

namespace Trelvan {

class ProtocolAhrsCalibration;

// One sensor's row: the sensor, the current step (click: request it) and its status.
class WidgetSensor : public QWidget
{
    Q_OBJECT
public:
    enum Status { Waiting = 0, Succeeded = 1, Failed = 2, Calibrating = 3 };

    WidgetSensor(const QString& name, const QIcon& icon, const QList<QIcon>& stepIcons, const QStringList& stepTexts,
                 QWidget* parent = nullptr);

    void setCurrentStep(int step);
    void setStepStatus(int status);

    int currentStep() const { return currentStep_; }
    QToolButton* sensorButton() const { return sensorButton_; }
    QToolButton* stepButton() const { return stepButton_; }
    QToolButton* statusButton() const { return statusButton_; }

signals:
    void operationRequest(int step);

private:
    QToolButton* sensorButton_;
    QToolButton* stepButton_;
    QToolButton* statusButton_;
    int currentStep_ = -1;
    QList<QIcon> stepIcons_;
    QStringList stepTexts_;
};

// "AHRS Calibration": guides the user through the gyroscope, accelerometer and
// magnetometer steps, sends one command per step and advances on the node's replies.
class WidgetAHRSCalibration : public ZMainWindow, public ZSerialPortInterface
{
    Q_OBJECT
public:
    // Calibration states.
    enum State { AccFinished = 6, Idle = 8, GyroRunning = 9, GyroFinished = 10, MagRunning = 12 };
    static constexpr int kFailureMs = 4000;
    static constexpr int kSuccessMs = 5000;
    static constexpr quint8 kAhrsMode = 9;

    static WidgetAHRSCalibration* instance(QWidget* parent = nullptr);
    // The window if it exists, without making one.
    static WidgetAHRSCalibration* existing();
    ~WidgetAHRSCalibration() override;

    void handleSerialPortStatusChanged(bool isOpen) override;

    void sendGyroCommand(quint8 command);
    void sendAccelerometerCommand(quint8 command);
    void sendMagnetometerCommand(quint8 command);

    int state() const { return state_; }
    int magnetometerStep() const { return magStep_; }
    WidgetSensor* gyroRow() const { return gyro_; }
    WidgetSensor* accRow() const { return acc_; }
    WidgetSensor* magRow() const { return mag_; }
    QPushButton* resetButton() const { return reset_; }

public slots:
    // One reply of the node, its own 32 bytes.
    void handleCalibrationResponse(const QByteArray& frame);
    void startGyro();
    void startAccelerometerStep(int step);
    void startMagnetometer();
    void resetAll();

protected:
    void onVisibilityChanged(bool visible) override;
    // A window hidden without closing (the product going) stops listening too.
    void hideEvent(QHideEvent* event) override;

private:
    explicit WidgetAHRSCalibration(QWidget* parent);
    // Puts the node into its attitude mode; false (and the box) when it does not go.
    bool switchToAhrsMode();
    void resetSteps();
    // The results shown in the status bar.
    enum Message { AccNotStill, AccNotAligned, AxisDone, AccDone, GyroError, MagFailed, MagDone, MessageCount };
    static QString messageText(Message message);
    void showStatus(Message message, int ms);

    int state_ = Idle;
    int magStep_ = 0;
    WidgetSensor* gyro_ = nullptr;
    WidgetSensor* acc_ = nullptr;
    WidgetSensor* mag_ = nullptr;
    QPushButton* reset_ = nullptr;
    ProtocolAhrsCalibration* protocol_ = nullptr;
};

} // namespace Trelvan
