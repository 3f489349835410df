// Decoding node frame 2 and anchor frame 0 through the frame search and the
// processor, item writes included: (a) into bare items of a page model, the
// search and decoding called in turn on this thread; (b) with the page shown in a
// window, through the program's own path: the bytes appended as the serial port
// appends them, the search and the decoding on their worker threads, the refresh
// managers on their timers and the chart hand-over to the GUI thread, paced at
// the line rate. Each iteration feeds 100 ms of a 3.5 Mbaud line (9 chunks of
// 4 KiB of back-to-back frames; the bytes fed are counted); the counter x3.5Mbaud
// is device time over the CPU time taken, frames/s counts the records the parser
// queued. UDP output is on, as in the program (to a socket of this bench on
// 127.0.0.1); --udp off runs with it off.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QMainWindow>
#include <QTemporaryDir>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>
#include <unistd.h>
#include <sys/resource.h>

#include "TrelvanFrames.h"
#include "foundation/UserPaths.h"
#include "foundation/ZDemandTimer.h"
#include "foundation/ZThreadManager.h"
#include "foundation/ZTimerManager.h"
#include "foundation/ZUdpOutput.h"
#include "model/ModelManager.h"
#include "model/ResourceItems.h"
#include "products/trelvan/TrelvanRegistration.h"
#include "products/trelvan/protocols/ProtocolAnchorFrame0.h"
#include "products/trelvan/protocols/ProtocolNodeFrame2.h"
#include "protocol/ProtocolDataProcessor.h"
#include "protocol/ProtocolFactory.h"
#include "protocol/LinkServices.h"
#include "protocol/ProtocolFrameExtraction.h"
#include "protocol/ProtocolSeams.h"
#include "resources/init_resources.h"
#include "views/CustomTabWidget.h"
#include "views/ModelViewManagers.h"

#include <QElapsedTimer>
#include <QTabBar>
#include <QTimer>
#include <QUdpSocket>

using Trelvan::ProtocolAnchorFrame0;
using Trelvan::ProtocolNodeFrame2;

namespace {

constexpr int kLineBytesPerSecond = 350000; // 3.5 Mbaud, 10 bits a byte
constexpr int kChunk = 35000;               // 100 ms of the line

using benchframes::anchorFrame0;
using benchframes::nodeFrame2;
using benchframes::seal;

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

// Records the protocol has queued so far.
quint64 queued(bool anchor)
{
    return anchor ? ProtocolAnchorFrame0::instance()->queue.pushedCount()
                  : ProtocolNodeFrame2::instance()->queue.pushedCount();
}

template <typename P>
void drain(P* p)
{
    p->queue.takeAll();
}

// The live page runs the program's threads: search on slot 2, decoding on 3, the
// timer manager on 5, the chart pass on 4 (the refresh managers run at their
// default rates, set at start-up). Started once; the bare runs never start them.
void startProgramThreads()
{
    static bool started = false;
    if (started)
        return;
    started = true;
    initLinkServices(nullptr);
    ZThreadManager::instance()->moveToThread(ZTimerManager::instance(), 5);
    ZThreadManager::instance()->startThreads();
    ProtocolFrameExtraction::instance()->setEnabled(true);
}

bool g_udp = true;
QUdpSocket* g_udpSink = nullptr;

// UDP output as the program has it by default, to a port of this bench.
void setUdpOutput()
{
    if (!g_udpSink) {
        g_udpSink = new QUdpSocket;
        g_udpSink->bind(QHostAddress(QHostAddress::LocalHost), 0);
        udpOutputPort.store(g_udpSink->localPort());
    }
    udpOutputEnabled.store(g_udp);
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
    setUdpOutput();
    std::unique_ptr<QMainWindow> window;
    ModelViewManagers* pages = ModelViewManagers::instance();
    if (live) {
        startProgramThreads();
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
    if (live)
        ZThreadManager::instance()->runInThread(2, [ex] { ex->clearBuffers(); }, true);
    else
        ex->clearBuffers();
    qint64 offset = 0;
    qint64 bytes = 0;
    quint64 frames = 0;
    const quint64 queued0 = queued(anchor);
    const double cpu0 = cpuSeconds();
    QElapsedTimer wall;
    wall.start();
    qint64 due = 0;
    QTimer wake;
    if (live)
        wake.start(5);
    for (auto _ : state) {
        // 100 ms of the line, in 4 KiB chunks.
        for (int i = 0; i < kChunk; i += 4096) {
            const QByteArray chunk = second.mid(int(offset), 4096);
            ex->appendData(chunk);
            bytes += chunk.size();
            offset = (offset + 4096) % (second.size() - 4096);
            if (!live) {
                ex->extractFrames();
                processor->processFrames();
            }
        }
        if (live) {
            // At the line's pace: the refresh timers and the GUI thread's share run
            // as they would for this much device time; the iteration also waits
            // until the worker threads have decoded what was fed.
            // It sleeps between events (a 5 ms timer wakes it to look again).
            due += 100;
            while (wall.elapsed() < due || ex->passTimer()->isRunning() || processor->passTimer()->isRunning())
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        } else if (anchor) {
            frames += quint64(ProtocolAnchorFrame0::instance()->queue.takeAll().size());
        } else {
            frames += quint64(ProtocolNodeFrame2::instance()->queue.takeAll().size());
        }
    }
    const double cpu = cpuSeconds() - cpu0;
    if (live)
        frames = queued(anchor) - queued0;
    const double deviceSeconds = double(bytes) / kLineBytesPerSecond;
    state.counters["x3.5Mbaud"] = cpu > 0 ? deviceSeconds / cpu : 0;
    state.counters["frames/s"] = benchmark::Counter(double(frames) / std::max(cpu, 1e-9));
    state.counters["bytes"] = double(bytes);
    state.counters["frames"] = double(frames);
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

} // namespace

BENCHMARK(BM_NodeFrame2BareItems)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_AnchorFrame0BareItems)->Unit(benchmark::kMillisecond)->MinTime(2.0);
// Argument: the tab in front (0 frame page, 1 line charts, 2 2D scatter).
// The live cases are paced at the line rate: 10 s of wall (and device) time each.
BENCHMARK(BM_NodeFrame2LivePage)->Unit(benchmark::kMillisecond)->MinTime(10.0)->UseRealTime()->DenseRange(0, 2);
BENCHMARK(BM_AnchorFrame0LivePage)->Unit(benchmark::kMillisecond)->MinTime(10.0)->UseRealTime()->DenseRange(0, 2);

int main(int argc, char** argv)
{
    // --udp off: the figure without UDP output (the program's default is on).
    std::vector<char*> args;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--udp") == 0 && i + 1 < argc)
            g_udp = std::strcmp(argv[++i], "off") != 0;
        else
            args.push_back(argv[i]);
    }
    argc = int(args.size());
    argv = args.data();
    // Datagrams go to this machine only.
    qputenv("TALMENO_UDP_ADDRESS", "127.0.0.1");
    QApplication app(argc, argv);
    talmenoInitResources();
    initUserDataFolders();
    initViewServices(&app);
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
