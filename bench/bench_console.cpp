// Cost of showing a received stream in the text console: gathered appends (what the
// terminal does) against one view append per chunk. A chunk is 700 received bytes
// shown in hex (2100 characters), the size that arrives every 2 ms at 3.5 Mbaud.
// The hex conversion of every chunk is timed with it, as the terminal does it.
// Then the files of a page's nodes without a box, written at a refresh.
#include "BenchEnv.h"
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPlainTextEdit>
#include <QRandomGenerator>
#include <QVector>

#include <memory>
#include <vector>

#include "widgets/PlainTextEditWithFile.h"

namespace {
constexpr int kChunkBytes = 700;
constexpr int kChunksPerFlush = 15; // 30 ms of chunks at 2 ms each

// Received chunks of random bytes, a few different ones used in turn.
QVector<QByteArray> rawChunks()
{
    QVector<QByteArray> chunks;
    QRandomGenerator rng(1);
    for (int k = 0; k < kChunksPerFlush; ++k) {
        QByteArray bytes(kChunkBytes, '\0');
        for (char& c : bytes)
            c = char(rng.bounded(256));
        chunks << bytes;
    }
    return chunks;
}

// What the terminal does with received bytes in hex mode.
QString toHexText(const QByteArray& data)
{
    QByteArray hex = data.toHex(' ');
    hex.append(' ');
    return QString::fromLatin1(hex);
}

// The console as the terminal uses it: appends gathered, written every 15 chunks,
// then the event loop paints.
void BM_ConsoleGathered(benchmark::State& state)
{
    const QVector<QByteArray> raw = rawChunks();
    PlainTextEditWithFile console;
    console.resize(1000, 500);
    console.show();
    qint64 chunks = 0;
    for (auto _ : state) {
        for (int i = 0; i < kChunksPerFlush; ++i)
            console.appendText(toHexText(raw.at(i)));
        console.flushPending();
        QCoreApplication::processEvents();
        chunks += kChunksPerFlush;
        if (console.characterCount() > 20000000)
            console.clearText(); // what the memory watch does
    }
    state.SetItemsProcessed(chunks);
    state.SetBytesProcessed(chunks * kChunkBytes);
}
BENCHMARK(BM_ConsoleGathered)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The same stream appended to the view one chunk at a time, painting as often.
void BM_ViewPerChunk(benchmark::State& state)
{
    const QVector<QByteArray> raw = rawChunks();
    QPlainTextEdit view;
    view.setReadOnly(true);
    view.setUndoRedoEnabled(false);
    view.resize(1000, 500);
    view.show();
    qint64 chunks = 0;
    for (auto _ : state) {
        for (int i = 0; i < kChunksPerFlush; ++i) {
            view.appendPlainText(toHexText(raw.at(i)));
            QCoreApplication::processEvents();
        }
        chunks += kChunksPerFlush;
        if (view.document()->characterCount() > 20000000)
            view.clear();
    }
    state.SetItemsProcessed(chunks);
    state.SetBytesProcessed(chunks * kChunkBytes);
}
BENCHMARK(BM_ViewPerChunk)->Unit(benchmark::kMillisecond)->MinTime(2.0);
// A page's nodes without a box (up to the node bound, 1,024) keep their text in a
// console file each: one refresh writes one chunk to every file, each through a
// short-lived open. Argument: the payload bytes of a node's chunk (shown in hex).
void BM_KeptFilesRefresh(benchmark::State& state)
{
    const QString chunk = toHexText(QByteArray(int(state.range(0)), char(0x5a)));
    std::vector<std::unique_ptr<ConsoleFile>> files;
    for (int i = 0; i < 1024; ++i)
        files.emplace_back(new ConsoleFile);
    qint64 written = 0;
    for (auto _ : state) {
        for (auto& file : files)
            file->append({chunk});
        written += qint64(files.size()) * chunk.size();
        if (files.front()->size() > 4 * 1024 * 1024) {
            for (auto& file : files)
                file->truncate();
        }
    }
    state.SetItemsProcessed(state.iterations() * qint64(files.size()));
    state.SetBytesProcessed(written);
}
BENCHMARK(BM_KeptFilesRefresh)->Arg(16)->Arg(1024)->Unit(benchmark::kMillisecond)->MinTime(2.0);
} // namespace

int main(int argc, char** argv)
{
    benchenv::usePrivateHome();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
