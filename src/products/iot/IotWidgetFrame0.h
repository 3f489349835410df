#pragma once

#include "products/iot/IotProtocolFrame0.h"
#include "widgets/NodeGridBox.h"
#include "widgets/NodeGridPage.h"

#include <QByteArray>
#include <QList>
#include <QSharedPointer>
#include <QSize>
#include <QString>

class ZLabel;

namespace iot {

// The box of one iot node.
template <typename Node_t>
using WidgetNodeBase = NodeGrid::WidgetNodeBase<Node_t>;

// What the iot pages put into the node-grid template: the records carry no role
// (all boxes under role 0, ordered by the unsigned 32-bit id), a box is named by
// its id in lower-case hexadecimal, no sender is shown, and a box's time line is
// shown only while the PC clock gave a time.
template <typename W, typename Data>
struct NodeGridTraits
{
    using Node_t = typename W::NodeType;
    static qint8 role(const Node_t&) { return 0; }
    static quint64 id(const Node_t& n) { return quint64(n.id); }
    static constexpr int idBits = 32;
    static QString nodeName(const Node_t& n) { return QString::number(n.id, 16); }
    static QString senderName(const Data&) { return QString(); }
    static const QByteArray& rawFrame(const Data& d) { return d.raw; }
    static bool showsInfo(const Data* newest, const QString&) { return newest && newest->pcTime != 0; }
};

// The page of one iot frame kind (a class of its own: moc names a page's base with
// two template arguments).
template <typename W, typename Data>
class WidgetNodeFrameBase : public NodeGrid::WidgetNodeFrameBase<W, Data, NodeGridTraits<W, Data>>
{
public:
    using Base = NodeGrid::WidgetNodeFrameBase<W, Data, NodeGridTraits<W, Data>>;
    using Base::Base;
};

// The box of one node of the iot frame: counter, distance and both angles of its
// newest record.
class WidgetNode0 : public WidgetNodeBase<ProtocolFrame0::Node_t>
{
    Q_OBJECT
public:
    explicit WidgetNode0(QWidget* parent = nullptr);
    void updateNode(const QList<PendingNode>& pending) override;

    ZLabel* cntLabel = nullptr;
    ZLabel* disLabel = nullptr;
    ZLabel* aoaHLabel = nullptr;
    ZLabel* aoaVLabel = nullptr;
};

// The page of the iot frame: the raw frames on the left, one box per node id seen
// since the last clear on the right.
class WidgetFrame0 : public WidgetNodeFrameBase<WidgetNode0, ProtocolFrame0::Data>
{
    Q_OBJECT
public:
    static QSize defaultNodeSize() { return QSize(150, 150); }

    WidgetFrame0(const QSize& nodeSize, DataResourceItem* item, LineResourceCollector* collector,
                 QWidget* parent = nullptr);

    QList<QSharedPointer<ProtocolFrame0::Data>> takeFrames() override;
};

class WidgetFrame0Factory : public NodeGrid::NodeFrameViewFactory<WidgetFrame0>
{
public:
    using NodeFrameViewFactory::NodeFrameViewFactory;
};

} // namespace iot
