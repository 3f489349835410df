#include "protocol/FirmwareUpdater.h"

#include "foundation/ZAlgo.h"
#include "foundation/ZLog.h"
#include "foundation/ZTimerManager.h"
#include "link/ZSerialPort.h"
#include "link/ZUiSerialPortAssistant.h"
#include "protocol/FirmwareWirelessHooks.h"
#include "protocol/ProductHandleBase.h"
#include "protocol/ProductsManager.h"
#include "protocol/ProtocolFirmware.h"
#include "protocol/ProtocolSystem.h"

#include <QPointer>
#include <QtEndian>

#include <functional>

namespace {
FirmwareUpdater* g_updater = nullptr;

constexpr int kHandshakeCycles = 3;
constexpr int kHandshakeAttempts = 20;
constexpr int kHandshakeReplyMs = 50;
constexpr int kAfterStartRateWriteMs = 5;
constexpr int kAfterHandshakeMs = 20;
constexpr int kFrameTries = 3;
constexpr int kFirstFrameReplyMs = 8000;
constexpr int kFrameReplyMs = 2000;
constexpr int kWirelessWriteFrameCopies = 6;
constexpr int kWirelessWriteFrameGapMs = 100;
constexpr int kWirelessFirstFrameCopies = 5;

// Byte 30 of the system frame in the boot handshake.
constexpr int kHandshakeByte = 30;
constexpr quint8 kHandshakeRequest = 0x01;
constexpr quint8 kBootloaderReady = 0x02;
constexpr quint8 kFrameAccepted = 0x04;

void writeBlockCount(SystemInfoFrame& frame, qint64 imageSize)
{
    qToLittleEndian<quint16>(static_cast<quint16>(FirmwareUpdater::blockCount(imageSize)), frame.bytes.data() + 28);
}

// Runs its action on every way out of a scope.
class OnExit
{
public:
    explicit OnExit(std::function<void()> action) : action_(std::move(action)) {}
    ~OnExit()
    {
        if (action_)
            action_();
    }
    void dismiss() { action_ = nullptr; }

private:
    std::function<void()> action_;
};
} // namespace

FirmwareUpdater* FirmwareUpdater::instance(QObject* parent)
{
    if (!g_updater)
        g_updater = new FirmwareUpdater(parent);
    return g_updater;
}

FirmwareUpdater* FirmwareUpdater::existing()
{
    return g_updater;
}

FirmwareUpdater::FirmwareUpdater(QObject* parent)
    : QObject(parent)
{
}

FirmwareUpdater::~FirmwareUpdater()
{
    if (g_updater == this)
        g_updater = nullptr;
}

int FirmwareUpdater::chunkCount(qint64 size)
{
    return static_cast<int>((size + ProtocolFirmware::kChunkSize - 1) / ProtocolFirmware::kChunkSize);
}

int FirmwareUpdater::blockCount(qint64 size)
{
    return static_cast<int>((size + kBlockSize - 1) / kBlockSize);
}

int FirmwareUpdater::wirelessSettleMs(int blocks)
{
    // The node erases its flash block by block before it takes the frames.
    return 2000 + static_cast<int>(1000 * (blocks * 0.0078125 + 2.0 + 0.55 + 0.2));
}

bool FirmwareUpdater::loadFirmwareFile(const QString& fileName, bool wireless)
{
    if (fileName.isEmpty())
        return false;

    QVersionNumber version;
    if (ProductsManager* registry = ProductsManager::existing()) {
        if (ProductHandleBase* handle = registry->currentProductHandle())
            version = handle->latestFirmwareVersion();
    }
    ProtocolSystem* sys = ProtocolSystem::instance();
    SystemInfoFrame w = sys->writeFrame();
    for (int i = 0; i < 4; ++i)
        w.bytes[10 - i] = static_cast<quint8>(version.segmentAt(i));
    sys->setWriteFrame(w);

    file_.close();
    stream_.setDevice(nullptr);
    file_.setFileName(fileName);
    if (!file_.open(QIODevice::ReadOnly)) {
        zDebug() << fileName << "open failed";
        return false;
    }
    // An empty image would go out as one frame of fill bytes and be reported as
    // written.
    if (file_.size() <= 0) {
        zDebug() << fileName << "is empty";
        file_.close();
        return false;
    }
    stream_.setDevice(&file_);
    offset_ = 0;
    emit firmwareFrameCountChanged(chunkCount(file_.size()) * (wireless ? kWirelessPasses : 1));
    emit currentFirmwareFrameChanged(0);
    return true;
}

