// How fast the log grows under bad input, through the real pipeline: the program's
// message handler and log file, the frame search and the decoding on their worker
// threads, every Trelvan data-frame protocol active (as after a user tried each
// group), the system frame and the parameter protocol once used. The input is
// appended in reads of at most 4 KiB as the serial port appends it, paced in real
// time:
//   1. mixed: random bytes, valid, mutated and cut frames of every kind and false
//      heads, at 350,000 bytes/s (a 3.5 Mbaud line);
//   2. node frames 0 whose record counts run past the frame, at 50,000 bytes/s.
// No page drains the protocols' record queues. Prints, per phase, the bytes fed, the
// log's growth and the message starts that wrote the most.
//
//   bench_log_budget [mixed seconds (120)] [node frame 0 seconds (60)]
// A phase of 0 seconds is left out: each phase alone shows its own log, not what the
// decoding of the other's backlog writes.

#include "BenchEnv.h"
#include "FrameFeed.h"
#include "TrelvanFrames.h"

#include "foundation/ZThreadManager.h"
#include "foundation/ZTimerManager.h"
#include "foundation/ZWidgetLogger.h"
#include "products/trelvan/config/ProtocolParameter.h"
#include "products/trelvan/protocols/ProtocolAoaNodeFrame0.h"
#include "products/trelvan/protocols/ProtocolErrorFrame0.h"
#include "products/trelvan/protocols/ProtocolNodeFrame0.h"
#include "products/trelvan/protocols/ProtocolNodeFrame1.h"
#include "products/trelvan/protocols/ProtocolNodeFrame3.h"
#include "products/trelvan/protocols/ProtocolNodeFrame4.h"
#include "products/trelvan/protocols/ProtocolNodeFrame5.h"
#include "products/trelvan/protocols/ProtocolNodeFrame7.h"
#include "products/trelvan/protocols/ProtocolTagFrame0.h"
#include "protocol/ProtocolSystem.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QRandomGenerator>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

using benchfeed::seal;

QByteArray randomBytes(QRandomGenerator& rng, int n)
{
    QByteArray b(n, '\0');
    for (char& c : b)
        c = char(rng.bounded(256));
    return b;
}

void setLength(QByteArray& f)
{
    f[2] = char(f.size() & 0xFF);
    f[3] = char((f.size() >> 8) & 0xFF);
}

// A node frame of `key` whose count (the last byte of its fixed part) gives `count`
// records of recordSize bytes; roles mostly 0 to 2, now and then any.
QByteArray rangingFrame(QRandomGenerator& rng, quint8 key, int fixedPart, int recordSize, int count)
{
    QByteArray f = QByteArray("\x55", 1) + char(key) + randomBytes(rng, fixedPart - 2);
    f[fixedPart - 1] = char(count);
    for (int i = 0; i < count; ++i) {
        QByteArray r = randomBytes(rng, recordSize);
        r[0] = char(rng.bounded(10) ? rng.bounded(3) : rng.bounded(256));
        f += r;
    }
    f.append('\0');
    setLength(f);
    seal(f);
    return f;
}

// Node frame 0: `records` records of a few payload bytes; `count` may claim more.
QByteArray nodeFrame0(QRandomGenerator& rng, int records, int count)
{
    QByteArray f = QByteArray("\x55\x02", 2) + randomBytes(rng, 9);
    f[10] = char(count);
    for (int i = 0; i < records; ++i) {
        const int n = 1 + int(rng.bounded(12));
        f += char(2);
        f += char(i);
        f += char(n);
        f += char(0);
        f += randomBytes(rng, n);
    }
    f.append('\0');
    setLength(f);
    seal(f);
    return f;
}

QByteArray nodeFrame4(QRandomGenerator& rng, int entries)
{
    QByteArray f = QByteArray("\x55\x06", 2) + randomBytes(rng, Trelvan::ProtocolNodeFrame4::kFixedPart - 2);
    f[Trelvan::ProtocolNodeFrame4::kFixedPart - 1] = char(entries);
    for (int i = 0; i < entries; ++i) {
        const int n = int(rng.bounded(6));
        QByteArray e = randomBytes(rng, Trelvan::ProtocolNodeFrame4::kEntryHead);
        e[4] = char(n);
        f += e + randomBytes(rng, n * Trelvan::ProtocolNodeFrame4::kSubRecordSize);
    }
    f.append('\0');
    setLength(f);
    seal(f);
    return f;
}

