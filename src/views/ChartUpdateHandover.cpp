#include "views/ChartUpdateHandover.h"

#include <QCoreApplication>
#include <QThread>
#include <QTimer>

#include "views/ChartDrawBudget.h"

ChartUpdateHandover& ChartUpdateHandover::instance()
{
    static ChartUpdateHandover handover;
    return handover;
}

quint64 ChartUpdateHandover::registerResource(BaseResource* resource)
{
    const quint64 id = nextId_++;
    live_.insert(id, resource);
    return id;
}

void ChartUpdateHandover::unregisterResource(quint64 id)
{
    live_.remove(id);
    QMutexLocker lock(&mutex_);
    pending_.remove(id);
}

namespace {
// The open batch of the calling thread: how deep, and the updates it holds back.
// They join the pending ones only when the batch ends, so no flush, not even one
// scheduled before the batch began, can apply part of it.
thread_local int batchDepth = 0;
thread_local QHash<quint64, ChartUpdateHandover::Apply> batchHeld;
} // namespace

ChartUpdateHandover::Batch::Batch()
{
    ++batchDepth;
}

ChartUpdateHandover::Batch::~Batch()
{
    if (--batchDepth > 0 || batchHeld.isEmpty())
        return;
    ChartUpdateHandover& h = ChartUpdateHandover::instance();
    bool schedule = false;
    {
        QMutexLocker lock(&h.mutex_);
        for (auto it = batchHeld.begin(); it != batchHeld.end(); ++it)
            h.pending_.insert(it.key(), std::move(it.value()));
        if (!h.flushScheduled_) {
            h.flushScheduled_ = true;
            schedule = true;
        }
    }
    batchHeld.clear();
    if (schedule)
        h.scheduleFlush();
}

static bool onGuiThread()
{
    return QCoreApplication::instance() && QThread::currentThread() == QCoreApplication::instance()->thread();
}

void ChartUpdateHandover::post(quint64 id, Apply apply)
{
    if (onGuiThread()) {
        {
            QMutexLocker lock(&mutex_);
            pending_.remove(id);
        }
        if (BaseResource* r = live_.value(id, nullptr))
            apply(r);
        return;
    }
    // Outside an open batch the update is a batch of its own: one path to the GUI.
    Batch batch;
    batchHeld.insert(id, std::move(apply));
}

void ChartUpdateHandover::scheduleFlush()
{
    QCoreApplication* app = QCoreApplication::instance();
    if (!app)
        return;
    QMetaObject::invokeMethod(app, [this] { flushWhenAffordable(); }, Qt::QueuedConnection);
}

void ChartUpdateHandover::flushWhenAffordable()
{
    // Updates that come meanwhile replace the pending ones: the charts get the
    // newest data once they may draw again, and the device is read in between.
    const qint64 wait = ChartDrawBudget::waitNs();
    if (wait > 0) {
        QTimer::singleShot(int((wait + 999999) / 1000000), QCoreApplication::instance(),
                           [this] { flushWhenAffordable(); });
        return;
    }
    flush();
}

int ChartUpdateHandover::flush()
{
    QHash<quint64, Apply> batch;
    {
        QMutexLocker lock(&mutex_);
        batch.swap(pending_);
        flushScheduled_ = false;
    }
    ChartDrawBudget::beginCycle();
    ChartDrawBudget::Scope work(false);
    int applied = 0;
    for (auto it = batch.begin(); it != batch.end(); ++it) {
        if (BaseResource* r = live_.value(it.key(), nullptr)) {
            it.value()(r);
            ++applied;
        }
    }
    return applied;
}

int ChartUpdateHandover::pendingCount() const
{
    QMutexLocker lock(&mutex_);
    return pending_.size();
}
