#include "foundation/ZTimerManager.h"

#include "foundation/ZDemandTimer.h"

#include <QEventLoop>
#include <QList>
#include <QMutex>
#include <QThread>

ZTimeHandle::ZTimeHandle(int ms)
    : interval_(ms)
{
    clock_.start();
}

void ZTimeHandle::release()
{
    // Receivers of the previous taker must not hear the next taker's time-out.
    disconnect(this, &ZTimeHandle::timeout, nullptr, nullptr);
    interval_.store(0);
    released_.store(true);
}

class ZTimerManager_P : public QObject
{
public:
    explicit ZTimerManager_P(QObject* parent)
        : QObject(parent)
        // Polled every millisecond while a handle is pending, not at all otherwise.
        , timer(new ZDemandTimer(1, 1, [this] { poll(); },
                                 [this] {
                                     QMutexLocker lock(&mutex);
                                     return !active.isEmpty();
                                 }, this))
    {
    }

    ~ZTimerManager_P() override
    {
        qDeleteAll(active);
        qDeleteAll(fired);
        qDeleteAll(freeList);
    }

    ZTimeHandle* take(int ms)
    {
        ZTimeHandle* h = nullptr;
        {
            QMutexLocker lock(&mutex);
            h = takeLocked(ms);
        }
        timer->wake();
        return h;
    }

    ZTimeHandle* takeLocked(int ms)
    {
        // With nothing pending there is no poll: handles released since come back here.
        recycleReleased();
        ZTimeHandle* h = nullptr;
        if (freeList.isEmpty()) {
            h = new ZTimeHandle(ms);
            // Handles belong to the manager's thread, where they are deleted.
            h->moveToThread(thread());
        } else {
            h = freeList.takeFirst();
            h->released_.store(false);
            h->interval_.store(ms);
            h->clock_.restart();
        }
        active.append(h);
        return h;
    }

    void poll()
    {
        QList<ZTimeHandle*> copy;
        {
            QMutexLocker lock(&mutex);
            copy = active;
        }
        // From the back, so index i stays valid while other threads append at the end.
        for (int i = copy.size() - 1; i >= 0; --i) {
            ZTimeHandle* h = copy.at(i);
            const int interval = h->interval_.load();
            if (interval != 0 && h->clock_.elapsed() >= interval) {
                h->interval_.store(0);
                emit h->timeout();
            }
            if (h->interval_.load() > 0)
                continue;
            QMutexLocker lock(&mutex);
            if (i < active.size() && active.at(i) == h)
                active.removeAt(i);
            else
                active.removeOne(h);
            // A fired handle may still be read by its taker: it is reused only after
            // the taker released it.
            if (h->released_.load())
                freeList.append(h);
            else
                fired.append(h);
        }

        QMutexLocker lock(&mutex);
        recycleReleased();
    }

    // Under the mutex.
    void recycleReleased()
    {
        for (int i = fired.size() - 1; i >= 0; --i) {
            if (fired.at(i)->released_.load())
                freeList.append(fired.takeAt(i));
        }
    }

    ZDemandTimer* timer;
    QMutex mutex;
    QList<ZTimeHandle*> active;
    QList<ZTimeHandle*> fired; // ran out, not yet released by their takers
    QList<ZTimeHandle*> freeList;
};

namespace {
ZTimerManager* g_timerManager = nullptr;
QMutex g_timerManagerMutex;
} // namespace

ZTimerManager* ZTimerManager::instance()
{
    QMutexLocker lock(&g_timerManagerMutex);
    if (!g_timerManager)
        g_timerManager = new ZTimerManager;
    return g_timerManager;
}

ZTimerManager::ZTimerManager()
    : d(new ZTimerManager_P(this))
{
}

ZTimerManager::~ZTimerManager()
{
    // The manager ends with its worker thread: nobody may reach it afterwards.
    QMutexLocker lock(&g_timerManagerMutex);
    if (g_timerManager == this)
        g_timerManager = nullptr;
}

ZTimeHandle* ZTimerManager::start(int ms)
{
    return d->take(ms);
}

void ZTimerManager::wait(int ms)
{
    if (ms <= 0)
        return;
    QEventLoop loop;
    ZTimeHandle* h = start(ms);
    connect(h, &ZTimeHandle::timeout, &loop, &QEventLoop::quit, Qt::AutoConnection);
    if (!h->isTimedOut())
        loop.exec();
    h->release();
}
