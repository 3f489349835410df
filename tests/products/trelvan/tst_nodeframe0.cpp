// Node frame 0 through the real frame search and processor: records, dropped
// frames, JSON text, the offline check, and its "Data Transmission" window.

#include "support/testenv.h"

#include "foundation/ZUdpOutput.h"
#include "helpers/TestCapture.h"
#include "products/trelvan/TrelvanRegistration.h"
#include "products/trelvan/protocols/ProtocolNodeFrame0.h"
#include "products/trelvan/views/NodeViewSupport.h"
#include "products/trelvan/views/WidgetNodeFrame0.h"
#include "protocol/ProtocolDataProcessor.h"
#include "protocol/ProtocolFactory.h"
#include "protocol/ProtocolFrameExtraction.h"
#include "foundation/UserPaths.h"
#include "sim/TrelvanScenario.h"
#include "views/RefreshManagers.h"
#include "widgets/PlainTextEditWithFile.h"

#include <QAction>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QSettings>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTime>
#include <QTimer>
#include <QUdpSocket>

using Trelvan::ProtocolNodeFrame0;
using Trelvan::WidgetNodeFrame0;
using sim::NodeFrame0Fields;
using sim::NodeFrame0Record;

Q_DECLARE_METATYPE(NodeFrame0Fields)

namespace {

NodeFrame0Record rec(qint8 role, quint8 id, const QByteArray& data, int lengthOverride = -1)
{
    NodeFrame0Record r;
    r.role = role;
    r.id = id;
    r.data = data;
    r.lengthOverride = lengthOverride;
    return r;
}

NodeFrame0Fields frame(qint8 role, quint8 id, const QVector<NodeFrame0Record>& nodes, int countOverride = -1)
{
    NodeFrame0Fields f;
    f.role = role;
    f.id = id;
    f.reserved = {1, 2, 3, 4};
    f.nodes = nodes;
    f.countOverride = countOverride;
    return f;
}

// "role:id:hex" of each decoded record.
QStringList describe(const QList<ProtocolNodeFrame0::Node_t>& nodes)
{
    QStringList out;
    for (const auto& n : nodes)
        out << QString("%1:%2:%3:%4").arg(n.role).arg(n.id).arg(n.dataLength).arg(QString(n.data.toHex()));
    return out;
}

} // namespace

class TestNodeFrame0 : public QObject
{
    Q_OBJECT

private:
    ProtocolFrameExtraction* ex = nullptr;
    ProtocolNodeFrame0* p = nullptr;
    QUdpSocket receiver;

    void feed(const QByteArray& bytes)
    {
        ex->appendData(bytes);
        ex->extractFrames();
        ProtocolDataProcessor::instance()->processFrames();
    }
    QByteArray receive()
    {
        if (!receiver.hasPendingDatagrams() && !receiver.waitForReadyRead(5000))
            return QByteArray();
        QByteArray d(int(receiver.pendingDatagramSize()), '\0');
        receiver.readDatagram(d.data(), d.size());
        return d;
    }
    WidgetNodeFrame0* window() { return p->viewItem()->view(); }
    // The window, built by a first frame if none came yet (a case run alone): it
    // hands the protocol its check settings as it is built.
    WidgetNodeFrame0* builtWindow()
    {
        if (!window()) {
            feed(sim::nodeFrame0(frame(3, 0, {})));
            p->queue.takeAll();
        }
        return window();
    }
    void refreshPass() { CommonRefreshManager::instance()->refresh(); }
    QStringList criticalLines() { return TestTrelvan::logLines("offline nodes: "); }

private slots:
    void initTestCase()
    {
        TestTrelvan::startLogCapture(true);
        CommonRefreshManager::instance(this); // before the protocol's item registers
        Trelvan::installNodeLabel();
        ex = ProtocolFrameExtraction::instance();
        QVERIFY(receiver.bind(QHostAddress(QHostAddress::LocalHost), quint16(0)));
        udpOutputPort = receiver.localPort();
        udpOutputEnabled = false;
        QSettings().remove("CheckDT");

        ProtocolFactory::clearRegistrations();
        Trelvan::registerProtocols();
        p = ProtocolNodeFrame0::instance(this);
        p->setActive(true);
    }

