#include "products/iot/IotWidgetFrame0.h"

#include "widgets/ZLabel.h"

namespace iot {

namespace {
constexpr int kValueDigits = 12;

QString valueText(float v)
{
    return QString::number(v, 'g', 6);
}
} // namespace

WidgetNode0::WidgetNode0(QWidget* parent)
    : WidgetNodeBase(parent)
{
    cntLabel = new ZLabel(tr("cnt"), this, kValueDigits);
    disLabel = new ZLabel(tr("dis(m)"), this, kValueDigits);
    aoaHLabel = new ZLabel(tr("aoa_h(deg)"), this, kValueDigits);
    aoaVLabel = new ZLabel(tr("aoa_v(deg)"), this, kValueDigits);
    for (ZLabel* label : {cntLabel, disLabel, aoaHLabel, aoaVLabel})
        contentLayout->addWidget(label);
}

void WidgetNode0::updateNode(const QList<PendingNode>& pending)
{
    if (pending.isEmpty())
        return;
    const ProtocolFrame0::Node_t& n = pending.last().node;
    cntLabel->setValue(QString::number(n.cnt));
    disLabel->setValue(valueText(n.disMetres()));
    aoaHLabel->setValue(valueText(n.aoaHDegrees()));
    aoaVLabel->setValue(valueText(n.aoaVDegrees()));
}

WidgetFrame0::WidgetFrame0(const QSize& nodeSize, DataResourceItem* item, LineResourceCollector* collector,
                           QWidget* parent)
    : WidgetNodeFrameBase(nodeSize, frameName(0), item, collector, parent)
{
}

QList<QSharedPointer<ProtocolFrame0::Data>> WidgetFrame0::takeFrames()
{
    ProtocolFrame0* protocol = ProtocolFrame0::existing();
    return protocol ? protocol->queue.takeAll() : QList<QSharedPointer<ProtocolFrame0::Data>>();
}

} // namespace iot
