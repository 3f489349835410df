// The firmware frame and the updater: images cut into frames, the wired update
// against the simulated boot loader (handshake, retries, failures, the port's rate
// afterwards) and the wireless update through a stub relay.

#include "tst_firmware_env.h"

#include "foundation/ZTimerManager.h"
#include "protocol/FirmwareUpdater.h"
#include "protocol/ProtocolFirmware.h"
#include "support/testenv.h"

#include <QSignalSpy>
#include <QTemporaryDir>

using namespace fwtest;

namespace {
quint8 u8(const QByteArray& b, int i)
{
    return static_cast<quint8>(b[i]);
}
quint32 u32(const QByteArray& b, int i)
{
    return qFromLittleEndian<quint32>(b.constData() + i);
}
// Log lines ending with text (the attempt index is the last word).
int endingWith(const testenv::LogCapture& log, const QString& text)
{
    int n = 0;
    for (const QString& line : log.lines())
        n += line.endsWith(text) ? 1 : 0;
    return n;
}
QList<int> values(const QSignalSpy& spy)
{
    QList<int> out;
    for (const QList<QVariant>& args : spy)
        out << args.at(0).toInt();
    return out;
}
} // namespace

class TestFirmwareUpdater : public QObject
{
    Q_OBJECT

    Bench bench_;
    QTemporaryDir dir_;
    FirmwareUpdater* updater_ = nullptr;
    ProtocolFirmware* fw_ = nullptr;
    ProtocolSystem* sys_ = nullptr;

    QString imageFile(const QString& name, const QByteArray& bytes)
    {
        const QString path = dir_.filePath(name);
        writeFile(path, bytes);
        return path;
    }

    ProductHandleBase* handle() { return ProductsManager::instance()->currentProductHandle(); }

private slots:
    void initTestCase()
    {
        QVERIFY(dir_.isValid());
        QString error;
        QVERIFY2(bench_.setUp(&error), qPrintable(error));
        ProductsManager::instance(&bench_.mainWindow);
        sys_ = ProtocolSystem::instance();
        fw_ = ProtocolFirmware::instance(this);
        updater_ = FirmwareUpdater::instance(this);
        QCOMPARE(FirmwareUpdater::instance(nullptr), updater_);
        QCOMPARE(ProtocolFirmware::instance(nullptr), fw_);
        // The product whose image is written: its latest version goes into the frame.
        QVERIFY(ProductsManager::instance()->setCurrentProduct(kProduct, 0));
        QVERIFY(handle());
    }

    void init()
    {
        bench_.resetDevice();
        handle()->setLatestFirmwareVersion(QVersionNumber({1, 4, 2}));
    }

    void cleanup()
    {
        bench_.restoreHooks();
        FirmwareWirelessHooks::setHooks({});
        bench_.terminal->setSerialPortOpen(false);
        QVERIFY(!sys_->isActive());
    }

    void frameAtStart()
    {
        fw_->reset();
        const QByteArray f = fw_->buildFirmwareFrame();
        QCOMPARE(f.size(), 984);
        QCOMPARE(u8(f, 0), quint8(0x52));
        QCOMPARE(u8(f, 1), quint8(0x01));
        QCOMPARE(f.mid(2, 981), QByteArray(981, '\0'));
        QCOMPARE(u8(f, 983), quint8(0x53));
    }

    void oneFullChunkIsOneFrame()
    {
        const QByteArray image = makeImage(972, 1);
        QSignalSpy count(updater_, &FirmwareUpdater::firmwareFrameCountChanged);
        QVERIFY(updater_->loadFirmwareFile(imageFile("a.bin", image), false));
        QCOMPARE(values(count), QList<int>{1});
        fw_->reset();
        QVERIFY(updater_->readFirmwareChunk());
        const QByteArray f = fw_->buildFirmwareFrame();
        QCOMPARE(u32(f, 7), 0x08020000u);
        QCOMPARE(u8(f, 2), quint8(0x02));
        QCOMPARE(u32(f, 3), 0u);
        QCOMPARE(f.mid(11, 972), image); // no fill
        QCOMPARE(u8(f, 983), sim::sum8(f.constData(), 983));
        QVERIFY(!updater_->readFirmwareChunk());
    }

