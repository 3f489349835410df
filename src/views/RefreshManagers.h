#pragma once

#include <QAtomicPointer>
#include <QList>
#include <QMutex>
#include <QObject>
#include <atomic>

class QTimer;
class ViewManager;

// Redraws at a fixed rate what the parsers changed. Driven only through its own
// signals, so that every change runs on the manager's thread.
class ViewRefreshManager : public QObject
{
    Q_OBJECT
public:
    explicit ViewRefreshManager(QObject* parent = nullptr);

    // Emit the two signals (the change happens on the manager's thread).
    void setEnabled(bool enable);
    void setFrequency(int frequency);

    // The page to redraw; no effect when it is the same. Readable from the pass's
    // thread while the GUI thread changes it.
    void setViewManager(ViewManager* viewManager);
    ViewManager* viewManager() const { return viewManager_.loadAcquire(); }

    // Timer state, for the owner and for tests (read on the manager's thread).
    int interval() const;
    bool isActive() const;

    // One redraw pass; called on every timer tick.
    virtual void refresh() = 0;

signals:
    void refreshChanged(bool enable);
    void frequencyChanged(int frequency);

public slots:
    void handleRefreshChanged(bool enable);
    void handleFrequencyChanged(int frequency);

protected:
    QTimer* timer() const { return timer_; }

private:
    QTimer* timer_;
    QAtomicPointer<ViewManager> viewManager_;
    // A start asked for before any frequency was set waits for one: a timer at
    // interval 0 would run a pass on every turn of the event loop.
    bool enableRequested_ = false;
};

// The Data resources of the current page, on the GUI thread.
class DataRefreshManager : public ViewRefreshManager
{
    Q_OBJECT
public:
    using ViewRefreshManager::ViewRefreshManager;
    void refresh() override;
};

// The chart resources of the current page, on worker thread 4.
class ChartRefreshManager : public ViewRefreshManager
{
    Q_OBJECT
public:
    using ViewRefreshManager::ViewRefreshManager;
    void refresh() override;

    // Stops the timer and forgets the page on the manager's own thread and waits
    // for it: when this returns no pass is running and none will start until the
    // manager is enabled again. Call from any other thread (or its own).
    void stopAndDetach();

    quint64 passCount() const { return passes_.load(); }

private:
    std::atomic<quint64> passes_{0};
};

class SpecialDataResourceItem;

// Program-wide: redraws the product views registered with it (error pop-ups,
// node boxes) on the GUI thread at the data rate.
class CommonRefreshManager : public ViewRefreshManager
{
    Q_OBJECT
public:
    // Creates the manager with parent on the first call; later calls only return it.
    static CommonRefreshManager* instance(QObject* parent = nullptr);
    // The manager, or null before the first instance() and after its destruction.
    static CommonRefreshManager* singleton();
    ~CommonRefreshManager() override;

    // Any thread.
    void registerItem(SpecialDataResourceItem* item);
    void unregisterItem(SpecialDataResourceItem* item);
    int itemCount() const;

    void refresh() override;

private:
    explicit CommonRefreshManager(QObject* parent);

    mutable QMutex mutex_;
    QList<SpecialDataResourceItem*> items_;
};

// A product view refreshed by the common manager. Product code sets the dirty
// flag whenever new data arrives and draws in refreshView. Delete it on the GUI
// thread: the pass runs there, and the base leaves the list only after the
// subclass is already gone.
class SpecialDataResourceItem : public QObject
{
    Q_OBJECT
public:
    explicit SpecialDataResourceItem(QObject* parent = nullptr);
    ~SpecialDataResourceItem() override;

    // Any thread.
    void setDirty(bool dirty) { dirty_.store(dirty, std::memory_order_release); }
    bool isDirty() const { return dirty_.load(std::memory_order_acquire); }

    // Builds the view on the GUI thread without waiting: at once when called
    // there, otherwise queued (skipped when the item is gone by then).
    void createViewInGuiThread();

    virtual void createView() = 0;
    // Runs on the GUI thread with the common manager's list locked: it must not
    // register or unregister items.
    virtual void refreshView() = 0;

private:
    std::atomic<bool> dirty_{false};
};
