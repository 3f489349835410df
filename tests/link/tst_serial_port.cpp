// The serial port against simulated devices on real ptys: the port scan with
// extra paths and ignored names, retried opens, statistics, counted writes, rate
// changes, diagnostics, and a device that vanishes while the port is open.

#include "support/testenv.h"

#include "helpers/LinkEnv.h"
#include "link/ZSerialPort.h"
#include "sim/DeviceSimulator.h"
#include "sim/SimulatorCommand.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QProcess>
#include <QSerialPortInfo>
#include <QSignalSpy>

#include <csignal>
#include <memory>
#include <pty.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {
// How long a condition may take to come true on a loaded machine; the waits end as
// soon as it does.
constexpr int kPatience = 20000;

// Posts a call to the event loop of `context`'s thread; seen() tells whether a loop
// ran it since, so a call that must not wait is checked without a clock.
class PostedMark
{
public:
    explicit PostedMark(QObject* context)
    {
        QMetaObject::invokeMethod(context, [flag = flag_] { *flag = true; }, Qt::QueuedConnection);
    }
    bool seen() const { return *flag_; }

private:
    std::shared_ptr<bool> flag_ = std::make_shared<bool>(false);
};

void setExtraPorts(const QStringList& paths)
{
    qputenv("TALMENO_EXTRA_PORTS", paths.join(':').toLocal8Bit());
}

// Hides whatever real ports the machine has, so that only simulated ones count.
void ignoreRealPorts(const QStringList& more = {})
{
    QStringList names = more;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        names << info.portName();
    QSettings().setValue("SerialPort/IgnoredPortNames", names);
}

// Both sides of a pty, closed when it goes.
struct PtyPair
{
    int master = -1;
    int slave = -1;
    PtyPair() = default;
    PtyPair(PtyPair&& o) noexcept : master(std::exchange(o.master, -1)), slave(std::exchange(o.slave, -1)) {}
    PtyPair(const PtyPair&) = delete;
    ~PtyPair()
    {
        if (master >= 0)
            ::close(master);
        if (slave >= 0)
            ::close(slave);
    }
};

// Opens ptys until the path is a pty again: numbers are handed out lowest first, so
// one of them takes it unless another program did.
std::vector<PtyPair> ptysUntilTaken(const QString& path)
{
    std::vector<PtyPair> ptys;
    while (!QFileInfo::exists(path) && ptys.size() < 1024) {
        PtyPair p;
        if (openpty(&p.master, &p.slave, nullptr, nullptr, nullptr) != 0)
            break;
        ptys.push_back(std::move(p));
    }
    return ptys;
}

int deviceErrors(const QSignalSpy& spy)
{
    int n = 0;
    for (const QList<QVariant>& args : spy)
        n += args.at(0).value<QSerialPort::SerialPortError>() != QSerialPort::NoError ? 1 : 0;
    return n;
}
} // namespace

