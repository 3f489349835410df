#pragma once

#include <QList>
#include <QString>
#include <QWidget>

class QCheckBox;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QTimer;
class QToolButton;
class ZButtonTextEditable;
class ZFlowLayout;
class ZSerialPort;

// What a saved send item is built from.
struct SendItem
{
    QString name = QStringLiteral("unnamed");
    QString content;
    bool hex = true;
    int period = 10;
    bool showDetails = true;
};

// One saved send item: a button named after the item sends its content once,
// "Timed Send(ms)" repeats it while the port is open.
class WidgetSingleSend : public QWidget
{
    Q_OBJECT
public:
    WidgetSingleSend(ZSerialPort* serialPort, const SendItem& item, QWidget* parent = nullptr);

    void send();
    // Renames the item; the saved group of the old name goes at once.
    void rename(const QString& name);

    QString name() const { return name_; }
    // The item as the controls show it now.
    SendItem item() const;

    ZButtonTextEditable* nameButton() const { return nameButton_; }
    QPlainTextEdit* contentEdit() const { return contentEdit_; }
    QCheckBox* hexCheckBox() const { return hexCheckBox_; }
    QCheckBox* timedSendCheckBox() const { return timedSendCheckBox_; }
    QSpinBox* periodSpinBox() const { return periodSpinBox_; }
    QToolButton* detailsButton() const { return detailsButton_; }
    QTimer* timer() const { return timer_; }

public slots:
    void handleStatusChanged(bool isOpen);

signals:
    // The name was emptied: the item leaves its collection and is deleted.
    void removeRequested(WidgetSingleSend* self);

private:
    void showDetails(bool shown);

    ZSerialPort* serialPort_ = nullptr;
    ZButtonTextEditable* nameButton_ = nullptr;
    QPlainTextEdit* contentEdit_ = nullptr;
    QTimer* timer_ = nullptr;
    QCheckBox* hexCheckBox_ = nullptr;
    QCheckBox* timedSendCheckBox_ = nullptr;
    QSpinBox* periodSpinBox_ = nullptr;
    QToolButton* detailsButton_ = nullptr;
    QString name_;
};

// The "Multi Transmit" tab: a scrolling, flowing collection of saved send items,
// read from "SerialPort/MultiSend" when built and written back when destroyed.
class WidgetMultiSend : public QWidget
{
    Q_OBJECT
public:
    WidgetMultiSend(ZSerialPort* serialPort, QWidget* parent = nullptr);
    ~WidgetMultiSend() override;

    WidgetSingleSend* addNewItem();
    const QList<WidgetSingleSend*>& items() const { return items_; }
    QPushButton* addButton() const { return addButton_; }
    ZFlowLayout* flowLayout() const { return flowLayout_; }

    // Writes every item into "SerialPort/MultiSend" (the destructor does it too).
    void save() const;

private:
    WidgetSingleSend* createItem(const SendItem& item);
    void removeItem(WidgetSingleSend* item);

    ZSerialPort* serialPort_ = nullptr;
    QPushButton* addButton_ = nullptr;
    QList<WidgetSingleSend*> items_;
    ZFlowLayout* flowLayout_ = nullptr;
};
