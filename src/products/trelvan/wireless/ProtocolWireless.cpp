#include "products/trelvan/wireless/ProtocolWireless.h"

#include <QPointer>

namespace Trelvan {

namespace {
QPointer<ProtocolWireless> g_relay;
}

ProtocolWireless* ProtocolWireless::instance(QObject* parent)
{
    if (!g_relay)
        g_relay = new ProtocolWireless(parent);
    return g_relay.data();
}

ProtocolWireless* ProtocolWireless::existing()
{
    return g_relay.data();
}

ProtocolWireless::ProtocolWireless(QObject* parent)
    : QObject(parent)
    , header_(QByteArray::fromHex("54F1A1FFFFFFFF000000"))
{
}

ProtocolWireless::~ProtocolWireless() = default;

QByteArray ProtocolWireless::wrapCommand(quint8 command, const QByteArray& payload, quint8 role, quint8 id)
{
    // The length field has 16 bits: a longer payload cannot be told to the node.
    if (payload.size() > 0xFFFF)
        return QByteArray();
    const quint16 n = quint16(payload.size());
    header_[2] = char(command);
    header_[6] = char(role);
    header_[7] = char(id);
    header_[8] = char(n & 0xFF);
    header_[9] = char(n >> 8);
    QByteArray frame = header_ + payload;
    quint8 sum = 0;
    for (char c : qAsConst(frame))
        sum = quint8(sum + quint8(c));
    frame.append(char(sum));
    return frame;
}

} // namespace Trelvan
