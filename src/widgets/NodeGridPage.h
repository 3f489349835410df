#pragma once

#include "model/DataWidgetBaseFactory.h"
#include "model/NodeViews.h"
#include "model/ResourceItems.h"
#include "widgets/DataWidgetBase.h"
#include "widgets/FixedSplitter.h"
#include "widgets/NodeGridSupport.h"
#include "widgets/PlainTextEditWithFile.h"
#include "widgets/VerticalScrollArea.h"
#include "widgets/ZFlowLayout.h"
#include "widgets/ZLabel.h"
#include "widgets/ZLazySlots.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QList>
#include <QMap>
#include <QPointer>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QSharedPointer>
#include <QSize>
#include <QSpinBox>
#include <QSplitter>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

#include <type_traits>
#include <utility>

namespace NodeGrid {

// The views of a decoded frame (NodeViews): every record shown for a frame kind
// without them.
template <typename Data, typename = void>
struct HasViews : std::false_type
{
};
template <typename Data>
struct HasViews<Data, std::void_t<decltype(std::declval<const Data&>().views)>> : std::true_type
{
};
template <typename Data>
const NodeViews& viewsOf(const Data& d)
{
    if constexpr (HasViews<Data>::value) {
        return d.views;
    } else {
        static const NodeViews everyRecord;
        return everyRecord;
    }
}

// What a page keeps of one node, box or no box: the subject of the node's slot in
// the flow until its box is built, and what that box shows (or is to show).
template <typename W>
class NodeState : public QObject
{
public:
    using PendingNode = typename W::PendingNode;

    NodeState(qint8 role, quint64 id, QObject* parent)
        : QObject(parent)
        , role(role)
        , id(id)
    {
    }

    const qint8 role;
    const quint64 id;
    // Records the box has not shown yet, oldest first: those of the refresh under
    // way or, while there is no box, what W::keepForLaterBox leaves of them (none
    // where W keeps them aside, W::kKeepsAside).
    QList<PendingNode> pending;
    QString info;          // the time line the box shows
    quint64 changedIn = 0; // the refresh that last brought the node records
    quint64 litIn = 0;     // the refresh whose newest frame last carried the node
    QPointer<W> box;       // null until built
};

// The page of one frame kind: the raw frames with their times, the sender of the
// newest frame and the frame-level values on the left; one box of class W per
// node (role, id) seen, in a wrapping flow ordered by role and id, on the right.
// A box is built when it comes into view or is asked for (box()): until then the
// node has a slot of a box's size in the flow and its state (NodeState) alone
// follows the records, so that fresh ids by the thousand cost no widgets.
// The frame's page class derives from it, says where its records come from
// (takeFrames) and adds its frame-level labels to leftPaneLayout.
//
// Every record of a frame counts ("Nodes of current frame"); only those its views
// show make states and boxes. Nodes that gave up their place lose theirs: the page
// asks the protocol's roster (NodeViews::shown) once any node went, so a notice never
// goes with the records the queue drops.
//
// W derives from WidgetNodeBase<Node_t>; Data is the frame's decoded record with
// systemTime, pcTime, nodes and, where a bound applies, views (NodeViews). Traits
// tells what differs between product lines:
//   static qint8 role(const Node_t&); static quint64 id(const Node_t&);
//   static constexpr int idBits;                    // 8 or 32
//   static QString nodeName(const Node_t&);         // a box's name label
//   static QString senderName(const Data&);         // the sender label
//   static const QByteArray& rawFrame(const Data&); // the frame as received
//   static bool showsInfo(const Data* newest, const QString& info); // time line shown?
template <typename W, typename Data, typename Traits>
class WidgetNodeFrameBase : public DataWidgetBase
{
public:
    using Node_t = typename W::NodeType;
    using PendingNode = typename W::PendingNode;
    using State = NodeState<W>;

    static constexpr int kMinNodeSize = 25;
    static constexpr int kMaxNodeSize = 10000;