bool FirmwareUpdater::readFirmwareChunk()
{
    ProtocolFirmware* fw = ProtocolFirmware::instance();
    char buffer[ProtocolFirmware::kChunkSize];
    int n = stream_.device() ? stream_.readRawData(buffer, ProtocolFirmware::kChunkSize) : 0;
    if (n < 0)
        n = 0;
    fw->setData(buffer, n);
    fw->setAddress(ProtocolFirmware::kFlashBase + static_cast<quint32>(offset_));
    offset_ += n;
    fw->setLastFrame(offset_ >= file_.size());
    if (n >= 1 && n < ProtocolFirmware::kChunkSize)
        fw->padData(n, 0xFF);
    return n > 0;
}

QByteArray FirmwareUpdater::wrapForRelay(const QByteArray& payload) const
{
    const auto& wrap = FirmwareWirelessHooks::hooks().wrapCommand;
    return wrap(kRelayCommand, payload, 0, static_cast<qint8>(-1));
}

bool FirmwareUpdater::sendFrameRepeated(int times)
{
    ProtocolFirmware* fw = ProtocolFirmware::instance();
    fw->setRepeatMark(false);
    QByteArray relay = wrapForRelay(fw->buildFirmwareFrame());
    for (int i = 0; i < times; ++i) {
        if (i == 1) {
            fw->setRepeatMark(true);
            relay = wrapForRelay(fw->buildFirmwareFrame());
        }
        if (!write(relay))
            return false;
        ZTimerManager::instance()->wait(timeoutForBytes(relay.size(), 0));
    }
    return true;
}

bool FirmwareUpdater::waitForSystemReply(int ms)
{
    return !waitForReply(ZTimerManager::instance(), ms, ProtocolSystem::instance(), &ProtocolBase::dataParseFinished);
}

QString FirmwareUpdater::updateFirmwareWired(const QString& fileName)
{
    ProtocolSystem* sys = ProtocolSystem::instance();
    sys->setActive(true);
    OnExit deactivate([sys] { sys->setActive(false); });

    if (!loadFirmwareFile(fileName, false))
        return tr("Firmware is not ready");

    ZUiSerialPortAssistant* terminal = ZUiSerialPortAssistant::existing();
    if (!terminal)
        return tr("handshake failed");
    const int startRate = terminal->serialPort()->baudRate(QSerialPort::AllDirections);
    // Left at 921600, the next update would start its handshake at a rate the device
    // does not listen to; the rate box still shows the starting rate.
    QPointer<ZUiSerialPortAssistant> guardTerminal(terminal);
    OnExit restoreRate([guardTerminal, startRate] {
        if (guardTerminal)
            guardTerminal->setBaudRate(startRate, false);
    });
    ZTimerManager* timers = ZTimerManager::instance();

    SystemInfoFrame hs = SystemInfoFrame::defaultFrame();
    hs.bytes[kHandshakeByte] = kHandshakeRequest;
    writeBlockCount(hs, file_.size());
    sys->setWriteFrame(hs);
    const QByteArray handshake = sys->packWriteRequest();

    bool connected = false;
    for (int cycle = 0; cycle < kHandshakeCycles && !connected; ++cycle) {
        terminal->setBaudRate(startRate, false);
        write(handshake);
        timers->wait(kAfterStartRateWriteMs);
        terminal->setBaudRate(kBootloaderRate, false);
        zDebug() << "try handshake after change to 921600";
        for (int attempt = 0; attempt < kHandshakeAttempts; ++attempt) {
            write(handshake);
            if (!waitForSystemReply(kHandshakeReplyMs))
                continue;
            if (sys->receivedFrame().bytes[kHandshakeByte] & kBootloaderReady) {
                zDebug() << "connect to bootloader" << attempt;
                connected = true;
                break;
            }
            zDebug() << "connect to bootloader but still not ready" << attempt;
        }
    }
    if (!connected)
        return tr("handshake failed");

    timers->wait(kAfterHandshakeMs);
    ProtocolFirmware* fw = ProtocolFirmware::instance();
    fw->reset();
    readFirmwareChunk();
    QByteArray frame = fw->buildFirmwareFrame();

    bool accepted = false;
    for (int attempt = 0; attempt < kFrameTries && !accepted; ++attempt) {
        if (attempt == 1) {
            fw->setRepeatMark(true);
            frame = fw->buildFirmwareFrame();
        }
        write(frame);
        if (!waitForSystemReply(kFirstFrameReplyMs))
            continue;
        if (sys->receivedFrame().bytes[kHandshakeByte] & kFrameAccepted)
            accepted = true;
        else
            zDebug() << "write firmware first time check error" << attempt;
    }
    if (!accepted)
        return tr("can't write firmware in first time");

    int count = 1;
    emit currentFirmwareFrameChanged(count);
    const qint64 size = file_.size();
    while (readFirmwareChunk()) {
        fw->setRepeatMark(false);
        frame = fw->buildFirmwareFrame();
        accepted = false;
        for (int attempt = 0; attempt < kFrameTries && !accepted; ++attempt) {
            if (attempt == 1) {
                fw->setRepeatMark(true);
                frame = fw->buildFirmwareFrame();
            }
            write(frame);
            if (!waitForSystemReply(kFrameReplyMs))
                continue;
            if (sys->receivedFrame().bytes[kHandshakeByte] & kFrameAccepted)
                accepted = true;
            else
                zDebug().noquote() << QString("write firmware check error %1%").arg(offset_ * 100 / size) << attempt;
        }
        if (!accepted) {
            zDebug() << offset_ << size;
            return tr("can't write firmware in ") + QString("%1/%2").arg(offset_).arg(size);
        }
        ++count;
        emit currentFirmwareFrameChanged(count);
    }

    restoreRate.dismiss();
    terminal->setBaudRate(startRate, true);
    return QString();
}

