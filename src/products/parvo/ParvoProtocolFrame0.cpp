#include "products/parvo/ParvoProtocolFrame0.h"

#include "model/ModelManager.h"
#include "products/parvo/ParvoWidgetPixelData.h"
#include "products/sarvel/RangeSensorTables.h"
#include "protocol/ProtocolFactory.h"

namespace Parvo {

namespace {
ProtocolFrame0_16* g_instance16 = nullptr;
ProtocolFrame0_64* g_instance64 = nullptr;
} // namespace

QStringList ZoneFrameProtocol::exportColumnNames(int zones)
{
    QStringList names{QStringLiteral("id"), QStringLiteral("systemTime")};
    names.reserve(2 + 3 * zones);
    for (int i = 0; i < zones; ++i) {
        const QString n = QString::number(i);
        names << n + QStringLiteral("_dis") << n + QStringLiteral("_disStatus")
              << n + QStringLiteral("_signalStrength");
    }
    return names;
}

QStringList ZoneFrameProtocol::lineItemNames(int zones)
{
    QStringList names;
    names.reserve(3 * zones);
    for (int i = 0; i < zones; ++i) {
        const QString n = QString::number(i);
        names << n + QStringLiteral("_dis") << n + QStringLiteral("_disStatus") << n + QStringLiteral("_disStrength");
    }
    return names;
}

ZoneFrameProtocol::ZoneFrameProtocol(int pixelMode, QObject* parent)
    : ProtocolBase(frameName(quint8(pixelMode)), parent)
    , DataExportObserver(this)
    , pixelMode_(pixelMode)
    , zones_(zoneCount(pixelMode))
{
    const int length = Parvo::frameLength(pixelMode);
    frame_ = QByteArray(length, '\0');
    frame_[0] = char(0x57);
    frame_[1] = char(0x01);
    frame_[2] = char(0xFF);
    isLengthKnown_ = true;
    frameLength_ = length;
    minFrameLength_ = length;
    maxFrameLength_ = length;
    head_ = frame_.left(2);
    exportColumns_ = exportColumnNames(zones_);
}

ZoneFrameProtocol::~ZoneFrameProtocol() = default;

void ZoneFrameProtocol::registerDataItems()
{
    ModelManager* manager = modelManager_;
    if (!manager)
        return;
    dataItem_ = qobject_cast<DataResourceItem*>(
        manager->createResource(ResourceType::Data, name_, QStringLiteral("data"), true, makePageFactory(), false));
    const QStringList names = lineItemNames(zones_);
    items_.fill(nullptr, names.size());
    for (int i = 0; i < names.size(); ++i) {
        auto* item = qobject_cast<LineResourceItem*>(
            manager->createResource(ResourceType::Line, name_, names.at(i), true, nullptr, false));
        items_[i] = item;
        if (item)
            collector_.addItem(item);
    }
}

void ZoneFrameProtocol::parseFrame(const QByteArray& frame)
{
    if (frame.size() != frameLength_)
        return;
    // Shares the caller's bytes: each record keeps the frame it was made from.
    frame_ = frame;
    exportRow();
    const char* f = frame_.constData();
    for (int zone = 0, item = 0; zone < zones_ && item + 2 < items_.size(); ++zone, item += 3) {
        if (LineResourceItem* d = items_[item])
            d->setData(BaseResourceItem::ColValue, zoneDistance(f, zone));
        if (LineResourceItem* s = items_[item + 1])
            s->setData(BaseResourceItem::ColValue, int(zoneStatus(f, zone)));
        if (LineResourceItem* g = items_[item + 2])
            g->setData(BaseResourceItem::ColValue, int(zoneStrength(f, zone)));
    }
    pushRecord(QTime::currentTime().msecsSinceStartOfDay(), frame_);
    if (dataItem_)
        dataItem_->setDirty(true);
}

QList<QVariant> ZoneFrameProtocol::fillExportRow()
{
    const char* f = frame_.constData();
    QList<QVariant> row;
    row.reserve(2 + 3 * zones_);
    row << QVariant(int(frameId(f))) << QVariant(frameSystemTime(f));
    for (int zone = 0; zone < zones_; ++zone)
        row << QVariant(zoneDistance(f, zone)) << QVariant(int(zoneStatus(f, zone)))
            << QVariant(int(zoneStrength(f, zone)));
    return row;
}

template <int PixelMode>
DataWidgetBaseFactory* ProtocolFrame0<PixelMode>::makePageFactory()
{
    return new WidgetDataFactory<PixelMode>(collector(), [this] { return queue.takeAll(); });
}

template class ProtocolFrame0<kPixel4x4>;
template class ProtocolFrame0<kPixel8x8>;

ProtocolFrame0_16::ProtocolFrame0_16()
    : ProtocolFrame0<kPixel4x4>(nullptr)
{
}

ProtocolFrame0_16* ProtocolFrame0_16::instance(QObject*)
{
    if (!g_instance16)
        g_instance16 = new ProtocolFrame0_16;
    return g_instance16;
}

ProtocolFrame0_16* ProtocolFrame0_16::existing()
{
    return g_instance16;
}

ProtocolFrame0_16::~ProtocolFrame0_16()
{
    if (g_instance16 == this)
        g_instance16 = nullptr;
}

ProtocolFrame0_64::ProtocolFrame0_64()
    : ProtocolFrame0<kPixel8x8>(nullptr)
{
}

ProtocolFrame0_64* ProtocolFrame0_64::instance(QObject*)
{
    if (!g_instance64)
        g_instance64 = new ProtocolFrame0_64;
    return g_instance64;
}

ProtocolFrame0_64* ProtocolFrame0_64::existing()
{
    return g_instance64;
}

ProtocolFrame0_64::~ProtocolFrame0_64()
{
    if (g_instance64 == this)
        g_instance64 = nullptr;
}

ZoneFrameProtocol* existingZoneProtocol(int pixelMode)
{
    if (pixelMode == kPixel4x4)
        return g_instance16;
    if (pixelMode == kPixel8x8)
        return g_instance64;
    return nullptr;
}

void registerZoneFrames()
{
    // Both sizes are created without a parent and live to the end of the run,
    // whoever asks for them first (the setting window passes itself).
    ProtocolFactory::registerProtocol(frameName(kPixel4x4), [](QObject*) -> ProtocolBase* {
        return ProtocolFrame0_16::instance();
    });
    ProtocolFactory::registerProtocol(frameName(kPixel8x8), [](QObject*) -> ProtocolBase* {
        return ProtocolFrame0_64::instance();
    });
}

} // namespace Parvo
