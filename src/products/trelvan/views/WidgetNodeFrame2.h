#pragma once

#include "products/trelvan/protocols/ProtocolNodeFrame2.h"
#include "products/trelvan/views/ClockVoltagePage.h"
#include "products/trelvan/views/WidgetNodeFrameBase.h"

#include <QList>
#include <QSharedPointer>
#include <QSize>

class ZLabel;

namespace Trelvan {

class WidgetArray;
class WidgetVector3D;

// The box of one ranged node: distance and the two signal levels of its newest record.
class WidgetNode2 : public RecordFieldsBox<ProtocolNodeFrame2>
{
    Q_OBJECT
public:
    explicit WidgetNode2(QWidget* parent = nullptr);

    // The record's labels by field.
    ZLabel* const disLabel = fieldLabels.value(0);
    ZLabel* const fpRssiLabel = fieldLabels.value(1);
    ZLabel* const rxRssiLabel = fieldLabels.value(2);
};

// The page of node frame 2: the sender's navigation state above, one box per
// ranged node on the right.
class WidgetNodeFrame2 : public WidgetNodeFrameBase<WidgetNode2, ProtocolNodeFrame2::Data>
{
    Q_OBJECT
public:
    static QSize defaultNodeSize() { return QSize(300, 120); }

    WidgetNodeFrame2(const QSize& nodeSize, DataResourceItem* item, LineResourceCollector* collector,
                     QWidget* parent = nullptr);

    QList<QSharedPointer<ProtocolNodeFrame2::Data>> takeFrames() override;
    void clearFrameInfo() override;
    void showFrameInfo(const ProtocolNodeFrame2::Data* newest) override;

    // Every value label of the panel, in the order they are cleared.
    QList<ZLabel*> panelValueLabels() const;

    ZLabel* plrLabel = nullptr;
    ZLabel* localTimeLabel = nullptr;
    ZLabel* systemTimeLabel = nullptr;
    ZLabel* voltageLabel = nullptr;
    WidgetVector3D* posRow = nullptr;
    WidgetVector3D* velRow = nullptr;
    WidgetVector3D* gRow = nullptr;
    WidgetVector3D* aRow = nullptr;
    WidgetVector3D* angleRow = nullptr;
    WidgetArray* qGroup = nullptr;
    WidgetVector3D* eopRow = nullptr;
};

class WidgetNodeFrame2Factory : public NodeFrameViewFactory<WidgetNodeFrame2>
{
public:
    using NodeFrameViewFactory::NodeFrameViewFactory;
};

} // namespace Trelvan
