#include "products/trelvan/views/WidgetNodeFrame3.h"

#include "products/trelvan/protocols/FrameDecoding.h"
#include "products/trelvan/protocols/TrelvanNaming.h"
#include "products/trelvan/views/ValueGrids.h"
#include "widgets/ZLabel.h"

namespace Trelvan {

namespace {
constexpr int kValueDigits = 12;
}

WidgetNode3::WidgetNode3(QWidget* parent)
    : WidgetNodeBase(parent)
    , disLabel(new ZLabel(makeItemName(Field::dis), this, kValueDigits))
    , fpRssiLabel(new ZLabel(makeItemName(Field::fpRssi), this, kValueDigits))
    , rxRssiLabel(new ZLabel(makeItemName(Field::rxRssi), this, kValueDigits))
{
    contentLayout->addWidget(disLabel);
    contentLayout->addWidget(fpRssiLabel);
    contentLayout->addWidget(rxRssiLabel);
}

void WidgetNode3::updateNode(const QList<PendingNode>& pending)
{
    if (pending.isEmpty())
        return;
    const ProtocolNodeFrame3::Node_t& n = pending.last().node;
    fpRssiLabel->setValue(formatValue(signalLevelDb(n.fpRssi)));
    rxRssiLabel->setValue(formatValue(signalLevelDb(n.rxRssi)));
    disLabel->setValue(formatValue(ProtocolNodeFrame3::disMetres(n)));
}

WidgetNodeFrame3::WidgetNodeFrame3(const QSize& nodeSize, DataResourceItem* item, LineResourceCollector* collector,
                                   QWidget* parent)
    : ClockVoltagePage(nodeSize, item, collector, parent, Placement::OneRow)
{
}

} // namespace Trelvan
