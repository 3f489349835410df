#pragma once

#include "foundation/ZLog.h"
#include "model/NodeViews.h"

#include <QElapsedTimer>
#include <QHash>
#include <QString>
#include <QVector>

#include <algorithm>
#include <atomic>
#include <limits>
#include <list>
#include <memory>

// Keys in the order they were last seen, the one silent longest first: a sighting,
// a removal and the oldest key each cost O(1).
class RecencyList
{
public:
    struct Entry
    {
        quint64 key;
        qint64 seen; // ms on NodeBound's clock
        bool repeated = false;
    };

    bool contains(quint64 key) const { return index_.contains(key); }
    const Entry* find(quint64 key) const
    {
        const auto it = index_.constFind(key);
        return it == index_.constEnd() ? nullptr : &*it.value();
    }
    // Puts key last, seen at now; repeated marks it for good.
    void touch(quint64 key, qint64 now, bool repeated = false)
    {
        const auto it = index_.constFind(key);
        if (it != index_.constEnd()) {
            order_.splice(order_.end(), order_, it.value());
            it.value()->seen = now;
            it.value()->repeated = it.value()->repeated || repeated;
            return;
        }
        order_.push_back(Entry{key, now, repeated});
        index_.insert(key, std::prev(order_.end()));
    }
    void remove(quint64 key)
    {
        const auto it = index_.find(key);
        if (it == index_.end())
            return;
        order_.erase(it.value());
        index_.erase(it);
    }
    const Entry* oldest() const { return order_.empty() ? nullptr : &order_.front(); }
    void dropOldest()
    {
        if (order_.empty())
            return;
        index_.remove(order_.front().key);
        order_.pop_front();
    }
    int size() const { return index_.size(); }

private:
    std::list<Entry> order_;
    QHash<quint64, std::list<Entry>::iterator> index_;
};

// The distinct nodes a protocol makes items and boxes for. A damaged frame that
// passes its sum carries random ids: without a bound each of them made items, boxes
// and statistics for as long as the program ran. The bound limits views, never data:
// a record beyond it is still decoded, exported and sent; only its items and box are
// not made. Its keys are small (a role and an 8-bit id), so damage can fill any cap.
// The first keys, up to the largest installation a device allows, show at once;
// a key beyond them shows once it was seen before within kRepeatWithinMs (a real
// node sends again soon; a stream of fresh ids makes no items). Once full, a new
// key takes the place of the key silent longest when
//  - it was seen before within kRepeatWithinMs (a candidate): a stream of fresh ids
//    that never repeat never turns items over, and
//  - the key silent longest has been silent for kSilentForMs: a node that sends
//    steadily (down to 1 Hz) keeps its place.
// The repeat window is shorter than the silence: damage that cycles the small key
// space comes back to a key after one and the same time for every key, either too
// late to be a candidate or too soon for any shown key to be silent, so it never
// turns items over (each turn makes and frees a node's items, series and rows).
// So a real node that starts after any burst of damage shows by its second frame
// once the burst has been silent kSilentForMs. Damage that repeats keys at random
// still finds a silent key now and then: a bound whose turns are costly, once it
// has been full, takes a key in at most once per turnEveryMs on average (up to cap
// at once after a quiet time, as when a new installation takes over). The keys
// that gave up their place are handed to the protocol (takeEvicted), which drops
// their items; the page asks the roster which nodes are still shown.
// Used on the processing thread only (the clock and the roster are read from any thread).
class NodeBound
{
public:
    static constexpr int kMaxNodes = 1024;
    static constexpr qint64 kRepeatWithinMs = 1200;
    static constexpr qint64 kSilentForMs = 1500;
    // Candidates kept at most (older ones go first); far above any real newcomer count.
    static constexpr int kMaxCandidates = 8192;
    // At most one "not shown" line per bound in this time.
    static constexpr qint64 kLogEveryMs = 1000;

    // A monotonic clock in ms; tests set their own, null restores the steady one.
    using Clock = qint64 (*)();
    static void setClock(Clock clock) { clock_().store(clock); }
    static qint64 now()
    {
        const Clock clock = clock_().load();
        return clock ? clock() : steadyMs();
    }

    // cap: the most keys shown; atOnce: how many of them show at their first
    // sighting (all of them by default); turnEveryMs: the least mean time between
    // two keys taken in once the bound has been full (0: no limit).
    explicit NodeBound(int cap = kMaxNodes, int atOnce = -1, qint64 turnEveryMs = 0)
        : cap_(cap < 1 ? 1 : cap)
        , atOnce_(atOnce < 0 ? cap_ : std::min(atOnce, cap_))
        , turnEveryMs_(std::max<qint64>(0, turnEveryMs))
    {
    }

