// The system frame: its packing, its decoding, the UDP datagram, the subject, and
// the whole request-reply road against a simulated device on a pty.

#include "support/testenv.h"

#include "foundation/ZThreadManager.h"
#include "foundation/ZTimerManager.h"
#include "foundation/ZUdpOutput.h"
#include "helpers/PipelineEnv.h"
#include "link/ZSerialPort.h"
#include "link/ZSerialPortHooks.h"
#include "link/ZSerialPortInterface.h"
#include "protocol/LinkServices.h"
#include "protocol/ProtocolFrameExtraction.h"
#include "protocol/ProtocolSystem.h"
#include "protocol/SystemInfoSubject.h"
#include "sim/DeviceSimulator.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkDatagram>
#include <QUdpSocket>

namespace {

QByteArray replyBytes()
{
    sim::SystemInfo info;
    info.modelId = 3;
    info.productType = 9;
    info.hardwareMajor = 2;
    info.hardwareMinor = 1;
    info.firmware[0] = 4;
    info.firmware[1] = 11;
    info.firmware[2] = 7;
    info.firmware[3] = 0;
    info.baudRate = 921600;
    info.role = -3;
    info.id = 200;
    info.systemTime = 0x01020304;
    return sim::systemFrameReply(info);
}

class CountingObserver : public SystemInfoObserver
{
public:
    void handleSystemInfoChanged(bool isRecognized, const SystemInfoFrame& frame) override
    {
        calls.append({isRecognized, frame});
    }
    QList<QPair<bool, SystemInfoFrame>> calls;
};

} // namespace

class TestSystemFrame : public QObject
{
    Q_OBJECT

private:
    ProtocolSystem* sys = nullptr;

private slots:
    void initTestCase()
    {
        testenv::startWorkerThreads();
        sys = ProtocolSystem::instance(this);
        QCOMPARE(sys->name(), QString("Vexa_Trelvan_System"));
        QCOMPARE(sys->head(), QByteArray("\x52\x00", 2));
        QCOMPARE(sys->frameLength(), 32);
        QCOMPARE(ProtocolSystem::instance(nullptr), sys);
        QCOMPARE(sys->receivedFrame(), SystemInfoFrame::defaultFrame());
        QVERIFY(sys->firmwareVersion().isNull());
    }

    void readRequestBytes()
    {
        const QByteArray expected = QByteArray::fromHex(
            "520001" "0000000000000000" "ffffffffffffffff" "000000000000000000000000" "4b");
        QCOMPARE(sys->packReadRequest(), expected);
        QCOMPARE(sys->packReadRequest(), sim::systemReadRequest());
    }

    void writeRequestClearsTheReadFlag()
    {
        SystemInfoFrame w = SystemInfoFrame::defaultFrame();
        w.bytes[2] = 0x81;
        w.bytes[28] = 0x11;
        w.bytes[30] = 0x22;
        sys->setWriteFrame(w);
        const QByteArray out = sys->packWriteRequest();
        QCOMPARE(out.size(), 32);
        QCOMPARE(static_cast<quint8>(out[2]), quint8(0x80));
        QCOMPARE(static_cast<quint8>(out[28]), quint8(0x11));
        QCOMPARE(static_cast<quint8>(out[31]), sim::sum8(out.constData(), 31));
        QCOMPARE(ProtocolSystem::packWriteFrame(QByteArray::fromHex("5301ff00")), QByteArray::fromHex("5301fe52"));
    }

    void decodingWithUdpOffSendsNothing()
    {
        QUdpSocket listener;
        QVERIFY(listener.bind(QHostAddress(QHostAddress::LocalHost), 0));
        udpOutputPort.store(listener.localPort());
        udpOutputEnabled.store(false);
        testenv::LogCapture log;
        sys->processFrame(replyBytes());
        QCOMPARE(sys->receivedFrame().toByteArray(), replyBytes());
        // Byte 7 is 0, still four parts here.
        QCOMPARE(sys->firmwareVersion(), QVersionNumber({4, 11, 7, 0}));
        QCOMPARE(sys->firmwareVersion().segmentCount(), 4);
        QCOMPARE(log.count("-3_200 data: 52 00 00 03 09 01 02 00 07 0b 04 ff"), 1);
        QVERIFY(!udpSocketCreated());
        QVERIFY(!listener.waitForReadyRead(200));
    }

