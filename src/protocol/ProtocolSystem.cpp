#include "protocol/ProtocolSystem.h"

#include "foundation/ZAlgo.h"
#include "foundation/ZLog.h"
#include "foundation/ZUdpOutput.h"
#include "protocol/ProtocolDataProcessor.h"
#include "protocol/ProtocolSeams.h"

#include <QMutexLocker>

#include <nlohmann/json.hpp>

namespace {
ProtocolSystem* g_system = nullptr;
}

ProtocolSystem* ProtocolSystem::instance(QObject* parent)
{
    if (!g_system)
        g_system = new ProtocolSystem(parent);
    return g_system;
}

ProtocolSystem::ProtocolSystem(QObject* parent)
    : InsideReadWriteProtocol("Vexa_Trelvan_System", parent)
{
    isLengthKnown_ = true;
    frameLength_ = SystemInfoFrame::kSize;
    minFrameLength_ = SystemInfoFrame::kSize;
    maxFrameLength_ = SystemInfoFrame::kSize;
    head_ = SystemInfoFrame::defaultFrame().toByteArray().left(2);
}

ProtocolSystem::~ProtocolSystem()
{
    if (g_system == this)
        g_system = nullptr;
}

QByteArray ProtocolSystem::packReadRequest()
{
    SystemInfoFrame f = SystemInfoFrame::defaultFrame();
    f.bytes[2] = 0x01;
    ZAlgo::updateCheckSum8(f.bytes.data(), SystemInfoFrame::kSize);
    return f.toByteArray();
}

QByteArray ProtocolSystem::packWriteFrame(QByteArray frame)
{
    if (frame.size() < 3)
        return frame;
    frame[2] = static_cast<char>(static_cast<quint8>(frame[2]) & 0xFE);
    ZAlgo::updateCheckSum8(reinterpret_cast<quint8*>(frame.data()), static_cast<quint16>(frame.size()));
    return frame;
}

QByteArray ProtocolSystem::packWriteRequest()
{
    QMutexLocker lock(&mutex_);
    writeFrame_.sealAsWrite();
    return writeFrame_.toByteArray();
}

SystemInfoFrame ProtocolSystem::writeFrame() const
{
    QMutexLocker lock(&mutex_);
    return writeFrame_;
}

void ProtocolSystem::setWriteFrame(const SystemInfoFrame& frame)
{
    QMutexLocker lock(&mutex_);
    writeFrame_ = frame;
}

SystemInfoFrame ProtocolSystem::receivedFrame() const
{
    QMutexLocker lock(&mutex_);
    return receivedFrame_;
}

qint64 ProtocolSystem::receivedStreamOffset() const
{
    QMutexLocker lock(&mutex_);
    return receivedStreamOffset_;
}

QVersionNumber ProtocolSystem::firmwareVersion() const
{
    QMutexLocker lock(&mutex_);
    return firmwareVersion_;
}

void ProtocolSystem::parseFrame(const QByteArray& frame)
{
    const SystemInfoFrame f = SystemInfoFrame::fromBytes(frame);
    {
        QMutexLocker lock(&mutex_);
        receivedFrame_ = f;
        receivedStreamOffset_ = ProtocolDataProcessor::decodingStreamOffset();
        firmwareVersion_ = f.firmwareVersion();
    }
    zDebug() << ProtocolSeams::nodeLabel(f.role(), f.id()) << "data:" << frame.toHex(' ');
    if (udpOutputEnabled.load(std::memory_order_relaxed))
        sendUdpText(udpJson(f));
}

QByteArray ProtocolSystem::udpJson(const SystemInfoFrame& f)
{
    // nlohmann's default object keeps its keys sorted and dump() without an indent is compact.
    nlohmann::json inner;
    inner["role"] = static_cast<int>(f.role());
    inner["id"] = static_cast<unsigned>(f.id());
    inner["system_time"] = f.systemTime();
    inner["product_version"] = {static_cast<unsigned>(f.bytes[3]), static_cast<unsigned>(f.bytes[4])};
    inner["hardware_version"] = {static_cast<unsigned>(f.bytes[5]), static_cast<unsigned>(f.bytes[6])};
    inner["firmware_version"] = {static_cast<unsigned>(f.bytes[7]), static_cast<unsigned>(f.bytes[8]),
                                 static_cast<unsigned>(f.bytes[9]), static_cast<unsigned>(f.bytes[10])};
    nlohmann::json root;
    root["system_frame"] = inner;
    return QByteArray::fromStdString(root.dump());
}
