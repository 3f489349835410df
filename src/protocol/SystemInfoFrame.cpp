#include "protocol/SystemInfoFrame.h"

#include "foundation/ZAlgo.h"

SystemInfoFrame SystemInfoFrame::defaultFrame()
{
    SystemInfoFrame f;
    f.bytes[0] = 0x52;
    for (int i = 11; i <= 18; ++i)
        f.bytes[i] = 0xFF;
    return f;
}

SystemInfoFrame SystemInfoFrame::fromBytes(const QByteArray& data)
{
    SystemInfoFrame f;
    std::memcpy(f.bytes.data(), data.constData(), static_cast<size_t>(qMin(data.size(), kSize)));
    return f;
}

QByteArray SystemInfoFrame::toByteArray() const
{
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), kSize);
}

QString SystemInfoFrame::hardwareVersion() const
{
    return QString("%1.%2").arg(hardwareMajor()).arg(hardwareMinor());
}

QVersionNumber SystemInfoFrame::firmwareVersion() const
{
    return QVersionNumber({bytes[10], bytes[9], bytes[8], bytes[7]});
}

qint32 SystemInfoFrame::baudRate() const
{
    quint32 v = bytes[19] | (quint32(bytes[20]) << 8) | (quint32(bytes[21]) << 16);
    if (v & 0x800000u)
        v |= 0xFF000000u;
    return static_cast<qint32>(v);
}

quint32 SystemInfoFrame::systemTime() const
{
    return bytes[24] | (quint32(bytes[25]) << 8) | (quint32(bytes[26]) << 16) | (quint32(bytes[27]) << 24);
}

void SystemInfoFrame::sealAsWrite()
{
    bytes[2] &= 0xFE;
    ZAlgo::updateCheckSum8(bytes.data(), kSize);
}