    void shortLastChunkIsPadded()
    {
        const QByteArray image = makeImage(973, 2);
        QVERIFY(updater_->loadFirmwareFile(imageFile("b.bin", image), false));
        fw_->reset();
        QVERIFY(updater_->readFirmwareChunk());
        QByteArray f = fw_->buildFirmwareFrame();
        QCOMPARE(u8(f, 2), quint8(0x00));
        QCOMPARE(f.mid(11, 972), image.left(972));
        QVERIFY(updater_->readFirmwareChunk());
        f = fw_->buildFirmwareFrame();
        QCOMPARE(u32(f, 7), 0x08020000u + 972);
        QCOMPARE(u8(f, 2), quint8(0x02));
        QCOMPARE(u8(f, 11), u8(image, 972));
        QCOMPARE(f.mid(12, 971), QByteArray(971, char(0xFF)));
        QCOMPARE(u8(f, 983), sim::sum8(f.constData(), 983));
        QCOMPARE(updater_->offset(), 973);
    }

    void loadingAnnouncesFramesAndWritesTheVersion()
    {
        const QString path = imageFile("c.bin", makeImage(2000, 3));
        QSignalSpy count(updater_, &FirmwareUpdater::firmwareFrameCountChanged);
        QSignalSpy current(updater_, &FirmwareUpdater::currentFirmwareFrameChanged);
        QVERIFY(updater_->loadFirmwareFile(path, false));
        QVERIFY(updater_->loadFirmwareFile(path, true));
        QCOMPARE(values(count), (QList<int>{3, 15}));
        QCOMPARE(values(current), (QList<int>{0, 0}));
        SystemInfoFrame w = sys_->writeFrame();
        QCOMPARE((QList<int>{w.bytes[10], w.bytes[9], w.bytes[8], w.bytes[7]}), (QList<int>{1, 4, 2, 0}));

        // Each part truncated to 8 bits.
        handle()->setLatestFirmwareVersion(QVersionNumber({300, 2, 1, 9}));
        QVERIFY(updater_->loadFirmwareFile(path, false));
        w = sys_->writeFrame();
        QCOMPARE((QList<int>{w.bytes[10], w.bytes[9], w.bytes[8], w.bytes[7]}), (QList<int>{44, 2, 1, 9}));
    }

    void unusableImagesAreRefused()
    {
        QSignalSpy count(updater_, &FirmwareUpdater::firmwareFrameCountChanged);
        QVERIFY(!updater_->loadFirmwareFile(QString(), false));
        testenv::LogCapture log;
        QVERIFY(!updater_->loadFirmwareFile(dir_.filePath("missing.bin"), false));
        QCOMPARE(log.count("open failed"), 1);
        const QString empty = imageFile("empty.bin", QByteArray());
        QVERIFY(!updater_->loadFirmwareFile(empty, false));
        QCOMPARE(count.count(), 0);

        // An empty image is not flashed as a frame of fill bytes.
        QVERIFY(bench_.openPort());
        QCOMPARE(updater_->updateFirmwareWired(empty), QString("Firmware is not ready"));
        QCOMPARE(updater_->updateFirmwareWired(dir_.filePath("missing.bin")), QString("Firmware is not ready"));
        FirmwareWirelessHooks::setHooks(stubRelay(nullptr));
        QCOMPARE(updater_->updateFirmwareWireless(empty), QString("Firmware is not ready"));
        QVERIFY(!sys_->isActive());
        QTest::qWait(50);
        QCOMPARE(bench_.device.receivedCount(), quint64(0));
    }

