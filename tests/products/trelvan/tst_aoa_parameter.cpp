// The AOA parameter protocol through a real port and the simulated node: the
// request bytes it builds, a reply waited for that stores the node's rate, switches
// to the AOA node frame group (whose frames are then decoded) and signals once,
// damaged replies that change nothing, and a reply nobody waits for that is only kept.

#include "support/testenv.h"

#include "helpers/TestNodeFrame.h"
#include "helpers/TrelvanPortEnv.h"
#include "link/ZSerialPortInterface.h"
#include "products/trelvan/protocols/AoaProtocolParameter.h"
#include "products/trelvan/protocols/ProtocolAoaNodeFrame0.h"
#include "protocol/ProtocolFactory.h"
#include "sim/TrelvanParameterHandler.h"
#include "sim/TrelvanScenario.h"

#include <QSettings>
#include <QSignalSpy>

using Trelvan::AoaProtocolParameter;
using Trelvan::ParameterFrame;
using TestTrelvan::hexBytes;

namespace {
const char* const kNodeFrame0 = "Vexa_Trelvan_Node_Frame0";

} // namespace

class TestAoaParameter : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        TestTrelvan::startPortPipeline();
        // The AOA group's own frames come from other parts of the line; a stand-in
        // member shows the group switch.
        if (!ProtocolFactory::isProtocolRegistered(kNodeFrame0))
            ProtocolFactory::registerProtocol(kNodeFrame0, [](QObject* parent) -> ProtocolBase* {
                return TestTrelvan::ProtocolTestFrame::instance(parent);
            });
        Trelvan::ProtocolAoaNodeFrame0::registerProtocol();
    }

    void requests()
    {
        AoaProtocolParameter* p = AoaProtocolParameter::instance(this);
        QCOMPARE(ParameterFrame().toByteArray(), TestTrelvan::defaultParameterRecord(0x00, 0x00));
        QCOMPARE(p->packReadRequest(), TestTrelvan::defaultParameterRecord(0x01, 0x4A));
        QCOMPARE(AoaProtocolParameter::makeRestartCommand(), TestTrelvan::defaultParameterRecord(0x08, 0x51));
        QVERIFY(p->packWriteRequest().isEmpty());
        QCOMPARE(p->receivedFrame(), ParameterFrame());
    }

    // Read and restart through the pty: the node answers the read at 921600 baud.
    void replyThroughPort()
    {
        sim::TrelvanNodeSetup setup;
        setup.baudRate = 921600;
        setup.id = 5;
        TestTrelvan::NodeOnPort node(setup);
        QVERIFY(node.open());
        QSettings().setValue("RecognizedBaudrate", 0);
        AoaProtocolParameter* p = AoaProtocolParameter::instance(this);
        QSignalSpy received(p, &AoaProtocolParameter::dataFrameReceived);
        bool standInActiveAtSignal = false;
        QObject probeScope;
        connect(p, &AoaProtocolParameter::dataFrameReceived, &probeScope, [&] {
            standInActiveAtSignal = TestTrelvan::ProtocolTestFrame::instance()->isActive();
        }, Qt::DirectConnection);

        p->setActive(true);
        p->setWaitingForReply(true);
        QVERIFY(ZSerialPortInterface::write(p->packReadRequest()));
        QTRY_COMPARE_WITH_TIMEOUT(received.count(), 1, 10000);
        p->setWaitingForReply(false);
        QCOMPARE(node.parameters().reads(), 1);
        QCOMPARE(node.parameters().lastRequest(), TestTrelvan::defaultParameterRecord(0x01, 0x4A));
        const ParameterFrame reply = p->receivedFrame();
        QCOMPARE(reply.toByteArray().mid(5, 3), hexBytes("00 10 0E"));
        QCOMPARE(reply.id(), quint8(5));
        QCOMPARE(QSettings().value("RecognizedBaudrate").toUInt(), 921600u);
        QVERIFY(standInActiveAtSignal);
        QVERIFY(!p->isActive());

        // The stream after the reply is the AOA node's own: its frames are decoded.
        auto* aoa = Trelvan::ProtocolAoaNodeFrame0::existing();
        QVERIFY(aoa);
        QVERIFY(aoa->isActive());
        aoa->queue.takeAll();
        const sim::TrelvanScenario scenario;
        const int frames = 6;
        node.device().send(scenario.stream(sim::TrelvanScenario::Kind::AoaNodeFrame0, 0, frames));
        QList<QSharedPointer<Trelvan::ProtocolAoaNodeFrame0::Data>> decoded;
        QTRY_VERIFY_WITH_TIMEOUT((decoded += aoa->queue.takeAll(), decoded.size() >= frames), 10000);
        QCOMPARE(decoded.size(), frames);
        for (int n = 0; n < frames; ++n) {
            const sim::RangeFrameFields sent = scenario.aoaNodeFrame0Fields(n);
            QCOMPARE(decoded[n]->systemTime, sent.systemTime);
            QCOMPARE(quint16(decoded[n]->frame.voltage), sent.voltage);
            QCOMPARE(decoded[n]->nodes.size(), sent.nodes.size());
            for (int k = 0; k < sent.nodes.size(); ++k) {
                const auto& got = decoded[n]->nodes[k];
                QCOMPARE(quint32(got.id), sent.nodes[k].id);
                QCOMPARE(qint16(got.angle), sent.nodes[k].angle0);
                const qint32 dis = qint32(quint32(got.dis[0]) | quint32(got.dis[1]) << 8 | quint32(got.dis[2]) << 16) << 8 >> 8;
                QCOMPARE(dis, sent.nodes[k].disMm);
            }
        }

        QVERIFY(ZSerialPortInterface::write(AoaProtocolParameter::makeRestartCommand()));
        QTRY_COMPARE_WITH_TIMEOUT(node.parameters().restarts(), 1, 10000);
        QCOMPARE(node.parameters().lastRequest(), TestTrelvan::defaultParameterRecord(0x08, 0x51));
    }

    // A reply with a wrong sum or cut short is never kept; the good one after it is. A good
    // reply no read of ours waits for is only kept: no rate stored, no group switch, no signal.
    void damagedRepliesChangeNothing_data()
    {
        QTest::addColumn<bool>("cutShort");
        QTest::addColumn<int>("goodId");
        QTest::addColumn<bool>("waited");
        QTest::newRow("bad checksum") << false << 6 << true;
        QTest::newRow("short frame") << true << 8 << true;
        QTest::newRow("nobody waits") << false << 9 << false;
    }
    void damagedRepliesChangeNothing()
    {
        QFETCH(bool, cutShort);
        QFETCH(int, goodId);
        QFETCH(bool, waited);
        sim::TrelvanNodeSetup setup;
        setup.id = 77;
        setup.baudRate = 460800;
        const QByteArray good77 = sim::trelvanParameterDefaults(setup);
        QByteArray bad = cutShort ? good77.left(100) : good77;
        if (!cutShort)
            bad[127] = char(quint8(bad[127]) + 1);
        setup.id = quint8(goodId);
        setup.baudRate = 115200;
        const QByteArray good = sim::trelvanParameterDefaults(setup);

        TestTrelvan::NodeOnPort node(setup);
        QVERIFY(node.open());
        AoaProtocolParameter* p = AoaProtocolParameter::instance(this);
        const ParameterFrame before = p->receivedFrame();
        QSignalSpy received(p, &AoaProtocolParameter::dataFrameReceived);
        p->setActive(true);
        p->setWaitingForReply(waited);
        QSettings().setValue("RecognizedBaudrate", 1);
        node.device().send(bad + good);
        QTRY_COMPARE_WITH_TIMEOUT(p->receivedFrame().toByteArray(), good, 10000);
        QTRY_COMPARE_WITH_TIMEOUT(received.count(), waited ? 1 : 0, 10000);
        p->setWaitingForReply(false);
        QVERIFY(p->receivedFrame() != before);
        QCOMPARE(QSettings().value("RecognizedBaudrate").toUInt(), waited ? 115200u : 1u);
        QCOMPARE(p->isActive(), !waited); // a group switch takes it out
        QCOMPARE(received.count(), waited ? 1 : 0);
        p->setActive(false);
    }
};

TALMENO_TEST_MAIN(TestAoaParameter)
#include "tst_aoa_parameter.moc"
