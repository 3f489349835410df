#pragma once

#include "products/trelvan/protocols/ProtocolNodeFrame7.h"
#include "products/trelvan/views/ClockVoltagePage.h"

#include <QSize>

namespace Trelvan {

// The box of one ranged node of node frame 7: dis(m), angle0(deg), angle1(deg),
// fpRssi(dB), rxRssi(dB).
class WidgetNode7 : public RecordFieldsBox<ProtocolNodeFrame7>
{
    Q_OBJECT
public:
    explicit WidgetNode7(QWidget* parent = nullptr);
};

// The page of node frame 7: the sender's clocks and voltage, one box per (role,
// 32-bit id) ranged.
class WidgetNodeFrame7 : public ClockVoltagePage<WidgetNode7, ProtocolNodeFrame7>
{
    Q_OBJECT
public:
    static QSize defaultNodeSize() { return QSize(200, 160); }

    WidgetNodeFrame7(const QSize& nodeSize, DataResourceItem* item, LineResourceCollector* collector,
                     QWidget* parent = nullptr);
};

class WidgetNodeFrame7Factory : public NodeFrameViewFactory<WidgetNodeFrame7>
{
public:
    using NodeFrameViewFactory::NodeFrameViewFactory;
};

} // namespace Trelvan
