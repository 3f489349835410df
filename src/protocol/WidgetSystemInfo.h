#pragma once

#include "link/ZSerialPortInterface.h"

#include <QList>
#include <QWidget>

class QAction;
class QLabel;
class ZColorTextLabel;

// Device recognition: probes the open port with the system-frame read command at
// a list of baud rates until a device answers, hands the reply to the product
// registry, shows the product's name and versions and remembers the working rate
// ("RecognizedBaudrate"). The "Recognize" action starts it. GUI thread only.
class WidgetSystemInfo : public QWidget, public ZSerialPortInterface
{
    Q_OBJECT
public:
    static WidgetSystemInfo* instance(QWidget* parent = nullptr);
    // The widget if it exists, without making one.
    static WidgetSystemInfo* existing();
    ~WidgetSystemInfo() override;

    void handleSerialPortStatusChanged(bool isOpen) override;

    // The probing loop; true when a device was recognised.
    bool recognizeProduct();
    // One probe at baudrate.
    bool tryRecognizeAtBaudrate(int baudrate);
    // Shows, stores and reports the end of recognition; false when the answering
    // product is not supported.
    bool finishRecognition(bool isRecognized);
    // Waits until the port delivers data or timeoutMs pass, then a second more, then
    // recognises.
    void waitDataThenRecognize(int timeoutMs);

    // The 17 probed rates, in stored order.
    static const QList<int>& baudrates();
    // The probing order: highest rate first, with the remembered rate in front when it
    // is one of the table's.
    static QList<int> probeOrder(int rememberedRate);
    bool isRecognizing() const { return recognizing_; }

    QAction* recognizeAction() const { return recognizeAction_; }
    QLabel* productLabel() const { return productLabel_; }
    QLabel* hardwareLabel() const { return hardwareLabel_; }
    QLabel* firmwareLabel() const { return firmwareLabel_; }
    QLabel* baudrateLabel() const { return baudrateLabel_; }
    ZColorTextLabel* failedLabel() const { return failedLabel_; }
    QWidget* infoWidget() const { return infoWidget_; }

private:
    explicit WidgetSystemInfo(QWidget* parent);
    // The port's current rate; 0 without a terminal.
    int actualBaudrate() const;

    QLabel* productLabel_ = nullptr;
    QLabel* hardwareLabel_ = nullptr;
    QLabel* firmwareLabel_ = nullptr;
    QLabel* baudrateLabel_ = nullptr;
    ZColorTextLabel* failedLabel_ = nullptr;
    QWidget* infoWidget_ = nullptr;
    QAction* recognizeAction_ = nullptr;
    bool recognizing_ = false;
};
