#include "products/trelvan/views/WidgetNodeFrame2.h"

#include "products/trelvan/protocols/FrameDecoding.h"
#include "products/trelvan/protocols/TrelvanNaming.h"
#include "products/trelvan/views/ValueGrids.h"
#include "widgets/ZLabel.h"


namespace Trelvan {

namespace {
constexpr int kValueDigits = 12;

void showVector(WidgetVector3D* row, const QVector<float>& v)
{
    row->x->setValue(formatValue(v.value(0)));
    row->y->setValue(formatValue(v.value(1)));
    row->z->setValue(formatValue(v.value(2)));
}

QString pageProtocolName()
{
    return ProtocolNodeFrame2::instance()->name();
}
} // namespace

WidgetNode2::WidgetNode2(QWidget* parent)
    : RecordFieldsBox(parent, 1)
{
}

WidgetNodeFrame2::WidgetNodeFrame2(const QSize& nodeSize, DataResourceItem* item, LineResourceCollector* collector,
                                   QWidget* parent)
    : WidgetNodeFrameBase(nodeSize, pageProtocolName(), item, collector, parent)
    , plrLabel(new ZLabel(makeItemName(Field::plr), this, kValueDigits))
    , localTimeLabel(new ZLabel(makeItemName(Field::localTime), this, kValueDigits))
    , systemTimeLabel(new ZLabel(makeItemName(Field::systemTime), this, kValueDigits))
    , voltageLabel(new ZLabel(makeItemName(Field::voltage), this, kValueDigits))
    , posRow(new WidgetVector3D(makeItemName(Field::pos), this))
    , velRow(new WidgetVector3D(makeItemName(Field::vel), this))
    , gRow(new WidgetVector3D(makeItemName(Field::g), this))
    , aRow(new WidgetVector3D(makeItemName(Field::a), this))
    , angleRow(new WidgetVector3D(makeItemName(Field::angle), this))
    , qGroup(new WidgetArray(makeItemName(Field::q), 4, this, 4))
    , eopRow(new WidgetVector3D(makeItemName(Field::eop), this))
{
    addFrameRow({plrLabel, localTimeLabel, systemTimeLabel, voltageLabel});
    leftPaneLayout->addWidget(posRow);
    leftPaneLayout->addWidget(eopRow);
    leftPaneLayout->addWidget(velRow);
    leftPaneLayout->addWidget(angleRow);
    leftPaneLayout->addWidget(gRow);
    leftPaneLayout->addWidget(aRow);
    leftPaneLayout->addWidget(qGroup);
}

QList<QSharedPointer<ProtocolNodeFrame2::Data>> WidgetNodeFrame2::takeFrames()
{
    return ProtocolNodeFrame2::instance()->queue.takeAll();
}

QList<ZLabel*> WidgetNodeFrame2::panelValueLabels() const
{
    QList<ZLabel*> labels{plrLabel, localTimeLabel, systemTimeLabel, voltageLabel};
    for (WidgetVector3D* row : {posRow, velRow, gRow, aRow, angleRow})
        labels << row->x << row->y << row->z;
    for (ZLabel* label : qGroup->labels)
        labels << label;
    labels << eopRow->x << eopRow->y << eopRow->z;
    return labels;
}

void WidgetNodeFrame2::clearFrameInfo()
{
    clearLabelValues(panelValueLabels());
}

void WidgetNodeFrame2::showFrameInfo(const ProtocolNodeFrame2::Data* newest)
{
    if (!newest)
        return;
    const ProtocolNodeFrame2::Frame_t& f = newest->frame;
    plrLabel->setValue(formatValue(scaled(f.plr, 600.0f)));
    localTimeLabel->setValue(QString::number(quint32(f.localTime)));
    systemTimeLabel->setValue(QString::number(quint32(f.systemTime)));
    voltageLabel->setValue(formatValue(scaled(f.voltage, 1000.0f)));
    showVector(posRow, ProtocolNodeFrame2::posMetres(f));
    showVector(eopRow, ProtocolNodeFrame2::eopMetres(f));
    showVector(velRow, ProtocolNodeFrame2::velMetresPerSecond(f));
    showVector(angleRow, ProtocolNodeFrame2::angleDegrees(f));
    const float g[3] = {f.g[0], f.g[1], f.g[2]};
    const float a[3] = {f.a[0], f.a[1], f.a[2]};
    gRow->setValue(g);
    aRow->setValue(a);
    for (int i = 0; i < qGroup->labels.size() && i < 4; ++i)
        qGroup->labels[i]->setValue(formatValue(f.q[i]));
}

} // namespace Trelvan
