#include "products/trelvan/protocols/NodeLabel.h"

#include "products/trelvan/protocols/TrelvanTables.h"
#include "protocol/ProtocolSeams.h"

#include <atomic>

namespace Trelvan {

namespace {
std::atomic<NodeLabelFlagsHook> g_flagsHook{nullptr};

QString pipelineNodeLabel(qint8 role, quint8 id)
{
    return nodeLabel(role, id);
}
} // namespace

void setNodeLabelFlagsHook(NodeLabelFlagsHook hook)
{
    g_flagsHook.store(hook);
}

NodeLabelFlags nodeLabelFlags()
{
    const NodeLabelFlagsHook hook = g_flagsHook.load();
    return hook ? hook() : NodeLabelFlags{};
}

QString nodeLabel(qint8 role, quint64 id)
{
    const NodeLabelFlags flags = nodeLabelFlags();
    QString rolePart;
    if (flags.numberedRole)
        rolePart = QString("NODE%1").arg(int(role));
    else if (role >= 0 && role < roleLetters.size())
        rolePart = roleLetters.at(role);

    QString idPart;
    if (flags.hexId) {
        idPart = QString::number(id, 16).toUpper();
        if (idPart.size() % 2 != 0)
            idPart.prepend('0');
    } else {
        idPart = QString::number(id);
    }
    // Concatenated rather than arg()-substituted in turn, so that a role part that
    // looked like a place marker could never swallow the id.
    return rolePart + '_' + idPart;
}

void installNodeLabel()
{
    ProtocolSeams::setNodeLabelFunction(&pipelineNodeLabel);
}

} // namespace Trelvan
