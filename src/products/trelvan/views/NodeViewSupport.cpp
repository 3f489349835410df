#include "products/trelvan/views/NodeViewSupport.h"

#include "products/trelvan/protocols/FrameDecoding.h"
#include "products/trelvan/protocols/TrelvanNaming.h"
#include "products/trelvan/views/ValueGrids.h"
#include "widgets/ZLabel.h"

namespace Trelvan {

FrameClockLabels::FrameClockLabels(QWidget* parent)
    : localTime(new ZLabel(makeItemName(Field::localTime), parent, 12))
    , systemTime(new ZLabel(makeItemName(Field::systemTime), parent, 12))
    , voltage(new ZLabel(makeItemName(Field::voltage), parent, 12))
{
}

void FrameClockLabels::show(quint32 local, quint32 system, quint16 voltageMv)
{
    localTime->setValue(QString::number(local));
    systemTime->setValue(QString::number(system));
    voltage->setValue(formatValue(scaled(voltageMv, 1000.0f)));
}

void FrameClockLabels::clear()
{
    clearLabelValues(all());
}

} // namespace Trelvan
