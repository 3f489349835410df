#pragma once

#include "products/trelvan/protocols/FrameDecoding.h"
#include "products/trelvan/protocols/TrelvanNaming.h"
#include "products/trelvan/views/ValueGrids.h"
#include "products/trelvan/views/WidgetNodeFrameBase.h"
#include "widgets/ZLabel.h"

#include <QHBoxLayout>

namespace Trelvan {

// A node-frame page whose frame-level values are the sender's two clocks and its
// supply voltage: one row of localTime(ms), systemTime(ms) and voltage(V) below the
// sender label. Data's fixed part (`frame`) carries `localTime`, `systemTime`
// (u32, ms) and `voltage` (u16, mV), wherever the frame kind puts them.
template <typename W, typename Data>
class WidgetNodeFrameTimes : public WidgetNodeFrameBase<W, Data>
{
public:
    static constexpr int kValueDigits = 12;

    WidgetNodeFrameTimes(const QSize& nodeSize, const QString& protocolName, DataResourceItem* item,
                         LineResourceCollector* collector, QWidget* parent = nullptr)
        : WidgetNodeFrameBase<W, Data>(nodeSize, protocolName, item, collector, parent)
        , localTimeLabel(new ZLabel(makeItemName(Field::localTime), this, kValueDigits))
        , systemTimeLabel(new ZLabel(makeItemName(Field::systemTime), this, kValueDigits))
        , voltageLabel(new ZLabel(makeItemName(Field::voltage), this, kValueDigits))
    {
        auto* row = new QHBoxLayout;
        row->addWidget(localTimeLabel);
        row->addWidget(systemTimeLabel);
        row->addWidget(voltageLabel);
        this->leftPaneLayout->addLayout(row);
    }

    void clearFrameInfo() override { clearLabelValues({localTimeLabel, systemTimeLabel, voltageLabel}); }

    void showFrameInfo(const Data* newest) override
    {
        if (!newest)
            return;
        localTimeLabel->setValue(QString::number(quint32(newest->frame.localTime)));
        systemTimeLabel->setValue(QString::number(quint32(newest->frame.systemTime)));
        voltageLabel->setValue(formatValue(scaled(quint16(newest->frame.voltage), 1000.0f)));
    }

    ZLabel* localTimeLabel;
    ZLabel* systemTimeLabel;
    ZLabel* voltageLabel;
};

} // namespace Trelvan
