// The serial interface hooks: writes and time-outs through the installed hooks,
// open/close notices to every interface, and the reply wait.

#include "support/testenv.h"

#include "foundation/ZTimerManager.h"
#include "helpers/LinkEnv.h"
#include "link/ZSerialPort.h"
#include "link/ZSerialPortHooks.h"
#include "link/ZSerialPortInterface.h"
#include "sim/DeviceSimulator.h"

#include <QElapsedTimer>
#include <QSignalSpy>

#include <thread>

namespace {

class Listener : public ZSerialPortInterface
{
public:
    void handleSerialPortStatusChanged(bool isOpen) override { seen.append(isOpen); }
    QList<bool> seen;
};

// Emits its signal from another thread the moment something connects to it, i.e.
// before the waiting loop can run.
class EagerSender : public QObject
{
    Q_OBJECT
public:
    bool eager = false;
signals:
    void replied();

protected:
    void connectNotify(const QMetaMethod& signal) override
    {
        if (eager && signal == QMetaMethod::fromSignal(&EagerSender::replied)) {
            std::thread t([this] { emit replied(); });
            t.join();
        }
    }
};

class LateSender : public QObject
{
    Q_OBJECT
signals:
    void replied();
};

} // namespace

class TestSerialHooks : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { testenv::startWorkerThreads(); }

    void transferTimeouts()
    {
        QCOMPARE(transferTimeoutMs(32, 300, 115200), 306);
        QCOMPARE(transferTimeoutMs(32, 300, 9600), 367);
        QCOMPARE(transferTimeoutMs(0, 300, 9600), 300);
        QCOMPARE(transferTimeoutMs(1000, 0, 921600), 22);
        QCOMPARE(transferTimeoutMs(3, 0, 4000), 15); // 15.0 exactly
        QCOMPARE(transferTimeoutMs(1, 0, 8000), 3);  // 2.5 rounds up
    }

    void hooksFollowThePort()
    {
        sim::DeviceSimulator device;
        device.setMode(sim::DeviceSimulator::Mode::Silent);
        QVERIFY(device.start());
        ZSerialPort port;
        port.setPortName(device.portPath());
        port.setBaudRate(115200);
        auto owner = std::make_unique<QObject>();
        installSerialPortHooks(&port, owner.get());
        installSerialPortHooks(&port, owner.get()); // a second install changes nothing
        ZSerialPortInterfaceManager* m = ZSerialPortInterfaceManager::instance();
        QVERIFY(m->hasHooks());

        Listener a;
        auto b = std::make_unique<Listener>();
        Listener c;
        QCOMPARE(m->interfaces().mid(m->interfaces().size() - 3),
                 (QList<ZSerialPortInterface*>{&a, b.get(), &c}));
        b.reset();

        QCOMPARE(ZSerialPortInterface::timeoutForBytes(32, 300), 306);
        QVERIFY(!ZSerialPortInterface::isOpen());
        QVERIFY(!ZSerialPortInterface::write("closed"));
        QVERIFY(port.open(1));
        QVERIFY(ZSerialPortInterface::isOpen());
        QCOMPARE(a.seen, QList<bool>{true});
        QCOMPARE(c.seen, QList<bool>{true});
        QVERIFY(ZSerialPortInterface::write("hello"));
        QVERIFY(device.waitForReceived(5, 2000));
        QCOMPARE(device.received(), QByteArray("hello"));
        QCOMPARE(port.transmittedBytes(), quint64(5));

        port.setBaudRate(9600);
        QCOMPARE(ZSerialPortInterface::timeoutForBytes(32, 300), 367);

        port.close();
        QVERIFY(!ZSerialPortInterface::isOpen());
        QCOMPARE(a.seen, (QList<bool>{true, false}));
        QVERIFY(!ZSerialPortInterface::write("late"));
        QTest::qWait(100);
        QCOMPARE(device.received(), QByteArray("hello"));

        // The owner's end takes the manager with it; interfaces outliving it are harmless.
        QPointer<ZSerialPortInterfaceManager> guard(m);
        owner.reset();
        QTRY_VERIFY(guard.isNull());
        QCOMPARE(ZSerialPortInterfaceManager::existing(), static_cast<ZSerialPortInterfaceManager*>(nullptr));
    }

    void closedPortStandIn()
    {
        installClosedPortHooks();
        QVERIFY(!ZSerialPortInterface::write("x"));
        QCOMPARE(ZSerialPortInterface::timeoutForBytes(32, 300), 367);
        // Real hooks are not replaced by the stand-in.
        ZSerialPort port;
        port.setBaudRate(115200);
        installSerialPortHooks(&port);
        installClosedPortHooks();
        QCOMPARE(ZSerialPortInterface::timeoutForBytes(32, 300), 306);
        delete ZSerialPortInterfaceManager::instance();
    }

    void waitEndsOnReplyOrTimeout()
    {
        ZTimerManager* timers = ZTimerManager::instance();
        QElapsedTimer clock;

        // No reply: true after about the time-out.
        LateSender silent;
        clock.start();
        QVERIFY(waitForReply(timers, 200, &silent, &LateSender::replied));
        QVERIFY(clock.elapsed() >= 195);
        QVERIFY2(clock.elapsed() < 1500, qPrintable(QString::number(clock.elapsed()))); // not a longer time-out

        // A reply from another thread while the loop runs: false, at once.
        LateSender late;
        std::thread t([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            emit late.replied();
        });
        clock.restart();
        QVERIFY(!waitForReply(timers, 2000, &late, &LateSender::replied));
        t.join();
        QVERIFY(clock.elapsed() < 1000);

        // A reply before the loop runs is not lost.
        EagerSender eager;
        eager.eager = true;
        clock.restart();
        QVERIFY(!waitForReply(timers, 2000, &eager, &EagerSender::replied));
        QVERIFY(clock.elapsed() < 1000);

        // Later emissions reach no finished wait.
        emit late.replied();
        QCoreApplication::processEvents();
    }
};

TALMENO_TEST_MAIN(TestSerialHooks)
#include "tst_serial_hooks.moc"
