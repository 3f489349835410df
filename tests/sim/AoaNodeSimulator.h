#pragma once

// The simulator as an AOA node (product type 0, model 15 anchor or 16 tag): the
// system frame and parameter frame of a positioning node (TrelvanNode) with the AOA
// node frame as its protocol, the calibration frame (AoaCalibrationHandler), and
// AOA node frame 0 of TrelvanScenario streamed at the update rate while the port
// runs at the node's rate.

#include "AoaCalibrationHandler.h"
#include "PacedThread.h"
#include "TrelvanNodeSimulator.h"

#include <atomic>
#include <memory>

namespace sim {

class AoaNode
{
public:
    static constexpr quint8 kAnchorModel = 15;
    static constexpr quint8 kTagModel = 16;

    // The node's setup for a model: anchor 0 (model 15) or tag 0 (model 16), the AOA
    // node frame as protocol.
    static TrelvanNodeSetup setupFor(int modelId, quint32 baudRate);

    AoaNode(DeviceSimulator& device, int modelId, quint32 baudRate);
    ~AoaNode();
    AoaNode(const AoaNode&) = delete;
    AoaNode& operator=(const AoaNode&) = delete;

    void start(bool stream = true);
    void stop();

    TrelvanParameterHandler& parameters() { return node_.parameters(); }
    AoaCalibrationHandler& calibration() { return *calibration_; }
    quint64 framesSent() const { return framesSent_.load(); }

private:
    void step();

    DeviceSimulator& device_;
    TrelvanNode node_;
    std::shared_ptr<AoaCalibrationHandler> calibration_;
    // Frame n at n ms: the frames follow the node's clock at any update rate.
    const TrelvanScenario scenario_{1000};
    int lastFrame_ = -1; // the paced thread's own
    std::atomic<quint64> framesSent_{0};
    PacedThread thread_;
};

} // namespace sim