    void wiredUpdateWritesTheImage()
    {
        const QByteArray image = makeImage(2500, 4);
        const QString path = imageFile("d.bin", image);
        QVERIFY(bench_.openPort());
        bench_.boot->setNotReadyReplies(3);
        QSignalSpy count(updater_, &FirmwareUpdater::firmwareFrameCountChanged);
        QSignalSpy current(updater_, &FirmwareUpdater::currentFirmwareFrameChanged);
        testenv::LogCapture log;

        QCOMPARE(updater_->updateFirmwareWired(path), QString());

        QVERIFY(bench_.boot->completed());
        QCOMPARE(bench_.boot->image(image.size()), image);
        QCOMPARE(bench_.boot->restarts(), 1);
        QCOMPARE(bench_.boot->announcedBlocks(), 3);
        const QList<QByteArray> frames = bench_.boot->frames();
        QCOMPARE(frames.size(), 3);
        QCOMPARE((QList<int>{u8(frames[0], 2), u8(frames[1], 2), u8(frames[2], 2)}), (QList<int>{0, 0, 2}));
        QCOMPARE(u32(frames[2], 7), 0x08020000u + 1944);
        QCOMPARE(values(count), QList<int>{3});
        QCOMPARE(values(current), (QList<int>{0, 1, 2, 3}));

        // The handshake frame, as first written at the starting rate.
        const QByteArray hs = bench_.device.received().left(32);
        QCOMPARE(hs.left(11), QByteArray::fromHex("5200000000000000000000"));
        QCOMPARE(hs.mid(11, 8), QByteArray(8, char(0xFF)));
        QCOMPARE(hs.mid(19, 9), QByteArray(9, '\0'));
        QCOMPARE(hs.mid(28, 3), QByteArray::fromHex("030001"));
        QCOMPARE(u8(hs, 31), sim::sum8(hs.constData(), 31));

        // Not-ready answers are logged with their attempt; the first ready one wins.
        QCOMPARE(log.count("try handshake after change to 921600"), 1);
        for (int i = 0; i < 3; ++i)
            QCOMPARE(log.count(QString("connect to bootloader but still not ready %1").arg(i)), 1);
        QCOMPARE(log.count("connect to bootloader 3"), 1);

        QCOMPARE(bench_.terminal->serialPort()->baudRate(), kAppRate);
        QCOMPARE(bench_.terminal->baudrateComboBox()->currentText(), QString::number(kAppRate));
        QVERIFY(!sys_->isActive());

        // The device runs the application again and answers at its own rate.
        const QByteArray read = sys_->packReadRequest();
        QVERIFY(ZSerialPortInterface::write(read));
        sys_->setActive(true);
        QTRY_COMPARE(bench_.reply->readRequests(), 1);
        sys_->setActive(false);
    }

    void wiredRetriesMarkRepeats()
    {
        const QByteArray image = makeImage(2000, 5);
        QVERIFY(bench_.openPort());
        // First chunk: refused once. Second chunk: no answer, then refused, then taken.
        bench_.boot->setRefusedFrames({0, 3});
        bench_.boot->setUnansweredFrames({2});
        testenv::LogCapture log;
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(updater_->updateFirmwareWired(imageFile("e.bin", image)), QString());
        QVERIFY(clock.elapsed() >= 2000); // the unanswered try waited its time
        const QList<QByteArray> frames = bench_.boot->frames();
        QCOMPARE(frames.size(), 6);
        QList<int> flags;
        QList<quint32> addresses;
        for (const QByteArray& f : frames) {
            flags << u8(f, 2);
            addresses << u32(f, 7) - 0x08020000u;
        }
        QCOMPARE(flags, (QList<int>{0, 1, 0, 1, 1, 2}));
        QCOMPARE(addresses, (QList<quint32>{0, 0, 972, 972, 972, 1944}));
        QCOMPARE(bench_.boot->image(image.size()), image);
        QCOMPARE(log.count("write firmware first time check error 0"), 1);
        // Offset after the second chunk: 1944 of 2000 bytes.
        QCOMPARE(log.count("write firmware check error 97% 1"), 1);
        QCOMPARE(bench_.terminal->serialPort()->baudRate(), kAppRate);
    }

