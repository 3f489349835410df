#include "link/ZSerialPortInterface.h"

#include "foundation/ZTimerManager.h"

#include <QEventLoop>
#include <QMutex>
#include <QMutexLocker>

#include <atomic>
#include <memory>

namespace {
ZSerialPortInterfaceManager* g_manager = nullptr;
}

ZSerialPortInterface::ZSerialPortInterface()
{
    ZSerialPortInterfaceManager::instance()->interfaces_.append(this);
}

ZSerialPortInterface::~ZSerialPortInterface()
{
    if (g_manager)
        g_manager->interfaces_.removeAll(this);
}

void ZSerialPortInterface::handleSerialPortStatusChanged(bool) {}

bool ZSerialPortInterface::write(const QByteArray& data)
{
    return ZSerialPortInterfaceManager::instance()->writeHook_(data);
}

int ZSerialPortInterface::timeoutForBytes(int bytes, int extraMs)
{
    return ZSerialPortInterfaceManager::instance()->timeoutHook_(bytes, extraMs);
}

bool ZSerialPortInterface::isOpen()
{
    return ZSerialPortInterfaceManager::instance()->isOpen_;
}

ZSerialPortInterfaceManager* ZSerialPortInterfaceManager::instance()
{
    if (!g_manager)
        g_manager = new ZSerialPortInterfaceManager;
    return g_manager;
}

ZSerialPortInterfaceManager* ZSerialPortInterfaceManager::existing()
{
    return g_manager;
}

ZSerialPortInterfaceManager::ZSerialPortInterfaceManager() = default;

ZSerialPortInterfaceManager::~ZSerialPortInterfaceManager()
{
    if (g_manager == this)
        g_manager = nullptr;
}

void ZSerialPortInterfaceManager::setOpen(bool isOpen)
{
    isOpen_ = isOpen;
    // A copy: an interface may be made or destroyed by the notification.
    const QList<ZSerialPortInterface*> list = interfaces_;
    for (ZSerialPortInterface* i : list) {
        if (interfaces_.contains(i))
            i->handleSerialPortStatusChanged(isOpen);
    }
}

namespace detail {

bool waitForReplyImpl(ZTimerManager* timers, int timeoutMs,
                      const std::function<QMetaObject::Connection(std::function<void()>)>& connectReply,
                      const std::function<void()>& afterConnect)
{
    // The reply may come on the processing thread at any moment, also before the
    // loop runs or after it has gone: it sets a flag and posts a quit, which the
    // loop receives once it runs; after the wait the loop is unhooked under the lock.
    struct State
    {
        QMutex mutex;
        QEventLoop* loop = nullptr;
        std::atomic<bool> replied{false};
    };
    auto state = std::make_shared<State>();
    QEventLoop loop;
    state->loop = &loop;

    ZTimeHandle* handle = timers->start(timeoutMs);
    QObject::connect(handle, &ZTimeHandle::timeout, &loop, &QEventLoop::quit, Qt::AutoConnection);
    const QMetaObject::Connection replyConnection = connectReply([state] {
        state->replied.store(true);
        QMutexLocker lock(&state->mutex);
        if (state->loop)
            QMetaObject::invokeMethod(state->loop, "quit", Qt::QueuedConnection);
    });
    if (afterConnect)
        afterConnect();
    if (!state->replied.load() && !handle->isTimedOut())
        loop.exec();
    QObject::disconnect(replyConnection);
    {
        QMutexLocker lock(&state->mutex);
        state->loop = nullptr;
    }
    const bool timedOut = !state->replied.load();
    handle->release();
    return timedOut;
}

} // namespace detail
