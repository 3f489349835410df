// The talmeno-sim command line as a user starts it to try the program without a
// device: each product answers recognition at its own rate and then streams its
// frames, whole and checksummed, at the chosen frame rate; bad choices are refused.

#include "support/testenv.h"

#include "helpers/LinkEnv.h"
#include "link/ZSerialPort.h"
#include "sim/DeviceSimulator.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QSignalSpy>

namespace {

QString toolPath()
{
    return qEnvironmentVariable("TALMENO_BINARY_DIR") + "/bin/talmeno-sim";
}

// Offsets of the whole frames with this head in a byte stream: a sealed frame of
// fixed length, or one found by its tail byte.
int countFrames(const QByteArray& data, const QByteArray& head, int length, bool tailEE)
{
    int count = 0;
    for (int i = data.indexOf(head); i >= 0 && i + length <= data.size(); i = data.indexOf(head, i + 1)) {
        const QByteArray frame = data.mid(i, length);
        const bool whole = tailEE ? quint8(frame.back()) == 0xEE
                                  : sim::sum8(frame.constData(), length - 1) == quint8(frame.back());
        if (whole) {
            ++count;
            i += length - 1;
        }
    }
    return count;
}

} // namespace

class TestSimTool : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (!QFileInfo::exists(toolPath()))
            QSKIP("talmeno-sim is not built");
        testenv::startWorkerThreads();
    }

    void productsAnswerAndStream_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("productType");
        QTest::addColumn<QByteArray>("head");
        QTest::addColumn<int>("length");
        QTest::addColumn<bool>("tailEE");
        QTest::addColumn<int>("frameRate");

        QTest::newRow("range sensor, default type and rate")
            << QStringList{"--sarvel"} << 3 << QByteArray("\x57\x00", 2) << 16 << false << 100;
        QTest::newRow("range sensor type 14 at 50 Hz")
            << QStringList{"--sarvel", "--product", "14", "--frame-rate", "50"} << 14 << QByteArray("\x57\x00", 2)
            << 16 << false << 50;
        QTest::newRow("trelvan node frame 2")
            << QStringList{"--trelvan", "Node_Frame2", "--frame-rate", "40"} << 0 << QByteArray("\x55\x04", 2)
            << 120 + 13 * 4 << false << 40;
        QTest::newRow("trelvan anchor frame 0, name in any case")
            << QStringList{"--trelvan", "anchor_frame0", "--frame-rate", "20"} << 0 << QByteArray("\x55\x00", 2)
            << 896 << true << 20;
    }

    void productsAnswerAndStream()
    {
        QFETCH(QStringList, args);
        QFETCH(int, productType);
        QFETCH(QByteArray, head);
        QFETCH(int, length);
        QFETCH(bool, tailEE);
        QFETCH(int, frameRate);

        QProcess proc;
        proc.start(toolPath(), args);
        QVERIFY(proc.waitForStarted());
        QVERIFY(proc.waitForReadyRead(10000));
        const QString path = QString::fromLocal8Bit(proc.readLine()).trimmed();
        QVERIFY2(QFileInfo::exists(path), qPrintable(path + proc.readAllStandardError()));

        ZSerialPort port;
        port.setPortName(path);
        QVERIFY(port.setBaudRate(115200)); // the tool's default line rate
        QByteArray received;
        connect(&port, &ZSerialPort::dataArrived, this, [&received](const QByteArray& d) { received += d; });
        QVERIFY(port.open(5));

        // Recognition: the system frame names the product.
        port.write(sim::systemReadRequest());
        int at = -1;
        QTRY_VERIFY_WITH_TIMEOUT((at = received.indexOf(QByteArray("\x52\x00", 2))) >= 0
                                     && received.size() >= at + 32,
                                 10000);
        QCOMPARE(int(quint8(received.at(at + 4))), productType);

        // Then the stream: whole frames, at about the chosen rate.
        received.clear();
        QElapsedTimer clock;
        clock.start();
        QTRY_VERIFY_WITH_TIMEOUT(countFrames(received, head, length, tailEE) >= frameRate, 20000);
        // A second's worth of frames takes no less than most of a second.
        QVERIFY2(clock.elapsed() >= 700, qPrintable(QString::number(clock.elapsed())));

        port.close();
        proc.terminate();
        QVERIFY(proc.waitForFinished(5000));
        QCOMPARE(proc.exitCode(), 0);
    }

    void badChoicesAreRefused_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("unknown frame") << QStringList{"--trelvan", "Node_Frame9"};
        QTest::newRow("no rate") << QStringList{"--sarvel", "--frame-rate", "0"};
        QTest::newRow("not a range type") << QStringList{"--sarvel", "--product", "11"};
        QTest::newRow("both products") << QStringList{"--sarvel", "--trelvan", "Node_Frame2"};
    }

    void badChoicesAreRefused()
    {
        QFETCH(QStringList, args);
        QProcess proc;
        proc.start(toolPath(), args);
        QVERIFY(proc.waitForFinished(10000));
        QCOMPARE(proc.exitCode(), 2);
        QVERIFY(proc.readAllStandardOutput().isEmpty()); // no port was offered
    }
};

TALMENO_TEST_MAIN(TestSimTool)
#include "tst_sim_tool.moc"
