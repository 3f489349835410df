#include "products/trelvan/protocols/ParameterFrame.h"

#include "foundation/ZAlgo.h"

#include <algorithm>

namespace Trelvan {

ParameterFrame::ParameterFrame()
{
    bytes[0] = 0x54;
    // Reserved and fixed bytes as the devices expect them in every request.
    bytes[13] = 0xFF;
    bytes[15] = 0xFF;
    bytes[18] = 0xFF;
    bytes[19] = 0xFF;
    bytes[21] = 0xFF;
    bytes[22] = 0xFF;
    for (int i = 31; i <= 35; ++i)
        bytes[i] = 0xFF;
}

ParameterFrame ParameterFrame::fromBytes(const QByteArray& data)
{
    ParameterFrame f;
    const int n = std::min<int>(kSize, data.size());
    std::copy(data.constBegin(), data.constBegin() + n, reinterpret_cast<char*>(f.bytes.data()));
    return f;
}

QByteArray ParameterFrame::toByteArray() const
{
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), kSize);
}

QByteArray ParameterFrame::request(quint8 commandBits)
{
    ParameterFrame f;
    f.bytes[2] |= commandBits;
    f.seal();
    return f.toByteArray();
}

void ParameterFrame::seal()
{
    ZAlgo::updateCheckSum8(bytes.data(), kSize);
}

qint32 ParameterFrame::anchorCoordinate(int row, int axis) const
{
    const quint32 raw = u24(kFirstAnchorByte + 9 * row + 3 * axis);
    // Sign-extend the 24-bit value.
    return qint32(raw << 8) >> 8;
}

void ParameterFrame::setAnchorCoordinate(int row, int axis, qint32 mm)
{
    setU24(kFirstAnchorByte + 9 * row + 3 * axis, quint32(mm) & 0xFFFFFFu);
}

} // namespace Trelvan
