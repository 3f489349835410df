// Latency from a frame written to a pty to its decoded values, through the whole
// live path: a writer thread of its own writes anchor frames 0 to the master side
// of a pty at a fixed rate; the program's serial port reads the slave side on the
// GUI thread; the search and the decoding run on their worker threads; the page of
// the frame is shown with a chosen tab in front and redrawn by the refresh
// managers; the parser's UDP datagram (to 127.0.0.1, a port of this bench) marks
// the moment the frame was decoded. A receiver thread of its own stamps it.
//
//   bench_latency [--hz 100] [--frames 10000] [--tab 0] [--series N] [--skip-ms 2000]
//                 [--snapshot FILE.png] [--size WxH]
// --size sets the window's size; by default it is the size the program's main
// window opens with on this screen.
// --series N keeps only the first N line series of the tab checked (drawn).
//
// Prints p50, p99 and max after the first --skip-ms (item and page creation),
// the same for the start-up frames apart, the load average, and the CPU share of
// each thread group while measuring.
//
// The same harness serves the memory soak (bench/soak_memory.sh):
//   bench_latency --write-stream FILE --frames N [--flood KIND]   node frames 2 (or
//                 KIND's frames, node1-real for T_0..T_4) into FILE
//   bench_latency --soak SECONDS --port PATH [--tabs 1,2] [--every 10] [--switch 60]
// opens PATH (a simulator streaming that file), shows the node frame 2 page with
// the tabs in front in turn, and prints the resident set every --every seconds.
//
// A burst of false heads in the anchor frame 0 stream (the latency run above):
//   bench_latency --hz 100 --frames 1000 --burst 132000 [--burst-at 500]
// writes HEADS heads "55 02 FF FF" in one write before frame --burst-at and prints
// the longest gap between two datagrams and the delay of the frames behind it.
//
// Floods of fresh node keys through the live path (see runFlood):
//   bench_latency --flood KIND [--rate 200] [--seconds 60] [--tab 0] [--every 5]
//                 [--real-seconds 10 [--real-first-id 0]] [--first-frame N (sent twice, 1 s apart)]
// KIND: node1-fresh, node1-fixed, node1-installation, node1-random, iot-fresh, iot-fixed, node4-fresh, node4-mode12.
//   bench_latency --check node1-fresh [--frames 12000] [--piece 4096] [--stall-every R --stall-ms 150]
// feeds KIND's stream (Trelvan kinds) through the frame search and the decoding on
// one thread, in reads of --piece bytes (with a pause in the input after every R
// reads), and names every frame not decoded.
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QMainWindow>
#include <QScreen>
#include <QSet>
#include <QTabBar>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <pty.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "FloodFrames.h"
#include "ThreadCpu.h"
#include "TrelvanFrames.h"
#include "app/MainWindow.h"
#include "foundation/UserPaths.h"
#include "foundation/ZThreadManager.h"
#include "foundation/ZTimerManager.h"
#include "foundation/ZUdpOutput.h"
#include "link/ZSerialPort.h"
#include "model/ModelManager.h"
#include "products/iot/IotProductHandle.h"
#include "products/trelvan/views/WidgetNodeFrame1.h"
#include "products/trelvan/views/WidgetNodeFrame4.h"
#include "widgets/ZLabel.h"
#include "products/trelvan/TrelvanRegistration.h"
#include "protocol/LinkServices.h"
#include "protocol/ProtocolDataProcessor.h"
#include "protocol/ProtocolFactory.h"
#include "protocol/ProtocolFrameExtraction.h"
#include "protocol/ProtocolSeams.h"
#include "resources/init_resources.h"
#include "model/ResourceItems.h"
#include "views/BaseResource.h"
#include "views/ChartDrawBudget.h"
#include "views/CustomTabWidget.h"
#include "views/LineContainer.h"
#include "views/ModelViewManagers.h"

using Clock = std::chrono::steady_clock;

