#pragma once

#include <QHash>
#include <QMutex>
#include <functional>

class BaseResource;

// Carries the data that the chart pass copies on its worker thread to the GUI
// thread, where the chart objects live. Each resource has at most one pending
// update: a newer copy replaces an older one not yet applied, so a slow GUI thread
// skips stale frames instead of piling them up, and a chart whose draws take long
// gets new data less often (ChartDrawBudget). The GUI side looks the resource up
// by its id when it applies the update, so an update for a resource deleted
// meanwhile is dropped. post() never waits for the GUI thread.
class ChartUpdateHandover
{
public:
    using Apply = std::function<void(BaseResource*)>;

    static ChartUpdateHandover& instance();

    // GUI thread: resources register at construction and leave at destruction.
    quint64 registerResource(BaseResource* resource);
    void unregisterResource(quint64 id);

    // Any thread. On the GUI thread the update is applied at once (and replaces a
    // pending one); elsewhere it is queued and one queued flush is scheduled.
    void post(quint64 id, Apply apply);

    // GUI thread: applies every pending update, in no particular order. Returns how
    // many reached a live resource.
    int flush();
    // GUI thread: flush() once the charts may draw again (ChartDrawBudget); until
    // then newer updates replace the pending ones.
    void flushWhenAffordable();

    // Updates waiting for the GUI thread (not those held by an open batch).
    int pendingCount() const;

    // Any thread but the GUI thread: the updates posted while one lives are held
    // back and reach the GUI thread together when it ends, in one flush, so a pass
    // over many series of a chart repaints it once, not once per series. Nests.
    class Batch
    {
    public:
        Batch();
        ~Batch();
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;
    };

private:
    ChartUpdateHandover() = default;
    void scheduleFlush();

    mutable QMutex mutex_;
    QHash<quint64, Apply> pending_;
    bool flushScheduled_ = false;

    // Touched on the GUI thread only.
    QHash<quint64, BaseResource*> live_;
    quint64 nextId_ = 1;
};
