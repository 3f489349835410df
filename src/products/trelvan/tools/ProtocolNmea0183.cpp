#include "products/trelvan/tools/ProtocolNmea0183.h"

#include "model/ModelManager.h"
#include "model/ResourceItems.h"
#include "protocol/ProtocolFactory.h"

#include <QGridLayout>
#include <QLabel>

namespace Trelvan {

namespace {

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

ProtocolNmea0183Manager* g_manager = nullptr;

} // namespace

ProtocolNmea0183Base::ProtocolNmea0183Base(const QString& type, const QStringList& fieldNames, QObject* parent)
    : ProtocolBase(QStringLiteral("Trelvan_NMEA0183_") + type, parent)
    , queue(name())
    , fieldNames_(fieldNames)
{
    isLengthKnown_ = false;
    head_ = QByteArray("$") + type.toLatin1() + ',';
    tail_ = QByteArray("\r\n");
    // "$", head, at least "*hh" and the tail.
    minFrameLength_ = head_.size() + 5;
    maxFrameLength_ = kMaxSentenceLength;
}

bool ProtocolNmea0183Base::checkSentence(const char* data, int n)
{
    if (!data || n < 7)
        return false;
    if (data[n - 5] != '*')
        return false;
    const int high = hexDigit(data[n - 4]);
    const int low = hexDigit(data[n - 3]);
    if (high < 0 || low < 0)
        return false;
    const quint8 sum = xor8(data + 1, n - 6);
    return quint8(high * 16 + low) == sum;
}

bool ProtocolNmea0183Base::verifyFrame(const char* data)
{
    return checkSentence(data, frameLength_);
}

QStringList ProtocolNmea0183Base::splitSentence(const QByteArray& sentence)
{
    const int n = sentence.size();
    if (n < 6)
        return QStringList();
    return QString::fromLatin1(sentence.constData() + 1, n - 6).split(QLatin1Char(','), Qt::KeepEmptyParts);
}

void ProtocolNmea0183Base::registerDataItems()
{
    if (!modelManager_)
        return;
    dataItem_ = qobject_cast<DataResourceItem*>(
        modelManager_->createResource(ResourceType::Data, name_, QStringLiteral("data"), true,
                                      new WidgetNmea0183BaseFactory(this, fieldNames_), false));
}

void ProtocolNmea0183Base::parseFrame(const QByteArray& frame)
{
    queue.push(QSharedPointer<Record>::create(splitSentence(frame)));
    if (dataItem_)
        dataItem_->setDirty(true);
}

QStringList ProtocolNmea0183Manager::ggaFieldNames()
{
    return {"MessageType", "UTC",  "Latitude", "LatitudeIndicator", "Longitude",
            "LongitudeIndicator", "GPSQualityIndicator", "ViewableSatellites", "HDOP", "Altitude",
            "AltitudeUnit", "GEOID", "GEOIDUnit", "RTCMSC", "DRSID"};
}

QStringList ProtocolNmea0183Manager::gsaFieldNames()
{
    QStringList names{"MessageType", "LocationMode", "LocationType"};
    for (int i = 0; i < 12; ++i)
        names << QStringLiteral("PRN%1").arg(i);
    names << "PDOP" << "HDOP" << "VDOP";
    return names;
}

QStringList ProtocolNmea0183Manager::rmcFieldNames()
{
    return {"MessageType",     "UTC",          "NavigationStatus",  "Latitude",
            "LatitudeIndicator", "Longitude",  "LongitudeIndicator", "SpeedOverGround",
            " TrackAngle",     "DateOfFix",    "MagneticVariation", "MagneticVariation E/W",
            "ModeIndicator"};
}

ProtocolNmea0183Manager::ProtocolNmea0183Manager(QObject* parent)
    : QObject(parent)
{
    protocols_ << new ProtocolNmea0183Base("GPGGA", ggaFieldNames(), this)
               << new ProtocolNmea0183Base("GPGSA", gsaFieldNames(), this)
               << new ProtocolNmea0183Base("GPRMC", rmcFieldNames(), this);
}

ProtocolNmea0183Manager::~ProtocolNmea0183Manager()
{
    if (g_manager == this)
        g_manager = nullptr;
}

QList<ProtocolBase*> ProtocolNmea0183Manager::protocols(QObject* parent)
{
    if (!g_manager)
        g_manager = new ProtocolNmea0183Manager(parent);
    return g_manager->protocols_;
}

WidgetNmea0183Base::WidgetNmea0183Base(DataResourceItem* item, ProtocolNmea0183Base* protocol,
                                       const QStringList& fieldNames, QWidget* parent)
    : DataWidgetBase(nullptr, parent)
    , protocol_(protocol)
    , item_(item)
{
    auto* grid = new QGridLayout(this);
    for (int i = 0; i < fieldNames.size(); ++i) {
        grid->addWidget(new QLabel(fieldNames.at(i), this), i, 0);
        auto* value = new QLabel(this);
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        grid->addWidget(value, i, 1);
        values_ << value;
    }
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(fieldNames.size(), 1);
}

void WidgetNmea0183Base::refresh()
{
    const QList<QSharedPointer<QStringList>> records = protocol_->queue.takeAll();
    if (item_ && item_->isClearRequested()) {
        item_->resetClearRequest();
        for (QLabel* label : values_)
            label->clear();
        return;
    }
    if (records.isEmpty())
        return;
    const QStringList& fields = *records.last();
    const int shown = std::min(fields.size(), values_.size());
    for (int i = 0; i < shown; ++i)
        values_.at(i)->setText(fields.at(i));
}

DataWidgetBase* WidgetNmea0183BaseFactory::create(DataResourceItem* item, QWidget* parent)
{
    auto* page = new WidgetNmea0183Base(item, protocol_, fieldNames_, parent);
    page->hide();
    return page;
}

void registerSentenceProtocols()
{
    ProtocolFactory::registerSentenceProtocols(
        [](QObject* parent) { return ProtocolNmea0183Manager::protocols(parent); });
}

} // namespace Trelvan
