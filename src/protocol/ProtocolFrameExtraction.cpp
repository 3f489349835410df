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
#include <QVarLengthArray>

#include <algorithm>
#include <limits>
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
        received_ += data.size();
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

void ProtocolFrameExtraction::setReader(QObject* reader, std::function<bool()> waiting)
{
    QMutexLocker lock(&mutex_);
    reader_ = reader;
    waiting_ = std::move(waiting);
    drainedAt_ = -1;
    draining_ = false;
}

bool ProtocolFrameExtraction::readerDrained()
{
    QMutexLocker lock(&mutex_);
    if (!reader_ || !waiting_)
        return true;
    if (drainedAt_ == received_) {
        drainedAt_ = -1; // good for this give-up only
        return true;
    }
    if (draining_)
        return false;
    draining_ = true;
    const qint64 asked = received_;
    QPointer<ProtocolFrameExtraction> self(this);
    QMetaObject::invokeMethod(
        reader_.data(),
        [self, waiting = waiting_, asked] {
            // Bytes waiting are read by the reader's next turn of its loop; the
            // question is asked again after that.
            const bool more = waiting();
            if (!self)
                return;
            QMutexLocker l(&self->mutex_);
            if (!more)
                self->drainedAt_ = asked;
            self->draining_ = false;
        },
        Qt::QueuedConnection);
    return false;
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

qint64 ProtocolFrameExtraction::bytesReceived()
{
    if (!g_extraction)
        return -1;
    QMutexLocker lock(&g_extraction->mutex_);
    return g_extraction->received_;
}

void ProtocolFrameExtraction::clearBuffers()
{
    {
        QMutexLocker lock(&mutex_);
        pendingData_.clear();
        remainderOffset_ = received_;
    }
    remainder_.clear();
    consumed_ = 0;
    candidates_.clear();
    firstCandidate_ = 0;
    sums_.clear();
    xors_.clear();
    searchedSize_ = 0;
    searchedBy_.clear();
    holding_ = false;
    pairScanned_ = 0;
    pairReach_.clear();
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
                                                                const char* base, int size, qint32& claimed)
{
    const char* data = base + c.offset;
    const qint64 available = size - c.offset;
    const qint32 longest = longestFrame(p);
    const qint32 shortest = std::max({p->minFrameLength(), p->head().size(), 1});
    claimed = 0;
    if (p->isLengthKnown()) {
        if (!p->checkFrameLength(data, available))
            return available >= longest ? Verdict::NoFrame : Verdict::Incomplete;
        // A length field outside what the kind can carry marks no frame: waiting for
        // it would hold every later frame behind a false head.
        const qint32 length = p->frameLength();
        if (length < shortest || length > longest)
            return Verdict::NoFrame;
        claimed = length;
        return available < length ? Verdict::Incomplete : Verdict::Frame;
    }
    const QByteArray& tail = p->tail();
    if (tail.isEmpty())
        return Verdict::NoFrame;
    // The tail must end within the longest frame; bytes searched before are not again.
    const int from = std::max(c.offset + p->head().size(), c.tailFrom);
    const int end = static_cast<int>(std::min<qint64>(size, qint64(c.offset) + longest));
    const int at = findBytes(base, end, from, tail.constData(), tail.size());
    // The head's first byte only starts a sentence ("$"): a candidate that holds it
    // again is no sentence (a line that dropped bytes), and the candidate that starts
    // there is judged in its turn.
    const int before = at < 0 ? end : at;
    if (from < before && std::memchr(base + from, p->head().at(0), static_cast<size_t>(before - from)))
        return Verdict::NoFrame;
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
    claimed = length;
    return Verdict::Frame;
}

// Inlined: it runs once for every candidate of the stream.
Q_ALWAYS_INLINE qint32 ProtocolFrameExtraction::settle(const QList<ProtocolBase*>& protocols, FrameCandidate& c,
                                                       int size, qint32& claimedEnd)
{
    ProtocolBase* p = protocols.at(c.protocolIndex);
    qint32 claimed = 0;
    const Verdict verdict = judge(p, c, remainder_.constData(), size, claimed);
    c.length = claimed;
    // Until its length is known the candidate may reach as far as its kind allows.
    claimedEnd = c.offset + (claimed > 0 ? claimed : longestFrame(p));
    if (verdict == Verdict::Incomplete)
        return 0;
    // Verified at once, while the protocol's length (and whatever its length check
    // keeps for its verdict) is this candidate's. A candidate whose sum holds but
    // whose records run past it is no frame either: its decoder would drop it, and
    // queued it would cover the frames behind it. What still passes both (or, for a
    // fixed-length kind, its sum alone: one false candidate in 256) covers them.
    const char* data = remainder_.constData() + c.offset;
    const bool verified = verdict == Verdict::Frame && p->verifyFrame(data) && p->recordsFit(data, c.length);
    c.state = verified ? FrameCandidate::Verified : FrameCandidate::NoFrame;
    return verified ? c.length : 0;
}

qint32 ProtocolFrameExtraction::frameLength(const QList<ProtocolBase*>& protocols, size_t k, int size,
                                            qint32& claimedEnd)
{
    FrameCandidate& c = candidates_[k];
    if (c.state == FrameCandidate::Open)
        return settle(protocols, c, size, claimedEnd);
    claimedEnd = c.offset + c.length;
    return c.state == FrameCandidate::Verified ? c.length : 0;
}

ProtocolFrameExtraction::Pair ProtocolFrameExtraction::beginsPair(const QList<ProtocolBase*>& protocols, size_t j,
                                                                  qint32 end, int size, qint32& pairEnd)
{
    FrameCandidate& a = candidates_[j];
    if (end - a.offset <= a.noPairWithin)
        return Pair::No;
    qint32 claimedEnd = 0;
    const qint32 first = frameLength(protocols, j, size, claimedEnd);
    // What is learnt here holds however many bytes come: a pair ends past its first
    // frame, and a frame's verdict and the seconds after it never change once known.
    if (a.state == FrameCandidate::NoFrame) {
        a.noPairWithin = std::numeric_limits<qint32>::max();
        return Pair::No;
    }
    if (first <= 0) {
        if (a.length > 0 && claimedEnd >= end) {
            a.noPairWithin = a.length;
            return Pair::No;
        }
        return Pair::NotYet;
    }
    const qint32 middle = a.offset + first;
    if (middle >= end) {
        a.noPairWithin = first;
        return Pair::No;
    }
    // Once every head that may begin at the middle is in, the candidates there are all known.
    Pair result = middle + longestHead_ <= size ? Pair::No : Pair::NotYet;
    qint32 nearest = std::numeric_limits<qint32>::max(); // the nearest end a pair may yet have
    const auto byOffset = [](const FrameCandidate& c, qint32 offset) { return c.offset < offset; };
    auto next = std::lower_bound(candidates_.begin() + static_cast<std::ptrdiff_t>(j) + 1, candidates_.end(), middle,
                                 byOffset);
    for (; next != candidates_.end() && next->offset == middle; ++next) {
        const qint32 second = frameLength(protocols, static_cast<size_t>(next - candidates_.begin()), size, claimedEnd);
        if (second > 0 && claimedEnd <= end) {
            pairEnd = claimedEnd;
            return Pair::Yes;
        }
        // A length not yet known, or one that fits, may still make a pair.
        if (next->state == FrameCandidate::Open && (next->length == 0 || claimedEnd <= end))
            result = Pair::NotYet;
        if (next->state != FrameCandidate::NoFrame)
            nearest = std::min(nearest, claimedEnd);
    }
    if (result == Pair::No)
        a.noPairWithin = nearest == std::numeric_limits<qint32>::max() ? nearest : nearest - 1 - a.offset;
    return result;
}

bool ProtocolFrameExtraction::holdsTwoFrames(const QList<ProtocolBase*>& protocols, size_t k, qint32 end, int size,
                                             KnownPair& known)
{
    const qint32 from = candidates_[k].offset;
    // Candidates given up in turn over one pair (a burst of false heads before two
    // frames) are settled by it, not each by a scan of its own.
    if (known.from > from && known.end <= end)
        return true;
    // The candidates looked at before, behind k, still begin no pair ending by `end`
    // when the least reach among them is that far: then a hold that moves on to the
    // next head (heads completing one after another) looks only at the new ones.
    // Otherwise they are all looked at again.
    while (!pairReach_.empty() && pairReach_.front().first <= k)
        pairReach_.pop_front();
    if (!pairReach_.empty() && pairReach_.front().second < end) {
        pairReach_.clear();
        pairScanned_ = 0;
    }
    size_t j = std::max(k + 1, pairScanned_);
    bool settled = true;
    for (; j < candidates_.size() && candidates_[j].offset < end; ++j) {
        const FrameCandidate& c = candidates_[j];
        qint32 pairEnd = 0;
        // One at k's own offset never counts against it, nor against a later
        // candidate there; every candidate after those lies beyond it.
        const bool beside = c.offset == from;
        const Pair pair = beside ? Pair::No : beginsPair(protocols, j, end, size, pairEnd);
        if (pair == Pair::Yes) {
            known = KnownPair{c.offset, pairEnd};
            return true;
        }
        settled = settled && pair == Pair::No;
        if (!settled)
            continue;
        pairScanned_ = j + 1;
        // No end reaches past a 32-bit offset: such a candidate (no frame, or one
        // beside k) never needs looking at again.
        const qint64 reach = beside ? std::numeric_limits<qint64>::max() : qint64(c.offset) + c.noPairWithin;
        if (reach >= std::numeric_limits<qint32>::max())
            continue;
        while (!pairReach_.empty() && pairReach_.back().second >= reach)
            pairReach_.pop_back();
        pairReach_.emplace_back(j, reach);
    }
    return false;
}

qint32 ProtocolFrameExtraction::queuedAt(size_t k) const
{
    const qint32 at = candidates_[k].offset;
    for (size_t j = k; j-- > firstCandidate_ && candidates_[j].offset == at;) {
        if (candidates_[j].taken)
            return at + candidates_[j].length;
    }
    for (size_t j = k + 1; j < candidates_.size() && candidates_[j].offset == at; ++j) {
        if (candidates_[j].taken)
            return at + candidates_[j].length;
    }
    return 0;
}

void ProtocolFrameExtraction::takeAwaitedReplies(const QList<ProtocolBase*>& protocols, size_t held, int size,
                                                 QVector<ExtractedFrame>& found)
{
    // The held candidate may be a false head whose span takes seconds to arrive: in
    // a stream of a kind not searched (a device just plugged in, say) no two frames
    // come back to back to end the hold early, and a request waits far shorter. Only
    // replies waited for right now: otherwise the frames found stay independent of
    // how the reads were split (a reply inside a payload may be queued as well here).
    QVarLengthArray<bool, 32> awaited(protocols.size());
    bool any = false;
    for (int i = 0; i < protocols.size(); ++i) {
        awaited[i] = protocols.at(i)->isAwaited();
        any = any || awaited[i];
    }
    if (!any)
        return;
    QTime receivedAt;
    for (size_t k = held + 1; k < candidates_.size(); ++k) {
        FrameCandidate& c = candidates_[k];
        if (c.taken || !awaited[c.protocolIndex] || queuedAt(k) > 0)
            continue;
        if (c.state == FrameCandidate::Open) {
            qint32 claimedEnd = 0;
            settle(protocols, c, size, claimedEnd);
        }
        if (c.state != FrameCandidate::Verified)
            continue;
        if (!receivedAt.isValid())
            receivedAt = currentTime();
        found.append(ExtractedFrame{protocols.at(c.protocolIndex),
                                    QByteArray(remainder_.constData() + c.offset, c.length), receivedAt,
                                    remainderOffset_ + c.offset});
        c.taken = true;
    }
}

void ProtocolFrameExtraction::extractFrames()
{
    QByteArray input = takePendingData();
    bool giveUp = false;
    if (input.isEmpty()) {
        // Nothing new: only a held candidate that has waited too long changes anything.
        if (!holding_ || !sinceInput_.isValid() || sinceInput_.elapsed() < kIdleGiveUpMs || !readerDrained())
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
    findHeads(protocols);

    QVector<ExtractedFrame> found;
    WalkEnd walked{};
    {
        // The checks of long candidates sum their spans from the running sums.
        const ProtocolBase::HeldBytes held(remainder_.constData(), remainder_.size(), sums_, xors_);
        walked = walk(protocols, giveUp, found);
        if (walked.held < candidates_.size())
            takeAwaitedReplies(protocols, walked.held, remainder_.size(), found);
    }
    if (!found.isEmpty())
        processor_->appendFrames(found);
    keepForNextPass(protocols, walked, giveUp);
}

void ProtocolFrameExtraction::findHeads(const QList<ProtocolBase*>& protocols)
{
    const int size = remainder_.size();
    const char* base = remainder_.constData();
    // Candidates of the kept bytes stay valid while the searched protocols do.
    // Otherwise they are found afresh, except the frames already queued ahead of a
    // held candidate (awaited replies): those stay queued, and a head found again at
    // one is part of it (queuedAt).
    if (protocols != searchedBy_) {
        std::vector<FrameCandidate> kept;
        for (size_t k = firstCandidate_; k < candidates_.size(); ++k) {
            FrameCandidate c = candidates_[k];
            if (!c.taken)
                continue;
            c.protocolIndex = static_cast<qint16>(c.protocolIndex < 0 ? -1
                                                                      : protocols.indexOf(searchedBy_.at(c.protocolIndex)));
            kept.push_back(c);
        }
        candidates_.swap(kept);
        firstCandidate_ = 0;
        searchedSize_ = consumed_;
        searchedBy_ = protocols;
        pairScanned_ = 0;
        pairReach_.clear();
    }
    int longestHead = 0;
    const auto before = [](const FrameCandidate& a, const FrameCandidate& b) {
        if (a.offset != b.offset)
            return a.offset < b.offset;
        if (a.frameLength != b.frameLength)
            return a.frameLength < b.frameLength;
        return a.protocolIndex < b.protocolIndex;
    };
    const size_t known = candidates_.size();
    for (int i = 0; i < protocols.size(); ++i) {
        const ProtocolBase* p = protocols.at(i);
        const QByteArray& head = p->head();
        longestHead = std::max(longestHead, head.size());
        // A protocol without a head would match everywhere: it yields nothing.
        if (head.isEmpty())
            continue;
        // Heads that fitted wholly in the bytes searched before were found then.
        int pos = std::max(consumed_, searchedSize_ - head.size() + 1);
        const qint32 orderLength = p->minFrameLength() > 0 ? p->minFrameLength() : p->frameLength();
        const auto run = static_cast<std::ptrdiff_t>(candidates_.size());
        while ((pos = findBytes(base, size, pos, head.constData(), head.size())) >= 0) {
            candidates_.emplace_back(i, pos, orderLength);
            pos += head.size();
        }
        // Each protocol's heads come in order: merged run by run, rarely more than a
        // few, rather than sorted.
        const auto from = candidates_.begin() + run;
        if (run > static_cast<std::ptrdiff_t>(known) && from != candidates_.end() && before(*from, *(from - 1)))
            std::inplace_merge(candidates_.begin() + static_cast<std::ptrdiff_t>(known), from, candidates_.end(),
                               before);
    }
    searchedSize_ = size;
    longestHead_ = longestHead;
    const auto fresh = candidates_.begin() + static_cast<std::ptrdiff_t>(known);
    const auto first = candidates_.begin() + static_cast<std::ptrdiff_t>(firstCandidate_);
    // New heads mostly lie behind the kept ones; merging would allocate every pass.
    if (known > firstCandidate_ && fresh != candidates_.end() && before(*fresh, *(fresh - 1))) {
        std::inplace_merge(first, fresh, candidates_.end(), before);
        pairScanned_ = 0;
        pairReach_.clear();
    }
}

// The walk, in offset order. A candidate is no frame when two verified frames lie
// back to back wholly inside the span it claims (from its length field, or the
// longest its kind allows while that is unknown): it is what keeps the display live
// after a false head or a damaged length field, as a held candidate waits at most
// until the second frame behind it has fully arrived. Its price: a real frame whose
// payload carries two whole frames of the searched kinds back to back (a node frame 0
// relaying them, say) is taken for damage, and the frames inside it are decoded.
// Whether such a pair lies there follows from the bytes of that span alone, never
// from when they came, so the frames found stay independent of how the reads were
// split. Frames inside a verified frame otherwise belong to it and are never decoded.
ProtocolFrameExtraction::WalkEnd ProtocolFrameExtraction::walk(const QList<ProtocolBase*>& protocols, bool giveUp,
                                                               QVector<ExtractedFrame>& found)
{
    const int size = remainder_.size();
    QTime receivedAt;
    KnownPair known;
    WalkEnd walked{candidates_.size(), 0}; // nothing before queuedEnd is looked at again
    for (size_t k = firstCandidate_; k < candidates_.size(); ++k) {
        FrameCandidate& c = candidates_[k];
        // Candidates that start inside a queued frame belong to it.
        if (c.offset < walked.queuedEnd || c.state == FrameCandidate::NoFrame)
            continue;
        if (c.taken) {
            walked.queuedEnd = c.offset + c.length;
            continue;
        }
        // Taken ahead of the hold by another protocol of the same head: queued once.
        if (const qint32 end = queuedAt(k)) {
            walked.queuedEnd = end;
            continue;
        }
        qint32 claimedEnd = c.offset + c.length;
        qint32 length = c.length;
        if (c.state == FrameCandidate::Open) {
            length = settle(protocols, c, size, claimedEnd);
            if (c.state == FrameCandidate::NoFrame)
                continue;
        }
        const bool incomplete = length <= 0;
        if (incomplete && giveUp)
            continue;
        const bool holdsHeads = k + 1 < candidates_.size() && candidates_[k + 1].offset < claimedEnd;
        if (holdsHeads && holdsTwoFrames(protocols, k, claimedEnd, size, known))
            continue;
        if (incomplete) {
            // Later candidates wait for this one: it may yet be the frame that holds them.
            walked.held = k;
            break;
        }
        if (!receivedAt.isValid())
            receivedAt = currentTime();
        found.append(ExtractedFrame{protocols.at(c.protocolIndex),
                                    QByteArray(remainder_.constData() + c.offset, length), receivedAt,
                                    remainderOffset_ + c.offset});
        walked.queuedEnd = c.offset + length;
    }
    return walked;
}

void ProtocolFrameExtraction::keepForNextPass(const QList<ProtocolBase*>& protocols, const WalkEnd& walked,
                                              bool giveUp)
{
    const int size = remainder_.size();
    // Keep what may begin a head split across two reads, but no byte of a frame
    // already queued; a held candidate keeps everything from its head on.
    const int keep = protocols.isEmpty() ? 1 : std::max(longestHead_ - 1, 0);
    int start = std::max({size - keep, walked.queuedEnd, consumed_});
    holding_ = walked.held < candidates_.size();
    // The idle time counts from the last input a held candidate saw; passes that
    // hold nothing skip the clock.
    if (holding_ && !giveUp)
        sinceInput_.start();
    if (holding_) {
        // What is known of the candidates behind it stays valid (see holdsTwoFrames).
        start = std::min(start, candidates_[walked.held].offset);
        firstCandidate_ = walked.held;
    } else {
        candidates_.clear();
        firstCandidate_ = 0;
        pairScanned_ = 0;
        pairReach_.clear();
    }
    consumed_ = start;
    // A hold that moves on a few bytes a pass (heads completing one after another)
    // then costs those bytes, not a copy of all it keeps.
    if (consumed_ >= size - consumed_)
        dropConsumed();
    searchedSize_ = remainder_.size();
}

void ProtocolFrameExtraction::dropConsumed()
{
    const int n = consumed_;
    if (n <= 0)
        return;
    const int size = remainder_.size();
    remainderOffset_ += std::min(n, size);
    if (n >= size)
        remainder_.clear();
    else
        remainder_.remove(0, n);
    sums_.dropFront(n);
    xors_.dropFront(n);
    consumed_ = 0;
    if (candidates_.empty()) {
        firstCandidate_ = 0;
        return;
    }
    const size_t gone = firstCandidate_;
    candidates_.erase(candidates_.begin(), candidates_.begin() + static_cast<std::ptrdiff_t>(gone));
    firstCandidate_ = 0;
    for (FrameCandidate& c : candidates_) {
        c.offset -= n;
        c.tailFrom = std::max(0, c.tailFrom - n);
    }
    pairScanned_ = pairScanned_ > gone ? pairScanned_ - gone : 0;
    while (!pairReach_.empty() && pairReach_.front().first < gone)
        pairReach_.pop_front();
    for (auto& entry : pairReach_) {
        entry.first -= gone;
        entry.second -= n;
    }
}
