#pragma once

#include "products/trelvan/protocols/ProtocolNodeFrame4.h"
#include "products/trelvan/views/ClockVoltagePage.h"

#include <QMap>
#include <QSize>

class ZFlowLayout;
class ZLabel;

namespace Trelvan {

// Node frame 4 entries carry no role: their boxes are keyed (TAG, id).
template <>
struct NodeKey<ProtocolNodeFrame4::Node_t>
{
    static qint8 role(const ProtocolNodeFrame4::Node_t&) { return ProtocolNodeFrame4::kTagRole; }
    static quint64 id(const ProtocolNodeFrame4::Node_t& n) { return n.id; }
    static constexpr int idBits = 8;
};

// The box of one tag: its voltage and sub-record count in a row, below it one
// distance label per anchor the tag has reported, ordered by anchor id.
class WidgetTag : public WidgetNodeBase<ProtocolNodeFrame4::Node_t>
{
    Q_OBJECT
public:
    explicit WidgetTag(QWidget* parent = nullptr);
    // Voltage and count of the newest record, and each anchor's newest distance.
    void updateNode(const QList<PendingNode>& pending) override;
    // The newest record, and for each anchor the newest one that carried it: the
    // box shows every anchor reported so far with its latest distance.
    static void keepForLaterBox(QList<PendingNode>& records);

    ZLabel* voltageLabel = nullptr;
    ZLabel* countLabel = nullptr;
    // Added as anchors appear, kept while the box lives.
    QMap<quint8, ZLabel*> anchorLabels;
    ZFlowLayout* anchorFlow = nullptr;
};

// The page of node frame 4: the sender's clocks and voltage one below the other,
// one box per tag.
class WidgetNodeFrame4 : public ClockVoltagePage<WidgetTag, ProtocolNodeFrame4>
{
    Q_OBJECT
public:
    static QSize defaultNodeSize() { return QSize(350, 200); }

    WidgetNodeFrame4(const QSize& nodeSize, DataResourceItem* item, LineResourceCollector* collector,
                     QWidget* parent = nullptr);
};

class WidgetNodeFrame4Factory : public NodeFrameViewFactory<WidgetNodeFrame4>
{
public:
    using NodeFrameViewFactory::NodeFrameViewFactory;
};

} // namespace Trelvan
