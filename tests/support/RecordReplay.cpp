#include "support/RecordReplay.h"

#include "link/ZSerialPort.h"
#include "record/DataExportObserver.h"
#include "record/RecordingCharger.h"
#include "record/ReplayCharger.h"
#include "support/DeviceDrain.h"

#include <QDateTime>
#include <QFile>
#include <QSignalSpy>
#include <QtTest>

namespace talmeno_test {

void exportLiveAndReplay(ZSerialPort* port, sim::DeviceSimulator& device, qint64 recordBytes,
                         const std::function<void()>& quiet, QString* liveFile, QString* replayFile)
{
    DataExportSubject* subject = DataExportSubject::instance();
    QVERIFY(subject->setExporting(true));
    // Not earlier than the second the export file is named by.
    const qint64 liveSecond = QDateTime::currentSecsSinceEpoch();
    RecordingCharger recorder;
    QVERIFY(recorder.startRecording());
    qint64 recorded = 0;
    const QMetaObject::Connection c = QObject::connect(
        port, &ZSerialPort::dataArrived, &recorder,
        [&recorder, &recorded](const QByteArray& chunk) {
            recorder.record(chunk);
            recorded += chunk.size();
        },
        Qt::DirectConnection);
    QTRY_VERIFY2_WITH_TIMEOUT(recorded >= recordBytes, qPrintable(QString::number(recorded)), 30000);
    QObject::disconnect(c);
    QVERIFY(recorder.finishRecording());
    QVERIFY(QFile::exists(recorder.fileName()));

    // Every recorded frame, and every later one, is decoded into the live export.
    quiet();
    QVERIFY(drainDevice(device, *port));
    QVERIFY(subject->setExporting(false));
    *liveFile = subject->fileName();

    QTRY_VERIFY_WITH_TIMEOUT(QDateTime::currentSecsSinceEpoch() > liveSecond, 5000); // another file name
    QVERIFY(subject->setExporting(true));
    ReplayCharger replay;
    QSignalSpy finished(&replay, &ReplayCharger::replayFinished);
    QVERIFY(replay.startReplay(recorder.fileName()));
    replay.setSpeed(4.0);
    replay.setPlaying(true);
    QTRY_VERIFY_WITH_TIMEOUT(finished.count() > 0, 30000);
    QVERIFY(waitForPipelineAtRest());
    QVERIFY(subject->setExporting(false));
    QVERIFY(subject->waitForSaves());
    *replayFile = subject->fileName();
    QVERIFY(*replayFile != *liveFile);
    replay.removeTempFiles();
}

} // namespace talmeno_test