    void unansweredFirstFrameIsRepeatedAfterEightSeconds()
    {
        // The first frame waits long for its answer (the boot loader erases the flash
        // first); without one it goes again, marked as a repeat.
        const QByteArray image = makeImage(600, 12);
        QVERIFY(bench_.openPort());
        bench_.boot->setUnansweredFrames({0});
        bench_.captureWrites();
        testenv::LogCapture log;
        QCOMPARE(updater_->updateFirmwareWired(imageFile("j.bin", image)), QString());
        QList<Write> frames;
        for (const Write& w : bench_.writes) {
            if (w.bytes.size() == 984 && w.bytes.startsWith("\x52\x01"))
                frames << w;
        }
        QCOMPARE(frames.size(), 2);
        const qint64 gap = frames[1].atMs - frames[0].atMs;
        QVERIFY2(gap >= 8000 && gap <= 10000, qPrintable(QString::number(gap)));
        QCOMPARE(u8(frames[0].bytes, 2) & 0x01, 0);
        QCOMPARE(u8(frames[1].bytes, 2) & 0x01, 1);
        QCOMPARE(bench_.boot->frames().size(), 2);
        QCOMPARE(bench_.boot->image(image.size()), image);
        QCOMPARE(log.count("write firmware first time check error"), 0);
    }

    void handshakeAttemptsCountAfreshInEachCycle()
    {
        const QByteArray image = makeImage(600, 11);
        QVERIFY(bench_.openPort());
        // Not ready for the whole first cycle and two attempts of the second.
        bench_.boot->setNotReadyReplies(22);
        testenv::LogCapture log;
        QCOMPARE(updater_->updateFirmwareWired(imageFile("i.bin", image)), QString());
        QCOMPARE(log.count("try handshake after change to 921600"), 2);
        QCOMPARE(endingWith(log, "connect to bootloader but still not ready 19"), 1);
        QCOMPARE(endingWith(log, "connect to bootloader but still not ready 0"), 2);
        QCOMPARE(endingWith(log, "connect to bootloader but still not ready 1"), 2);
        QCOMPARE(endingWith(log, "connect to bootloader 2"), 1);
        QCOMPARE(bench_.boot->handshakesAnswered(), 23);
        QCOMPARE(bench_.boot->image(image.size()), image);
        QCOMPARE(bench_.boot->frames().size(), 1);
        QCOMPARE(u8(bench_.boot->frames()[0], 2), quint8(0x02));
    }

    void frameFailuresRestoreTheStartingRate()
    {
        const QString path = imageFile("f.bin", makeImage(2000, 6));
        QVERIFY(bench_.openPort());
        bench_.boot->setRefusedFrames({0, 1, 2});
        QCOMPARE(updater_->updateFirmwareWired(path), QString("can't write firmware in first time"));
        QCOMPARE(bench_.terminal->serialPort()->baudRate(), kAppRate);
        QCOMPARE(bench_.device.portRate(), kAppRate);
        QCOMPARE(bench_.terminal->baudrateComboBox()->currentText(), QString::number(kAppRate));

        bench_.resetDevice();
        bench_.boot->setRefusedFrames({1, 2, 3});
        testenv::LogCapture log;
        QCOMPARE(updater_->updateFirmwareWired(path), QString("can't write firmware in 1944/2000"));
        QCOMPARE(log.count("write firmware check error 97% 0"), 1);
        QCOMPARE(log.count("write firmware check error 97% 2"), 1);
        QCOMPARE(bench_.terminal->serialPort()->baudRate(), kAppRate);
        QVERIFY(!sys_->isActive());
    }

