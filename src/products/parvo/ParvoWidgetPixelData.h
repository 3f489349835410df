#pragma once

#include "model/DataWidgetBaseFactory.h"
#include "products/parvo/ParvoZoneFrame.h"
#include "widgets/DataWidgetBase.h"

#include <QList>
#include <QVector>

class DataResourceItem;
class LineResourceCollector;
class PlainTextEditWithFile;

class QSplitter;

namespace Parvo {

class SurfaceGraph;

// The zone-matrix page: every received frame in hex with its arrival time, and the
// newest frame's distances and signal strengths as two surfaces. The statistics
// rows of the base list the protocol's line items.
class ZoneMatrixPage : public DataWidgetBase
{
    Q_OBJECT
public:
    static constexpr int kConsoleWidth = 300;

    ZoneMatrixPage(int zones, DataResourceItem* item, LineResourceCollector* collector, QWidget* parent);

    int zones() const { return zones_; }
    PlainTextEditWithFile* console() const { return console_; }
    SurfaceGraph* distanceSurface() const { return distance_; }
    SurfaceGraph* strengthSurface() const { return strength_; }

    // The console block of a record: "[hh:mm:ss:zzz]" of its arrival, then its bytes
    // in lower-case hex with a blank between them, each line ending with "\n".
    static QString consoleText(const ZoneRecord& record);
    // The newest frame as side x side matrices: distances in metres, strengths.
    static QVector<QVector<float>> distanceMatrix(const QByteArray& frame, int side);
    static QVector<QVector<float>> strengthMatrix(const QByteArray& frame, int side);

protected:
    // Shows the records taken by one refresh, oldest first.
    void showRecords(const QList<const ZoneRecord*>& records);
    // The surfaces want their controls and mean on one line beside the console.
    void showEvent(QShowEvent* event) override;

private:
    int zones_;
    DataResourceItem* item_;
    PlainTextEditWithFile* console_ = nullptr;
    SurfaceGraph* distance_ = nullptr;
    SurfaceGraph* strength_ = nullptr;
    QSplitter* splitter_ = nullptr;
};

template <int PixelMode>
class WidgetPixelData : public ZoneMatrixPage
{
public:
    WidgetPixelData(TakeFunction<PixelMode> take, DataResourceItem* item, LineResourceCollector* collector,
                    QWidget* parent)
        : ZoneMatrixPage(zoneCount(PixelMode), item, collector, parent)
        , take_(std::move(take))
    {
    }

    void refresh() override
    {
        const DataList<PixelMode> records = take_ ? take_() : DataList<PixelMode>();
        QList<const ZoneRecord*> shown;
        shown.reserve(records.size());
        for (const auto& record : records)
            shown.append(record.data());
        showRecords(shown);
    }

private:
    TakeFunction<PixelMode> take_;
};

template <int PixelMode>
class WidgetDataFactory : public DataWidgetBaseFactory
{
public:
    WidgetDataFactory(LineResourceCollector* collector, TakeFunction<PixelMode> take)
        : collector_(collector)
        , take_(std::move(take))
    {
    }

    DataWidgetBase* create(DataResourceItem* item, QWidget* parent) override
    {
        auto* page = new WidgetPixelData<PixelMode>(take_, item, collector_, parent);
        page->setVisible(false);
        return page;
    }

private:
    LineResourceCollector* collector_;
    TakeFunction<PixelMode> take_;
};

} // namespace Parvo
