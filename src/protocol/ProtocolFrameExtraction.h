#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QMutex>
#include <QTime>
#include <QObject>
#include <QVector>

#include <QPointer>

#include <atomic>
#include <deque>
#include <functional>
#include <vector>

#include "protocol/ProtocolBase.h"

class ProtocolDataProcessor;
struct ExtractedFrame;
class ZDemandTimer;

// One possible frame start in the buffer of a search pass.
struct FrameCandidate
{
    FrameCandidate(int protocol, qint32 at, qint32 orderLength)
        : protocolIndex(static_cast<qint16>(protocol))
        , offset(at)
        , frameLength(orderLength)
    {
    }

    qint16 protocolIndex;
    // What is known of the candidate: its verdict depends on its own bytes only, so
    // once they are all in it is worked out once, not again on every pass.
    enum State : qint8 { Open, NoFrame, Verified };
    State state = Open;
    // Queued ahead of a held candidate before it (see extractFrames).
    bool taken = false;
    qint32 offset;
    // For ordering only: the protocol's minimum length, or its frame length when it
    // states none; fixed, unlike a variable protocol's last length, so the order
    // does not depend on which frames came before.
    qint32 frameLength;
    // Tail-delimited candidates: where the search for the tail goes on, so a held
    // candidate's bytes are not searched again on every pass.
    qint32 tailFrom = 0;
    // The length its bytes give (the frame's, once Verified), 0 while they give none.
    qint32 length = 0;
    // It begins no two frames back to back that end within this many bytes of its
    // offset: learnt once, true however many bytes come (see beginsPair).
    qint32 noPairWithin = 0;
};

// Keeps the received bytes and searches them, on its own worker thread (slot 2),
// for frames of the searched protocols; each verified frame goes to the processor.
// A verified frame is one whose sum holds and whose records lie within it
// (ProtocolBase::recordsFit): a frame is only what its decoder can read.
// Candidates are decided in offset order, each from the bytes of the span it
// claims alone, so the frames found never depend on how the reads were split:
// - a candidate whose span holds two verified frames back to back is no frame
//   (see extractFrames), so a false head or a damaged length field holds the
//   frames behind it at most until the second of them has arrived;
// - otherwise the first candidate still incomplete holds the search, until it
//   completes, or no byte has arrived for kIdleGiveUpMs and the reader has read
//   what was waiting (setReader);
// - a reply the program waits for right now (ProtocolBase::isAwaited) is never
//   held: once whole and verified it is queued at once, whatever lies before it.
class ProtocolFrameExtraction : public QObject
{
    Q_OBJECT
public:
    static constexpr int kIdleGiveUpMs = 100;

    static ProtocolFrameExtraction* instance(QObject* parent = nullptr);
    ~ProtocolFrameExtraction() override;

    void setEnabled(bool enabled);
    bool isEnabled() const { return isEnabled_.load(); }

    QByteArray takePendingData();
    // Bytes handed to the search since start-up, which the frames' stream offsets
    // count; -1 while there is no search. Any thread.
    static qint64 bytesReceived();
    // One search pass over the kept and the newly arrived bytes.
    void extractFrames();
    // Drops the pending and kept bytes, as when a new stream begins. Extraction thread.
    void clearBuffers();
    // The bytes kept for the next pass, and their count (without a copy). Extraction thread.
    QByteArray remainder() const { return remainder_.mid(consumed_); }
    int remainderSize() const { return remainder_.size() - consumed_; }
    // The longest frame the search waits for from this protocol's head.
    static qint32 longestFrame(const ProtocolBase* protocol);
    // Runs every millisecond while bytes wait (and the search is on), not at rest.
    ZDemandTimer* passTimer() const { return timer_; }

