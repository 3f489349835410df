#include "views/ChartUpdateHandover.h"

#include <QCoreApplication>
#include <QThread>

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
    bool schedule = false;
    {
        QMutexLocker lock(&mutex_);
        pending_.insert(id, std::move(apply));
        if (!flushScheduled_) {
            flushScheduled_ = true;
            schedule = true;
        }
    }
    if (schedule)
        scheduleFlush();
}

void ChartUpdateHandover::scheduleFlush()
{
    QCoreApplication* app = QCoreApplication::instance();
    if (!app)
        return;
    QMetaObject::invokeMethod(app, [this] { flush(); }, Qt::QueuedConnection);
}

int ChartUpdateHandover::flush()
{
    QHash<quint64, Apply> batch;
    {
        QMutexLocker lock(&mutex_);
        batch.swap(pending_);
        flushScheduled_ = false;
    }
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
