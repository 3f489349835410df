#include "foundation/ZThreadManager.h"

#include <QEventLoop>
#include <QMutex>
#include <QPointer>

#include "foundation/ZLog.h"

RunManager::RunManager()
{
    qRegisterMetaType<FunctionRunInThread>("FunctionRunInThread");
    connect(this, &RunManager::runSignal, this, &RunManager::runSlot, Qt::AutoConnection);
}

void RunManager::runSlot(FunctionRunInThread func)
{
    func();
    emit slotExecuteFinished();
}

struct ZThreadManager::Slot
{
    QThread* thread = nullptr;
    QThread::Priority priority = QThread::NormalPriority;
    // Deleted by its thread's finished signal, hence guarded.
    QPointer<RunManager> runManager;
};

class ZThreadManager::Private
{
public:
    QMap<int, Slot> slotMap;
    bool started = false;

    Slot slot(int n) const { return slotMap.value(n); }
};

namespace {
ZThreadManager* g_threadManager = nullptr;
QMutex g_threadManagerMutex;
} // namespace

ZThreadManager* ZThreadManager::instance(QObject* parent)
{
    QMutexLocker lock(&g_threadManagerMutex);
    if (!g_threadManager)
        g_threadManager = new ZThreadManager(parent);
    return g_threadManager;
}

ZThreadManager::ZThreadManager(QObject* parent)
    : QObject(parent)
    , d(new Private)
{
    auto makeSlot = [this](int n, QThread* thread, QThread::Priority priority) {
        Slot s;
        s.thread = thread;
        s.priority = priority;
        auto* rm = new RunManager;
        rm->moveToThread(thread);
        connect(thread, &QThread::finished, rm, &QObject::deleteLater);
        s.runManager = rm;
        d->slotMap.insert(n, s);
    };
    makeSlot(0, QThread::currentThread(), QThread::HighestPriority);
    const QThread::Priority priorities[] = {QThread::NormalPriority, QThread::HighPriority, QThread::NormalPriority,
                                            QThread::NormalPriority, QThread::TimeCriticalPriority};
    for (int n = 1; n <= 5; ++n) {
        auto* thread = new QThread(this);
        thread->setObjectName(QStringLiteral("slot%1").arg(n));
        makeSlot(n, thread, priorities[n - 1]);
    }
}

ZThreadManager::~ZThreadManager()
{
    {
        QMutexLocker lock(&g_threadManagerMutex);
        if (g_threadManager == this)
            g_threadManager = nullptr;
    }
    // A run that ended without close (an exception, a test) still has running threads;
    // a running QThread must not be destroyed.
    stopThreads();
    // Run managers whose thread never ran (and slot 0's, whose thread never finishes)
    // were not deleted by a finished signal.
    for (auto it = d->slotMap.begin(); it != d->slotMap.end(); ++it) {
        if (it->runManager)
            delete it->runManager.data();
    }
    delete d;
}

QThread* ZThreadManager::thread(int n) const
{
    return d->slot(n).thread;
}

void ZThreadManager::moveToThread(QObject* object, int n)
{
    if (!object)
        return;
    if (object->parent()) {
        zCritical() << object << "has parent" << object->parent() << "move thread failed";
        return;
    }
    QThread* thread = d->slot(n).thread;
    if (!thread) {
        zWarning() << object << "thread slot" << n << "does not exist, move thread failed";
        return;
    }
    object->moveToThread(thread);
    connect(thread, &QThread::finished, object, &QObject::deleteLater);
}

void ZThreadManager::runInThread(int n, const FunctionRunInThread& func, bool wait)
{
    const Slot s = d->slot(n);
    if (s.thread == QThread::currentThread()) {
        func();
        return;
    }
    RunManager* rm = s.runManager.data();
    if (!s.thread || !rm) {
        zWarning() << "thread slot" << n << "is not available, the function is not run";
        return;
    }
    if (!wait) {
        emit rm->runSignal(func);
        return;
    }

    // Each waiter is released by its own call only: several callers may wait on the
    // same slot, and another caller's call may finish first. The finish is a call
    // queued into the waiting thread, so the waiter cannot leave (and destroy the loop
    // and context) before that call has been delivered to it.
    QEventLoop loop;
    QObject context; // lives in the waiting thread
    bool finished = false;
    QEventLoop* loopPtr = &loop;
    QObject* contextPtr = &context;
    bool* finishedPtr = &finished;
    FunctionRunInThread wrapped = [func, loopPtr, contextPtr, finishedPtr]() {
        func();
        QMetaObject::invokeMethod(
            contextPtr,
            [loopPtr, finishedPtr]() {
                *finishedPtr = true;
                loopPtr->quit();
            },
            Qt::QueuedConnection);
    };
    emit rm->runSignal(wrapped);
    while (!finished)
        loop.exec();
}

void ZThreadManager::startThreads()
{
    for (int n = 1; n <= 5; ++n) {
        const Slot s = d->slot(n);
        if (s.thread && !s.thread->isRunning())
            s.thread->start(s.priority);
    }
    QThread::currentThread()->setPriority(QThread::HighestPriority);
    d->started = true;
}

void ZThreadManager::stopThreads()
{
    for (int n = 1; n <= 5; ++n) {
        const Slot s = d->slot(n);
        if (s.thread && s.thread->isRunning()) {
            s.thread->quit();
            s.thread->wait();
        }
    }
}
