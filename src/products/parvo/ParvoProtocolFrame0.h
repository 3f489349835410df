#pragma once

#include "model/ResourceItems.h"
#include "products/parvo/ParvoZoneFrame.h"
#include "protocol/ProtocolBase.h"
#include "protocol/ProtocolDataQueue.h"
#include "record/DataExportObserver.h"

#include <QByteArray>
#include <QList>
#include <QStringList>
#include <QVariant>
#include <QVector>

class DataWidgetBaseFactory;

namespace Parvo {

// What both zone-frame sizes share: the name from the frame-name table, the fixed
// length and head 57 01, the 3 x N line items and the "data" item of the
// zone-matrix page, the export row, and the per-frame writes. Frames are not sent
// over UDP.
class ZoneFrameProtocol : public ProtocolBase, public DataExportObserver
{
public:
    ~ZoneFrameProtocol() override;

    void registerDataItems() override;
    void parseFrame(const QByteArray& frame) override;
    // id, system time, then per zone distance (m), status, signal strength.
    QList<QVariant> fillExportRow() override;

    int pixelMode() const { return pixelMode_; }
    int zones() const { return zones_; }
    LineResourceCollector* collector() { return &collector_; }
    DataResourceItem* dataItem() const { return dataItem_; }
    // Line item 3 x zone + k: k = 0 distance, 1 status, 2 signal strength.
    LineResourceItem* lineItem(int index) const { return items_.value(index, nullptr); }
    QByteArray lastFrame() const { return frame_; }

    // "id", "systemTime", then "<i>_dis", "<i>_disStatus", "<i>_signalStrength".
    static QStringList exportColumnNames(int zones);
    // "<i>_dis", "<i>_disStatus", "<i>_disStrength" per zone.
    static QStringList lineItemNames(int zones);

protected:
    ZoneFrameProtocol(int pixelMode, QObject* parent);

    // Queues the record of one frame for the page.
    virtual void pushRecord(int arrivalMsOfDay, const QByteArray& frame) = 0;
    // The page factory of this size, bound to this protocol's queue.
    virtual DataWidgetBaseFactory* makePageFactory() = 0;

private:
    const int pixelMode_;
    const int zones_;
    QByteArray frame_;
    DataResourceItem* dataItem_ = nullptr;
    QVector<LineResourceItem*> items_;
    LineResourceCollector collector_;
};

// The zone frame of one pixel mode: 1 = 16 zones (112 bytes), 0 = 64 zones (400).
template <int PixelMode>
class ProtocolFrame0 : public ZoneFrameProtocol
{
public:
    static constexpr int kZones = zoneCount(PixelMode);
    static constexpr int kLength = Parvo::frameLength(PixelMode);

    // The frames not yet shown, oldest first.
    ProtocolDataQueue<Data<PixelMode>> queue;

    DataList<PixelMode> takeAll() { return queue.takeAll(); }

protected:
    explicit ProtocolFrame0(QObject* parent)
        : ZoneFrameProtocol(PixelMode, parent)
    {
        queue.name_ = name();
    }

    void pushRecord(int arrivalMsOfDay, const QByteArray& frame) override
    {
        queue.push(QSharedPointer<Data<PixelMode>>::create(arrivalMsOfDay, frame));
    }
    DataWidgetBaseFactory* makePageFactory() override;
};

// The two sizes the program makes, one object each for the run.
class ProtocolFrame0_16 : public ProtocolFrame0<kPixel4x4>
{
public:
    // Created without a parent on the first call and kept; the parent is ignored.
    static ProtocolFrame0_16* instance(QObject* ignoredParent = nullptr);
    static ProtocolFrame0_16* existing();
    ~ProtocolFrame0_16() override;

private:
    ProtocolFrame0_16();
};

class ProtocolFrame0_64 : public ProtocolFrame0<kPixel8x8>
{
public:
    static ProtocolFrame0_64* instance(QObject* ignoredParent = nullptr);
    static ProtocolFrame0_64* existing();
    ~ProtocolFrame0_64() override;

private:
    ProtocolFrame0_64();
};

// The zone-frame protocol of a pixel mode, if it exists.
ZoneFrameProtocol* existingZoneProtocol(int pixelMode);

// Makes the two zone frames known to the protocol factory. Call once at start-up.
void registerZoneFrames();

} // namespace Parvo
