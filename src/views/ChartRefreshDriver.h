#pragma once

#include <QList>
#include <QObject>
#include <QReadWriteLock>
#include <atomic>

class BaseResource;
class QThread;
class QTimer;

// Runs the chart redraw pass over a set of resources on a worker thread at a
// fixed rate: for each resource whose item is dirty and visible it clears the
// flag and calls updateFromItem(), which copies the item's data and hands it to
// the GUI thread. Resources are added and removed on the GUI thread under the
// write side of the redraw lock; the pass holds the read side and never waits
// for the GUI thread.
class ChartRefreshDriver : public QObject
{
    Q_OBJECT
public:
    explicit ChartRefreshDriver(QObject* parent = nullptr);
    ~ChartRefreshDriver() override;

    void addResource(BaseResource* resource);
    void removeResource(BaseResource* resource);
    QList<BaseResource*> resources() const;

    // Moves the driver to thread (running) and starts a timer there at fps passes
    // per second (1..1000). Call on the driver's current thread.
    void start(QThread* thread, int fps);
    // Stops the timer and waits until a running pass is over.
    void stop();

    // One pass on the calling thread; returns how many resources it updated.
    int refreshOnce();

    quint64 passCount() const { return passes_.load(); }
    // Time spent inside passes, in nanoseconds.
    quint64 busyNanoseconds() const { return busyNs_.load(); }

private:
    void startTimer(int intervalMs);
    void stopTimer();

    mutable QReadWriteLock lock_;
    QList<BaseResource*> resources_;
    QTimer* timer_ = nullptr; // lives in the driver's thread
    std::atomic<quint64> passes_{0};
    std::atomic<quint64> busyNs_{0};
};