    void silentBootloaderFailsTheHandshakeAndTheNextUpdateStillWorks()
    {
        const QByteArray image = makeImage(1500, 7);
        const QString path = imageFile("g.bin", image);
        QVERIFY(bench_.openPort());
        bench_.boot->setSilent(true);
        bench_.captureWrites();
        // Every rate change of the port, on the bench's clock.
        QList<QPair<qint32, qint64>> rates;
        QObject context;
        connect(bench_.terminal->serialPort(), &QSerialPort::baudRateChanged, &context,
                [this, &rates](qint32 rate, QSerialPort::Directions) { rates << qMakePair(rate, bench_.clock.elapsed()); },
                Qt::DirectConnection);
        testenv::LogCapture log;
        QCOMPARE(updater_->updateFirmwareWired(path), QString("handshake failed"));
        QCOMPARE(log.count("try handshake after change to 921600"), 3);
        QCOMPARE(bench_.terminal->serialPort()->baudRate(), kAppRate);
        QCOMPARE(bench_.terminal->baudrateComboBox()->currentText(), QString::number(kAppRate));

        // Each cycle: the request at the starting rate, the switch at least 5 ms after
        // it, then 20 unanswered attempts, each given 50 ms for its answer.
        const QList<Write> writes = bench_.writes;
        QCOMPARE(writes.size(), 3 * 21);
        // Up, then down and up again twice, and back down at the end.
        QList<qint32> order;
        for (const auto& r : rates)
            order << r.first;
        QCOMPARE(order, (QList<qint32>{921600, kAppRate, 921600, kAppRate, 921600, kAppRate}));
        for (int cycle = 0; cycle < 3; ++cycle) {
            const int first = cycle * 21;
            const QString where = QString("cycle %1").arg(cycle);
            const qint64 up = rates[2 * cycle].second;
            // The request goes out at the starting rate: after the way back down.
            if (cycle > 0)
                QVERIFY2(writes[first].atMs >= rates[2 * cycle - 1].second, qPrintable(where));
            const qint64 afterRequest = up - writes[first].atMs;
            QVERIFY2(afterRequest >= 5 && afterRequest <= 1000, qPrintable(where + QString(": %1 ms").arg(afterRequest)));
            QVERIFY2(writes[first + 1].atMs >= up, qPrintable(where));
            for (int i = first + 1; i < first + 20; ++i) {
                const qint64 gap = writes[i + 1].atMs - writes[i].atMs;
                QVERIFY2(gap >= 50 && gap <= 1000, qPrintable(where + QString(", attempt %1: %2 ms").arg(i - first).arg(gap)));
            }
            // Not some longer wait: a busy machine stretches each a little, never fourfold.
            const qint64 attempts = writes[first + 20].atMs - writes[first + 1].atMs;
            QVERIFY2(attempts <= 19 * 50 * 4, qPrintable(where + QString(": %1 ms").arg(attempts)));
        }
        for (const Write& w : writes)
            QCOMPARE(w.bytes, writes.first().bytes);

        // The device restarted (power cycle): it hears the handshake only at its own
        // rate, which the port is back at.
        bench_.resetDevice();
        QCOMPARE(updater_->updateFirmwareWired(path), QString());
        QCOMPARE(bench_.boot->image(image.size()), image);
    }

    void closedPortFailsTheHandshake()
    {
        QVERIFY(!ZSerialPortInterface::isOpen());
        QCOMPARE(updater_->updateFirmwareWired(imageFile("h.bin", makeImage(100, 8))), QString("handshake failed"));
        QVERIFY(!sys_->isActive());
    }

