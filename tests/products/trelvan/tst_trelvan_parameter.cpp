// The nodes' parameter protocol: requests, replies through the pipeline, reply checks,
// and exchanges with the simulated node over a pty.

#include "support/testenv.h"

#include "foundation/ZTimerManager.h"
#include "foundation/ZUdpOutput.h"
#include "helpers/TrelvanPortEnv.h"
#include "products/trelvan/config/ProtocolParameter.h"
#include "products/trelvan/protocols/ProtocolNodeFrame2.h"
#include "products/trelvan/wireless/WidgetNode.h"
#include "protocol/ProtocolFactory.h"
#include "protocol/ProtocolFrameExtraction.h"
#include "sim/TrelvanParameterHandler.h"
#include "support/LogCapture.h"

#include <QElapsedTimer>
#include <QNetworkDatagram>
#include <QScopeGuard>
#include <QSettings>
#include <QSignalSpy>
#include <QThread>
#include <QTimer>
#include <QUdpSocket>

using Trelvan::ParameterFrame;
using Trelvan::ProtocolParameter;
using talmeno_test::LogCapture;
using TestTrelvan::hexBytes;

namespace {
// An editor that records the order of the stores and writes one byte.
struct OrderItem : Trelvan::ZConfigItemInterface
{
    OrderItem(int index, QList<int>* order) : index(index), order(order) {}
    void loadFromParameter() override { order->append(-index - 1); }
    void storeToParameter() override
    {
        order->append(index);
        ProtocolParameter::instance()->writeFrame().bytes[size_t(40 + index)] = quint8(index + 1);
    }
    int index;
    QList<int>* order;
};

ParameterFrame appModeFrame(quint8 role, quint8 id, quint8 appMode, quint8 protocol)
{
    return TestTrelvan::nodeParameters(role, id, appMode >> 4, appMode & 0x0F, protocol);
}

} // namespace

class TestTrelvanParameter : public QObject
{
    Q_OBJECT

    QUdpSocket receiver_;
    ProtocolParameter* p_ = nullptr;

    // One exchange with the directly connected node, as the setting window runs it.
    bool exchange(const QByteArray& request, int timeoutMs)
    {
        p_->setActive(true);
        p_->setWaitingForReply(true);
        ZSerialPortInterface::write(request);
        const bool timedOut = waitForReply(ZTimerManager::instance(), timeoutMs, p_, &ProtocolParameter::dataFrameReceived);
        p_->setWaitingForReply(false);
        return !timedOut;
    }

    QByteArray nextDatagram()
    {
        if (!receiver_.hasPendingDatagrams() && !receiver_.waitForReadyRead(10000))
            return QByteArray();
        return receiver_.receiveDatagram().data();
    }

private slots:
    void initTestCase()
    {
        TestTrelvan::startPortPipeline();
        Trelvan::ProtocolNodeFrame2::registerProtocol();
        p_ = ProtocolParameter::instance(this);
        QVERIFY(receiver_.bind(QHostAddress(QHostAddress::LocalHost), 0));
        udpOutputPort.store(receiver_.localPort());
        udpOutputEnabled.store(true);
    }

