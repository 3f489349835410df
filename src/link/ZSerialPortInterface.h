#pragma once

#include <QByteArray>
#include <QMetaObject>
#include <QObject>

#include <functional>

class ZTimerManager;

// Mix-in of every feature that talks to the device: it writes through the installed
// hooks and is told when the port opens or closes.
class ZSerialPortInterface
{
public:
    ZSerialPortInterface();
    virtual ~ZSerialPortInterface();
    virtual void handleSerialPortStatusChanged(bool isOpen);

    static bool write(const QByteArray& data);
    // Time-out in ms for bytes at the port's current rate, plus extraMs.
    static int timeoutForBytes(int bytes, int extraMs);
    static bool isOpen();
};

// Holds the registered interfaces and the hooks that the serial terminal installs.
class ZSerialPortInterfaceManager : public QObject
{
    Q_OBJECT
public:
    using WriteHook = std::function<bool(const QByteArray&)>;
    using TimeoutHook = std::function<int(int bytes, int extraMs)>;
    using SetBaudRateHook = std::function<void(int)>;

    static ZSerialPortInterfaceManager* instance();
    // The manager if it exists, without making one.
    static ZSerialPortInterfaceManager* existing();
    ~ZSerialPortInterfaceManager() override;

    bool isOpen() const { return isOpen_; }
    void setWriteHook(WriteHook hook) { writeHook_ = std::move(hook); }
    void setTimeoutHook(TimeoutHook hook) { timeoutHook_ = std::move(hook); }
    void setSetBaudRateHook(SetBaudRateHook hook) { setBaudRateHook_ = std::move(hook); }
    bool hasHooks() const { return writeHook_ && timeoutHook_ && setBaudRateHook_; }
    QList<ZSerialPortInterface*> interfaces() const { return interfaces_; }

public slots:
    void setOpen(bool isOpen);

private:
    friend class ZSerialPortInterface;
    ZSerialPortInterfaceManager();

    QList<ZSerialPortInterface*> interfaces_;
    WriteHook writeHook_;
    TimeoutHook timeoutHook_;
    bool isOpen_ = false;
    SetBaudRateHook setBaudRateHook_;
};

namespace detail {
// Runs the wait: connectReply connects the reply signal to the given function
// (direct connection) and returns the connection.
// afterConnect (may be empty) runs once the reply is connected, before the wait.
bool waitForReplyImpl(ZTimerManager* timers, int timeoutMs,
                      const std::function<QMetaObject::Connection(std::function<void()>)>& connectReply,
                      const std::function<void()>& afterConnect = {});
} // namespace detail

// Waits in a local event loop until sender emits signal or timeoutMs pass. Returns
// true on time-out, false when the reply came. A reply emitted before the loop runs
// (even on another thread) still ends the wait.
template <typename Func>
bool waitForReply(ZTimerManager* timers, int timeoutMs,
                  const typename QtPrivate::FunctionPointer<Func>::Object* sender, Func signal)
{
    return detail::waitForReplyImpl(timers, timeoutMs, [&](std::function<void()> onReply) {
        return QObject::connect(sender, signal, std::move(onReply));
    });
}

// As waitForReply, but runs send (the request's write) after the reply is connected,
// so that a reply to it can never come before the wait listens.
template <typename Func>
bool sendAndWaitForReply(ZTimerManager* timers, int timeoutMs,
                         const typename QtPrivate::FunctionPointer<Func>::Object* sender, Func signal,
                         const std::function<void()>& send)
{
    return detail::waitForReplyImpl(
        timers, timeoutMs,
        [&](std::function<void()> onReply) { return QObject::connect(sender, signal, std::move(onReply)); }, send);
}
