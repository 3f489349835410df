#include "products/trelvan/views/WidgetNodeFrame4.h"

#include "widgets/ZFlowLayout.h"
#include "widgets/ZLabel.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QScrollArea>

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
    for (quint32 sub : p.disList) {
        const quint8 anchor = ProtocolNodeFrame4::anchorOf(sub);
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

WidgetNodeFrame4::WidgetNodeFrame4(const QSize& nodeSize, DataResourceItem* item, LineResourceCollector* collector,
                                   QWidget* parent)
    : ClockVoltagePage(nodeSize, item, collector, parent, Placement::OneBelowTheOther)
{
}

} // namespace Trelvan
