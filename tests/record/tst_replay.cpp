// The replay: refusal of damaged or hostile recording files, stamps, the pace and
// grouping of chunks, jumps, speed, the end of the data, its private temporary
// files, and playing on its own thread into the frame extraction's input.

#include "support/testenv.h"

#include "foundation/UserPaths.h"
#include "foundation/ZThreadManager.h"
#include "helpers/RecordKit.h"
#include "protocol/ProtocolFrameExtraction.h"
#include "record/RecordingCharger.h"
#include "record/ReplayCharger.h"
#include "views/ViewHooks.h"

#include <QCryptographicHash>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <climits>

namespace {
QString md5(const char* word)
{
    return QCryptographicHash::hash(QByteArray(word), QCryptographicHash::Md5).toHex();
}

// Puts the process's temporary folder back, whatever a test did to it.
struct TempDirRestore
{
    const QString saved = tempDir;
    ~TempDirRestore() { tempDir = saved; }
};

kit::HandMadeRecording evenRecording(int n, qint64 step)
{
    kit::HandMadeRecording r;
    for (int i = 0; i < n; ++i)
        r.chunks.append({i * step, QByteArray("chunk") + QByteArray::number(i)});
    return r;
}
} // namespace

class TestReplay : public QObject
{
    Q_OBJECT

    QTemporaryDir dir_;
    int files_ = 0;

    QString write(const kit::HandMadeRecording& r)
    {
        const QString path = dir_.filePath(QStringLiteral("Vexa_Sarvel_Frame0_%1.dat").arg(++files_));
        if (!r.write(path))
            return QString();
        return path;
    }

private slots:
    void initTestCase()
    {
        kit::initFolders();
        ViewHooks::setOpenFolderHook([](const QString&) {});
        QVERIFY(dir_.isValid());
    }