    WidgetNodeFrameBase(const QSize& nodeSize, const QString& protocolName, DataResourceItem* item,
                        LineResourceCollector* collector, QWidget* parent = nullptr)
        : DataWidgetBase(collector, parent)
        , dataItem(item)
        , protocolName_(protocolName)
    {
        QWidget* host = dataArea() ? dataArea() : static_cast<QWidget*>(this);
        auto* pageLayout = new QHBoxLayout(host);
        pageLayout->setSpacing(0);
        if (dataArea())
            pageLayout->setContentsMargins(0, 0, 0, 0);
        auto* splitter = new ZSplitter(Qt::Horizontal, host);
        paneSplitter_ = splitter;
        // Neither pane is squeezed below what its captions and values need.
        splitter->setChildrenCollapsible(false);
        pageLayout->addWidget(splitter);
        // A drag of the handle is the user's choice: the panes keep it. Until then
        // they are shared out again whenever the statistics column leaves them more
        // or less room.
        QObject::connect(splitter, &QSplitter::splitterMoved, this, [this] { panesSized_ = true; });
        splitter->installEventFilter(this);

        // The first pane scrolls up and down when its rows need more height than
        // the page has; the console in it takes what height is left.
        leftScroll_ = new VerticalScrollArea(splitter);
        leftScroll_->setObjectName(QStringLiteral("QAbstractScrollArea_WithoutBorder"));
        leftScroll_->setFrameShape(QFrame::NoFrame);
        auto* leftPane = new QWidget;
        leftPane_ = leftPane;
        leftPaneLayout = new QVBoxLayout(leftPane);
        leftPaneLayout->setContentsMargins(0, 0, 0, 0);
        toolBar = new QToolBar(leftPane);
        toolBar->setOrientation(Qt::Horizontal);
        toolBar->setMovable(false);
        toolBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
        leftPaneLayout->addWidget(toolBar);
        leftScroll_->setWidget(leftPane);
        splitter->addWidget(leftScroll_);

        auto* rightPane = new QWidget(splitter);
        auto* rightLayout = new QVBoxLayout(rightPane);
        rightLayout->setContentsMargins(0, 0, 0, 0);
        // The count and the two sizes in one row, wrapping where the pane is narrow.
        headerRow_ = new ZFlowLayout(0, -1, -1);
        rightLayout->addLayout(headerRow_);
        auto* scroll = new QScrollArea(rightPane);
        boxScroll_ = scroll;
        scroll->setWidgetResizable(true);
        scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        auto* flowHost = new QWidget;
        flowLayout = new ZFlowLayout(flowHost, -1, -1, -1);
        scroll->setWidget(flowHost);
        // Slots take the size of a built box, as the box pane measures boxes.
        lazyBoxes_ = new ZLazySlots(
            flowHost, flowLayout, [this](QObject* node) { return buildBox(static_cast<State*>(node)); },
            [](QWidget* sample, int) { return sample->sizeHint().expandedTo(sample->minimumSize()); });
        rightLayout->addWidget(scroll);
        splitter->addWidget(rightPane);

        settings_ = new QSettings(this);

        nodeCountLabel = new ZLabel(QCoreApplication::translate("WidgetNodeFrameBase", "Nodes of current frame"), this, 4);
        nodeWidthSpin = makeSizeSpin(QCoreApplication::translate("WidgetNodeFrameBase", "Node Width: "), widthKey(), nodeSize.width());
        QObject::connect(nodeWidthSpin, &QSpinBox::editingFinished, this, [this] { setNodeWidth(); });
        nodeHeightSpin = makeSizeSpin(QCoreApplication::translate("WidgetNodeFrameBase", "Node Height: "), heightKey(), nodeSize.height());
        QObject::connect(nodeHeightSpin, &QSpinBox::editingFinished, this, [this] { setNodeHeight(); });
        boxSize_ = QSize(nodeWidthSpin->value(), nodeHeightSpin->value());
        for (QWidget* w : {static_cast<QWidget*>(nodeCountLabel), static_cast<QWidget*>(nodeWidthSpin),
                           static_cast<QWidget*>(nodeHeightSpin)}) {
            w->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
            headerRow_->addWidget(w);
        }

        rawConsole = new PlainTextEditWithFile(leftPane);
        senderLabel = new QLabel(leftPane);
        leftPaneLayout->addWidget(rawConsole, 1);
        leftPaneLayout->addWidget(senderLabel);
    }

