#pragma once
// The simulator as a node's attitude sensor during calibration: it answers the
// 32-byte frame "53 00". A read request (byte 2 bit 0) gets the current state. The
// gyroscope start (byte 3 = 1) is answered "in progress", then "done"; an
// accelerometer step s (byte 5 = s, 0..5) sets bit s; each magnetometer start
// (byte 7 = 1) first answers unchanged, then adds the next rotation bit (0, 1, 2).
// Finish commands (gyroscope 2, accelerometer 8, magnetometer 2) are answered with
// the state as it is. Failure scripts answer with the failure instead. Unpaced, every
// answer comes at once; paced, progress takes time as on a real sensor: the
// gyroscope reports "in progress" once more after one pace and "done" after two, an
// accelerometer direction is done after one pace, a magnetometer rotation after two.
// Independent of the program's own frame code on purpose.
#include "DelayedSender.h"
#include "DeviceSimulator.h"

#include <QByteArray>
#include <QList>

#include <atomic>
#include <memory>
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
    // Progress answers go to the device paceMs apart (0: at once). Set before use.
    void setPace(DeviceSimulator& device, int paceMs);
    // Every command frame received (read requests too), in order.
    QList<QByteArray> commands() const;
    void clear();

private:
    QByteArray frame(quint8 gyro, quint8 acc, quint8 mag) const;
    // A progress answer: into reply when unpaced, else sent `paces` paces from now.
    void progress(QByteArray& reply, const QByteArray& answer, int paces);

    mutable std::mutex mutex_;
    QList<QByteArray> commands_;
    quint8 gyroStatus_ = 0;
    quint8 accFlags_ = 0;
    quint8 magFlags_ = 0;
    int magRotations_ = 0;
    std::atomic<Script> script_{Script::Normal};
    std::unique_ptr<DelayedSender> later_;
    int paceMs_ = 0;
};

} // namespace sim
