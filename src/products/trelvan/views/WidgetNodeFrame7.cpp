#include "products/trelvan/views/WidgetNodeFrame7.h"

namespace Trelvan {

WidgetNode7::WidgetNode7(QWidget* parent)
    : RecordFieldsBox(parent, 1)
{
}

WidgetNodeFrame7::WidgetNodeFrame7(const QSize& nodeSize, DataResourceItem* item, LineResourceCollector* collector,
                                   QWidget* parent)
    : ClockVoltagePage(nodeSize, item, collector, parent, Placement::OneBelowTheOther)
{
}

} // namespace Trelvan