    void damagedFilesAreRefused_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("message");
        QTest::newRow("checksum") << "checksum" << "!ZAlgo::verifyCheckSum8(&header_,sizeof(header_))";
        QTest::newRow("short header") << "short" << "file.read(&header_,sizeof(header_)) != sizeof(header_)";
        QTest::newRow("size differs") << "size" << "header_.fileSize != file_.size():%1,%2";
        QTest::newRow("no chunks") << "empty" << "No data needs to be replayed";
        QTest::newRow("missing file") << "missing" << "can't open file";
        QTest::newRow("index size") << "indexsize" << "frame index size";
        QTest::newRow("data outside") << "dataoutside" << "data section";
        QTest::newRow("index far outside") << "indexoverflow" << "outside the file";
        QTest::newRow("stamp count") << "stampcount" << "cannot fit a stamp section";
        QTest::newRow("stamp text") << "stamptext" << "lies outside the stamp section";
        QTest::newRow("stamps outside") << "stampoutside" << "stamp section";
        QTest::newRow("no temporary folder") << "tempfolder" << "can't create a temporary folder";
        QTest::newRow("copy fails") << "copyfails" << "copying a section of the recording failed";
    }

    void damagedFilesAreRefused()
    {
        QFETCH(QString, kind);
        QFETCH(QString, message);
        kit::HandMadeRecording r = evenRecording(5, 10);
        QString path;
        ReplayCharger replay;
        TempDirRestore restoreTempDir;
        if (kind == "checksum") {
            r.tamper = [](RecordingFileHeader& h) { h.setField(RecordingFileHeader::LastElapsedMs, 41); };
            r.seal = false;
            QByteArray bytes = r.bytes();
            RecordingFileHeader good;
            memcpy(good.bytes, bytes.constData(), 81);
            good.setField(RecordingFileHeader::LastElapsedMs, 40);
            good.seal();
            bytes[80] = char(good.bytes[80]); // the sum of the untampered header
            path = dir_.filePath("checksum.dat");
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(bytes);
        } else if (kind == "short") {
            path = dir_.filePath("short.dat");
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(r.bytes().left(80));
        } else if (kind == "size") {
            path = write(r);
            QFile f(path);
            QVERIFY(f.open(QIODevice::Append));
            f.write("xyz");
            f.close();
            message = message.arg(r.bytes().size()).arg(r.bytes().size() + 3);
        } else if (kind == "empty") {
            r.chunks.clear();
            path = write(r);
        } else if (kind == "missing") {
            path = dir_.filePath("none.dat");
        } else if (kind == "indexsize") {
            r.tamper = [](RecordingFileHeader& h) { h.setField(RecordingFileHeader::FrameSize, h.frameSize() - 16); };
            path = write(r);
        } else if (kind == "dataoutside") {
            r.tamper = [](RecordingFileHeader& h) { h.setField(RecordingFileHeader::DataPos, h.dataPos() + 8); };
            path = write(r);
        } else if (kind == "indexoverflow") {
            r.tamper = [](RecordingFileHeader& h) { h.setField(RecordingFileHeader::FramePos, LLONG_MAX - 40); };
            path = write(r);
        } else if (kind == "stampcount") {
            r.withStampSection = true;
            r.stamps = {{5, "a"}};
            r.tamper = [](RecordingFileHeader& h) { h.setField(RecordingFileHeader::StampCount, 100000); };
            path = write(r);
        } else if (kind == "stamptext") {
            r.withStampSection = true;
            r.stamps = {{5, "a long note that ends beyond its section"}};
            // The section claims 13 bytes: one stamp fits by count, its text does not.
            r.tamper = [](RecordingFileHeader& h) { h.setField(RecordingFileHeader::StampSize, 13); };
            path = write(r);
        } else if (kind == "stampoutside") {
            r.withStampSection = true;
            r.stamps = {{5, "a"}};
            r.tamper = [](RecordingFileHeader& h) { h.setField(RecordingFileHeader::StampSize, h.stampSize() + 1); };
            path = write(r);
        } else if (kind == "tempfolder") {
            // A plain file where the private folder's parent must be: even root cannot
            // make a folder below it.
            path = write(r);
            tempDir = dir_.filePath("not-a-folder");
            QFile plain(tempDir);
            QVERIFY(plain.open(QIODevice::WriteOnly));
        } else if (kind == "copyfails") {
            // A sound file, but its sections cannot be written into the private
            // folder: the frame index copy lands on a full device.
            path = write(r);
            QVERIFY(replay.startReplay(path));
            const QString frameCopy = replay.frameFilePath();
            QVERIFY(QFile::remove(frameCopy));
            QVERIFY(QFile::link("/dev/full", frameCopy));
        }
        kit::LogCapture log;
        QVERIFY(!replay.startReplay(path));
        QVERIFY2(log.contains(message), qPrintable(log.lines().join('\n')));
        QVERIFY(replay.frameFilePath().isEmpty());
        QVERIFY(replay.stamps().isEmpty());
        // Nothing is played from a refused file.
        QSignalSpy sent(&replay, &ReplayCharger::msChanged);
        replay.setChunkSink([](const QByteArray&) { QFAIL("a refused file sent a chunk"); });
        replay.setPlaying(true);
        replay.readData();
        QCOMPARE(sent.count(), 0);
    }

    void stampsComeFromTheStampSection()
    {
        kit::HandMadeRecording r = evenRecording(4, 100);
        r.withStampSection = true;
        r.stamps = {{0, QString()}, {150, QString::fromUtf8("Kurve \xc3\xbc")}, {300, "end"}};
        const QString path = write(r);
        ReplayCharger replay;
        QVERIFY(replay.startReplay(path));
        const QList<RecordingStamp> stamps = replay.stamps();
        QCOMPARE(stamps.size(), 3);
        QCOMPARE(stamps.at(0).ms, qint64(0));
        QVERIFY(stamps.at(0).text.isNull());
        QCOMPARE(stamps.at(1).ms, qint64(150));
        QCOMPARE(stamps.at(1).text, QString::fromUtf8("Kurve \xc3\xbc"));
        QCOMPARE(stamps.at(2).text, QString("end"));

        // A file of the recorder has no stamp section.
        RecordingCharger recorder;
        QVERIFY(recorder.startRecording());
        recorder.record("x");
        QVERIFY(recorder.finishRecording());
        QVERIFY(replay.startReplay(recorder.fileName()));
        QVERIFY(replay.stamps().isEmpty());
        QCOMPARE(replay.header().stampPos(), qint64(-1));
    }

    void chunksGoOutAtTheirPace()
    {
        kit::HandMadeRecording r;
        r.chunks = {{0, "a"}, {0, "b"}, {0, "c"}, {10, "d"}, {10, "e"}, {30, "f"}};
        ReplayCharger replay;
        QList<QByteArray> got;
        replay.setChunkSink([&got](const QByteArray& c) { got << c; });
        QSignalSpy ms(&replay, &ReplayCharger::msChanged);
        QSignalSpy finished(&replay, &ReplayCharger::replayFinished);
        QVERIFY(replay.startReplay(write(r)));

        // The first tick sends chunk 0 at 0 ms and goes on while the record before
        // each chunk is due: the chunks recorded at 0 ms and the first at 10 ms.
        replay.setPlaying(true);
        QCOMPARE(got, (QList<QByteArray>{"a", "b", "c", "d"}));
        QCOMPARE(replay.timerInterval(), 10);
        QVERIFY(replay.isPlaying());
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 2000);
        QCOMPARE(got, (QList<QByteArray>{"a", "b", "c", "d", "e", "f"}));
        QList<qlonglong> times;
        for (const QList<QVariant>& a : ms)
            times << a.at(0).toLongLong();
        QCOMPARE(times, (QList<qlonglong>{0, 0, 0, 0, 10, 10}));
        // Rewound and stopped, once.
        QVERIFY(!replay.isPlaying());
        QCOMPARE(replay.frameIndex(), qint64(0));
        QCOMPARE(replay.currentMs(), qint64(0));
        QTest::qWait(50);
        QCOMPARE(finished.count(), 1);

        // Played again from the start, the same chunks come again.
        got.clear();
        replay.setPlaying(true);
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 2, 2000);
        QCOMPARE(got, (QList<QByteArray>{"a", "b", "c", "d", "e", "f"}));

        // After a jump each chunk goes out at its own time: 10 ms sends d and e.
        got.clear();
        replay.jumpTo(10);
        QCOMPARE(replay.frameIndex(), qint64(3));
        QVERIFY(got.isEmpty());
        replay.readData();
        QCOMPARE(got, (QList<QByteArray>{"d", "e"}));
        QCOMPARE(replay.currentMs(), qint64(30));
        QCOMPARE(replay.timerInterval(), 20);
    }

    void pauseKeepsThePlace()
    {
        ReplayCharger replay;
        QList<QByteArray> got;
        replay.setChunkSink([&got](const QByteArray& c) { got << c; });
        QSignalSpy finished(&replay, &ReplayCharger::replayFinished);
        QVERIFY(replay.startReplay(write(evenRecording(10, 150)))); // 0 150 ... 1350
        replay.setPlaying(true);
        QTRY_VERIFY_WITH_TIMEOUT(got.size() >= 3, 2000);
        replay.setPlaying(false);
        QVERIFY(!replay.isPlaying());
        const int paused = got.size();
        const qint64 index = replay.frameIndex();
        QTest::qWait(150);
        QCOMPARE(got.size(), paused);
        QCOMPARE(replay.frameIndex(), index);
        // Playing again goes on with the next chunk, none twice, none lost.
        replay.setPlaying(true);
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 3000);
        QCOMPARE(got.size(), 10);
        for (int i = 0; i < 10; ++i)
            QCOMPARE(got.at(i), QByteArray("chunk") + QByteArray::number(i));
    }

    void jumpsFindTheRecordForATime()
    {
        ReplayCharger replay;
        QList<QByteArray> got;
        replay.setChunkSink([&got](const QByteArray& c) { got << c; });
        QVERIFY(replay.startReplay(write(evenRecording(4, 100)))); // 0 100 200 300

        struct Case { qlonglong ms; qint64 index; };
        const Case cases[] = {{0, 0}, {1000, 3}, {150, 1}, {200, 2}, {299, 2}, {-5, 0}, {300, 3}, {LLONG_MAX / 2, 3}};
        for (const Case& c : cases) {
            replay.jumpTo(c.ms);
            QCOMPARE(replay.frameIndex(), c.index);
            QCOMPARE(replay.currentMs(), c.index * 100);
        }
        // The chunk of the record jumped to goes out next.
        replay.jumpTo(250);
        replay.readData();
        QCOMPARE(got, QList<QByteArray>{"chunk2"});

        // An uneven recording: the walk from the estimate still finds the record.
        kit::HandMadeRecording uneven;
        for (int i = 0; i <= 10; ++i)
            uneven.chunks.append({i, QByteArray::number(i)});
        uneven.chunks.append({1000, "late"});
        QVERIFY(replay.startReplay(write(uneven)));
        replay.jumpTo(500);
        QCOMPARE(replay.frameIndex(), qint64(10));
        replay.jumpTo(1000);
        QCOMPARE(replay.frameIndex(), qint64(11));

        // Zero length: every chunk at 0 ms. A jump starts at the first chunk.
        kit::HandMadeRecording flat;
        flat.chunks = {{0, "p"}, {0, "q"}, {0, "r"}};
        QVERIFY(replay.startReplay(write(flat)));
        QCOMPARE(replay.header().lastElapsedMs(), qint64(0));
        replay.jumpTo(0);
        QCOMPARE(replay.frameIndex(), qint64(0));
        got.clear();
        replay.readData();
        QCOMPARE(got, (QList<QByteArray>{"p", "q", "r"}));
    }

    void speedScalesTheIntervals()
    {
        ReplayCharger replay;
        replay.setChunkSink([](const QByteArray&) {});
        QVERIFY(replay.startReplay(write(evenRecording(5, 100))));
        replay.jumpTo(0);
        replay.readData();
        QCOMPARE(replay.timerInterval(), 100);

        replay.setSpeed(2.0);
        replay.setSpeed(0.005);
        replay.setSpeed(150);
        QCOMPARE(replay.speed(), 2.0);
        replay.readData();
        QCOMPARE(replay.timerInterval(), 50);
        replay.setSpeed(0.01);
        replay.setSpeed(100.0);
        QCOMPARE(replay.speed(), 100.0);
        replay.setSpeed(0.3);
        replay.readData();
        QCOMPARE(replay.timerInterval(), 333); // truncated
    }

    void damagedTimesAreNotWaitedFor_data()
    {
        QTest::addColumn<QList<qlonglong>>("times");
        QTest::addColumn<qlonglong>("lastElapsed");
        QTest::addColumn<QList<int>>("waits");
        // The waits between the chunk times that differ (the chunks of the last
        // time go out together).
        QTest::newRow("backwards and extremes") << QList<qlonglong>{0, 10, LLONG_MIN, 20, LLONG_MAX, 30, 45, 45}
                                                << 45LL << QList<int>{10, 0, 0, 0, 0, 15};
        QTest::newRow("beyond the last elapsed time")
            << QList<qlonglong>{0, 10, 500, 20, 40, 40} << 40LL << QList<int>{10, 0, 0, 20};
    }

    void damagedTimesAreNotWaitedFor()
    {
        QFETCH(QList<qlonglong>, times);
        QFETCH(qlonglong, lastElapsed);
        QFETCH(QList<int>, waits);
        kit::HandMadeRecording r;
        for (qlonglong t : times)
            r.chunks.append({t, QByteArray::number(r.chunks.size())});
        r.tamper = [lastElapsed](RecordingFileHeader& h) { h.setField(RecordingFileHeader::LastElapsedMs, lastElapsed); };
        ReplayCharger replay;
        QList<QByteArray> got;
        replay.setChunkSink([&got](const QByteArray& c) { got << c; });
        QSignalSpy finished(&replay, &ReplayCharger::replayFinished);
        QVERIFY(replay.startReplay(write(r)));
        // One tick per wait, then the last one ends the replay.
        QList<int> seen;
        for (int i = 0; i < times.size() && finished.isEmpty(); ++i) {
            replay.readData();
            if (finished.isEmpty())
                seen << replay.timerInterval();
        }
        QCOMPARE(seen, waits);
        QCOMPARE(got.size(), times.size());
        QCOMPARE(finished.count(), 1);
    }

    // A frame index record whose data position lies outside the data file stops the
    // replay there, said once in the log; nothing is read from that position.
    void damagedIndexStopsTheReplay_data()
    {
        QTest::addColumn<bool>("jump");
        QTest::addColumn<qlonglong>("dataPos"); // of record 3; the data: six chunks of 4 + 6 bytes
        QTest::newRow("step, past the data") << false << 100000LL;
        QTest::newRow("step, negative") << false << LLONG_MIN;
        QTest::newRow("jump, far past the data") << true << (LLONG_MAX - 3);
        QTest::newRow("jump, too close to the end for a chunk") << true << 57LL;
    }

    void damagedIndexStopsTheReplay()
    {
        QFETCH(bool, jump);
        QFETCH(qlonglong, dataPos);
        kit::HandMadeRecording r = evenRecording(6, 10); // 0 10 ... 50 ms
        r.damagedDataPos.insert(3, dataPos);
        ReplayCharger replay;
        QList<QByteArray> got;
        replay.setChunkSink([&got](const QByteArray& c) { got << c; });
        QSignalSpy damaged(&replay, &ReplayCharger::replayDamaged);
        QVERIFY(replay.startReplay(write(r)));
        kit::LogCapture log;
        jump ? replay.jumpTo(35) : replay.setPlaying(true);
        QTRY_COMPARE_WITH_TIMEOUT(damaged.count(), 1, 2000);
        QCOMPARE(damaged.at(0).at(0).toLongLong(), 30LL);
        QCOMPARE(got, jump ? QList<QByteArray>() : QList<QByteArray>({"chunk0", "chunk1", "chunk2", "chunk3"}));
        // Played again, it stays there; from before the damage it stops there again, silently.
        replay.setPlaying(true);
        QVERIFY(!replay.isPlaying());
        replay.jumpTo(0);
        replay.setPlaying(true);
        QTRY_COMPARE_WITH_TIMEOUT(damaged.count(), 3, 2000);
        QCOMPARE(log.count(QtCriticalMsg, "replay stopped, damaged recording: record 3 (30 ms)"), 1);
        QCOMPARE(log.lines(QtWarningMsg), QStringList());
    }

    void temporaryFilesArePrivate()
    {
        // A link at the old fixed name in the shared folder is never written through.
        const QString victim = dir_.filePath("victim.txt");
        {
            QFile v(victim);
            QVERIFY(v.open(QIODevice::WriteOnly));
            v.write("keep me");
        }
        const QString trap = tempDir + "/" + md5("frame");
        QFile::remove(trap);
        QVERIFY(QFile::link(victim, trap));

        const QString path = write(evenRecording(3, 10));
        ReplayCharger a;
        ReplayCharger b;
        QVERIFY(a.startReplay(path));
        QVERIFY(b.startReplay(path));
        const QFileInfo frame(a.frameFilePath());
        QCOMPARE(frame.fileName(), md5("frame"));
        QCOMPARE(QFileInfo(a.dataFilePath()).fileName(), md5("data"));
        const QFileInfo folder(frame.absolutePath());
        QVERIFY(folder.absolutePath() == QFileInfo(tempDir).absoluteFilePath());
        QCOMPARE(folder.permissions() & (QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther
                                         | QFile::WriteOther | QFile::ExeOther),
                 QFile::Permissions());
        QVERIFY(a.frameFilePath() != b.frameFilePath());
        QCOMPARE(frame.size(), qint64(3 * 16));

        QFile v(victim);
        QVERIFY(v.open(QIODevice::ReadOnly));
        QCOMPARE(v.readAll(), QByteArray("keep me"));
        QFile::remove(trap);

        const QString aFrame = a.frameFilePath();
        const QString aData = a.dataFilePath();
        QVERIFY(a.removeTempFiles());
        QVERIFY(!QFile::exists(aFrame));
        QVERIFY(!QFile::exists(aData));
        QVERIFY(QFile::exists(b.frameFilePath()));
    }

    void playsOnItsThreadIntoTheExtraction()
    {
        kit::startWorkerThreads();
        ProtocolFrameExtraction* extraction = ProtocolFrameExtraction::instance();
        extraction->setEnabled(false); // bytes stay in the input for the test to take
        extraction->takePendingData();

        kit::HandMadeRecording r;
        QByteArray expected;
        for (int i = 0; i < 300; ++i) {
            const QByteArray c = QByteArray(1 + i % 37, char(i));
            r.chunks.append({i, c});
            expected += c;
        }
        const QString path = write(r);
        auto* replay = new ReplayCharger;
        ZThreadManager::instance()->moveToThread(replay, 1);
        replay->setSpeed(100);
        // Counted on this thread: the charger emits on its own.
        int finished = 0;
        connect(replay, &ReplayCharger::replayFinished, this, [&finished] { ++finished; }, Qt::QueuedConnection);
        QVERIFY(replay->startReplay(path));
        QMetaObject::invokeMethod(replay, "setPlaying", Qt::QueuedConnection, Q_ARG(bool, true));
        QTRY_COMPARE_WITH_TIMEOUT(finished, 1, 5000);
        QCOMPARE(extraction->takePendingData(), expected);

        // Stopped and removed from the GUI thread while ticks run: no tick reads the
        // files afterwards and nothing more arrives.
        kit::HandMadeRecording slow;
        for (int i = 0; i < 2000; ++i)
            slow.chunks.append({i * 5, QByteArray(64, 'z')});
        replay->setSpeed(1);
        QVERIFY(replay->startReplay(write(slow)));
        const QString frameFile = replay->frameFilePath();
        QMetaObject::invokeMethod(replay, "setPlaying", Qt::QueuedConnection, Q_ARG(bool, true));
        QByteArray arrived;
        QTRY_VERIFY_WITH_TIMEOUT((arrived += extraction->takePendingData()).size() > 0, 2000);
        QVERIFY(replay->removeTempFiles());
        QVERIFY(!QFile::exists(frameFile));
        QVERIFY(!replay->isPlaying());
        extraction->takePendingData();
        QTest::qWait(60);
        QCOMPARE(extraction->takePendingData().size(), 0);
        replay->deleteLater();
    }
};

TALMENO_TEST_MAIN(TestReplay)
#include "tst_replay.moc"
