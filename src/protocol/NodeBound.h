#pragma once

#include "foundation/ZLog.h"

#include <QSet>
#include <QString>

// The distinct nodes a protocol makes items and boxes for. A damaged frame that
// passes its sum carries random ids: without a bound each of them made items, boxes
// and statistics for as long as the program ran. The bound lies far above any real
// installation; beyond it the known nodes still decode and show, and a record of a
// node not seen before is skipped with a debug line (the log budget bounds those).
// Used on the processing thread only.
class NodeBound
{
public:
    static constexpr int kMaxNodes = 1024;

    // Whether the node of key is shown: known, or new while fewer than kMaxNodes are
    // known. label() names the node in the debug line of a skipped record.
    template <typename Label>
    bool admits(quint64 key, const QString& protocol, Label&& label)
    {
        if (known_.contains(key))
            return true;
        if (known_.size() < kMaxNodes) {
            known_.insert(key);
            return true;
        }
        zDebug() << protocol + ": record of node" << label() << "skipped," << kMaxNodes << "nodes are shown already";
        return false;
    }

    int size() const { return known_.size(); }

private:
    QSet<quint64> known_;
};
