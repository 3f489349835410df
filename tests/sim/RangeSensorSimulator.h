#pragma once

// The simulator as a range sensor of the maker: it answers the system frame as any
// range product type, answers parameter reads and writes (keeping what was written),
// and, as a single-point sensor in active output mode, streams range frames at the
// refresh rate of its parameters while the port runs at its own line rate; as a
// multi-zone sensor in active output mode, it streams zone frames of the pixel mode
// of its parameters (4 x 4 or 8 x 8) at its zone rate.

#include "DeviceSimulator.h"
#include "PacedThread.h"

#include <QByteArray>

#include <atomic>
#include <functional>
#include <vector>
#include <memory>
#include <mutex>

namespace sim {

// One 16-byte range frame "57 00".
QByteArray rangeFrame(quint32 systemTime, qint32 distanceMm, quint8 status, quint16 signalStrength,
                      quint8 precisionCm);

// Whether a product type is one of the multi-zone sensors (8 to 10, 12, 13).
bool isMultiZoneType(int productType);

// One zone of a zone frame.
struct ZoneValue
{
    qint32 distanceUm = 0; // signed 24-bit, micrometres
    quint8 status = 0;
    quint16 strength = 0;
};

// One zone frame "57 01": pixelMode 1 gives 16 zones (112 bytes), 0 gives 64 (400);
// zones beyond the values given are zero, reserved bytes are filled with `reserved`.
QByteArray zoneFrame(int pixelMode, quint8 id, quint32 systemTime, const std::vector<ZoneValue>& zones,
                     quint8 reserved = 0);

// The parameter frame a fresh sensor of that type keeps (function 0, sealed): id 1,
// UART at deviceRate, active output; single-point types long range, FOV 27/27, band
// 0/100, refresh 100 Hz, filter factor 5 on the types that have one.
QByteArray rangeParameterDefaults(int productType, qint32 deviceRate);

// Answers the 32-byte parameter frame "54 20": function 1 reads, 0 writes; both
// are answered with the kept frame (system time filled in, function 0).
class RangeParameterHandler : public RequestHandler
{
public:
    RangeParameterHandler(int productType, qint32 deviceRate);

    int handle(const QByteArray& input, const SimContext& ctx, QByteArray& reply) override;

    QByteArray parameters() const;
    void setParameters(const QByteArray& frame);
    int readRequests() const { return reads_.load(); }
    int writeRequests() const { return writes_.load(); }
    QByteArray lastWriteFrame() const;
    // Changes a written frame before it is kept (a device that refuses a value).
    void setWriteFilter(std::function<void(QByteArray&)> filter);
    // While silent, requests are taken but not answered.
    void setSilent(bool silent) { silent_.store(silent); }
    quint32 uptimeMs() const;

private:
    int productType_;
    mutable std::mutex mutex_;
    QByteArray frame_;
    QByteArray lastWrite_;
    std::function<void(QByteArray&)> writeFilter_;
    std::atomic<int> reads_{0};
    std::atomic<int> writes_{0};
    std::atomic<bool> silent_{false};
    qint64 startNs_;
};

// A complete range sensor on a DeviceSimulator: system-frame and parameter handlers
// and, for single-point types, the range-frame stream.
class RangeSensor
{
public:
    RangeSensor(DeviceSimulator& device, int productType, qint32 deviceRate = 115200, int modelId = 0);
    ~RangeSensor();
    RangeSensor(const RangeSensor&) = delete;
    RangeSensor& operator=(const RangeSensor&) = delete;

    // Adds the handlers, sets the device's rate and starts the stream thread.
    void start();
    void stop();

    RangeParameterHandler& parameters() { return *parameters_; }
    std::shared_ptr<SystemFrameHandler> systemHandler() const { return system_; }
    quint64 framesSent() const { return framesSent_.load(); }
    // The distance of frame n in mm: a slow wave around 1.5 m, so that charts move.
    static qint32 distanceOf(quint64 n);

    // Zone frames per second of a multi-zone sensor (15 by default); kept below
    // what the line carries at the sensor's rate.
    void setZoneRate(int hz);
    int zoneRate() const { return zoneRate_.load(); }
    // Zone frames sent, and how many of them had 16 zones.
    quint64 zoneFramesSent() const { return framesSent_.load(); }
    quint64 smallZoneFramesSent() const { return smallFramesSent_.load(); }
    // Zone `zone` of frame n on a side x side grid: a slowly moving slanted
    // surface of about 1 to 3 m, strengths varying over the grid, statuses 0..255.
    static ZoneValue zoneValueOf(quint64 n, int zone, int side);
    // The frame n as the sensor sends it for a pixel mode.
    static QByteArray zoneFrameOf(quint64 n, int pixelMode, quint8 id, quint32 systemTime);

private:
    // One range frame, or one zone frame; the rate of the next.
    int rangeRate() const;
    void sendRange();
    int zoneRateNow() const;
    void sendZones();

    DeviceSimulator& device_;
    int productType_;
    qint32 deviceRate_;
    std::shared_ptr<SystemFrameHandler> system_;
    std::shared_ptr<RangeParameterHandler> parameters_;
    std::atomic<quint64> framesSent_{0};
    std::atomic<quint64> smallFramesSent_{0};
    std::atomic<int> zoneRate_{15};
    PacedThread thread_;
};

} // namespace sim
