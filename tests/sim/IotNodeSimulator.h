#pragma once

// The simulator as an iot positioning node: it answers the system frame as product
// type 11 and streams 160-byte node frames "55 01" at a chosen rate while the port
// runs at the device's own line rate. Five nodes move; they change slots now and
// then with empty slots between them, one id lies above 0x7FFFFFFF, two ids share
// their low byte, and each node in turn drops out for a few frames.

#include "DeviceSimulator.h"

#include <QByteArray>

#include <atomic>
#include <memory>
#include <thread>
#include <utility>
#include <vector>

namespace sim {

// One node slot of the frame, values as sent (24-bit fields are cut to 24 bits).
struct IotNodeRecord
{
    quint32 id = 0;
    quint8 cnt = 0;
    qint32 disMm = 0;
    qint32 aoaH = 0; // thousandths of a degree
    qint32 aoaV = 0;
};

// (slot 0..9, record); slots not named stay empty (id 0).
using IotSlots = std::vector<std::pair<int, IotNodeRecord>>;

// One sealed 160-byte node frame; bytes 2..5 carry the given tag (not read by the
// program).
QByteArray iotFrame(const IotSlots& nodes, quint32 tag = 0);

class IotNode
{
public:
    static constexpr int kProductType = 11;
    // The node ids of the scene, in the order of their place in it.
    static const std::vector<quint32>& sceneIds();

    IotNode(DeviceSimulator& device, int hz = 50, qint32 deviceRate = 921600, int series = 0);
    ~IotNode();
    IotNode(const IotNode&) = delete;
    IotNode& operator=(const IotNode&) = delete;

    // Adds the system-frame handler, sets the device's rate and starts the stream.
    void start();
    void stop();

    // The slots of frame n of the scene, in slot order; cnt is n modulo 256.
    static IotSlots scene(quint64 n);
    static QByteArray frame(quint64 n) { return iotFrame(scene(n), quint32(n)); }
    quint64 framesSent() const { return framesSent_.load(); }
    std::shared_ptr<SystemFrameHandler> systemHandler() const { return system_; }

private:
    void run();

    DeviceSimulator& device_;
    int hz_;
    qint32 deviceRate_;
    std::shared_ptr<SystemFrameHandler> system_;
    std::thread thread_;
    std::atomic<bool> quit_{false};
    std::atomic<quint64> framesSent_{0};
};

} // namespace sim
