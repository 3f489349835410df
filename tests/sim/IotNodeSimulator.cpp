#include "IotNodeSimulator.h"

#include "ProductReplies.h"

#include <algorithm>
#include <chrono>
#include <cmath>

namespace sim {

namespace {
constexpr int kFrameLength = 160;
constexpr int kFirstSlot = 6;
constexpr int kSlotSize = 14;

void put24(QByteArray& f, int o, qint32 v)
{
    const quint32 u = static_cast<quint32>(v) & 0xFFFFFFu;
    f[o] = char(u & 0xFF);
    f[o + 1] = char((u >> 8) & 0xFF);
    f[o + 2] = char((u >> 16) & 0xFF);
}

void put32(QByteArray& f, int o, quint32 v)
{
    for (int i = 0; i < 4; ++i)
        f[o + i] = char((v >> (8 * i)) & 0xFF);
}
} // namespace

QByteArray iotFrame(const IotSlots& nodes, quint32 tag)
{
    QByteArray f(kFrameLength, '\0');
    f[0] = char(0x55);
    f[1] = char(0x01);
    put32(f, 2, tag);
    for (const auto& slotNode : nodes) {
        if (slotNode.first < 0 || slotNode.first >= 10)
            continue;
        const int o = kFirstSlot + kSlotSize * slotNode.first;
        const IotNodeRecord& r = slotNode.second;
        put32(f, o, r.id);
        f[o + 4] = char(r.cnt);
        put24(f, o + 5, r.disMm);
        put24(f, o + 8, r.aoaH);
        put24(f, o + 11, r.aoaV);
    }
    sealSum8(f);
    return f;
}

const std::vector<quint32>& IotNode::sceneIds()
{
    // 0x0101 and 0x0201 share their low byte; 0x80000005 is negative as an int.
    static const std::vector<quint32> ids{0x0101, 0x0201, 0x1A, 0x80000005u, 0x9};
    return ids;
}

IotSlots IotNode::scene(quint64 n)
{
    IotSlots nodes;
    const std::vector<quint32>& ids = sceneIds();
    // Every 100 frames the nodes move between the even and the odd slots.
    const int shift = int((n / 100) % 2);
    for (size_t k = 0; k < ids.size(); ++k) {
        // Node k is away for 10 frames of every 100, one node after the other.
        const quint64 phase = n % 100;
        if (phase >= 20 * k && phase < 20 * k + 10)
            continue;
        const double t = double(n);
        IotNodeRecord r;
        r.id = ids[k];
        r.cnt = quint8(n & 0xFF);
        r.disMm = 1500 + int(k) * 700 + qint32(std::lround(500.0 * std::sin(t / 20.0 + double(k))));
        r.aoaH = qint32(std::lround(30000.0 * std::sin(t / 30.0 + double(k))));
        r.aoaV = qint32(std::lround(-10000.0 * std::cos(t / 25.0 + double(k))));
        nodes.emplace_back(int(2 * k) + shift, r);
    }
    return nodes;
}

IotNode::IotNode(DeviceSimulator& device, int hz, qint32 deviceRate, int series)
    : device_(device)
    , hz_(std::max(1, hz))
    , deviceRate_(deviceRate)
    , system_(productHandler(kProductType, series, deviceRate))
{
}

IotNode::~IotNode()
{
    stop();
}

void IotNode::start()
{
    device_.setDeviceRate(deviceRate_);
    device_.addHandler(system_);
    if (thread_.joinable())
        return;
    quit_.store(false);
    thread_ = std::thread([this] { run(); });
}

void IotNode::stop()
{
    quit_.store(true);
    if (thread_.joinable())
        thread_.join();
}

void IotNode::run()
{
    quint64 n = framesSent_.load();
    auto next = std::chrono::steady_clock::now();
    while (!quit_.load()) {
        next += std::chrono::microseconds(1000000 / hz_);
        std::this_thread::sleep_until(next);
        if (quit_.load())
            break;
        const auto now = std::chrono::steady_clock::now();
        if (now - next > std::chrono::milliseconds(200))
            next = now; // never burst to catch up after a pause
        // The node talks at its own rate only: at another rate the port would see noise.
        if (!device_.isRunning() || (deviceRate_ > 0 && device_.portRate() != deviceRate_))
            continue;
        device_.send(frame(n));
        ++n;
        framesSent_.store(n);
    }
}

} // namespace sim
