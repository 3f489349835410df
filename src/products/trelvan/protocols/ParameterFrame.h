#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <array>

namespace Trelvan {

// The 128-byte parameter frame "54 00" of the positioning nodes, as a byte image in
// wire order (little-endian). The same frame is a read, write, mode-switch, restart
// or calibration request depending on byte 2, and every reply is one.
struct ParameterFrame
{
    static constexpr int kSize = 128;
    static constexpr int kAnchorRows = 10;
    static constexpr int kFirstAnchorByte = 37;
    // x, y and z of a row without anchor, in mm.
    static constexpr qint32 kNoAnchorMm = -8388000;

    // Bits of the command byte.
    enum Command : quint8 {
        Read = 0x01,
        SwitchMode = 0x02,
        Restart = 0x08,
        CalibrationPoll = 0x20,
    };

    std::array<quint8, kSize> bytes{};

    // The default record every request starts from: 54 00, reserved bytes at their
    // fixed values, everything else 0 (checksum included).
    ParameterFrame();
    // The first 128 bytes of data; missing bytes keep their defaults.
    static ParameterFrame fromBytes(const QByteArray& data);
    QByteArray toByteArray() const;

    // A default record with the command bits set and the checksum written.
    static QByteArray request(quint8 commandBits);

    // Writes the 8-bit sum of bytes 0..126 into byte 127.
    void seal();

    quint8 command() const { return bytes[2]; }
    quint8 role() const { return bytes[3]; }
    quint8 model() const { return bytes[4]; }
    quint32 baudRate() const { return u24(5); }
    quint8 systemNum() const { return bytes[8]; }
    quint8 id() const { return bytes[9]; }
    quint16 refreshRate() const { return quint16(bytes[10] | bytes[11] << 8); }
    quint8 systemID() const { return bytes[12]; }
    quint8 onOffControl() const { return bytes[14]; }
    quint8 filterFactor() const { return bytes[16]; }
    quint8 appMode() const { return bytes[17]; }
    quint8 localMode() const { return bytes[17] >> 4; }
    quint8 runningMode() const { return bytes[17] & 0x0F; }
    quint8 protocol() const { return bytes[19]; }
    quint8 txGain() const { return bytes[20]; }
    quint8 nodeCapacity() const { return bytes[24]; }
    quint8 anchorCapacity() const { return bytes[25]; }
    quint8 consoleCapacity() const { return bytes[26]; }
    quint32 systemTime() const { return u24(27) | quint32(bytes[30]) << 24; }
    quint8 coordinateGroup() const { return bytes[36]; }
    // Anchor row 0..9, axis 0..2 (x, y, z), signed mm.
    qint32 anchorCoordinate(int row, int axis) const;

    void setCommand(quint8 v) { bytes[2] = v; }
    void setRole(quint8 v) { bytes[3] = v; }
    void setModel(quint8 v) { bytes[4] = v; }
    void setBaudRate(quint32 v) { setU24(5, v); }
    void setSystemNum(quint8 v) { bytes[8] = v; }
    void setId(quint8 v) { bytes[9] = v; }
    void setRefreshRate(quint16 v)
    {
        bytes[10] = quint8(v & 0xFF);
        bytes[11] = quint8(v >> 8);
    }
    void setSystemID(quint8 v) { bytes[12] = v; }
    void setOnOffControl(quint8 v) { bytes[14] = v; }
    void setFilterFactor(quint8 v) { bytes[16] = v; }
    void setAppMode(quint8 v) { bytes[17] = v; }
    void setLocalMode(quint8 m) { bytes[17] = quint8((m & 0x0F) << 4 | (bytes[17] & 0x0F)); }
    void setRunningMode(quint8 m) { bytes[17] = quint8((bytes[17] & 0xF0) | (m & 0x0F)); }
    void setProtocol(quint8 v) { bytes[19] = v; }
    void setTxGain(quint8 v) { bytes[20] = v; }
    void setNodeCapacity(quint8 v) { bytes[24] = v; }
    void setSystemTime(quint32 v)
    {
        setU24(27, v);
        bytes[30] = quint8(v >> 24);
    }
    void setCoordinateGroup(quint8 v) { bytes[36] = v; }
    // Keeps the low 24 bits.
    void setAnchorCoordinate(int row, int axis, qint32 mm);

    bool operator==(const ParameterFrame& o) const { return bytes == o.bytes; }
    bool operator!=(const ParameterFrame& o) const { return !(*this == o); }

private:
    quint32 u24(int o) const { return quint32(bytes[o]) | quint32(bytes[o + 1]) << 8 | quint32(bytes[o + 2]) << 16; }
    void setU24(int o, quint32 v)
    {
        bytes[o] = quint8(v & 0xFF);
        bytes[o + 1] = quint8((v >> 8) & 0xFF);
        bytes[o + 2] = quint8((v >> 16) & 0xFF);
    }
};
static_assert(sizeof(ParameterFrame) == ParameterFrame::kSize, "the record is its 128 wire bytes");

} // namespace Trelvan
