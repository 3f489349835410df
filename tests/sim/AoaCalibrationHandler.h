#pragma once

// The simulator as the calibration side of an AOA node: it answers the 32-byte
// calibration frame "54 03". Byte 2 0x01 is a read, 0x00 a write, which keeps bytes
// 3-14 of the request; either is answered with the request carrying the kept bytes
// 3-14, sealed again. Independent of the program's own frame code on purpose.
//
// Faults a test can switch on: silence, a damaged checksum, and a node that keeps
// one written byte changed (it refuses the value).

#include "DeviceSimulator.h"

#include <QByteArray>

#include <atomic>
#include <mutex>

namespace sim {

class AoaCalibrationHandler : public RequestHandler
{
public:
    static constexpr int kFrameSize = 32;
    static constexpr int kKeptFrom = 3;
    static constexpr int kKeptCount = 12; // bytes 3-14
    enum class Fault { None, Silent, BadChecksum };

    AoaCalibrationHandler();

    int handle(const QByteArray& input, const SimContext& ctx, QByteArray& reply) override;

    // Bytes 3-14 as the node keeps them (item type first).
    QByteArray kept() const;
    void setKept(const QByteArray& bytes12);
    void setFault(Fault fault) { fault_.store(fault); }
    // A write keeps the byte at offset (3-14) one higher than sent; -1: none.
    void setChangedByte(int offset) { changedByte_.store(offset); }

    int reads() const { return reads_.load(); }
    int writes() const { return writes_.load(); }
    QByteArray lastRequest() const;

private:
    mutable std::mutex mutex_;
    QByteArray kept_;
    QByteArray lastRequest_;
    std::atomic<Fault> fault_{Fault::None};
    std::atomic<int> changedByte_{-1};
    std::atomic<int> reads_{0};
    std::atomic<int> writes_{0};
};

} // namespace sim
