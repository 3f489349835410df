#pragma once

#include "products/trelvan/protocols/ProtocolAnchorFrame0.h"
#include "products/trelvan/views/WidgetNodeBase.h"
#include "products/trelvan/views/WidgetNodeFrameBase.h"

#include <QList>
#include <QSharedPointer>
#include <QSize>

class ZLabel;

namespace Trelvan {

class WidgetArray;
class WidgetVector3D;

// The box of one tag the anchor reports: its position row and eight distances.
class WidgetAnchor0 : public WidgetNodeBase<ProtocolAnchorFrame0::Node_t>
{
    Q_OBJECT
public:
    explicit WidgetAnchor0(QWidget* parent = nullptr);
    void updateNode(const QList<PendingNode>& pending) override;

    WidgetVector3D* position = nullptr;
    WidgetArray* distances = nullptr;
};

// The page of anchor frame 0: the anchor as sender, its four frame values, one
// box per tag.
class WidgetAnchorFrame0 : public WidgetNodeFrameBase<WidgetAnchor0, ProtocolAnchorFrame0::Data>
{
    Q_OBJECT
public:
    static QSize defaultNodeSize() { return QSize(400, 200); }

    WidgetAnchorFrame0(const QSize& nodeSize, DataResourceItem* item, LineResourceCollector* collector,
                       QWidget* parent = nullptr);

    QList<QSharedPointer<ProtocolAnchorFrame0::Data>> takeFrames() override;
    void clearFrameInfo() override;
    void showFrameInfo(const ProtocolAnchorFrame0::Data* newest) override;

    ZLabel* plrLabel = nullptr;
    ZLabel* localTimeLabel = nullptr;
    ZLabel* systemTimeLabel = nullptr;
    ZLabel* voltageLabel = nullptr;
};

class WidgetAnchorFrame0Factory : public NodeFrameViewFactory<WidgetAnchorFrame0>
{
public:
    using NodeFrameViewFactory::NodeFrameViewFactory;
};

} // namespace Trelvan
