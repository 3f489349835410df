// Decoding node frames 1, 2, 3, 4, 5, 7, anchor frame 0, tag frame 0 and AOA node
// frame 0 through the frame search and the processor, item writes included: (a)
// into bare items of a page model, the search and decoding called in turn on this
// thread; (b) with the page shown in a window, through the program's own path: the
// bytes appended as the serial port appends them, the search and the decoding on
// their worker threads, the refresh managers on their timers and the chart
// hand-over to the GUI thread, paced at the line rate. Each iteration feeds 100 ms
// of a 3.5 Mbaud line (9 pieces of 4 KiB of back-to-back frames; the bytes fed are
// counted); the counter x3.5Mbaud is device time over the CPU time taken, frames/s
// counts the records the parser queued. UDP output is on, as in the program (to a
// socket of this bench on 127.0.0.1); --udp off runs with it off.
#include "FrameFeed.h"
#include "TrelvanFrames.h"

#include <QMainWindow>

#include <cstring>
#include <string>
#include <vector>

#include "model/ResourceItems.h"
#include "products/trelvan/TrelvanRegistration.h"
#include "products/trelvan/calibration/AoaCalibrationProtocols.h"
#include "foundation/ZDemandTimer.h"
#include "foundation/ZThreadManager.h"
#include "foundation/ZTimerManager.h"
#include "foundation/ZUdpOutput.h"
#include "protocol/LinkServices.h"
#include "products/trelvan/config/ProtocolParameter.h"
#include "products/trelvan/protocols/ProtocolAnchorFrame0.h"
#include "products/trelvan/protocols/ProtocolErrorFrame0.h"
#include "products/trelvan/protocols/ProtocolNodeFrame0.h"
#include "products/trelvan/protocols/ProtocolNodeFrame1.h"
#include "products/trelvan/protocols/ProtocolAoaNodeFrame0.h"
#include "products/trelvan/protocols/ProtocolNodeFrame2.h"
#include "products/trelvan/protocols/ProtocolNodeFrame3.h"
#include "products/trelvan/protocols/ProtocolNodeFrame4.h"
#include "products/trelvan/protocols/ProtocolNodeFrame5.h"
#include "products/trelvan/protocols/ProtocolNodeFrame7.h"
#include "products/trelvan/protocols/ProtocolTagFrame0.h"
#include "protocol/ProtocolFactory.h"
#include "views/CustomTabWidget.h"
#include "views/ModelViewManagers.h"

#include <QElapsedTimer>
#include <QTabBar>
#include <QTimer>
#include <QNetworkDatagram>
#include <QUdpSocket>

using Trelvan::ProtocolAnchorFrame0;
using Trelvan::ProtocolAoaNodeFrame0;
using Trelvan::ProtocolNodeFrame1;
using Trelvan::ProtocolNodeFrame2;
using Trelvan::ProtocolNodeFrame3;
using Trelvan::ProtocolNodeFrame4;
using Trelvan::ProtocolNodeFrame5;
using Trelvan::ProtocolNodeFrame7;
using Trelvan::ProtocolTagFrame0;

