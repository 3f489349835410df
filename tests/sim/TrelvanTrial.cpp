#include "TrelvanTrial.h"

namespace sim {

namespace {

using Kind = TrelvanScenario::Kind;

enum Role : quint8 { Node = 0, Anchor = 1, Tag = 2, Master = 4, Slave = 5 };
enum LocalMode : quint8 { LpMode0 = 0, DtMode0 = 3, DrMode1 = 6, DrMode0 = 10 };

constexpr quint16 kRemoteRefreshRate = 10;
// Output the port has not taken yet beyond which the stream is dropped, as a serial
// line drops what nobody reads.
constexpr int kBacklogBytes = 64 * 1024;

bool isLpMode(quint8 mode)
{
    return mode <= 2 || (mode >= 11 && mode <= 14);
}

// The frame key of a kind: its second head byte, which the node names as protocol.
quint8 protocolOf(Kind kind)
{
    return quint8(TrelvanScenario(1).frameAt(kind, 0).at(1));
}

} // namespace

TrelvanNodeSetup TrelvanTrial::setupFor(const Output& output, quint32 baudRate, quint16 refreshRate)
{
    TrelvanNodeSetup s;
    s.id = 0;
    s.baudRate = baudRate;
    s.refreshRate = refreshRate;
    s.localMode = LpMode0;
    s.protocol = output.nmea ? kNmeaProtocol : protocolOf(output.kind);
    if (output.nmea) {
        s.role = Tag;
        return s;
    }
    switch (output.kind) {
    case Kind::AnchorFrame0:
    case Kind::NodeFrame1:
    case Kind::NodeFrame4:
    case Kind::AoaNodeFrame0:
        s.role = Anchor;
        break;
    case Kind::TagFrame0:
    case Kind::NodeFrame2:
    case Kind::NodeFrame3:
        s.role = Tag;
        break;
    case Kind::NodeFrame5:
    case Kind::NodeFrame7:
        s.role = Node;
        s.localMode = DrMode1;
        break;
    case Kind::NodeFrame0:
        s.role = Master;
        s.localMode = DtMode0;
        break;
    }
    return s;
}

int TrelvanTrial::modelFor(const Output& output)
{
    return !output.nmea && output.kind == Kind::AoaNodeFrame0 ? AoaNode::kAnchorModel : 1;
}

QVector<TrelvanNodeSetup> TrelvanTrial::remotesFor(const TrelvanNodeSetup& local)
{
    QVector<TrelvanNodeSetup> all;
    const auto add = [&](quint8 role, int firstId, int count, quint8 protocol) {
        for (int id = firstId; id < firstId + count; ++id) {
            TrelvanNodeSetup r = local;
            r.role = role;
            r.id = quint8(id);
            r.protocol = protocol;
            r.refreshRate = kRemoteRefreshRate;
            if (role != local.role || r.id != local.id)
                all.append(r);
        }
    };
    if (isLpMode(local.localMode)) {
        add(Anchor, 0, TrelvanScenario::kAnchors, protocolOf(Kind::AnchorFrame0));
        add(Tag, 0, TrelvanScenario::kTags, protocolOf(Kind::NodeFrame2));
    } else if (local.localMode == DrMode0 || local.localMode == DrMode1) {
        add(Node, 1, 3, local.protocol);
    } else if (local.localMode >= DtMode0 && local.localMode <= DtMode0 + 2) {
        add(Slave, 0, 3, local.protocol);
    }
    return all;
}

TrelvanTrial::TrelvanTrial(DeviceSimulator& device, const Output& output, int frameRate, quint32 baudRate)
    : device_(device)
    , output_(output)
    , scenario_(frameRate)
    , relay_(std::make_shared<TrelvanRelayHandler>(device))
    , ahrs_(std::make_shared<AhrsCalibrationHandler>())
{
    const TrelvanNodeSetup setup = setupFor(output, baudRate, quint16(frameRate));
    for (const TrelvanNodeSetup& remote : remotesFor(setup))
        relay_->addNode(remote);
    ahrs_->setPace(device, kAhrsPaceMs);
    if (modelFor(output) == AoaNode::kAnchorModel)
        aoa_.reset(new AoaNode(device, AoaNode::kAnchorModel, baudRate));
    else
        node_.reset(new TrelvanNode(device, setup, modelFor(output)));
    if (!output.nmea && output.kind == Kind::NodeFrame0)
        scenario_.setNodeFrame0Roles(qint8(Master), qint8(Slave));
    scenario_.setSenderRole(qint8(setup.role));
}

TrelvanTrial::~TrelvanTrial()
{
    stop();
}

TrelvanParameterHandler& TrelvanTrial::parameters()
{
    return aoa_ ? aoa_->parameters() : node_->parameters();
}

void TrelvanTrial::start()
{
    device_.addHandler(relay_);
    device_.addHandler(ahrs_);
    const bool ownStream = !output_.nmea && output_.kind == Kind::NodeFrame2;
    if (aoa_)
        aoa_->start(false);
    else
        node_->start(ownStream);
    if (!output_.nmea && !ownStream && !thread_.isRunning()) {
        lastFrame_ = -1;
        thread_.start([this] { return scenario_.rateHz(); }, [this] {
            lastFrame_ = scenario_.frameNow(thread_.elapsedMs(), lastFrame_);
            if (device_.isRunning() && device_.unsentOutput() < kBacklogBytes)
                device_.send(scenario_.mixedStream(output_.kind, lastFrame_, 1));
        });
    }
}

void TrelvanTrial::stop()
{
    thread_.stop();
    if (aoa_)
        aoa_->stop();
    if (node_)
        node_->stop();
}

} // namespace sim