    void cleanupTestCase()
    {
        udpOutputEnabled = false;
        p->setCheckEnabled(false);
        TestTrelvan::stopLogCapture();
    }

    void init()
    {
        ex->clearBuffers();
        p->queue.takeAll();
        TestTrelvan::clearLog();
    }

    void firstFrameBuildsTheWindow()
    {
        QVERIFY(!window());

        feed(sim::nodeFrame0(frame(3, 0, {})));
        QVERIFY(window() && !window()->isVisible());
        QCOMPARE(window()->windowTitle(), QString("Data Transmission"));
    }

    void decodesOrDropsFrames_data()
    {
        QTest::addColumn<NodeFrame0Fields>("fields");
        QTest::addColumn<bool>("kept");
        QTest::addColumn<QStringList>("records");

        QTest::newRow("empty payload") << frame(3, 1, {rec(2, 4, {})}) << true << QStringList{"2:4:0:"};
        QTest::newRow("three records, signed role")
            << frame(-1, 200, {rec(2, 0, "\x01\xab\xff"), rec(-128, 255, "A"), rec(1, 9, QByteArray(300, 'z'))})
            << true
            << QStringList{"2:0:3:01abff", "-128:255:1:41", "1:9:300:" + QString(QByteArray(300, 'z').toHex())};
        // Claims one byte more than it has: it then ends on the checksum byte.
        QTest::newRow("record reaching the checksum")
            << frame(3, 0, {rec(2, 1, "\x10\x20", 3)}) << true << QStringList{"2:1:3:1020XX"};
        QTest::newRow("record one byte past the frame")
            << frame(3, 0, {rec(2, 1, "\x10\x20", 4)}) << false << QStringList();
        QTest::newRow("count past the records") << frame(3, 0, {rec(2, 1, "\x10")}, 2) << false << QStringList();
        QTest::newRow("record head past the frame") << frame(3, 0, {}, 1) << false << QStringList();
        QTest::newRow("bytes after the last record ignored")
            << frame(3, 0, {rec(2, 1, "\x10"), rec(2, 2, "\x20")}, 1) << true << QStringList{"2:1:1:10"};
    }