QString FirmwareUpdater::updateFirmwareWireless(const QString& fileName)
{
    ProtocolSystem* sys = ProtocolSystem::instance();
    sys->setActive(true);
    OnExit deactivate([sys] { sys->setActive(false); });

    if (!FirmwareWirelessHooks::hooks().wrapCommand) {
        zWarning() << "wireless relay not available";
        return tr("Wireless relay is not available");
    }
    if (!loadFirmwareFile(fileName, true))
        return tr("Firmware is not ready");

    OnExit markRows([] {
        const auto& mark = FirmwareWirelessHooks::hooks().setStateOfRoleUnless;
        if (mark)
            mark(0, FirmwareWirelessHooks::Succeeded, FirmwareWirelessHooks::Failed);
    });
    ZTimerManager* timers = ZTimerManager::instance();

    // The nodes size their flash erase by the block count, so it is the image's own
    // and not whatever an earlier wired handshake left in the frame.
    SystemInfoFrame w = sys->writeFrame();
    w.bytes[kHandshakeByte] |= kHandshakeRequest;
    writeBlockCount(w, file_.size());
    sys->setWriteFrame(w);
    const QByteArray relayedWrite = wrapForRelay(sys->packWriteRequest());
    for (int i = 0; i < kWirelessWriteFrameCopies; ++i) {
        write(relayedWrite);
        timers->wait(kWirelessWriteFrameGapMs);
    }

    ProtocolFirmware* fw = ProtocolFirmware::instance();
    fw->reset();
    readFirmwareChunk();
    if (!sendFrameRepeated(kWirelessFirstFrameCopies))
        return tr("serialport disconnected");

    const int blocks = qFromLittleEndian<quint16>(sys->writeFrame().bytes.data() + 28);
    timers->wait(wirelessSettleMs(blocks));

    int count = 0;
    for (int pass = 0; pass < kWirelessPasses; ++pass) {
        offset_ = 0;
        file_.seek(0);
        bool more = readFirmwareChunk();
        while (more) {
            fw->setRepeatMark(false);
            const QByteArray relay = wrapForRelay(fw->buildFirmwareFrame());
            if (!write(relay))
                return tr("serialport disconnected");
            timers->wait(timeoutForBytes(relay.size(), 0));
            ++count;
            emit currentFirmwareFrameChanged(count);
            more = readFirmwareChunk();
        }
    }
    return QString();
}