QByteArray fixedFrame(QRandomGenerator& rng, const QByteArray& head, int length)
{
    QByteArray f = head + randomBytes(rng, length - head.size());
    seal(f);
    return f;
}

// One valid frame of a random kind.
QByteArray anyFrame(QRandomGenerator& rng, int n)
{
    using namespace Trelvan;
    const int records = int(rng.bounded(8));
    switch (rng.bounded(12)) {
    case 0: return benchframes::anchorFrame0(n);
    case 1: return fixedFrame(rng, QByteArray("\x55\x01", 2), ProtocolTagFrame0::kFrameLength);
    case 2: return nodeFrame0(rng, records, records);
    case 3: return rangingFrame(rng, 0x03, ProtocolNodeFrame1::kFixedPart, ProtocolNodeFrame1::kRecordSize, records);
    case 4: return benchframes::nodeFrame2(n);
    case 5: return rangingFrame(rng, 0x05, ProtocolNodeFrame3::kFixedPart, ProtocolNodeFrame3::kRecordSize, records);
    case 6: return nodeFrame4(rng, records);
    case 7:
        return rangingFrame(rng, 0x07, ProtocolAoaNodeFrame0::kFixedPart, ProtocolAoaNodeFrame0::kRecordSize, records);
    case 8: return rangingFrame(rng, 0x08, ProtocolNodeFrame5::kFixedPart, ProtocolNodeFrame5::kRecordSize, records);
    case 9: return rangingFrame(rng, 0x0B, ProtocolNodeFrame7::kFixedPart, ProtocolNodeFrame7::kRecordSize, records);
    case 10: return fixedFrame(rng, QByteArray("\x54\xFA", 2), ProtocolErrorFrame0::kFrameLength);
    default: return fixedFrame(rng, QByteArray("\x52\x00", 2), 32); // a system frame
    }
}

// Random bytes, valid, mutated and cut frames of every kind, false heads.
QByteArray mixedPiece(QRandomGenerator& rng, int n)
{
    const int what = int(rng.bounded(100));
    if (what < 40)
        return anyFrame(rng, n);
    if (what < 70) {
        // A few bytes changed, the sum made right again half of the time.
        QByteArray f = anyFrame(rng, n);
        for (int k = 0, changes = 1 + int(rng.bounded(3)); k < changes; ++k)
            f[int(rng.bounded(f.size()))] = char(rng.bounded(256));
        if (rng.bounded(2))
            seal(f);
        return f;
    }
    if (what < 80) {
        const QByteArray f = anyFrame(rng, n);
        return f.left(1 + int(rng.bounded(f.size() - 1)));
    }
    if (what < 92)
        return randomBytes(rng, 16 + int(rng.bounded(240)));
    // A false head of any kind with any length field.
    static const char keys[] = {0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x0B};
    QByteArray h("\x55", 1);
    h += keys[rng.bounded(int(sizeof keys))];
    return h + randomBytes(rng, 2 + int(rng.bounded(20)));
}

QByteArray pastTheEndPiece(QRandomGenerator& rng, int)
{
    const int records = int(rng.bounded(4));
    return nodeFrame0(rng, records, records + 1 + int(rng.bounded(20)));
}

qint64 logSize()
{
    ZWidgetLogger::flushLogFile();
    return QFileInfo(ZWidgetLogger::logFilePath()).size();
}