    void requestsAreByteExact_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QByteArray>("expected");
        QTest::addColumn<QString>("logged");
        QTest::newRow("read") << "read" << TestTrelvan::defaultParameterRecord(0x01, 0x4A) << "trelvan read parameter data updated : 54 00 01 00";
        QByteArray group2 = TestTrelvan::defaultParameterRecord(0x01, 0x4C);
        group2[36] = 2;
        QTest::newRow("group 2") << "group" << group2 << "";
        QTest::newRow("restart") << "restart" << TestTrelvan::defaultParameterRecord(0x08, 0x51) << "";
        QTest::newRow("poll") << "poll" << TestTrelvan::defaultParameterRecord(0x20, 0x69) << "";
        QTest::newRow("mode switch") << "switch" << TestTrelvan::defaultParameterRecord(0x02, 0x4B) << "parameter send: localMode: 0   runningMode: 0";
    }
    void requestsAreByteExact()
    {
        QFETCH(QString, kind);
        QFETCH(QByteArray, expected);
        QFETCH(QString, logged);
        LogCapture log;
        QByteArray made;
        if (kind == "read")
            made = p_->packReadRequest();
        else if (kind == "group")
            made = p_->makeGroupReadRequest(2);
        else if (kind == "restart")
            made = ProtocolParameter::makeRestartCommand();
        else if (kind == "poll")
            made = ProtocolParameter::makeCalibrationPollRequest();
        else
            made = p_->makeModeSwitchRequest();
        QCOMPARE(made.toHex(' '), expected.toHex(' '));
        if (!logged.isEmpty())
            QCOMPARE(log.count(logged), 1);
    }

    void writeStoresEveryItemInIndexOrder()
    {
        QList<int> order;
        OrderItem a(5, &order), b(0, &order), c(13, &order);
        p_->registerConfigItem(13, &c);
        p_->registerConfigItem(0, &b);
        p_->registerConfigItem(5, &a);
        p_->writeFrame().setCommand(0x03);
        LogCapture log;
        const QByteArray w = p_->packWriteRequest();
        QCOMPARE(order, (QList<int>{0, 5, 13}));
        QCOMPARE(quint8(w[2]), quint8(0x02)); // read bit cleared, other bits kept
        QCOMPARE(quint8(w[40]), quint8(1));
        QCOMPARE(quint8(w[45]), quint8(6));
        QCOMPARE(quint8(w[53]), quint8(14));
        quint8 sum = 0;
        for (int i = 0; i < 127; ++i)
            sum = quint8(sum + quint8(w[i]));
        QCOMPARE(quint8(w[127]), sum);
        QCOMPARE(log.count("trelvan write parameter data updated : " + QString::fromLatin1(w.toHex(' ').toUpper())), 1);
        order.clear();
        p_->loadConfigItems();
        QCOMPARE(order, (QList<int>{-1, -6, -14}));
        for (auto* item : {&a, &b, &c})
            p_->unregisterConfigItem(item);
        p_->writeFrame() = ParameterFrame();
    }

    void repliesThroughThePipeline_data()
    {
        QTest::addColumn<bool>("waiting");
        QTest::addColumn<int>("rawRole");
        QTest::addColumn<int>("protocol");
        QTest::addColumn<bool>("sent");
        QTest::newRow("role 9 outside a wait") << false << 9 << 77 << true;
        QTest::newRow("node frame 2 in a wait") << true << 2 << 4 << true;
        QTest::newRow("unknown protocol in a wait") << true << 1 << 77 << false;
    }
    void repliesThroughThePipeline()
    {
        QFETCH(bool, waiting);
        QFETCH(int, rawRole);
        QFETCH(int, protocol);
        QFETCH(bool, sent);
        while (receiver_.hasPendingDatagrams())
            receiver_.receiveDatagram();
        ParameterFrame reply = appModeFrame(quint8(rawRole), 3, 0x21, quint8(protocol));
        reply.setBaudRate(460800);
        reply.setSystemTime(0x01020304);
        reply.setTxGain(67);
        reply.seal();
        QSettings().setValue("RecognizedBaudrate", 0);
        LogCapture log;
        QSignalSpy received(p_, &ProtocolParameter::dataFrameReceived);
        QSignalSpy parsed(p_, &ProtocolBase::dataParseFinished);
        // The data protocol is in place when the waiting window hears of the reply.
        bool switchedAtSignal = false;
        QObject probe;
        connect(p_, &ProtocolParameter::dataFrameReceived, &probe, [&] {
            switchedAtSignal = Trelvan::ProtocolNodeFrame2::existing() && Trelvan::ProtocolNodeFrame2::existing()->isActive();
        }, Qt::DirectConnection);
        p_->setActive(true);
        p_->setWaitingForReply(waiting);
        ProtocolFrameExtraction::instance()->appendData(hexBytes("00 54") + reply.toByteArray());
        QTRY_COMPARE_WITH_TIMEOUT(parsed.count(), 1, 10000);
        p_->setWaitingForReply(false);
        QCOMPARE(received.count(), waiting ? 1 : 0);
        QCOMPARE(p_->rawRole(), rawRole);
        QCOMPARE(int(p_->receivedFrame().role()), rawRole > 6 ? 0 : rawRole);
        QCOMPARE(log.count(QtCriticalMsg, "error role received: 9  reset to node"), rawRole > 6 ? 1 : 0);
        QCOMPARE(QSettings().value("RecognizedBaudrate").toUInt(), waiting ? 460800u : 0u);
        QCOMPARE(log.count(QtCriticalMsg, "error protocol value received: 77"), waiting && protocol == 77 ? 1 : 0);
        if (waiting && protocol == 4)
            QVERIFY(switchedAtSignal);
        if (sent) {
            const QByteArray text = nextDatagram();
            QCOMPARE(QString::fromLatin1(text),
                     QString("{\"param_frame\":{\"anchor_capacity\":8,\"app_mode_local\":2,\"app_mode_running\":1,"
                             "\"baudrate\":460800,\"console_capacity\":1,\"filter_factor\":0,\"id\":3,\"model\":0,"
                             "\"node_capacity\":0,\"protocol\":%1,\"refresh_rate\":10,\"role\":%2,\"system_id\":0,"
                             "\"system_num\":0,\"system_time\":16909060,\"tx_gain\":67}}")
                         .arg(protocol)
                         .arg(rawRole > 6 ? 0 : rawRole));
            QCOMPARE(log.count("trelvan parameter data recved : 54 00"), 1);
        } else {
            // The parse ended early: no debug lines, no datagram.
            QCOMPARE(log.count("parameter received:"), 0);
            QVERIFY(!receiver_.hasPendingDatagrams());
        }
    }

    // The write check compares the fields that apply to the written mode and role.
    void writeChecks_data()
    {
        QTest::addColumn<int>("localMode");
        QTest::addColumn<int>("role");
        QTest::addColumn<int>("changedByte");
        QTest::addColumn<int>("op");
        QTest::addColumn<QString>("error");
        const int w = ProtocolParameter::CheckWriteWithId;
        QTest::newRow("slave systemNum") << 3 << 5 << 8 << w << "systemNum error";
        QTest::newRow("slave systemID") << 3 << 5 << 12 << w << "systemID error";
        QTest::newRow("slave role") << 3 << 5 << 3 << w << "role error";
        QTest::newRow("slave baudRate") << 3 << 5 << 6 << w << "baudRate error";
        QTest::newRow("slave onOff bit 2") << 3 << 5 << 14 << w << "onOffControl error";
        QTest::newRow("slave id") << 3 << 5 << 9 << w << "id error";
        QTest::newRow("slave protocol ignored") << 3 << 5 << 19 << w << "";
        QTest::newRow("slave model ignored") << 3 << 5 << 4 << w << "";
        QTest::newRow("master id ignored") << 3 << 4 << 9 << w << "";
        QTest::newRow("CM mode compares nothing") << 8 << 1 << 8 << w << "";
        QTest::newRow("local nibble of appMode") << 0 << 2 << 17 << w << "appMode error";
        QTest::newRow("tag model") << 0 << 2 << 4 << w << "model error";
        QTest::newRow("tag id without id check") << 0 << 2 << 9 << int(ProtocolParameter::CheckWrite) << "";
        QTest::newRow("tx gain never") << 0 << 2 << 20 << w << "";
    }
    void writeChecks()
    {
        QFETCH(int, localMode);
        QFETCH(int, role);
        QFETCH(int, changedByte);
        QFETCH(int, op);
        QFETCH(QString, error);
        ParameterFrame written = appModeFrame(quint8(role), 4, quint8(localMode << 4 | localMode), 4);
        p_->writeFrame() = written;
        ParameterFrame back = written;
        // bit 2 of byte 14 is compared, so is the local nibble of byte 17
        back.bytes[size_t(changedByte)] ^= (changedByte == 14 ? 0x04 : changedByte == 17 ? 0x10 : 0x01);
        back.seal();
        Trelvan::NodeWidgetCache* cache = Trelvan::NodeWidgetCache::instance();
        p_->setActive(true); // first without a row: the fields are still compared
        QSignalSpy parsed(p_, &ProtocolBase::dataParseFinished);
        bool result = true;
        QString message = "stale";
        p_->setReplyHandler([&](QString&) { result = p_->runReplyCheck(op, message); return result; });
        ProtocolFrameExtraction::instance()->appendData(back.toByteArray());
        QTRY_COMPARE_WITH_TIMEOUT(parsed.count(), 1, 10000);
        QTRY_VERIFY_WITH_TIMEOUT(message != "stale", 10000);
        QCOMPARE(message, error);
        QCOMPARE(result, error.isEmpty());

        // With a row, the row shows the outcome.
        Trelvan::WidgetNode* row = cache->findNode(back.role(), back.id());
        message = "stale";
        ProtocolFrameExtraction::instance()->appendData(back.toByteArray());
        QTRY_VERIFY_WITH_TIMEOUT(message != "stale", 10000);
        QCOMPARE(row->state(), error.isEmpty() ? int(Trelvan::Succeeded) : int(Trelvan::Failed));
        QCOMPARE(row->statusText(), error);
        QCOMPARE(row->time(), back.systemTime());
        p_->setReplyHandler([](QString&) { return true; });
        cache->release(row);
        p_->setActive(false);
    }

    // Two replies parsed back to back each mark their own row; the restart check
    // compares the row's time with the reply's.
    void readAndRestartChecksMarkRows()
    {
        Trelvan::NodeWidgetCache* cache = Trelvan::NodeWidgetCache::instance();
        Trelvan::WidgetNode* a1 = cache->findNode(1, 1);
        Trelvan::WidgetNode* a2 = cache->findNode(1, 2);
        QList<bool> results;
        QStringList errors;
        int op = ProtocolParameter::CheckRead;
        p_->setReplyHandler([&](QString&) {
            QString e;
            results << p_->runReplyCheck(op, e);
            errors << e;
            return true;
        });
        ParameterFrame r1 = appModeFrame(1, 1, 0, 0);
        r1.setSystemTime(5000);
        r1.seal();
        ParameterFrame r2 = appModeFrame(1, 2, 0, 0);
        r2.setSystemTime(7000);
        r2.seal();
        p_->setActive(true);
        ProtocolFrameExtraction::instance()->appendData(r1.toByteArray() + r2.toByteArray());
        QTRY_COMPARE_WITH_TIMEOUT(results.size(), 2, 10000);
        QCOMPARE(results, (QList<bool>{true, true}));
        QVERIFY(a1->isSelected() && a2->isSelected());
        QCOMPARE(a1->time(), 5000u);
        QCOMPARE(a2->time(), 7000u);

        // Restart check: a later time means the node did not restart.
        results.clear();
        errors.clear();
        a1->setState(Trelvan::Busy);
        a2->setState(Trelvan::Busy);
        op = ProtocolParameter::CheckSystemTimeWhenRead;
        r1.setSystemTime(9000);
        r1.seal();
        r2.setSystemTime(12);
        r2.seal();
        ParameterFrame stranger = appModeFrame(1, 9, 0, 0);
        ProtocolFrameExtraction::instance()->appendData(r1.toByteArray() + r2.toByteArray() + stranger.toByteArray());
        QTRY_COMPARE_WITH_TIMEOUT(results.size(), 3, 10000);
        QCOMPARE(results, (QList<bool>{false, true, false}));
        QCOMPARE(errors.value(0), QString("restart failed"));
        QCOMPARE(a1->statusText(), QString("restart failed"));
        QCOMPARE(a2->state(), int(Trelvan::Succeeded));
        QCOMPARE(a2->time(), 12u);
        QVERIFY(!cache->contains(1, 9)); // the check makes no row
        p_->setReplyHandler([](QString&) { return true; });
        cache->releaseAll();
        p_->setActive(false);
    }

    // A previous exchange's reply finishing late does not end the next wait; the
    // reply parsed after the request does.
    void waitEndsOnlyWithANewReply()
    {
        const quint64 before = p_->replyCount();
        QTimer::singleShot(10, p_, [this] { emit p_->dataParseFinished(); });
        QVERIFY(!p_->waitForReplyAfter(before, 300, false));
        p_->setActive(true);
        QTimer::singleShot(10, p_, [] {
            ProtocolFrameExtraction::instance()->appendData(appModeFrame(1, 2, 0, 0).toByteArray());
        });
        QVERIFY(p_->waitForReplyAfter(before, 10000, false));
        QCOMPARE(p_->replyCount(), before + 1);
        p_->setActive(false);
    }

    // A reply that came in time is no time-out, however long the protocol switch it
    // makes keeps this thread busy: here the switch outlasts the wait fivefold.
    void replyInTimeWithASlowSwitch()
    {
        const QString group = "Vexa_Trelvan_Node_Frame2";
        ProtocolFactory::registerGroupSetUp(group, [] { QThread::msleep(1500); }); // a page slow to build
        const auto undo = qScopeGuard([&group] { ProtocolFactory::registerGroupSetUp(group, {}); });
        // A listener ahead of the wait takes its time too: the wait's own time runs out first.
        QObject slowListener;
        connect(p_, &ProtocolParameter::dataFrameReceived, &slowListener, [] { QThread::msleep(500); },
                Qt::DirectConnection);
        const quint64 before = p_->replyCount();
        p_->setActive(true);
        p_->setWaitingForReply(true);
        ProtocolFrameExtraction::instance()->appendData(appModeFrame(1, 3, 0, 4).toByteArray());
        QElapsedTimer clock;
        clock.start();
        const bool replied = p_->waitForReplyAfter(before, 300, true);
        const qint64 waited = clock.elapsed();
        p_->setWaitingForReply(false);
        p_->setActive(false);
        QVERIFY(replied);
        QVERIFY2(waited >= 1500, qPrintable(QString::number(waited))); // until the switch was done
        QCOMPARE(p_->replyCount(), before + 1);
        QVERIFY(Trelvan::ProtocolNodeFrame2::existing() && Trelvan::ProtocolNodeFrame2::existing()->isActive());
    }

    // Mode switches and polls over a pty.
    void exchangesWithTheNode()
    {
        sim::TrelvanNodeSetup setup;
        setup.role = 1;
        setup.id = 3;
        TestTrelvan::NodeOnPort node(setup);
        QVERIFY(node.open());
        p_->setRequestedRunningMode(3);
        QVERIFY(exchange(p_->makeModeSwitchRequest(), ZSerialPortInterface::timeoutForBytes(128, 5000)));
        QCOMPARE(p_->receivedFrame().runningMode(), quint8(3));
        QCOMPARE(node.parameters().modeSwitches(), 1);
        QVERIFY(p_->writeParameter(9));
        QCOMPARE(p_->receivedFrame().runningMode(), quint8(9));
        QVERIFY(!p_->isActive());
        node.parameters().setFault(sim::TrelvanParameterHandler::Fault::KeepMode);
        const int switchesBefore = node.parameters().modeSwitches();
        QVERIFY(!p_->writeParameter(0));
        QCOMPARE(node.parameters().modeSwitches() - switchesBefore, 5);
        node.parameters().setFault(sim::TrelvanParameterHandler::Fault::None);
        p_->setRequestedRunningMode(0);

        QVERIFY(exchange(ProtocolParameter::makeCalibrationPollRequest(), ZSerialPortInterface::timeoutForBytes(128, 3000)));
        QCOMPARE(node.parameters().polls(), 1);
    }
};

TALMENO_TEST_MAIN(TestTrelvanParameter)
#include "tst_trelvan_parameter.moc"
