// The recorder: the file it writes (header, frame index, data section), an empty
// recording, a second recording after the first, and the failures it reports.

#include "support/testenv.h"

#include "foundation/UserPaths.h"
#include "helpers/RecordKit.h"
#include "record/RecordingCharger.h"
#include "record/ReplayCharger.h"
#include "views/ViewHooks.h"

#include <QBuffer>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtEndian>

namespace {
qint64 at64(const QByteArray& b, int offset)
{
    return qFromLittleEndian<qint64>(reinterpret_cast<const uchar*>(b.constData()) + offset);
}
} // namespace

class TestRecording : public QObject
{
    Q_OBJECT

    QStringList openedFolders_;

private slots:
    void initTestCase()
    {
        kit::initFolders();
        ViewHooks::setOpenFolderHook([this](const QString& path) { openedFolders_ << path; });
    }

    void chunksAreStoredWithTheirIndex()
    {
        RecordingCharger recorder;
        QSignalSpy status(&recorder, &RecordingCharger::recordingStatusChanged);
        QVERIFY(recorder.startRecording());
        QCOMPARE(status.count(), 1);
        QCOMPARE(status.at(0).at(0).toBool(), true);

        QList<QByteArray> chunks;
        chunks << QByteArray("\x55\x01\x02", 3) << QByteArray() << QByteArray(100, '\x7A')
               << QByteArray("\x00\xFF half a frame", 16);
        for (const QByteArray& c : chunks) {
            recorder.record(c);
            QTest::qWait(15);
        }
        openedFolders_.clear();
        QVERIFY(recorder.finishRecording());
        QCOMPARE(status.count(), 2);
        QCOMPARE(status.at(1).at(0).toBool(), false);
        QCOMPARE(openedFolders_, QStringList{QFileInfo(recordingDataDir).absoluteFilePath()});

        // "<folder>/<page>_<yyyyMMdd_HHmmss>.dat"; no page is current here.
        const QString name = recorder.fileName();
        QCOMPARE(QFileInfo(name).absolutePath(), QFileInfo(recordingDataDir).absoluteFilePath());
        QVERIFY2(QRegularExpression("^_\\d{8}_\\d{6}\\.dat$").match(QFileInfo(name).fileName()).hasMatch(),
                 qPrintable(name));

        QFile file(name);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray all = file.readAll();
        const int n = chunks.size();
        QCOMPARE(at64(all, 0), qint64(all.size()));
        QCOMPARE(at64(all, 16), qint64(n));
        QCOMPARE(at64(all, 24), qint64(81));
        QCOMPARE(at64(all, 32), qint64(16 * n));
        QCOMPARE(at64(all, 40), qint64(81 + 16 * n));
        qint64 dataSize = 0;
        for (const QByteArray& c : chunks)
            dataSize += 4 + c.size();
        QCOMPARE(at64(all, 48), dataSize);
        QCOMPARE(at64(all, 40) + at64(all, 48), qint64(all.size()));
        QCOMPARE(all.mid(56, 24), QByteArray(24, '\xFF'));
        quint8 sum = 0;
        for (int i = 0; i < 80; ++i)
            sum = quint8(sum + quint8(all.at(i)));
        QCOMPARE(quint8(all.at(80)), sum);

        // Index: times rise, positions advance by 4 + the previous chunk's length.
        qint64 expectedPos = 0;
        qint64 previousTime = -1;
        const qint64 dataPos = at64(all, 40);
        for (int i = 0; i < n; ++i) {
            const qint64 t = at64(all, 81 + 16 * i);
            const qint64 pos = at64(all, 81 + 16 * i + 8);
            QCOMPARE(pos, expectedPos);
            QVERIFY(t >= previousTime);
            if (i > 0)
                QVERIFY2(t - previousTime >= 10, "chunks 15 ms apart keep their distance");
            previousTime = t;
            const quint32 count = qFromLittleEndian<quint32>(reinterpret_cast<const uchar*>(all.constData()) + dataPos + pos);
            // The data-stream form: a null chunk has the count 0xFFFFFFFF and no bytes.
            if (chunks.at(i).isNull()) {
                QCOMPARE(count, 0xFFFFFFFFu);
            } else {
                QCOMPARE(int(count), chunks.at(i).size());
                QCOMPARE(all.mid(int(dataPos + pos + 4), int(count)), chunks.at(i));
            }
            expectedPos += 4 + chunks.at(i).size();
        }
        QCOMPARE(at64(all, 8), previousTime);
        QCOMPARE(recorder.header().lastElapsedMs(), previousTime);
        QVERIFY(!recorder.isRecording());
    }

