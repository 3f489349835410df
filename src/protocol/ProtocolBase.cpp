#include "protocol/ProtocolBase.h"

#include "foundation/ZAlgo.h"
#include "model/ModelManager.h"
#include "protocol/ProtocolDataProcessor.h"
#include "protocol/ProtocolSeams.h"

#include <QMutex>
#include <QMutexLocker>
#include <QReadWriteLock>

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
    if (frameLength_ < 1 || frameLength_ > 0xFFFF)
        return false;
    return ZAlgo::verifyCheckSum8(reinterpret_cast<const quint8*>(data), static_cast<quint16>(frameLength_));
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
