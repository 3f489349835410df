#include "protocol/ProtocolFrameExtraction.h"

#include "foundation/ZDemandTimer.h"
#include "foundation/ZLog.h"
#include "foundation/ZThreadManager.h"
#include "protocol/ProtocolBase.h"
#include "protocol/ProtocolDataProcessor.h"

#include <QCoreApplication>
#include <QMutexLocker>
#include <QThread>
#include <QTime>

#include <algorithm>
#include <cstring>

namespace {

ProtocolFrameExtraction* g_extraction = nullptr;

// Position of needle in hay[from, size), or -1.
int findBytes(const char* hay, int size, int from, const char* needle, int n)
{
    if (n <= 0 || from < 0)
        return -1;
    const char first = needle[0];
    int pos = from;
    while (pos <= size - n) {
        const void* hit = std::memchr(hay + pos, first, static_cast<size_t>(size - n - pos + 1));
        if (!hit)
            return -1;
        pos = static_cast<int>(static_cast<const char*>(hit) - hay);
        if (n == 1 || std::memcmp(hay + pos + 1, needle + 1, static_cast<size_t>(n - 1)) == 0)
            return pos;
        ++pos;
    }
    return -1;
}

} // namespace

ProtocolFrameExtraction* ProtocolFrameExtraction::instance(QObject* parent)
{
    if (!g_extraction)
        g_extraction = new ProtocolFrameExtraction(parent);
    return g_extraction;
}

ProtocolFrameExtraction::ProtocolFrameExtraction(QObject* parent)
    : QObject(parent)
{
    processor_ = ProtocolDataProcessor::instance();
    ZThreadManager::instance()->moveToThread(processor_, 3);
    // A child: it moves to the extraction thread with this object.
    timer_ = new ZDemandTimer(1, 2, [this] { runPass(); }, [this] { return hasPendingWork(); }, this);
}

ProtocolFrameExtraction::~ProtocolFrameExtraction()
{
    if (g_extraction == this)
        g_extraction = nullptr;
}

void ProtocolFrameExtraction::appendData(const QByteArray& data)
{
    if (data.isEmpty())
        return;
    {
        QMutexLocker lock(&mutex_);
        pendingData_.append(data);
    }
    // While the search is off the bytes wait; turning it on wakes the timer.
    if (isEnabled_.load())
        timer_->wake();
}

void ProtocolFrameExtraction::setEnabled(bool enabled)
{
    isEnabled_.store(enabled);
    // Bytes that came while the search was off are searched now.
    if (enabled)
        timer_->wake();
}

bool ProtocolFrameExtraction::hasPendingWork()
{
    if (!isEnabled_.load())
        return false;
    // A held candidate keeps the passes going with no input, so that it is given
    // up after its quiet time and the frames behind it are not held until the
    // next byte arrives.
    if (holding_)
        return true;
    QMutexLocker lock(&mutex_);
    return !pendingData_.isEmpty();
}

QByteArray ProtocolFrameExtraction::takePendingData()
{
    QMutexLocker lock(&mutex_);
    QByteArray data;
    data.swap(pendingData_);
    return data;
}

void ProtocolFrameExtraction::clearBuffers()
{
    takePendingData();
    remainder_.clear();
    candidates_.clear();
    searchedSize_ = 0;
    searchedBy_.clear();
    holding_ = false;
}

void ProtocolFrameExtraction::runPass()
{
    if (!isEnabled_.load())
        return;
    if (QThread::currentThread() == QCoreApplication::instance()->thread())
        zDebug() << "ProtocolFrameExtraction shouldn't be in gui thread";
    extractFrames();
}

QTime ProtocolFrameExtraction::currentTime()
{
    // The local time costs a look at the time zone file on every call; the
    // monotonic clock is cheap. Read the local time once a second and add to it.
    if (!clockBase_.isValid() || clock_.elapsed() >= 1000) {
        clockBase_ = QTime::currentTime();
        clock_.start();
        return clockBase_;
    }
    return clockBase_.addMSecs(static_cast<int>(clock_.elapsed()));
}

qint32 ProtocolFrameExtraction::longestFrame(const ProtocolBase* protocol)
{
    // A protocol that states no maximum is bounded by the 16-bit length fields
    // and by the default checksum's reach.
    const qint32 stated = protocol->maxFrameLength();
    return stated > 0 ? stated : 0xFFFF;
}

ProtocolFrameExtraction::Verdict ProtocolFrameExtraction::judge(ProtocolBase* p, FrameCandidate& c,
                                                                const char* base, int size)
{
    const char* data = base + c.offset;
    const qint64 available = size - c.offset;
    const qint32 longest = longestFrame(p);
    const qint32 shortest = std::max({p->minFrameLength(), p->head().size(), 1});
    if (p->isLengthKnown()) {
        if (!p->checkFrameLength(data, available))
            return available >= longest ? Verdict::NoFrame : Verdict::Incomplete;
        // A length field outside what the kind can carry marks no frame: waiting for
        // it would hold every later frame behind a false head.
        const qint32 length = p->frameLength();
        if (length < shortest || length > longest)
            return Verdict::NoFrame;
        return available < length ? Verdict::Incomplete : Verdict::Frame;
    }
    const QByteArray& tail = p->tail();
    if (tail.isEmpty())
        return Verdict::NoFrame;
    // The tail must end within the longest frame; bytes searched before are not again.
    const int from = std::max(c.offset + p->head().size(), c.tailFrom);
    const int end = static_cast<int>(std::min<qint64>(size, qint64(c.offset) + longest));
    const int at = findBytes(base, end, from, tail.constData(), tail.size());
    if (at < 0) {
        if (available >= longest)
            return Verdict::NoFrame;
        c.tailFrom = std::max(from, end - tail.size() + 1);
        return Verdict::Incomplete;
    }
    const int length = at - c.offset + tail.size();
    // Too short for the protocol: not a frame of it.
    if (length < shortest)
        return Verdict::NoFrame;
    p->frameLength_ = length;
    return Verdict::Frame;
}

