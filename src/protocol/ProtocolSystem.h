#pragma once

#include "protocol/ProtocolBase.h"
#include "protocol/SystemInfoFrame.h"

#include <QMutex>
#include <QVersionNumber>

// The 32-byte system frame: packs the read and write commands and decodes the
// device's reply. The reply is decoded on the processing thread and read on the
// GUI thread, so the received frame and version are kept under a lock.
class ProtocolSystem : public InsideReadWriteProtocol
{
    Q_OBJECT
public:
    static ProtocolSystem* instance(QObject* parent = nullptr);
    ~ProtocolSystem() override;

    QByteArray packReadRequest() override;
    QByteArray packWriteRequest() override;
    void parseFrame(const QByteArray& frame) override;

    SystemInfoFrame receivedFrame() const;
    // Where the received frame began in the stream handed to the frame search
    // (ExtractedFrame::streamOffset); -1 when unknown.
    qint64 receivedStreamOffset() const;
    QVersionNumber firmwareVersion() const;
    SystemInfoFrame writeFrame() const;
    void setWriteFrame(const SystemInfoFrame& frame);

    // The compact JSON text sent over UDP: {"system_frame":{...}} with sorted keys.
    static QByteArray udpJson(const SystemInfoFrame& frame);
    // The write packing shared by the 32-byte command protocols: clears bit 0 of
    // byte 2 and writes the 8-bit sum of bytes 0..30 into byte 31.
    static QByteArray packWriteFrame(QByteArray frame);

private:
    explicit ProtocolSystem(QObject* parent);

    mutable QMutex mutex_;
    SystemInfoFrame receivedFrame_ = SystemInfoFrame::defaultFrame();
    qint64 receivedStreamOffset_ = -1;
    SystemInfoFrame writeFrame_ = SystemInfoFrame::defaultFrame();
    QVersionNumber firmwareVersion_;
};
