#pragma once

// The simulator as a whole positioning node on a DeviceSimulator: it answers the
// system frame as product type 0 at its own rate, answers the parameter frame
// (TrelvanParameterHandler), and streams node frame 2 of TrelvanScenario at the
// update rate of its parameters while it runs an ordinary mode and the port runs
// at its rate. A write that changes the rate or the update rate takes effect at once.

#include "DeviceSimulator.h"
#include "PacedThread.h"
#include "TrelvanParameterHandler.h"
#include "TrelvanScenario.h"

#include <atomic>
#include <memory>

namespace sim {

class TrelvanNode
{
public:
    TrelvanNode(DeviceSimulator& device, const TrelvanNodeSetup& setup, int modelId = 1);
    ~TrelvanNode();
    TrelvanNode(const TrelvanNode&) = delete;
    TrelvanNode& operator=(const TrelvanNode&) = delete;

    // Adds the handlers; with stream set, also starts the node frame 2 stream.
    void start(bool stream = true);
    void stop();

    TrelvanParameterHandler& parameters() { return *parameters_; }
    std::shared_ptr<SystemFrameHandler> systemHandler() const { return system_; }
    quint64 framesSent() const { return framesSent_.load(); }
    // The update rate in the parameters, 10 Hz when it is 0.
    static int updateRateOf(const QByteArray& parameters);

private:
    void step();

    DeviceSimulator& device_;
    std::shared_ptr<SystemFrameHandler> system_;
    std::shared_ptr<TrelvanParameterHandler> parameters_;
    SystemInfo info_;
    // Frame n at n ms: the frames follow the node's clock at any update rate.
    const TrelvanScenario scenario_{1000};
    int lastFrame_ = -1; // the paced thread's own
    std::atomic<quint64> framesSent_{0};
    PacedThread thread_;
};

} // namespace sim
