#include "products/parvo/ParvoWidgetPixelData.h"

#include "model/ResourceItems.h"
#include "products/parvo/ParvoSurfaceGraph.h"
#include "widgets/FixedSplitter.h"
#include "widgets/PlainTextEditWithFile.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include <cmath>

namespace Parvo {

ZoneMatrixPage::ZoneMatrixPage(int zones, DataResourceItem* item, LineResourceCollector* collector,
                               QWidget* parent)
    : DataWidgetBase(collector, parent)
    , zones_(zones)
    , item_(item)
{
    QWidget* area = dataArea() ? dataArea() : this;
    auto* box = new QHBoxLayout(area);
    box->setContentsMargins(0, 0, 0, 0);
    auto* splitter = new FixedSplitter(Qt::Horizontal, area);
    splitter_ = splitter;
    splitter->setChildrenCollapsible(false);
    box->addWidget(splitter);

    console_ = new PlainTextEditWithFile(splitter);
    console_->setFixedWidth(kConsoleWidth);
    splitter->addWidget(console_);

    auto* surfaces = new QWidget(splitter);
    auto* column = new QVBoxLayout(surfaces);
    column->setContentsMargins(0, 0, 0, 0);
    distance_ = new SurfaceGraph(zones, 0.0, 5.0, QStringLiteral("dis(m)"), surfaces);
    strength_ = new SurfaceGraph(zones, 0.0, 65535.0, QStringLiteral("signal_strength"), surfaces);
    column->addWidget(distance_, 1);
    column->addWidget(strength_, 1);
    splitter->addWidget(surfaces);
}

void ZoneMatrixPage::showEvent(QShowEvent* event)
{
    setDataWidthWanted(kConsoleWidth + splitter_->handleWidth()
                       + qMax(distance_->controlsLineWidth(), strength_->controlsLineWidth()));
    DataWidgetBase::showEvent(event);
}

QString ZoneMatrixPage::consoleText(const ZoneRecord& record)
{
    return QLatin1Char('[') + record.arrivalTime().toString(QStringLiteral("hh:mm:ss:zzz")) + QLatin1String("]\n")
           + QString::fromLatin1(record.frame.toHex(' ')) + QLatin1Char('\n');
}

QVector<QVector<float>> ZoneMatrixPage::distanceMatrix(const QByteArray& frame, int side)
{
    QVector<QVector<float>> m(side, QVector<float>(side, 0.0f));
    if (frame.size() < kZoneOffset + kZoneRecordSize * side * side)
        return m;
    for (int i = 0; i < side * side; ++i)
        m[i / side][i % side] = zoneDistance(frame.constData(), i);
    return m;
}

QVector<QVector<float>> ZoneMatrixPage::strengthMatrix(const QByteArray& frame, int side)
{
    QVector<QVector<float>> m(side, QVector<float>(side, 0.0f));
    if (frame.size() < kZoneOffset + kZoneRecordSize * side * side)
        return m;
    for (int i = 0; i < side * side; ++i)
        m[i / side][i % side] = static_cast<float>(zoneStrength(frame.constData(), i));
    return m;
}

void ZoneMatrixPage::showRecords(const QList<const ZoneRecord*>& records)
{
    if (item_ && item_->isClearRequested()) {
        // The user cleared the data: what was taken is dropped unseen.
        item_->resetClearRequest();
        return;
    }
    if (records.isEmpty())
        return;

    // One append for every frame since the last refresh, each block ending with its
    // own line break.
    QString text;
    for (const ZoneRecord* record : records)
        text += consoleText(*record);
    console_->appendText(text);

    // Only the newest frame is drawn.
    const int side = static_cast<int>(std::sqrt(double(zones_)));
    const QByteArray& newest = records.last()->frame;
    distance_->setData(distanceMatrix(newest, side));
    strength_->setData(strengthMatrix(newest, side));
}

} // namespace Parvo
