#pragma once

#include "products/trelvan/protocols/ProtocolNodeFrame1.h"
#include "products/trelvan/views/ClockVoltagePage.h"
#include "products/trelvan/views/WidgetNodeBase.h"

#include <QList>
#include <QSharedPointer>
#include <QSize>

namespace Trelvan {

class WidgetVector3D;

// The box of one node of node frame 1: the position of its newest record.
class WidgetNode1 : public WidgetNodeBase<ProtocolNodeFrame1::Node_t>
{
    Q_OBJECT
public:
    explicit WidgetNode1(QWidget* parent = nullptr);
    void updateNode(const QList<PendingNode>& pending) override;

    WidgetVector3D* position = nullptr;
};

// The page of node frame 1: the sender's clocks and voltage, one box per node.
class WidgetNodeFrame1 : public ClockVoltagePage<WidgetNode1, ProtocolNodeFrame1>
{
    Q_OBJECT
public:
    static QSize defaultNodeSize() { return QSize(400, 100); }

    WidgetNodeFrame1(const QSize& nodeSize, DataResourceItem* item, LineResourceCollector* collector,
                     QWidget* parent = nullptr);
};

class WidgetNodeFrame1Factory : public NodeFrameViewFactory<WidgetNodeFrame1>
{
public:
    using NodeFrameViewFactory::NodeFrameViewFactory;
};

} // namespace Trelvan
