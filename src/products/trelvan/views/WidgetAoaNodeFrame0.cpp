#include "products/trelvan/views/WidgetAoaNodeFrame0.h"

namespace Trelvan {

WidgetAoaNode0::WidgetAoaNode0(QWidget* parent)
    : RecordFieldsBox(parent, 2)
{
}

WidgetAoaNodeFrame0::WidgetAoaNodeFrame0(const QSize& nodeSize, DataResourceItem* item, LineResourceCollector* collector,
                                         QWidget* parent)
    : ClockVoltagePage(nodeSize, item, collector, parent, Placement::OneRow)
{
}

} // namespace Trelvan
