#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <atomic>

// A pooled one-shot time-out. interval > 0: pending; 0: fired or released.
// The user releases a handle with release() when done with it (fired or not);
// the pointer must not be used after that.
class ZTimeHandle : public QObject
{
    Q_OBJECT
public:
    explicit ZTimeHandle(int ms);

    int interval() const { return interval_.load(); }
    void setInterval(int ms) { interval_.store(ms); }
    qint64 elapsed() const { return clock_.elapsed(); }
    void restart() { clock_.restart(); }
    // True once the handle ran out (fired) rather than being released early.
    bool isTimedOut() const { return interval_.load() < 1; }
    // Hands the handle back to the pool: interval 0 and marked released.
    void release();

signals:
    void timeout();

private:
    friend class ZTimerManager_P;
    QElapsedTimer clock_;
    std::atomic<int> interval_{0};
    std::atomic<bool> released_{false};
};

class ZTimerManager_P;

// One 1 ms timer (running in thread slot 5) that fires every pending ZTimeHandle;
// it runs only while a handle is pending.
class ZTimerManager : public QObject
{
    Q_OBJECT
public:
    static ZTimerManager* instance();
    ~ZTimerManager() override;

    ZTimeHandle* start(int ms);
    // Blocks for ms milliseconds while the calling thread's event loop keeps running.
    void wait(int ms);

private:
    ZTimerManager();
    ZTimerManager_P* d;
};