void ProtocolFrameExtraction::extractFrames()
{
    QByteArray input = takePendingData();
    bool giveUp = false;
    if (input.isEmpty()) {
        // Nothing new: only a held candidate that has waited too long changes anything.
        if (!holding_ || !sinceInput_.isValid() || sinceInput_.elapsed() < kIdleGiveUpMs)
            return;
        giveUp = true;
    }
    const ProtocolBase::SearchPass pass; // none of the pass's protocols goes away before it ends
    const QList<ProtocolBase*> protocols = ProtocolBase::searchedProtocols();

    // The buffer is the kept bytes followed by the input; it lives in remainder_.
    if (remainder_.isEmpty())
        remainder_.swap(input);
    else
        remainder_.append(input);
    const int size = remainder_.size();
    const char* base = remainder_.constData();

    // Candidates of the kept bytes stay valid while the searched protocols do.
    if (protocols != searchedBy_) {
        candidates_.clear();
        searchedSize_ = 0;
        searchedBy_ = protocols;
    }

    int longestHead = 0;
    const size_t known = candidates_.size();
    for (int i = 0; i < protocols.size(); ++i) {
        const ProtocolBase* p = protocols.at(i);
        const QByteArray& head = p->head();
        longestHead = std::max(longestHead, head.size());
        // A protocol without a head would match everywhere: it yields nothing.
        if (head.isEmpty())
            continue;
        // Heads that fitted wholly in the bytes searched before were found then.
        int pos = std::max(0, searchedSize_ - head.size() + 1);
        const qint32 orderLength = p->minFrameLength() > 0 ? p->minFrameLength() : p->frameLength();
        while ((pos = findBytes(base, size, pos, head.constData(), head.size())) >= 0) {
            candidates_.push_back(FrameCandidate{i, pos, orderLength});
            pos += head.size();
        }
    }
    searchedSize_ = size;
    const auto before = [](const FrameCandidate& a, const FrameCandidate& b) {
        if (a.offset != b.offset)
            return a.offset < b.offset;
        if (a.frameLength != b.frameLength)
            return a.frameLength < b.frameLength;
        return a.protocolIndex < b.protocolIndex;
    };
    const auto fresh = candidates_.begin() + static_cast<std::ptrdiff_t>(known);
    std::sort(fresh, candidates_.end(), before);
    // New heads mostly lie behind the kept ones; merging would allocate every pass.
    if (known > 0 && fresh != candidates_.end() && before(*fresh, *(fresh - 1)))
        std::inplace_merge(candidates_.begin(), fresh, candidates_.end(), before);

    QVector<ExtractedFrame> found;
    QTime receivedAt;
    int queuedEnd = 0; // end of the last queued frame: nothing before it is looked at again
    size_t held = candidates_.size();
    for (size_t k = 0; k < candidates_.size(); ++k) {
        FrameCandidate& c = candidates_[k];
        // Candidates that start inside a queued frame belong to it.
        if (c.offset < queuedEnd)
            continue;
        ProtocolBase* p = protocols.at(c.protocolIndex);
        const Verdict verdict = judge(p, c, base, size);
        if (verdict == Verdict::Incomplete) {
            if (giveUp)
                continue;
            // Later candidates wait for this one: it may yet be the frame that holds them.
            held = k;
            break;
        }
        if (verdict == Verdict::NoFrame)
            continue;
        const char* data = base + c.offset;
        if (!p->verifyFrame(data))
            continue;
        const qint32 length = p->frameLength();
        if (!receivedAt.isValid())
            receivedAt = currentTime();
        found.append(ExtractedFrame{p, QByteArray(data, length), receivedAt});
        queuedEnd = c.offset + length;
    }
    if (!found.isEmpty())
        processor_->appendFrames(found);

    // Keep what may begin a head split across two reads, but no byte of a frame
    // already queued; a held candidate keeps everything from its head on.
    const int keep = protocols.isEmpty() ? 1 : std::max(longestHead - 1, 0);
    int start = std::max(size - keep, queuedEnd);
    holding_ = held < candidates_.size();
    // The idle time counts from the last input a held candidate saw; passes that
    // hold nothing skip the clock.
    if (holding_ && !giveUp)
        sinceInput_.start();
    if (holding_) {
        start = std::min(start, candidates_[held].offset);
        candidates_.erase(candidates_.begin(), candidates_.begin() + static_cast<std::ptrdiff_t>(held));
        for (FrameCandidate& c : candidates_) {
            c.offset -= start;
            c.tailFrom = std::max(0, c.tailFrom - start);
        }
    } else {
        candidates_.clear();
    }
    unconsumedStart_ = start;
    if (start >= size)
        remainder_.clear();
    else if (start > 0)
        remainder_.remove(0, start);
    searchedSize_ = remainder_.size();
}
