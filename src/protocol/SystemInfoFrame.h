#pragma once

#include <QByteArray>
#include <QString>
#include <QVersionNumber>

#include <array>
#include <cstring>

// The 32-byte system frame every device answers, little-endian, in wire order.
struct SystemInfoFrame
{
    static constexpr int kSize = 32;
    std::array<quint8, kSize> bytes{};

    // Header 0x52, reserved bytes 11..18 = 0xFF, everything else 0.
    static SystemInfoFrame defaultFrame();
    // The first 32 bytes of data (missing bytes are 0).
    static SystemInfoFrame fromBytes(const QByteArray& data);
    QByteArray toByteArray() const;

    quint8 head() const { return bytes[0]; }
    quint8 function() const { return bytes[1]; }
    quint8 flags() const { return bytes[2]; }
    bool isReadRequest() const { return bytes[2] & 0x01; }
    quint8 modelId() const { return bytes[3]; }
    quint8 productType() const { return bytes[4]; }
    quint8 hardwareMinor() const { return bytes[5]; }
    quint8 hardwareMajor() const { return bytes[6]; }
    // "major.minor"
    QString hardwareVersion() const;
    // Bytes 10, 9, 8, 7: four parts, the last one kept even when 0.
    QVersionNumber firmwareVersion() const;
    // Signed 24-bit, bytes 19..21.
    qint32 baudRate() const;
    qint8 role() const { return static_cast<qint8>(bytes[22]); }
    quint8 id() const { return bytes[23]; }
    quint32 systemTime() const;
    quint8 checksum() const { return bytes[31]; }
    // Clears the read flag and writes the 8-bit sum of bytes 0..30 into byte 31.
    void sealAsWrite();

    bool operator==(const SystemInfoFrame& o) const { return bytes == o.bytes; }
    bool operator!=(const SystemInfoFrame& o) const { return !(*this == o); }
};
static_assert(sizeof(SystemInfoFrame) == SystemInfoFrame::kSize, "the frame is its 32 wire bytes");
