#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QMutex>
#include <QObject>
#include <QTime>
#include <QVector>
#include <QWaitCondition>

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
    // For a protocol that goes away: drops its frames that wait, queued or in a pass
    // under way, and waits while one of them is being decoded on another thread.
    // None of its frames is decoded afterwards.
    static void forgetProtocol(ProtocolBase* protocol);
    // Longest wait for a frame being decoded: a decoder that waits for the thread
    // that destroys its protocol would otherwise never let it go on.
    static constexpr int kForgetWaitMs = 2000;

private:
    // The frames of one pass, reachable by forgetProtocol while they are decoded.
    struct Pass
    {
        ExtractedFrame* frames;
        int size;
        int current;
        ProtocolBase* decoding;
        QThread* thread;
    };

    explicit ProtocolDataProcessor(QObject* parent);
    void runPass();
    // Logs the frames dropped since the last report, at most once a second.
    void reportDropped();

    mutable QMutex mutex_;
    QVector<ExtractedFrame> frames_;
    quint64 dropped_ = 0;    // guarded by mutex_
    quint64 unreported_ = 0; // guarded by mutex_
    QElapsedTimer sinceReport_; // guarded by mutex_
    QVector<Pass*> passes_;       // guarded by mutex_; more than one when a decoder turns an event loop
    QWaitCondition frameDecoded_; // with mutex_
    int forgetting_ = 0;          // guarded by mutex_
    ZDemandTimer* timer_ = nullptr;
};
