#pragma once

#include "link/ZSerialPortInterface.h"
#include "widgets/ZMainWindow.h"

#include <QByteArray>
#include <QList>
#include <QPointer>
#include <QString>
#include <QStringList>

class QButtonGroup;
class QComboBox;
class QGridLayout;
class QHideEvent;
class QToolButton;
class QWidget;
class ZVToolBarWidget;

namespace Sarvel {

class RangeParameterProtocol;

// What both range setting windows share: the read and write buttons, the exchange
// with the device (protocol active for the exchange, then exactly while the window
// is visible), the status-bar texts, and the check that the device kept what was
// written.
class RangeSettingWindow : public ZMainWindow, public ZSerialPortInterface
{
    Q_OBJECT
public:
    static constexpr int kStatusMs = 6000;
    static constexpr int kExtraWaitMs = 3000;

    // A field the device must keep after a write: bytes [offset, offset + length),
    // with mask applied to a one-byte field.
    struct KeptField
    {
        QString name;
        int offset;
        int length;
        quint8 mask;
    };

    RangeSettingWindow(RangeParameterProtocol* protocol, QWidget* parent);
    ~RangeSettingWindow() override;

    // Reads the parameter frame and applies it; the error text, empty on success.
    QString readParameter();
    // Builds, sends and confirms a write; the error text, empty on success.
    QString writeParameter();

    virtual void applyParameterFrame(const QByteArray& frame) = 0;
    // The write frame from the controls, sealed.
    virtual QByteArray buildWriteFrame() const = 0;
    // The fields the device must keep for the controls as they are now.
    virtual QList<KeptField> keptFields() const = 0;

    // Names of the kept fields whose value in answer differs from written.
    static QStringList mismatchedFields(const QList<KeptField>& fields, const QByteArray& written,
                                        const QByteArray& answer);

    void handleSerialPortStatusChanged(bool isOpen) override;

    QToolButton* readButton() const { return readButton_; }
    QToolButton* writeButton() const { return writeButton_; }
    RangeParameterProtocol* protocol() const { return protocol_.data(); }

    // Adds a label and a row of radio buttons (ids 0, 1, ... in text order) to the
    // grid at row, and advances row.
    static QButtonGroup* addRadioRow(QGridLayout* grid, int& row, const QString& label, const QStringList& texts,
                                     QWidget* parent);
    // Selects the button id of group (clicks it when click is set, so its handlers
    // run); logs "<illegal> <id>" and returns false when the group has no such button.
    static bool selectMode(QButtonGroup* group, int id, const char* illegal, bool click = false);
    // Refills box with rates, keeping the chosen rate where rates has it, else the
    // default rate of the interface (921600 on UART, 1000000 on the others).
    static void refillBaudrates(QComboBox* box, const QStringList& rates, bool uart);

public slots:
    void handleReadAction();
    void handleWriteAction();

protected:
    void onVisibilityChanged(bool visible) override;
    // A window hidden without being closed (the handle deactivated) stops listening too.
    void hideEvent(QHideEvent* event) override;

    // Builds the title, icon, status bar and the button column; returns the layout
    // to the right of the buttons for the window's own controls.
    QWidget* buildFrame(const QString& title);
    // Sends the request and waits for the reply: "Time out." or empty.
    QString exchange(const QByteArray& request);

private:
    QPointer<RangeParameterProtocol> protocol_;
    ZVToolBarWidget* buttons_ = nullptr;
    QToolButton* readButton_ = nullptr;
    QToolButton* writeButton_ = nullptr;
    bool exchanging_ = false;
};

} // namespace Sarvel
