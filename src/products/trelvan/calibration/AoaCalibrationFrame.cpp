#include "products/trelvan/calibration/AoaCalibrationFrame.h"

#include <cmath>

namespace Trelvan {

AoaCalibrationFrame AoaCalibrationFrame::defaults(Layout layout)
{
    AoaCalibrationFrame f;
    f.bytes[0] = 0x54;
    f.bytes[1] = 0x03;
    const int fillerFrom = layout == Layout::Page ? TxGainOffset : 15;
    for (int i = fillerFrom; i < 27; ++i)
        f.bytes[size_t(i)] = 0xFF;
    f.bytes[27] = 0xEE;
    f.bytes[28] = 0x15;
    f.bytes[29] = 0x34;
    f.bytes[30] = 0x01;
    return f;
}

QByteArray AoaCalibrationFrame::readRequest(Layout layout)
{
    AoaCalibrationFrame f = defaults(layout);
    f.bytes[CommandByte] = Read;
    f.seal();
    return f.toByteArray();
}

AoaCalibrationFrame AoaCalibrationFrame::fromBytes(const QByteArray& data)
{
    AoaCalibrationFrame f;
    const int n = qMin(data.size(), kSize);
    for (int i = 0; i < n; ++i)
        f.bytes[size_t(i)] = quint8(data[i]);
    return f;
}

QByteArray AoaCalibrationFrame::toByteArray() const
{
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), kSize);
}

void AoaCalibrationFrame::seal()
{
    quint8 sum = 0;
    for (int i = 0; i < Checksum; ++i)
        sum = quint8(sum + bytes[size_t(i)]);
    bytes[Checksum] = sum;
}

bool AoaCalibrationFrame::differs(const AoaCalibrationFrame& other, int offset, int width) const
{
    for (int i = offset; i < offset + width; ++i) {
        if (bytes[size_t(i)] != other.bytes[size_t(i)])
            return true;
    }
    return false;
}

qint32 scaledToInteger(double value, int scale, qint32 lowest, qint32 highest)
{
    const double scaled = std::round(value * scale);
    if (!(scaled >= lowest)) // NaN too
        return lowest;
    if (scaled > highest)
        return highest;
    return qint32(scaled);
}

} // namespace Trelvan
