#include "TrelvanNodeSimulator.h"

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
    if (stream && !thread_.isRunning()) {
        lastFrame_ = -1;
        thread_.start([this] { return updateRateOf(parameters_->parameters()); }, [this] { step(); });
    }
}

void TrelvanNode::stop()
{
    thread_.stop();
}

int TrelvanNode::updateRateOf(const QByteArray& parameters)
{
    const quint16 rate = quint16(quint8(parameters[10]) | quint8(parameters[11]) << 8);
    return rate == 0 ? 10 : rate;
}

void TrelvanNode::step()
{
    const QByteArray p = parameters_->parameters();
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
        return;
    lastFrame_ = scenario_.frameNow(thread_.elapsedMs(), lastFrame_);
    NodeFrame2Fields fields = scenario_.nodeFrame2Fields(lastFrame_);
    fields.role = quint8(p[3]);
    fields.id = quint8(p[9]);
    device_.send(nodeFrame2(fields));
    ++framesSent_;
}

} // namespace sim
