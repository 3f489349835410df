#include "AoaNodeSimulator.h"

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
    if (stream && !thread_.isRunning()) {
        lastFrame_ = -1;
        thread_.start([this] { return TrelvanNode::updateRateOf(parameters().parameters()); }, [this] { step(); });
    }
}

void AoaNode::stop()
{
    thread_.stop();
    node_.stop();
}

void AoaNode::step()
{
    const QByteArray p = parameters().parameters();
    if (quint8(p[19]) != kAoaNodeFrameProtocol || !device_.isRunning() || device_.portRate() != device_.deviceRate())
        return;
    lastFrame_ = scenario_.frameNow(thread_.elapsedMs(), lastFrame_);
    RangeFrameFields fields = scenario_.aoaNodeFrame0Fields(lastFrame_);
    fields.role = quint8(p[3]);
    fields.id = quint8(p[9]);
    device_.send(aoaNodeFrame0(fields));
    ++framesSent_;
}

} // namespace sim
