#include "TrelvanRelayHandler.h"

#include <QtEndian>

namespace sim {

namespace {
constexpr int kHeader = 10;
constexpr int kFirmwareFrame = 984;
constexpr int kFirmwareChunk = 972;
constexpr quint32 kFlashBase = 0x08020000u;
} // namespace

TrelvanRelayHandler::TrelvanRelayHandler(DeviceSimulator& device)
    : answers_(device)
{
}

int TrelvanRelayHandler::addNode(const TrelvanNodeSetup& setup, const std::array<quint8, 4>& firmware)
{
    std::lock_guard<std::mutex> lock(mutex_);
    auto r = std::make_unique<Remote>();
    r->parameters = std::make_shared<TrelvanParameterHandler>(setup);
    r->firmware = firmware;
    Remote* raw = r.get();
    // The node's own id survives a broadcast write; a test's filter runs first.
    r->parameters->setWriteFilter([raw](QByteArray& f) {
        if (raw->filter)
            raw->filter(f);
        if (raw->broadcast)
            f[9] = char(raw->keptId);
    });
    nodes_.push_back(std::move(r));
    return int(nodes_.size()) - 1;
}

TrelvanParameterHandler& TrelvanRelayHandler::parameters(int node)
{
    std::lock_guard<std::mutex> lock(mutex_);
    return *nodes_.at(size_t(node))->parameters;
}

void TrelvanRelayHandler::setMode(int node, Mode mode)
{
    std::lock_guard<std::mutex> lock(mutex_);
    nodes_.at(size_t(node))->mode = mode;
}

void TrelvanRelayHandler::setAnswerLimit(int node, int n)
{
    std::lock_guard<std::mutex> lock(mutex_);
    nodes_.at(size_t(node))->answerLimit = n;
}

void TrelvanRelayHandler::setWriteFilter(int node, std::function<void(QByteArray&)> filter)
{
    std::lock_guard<std::mutex> lock(mutex_);
    nodes_.at(size_t(node))->filter = std::move(filter);
}

QPair<quint8, quint8> TrelvanRelayHandler::address(int node) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    const QByteArray p = nodes_.at(size_t(node))->parameters->parameters();
    return {quint8(p[3]), quint8(p[9])};
}

QList<QPair<quint8, quint8>> TrelvanRelayHandler::unicastTargets() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return unicasts_;
}

int TrelvanRelayHandler::broadcasts(quint8 role) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return int(broadcasts_.count(role));
}

int TrelvanRelayHandler::firmwareFrames(int node) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return nodes_.at(size_t(node))->firmwareFrames;
}

QByteArray TrelvanRelayHandler::firmwareImage(int node, int size) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return nodes_.at(size_t(node))->flash.left(size);
}

int TrelvanRelayHandler::pendingAnswers() const
{
    return answers_.pending();
}

void TrelvanRelayHandler::clearLog()
{
    std::lock_guard<std::mutex> lock(mutex_);
    unicasts_.clear();
    broadcasts_.clear();
}

TrelvanRelayHandler::Remote* TrelvanRelayHandler::find(quint8 role, quint8 id)
{
    for (auto& r : nodes_) {
        const QByteArray p = r->parameters->parameters();
        if (quint8(p[3]) == role && quint8(p[9]) == id)
            return r.get();
    }
    return nullptr;
}

QByteArray TrelvanRelayHandler::systemFrameOf(const Remote& r) const
{
    const QByteArray p = r.parameters->parameters();
    SystemInfo info;
    info.role = qint8(p[3]);
    info.id = quint8(p[9]);
    info.baudRate = qint32(quint32(quint8(p[5])) | quint32(quint8(p[6])) << 8 | quint32(quint8(p[7])) << 16);
    for (int i = 0; i < 4; ++i)
        info.firmware[i] = r.firmware[size_t(i)];
    info.systemTime = r.parameters->uptimeMs();
    return systemFrameReply(info);
}

