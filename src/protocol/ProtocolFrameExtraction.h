#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QMutex>
#include <QTime>
#include <QObject>

#include <atomic>
#include <vector>

class ProtocolBase;
class ProtocolDataProcessor;
class ZDemandTimer;

// One possible frame start in the buffer of a search pass.
struct FrameCandidate
{
    qint32 protocolIndex;
    qint32 offset;
    // For ordering only: the protocol's minimum length, or its frame length when it
    // states none; fixed, unlike a variable protocol's last length, so the order
    // does not depend on which frames came before.
    qint32 frameLength;
    // Tail-delimited candidates: where the search for the tail goes on, so a held
    // candidate's bytes are not searched again on every pass.
    qint32 tailFrom = 0;
};

// Keeps the received bytes and searches them, on its own worker thread (slot 2),
// for frames of the searched protocols; each verified frame goes to the processor.
// Candidates are decided in offset order; the first one still incomplete holds the
// search, so the frames found never depend on how the reads were split. A held
// candidate is given up once no byte has arrived for kIdleGiveUpMs.
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
    // One search pass over the kept and the newly arrived bytes.
    void extractFrames();
    // Drops the pending and kept bytes, as when a new stream begins. Extraction thread.
    void clearBuffers();
    // The bytes kept for the next pass. Extraction thread.
    QByteArray remainder() const { return remainder_; }
    // The longest frame the search waits for from this protocol's head.
    static qint32 longestFrame(const ProtocolBase* protocol);
    // Runs every millisecond while bytes wait (and the search is on), not at rest.
    ZDemandTimer* passTimer() const { return timer_; }

public slots:
    void appendData(const QByteArray& data);

private:
    explicit ProtocolFrameExtraction(QObject* parent);
    QTime currentTime();
    enum class Verdict { Incomplete, NoFrame, Frame };
    Verdict judge(ProtocolBase* p, FrameCandidate& c, const char* base, int size);
    void runPass();
    bool hasPendingWork();

    std::atomic<bool> isEnabled_{false};
    QMutex mutex_;
    QByteArray pendingData_;
    QByteArray remainder_;
    qint32 unconsumedStart_ = 0;
    std::vector<FrameCandidate> candidates_; // those of remainder_, kept between passes
    // Bytes of remainder_ already searched for heads, and by which protocols.
    int searchedSize_ = 0;
    QList<ProtocolBase*> searchedBy_;
    bool holding_ = false; // remainder_ begins with (or just before) an incomplete candidate
    QElapsedTimer sinceInput_;
    ZDemandTimer* timer_ = nullptr;
    ProtocolDataProcessor* processor_ = nullptr;
    QTime clockBase_;
    QElapsedTimer clock_;
};
