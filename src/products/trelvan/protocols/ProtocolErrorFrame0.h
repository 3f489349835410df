#pragma once

#include "protocol/ProtocolBase.h"
#include "protocol/ProtocolDataQueue.h"

#include <QtGlobal>

namespace Trelvan {

class WidgetErrorFrame0Item;

// The error frame a node sends when it detects a fault (head 54 FA, 32 bytes, sum
// in the last byte). Every frame is queued whole for the error popup, which logs
// and shows it.
class ProtocolErrorFrame0 : public ProtocolBase
{
    Q_OBJECT
public:
    static constexpr quint8 kHead0 = 0x54;
    static constexpr quint8 kHead1 = 0xFA;
    static constexpr int kFrameLength = 32;

    // The 32 frame bytes as received, with readers of the fields the popup shows.
    struct Record
    {
        quint8 bytes[kFrameLength] = {kHead0, kHead1};

        qint8 role() const { return qint8(bytes[4]); }
        quint8 id() const { return bytes[5]; }
        quint32 systemTime() const
        {
            return quint32(bytes[6]) | (quint32(bytes[7]) << 8) | (quint32(bytes[8]) << 16) |
                   (quint32(bytes[9]) << 24);
        }
        // Bit 0 nodeRepeat ... bit 7 dtLengthOverflow.
        quint8 errorFlags() const { return bytes[14]; }
        quint8 errorTypeMark(int i) const { return bytes[17 + i]; } // i = 0..2
    };

    static ProtocolErrorFrame0* instance(QObject* parent = nullptr);
    // The singleton when it has been made, else null (never creates it).
    static ProtocolErrorFrame0* existing();
    // Makes the protocol factory create this protocol under its name.
    static void registerProtocol();

    void registerDataItems() override;
    void parseFrame(const QByteArray& frame) override;

    WidgetErrorFrame0Item* viewItem() const { return item; }

    ProtocolDataQueue<Record> queue;
    Record lastFrame;

private:
    explicit ProtocolErrorFrame0(QObject* parent);
    ~ProtocolErrorFrame0() override;

    WidgetErrorFrame0Item* item = nullptr;
};

} // namespace Trelvan
