#pragma once

// The positioning node that talmeno-sim plays, whole: a node whose role and local
// mode offer its output (a frame kind of TrelvanScenario, or NMEA 0183 sentences) and
// which names that output as its protocol; its radio relay, answering for remote
// nodes of the same system with parameters of their own; its attitude sensor, which
// answers the AHRS calibration at a pace a user can follow; and the output stream.

#include "AhrsCalibrationHandler.h"
#include "AoaNodeSimulator.h"
#include "PacedThread.h"
#include "TrelvanNodeSimulator.h"
#include "TrelvanRelayHandler.h"
#include "TrelvanScenario.h"

#include <QVector>

#include <memory>

namespace sim {

class TrelvanTrial
{
public:
    // The node's output: NMEA 0183 sentences (protocol 128), or else a frame kind.
    struct Output
    {
        bool nmea = false;
        TrelvanScenario::Kind kind = TrelvanScenario::Kind::NodeFrame2;
    };
    static constexpr quint8 kNmeaProtocol = 128;
    // Between two progress answers of the attitude sensor.
    static constexpr int kAhrsPaceMs = 500;

    // The node whose role and local mode offer the output, id 0: an ANCHOR in LP_MODE0
    // for anchor frame 0 and node frames 1 and 4; a TAG in LP_MODE0 for tag frame 0,
    // node frames 2 and 3 and NMEA; a NODE in DR_MODE1 for node frames 5 and 7; a
    // MASTER in DT_MODE0 for node frame 0; the AOA anchor for AOA node frame 0.
    static TrelvanNodeSetup setupFor(const Output& output, quint32 baudRate, quint16 refreshRate);
    // The model id the node reports: the AOA anchor model for AOA node frame 0.
    static int modelFor(const Output& output);
    // The remote nodes of the node's system, never at its own address: the scenario's
    // four anchors and tags 0 to 2 in an LP mode, nodes 1 to 3 in a DR mode, slaves 0
    // to 2 in a DT mode.
    static QVector<TrelvanNodeSetup> remotesFor(const TrelvanNodeSetup& local);

    TrelvanTrial(DeviceSimulator& device, const Output& output, int frameRate, quint32 baudRate);
    ~TrelvanTrial();
    TrelvanTrial(const TrelvanTrial&) = delete;
    TrelvanTrial& operator=(const TrelvanTrial&) = delete;

    // Adds the handlers and starts the output: node frame 2 at the node's own update
    // rate, NMEA not at all (the sentences are the NmeaTalker's), any other kind from
    // the scenario at the frame rate with node frame 0 and error frames between, its
    // times those of the node's clock.
    void start();
    void stop();

    TrelvanParameterHandler& parameters();
    AhrsCalibrationHandler& ahrs() { return *ahrs_; }

private:
    DeviceSimulator& device_;
    Output output_;
    TrelvanScenario scenario_;
    std::shared_ptr<TrelvanRelayHandler> relay_;
    std::shared_ptr<AhrsCalibrationHandler> ahrs_;
    std::unique_ptr<TrelvanNode> node_;
    std::unique_ptr<AoaNode> aoa_;
    int lastFrame_ = -1; // the paced thread's own
    PacedThread thread_;
};

} // namespace sim
