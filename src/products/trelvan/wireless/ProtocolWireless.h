#pragma once

#include <QByteArray>
#include <QObject>

namespace Trelvan {

// Builds the relay frame (head 54 F1) through which the node at the port passes a
// request on to remote nodes over its radio link. The frame is only ever sent: the
// addressed node answers with an ordinary frame of the inner request's kind.
//
// Layout: 54 F1, command, FF FF FF, role, id, payload length (16-bit LE), payload,
// 8-bit sum of everything before it.
class ProtocolWireless : public QObject
{
    Q_OBJECT
public:
    // Delivered to the one node named by role and id.
    static constexpr quint8 kUnicast = 0xA1;
    // Delivered to every node of the role (id 0xFF).
    static constexpr quint8 kBroadcast = 0xA0;
    static constexpr quint8 kAnyId = 0xFF;
    static constexpr int kHeaderSize = 10;

    // Made on the first call; later calls return it.
    static ProtocolWireless* instance(QObject* parent = nullptr);
    static ProtocolWireless* existing();
    ~ProtocolWireless() override;

    // One thread at a time: the header template is rewritten in place.
    QByteArray wrapCommand(quint8 command, const QByteArray& payload, quint8 role, quint8 id);

private:
    explicit ProtocolWireless(QObject* parent);

    QByteArray header_;
};

} // namespace Trelvan
