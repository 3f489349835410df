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
//   bench_latency --write-stream FILE --frames N      node frames 2 into FILE
//   bench_latency --soak SECONDS --port PATH [--tabs 1,2] [--every 10] [--switch 60]
// opens PATH (a simulator streaming that file), shows the node frame 2 page with
// the tabs in front in turn, and prints the resident set every --every seconds.
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QMainWindow>
#include <QScreen>
#include <QTabBar>
#include <QTimer>

#include <algorithm>
#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <pty.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "ThreadCpu.h"
#include "TrelvanFrames.h"
#include "app/MainWindow.h"
#include "foundation/UserPaths.h"
#include "foundation/ZThreadManager.h"
#include "foundation/ZTimerManager.h"
#include "foundation/ZUdpOutput.h"
#include "link/ZSerialPort.h"
#include "products/trelvan/TrelvanRegistration.h"
#include "protocol/LinkServices.h"
#include "protocol/ProtocolFactory.h"
#include "protocol/ProtocolFrameExtraction.h"
#include "protocol/ProtocolSeams.h"
#include "resources/init_resources.h"
#include "model/ResourceItems.h"
#include "views/BaseResource.h"
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
    QObject::connect(&port, &ZSerialPort::dataArrived, ProtocolFrameExtraction::instance(),
                     &ProtocolFrameExtraction::appendData, Qt::DirectConnection);
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

int latency(const Options& o)
{
    startServices();
    LivePage page("Vexa_Trelvan_Anchor_Frame0", o.size);
    QString shown = page.show(o.tab);

    // The receiver: a socket of this bench on 127.0.0.1, read by a thread of its own.
    const int udp = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    if (udp < 0 || bind(udp, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0
        || getsockname(udp, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
        std::perror("udp socket");
        return 1;
    }
    timeval timeout{0, 200000};
    setsockopt(udp, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    udpOutputPort.store(ntohs(addr.sin_port));
    udpOutputEnabled.store(true);

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

    std::thread receiver([&] {
        char buffer[65536];
        while (!stopReceiver.load()) {
            const ssize_t n = recv(udp, buffer, sizeof buffer, 0);
            if (n <= 0)
                continue;
            const Clock::time_point now = Clock::now();
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
    std::thread writer([&] {
        std::vector<QByteArray> frames;
        for (int n = 0; n < total; ++n)
            frames.push_back(benchframes::anchorFrame0(n));
        const Clock::time_point start = Clock::now() + std::chrono::milliseconds(100);
        const auto period = std::chrono::nanoseconds(1000000000LL / o.hz);
        for (int n = 0; n < total; ++n) {
            std::this_thread::sleep_until(start + n * period);
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
    for (int n = 0; n < o.frames; ++n)
        f.write(benchframes::nodeFrame2(n));
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
    const int rc = o.soakSeconds > 0 ? soak(o) : latency(o);
    // Pages and worker threads are not taken apart in this harness.
    std::fflush(stdout);
    _exit(rc);
}
