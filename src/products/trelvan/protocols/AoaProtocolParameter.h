#pragma once

#include "link/ZSerialPortInterface.h"
#include "products/trelvan/protocols/ParameterFrame.h"
#include "protocol/ProtocolBase.h"

#include <QMutex>

#include <atomic>

namespace Trelvan {

// The settings key under which a parameter reply's baud rate is remembered.
extern const char* const kRecognizedBaudrateKey; // "RecognizedBaudrate"

// The parameter frame protocol of the AOA models: packs the read request and the
// restart command, keeps the device's reply and, for a reply the setting page waits
// for, remembers the rate it reports and switches the data protocol to the AOA node
// frame. It is searched for only while active.
class AoaProtocolParameter : public InsideReadWriteProtocol, public ZSerialPortInterface
{
    Q_OBJECT
public:
    static const char* const kName; // "Vexa_Trelvan_AOA_Parameter"

    // Creates the protocol on the first call; later calls ignore the parent.
    static AoaProtocolParameter* instance(QObject* parent = nullptr);
    static AoaProtocolParameter* existing();
    ~AoaProtocolParameter() override;

    void parseFrame(const QByteArray& frame) override;
    // The default record with the read bit set, sealed.
    QByteArray packReadRequest() override;
    // The default record with the restart bit set, sealed.
    static QByteArray makeRestartCommand();

    // The last reply (the default record before the first).
    ParameterFrame receivedFrame() const;

    // Set by the setting page while it waits for the reply to a request of its own.
    void setWaitingForReply(bool waiting) { waitingForReply_.store(waiting); }
    bool isWaitingForReply() const { return waitingForReply_.load(); }

signals:
    // Once per reply that came while waited for, after it was stored and the data
    // protocol switched.
    void dataFrameReceived();

private:
    explicit AoaProtocolParameter(QObject* parent);

    // Written on the processing thread, read by the setting page.
    mutable QMutex mutex_;
    ParameterFrame receivedFrame_;
    std::atomic<bool> waitingForReply_{false};
};

} // namespace Trelvan
