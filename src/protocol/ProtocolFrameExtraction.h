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
    qint32 frameLength; // for ordering only
};

// Keeps the received bytes and searches them, on its own worker thread (slot 2),
// for frames of the searched protocols; each verified frame goes to the processor.
class ProtocolFrameExtraction : public QObject
{
    Q_OBJECT
public:
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
    // Runs every millisecond while bytes wait (and the search is on), not at rest.
    ZDemandTimer* passTimer() const { return timer_; }

public slots:
    void appendData(const QByteArray& data);

private:
    explicit ProtocolFrameExtraction(QObject* parent);
    QTime currentTime();
    void runPass();
    bool hasPendingWork();

    std::atomic<bool> isEnabled_{false};
    QMutex mutex_;
    QByteArray pendingData_;
    QByteArray remainder_;
    qint32 unconsumedStart_ = 0;
    std::vector<FrameCandidate> candidates_;
    ZDemandTimer* timer_ = nullptr;
    ProtocolDataProcessor* processor_ = nullptr;
    QTime clockBase_;
    QElapsedTimer clock_;
};
