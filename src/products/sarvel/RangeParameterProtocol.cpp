#include "products/sarvel/RangeParameterProtocol.h"

#include "foundation/ZAlgo.h"
#include "foundation/ZLog.h"
#include "products/sarvel/RangeSensorTables.h"
#include "protocol/ProtocolFactory.h"
// ModelViewManagers.h needs the refresh managers complete.
#include "views/RefreshManagers.h"
#include "views/ModelViewManagers.h"

#include <QMutexLocker>
#include <QPointer>

namespace Sarvel {

const char* const RangeParameterProtocol::kName = "Vexa_Sarvel_Parameter";

void sealParameterFrame(QByteArray& frame)
{
    if (frame.size() != kParameterFrameLength)
        return;
    ZAlgo::updateCheckSum8(reinterpret_cast<quint8*>(frame.data()), kParameterFrameLength);
}

quint32 readU24(const QByteArray& f, int o)
{
    return quint32(quint8(f[o])) | quint32(quint8(f[o + 1])) << 8 | quint32(quint8(f[o + 2])) << 16;
}

quint32 readU32(const QByteArray& f, int o)
{
    return readU24(f, o) | quint32(quint8(f[o + 3])) << 24;
}

quint16 readU16(const QByteArray& f, int o)
{
    return static_cast<quint16>(quint8(f[o]) | quint8(f[o + 1]) << 8);
}

void writeU24(QByteArray& f, int o, quint32 v)
{
    f[o] = char(v & 0xFF);
    f[o + 1] = char((v >> 8) & 0xFF);
    f[o + 2] = char((v >> 16) & 0xFF);
}

void writeU16(QByteArray& f, int o, quint16 v)
{
    f[o] = char(v & 0xFF);
    f[o + 1] = char((v >> 8) & 0xFF);
}

QString hexText(const QByteArray& bytes)
{
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}

RangeParameterProtocol::RangeParameterProtocol(const QByteArray& defaultFrame, QObject* parent)
    : InsideReadWriteProtocol(QString::fromLatin1(kName), parent)
    , frame_(defaultFrame)
{
    isLengthKnown_ = true;
    frameLength_ = kParameterFrameLength;
    minFrameLength_ = kParameterFrameLength;
    maxFrameLength_ = kParameterFrameLength;
    head_ = defaultFrame.left(2);
    emitParseFinished_ = true;
}

QByteArray RangeParameterProtocol::frame() const
{
    QMutexLocker lock(&mutex_);
    return frame_;
}

void RangeParameterProtocol::storeFrame(const QByteArray& frame)
{
    QMutexLocker lock(&mutex_);
    frame_ = frame.left(kParameterFrameLength);
}

namespace {

QPointer<ProtocolParameter> g_sarvel;

// The read request with function 0 and checksum byte 0.
QByteArray defaultFrameOf(QByteArray request)
{
    request[2] = char(0x00);
    request[kParameterFrameLength - 1] = char(0x00);
    return request;
}

} // namespace

QByteArray parameterReadRequest(int firstFlag)
{
    QByteArray f(kParameterFrameLength, '\0');
    f[0] = char(0x54);
    f[1] = char(0x20);
    f[2] = char(0x01);
    f[3] = char(0xFF);
    f[10] = f[11] = char(0xFF);
    for (int i = firstFlag; i <= 30; ++i)
        f[i] = char(0xFF);
    sealParameterFrame(f);
    return f;
}

QByteArray ProtocolParameter::readRequest()
{
    return parameterReadRequest(23);
}

ProtocolParameter* ProtocolParameter::instance(QObject* parent)
{
    if (!g_sarvel)
        g_sarvel = new ProtocolParameter(parent);
    return g_sarvel.data();
}

ProtocolParameter* ProtocolParameter::existing()
{
    return g_sarvel.data();
}

ProtocolParameter::ProtocolParameter(QObject* parent)
    : RangeParameterProtocol(defaultFrameOf(readRequest()), parent)
{
}

ProtocolParameter::~ProtocolParameter() = default;

QByteArray ProtocolParameter::packReadRequest()
{
    return readRequest();
}

void ProtocolParameter::parseFrame(const QByteArray& frame)
{
    storeFrame(frame);
    zDebug() << "sarvel parameter received" << hexText(frame.left(kParameterFrameLength));
    // The data protocol is loaded before the reply is signalled: loading deactivates
    // every protocol, and the waiting window must find it done when it sets this
    // protocol's activity back to its own visibility.
    ProtocolFactory::loadProtocols(frameName(0), nullptr);
    modelManager_ = ModelViewManagers::currentModelManager();
    emit dataFrameReceived();
}

} // namespace Sarvel

namespace Parvo {

namespace {
QPointer<ProtocolParameter> g_parvo;
}

QByteArray ProtocolParameter::readRequest()
{
    return Sarvel::parameterReadRequest(15);
}

ProtocolParameter* ProtocolParameter::instance(QObject* parent)
{
    if (!g_parvo)
        g_parvo = new ProtocolParameter(parent);
    return g_parvo.data();
}

ProtocolParameter* ProtocolParameter::existing()
{
    return g_parvo.data();
}

ProtocolParameter::ProtocolParameter(QObject* parent)
    : RangeParameterProtocol(Sarvel::defaultFrameOf(readRequest()), parent)
{
}

ProtocolParameter::~ProtocolParameter() = default;

QByteArray ProtocolParameter::packReadRequest()
{
    return readRequest();
}

void ProtocolParameter::parseFrame(const QByteArray& frame)
{
    storeFrame(frame);
    emit dataFrameReceived();
}

} // namespace Parvo
