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

void ProtocolFrameExtraction::extractFrames()
{
    QByteArray input = takePendingData();
    if (input.isEmpty())
        return;
    const QList<ProtocolBase*> protocols = ProtocolBase::searchedProtocols();

    QByteArray buffer;
    if (remainder_.isEmpty()) {
        buffer.swap(input);
    } else {
        buffer.reserve(remainder_.size() + input.size());
        buffer.append(remainder_);
        buffer.append(input);
        remainder_.clear();
    }
    const int size = buffer.size();
    const char* base = buffer.constData();
    unconsumedStart_ = size;
    candidates_.clear();

    int longestHead = 0;
    for (int i = 0; i < protocols.size(); ++i) {
        const ProtocolBase* p = protocols.at(i);
        const QByteArray& head = p->head();
        longestHead = std::max(longestHead, head.size());
        // A protocol without a head would match everywhere: it yields nothing.
        if (head.isEmpty())
            continue;
        int pos = 0;
        while ((pos = findBytes(base, size, pos, head.constData(), head.size())) >= 0) {
            candidates_.push_back(FrameCandidate{i, pos, p->frameLength()});
            pos += head.size();
        }
    }
    std::sort(candidates_.begin(), candidates_.end(), [](const FrameCandidate& a, const FrameCandidate& b) {
        if (a.offset != b.offset)
            return a.offset < b.offset;
        if (a.frameLength != b.frameLength)
            return a.frameLength < b.frameLength;
        return a.protocolIndex < b.protocolIndex;
    });

    QVector<ExtractedFrame> found;
    QTime receivedAt;
    int queuedEnd = 0; // end of the last queued frame: nothing before it is looked at again
    for (const FrameCandidate& c : candidates_) {
        // Candidates that start inside a queued frame belong to it.
        if (c.offset < queuedEnd)
            continue;
        ProtocolBase* p = protocols.at(c.protocolIndex);
        const char* data = base + c.offset;
        const qint64 available = size - c.offset;
        bool incomplete = false;
        if (p->isLengthKnown()) {
            incomplete = !p->checkFrameLength(data, available) || available < p->frameLength();
        } else {
            const QByteArray& tail = p->tail();
            if (tail.isEmpty())
                continue;
            const int at = findBytes(base, size, c.offset + p->head().size(), tail.constData(), tail.size());
            if (at < 0) {
                incomplete = true;
            } else {
                const int length = at - c.offset + tail.size();
                // Too short for the protocol: not a frame of it.
                if (length < p->minFrameLength())
                    continue;
                p->frameLength_ = length;
            }
        }
        if (incomplete) {
            if (unconsumedStart_ == size)
                unconsumedStart_ = c.offset;
            continue;
        }
        const qint32 length = p->frameLength();
        // Never verify or copy beyond what has arrived, nor a frame shorter than its head.
        if (length < p->head().size() || length > available || length < 1)
            continue;
        if (!p->verifyFrame(data))
            continue;
        if (!receivedAt.isValid())
            receivedAt = currentTime();
        found.append(ExtractedFrame{p, QByteArray(data, length), receivedAt});
        unconsumedStart_ = size;
        queuedEnd = c.offset + length;
    }
    processor_->appendFrames(found);

    if (unconsumedStart_ < size) {
        remainder_ = buffer.mid(unconsumedStart_);
    } else {
        // Keep what may begin a head split across two reads, but no byte of a frame
        // already queued.
        const int keep = protocols.isEmpty() ? 1 : std::max(longestHead - 1, 0);
        const int start = std::max(size - keep, queuedEnd);
        if (start < size)
            remainder_ = buffer.mid(start);
    }
}
