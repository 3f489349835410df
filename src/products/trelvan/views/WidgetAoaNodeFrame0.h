#pragma once

#include "products/trelvan/protocols/ProtocolAoaNodeFrame0.h"
#include "products/trelvan/views/ClockVoltagePage.h"

#include <QSize>

namespace Trelvan {

// The box of one node heard by an AOA node: dis(m) and angle(deg) above,
// fpRssi(dB) and rxRssi(dB) below.
class WidgetAoaNode0 : public RecordFieldsBox<ProtocolAoaNodeFrame0>
{
    Q_OBJECT
public:
    explicit WidgetAoaNode0(QWidget* parent = nullptr);
};

// The page of AOA node frame 0: the sender's clocks and voltage in one row, one
// box per (role, id) heard.
class WidgetAoaNodeFrame0 : public ClockVoltagePage<WidgetAoaNode0, ProtocolAoaNodeFrame0>
{
    Q_OBJECT
public:
    static QSize defaultNodeSize() { return QSize(400, 130); }

    WidgetAoaNodeFrame0(const QSize& nodeSize, DataResourceItem* item, LineResourceCollector* collector,
                        QWidget* parent = nullptr);
};

class WidgetAoaNodeFrame0Factory : public NodeFrameViewFactory<WidgetAoaNodeFrame0>
{
public:
    using NodeFrameViewFactory::NodeFrameViewFactory;
};

} // namespace Trelvan
