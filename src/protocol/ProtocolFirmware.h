#pragma once

#include <QByteArray>
#include <QObject>

// The one 984-byte firmware frame the boot loader takes: 0x52 0x01, flags (bit 0
// repeat mark, bit 1 last frame), a u32 version field, the u32 flash address of the
// chunk, 972 image bytes (a short last chunk padded with 0xFF) and the 8-bit sum of
// all bytes before it. Little-endian. GUI thread only.
class ProtocolFirmware : public QObject
{
    Q_OBJECT
public:
    static constexpr int kFrameSize = 984;
    static constexpr int kChunkSize = 972;
    static constexpr int kDataOffset = 11;
    static constexpr int kAddressOffset = 7;
    static constexpr int kVersionOffset = 3;
    static constexpr int kFlagsOffset = 2;
    static constexpr quint8 kRepeatMark = 0x01;
    static constexpr quint8 kLastFrame = 0x02;
    static constexpr quint32 kFlashBase = 0x08020000u;

    static ProtocolFirmware* instance(QObject* parent = nullptr);
    // The protocol if it exists, without making one.
    static ProtocolFirmware* existing();
    ~ProtocolFirmware() override;

    // Writes the checksum into the last byte and returns the whole frame.
    QByteArray buildFirmwareFrame();

    // Head 0x52 0x01, every other byte 0.
    void reset();
    void setRepeatMark(bool on);
    void setLastFrame(bool on);
    void setAddress(quint32 address);
    // Copies n (<= 972) bytes into the data field.
    void setData(const char* data, int n);
    // Fills the data field from index `from` (0-based within the field) to its end.
    void padData(int from, quint8 value);

    // The frame as it stands (checksum as last built).
    const QByteArray& frame() const { return frame_; }
    quint8 flags() const { return static_cast<quint8>(frame_[kFlagsOffset]); }
    quint32 address() const;

private:
    explicit ProtocolFirmware(QObject* parent);

    QByteArray frame_;
};
