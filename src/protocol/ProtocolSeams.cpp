#include "protocol/ProtocolSeams.h"

#include <atomic>

namespace {
std::atomic<ProtocolSeams::ModelManagerLookup> g_lookup{nullptr};
std::atomic<ProtocolSeams::NodeLabelFunction> g_nodeLabel{nullptr};
} // namespace

namespace ProtocolSeams {

void setCurrentModelManagerLookup(ModelManagerLookup lookup)
{
    g_lookup.store(lookup);
}

ModelManager* currentModelManager()
{
    const ModelManagerLookup f = g_lookup.load();
    return f ? f() : nullptr;
}

void setNodeLabelFunction(NodeLabelFunction function)
{
    g_nodeLabel.store(function);
}

QString nodeLabel(qint8 role, quint8 id)
{
    const NodeLabelFunction f = g_nodeLabel.load();
    if (f)
        return f(role, id);
    return QString("%1_%2").arg(role).arg(id);
}

} // namespace ProtocolSeams
