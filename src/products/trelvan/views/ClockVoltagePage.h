#pragma once

#include "products/trelvan/protocols/TrelvanNaming.h"
#include "products/trelvan/views/NodeViewSupport.h"
#include "products/trelvan/views/ValueGrids.h"
#include "products/trelvan/views/WidgetNodeBase.h"
#include "products/trelvan/views/WidgetNodeFrameBase.h"
#include "widgets/ZLabel.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QList>
#include <QSharedPointer>
#include <QVector>

namespace Trelvan {

// A node box that shows the scaled values of a record, one label per field of the
// frame's records (Protocol::recordFields / recordValues), captioned by the field
// descriptor, 12 digits wide: one below the other, or in a grid of `columns`
// filled row by row. Only the newest pending record is shown.
template <typename Protocol>
class RecordFieldsBox : public WidgetNodeBase<typename Protocol::Node_t>
{
public:
    using Base = WidgetNodeBase<typename Protocol::Node_t>;
    using PendingNode = typename Base::PendingNode;

    RecordFieldsBox(QWidget* parent, int columns)
        : Base(parent)
    {
        const QList<FieldDescriptor> fields = Protocol::recordFields();
        QGridLayout* grid = columns > 1 ? new QGridLayout : nullptr;
        for (int i = 0; i < fields.size(); ++i) {
            auto* label = new ZLabel(makeItemName(fields.at(i)), this, 12);
            fieldLabels.append(label);
            if (grid)
                grid->addWidget(label, i / columns, i % columns);
            else
                this->contentLayout->addWidget(label);
        }
        if (grid)
            this->contentLayout->addLayout(grid);
    }

    void updateNode(const QList<PendingNode>& pending) override
    {
        if (pending.isEmpty())
            return;
        const auto values = Protocol::recordValues(pending.last().node);
        for (int i = 0; i < fieldLabels.size() && i < int(values.size()); ++i)
            fieldLabels[i]->setValue(formatValue(values[size_t(i)]));
    }

    // In the order of the record's fields.
    QVector<ZLabel*> fieldLabels;
};

// The page of a frame whose frame-level values are the sender's two clocks and
// its voltage (FrameClockLabels), placed one below the other or in one row below
// the sender label. Records come from Protocol's queue.
template <typename Box, typename Protocol>
class ClockVoltagePage : public WidgetNodeFrameBase<Box, typename Protocol::Data>
{
public:
    using Data = typename Protocol::Data;
    enum class Placement { OneBelowTheOther, OneRow };

    ClockVoltagePage(const QSize& nodeSize, DataResourceItem* item, LineResourceCollector* collector, QWidget* parent,
                     Placement placement)
        : WidgetNodeFrameBase<Box, Data>(nodeSize, Protocol::instance()->name(), item, collector, parent)
        , frameLabels(this)
    {
        if (placement == Placement::OneRow) {
            QList<QWidget*> row;
            for (ZLabel* label : frameLabels.all())
                row << label;
            this->addFrameRow(row);
        } else {
            for (ZLabel* label : frameLabels.all())
                this->leftPaneLayout->addWidget(label);
        }
    }

    QList<QSharedPointer<Data>> takeFrames() override { return Protocol::instance()->queue.takeAll(); }
    void clearFrameInfo() override { frameLabels.clear(); }
    void showFrameInfo(const Data* newest) override
    {
        if (newest)
            frameLabels.show(newest->frame.localTime, newest->frame.systemTime, newest->frame.voltage);
    }

    FrameClockLabels frameLabels;
    // The same labels under the names the pages of the older frame kinds use.
    ZLabel* const localTimeLabel = frameLabels.localTime;
    ZLabel* const systemTimeLabel = frameLabels.systemTime;
    ZLabel* const voltageLabel = frameLabels.voltage;
};

} // namespace Trelvan
