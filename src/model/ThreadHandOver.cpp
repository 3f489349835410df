#include "model/ThreadHandOver.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QMetaObject>
#include <QMutexLocker>
#include <QThread>

#include "foundation/ZLog.h"

struct ThreadHandOver::Call
{
    QMutex mutex;
    bool done = false;
    bool abandoned = false;
    QEventLoop* loop = nullptr;

    // Under mutex: wakes the waiting thread's loop (queued, so a wake-up that
    // comes before the loop runs still ends it).
    void wake()
    {
        if (loop)
            QMetaObject::invokeMethod(loop, "quit", Qt::QueuedConnection);
    }
};

uint qHash(const std::shared_ptr<ThreadHandOver::Call>& call, uint seed)
{
    return ::qHash(call.get(), seed);
}

ThreadHandOver::ThreadHandOver(QObject* owner)
    : owner_(owner)
{
}

ThreadHandOver::~ThreadHandOver()
{
    QMutexLocker lock(&mutex_);
    for (const std::shared_ptr<Call>& call : qAsConst(pending_)) {
        QMutexLocker callLock(&call->mutex);
        call->abandoned = true;
        call->wake();
    }
    pending_.clear();
}

bool ThreadHandOver::needed() const
{
    return QThread::currentThread() != owner_->thread();
}

bool ThreadHandOver::run(const std::function<void()>& work)
{
    if (!needed()) {
        work();
        return true;
    }
    auto call = std::make_shared<Call>();
    QEventLoop loop;
    {
        QMutexLocker callLock(&call->mutex);
        call->loop = &loop;
    }
    {
        QMutexLocker lock(&mutex_);
        pending_.insert(call);
    }
    // The functor is dropped with the owner's posted events if the owner dies
    // first; the destructor above then releases the waiter.
    QMetaObject::invokeMethod(
        owner_,
        [this, call, work]() {
            {
                QMutexLocker lock(&mutex_);
                pending_.remove(call);
            }
            QMutexLocker callLock(&call->mutex);
            if (call->abandoned)
                return;
            work();
            call->done = true;
            call->wake();
        },
        Qt::QueuedConnection);

    // Timers stay out of the wait so that the waiting thread's own periodic
    // work does not run nested; the loop ends early when the thread is asked
    // to quit (QThread::quit ends every loop of the thread).
    loop.exec(QEventLoop::ExcludeUserInputEvents | QEventLoop::X11ExcludeTimers);

    QMutexLocker callLock(&call->mutex);
    call->loop = nullptr;
    if (call->done)
        return true;
    // The queued work (if its owner still lives) sees the flag and skips; it
    // also takes the call off the pending set, so this object is not touched
    // here: the owner may be going away at this very moment.
    call->abandoned = true;
    zWarning() << "hand-over to the model thread given up: the waiting thread is stopping or the model is gone";
    return false;
}
