#include "products/trelvan/calibration/AhrsCalibrationProtocol.h"

#include "foundation/ZAlgo.h"

#include <QMutexLocker>

#include <algorithm>

namespace Trelvan {

namespace {
ProtocolAhrsCalibration* g_instance = nullptr;
}

AhrsCalibrationFrame::AhrsCalibrationFrame()
{
    bytes.fill(0);
    bytes[0] = 0x53;
    bytes[1] = 0x00;
    bytes[5] = kNoAccCommand;
}

AhrsCalibrationFrame AhrsCalibrationFrame::fromBytes(const QByteArray& data)
{
    AhrsCalibrationFrame f;
    std::copy_n(reinterpret_cast<const quint8*>(data.constData()), std::min(int(kSize), int(data.size())),
                f.bytes.begin());
    return f;
}

void AhrsCalibrationFrame::seal()
{
    ZAlgo::updateCheckSum8(bytes.data(), kSize);
}

QByteArray AhrsCalibrationFrame::toByteArray() const
{
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), kSize);
}

QByteArray AhrsCalibrationFrame::readRequest()
{
    AhrsCalibrationFrame f;
    f.bytes[2] = 0x01;
    f.seal();
    return f.toByteArray();
}

QByteArray AhrsCalibrationFrame::gyroCommandFrame(quint8 c)
{
    AhrsCalibrationFrame f;
    f.bytes[3] = c;
    f.seal();
    return f.toByteArray();
}

QByteArray AhrsCalibrationFrame::accCommandFrame(quint8 c)
{
    AhrsCalibrationFrame f;
    f.bytes[5] = c;
    f.seal();
    return f.toByteArray();
}

QByteArray AhrsCalibrationFrame::magCommandFrame(quint8 c)
{
    AhrsCalibrationFrame f;
    f.bytes[7] = c;
    f.seal();
    return f.toByteArray();
}

ProtocolAhrsCalibration* ProtocolAhrsCalibration::instance(QObject* parent)
{
    if (!g_instance)
        g_instance = new ProtocolAhrsCalibration(parent);
    return g_instance;
}

ProtocolAhrsCalibration::ProtocolAhrsCalibration(QObject* parent)
    : InsideReadWriteProtocol(QStringLiteral("Trelvan_Ahrs_Calibration"), parent)
{
    isLengthKnown_ = true;
    frameLength_ = AhrsCalibrationFrame::kSize;
    minFrameLength_ = AhrsCalibrationFrame::kSize;
    maxFrameLength_ = AhrsCalibrationFrame::kSize;
    head_ = received_.toByteArray().left(2);
    emitParseFinished_ = true;
}

ProtocolAhrsCalibration::~ProtocolAhrsCalibration()
{
    if (g_instance == this)
        g_instance = nullptr;
}

void ProtocolAhrsCalibration::parseFrame(const QByteArray& frame)
{
    if (frame.size() < AhrsCalibrationFrame::kSize)
        return;
    const QByteArray copy = frame.left(AhrsCalibrationFrame::kSize);
    {
        QMutexLocker lock(&mutex_);
        received_ = AhrsCalibrationFrame::fromBytes(copy);
    }
    emit replyReceived(copy);
}

QByteArray ProtocolAhrsCalibration::packReadRequest()
{
    return AhrsCalibrationFrame::readRequest();
}

QByteArray ProtocolAhrsCalibration::packWriteRequest()
{
    QMutexLocker lock(&mutex_);
    write_.bytes[2] &= 0xFE;
    write_.seal();
    return write_.toByteArray();
}

AhrsCalibrationFrame ProtocolAhrsCalibration::receivedFrame() const
{
    QMutexLocker lock(&mutex_);
    return received_;
}

AhrsCalibrationFrame ProtocolAhrsCalibration::writeFrame() const
{
    QMutexLocker lock(&mutex_);
    return write_;
}

void ProtocolAhrsCalibration::setWriteFrame(const AhrsCalibrationFrame& frame)
{
    QMutexLocker lock(&mutex_);
    write_ = frame;
}

} // namespace Trelvan