    // The size in which the page shows every box at once: the boxes in as few rows
    // as a page at most maxWidth wide allows, the first pane as it would like to be.
    QSize sizeForAllBoxes(int maxWidth)
    {
        // Slots take the size of a built box: without one they would count for nothing.
        lazyBoxes_->ensureSample();
        const int handle = paneSplitter_->handleWidth();
        const QMargins page = paneSplitter_->parentWidget()->layout()->contentsMargins();
        const QMargins splitter = paneSplitter_->contentsMargins();
        const int around = page.left() + page.right() + splitter.left() + splitter.right() + handle;
        const int left = leftScroll_->sizeHint().width();
        const int beside = 2 * boxScroll_->frameWidth() + boxScroll_->verticalScrollBar()->sizeHint().width();
        const int boxes = qMax(boxPaneWantedWidth(),
                               qMin(flowLayout->lineWidth() + beside, maxWidth - around - left));
        const int spacing = boxScroll_->parentWidget()->layout()->spacing();
        const int boxesHeight = headerRow_->heightForWidth(boxes) + spacing
                                + flowLayout->heightForWidth(boxes - beside) + 2 * boxScroll_->frameWidth();
        const int height = qMax(leftScroll_->sizeHint().height(), boxesHeight);
        return QSize(around + left + boxes, height + page.top() + page.bottom() + splitter.top() + splitter.bottom());
    }

    // Appends a row of frame-level labels below the sender label, wrapping where the
    // pane is narrow (the page's own rows follow in the order they are added).
    void addFrameRow(const QList<QWidget*>& widgets)
    {
        auto* row = new ZFlowLayout(0, -1, -1);
        leftPaneLayout->addLayout(row);
        for (QWidget* w : widgets)
            row->addWidget(w);
    }

    ~WidgetNodeFrameBase() override = default; // the boxes die as Qt children

    // Takes every queued record, shows the batch and marks changed and current nodes.
    // Its cost follows the records taken and the boxes built, not the nodes seen.
    void refresh() override
    {
        // Read before the records: a node that went after this is looked for at the
        // next refresh, whatever records this one takes.
        const bool knewRoster = bool(roster_);
        const quint64 removals = knewRoster ? roster_->removals() : 0;
        const QList<QSharedPointer<Data>> frames = takeFrames();

        if (takeClearRequest()) {
            rawConsole->clearText();
            clearFrameInfo();
            lazyBoxes_->clear();
            builtNodes_.clear();
            for (const auto& byId : qAsConst(nodes_))
                qDeleteAll(byId);
            nodes_.clear();
            return;
        }
        if (frames.isEmpty())
            return;

        const quint64 serial = ++refreshes_;
        QList<State*> touched;
        QString text;
        for (const QSharedPointer<Data>& f : frames) {
            if (!f)
                continue;
            const QString line = frameInfoLine(f->systemTime, f->pcTime);
            text += rawFrameBlock(line, Traits::rawFrame(*f));
            const NodeViews& views = viewsOf(*f);
            if (!roster_)
                roster_ = views.shown;
            for (int i = 0; i < f->nodes.size(); ++i) {
                if (!views.shows(i))
                    continue;
                const Node_t& n = f->nodes.at(i);
                State* node = nodeFor(Traits::role(n), Traits::id(n));
                if (node->changedIn != serial) {
                    node->changedIn = serial;
                    touched << node;
                }
                node->pending.append(PendingNode{line, n});
            }
            nodeCountLabel->setValue(QString::number(f->nodes.size()));
        }

        if (roster_ && (!knewRoster || removals != prunedAt_)) {
            prunedAt_ = removals;
            dropNodesNotShown(touched);
        }

        const Data* newest = frames.last().data();
        if (newest) {
            senderLabel->setText(Traits::senderName(*newest));
            showFrameInfo(newest);
            // Lit: the shown nodes of the newest frame.
            for (int i = 0; i < newest->nodes.size(); ++i) {
                if (!viewsOf(*newest).shows(i))
                    continue;
                const Node_t& n = newest->nodes.at(i);
                if (State* node = findNode(Traits::role(n), Traits::id(n)))
                    node->litIn = serial;
            }
        }
        rawConsole->appendText(text);

        for (State* node : qAsConst(touched)) {
            const PendingNode& p = node->pending.last();
            if (Traits::showsInfo(newest, p.info))
                node->info = p.info;
            if (!node->box) {
                if constexpr (W::kKeepsAside)
                    W::keepAside(node);
                else
                    W::keepForLaterBox(node->pending);
            }
        }
        // Each light is set once to its final state: switching it off and on again
        // hides and shows a widget, which costs a relayout and a round trip to the
        // display for every box on every refresh.
        for (State* node : qAsConst(builtNodes_)) {
            if (node->changedIn == serial) {
                showState(node);
            } else {
                node->box->changedLabel->setText(QString());
                node->box->lightStack->setCurrentIndex(0);
            }
        }
        if (boxesChanged_)
            fitBoxPane();
    }

