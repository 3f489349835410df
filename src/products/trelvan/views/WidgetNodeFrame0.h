#pragma once

#include "products/trelvan/protocols/ProtocolNodeFrame0.h"
#include "products/trelvan/views/WidgetNodeBase.h"
#include "products/trelvan/views/WidgetNodeFrameBase.h"
#include "views/RefreshManagers.h"

#include <QList>
#include <QPointer>
#include <QSharedPointer>
#include <QSize>

class PlainTextEditWithFile;
class QAction;
class QCheckBox;
class QSettings;
class QSpinBox;

namespace Trelvan {

class WidgetNodeFrame0Item;

// The box of one node: every payload it delivered, as a header line with the
// frame's time and the byte count, then the bytes in hexadecimal.
class WidgetNode0 : public WidgetNodeBase<ProtocolNodeFrame0::Node_t>
{
    Q_OBJECT
public:
    explicit WidgetNode0(QWidget* parent = nullptr);
    // One append per refresh with every pending payload, oldest first.
    void updateNode(const QList<PendingNode>& pending) override;

    // A node without a box keeps its payloads as its box's console would: in a
    // console file of its own (a child of its state, so it goes with the node),
    // under the consoles' memory watch. A node may send for hours before its box
    // is scrolled to, and the box built then shows and saves what one built at once
    // would; memory holds none of it.
    static constexpr bool kKeepsAside = true;
    using State = NodeGrid::NodeState<WidgetNode0>;
    static void keepAside(State* node);
    void takeKept(State* node);

    // The console text of one refresh's payloads.
    static QString payloadText(const QList<PendingNode>& pending);

    PlainTextEditWithFile* console = nullptr;
};

// The "Data Transmission" window: one box per node that sent payloads, the raw
// frames, and the controls of the data-transmission check. A top-level window of
// its own, opened through its tool-bar action; closing it stops the check.
class WidgetNodeFrame0 : public WidgetNodeFrameBase<WidgetNode0, ProtocolNodeFrame0::Data>
{
    Q_OBJECT
public:
    static QSize defaultNodeSize() { return QSize(300, 150); }
    static constexpr int kDefaultNodeCount = 100;
    static QString nodeCountKey();
    static QString periodKey();

    WidgetNodeFrame0(const QSize& nodeSize, WidgetNodeFrame0Item* item, QWidget* parent = nullptr);

    // The action that brings the window up; made on the first call.
    QAction* windowAction();
    // "Clear": empties the window at the next refresh pass, frames or not.
    void requestClear();

    QList<QSharedPointer<ProtocolNodeFrame0::Data>> takeFrames() override;
    bool takeClearRequest() override;

    QCheckBox* checkBox = nullptr;
    QSpinBox* nodeCountSpinBox = nullptr;
    QSpinBox* periodSpinBox = nullptr;

signals:
    void visibilityChanged(bool visible);

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void bringUp();

    QAction* action = nullptr;
    WidgetNodeFrame0Item* item = nullptr;
    bool clearRequested = false;
    QSettings* settings = nullptr;
};

// The special item of node frame 0: builds the window on the GUI thread when the
// protocol registers its items, and refreshes it when the protocol marks it dirty.
class WidgetNodeFrame0Item : public SpecialDataResourceItem
{
    Q_OBJECT
public:
    explicit WidgetNodeFrame0Item(QObject* owner);
    ~WidgetNodeFrame0Item() override;

    void createView() override;
    void refreshView() override;

    WidgetNodeFrame0* view() const { return view_; }

private:
    QPointer<WidgetNodeFrame0> view_;
};

} // namespace Trelvan
