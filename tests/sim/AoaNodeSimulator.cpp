#include "AoaNodeSimulator.h"

#include "TrelvanScenario.h"

#include <chrono>

namespace sim {

namespace {
constexpr quint8 kAoaNodeFrameProtocol = 7;
}

TrelvanNodeSetup AoaNode::setupFor(int modelId, quint32 baudRate)
{
    TrelvanNodeSetup setup;
    setup.role = modelId == kTagModel ? 2 : 1;
    setup.id = 0;
    setup.baudRate = baudRate;
    setup.protocol = kAoaNodeFrameProtocol;
    setup.refreshRate = 10;
    return setup;
}

AoaNode::AoaNode(DeviceSimulator& device, int modelId, quint32 baudRate)
    : device_(device)
    , node_(device, setupFor(modelId, baudRate), modelId)
    , calibration_(std::make_shared<AoaCalibrationHandler>())
{
}

AoaNode::~AoaNode()
{
    stop();
}

void AoaNode::start(bool stream)
{
    node_.start(false);
    device_.addHandler(calibration_);
    if (!stream || thread_.joinable())
        return;
    quit_.store(false);
    thread_ = std::thread([this] { run(); });
}

void AoaNode::stop()
{
    quit_.store(true);
    if (thread_.joinable())
        thread_.join();
    node_.stop();
}

void AoaNode::run()
{
    const TrelvanScenario scenario(100);
    int n = 0;
    auto next = std::chrono::steady_clock::now();
    while (!quit_.load()) {
        const QByteArray p = parameters().parameters();
        const quint16 rate = quint16(quint8(p[10]) | quint8(p[11]) << 8);
        const int hz = rate == 0 ? 10 : qMin<int>(rate, 1000);
        next += std::chrono::microseconds(1000000 / hz);
        std::this_thread::sleep_until(next);
        if (quit_.load())
            break;
        const auto now = std::chrono::steady_clock::now();
        if (now - next > std::chrono::milliseconds(200))
            next = now;
        if (quint8(p[19]) != kAoaNodeFrameProtocol || !device_.isRunning()
            || device_.portRate() != device_.deviceRate())
            continue;
        RangeFrameFields fields = scenario.aoaNodeFrame0Fields(n);
        fields.role = quint8(p[3]);
        fields.id = quint8(p[9]);
        device_.send(aoaNodeFrame0(fields));
        framesSent_.store(quint64(++n));
    }
}

} // namespace sim
