#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <array>

namespace Trelvan {

// The 32-byte calibration frame of the AOA models (head 54 03), sent and echoed
// alike. Two layouts read bytes 4-14 differently: the page layout keeps bytes 12-14
// at FF, the window layout carries the transmit-gain and distance offsets there.
struct AoaCalibrationFrame
{
    static constexpr int kSize = 32;
    enum class Layout { Page, Window };
    enum Command : quint8 { Write = 0x00, Read = 0x01 };
    // Field offsets.
    enum Offset {
        CommandByte = 2,
        ItemType = 3,
        XtrimOffset = 4,
        AntennaTxDelay = 6,
        AntennaRxDelay = 8,
        AoaOffset = 10,
        TxGainOffset = 12,
        DistanceOffset = 13,
        Checksum = 31
    };

    std::array<quint8, kSize> bytes{};

    // The layout's default: head, zeros, FF filler (bytes 12-14 too in the page
    // layout), the constant EE 15 34 01, no checksum yet.
    static AoaCalibrationFrame defaults(Layout layout);
    // The default with byte 2 = 0x01, sealed.
    static QByteArray readRequest(Layout layout);
    // The first 32 bytes of data (missing bytes stay 0).
    static AoaCalibrationFrame fromBytes(const QByteArray& data);
    QByteArray toByteArray() const;
    // Writes the 8-bit sum of bytes 0-30 into byte 31.
    void seal();

    quint8 u8(int offset) const { return bytes[size_t(offset)]; }
    quint16 u16(int offset) const { return quint16(bytes[size_t(offset)] | bytes[size_t(offset) + 1] << 8); }
    qint16 s16(int offset) const { return qint16(u16(offset)); }
    void setU8(int offset, quint8 v) { bytes[size_t(offset)] = v; }
    void setU16(int offset, quint16 v)
    {
        bytes[size_t(offset)] = quint8(v & 0xFF);
        bytes[size_t(offset) + 1] = quint8(v >> 8);
    }
    // Whether the width bytes at offset differ from other's.
    bool differs(const AoaCalibrationFrame& other, int offset, int width) const;
};

// value x scale to the nearest integer, kept within [lowest, highest]. Rounding,
// not truncation: 1.15 x 100 is 114.999... in binary and must still be sent as 115,
// or the echo check compares against a value that was never entered.
qint32 scaledToInteger(double value, int scale, qint32 lowest, qint32 highest);

} // namespace Trelvan
