#include "products/trelvan/views/WidgetNodeFrame1.h"

#include "products/trelvan/protocols/TrelvanNaming.h"
#include "products/trelvan/views/ValueGrids.h"

#include <QLayout>

namespace Trelvan {

WidgetNode1::WidgetNode1(QWidget* parent)
    : WidgetNodeBase(parent)
    , position(new WidgetVector3D(makeItemName(Field::pos), this))
{
    // The row's default top and bottom margins would push it out of the 100-pixel box.
    const QMargins m = position->layout()->contentsMargins();
    position->layout()->setContentsMargins(m.left(), 0, m.right(), 0);
    contentLayout->addWidget(position);
}

void WidgetNode1::updateNode(const QList<PendingNode>& pending)
{
    if (pending.isEmpty())
        return;
    position->setValue(ProtocolNodeFrame1::posMetres(pending.last().node).data());
}

WidgetNodeFrame1::WidgetNodeFrame1(const QSize& nodeSize, DataResourceItem* item, LineResourceCollector* collector,
                                   QWidget* parent)
    : ClockVoltagePage(nodeSize, item, collector, parent, Placement::OneRow)
{
}

} // namespace Trelvan
