#pragma once
// The simulator as a node's attitude sensor during calibration: it answers the
// 32-byte frame "53 00". A read request (byte 2 bit 0) gets the current state. The
// gyroscope start (byte 3 = 1) is answered "in progress", then "done"; an
// accelerometer step s (byte 5 = s, 0..5) sets bit s; each magnetometer start
// (byte 7 = 1) first answers unchanged, then adds the next rotation bit (0, 1, 2).
// Finish commands (gyroscope 2, accelerometer 8, magnetometer 2) are answered with
// the state as it is. Failure scripts answer with the failure instead.
// Independent of the program's own frame code on purpose.
#include "DeviceSimulator.h"

#include <QByteArray>
#include <QList>

#include <atomic>
#include <mutex>

namespace sim {

class AhrsCalibrationHandler : public RequestHandler
{
public:
    static constexpr int kFrameSize = 32;
    // GyroError: gyroscope status 2; AccNotStill / AccNotAligned: accelerometer bit 6 / 7;
    // MagFailed: magnetometer bit 3.
    enum class Script { Normal, GyroError, AccNotStill, AccNotAligned, MagFailed };

    int handle(const QByteArray& input, const SimContext& ctx, QByteArray& reply) override;

    void setScript(Script script) { script_.store(script); }
    // Every command frame received (read requests too), in order.
    QList<QByteArray> commands() const;
    void clear();

private:
    QByteArray frame(quint8 gyro, quint8 acc, quint8 mag) const;

    mutable std::mutex mutex_;
    QList<QByteArray> commands_;
    quint8 gyroStatus_ = 0;
    quint8 accFlags_ = 0;
    quint8 magFlags_ = 0;
    int magRotations_ = 0;
    std::atomic<Script> script_{Script::Normal};
};

} // namespace sim
