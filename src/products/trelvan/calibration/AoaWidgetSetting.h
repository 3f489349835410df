#pragma once

#include "link/ZSerialPortInterface.h"
#include "products/trelvan/protocols/ParameterFrame.h"
#include "protocol/SystemInfoSubject.h"
#include "widgets/ZMainWindow.h"

#include <QString>

#include <functional>

class QComboBox;
class QDoubleSpinBox;
class QFormLayout;
class QSpinBox;
class QToolButton;
class WidgetUwbCalibration;
class ZSerialPort;

namespace Trelvan {

class AoaProtocolParameter;

// The "AOA Setting" window of the AOA models: reads the ten settings an AOA node
// exposes from its parameter frame, writes them back and checks the echo, restarts
// the node and proves it by its system time, and hosts the calibration page.
class AoaWidgetSetting : public ZMainWindow, public ZSerialPortInterface, public SystemInfoObserver
{
    Q_OBJECT
public:
    static constexpr int kStatusMs = 6000;
    static constexpr int kWriteWaitMs = 2000;

    // The port whose arriving data a restart waits for; the terminal's by default.
    using PortLookup = std::function<ZSerialPort*()>;
    static void setPortLookup(PortLookup lookup);

    explicit AoaWidgetSetting(QWidget* parent = nullptr);
    ~AoaWidgetSetting() override;

    // Each returns an empty text on success, else the reason.
    QString readParameter();
    QString writeParameter();
    QString restartNode();
    void applyParameter(const ParameterFrame& frame);
    // The frame a write sends: the default record with the ten editors' values, sealed.
    ParameterFrame frameFromEditors() const;

    void handleSystemInfoChanged(bool isRecognized, const SystemInfoFrame& frame) override;
    void handleSerialPortStatusChanged(bool isOpen) override;

    QToolButton* readButton() const { return readButton_; }
    QToolButton* writeButton() const { return writeButton_; }
    QToolButton* restartButton() const { return restartButton_; }
    QComboBox* roleCombo() const { return roleCombo_; }
    QSpinBox* idEditor() const { return id_; }
    QComboBox* baudCombo() const { return baudCombo_; }
    QComboBox* updateRateCombo() const { return rateCombo_; }
    WidgetUwbCalibration* calibrationPage() const { return calibrationPage_; }
    // Whether the row of this editor (label and field) is shown.
    bool isRowShown(QWidget* field) const;

protected:
    void onVisibilityChanged(bool visible) override;

private:
    void initUi();
    void runButton(const std::function<QString()>& action, const QString& succeeded, const QString& failed);
    void onRoleChanged();
    void setRowShown(QWidget* field, bool shown);
    // Locks the buttons of the window and its page while an exchange runs.
    void lockButtons(bool locked);

    QToolButton* readButton_ = nullptr;
    QToolButton* writeButton_ = nullptr;
    QToolButton* restartButton_ = nullptr;
    QSpinBox* systemChannel_ = nullptr;
    QSpinBox* systemId_ = nullptr;
    QDoubleSpinBox* txGain_ = nullptr;
    QComboBox* roleCombo_ = nullptr;
    QSpinBox* id_ = nullptr;
    QComboBox* protocolCombo_ = nullptr;
    QComboBox* baudCombo_ = nullptr;
    QComboBox* rateCombo_ = nullptr;
    QSpinBox* filterFactor_ = nullptr;
    QToolButton* indicatorLight_ = nullptr;
    QFormLayout* roleForm_ = nullptr;
    WidgetUwbCalibration* calibrationPage_ = nullptr;
    AoaProtocolParameter* protocol_ = nullptr;
    int lastProductId_ = -1;
    int exchanges_ = 0;
    // A write sends the editors' values: only after a read since the port opened.
    bool readSinceOpen_ = false;
};

} // namespace Trelvan
