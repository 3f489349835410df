#pragma once

#include "link/ZSerialPortInterface.h"
#include "products/trelvan/config/ConfigTypes.h"
#include "products/trelvan/protocols/ParameterFrame.h"
#include "protocol/ProtocolBase.h"

#include <QList>
#include <QMap>
#include <QMutex>

#include <atomic>
#include <functional>

namespace Trelvan {

// The parameter frame protocol of the positioning nodes: builds the read, write,
// mode-switch, restart and calibration-poll requests, parses every reply, keeps the
// three records (last received, to be written, edited), holds the editors and the
// checks that judge a reply after an exchange, and broadcasts each reply as JSON.
//
// parseFrame runs on the processing thread; everything else on the GUI thread.
class ProtocolParameter : public InsideReadWriteProtocol, public ZSerialPortInterface
{
    Q_OBJECT
public:
    static const char* const kName; // "Vexa_Trelvan_Parameter"

    // Reply checks by operation number.
    enum ReplyCheck {
        CheckRead = 0,
        CheckWriteWithId = 1,
        CheckSystemTimeWhenRead = 2,
        CheckWrite = 3,
    };

    static ProtocolParameter* instance(QObject* parent = nullptr);
    static ProtocolParameter* existing();
    ~ProtocolParameter() override;

    void parseFrame(const QByteArray& frame) override;
    QByteArray packReadRequest() override;
    QByteArray packWriteRequest() override;
    QByteArray makeGroupReadRequest(quint8 group);
    QByteArray makeModeSwitchRequest();
    static QByteArray makeCalibrationPollRequest();
    // The running mode the mode editor asks for last (0 until it asks).
    void setRequestedRunningMode(quint8 mode) { requestedRunningMode_ = mode; }
    quint8 requestedRunningMode() const { return requestedRunningMode_; }
    // Same bytes as the AOA protocol's restart command.
    static QByteArray makeRestartCommand();
    // Switches the running mode, up to five tries of 200 ms each. True when a reply
    // carried the requested running mode.
    bool writeParameter(quint8 runningMode);

    void registerConfigItem(int index, ZConfigItemInterface* item);
    void unregisterConfigItem(ZConfigItemInterface* item);
    void loadConfigItems();
    ZConfigItemInterface* configItem(int index) const { return configItems_.value(index); }

    // Runs the reply check of operation op on the reply that was parsed last (or,
    // inside the reply handler, the reply that triggered it).
    bool runReplyCheck(int op, QString& error);
    const QMap<int, std::function<bool(QString&)>>& replyChecks() const { return replyChecks_; }

    // Whether the written fields came back, for (writeFrame's local mode, role).
    bool verifyWrittenParameter(const ParameterFrame& received, QString& error) const;
    bool verifyWrittenParameterWithId(const ParameterFrame& received, QString& error) const;

    // The last reply, role corrected; a copy (written on the processing thread).
    ParameterFrame receivedFrame() const;
    // The last reply of the node at the port: every reply but those to requests
    // relayed to remote nodes. Mode switches and the mode editor go by it.
    ParameterFrame portFrame() const;
    // Around an exchange with remote nodes through the relay: the protocol takes part
    // in frame extraction, and the replies are not the port node's.
    void setRemoteExchange(bool on);
    int rawRole() const;
    // Replies parsed so far (tells a newly received reply from one shown before).
    quint64 replyCount() const { return replyCount_.load(); }
    // Waits in a local event loop until a reply parsed after `before` (a replyCount()
    // taken before the request was written) is done, or timeoutMs pass. The late
    // signal of an earlier exchange's reply does not end the wait. With announced set
    // the wait is for dataFrameReceived, else for dataParseFinished. True when the
    // reply came.
    bool waitForReplyAfter(quint64 before, int timeoutMs, bool announced);
    // Longest wait for the announcement of a reply that came in time, while the
    // protocol switch it makes (this program's own work) still runs.
    static constexpr int kSwitchWaitMs = 30000;
    // GUI thread: the record a write sends and the record the editors show.
    ParameterFrame& writeFrame() { return writeFrame_; }
    ParameterFrame& backupFrame() { return backupFrame_; }
    // The setting window copies the last reply into the edited record.
    void copyReceivedToBackup() { backupFrame_ = receivedFrame(); }

    void setWaitingForReply(bool waiting) { waitingForReply_.store(waiting ? 1 : 0); }
    bool isWaitingForReply() const { return waitingForReply_.load() != 0; }

    // The JSON text of a reply: {"param_frame":{...16 keys...}}, compact, keys sorted.
    static QByteArray udpJson(const ParameterFrame& frame);

    // Parent of the data protocols that a reply loads (the product handle).
    static void setDataProtocolOwner(QObject* owner);

signals:
    // A reply arrived while the setting window waited for it.
    void dataFrameReceived();

private:
    explicit ProtocolParameter(QObject* parent);
    // The reply the current check judges, and its role byte as the node sent it.
    ParameterFrame checkedFrame() const;
    int checkedRawRole() const;
    void dispatchReply();
    bool checkWriteReply(bool withId, QString& error);
    bool checkReadReply(QString& error);
    bool checkSystemTimeWhenRead(QString& error);

    mutable QMutex mutex_;
    ParameterFrame receivedFrame_;
    ParameterFrame portFrame_;
    int rawRole_ = 0;
    // Replies parsed but not yet handed to the reply handler, oldest first, each
    // with its role byte as received.
    struct PendingReply
    {
        ParameterFrame frame;
        int rawRole;
    };
    QList<PendingReply> pendingReplies_;

    ParameterFrame writeFrame_;
    ParameterFrame backupFrame_;
    QMap<int, std::function<bool(QString&)>> replyChecks_;
    QMap<int, ZConfigItemInterface*> configItems_;
    std::atomic<quint8> waitingForReply_{0};
    std::atomic<bool> remoteExchange_{false};
    quint8 requestedRunningMode_ = 0;
    std::atomic<quint64> replyCount_{0};
    // The replyCount() of the last reply announced (dataFrameReceived).
    std::atomic<quint64> announcedReply_{0};
    // Set while the reply handler runs for one reply.
    const ParameterFrame* dispatched_ = nullptr;
    int dispatchedRawRole_ = 0;
};

} // namespace Trelvan
