// Multi-zone range frames: (a) decoding 4 x 4 and 8 x 8 zone frames through the
// frame search and the processor into bare items of a page model (every line
// write, no export), each iteration 100 ms of a 3.5 Mbaud line of back-to-back
// frames; the counter x3.5Mbaud is device time over the CPU time taken. (b) One
// refresh of the zone-matrix page for one new 64-zone frame: the console line, the
// decode of the newest record and both surfaces' setData (drawn through OpenGL
// when the run has a display, e.g. under xvfb-run).
#include "FrameFeed.h"

#include <QElapsedTimer>

#include "model/ResourceItems.h"
#include "products/parvo/ParvoProtocolFrame0.h"
#include "products/parvo/ParvoSurfaceGraph.h"
#include "products/parvo/ParvoWidgetPixelData.h"
#include "products/sarvel/RangeSensorTables.h"
#include "protocol/ProtocolFactory.h"
#include "views/ModelViewManagers.h"
#include "widgets/PlainTextEditWithFile.h"

#include <cmath>

namespace {

// Zone frame n of a pixel mode: a slanted surface that moves, varying strengths.
QByteArray zoneFrame(int pixelMode, int n)
{
    const int side = Parvo::zoneSide(pixelMode);
    QByteArray f(Parvo::frameLength(pixelMode), '\0');
    f[0] = char(0x57);
    f[1] = char(0x01);
    f[3] = char(1);
    const quint32 t = quint32(1000 + 33 * n);
    for (int i = 0; i < 4; ++i)
        f[4 + i] = char((t >> (8 * i)) & 0xFF);
    for (int z = 0; z < side * side; ++z) {
        const int o = Parvo::kZoneOffset + Parvo::kZoneRecordSize * z;
        const quint32 um = quint32(1200000 + 100000 * (z % side) + 60000 * (z / side) + (n * 997) % 200000);
        f[o] = char(um & 0xFF);
        f[o + 1] = char((um >> 8) & 0xFF);
        f[o + 2] = char((um >> 16) & 0xFF);
        f[o + 3] = char((n + z) & 0xFF);
        const quint16 s = quint16(1000 + 400 * (z / side) + 250 * (z % side) + n % 500);
        f[o + 4] = char(s & 0xFF);
        f[o + 5] = char(s >> 8);
    }
    benchfeed::seal(f);
    return f;
}

void bareItems(benchmark::State& state, int pixelMode)
{
    benchfeed::useBareModel({ResourceType::Data, ResourceType::Line});
    const QString name = Parvo::frameName(quint8(pixelMode));
    ProtocolFactory::createProtocols(name, nullptr);
    Parvo::ZoneFrameProtocol* protocol = Parvo::existingZoneProtocol(pixelMode);
    protocol->setActive(true);

    benchfeed::LineFeed feed(benchfeed::backToBack(benchfeed::kLineBytesPerSecond,
                                                   [pixelMode](int n) { return zoneFrame(pixelMode, n); }));
    auto queued = [pixelMode] {
        return pixelMode == Parvo::kPixel4x4 ? Parvo::ProtocolFrame0_16::instance()->queue.pushedCount()
                                             : Parvo::ProtocolFrame0_64::instance()->queue.pushedCount();
    };
    const quint64 queued0 = queued();
    const double cpu0 = benchfeed::cpuSeconds();
    for (auto _ : state) {
        feed.play100ms();
        // The page would take the records at its refresh.
        if (pixelMode == Parvo::kPixel4x4)
            Parvo::ProtocolFrame0_16::instance()->takeAll();
        else
            Parvo::ProtocolFrame0_64::instance()->takeAll();
    }
    const double cpu = benchfeed::cpuSeconds() - cpu0;
    const quint64 frames = queued() - queued0;
    state.counters["x3.5Mbaud"] = benchfeed::lineMultiple(feed.bytes, cpu);
    state.counters["frames/s"] = double(frames) / std::max(cpu, 1e-9);
    state.counters["bytes"] = double(feed.bytes);
    state.SetLabel(QString("%1 line items").arg(protocol->collector()->items().size()).toStdString());
    protocol->setActive(false);
}

void BM_Zone16BareItems(benchmark::State& s)
{
    bareItems(s, Parvo::kPixel4x4);
}
void BM_Zone64BareItems(benchmark::State& s)
{
    bareItems(s, Parvo::kPixel8x8);
}

// One refresh of a shown 8 x 8 page for one new frame; with argument 1 the events
// that follow it run too (the console write and the surfaces' redraw).
void BM_Zone64PageRefresh(benchmark::State& state)
{
    const bool drawn = state.range(0) == 1;
    QVector<QByteArray> frames;
    for (int n = 0; n < 64; ++n)
        frames << zoneFrame(Parvo::kPixel8x8, n);
    Parvo::DataList<Parvo::kPixel8x8> pending;
    Parvo::WidgetPixelData<Parvo::kPixel8x8> page(
        [&pending] {
            Parvo::DataList<Parvo::kPixel8x8> taken;
            taken.swap(pending);
            return taken;
        },
        nullptr, nullptr, nullptr);
    page.resize(1200, 800);
    page.show();
    QElapsedTimer shown;
    shown.start();
    while (shown.elapsed() < 300)
        QCoreApplication::processEvents();
    state.SetLabel(std::string(page.distanceSurface()->graph() ? "OpenGL surfaces" : "no OpenGL context")
                   + (drawn ? ", redrawn" : ""));
    int n = 0;
    for (auto _ : state) {
        pending.append(QSharedPointer<Parvo::Data<Parvo::kPixel8x8>>::create(n, frames.at(n % frames.size())));
        page.refresh();
        if (drawn) {
            page.console()->flushPending();
            QCoreApplication::processEvents();
        }
        ++n;
    }
    page.console()->flushPending();
}

} // namespace

BENCHMARK(BM_Zone16BareItems)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_Zone64BareItems)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_Zone64PageRefresh)->Unit(benchmark::kMicrosecond)->MinTime(2.0)->Arg(0)->Arg(1);

int main(int argc, char** argv)
{
    return benchfeed::runBenchmarks(argc, argv, [](QApplication& app) {
        ModelViewManagers::createInstance(&app);
        Parvo::registerZoneFrames();
    });
}
