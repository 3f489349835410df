#pragma once

#include "products/trelvan/protocols/NodeLabel.h"
#include "products/trelvan/views/NodeViewSupport.h"
#include "widgets/NodeGridPage.h"

#include <QByteArray>
#include <QString>

namespace Trelvan {

// What the Trelvan pages put into the node-grid template: boxes keyed by the
// record's role and id (NodeKey), named and the sender shown by nodeLabel, the
// time line of a box shown whenever it has one.
template <typename W, typename Data>
struct NodeGridTraits
{
    using Node_t = typename W::NodeType;
    static qint8 role(const Node_t& n) { return NodeKey<Node_t>::role(n); }
    static quint64 id(const Node_t& n) { return NodeKey<Node_t>::id(n); }
    static constexpr int idBits = NodeKey<Node_t>::idBits;
    static QString nodeName(const Node_t& n) { return nodeLabel(role(n), id(n)); }
    static QString senderName(const Data& d) { return nodeLabel(FrameSender<Data>::role(d), FrameSender<Data>::id(d)); }
    static const QByteArray& rawFrame(const Data& d) { return d.rawFrame; }
    static bool showsInfo(const Data*, const QString& info) { return !info.isEmpty(); }
};

// The page of one Trelvan frame kind; W derives from WidgetNodeBase<Node_t>, Data
// is the frame's decoded record with systemTime, pcTime, rawFrame, its sender
// (FrameSender) and nodes.
// (A class of its own rather than an alias: moc names a page's base with two
// template arguments.)
template <typename W, typename Data>
class WidgetNodeFrameBase : public NodeGrid::WidgetNodeFrameBase<W, Data, NodeGridTraits<W, Data>>
{
public:
    using Base = NodeGrid::WidgetNodeFrameBase<W, Data, NodeGridTraits<W, Data>>;
    using Base::Base;
};

template <typename Page>
using NodeFrameViewFactory = NodeGrid::NodeFrameViewFactory<Page>;

} // namespace Trelvan
