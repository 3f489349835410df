#include "AhrsCalibrationHandler.h"

namespace sim {

QByteArray AhrsCalibrationHandler::frame(quint8 gyro, quint8 acc, quint8 mag) const
{
    QByteArray f(kFrameSize, '\0');
    f[0] = char(0x53);
    f[1] = char(0x00);
    f[4] = char(gyro);
    f[5] = char(6);
    f[6] = char(acc);
    f[8] = char(mag);
    sealSum8(f);
    return f;
}

void AhrsCalibrationHandler::setPace(DeviceSimulator& device, int paceMs)
{
    std::lock_guard<std::mutex> lock(mutex_);
    paceMs_ = paceMs;
    later_.reset(paceMs > 0 ? new DelayedSender(device) : nullptr);
}

void AhrsCalibrationHandler::progress(QByteArray& reply, const QByteArray& answer, int paces)
{
    if (later_)
        later_->schedule(answer, paces * paceMs_);
    else
        reply += answer;
}

int AhrsCalibrationHandler::handle(const QByteArray& input, const SimContext&, QByteArray& reply)
{
    const int found = matchSealedFrame(input, 0x53, 0x00);
    if (found <= 0)
        return found;
    const QByteArray request = input.left(kFrameSize);
    const quint8 command = quint8(request[2]);
    const quint8 gyro = quint8(request[3]);
    const quint8 acc = quint8(request[5]);
    const quint8 mag = quint8(request[7]);
    const Script script = script_.load();

    std::lock_guard<std::mutex> lock(mutex_);
    commands_.append(request);
    if (command & 0x01) {
        reply += frame(gyroStatus_, accFlags_, magFlags_);
    } else if (gyro == 1) {
        if (script == Script::GyroError) {
            reply += frame(2, accFlags_, magFlags_);
        } else {
            reply += frame(0, accFlags_, magFlags_);
            if (later_)
                progress(reply, frame(0, accFlags_, magFlags_), 1);
            gyroStatus_ = 1;
            progress(reply, frame(gyroStatus_, accFlags_, magFlags_), 2);
        }
    } else if (acc <= 5) {
        if (script == Script::AccNotStill)
            reply += frame(gyroStatus_, quint8(accFlags_ | 0x40), magFlags_);
        else if (script == Script::AccNotAligned)
            reply += frame(gyroStatus_, quint8(accFlags_ | 0x80), magFlags_);
        else {
            accFlags_ |= quint8(1u << acc);
            progress(reply, frame(gyroStatus_, accFlags_, magFlags_), 1);
        }
    } else if (mag == 1) {
        if (script == Script::MagFailed) {
            reply += frame(gyroStatus_, accFlags_, quint8(magFlags_ | 0x08));
        } else {
            reply += frame(gyroStatus_, accFlags_, magFlags_);
            if (magRotations_ < 3)
                magFlags_ |= quint8(1u << magRotations_++);
            progress(reply, frame(gyroStatus_, accFlags_, magFlags_), 2);
        }
    } else {
        // A finish command: the calibration is stored, the next one starts afresh.
        reply += frame(gyroStatus_, accFlags_, magFlags_);
        if (gyro == 2)
            gyroStatus_ = 0;
        if (acc == 8)
            accFlags_ = 0;
        if (mag == 2) {
            magFlags_ = 0;
            magRotations_ = 0;
        }
    }
    return found;
}

QList<QByteArray> AhrsCalibrationHandler::commands() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return commands_;
}

void AhrsCalibrationHandler::clear()
{
    std::lock_guard<std::mutex> lock(mutex_);
    commands_.clear();
    gyroStatus_ = accFlags_ = magFlags_ = 0;
    magRotations_ = 0;
}

} // namespace sim
