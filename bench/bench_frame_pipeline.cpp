// Frame search plus decoding on one core, fed like the serial port feeds it:
// (a) 32-byte system-shaped frames back to back; (b) three protocols with
// different heads and lengths, 1 % of the bytes corrupted; (c) variable frames
// among false heads whose length fields claim frames of up to the longest length;
// (d) the same with 1 % false heads claiming 65,535 bytes, the longest a 16-bit
// length field gives; (e) such a head held over thousands of heads of no frame;
// (f) a burst of 16,500 or 132,000 false node frame 0 heads claiming 65,535 bytes
// each, then two node frames 0; (g) 16,000 or 32,000 such heads claiming 32,767
// bytes, which complete one after another. Each in 64-byte and 64-KiB chunks, (f)
// in 64-byte reads and whole, (g) in 1-byte reads. Figures: bytes/s (MB/s),
// frames/s and the most bytes kept between two passes (held).

#include "BenchEnv.h"
#include "protocol/ProtocolBase.h"
#include "protocol/ProtocolDataProcessor.h"
#include "protocol/ProtocolDataQueue.h"
#include "protocol/ProtocolFrameExtraction.h"
#include "products/trelvan/protocols/ProtocolNodeFrame0.h"

#include <QCoreApplication>
#include <QRandomGenerator>

#include <benchmark/benchmark.h>

#include <cstring>
#include <map>
#include <memory>

namespace {

struct Decoded
{
    quint8 kind = 0;
    quint16 length = 0;
    quint32 first = 0;
    quint32 last = 0;
};

// Decodes a few fields into a record and queues it, as a data-frame protocol does.
class BenchProtocol : public ProtocolBase
{
public:
    BenchProtocol(const QString& name, const QByteArray& head, int fixedLength, int longest = kLongestFrame)
        : ProtocolBase(name)
        , queue(name)
    {
        head_ = head;
        frameLength_ = fixedLength;
        lengthField_ = fixedLength == 0;
        minFrameLength_ = lengthField_ ? 8 : fixedLength;
        maxFrameLength_ = lengthField_ ? longest : fixedLength;
    }

    // As long as node frame 2 can be.
    static constexpr int kLongestFrame = 3435;
    // What a 16-bit length field allows (node frames 0 and 4).
    static constexpr int kLongestField = 65535;

    bool checkFrameLength(const char* data, qint64 available) override
    {
        if (!lengthField_)
            return true;
        if (available < 4)
            return false;
        frameLength_ = static_cast<quint8>(data[2]) | (static_cast<quint8>(data[3]) << 8);
        return true;
    }

    bool verifyFrame(const char* data) override
    {
        return frameLength_ >= minFrameLength_ && ProtocolBase::verifyFrame(data);
    }

    void parseFrame(const QByteArray& frame) override
    {
        auto r = QSharedPointer<Decoded>::create();
        const auto* b = reinterpret_cast<const quint8*>(frame.constData());
        r->kind = b[1];
        r->length = static_cast<quint16>(frame.size());
        std::memcpy(&r->first, b + 4, 4);
        std::memcpy(&r->last, b + frame.size() - 5, 4);
        queue.push(r);
        // A view that keeps up: the queue never reaches its cap.
        if (++decoded % 512 == 0)
            benchmark::DoNotOptimize(queue.takeAll());
    }

