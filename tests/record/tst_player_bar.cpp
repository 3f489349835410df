// The data player bar with the real pipeline: a simulated device on a pty feeds
// the port, frames are searched on slot 2 and decoded on slot 3. Recording and
// replay disable each other; a replay file is chosen, its protocol group loaded
// (name found in the file name first), played with its stamps, slider and tags,
// keeps the port's bytes away from extraction, ends an export at its end, and is
// ended by device recognition; a recorded mixed stream replays to the same frames
// in the same order; closing finishes a recording and saves an export.

#include "support/testenv.h"

#include "foundation/UserPaths.h"
#include "foundation/ZHooks.h"
#include "foundation/ZThreadManager.h"
#include "helpers/RecordKit.h"
#include "link/ZSerialPort.h"
#include "protocol/ProductHooks.h"
#include "protocol/ProtocolFactory.h"
#include "protocol/ProtocolDataProcessor.h"
#include "protocol/ProtocolFrameExtraction.h"
#include "protocol/WidgetSystemInfo.h"
#include "record/DataExportObserver.h"
#include "record/RecordingCharger.h"
#include "record/ReplayCharger.h"
#include "record/SliderWithTag.h"
#include "record/WidgetDataPlayerBar.h"
#include "sim/DeviceSimulator.h"
#include "views/RefreshManagers.h"
#include "views/GlContextCheck.h"
#include "views/ModelViewManagers.h"
#include "views/ViewHooks.h"

#include <QAction>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTimeEdit>
#include <QToolButton>
#include "widgets/ZMenuWidget.h"

namespace {
const QByteArray kAvoid("\x54\x55\x57", 3); // no head byte inside payloads or garbage

QByteArray sarvelFrame(int seed)
{
    return kit::fixedFrame(QByteArray("\x57\x01", 2), 12, seed, kAvoid);
}
} // namespace

class TestPlayerBar : public QObject
{
    Q_OBJECT

    kit::KitProtocol* node1_ = nullptr;
    kit::KitProtocol* node0_ = nullptr;
    kit::KitProtocol* error_ = nullptr;
    kit::KitProtocol* sarvel_ = nullptr;
    WidgetDataPlayerBar* bar_ = nullptr;
    sim::DeviceSimulator device_;
    ZSerialPort* port_ = nullptr;
    QTemporaryDir dir_;
    QString chosenFile_;
    QStringList boxes_;

    void clearExtraction()
    {
        ProtocolFrameExtraction* ex = ProtocolFrameExtraction::instance();
        ZThreadManager::instance()->runInThread(2, [ex] { ex->clearBuffers(); }, true);
        // Frames already found reach their protocols first.
        ZThreadManager::instance()->runInThread(3, [] { ProtocolDataProcessor::instance()->processFrames(); }, true);
        kit::KitProtocol::clearJournal();
    }

    bool waitPortReceived(quint64 count)
    {
        return QTest::qWaitFor([this, count] { return port_->receivedBytes() >= count; }, 10000);
    }

    QString handMade(const QString& name, const kit::HandMadeRecording& r)
    {
        const QString path = dir_.filePath(name);
        return r.write(path) ? path : QString();
    }

    void openReplay(const QString& path)
    {
        chosenFile_ = path;
        bar_->replayAction()->trigger();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir_.isValid());
        kit::initFolders();
        kit::startWorkerThreads();
        // Pages of positioning groups hold 3D views: headless, they are left out.
        QSettings().setValue("Is3DEnabled", false);
        GlContextCheck::setModalBoxHook([](QMessageBox*) {});
        initViewServices();
        ProtocolFrameExtraction* ex = ProtocolFrameExtraction::instance();
        ZThreadManager::instance()->moveToThread(ex, 2);
        ex->setEnabled(true);

        node1_ = new kit::KitProtocol("Vexa_Trelvan_Node_Frame1", QByteArray("\x55\x03", 2), 0);
        node0_ = new kit::KitProtocol("Vexa_Trelvan_Node_Frame0", QByteArray("\x55\x02", 2), 20);
        error_ = new kit::KitProtocol(ProtocolFactory::kErrorFrame0, QByteArray("\x54\x01", 2), 16);
        sarvel_ = new kit::KitProtocol("Vexa_Sarvel_Frame0", QByteArray("\x57\x01", 2), 12);
        ProtocolFactory::registerProtocol("Vexa_Trelvan_Node_Frame1", [this](QObject*) { return node1_; });
        ProtocolFactory::registerProtocol("Vexa_Trelvan_Node_Frame0", [this](QObject*) { return node0_; });
        ProtocolFactory::registerProtocol(ProtocolFactory::kErrorFrame0, [this](QObject*) { return error_; });
        ProtocolFactory::registerProtocol("Vexa_Sarvel_Frame0", [this](QObject*) { return sarvel_; });

