#include "products/trelvan/calibration/AoaCalibrationProtocols.h"

#include <QMutexLocker>
#include <QPointer>

namespace Trelvan {

const char* const AoaCalibrationProtocol::kName = "Vexa_Trelvan_AOA_Parameter";

AoaCalibrationProtocol::AoaCalibrationProtocol(AoaCalibrationFrame::Layout layout, QObject* parent)
    : ProtocolBase(QString::fromLatin1(kName), parent)
    , layout_(layout)
    , held_(AoaCalibrationFrame::defaults(layout))
    , port_(new ZSerialPortInterface)
{
    isLengthKnown_ = true;
    frameLength_ = AoaCalibrationFrame::kSize;
    minFrameLength_ = AoaCalibrationFrame::kSize;
    maxFrameLength_ = AoaCalibrationFrame::kSize;
    head_ = held_.toByteArray().left(2);
    emitParseFinished_ = true;
}

AoaCalibrationProtocol::~AoaCalibrationProtocol() = default;

AoaCalibrationFrame AoaCalibrationProtocol::heldFrame() const
{
    QMutexLocker lock(&mutex_);
    return held_;
}

void AoaCalibrationProtocol::parseFrame(const QByteArray& frame)
{
    if (frame.size() < AoaCalibrationFrame::kSize)
        return;
    const AoaCalibrationFrame f = AoaCalibrationFrame::fromBytes(frame);
    QMutexLocker lock(&mutex_);
    held_ = f;
}

AoaCalibrationExchange* AoaCalibrationExchange::instance()
{
    static AoaCalibrationExchange* exchange = new AoaCalibrationExchange;
    return exchange;
}

void AoaCalibrationExchange::begin()
{
    if (running_++ == 0)
        emit runningChanged(true);
}

void AoaCalibrationExchange::end()
{
    if (running_ > 0 && --running_ == 0)
        emit runningChanged(false);
}

} // namespace Trelvan

namespace {
QPointer<ProtocolUwbCalibration> g_page;
QPointer<trelvan::ProtocolCalibration> g_window;
} // namespace

ProtocolUwbCalibration* ProtocolUwbCalibration::instance(QObject* parent)
{
    if (!g_page)
        g_page = new ProtocolUwbCalibration(parent);
    return g_page.data();
}

ProtocolUwbCalibration* ProtocolUwbCalibration::existing()
{
    return g_page.data();
}

ProtocolUwbCalibration::ProtocolUwbCalibration(QObject* parent)
    : AoaCalibrationProtocol(Trelvan::AoaCalibrationFrame::Layout::Page, parent)
{
}

namespace trelvan {

ProtocolCalibration* ProtocolCalibration::instance(QObject* parent)
{
    if (!g_window)
        g_window = new ProtocolCalibration(parent);
    return g_window.data();
}

ProtocolCalibration* ProtocolCalibration::existing()
{
    return g_window.data();
}

ProtocolCalibration::ProtocolCalibration(QObject* parent)
    : AoaCalibrationProtocol(Trelvan::AoaCalibrationFrame::Layout::Window, parent)
{
}

} // namespace trelvan
