#pragma once

#include "protocol/ProtocolBase.h"

#include <QByteArray>
#include <QMutex>

#include <array>

namespace Trelvan {

// The 32-byte frame of the attitude sensor's calibration (head 53 00), the same
// layout for commands and replies; the last byte is the sum of the others.
struct AhrsCalibrationFrame
{
    static constexpr int kSize = 32;
    static constexpr quint8 kNoAccCommand = 6;
    static constexpr quint8 kAccFinish = 8;

    // 53 00 00 00 00 06 and zeros.
    AhrsCalibrationFrame();
    static AhrsCalibrationFrame fromBytes(const QByteArray& bytes);

    quint8 command() const { return bytes[2]; }
    quint8 gyroCommand() const { return bytes[3]; }
    quint8 gyroStatus() const { return bytes[4]; }
    quint8 accCommand() const { return bytes[5]; }
    quint8 accFlags() const { return bytes[6]; }
    quint8 magCommand() const { return bytes[7]; }
    quint8 magFlags() const { return bytes[8]; }

    // Writes the sum of bytes 0-30 into byte 31.
    void seal();
    QByteArray toByteArray() const;

    // The frames the program sends.
    static QByteArray readRequest();
    static QByteArray gyroCommandFrame(quint8 c);
    static QByteArray accCommandFrame(quint8 c);
    static QByteArray magCommandFrame(quint8 c);

    std::array<quint8, kSize> bytes;
};

// The calibration exchange with the node's attitude sensor. Every reply is handed
// on as its own copy (replyReceived), so none is torn or lost when replies come
// faster than the window handles them.
class ProtocolAhrsCalibration : public InsideReadWriteProtocol
{
    Q_OBJECT
public:
    static ProtocolAhrsCalibration* instance(QObject* parent = nullptr);
    ~ProtocolAhrsCalibration() override;

    void parseFrame(const QByteArray& frame) override;
    QByteArray packReadRequest() override;
    QByteArray packWriteRequest() override;

    AhrsCalibrationFrame receivedFrame() const;
    AhrsCalibrationFrame writeFrame() const;
    void setWriteFrame(const AhrsCalibrationFrame& frame);

signals:
    // One per parsed reply, in arrival order, with that reply's 32 bytes.
    void replyReceived(const QByteArray& frame);

private:
    explicit ProtocolAhrsCalibration(QObject* parent);

    mutable QMutex mutex_;
    AhrsCalibrationFrame received_;
    AhrsCalibrationFrame write_;
};

} // namespace Trelvan