    void decodingWithUdpOnSendsOneSortedCompactDatagram()
    {
        QCOMPARE(udpOutputAddress(), QString("127.0.0.1"));
        QUdpSocket listener;
        QVERIFY(listener.bind(QHostAddress(QHostAddress::LocalHost), 0));
        udpOutputPort.store(listener.localPort());
        udpOutputEnabled.store(true);
        sys->processFrame(replyBytes());
        udpOutputEnabled.store(false);
        QVERIFY(udpSocketCreated());
        QTRY_VERIFY(listener.hasPendingDatagrams());
        const QByteArray text = listener.receiveDatagram().data();
        QCOMPARE(text, QByteArray("{\"system_frame\":{\"firmware_version\":[0,7,11,4],\"hardware_version\":[1,2],"
                                  "\"id\":200,\"product_version\":[3,9],\"role\":-3,\"system_time\":16909060}}"));
        QVERIFY(!listener.waitForReadyRead(100)); // one datagram only
        const QJsonObject o = QJsonDocument::fromJson(text).object().value("system_frame").toObject();
        QCOMPARE(o.value("role").toInt(), -3);
        QCOMPARE(o.value("system_time").toInt(), 0x01020304);
    }

    void udpAddressDefaultsToBroadcast()
    {
        // Only the address is read here: nothing is sent, so no broadcast leaves the machine.
        const bool had = qEnvironmentVariableIsSet("TALMENO_UDP_ADDRESS");
        const QByteArray saved = qgetenv("TALMENO_UDP_ADDRESS");
        QVERIFY(!udpOutputEnabled.load());
        qunsetenv("TALMENO_UDP_ADDRESS");
        const QString unset = udpOutputAddress();
        qputenv("TALMENO_UDP_ADDRESS", "  ");
        const QString blank = udpOutputAddress();
        qputenv("TALMENO_UDP_ADDRESS", " 10.1.2.3 ");
        const QString given = udpOutputAddress();
        if (had)
            qputenv("TALMENO_UDP_ADDRESS", saved);
        else
            qunsetenv("TALMENO_UDP_ADDRESS");

        QCOMPARE(unset, QString("255.255.255.255"));
        QCOMPARE(QHostAddress(unset), QHostAddress(QHostAddress::Broadcast));
        QCOMPARE(blank, unset);
        QCOMPARE(given, QString("10.1.2.3"));
        QCOMPARE(qEnvironmentVariableIsSet("TALMENO_UDP_ADDRESS"), had);
        QCOMPARE(qgetenv("TALMENO_UDP_ADDRESS"), saved);
    }

    void subjectTellsEachChangeOnce()
    {
        CountingObserver a;
        auto b = std::make_unique<CountingObserver>();
        SystemInfoSubject* s = SystemInfoSubject::instance();
        const SystemInfoFrame f = SystemInfoFrame::fromBytes(replyBytes());
        s->notify(false, SystemInfoFrame::defaultFrame()); // the state at start
        QCOMPARE(a.calls.size(), 0);
        s->notify(true, f);
        s->notify(true, f);
        QCOMPARE(a.calls.size(), 1);
        QCOMPARE(b->calls.size(), 1);
        QVERIFY(a.calls[0].first);
        QCOMPARE(a.calls[0].second, f);
        s->notify(false, f); // flag alone changed
        QCOMPARE(a.calls.size(), 2);
        SystemInfoFrame g = f;
        g.bytes[23] = 1; // frame alone changed
        b.reset();
        s->notify(false, g);
        QCOMPARE(a.calls.size(), 3);
        QCOMPARE(a.calls[2].second.id(), quint8(1));
        QCOMPARE(s->frame(), g);
        s->notify(false, SystemInfoFrame::defaultFrame());
    }