    ProtocolDataQueue<Decoded> queue;
    qint64 decoded = 0;

private:
    bool lengthField_ = false;
};

void seal(QByteArray& f)
{
    quint8 s = 0;
    for (int i = 0; i < f.size() - 1; ++i)
        s = static_cast<quint8>(s + static_cast<quint8>(f[i]));
    f[f.size() - 1] = static_cast<char>(s);
}

QByteArray frame(const QByteArray& head, int length, QRandomGenerator& rng, bool lengthField)
{
    QByteArray f(length, '\0');
    f[0] = head[0];
    f[1] = head[1];
    int from = 2;
    if (lengthField) {
        f[2] = static_cast<char>(length & 0xFF);
        f[3] = static_cast<char>(length >> 8);
        from = 4;
    }
    for (int i = from; i < length - 1; ++i)
        f[i] = static_cast<char>(rng.bounded(256));
    seal(f);
    return f;
}

constexpr int kStreamBytes = 8 * 1024 * 1024;

const QByteArray& systemStream()
{
    static const QByteArray s = [] {
        QRandomGenerator rng(1);
        QByteArray out;
        while (out.size() < kStreamBytes)
            out += frame(QByteArray("\x52\x00", 2), 32, rng, false);
        return out;
    }();
    return s;
}

const QByteArray& mixedStream()
{
    static const QByteArray s = [] {
        QRandomGenerator rng(2);
        QByteArray out;
        while (out.size() < kStreamBytes) {
            switch (rng.bounded(3)) {
            case 0: out += frame(QByteArray("\x52\x00", 2), 32, rng, false); break;
            case 1: out += frame(QByteArray("\x55\x01", 2), 20 + rng.bounded(200), rng, true); break;
            default: out += frame(QByteArray("\x57\x01", 2), 96, rng, false); break;
            }
        }
        // 1 % of the bytes corrupted.
        for (int i = 0; i < out.size() / 100; ++i)
            out[rng.bounded(out.size())] = static_cast<char>(rng.bounded(256));
        return out;
    }();
    return s;
}

// Frames of 55 01 with a length field (20 to 219 bytes) and, before one item in
// `every`, a false head whose length field claims claimed(rng) bytes, then 16 noise
// bytes: the search may hold what follows until that many have come.
template <typename Claimed>
QByteArray falseHeads(quint32 seed, int every, Claimed&& claimed)
{
    QRandomGenerator rng(seed);
    QByteArray out;
    while (out.size() < kStreamBytes) {
        if (rng.bounded(every) == 0) {
            const int length = claimed(rng);
            QByteArray f("\x55\x01", 2);
            f.append(static_cast<char>(length & 0xFF));
            f.append(static_cast<char>(length >> 8));
            for (int i = 0; i < 16; ++i)
                f.append(static_cast<char>(rng.bounded(256)));
            out += f;
        } else {
            out += frame(QByteArray("\x55\x01", 2), 20 + rng.bounded(200), rng, true);
        }
    }
    return out;
}

// One item in ten claims 3,000 bytes up to the protocol's longest frame.
const QByteArray& falseHeadStream()
{
    static const QByteArray s = falseHeads(3, 10, [](QRandomGenerator& rng) {
        return 3000 + static_cast<int>(rng.bounded(BenchProtocol::kLongestFrame - 3000 + 1));
    });
    return s;
}

// One item in a hundred claims 65,535 bytes.
const QByteArray& maxLengthFalseHeadStream()
{
    static const QByteArray s = falseHeads(4, 100, [](QRandomGenerator&) { return BenchProtocol::kLongestField; });
    return s;
}

// A head claiming 65,535 bytes, then 16,383 heads whose length fields say 0: the
// held head waits for all of them, and none may be looked at again on every pass.
const QByteArray& heldOverEmptyHeadsStream()
{
    static const QByteArray s = [] {
        QByteArray out;
        while (out.size() < kStreamBytes) {
            out += QByteArray("\x55\x01\xFF\xFF", 4);
            for (int i = 0; i < 16383; ++i)
                out += QByteArray("\x55\x01\x00\x00", 4);
        }
        return out;
    }();
    return s;
}

// `count` heads 55 02 whose length fields claim `claimed` bytes, then two node frames 0
// with no records: every head is held until it completes or the pair is in, then
// the rest are given up over it. 16,500 or 132,000 heads claiming 65,535 bytes
// (a burst of 66 kB, or of 528 kB: eight spans), or 16,000 or 32,000 claiming
// 32,767 (a span of 8,192 heads, which then complete one after another).
const QByteArray& headBurstStream(int count, int claimed)
{
    static std::map<std::pair<int, int>, QByteArray> made;
    QByteArray& s = made[{count, claimed}];
    if (s.isEmpty()) {
        QByteArray head("\x55\x02", 2);
        head.append(static_cast<char>(claimed & 0xFF));
        head.append(static_cast<char>(claimed >> 8));
        s = head.repeated(count);
        for (char id : {'\x01', '\x02'}) {
            QByteArray f(12, '\0');
            f[0] = '\x55';
            f[1] = '\x02';
            f[2] = static_cast<char>(f.size());
            f[5] = id;
            seal(f);
            s += f;
        }
    }
    return s;
}

// Node frame 0's length and record bounds, with the bench's decoding.
class NodeFrame0Shape : public BenchProtocol
{
public:
    NodeFrame0Shape()
        : BenchProtocol("node frame 0", QByteArray("\x55\x02", 2), 0, kLongestField)
    {
    }
    bool recordsFit(const char* frame, qint32 length) const override
    {
        return Trelvan::ProtocolNodeFrame0::recordsWithinFrame(frame, length);
    }
};

void run(benchmark::State& state, const QByteArray& stream, const std::vector<BenchProtocol*>& protocols,
         int chunk = 0)
{
    if (chunk <= 0)
        chunk = static_cast<int>(state.range(0));
    ProtocolFrameExtraction* ex = ProtocolFrameExtraction::instance();
    ProtocolDataProcessor* processor = ProtocolDataProcessor::instance();
    ex->clearBuffers();
    qint64 frames = 0;
    int held = 0; // the most bytes the search kept between two passes
    for (auto _ : state) {
        for (BenchProtocol* p : protocols)
            p->decoded = 0;
        for (int pos = 0; pos < stream.size(); pos += chunk) {
            ex->appendData(QByteArray::fromRawData(stream.constData() + pos, std::min(chunk, stream.size() - pos)));
            ex->extractFrames();
            held = std::max(held, ex->remainderSize());
            processor->processFrames();
            for (BenchProtocol* p : protocols)
                benchmark::DoNotOptimize(p->queue.takeAll());
        }
        for (BenchProtocol* p : protocols)
            frames += p->decoded;
    }
    state.SetBytesProcessed(state.iterations() * stream.size());
    state.counters["frames/s"] = benchmark::Counter(static_cast<double>(frames), benchmark::Counter::kIsRate);
    state.counters["held"] = held;
    state.counters["x3.5Mbaud"] = benchmark::Counter(static_cast<double>(state.iterations() * stream.size()) / 350000.0,
                                                     benchmark::Counter::kIsRate);
}

void BM_SystemFramesBackToBack(benchmark::State& state)
{
    BenchProtocol sys("system", QByteArray("\x52\x00", 2), 32);
    sys.setActive(true);
    run(state, systemStream(), {&sys});
}

void BM_ThreeProtocolsCorrupted(benchmark::State& state)
{
    BenchProtocol a("fixed32", QByteArray("\x52\x00", 2), 32);
    BenchProtocol b("variable", QByteArray("\x55\x01", 2), 0);
    BenchProtocol c("fixed96", QByteArray("\x57\x01", 2), 96);
    a.setActive(true);
    b.setActive(true);
    c.setActive(true);
    run(state, mixedStream(), {&a, &b, &c});
}

void BM_FalseHeadsClaimingLongFrames(benchmark::State& state)
{
    BenchProtocol b("variable", QByteArray("\x55\x01", 2), 0);
    b.setActive(true);
    run(state, falseHeadStream(), {&b});
}

void BM_FalseHeadsClaimingMaximumLength(benchmark::State& state)
{
    BenchProtocol b("variable", QByteArray("\x55\x01", 2), 0, BenchProtocol::kLongestField);
    b.setActive(true);
    run(state, maxLengthFalseHeadStream(), {&b});
}

void BM_HeadHeldOverEmptyHeads(benchmark::State& state)
{
    BenchProtocol b("variable", QByteArray("\x55\x01", 2), 0, BenchProtocol::kLongestField);
    b.setActive(true);
    run(state, heldOverEmptyHeadsStream(), {&b});
}

// Arguments: the heads, the chunk size.
void BM_HeadBurstBeforeTwoFrames(benchmark::State& state)
{
    NodeFrame0Shape b;
    b.setActive(true);
    run(state, headBurstStream(static_cast<int>(state.range(0)), 0xFFFF), {&b}, static_cast<int>(state.range(1)));
}

void BM_StaggeredHeadsBeforeTwoFrames(benchmark::State& state)
{
    NodeFrame0Shape b;
    b.setActive(true);
    run(state, headBurstStream(static_cast<int>(state.range(0)), 0x7FFF), {&b}, static_cast<int>(state.range(1)));
}

} // namespace

BENCHMARK(BM_SystemFramesBackToBack)->Arg(64)->Arg(65536)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ThreeProtocolsCorrupted)->Arg(64)->Arg(65536)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FalseHeadsClaimingLongFrames)->Arg(64)->Arg(65536)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FalseHeadsClaimingMaximumLength)->Arg(64)->Arg(65536)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HeadHeldOverEmptyHeads)->Arg(64)->Arg(65536)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HeadBurstBeforeTwoFrames)
    ->Args({16500, 64})
    ->Args({16500, 1 << 17})
    ->Args({132000, 64})
    ->Args({132000, 1 << 20})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StaggeredHeadsBeforeTwoFrames)->Args({16000, 1})->Args({32000, 1})->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    benchenv::usePrivateHome();
    // The pipeline's objects need an event dispatcher for their timers; no loop runs,
    // the passes are driven here.
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