namespace {

using benchfeed::cpuSeconds;
using benchfeed::kLineBytesPerSecond;
using benchfeed::seal;
using benchframes::anchorFrame0;
using benchframes::nodeFrame2;

bool g_udp = true;

// UDP output as the program has it by default (unless --udp off), to a socket of
// this bench on 127.0.0.1 whose datagrams are read and dropped.
QUdpSocket* udpSink()
{
    static QUdpSocket* sink = [] {
        auto* s = new QUdpSocket;
        s->bind(QHostAddress(QHostAddress::LocalHost), 0);
        return s;
    }();
    udpOutputPort.store(sink->localPort());
    udpOutputEnabled.store(g_udp);
    return sink;
}

qint64 drainUdp()
{
    QUdpSocket* sink = udpSink();
    qint64 n = 0;
    while (sink->hasPendingDatagrams()) {
        sink->receiveDatagram();
        ++n;
    }
    return n;
}

// The live page runs the program's threads: search on slot 2, decoding on 3, the
// timer manager on 5, the chart pass on 4 (the refresh managers at their default
// rates, set at start-up). Started once; the bare runs never start them.
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

using benchfeed::finish;

template <typename Frame>
QByteArray senderPart(int n, quint8 role, int count)
{
    Frame f;
    f.role = role;
    f.localTime = quint32(5000 + 10 * n);
    f.systemTime = quint32(1000 + 10 * n);
    f.voltage = quint16(3700 + n % 100);
    f.nodeCount = quint8(count);
    return QByteArray(reinterpret_cast<const char*>(&f), sizeof f);
}

void putDistance(quint8* dis, quint32 mm)
{
    dis[0] = quint8(mm);
    dis[1] = quint8(mm >> 8);
    dis[2] = quint8(mm >> 16);
}

// Anchor 0 listing three tags with their distances to four anchors: 85 bytes.
QByteArray nodeFrame4(int n)
{
    QByteArray b = senderPart<ProtocolNodeFrame4::Frame_t>(n, 1, 3);
    for (int t = 0; t < 3; ++t) {
        b.append(char(10 + t)).append(2, '\0').append(char(74 + t)).append(char(4));
        for (int k = 0; k < 4; ++k) {
            const quint32 sub = quint32(k) | (quint32(3000 + 250 * k + 10 * t + n % 300) << 8);
            for (int i = 0; i < 4; ++i)
                b.append(char((sub >> (8 * i)) & 0xFF));
        }
    }
    return finish(b);
}

// Eight ranged nodes under 32-bit ids: 105 bytes.
QByteArray nodeFrame5(int n)
{
    QByteArray b = senderPart<ProtocolNodeFrame5::Frame_t>(n, 0, 8);
    for (int k = 0; k < 8; ++k) {
        ProtocolNodeFrame5::Node_t r;
        r.role = 1;
        r.id = 0x00010000u + quint32(k);
        putDistance(r.dis, quint32(3000 + 100 * k + n % 200));
        r.fpRssi = quint8(160 + k);
        r.rxRssi = quint8(150 + k);
        b.append(reinterpret_cast<const char*>(&r), sizeof r);
    }
    return finish(b);
}

// The same with two angles: 153 bytes.
QByteArray nodeFrame7(int n)
{
    QByteArray b = senderPart<ProtocolNodeFrame7::Frame_t>(n, 0, 8);
    for (int k = 0; k < 8; ++k) {
        ProtocolNodeFrame7::Node_t r;
        r.role = 1;
        r.id = 0x00010000u + quint32(k);
        putDistance(r.dis, quint32(3000 + 100 * k + n % 200));
        r.angle0 = qint16(4500 * k - 18000 + n % 100);
        r.angle1 = qint16(1000 + k);
        r.fpRssi = quint8(160 + k);
        r.rxRssi = quint8(150 + k);
        b.append(reinterpret_cast<const char*>(&r), sizeof r);
    }
    return finish(b);
}

// An AOA anchor hearing eight tags: 110 bytes.
QByteArray aoaNodeFrame0(int n)
{
    QByteArray b = senderPart<ProtocolAoaNodeFrame0::Frame_t>(n, 1, 8);
    for (int k = 0; k < 8; ++k) {
        ProtocolAoaNodeFrame0::Node_t r;
        r.role = 2;
        r.id = quint8(10 + k);
        putDistance(r.dis, quint32(3000 + 100 * k + n % 200));
        r.angle = qint16(4000 * k - 16000 + n % 100);
        r.fpRssi = quint8(160 + k);
        r.rxRssi = quint8(150 + k);
        b.append(reinterpret_cast<const char*>(&r), sizeof r);
    }
    return finish(b);
}

void putInt24(quint8* p, qint32 v)
{
    p[0] = quint8(v);
    p[1] = quint8(v >> 8);
    p[2] = quint8(v >> 16);
}

// A tag on the move with four anchors in range.
QByteArray tagFrame0(int n)
{
    ProtocolTagFrame0::Frame_t f;
    const qint32 pos[3] = {5000 + (n % 700), 4000 - (n % 500), 1000};
    for (int a = 0; a < 3; ++a) {
        putInt24(f.pos + 3 * a, pos[a]);
        putInt24(f.vel + 3 * a, 1000 * a - n % 300);
    }
    for (int k = 0; k < 4; ++k)
        putInt24(f.dis + 3 * k, 3000 + 100 * k + n % 200);
    f.g[2] = 0.7f;
    f.a[2] = 9.81f;
    f.angle[2] = qint16(n % 36000 - 18000);
    f.q[0] = 1.0f;
    f.systemTime = quint32(1000 + 10 * n);
    f.localTime = f.systemTime + 7;
    f.eop[0] = 5;
    f.voltage = 3700;
    f.plr = 600;
    QByteArray b(reinterpret_cast<const char*>(&f), sizeof f);
    seal(b);
    return b;
}

// Fixed part, `records` raw records, the length field and the sum.
template <typename Frame_t, typename Node_t>
QByteArray variableFrame(Frame_t f, const QVector<Node_t>& records)
{
    f.nodeCount = quint8(records.size());
    QByteArray b(reinterpret_cast<const char*>(&f), sizeof f);
    for (const Node_t& r : records)
        b.append(reinterpret_cast<const char*>(&r), sizeof r);
    return finish(std::move(b));
}

// A node listing eight nodes and tags with their positions (188 bytes).
QByteArray nodeFrame1(int n)
{
    ProtocolNodeFrame1::Frame_t f;
    f.systemTime = quint32(1000 + 10 * n);
    f.localTime = f.systemTime + 7;
    f.voltage = 3700;
    QVector<ProtocolNodeFrame1::Node_t> records(8);
    for (int k = 0; k < 8; ++k) {
        records[k].role = k < 6 ? 2 : 0;
        records[k].id = quint8(k);
        putInt24(records[k].pos, 1000 * k + n % 700);
        putInt24(records[k].pos + 3, 4000 - n % 500);
        putInt24(records[k].pos + 6, 1200);
    }
    return variableFrame(f, records);
}

// A tag ranging with eight anchors (78 bytes).
QByteArray nodeFrame3(int n)
{
    ProtocolNodeFrame3::Frame_t f;
    f.role = 2;
    f.localTime = quint32(1007 + 10 * n);
    f.systemTime = quint32(1000 + 10 * n);
    f.voltage = 3700;
    QVector<ProtocolNodeFrame3::Node_t> records(8);
    for (int k = 0; k < 8; ++k) {
        records[k].role = 1;
        records[k].id = quint8(k);
        putInt24(records[k].dis, 3000 + 100 * k + n % 200);
        records[k].fpRssi = quint8(160 + k);
        records[k].rxRssi = quint8(150 + k);
    }
    return variableFrame(f, records);
}


// One frame kind of the bench: its protocol, its frames, how its queue is emptied
// and how many records it has queued so far.
struct FrameCase
{
    const char* name;
    QByteArray (*frameAt)(int n);
    ProtocolBase* (*protocol)();
    void (*drain)();
    quint64 (*queued)();
};

template <typename P>
FrameCase frameCase(const char* name, QByteArray (*frameAt)(int))
{
    return {name, frameAt, [] { return static_cast<ProtocolBase*>(P::instance()); },
            [] { P::instance()->queue.takeAll(); }, [] { return P::instance()->queue.pushedCount(); }};
}

const FrameCase kNodeFrame2 = frameCase<ProtocolNodeFrame2>("Vexa_Trelvan_Node_Frame2", &nodeFrame2);
const FrameCase kAnchorFrame0 = frameCase<ProtocolAnchorFrame0>("Vexa_Trelvan_Anchor_Frame0", &anchorFrame0);
const FrameCase kNodeFrame4 = frameCase<ProtocolNodeFrame4>("Vexa_Trelvan_Node_Frame4", &nodeFrame4);
const FrameCase kNodeFrame5 = frameCase<ProtocolNodeFrame5>("Vexa_Trelvan_Node_Frame5", &nodeFrame5);
const FrameCase kNodeFrame7 = frameCase<ProtocolNodeFrame7>("Vexa_Trelvan_Node_Frame7", &nodeFrame7);
const FrameCase kAoaNodeFrame0 = frameCase<ProtocolAoaNodeFrame0>("Vexa_Trelvan_AOA_Node_Frame0", &aoaNodeFrame0);
const FrameCase kTagFrame0 = frameCase<ProtocolTagFrame0>("Vexa_Trelvan_Tag_Frame0", &tagFrame0);
const FrameCase kNodeFrame1 = frameCase<ProtocolNodeFrame1>("Vexa_Trelvan_Node_Frame1", &nodeFrame1);
const FrameCase kNodeFrame3 = frameCase<ProtocolNodeFrame3>("Vexa_Trelvan_Node_Frame3", &nodeFrame3);

void run(benchmark::State& state, const FrameCase& c, bool live)
{
    const QString name = c.name;
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
    // One window holds the pages for the whole run, as the program's main window
    // does. Moving the page stack out of a window that showed it leaves the native
    // windows of its OpenGL charts with the old window, which deletes them: the next
    // window's show() then works on freed windows (Qt 5.15).
    static QMainWindow* window = nullptr;
    ModelViewManagers* pages = ModelViewManagers::instance();
    if (live) {
        startProgramThreads();
        if (!window) {
            window = new QMainWindow;
            window->setCentralWidget(pages->pageStack());
            window->resize(1400, 900);
            window->show();
        }
        ProtocolSeams::setCurrentModelManagerLookup(&ModelViewManagers::currentModelManager);
        ProtocolFactory::createProtocols(name, window);
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
        benchfeed::useBareModel(types);
        ProtocolFactory::createProtocols(name, nullptr);
    }
    ProtocolBase* protocol = c.protocol();
    protocol->setActive(true);

    benchfeed::LineFeed feed(benchfeed::backToBack(kLineBytesPerSecond, c.frameAt));
    ProtocolFrameExtraction* ex = ProtocolFrameExtraction::instance();
    ProtocolDataProcessor* processor = ProtocolDataProcessor::instance();
    if (live) // the search's buffers belong to its thread
        ZThreadManager::instance()->runInThread(2, [ex] { ex->clearBuffers(); }, true);
    drainUdp();
    qint64 datagrams = 0;
    const quint64 queued0 = c.queued();
    const double cpu0 = cpuSeconds();
    QElapsedTimer wall;
    wall.start();
    qint64 due = 0;
    QTimer wake;
    if (live)
        wake.start(5);
    for (auto _ : state) {
        if (live) {
            // At the line's pace: the refresh timers and the GUI thread's share run
            // as they would for this much device time; the iteration also waits
            // until the worker threads have decoded what was fed. It sleeps between
            // events (a 5 ms timer wakes it to look again).
            feed.append100ms();
            due += 100;
            while (wall.elapsed() < due || ex->passTimer()->isRunning() || processor->passTimer()->isRunning())
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        } else {
            feed.play100ms();
            c.drain();
        }
        datagrams += drainUdp();
    }
    const double cpu = cpuSeconds() - cpu0;
    const quint64 frames = c.queued() - queued0;
    state.counters["x3.5Mbaud"] = benchfeed::lineMultiple(feed.bytes, cpu);
    state.counters["frames/s"] = benchmark::Counter(double(frames) / std::max(cpu, 1e-9));
    state.counters["bytes"] = double(feed.bytes);
    state.counters["frames"] = double(frames);
    // Texts that reached the socket (some may be dropped when its buffer is full).
    state.counters["datagrams"] = double(datagrams);
    protocol->setActive(false);
}

// Node frame 0 with four 32-byte payloads (156 bytes), its JSON text sent to a
// socket of this process on 127.0.0.1; or error frames (32 bytes). Neither kind
// has line items: the records are taken as the window and the popup would.
QByteArray nodeFrame0(int n)
{
    QByteArray b("\x55\x02\0\0\x03\x00\0\0\0\0\x04", 11);
    for (int k = 0; k < 4; ++k) {
        b.append(char(2)).append(char(k)).append(char(32)).append(char(0));
        for (int i = 0; i < 32; ++i)
            b.append(char((n + 16 * k + i) & 0xFF));
    }
    b.append('\0');
    b[2] = char(b.size());
    seal(b);
    return b;
}

QByteArray errorFrame0(int n)
{
    QByteArray b(32, '\0');
    b[0] = char(0x54);
    b[1] = char(0xFA);
    b[4] = char(2);
    b[5] = char(n % 8);
    b[6] = char(n & 0xFF);
    b[7] = char((n >> 8) & 0xFF);
    b[14] = char(0x11);
    b[17] = char(2);
    seal(b);
    return b;
}

void runOwnItems(benchmark::State& state, bool error)
{
    // JSON to a socket of this process only: never a broadcast.
    if (udpSink()->state() != QAbstractSocket::BoundState) {
        state.SkipWithError("no local UDP socket");
        return;
    }
    drainUdp();

    ProtocolFactory::createProtocols("Vexa_Trelvan_Node_Frame0", nullptr); // node frame 0 and the error frame
    auto queued = [error] {
        return error ? Trelvan::ProtocolErrorFrame0::instance()->queue.pushedCount()
                     : Trelvan::ProtocolNodeFrame0::instance()->queue.pushedCount();
    };
    benchfeed::LineFeed feed(benchfeed::backToBack(kLineBytesPerSecond, error ? &errorFrame0 : &nodeFrame0));
    qint64 datagrams = 0;
    const quint64 queued0 = queued();
    const double cpu0 = cpuSeconds();
    for (auto _ : state) {
        feed.play100ms([error] {
            // 100 ms of error frames (1,093) would overflow the queue of 1,000:
            // taken per piece, so that the figure is decoding, not overflow warnings.
            if (error)
                Trelvan::ProtocolErrorFrame0::instance()->queue.takeAll();
        });
        Trelvan::ProtocolNodeFrame0::instance()->queue.takeAll();
        datagrams += drainUdp();
    }
    const double cpu = cpuSeconds() - cpu0;
    const quint64 frames = queued() - queued0;
    state.counters["x3.5Mbaud"] = benchfeed::lineMultiple(feed.bytes, cpu);
    state.counters["frames/s"] = benchmark::Counter(double(frames) / std::max(cpu, 1e-9));
    state.counters["bytes"] = double(feed.bytes);
    state.counters["frames"] = double(frames);
    // Texts that reached the socket (some may be dropped when its buffer is full).
    state.counters["datagrams"] = double(datagrams);
}

void BM_NodeFrame0BareItems(benchmark::State& s)
{
    runOwnItems(s, false);
}
void BM_ErrorFrame0BareItems(benchmark::State& s)
{
    runOwnItems(s, true);
}

void BM_TagFrame0BareItems(benchmark::State& s)
{
    run(s, kTagFrame0, false);
}
void BM_NodeFrame1BareItems(benchmark::State& s)
{
    run(s, kNodeFrame1, false);
}
void BM_NodeFrame3BareItems(benchmark::State& s)
{
    run(s, kNodeFrame3, false);
}
void BM_TagFrame0LivePage(benchmark::State& s)
{
    run(s, kTagFrame0, true);
}

void BM_NodeFrame2BareItems(benchmark::State& s)
{
    run(s, kNodeFrame2, false);
}
void BM_AnchorFrame0BareItems(benchmark::State& s)
{
    run(s, kAnchorFrame0, false);
}
void BM_NodeFrame4BareItems(benchmark::State& s)
{
    run(s, kNodeFrame4, false);
}
void BM_NodeFrame5BareItems(benchmark::State& s)
{
    run(s, kNodeFrame5, false);
}
void BM_NodeFrame7BareItems(benchmark::State& s)
{
    run(s, kNodeFrame7, false);
}
void BM_AoaNodeFrame0BareItems(benchmark::State& s)
{
    run(s, kAoaNodeFrame0, false);
}
void BM_NodeFrame2LivePage(benchmark::State& s)
{
    run(s, kNodeFrame2, true);
}
void BM_AnchorFrame0LivePage(benchmark::State& s)
{
    run(s, kAnchorFrame0, true);
}
void BM_NodeFrame4LivePage(benchmark::State& s)
{
    run(s, kNodeFrame4, true);
}

// Parameter replies (128 bytes) back to back through the search and the processor,
// each parsed and sent as its "param_frame" JSON text to 127.0.0.1.
void BM_ParameterReplyWithJson(benchmark::State& state)
{
    // To the bench's own socket: port 33000 is other programs'.
    drainUdp();
    Trelvan::ProtocolParameter* p = Trelvan::ProtocolParameter::instance(nullptr);
    p->setActive(true);
    qint64 parsed = 0;
    QObject scope;
    QObject::connect(p, &ProtocolBase::dataParseFinished, &scope, [&parsed] { ++parsed; }, Qt::DirectConnection);
    benchfeed::LineFeed feed(benchfeed::backToBack(kLineBytesPerSecond, [](int n) {
        Trelvan::ParameterFrame f;
        f.setRole(1);
        f.setId(quint8(n));
        f.setAppMode(0x00);
        f.setProtocol(0);
        f.setBaudRate(3000000);
        f.setRefreshRate(10);
        f.setSystemTime(quint32(1000 + n));
        f.seal();
        return f.toByteArray();
    }));
    qint64 datagrams = 0;
    const double cpu0 = cpuSeconds();
    for (auto _ : state) {
        feed.play100ms();
        // The queued reply checks are what the GUI thread would run.
        QCoreApplication::processEvents();
        datagrams += drainUdp();
    }
    const double cpu = cpuSeconds() - cpu0;
    state.counters["x3.5Mbaud"] = benchfeed::lineMultiple(feed.bytes, cpu);
    state.counters["frames/s"] = benchmark::Counter(double(parsed) / std::max(cpu, 1e-9));
    state.counters["datagrams"] = double(datagrams);
    p->setActive(false);
}

// Calibration replies (32 bytes, window layout) back to back through the search and
// the processor, each copied into the protocol's held frame.
void BM_AoaCalibrationReply(benchmark::State& state)
{
    trelvan::ProtocolCalibration* p = trelvan::ProtocolCalibration::instance(nullptr);
    p->setActive(true);
    qint64 parsed = 0;
    QObject scope;
    QObject::connect(p, &ProtocolBase::dataParseFinished, &scope, [&parsed] { ++parsed; }, Qt::DirectConnection);
    benchfeed::LineFeed feed(benchfeed::backToBack(kLineBytesPerSecond, [](int n) {
        Trelvan::AoaCalibrationFrame f = Trelvan::AoaCalibrationFrame::defaults(Trelvan::AoaCalibrationFrame::Layout::Window);
        f.setU8(Trelvan::AoaCalibrationFrame::ItemType, quint8(n % 5));
        f.setU16(Trelvan::AoaCalibrationFrame::AoaOffset, quint16(n));
        f.setU16(Trelvan::AoaCalibrationFrame::DistanceOffset, quint16(-n));
        f.seal();
        return f.toByteArray();
    }));
    drainUdp(); // the program's default output, as the other cases have it
    const double cpu0 = cpuSeconds();
    for (auto _ : state)
        feed.play100ms();
    const double cpu = cpuSeconds() - cpu0;
    state.counters["x3.5Mbaud"] = benchfeed::lineMultiple(feed.bytes, cpu);
    state.counters["frames/s"] = benchmark::Counter(double(parsed) / std::max(cpu, 1e-9));
    p->setActive(false);
}

} // namespace

