// The running pipeline: a simulated device streams a recording through a real
// pty into the port; the search runs on thread slot 2, decoding on slot 3, and
// every frame arrives once, in order.

#include "support/testenv.h"

#include "foundation/ZDemandTimer.h"
#include "foundation/ZThreadManager.h"
#include "helpers/PipelineEnv.h"
#include "helpers/TestProtocols.h"
#include "link/ZSerialPort.h"
#include "model/ModelManager.h"
#include "products/iot/IotProtocolFrame0.h"
#include "protocol/ProtocolDataProcessor.h"
#include "protocol/ProtocolFrameExtraction.h"
#include "protocol/ProtocolSeams.h"
#include "sim/DeviceSimulator.h"
#include "sim/IotNodeSimulator.h"

#include <QScopeGuard>
#include <QSemaphore>
#include <QTemporaryDir>

namespace {

// Counts its decoded frames where the count outlives it; with a gate, each decode
// announces itself and waits to be let go on.
class ProbeProtocol : public FixedProtocol
{
public:
    ProbeProtocol(const QByteArray& head, std::atomic<int>* parses, QSemaphore* gate = nullptr, QObject* parent = nullptr)
        : FixedProtocol("probe", head, 32, parent)
        , parses_(parses)
        , gate_(gate)
    {
    }
    void parseFrame(const QByteArray& frame) override
    {
        ++*parses_;
        if (gate_) {
            gate_[0].release();
            gate_[1].acquire();
        }
    }

private:
    std::atomic<int>* parses_;
    QSemaphore* gate_;
};

ModelManager* g_page = nullptr;
ModelManager* currentPage()
{
    return g_page;
}

} // namespace

