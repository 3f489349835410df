// The iot node frame: (a) decoding ten-node frames through the frame search and
// the processor into bare items (30 line writes a frame, export off), each
// iteration feeding 100 ms of a 3.5 Mbaud line (9 pieces of 4 KiB of back-to-back
// frames, the bytes fed counted), the counter x3.5Mbaud being device time over the
// CPU time taken, frames/s the records the parser queued;
// (b) one refresh of the node-grid page, shown in a window, taking a burst of
// queued ten-node records (the argument) and drawing it.
#include "FrameFeed.h"

#include <QMainWindow>

#include "model/ResourceItems.h"
#include "products/iot/IotProductHandle.h"
#include "products/iot/IotProtocolFrame0.h"
#include "products/iot/IotWidgetFrame0.h"
#include "protocol/ProtocolFactory.h"
#include "views/ModelViewManagers.h"

using iot::ProtocolFrame0;

namespace {

void put24(QByteArray& f, int o, qint32 v)
{
    f[o] = char(v & 0xFF);
    f[o + 1] = char((v >> 8) & 0xFF);
    f[o + 2] = char((v >> 16) & 0xFF);
}

// Frame n with ten nodes (ids 0x100 + slot), all values moving.
QByteArray tenNodeFrame(int n)
{
    QByteArray f(ProtocolFrame0::kFrameLength, '\0');
    f[0] = char(0x55);
    f[1] = char(0x01);
    for (int i = 0; i < ProtocolFrame0::kNodeSlots; ++i) {
        const int o = ProtocolFrame0::kFirstSlot + ProtocolFrame0::kSlotSize * i;
        const quint32 id = 0x100u + quint32(i);
        for (int b = 0; b < 4; ++b)
            f[o + b] = char((id >> (8 * b)) & 0xFF);
        f[o + 4] = char(n & 0xFF);
        put24(f, o + 5, 1000 * (i + 1) + n % 500);
        put24(f, o + 8, (n * 7 + i * 1000) % 90000 - 45000);
        put24(f, o + 11, (n * 3) % 20000 - 10000);
    }
    benchfeed::seal(f);
    return f;
}

// The protocol, loaded into a bare page model once for the whole run.
ProtocolFrame0* bareProtocol()
{
    static const bool loaded = [] {
        benchfeed::useBareModel({ResourceType::Data, ResourceType::Line});
        ProtocolFactory::createProtocols(iot::frameName(0), nullptr);
        return true;
    }();
    Q_UNUSED(loaded);
    ProtocolFrame0* protocol = ProtocolFrame0::instance();
    protocol->setActive(true);
    return protocol;
}

void BM_IotFrame0BareItems(benchmark::State& state)
{
    ProtocolFrame0* protocol = bareProtocol();
    benchfeed::LineFeed feed(benchfeed::backToBack(benchfeed::kLineBytesPerSecond, &tenNodeFrame));
    const quint64 queued0 = protocol->queue.pushedCount();
    const double cpu0 = benchfeed::cpuSeconds();
    for (auto _ : state) {
        feed.play100ms();
        protocol->queue.takeAll();
    }
    const double cpu = benchfeed::cpuSeconds() - cpu0;
    const quint64 frames = protocol->queue.pushedCount() - queued0;
    state.counters["x3.5Mbaud"] = benchfeed::lineMultiple(feed.bytes, cpu);
    state.counters["frames/s"] = double(frames) / std::max(cpu, 1e-9);
    state.counters["bytes"] = double(feed.bytes);
    if (protocol->nodeItems(0x109).dis == nullptr)
        state.SkipWithError("the frames were not decoded into items");
}

void BM_IotPageRefresh(benchmark::State& state)
{
    ProtocolFrame0* protocol = bareProtocol();
    protocol->processFrame(tenNodeFrame(0)); // the data item and its page factory
    protocol->queue.takeAll();
    DataResourceItem* item = protocol->dataItem();
    if (!item) {
        state.SkipWithError("no data item");
        return;
    }
    QMainWindow window;
    window.setCentralWidget(item->factory()->create(item, &window));
    window.centralWidget()->setVisible(true);
    window.resize(1400, 900);
    window.show();
    auto* page = static_cast<iot::WidgetFrame0*>(window.centralWidget());

    const int burst = int(state.range(0));
    QList<QByteArray> frames;
    for (int n = 0; n < burst; ++n)
        frames << tenNodeFrame(n);
    for (auto _ : state) {
        state.PauseTiming();
        for (const QByteArray& f : frames) {
            auto d = QSharedPointer<ProtocolFrame0::Data>::create();
            d->pcTime = 36000000;
            d->raw = f;
            d->nodes = ProtocolFrame0::decodeNodes(f.constData());
            protocol->queue.push(d);
        }
        state.ResumeTiming();
        page->refresh();
        page->rawConsole->flushPending();
        QCoreApplication::processEvents();
    }
    state.counters["records/s"] = benchmark::Counter(double(burst), benchmark::Counter::kIsIterationInvariantRate);
    if (page->nodes().value(0).size() != ProtocolFrame0::kNodeSlots)
        state.SkipWithError("the page shows no boxes");
}

} // namespace

BENCHMARK(BM_IotFrame0BareItems)->Unit(benchmark::kMillisecond)->MinTime(2.0);
// Argument: records taken by one refresh (at 50 Hz a 10 Hz refresh takes 5).
BENCHMARK(BM_IotPageRefresh)->Unit(benchmark::kMicrosecond)->Arg(5)->Arg(100)->Arg(1000);

int main(int argc, char** argv)
{
    return benchfeed::runBenchmarks(argc, argv, [](QApplication& app) {
        ModelViewManagers::createInstance(&app);
        iot::registerIotLine();
    });
}
