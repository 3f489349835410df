#pragma once

#include <QByteArray>
#include <QSharedPointer>
#include <QString>
#include <QTime>
#include <QtGlobal>

#include <functional>

// The zone frame "57 01" of the multi-zone range sensors: 4 x 4 or 8 x 8 zones,
// chosen by the pixel mode bit of the parameter frame (1 = 16 zones, 0 = 64).
//
//   0 57, 1 01, 2 reserved, 3 id, 4..7 system time (u32), 8 reserved,
//   9 + 6i zone i: distance (signed 24-bit, micrometres), status (u8),
//                  signal strength (u16),
//   6 reserved bytes, last byte the 8-bit sum of the bytes before it.
namespace Parvo {

constexpr int kZoneOffset = 9;
constexpr int kZoneRecordSize = 6;
constexpr int kPixel4x4 = 1;
constexpr int kPixel8x8 = 0;

constexpr int zoneCount(int pixelMode)
{
    return pixelMode == kPixel4x4 ? 16 : 64;
}
constexpr int zoneSide(int pixelMode)
{
    return pixelMode == kPixel4x4 ? 4 : 8;
}
constexpr int frameLength(int pixelMode)
{
    return kZoneOffset + kZoneRecordSize * zoneCount(pixelMode) + 6 + 1;
}

// Field readers over a whole frame; zone indexes are not checked.
inline quint8 frameId(const char* frame)
{
    return static_cast<quint8>(frame[3]);
}
inline quint32 frameSystemTime(const char* frame)
{
    const auto* b = reinterpret_cast<const quint8*>(frame + 4);
    return quint32(b[0]) | quint32(b[1]) << 8 | quint32(b[2]) << 16 | quint32(b[3]) << 24;
}
// The signed 24-bit distance in micrometres: FF FF FF is -1, 00 00 80 is -8388608.
inline qint32 zoneDistanceRaw(const char* frame, int zone)
{
    const auto* b = reinterpret_cast<const quint8*>(frame + kZoneOffset + kZoneRecordSize * zone);
    const quint32 raw = quint32(b[2]) << 16 | quint32(b[1]) << 8 | quint32(b[0]);
    return static_cast<qint32>(raw << 8) >> 8;
}
// Metres in single precision, as plotted, drawn and exported.
inline float zoneDistance(const char* frame, int zone)
{
    return static_cast<float>(zoneDistanceRaw(frame, zone)) / 1000000.0f;
}
inline quint8 zoneStatus(const char* frame, int zone)
{
    return static_cast<quint8>(frame[kZoneOffset + kZoneRecordSize * zone + 3]);
}
inline quint16 zoneStrength(const char* frame, int zone)
{
    const auto* b = reinterpret_cast<const quint8*>(frame + kZoneOffset + kZoneRecordSize * zone + 4);
    return static_cast<quint16>(b[0] | b[1] << 8);
}

// One received frame as the page gets it: its own bytes and when it arrived, so
// that frames shown by one refresh keep their own times.
struct ZoneRecord
{
    ZoneRecord(int arrivalMs, const QByteArray& bytes)
        : arrivalMsOfDay(arrivalMs)
        , frame(bytes)
    {
    }
    int arrivalMsOfDay; // local time, ms since midnight
    QByteArray frame;

    QTime arrivalTime() const { return QTime::fromMSecsSinceStartOfDay(arrivalMsOfDay); }
    // "hh:mm:ss.zzz"
    QString arrivalText() const { return arrivalTime().toString(QStringLiteral("hh:mm:ss.zzz")); }
};

// The record of one size; the size is part of its type so that a page of one size
// never gets frames of the other.
template <int PixelMode>
struct Data : ZoneRecord
{
    static constexpr int kLength = frameLength(PixelMode);
    using ZoneRecord::ZoneRecord;
};

template <int PixelMode>
using DataList = QList<QSharedPointer<Data<PixelMode>>>;
// Takes every queued record of a protocol, oldest first, leaving its queue empty.
template <int PixelMode>
using TakeFunction = std::function<DataList<PixelMode>()>;

} // namespace Parvo
