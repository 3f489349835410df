// The terminal receiving a device that streams at 3.5 Mbaud (350,000 bytes/s) in
// hex: every byte must reach the view's file intact, the GUI must stay responsive,
// and memory must stay bounded. TALMENO_SOAK_SECONDS lengthens the run (default 4).
#include <QCheckBox>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTimer>

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>

#include "link/ZSerialPort.h"
#include "link/ZUiSerialPortAssistant.h"
#include "sim/DeviceSimulator.h"
#include "support/testenv.h"
#include "widgets/PlainTextEditWithFile.h"
#include "widgets/ZComboBox.h"
#include "widgets/ZComboBoxEditable.h"

namespace {
double residentMiB()
{
    QFile f("/proc/self/statm");
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> parts = f.readAll().split(' ');
    return parts.value(1).toDouble() * sysconf(_SC_PAGESIZE) / 1048576.0;
}

double cpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}
} // namespace

class TestTerminalSoak : public QObject
{
    Q_OBJECT

private slots:
    void hexStreamAt3500000Baud()
    {
        constexpr int kBytesPerSecond = 350000;
        const int seconds = qEnvironmentVariableIsSet("TALMENO_SOAK_SECONDS")
                                ? qEnvironmentVariableIntValue("TALMENO_SOAK_SECONDS")
                                : 4;
        const double limitMiB = qEnvironmentVariableIsSet("TALMENO_SOAK_LIMIT_MIB")
                                    ? qEnvironmentVariable("TALMENO_SOAK_LIMIT_MIB").toDouble()
                                    : 200.0;

        sim::DeviceSimulator device;
        QString error;
        QVERIFY2(device.start(&error), qPrintable(error));
        device.setMode(sim::DeviceSimulator::Mode::Silent);
        qputenv("TALMENO_EXTRA_PORTS", device.portPath().toLocal8Bit());
        PlainTextEditWithFileManager::instance()->setMemoryLimit(limitMiB);

        ZUiSerialPortAssistant* w = ZUiSerialPortAssistant::instance();
        w->resize(1000, 700);
        w->show();
        QTRY_VERIFY_WITH_TIMEOUT(w->portComboBox()->findText(device.portPath()) >= 0, 20000);
        w->portComboBox()->setCurrentIndex(w->portComboBox()->findText(device.portPath()));
        w->baudrateComboBox()->setCurrentText("3500000");
        QVERIFY(w->hexCheckBox()->isChecked());
        QVERIFY(w->setSerialPortOpen(true));

        QByteArray pattern(1 << 20, '\0');
        QRandomGenerator rng(7);
        for (char& c : pattern)
            c = char(rng.bounded(256));

        // GUI latency probe: how late a 5 ms timer fires.
        QVector<qint64> lateness;
        QElapsedTimer probeClock;
        QTimer probe;
        probe.setTimerType(Qt::PreciseTimer);
        connect(&probe, &QTimer::timeout, [&] {
            lateness << qMax<qint64>(0, probeClock.nsecsElapsed() / 1000 - 5000);
            probeClock.restart();
        });

        int chunks = 0;
        connect(w->serialPort(), &ZSerialPort::dataArrived, [&](const QByteArray&) { ++chunks; });

        const double rssBefore = residentMiB();
        const double cpuBefore = cpuSeconds();
        double rssPeak = rssBefore;
        QElapsedTimer wall;
        wall.start();
        probeClock.start();
        probe.start(5);
        device.stream(pattern, kBytesPerSecond, true);
        while (wall.elapsed() < seconds * 1000) {
            QTest::qWait(100);
            rssPeak = qMax(rssPeak, residentMiB());
        }
        device.stopStream();
        // What the stream had queued goes out first.
        QTRY_COMPARE_WITH_TIMEOUT(device.unsentOutput(), 0, 30000);
        const quint64 sent = device.sentCount();
        QTRY_COMPARE_WITH_TIMEOUT(w->serialPort()->receivedBytes(), sent, 30000);
        const double elapsed = wall.elapsed() / 1000.0;
        probe.stop();
        const double cpu = cpuSeconds() - cpuBefore;
        PlainTextEditWithFile* view = w->receiveView();
        view->flushPending();

        std::sort(lateness.begin(), lateness.end());
        const double p99 = lateness.isEmpty() ? 0 : lateness.at(int(lateness.size() * 0.99)) / 1000.0;
        const double worst = lateness.isEmpty() ? 0 : lateness.last() / 1000.0;
        qInfo().noquote() << QString("soak: %1 s, %2 bytes in %3 chunks (%4 bytes/s), view %5 chars, "
                                     "lateness p99 %6 ms max %7 ms, cpu %8 s (%9 %), rss %10 -> peak %11 MiB")
                                 .arg(elapsed, 0, 'f', 1)
                                 .arg(sent)
                                 .arg(chunks)
                                 .arg(sent / elapsed, 0, 'f', 0)
                                 .arg(view->characterCount())
                                 .arg(p99, 0, 'f', 1)
                                 .arg(worst, 0, 'f', 1)
                                 .arg(cpu, 0, 'f', 2)
                                 .arg(100 * cpu / elapsed, 0, 'f', 0)
                                 .arg(rssBefore, 0, 'f', 0)
                                 .arg(rssPeak, 0, 'f', 0);

        // The device really streamed (the simulator paces it; a loaded machine may
        // slow its thread, so only a gross shortfall counts).
        QVERIFY2(sent >= quint64(kBytesPerSecond * seconds * 0.5), qPrintable(QString::number(sent)));
        // Not stalled: timers on the GUI thread are still served. The figure itself is
        // measured in bench/, on a quiet machine; here other tests share the cores.
        QVERIFY2(p99 < 1000.0, qPrintable(QString::number(p99)));

        // Nothing lost or corrupted: the file, line by line, is the stream in hex.
        QFile file(view->fileName());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QByteArray bytes;
        int lines = 0;
        while (!file.atEnd()) {
            QByteArray line = file.readLine();
            QVERIFY(line.endsWith(" \n"));
            bytes += QByteArray::fromHex(line);
            ++lines;
        }
        QCOMPARE(lines, chunks);
        QCOMPARE(quint64(bytes.size()), sent);
        for (qint64 pos = 0; pos < bytes.size(); pos += pattern.size()) {
            const int n = int(qMin<qint64>(pattern.size(), bytes.size() - pos));
            QVERIFY(bytes.mid(int(pos), n) == pattern.left(n));
        }
        w->setSerialPortOpen(false);
        delete w;
    }
};

TALMENO_TEST_MAIN(TestTerminalSoak)
#include "tst_terminal_soak.moc"