    void frameFields()
    {
        const SystemInfoFrame f = SystemInfoFrame::fromBytes(replyBytes());
        QCOMPARE(f.modelId(), quint8(3));
        QCOMPARE(f.productType(), quint8(9));
        QCOMPARE(f.hardwareVersion(), QString("2.1"));
        QCOMPARE(f.baudRate(), 921600);
        QCOMPARE(f.role(), qint8(-3));
        QCOMPARE(f.systemTime(), quint32(0x01020304));
        SystemInfoFrame n = f;
        n.bytes[19] = 0xFF;
        n.bytes[20] = 0xFF;
        n.bytes[21] = 0xFF;
        QCOMPARE(n.baudRate(), -1);
    }

    void replyThroughThePtyEndsTheWait()
    {
        // Unlike what the earlier cases decoded, so that the received frame is new.
        QByteArray deviceReply = replyBytes();
        deviceReply[23] = 77;
        sim::sealSum8(deviceReply);
        QVERIFY(sys->receivedFrame().toByteArray() != deviceReply);
        sim::DeviceSimulator device;
        auto handler = std::make_shared<sim::SystemFrameHandler>(deviceReply);
        device.addHandler(handler);
        device.setDeviceRate(115200);
        QVERIFY(device.start());

        ZSerialPort port;
        port.setPortName(device.portPath());
        port.setBaudRate(115200);
        initLinkServices(&port);
        QCOMPARE(udpOutputPort.load(), 33000);
        QVERIFY(QSettings().value("EnableUDPOutput").toBool());
        QVERIFY(udpOutputEnabled.load());
        QUdpSocket listener;
        QVERIFY(listener.bind(QHostAddress(QHostAddress::LocalHost), 0));
        udpOutputPort.store(listener.localPort());
        ProtocolFrameExtraction* ex = ProtocolFrameExtraction::instance();
        QCOMPARE(ex->thread(), ZThreadManager::instance()->thread(2));
        ex->setEnabled(true);
        QVERIFY(port.open(3));
        sys->setActive(true);

        const int timeout = ZSerialPortInterface::timeoutForBytes(32, 300);
        QCOMPARE(timeout, 306);
        QVERIFY(ZSerialPortInterface::write(sys->packReadRequest()));
        const bool timedOut = waitForReply(ZTimerManager::instance(), timeout, sys, &ProtocolBase::dataParseFinished);
        QVERIFY(!timedOut);
        QCOMPARE(sys->receivedFrame().toByteArray(), deviceReply);
        QCOMPARE(sys->firmwareVersion(), QVersionNumber({4, 11, 7, 0}));
        QCOMPARE(handler->readRequests(), 1);
        QTRY_VERIFY(listener.hasPendingDatagrams());
        const QJsonObject json = QJsonDocument::fromJson(listener.receiveDatagram().data()).object();
        QCOMPARE(json.value("system_frame").toObject().value("id").toInt(), 77);
        QVERIFY(!listener.hasPendingDatagrams());
        udpOutputEnabled.store(false);

        // At a rate the device does not use, no answer comes.
        QVERIFY(port.setBaudRate(9600));
        QCOMPARE(device.portRate(), 9600);
        const int slow = ZSerialPortInterface::timeoutForBytes(32, 300);
        QCOMPARE(slow, 367);
        QVERIFY(ZSerialPortInterface::write(sys->packReadRequest()));
        QElapsedTimer clock;
        clock.start();
        QVERIFY(waitForReply(ZTimerManager::instance(), slow, sys, &ProtocolBase::dataParseFinished));
        QVERIFY(clock.elapsed() >= slow - 5);
        QCOMPARE(handler->readRequests(), 1);

        // The write frame reaches the device as packed.
        QVERIFY(port.setBaudRate(115200));
        SystemInfoFrame w = SystemInfoFrame::defaultFrame();
        w.bytes[30] = 0x5A;
        sys->setWriteFrame(w);
        const QByteArray packed = sys->packWriteRequest();
        QVERIFY(ZSerialPortInterface::write(packed));
        QTRY_COMPARE(handler->lastWriteFrame(), packed);

        sys->setActive(false);
        ex->setEnabled(false);
        port.close();
        QVERIFY(!ZSerialPortInterface::write(sys->packReadRequest()));
    }
};

TALMENO_TEST_MAIN(TestSystemFrame)
#include "tst_system_frame.moc"
