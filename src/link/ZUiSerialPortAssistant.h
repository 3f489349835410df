#pragma once

#include <QByteArray>
#include <QSettings>
#include <QStringList>
#include <functional>
#include <memory>

#include "widgets/ZMainWindow.h"
#include "widgets/ZTransmitDataWidget.h"

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QTextDecoder;
class QToolButton;
class PlainTextEditWithFile;
class WidgetMultiSend;
class ZComboBox;
class ZComboBoxEditable;
class ZSerialPort;

// The serial terminal ("SerialPort Assistant") and owner of the program's one serial
// port: line settings (persisted), open and close, received bytes as text or hex
// with byte statistics, and three sending tabs. One instance, alive until the end.
class ZUiSerialPortAssistant : public ZMainWindow
{
    Q_OBJECT
public:
    static ZUiSerialPortAssistant* instance(QWidget* parent = nullptr);
    // The window if it exists, without making one.
    static ZUiSerialPortAssistant* existing();
    ~ZUiSerialPortAssistant() override;

    ZSerialPort* serialPort() const { return serialPort_; }
    QAction* openAction() const { return openAction_; }
    ZComboBox* portComboBox() const { return portComboBox_; }
    ZComboBoxEditable* baudrateComboBox() const { return baudrateComboBox_; }

    bool setSerialPortOpen(bool open);
    bool setBaudRate(int baudRate, bool updateUi);
    void restoreBaudRate();

    void applyIgnoredPortNames();
    void calculateCheckSum();

    // The 21 standard rates offered when nothing is stored.
    static const QList<int>& standardBaudRates();

    // How the open failure is shown; replaceable so that tests never block on a box.
    using CriticalBox = std::function<void(QWidget* parent, const QString& title, const QString& text)>;
    static CriticalBox& criticalBoxHook();
    // The open-failure text handed to the box: three parts joined by long runs of blanks,
    // the port's error name last.
    static QString openFailureText(const QString& errorName);
    // What the box shows of such a text: each run of blanks as one line break.
    static QString boxLines(const QString& text);
    // The critical box of the default hook: an icon, the text's lines whole, "Ok".
    static void showErrorBox(QWidget* parent, const QString& title, const QString& text);

    // Controls, for the main window's mirrors and for tests.
    QToolButton* openButton() const { return openButton_; }
    QComboBox* dataBitsComboBox() const { return dataBitsComboBox_; }
    QComboBox* stopBitsComboBox() const { return stopBitsComboBox_; }
    QComboBox* parityComboBox() const { return parityComboBox_; }
    QComboBox* flowControlComboBox() const { return flowControlComboBox_; }
    QLineEdit* ignoredPortNamesEdit() const { return ignoredPortNamesEdit_; }
    QLabel* receivedLabel() const { return receivedLabel_; }
    QLabel* receivedPerSecondLabel() const { return receivedPerSecondLabel_; }
    QLabel* transmittedLabel() const { return transmittedLabel_; }
    QLabel* transmittedPerSecondLabel() const { return transmittedPerSecondLabel_; }
    QPushButton* clearStatisticsButton() const { return clearStatisticsButton_; }
    PlainTextEditWithFile* receiveView() const { return receiveView_; }
    QCheckBox* hexCheckBox() const { return hexCheckBox_; }
    QPushButton* clearReceivedButton() const { return clearReceivedButton_; }
    QTabWidget* transmitTabs() const { return transmitTabs_; }
    QPlainTextEdit* singleTransmitText() const { return singleTransmitText_; }
    ZTransmitDataWidget* transmitter() const { return transmitter_; }
    WidgetMultiSend* multiSend() const { return multiSend_; }
    QPlainTextEdit* checkSumText() const { return checkSumText_; }
    QPushButton* calculateButton() const { return calculateButton_; }
    QLineEdit* checkSumResult() const { return checkSumResult_; }
    QLabel* checkSumCountLabel() const { return checkSumCountLabel_; }

public slots:
    void handleArrivedData(const QByteArray& data);
    void handlePortsChanged(const QStringList& portNames);
    void handleStatusChanged(bool isOpen);
    void updateStatistics();

private:
    explicit ZUiSerialPortAssistant(QWidget* parent);
    void buildControls();
    void buildLayout();
    QWidget* buildCheckSumTab();

    ZSerialPort* serialPort_ = nullptr;
    std::unique_ptr<QTextDecoder> decoder_;
    QToolButton* openButton_ = nullptr;
    QAction* openAction_ = nullptr;
    ZComboBox* portComboBox_ = nullptr;
    ZComboBoxEditable* baudrateComboBox_ = nullptr;
    QComboBox* dataBitsComboBox_ = nullptr;
    QComboBox* stopBitsComboBox_ = nullptr;
    QComboBox* parityComboBox_ = nullptr;
    QComboBox* flowControlComboBox_ = nullptr;
    QLineEdit* ignoredPortNamesEdit_ = nullptr;
    QLabel* receivedLabel_ = nullptr;
    QLabel* receivedPerSecondLabel_ = nullptr;
    QLabel* transmittedLabel_ = nullptr;
    QLabel* transmittedPerSecondLabel_ = nullptr;
    QPushButton* clearStatisticsButton_ = nullptr;
    PlainTextEditWithFile* receiveView_ = nullptr;
    QCheckBox* hexCheckBox_ = nullptr;
    QPushButton* clearReceivedButton_ = nullptr;
    QTabWidget* transmitTabs_ = nullptr;
    QPlainTextEdit* singleTransmitText_ = nullptr;
    ZTransmitDataWidget* transmitter_ = nullptr;
    WidgetMultiSend* multiSend_ = nullptr;
    QPlainTextEdit* checkSumText_ = nullptr;
    QPushButton* calculateButton_ = nullptr;
    QLineEdit* checkSumResult_ = nullptr;
    QLabel* checkSumCountLabel_ = nullptr;
    QSettings settings_;
};

// A send line that writes to port and follows its open state.
ZTransmitDataWidget* createPortTransmitter(ZSerialPort* port, ZTransmitDataWidget::TextSource textSource,
                                           QWidget* parent = nullptr);

// Creates the terminal and installs the serial interface hooks on its port (called
// once by the main window's constructor).
void initSerialPortInterface(QWidget* parent);
