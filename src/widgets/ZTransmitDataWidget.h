#pragma once

#include <QWidget>
#include <functional>

class QCheckBox;
class QSpinBox;
class QTimer;
class QToolButton;
class ZButtonTextEditable;
class ZTransmitDataWidget_P;

// The row of send controls under the terminal's input box: "Send", "Hex",
// "Timed Send(ms)" with its interval, and an arrow that shows or hides the options.
// It does not own the text: a text source returns it on every send.
//
// The port lives in a layer above the common widgets, so the widget is given the
// port's write operation and its open state; the owner connects the port's status
// signal to handleStatusChanged.
class ZTransmitDataWidget : public QWidget
{
    Q_OBJECT
public:
    using WriteFunction = std::function<qint64(const QByteArray&)>;
    using TextSource = std::function<QString()>;

    ZTransmitDataWidget(WriteFunction write, bool portOpen, TextSource textSource,
                        QWidget* parent = nullptr);
    ~ZTransmitDataWidget() override;

    // The bytes that a send of this text writes, by the "Hex" switch's rules.
    QByteArray bytesToSend(const QString& text) const;
    // Hex digits only; an odd last digit stands alone ("1 2 3" -> 12 03).
    static QByteArray hexTextToBytes(const QString& text);

    QCheckBox* hexCheckBox() const;
    QCheckBox* timedSendCheckBox() const;
    QSpinBox* intervalSpinBox() const;
    QToolButton* optionsButton() const;
    ZButtonTextEditable* sendButton() const;
    QTimer* timer() const;

public slots:
    void send();
    void handleStatusChanged(bool isOpen);

signals:
    void transmitFormatChanged(bool isHex);

private:
    ZTransmitDataWidget_P* d;
};
