#include "products/trelvan/views/WidgetAnchorFrame0.h"

#include "products/trelvan/protocols/FrameDecoding.h"
#include "products/trelvan/protocols/TrelvanNaming.h"
#include "products/trelvan/views/ValueGrids.h"
#include "widgets/ZLabel.h"


namespace Trelvan {

namespace {
constexpr int kValueDigits = 12;
constexpr int kDistances = 8;

QString pageProtocolName()
{
    return ProtocolAnchorFrame0::instance()->name();
}
} // namespace

WidgetAnchor0::WidgetAnchor0(QWidget* parent)
    : WidgetNodeBase(parent)
    , position(new WidgetVector3D(makeItemName(Field::pos), this))
    , distances(new WidgetArray(makeItemName(Field::dis), kDistances, this, 4))
{
    contentLayout->addWidget(position);
    contentLayout->addWidget(distances);
}

void WidgetAnchor0::updateNode(const QList<PendingNode>& pending)
{
    if (pending.isEmpty())
        return;
    const ProtocolAnchorFrame0::Node_t& n = pending.last().node;
    position->x->setValue(formatValue(ProtocolAnchorFrame0::posMetres(n, 0)));
    position->y->setValue(formatValue(ProtocolAnchorFrame0::posMetres(n, 1)));
    position->z->setValue(formatValue(ProtocolAnchorFrame0::posMetres(n, 2)));
    // The record holds exactly eight distances.
    for (int i = 0; i < distances->labels.size() && i < kDistances; ++i)
        distances->labels[i]->setValue(formatValue(ProtocolAnchorFrame0::disMetres(n, i)));
}

WidgetAnchorFrame0::WidgetAnchorFrame0(const QSize& nodeSize, DataResourceItem* item,
                                       LineResourceCollector* collector, QWidget* parent)
    : WidgetNodeFrameBase(nodeSize, pageProtocolName(), item, collector, parent)
    , plrLabel(new ZLabel(makeItemName(Field::plr), this, kValueDigits))
    , localTimeLabel(new ZLabel(makeItemName(Field::localTime), this, kValueDigits))
    , systemTimeLabel(new ZLabel(makeItemName(Field::systemTime), this, kValueDigits))
    , voltageLabel(new ZLabel(makeItemName(Field::voltage), this, kValueDigits))
{
    addFrameRow({plrLabel, localTimeLabel, systemTimeLabel, voltageLabel});
}

QList<QSharedPointer<ProtocolAnchorFrame0::Data>> WidgetAnchorFrame0::takeFrames()
{
    return ProtocolAnchorFrame0::instance()->queue.takeAll();
}

void WidgetAnchorFrame0::clearFrameInfo()
{
    clearLabelValues({plrLabel, localTimeLabel, systemTimeLabel, voltageLabel});
}

void WidgetAnchorFrame0::showFrameInfo(const ProtocolAnchorFrame0::Data* newest)
{
    if (!newest)
        return;
    const ProtocolAnchorFrame0::Frame_t& f = newest->frame;
    plrLabel->setValue(formatValue(scaled(f.plr, 600.0f)));
    localTimeLabel->setValue(QString::number(quint32(f.localTime)));
    systemTimeLabel->setValue(QString::number(quint32(f.systemTime)));
    voltageLabel->setValue(formatValue(scaled(f.voltage, 1000.0f)));
}

} // namespace Trelvan