BENCHMARK(BM_AoaCalibrationReply)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_ParameterReplyWithJson)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_NodeFrame2BareItems)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_AnchorFrame0BareItems)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_NodeFrame4BareItems)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_NodeFrame5BareItems)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_NodeFrame7BareItems)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_AoaNodeFrame0BareItems)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_TagFrame0BareItems)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_NodeFrame1BareItems)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_NodeFrame3BareItems)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_NodeFrame0BareItems)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_ErrorFrame0BareItems)->Unit(benchmark::kMillisecond)->MinTime(2.0);
// Argument: the tab in front (0 frame page, 1 line charts, 2 2D scatter). The live
// cases are paced at the line rate: 10 s of wall (and device) time each.
BENCHMARK(BM_NodeFrame2LivePage)->Unit(benchmark::kMillisecond)->MinTime(10.0)->UseRealTime()->DenseRange(0, 2);
BENCHMARK(BM_AnchorFrame0LivePage)->Unit(benchmark::kMillisecond)->MinTime(10.0)->UseRealTime()->DenseRange(0, 2);
BENCHMARK(BM_TagFrame0LivePage)->Unit(benchmark::kMillisecond)->MinTime(10.0)->UseRealTime()->DenseRange(0, 2);
// Its group offers the frame page alone.
BENCHMARK(BM_NodeFrame4LivePage)->Unit(benchmark::kMillisecond)->MinTime(10.0)->UseRealTime()->Arg(0);

int main(int argc, char** argv)
{
    // --udp off: the figures without UDP output (the program's default is on).
    std::vector<char*> args;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--udp") == 0 && i + 1 < argc)
            g_udp = std::strcmp(argv[++i], "off") != 0;
        else
            args.push_back(argv[i]);
    }
    // Datagrams go to this machine only.
    qputenv("TALMENO_UDP_ADDRESS", "127.0.0.1");
    return benchfeed::runBenchmarks(int(args.size()), args.data(), [](QApplication& app) {
        initViewServices(&app);
        Trelvan::registerProtocols();
        ProtocolNodeFrame2::registerProtocol();
        ProtocolAnchorFrame0::registerProtocol();
    });
}
