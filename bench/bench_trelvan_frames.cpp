// Decoding node frame 2 and anchor frame 0 through the frame search and the
// processor, item writes included: (a) into bare items of a page model, (b) with
// the page shown in a window, its frame page and charts redrawn as the refresh
// managers would, 10 data passes and 30 chart passes per second of device time.
// Each iteration feeds 100 ms of a 3.5 Mbaud line (35,000 bytes of back-to-back
// frames); the counter x3.5Mbaud is device time over CPU time taken.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QMainWindow>
#include <QTemporaryDir>

#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>
#include <sys/resource.h>

#include "foundation/UserPaths.h"
#include "model/ModelManager.h"
#include "model/ResourceItems.h"
#include "foundation/ZUdpOutput.h"
#include "products/trelvan/TrelvanRegistration.h"
#include "products/trelvan/config/ProtocolParameter.h"
#include "products/trelvan/protocols/ProtocolAnchorFrame0.h"
#include "products/trelvan/protocols/ProtocolNodeFrame2.h"
#include "protocol/ProtocolDataProcessor.h"
#include "protocol/ProtocolFactory.h"
#include "protocol/ProtocolFrameExtraction.h"
#include "protocol/ProtocolSeams.h"
#include "resources/init_resources.h"
#include "views/CustomTabWidget.h"
#include "views/ModelViewManagers.h"

#include <QTabBar>
#include <QElapsedTimer>

using Trelvan::ProtocolAnchorFrame0;
using Trelvan::ProtocolNodeFrame2;

