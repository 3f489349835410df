#include "products/trelvan/views/WidgetNodeFrame4.h"

#include "widgets/ZFlowLayout.h"
#include "widgets/ZLabel.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QScrollArea>

#include <bitset>

namespace Trelvan {

WidgetTag::WidgetTag(QWidget* parent)
    : WidgetNodeBase(parent)
{
    auto* row = new QHBoxLayout;
    contentLayout->addLayout(row);

    auto* group = new QGroupBox(makeItemName(Field::dis), this);
    auto* groupLayout = new QHBoxLayout(group);
    groupLayout->setContentsMargins(0, 0, 0, 0);
    auto* scroll = new QScrollArea(group);
    scroll->setWidgetResizable(true);
    auto* flowHost = new QWidget;
    anchorFlow = new ZFlowLayout(flowHost, -1, -1, -1);
    scroll->setWidget(flowHost);
    groupLayout->addWidget(scroll);
    contentLayout->addWidget(group);

    voltageLabel = new ZLabel(makeItemName(Field::voltage), this, 12);
    row->addWidget(voltageLabel);
    countLabel = new ZLabel(tr("Count"), this, 12);
    row->addWidget(countLabel);
}

void WidgetTag::updateNode(const QList<PendingNode>& pending)
{
    if (pending.isEmpty())
        return;
    const ProtocolNodeFrame4::Node_t& p = pending.last().node;
    voltageLabel->setValue(formatValue(ProtocolNodeFrame4::tagVoltage(p)));
    countLabel->setValue(QString::number(p.count));
    // Every record counts, not only the newest: a tag that reports its anchors in
    // turns would otherwise show some of them stale, or never.
    QMap<quint8, quint32> newest;
    for (const PendingNode& record : pending)
        for (quint32 sub : record.node.disList)
            newest.insert(ProtocolNodeFrame4::anchorOf(sub), sub);
    for (auto it = newest.cbegin(); it != newest.cend(); ++it) {
        const quint8 anchor = it.key();
        const quint32 sub = it.value();
        ZLabel*& label = anchorLabels[anchor];
        if (!label) {
            label = new ZLabel(nodeLabel(ProtocolNodeFrame4::kAnchorRole, anchor), this, 8);
            label->setFixedWidthInDigits(12);
            // Sorted by anchor id, whenever an anchor first appears.
            anchorFlow->addWidget(anchor, label);
        }
        label->setValue(formatValue(ProtocolNodeFrame4::distanceMetres(sub)));
    }
}

void WidgetTag::keepForLaterBox(QList<PendingNode>& records)
{
    std::bitset<256> seen;
    const int newest = records.size() - 1;
    for (int i = newest; i >= 0; --i) {
        bool needed = i == newest;
        for (quint32 sub : records.at(i).node.disList) {
            const quint8 anchor = ProtocolNodeFrame4::anchorOf(sub);
            needed = needed || !seen[anchor];
            seen[anchor] = true;
        }
        if (!needed)
            records.removeAt(i);
    }
}

WidgetNodeFrame4::WidgetNodeFrame4(const QSize& nodeSize, DataResourceItem* item, LineResourceCollector* collector,
                                   QWidget* parent)
    : ClockVoltagePage(nodeSize, item, collector, parent, Placement::OneBelowTheOther)
{
}

} // namespace Trelvan
