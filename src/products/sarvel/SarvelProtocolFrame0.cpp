#include "products/sarvel/SarvelProtocolFrame0.h"

#include "foundation/ZUdpOutput.h"
#include "model/ModelManager.h"
#include "products/sarvel/RangeSensorTables.h"
#include "products/sarvel/SarvelWidgetFrame0.h"
#include "protocol/ProductsManager.h"

#include <nlohmann/json.hpp>

#include <QMutex>
#include <QMutexLocker>
#include <QPointer>

namespace Sarvel {

namespace {
QPointer<ProtocolFrame0> g_instance;

quint32 readU32(const uchar* p)
{
    return quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24;
}
} // namespace

RangeFrameValues RangeFrameValues::decode(const QByteArray& frame)
{
    RangeFrameValues v;
    if (frame.size() < ProtocolFrame0::kFrameLength)
        return v;
    const auto* b = reinterpret_cast<const uchar*>(frame.constData());
    v.systemTime = readU32(b + 4);
    // Sign-extend the 24-bit value from bit 23.
    const quint32 raw = quint32(b[10]) << 16 | quint32(b[9]) << 8 | quint32(b[8]);
    v.distanceMm = static_cast<qint32>(raw << 8) >> 8;
    v.status = b[11];
    v.signalStrength = static_cast<quint16>(b[12] | b[13] << 8);
    v.rangePrecisionCm = b[14];
    return v;
}

const QStringList& ProtocolFrame0::itemNames()
{
    static const QStringList names{"time(ms)", "dis(m)", "dis_status", "signal_strength", "range_precision(cm)"};
    return names;
}

ProtocolFrame0* ProtocolFrame0::instance(QObject* parent)
{
    if (!g_instance)
        g_instance = new ProtocolFrame0(parent);
    return g_instance.data();
}

ProtocolFrame0* ProtocolFrame0::existing()
{
    return g_instance.data();
}

ProtocolFrame0::ProtocolFrame0(QObject* parent)
    : ProtocolBase(frameName(0), parent)
    , DataExportObserver(this)
{
    frame_ = QByteArray(kFrameLength, '\0');
    frame_[0] = char(0x57);
    frame_[1] = char(0x00);
    isLengthKnown_ = true;
    frameLength_ = kFrameLength;
    minFrameLength_ = kFrameLength;
    maxFrameLength_ = kFrameLength;
    head_ = frame_.left(2);
    exportColumns_ = itemNames();
    queue.name_ = name_;
}

ProtocolFrame0::~ProtocolFrame0() = default;

void ProtocolFrame0::registerDataItems()
{
    ModelManager* manager = modelManager_;
    if (!manager)
        return;
    for (int i = 0; i < itemNames().size(); ++i) {
        auto* item = qobject_cast<LineResourceItem*>(
            manager->createResource(ResourceType::Line, name_, itemNames().at(i), true, nullptr, false));
        items_[i] = item;
        if (item)
            collector_.addItem(item);
    }
    dataItem_ = qobject_cast<DataResourceItem*>(manager->createResource(
        ResourceType::Data, name_, QStringLiteral("data"), true, new WidgetFrame0Factory(&collector_), false));
}

void ProtocolFrame0::parseFrame(const QByteArray& frame)
{
    if (frame.size() < kFrameLength)
        return;
    frame_ = frame.left(kFrameLength);
    queue.push(QSharedPointer<QByteArray>::create(frame_));
    if (dataItem_)
        dataItem_->setDirty(true);
    exportRow();

    const RangeFrameValues v = RangeFrameValues::decode(frame_);
    if (items_[0])
        items_[0]->setData(BaseResourceItem::ColValue, v.systemTime);
    if (items_[1])
        items_[1]->setData(BaseResourceItem::ColValue, v.distanceMetres());
    if (items_[2])
        items_[2]->setData(BaseResourceItem::ColValue, v.status);
    if (items_[3])
        items_[3]->setData(BaseResourceItem::ColValue, v.signalStrength);
    const ProductsManager* products = ProductsManager::existing();
    if (items_[4] && products && isRionProductType(products->currentProductType()))
        items_[4]->setData(BaseResourceItem::ColValue, v.rangePrecisionCm);

    if (!udpOutputEnabled.load(std::memory_order_relaxed))
        return;
    sendUdpText(jsonText(v));
}

QByteArray ProtocolFrame0::jsonText(const RangeFrameValues& v)
{
    // One object for the run (frames are parsed on one thread); its keys are
    // overwritten with each frame.
    static QMutex mutex;
    static nlohmann::json object = nlohmann::json::object();
    QMutexLocker lock(&mutex);
    object["system_time"] = v.systemTime;
    object["dis"] = static_cast<double>(v.distanceMetres());
    object["dis_status"] = static_cast<unsigned>(v.status);
    object["signal_strength"] = static_cast<unsigned>(v.signalStrength);
    object["range_precision"] = static_cast<unsigned>(v.rangePrecisionCm);
    const std::string text = object.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
    return QByteArray(text.data(), static_cast<int>(text.size()));
}

QList<QVariant> ProtocolFrame0::fillExportRow()
{
    const RangeFrameValues v = RangeFrameValues::decode(frame_);
    return {QVariant(v.systemTime), QVariant(v.distanceMetres()), QVariant(int(v.status)),
            QVariant(int(v.signalStrength)), QVariant(int(v.rangePrecisionCm))};
}

} // namespace Sarvel