    // Every queued record of the frame's protocol, oldest first.
    virtual QList<QSharedPointer<Data>> takeFrames() = 0;
    // Empties the frame-level values (on a clear request).
    virtual void clearFrameInfo() {}
    // Shows the frame-level values of the newest record of a refresh.
    virtual void showFrameInfo(const Data* newest) { Q_UNUSED(newest) }
    // The data item's clear request, taken (false without a data item).
    virtual bool takeClearRequest()
    {
        if (!dataItem || !dataItem->isClearRequested())
            return false;
        dataItem->resetClearRequest();
        return true;
    }

    // Handlers of the size spin boxes: every box takes the size as its least and
    // grows to its content (captions and values stay whole); the size is remembered.
    void setNodeWidth()
    {
        const int v = nodeWidthSpin->value();
        boxSize_.setWidth(v);
        for (State* node : qAsConst(builtNodes_))
            setBoxSize(node->box, QSize(v, node->box->minimumHeight()));
        lazyBoxes_->resizeSlots();
        fitBoxPane();
        settings_->setValue(widthKey(), v);
    }
    void setNodeHeight()
    {
        const int v = nodeHeightSpin->value();
        boxSize_.setHeight(v);
        for (State* node : qAsConst(builtNodes_))
            setBoxSize(node->box, QSize(node->box->minimumWidth(), v));
        lazyBoxes_->resizeSlots();
        settings_->setValue(heightKey(), v);
    }

    const QString& protocolName() const { return protocolName_; }

    // Every node seen, by role, then id; its box may not be built yet.
    const QMap<qint8, QMap<quint64, State*>>& nodes() const { return nodes_; }
    // The box of (role, id), built now if it is not yet; null for a node never seen.
    W* box(qint8 role, quint64 id)
    {
        State* node = findNode(role, id);
        if (!node)
            return nullptr;
        if (!node->box)
            lazyBoxes_->widgetOf(node);
        return node->box;
    }
    // The box of (role, id) if built, else null; builds nothing.
    W* builtBox(qint8 role, quint64 id) const
    {
        const State* node = findNode(role, id);
        return node ? node->box.data() : nullptr;
    }
    // The boxes built so far, in the order they were built.
    QList<W*> builtBoxes() const
    {
        QList<W*> boxes;
        for (const State* node : builtNodes_)
            boxes << node->box.data();
        return boxes;
    }

    DataResourceItem* dataItem = nullptr;
    PlainTextEditWithFile* rawConsole = nullptr;
    QLabel* senderLabel = nullptr;
    QVBoxLayout* leftPaneLayout = nullptr;
    ZFlowLayout* flowLayout = nullptr;
    ZLabel* nodeCountLabel = nullptr;
    QSpinBox* nodeWidthSpin = nullptr;
    QSpinBox* nodeHeightSpin = nullptr;
    QToolBar* toolBar = nullptr;

protected:
    void showEvent(QShowEvent* event) override
    {
        DataWidgetBase::showEvent(event);
        schedulePaneSizing();
    }

