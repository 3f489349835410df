// Cost of the chart refresh for line series: copy of each changed item's values
// and one replace per series, and (with --whole-process) the CPU use of a whole
// process drawing a line container under a real display.
#include "BenchEnv.h"
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QThread>
#include <QTimer>
#include <QtCharts/QLineSeries>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <sys/resource.h>
#include <vector>

#include "ThreadCpu.h"
#include "foundation/UserPaths.h"
#include "model/ContainerItems.h"
#include "model/ResourceItemFactories.h"
#include "model/ResourceItems.h"
#include "resources/init_resources.h"
#include "views/ChartRefreshDriver.h"
#include "views/ChartUpdateHandover.h"
#include "views/LineContainer.h"
#include "views/LineResource.h"

namespace {

constexpr int kSeries = 10;
constexpr int kPoints = 500;
constexpr int kFps = 30;
constexpr int kRatePerSeries = 1000; // new values per second and series

// Series i at sample n (1000 a second): a sine of its own frequency in its own
// band of the Y axis (-1 to 11), so that ten distinct curves are drawn.
double sample(int i, long n)
{
    const double t = n / double(kRatePerSeries);
    return i + 0.5 + 0.45 * std::sin((1.0 + 0.37 * i) * 2.0 * M_PI * t + i);
}

struct Lines
{
    LineResourceItemFactory factory;
    std::vector<std::unique_ptr<LineResourceItem>> items;
    std::vector<std::unique_ptr<LineResource>> resources;

