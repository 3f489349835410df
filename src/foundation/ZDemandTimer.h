#pragma once

#include <QMutex>
#include <QObject>

#include <functional>

class QTimer;

// A precise timer that runs only while its owner has work: wake() (any thread)
// starts it, and it stops itself once idleTicks ticks in a row ended with no work left.
// A tool left open with nothing connected then costs no wake-ups at all.
//
// tick() does the work on the timer's thread. hasWork() is asked under the
// timer's own lock right after a tick, so a producer that queues work and then
// calls wake() is never lost between the last idle tick and the stop. hasWork()
// must not call wake().
class ZDemandTimer : public QObject
{
    Q_OBJECT
public:
    ZDemandTimer(int intervalMs, int idleTicks, std::function<void()> tick, std::function<bool()> hasWork,
                 QObject* parent = nullptr);

    // New work was queued. From another thread the first tick runs as soon as the
    // timer's thread gets to it, then the timer keeps ticking while work comes.
    void wake();
    bool isRunning() const;
    quint64 startCount() const;

private:
    void begin(bool tickNow);
    void onTimeout();

    QTimer* timer_;
    const int idleTicks_;
    std::function<void()> tick_;
    std::function<bool()> hasWork_;
    mutable QMutex mutex_;
    bool running_ = false; // started or a start is on its way
    int idle_ = 0;         // timer thread only
    quint64 starts_ = 0;
};
