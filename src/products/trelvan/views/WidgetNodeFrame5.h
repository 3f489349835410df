#pragma once

#include "products/trelvan/protocols/ProtocolNodeFrame5.h"
#include "products/trelvan/views/ClockVoltagePage.h"

#include <QSize>

namespace Trelvan {

// The box of one ranged node of node frame 5: dis(m), fpRssi(dB), rxRssi(dB).
class WidgetNode5 : public RecordFieldsBox<ProtocolNodeFrame5>
{
    Q_OBJECT
public:
    explicit WidgetNode5(QWidget* parent = nullptr);
};

// The page of node frame 5: the sender's clocks and voltage, one box per (role,
// 32-bit id) ranged.
class WidgetNodeFrame5 : public ClockVoltagePage<WidgetNode5, ProtocolNodeFrame5>
{
    Q_OBJECT
public:
    static QSize defaultNodeSize() { return QSize(200, 120); }

    WidgetNodeFrame5(const QSize& nodeSize, DataResourceItem* item, LineResourceCollector* collector,
                     QWidget* parent = nullptr);
};

class WidgetNodeFrame5Factory : public NodeFrameViewFactory<WidgetNodeFrame5>
{
public:
    using NodeFrameViewFactory::NodeFrameViewFactory;
};

} // namespace Trelvan
