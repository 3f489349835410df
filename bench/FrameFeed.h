#pragma once

// What the frame benches share: the 3.5 Mbaud line they play, the 8-bit sum that
// seals a frame, the feed of 100 ms of the line through the frame search and the
// processor, the process's CPU clock, a bare page model for the protocols' items
// and the harness's main.

#include "BenchEnv.h"
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QByteArray>
#include <QList>
#include <QTemporaryDir>

#include <cstdio>
#include <sys/resource.h>
#include <unistd.h>

#include "foundation/UserPaths.h"
#include "model/ModelManager.h"
#include "protocol/ProtocolDataProcessor.h"
#include "protocol/ProtocolFrameExtraction.h"
#include "protocol/ProtocolSeams.h"
#include "resources/init_resources.h"

namespace benchfeed {

constexpr int kLineBytesPerSecond = 350000; // 3.5 Mbaud, 10 bits a byte
constexpr int kChunk = 35000;               // 100 ms of the line
constexpr int kPiece = 4096;                // what one read of the port brings at most
// 100 ms is fed in whole pieces: 9 of them, 36,864 bytes. Counters use the bytes
// really fed (LineFeed::bytes), never kChunk.

// Writes the 8-bit sum of all bytes before the last into the last.
inline void seal(QByteArray& f)
{
    quint8 sum = 0;
    for (int i = 0; i < f.size() - 1; ++i)
        sum = quint8(sum + quint8(f[i]));
    f[f.size() - 1] = char(sum);
}

// A variable frame built without its checksum byte: the byte appended, the length
// field (bytes 2 and 3) set, the sum written.
inline QByteArray finish(QByteArray b)
{
    b.append('\0');
    const quint16 length = quint16(b.size());
    b[2] = char(length & 0xFF);
    b[3] = char(length >> 8);
    seal(b);
    return b;
}

// Frames 0, 1, 2 ... back to back until at least minBytes.
template <typename FrameAt>
QByteArray backToBack(int minBytes, FrameAt&& frameAt)
{
    QByteArray all;
    for (int n = 0; all.size() < minBytes; ++n)
        all += frameAt(n);
    return all;
}

// Device seconds fed over CPU seconds taken: above 1 the process keeps ahead of
// the line.
inline double lineMultiple(qint64 bytes, double cpu)
{
    return cpu > 0 ? double(bytes) / kLineBytesPerSecond / cpu : 0;
}

// User and system time of the process, in seconds.
inline double cpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// Plays a line of frames in pieces of the port's size, each searched and processed
// at once, as the worker threads would (or, with append100ms(), only appended, for
// a run whose search and decoding are on their own threads); the read position
// wraps before the last piece and `margin` more bytes, so that every piece is whole.
class LineFeed
{
public:
    explicit LineFeed(QByteArray line, int margin = 0)
        : line_(std::move(line))
        , wrap_(line_.size() - kPiece - margin)
    {
        ProtocolFrameExtraction::instance()->clearBuffers();
    }

    // 100 ms of the line; afterPiece() runs after each piece is processed.
    template <typename AfterPiece>
    void play100ms(AfterPiece&& afterPiece)
    {
        feed100ms(true, afterPiece);
    }
    void play100ms()
    {
        play100ms([] {});
    }
    // 100 ms of the line appended as the serial port appends it, nothing more.
    void append100ms()
    {
        feed100ms(false, [] {});
    }

    qint64 bytes = 0; // fed so far

private:
    template <typename AfterPiece>
    void feed100ms(bool decode, AfterPiece&& afterPiece)
    {
        ProtocolFrameExtraction* ex = ProtocolFrameExtraction::instance();
        ProtocolDataProcessor* processor = ProtocolDataProcessor::instance();
        for (int i = 0; i < kChunk; i += kPiece) {
            const QByteArray piece = line_.mid(int(offset_), kPiece);
            ex->appendData(piece);
            bytes += piece.size();
            offset_ = (offset_ + kPiece) % wrap_;
            if (decode) {
                ex->extractFrames();
                processor->processFrames();
            }
            afterPiece();
        }
    }

    QByteArray line_;
    qint64 wrap_;
    qint64 offset_ = 0;
};

// One page model for the whole run, made at the first call, and set as the model in
// which protocols make their items: a protocol makes them once, at its first frame.
inline ModelManager* useBareModel(const QList<ResourceType>& types)
{
    static QTemporaryDir dir;
    static ModelManager* model = nullptr;
    if (!model)
        model = new ModelManager(dir.filePath("bare.ini"), types);
    ProtocolSeams::setCurrentModelManagerLookup([]() -> ModelManager* { return model; });
    return model;
}

// The harness: a private home, the application with its resources and folders,
// setUp (registrations), then the benchmarks the command line selects. No worker
// threads run and the page registry is not taken apart: it leaves without static
// teardown.
inline int runBenchmarks(int argc, char** argv, void (*setUp)(QApplication&))
{
    benchenv::usePrivateHome();
    QApplication app(argc, argv);
    talmenoInitResources();
    initUserDataFolders();
    if (setUp)
        setUp(app);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    std::fflush(stdout);
    _exit(0);
}

} // namespace benchfeed
