#pragma once

#include "protocol/ProtocolBase.h"

#include <QByteArray>
#include <QMutex>

// The 32-byte parameter frame "54 20" shared by both range sensor lines. The
// single-point protocol lives in Sarvel, the multi-zone one in Parvo; both have the
// same name, head and length and differ in their read request and in what a reply
// sets off.
namespace Sarvel {

constexpr int kParameterFrameLength = 32;

// Byte 9 of the parameter frame.
struct ModeBits
{
    // Bit 0 + 2 x bit 4: 0 UART, 1 CAN, 2 IO, 3 IIC.
    static int interfaceMode(quint8 b) { return (b & 0x01) | ((b >> 4) & 0x01) << 1; }
    static int outputMode(quint8 b) { return (b >> 1) & 0x01; }
    static int rangeMode(quint8 b) { return (b >> 2) & 0x03; }
    static int pixelMode(quint8 b) { return (b >> 5) & 0x01; }
    static int targetOrder(quint8 b) { return (b >> 6) & 0x01; }
    static quint8 interfaceBits(int mode) { return quint8((mode & 0x01) | ((mode >> 1) & 0x01) << 4); }
};

// Writes the 8-bit sum of bytes 0..30 into byte 31.
void sealParameterFrame(QByteArray& frame);
// The read request both lines send: 54 20 01 FF, bytes 10 and 11 FF, bytes
// firstFlag..30 FF, zero elsewhere, sealed.
QByteArray parameterReadRequest(int firstFlag);
// Little-endian helpers of the frame's fields.
quint32 readU24(const QByteArray& frame, int offset);
quint32 readU32(const QByteArray& frame, int offset);
quint16 readU16(const QByteArray& frame, int offset);
void writeU24(QByteArray& frame, int offset, quint32 value);
void writeU16(QByteArray& frame, int offset, quint16 value);
// Bytes in upper-case hex with a blank between them.
QString hexText(const QByteArray& bytes);

// Common part of the two parameter protocols: the last frame received and the
// signal a waiting window ends its wait on.
class RangeParameterProtocol : public InsideReadWriteProtocol
{
    Q_OBJECT
public:
    static const char* const kName; // "Vexa_Sarvel_Parameter"

    explicit RangeParameterProtocol(const QByteArray& defaultFrame, QObject* parent);

    // The last frame received (the default frame before the first).
    QByteArray frame() const;

signals:
    // Once per accepted parameter frame, after the frame was stored.
    void dataFrameReceived();

protected:
    void storeFrame(const QByteArray& frame);

private:
    mutable QMutex mutex_;
    QByteArray frame_;
};

class ProtocolParameter : public RangeParameterProtocol
{
    Q_OBJECT
public:
    // Creates the one object on the first call; later calls return it unchanged.
    static ProtocolParameter* instance(QObject* parent = nullptr);
    static ProtocolParameter* existing();
    ~ProtocolParameter() override;

    // 54 20 01 FF, 4..9 zero, 10 11 FF, 12..22 zero, 23..30 FF, checksum.
    static QByteArray readRequest();
    QByteArray packReadRequest() override;
    // Stores the frame, logs it, makes the range frame the active data protocol and
    // then signals the reply.
    void parseFrame(const QByteArray& frame) override;

private:
    explicit ProtocolParameter(QObject* parent);
};

} // namespace Sarvel

namespace Parvo {

class ProtocolParameter : public Sarvel::RangeParameterProtocol
{
    Q_OBJECT
public:
    static ProtocolParameter* instance(QObject* parent = nullptr);
    static ProtocolParameter* existing();
    ~ProtocolParameter() override;

    // 54 20 01 FF, 4..9 zero, 10 11 FF, 12..14 zero, 15..30 FF, checksum.
    static QByteArray readRequest();
    QByteArray packReadRequest() override;
    // Stores the frame and signals it; the setting window picks the zone frame.
    void parseFrame(const QByteArray& frame) override;

private:
    explicit ProtocolParameter(QObject* parent);
};

} // namespace Parvo
