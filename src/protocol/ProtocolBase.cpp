#include "protocol/ProtocolBase.h"

#include "foundation/ZAlgo.h"
#include "model/ModelManager.h"
#include "protocol/ProtocolDataProcessor.h"
#include "protocol/ProtocolSeams.h"

#include <QMutex>
#include <QMutexLocker>
#include <QReadWriteLock>

#include <algorithm>

namespace {

// Spans this short are summed byte by byte: that costs no more than the look-ups,
// and a stream of short frames never needs running sums at all.
constexpr qint32 kShortSpan = 256;

thread_local ProtocolBase::HeldBytes* t_held = nullptr;

} // namespace

quint8 RunningSums::span(const char* base, qint32 size, qint32 from, qint32 n)
{
    const auto* bytes = reinterpret_cast<const quint8*>(base);
    const qint32 end = from + n;
    const qint32 covered = entries_.isEmpty() ? 0 : entries_.size() - 1;
    // A span that overlaps none summed before is summed as it is: that costs no more
    // than running sums over it would. Only spans that overlap (candidates within
    // one another's spans) need them.
    if (end > covered && from >= summedTo_) {
        summedTo_ = end;
        quint8 v = 0;
        if (kind_ == Sum) {
            for (qint32 i = from; i < end; ++i)
                v = static_cast<quint8>(v + bytes[i]);
        } else {
            for (qint32 i = from; i < end; ++i)
                v = static_cast<quint8>(v ^ bytes[i]);
        }
        return v;
    }
    // Extended over all the bytes there are: the next spans lie further on.
    if (end > covered) {
        if (entries_.isEmpty())
            entries_.append('\0');
        entries_.resize(size + 1);
        quint8* __restrict out = reinterpret_cast<quint8*>(entries_.data()) + 1;
        const quint8* __restrict in = bytes;
        quint8 v = out[covered - 1];
        if (kind_ == Sum) {
            for (qint32 i = covered; i < size; ++i)
                out[i] = v = static_cast<quint8>(v + in[i]);
        } else {
            for (qint32 i = covered; i < size; ++i)
                out[i] = v = static_cast<quint8>(v ^ in[i]);
        }
    }
    const auto* entries = reinterpret_cast<const quint8*>(entries_.constData());
    return kind_ == Sum ? static_cast<quint8>(entries[end] - entries[from])
                        : static_cast<quint8>(entries[end] ^ entries[from]);
}

void RunningSums::dropFront(qint32 n)
{
    if (n <= 0 || (entries_.isEmpty() && summedTo_ == 0))
        return;
    summedTo_ = std::max(summedTo_ - n, 0);
    // Entries that covered fewer bytes than went start anew from the next byte.
    if (entries_.size() <= n)
        entries_.clear();
    else
        entries_.remove(0, n);
}

ProtocolBase::HeldBytes::HeldBytes(const char* base, qint32 size, RunningSums& sums, RunningSums& xors)
    : base_(base)
    , size_(size)
    , sums_(sums)
    , xors_(xors)
    , outer_(t_held)
{
    t_held = this;
}

ProtocolBase::HeldBytes::~HeldBytes()
{
    t_held = outer_;
}

bool ProtocolBase::sumOfHeldSpan(const char* data, qint32 n, RunningSums::Kind kind, quint8& value)
{
    if (!t_held)
        return false;
    const HeldBytes& h = *t_held;
    const quintptr at = reinterpret_cast<quintptr>(data) - reinterpret_cast<quintptr>(h.base_);
    if (at > quintptr(h.size_) || quintptr(n) > quintptr(h.size_) - at)
        return false;
    value = (kind == RunningSums::Sum ? h.sums_ : h.xors_).span(h.base_, h.size_, static_cast<qint32>(at), n);
    return true;
}

quint8 ProtocolBase::sum8(const char* data, qint32 n)
{
    quint8 sum = 0;
    if (!data || n <= 0 || (n > kShortSpan && sumOfHeldSpan(data, n, RunningSums::Sum, sum)))
        return sum;
    const auto* bytes = reinterpret_cast<const quint8*>(data);
    return n <= 0xFFFF ? ZAlgo::calcCheckSum8(bytes, static_cast<quint16>(n))
                       : static_cast<quint8>(ZAlgo::calcSum(bytes, n));
}

quint8 ProtocolBase::xor8(const char* data, qint32 n)
{
    quint8 x = 0;
    if (!data || n <= 0 || (n > kShortSpan && sumOfHeldSpan(data, n, RunningSums::Xor, x)))
        return x;
    return ZAlgo::calcXor8(reinterpret_cast<const quint8*>(data), n);
}

// The global list of protocols activated since start-up. The search takes an
// implicitly shared snapshot under the lock; the filtered search list is rebuilt
// only when an activation changed something.
struct ActiveProtocolList
{
    QMutex mutex;
    QList<ProtocolBase*> list;
    quint64 serial = 0;
    quint64 generation = 0;
    quint64 searchedGeneration = ~quint64(0);
    QList<ProtocolBase*> searched;
    // Read by each search pass, written by a protocol that goes away.
    QReadWriteLock passLock;