    void decodesOrDropsFrames()
    {
        QFETCH(NodeFrame0Fields, fields);
        QFETCH(bool, kept);
        QFETCH(QStringList, records);
        const QByteArray bytes = sim::nodeFrame0(fields);
        // The record that ends on the checksum carries the checksum byte.
        records.replaceInStrings("XX", QString(bytes.right(1).toHex()));

        const QByteArray before(reinterpret_cast<const char*>(&p->frameRecord), 11);
        feed(bytes);
        const auto queued = p->queue.takeAll();
        if (!kept) {
            // No frame to the search; handed over directly, dropped, its fixed part not kept.
            QCOMPARE(queued.size(), 0);
            QCOMPARE(TestTrelvan::logCount(" verify successed,but length not enough:"), 0);
            p->processFrame(bytes);
            QCOMPARE(p->queue.takeAll().size(), 0);
            QCOMPARE(QByteArray(reinterpret_cast<const char*>(&p->frameRecord), 11), before);
            const QStringList lines = TestTrelvan::logLines(" verify successed,but length not enough:");
            QCOMPARE(lines.size(), 1);
            QCOMPARE(lines[0].mid(21), "Vexa_Trelvan_Node_Frame0 verify successed,but length not enough:" +
                                           QString(bytes.toHex(' ')));
            return;
        }
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(&p->frameRecord), 11), bytes.left(11));
        QCOMPARE(queued.size(), 1);
        const ProtocolNodeFrame0::Data& d = *queued[0];
        QCOMPARE(d.rawFrame, bytes);
        QCOMPARE(describe(d.nodes), records);
        const qint32 now = QTime::currentTime().msecsSinceStartOfDay();
        QVERIFY(d.pcTime <= now && d.pcTime > now - 60000);
        QCOMPARE(TestTrelvan::logCount("length not enough"), 0);
    }

    // "nodes" is null until a frame with records was sent, then an array emptied
    // before each frame; nothing goes out while output is off or for a dropped frame.
    void jsonText()
    {
        udpOutputEnabled = true;
        feed(sim::nodeFrame0(frame(3, 0, {})));
        QCOMPARE(receive(), QByteArray(R"({"node_frame0":{"id":0,"nodes":null,"role":3}})"));

        feed(sim::nodeFrame0(frame(-2, 250, {rec(-1, 200, QByteArray("\x00\xff\x80", 3)), rec(2, 1, {})})));
        QCOMPARE(receive(), QByteArray(R"({"node_frame0":{"id":250,"nodes":[{"data":[0,255,128],"id":200,"role":-1},)"
                                       R"({"data":[],"id":1,"role":2}],"role":-2}})"));

        udpOutputEnabled = false;
        feed(sim::nodeFrame0(frame(3, 11, {rec(2, 1, "x")})));
        udpOutputEnabled = true;
        feed(sim::nodeFrame0(frame(3, 0, {rec(2, 1, "\x10\x20", 4)}))); // dropped
        feed(sim::nodeFrame0(frame(3, 12, {})));
        QCOMPARE(receive(), QByteArray(R"({"node_frame0":{"id":12,"nodes":[],"role":3}})"));
        udpOutputEnabled = false;
    }

    // A text longer than one datagram would be refused by the socket: it is not
    // sent, and the first one is reported once.
    void oversizeTextIsReportedOnce()
    {
        udpOutputEnabled = true;
        const QByteArray payload(16384, char(0xff));
        const NodeFrame0Fields big = frame(3, 0, {rec(2, 0, payload)});
        const int textSize = QByteArray(R"({"node_frame0":{"id":0,"nodes":[{"data":[)").size() + 16384 * 4 - 1 +
                             QByteArray(R"(],"id":0,"role":2}],"role":3}})").size();
        QVERIFY(textSize > 65507);
        feed(sim::nodeFrame0(big));
        feed(sim::nodeFrame0(big));
        QCOMPARE(p->queue.takeAll().size(), 2); // decoded all the same
        feed(sim::nodeFrame0(frame(3, 13, {rec(2, 0, "\x01")})));
        QCOMPARE(receive(), QByteArray(R"({"node_frame0":{"id":13,"nodes":[{"data":[1],"id":0,"role":2}],"role":3}})"));
        const QStringList warnings = TestTrelvan::logLines("longer than one UDP datagram");
        QCOMPARE(warnings.size(), 1);
        QVERIFY2(warnings[0].contains(QString("Vexa_Trelvan_Node_Frame0: JSON text of %1 bytes").arg(textSize)),
                 qPrintable(warnings[0]));
        udpOutputEnabled = false;
    }

    // Ids 0 to 2 watched; payloads only from 0 and 5 (outside the range): 1 and 2
    // are reported, in one critical entry, once a period has passed.
    void checkReportsSilentNodes()
    {
        builtWindow();
        constexpr int period = 300;
        p->setCheckPeriod(period);
        p->setCheckNodeCount(3);
        QElapsedTimer since;
        p->setCheckEnabled(true);
        since.start();
        QTRY_VERIFY_WITH_TIMEOUT(since.elapsed() > period + 50, 10000);
        feed(sim::nodeFrame0(frame(3, 0, {rec(2, 0, "a"), rec(1, 5, "b")})));
        p->processFrame(sim::nodeFrame0(frame(3, 0, {rec(2, 1, "c", 5)}))); // dropped: restarts nothing
        QCOMPARE(TestTrelvan::logCount("length not enough"), 1);
        TestTrelvan::clearLog();
        p->checkDataTransmission();
        const QStringList lines = criticalLines();
        QCOMPARE(lines.size(), 1);
        const QRegularExpression shape(R"(^\[\d\d\.\d\d \d\d:\d\d:\d\d\.\d\d\d\] offline nodes: 2)"
                                       R"(\nDT of node 1 is offline, time elapsed: (\d+) ms)"
                                       R"(\nDT of node 2 is offline, time elapsed: (\d+) ms$)");
        const auto m = shape.match(lines[0]);
        QVERIFY2(m.hasMatch(), qPrintable(lines[0]));
        QVERIFY(m.captured(1).toInt() > period && m.captured(2).toInt() > period);

        // The timer makes the same check by itself.
        TestTrelvan::clearLog();
        QTRY_VERIFY_WITH_TIMEOUT(!criticalLines().isEmpty(), 10000);
        p->setCheckEnabled(false);
        TestTrelvan::clearLog();
        p->checkDataTransmission(); // the clocks keep running, the timer stops
        QCOMPARE(criticalLines().size(), 1);
        QVERIFY(!p->findChild<QTimer*>()->isActive());
    }

    void nodeCountChangeRestartsTheClocks()
    {
        builtWindow();
        constexpr int period = 200;
        p->setCheckPeriod(period);
        p->setCheckNodeCount(2);
        QElapsedTimer since;
        since.start();
        QTRY_VERIFY_WITH_TIMEOUT(since.elapsed() > period + 50, 10000);
        TestTrelvan::clearLog();
        p->setCheckNodeCount(2); // unchanged: the clocks run on
        p->checkDataTransmission();
        QVERIFY(criticalLines().value(0).contains("offline nodes: 2"));
        TestTrelvan::clearLog();
        p->setCheckNodeCount(4);
        p->checkDataTransmission();
        QCOMPARE(criticalLines().size(), 0);
    }

    // Stored values are clamped to the spin boxes' ranges, handed to the protocol
    // and written back when the window is built.
    void windowSettings_data()
    {
        QTest::addColumn<QVariant>("storedCount");
        QTest::addColumn<QVariant>("storedPeriod");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("period");
        QTest::newRow("first start") << QVariant() << QVariant() << 100 << 1200;
        QTest::newRow("stored") << QVariant(3) << QVariant(500) << 3 << 500;
        QTest::newRow("out of range") << QVariant(300) << QVariant(0) << 255 << 1;
        QTest::newRow("longest period") << QVariant(0) << QVariant(100000000) << 0 << 100000000;
    }

    void windowSettings()
    {
        QFETCH(QVariant, storedCount);
        QFETCH(QVariant, storedPeriod);
        QFETCH(int, count);
        QFETCH(int, period);
        {
            QSettings s;
            s.remove("CheckDT");
            if (storedCount.isValid())
                s.setValue("CheckDT/NodeCount", storedCount);
            if (storedPeriod.isValid())
                s.setValue("CheckDT/Peried", storedPeriod);
        }
        p->setCheckNodeCount(42);
        p->setCheckPeriod(42);
        WidgetNodeFrame0 w(WidgetNodeFrame0::defaultNodeSize(), nullptr);
        QCOMPARE(w.nodeCountSpinBox->value(), count);
        QCOMPARE(w.periodSpinBox->value(), period);
        QCOMPARE(p->checkNodeCountValue(), count);
        QCOMPARE(p->checkPeriodValue(), period);
        QCOMPARE(QSettings().value("CheckDT/Peried").toInt(), period);
        p->setCheckPeriod(0); // never a timer that fires on every loop pass
        QCOMPARE(p->checkPeriodValue(), 1);
    }

    // The box switches the check; closing the window clears it, hiding does not.
    void checkBoxFollowsTheWindow()
    {
        WidgetNodeFrame0* w = builtWindow();
        QVERIFY(w);
        QAction* open = w->windowAction();
        open->trigger();
        w->checkBox->setChecked(true);
        QVERIFY(p->isCheckEnabled());
        w->hide();
        QVERIFY(w->checkBox->isChecked() && p->isCheckEnabled());
        open->trigger();
        QVERIFY(w->close());
        QVERIFY(!w->checkBox->isChecked() && !p->isCheckEnabled());
        w->showMinimized();
        open->trigger();
        QVERIFY(!w->isMinimized() && w->isVisible());
        w->close();
    }

    // Every payload of a node between two refreshes reaches its console, oldest
    // first, in one append.
    void consolesGetEveryPayload()
    {
        WidgetNodeFrame0* w = builtWindow();
        refreshPass();
        const qint32 before = QTime::currentTime().msecsSinceStartOfDay();
        feed(sim::nodeFrame0(frame(3, 0, {rec(2, 1, "\x01\xab\xff"), rec(1, 4, {})})));
        feed(sim::nodeFrame0(frame(3, 0, {rec(2, 1, "\x02")})));
        feed(sim::nodeFrame0(frame(3, 0, {rec(2, 1, QByteArray(2, '\0'))})));
        const qint32 after = QTime::currentTime().msecsSinceStartOfDay();
        refreshPass();

        Trelvan::WidgetNode0* box = w->box(2, 1);
        QVERIFY(box);
        box->console->flushPending();
        QFile file(box->console->fileName());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString text = QString::fromLatin1(file.readAll());
        const QRegularExpression shape(R"(^\[pc: (\d\d:\d\d:\d\d\.\d\d\d), 3 B\]\n01 ab ff\n)"
                                       R"(\[pc: (\d\d:\d\d:\d\d\.\d\d\d), 1 B\]\n02\n)"
                                       R"(\[pc: (\d\d:\d\d:\d\d\.\d\d\d), 2 B\]\n00 00\n\n$)");
        const auto m = shape.match(text);
        QVERIFY2(m.hasMatch(), qPrintable(text));
        for (int i = 1; i <= 3; ++i) {
            const int t = QTime::fromString(m.captured(i), "HH:mm:ss.zzz").msecsSinceStartOfDay();
            QVERIFY(t >= before && t <= after);
        }
        Trelvan::WidgetNode0* empty = w->box(1, 4);
        QVERIFY(empty);
        empty->console->flushPending();
        QFile emptyFile(empty->console->fileName());
        QVERIFY(emptyFile.open(QIODevice::ReadOnly));
        const QString emptyText = QString::fromLatin1(emptyFile.readAll());
        QVERIFY2(QRegularExpression(R"(^\[pc: \d\d:\d\d:\d\d\.\d\d\d, 0 B\]\n\n\n$)").match(emptyText).hasMatch(),
                 qPrintable(emptyText));
    }

    // A box built after its node sent 40 payloads (more than 16 KiB, across refreshes
    // and an emptying by the memory watch) shows and saves what a box built before
    // them does; what a node without a box keeps goes with the node.
    void lateBoxShowsAndSavesWhatAnEarlyOneDoes()
    {
        WidgetNodeFrame0* w = builtWindow();
        feed(sim::nodeFrame0(frame(3, 0, {rec(1, 30, "early"), rec(1, 31, "early"), rec(1, 32, "early")})));
        refreshPass();
        Trelvan::WidgetNode0* early = w->box(1, 30);
        QVERIFY(early);
        QVERIFY(!w->builtBox(1, 31) && !w->builtBox(1, 32));

        auto* watch = PlainTextEditWithFileManager::instance();
        const double limit = watch->memoryLimit();
        qint64 payloadBytes = 0;
        for (int i = 0; i < 40; ++i) {
            const QByteArray payload(300 + 13 * i, char(i));
            payloadBytes += payload.size();
            feed(sim::nodeFrame0(frame(3, 0, {rec(1, 30, payload), rec(1, 31, payload), rec(1, 32, payload)})));
            if (i % 3 == 2)
                refreshPass();
            if (i == 20) {
                early->console->flushPending();
                watch->setMemoryLimit(0.0);
                QVERIFY(watch->checkMemory());
                watch->setMemoryLimit(limit);
            }
        }
        refreshPass();
        QVERIFY(payloadBytes > 16 * 1024);

        Trelvan::WidgetNode0* late = w->box(1, 31);
        QVERIFY(late);
        QCOMPARE(late->nameLabel->text(), Trelvan::nodeLabel(1, 31));
        early->console->flushPending();
        late->console->flushPending();
        const QString shown = early->console->toPlainText();
        QVERIFY(shown.contains(QString::fromLatin1(QByteArray(300 + 13 * 39, char(39)).toHex(' '))));
        QVERIFY(!shown.contains(QString::fromLatin1(QByteArray(300, char(0)).toHex(' ')))); // emptied by the watch
        QCOMPARE(late->console->toPlainText(), shown);
        QCOMPARE(late->console->document()->blockCount(), early->console->document()->blockCount());
        QCOMPARE(late->console->characterCount(), early->console->characterCount());

        // "Save to File" of each box, read back.
        QTemporaryDir history;
        const QString oldHistory = historyDataDir;
        historyDataDir = history.path();
        auto oldHook = PlainTextEditWithFile::openFolderHook();
        PlainTextEditWithFile::openFolderHook() = [](const QString&) {};
        auto saved = [](PlainTextEditWithFile* console) {
            const QString path = console->saveToFile();
            QFile file(path);
            const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unsaved>");
            file.remove(); // the next save may fall in the same millisecond
            return bytes;
        };
        const QByteArray earlySaved = saved(early->console);
        const QByteArray lateSaved = saved(late->console);
        historyDataDir = oldHistory;
        PlainTextEditWithFile::openFolderHook() = oldHook;
        QVERIFY(earlySaved.size() > 3 * payloadBytes);
        QVERIFY(earlySaved.startsWith("[pc: "));
        QCOMPARE(lateSaved, earlySaved);

        // The node never shown keeps its payloads in a file, which goes with the node.
        auto* kept = w->nodes().value(1).value(32)->findChild<ConsoleFile*>();
        QVERIFY(kept);
        const QString keptName = kept->fileName();
        QCOMPARE(kept->size(), qint64(earlySaved.size()));
        w->requestClear();
        refreshPass();
        QVERIFY(w->nodes().isEmpty());
        QVERIFY(!QFile::exists(keptName));
    }

    void clearWithoutFrames()
    {
        WidgetNodeFrame0* w = builtWindow();
        feed(sim::nodeFrame0(frame(3, 0, {rec(2, 1, "a")})));
        refreshPass();
        w->rawConsole->flushPending();
        QVERIFY(!w->nodes().isEmpty() && !w->rawConsole->toPlainText().isEmpty());
        QAction* clear = nullptr;
        for (QAction* a : w->toolBar->actions())
            if (a->text() == "Clear")
                clear = a;
        QVERIFY(clear);
        clear->trigger();
        refreshPass();
        QVERIFY(w->findChildren<Trelvan::WidgetNode0*>().isEmpty());
        QVERIFY(w->rawConsole->toPlainText().isEmpty());
        QVERIFY(!w->takeClearRequest()); // taken once
    }

    // Last: it fills the node bound. The bound limits boxes, never data: once it is
    // full, a record of a node not shown still reaches the queue, the JSON and the
    // window's count; only its box is not made.
    void recordsBeyondTheBoundKeepTheirData()
    {
        QList<NodeFrame0Record> fill;
        for (int role = 0; role < 7 && fill.size() < NodeBound::kMaxNodes; ++role)
            for (int id = 0; id < 256 && fill.size() < NodeBound::kMaxNodes; ++id)
                fill << rec(qint8(role), quint8(id), {});
        // Beyond the largest installation a node shows from its second frame.
        for (int pass = 0; pass < 2; ++pass)
            for (int at = 0; at < fill.size(); at += 255)
                feed(sim::nodeFrame0(frame(3, 0, fill.mid(at, 255).toVector())));
        refreshPass();
        QCOMPARE(p->shownNodeCount(), NodeBound::kMaxNodes);

        udpOutputEnabled = true;
        while (receiver.hasPendingDatagrams())
            receiver.readDatagram(nullptr, 0);
        feed(sim::nodeFrame0(frame(3, 9, {rec(6, 250, "\x07"), rec(0, 1, "\x08"), rec(-1, 4, "\x09")})));
        udpOutputEnabled = false;
        QByteArray last;
        for (QByteArray d = receive(); !d.isEmpty(); d = receiver.hasPendingDatagrams() ? receive() : QByteArray())
            last = d;
        QCOMPARE(last, QByteArray(R"({"node_frame0":{"id":9,"nodes":[{"data":[7],"id":250,"role":6},)"
                                  R"({"data":[8],"id":1,"role":0},{"data":[9],"id":4,"role":-1}],"role":3}})"));
        const auto queued = p->queue.takeAll();
        QCOMPARE(queued.size(), 1);
        QCOMPARE(describe(queued[0]->nodes), (QStringList{"6:250:1:07", "0:1:1:08", "-1:4:1:09"}));

        // Back in the queue for the window: every record counts, boxes only for shown nodes.
        p->queue.push(queued[0]);
        p->viewItem()->setDirty(true);
        refreshPass();
        QCOMPARE(window()->nodeCountLabel->value(), QString("3"));
        QVERIFY(window()->nodes().value(0).contains(1));
        QVERIFY(!window()->nodes().value(6).contains(250));
        QVERIFY(!window()->nodes().contains(-1));
    }
};

TALMENO_TEST_MAIN(TestNodeFrame0)
#include "tst_nodeframe0.moc"
