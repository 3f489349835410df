#include "protocol/ProtocolFirmware.h"

#include "foundation/ZAlgo.h"

#include <QtEndian>

namespace {
ProtocolFirmware* g_firmware = nullptr;
}

ProtocolFirmware* ProtocolFirmware::instance(QObject* parent)
{
    if (!g_firmware)
        g_firmware = new ProtocolFirmware(parent);
    return g_firmware;
}

ProtocolFirmware* ProtocolFirmware::existing()
{
    return g_firmware;
}

ProtocolFirmware::ProtocolFirmware(QObject* parent)
    : QObject(parent)
{
    reset();
}

ProtocolFirmware::~ProtocolFirmware()
{
    if (g_firmware == this)
        g_firmware = nullptr;
}

void ProtocolFirmware::reset()
{
    frame_ = QByteArray(kFrameSize, '\0');
    frame_[0] = 0x52;
    frame_[1] = 0x01;
}

QByteArray ProtocolFirmware::buildFirmwareFrame()
{
    const auto* data = reinterpret_cast<const quint8*>(frame_.constData());
    frame_[kFrameSize - 1] = static_cast<char>(ZAlgo::calcCheckSum8(data, kFrameSize - 1));
    return frame_;
}

void ProtocolFirmware::setRepeatMark(bool on)
{
    quint8 f = flags();
    f = on ? (f | kRepeatMark) : (f & ~kRepeatMark);
    frame_[kFlagsOffset] = static_cast<char>(f);
}

void ProtocolFirmware::setLastFrame(bool on)
{
    quint8 f = flags();
    f = on ? (f | kLastFrame) : (f & ~kLastFrame);
    frame_[kFlagsOffset] = static_cast<char>(f);
}

void ProtocolFirmware::setAddress(quint32 address)
{
    qToLittleEndian<quint32>(address, frame_.data() + kAddressOffset);
}

quint32 ProtocolFirmware::address() const
{
    return qFromLittleEndian<quint32>(frame_.constData() + kAddressOffset);
}

void ProtocolFirmware::setData(const char* data, int n)
{
    n = qBound(0, n, kChunkSize);
    if (n > 0)
        memcpy(frame_.data() + kDataOffset, data, static_cast<size_t>(n));
}

void ProtocolFirmware::padData(int from, quint8 value)
{
    for (int i = qMax(0, from); i < kChunkSize; ++i)
        frame_[kDataOffset + i] = static_cast<char>(value);
}