namespace {

struct Options
{
    int hz = 100;
    int frames = 10000;
    int tab = 0;
    int skipMs = 2000;
    QString writeStream;
    int soakSeconds = 0;
    QString port;
    QList<int> tabs{1, 2};
    int everySeconds = 10;
    int switchSeconds = 60;
    QString snapshot;
    QSize size; // empty: the size the program's main window opens with on this screen
    int series = 0; // 0: every series of the tab; otherwise only the first ones shown
    int burst = 0;    // false heads written before frame burstAt
    int burstAt = -1; // -1: the middle of the run
    QString flood;
    int rate = 200;
    int seconds = 60;
    int realSeconds = 0;  // node1 floods: then T_0..T_4 at 10 Hz for this long
    int realFirstId = 0;  // the real tags' ids: this one and the four after it
    int firstFrame = 0;   // node1: a first frame of this many new nodes before the flood
    QString check;
    int piece = 4096;
    int stallEvery = 0; // --check: after every this many reads, no input for stallMs
    int stallMs = 150;
};

Options parse(int argc, char** argv)
{
    Options o;
    for (int i = 1; i + 1 < argc; i += 2) {
        const QString key = QString::fromLocal8Bit(argv[i]);
        const QString value = QString::fromLocal8Bit(argv[i + 1]);
        if (key == "--hz")
            o.hz = value.toInt();
        else if (key == "--frames")
            o.frames = value.toInt();
        else if (key == "--tab")
            o.tab = value.toInt();
        else if (key == "--skip-ms")
            o.skipMs = value.toInt();
        else if (key == "--write-stream")
            o.writeStream = value;
        else if (key == "--soak")
            o.soakSeconds = value.toInt();
        else if (key == "--port")
            o.port = value;
        else if (key == "--every")
            o.everySeconds = value.toInt();
        else if (key == "--series")
            o.series = value.toInt();
        else if (key == "--snapshot")
            o.snapshot = value;
        else if (key == "--size")
            o.size = QSize(value.section('x', 0, 0).toInt(), value.section('x', 1, 1).toInt());
        else if (key == "--burst")
            o.burst = value.toInt();
        else if (key == "--burst-at")
            o.burstAt = value.toInt();
        else if (key == "--flood")
            o.flood = value;
        else if (key == "--rate")
            o.rate = value.toInt();
        else if (key == "--seconds")
            o.seconds = value.toInt();
        else if (key == "--real-seconds")
            o.realSeconds = value.toInt();
        else if (key == "--check")
            o.check = value;
        else if (key == "--stall-every")
            o.stallEvery = value.toInt();
        else if (key == "--stall-ms")
            o.stallMs = value.toInt();
        else if (key == "--piece")
            o.piece = value.toInt();
        else if (key == "--real-first-id")
            o.realFirstId = value.toInt();
        else if (key == "--first-frame")
            o.firstFrame = value.toInt();
        else if (key == "--switch")
            o.switchSeconds = value.toInt();
        else if (key == "--tabs") {
            o.tabs.clear();
            for (const QString& t : value.split(','))
                o.tabs << t.toInt();
        } else {
            std::fprintf(stderr, "unknown option %s\n", argv[i]);
            std::exit(2);
        }
    }
    return o;
}

QString loadAverage()
{
    QFile f("/proc/loadavg");
    if (!f.open(QIODevice::ReadOnly))
        return "?";
    return QString::fromLatin1(f.readLine()).section(' ', 0, 2);
}

double residentMiB()
{
    QFile f("/proc/self/status");
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    return 0;
}

// The window with the page stack, the frame group's page made and the tab in front.
struct LivePage
{
    std::unique_ptr<QMainWindow> window;
    CustomTabWidget* tabs = nullptr;

    LivePage(const QString& group, QSize size)
    {
        window.reset(new QMainWindow);
        window->setCentralWidget(ModelViewManagers::instance()->pageStack());
        if (size.isEmpty() && QGuiApplication::primaryScreen())
            MainWindow::initialSize(QGuiApplication::primaryScreen()->availableSize(), &size);
        window->resize(size.isEmpty() ? QSize(1400, 900) : size);
        window->show();
        ProtocolSeams::setCurrentModelManagerLookup(&ModelViewManagers::currentModelManager);
        ProtocolFactory::createProtocols(group, window.get());
        QElapsedTimer shown;
        shown.start();
        while (shown.elapsed() < 500)
            QCoreApplication::processEvents();
        for (CustomTabWidget* t : window->findChildren<CustomTabWidget*>())
            if (t->isVisible() && t->count() > 1 && t->tabBar()->tabText(0).startsWith("Data"))
                tabs = t;
    }

    QString show(int tab)
    {
        if (!tabs)
            return "no tabs";
        const int index = qBound(0, tab, tabs->count() - 1);
        tabs->setCurrentPage(tabs->page(index));
        return tabs->tabBar()->tabText(index);
    }

