#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>

class ModelManager;

// Running sums of a buffer's bytes from its first byte on (entry i: the bytes before
// index i), so that the sum of any span of it is the difference of two entries.
// Extended over the bytes that have come when a span needs them, once for each byte
// however many spans overlap there; bytes cut from the buffer's front leave the
// later entries valid.
class RunningSums
{
public:
    enum Kind { Sum, Xor };
    explicit RunningSums(Kind kind)
        : kind_(kind)
    {
    }
    // The sum (or XOR) of the n bytes from index `from` of base, a buffer of size
    // bytes these sums cover from its first byte.
    quint8 span(const char* base, qint32 size, qint32 from, qint32 n);
    // The buffer's first n bytes are gone.
    void dropFront(qint32 n);
    void clear()
    {
        entries_.clear();
        summedTo_ = 0;
    }

private:
    Kind kind_;
    QByteArray entries_;
    qint32 summedTo_ = 0; // the end of the last span summed as it is
};

// One kind of frame: its head bytes, how its length is found, how it is verified
// and how it is decoded. The frame search finds frames of every protocol that has
// been activated since start-up; decoding runs on the processing thread.
class ProtocolBase : public QObject
{
    Q_OBJECT
public:
    explicit ProtocolBase(const QString& name, QObject* parent = nullptr);
    ~ProtocolBase() override;

    // Called by the search with the bytes from the frame's first byte to the end of
    // the buffer; may read the length into frameLength_. False: cannot judge yet.
    virtual bool checkFrameLength(const char* data, qint64 available);
    // Checks a complete candidate of frameLength_ bytes. The default: the last byte
    // is the 8-bit sum of those before it (see sum8).
    virtual bool verifyFrame(const char* data);
    // Whether the records a whole frame of `length` bytes announces lie within it: the
    // bounds by which its decoder drops a frame. The frame search asks it too, so a
    // frame is only what its decoder can read. Reads these bytes alone, never
    // frameLength_ (any thread). True for kinds without records.
    virtual bool recordsFit(const char* frame, qint32 length) const;
    // Creates the protocol's data items; runs once, before the first frame.
    virtual void registerDataItems();
    virtual void parseFrame(const QByteArray& frame) = 0;

    void setActive(bool active);
    bool isActive() const { return isActive_.load(std::memory_order_acquire); }
    // Decodes one verified frame (processing thread).
    void processFrame(const QByteArray& frame);

    const QString& name() const { return name_; }
    const QByteArray& head() const { return head_; }
    const QByteArray& tail() const { return tail_; }
    bool isLengthKnown() const { return isLengthKnown_; }
    qint32 frameLength() const { return frameLength_; }
    qint32 minFrameLength() const { return minFrameLength_; }
    // The longest frame this kind can really carry; the frame search waits for no
    // longer one. Every protocol states it (0: not stated, 65,535 is assumed).
    qint32 maxFrameLength() const { return maxFrameLength_; }
    const QStringList& exportColumns() const { return exportColumns_; }
    ModelManager* modelManager() const { return modelManager_; }
    bool isDataItemsRegistered() const { return isDataItemsRegistered_; }

    // Every protocol activated since start-up, in order of first activation.
    static QList<ProtocolBase*> activeProtocols();
    // The protocols one search pass looks for: the active-protocol list, except that
    // among protocols with the same head only the active ones are searched, or, when
    // none of them is active, only the one activated last. An idle protocol would
    // otherwise take a reply meant for the active one, or cut its longer frame short.
    // A protocol searched only while active is left out whenever it is inactive.
    static QList<ProtocolBase*> searchedProtocols();
    bool isSearchedOnlyWhileActive() const { return searchedOnlyWhileActive_; }
    // Marks a wait of the program for this protocol's reply (waits may nest): the
    // frame search never holds such a reply behind an earlier incomplete candidate.
    void setAwaited(bool awaited) { awaitCount_.fetch_add(awaited ? 1 : -1); }
    bool isAwaited() const { return awaitCount_.load() > 0; }

    // The 8-bit sum and the XOR of n bytes, for the checks of frames. Within the bytes
    // a search pass holds (HeldBytes) a long span costs constant time: each of the
    // many candidates that may overlap there (a burst of false heads claiming the
    // longest frame) is checked without summing its span afresh.
    static quint8 sum8(const char* data, qint32 n);
    static quint8 xor8(const char* data, qint32 n);
    // Set by a search pass on its thread while its candidates are checked: the bytes
    // it holds and their running sums, kept by the search from pass to pass.
    class HeldBytes
    {
    public:
        HeldBytes(const char* base, qint32 size, RunningSums& sums, RunningSums& xors);
        ~HeldBytes();
        HeldBytes(const HeldBytes&) = delete;
        HeldBytes& operator=(const HeldBytes&) = delete;

    private:
        friend class ProtocolBase;
        const char* base_;
        qint32 size_;
        RunningSums& sums_;
        RunningSums& xors_;
        HeldBytes* outer_;
    };

    // Held by a search pass while it uses the searched protocols: a protocol that
    // goes away waits until the pass is over.
    class SearchPass
    {
    public:
        SearchPass();
        ~SearchPass();
        SearchPass(const SearchPass&) = delete;
        SearchPass& operator=(const SearchPass&) = delete;
    };

signals:
    void dataParseFinished();

protected:
    bool isLengthKnown_ = true;
    qint32 frameLength_ = 0;
    qint32 minFrameLength_ = 0;
    qint32 maxFrameLength_ = 0;
    QByteArray head_;
    QByteArray tail_;
    ModelManager* modelManager_ = nullptr;
    std::atomic<bool> isActive_{false};
    bool isDataItemsRegistered_ = false;
    QString name_;
    QStringList exportColumns_;
    bool emitParseFinished_ = false;
    // Set by protocols whose frames only answer the program's own requests: outside
    // those exchanges their heads in a data stream would only cost work.
    bool searchedOnlyWhileActive_ = false;

private:
    std::atomic<int> awaitCount_{0};
    // A long span within the held bytes: its sum from their running sums.
    static bool sumOfHeldSpan(const char* data, qint32 n, RunningSums::Kind kind, quint8& value);
    // Takes the protocol out of the frame pipeline: out of the search, and none of its
    // frames decoded any more. Runs when its owner starts going away (before any part
    // of the protocol is destroyed) and again in its own destructor.
    void leavePipeline();

    friend struct ActiveProtocolList;
    friend class ProtocolFrameExtraction; // sets frameLength_ of frames found by their tail
    quint64 activationSerial_ = 0; // guarded by the list's lock
};

// A protocol the program asks for data: request builders and a reply hook.
class InsideReadWriteProtocol : public ProtocolBase
{
    Q_OBJECT
public:
    using ReplyHandler = std::function<bool(QString&)>;

    explicit InsideReadWriteProtocol(const QString& name, QObject* parent = nullptr);
    ~InsideReadWriteProtocol() override;

    virtual QByteArray packReadRequest();
    virtual QByteArray packWriteRequest();

    void setReplyHandler(ReplyHandler handler);

public slots:
    void handleReceivedData();

protected:
    ReplyHandler replyHandler_;
};