void TrelvanRelayHandler::storeFirmware(Remote& r, const QByteArray& frame)
{
    if (sum8(frame.constData(), kFirmwareFrame - 1) != quint8(frame[kFirmwareFrame - 1]))
        return;
    const quint32 address = qFromLittleEndian<quint32>(frame.constData() + 7);
    if (address < kFlashBase || address - kFlashBase > 16u * 1024 * 1024)
        return;
    const int offset = int(address - kFlashBase);
    if (r.flash.size() < offset + kFirmwareChunk)
        r.flash.append(QByteArray(offset + kFirmwareChunk - r.flash.size(), char(0xFF)));
    r.flash.replace(offset, kFirmwareChunk, frame.mid(11, kFirmwareChunk));
    ++r.firmwareFrames;
}

void TrelvanRelayHandler::deliver(Remote& r, const QByteArray& payload, bool unicast)
{
    const quint8 h0 = payload.size() > 0 ? quint8(payload[0]) : quint8(0);
    const quint8 h1 = payload.size() > 1 ? quint8(payload[1]) : quint8(0);
    if (h0 == 0x52 && h1 == 0x01 && payload.size() == kFirmwareFrame) {
        storeFirmware(r, payload);
        return;
    }
    QByteArray answer;
    if (h0 == 0x52 && payload.size() == 32) {
        // Only a read is answered; a relayed write (the update's announcement) is not.
        if (sum8(payload.constData(), 31) == quint8(payload[31]) && (quint8(payload[2]) & 0x01))
            answer = systemFrameOf(r);
    } else if (h0 == 0x54 && h1 == 0x00) {
        r.keptId = quint8(r.parameters->parameters()[9]);
        r.broadcast = !unicast;
        r.parameters->handle(payload, SimContext{}, answer);
        r.broadcast = false;
    }
    if (!unicast || answer.isEmpty() || r.mode == Mode::Silent || r.answerLimit == 0)
        return;
    if (r.answerLimit > 0)
        --r.answerLimit;
    if (answer.size() == TrelvanParameterHandler::kFrameSize) {
        // Nodes reached over the relay run the wireless setting mode.
        answer[17] = char((quint8(answer[17]) & 0xF0) | 3);
        sealSum8(answer);
    }
    if (r.mode == Mode::OtherId) {
        if (answer.size() == 32)
            answer[23] = char(quint8(answer[23]) + 1);
        else
            answer[9] = char(quint8(answer[9]) + 1);
        sealSum8(answer);
    }
    answers_.schedule(answer, r.mode == Mode::Late ? lateDelayMs_.load() : delayMs_.load());
}

int TrelvanRelayHandler::handle(const QByteArray& input, const SimContext&, QByteArray&)
{
    if (quint8(input[0]) != 0x54)
        return NotMine;
    if (input.size() < 2)
        return NeedMore;
    if (quint8(input[1]) != 0xF1)
        return NotMine;
    if (input.size() < kHeader)
        return NeedMore;
    const int n = quint8(input[8]) | quint8(input[9]) << 8;
    const int total = kHeader + n + 1;
    if (input.size() < total)
        return NeedMore;
    if (sum8(input.constData(), total - 1) != quint8(input[total - 1])) {
        ++badFrames_;
        return total;
    }
    const quint8 command = quint8(input[2]);
    const quint8 role = quint8(input[6]);
    const quint8 id = quint8(input[7]);
    const QByteArray payload = input.mid(kHeader, n);
    std::lock_guard<std::mutex> lock(mutex_);
    if (command == 0xA1) {
        unicasts_.append({role, id});
        if (Remote* r = find(role, id))
            deliver(*r, payload, true);
    } else if (command == 0xA0) {
        broadcasts_.append(role);
        for (auto& r : nodes_) {
            if (quint8(r->parameters->parameters()[3]) == role)
                deliver(*r, payload, false);
        }
    }
    return total;
}

} // namespace sim