    // Unchecks every line series of the shown containers after the first keep.
    int keepSeries(int keep)
    {
        int shown = 0;
        for (LineContainer* c : window->findChildren<LineContainer*>()) {
            if (!c->isVisible())
                continue;
            for (BaseResource* r : c->resources()) {
                if (shown < keep)
                    ++shown;
                else
                    r->item()->setData(BaseResourceItem::ColVisible, false);
            }
        }
        return shown;
    }
};

// Starts what the program starts: worker threads, search and decoding on slots 2
// and 3, the timer manager on 5, the refresh managers at their default rates.
void startServices()
{
    initLinkServices(nullptr);
    initViewServices(qApp);
    Trelvan::registerProtocols();
    ZThreadManager::instance()->moveToThread(ZTimerManager::instance(), 5);
    ZThreadManager::instance()->startThreads();
    ProtocolFrameExtraction::instance()->setEnabled(true);
}

void connectPort(ZSerialPort& port, const QString& path)
{
    port.setPortName(path);
    if (!port.open(3)) {
        std::fprintf(stderr, "cannot open %s\n", qPrintable(path));
        std::exit(1);
    }
    port.setBaudRate(3500000);
    searchPortData(&port);
}

struct Stats
{
    int count = 0;
    double p50 = 0, p99 = 0, max = 0;
};

Stats stats(std::vector<double> ms)
{
    Stats s;
    s.count = int(ms.size());
    if (ms.empty())
        return s;
    std::sort(ms.begin(), ms.end());
    auto at = [&](double q) { return ms[std::min(ms.size() - 1, size_t(q * double(ms.size() - 1) + 0.5))]; };
    s.p50 = at(0.50);
    s.p99 = at(0.99);
    s.max = ms.back();
    return s;
}

// The system time in a datagram of anchor frame 0, or -1.
long systemTimeIn(const char* text, int size)
{
    static const char key[] = "\"system_time\":";
    const char* at = static_cast<const char*>(memmem(text, size_t(size), key, sizeof key - 1));
    if (!at)
        return -1;
    return std::strtol(at + sizeof key - 1, nullptr, 10);
}

// A socket of this bench on 127.0.0.1 that the program's JSON datagrams go to (its
// receive calls time out after 200 ms), or -1.
int openDatagramReceiver()
{
    const int udp = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    if (udp < 0 || bind(udp, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0
        || getsockname(udp, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
        std::perror("udp socket");
        return -1;
    }
    const int bigBuffer = 8 << 20;
    setsockopt(udp, SOL_SOCKET, SO_RCVBUF, &bigBuffer, sizeof bigBuffer);
    timeval timeout{0, 200000};
    setsockopt(udp, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    udpOutputPort.store(ntohs(addr.sin_port));
    udpOutputEnabled.store(true);
    return udp;
}

int latency(const Options& o)
{
    startServices();
    LivePage page("Vexa_Trelvan_Anchor_Frame0", o.size);
    QString shown = page.show(o.tab);

    // The receiver, read by a thread of its own.
    const int udp = openDatagramReceiver();
    if (udp < 0)
        return 1;

    int master = -1, slave = -1;
    char slaveName[256] = {};
    if (openpty(&master, &slave, slaveName, nullptr, nullptr) != 0) {
        std::perror("openpty");
        return 1;
    }
    ZSerialPort port;
    connectPort(port, QString::fromLocal8Bit(slaveName));

    const int total = o.frames + o.skipMs * o.hz / 1000;
    std::vector<Clock::time_point> sentAt(static_cast<size_t>(total));
    std::vector<Clock::time_point> receivedAt(static_cast<size_t>(total));
    std::vector<char> got(static_cast<size_t>(total), 0);
    std::atomic<bool> stopReceiver{false};
    std::atomic<bool> writerDone{false};
    std::atomic<int> datagrams{0};

    // The longest time between two datagrams, and when it ended.
    double longestGapMs = 0;
    Clock::time_point lastDatagram{}, longestGapEnd{};
    std::thread receiver([&] {
        char buffer[65536];
        while (!stopReceiver.load()) {
            const ssize_t n = recv(udp, buffer, sizeof buffer, 0);
            if (n <= 0)
                continue;
            const Clock::time_point now = Clock::now();
            if (lastDatagram != Clock::time_point{}) {
                const double gap = std::chrono::duration<double, std::milli>(now - lastDatagram).count();
                if (gap > longestGapMs) {
                    longestGapMs = gap;
                    longestGapEnd = now;
                }
            }
            lastDatagram = now;
            const long t = systemTimeIn(buffer, int(n));
            const long index = (t - 1000) / 10;
            if (t >= 1000 && index < total && !got[size_t(index)]) {
                receivedAt[size_t(index)] = now;
                got[size_t(index)] = 1;
            }
            ++datagrams;
        }
    });

    benchcpu::Shares cpu;
    std::atomic<bool> measuring{false};
    std::atomic<int> written{0};
    const int burstAt = o.burstAt >= 0 ? o.burstAt : o.skipMs * o.hz / 1000 + o.frames / 2;
    Clock::time_point writeStart{}, burstStart{}, burstEnd{};
    const auto period = std::chrono::nanoseconds(1000000000LL / o.hz);
    std::thread writer([&] {
        std::vector<QByteArray> frames;
        for (int n = 0; n < total; ++n)
            frames.push_back(benchframes::anchorFrame0(n));
        QByteArray burst;
        for (int h = 0; h < o.burst; ++h)
            burst.append("\x55\x02\xFF\xFF", 4);
        writeStart = Clock::now() + std::chrono::milliseconds(100);
        for (int n = 0; n < total; ++n) {
            std::this_thread::sleep_until(writeStart + n * period);
            if (n == burstAt && !burst.isEmpty()) {
                // One write; the pty takes it in pieces as the program reads.
                burstStart = Clock::now();
                for (qint64 done = 0; done < burst.size();) {
                    const ssize_t w = write(master, burst.constData() + done, size_t(burst.size() - done));
                    if (w > 0)
                        done += w;
                }
                burstEnd = Clock::now();
            }
            sentAt[size_t(n)] = Clock::now();
            const QByteArray& f = frames[size_t(n)];
            for (qint64 done = 0; done < f.size();) {
                const ssize_t w = write(master, f.constData() + done, size_t(f.size() - done));
                if (w > 0)
                    done += w;
            }
            written = n + 1;
            if (n == o.skipMs * o.hz / 1000)
                measuring = true;
        }
        writerDone = true;
    });

    // The GUI thread runs its event loop (the port is read there) until every
    // datagram came or two seconds after the last frame.
    QMap<int, benchcpu::ThreadTimes> cpu0, cpu1;
    QElapsedTimer measured;
    QElapsedTimer afterLast;
    QTimer poll;
    bool trimmed = o.series <= 0;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        // The charts' series exist once the first frames made their items.
        if (!trimmed && written.load() >= o.skipMs * o.hz * 3 / 4000) {
            trimmed = true;
            shown += QString(", %1 series shown").arg(page.keepSeries(o.series));
        }
        if (measuring.load() && cpu0.isEmpty()) {
            cpu0 = benchcpu::sampleThreads();
            measured.start();
        }
        if (!writerDone.load())
            return;
        if (cpu1.isEmpty()) {
            cpu1 = benchcpu::sampleThreads();
            cpu = benchcpu::difference(cpu0, cpu1);
            afterLast.start();
        }
        if (datagrams.load() >= total || afterLast.elapsed() > 2000)
            QCoreApplication::quit();
    });
    poll.start(50);
    QCoreApplication::exec();
    const double seconds = std::max(1e-3, measured.elapsed() / 1000.0);
    if (!o.snapshot.isEmpty())
        page.window->grab().save(o.snapshot);
    writer.join();
    stopReceiver = true;
    receiver.join();

    std::vector<double> start, steady;
    int lost = 0;
    const int skip = o.skipMs * o.hz / 1000;
    for (int n = 0; n < total; ++n) {
        if (!got[size_t(n)]) {
            ++lost;
            continue;
        }
        const double ms = std::chrono::duration<double, std::milli>(receivedAt[size_t(n)] - sentAt[size_t(n)]).count();
        (n < skip ? start : steady).push_back(ms);
    }
    const Stats s = stats(steady);
    const Stats b = stats(start);
    std::printf("anchor frame 0 at %d Hz, tab \"%s\" in front, window %dx%d, load average %s\n", o.hz,
                qPrintable(shown), page.window->width(), page.window->height(), qPrintable(loadAverage()));
    std::printf("  after the first %d ms: %d frames, p50 %.2f ms, p99 %.2f ms, max %.2f ms\n", o.skipMs, s.count,
                s.p50, s.p99, s.max);
    std::printf("  start-up (first %d ms): %d frames, p50 %.2f ms, p99 %.2f ms, max %.2f ms\n", o.skipMs, b.count,
                b.p50, b.p99, b.max);
    std::printf("  lost %d of %d frames\n", lost, total);
    if (o.burst > 0) {
        // How late each frame from the burst on came, against the time it was due.
        double worst = 0;
        int worstAt = -1;
        for (int n = burstAt; n < total; ++n) {
            if (!got[size_t(n)])
                continue;
            const double ms =
                std::chrono::duration<double, std::milli>(receivedAt[size_t(n)] - (writeStart + n * period)).count();
            if (ms > worst) {
                worst = ms;
                worstAt = n;
            }
        }
        std::printf("  burst of %d heads (%d bytes) before frame %d: written in %.1f ms; longest gap between "
                    "datagrams %.1f ms (ended %.1f ms after the burst began); latest frame from the burst on: "
                    "frame %d, %.1f ms after it was due\n",
                    o.burst, 4 * o.burst, burstAt,
                    std::chrono::duration<double, std::milli>(burstEnd - burstStart).count(), longestGapMs,
                    std::chrono::duration<double, std::milli>(longestGapEnd - burstStart).count(), worstAt, worst);
    }
    std::printf("  CPU while measuring, share of one core: GUI thread %.1f%%, OpenGL driver threads %.1f%%, "
                "others %.1f%%\n",
                100.0 * cpu.gui / seconds, 100.0 * cpu.gl / seconds, 100.0 * cpu.other / seconds);
    std::fflush(stdout);
    return lost == 0 ? 0 : 3;
}

int writeStream(const Options& o)
{
    QFile f(o.writeStream);
    if (!f.open(QIODevice::WriteOnly))
        return 1;
    // --flood KIND: that stream, for the simulator (talmeno-sim --stream FILE).
    std::function<QByteArray(int)> frameAt = benchframes::nodeFrame2;
    if (o.flood == "node1-fresh")
        frameAt = floodframes::nodeFrame1Fresh;
    else if (o.flood == "node1-fixed")
        frameAt = floodframes::nodeFrame1Fixed;
    else if (o.flood == "node1-real")
        frameAt = [](int n) { return floodframes::nodeFrame1Real(n); };
    else if (o.flood == "iot-fresh" || o.flood == "iot-fixed")
        frameAt = [fresh = o.flood == "iot-fresh"](int n) { return floodframes::iotFrame(n, fresh); };
    else if (o.flood == "node4-fresh")
        frameAt = floodframes::nodeFrame4Fresh;
    else if (o.flood == "node4-mode12")
        frameAt = floodframes::nodeFrame4Mode12;
    else if (!o.flood.isEmpty())
        return 2;
    for (int n = 0; n < o.frames; ++n)
        f.write(frameAt(n));
    return f.flush() ? 0 : 1;
}

int soak(const Options& o)
{
    startServices();
    LivePage page("Vexa_Trelvan_Node_Frame2", o.size);
    ZSerialPort port;
    connectPort(port, o.port);
    QElapsedTimer clock;
    clock.start();
    int tabIndex = 0;
    std::printf("seconds rss_MiB tab (load average at start %s)\n", qPrintable(loadAverage()));
    QString shown = page.show(o.tabs.value(0));
    auto report = [&] {
        std::printf("%7lld %8.1f %s\n", clock.elapsed() / 1000, residentMiB(), qPrintable(shown));
        std::fflush(stdout);
    };
    report();
    QTimer sample;
    QObject::connect(&sample, &QTimer::timeout, report);
    sample.start(o.everySeconds * 1000);
    QTimer flip;
    QObject::connect(&flip, &QTimer::timeout, [&] {
        tabIndex = (tabIndex + 1) % o.tabs.size();
        shown = page.show(o.tabs.at(tabIndex));
    });
    flip.start(o.switchSeconds * 1000);
    QTimer::singleShot(o.soakSeconds * 1000, qApp, &QCoreApplication::quit);
    QCoreApplication::exec();
    report();
    std::printf("received %llu bytes, load average at end %s\n",
                static_cast<unsigned long long>(port.receivedBytes()), qPrintable(loadAverage()));
    std::fflush(stdout);
    return 0;
}


// Counts the log lines that tell of frames lost to a full queue and of nodes not
// shown, passing every line on.
std::atomic<int> g_discarded{0};
std::atomic<int> g_notShown{0};
QtMessageHandler g_previousHandler = nullptr;
void countingHandler(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (message.contains(QLatin1String("previous data will be discarded")))
        ++g_discarded;
    if (message.contains(QLatin1String("not shown,")))
        ++g_notShown;
    if (g_previousHandler)
        g_previousHandler(type, context, message);
}

// The page model's resources (each makes a series in its tab once used), looked up
// in the model itself on the GUI thread.
struct LiveResources
{
    ModelManager* model = nullptr;
    QList<BaseResourceItem*> of(ResourceType type) const
    {
        BaseResourceModel* m = model ? model->resourceModel(type) : nullptr;
        return m ? m->resources() : QList<BaseResourceItem*>();
    }
    int count(ResourceType type) const { return of(type).size(); }
    // Items named part, or "...[part]", in the model; those in use (placed in a
    // chart) only, unless anyUse.
    int named(ResourceType type, const QString& part, bool anyUse = false) const
    {
        int n = 0;
        for (BaseResourceItem* item : of(type))
            if ((anyUse || item->isUsed()) && (item->name() == part || item->name().contains("[" + part + "]")))
                ++n;
        return n;
    }
};

// A flood through the live path: a writer thread of its own writes KIND's frames to
// the master side of a pty at --rate for --seconds (node1 floods: then the real tags
// T_0..T_4 at 10 Hz for --real-seconds), the program's serial port reads the slave
// side, the page of the frame is shown with --tab in front. Every --every seconds it
// prints the resident set, how far the decoder and the page are behind the stream
// (the time since the newest frame decoded, or taken by the page, was written) and
// the frames lost to a full queue. With --real-seconds it prints when the page first
// counts T_0..T_4 ("Nodes of current frame" 5), has their nodes in its flow and
// their series (x, y, z lines, 2D and 3D points) in its model.
int runFlood(const Options& o)
{
    const QString kind = o.flood;
    std::function<QByteArray(int)> frameAt;
    QString group;
    if (kind == "node1-fresh" || kind == "node1-fixed" || kind == "node1-installation" || kind == "node1-random") {
        group = "Vexa_Trelvan_Node_Frame1";
        frameAt = kind == "node1-fresh"          ? floodframes::nodeFrame1Fresh
                  : kind == "node1-installation" ? floodframes::nodeFrame1Installation
                  : kind == "node1-random"       ? floodframes::nodeFrame1Random
                                                 : floodframes::nodeFrame1Fixed;
    } else if (kind == "iot-fresh" || kind == "iot-fixed") {
        group = iot::frameName(0);
        const bool fresh = kind == "iot-fresh";
        frameAt = [fresh](int n) { return floodframes::iotFrame(n, fresh); };
    } else if (kind == "node4-fresh" || kind == "node4-mode12") {
        group = "Vexa_Trelvan_Node_Frame4";
        frameAt = kind == "node4-fresh" ? floodframes::nodeFrame4Fresh : floodframes::nodeFrame4Mode12;
    } else {
        std::fprintf(stderr, "unknown flood %s\n", qPrintable(kind));
        return 2;
    }
    iot::registerIotLine();
    startServices();
    g_previousHandler = qInstallMessageHandler(countingHandler);
    LivePage page(group, o.size);
    const QString shown = page.show(o.tab);
    LiveResources resources;
    resources.model = ModelViewManagers::currentModelManager();

    // Frames pushed by the decoder, and those still queued for the page.
    // Frames pushed by the decoder and those still queued for the page; the system
    // time of the newest frame decoded where the frame has one (read from the
    // decoding thread's record unlocked: a bench's estimate), else -1.
    std::function<QPair<quint64, int>()> queueState;
    std::function<qint64()> newestSystemTime = [] { return qint64(-1); };
    auto queueOf = [](auto* p) { return p ? qMakePair(p->queue.pushedCount(), p->queue.size()) : qMakePair(quint64(0), 0); };
    if (group == "Vexa_Trelvan_Node_Frame1") {
        queueState = [=] { return queueOf(Trelvan::ProtocolNodeFrame1::existing()); };
        newestSystemTime = [] {
            auto* p = Trelvan::ProtocolNodeFrame1::existing();
            return p ? qint64(quint32(p->frameRecord.systemTime)) : qint64(-1);
        };
    } else if (group == "Vexa_Trelvan_Node_Frame4") {
        queueState = [=] { return queueOf(Trelvan::ProtocolNodeFrame4::existing()); };
        newestSystemTime = [] {
            auto* p = Trelvan::ProtocolNodeFrame4::existing();
            return p ? qint64(quint32(p->frameRecord.systemTime)) : qint64(-1);
        };
    } else {
        queueState = [=] { return queueOf(iot::ProtocolFrame0::existing()); };
    }

    int master = -1, slave = -1;
    char slaveName[256] = {};
    if (openpty(&master, &slave, slaveName, nullptr, nullptr) != 0) {
        std::perror("openpty");
        return 1;
    }
    ZSerialPort port;
    connectPort(port, QString::fromLocal8Bit(slaveName));
    // The writer waits only while the port's buffer is full, as a device cannot:
    // those waits are bytes a real port would have lost.
    fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);

    // The frames' JSON datagrams, counted by a receiver of this bench.
    const int udp = openDatagramReceiver();
    if (udp < 0)
        return 1;
    std::atomic<bool> stopProbes{false};
    std::atomic<int> datagrams{0};
    std::thread receiver([&] {
        char buffer[65536];
        while (!stopProbes.load())
            if (recv(udp, buffer, sizeof buffer, 0) > 0)
                ++datagrams;
    });
    // The page's thread answering: an event posted to it every 50 ms, the longest
    // time it waited to be handled.
    std::atomic<qint64> longestAnswerNs{0};
    std::atomic<bool> answered{true};
    std::thread prober([&] {
        while (!stopProbes.load()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            if (!answered.load())
                continue;
            answered = false;
            const Clock::time_point posted = Clock::now();
            QMetaObject::invokeMethod(qApp, [&, posted] {
                const qint64 ns = std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now() - posted).count();
                if (ns > longestAnswerNs.load())
                    longestAnswerNs = ns;
                answered = true;
            }, Qt::QueuedConnection);
        }
    });

