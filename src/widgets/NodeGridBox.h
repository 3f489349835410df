#pragma once

#include "widgets/NodeGridSupport.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QList>
#include <QStackedWidget>
#include <QString>
#include <QVBoxLayout>

namespace NodeGrid {

// The box of one node of one frame kind. The frame's box class derives from it,
// adds its value widgets to contentLayout and shows records in updateNode(). The
// page gathers a node's records during one refresh and hands them over, oldest
// first, at its end. A box is built only when it comes into view (or is asked
// for): until then the page keeps what keepForLaterBox() leaves of its records.
template <typename Node_t>
class WidgetNodeBase : public QGroupBox
{
public:
    using NodeType = Node_t;

    struct PendingNode
    {
        QString info; // time line of the frame that carried the record
        Node_t node;
    };

    explicit WidgetNodeBase(QWidget* parent = nullptr)
        : QGroupBox(parent)
        , lightStack(makeNodeLight(this))
        , nameLabel(new QLabel(this))
        , infoLabel(new QLabel(this))
        , changedLabel(new QLabel(this))
        , contentLayout(new QVBoxLayout)
    {
        const Qt::Alignment left = Qt::AlignLeft | Qt::AlignVCenter;
        nameLabel->setAlignment(left);
        infoLabel->setAlignment(left);
        changedLabel->setAlignment(left);

        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        auto* header = new QHBoxLayout;
        header->addWidget(lightStack);
        header->addWidget(nameLabel);
        header->addWidget(changedLabel);
        header->addStretch(1);
        layout->addLayout(header);
        layout->addWidget(infoLabel);
        layout->addLayout(contentLayout);
        layout->addStretch();
    }
    ~WidgetNodeBase() override = default;

    // The size the page gives the box (its least size) or, where its values need
    // more, what they need: a console in it takes the box's height, not its own wish.
    QSize sizeHint() const override { return minimumSize().expandedTo(minimumSizeHint()); }

    // Shows the records queued for this node since the last refresh (never empty).
    virtual void updateNode(const QList<PendingNode>& pending) { Q_UNUSED(pending) }

    // Trims the records kept for a node whose box is not built yet (newest last,
    // never emptied) to those its updateNode() needs to show what a box built at
    // once would show now. A box class that shows more than the newest record
    // declares its own. Called with the page's box class, not virtually: there is
    // no box yet.
    static void keepForLaterBox(QList<PendingNode>& records) { keepNewest(records, 1); }
    // A box class that keeps every record of a node without a box, somewhere other
    // than memory, sets this and declares, in place of keepForLaterBox,
    //   static void keepAside(NodeState<W>* node); // takes node->pending
    //   void takeKept(NodeState<W>* node);         // the box, just built, takes it back
    // What it keeps hangs on the node's state, so it goes with the node.
    static constexpr bool kKeepsAside = false;

    QStackedWidget* lightStack;
    QLabel* nameLabel;
    QLabel* infoLabel;
    QLabel* changedLabel;
    QVBoxLayout* contentLayout;

protected:
    static void keepNewest(QList<PendingNode>& records, int count)
    {
        if (records.size() > count)
            records.erase(records.begin(), records.end() - count);
    }
};

} // namespace NodeGrid