    Lines()
    {
        for (int i = 0; i < kSeries; ++i) {
            auto* item = static_cast<LineResourceItem*>(factory.createItem(nullptr));
            item->setData(1, QString("line%1").arg(i));
            item->setData(8, kPoints);
            items.emplace_back(item);
            resources.emplace_back(new LineResource(item));
            resources.back()->syncFromItem();
            for (int k = 0; k < kPoints; ++k)
                item->setData(6, sample(i, k));
        }
    }
};

double cpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// One tick at 30 fps: every series got 1000/30 new values; then the pass copies
// each series and replaces its points (no chart, so nothing is drawn).
void BM_LinePassCopyAndReplace(benchmark::State& state)
{
    Lines lines;
    ChartRefreshDriver driver;
    for (auto& r : lines.resources)
        driver.addResource(r.get());
    const int perTick = kRatePerSeries / kFps;
    long n = kPoints;
    for (auto _ : state) {
        state.PauseTiming();
        for (int k = 0; k < perTick; ++k, ++n)
            for (int i = 0; i < kSeries; ++i)
                lines.items[size_t(i)]->setData(6, sample(i, n));
        state.ResumeTiming();
        benchmark::DoNotOptimize(driver.refreshOnce());
    }
    // Time per tick times 30 ticks a second: the share of one core.
    state.counters["core_share_at_30fps"] =
        benchmark::Counter(double(state.iterations()) / kFps, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_LinePassCopyAndReplace)->Unit(benchmark::kMicrosecond);

// The same pass split as in the program: copies on a worker thread, replace on
// the GUI thread through the hand-over (measured together per tick).
void BM_LinePassThroughHandover(benchmark::State& state)
{
    Lines lines;
    ChartRefreshDriver driver;
    for (auto& r : lines.resources)
        driver.addResource(r.get());
    QThread worker;
    worker.start();
    QObject onWorker;
    onWorker.moveToThread(&worker);
    const int perTick = kRatePerSeries / kFps;
    long n = kPoints;
    for (auto _ : state) {
        state.PauseTiming();
        for (int k = 0; k < perTick; ++k, ++n)
            for (int i = 0; i < kSeries; ++i)
                lines.items[size_t(i)]->setData(6, sample(i, n));
        state.ResumeTiming();
        QMetaObject::invokeMethod(&onWorker, [&] { driver.refreshOnce(); }, Qt::BlockingQueuedConnection);
        benchmark::DoNotOptimize(ChartUpdateHandover::instance().flush());
    }
    worker.quit();
    worker.wait();
}
BENCHMARK(BM_LinePassThroughHandover)->Unit(benchmark::kMicrosecond);

// --whole-process SECONDS: a line container with the ten series on screen, a
// writer thread at 1 kHz per series, the pass on a worker thread at 30 fps.
// Prints the CPU time of the whole process per second of wall time, and per
// thread: the GUI thread apart from the OpenGL driver's. --no-view: the same
// without the container (no display needed); --snapshot FILE.png: the picture
// drawn at the end.
int wholeProcess(int seconds, bool draw, const QString& snapshot)
{
    initUserDataFolders();
    Lines lines;
    LineContainerItemFactory cf;
    std::unique_ptr<LineContainerItem> containerItem(static_cast<LineContainerItem*>(cf.createItem(nullptr)));
    containerItem->setData(0, QString("Bench"));
    std::unique_ptr<LineContainer> container;
    if (draw) {
        container.reset(new LineContainer(containerItem.get()));
        container->syncFromItem();
        for (auto& r : lines.resources)
            container->putResource(r.get());
        container->resize(1200, 700);
        container->show();
    }
    ChartRefreshDriver driver;
    for (auto& r : lines.resources)
        driver.addResource(r.get());
    QThread chartThread;
    chartThread.setObjectName("chart-pass");
    chartThread.start();
    driver.start(&chartThread, kFps);

    std::atomic<bool> stop{false};
    std::atomic<long> written{0};
    QThread* writer = QThread::create([&] {
        QElapsedTimer clock;
        clock.start();
        long n = 0;
        while (!stop.load()) {
            // Catch up to 1 kHz on the wall clock (sleeps are coarse).
            const long due = clock.elapsed();
            for (; n < due; ++n) {
                for (int i = 0; i < kSeries; ++i)
                    lines.items[size_t(i)]->setData(6, sample(i, kPoints + n));
            }
            QThread::usleep(500);
        }
        written = n;
    });
    writer->setObjectName("writer");

    // Item and chart creation is over: count from here.
    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < 1000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    const auto threads0 = benchcpu::sampleThreads();
    const double cpu0 = cpuSeconds();
    QElapsedTimer wall;
    wall.start();
    writer->start();
    QTimer::singleShot(seconds * 1000, qApp, &QCoreApplication::quit);
    QCoreApplication::exec();
    const auto threads1 = benchcpu::sampleThreads();
    const double cpu = cpuSeconds() - cpu0;
    const double secs = wall.elapsed() / 1000.0;
    stop = true;
    writer->wait();
    driver.stop();
    QMetaObject::invokeMethod(&driver, [&] { driver.moveToThread(qApp->thread()); }, Qt::BlockingQueuedConnection);
    chartThread.quit();
    chartThread.wait();
    delete writer;

    std::printf("whole process (%s): %.3f CPU s in %.2f s wall = %.1f%% of one core; "
                "values written per series %.0f/s; passes %llu, pass busy %.3f ms/s\n",
                draw ? "drawing" : "no view", cpu, secs, 100.0 * cpu / secs, written.load() / secs,
                static_cast<unsigned long long>(driver.passCount()), driver.busyNanoseconds() / 1e6 / secs);
    const benchcpu::Shares shares = benchcpu::difference(threads0, threads1);
    std::printf("per thread, share of one core: GUI thread %.1f%%, OpenGL driver threads %.1f%%, others %.1f%%\n",
                100.0 * shares.gui / secs, 100.0 * shares.gl / secs, 100.0 * shares.other / secs);
    for (auto it = shares.byName.cbegin(); it != shares.byName.cend(); ++it)
        if (it.value() > 0)
            std::printf("  %-16s %.1f%%\n", qPrintable(it.key()), 100.0 * it.value() / secs);
    if (container && !snapshot.isEmpty()) {
        // The picture after the writer stopped and the last pass was drawn.
        driver.refreshOnce(); // back on this thread by now
        QElapsedTimer drawn;
        drawn.start();
        while (drawn.elapsed() < 300)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        container->grab().save(snapshot);
    }
    if (container)
        for (auto& r : lines.resources)
            container->takeResource(r.get());
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    benchenv::usePrivateHome();
    int wholeSeconds = 0;
    bool draw = true;
    QString snapshot;
    std::vector<char*> rest;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--whole-process") == 0 && i + 1 < argc) {
            wholeSeconds = std::atoi(argv[++i]);
        } else if (std::strcmp(argv[i], "--snapshot") == 0 && i + 1 < argc) {
            snapshot = QString::fromLocal8Bit(argv[++i]);
        } else if (std::strcmp(argv[i], "--no-view") == 0) {
            draw = false;
        } else {
            rest.push_back(argv[i]);
        }
    }
    // Without a view nothing is drawn: no display is needed.
    if ((wholeSeconds == 0 || !draw) && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    int n = int(rest.size());
    QApplication app(n, rest.data());
    talmenoInitResources();
    if (wholeSeconds > 0)
        return wholeProcess(wholeSeconds, draw, snapshot);
    benchmark::Initialize(&n, rest.data());
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