    // The stream: [first frame], flood frames at --rate, [real frames at 10 Hz].
    struct Planned
    {
        QByteArray bytes;
        Clock::duration due;
        bool real;
    };
    std::vector<Planned> plan;
    const auto period = std::chrono::nanoseconds(1000000000LL / std::max(1, o.rate));
    Clock::duration at{};
    if (o.firstFrame > 0) {
        // The installation's frame twice, 1 s apart (its nodes chart from the second):
        // system times 990 and 995, frames -2 and -1 of the stream, plan indexes 0, 1.
        for (int n : {-2, -1}) {
            plan.push_back({floodframes::nodeFrame1Many(n, o.firstFrame), at, false});
            at += std::chrono::milliseconds(1000);
        }
    }
    const int floodFrames = o.rate * o.seconds;
    for (int n = 0; n < floodFrames; ++n)
        plan.push_back({QByteArray(), at + n * period, false});
    at += floodFrames * period;
    const int realFrames = o.realSeconds * 10;
    for (int n = 0; n < realFrames; ++n)
        plan.push_back({floodframes::nodeFrame1Real(floodFrames + n, o.realFirstId), at + n * std::chrono::milliseconds(100),
                        true});
    const int firstReal = int(plan.size()) - realFrames;
    const int total = int(plan.size());

