#include "views/ChartRefreshDriver.h"

#include <QElapsedTimer>
#include <QThread>
#include <QTimer>

#include "model/ResourceItems.h"
#include "views/BaseResource.h"
#include "views/ChartUpdateHandover.h"

ChartRefreshDriver::ChartRefreshDriver(QObject* parent) : QObject(parent) {}

ChartRefreshDriver::~ChartRefreshDriver()
{
    stop();
}

void ChartRefreshDriver::addResource(BaseResource* resource)
{
    QWriteLocker lock(&lock_);
    if (!resources_.contains(resource))
        resources_.append(resource);
}

void ChartRefreshDriver::removeResource(BaseResource* resource)
{
    QWriteLocker lock(&lock_);
    resources_.removeAll(resource);
}

QList<BaseResource*> ChartRefreshDriver::resources() const
{
    QReadLocker lock(&lock_);
    return resources_;
}

void ChartRefreshDriver::start(QThread* thread, int fps)
{
    const int interval = 1000 / qBound(1, fps, 1000);
    if (thread && thread != QThread::currentThread() && thread->isRunning()) {
        moveToThread(thread);
        QMetaObject::invokeMethod(this, [this, interval] { startTimer(interval); }, Qt::QueuedConnection);
    } else {
        startTimer(interval);
    }
}

void ChartRefreshDriver::stop()
{
    QThread* t = thread();
    if (t != QThread::currentThread() && t->isRunning())
        QMetaObject::invokeMethod(this, [this] { stopTimer(); }, Qt::BlockingQueuedConnection);
    else
        stopTimer();
}

void ChartRefreshDriver::startTimer(int intervalMs)
{
    if (!timer_) {
        timer_ = new QTimer(this);
        timer_->setTimerType(Qt::PreciseTimer);
        connect(timer_, &QTimer::timeout, this, [this] { refreshOnce(); });
    }
    timer_->start(intervalMs);
}

void ChartRefreshDriver::stopTimer()
{
    delete timer_;
    timer_ = nullptr;
}

int ChartRefreshDriver::refreshOnce()
{
    QElapsedTimer clock;
    clock.start();
    int updated = 0;
    {
        QReadLocker lock(&lock_);
        ChartUpdateHandover::Batch batch;
        for (BaseResource* r : resources_) {
            BaseResourceItem* item = r->item();
            if (!item->isDirty() || !item->isVisible())
                continue;
            // Cleared first: a value written meanwhile sets it again and is drawn next time.
            item->setDirty(false);
            r->updateFromItem();
            ++updated;
        }
    }
    busyNs_ += quint64(clock.nsecsElapsed());
    ++passes_;
    return updated;
}
