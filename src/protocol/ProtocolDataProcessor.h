#pragma once

#include <QByteArray>
#include <QElapsedTimer>
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
    // Where its first byte lies among all bytes handed to the search; -1: unknown.
    qint64 streamOffset = -1;
};
Q_DECLARE_TYPEINFO(ExtractedFrame, Q_MOVABLE_TYPE);

// Hands the queued frames to their protocols on its own worker thread (slot 3), so
// that a slow decoder never holds up the search.
class ProtocolDataProcessor : public QObject
{
    Q_OBJECT
public:
    // At most this many frames wait; beyond, the oldest are dropped: a decoder that
    // falls behind, or a blocked thread, must not grow memory and work without end.
    static constexpr int kMaxQueuedFrames = 65536;

    static ProtocolDataProcessor* instance(QObject* parent = nullptr);
    ~ProtocolDataProcessor() override;

    void appendFrames(QVector<ExtractedFrame>& frames);
    // Frames dropped so far because the queue was full.
    quint64 droppedFrames() const;
    // Takes every queued frame, oldest first, leaving the queue empty.
    QVector<ExtractedFrame> takeFrames();
    // Takes the queue and decodes each frame in order (what the timer runs).
    void processFrames();
    // During a decode on this thread, the stream offset of the frame decoded; else -1.
    static qint64 decodingStreamOffset();
    // Runs every millisecond while frames wait, not at rest.
    ZDemandTimer* passTimer() const { return timer_; }

private:
    explicit ProtocolDataProcessor(QObject* parent);
    void runPass();
    // Logs the frames dropped since the last report, at most once a second.
    void reportDropped();

    mutable QMutex mutex_;
    QVector<ExtractedFrame> frames_;
    quint64 dropped_ = 0;    // guarded by mutex_
    quint64 unreported_ = 0; // guarded by mutex_
    QElapsedTimer sinceReport_; // guarded by mutex_
    ZDemandTimer* timer_ = nullptr;
};
