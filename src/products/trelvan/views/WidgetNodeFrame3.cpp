#include "products/trelvan/views/WidgetNodeFrame3.h"

namespace Trelvan {

WidgetNode3::WidgetNode3(QWidget* parent)
    : RecordFieldsBox(parent, 1)
{
}

WidgetNodeFrame3::WidgetNodeFrame3(const QSize& nodeSize, DataResourceItem* item, LineResourceCollector* collector,
                                   QWidget* parent)
    : ClockVoltagePage(nodeSize, item, collector, parent, Placement::OneRow)
{
}

} // namespace Trelvan
