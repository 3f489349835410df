#include "AnalyserSimulator.h"

#include "ProductReplies.h"

#include <chrono>
#include <cstring>

namespace sim {

namespace {

constexpr int kParameterLength = 56;

void put16(QByteArray& f, int at, quint16 v)
{
    f[at] = char(v & 0xFF);
    f[at + 1] = char(v >> 8);
}

void put32(QByteArray& f, int at, quint32 v)
{
    for (int i = 0; i < 4; ++i)
        f[at + i] = char((v >> (8 * i)) & 0xFF);
}

// Word 0: channel 0-3, preamble length 4-7, preamble code 8-12, PRF 13-14, PAC
// 15-17, SFD 18-20, data rate 21-22, PHR mode 23-24, PHR rate 25-26, STS mode 27-29.
quint32 chipWord0(quint32 channel, quint32 preambleLength, quint32 preambleCode, quint32 prf, quint32 pac,
                  quint32 sfd, quint32 dataRate, quint32 phrMode, quint32 phrRate, quint32 stsMode)
{
    return channel | preambleLength << 4 | preambleCode << 8 | prf << 13 | pac << 15 | sfd << 18 | dataRate << 21
           | phrMode << 23 | phrRate << 25 | stsMode << 27;
}

} // namespace

QByteArray analyserParameterDefaults(qint32 deviceRate)
{
    QByteArray f(kParameterLength, '\0');
    f[0] = char(0x78);
    put32(f, 3, static_cast<quint32>(deviceRate));
    f[7] = 1;
    put16(f, 8, 100);
    f[10] = char(0x01 | 0x04 | 0x10);
    f[11] = 50;
    // DW1000 chips: channel "3", 128, code 5, 16 MHz, PAC 8, IEEE SFD, 6.8M, STD, STD, SP0.
    const quint32 dw1000 = chipWord0(4, 5, 5, 1, 2, 1, 3, 1, 1, 1);
    // DW3000 chips: channel "9", 256, code 9, 64 MHz, PAC 4, BPRF SFD, 6.8M, EXT, DATA, SP1; STS 128, SDC.
    const quint32 dw3000 = chipWord0(10, 6, 9, 2, 1, 4, 3, 2, 2, 2);
    for (int i = 0; i < 4; ++i) {
        put32(f, 16 + 8 * i, i < 2 ? dw1000 : dw3000);
        put32(f, 20 + 8 * i, i < 2 ? 0u : (3u | 0x08u));
    }
    sealSum8(f);
    return f;
}

QByteArray analyserReceiveFrame(const AnalyserReceive& r)
{
    QByteArray f(51 + r.payload.size(), '\0');
    f[0] = char(0x7A);
    f[1] = char(0x01);
    f[3] = char(r.chip);
    put32(f, 4, r.systemTime);
    put32(f, 9, static_cast<quint32>(r.rxTime));
    put32(f, 13, static_cast<quint32>(r.rxTime >> 32));
    f[17] = char(r.fpRssi);
    f[18] = char(r.rxRssi);
    put16(f, 19, r.fpIndex);
    put16(f, 21, r.fpAmpl);
    put16(f, 23, r.pkIndex);
    put16(f, 25, r.pkAmpl);
    f[27] = char(r.idiff);
    f[28] = char(r.luep);
    f[29] = char(r.mc);
    f[30] = char(r.prNlos);
    f[31] = char(r.cl);
    quint32 bits = 0;
    std::memcpy(&bits, &r.hwClockOffset, sizeof bits);
    put32(f, 32, bits);
    put16(f, 48, static_cast<quint16>(r.payload.size()));
    std::memcpy(f.data() + 50, r.payload.constData(), static_cast<size_t>(r.payload.size()));
    sealSum8(f);
    return f;
}

QByteArray analyserStatusFrame(quint32 systemTime, quint16 voltage, const AnalyserChipStatus chips[4])
{
    QByteArray f(88, '\0');
    f[0] = char(0x7A);
    put32(f, 3, systemTime);
    put16(f, 7, voltage);
    for (int i = 0; i < 4; ++i) {
        const int at = 16 + 16 * i;
        f[at] = char(chips[i].status);
        put16(f, at + 1, chips[i].plr);
        for (int c = 0; c < 5; ++c)
            put16(f, at + 3 + 2 * c, chips[i].counters[c]);
    }
    sealSum8(f);
    return f;
}

AnalyserParameterHandler::AnalyserParameterHandler(qint32 deviceRate)
    : frame_(analyserParameterDefaults(deviceRate))
{
}

int AnalyserParameterHandler::handle(const QByteArray& input, const SimContext&, QByteArray& reply)
{
    if (quint8(input[0]) != 0x78)
        return NotMine;
    if (input.size() < 2)
        return NeedMore;
    if (quint8(input[1]) != 0x00)
        return NotMine;
    if (input.size() < kParameterLength)
        return NeedMore;
    if (sum8(input.constData(), kParameterLength - 1) != quint8(input[kParameterLength - 1]))
        return NotMine;
    const QByteArray request = input.left(kParameterLength);
    std::lock_guard<std::mutex> lock(mutex_);
    if (request[2] == char(0x01)) {
        reads_.fetch_add(1);
    } else {
        writes_.fetch_add(1);
        lastWrite_ = request;
        frame_ = request;
    }
    if (!silent_.load())
        reply.append(frame_);
    return kParameterLength;
}

QByteArray AnalyserParameterHandler::parameters() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return frame_;
}

