#pragma once

#include <QString>

namespace Trelvan {

// How node labels are written; both follow the local node's mode once the
// configuration has been read (numbered roles in DR_MODE0 and DR_MODE1,
// hexadecimal ids in DR_MODE1).
struct NodeLabelFlags
{
    bool numberedRole = false;
    bool hexId = false;
};

// Answers the current flags. Called from the processing thread as well as the GUI
// thread, so it must only read values that are safe to read concurrently (atomics).
using NodeLabelFlagsHook = NodeLabelFlags (*)();
// Installed by the role editor when it exists; null restores "both false".
void setNodeLabelFlagsHook(NodeLabelFlagsHook hook);
NodeLabelFlags nodeLabelFlags();

// The display label of a node, "<role part>_<id part>": the role letter ("A_3"),
// or "NODE<role>" with numbered roles; the id in decimal, or in upper-case
// hexadecimal of an even digit count with hexadecimal ids ("NODE0_0A").
QString nodeLabel(qint8 role, quint64 id);

// Makes the frame pipeline's node label this one.
void installNodeLabel();

} // namespace Trelvan