    void emptyRecordingIsEightyOneZeroBytes()
    {
        RecordingCharger recorder;
        QVERIFY(recorder.startRecording());
        kit::LogCapture log;
        QVERIFY(recorder.finishRecording());
        QVERIFY(log.contains("No data needs to be record"));
        QFile file(recorder.fileName());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray(81, '\0'));
        file.close();

        // Its checksum matches, and the replay refuses it as empty.
        ReplayCharger replay;
        QVERIFY(!replay.startReplay(recorder.fileName()));
        QVERIFY(log.contains("No data needs to be replayed"));
    }

    void nextRecordingStartsAfresh()
    {
        RecordingCharger recorder;
        QVERIFY(recorder.startRecording());
        for (int i = 0; i < 50; ++i)
            recorder.record(QByteArray(1000, char(i)));
        QVERIFY(recorder.finishRecording());
        QFile::remove(recorder.fileName());

        QVERIFY(recorder.startRecording());
        recorder.record("second");
        QVERIFY(recorder.finishRecording());
        QFile file(recorder.fileName());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray all = file.readAll();
        QCOMPARE(at64(all, 16), qint64(1));
        QCOMPARE(all.size(), 81 + 16 + 4 + 6);
        QCOMPARE(all.mid(81 + 16 + 4), QByteArray("second"));
    }

    void largeRecordingSurvivesTheBlockCopy()
    {
        // More than one 1 MiB block in the data section.
        RecordingCharger recorder;
        QVERIFY(recorder.startRecording());
        QByteArray expected;
        for (int i = 0; i < 700; ++i) {
            QByteArray chunk(4096, char(i * 7));
            chunk[0] = char(i & 0xFF);
            chunk[1] = char(i >> 8);
            recorder.record(chunk);
            expected += chunk;
        }
        QVERIFY(recorder.finishRecording());
        QFile file(recorder.fileName());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray all = file.readAll();
        QCOMPARE(at64(all, 0), qint64(all.size()));
        QByteArray data;
        const qint64 dataPos = at64(all, 40);
        for (int i = 0; i < 700; ++i)
            data += all.mid(int(dataPos + at64(all, 81 + 16 * i + 8) + 4), 4096);
        QCOMPARE(data, expected);
    }

    void failuresAreReported()
    {
        // The recording folder cannot hold a file: finishing fails and says so.
        const QString saved = recordingDataDir;
        QTemporaryDir dir;
        const QString blocker = dir.filePath("not_a_folder");
        QFile f(blocker);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        recordingDataDir = blocker + "/recording_data";

        RecordingCharger recorder;
        QVERIFY(recorder.startRecording());
        recorder.record("abc");
        kit::LogCapture log;
        QVERIFY(!recorder.finishRecording());
        QVERIFY(log.contains("finish recording failed,can't open file"));
        recordingDataDir = saved;

        // appendFile: a destination that refuses writes ends the copy with false.
        QBuffer source;
        source.setData(QByteArray(3 * 1048576 + 5, 'x'));
        QBuffer readOnly;
        readOnly.setData(QByteArray());
        QVERIFY(readOnly.open(QIODevice::ReadOnly));
        log.clear();
        QVERIFY(!RecordingCharger::appendFile(readOnly, source));
        QVERIFY(log.contains("destination.write(buffer) == -1"));

        QBuffer destination;
        QVERIFY(destination.open(QIODevice::WriteOnly));
        destination.write("head");
        QVERIFY(RecordingCharger::appendFile(destination, source));
        QCOMPARE(destination.data().size(), 4 + 3 * 1048576 + 5);
        QVERIFY(!source.isOpen());
    }
};

TALMENO_TEST_MAIN(TestRecording)
#include "tst_recording.moc"