void AnalyserParameterHandler::setParameters(const QByteArray& frame)
{
    std::lock_guard<std::mutex> lock(mutex_);
    frame_ = frame;
}

QByteArray AnalyserParameterHandler::lastWriteFrame() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return lastWrite_;
}

Analyser::Analyser(DeviceSimulator& device, int productType, qint32 deviceRate)
    : device_(device)
    , deviceRate_(deviceRate)
    , system_(productHandler(productType, 0, deviceRate))
    , parameters_(std::make_shared<AnalyserParameterHandler>(deviceRate))
    , startNs_(nowNs())
{
}

Analyser::~Analyser()
{
    stop();
}

void Analyser::start()
{
    device_.setDeviceRate(deviceRate_);
    device_.addHandler(system_);
    device_.addHandler(parameters_);
    if (thread_.joinable())
        return;
    quit_.store(false);
    thread_ = std::thread([this] { run(); });
}

void Analyser::stop()
{
    quit_.store(true);
    if (thread_.joinable())
        thread_.join();
}

void Analyser::setSilent(bool silent)
{
    silent_.store(silent);
    parameters_->setSilent(silent);
}

AnalyserReceive Analyser::receiveOf(int chip, quint64 n, quint32 systemTime)
{
    AnalyserReceive r;
    r.chip = static_cast<quint8>(chip);
    r.systemTime = systemTime;
    // The radio clock counts 40 bits; the upper bits of the field stay 0.
    r.rxTime = (kFirstRxTime + n * kRxTicksPerFrame) & 0xFFFFFFFFFFull;
    r.fpRssi = static_cast<quint8>(150 + (n * 3) % 40);
    r.rxRssi = static_cast<quint8>(140 + (n * 5) % 40);
    r.fpIndex = static_cast<quint16>(740 + n % 20);
    r.fpAmpl = static_cast<quint16>(5000 + (n * 37) % 900);
    r.pkIndex = static_cast<quint16>(745 + n % 17);
    r.pkAmpl = static_cast<quint16>(7000 + (n * 53) % 1100);
    r.idiff = static_cast<quint8>(n % 9);
    r.luep = static_cast<quint8>((n * 11) % 256);
    r.mc = static_cast<quint8>(50 + n % 50);
    r.prNlos = static_cast<quint8>((n * 7) % 101);
    r.cl = static_cast<quint8>(60 + n % 40);
    r.hwClockOffset = 1.0f + static_cast<float>(n % 10) * 0.25f;
    r.payload.resize(static_cast<int>(n % 128));
    for (int i = 0; i < r.payload.size(); ++i)
        r.payload[i] = char((n + i * 13) & 0xFF);
    return r;
}

void Analyser::run()
{
    using clock = std::chrono::steady_clock;
    quint64 n[4] = {0, 0, 0, 0};
    auto next = clock::now();
    auto nextStatus = clock::now();
    quint64 statusCount = 0;
    while (!quit_.load()) {
        next += std::chrono::milliseconds(50);
        std::this_thread::sleep_until(next);
        if (quit_.load())
            break;
        const auto now = clock::now();
        if (now - next > std::chrono::milliseconds(200))
            next = now; // never burst to catch up after a pause
        if (silent_.load() || !streaming_.load() || !device_.isRunning()
            || (deviceRate_ > 0 && device_.portRate() != deviceRate_))
            continue;
        const QByteArray params = parameters_->parameters();
        const quint8 flags = quint8(params[10]);
        const int period = qMax(1, int(quint8(params[7])));
        const quint32 uptime = static_cast<quint32>((nowNs() - startNs_) / 1000000);
        QByteArray out;
        if (now >= nextStatus) {
            nextStatus = now + std::chrono::seconds(period);
            AnalyserChipStatus chips[4];
            for (int i = 0; i < 4; ++i) {
                const bool on = (flags >> i) & 1;
                chips[i].status = on ? (statusCount % 5 == 4 ? 2 : 1) : 0;
                chips[i].plr = on ? static_cast<quint16>((statusCount * 17 + i) % 1000) : 0;
                for (int c = 0; c < 5; ++c)
                    chips[i].counters[c] = on ? static_cast<quint16>(n[i] / (c + 1)) : 0;
            }
            out += analyserStatusFrame(uptime, static_cast<quint16>(500 + statusCount % 20), chips);
            ++statusCount;
            statusSent_.store(statusCount);
        }
        for (int i = 0; i < 4; ++i) {
            if (!((flags >> i) & 1))
                continue;
            out += analyserReceiveFrame(receiveOf(i, n[i]++, uptime));
            receiveSent_.fetch_add(1);
        }
        if (!out.isEmpty())
            device_.send(out);
    }
}

} // namespace sim