    static ActiveProtocolList& get()
    {
        static ActiveProtocolList l;
        return l;
    }

    // Under mutex.
    void rebuildSearched()
    {
        searched.clear();
        for (ProtocolBase* p : list) {
            bool anyActive = false;
            ProtocolBase* latest = nullptr;
            for (ProtocolBase* q : list) {
                if (q->head_ != p->head_)
                    continue;
                if (q->isActive())
                    anyActive = true;
                if (!latest || q->activationSerial_ > latest->activationSerial_)
                    latest = q;
            }
            if (p->searchedOnlyWhileActive_ && !p->isActive())
                continue;
            if (anyActive ? p->isActive() : p == latest)
                searched.append(p);
        }
        searchedGeneration = generation;
    }
};

ProtocolBase::ProtocolBase(const QString& name, QObject* parent)
    : QObject(parent)
    , name_(name)
{
    // An owner announces its end before it deletes its children: the protocol leaves
    // the pipeline while it is still whole, not once its subclass is gone.
    if (parent)
        connect(parent, &QObject::destroyed, this, [this] { leavePipeline(); }, Qt::DirectConnection);
}

ProtocolBase::~ProtocolBase()
{
    leavePipeline();
}

void ProtocolBase::leavePipeline()
{
    setActive(false);
    ActiveProtocolList& l = ActiveProtocolList::get();
    {
        QMutexLocker lock(&l.mutex);
        if (l.list.removeAll(this) > 0)
            ++l.generation;
    }
    // The next pass no longer finds it; the one under way may still use it.
    {
        QWriteLocker pass(&l.passLock);
    }
    ProtocolDataProcessor::forgetProtocol(this);
}

ProtocolBase::SearchPass::SearchPass()
{
    ActiveProtocolList::get().passLock.lockForRead();
}

ProtocolBase::SearchPass::~SearchPass()
{
    ActiveProtocolList::get().passLock.unlock();
}

bool ProtocolBase::checkFrameLength(const char*, qint64)
{
    return true;
}

bool ProtocolBase::verifyFrame(const char* data)
{
    if (!data || frameLength_ < 3 || frameLength_ > 0xFFFF)
        return false;
    return static_cast<quint8>(data[frameLength_ - 1]) == sum8(data, frameLength_ - 1);
}

void ProtocolBase::registerDataItems() {}

void ProtocolBase::setActive(bool active)
{
    ActiveProtocolList& l = ActiveProtocolList::get();
    QMutexLocker lock(&l.mutex);
    if (isActive_.load() == active)
        return;
    isActive_.store(active, std::memory_order_release);
    if (active) {
        activationSerial_ = ++l.serial;
        if (!l.list.contains(this))
            l.list.append(this);
    }
    ++l.generation;
}

bool ProtocolBase::recordsFit(const char*, qint32) const
{
    return true;
}

void ProtocolBase::processFrame(const QByteArray& frame)
{
    if (ModelManager* m = ProtocolSeams::currentModelManager())
        modelManager_ = m;
    if (!isDataItemsRegistered_) {
        isDataItemsRegistered_ = true;
        // Made here: the page takes new items without making this thread wait for
        // its own (createResource), and a window is built there the same way.
        registerDataItems();
    }
    parseFrame(frame);
    if (emitParseFinished_)
        emit dataParseFinished();
}

QList<ProtocolBase*> ProtocolBase::activeProtocols()
{
    ActiveProtocolList& l = ActiveProtocolList::get();
    QMutexLocker lock(&l.mutex);
    return l.list;
}

QList<ProtocolBase*> ProtocolBase::searchedProtocols()
{
    ActiveProtocolList& l = ActiveProtocolList::get();
    QMutexLocker lock(&l.mutex);
    if (l.searchedGeneration != l.generation)
        l.rebuildSearched();
    return l.searched;
}

InsideReadWriteProtocol::InsideReadWriteProtocol(const QString& name, QObject* parent)
    : ProtocolBase(name, parent)
{
    emitParseFinished_ = true;
    replyHandler_ = [](QString&) { return true; };
    connect(this, &ProtocolBase::dataParseFinished, this, &InsideReadWriteProtocol::handleReceivedData);
}

InsideReadWriteProtocol::~InsideReadWriteProtocol()
{
    replyHandler_ = nullptr;
}

QByteArray InsideReadWriteProtocol::packReadRequest()
{
    return QByteArray();
}

QByteArray InsideReadWriteProtocol::packWriteRequest()
{
    return QByteArray();
}

void InsideReadWriteProtocol::setReplyHandler(ReplyHandler handler)
{
    replyHandler_ = std::move(handler);
}

void InsideReadWriteProtocol::handleReceivedData()
{
    QString message;
    if (replyHandler_)
        replyHandler_(message);
}