    void wirelessUpdateBroadcastsFivePasses()
    {
        const QByteArray image = makeImage(2000, 9);
        const QString path = imageFile("w.bin", image);
        QVERIFY(bench_.openPort());
        bench_.captureWrites();
        QList<QList<int>> marks;
        FirmwareWirelessHooks::setHooks(stubRelay(&marks));
        QSignalSpy count(updater_, &FirmwareUpdater::firmwareFrameCountChanged);
        QSignalSpy current(updater_, &FirmwareUpdater::currentFirmwareFrameChanged);

        QCOMPARE(updater_->updateFirmwareWireless(path), QString());

        QCOMPARE(marks, (QList<QList<int>>{{0, 1, 2}}));
        QCOMPARE(values(count), QList<int>{15});
        QCOMPARE(current.count(), 16);
        QCOMPARE(current.last().at(0).toInt(), 15);

        const QList<Write> writes = bench_.writes;
        QCOMPARE(writes.size(), 6 + 5 + 15);
        QByteArray stream;
        for (const Write& w : writes)
            stream += w.bytes;
        bool ok = false;
        const QList<QByteArray> payloads = relayPayloads(stream, &ok);
        QVERIFY(ok);
        QCOMPARE(payloads.size(), 26);

        // The write frame: six copies, 100 ms apart, with the image's version and
        // its own block count.
        for (int i = 0; i < 6; ++i) {
            const QByteArray w = payloads[i];
            QCOMPARE(w.size(), 32);
            QCOMPARE(w.left(3), QByteArray::fromHex("520000"));
            QCOMPARE((QList<int>{u8(w, 10), u8(w, 9), u8(w, 8), u8(w, 7)}), (QList<int>{1, 4, 2, 0}));
            QCOMPARE(w.mid(28, 3), QByteArray::fromHex("020001"));
            QCOMPARE(u8(w, 31), sim::sum8(w.constData(), 31));
            if (i > 0)
                QVERIFY2(writes[i].atMs - writes[i - 1].atMs >= 95, qPrintable(QString::number(writes[i].atMs)));
        }
        // The first chunk five times: repeat marks 0,1,1,1,1.
        QList<int> firstFlags;
        for (int i = 6; i < 11; ++i) {
            QCOMPARE(payloads[i].size(), 984);
            QCOMPARE(u32(payloads[i], 7), 0x08020000u);
            QCOMPARE(payloads[i].mid(11, 972), image.left(972));
            firstFlags << u8(payloads[i], 2);
        }
        QCOMPARE(firstFlags, (QList<int>{0, 1, 1, 1, 1}));
        // The nodes' settling time for two blocks.
        QCOMPARE(FirmwareUpdater::wirelessSettleMs(2), 4765);
        QCOMPARE(FirmwareUpdater::wirelessSettleMs(0), 4750);
        QVERIFY(writes[11].atMs - writes[10].atMs >= 4765);
        // Five passes, every frame with repeat mark 0, the image whole each time.
        for (int pass = 0; pass < 5; ++pass) {
            QByteArray written;
            for (int k = 0; k < 3; ++k) {
                const QByteArray f = payloads[11 + pass * 3 + k];
                QCOMPARE(u32(f, 7), 0x08020000u + 972u * k);
                QCOMPARE(u8(f, 2), quint8(k == 2 ? 0x02 : 0x00));
                QCOMPARE(u8(f, 983), sim::sum8(f.constData(), 983));
                written += f.mid(11, 972);
            }
            QCOMPARE(written.left(2000), image);
            QCOMPARE(written.mid(2000), QByteArray(916, char(0xFF)));
        }
        QVERIFY(!sys_->isActive());
    }

    void wirelessWriteFailureAndMissingRelay()
    {
        const QString path = imageFile("x.bin", makeImage(1000, 10));
        QVERIFY(bench_.openPort());

        // Without the relay nothing is sent.
        QVERIFY(!updater_->updateFirmwareWireless(path).isEmpty());
        QTest::qWait(50);
        QCOMPARE(bench_.device.receivedCount(), quint64(0));

        bench_.captureWrites();
        bench_.failRelayWrites = true;
        QList<QList<int>> marks;
        FirmwareWirelessHooks::setHooks(stubRelay(&marks));
        QCOMPARE(updater_->updateFirmwareWireless(path), QString("serialport disconnected"));
        QCOMPARE(marks, (QList<QList<int>>{{0, 1, 2}}));
        // Six write frames (results ignored), then the first chunk fails at once.
        QCOMPARE(bench_.writes.size(), 7);

        // An image that cannot be loaded leaves the rows alone.
        marks.clear();
        QCOMPARE(updater_->updateFirmwareWireless(QString()), QString("Firmware is not ready"));
        QVERIFY(marks.isEmpty());
    }
};

TALMENO_TEST_MAIN(TestFirmwareUpdater)
#include "tst_firmware_updater.moc"
