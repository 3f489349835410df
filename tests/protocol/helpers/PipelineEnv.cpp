#include "PipelineEnv.h"

#include "protocol/ProtocolBase.h"
#include "protocol/ProtocolDataProcessor.h"

namespace testenv {

QList<QPair<QString, QByteArray>> takeQueued()
{
    QList<QPair<QString, QByteArray>> out;
    for (const ExtractedFrame& f : ProtocolDataProcessor::instance()->takeFrames())
        out.append({f.protocol->name(), f.frame});
    return out;
}

} // namespace testenv
