#pragma once

#include <QByteArray>
#include <QMutex>
#include <QObject>
#include <QTime>
#include <QVector>

class ProtocolBase;
class ZDemandTimer;

// One verified frame waiting to be decoded.
struct ExtractedFrame
{
    ProtocolBase* protocol = nullptr;
    QByteArray frame;
    QTime receivedAt;
};
Q_DECLARE_TYPEINFO(ExtractedFrame, Q_MOVABLE_TYPE);

// Hands the queued frames to their protocols on its own worker thread (slot 3), so
// that a slow decoder never holds up the search.
class ProtocolDataProcessor : public QObject
{
    Q_OBJECT
public:
    static ProtocolDataProcessor* instance(QObject* parent = nullptr);
    ~ProtocolDataProcessor() override;

    void appendFrames(QVector<ExtractedFrame>& frames);
    // Takes every queued frame, oldest first, leaving the queue empty.
    QVector<ExtractedFrame> takeFrames();
    // Takes the queue and decodes each frame in order (what the timer runs).
    void processFrames();
    // Runs every millisecond while frames wait, not at rest.
    ZDemandTimer* passTimer() const { return timer_; }

private:
    explicit ProtocolDataProcessor(QObject* parent);
    void runPass();

    QMutex mutex_;
    QVector<ExtractedFrame> frames_;
    ZDemandTimer* timer_ = nullptr;
};
