#include "products/sarvel/SarvelWidgetFrame0.h"

#include "model/ResourceItems.h"
#include "products/sarvel/SarvelProtocolFrame0.h"
#include "widgets/PlainTextEditWithFile.h"
#include "widgets/ZLabel.h"

#include <QLayout>
#include <QTime>
#include <QVBoxLayout>

namespace Sarvel {

namespace {
constexpr quint32 kDayMs = 24u * 3600u * 1000u;
constexpr int kFrameBytes = 16;
}

WidgetFrame0::WidgetFrame0(DataResourceItem* item, LineResourceCollector* collector, QWidget* parent)
    : DataWidgetBase(collector, parent)
    , item_(item)
{
    QWidget* area = dataArea() ? dataArea() : this;
    auto* layout = new QVBoxLayout(area);
    console_ = new PlainTextEditWithFile(area);
    layout->addWidget(console_);
    auto* labels = new QVBoxLayout;
    const QStringList captions{"time(ms):", "dis(m):", "dis_status:", "signal_strength:", "range_precision(cm):"};
    for (int i = 0; i < 5; ++i) {
        labels_[i] = new ZLabel(captions.at(i), area, 12);
        labels->addWidget(labels_[i], 0, Qt::AlignLeft);
    }
    layout->addLayout(labels);
}

void WidgetFrame0::showEvent(QShowEvent* event)
{
    // Room for a frame's 16 bytes on one console line; the statistics take the rest.
    const QMargins m = dataArea() ? dataArea()->layout()->contentsMargins() : QMargins();
    setDataWidthWanted(console_->widthForColumns(kFrameBytes * 3 - 1) + m.left() + m.right());
    DataWidgetBase::showEvent(event);
}

QString WidgetFrame0::timeStamp(quint32 systemTimeMs)
{
    if (systemTimeMs >= kDayMs)
        return QString();
    return QTime::fromMSecsSinceStartOfDay(static_cast<int>(systemTimeMs)).toString("[HH:mm:ss:zzz]");
}

QString WidgetFrame0::consoleText(const QByteArray& frame)
{
    const RangeFrameValues v = RangeFrameValues::decode(frame);
    return timeStamp(v.systemTime) + QLatin1Char('\n') + QString::fromLatin1(frame.toHex(' ').toUpper());
}

void WidgetFrame0::refresh()
{
    ProtocolFrame0* protocol = ProtocolFrame0::existing();
    if (!protocol)
        return;
    const QList<QSharedPointer<QByteArray>> records = protocol->queue.takeAll();
    if (item_ && item_->isClearRequested()) {
        item_->resetClearRequest();
        for (ZLabel* label : labels_)
            label->setValue(QString());
        return;
    }
    if (records.isEmpty())
        return;

    // One append for every frame since the last refresh; the console ends the
    // text with its own line break.
    QStringList lines;
    lines.reserve(records.size());
    for (const QSharedPointer<QByteArray>& record : records)
        lines << consoleText(*record);
    console_->appendText(lines.join(QLatin1Char('\n')));

    const RangeFrameValues v = RangeFrameValues::decode(*records.last());
    labels_[0]->setValue(QString::number(v.systemTime));
    labels_[1]->setValue(QString::number(v.distanceMetres(), 'g', 6));
    labels_[2]->setValue(QString::number(v.status));
    labels_[3]->setValue(QString::number(v.signalStrength));
    labels_[4]->setValue(QString::number(v.rangePrecisionCm));
}

DataWidgetBase* WidgetFrame0Factory::create(DataResourceItem* item, QWidget* parent)
{
    auto* page = new WidgetFrame0(item, collector_, parent);
    page->hide();
    return page;
}

} // namespace Sarvel
