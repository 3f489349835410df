#pragma once

#include "link/ZSerialPortInterface.h"
#include "widgets/ZMainWindow.h"

#include <QString>

#include <functional>

class QBoxLayout;
class QGroupBox;
class QScrollArea;
class QTimer;
class QToolButton;
class ZVToolBarWidget;
class ZSerialPort;

namespace Trelvan {

class ProtocolParameter;
class WidgetNode;
class ZAppModeItem;
class ListedChoice;
class ZBaudrateItem;
class ZCoordinateItem;
class ZIdItem;
class ZNodeCapacityItem;
class ZProtocolTypeItem;
class ZRefreshRateItem;
class ZRoleItem;
class ZSystemChannelItem;
class ZSystemIDItem;
class ZConfigItemInterface;
class WidgetWirelessSetting;

// The setting window of the node at the serial port: reads, edits, writes and
// checks its parameters, switches its running mode, restarts it and runs the
// one-key anchor calibration. Every exchange writes a request and waits in a local
// event loop for the reply or a time-out; results go to the status bar.
class WidgetSetting : public ZMainWindow, public ZSerialPortInterface
{
    Q_OBJECT
public:
    static constexpr int kStatusMs = 6000;
    static constexpr int kSwitchStatusMs = 4000;
    static constexpr int kWriteWaitMs = 2000;

    // The wireless setting page's part (filled when that page exists).
    struct WirelessHooks
    {
        std::function<void(quint8 localMode, quint8 role)> applyModeAndRole;
        // The node search after switching to running mode 3, with its wait in ms.
        std::function<void(int waitMs)> findAllNodes;
    };
    static void setWirelessHooks(WirelessHooks hooks);

    // Yes/Cancel question: (parent, text, informative text) -> Yes. Replaceable so
    // that tests answer it; an empty hook restores the message box.
    using QuestionHook = std::function<bool(QWidget*, const QString&, const QString&)>;
    static QuestionHook setQuestionHook(QuestionHook hook);
    // The port whose arriving data a restart waits for; the terminal's by default.
    using PortLookup = std::function<ZSerialPort*()>;
    static void setPortLookup(PortLookup lookup);
    // What follows a write: the program recognises the node again, which reads it
    // back through the product handle. Replaceable so that tests run that read; an
    // empty hook restores the recognition.
    using RecognitionHook = std::function<void()>;
    static RecognitionHook setRecognitionHook(RecognitionHook hook);

    static WidgetSetting* instance(QWidget* parent = nullptr);
    static WidgetSetting* existing();
    ~WidgetSetting() override;

    QString readParameterOfNodeConnected(quint8 group = 0);
    // The editors now hold a remote node's parameters, read through the relay.
    void applyRemoteParameter(quint8 role, qint32 id);
    // Whether the editors hold what was last read from that remote node (with the
    // user's edits): only then may a write to it send them.
    bool editorsReadFrom(quint8 role, qint32 id) const;
    // A write moved the remote node the editors were read from to a new address.
    void remoteNodeMoved(quint8 role, qint32 id);
    bool isAddressOfNodeConnected(quint8 role, qint32 id) const;
    // Why the editors' values must not be written (a coordinate or a choice that
    // cannot be sent as shown); empty when they can.
    QString unwritableReason() const;
    QString verifyWrite();
    QString verifyRestart();
    bool switchApplication(quint8 runningMode);
    void oneKeyCalibration();
    void applyParameter();
    void restartNode();
    bool confirmRestart();
    WidgetNode* connectedNodeWidget() const;
    void arrangeForWirelessSetting(bool shown);
    // Waits for the announced reply to a request written after `before` was taken.
    bool waitForParameterReply(quint64 before, int ms);

    static bool isCalibrating();

    void handleSerialPortStatusChanged(bool isOpen) override;

    QToolButton* readButton() const { return readButton_; }
    QToolButton* writeButton() const { return writeButton_; }
    QToolButton* restartButton() const { return restartButton_; }
    ZAppModeItem* modeItem() const { return modeItem_; }
    ZRoleItem* roleItem() const { return roleItem_; }
    ZIdItem* idItem() const { return idItem_; }
    ZCoordinateItem* coordinateItem() const { return coordinateItem_; }
    QWidget* configItemWidget(int index) const;

protected:
    void onVisibilityChanged(bool visible) override;

private:
    explicit WidgetSetting(QWidget* parent);
    void initUi();
    void runButtonAction(const std::function<QString()>& action, const QString& succeeded, const QString& failed);
    void updateButtons();
    bool ask(const QString& text, const QString& informative);
    // Reads the node at the port, with the coordinates of group; the reply is left
    // in the protocol. An error text, empty on success.
    QString readFromNodeConnected(quint8 group);
    // The editors were filled from a node: their lists are the ones its values
    // were read with.
    void rememberChoiceLists();
    void readPendingGroup();
    QList<ListedChoice*> listedChoices() const;

    QBoxLayout* columnsLayout_ = nullptr;
    QBoxLayout* scrollLayout_ = nullptr;
    QBoxLayout* pageLayout_ = nullptr;
    ZSystemIDItem* systemIdItem_ = nullptr;
    ZAppModeItem* modeItem_ = nullptr;
    ZRoleItem* roleItem_ = nullptr;
    ZBaudrateItem* baudItem_ = nullptr;
    ZRefreshRateItem* rateItem_ = nullptr;
    ZNodeCapacityItem* capacityItem_ = nullptr;
    ZIdItem* idItem_ = nullptr;
    ZCoordinateItem* coordinateItem_ = nullptr;
    ZProtocolTypeItem* protocolItem_ = nullptr;
    ZSystemChannelItem* channelItem_ = nullptr;
    ZVToolBarWidget* toolBar_ = nullptr;
    QToolButton* readButton_ = nullptr;
    QToolButton* writeButton_ = nullptr;
    QToolButton* restartButton_ = nullptr;
    QScrollArea* scrollArea_ = nullptr;
    QWidget* itemColumn_ = nullptr;
    QWidget* page_ = nullptr;
    QList<QWidget*> itemWidgets_;
    ProtocolParameter* protocol_ = nullptr;
    WidgetWirelessSetting* wirelessPage_ = nullptr;
    bool wirelessShown_ = false;
    bool runningModeIsWireless_ = false;
    // Whose parameters the editors hold. A write to the node at the port sends only
    // what was read from that node since the port opened.
    enum class EditorSource { None, NodeAtPort, RemoteNode };
    EditorSource source_ = EditorSource::None;
    quint8 remoteRole_ = 0;
    qint32 remoteId_ = 0;
    // A coordinate group to read once no exchange runs; -1 when none.
    int pendingGroup_ = -1;
    QTimer* groupTimer_ = nullptr;
};

} // namespace Trelvan
