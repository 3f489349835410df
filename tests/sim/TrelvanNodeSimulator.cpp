#include "TrelvanNodeSimulator.h"

#include "TrelvanScenario.h"

#include <chrono>

namespace sim {

TrelvanNode::TrelvanNode(DeviceSimulator& device, const TrelvanNodeSetup& setup, int modelId)
    : device_(device)
    , parameters_(std::make_shared<TrelvanParameterHandler>(setup))
{
    info_.modelId = quint8(modelId);
    info_.productType = 0;
    info_.baudRate = qint32(setup.baudRate);
    info_.role = qint8(setup.role);
    info_.id = setup.id;
    system_ = std::make_shared<SystemFrameHandler>(systemFrameReply(info_));
}

TrelvanNode::~TrelvanNode()
{
    stop();
}

void TrelvanNode::start(bool stream)
{
    device_.setDeviceRate(int(info_.baudRate));
    device_.addHandler(system_);
    device_.addHandler(parameters_);
    if (!stream || thread_.joinable())
        return;
    quit_.store(false);
    thread_ = std::thread([this] { run(); });
}

void TrelvanNode::stop()
{
    quit_.store(true);
    if (thread_.joinable())
        thread_.join();
}

void TrelvanNode::run()
{
    const TrelvanScenario scenario(100);
    int n = 0;
    auto next = std::chrono::steady_clock::now();
    while (!quit_.load()) {
        const QByteArray p = parameters_->parameters();
        const quint16 rate = quint16(quint8(p[10]) | quint8(p[11]) << 8);
        const int hz = rate == 0 ? 10 : qMin<int>(rate, 1000);
        next += std::chrono::microseconds(1000000 / hz);
        std::this_thread::sleep_until(next);
        if (quit_.load())
            break;
        const auto now = std::chrono::steady_clock::now();
        if (now - next > std::chrono::milliseconds(200))
            next = now; // no burst to catch up after a pause
        // A written rate becomes the node's rate (and what its system frame reports).
        const int baud = int(quint32(quint8(p[5])) | quint32(quint8(p[6])) << 8 | quint32(quint8(p[7])) << 16);
        if (baud > 0 && baud != device_.deviceRate()) {
            device_.setDeviceRate(baud);
            info_.baudRate = baud;
            system_->setReply(systemFrameReply(info_));
        }
        const quint8 running = quint8(p[17]) & 0x0F;
        const bool streaming = running != 3 && running != 8 && quint8(p[19]) == 4;
        if (!streaming || !device_.isRunning() || device_.portRate() != device_.deviceRate())
            continue;
        NodeFrame2Fields fields = scenario.nodeFrame2Fields(n);
        fields.role = quint8(p[3]);
        fields.id = quint8(p[9]);
        device_.send(nodeFrame2(fields));
        ++n;
        framesSent_.store(quint64(n));
    }
}

} // namespace sim
