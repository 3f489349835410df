#include "products/trelvan/views/WidgetNodeFrame5.h"

namespace Trelvan {

WidgetNode5::WidgetNode5(QWidget* parent)
    : RecordFieldsBox(parent, 1)
{
}

WidgetNodeFrame5::WidgetNodeFrame5(const QSize& nodeSize, DataResourceItem* item, LineResourceCollector* collector,
                                   QWidget* parent)
    : ClockVoltagePage(nodeSize, item, collector, parent, Placement::OneBelowTheOther)
{
}

} // namespace Trelvan
