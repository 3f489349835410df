#include "products/trelvan/views/WidgetTagFrame0.h"

#include "model/ResourceItems.h"
#include "products/trelvan/protocols/ProtocolTagFrame0.h"
#include "products/trelvan/protocols/TrelvanNaming.h"
#include "products/trelvan/views/NodeViewSupport.h"
#include "products/trelvan/views/ValueGrids.h"
#include "widgets/PlainTextEditWithFile.h"
#include "widgets/VerticalScrollArea.h"
#include "widgets/ZFlowLayout.h"
#include "widgets/ZLabel.h"

#include <QVBoxLayout>

namespace Trelvan {

namespace {
constexpr int kValueDigits = 12;

template <size_t N>
void showVector(WidgetVector3D* row, const std::array<float, N>& v)
{
    row->setValue(v.data());
}

template <size_t N>
void showArray(WidgetArray* box, const std::array<float, N>& v)
{
    for (int i = 0; i < box->labels.size() && i < int(N); ++i)
        box->setValue(i, v[size_t(i)]);
}
} // namespace

DataWidgetBase* WidgetTagFrame0Factory::create(DataResourceItem* item, QWidget* parent)
{
    auto* page = new WidgetTagFrame0(item, collector_, parent);
    page->setVisible(false);
    return page;
}

WidgetTagFrame0::WidgetTagFrame0(DataResourceItem* item, LineResourceCollector* collector, QWidget* parent)
    : DataWidgetBase(collector, parent)
    , console(new PlainTextEditWithFile(this))
    , idLabel(new ZLabel("id:", this, kValueDigits))
    , plrLabel(new ZLabel(makeItemName(Field::plr), this, kValueDigits))
    , pos(new WidgetVector3D(makeItemName(Field::pos), this))
    , vel(new WidgetVector3D(makeItemName(Field::vel), this))
    , dis(new WidgetArray(makeItemName(Field::dis), 8, this, 4))
    , g(new WidgetVector3D(makeItemName(Field::g), this))
    , a(new WidgetVector3D(makeItemName(Field::a), this))
    , angle(new WidgetVector3D(makeItemName(Field::angle), this))
    , q(new WidgetArray(makeItemName(Field::q), 4, this, 4))
    , localTimeLabel(new ZLabel(makeItemName(Field::localTime), this, kValueDigits))
    , systemTimeLabel(new ZLabel(makeItemName(Field::systemTime), this, kValueDigits))
    , eop(new WidgetVector3D(makeItemName(Field::eop), this))
    , voltageLabel(new ZLabel(makeItemName(Field::voltage), this, kValueDigits))
    , dataItem(item)
{
    // The values scroll up and down when the page is low; the console takes the
    // height they leave.
    QWidget* host = dataArea() ? dataArea() : static_cast<QWidget*>(this);
    auto* hostLayout = new QVBoxLayout(host);
    hostLayout->setContentsMargins(0, 0, 0, 0);
    auto* scroll = new VerticalScrollArea(host);
    scroll->setObjectName(QStringLiteral("QAbstractScrollArea_WithoutBorder"));
    scroll->setFrameShape(QFrame::NoFrame);
    hostLayout->addWidget(scroll);
    auto* content = new QWidget;
    auto* layout = new QVBoxLayout(content);
    layout->addWidget(console, 1);
    auto* row = new ZFlowLayout(0, -1, -1);
    layout->addLayout(row, 0);
    for (ZLabel* label : {idLabel, plrLabel, localTimeLabel, systemTimeLabel, voltageLabel})
        row->addWidget(label);
    for (QWidget* grid : std::initializer_list<QWidget*>{pos, eop, vel, dis, angle, g, a, q})
        layout->addWidget(grid, 0);
    scroll->setWidget(content);
}

QList<ZLabel*> WidgetTagFrame0::valueLabels() const
{
    QList<ZLabel*> labels{idLabel, plrLabel, localTimeLabel, systemTimeLabel, voltageLabel};
    for (WidgetVector3D* row : {pos, eop, vel, angle, g, a})
        labels << row->x << row->y << row->z;
    for (WidgetArray* box : {dis, q})
        for (ZLabel* label : box->labels)
            labels << label;
    return labels;
}

void WidgetTagFrame0::refresh()
{
    const QList<QSharedPointer<ProtocolTagFrame0::Data>> frames = ProtocolTagFrame0::instance()->queue.takeAll();

    if (dataItem && dataItem->isClearRequested()) {
        dataItem->resetClearRequest();
        // Records taken together with the clear are dropped; the id goes too, so
        // nothing of the cleared frames stays on the page.
        console->clearText();
        clearLabelValues(valueLabels());
        return;
    }
    if (frames.isEmpty())
        return;

    QString text;
    for (const QSharedPointer<ProtocolTagFrame0::Data>& d : frames) {
        if (!d)
            continue;
        const QByteArray raw(reinterpret_cast<const char*>(&d->frame), sizeof d->frame);
        // A system time of a day or more is no time of day: no stamp at all.
        const QString time = timeOfDayText(d->systemTime, QStringLiteral("HH:mm:ss:zzz"));
        text += (time.isEmpty() ? QString() : "[" + time + "]") + "\n" + QString::fromLatin1(raw.toHex(' ')) + "\n";
    }
    console->appendText(text);

    const ProtocolTagFrame0::Data* newest = frames.last().data();
    if (!newest)
        return;
    const ProtocolTagFrame0::Frame_t& f = newest->frame;
    plrLabel->setValue(formatValue(ProtocolTagFrame0::plrValue(f)));
    idLabel->setValue(QString::number(f.id));
    localTimeLabel->setValue(QString::number(quint32(f.localTime)));
    systemTimeLabel->setValue(QString::number(quint32(f.systemTime)));
    voltageLabel->setValue(formatValue(ProtocolTagFrame0::voltageVolts(f)));
    showVector(pos, ProtocolTagFrame0::posMetres(f));
    showVector(eop, ProtocolTagFrame0::eopMetres(f));
    showVector(vel, ProtocolTagFrame0::velMetresPerSecond(f));
    showArray(dis, ProtocolTagFrame0::disMetres(f));
    showVector(angle, ProtocolTagFrame0::angleDegrees(f));
    const std::array<float, 3> gs{f.g[0], f.g[1], f.g[2]};
    const std::array<float, 3> as{f.a[0], f.a[1], f.a[2]};
    const std::array<float, 4> qs{f.q[0], f.q[1], f.q[2], f.q[3]};
    showVector(g, gs);
    showVector(a, as);
    showArray(q, qs);
}

} // namespace Trelvan