    std::vector<Clock::time_point> sentAt(size_t(total) + 1);
    std::atomic<int> written{0};
    std::atomic<bool> writerDone{false};
    std::atomic<int> fullWrites{0};
    std::atomic<qint64> fullWaitNs{0};
    const Clock::time_point start = Clock::now() + std::chrono::milliseconds(200);
    std::thread writer([&] {
        int floodIndex = 0;
        for (int n = 0; n < total; ++n) {
            Planned& p = plan[size_t(n)];
            const QByteArray f = p.bytes.isEmpty() ? frameAt(floodIndex++) : p.bytes;
            std::this_thread::sleep_until(start + p.due);
            bool foundFull = false;
            for (qint64 done = 0; done < f.size();) {
                const ssize_t w = write(master, f.constData() + done, size_t(f.size() - done));
                if (w > 0) {
                    done += w;
                } else if (w < 0 && errno == EAGAIN) {
                    if (!foundFull)
                        ++fullWrites;
                    foundFull = true;
                    const Clock::time_point waitFrom = Clock::now();
                    pollfd out{master, POLLOUT, 0};
                    poll(&out, 1, 100);
                    fullWaitNs += std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now() - waitFrom).count();
                }
            }
            sentAt[size_t(n)] = Clock::now();
            written = n + 1;
        }
        writerDone = true;
    });

    // The node frame 1 page, once made.
    Trelvan::WidgetNodeFrame1* page1 = nullptr;
    auto findPage1 = [&] {
        if (!page1 && group == "Vexa_Trelvan_Node_Frame1")
            for (QWidget* w : QApplication::allWidgets())
                if (auto* p = dynamic_cast<Trelvan::WidgetNodeFrame1*>(w))
                    page1 = p;
    };
    // Plan index of a frame's system time (flood frame i: 1000 + 5 i).
    const int planOffset = o.firstFrame > 0 ? 2 : 0;
    auto planIndexOf = [&](qint64 systemTime) { return int((systemTime - 1000) / 5) + planOffset; };
    auto realShown = [&](QString* why) {
        if (!page1)
            return false;
        QStringList missing;
        if (page1->nodeCountLabel->value() != "5")
            missing << "count " + page1->nodeCountLabel->value();
        const auto tags = page1->nodes().value(2);
        for (int i = o.realFirstId; i < o.realFirstId + 5; ++i) {
            const QString label = QString("T_%1").arg(i);
            if (!tags.contains(quint64(i)))
                missing << label + " node";
            const QPair<ResourceType, QString> kinds[3] = {
                {ResourceType::Line, "lines"}, {ResourceType::Scatter, "2D"}, {ResourceType::Scatter3D, "3D"}};
            for (const auto& kind : kinds) {
                const int used = resources.named(kind.first, label);
                if (used < (kind.first == ResourceType::Line ? 3 : 1))
                    missing << QString("%1 %2 (%3 in use, %4 in the model)")
                                   .arg(label, kind.second)
                                   .arg(used)
                                   .arg(resources.named(kind.first, label, true));
            }
        }
        if (why)
            *why = missing.join(", ");
        return missing.isEmpty();
    };

    const double rss0 = residentMiB();
    const QMap<int, benchcpu::ThreadTimes> cpu0 = benchcpu::sampleThreads();
    const ChartDrawBudget::Totals draws0 = ChartDrawBudget::totals();
    QElapsedTimer cpuClock;
    cpuClock.start();
    double rssMax = rss0;
    double decoderLagMax = 0, pageLagMax = 0, pageLagMaxAt = 0;
    QString shownBeforeReal = "-";
    double realShownAfterSecondMs = -1e9;
    int realLostAfter = 0;
    QString firstLostWhy, lastLostWhy;
    QString lastWhy;
    QElapsedTimer clock;
    clock.start();
    QElapsedTimer afterLast;
    std::printf("%s at %d frames/s for %d s%s, page \"%s\" (tab \"%s\"), load average %s\n", qPrintable(kind), o.rate,
                o.seconds, realFrames ? qPrintable(QString(", then T_0..T_4 at 10 Hz for %1 s").arg(o.realSeconds)) : "",
                qPrintable(group), qPrintable(shown), qPrintable(loadAverage()));
    std::printf("seconds rss_MiB written decoded page_taken decoder_lag_s page_lag_s discarded not_shown_lines "
                "nodes_in_flow line_items\n");
    auto lagOf = [&](quint64 done, int w) {
        if (int(done) >= w || w == 0)
            return 0.0;
        // The time since the oldest frame not yet done was written.
        return std::chrono::duration<double>(Clock::now() - sentAt[size_t(done)]).count();
    };
    qint64 nextReport = 0;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        const int w = written.load();
        findPage1();
        const QPair<quint64, int> q = queueState();
        const quint64 taken = q.first - quint64(q.second);
        double decoderLag = lagOf(q.first, w);
        double pageLag = lagOf(taken, w);
        const qint64 st = newestSystemTime();
        if (st >= 995 && q.first > 0) {
            // By the newest frame decoded: frames lost on the way do not count as lag.
            const int newest = planIndexOf(st);
            decoderLag = lagOf(quint64(std::max(0, newest + 1)), w);
            pageLag = lagOf(quint64(std::max(0, newest + 1 - q.second)), w);
        }
        decoderLagMax = std::max(decoderLagMax, decoderLag);
        if (pageLag > pageLagMax) {
            pageLagMax = pageLag;
            pageLagMaxAt = clock.elapsed() / 1000.0;
        }
        const double rss = residentMiB();
        rssMax = std::max(rssMax, rss);
        if (realFrames > 0) {
            if (w >= firstReal && shownBeforeReal == "-") {
                QString why;
                shownBeforeReal = QString("%1 (with %2 of their frames written%3)")
                                      .arg(realShown(&why) ? "yes" : "no")
                                      .arg(w - firstReal)
                                      .arg(why.isEmpty() ? QString() : ": missing " + why);
            }
            if (w >= firstReal + 2) {
                QString why;
                const bool ok = realShown(&why);
                const double since =
                    std::chrono::duration<double, std::milli>(Clock::now() - sentAt[size_t(firstReal + 1)]).count();
                if (ok && realShownAfterSecondMs < -1e8)
                    realShownAfterSecondMs = since;
                else if (!ok && realShownAfterSecondMs > -1e8) {
                    if (realLostAfter++ == 0)
                        firstLostWhy = QString("%1 ms after the second frame: %2").arg(since, 0, 'f', 0).arg(why);
                    lastLostWhy = why;
                }
                lastWhy = why;
            }
        }
        if (clock.elapsed() >= nextReport) {
            nextReport += o.everySeconds * 1000;
            int flow = 0;
            if (page1)
                for (const auto& byId : page1->nodes())
                    flow += byId.size();
            std::printf("%7.1f %8.1f %7d %7llu %7llu %6.2f %6.2f %5d %5d %6d %6d\n", clock.elapsed() / 1000.0, rss, w,
                        static_cast<unsigned long long>(q.first), static_cast<unsigned long long>(taken), decoderLag,
                        pageLag, g_discarded.load(), g_notShown.load(), flow, resources.count(ResourceType::Line));
            std::fflush(stdout);
        }
        if (writerDone.load()) {
            if (!afterLast.isValid())
                afterLast.start();
            // Two seconds for the page to catch up, one more to see it stays so.
            if (afterLast.elapsed() > 3000 && (int(taken) >= w || pageLag == 0.0))
                QCoreApplication::quit();
            if (afterLast.elapsed() > 15000)
                QCoreApplication::quit();
        }
    });
    poll.start(20);
    QCoreApplication::exec();
    // The screen, as the 3D graph's window is not in a widget grab.
    if (!o.snapshot.isEmpty() && QGuiApplication::primaryScreen())
        QGuiApplication::primaryScreen()->grabWindow(page.window->winId()).save(o.snapshot);
    writer.join();
    const benchcpu::Shares cpu = benchcpu::difference(cpu0, benchcpu::sampleThreads());
    const double cpuSeconds = cpuClock.elapsed() / 1000.0;
    const ChartDrawBudget::Totals draws1 = ChartDrawBudget::totals();
    // The last datagrams on their way.
    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < 500)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    stopProbes = true;
    prober.join();
    receiver.join();
    const QPair<quint64, int> q = queueState();
    const qint64 lastSt = newestSystemTime();
    if (lastSt >= 0)
        std::printf("newest frame decoded: number %d of the %d written\n", planIndexOf(lastSt) + 1, total);
    std::printf("written %d frames (%d flood%s), decoded %llu, discarded lines %d; resident set at start %.1f MiB, "
                "peak %.1f MiB, end %.1f MiB (growth %.1f MiB); decoder behind at most %.2f s, page at most %.2f s "
                "(at %.1f s); load average at end %s\n",
                total, floodFrames, realFrames ? qPrintable(QString(", %1 real").arg(realFrames)) : "",
                static_cast<unsigned long long>(q.first), g_discarded.load(), rss0, rssMax, residentMiB(),
                residentMiB() - rss0, decoderLagMax, pageLagMax, pageLagMaxAt, qPrintable(loadAverage()));
    const quint64 drawCount = draws1.draws - draws0.draws;
    std::printf("writes that found the port's buffer full: %d, the writer waited %.2f s of the run; datagrams %d; "
                "page's thread busy %.0f %% (OpenGL driver %.0f %%), answered a posted event within %.0f ms at most; "
                "chart draws %llu (%.1f a second), %.1f ms each on average, longest %.1f ms (of the whole run), "
                "chart hand-overs %llu\n",
                fullWrites.load(), fullWaitNs.load() / 1e9, datagrams.load(), 100.0 * cpu.gui / cpuSeconds,
                100.0 * cpu.gl / cpuSeconds, longestAnswerNs.load() / 1e6, static_cast<unsigned long long>(drawCount),
                drawCount / cpuSeconds, drawCount ? (draws1.drawNs - draws0.drawNs) / 1e6 / double(drawCount) : 0.0,
                draws1.longestDrawNs / 1e6, static_cast<unsigned long long>(draws1.cycles - draws0.cycles));
    if (realFrames > 0) {
        if (realShownAfterSecondMs > -1e8) {
            std::printf("real tags T_%d..T_%d: at the first check after the flood: shown %s; shown %.0f ms after their second frame "
                        "was written (checked every 20 ms); polls not shown after that: %d\n",
                        o.realFirstId, o.realFirstId + 4, qPrintable(shownBeforeReal), realShownAfterSecondMs, realLostAfter);
        if (realLostAfter > 0)
            std::printf("  first poll not shown: %s\n  last poll not shown: %s\n", qPrintable(firstLostWhy),
                        qPrintable(lastLostWhy));
        } else {
            std::printf("real tags T_%d..T_%d: NOT shown by the end; missing: %s\n", o.realFirstId, o.realFirstId + 4,
                        qPrintable(lastWhy));
        }
    }
    std::fflush(stdout);
    return 0;
}

