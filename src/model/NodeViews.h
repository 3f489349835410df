#pragma once

#include <QSet>
#include <QVector>
#include <QtGlobal>

#include <atomic>
#include <memory>
#include <mutex>

// A node a page knows by (role, id); the role is 0 where records carry none.
struct NodeRef
{
    qint8 role = 0;
    quint64 id = 0;

    // One number per node: the role in the top byte, the id (56 bits) below it, so
    // an id of a line without roles is its own key.
    quint64 key() const { return quint64(quint8(role)) << 56 | (id & kIdMask); }
    static NodeRef ofKey(quint64 key) { return NodeRef{qint8(quint8(key >> 56)), key & kIdMask}; }

    static constexpr quint64 kIdMask = 0xFFFFFFFFFFFFFFull;
};

// The nodes a protocol shows, by NodeRef::key, kept by the protocol as they take and
// give up their places and asked by its page from its own thread. A page that read
// its queue late (the queue drops its oldest records) still learns which nodes went:
// those it holds that are no longer here.
class NodeRoster
{
public:
    void add(quint64 key)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        keys_.insert(key);
    }
    void remove(quint64 key)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (keys_.remove(key))
            removals_.fetch_add(1);
    }
    // How many times a node gave up its place: a page looks again only when it moved.
    quint64 removals() const { return removals_.load(); }
    // Those of nodes that are not shown, in their order; one lock for all.
    QVector<NodeRef> notShown(const QVector<NodeRef>& nodes) const
    {
        QVector<NodeRef> gone;
        std::lock_guard<std::mutex> lock(mutex_);
        for (const NodeRef& n : nodes)
            if (!keys_.contains(n.key()))
                gone.append(n);
        return gone;
    }

private:
    mutable std::mutex mutex_;
    QSet<quint64> keys_;
    std::atomic<quint64> removals_{0};
};

// What a decoded frame tells its page besides its records: which records make no
// box (their nodes are beyond a bound, or their role is damaged) and where to ask
// which nodes are still shown (null where a frame kind has no bound).
struct NodeViews
{
    QVector<bool> hidden; // by record; empty while every record is shown
    std::shared_ptr<const NodeRoster> shown;

    bool shows(int record) const { return record >= hidden.size() || !hidden.at(record); }
    void hide(int record, int records)
    {
        if (hidden.isEmpty())
            hidden.fill(false, records);
        if (record >= 0 && record < hidden.size())
            hidden[record] = true;
    }
};
