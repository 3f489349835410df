#pragma once

// The simulator as the maker's UWB analyser: it answers the system frame as product
// type 19 or 20, answers the 56-byte settings frame "78 00" (a read with the kept
// settings, a write with the settings written, which it then keeps), and streams a
// status frame "7A 00" every "period" seconds and, for each enabled chip, receive
// frames "7A 01" at about 20 Hz with varying diagnostics and payloads.

#include "DeviceSimulator.h"

#include <QByteArray>

#include <atomic>
#include <memory>
#include <mutex>
#include <thread>

namespace sim {

// The 56-byte settings frame a fresh analyser keeps (command 0, sealed): baud rate
// deviceRate, period 1 s, radix 100, chips 0 and 2 enabled, detect mode 1,
// threshold 50, each chip a valid radio configuration of its type.
QByteArray analyserParameterDefaults(qint32 deviceRate);

// One receive frame "7A 01" of 51 + payload.size() bytes.
struct AnalyserReceive
{
    quint8 chip = 0;
    quint32 systemTime = 0;
    quint64 rxTime = 0;
    quint8 fpRssi = 0;
    quint8 rxRssi = 0;
    quint16 fpIndex = 0;
    quint16 fpAmpl = 0;
    quint16 pkIndex = 0;
    quint16 pkAmpl = 0;
    quint8 idiff = 0;
    quint8 luep = 0;
    quint8 mc = 0;
    quint8 prNlos = 0;
    quint8 cl = 0;
    float hwClockOffset = 0.0f;
    QByteArray payload;
};
QByteArray analyserReceiveFrame(const AnalyserReceive& r);

// One status frame "7A 00" (88 bytes); per chip: status, plr, five counters.
struct AnalyserChipStatus
{
    quint8 status = 0;
    quint16 plr = 0;
    quint16 counters[5] = {0, 0, 0, 0, 0};
};
QByteArray analyserStatusFrame(quint32 systemTime, quint16 voltage, const AnalyserChipStatus chips[4]);

class AnalyserParameterHandler : public RequestHandler
{
public:
    explicit AnalyserParameterHandler(qint32 deviceRate);

    int handle(const QByteArray& input, const SimContext& ctx, QByteArray& reply) override;

    QByteArray parameters() const;
    void setParameters(const QByteArray& frame);
    int readRequests() const { return reads_.load(); }
    int writeRequests() const { return writes_.load(); }
    QByteArray lastWriteFrame() const;
    // While silent, requests are taken but not answered.
    void setSilent(bool silent) { silent_.store(silent); }

private:
    mutable std::mutex mutex_;
    QByteArray frame_;
    QByteArray lastWrite_;
    std::atomic<int> reads_{0};
    std::atomic<int> writes_{0};
    std::atomic<bool> silent_{false};
};

class Analyser
{
public:
    // The first rx_time of each chip: a little over a second before the 40-bit
    // radio clock wraps, so that every run sees the wrap.
    static constexpr quint64 kFirstRxTime = (quint64(1) << 40) - 80000000000ull;
    static constexpr quint64 kRxTicksPerFrame = 3194880000ull; // 50 ms at 63.8976 GHz

    Analyser(DeviceSimulator& device, int productType = 19, qint32 deviceRate = 115200);
    ~Analyser();
    Analyser(const Analyser&) = delete;
    Analyser& operator=(const Analyser&) = delete;

    void start();
    void stop();
    // While silent, nothing is answered and nothing is streamed.
    void setSilent(bool silent);
    // Streams only while enabled (on by default).
    void setStreaming(bool on) { streaming_.store(on); }

    AnalyserParameterHandler& parameters() { return *parameters_; }
    quint64 statusFramesSent() const { return statusSent_.load(); }
    quint64 receiveFramesSent() const { return receiveSent_.load(); }
    // The receive frame number n of a chip, as streamed.
    static AnalyserReceive receiveOf(int chip, quint64 n, quint32 systemTime);

private:
    void run();

    DeviceSimulator& device_;
    qint32 deviceRate_;
    std::shared_ptr<SystemFrameHandler> system_;
    std::shared_ptr<AnalyserParameterHandler> parameters_;
    std::thread thread_;
    std::atomic<bool> quit_{false};
    std::atomic<bool> silent_{false};
    std::atomic<bool> streaming_{true};
    std::atomic<quint64> statusSent_{0};
    std::atomic<quint64> receiveSent_{0};
    qint64 startNs_;
};

} // namespace sim
