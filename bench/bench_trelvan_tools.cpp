// The positioning node's tools: (a) NMEA 0183 sentences through the frame search
// and the processor (XOR check, split into fields, queued for the pages; the queues
// drained as the pages would), 100 ms of a 3.5 Mbaud line per iteration in 4 KiB
// chunks; (b) the DOP surfaces of four anchors over a 1000 x 1000 grid, without a
// graph (the series are filled, nothing is drawn).
#include "FrameFeed.h"

#include "foundation/UserPaths.h"
#include "model/ModelManager.h"
#include "products/trelvan/TrelvanRegistration.h"
#include "products/trelvan/tools/DopSurfaceGraph.h"
#include "products/trelvan/tools/ProtocolNmea0183.h"
#include "protocol/ProtocolDataProcessor.h"
#include "protocol/ProtocolFactory.h"
#include "protocol/ProtocolFrameExtraction.h"
#include "protocol/ProtocolSeams.h"
#include "resources/init_resources.h"
#include "views/ModelViewManagers.h"

#include <QApplication>
#include <QTemporaryDir>

#include <sys/resource.h>
#include <unistd.h>

namespace {

using benchfeed::cpuSeconds;
using benchfeed::kLineBytesPerSecond;

// "$" + body + "*hh\r\n".
QByteArray sentence(const QByteArray& body)
{
    quint8 x = 0;
    for (char c : body)
        x ^= quint8(c);
    return "$" + body + "*" + QByteArray::number(x, 16).rightJustified(2, '0').toUpper() + "\r\n";
}

ModelManager* g_bare = nullptr;
ModelManager* bareManager()
{
    return g_bare;
}

void BM_SentencesBareItems(benchmark::State& state)
{
    static QTemporaryDir dir;
    if (!g_bare)
        g_bare = new ModelManager(dir.filePath("bare.ini"), {ResourceType::Data});
    ProtocolSeams::setCurrentModelManagerLookup(&bareManager);
    ProtocolFactory::createProtocols(ProtocolFactory::kSentenceGroup, nullptr);
    const QList<ProtocolBase*> protocols = Trelvan::ProtocolNmea0183Manager::protocols();

    // Sentences of about 75 bytes, the three types in turn, values changing.
    // The pages' queues are drained every 100 ms of line time, as the pages would.
    QByteArray second;
    for (int n = 0; second.size() < kLineBytesPerSecond; ++n) {
        const QByteArray t = QByteArray::number(100000 + n % 86400) + ".00";
        switch (n % 3) {
        case 0: second += sentence("GPGGA," + t + ",3030.02484,N,11420.04339,E,1,08,0.85,20.5,M,-3.2,M,0.8,0000"); break;
        case 1: second += sentence("GPGSA,A,3,01,02,03,04,05,06,07,08,09,10,11,12,1.52,0.85,1.10" + QByteArray::number(n % 10)); break;
        default: second += sentence("GPRMC," + t + ",A,3030.02484,N,11420.04339,E,2.2,52.0,071226,3.1,W,A"); break;
        }
    }
    int sentences = 0;
    for (int at = 0; (at = second.indexOf('$', at)) >= 0; ++at)
        ++sentences;
    const double meanLength = double(second.size()) / sentences;

    benchfeed::LineFeed feed(second);
    qint64 parsed = 0;
    const double cpu0 = cpuSeconds();
    for (auto _ : state) {
        feed.play100ms();
        for (ProtocolBase* p : protocols)
            parsed += static_cast<Trelvan::ProtocolNmea0183Base*>(p)->queue.takeAll().size();
    }
    const double cpu = cpuSeconds() - cpu0;
    state.counters["x3.5Mbaud"] = benchfeed::lineMultiple(feed.bytes, cpu);
    // Sentences that came out of the pipeline, not the ones fed in.
    state.counters["sentences/s"] = benchmark::Counter(double(parsed) / std::max(cpu, 1e-9));
    state.SetLabel("mean sentence " + std::to_string(int(meanLength + 0.5)) + " bytes");
}

void BM_DopSurfaces1000x1000(benchmark::State& state)
{
    Trelvan::SurfaceGraph graph(nullptr);
    graph.xSteps = 1000;
    graph.ySteps = 1000;
    for (auto _ : state)
        graph.computeDopSurfaces();
    state.counters["points/s"] = benchmark::Counter(1e6, benchmark::Counter::kIsIterationInvariantRate);
}

} // namespace

BENCHMARK(BM_SentencesBareItems)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_DopSurfaces1000x1000)->Unit(benchmark::kMillisecond)->MinTime(3.0);

int main(int argc, char** argv)
{
    benchenv::usePrivateHome();
    QApplication app(argc, argv);
    talmenoInitResources();
    initUserDataFolders();
    ModelViewManagers::createInstance(&app);
    Trelvan::registerProtocols();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    // The page registry and its refresh workers are not taken apart in this
    // harness (no worker threads run): leave without static teardown.
    fflush(stdout);
    _exit(0);
}
