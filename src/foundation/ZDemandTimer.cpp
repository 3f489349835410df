#include "foundation/ZDemandTimer.h"

#include <QMutexLocker>
#include <QThread>
#include <QTimer>

ZDemandTimer::ZDemandTimer(int intervalMs, int idleTicks, std::function<void()> tick, std::function<bool()> hasWork,
                           QObject* parent)
    : QObject(parent)
    , timer_(new QTimer(this))
    , idleTicks_(qMax(1, idleTicks))
    , tick_(std::move(tick))
    , hasWork_(std::move(hasWork))
{
    timer_->setTimerType(Qt::PreciseTimer);
    timer_->setInterval(intervalMs);
    connect(timer_, &QTimer::timeout, this, &ZDemandTimer::onTimeout);
}

void ZDemandTimer::wake()
{
    {
        QMutexLocker lock(&mutex_);
        if (running_)
            return;
        running_ = true;
        ++starts_;
    }
    if (QThread::currentThread() == thread()) {
        // Not ticked here: the caller may be inside the work itself.
        begin(false);
    } else {
        // The work is waiting: do it as soon as the thread is free, not a tick later.
        QMetaObject::invokeMethod(this, [this] { begin(true); }, Qt::QueuedConnection);
    }
}

bool ZDemandTimer::isRunning() const
{
    QMutexLocker lock(&mutex_);
    return running_;
}

quint64 ZDemandTimer::startCount() const
{
    QMutexLocker lock(&mutex_);
    return starts_;
}

void ZDemandTimer::begin(bool tickNow)
{
    idle_ = 0;
    timer_->start();
    if (tickNow)
        onTimeout();
}

void ZDemandTimer::onTimeout()
{
    if (tick_)
        tick_();
    QMutexLocker lock(&mutex_);
    if (!running_)
        return;
    if (hasWork_ && hasWork_()) {
        idle_ = 0;
        return;
    }
    if (++idle_ < idleTicks_)
        return;
    timer_->stop();
    running_ = false;
}