class TestSerialPort : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        qRegisterMetaType<QSerialPort::SerialPortError>();
        testenv::startWorkerThreads();
    }

    void cleanup()
    {
        qunsetenv("TALMENO_EXTRA_PORTS");
        QSettings().remove("SerialPort/IgnoredPortNames");
    }

    void constructionLogsRatesAndScans()
    {
        testenv::LogCapture log;
        ZSerialPort port;
        QCOMPARE(log.count("List of available standard baud rates supported by this platform: ("), 1);
        QVERIFY(log.lines().filter("supported by this platform").first().contains("115200, "));
        QVERIFY(port.isScanning());
        QVERIFY(!port.isSampling());
        QCOMPARE(port.receivedBytes(), quint64(0));
    }

    void scanFollowsPluggedDevices()
    {
        ignoreRealPorts();
        sim::DeviceSimulator one;
        sim::DeviceSimulator two;
        QVERIFY(one.start());
        QVERIFY(two.start());
        ZSerialPort port;
        QSignalSpy changed(&port, &ZSerialPort::existedPortsChanged);
        QSignalSpy single(&port, &ZSerialPort::singlePortInserted);
        QTest::qWait(250);
        QCOMPARE(changed.count(), 0);
        QVERIFY(port.existedPorts().isEmpty());

        // From none to one: the list, then the single insertion.
        setExtraPorts({one.portPath(), "/nonexistent/ttyX"});
        QTRY_COMPARE_WITH_TIMEOUT(changed.count(), 1, kPatience);
        QCOMPARE(changed.at(0).at(0).toStringList(), QStringList{one.portPath()});
        QCOMPARE(single.count(), 1);
        QCOMPARE(port.existedPorts(), QStringList{one.portPath()});

        // From one to two: only the list.
        setExtraPorts({one.portPath(), two.portPath()});
        QTRY_COMPARE_WITH_TIMEOUT(changed.count(), 2, kPatience);
        QCOMPARE(changed.at(1).at(0).toStringList(), (QStringList{one.portPath(), two.portPath()}));
        QCOMPARE(single.count(), 1);

        // Same names: nothing; another order: a change.
        QTest::qWait(250);
        QCOMPARE(changed.count(), 2);
        setExtraPorts({two.portPath(), one.portPath()});
        QTRY_COMPARE_WITH_TIMEOUT(changed.count(), 3, kPatience);
        QCOMPARE(changed.at(2).at(0).toStringList(), (QStringList{two.portPath(), one.portPath()}));

        // An ignored name is never reported; the comparison is case-sensitive.
        ignoreRealPorts({one.portPath().toUpper()});
        QTest::qWait(250);
        QCOMPARE(changed.count(), 3);
        ignoreRealPorts({one.portPath()});
        QTRY_COMPARE_WITH_TIMEOUT(changed.count(), 4, kPatience);
        QCOMPARE(changed.at(3).at(0).toStringList(), QStringList{two.portPath()});
        QCOMPARE(single.count(), 1); // two to one is no insertion
        ignoreRealPorts();
        QTRY_COMPARE_WITH_TIMEOUT(changed.count(), 5, kPatience);

        // Unplugging a device takes its path away, even once another pty (of this
        // test, or of any program) has taken the unplugged one's number.
        const QString gone = two.portPath();
        const QString number = two.ptyPath();
        two.stop();
        const std::vector<PtyPair> others = ptysUntilTaken(number);
        QVERIFY2(QFileInfo::exists(number), qPrintable(number));
        QTRY_COMPARE_WITH_TIMEOUT(changed.count(), 6, kPatience);
        QVERIFY(!changed.at(5).at(0).toStringList().contains(gone));
        QCOMPARE(changed.at(5).at(0).toStringList(), QStringList{one.portPath()});
        QCOMPARE(single.count(), 1);
    }

    // The system's port list is asked for only when the device folder changes (and a
    // second after); the extra paths and the ignored names still count on every tick.
    void scanAsksTheSystemOnlyWhenDevicesChange()
    {
        ignoreRealPorts();
        QTemporaryDir devices;
        QVERIFY(devices.isValid());
        sim::DeviceSimulator one;
        QVERIFY(one.start());
        ZSerialPort port;
        port.setWatchedDeviceFolder(devices.path());
        QSignalSpy changed(&port, &ZSerialPort::existedPortsChanged);
        QTRY_VERIFY(port.enumerationCount() >= 1);
        const quint64 asked = port.enumerationCount();

        setExtraPorts({one.portPath()});
        QTRY_COMPARE_WITH_TIMEOUT(changed.count(), 1, kPatience);
        ignoreRealPorts({one.portPath()});
        QTRY_COMPARE_WITH_TIMEOUT(changed.count(), 2, kPatience);
        QVERIFY(port.existedPorts().isEmpty());
        QCOMPARE(port.enumerationCount(), asked);

        // A node comes: asked at once and on the ticks of the next second.
        QFile node(devices.filePath("ttyNEW0"));
        QVERIFY(node.open(QIODevice::WriteOnly));
        node.close();
        QTRY_VERIFY_WITH_TIMEOUT(port.enumerationCount() >= asked + 3, kPatience);
        QTest::qWait(2500); // well past the second of asking
        const quint64 settled = port.enumerationCount();
        ignoreRealPorts();
        QTRY_COMPARE_WITH_TIMEOUT(changed.count(), 3, kPatience);
        QCOMPARE(port.enumerationCount(), settled);

        // Without a folder to watch it asks on every tick, as it always did.
        port.setWatchedDeviceFolder(devices.filePath("missing"));
        QTRY_VERIFY_WITH_TIMEOUT(port.enumerationCount() >= settled + 5, kPatience);
    }

    void openRetriesABusyPortAndKeepsItsError()
    {
        sim::DeviceSimulator device;
        QVERIFY(device.start());
        ZSerialPort holder;
        holder.setPortName(device.portPath());
        QVERIFY(holder.open(1));

        testenv::LogCapture log;
        ZSerialPort port;
        port.setPortName(device.portPath());
        QSignalSpy status(&port, &ZSerialPort::statusChanged);
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!port.open(30));
        const qint64 ms = clock.elapsed();
        // Thirty attempts, each failure followed by a 100 ms wait; one line for them all.
        QCOMPARE(log.count("serialport error occurred:"), 0);
        QCOMPARE(log.count("in ZSerialPort::open ,error occured:PermissionError (30 tries)"), 1);
        QVERIFY2(ms >= 2900, qPrintable(QString::number(ms)));
        QCOMPARE(status.count(), 0);
        QCOMPARE(port.error(), QSerialPort::PermissionError);
        QVERIFY(!port.isOpen());
        QVERIFY(port.isScanning());
        QCOMPARE(log.count("in ZSerialPort::open ,error occured:PermissionError"), 1);
        QCOMPARE(log.count("ms elapsed after open serialport"), 0);

        // No attempt, so no wait: the event loop is not entered.
        const PostedMark mark(&port);
        QVERIFY(!port.open(0));
        QVERIFY(!mark.seen());
    }

    // A listed path that is no serial port logs one line per open series.
    void pathThatIsNoPortLogsOncePerSeries()
    {
        testenv::LogCapture log;
        ZSerialPort port;
        port.setPortName("/dev/null");
        for (int series = 1; series <= 2; ++series) {
            QVERIFY(!port.open(4));
            QCOMPARE(log.count("error occur"), series);
            QCOMPARE(log.count(QString("in ZSerialPort::open ,error occured:%1 (4 tries)").arg(port.errorName())), series);
        }
    }

    // Once the port is closed, by the user or by an unplug, the rates read 0; the
    // totals stay.
    void ratesFallToZeroWhenThePortCloses_data()
    {
        QTest::addColumn<bool>("unplug");
        QTest::newRow("unplugged") << true;
        QTest::newRow("closed") << false;
    }

    void ratesFallToZeroWhenThePortCloses()
    {
        QFETCH(bool, unplug);
        sim::DeviceSimulator device;
        device.setMode(sim::DeviceSimulator::Mode::Echo);
        QVERIFY(device.start());
        ZSerialPort port;
        port.setPortName(device.portPath());
        QVERIFY(port.open(3));
        device.stream(QByteArray(4000, '\x33'), 2000, true);
        port.write(QByteArray(100, 'a'));
        QTRY_VERIFY_WITH_TIMEOUT(port.receivedPerSecond() > 0 && port.transmittedPerSecond() > 0, 10000);
        QSignalSpy stats(&port, &ZSerialPort::statisticsUpdated);
        unplug ? device.stop() : port.close();
        QTRY_VERIFY_WITH_TIMEOUT(!port.isOpen() && stats.count() > 0, 5000);
        QCOMPARE(port.receivedPerSecond() + port.transmittedPerSecond(), quint64(0));
        QVERIFY(port.receivedBytes() > 0);
        QCOMPARE(port.transmittedBytes(), quint64(100));
    }

    void openCountsWritesAndSamplesStatistics()
    {
        sim::DeviceSimulator device;
        device.setMode(sim::DeviceSimulator::Mode::Silent);
        QVERIFY(device.start());
        testenv::LogCapture log;
        ZSerialPort port;
        port.setPortName(device.portPath());
        QSignalSpy status(&port, &ZSerialPort::statusChanged);
        QSignalSpy stats(&port, &ZSerialPort::statisticsUpdated);
        // The one-second timer may sample at any moment: every sample is added up.
        quint64 receivedSampled = 0, transmittedSampled = 0;
        connect(&port, &ZSerialPort::statisticsUpdated, this, [&] {
            receivedSampled += port.receivedPerSecond();
            transmittedSampled += port.transmittedPerSecond();
        });
        QVERIFY(port.open(30));
        QCOMPARE(status.count(), 1);
        QCOMPARE(status.at(0).at(0).toBool(), true);
        QVERIFY(!port.isScanning());
        QVERIFY(port.isSampling());
        QCOMPARE(log.count("ms elapsed after open serialport"), 1);

        QCOMPARE(port.write(QByteArray()), qint64(0));
        QCOMPARE(port.transmittedBytes(), quint64(0));
        QByteArray out(700, '\0');
        for (int i = 0; i < out.size(); ++i)
            out[i] = static_cast<char>(i * 7);
        QCOMPARE(port.write(out), qint64(700));
        QCOMPARE(port.transmittedBytes(), quint64(700));
        QVERIFY(device.waitForReceived(700, kPatience));
        QCOMPARE(device.received(), out);

        QSignalSpy arrived(&port, &ZSerialPort::dataArrived);
        const QByteArray in(1500, '\x42');
        device.send(in);
        // Sent and not read yet (no event loop has run here): all of it waits.
        QDeadlineTimer patience(kPatience);
        while (port.bytesWaiting() < in.size() && !patience.hasExpired())
            QThread::msleep(1);
        QCOMPARE(port.bytesWaiting(), qint64(in.size()));
        QCOMPARE(arrived.count(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(port.receivedBytes(), quint64(1500), kPatience);
        QCOMPARE(port.bytesWaiting(), qint64(0));
        QByteArray joined;
        for (const auto& args : arrived)
            joined += args.at(0).toByteArray();
        QCOMPARE(joined, in);

        port.sampleStatistics();
        QCOMPARE(receivedSampled, quint64(1500));
        QCOMPARE(transmittedSampled, quint64(700));
        port.sampleStatistics();
        QCOMPARE(port.receivedPerSecond(), quint64(0));
        QCOMPARE(port.transmittedPerSecond(), quint64(0));
        QCOMPARE(port.receivedBytes(), quint64(1500));
        // The one-second timer samples too.
        const int before = stats.count();
        QTRY_VERIFY_WITH_TIMEOUT(stats.count() > before, kPatience);

        stats.clear();
        port.resetStatistics();
        QCOMPARE(stats.count(), 1);
        QCOMPARE(port.receivedBytes(), quint64(0));
        QCOMPARE(port.transmittedBytes(), quint64(0));
        QCOMPARE(port.receivedPerSecond(), quint64(0));
        QCOMPARE(port.transmittedPerSecond(), quint64(0));

        port.close();
        QCOMPARE(status.count(), 2);
        QCOMPARE(status.at(1).at(0).toBool(), false);
        QVERIFY(port.isScanning());
        QVERIFY(!port.isSampling());
        QCOMPARE(port.write("x"), qint64(-1));
        QCOMPARE(port.transmittedBytes(), quint64(1)); // asked for, not accepted
        QCOMPARE(log.count("serialport write data missing,need 1 actually -1"), 1);
    }

    void baudRateChanges()
    {
        sim::DeviceSimulator device;
        device.setMode(sim::DeviceSimulator::Mode::Echo);
        QVERIFY(device.start());
        ZSerialPort port;
        port.setPortName(device.portPath());
        QVERIFY(port.setBaudRate(115200));
        QVERIFY(port.open(1));
        QCOMPARE(device.portRate(), 115200);

        // The same rate again returns at once: no settling wait runs the event loop.
        {
            const PostedMark mark(&port);
            QVERIFY(port.setBaudRate(115200));
            QVERIFY(!mark.seen());
        }
        QElapsedTimer clock;
        QVERIFY(!port.setBaudRate(0));
        QCOMPARE(port.baudRate(), 115200);

        for (int rate : {921600, 43000, 3000000, 9600}) {
            clock.restart();
            const PostedMark settling(&port);
            QVERIFY(port.setBaudRate(rate));
            QVERIFY(settling.seen());
            QVERIFY(clock.elapsed() >= 95); // the device side settles while open
            QCOMPARE(device.portRate(), rate);
            QCOMPARE(port.baudRate(), rate);
        }
        // Data still flows after the changes.
        QSignalSpy arrived(&port, &ZSerialPort::dataArrived);
        port.write("ping");
        QTRY_VERIFY_WITH_TIMEOUT(!arrived.isEmpty(), kPatience);
        QCOMPARE(arrived.at(0).at(0).toByteArray(), QByteArray("ping"));
    }

    void failedRateChangeIsLogged()
    {
        sim::DeviceSimulator device;
        device.setMode(sim::DeviceSimulator::Mode::Silent);
        QVERIFY(device.start());
        ZSerialPort port;
        port.setPortName(device.portPath());
        QVERIFY(port.setBaudRate(115200));
        QVERIFY(port.open(1));
        QSignalSpy status(&port, &ZSerialPort::statusChanged);
        testenv::LogCapture log;

        // Output still queued in the port (the base write does not flush), then the
        // device goes away before the event loop runs: a hung-up pty refuses its
        // line settings, so the change fails with the port still open.
        QCOMPARE(port.QSerialPort::write(QByteArray(64, 'x')), qint64(64));
        QCOMPARE(port.bytesToWrite(), qint64(64));
        device.stop();
        QVERIFY(!port.setBaudRate(9600));

        QCOMPARE(log.count(QtDebugMsg, "64  bytes wait Write before change baudrate to  9600"), 1);
        const QStringList critical = log.lines(QtCriticalMsg).filter("try change baudrate from");
        QCOMPARE(critical.size(), 1);
        QVERIFY2(critical.first().contains("try change baudrate from  115200  to  9600 ,error occured: "
                                           + port.errorName()),
                 qPrintable(critical.first()));
        QVERIFY(port.error() != QSerialPort::NoError);
        QVERIFY(!port.errorName().isEmpty());
        // The failed device closed the port, reported once.
        QVERIFY(!port.isOpen());
        QCOMPARE(log.count("serialport error occurred:"), 1);
        QCOMPARE(status.count(), 1);
        QCOMPARE(status.at(0).at(0).toBool(), false);
        QCOMPARE(port.baudRate(), 115200);

        // A change that works logs nothing of the kind.
        log.clear();
        ZSerialPort closed;
        QVERIFY(closed.setBaudRate(57600));
        QCOMPARE(closed.baudRate(), 57600);
        QCOMPARE(log.count("try change baudrate"), 0);
        QCOMPARE(log.count("bytes wait Write"), 0);
    }

    void vanishedDeviceClosesThePortOnce()
    {
        sim::DeviceSimulator device;
        QVERIFY(device.start());
        testenv::LogCapture log;
        ZSerialPort port;
        port.setPortName(device.portPath());
        QSignalSpy status(&port, &ZSerialPort::statusChanged);
        QSignalSpy errors(&port, &QSerialPort::errorOccurred);
        QVERIFY(port.open(1));
        errors.clear();

        device.stop();
        QTRY_COMPARE_WITH_TIMEOUT(status.count(), 2, kPatience);
        QCOMPARE(status.at(1).at(0).toBool(), false);
        QVERIFY(!port.isOpen());
        QTest::qWait(300);
        QCOMPARE(status.count(), 2);
        QCOMPARE(deviceErrors(errors), 1);
        const auto kind = errors.at(0).at(0).value<QSerialPort::SerialPortError>();
        QVERIFY(kind == QSerialPort::ReadError || kind == QSerialPort::ResourceError);
        QCOMPARE(log.count("serialport error occurred:"), 1);
        QVERIFY(port.isScanning());
    }

    // A later simulator on the same --link takes the link over: the earlier one's exit
    // leaves it, its own removes it. A path that is no link is never replaced.
    void simulatorLinkStaysWithItsOwner()
    {
        QTemporaryDir dir;
        const QString link = dir.filePath("ttyLink");
        const QStringList arguments{"talmeno-sim", "--sarvel", "--link", link};
        sim::SimulatorCommand first, second, third;
        QVERIFY2(first.start(arguments), qPrintable(first.error()));
        QCOMPARE(QFile::symLinkTarget(link), first.portPath());
        QVERIFY2(second.start(arguments), qPrintable(second.error()));
        first.stop();
        QCOMPARE(QFile::symLinkTarget(link), second.portPath());
        second.stop();
        QVERIFY(!QFileInfo(link).exists() && !QFileInfo(link).isSymLink());
        QVERIFY(QFile(link).open(QIODevice::WriteOnly)); // a plain file
        QVERIFY(!third.start(arguments));
        QCOMPARE(third.exitCode(), 1);
        QVERIFY(QFileInfo(link).isFile() && !QFileInfo(link).isSymLink());
    }

    void killedSimulatorProcessClosesThePort()
    {
        const QString tool = qEnvironmentVariable("TALMENO_BINARY_DIR") + "/bin/talmeno-sim";
        if (!QFileInfo::exists(tool))
            QSKIP("talmeno-sim is not built");
        QProcess proc;
        proc.start(tool, {"--sarvel", "--frame-rate", "200"}); // a range sensor at 115200 baud
        QVERIFY(proc.waitForStarted());
        QVERIFY(proc.waitForReadyRead(kPatience));
        const QString path = QString::fromLocal8Bit(proc.readLine()).trimmed();
        QVERIFY(QFileInfo::exists(path));

        ZSerialPort port;
        port.setPortName(path);
        port.setBaudRate(115200);
        QSignalSpy status(&port, &ZSerialPort::statusChanged);
        QSignalSpy errors(&port, &QSerialPort::errorOccurred);
        QSignalSpy arrived(&port, &ZSerialPort::dataArrived);
        QVERIFY(port.open(5));
        // The tool answers like a device (product type 3) and streams range frames.
        QByteArray in;
        connect(&port, &ZSerialPort::dataArrived, this, [&in](const QByteArray& d) { in += d; });
        const auto sealed = [&in](const QByteArray& head, int length, int* last) {
            int n = 0;
            for (int i = in.indexOf(head); i >= 0 && i + length <= in.size(); i = in.indexOf(head, i + 1))
                if (sim::sum8(in.constData() + i, length - 1) == quint8(in.at(i + length - 1)) && ++n)
                    *last = i;
            return n;
        };
        port.write(sim::systemReadRequest());
        int at = -1;
        QTRY_VERIFY_WITH_TIMEOUT(sealed(QByteArray("\x52\x00", 2), 32, &at) == 1 && sealed(QByteArray("\x57\x00", 2), 16, &at) >= 20, kPatience);
        sealed(QByteArray("\x52\x00", 2), 32, &at);
        QCOMPARE(int(in.at(at + 4)), 3);

        errors.clear();
        ::kill(static_cast<pid_t>(proc.processId()), SIGKILL);
        QVERIFY(proc.waitForFinished(kPatience));
        QTRY_COMPARE_WITH_TIMEOUT(status.count(), 2, kPatience);
        QTest::qWait(300);
        QCOMPARE(deviceErrors(errors), 1);
        QVERIFY(!port.isOpen());
    }
};

TALMENO_TEST_MAIN(TestSerialPort)
#include "tst_serial_port.moc"