    // The object on whose thread the bytes are read (the port), and whether bytes
    // wait there unread. A held candidate is given up for want of input only once
    // that thread has answered that none wait: a reader kept busy (a long draw on
    // the GUI thread) is not a quiet line, and the rest of the frame waits for it.
    void setReader(QObject* reader, std::function<bool()> waiting);

public slots:
    void appendData(const QByteArray& data);

private:
    explicit ProtocolFrameExtraction(QObject* parent);
    QTime currentTime();
    enum class Verdict { Incomplete, NoFrame, Frame };
    // claimed: the length the candidate's bytes give, 0 while they give none.
    Verdict judge(ProtocolBase* p, FrameCandidate& c, const char* base, int size, qint32& claimed);
    // Judges an open candidate and, when all its bytes are in, verifies it: the
    // frame's length when verified, else 0; claimedEnd is where the span it claims ends.
    qint32 settle(const QList<ProtocolBase*>& protocols, FrameCandidate& c, int size, qint32& claimedEnd);
    // The same for any candidate, settled or not.
    qint32 frameLength(const QList<ProtocolBase*>& protocols, size_t k, int size, qint32& claimedEnd);
    enum class Pair { No, Yes, NotYet };
    // Whether candidate j begins two verified frames back to back ending by end; No
    // stays No however many bytes come, and for any smaller end. On Yes, pairEnd is
    // where the pair ends.
    Pair beginsPair(const QList<ProtocolBase*>& protocols, size_t j, qint32 end, int size, qint32& pairEnd);
    // A pair found in this pass: the offset of its first frame and where it ends.
    struct KnownPair
    {
        qint32 from = -1;
        qint32 end = 0;
    };
    // Whether two verified frames lie back to back wholly in (offset of k, end).
    // What is learnt of the candidates behind k is kept (pairScanned_, pairReach_),
    // so that a long hold, or one that moves on from head to head, does not look at
    // the same candidates on every pass. known: the last pair found this pass, which
    // settles every later candidate whose span covers it.
    bool holdsTwoFrames(const QList<ProtocolBase*>& protocols, size_t k, qint32 end, int size, KnownPair& known);
    // The end of a frame queued ahead of a hold at candidate k's offset (taken by
    // another protocol of its head, or by k's own protocol before the searched
    // protocols changed), else 0: the frame is not queued again from there.
    qint32 queuedAt(size_t k) const;
    // Queues the whole, verified replies of awaited requests behind the held candidate.
    void takeAwaitedReplies(const QList<ProtocolBase*>& protocols, size_t held, int size,
                            QVector<ExtractedFrame>& found);
    // The steps of a pass: the heads in the newly arrived bytes, the walk that decides
    // the candidates in offset order, and what is kept for the next pass.
    void findHeads(const QList<ProtocolBase*>& protocols);
    struct WalkEnd
    {
        size_t held;      // the first incomplete candidate left, or candidates_.size()
        qint32 queuedEnd; // end of the last frame queued
    };
    WalkEnd walk(const QList<ProtocolBase*>& protocols, bool giveUp, QVector<ExtractedFrame>& found);
    void keepForNextPass(const QList<ProtocolBase*>& protocols, const WalkEnd& walked, bool giveUp);
    // Drops the bytes and candidates before the front from the buffer.
    void dropConsumed();
    void runPass();
    bool hasPendingWork();
    // Whether the reader found nothing waiting since the last input; asks it if not.
    bool readerDrained();

    std::atomic<bool> isEnabled_{false};
    QMutex mutex_;
    QByteArray pendingData_;
    qint64 received_ = 0; // guarded by mutex_
    // Guarded by mutex_: the reader, and the count of bytes received when it last
    // found none waiting (-1: not since the last give-up).
    QPointer<QObject> reader_;
    std::function<bool()> waiting_;
    qint64 drainedAt_ = -1;
    bool draining_ = false;
    QByteArray remainder_;
    qint64 remainderOffset_ = 0; // stream offset of remainder_'s first byte
    // The bytes of remainder_ before consumed_ and the candidates before firstCandidate_
    // are gone; they are dropped once they are as many as those kept (dropConsumed).
    qint32 consumed_ = 0;
    size_t firstCandidate_ = 0;
    std::vector<FrameCandidate> candidates_; // those of remainder_, kept between passes
    // The running sums of remainder_'s bytes, for the checks of long candidates.
    RunningSums sums_{RunningSums::Sum};
    RunningSums xors_{RunningSums::Xor};
    // Bytes of remainder_ already searched for heads, and by which protocols.
    int searchedSize_ = 0;
    QList<ProtocolBase*> searchedBy_;
    // The candidates before pairScanned_ (behind the last one holdsTwoFrames looked
    // behind) begin no pair of frames ending within their reach: their offset plus
    // noPairWithin. pairReach_ holds, in order, those whose reach is the least from
    // there on (a later one with a reach no greater drops the earlier; one that can
    // never begin a pair is left out), so the least reach behind any candidate is at
    // its front: (index, reach).
    size_t pairScanned_ = 0;
    std::deque<std::pair<size_t, qint64>> pairReach_;
    int longestHead_ = 0;
    bool holding_ = false; // the kept bytes begin with (or just before) an incomplete candidate
    QElapsedTimer sinceInput_;
    ZDemandTimer* timer_ = nullptr;
    ProtocolDataProcessor* processor_ = nullptr;
    QTime clockBase_;
    QElapsedTimer clock_;
};