class TestPipelineThreads : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        testenv::startWorkerThreads();
        ProtocolFrameExtraction* ex = ProtocolFrameExtraction::instance();
        ZThreadManager::instance()->moveToThread(ex, 2);
        QCOMPARE(ProtocolDataProcessor::instance()->thread(), ZThreadManager::instance()->thread(3));
    }

    void streamedFileIsDecodedOnTheWorkerSlots()
    {
        FixedProtocol fixed("fixed", QByteArray("\x52\x00", 2), 32);
        LengthFieldProtocol variable("variable", "\x55\x01", 8);
        fixed.setActive(true);
        variable.setActive(true);

        const QByteArray avoid("\x52\x55", 2);
        QByteArray recording;
        QVector<int> sizes;
        QList<QByteArray> fixedFrames;
        QList<QByteArray> variableFrames;
        for (int i = 0; i < 2000; ++i) {
            if (i % 3 == 0) {
                const int len = 10 + (i % 40);
                variableFrames << frames::lengthField("\x55\x01", len, i, avoid);
                recording += variableFrames.last();
            } else {
                fixedFrames << frames::fixed(QByteArray("\x52\x00", 2), 32, i, avoid);
                recording += fixedFrames.last();
            }
            sizes << (i % 3 == 0 ? variableFrames.last() : fixedFrames.last()).size();
        }

        sim::DeviceSimulator device;
        QVERIFY(device.start());
        ZSerialPort port;
        port.setPortName(device.portPath());
        port.setBaudRate(921600);
        ProtocolFrameExtraction* ex = ProtocolFrameExtraction::instance();
        connect(&port, &ZSerialPort::dataArrived, ex, &ProtocolFrameExtraction::appendData, Qt::DirectConnection);
        ex->setEnabled(true);
        QVERIFY(port.open(3));
        // Paced like a device at about 1 Mbaud, a frame in one write: the search never
        // gives up half a frame because a busy machine held the reader up.
        device.stream(recording, 100000, false, sizes);

        QTRY_COMPARE_WITH_TIMEOUT(fixed.parseCount() + variable.parseCount(), 2000, 5000);
        QCOMPARE(fixed.parsed(), fixedFrames);
        QCOMPARE(variable.parsed(), variableFrames);
        QCOMPARE(port.receivedBytes(), quint64(recording.size()));
        QCOMPARE(fixed.searchThread(), ZThreadManager::instance()->thread(2));
        QCOMPARE(variable.searchThread(), ZThreadManager::instance()->thread(2));
        QCOMPARE(fixed.parseThread(), ZThreadManager::instance()->thread(3));
        QCOMPARE(variable.parseThread(), ZThreadManager::instance()->thread(3));
        QCOMPARE(fixed.calls().first(), QString("register"));
        QCOMPARE(fixed.calls().count("register"), 1);

        // Quiet before the protocols go away.
        ex->setEnabled(false);
        port.close();
        fixed.setActive(false);
        variable.setActive(false);
        ZThreadManager::instance()->runInThread(2, [] {}, true);
        ZThreadManager::instance()->runInThread(3, [] {}, true);
    }

    // At rest the search and decoding timers are off; bytes start them, bytes that
    // come while the search is off wait for it, and a stream ends with both off again.
    void timersRunOnlyWhileThereIsWork()
    {
        FixedProtocol fixed("fixed", QByteArray("\x52\x00", 2), 32);
        fixed.setActive(true);
        ProtocolFrameExtraction* ex = ProtocolFrameExtraction::instance();
        ProtocolDataProcessor* processor = ProtocolDataProcessor::instance();
        QTRY_VERIFY(!ex->passTimer()->isRunning());
        QTRY_VERIFY(!processor->passTimer()->isRunning());

        sim::DeviceSimulator device;
        QVERIFY(device.start());
        ZSerialPort port;
        port.setPortName(device.portPath());
        connect(&port, &ZSerialPort::dataArrived, ex, &ProtocolFrameExtraction::appendData, Qt::DirectConnection);
        QVERIFY(port.open(3));

        QList<QByteArray> sent;
        for (int i = 0; i < 3; ++i)
            sent << frames::fixed(QByteArray("\x52\x00", 2), 32, i, QByteArray("\x52", 1));
        // Search off: the bytes arrive and wait, nothing ticks for them.
        ex->setEnabled(false);
        const quint64 extractionStarts = ex->passTimer()->startCount();
        device.send(sent.at(0));
        QTRY_COMPARE(port.receivedBytes(), quint64(32));
        QVERIFY(!ex->passTimer()->isRunning());
        QCOMPARE(ex->passTimer()->startCount(), extractionStarts);
        QCOMPARE(fixed.parseCount(), 0);

        // Search on: the waiting frame is decoded, then the next ones as they come.
        ex->setEnabled(true);
        QTRY_COMPARE_WITH_TIMEOUT(fixed.parseCount(), 1, 5000);
        device.send(sent.at(1) + sent.at(2));
        QTRY_COMPARE_WITH_TIMEOUT(fixed.parseCount(), 3, 5000);
        QCOMPARE(fixed.parsed(), sent);
        QVERIFY(ex->passTimer()->startCount() > extractionStarts);
        QTRY_VERIFY(!ex->passTimer()->isRunning());
        QTRY_VERIFY(!processor->passTimer()->isRunning());

        ex->setEnabled(false);
        port.close();
        fixed.setActive(false);
        ZThreadManager::instance()->runInThread(2, [] {}, true);
        ZThreadManager::instance()->runInThread(3, [] {}, true);
    }

    // A protocol goes away while its frames wait in the queue or in a pass busy with
    // an earlier frame: none of them is decoded, the others' around them are.
    void framesOfAProtocolThatWentAreNotDecoded_data()
    {
        QTest::addColumn<bool>("inPass");
        QTest::newRow("queued") << false;
        QTest::newRow("in a pass under way") << true;
    }
    void framesOfAProtocolThatWentAreNotDecoded()
    {
        QFETCH(bool, inPass);
        std::atomic<int> goneParses{0}, staysParses{0}, gateParses{0};
        auto* owner = new QObject; // the protocol goes with it
        auto* gone = new ProbeProtocol("\x52\x01", &goneParses, nullptr, owner);
        ProbeProtocol stays("\x52\x02", &staysParses);
        QSemaphore gateSemaphores[2]; // entered, let go on
        ProbeProtocol gate("\x52\x03", &gateParses, gateSemaphores);
        const auto neverHeld = qScopeGuard([&] { gateSemaphores[1].release(); }); // also when a check fails
        const auto frame = [](ProtocolBase* p, int i) {
            return ExtractedFrame{p, frames::fixed(p->head(), 32, quint32(i)), QTime::currentTime()};
        };

        // The decoding pass is held by the gate frame: queued alone before the others,
        // or at the head of the pass that takes them all.
        QVector<ExtractedFrame> waiting{frame(&gate, 1)};
        if (!inPass) {
            ProtocolDataProcessor::instance()->appendFrames(waiting);
            QVERIFY(gateSemaphores[0].tryAcquire(1, 5000));
            waiting.clear();
        }
        for (int i = 0; i < 3; ++i)
            waiting << frame(gone, i) << frame(&stays, i);
        ProtocolDataProcessor::instance()->appendFrames(waiting);
        if (inPass)
            QVERIFY(gateSemaphores[0].tryAcquire(1, 5000));
        delete owner;
        gateSemaphores[1].release();
        QTRY_COMPARE_WITH_TIMEOUT(staysParses.load(), 3, 5000);
        ZThreadManager::instance()->runInThread(3, [] {}, true);
        QCOMPARE(goneParses.load(), 0);
        QCOMPARE(gateParses.load(), 1);
    }

    // Frames full of nodes never seen, decoded while the page's thread is busy: here
    // it does not return to its event loop at all. Every frame is decoded meanwhile
    // and none is discarded; once the page's thread runs again, every node's items
    // are in its model once, holding what the frames wrote.
    void newNodesAreDecodedWhileThePageIsBusy()
    {
        constexpr int kFrames = 100; // ten new nodes each: 3,000 line items
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        ModelManager page(dir.filePath("page.ini"), {ResourceType::Data, ResourceType::Line});
        page.loadSettings();
        g_page = &page;
        ProtocolSeams::setCurrentModelManagerLookup(&currentPage);
        auto* protocol = iot::ProtocolFrame0::instance();
        const auto cleanup = qScopeGuard([protocol] {
            ZThreadManager::instance()->runInThread(3, [] {}, true);
            delete protocol;
            ProtocolSeams::setCurrentModelManagerLookup([]() -> ModelManager* { return nullptr; });
            g_page = nullptr;
        });
        QSignalSpy announced(&page, &ModelManager::resourceCreated);
        testenv::LogCapture log;
        const quint64 droppedBefore = ProtocolDataProcessor::instance()->droppedFrames();

        const auto idOf = [](int frame, int slot) { return quint32(0x1000 + frame * 10 + slot); };
        QVector<ExtractedFrame> frames;
        for (int f = 0; f < kFrames; ++f) {
            sim::IotSlots nodes;
            for (int k = 0; k < iot::ProtocolFrame0::kNodeSlots; ++k) {
                const quint32 id = idOf(f, k);
                nodes.push_back({k, sim::IotNodeRecord{id, quint8(f), qint32(id) * 3, qint32(id), -qint32(id)}});
            }
            frames << ExtractedFrame{protocol, sim::iotFrame(nodes, quint32(f)), QTime::currentTime()};
        }
        ProtocolDataProcessor::instance()->appendFrames(frames);

        QElapsedTimer busy;
        busy.start();
        while (protocol->queue.pushedCount() < quint64(kFrames) && busy.elapsed() < 20000)
            QThread::msleep(2);
        QCOMPARE(protocol->queue.pushedCount(), quint64(kFrames));
        QCOMPARE(protocol->queue.size(), kFrames);
        QCOMPARE(ProtocolDataProcessor::instance()->droppedFrames(), droppedBefore);
        QCOMPARE(log.count("previous data will be discarded"), 0);

        // The page's thread takes the items now.
        BaseResourceModel* lines = page.resourceModel(ResourceType::Line);
        QTRY_COMPARE(lines->rowCount(), 3 * kFrames * iot::ProtocolFrame0::kNodeSlots);
        QCOMPARE(announced.count(), lines->rowCount() + 1);
        QCOMPARE(page.resourceModel(ResourceType::Data)->rowCount(), 1);
        QVERIFY(qobject_cast<DataResourceItem*>(protocol->dataItem())->factory());
        QSet<const BaseItem*> rows;
        for (const BaseItem* item : lines->items())
            rows.insert(item);
        QCOMPARE(rows.size(), lines->rowCount());
        const QString container = page.containerModel(ResourceType::Line)->defaultContainerName();
        for (int f = 0; f < kFrames; ++f) {
            for (int k = 0; k < iot::ProtocolFrame0::kNodeSlots; ++k) {
                const quint32 id = idOf(f, k);
                const iot::ProtocolFrame0::NodeItems items = protocol->nodeItems(id);
                const QList<QPair<LineResourceItem*, double>> expected{
                    {items.dis, id * 3 / 1000.0f}, {items.aoaH, id / 1000.0f}, {items.aoaV, -qint32(id) / 1000.0f}};
                for (int v = 0; v < expected.size(); ++v) {
                    LineResourceItem* item = expected.at(v).first;
                    QVERIFY(item);
                    const QString name = iot::ProtocolFrame0::itemName(iot::ProtocolFrame0::valueNames().at(v), id);
                    QCOMPARE(lines->resource(protocol->name() + name), item);
                    QCOMPARE(item->values(), QList<double>{expected.at(v).second});
                    QCOMPARE(item->containerName(), container);
                }
            }
        }
    }

    // A head whose length field promises more than ever comes, then a good frame,
    // then silence: the good frame is still decoded, with no byte after it.
    void goodFrameBehindAFalseHeadIsDecodedWithoutMoreInput()
    {
        LengthFieldProtocol len("len", QByteArray("\x54\x02"), 6);
        FixedProtocol fixed("fixed", QByteArray("\x55\x01", 2), 20);
        len.setActive(true);
        fixed.setActive(true);
        ProtocolFrameExtraction* ex = ProtocolFrameExtraction::instance();
        ZThreadManager::instance()->runInThread(2, [ex] { ex->clearBuffers(); }, true);

        sim::DeviceSimulator device;
        QVERIFY(device.start());
        ZSerialPort port;
        port.setPortName(device.portPath());
        connect(&port, &ZSerialPort::dataArrived, ex, &ProtocolFrameExtraction::appendData, Qt::DirectConnection);
        QVERIFY(port.open(3));
        ex->setEnabled(true);

        const QByteArray stray = QByteArray("\x54\x02\x00\x02", 4) + QByteArray(5, '\x10');
        const QByteArray good = frames::fixed(QByteArray("\x55\x01", 2), 20, 6, QByteArray("\x55\x54", 2));
        device.send(stray + good);
        QTRY_COMPARE_WITH_TIMEOUT(fixed.parseCount(), 1, 5000);
        QCOMPARE(fixed.parsed(), QList<QByteArray>{good});
        QCOMPARE(len.parseCount(), 0);
        QTRY_VERIFY(!ex->passTimer()->isRunning());

        ex->setEnabled(false);
        port.close();
        len.setActive(false);
        fixed.setActive(false);
        ZThreadManager::instance()->runInThread(2, [] {}, true);
        ZThreadManager::instance()->runInThread(3, [] {}, true);
    }
};

TALMENO_TEST_MAIN(TestPipelineThreads)
#include "tst_pipeline_threads.moc"
