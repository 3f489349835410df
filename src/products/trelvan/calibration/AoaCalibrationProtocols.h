#pragma once

#include "link/ZSerialPortInterface.h"
#include "products/trelvan/calibration/AoaCalibrationFrame.h"
#include "protocol/ProtocolBase.h"

#include <QMutex>

#include <memory>

namespace Trelvan {

// Receives the 32-byte calibration frame (54 03, fixed length, 8-bit sum) and keeps
// the last one. It packs nothing: the pages build their requests and wait for
// dataParseFinished. Active only during one exchange of its page.
class AoaCalibrationProtocol : public ProtocolBase
{
    Q_OBJECT
public:
    static const char* const kName; // "Vexa_Trelvan_AOA_Parameter"

    ~AoaCalibrationProtocol() override;

    AoaCalibrationFrame::Layout layout() const { return layout_; }
    // The last frame received (the layout's default before the first).
    AoaCalibrationFrame heldFrame() const;
    void parseFrame(const QByteArray& frame) override;

protected:
    AoaCalibrationProtocol(AoaCalibrationFrame::Layout layout, QObject* parent);

private:
    const AoaCalibrationFrame::Layout layout_;
    // Written on the processing thread, read by the page after its wait.
    mutable QMutex mutex_;
    AoaCalibrationFrame held_;
    std::unique_ptr<ZSerialPortInterface> port_;
};

// Tells both calibration pages when any calibration exchange runs: the two
// protocols share a head, so one page must not start an exchange inside the
// other's wait (it would take its reply).
class AoaCalibrationExchange : public QObject
{
    Q_OBJECT
public:
    static AoaCalibrationExchange* instance();
    bool isRunning() const { return running_ > 0; }
    void begin();
    void end();

signals:
    void runningChanged(bool running);

private:
    AoaCalibrationExchange() = default;
    int running_ = 0;
};

} // namespace Trelvan

// The calibration protocol of the page inside the AOA setting window (page layout).
class ProtocolUwbCalibration : public Trelvan::AoaCalibrationProtocol
{
    Q_OBJECT
public:
    // Created on the first call; later calls ignore the parent.
    static ProtocolUwbCalibration* instance(QObject* parent = nullptr);
    static ProtocolUwbCalibration* existing();

private:
    explicit ProtocolUwbCalibration(QObject* parent);
};

namespace trelvan {

// The calibration protocol of the stand-alone calibration window (window layout).
class ProtocolCalibration : public Trelvan::AoaCalibrationProtocol
{
    Q_OBJECT
public:
    static ProtocolCalibration* instance(QObject* parent = nullptr);
    static ProtocolCalibration* existing();

private:
    explicit ProtocolCalibration(QObject* parent);
};

} // namespace trelvan
