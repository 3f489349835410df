#include "support/RecordReplay.h"

#include "link/ZSerialPort.h"
#include "record/DataExportObserver.h"
#include "record/RecordingCharger.h"
#include "record/ReplayCharger.h"

#include <QFile>
#include <QSignalSpy>
#include <QtTest>

namespace talmeno_test {

void exportLiveAndReplay(ZSerialPort* port, const std::function<void()>& whileRecording,
                         const std::function<void()>& quiet, QString* liveFile, QString* replayFile)
{
    DataExportSubject* subject = DataExportSubject::instance();
    QVERIFY(subject->setExporting(true));
    RecordingCharger recorder;
    QVERIFY(recorder.startRecording());
    const QMetaObject::Connection c =
        QObject::connect(port, &ZSerialPort::dataArrived, &recorder, &RecordingCharger::record, Qt::DirectConnection);
    whileRecording();
    QObject::disconnect(c);
    QVERIFY(recorder.finishRecording());
    QVERIFY(QFile::exists(recorder.fileName()));
    QTest::qWait(300); // the frames of the last chunks are decoded
    QVERIFY(subject->setExporting(false));
    *liveFile = subject->fileName();

    quiet();
    QTest::qWait(1100); // no export file of the same second
    QVERIFY(subject->setExporting(true));
    ReplayCharger replay;
    QSignalSpy finished(&replay, &ReplayCharger::replayFinished);
    QVERIFY(replay.startReplay(recorder.fileName()));
    replay.setSpeed(4.0);
    replay.setPlaying(true);
    QVERIFY(finished.wait(20000));
    QTest::qWait(300);
    QVERIFY(subject->setExporting(false));
    QVERIFY(subject->waitForSaves());
    *replayFile = subject->fileName();
    QVERIFY(*replayFile != *liveFile);
    replay.removeTempFiles();
}

} // namespace talmeno_test