        ViewHooks::setOpenFileHook([this](QWidget*, const QString&, const QString&, const QString&) { return chosenFile_; });
        ViewHooks::setOpenFolderHook([](const QString&) {});
        WidgetDataPlayerBar::criticalBoxHook() = [this](QWidget*, const QString& title, const QString& text) {
            boxes_ << title + "|" + text;
        };

        QVERIFY(device_.start());
        port_ = new ZSerialPort;
        port_->setPortName(device_.portPath());
        port_->setBaudRate(921600);
        QVERIFY(port_->open(3));
        connect(port_, &ZSerialPort::dataArrived, ex, &ProtocolFrameExtraction::appendData, Qt::DirectConnection);

        bar_ = WidgetDataPlayerBar::createInstance(nullptr);
        bar_->setSerialPort(port_);
        QCOMPARE(WidgetDataPlayerBar::instance(), bar_);
        QCOMPARE(bar_->replayCharger()->thread(), ZThreadManager::instance()->thread(1));
        QCOMPARE(bar_->recorder()->thread(), ZThreadManager::instance()->thread(1));
    }

    void cleanupTestCase()
    {
        delete bar_;
        QVERIFY(!ProductHooks::setStopReplayHook(nullptr));
        port_->close();
        delete port_;
        device_.stop();
        ProtocolFrameExtraction::instance()->setEnabled(false);
        // No frame is queued for them once the search is off and the queue drained.
        ZThreadManager::instance()->runInThread(2, [] {}, true);
        ZThreadManager::instance()->runInThread(3, [] { ProtocolDataProcessor::instance()->processFrames(); }, true);
        ProtocolFactory::clearRegistrations();
        delete node1_;
        delete node0_;
        delete error_;
        delete sarvel_;
    }

    void actionsDisableEachOther()
    {
        QAction* rec = bar_->recordingAction();
        QAction* rep = bar_->replayAction();
        QVERIFY(rec->isCheckable() && rep->isCheckable() && bar_->exportAction()->isCheckable());
        QCOMPARE(rec->text(), QString("Data Recording"));
        QCOMPARE(rep->text(), QString("Data Replay"));
        QCOMPARE(bar_->exportAction()->text(), QString("Export Data(Excel)"));
        QVERIFY(!bar_->playButton()->isEnabled());
        QVERIFY(bar_->addStampButton()->isHidden());

        rec->trigger();
        QVERIFY(rec->isChecked());
        QVERIFY(bar_->isRecording());
        QVERIFY(!rep->isEnabled());
        rec->trigger();
        QVERIFY(!bar_->isRecording());
        QVERIFY(rep->isEnabled());

        // A cancelled file choice leaves the replay unchecked.
        chosenFile_.clear();
        rep->trigger();
        QVERIFY(!rep->isChecked());
        QVERIFY(rec->isEnabled());
        QVERIFY(!bar_->isReplaying());
    }

    void protocolNameComesFromTheFileName()
    {
        kit::HandMadeRecording r;
        r.chunks = {{0, sarvelFrame(1)}};
        boxes_.clear();
        QSignalSpy status(bar_, &WidgetDataPlayerBar::replayStatusChanged);
        openReplay(handMade("recording_20240101.dat", r));
        QCOMPARE(boxes_, QStringList{"Error occurred|Unable to extract supported protocol name from file name, please "
                                     "check if the file name has been modified"});
        QVERIFY(!bar_->replayAction()->isChecked());
        QCOMPARE(status.count(), 0);

        // A folder named after one protocol holding a file of another: the file decides.
        QVERIFY(QDir(dir_.path()).mkpath("Vexa_Trelvan_Node_Frame1"));
        openReplay(handMade("Vexa_Trelvan_Node_Frame1/Vexa_Sarvel_Frame0_20240101_101010.dat", r));
        QVERIFY(bar_->isReplaying());
        QCOMPARE(ModelViewManagers::instance()->currentName(), QString("Vexa_Sarvel_Frame0"));
        QVERIFY(sarvel_->isActive());
        QVERIFY(!node1_->isActive());
        bar_->stopReplay();

        // Without a name in the file name, the rest of the path is looked at.
        openReplay(handMade("Vexa_Trelvan_Node_Frame1/plain.dat", r));
        QVERIFY(bar_->isReplaying());
        QCOMPARE(ModelViewManagers::instance()->currentName(), QString("Vexa_Trelvan_Node_Frame1"));
        bar_->stopReplay();
        QVERIFY(!bar_->isReplaying());

        // A damaged file: the replay action ends unchecked.
        QFile bad(dir_.filePath("Vexa_Sarvel_Frame0_bad.dat"));
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write(QByteArray(81, '\x01'));
        bad.close();
        openReplay(bad.fileName());
        QVERIFY(!bar_->replayAction()->isChecked());
        QVERIFY(!bar_->isReplaying());
    }

    void timeFormatsFollowTheLength()
    {
        QCOMPARE(WidgetDataPlayerBar::timeFormatFor(59000), QString("ss:zzz"));
        QCOMPARE(WidgetDataPlayerBar::timeFormatFor(5 * 60000), QString("mm:ss:zzz"));
        QCOMPARE(WidgetDataPlayerBar::timeFormatFor(2 * 3600000), QString("hh:mm:ss:zzz"));

        kit::HandMadeRecording r;
        r.chunks = {{0, sarvelFrame(2)}, {5 * 60000 + 1234, sarvelFrame(3)}};
        openReplay(handMade("Vexa_Sarvel_Frame0_long.dat", r));
        QVERIFY(bar_->isReplaying());
        QCOMPARE(bar_->endLabel()->text(), QString("05:01:234"));
        QCOMPARE(bar_->startLabel()->text(), QString("00:00:000"));
        QCOMPARE(bar_->slider()->maximum(), 5 * 60000 + 1234);
        bar_->slider()->setValue(61005);
        QCOMPARE(bar_->startLabel()->text(), QString("01:01:005"));
        bar_->stopReplay();
    }

    void replayPlaysWithStampsAndKeepsThePortOut()
    {
        ProtocolFactory::loadProtocols("Vexa_Sarvel_Frame0", this);
        clearExtraction();
        sarvel_->clear();

        kit::HandMadeRecording r;
        QList<QByteArray> frames;
        for (int i = 0; i < 40; ++i) {
            frames << sarvelFrame(i);
            r.chunks.append({i * 10, frames.last()});
        }
        r.withStampSection = true;
        r.stamps = {{100, "start of the turn"}, {250, QString()}};
        QSignalSpy status(bar_, &WidgetDataPlayerBar::replayStatusChanged);
        bar_->speedBox()->setValue(1.0);
        emit bar_->speedBox()->editingFinished();
        QCOMPARE(QSettings().value("ReplaySpeed").toDouble(), 1.0);

        // An export runs along. It starts before the replay, whose first chunk is due at
        // once: started after it, the export could miss that frame on a busy machine.
        bar_->exportAction()->setChecked(true);
        QVERIFY(DataExportSubject::instance()->isExporting());

        openReplay(handMade("Vexa_Sarvel_Frame0_20240102_000000.dat", r));
        QVERIFY(bar_->replayAction()->isChecked());
        QVERIFY(!bar_->recordingAction()->isEnabled());
        QCOMPARE(status.count(), 1);
        QCOMPARE(status.at(0).at(0).toBool(), true);
        QVERIFY(bar_->playButton()->isEnabled());
        QVERIFY(bar_->playButton()->isChecked());
        QCOMPARE(bar_->slider()->maximum(), 390);
        const QList<ReplayTag*> tags = bar_->slider()->tags();
        QCOMPARE(tags.size(), 2);
        QCOMPARE(tags.at(0)->toolTip(), QString("start of the turn"));
        QCOMPARE(tags.at(1)->toolTip(), QString("250"));
        QCOMPARE(tags.at(1)->ms(), 250);

        // A frame from the port during the replay is not decoded.
        const quint64 before = port_->receivedBytes();
        const QByteArray intruder = kit::fixedFrame(QByteArray("\x57\x01", 2), 12, 999, kAvoid);
        device_.send(intruder);
        QVERIFY(waitPortReceived(before + 12));

        QTRY_VERIFY_WITH_TIMEOUT(!bar_->playButton()->isChecked(), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(sarvel_->parseCount(), 40, 3000);
        QCOMPARE(sarvel_->parsed(), frames);
        // At the end: rewound to 0, export ended and saved, replay still open.
        QCOMPARE(bar_->slider()->value(), 0);
        QVERIFY(!bar_->exportAction()->isChecked());
        QVERIFY(!DataExportSubject::instance()->isExporting());
        QVERIFY(DataExportSubject::instance()->waitForSaves());
        const auto wb = kit::readWorkbook(DataExportSubject::instance()->fileName());
        QCOMPARE(wb.size(), 1);
        QCOMPARE(wb.at(0).second.size(), 41);
        QVERIFY(bar_->isReplaying());
        QTRY_COMPARE_WITH_TIMEOUT(bar_->replayCharger()->currentMs(), qint64(0), 2000);

        // Clicking the groove jumps: halfway is the record at or before 195 ms.
        bar_->slider()->resize(400, 30);
        QTest::mouseClick(bar_->slider(), Qt::LeftButton, Qt::NoModifier, QPoint(200, 15));
        QCOMPARE(bar_->slider()->value(), 195);
        QTRY_COMPARE_WITH_TIMEOUT(bar_->replayCharger()->currentMs(), qint64(190), 2000);
        // A tag's left click jumps to its time.
        tags.at(1)->resize(25, 25);
        QTest::mouseClick(tags.at(1), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
        QCOMPARE(bar_->slider()->value(), 250);
        QTRY_COMPARE_WITH_TIMEOUT(bar_->replayCharger()->currentMs(), qint64(250), 2000);
        // A tag's menu: its note becomes the tool tip, its time moves it, "delete" ends it.
        ReplayTag* tag = tags.at(0);
        QCOMPARE(tag->noteEdit()->text(), QString("100"));
        QCOMPARE(tag->noteEdit()->placeholderText(), QString("information"));
        QCOMPARE(tag->timeEdit()->displayFormat(), QString("h:mm:ss:zzz"));
        QCOMPARE(tag->timeEdit()->maximumTime(), QTime(0, 0).addMSecs(390));
        tag->noteEdit()->setText("renamed");
        emit tag->noteEdit()->editingFinished();
        QCOMPARE(tag->toolTip(), QString("renamed"));
        const int oldX = tag->x();
        tag->timeEdit()->setTime(QTime(0, 0).addMSecs(300));
        emit tag->timeEdit()->editingFinished();
        QCOMPARE(tag->ms(), 300);
        QCOMPARE(tag->x(), 400 * 300 / 390 - tag->width() / 2);
        QVERIFY(tag->x() > oldX);
        QSignalSpy right(tag, &ReplayTag::rightButtonClicked);
        QTest::mouseClick(tag, Qt::RightButton, Qt::NoModifier, QPoint(5, 5));
        QCOMPARE(right.count(), 1);
        QVERIFY(tag->menu()->isVisible());
        tag->menu()->hide();
        QPushButton* del = tag->menu()->findChild<QPushButton*>();
        QVERIFY(del);
        QCOMPARE(del->text(), QString("delete"));
        del->click();
        QTRY_COMPARE(bar_->slider()->tags().size(), 1);
        QCOMPARE(bar_->slider()->tags().first(), tags.at(1));

        // A held handle is not moved by the replay.
        bar_->slider()->setSliderDown(true);
        bar_->updateSlide(300);
        QCOMPARE(bar_->slider()->value(), 250);
        bar_->slider()->setSliderDown(false);
        bar_->updateSlide(300);
        QCOMPARE(bar_->slider()->value(), 300);

        // Starting recognition ends the replay and gives the port back to extraction.
        const QString frameFile = bar_->replayCharger()->frameFilePath();
        QVERIFY(QFile::exists(frameFile));
        WidgetSystemInfo::instance()->recognizeProduct();
        QVERIFY(!bar_->isReplaying());
        QVERIFY(!bar_->replayAction()->isChecked());
        QVERIFY(bar_->recordingAction()->isEnabled());
        QVERIFY(!bar_->playButton()->isEnabled());
        QVERIFY(!status.isEmpty());
        QCOMPARE(status.last().value(0).toBool(), false);
        QVERIFY(!QFile::exists(frameFile));
        ProtocolFactory::loadProtocols("Vexa_Sarvel_Frame0", this);
        sarvel_->clear();
        device_.send(intruder);
        QTRY_COMPARE_WITH_TIMEOUT(sarvel_->parsed(), QList<QByteArray>{intruder}, 3000);
    }

    // A recording whose frame index points past its data stops there, said on the
    // bar until the replay ends.
    void damagedRecordingIsShownOnTheBar()
    {
        ProtocolFactory::loadProtocols("Vexa_Sarvel_Frame0", this);
        kit::HandMadeRecording r;
        for (int i = 0; i < 10; ++i)
            r.chunks.append({i * 10, sarvelFrame(i)});
        r.damagedDataPos.insert(5, 1 << 20);
        kit::LogCapture log;
        openReplay(handMade("Vexa_Sarvel_Frame0_20240102_000001.dat", r));
        QTRY_VERIFY_WITH_TIMEOUT(!bar_->damageLabel()->isHidden(), 5000);
        QCOMPARE(bar_->damageLabel()->text(), QString("Damaged recording: replay stopped at 00:050"));
        bar_->stopReplay();
        QVERIFY(bar_->damageLabel()->isHidden());
    }

    void recordedStreamReplaysToTheSameFrames()
    {
        ProtocolFactory::loadProtocols("Vexa_Trelvan_Node_Frame1", this);
        QCOMPARE(ModelViewManagers::instance()->currentName(), QString("Vexa_Trelvan_Node_Frame1"));
        QVERIFY(node1_->isActive() && node0_->isActive() && error_->isActive());

        // A mixed stream: three protocols, frames of varied length, bytes between.
        QByteArray stream;
        QVector<int> writes; // a frame, with the bytes after it, in one write
        QList<QPair<QString, QByteArray>> expected;
        for (int i = 0; i < 1500; ++i) {
            QByteArray f;
            QString name;
            switch (i % 5) {
            case 0:
            case 3:
                f = kit::lengthFrame(QByteArray("\x55\x03", 2), 10 + (i * 7) % 90, i, kAvoid);
                name = node1_->name();
                break;
            case 1:
            case 4:
                f = kit::fixedFrame(QByteArray("\x55\x02", 2), 20, i, kAvoid);
                name = node0_->name();
                break;
            default:
                f = kit::fixedFrame(QByteArray("\x54\x01", 2), 16, i, kAvoid);
                name = error_->name();
                break;
            }
            expected.append({name, f});
            const int from = stream.size();
            stream += f;
            if (i % 7 == 0)
                stream += QByteArray(i % 13 + 1, char(0x30 + i % 20));
            writes << stream.size() - from;
        }

        clearExtraction();
        bar_->recordingAction()->trigger();
        QVERIFY(bar_->isRecording());
        const quint64 before = port_->receivedBytes();
        device_.stream(stream, 250000, false, writes);
        QVERIFY(waitPortReceived(before + quint64(stream.size())));
        QTRY_COMPARE_WITH_TIMEOUT(kit::KitProtocol::journal().size(), expected.size(), 10000);
        bar_->recordingAction()->trigger();
        QVERIFY(!bar_->isRecording());
        const auto live = kit::KitProtocol::journal();
        QCOMPARE(live, expected);
        const QString file = bar_->recorder()->fileName();
        QVERIFY(QFileInfo(file).fileName().startsWith("Vexa_Trelvan_Node_Frame1_"));
        QVERIFY(bar_->recorder()->header().frameCount() > 5);

        // Another group is current when the replay starts: the file brings its own.
        ProtocolFactory::loadProtocols("Vexa_Sarvel_Frame0", this);
        clearExtraction();
        bar_->speedBox()->setValue(4.0);
        emit bar_->speedBox()->editingFinished();
        openReplay(file);
        QVERIFY(bar_->isReplaying());
        QVERIFY(node1_->isActive());
        QTRY_VERIFY_WITH_TIMEOUT(!bar_->playButton()->isChecked(), 10000);
        QTRY_COMPARE_WITH_TIMEOUT(kit::KitProtocol::journal().size(), expected.size(), 5000);
        QCOMPARE(kit::KitProtocol::journal(), live);
        bar_->stopReplay();
    }

    void closingFinishesRecordingAndExport()
    {
        ProtocolFactory::loadProtocols("Vexa_Sarvel_Frame0", this);
        bar_->recordingAction()->trigger();
        bar_->exportAction()->setChecked(true);
        QVERIFY(bar_->isRecording());
        sarvel_->clear();
        const QByteArray f = sarvelFrame(77);
        device_.send(f);
        QTRY_COMPARE_WITH_TIMEOUT(sarvel_->parseCount(), 1, 3000);

        QVERIFY(bar_->finishOnClose());
        QVERIFY(!bar_->isRecording());
        QVERIFY(!bar_->recordingAction()->isChecked());
        QVERIFY(bar_->replayAction()->isEnabled());
        QVERIFY(!bar_->exportAction()->isChecked());
        QVERIFY(!DataExportSubject::instance()->isExporting());
        QFile rec(bar_->recorder()->fileName());
        QVERIFY(rec.open(QIODevice::ReadOnly));
        QVERIFY(rec.readAll().contains(f));
        const auto wb = kit::readWorkbook(DataExportSubject::instance()->fileName());
        QCOMPARE(wb.size(), 1);
        QCOMPARE(wb.at(0).second.size(), 2);
        // Nothing running: nothing to do, and no failure.
        QVERIFY(bar_->finishOnClose());
    }
};

TALMENO_TEST_MAIN(TestPlayerBar)
#include "tst_player_bar.moc"
