// The UWB analyser's frames through the frame search and the processor into the
// page's record queues (the page's receivers do the push, as in the program), and
// one refresh of the page taking a burst of 1000 queued records. Each decoding
// iteration feeds 100 ms of a 3.5 Mbaud line of back-to-back frames; the queues
// are emptied outside the timed part.
#include "FrameFeed.h"

#include <QMainWindow>

#include "products/uwbana/UwbAnaProtocols.h"
#include "products/uwbana/UwbAnaTables.h"
#include "products/uwbana/UwbAnaWidgetData.h"

namespace {

using benchfeed::kChunk;
using benchfeed::seal;

QByteArray statusFrame(int n)
{
    QByteArray f(88, '\0');
    f[0] = char(0x7A);
    f[3] = char(n & 0xFF);
    f[4] = char((n >> 8) & 0xFF);
    f[7] = char(0xF4);
    f[8] = char(0x01);
    for (int c = 0; c < 4; ++c) {
        f[16 + 16 * c] = char(1);
        f[17 + 16 * c] = char(n % 100);
        f[19 + 16 * c] = char(n & 0xFF);
    }
    seal(f);
    return f;
}

// A receive frame with a 12-byte payload: 63 bytes.
QByteArray receiveFrame(int n)
{
    QByteArray f(63, '\0');
    f[0] = char(0x7A);
    f[1] = char(0x01);
    f[3] = char(n % 4);
    const quint64 rx = quint64(n) * 3194880000ull;
    for (int i = 0; i < 5; ++i)
        f[9 + i] = char((rx >> (8 * i)) & 0xFF);
    f[17] = char(150 + n % 40);
    f[18] = char(140 + n % 40);
    f[28] = char(n % 256);
    f[34] = char(0x80);
    f[35] = char(0x3F);
    f[48] = 12;
    for (int i = 0; i < 12; ++i)
        f[50 + i] = char(n + i);
    seal(f);
    return f;
}

UwbAna::WidgetData* page()
{
    static QTemporaryDir dir;
    static UwbAna::WidgetData* p = [] {
        auto* models = new ModelManager(dir.filePath("uwbana.ini"), {ResourceType::Data, ResourceType::Line});
        UwbAna::ProtocolParameter::instance()->setModelManager(models);
        UwbAna::ProtocolFrame0::instance()->setActive(true);
        UwbAna::ProtocolFrame1::instance()->setActive(true);
        UwbAna::ProtocolParameter::instance()->setActive(true);
        auto* window = new QMainWindow;
        auto* w = new UwbAna::WidgetData(nullptr, UwbAna::lineCollector);
        window->setCentralWidget(w);
        window->resize(1600, 900);
        window->show();
        return w;
    }();
    return p;
}

void decode(benchmark::State& state, bool receive)
{
    UwbAna::WidgetData* p = page();
    const int frameBytes = receive ? 63 : 88;
    benchfeed::LineFeed feed(benchfeed::backToBack(2 * kChunk + benchfeed::kPiece,
                                                   receive ? &receiveFrame : &statusFrame),
                             frameBytes);
    qint64 frames = 0;
    for (auto _ : state) {
        feed.play100ms();
        state.PauseTiming();
        // The records that really reached the page's queues.
        frames += p->queuedRecords();
        if (p->queuedRecords() == 0)
            state.SkipWithError("no record reached the page");
        p->clear();
        p->refresh(); // empties the queues
        state.ResumeTiming();
    }
    state.SetItemsProcessed(frames);
    state.counters["bytes"] = double(feed.bytes);
    state.counters["line_frames/s"] = 350000.0 / frameBytes;
}

void BM_Frame0ToPageQueue(benchmark::State& s)
{
    decode(s, false);
}
void BM_Frame1ToPageQueue(benchmark::State& s)
{
    decode(s, true);
}

// One refresh of 1000 queued records: 100 status frames and 900 receive frames.
void BM_PageRefresh1000(benchmark::State& state)
{
    UwbAna::WidgetData* p = page();
    auto* f0 = UwbAna::ProtocolFrame0::instance();
    auto* f1 = UwbAna::ProtocolFrame1::instance();
    for (auto _ : state) {
        state.PauseTiming();
        for (int n = 0; n < 1000; ++n) {
            if (n % 10 == 0)
                f0->parseFrame(statusFrame(n));
            else
                f1->parseFrame(receiveFrame(n));
        }
        state.ResumeTiming();
        p->refresh();
        QCoreApplication::processEvents();
    }
    state.SetItemsProcessed(state.iterations() * 1000);
}

} // namespace

BENCHMARK(BM_Frame0ToPageQueue)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_Frame1ToPageQueue)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_PageRefresh1000)->Unit(benchmark::kMillisecond)->MinTime(2.0);

int main(int argc, char** argv)
{
    return benchfeed::runBenchmarks(argc, argv, nullptr);
}