    // Whether the node of key is shown (makes items and a box): known, new among the
    // first shown at once, or new and repeated, in a free place or in the place of
    // the key silent longest (see above). label() names the node in the debug line
    // of a node not shown.
    template <typename Label>
    bool admits(quint64 key, const QString& protocol, Label&& label)
    {
        const qint64 t = now();
        if (const RecencyList::Entry* known = shown_.find(key)) {
            shown_.touch(key, t, t - known->seen <= kRepeatWithinMs);
            return true;
        }
        if (shown_.size() < atOnce_ && !turnsLimited()) {
            shown_.touch(key, t);
            roster_->add(key);
            filled_ = shown_.size() >= cap_;
            return true;
        }
        const RecencyList::Entry* candidate = candidates_.find(key);
        const bool repeated = candidate && t - candidate->seen <= kRepeatWithinMs;
        const RecencyList::Entry* oldest = shown_.oldest();
        if (repeated && (shown_.size() < cap_ || (oldest && t - oldest->seen >= kSilentForMs))
            && (!turnsLimited() || mayTurn(t))) {
            if (turnsLimited())
                spendTurn(t);
            if (shown_.size() >= cap_) {
                evicted_.append(oldest->key);
                roster_->remove(oldest->key);
                shown_.dropOldest();
            }
            candidates_.remove(key);
            shown_.touch(key, t, true);
            roster_->add(key);
            filled_ = filled_ || shown_.size() >= cap_;
            return true;
        }
        candidates_.touch(key, t);
        while (const RecencyList::Entry* stale = candidates_.oldest()) {
            if (t - stale->seen <= kRepeatWithinMs && candidates_.size() <= kMaxCandidates)
                break;
            candidates_.dropOldest();
        }
        if (!logged_ || t - lastLog_ >= kLogEveryMs) {
            logged_ = true;
            lastLog_ = t;
            zDebug() << protocol + ": node" << label() << "not shown," << shown_.size() << "nodes are shown already";
        }
        return false;
    }

    // The keys that gave up their place since the last call, in that order.
    QVector<quint64> takeEvicted()
    {
        QVector<quint64> keys;
        keys.swap(evicted_);
        return keys;
    }
    // Forgets key (its node's items went another way); no place is given up.
    void forget(quint64 key)
    {
        shown_.remove(key);
        roster_->remove(key);
    }
    // The keys shown, for the page's thread.
    std::shared_ptr<const NodeRoster> roster() const { return roster_; }

    bool contains(quint64 key) const { return shown_.contains(key); }
    // Whether the shown key has been seen twice within kRepeatWithinMs (as a real
    // node is), for views too costly for a key seen once.
    bool repeats(quint64 key) const
    {
        const RecencyList::Entry* e = shown_.find(key);
        return e && e->repeated;
    }
    int size() const { return shown_.size(); }
    int capacity() const { return cap_; }

private:
    static std::atomic<Clock>& clock_()
    {
        static std::atomic<Clock> clock{nullptr};
        return clock;
    }
    static qint64 steadyMs()
    {
        static const QElapsedTimer started = [] {
            QElapsedTimer t;
            t.start();
            return t;
        }();
        return started.elapsed();
    }

    // Once the bound has been full, a bound with a turn limit spends a turn on every
    // key it takes, in a free place too: a place forget() freed turns all the same.
    bool turnsLimited() const { return turnEveryMs_ > 0 && filled_; }
    // A token bucket of turns, as the time from which the turns left have been
    // earning: (now - turnsFrom_) / turnEveryMs_ turns, at most cap_.
    bool mayTurn(qint64 t) const { return t - turnsFrom_ >= turnEveryMs_; }
    void spendTurn(qint64 t) { turnsFrom_ = std::max(turnsFrom_, t - cap_ * turnEveryMs_) + turnEveryMs_; }

    int cap_;
    int atOnce_;
    qint64 turnEveryMs_;
    qint64 turnsFrom_ = std::numeric_limits<qint64>::min() / 2;
    bool filled_ = false;
    std::shared_ptr<NodeRoster> roster_ = std::make_shared<NodeRoster>();
    RecencyList shown_;
    RecencyList candidates_;
    QVector<quint64> evicted_;
    qint64 lastLog_ = 0;
    bool logged_ = false;
};