// Log bytes by message start (the text after the time prefix up to its first digit).
void printTopSources(qint64 from, qint64 to)
{
    QFile f(ZWidgetLogger::logFilePath());
    if (!f.open(QIODevice::ReadOnly) || !f.seek(from))
        return;
    QMap<QString, QPair<qint64, int>> sources;
    QMap<QString, QString> samples;
    while (f.pos() < to && !f.atEnd()) {
        const QByteArray line = f.readLine();
        QString text = QString::fromUtf8(line.mid(line.startsWith('[') ? 21 : 0));
        int end = 0;
        while (end < text.size() && end < 60 && !text.at(end).isDigit())
            ++end;
        const QString start = text.left(end).trimmed();
        auto& s = sources[start];
        s.first += line.size();
        ++s.second;
        if (!samples.contains(start))
            samples.insert(start, text.left(90).trimmed());
    }
    QList<QPair<qint64, QString>> order;
    for (auto it = sources.begin(); it != sources.end(); ++it)
        order.append({it->first, it.key()});
    std::sort(order.begin(), order.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    for (int i = 0; i < std::min(8, int(order.size())); ++i)
        std::printf("    %9lld bytes %7d lines  %s\n", static_cast<long long>(order[i].first),
                    sources.value(order[i].second).second, qPrintable(samples.value(order[i].second)));
}

struct Phase
{
    const char* name;
    int bytesPerSecond;
    int seconds;
    std::function<QByteArray(QRandomGenerator&, int)> piece;
};

// Feeds the phase in real time, then reports.
void runPhase(QApplication& app, const Phase& phase)
{
    QRandomGenerator rng(42);
    ProtocolFrameExtraction* ex = ProtocolFrameExtraction::instance();
    const qint64 logBefore = logSize();
    const quint64 droppedBefore = ProtocolDataProcessor::instance()->droppedFrames();
    QByteArray ahead;
    qint64 fed = 0;
    int n = 0;
    QElapsedTimer clock;
    clock.start();
    QTimer pace;
    pace.setTimerType(Qt::PreciseTimer);
    QObject::connect(&pace, &QTimer::timeout, [&] {
        const qint64 due = qint64(phase.bytesPerSecond) * std::min<qint64>(clock.elapsed(), phase.seconds * 1000LL) / 1000;
        while (fed < due) {
            while (ahead.size() < 4096)
                ahead += phase.piece(rng, n++);
            const int read = int(std::min<qint64>(4096, due - fed));
            ex->appendData(ahead.left(read));
            ahead.remove(0, read);
            fed += read;
        }
        if (clock.elapsed() >= phase.seconds * 1000LL)
            app.quit();
    });
    pace.start(10);
    app.exec();
    // The last counts come when their second is over.
    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < 1500)
        app.processEvents(QEventLoop::AllEvents, 50);
    const qint64 grown = logSize() - logBefore;
    const double seconds = phase.seconds;
    std::printf("%s: %lld bytes in %.0f s (%.0f bytes/s); log grew %lld bytes, %.1f kB/s; frames dropped "
                "from the processing queue: %llu\n",
                phase.name, static_cast<long long>(fed), seconds, fed / seconds, static_cast<long long>(grown),
                grown / seconds / 1000.0,
                static_cast<unsigned long long>(ProtocolDataProcessor::instance()->droppedFrames() - droppedBefore));
    printTopSources(logBefore, logBefore + grown);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    benchenv::usePrivateHome();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    talmenoInitResources();
    initUserDataFolders();
    const int mixedSeconds = argc > 1 ? std::max(0, atoi(argv[1])) : 120;
    const int node0Seconds = argc > 2 ? std::max(0, atoi(argv[2])) : 60;

    ZWidgetLogger::installMessageHandler();
    ZWidgetLogger::instance(logDir, nullptr);
    benchfeed::useBareModel({ResourceType::Data, ResourceType::Line, ResourceType::Scatter});

    using namespace Trelvan;
    const QList<ProtocolBase*> protocols = {
        ProtocolSystem::instance(&app),      ProtocolParameter::instance(&app),   ProtocolAnchorFrame0::instance(&app),
        ProtocolTagFrame0::instance(&app),   ProtocolNodeFrame0::instance(&app),  ProtocolNodeFrame1::instance(&app),
        ProtocolNodeFrame2::instance(&app),  ProtocolNodeFrame3::instance(&app),  ProtocolNodeFrame4::instance(&app),
        ProtocolAoaNodeFrame0::instance(&app), ProtocolNodeFrame5::instance(&app), ProtocolNodeFrame7::instance(&app),
        ProtocolErrorFrame0::instance(&app)};
    for (ProtocolBase* p : protocols)
        p->setActive(true);
    // The system frame and the parameters were asked for once, as at recognition and
    // in the setting window.
    ProtocolSystem::instance()->setActive(false);
    ProtocolParameter::instance()->setActive(false);

    ZThreadManager* threads = ZThreadManager::instance();
    threads->moveToThread(ZTimerManager::instance(), 5);
    threads->moveToThread(ProtocolFrameExtraction::instance(), 2);
    threads->startThreads();
    ProtocolFrameExtraction::instance()->setEnabled(true);

    if (mixedSeconds > 0)
        runPhase(app, Phase{"mixed bad input", benchfeed::kLineBytesPerSecond, mixedSeconds, mixedPiece});
    if (node0Seconds > 0)
        runPhase(app, Phase{"node frames 0, counts past the end", 50000, node0Seconds, pastTheEndPiece});

    ProtocolFrameExtraction::instance()->setEnabled(false);
    std::fflush(nullptr);
    _exit(0);
}
