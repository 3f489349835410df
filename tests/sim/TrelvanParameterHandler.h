#pragma once

// The simulator as the parameter side of a positioning node: it answers the
// 128-byte parameter frame "54 00" as a node does. Byte 2 of a request says what it
// is: 0x08 restart (the system time starts again from 0 and the node runs its
// local mode), 0x20 calibration poll, 0x02 running-mode switch (byte 17 low
// nibble), 0x01 read (byte 36 names the coordinate group), none of them a write
// (kept, except the node's own bytes: system time, the anchor and console
// capacities and the reserved bytes). Every request is answered with the node's
// current frame. Entering calibration mode (running mode 8) forgets the measured
// anchors; each poll then measures one more, and after the last one the node
// returns to its local mode.
//
// Faults a test can switch on: silence, a damaged checksum, a reply under another
// role and id, a node that stays in its running mode or does not restart, and a filter that changes a written frame before it is kept.
// Independent of the program's own frame code on purpose.

#include "DeviceSimulator.h"

#include <QByteArray>
#include <QVector>

#include <array>
#include <atomic>
#include <functional>
#include <mutex>

namespace sim {

struct TrelvanNodeSetup
{
    quint8 role = 2;           // TAG
    quint8 id = 0;
    quint32 baudRate = 115200;
    quint8 localMode = 0;      // LP_MODE0
    quint8 protocol = 4;       // node frame 2
    quint16 refreshRate = 10;
    quint8 anchorCapacity = 8;
    quint8 consoleCapacity = 1;
};

// A node's parameter frame (command 0, sealed) for the setup: system 0, tx gain
// 33 (16.5 dB), running mode = local mode, coordinate group 0 holding the four
// anchors of TrelvanScenario and rows without anchor after them.
QByteArray trelvanParameterDefaults(const TrelvanNodeSetup& setup);

class TrelvanParameterHandler : public RequestHandler
{
public:
    static constexpr int kFrameSize = 128;
    // Anchors the node keeps coordinates for (13 groups of ten).
    static constexpr int kAnchorSlots = 130;
    static constexpr qint32 kNoAnchorMm = -8388000;

    // KeepMode: mode switches are answered but not carried out; NoRestart: restart
    // commands likewise.
    enum class Fault { None, Silent, BadChecksum, WrongNode, KeepMode, NoRestart };

    explicit TrelvanParameterHandler(const TrelvanNodeSetup& setup = TrelvanNodeSetup{});

    int handle(const QByteArray& input, const SimContext& ctx, QByteArray& reply) override;

    // The node's current frame, as a read of group 0 would answer it now.
    QByteArray parameters() const;
    // Replaces the node's frame (its coordinate rows become group byte 36's).
    void setParameters(const QByteArray& frame);
    void setFault(Fault fault) { fault_.store(fault); }
    // Changes a written frame before it is kept (a node that refuses a value).
    void setWriteFilter(std::function<void(QByteArray&)> filter);
    // Anchor slot n's position in mm (x, y, z); kNoAnchorMm when it has none.
    void setAnchor(int n, const std::array<qint32, 3>& mm);
    std::array<qint32, 3> anchor(int n) const;
    // Anchors measured by the calibration polls, from slot 0 up.
    void setCalibrationAnchors(int count) { calibrationAnchors_.store(count); }

    int reads() const { return reads_.load(); }
    int writes() const { return writes_.load(); }
    int modeSwitches() const { return modeSwitches_.load(); }
    int restarts() const { return restarts_.load(); }
    int polls() const { return polls_.load(); }
    int requests() const { return requests_.load(); }
    QByteArray lastRequest() const;
    quint32 uptimeMs() const;

private:
    QByteArray answer(quint8 group) const; // under mutex_

    mutable std::mutex mutex_;
    QByteArray frame_;
    std::array<std::array<qint32, 3>, kAnchorSlots> anchors_;
    QByteArray lastRequest_;
    std::function<void(QByteArray&)> writeFilter_;
    qint64 startNs_;
    int measured_ = 0;
    std::atomic<Fault> fault_{Fault::None};
    std::atomic<int> calibrationAnchors_{4};
    std::atomic<int> reads_{0};
    std::atomic<int> writes_{0};
    std::atomic<int> modeSwitches_{0};
    std::atomic<int> restarts_{0};
    std::atomic<int> polls_{0};
    std::atomic<int> requests_{0};
};

} // namespace sim