namespace {

constexpr int kLineBytesPerSecond = 350000; // 3.5 Mbaud, 10 bits a byte
constexpr int kChunk = 35000;               // 100 ms of the line

void seal(QByteArray& f)
{
    quint8 sum = 0;
    for (int i = 0; i < f.size() - 1; ++i)
        sum = quint8(sum + quint8(f[i]));
    f[f.size() - 1] = char(sum);
}

// A tag at frame n with four anchors in view.
QByteArray nodeFrame2(int n)
{
    ProtocolNodeFrame2::Frame_t f;
    f.role = 2;
    f.systemTime = quint32(1000 + 10 * n);
    f.localTime = f.systemTime + 7;
    const qint32 pos[3] = {5000 + (n % 700), 4000 - (n % 500), 1000};
    for (int a = 0; a < 3; ++a)
        for (int b = 0; b < 3; ++b)
            f.pos[3 * a + b] = quint8((quint32(pos[a]) >> (8 * b)) & 0xFF);
    f.g[2] = 0.7f;
    f.a[2] = 9.81f;
    f.angle[2] = qint16(n % 36000 - 18000);
    f.q[0] = 1.0f;
    f.plr = 600;
    f.voltage = 3700;
    f.nodeCount = 4;
    QByteArray b(reinterpret_cast<const char*>(&f), sizeof f);
    for (int k = 0; k < 4; ++k) {
        ProtocolNodeFrame2::Node_t r;
        r.role = 1;
        r.id = quint8(k);
        const quint32 d = quint32(3000 + 100 * k + n % 200);
        r.dis[0] = quint8(d);
        r.dis[1] = quint8(d >> 8);
        r.fpRssi = quint8(160 + k);
        r.rxRssi = quint8(150 + k);
        b.append(reinterpret_cast<const char*>(&r), sizeof r);
    }
    b.append('\0');
    const quint16 length = quint16(b.size());
    b[2] = char(length & 0xFF);
    b[3] = char(length >> 8);
    seal(b);
    return b;
}

// An anchor reporting five tags (slots 0, 3, 7, 12, 20).
QByteArray anchorFrame0(int n)
{
    ProtocolAnchorFrame0::Frame_t f;
    for (auto& slot : f.nodes)
        slot.id = 0xFF;
    const int used[5] = {0, 3, 7, 12, 20};
    for (int t = 0; t < 5; ++t) {
        ProtocolAnchorFrame0::Node_t& r = f.nodes[used[t]];
        r.id = quint8(10 + t);
        r.role = 2;
        const quint32 x = quint32(1000 * t + n % 900);
        r.pos[0] = quint8(x);
        r.pos[1] = quint8(x >> 8);
        for (int k = 0; k < 8; ++k)
            r.dis[k] = quint16(300 + 10 * k + n % 50);
    }
    f.systemTime = quint32(1000 + 10 * n);
    f.plr = 600;
    f.voltage = 3700;
    f.role = 1;
    return QByteArray(reinterpret_cast<const char*>(&f), sizeof f);
}

QByteArray lineSecond(bool anchor)
{
    QByteArray all;
    for (int n = 0; all.size() < kLineBytesPerSecond; ++n)
        all += anchor ? anchorFrame0(n) : nodeFrame2(n);
    return all;
}

double cpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

ModelManager* g_bare = nullptr;
ModelManager* bareManager()
{
    return g_bare;
}

template <typename P>
void drain(P* p)
{
    p->queue.takeAll();
}

void run(benchmark::State& state, bool anchor, bool live)
{
    static QTemporaryDir dir;
    ProtocolFrameExtraction* ex = ProtocolFrameExtraction::instance();
    ProtocolDataProcessor* processor = ProtocolDataProcessor::instance();
    const QString name = anchor ? "Vexa_Trelvan_Anchor_Frame0" : "Vexa_Trelvan_Node_Frame2";
    const QList<ResourceType> types{ResourceType::Data, ResourceType::Line, ResourceType::Scatter,
                                    ResourceType::Attitude, ResourceType::Scatter3D};
    // A protocol makes its items once, in the page current at its first frame: the
    // bare and the live figures each need a process of their own.
    static int mode = -1;
    if (mode == -1)
        mode = live ? 1 : 0;
    if (mode != (live ? 1 : 0)) {
        state.SkipWithError("run with --benchmark_filter=BareItems or --benchmark_filter=LivePage");
        return;
    }
    std::unique_ptr<QMainWindow> window;
    ModelViewManagers* pages = ModelViewManagers::instance();
    if (live) {
        window.reset(new QMainWindow);
        window->setCentralWidget(pages->pageStack());
        window->resize(1400, 900);
        window->show();
        ProtocolSeams::setCurrentModelManagerLookup(&ModelViewManagers::currentModelManager);
        ProtocolFactory::createProtocols(name, window.get());
        QElapsedTimer shown;
        shown.start();
        while (shown.elapsed() < 500)
            QCoreApplication::processEvents();
        // The tab of the page in front: 0 the frame page, then the chart kinds.
        for (CustomTabWidget* tabs : window->findChildren<CustomTabWidget*>())
            if (tabs->isVisible() && tabs->count() > 1 && tabs->tabBar()->tabText(0).startsWith("Data")) {
                const int tab = qMin(int(state.range(0)), tabs->count() - 1);
                tabs->setCurrentPage(tabs->page(tab));
                state.SetLabel(tabs->tabBar()->tabText(tab).section(' ', 0, 0).toStdString() + " of " +
                               std::to_string(tabs->count()));
                break;
            }
        QCoreApplication::processEvents();
    } else {
        // One page model for the whole run: the protocol keeps its items.
        if (!g_bare)
            g_bare = new ModelManager(dir.filePath("bare.ini"), types);
        ProtocolSeams::setCurrentModelManagerLookup(&bareManager);
        ProtocolFactory::createProtocols(name, nullptr);
    }
    ProtocolBase* protocol = anchor ? static_cast<ProtocolBase*>(ProtocolAnchorFrame0::instance())
                                    : static_cast<ProtocolBase*>(ProtocolNodeFrame2::instance());
    protocol->setActive(true);

    const QByteArray second = lineSecond(anchor);
    ex->clearBuffers();
    qint64 offset = 0;
    qint64 bytes = 0;
    int tick = 0;
    const double cpu0 = cpuSeconds();
    for (auto _ : state) {
        // 100 ms of the line, in 4 KiB chunks.
        for (int i = 0; i < kChunk; i += 4096) {
            ex->appendData(second.mid(int(offset), 4096));
            offset = (offset + 4096) % (second.size() - 4096);
            ex->extractFrames();
            processor->processFrames();
        }
        bytes += kChunk;
        if (live) {
            // One data pass and three chart passes per 100 ms.
            pages->dataRefreshManager()->refresh();
            for (int k = 0; k < 3; ++k)
                pages->chartRefreshManager()->refresh();
            QCoreApplication::processEvents();
        } else if (anchor) {
            drain(ProtocolAnchorFrame0::instance());
        } else {
            drain(ProtocolNodeFrame2::instance());
        }
        ++tick;
    }
    const double cpu = cpuSeconds() - cpu0;
    const double deviceSeconds = double(bytes) / kLineBytesPerSecond;
    state.counters["x3.5Mbaud"] = cpu > 0 ? deviceSeconds / cpu : 0;
    state.counters["frames/s"] = benchmark::Counter(double(bytes) / (anchor ? 896 : 172) / std::max(cpu, 1e-9));
    protocol->setActive(false);
    if (window)
        window->takeCentralWidget();
}

void BM_NodeFrame2BareItems(benchmark::State& s)
{
    run(s, false, false);
}
void BM_AnchorFrame0BareItems(benchmark::State& s)
{
    run(s, true, false);
}
void BM_NodeFrame2LivePage(benchmark::State& s)
{
    run(s, false, true);
}
void BM_AnchorFrame0LivePage(benchmark::State& s)
{
    run(s, true, true);
}

// Parameter replies (128 bytes) back to back through the search and the processor,
// each parsed and sent as its "param_frame" JSON text to 127.0.0.1.
void BM_ParameterReplyWithJson(benchmark::State& state)
{
    qputenv("TALMENO_UDP_ADDRESS", "127.0.0.1");
    udpOutputPort.store(33000);
    udpOutputEnabled.store(true);
    Trelvan::ProtocolParameter* p = Trelvan::ProtocolParameter::instance(nullptr);
    p->setActive(true);
    QByteArray second;
    for (int n = 0; second.size() < kLineBytesPerSecond; ++n) {
        Trelvan::ParameterFrame f;
        f.setRole(1);
        f.setId(quint8(n));
        f.setAppMode(0x00);
        f.setProtocol(0);
        f.setBaudRate(3000000);
        f.setRefreshRate(10);
        f.setSystemTime(quint32(1000 + n));
        f.seal();
        second += f.toByteArray();
    }
    ProtocolFrameExtraction* ex = ProtocolFrameExtraction::instance();
    ProtocolDataProcessor* processor = ProtocolDataProcessor::instance();
    ex->clearBuffers();
    qint64 offset = 0;
    qint64 bytes = 0;
    const double cpu0 = cpuSeconds();
    for (auto _ : state) {
        for (int i = 0; i < kChunk; i += 4096) {
            ex->appendData(second.mid(int(offset), 4096));
            offset = (offset + 4096) % (second.size() - 4096);
            ex->extractFrames();
            processor->processFrames();
        }
        bytes += kChunk;
        // The queued reply checks are what the GUI thread would run.
        QCoreApplication::processEvents();
    }
    const double cpu = cpuSeconds() - cpu0;
    state.counters["x3.5Mbaud"] = cpu > 0 ? double(bytes) / kLineBytesPerSecond / cpu : 0;
    state.counters["frames/s"] = benchmark::Counter(double(bytes) / 128 / std::max(cpu, 1e-9));
    p->setActive(false);
    udpOutputEnabled.store(false);
}

} // namespace

BENCHMARK(BM_ParameterReplyWithJson)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_NodeFrame2BareItems)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_AnchorFrame0BareItems)->Unit(benchmark::kMillisecond)->MinTime(2.0);
// Argument: the tab in front (0 frame page, 1 line charts, 2 2D scatter).
BENCHMARK(BM_NodeFrame2LivePage)->Unit(benchmark::kMillisecond)->MinTime(3.0)->DenseRange(0, 2);
BENCHMARK(BM_AnchorFrame0LivePage)->Unit(benchmark::kMillisecond)->MinTime(3.0)->DenseRange(0, 2);

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    talmenoInitResources();
    initUserDataFolders();
    ModelViewManagers::createInstance(&app);
    Trelvan::registerProtocols();
    ProtocolNodeFrame2::registerProtocol();
    ProtocolAnchorFrame0::registerProtocol();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    // The page registry and its refresh workers are not taken apart in this
    // harness (no worker threads run): leave without static teardown.
    fflush(stdout);
    _exit(0);
}
