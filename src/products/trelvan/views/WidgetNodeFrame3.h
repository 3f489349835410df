#pragma once

#include "products/trelvan/protocols/ProtocolNodeFrame3.h"
#include "products/trelvan/views/ClockVoltagePage.h"

#include <QSize>

namespace Trelvan {

// The box of one ranged node of node frame 3: distance and the two signal levels
// of its newest record.
class WidgetNode3 : public RecordFieldsBox<ProtocolNodeFrame3>
{
    Q_OBJECT
public:
    explicit WidgetNode3(QWidget* parent = nullptr);

    // The record's labels by field.
    ZLabel* const disLabel = fieldLabels.value(0);
    ZLabel* const fpRssiLabel = fieldLabels.value(1);
    ZLabel* const rxRssiLabel = fieldLabels.value(2);
};

// The page of node frame 3: the sender's clocks and voltage, one box per ranged node.
class WidgetNodeFrame3 : public ClockVoltagePage<WidgetNode3, ProtocolNodeFrame3>
{
    Q_OBJECT
public:
    static QSize defaultNodeSize() { return QSize(300, 120); }

    WidgetNodeFrame3(const QSize& nodeSize, DataResourceItem* item, LineResourceCollector* collector,
                     QWidget* parent = nullptr);
};

class WidgetNodeFrame3Factory : public NodeFrameViewFactory<WidgetNodeFrame3>
{
public:
    using NodeFrameViewFactory::NodeFrameViewFactory;
};

} // namespace Trelvan