// Which frames of a stream the search and the decoding lose, on one thread.
int runCheck(const Options& o)
{
    std::function<QByteArray(int)> frameAt;
    QString group;
    if (o.check.startsWith("node1")) {
        group = "Vexa_Trelvan_Node_Frame1";
        frameAt = o.check == "node1-fresh" ? floodframes::nodeFrame1Fresh : floodframes::nodeFrame1Fixed;
    } else if (o.check.startsWith("node4")) {
        group = "Vexa_Trelvan_Node_Frame4";
        frameAt = o.check == "node4-fresh" ? floodframes::nodeFrame4Fresh : floodframes::nodeFrame4Mode12;
    } else {
        std::fprintf(stderr, "--check takes node1-fresh, node1-fixed, node4-fresh, node4-mode12\n");
        return 2;
    }
    initLinkServices(nullptr);
    initViewServices(qApp);
    Trelvan::registerProtocols();
    ProtocolFrameExtraction::instance()->setEnabled(true);
    static QTemporaryDir dir;
    auto* model = new ModelManager(dir.filePath("bare.ini"),
                                   {ResourceType::Data, ResourceType::Line, ResourceType::Scatter, ResourceType::Scatter3D});
    static ModelManager* bare = model;
    ProtocolSeams::setCurrentModelManagerLookup([]() -> ModelManager* { return bare; });
    ProtocolFactory::createProtocols(group, nullptr);
    QVector<qint64> decoded;
    std::function<void()> take;
    if (group == "Vexa_Trelvan_Node_Frame1") {
        Trelvan::ProtocolNodeFrame1::instance()->setActive(true);
        take = [&] {
            for (const auto& d : Trelvan::ProtocolNodeFrame1::instance()->queue.takeAll())
                decoded << qint64(d->systemTime);
        };
    } else {
        Trelvan::ProtocolNodeFrame4::instance()->setActive(true);
        take = [&] {
            for (const auto& d : Trelvan::ProtocolNodeFrame4::instance()->queue.takeAll())
                decoded << qint64(d->systemTime);
        };
    }
    QVector<QByteArray> frames;
    QByteArray stream;
    for (int n = 0; n < o.frames; ++n) {
        frames << frameAt(n);
        stream += frames.last();
    }
    ProtocolFrameExtraction* ex = ProtocolFrameExtraction::instance();
    ProtocolDataProcessor* processor = ProtocolDataProcessor::instance();
    int reads = 0;
    for (int at = 0; at < stream.size(); at += o.piece) {
        ex->appendData(stream.mid(at, o.piece));
        ex->extractFrames();
        processor->processFrames();
        take();
        // A reader that stalls (the port is read on the GUI thread): no input for a while.
        if (o.stallEvery > 0 && ++reads % o.stallEvery == 0) {
            QElapsedTimer stall;
            stall.start();
            while (stall.elapsed() < o.stallMs) {
                ex->extractFrames();
                processor->processFrames();
                QThread::msleep(5);
            }
        }
    }
    // The quiet time of a held head, then the last passes.
    QElapsedTimer quiet;
    quiet.start();
    while (quiet.elapsed() < 3000) {
        ex->extractFrames();
        processor->processFrames();
        take();
        QThread::msleep(10);
    }
    QSet<qint64> seen(decoded.begin(), decoded.end());
    int lost = 0;
    for (int n = 0; n < o.frames; ++n) {
        if (seen.contains(1000 + 5 * n))
            continue;
        if (++lost <= 20)
            std::printf("frame %d (offset %lld, %d bytes) not decoded: %s\n", n,
                        static_cast<long long>(stream.indexOf(frames[n])), int(frames[n].size()),
                        frames[n].left(48).toHex(' ').constData());
    }
    std::printf("%s: %d frames in reads of %d bytes, %d decoded, %d not decoded\n", qPrintable(o.check), o.frames,
                o.piece, int(decoded.size()), lost);
    std::fflush(stdout);
    return lost == 0 ? 0 : 3;
}

} // namespace

int main(int argc, char** argv)
{
    const Options o = parse(argc, argv);
    if (!o.writeStream.isEmpty())
        return writeStream(o);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Datagrams go to this machine only.
    qputenv("TALMENO_UDP_ADDRESS", "127.0.0.1");
    QApplication app(argc, argv);
    talmenoInitResources();
    initUserDataFolders();
    const int rc = !o.check.isEmpty() ? runCheck(o) : !o.flood.isEmpty() ? runFlood(o) : o.soakSeconds > 0 ? soak(o) : latency(o);
    // Pages and worker threads are not taken apart in this harness.
    std::fflush(stdout);
    _exit(rc);
}
