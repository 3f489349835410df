#include "AoaCalibrationHandler.h"

namespace sim {

AoaCalibrationHandler::AoaCalibrationHandler()
{
    // Item 1 (antenna delay), xtrim -1.5, delays 16400 / 16410, aoa 12.34 deg,
    // gain -3 dB, distance -0.25 m, as a node might keep them.
    kept_ = QByteArray::fromHex("01" "A2FF" "1040" "1A40" "D204" "FD" "06FF");
}

QByteArray AoaCalibrationHandler::kept() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return kept_;
}

void AoaCalibrationHandler::setKept(const QByteArray& bytes12)
{
    std::lock_guard<std::mutex> lock(mutex_);
    kept_ = bytes12.left(kKeptCount);
}

QByteArray AoaCalibrationHandler::lastRequest() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return lastRequest_;
}

int AoaCalibrationHandler::handle(const QByteArray& input, const SimContext&, QByteArray& reply)
{
    const int found = matchSealedFrame(input, 0x54, 0x03);
    if (found != kFrameSize)
        return found;
    QByteArray frame = input.left(kFrameSize);
    std::lock_guard<std::mutex> lock(mutex_);
    lastRequest_ = frame;
    if (quint8(frame[2]) == 0x01) {
        ++reads_;
    } else {
        ++writes_;
        kept_ = frame.mid(kKeptFrom, kKeptCount);
        const int changed = changedByte_.load();
        if (changed >= kKeptFrom && changed < kKeptFrom + kKeptCount)
            kept_[changed - kKeptFrom] = char(quint8(kept_[changed - kKeptFrom]) + 1);
    }
    const Fault fault = fault_.load();
    if (fault == Fault::Silent)
        return kFrameSize;
    frame.replace(kKeptFrom, kKeptCount, kept_);
    frame[kFrameSize - 1] = char(sum8(frame.constData(), kFrameSize - 1) + (fault == Fault::BadChecksum ? 1 : 0));
    reply.append(frame);
    return kFrameSize;
}

} // namespace sim