    // Called before the state of a node that gave up its place is deleted (its box,
    // if built, still stands): a page that keeps more of a node drops it here.
    virtual void nodeDropped(State* node) { Q_UNUSED(node) }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == paneSplitter_ && event->type() == QEvent::Resize)
            schedulePaneSizing();
        return DataWidgetBase::eventFilter(watched, event);
    }

    // Until the user moves the handle: the boxes get the room first (the count and
    // sizes on one line, at least the widest box), the frame-level values never
    // less than they need, and the console what is left.
    void schedulePaneSizing()
    {
        if (panesSized_ || paneSizingScheduled_ || !this->isVisible())
            return;
        paneSizingScheduled_ = true;
        QTimer::singleShot(0, this, [this] {
            paneSizingScheduled_ = false;
            sizePanes();
        });
    }

private:
    // The least the box pane wants: its widest box, the count and sizes on one line.
    int boxPaneWantedWidth() const
    {
        return qMax(boxScroll_->minimumWidth(), headerRow_->lineWidth());
    }

    void sizePanes()
    {
        // The page asks for the boxes' room beside a console as wide as it would like
        // (the statistics column takes what is left).
        const int leftLeast = leftScroll_->minimumSizeHint().width();
        const int leftWanted = qMax(leftLeast, leftScroll_->sizeHint().width());
        setDataWidthWanted(leftWanted + paneSplitter_->handleWidth() + boxPaneWantedWidth());
        if (panesSized_ || paneSplitter_->width() < 100)
            return;
        // Beyond that the boxes take what the first pane would leave them (side by
        // side, as many as there are), then the first pane the rest.
        const int total = paneSplitter_->contentsRect().width() - paneSplitter_->handleWidth();
        const int allInARow = flowLayout->lineWidth() + 2 * boxScroll_->frameWidth()
                              + boxScroll_->verticalScrollBar()->sizeHint().width();
        const int boxes = qMax(boxPaneWantedWidth(), qMin(allInARow, total - leftScroll_->sizeHint().width()));
        const int left = qMax(leftLeast, total - boxes);
        paneSplitter_->setSizes({left, qMax(0, total - left)});
    }

    void setBoxSize(W* box, const QSize& least)
    {
        box->setMinimumSize(least);
        box->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        box->updateGeometry();
        boxesChanged_ = true;
    }

    // The box pane is never narrower than its widest box: a box too wide for the
    // window makes the page scroll rather than being cut inside its pane.
    void fitBoxPane()
    {
        boxesChanged_ = false;
        int widest = 0;
        for (const State* node : qAsConst(builtNodes_))
            widest = qMax(widest, boxWidth(node->box));
        widenBoxPane(widest);
    }
    static int boxWidth(const W* box) { return box->sizeHint().expandedTo(box->minimumSize()).width(); }
    void widenBoxPane(int widest)
    {
        const QMargins m = flowLayout->contentsMargins();
        const int wanted = widest + m.left() + m.right() + 2 * boxScroll_->frameWidth()
                           + boxScroll_->verticalScrollBar()->sizeHint().width();
        if (wanted > boxScroll_->minimumWidth())
            boxScroll_->setMinimumWidth(wanted);
        schedulePaneSizing();
    }

    QString widthKey() const { return QString("%1/%2").arg(protocolName_, QStringLiteral("NodeWidth")); }
    QString heightKey() const { return QString("%1/%2").arg(protocolName_, QStringLiteral("NodeHeight")); }

    QSpinBox* makeSizeSpin(const QString& prefix, const QString& key, int fallback)
    {
        auto* spin = new QSpinBox(this);
        spin->setPrefix(prefix);
        spin->setRange(kMinNodeSize, kMaxNodeSize);
        spin->setValue(settings_->value(key, fallback).toInt());
        return spin;
    }

    State* findNode(qint8 role, quint64 id) const
    {
        const auto roleIt = nodes_.constFind(role);
        return roleIt == nodes_.constEnd() ? nullptr : roleIt->value(id);
    }

    // The state of (role, id), made on first sight with a slot put into the flow
    // by role, then id.
    State* nodeFor(qint8 role, quint64 id)
    {
        auto& byId = nodes_[role];
        const auto it = byId.constFind(id);
        if (it != byId.constEnd())
            return it.value();
        auto* node = new State(role, id, this);
        byId.insert(id, node);
        flowLayout->addItem(nodeOrderKey(role, id, Traits::idBits), lazyBoxes_->makeSlot(node));
        return node;
    }

    // Forgets the nodes the roster no longer shows.
    void dropNodesNotShown(QList<State*>& touched)
    {
        QVector<NodeRef> held;
        for (auto byRole = nodes_.cbegin(); byRole != nodes_.cend(); ++byRole)
            for (auto it = byRole->cbegin(); it != byRole->cend(); ++it)
                held.append(NodeRef{byRole.key(), it.key()});
        for (const NodeRef& gone : roster_->notShown(held))
            dropNode(gone.role, gone.id, touched);
    }

    // Forgets a node that gave up its place: its state, slot and box go.
    void dropNode(qint8 role, quint64 id, QList<State*>& touched)
    {
        auto byRole = nodes_.find(role);
        if (byRole == nodes_.end())
            return;
        State* node = byRole->take(id);
        if (byRole->isEmpty())
            nodes_.erase(byRole);
        if (!node)
            return;
        nodeDropped(node);
        touched.removeOne(node);
        if (builtNodes_.removeOne(node))
            boxesChanged_ = true;
        delete lazyBoxes_->take(node);
        delete node;
    }

    // The box of a node, with the size last applied, showing what the node got.
    W* buildBox(State* node)
    {
        W* box = new W(this);
        node->box = box;
        builtNodes_ << node;
        setBoxSize(box, boxSize_);
        if constexpr (W::kKeepsAside)
            box->takeKept(node);
        showState(node);
        widenBoxPane(boxWidth(box));
        return box;
    }

    // Hands a built box what its node got since the box last showed it.
    void showState(State* node)
    {
        W* box = node->box;
        const bool changed = node->changedIn == refreshes_;
        box->changedLabel->setText(changed ? QCoreApplication::translate("WidgetNodeFrameBase", "Changed") : QString());
        box->infoLabel->setText(node->info);
        if (!node->pending.isEmpty()) {
            box->nameLabel->setText(Traits::nodeName(node->pending.last().node));
            box->updateNode(node->pending);
            node->pending.clear();
        }
        box->lightStack->setCurrentIndex(node->litIn == refreshes_ ? 1 : 0);
    }

    QString protocolName_;
    QSettings* settings_ = nullptr;
    QSplitter* paneSplitter_ = nullptr;
    VerticalScrollArea* leftScroll_ = nullptr;
    QWidget* leftPane_ = nullptr;
    ZFlowLayout* headerRow_ = nullptr;
    QScrollArea* boxScroll_ = nullptr;
    ZLazySlots* lazyBoxes_ = nullptr;
    QMap<qint8, QMap<quint64, State*>> nodes_;
    std::shared_ptr<const NodeRoster> roster_; // from the first frame that has one
    quint64 prunedAt_ = 0;                       // its removals when last asked
    QList<State*> builtNodes_;
    QSize boxSize_;         // the size last applied to the boxes
    quint64 refreshes_ = 0; // refreshes that took records
    bool boxesChanged_ = false;
    bool panesSized_ = false;
    bool paneSizingScheduled_ = false;
};

// The view factory of one frame page: builds the page (hidden) with the page's
// default box size, Page::defaultNodeSize(), and the protocol's line-item
// collector. Page offers the constructor (const QSize&, DataResourceItem*,
// LineResourceCollector*, QWidget*).
template <typename Page>
class NodeFrameViewFactory : public DataWidgetBaseFactory
{
public:
    explicit NodeFrameViewFactory(LineResourceCollector* collector)
        : collector_(collector)
    {
    }

    DataWidgetBase* create(DataResourceItem* item, QWidget* parent) override
    {
        auto* page = new Page(Page::defaultNodeSize(), item, collector_, parent);
        page->setVisible(false);
        return page;
    }

    LineResourceCollector* collector() const { return collector_; }

private:
    LineResourceCollector* collector_;
};

} // namespace NodeGrid
