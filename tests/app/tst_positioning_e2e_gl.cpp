// The program as a user drives it with a positioning device: the simulator streams
// node frame 2, then anchor frame 0, at 100 Hz on a pty; the port is opened through
// the terminal the main window owns, each frame group is chosen in the main menu's
// protocol chooser, and the pages, line charts, scatter and 3D views move live. The
// tool bar's "Data Recording", "Data Replay" and "Export Data(Excel)" actions then
// record the stream, replay it and export both runs: the replayed workbook's rows
// equal the live ones and match the frames the scenario built.

#include "app/MainWindow.h"
#include "foundation/UserPaths.h"
#include "foundation/ZTranslatorManager.h"
#include "link/ZSerialPort.h"
#include "link/ZUiSerialPortAssistant.h"
#include "model/ResourceItems.h"
#include "products/trelvan/protocols/ProtocolAnchorFrame0.h"
#include "products/trelvan/protocols/ProtocolNodeFrame2.h"
#include "products/trelvan/views/ValueGrids.h"
#include "products/trelvan/views/WidgetAnchorFrame0.h"
#include "products/trelvan/views/WidgetNodeFrame2.h"
#include "record/DataExportObserver.h"
#include "record/RecordingCharger.h"
#include "record/ReplayCharger.h"
#include "record/WidgetDataPlayerBar.h"
#include "sim/DeviceSimulator.h"
#include "sim/TrelvanScenario.h"
#include "support/DeviceDrain.h"
#include "support/WorkbookReader.h"
#include "support/testenv.h"
#include "views/LineResource.h"
#include "views/ModelViewManagers.h"
#include "views/Scatter3DResource.h"
#include "views/ScatterResource.h"
#include "views/ViewHooks.h"
#include "views/ViewManager.h"
#include "widgets/ZComboBox.h"
#include "widgets/ZLabel.h"
#include "widgets/ZToolBar.h"

#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLineSeries>
#include <QMenu>
#include <QProcess>
#include <QScatterSeries>
#include <QSerialPortInfo>
#include <QSettings>
#include <QSignalSpy>
#include <QWidgetAction>
#include <QtDataVisualization/QScatter3DSeries>
#include <QtDataVisualization/QScatterDataProxy>

#include <cmath>

using Trelvan::ProtocolAnchorFrame0;
using Trelvan::ProtocolNodeFrame2;

namespace {

constexpr int kRate = 100;
const QString kNode2 = "Vexa_Trelvan_Node_Frame2";
const QString kAnchor0 = "Vexa_Trelvan_Anchor_Frame0";

bool near(const QString& cell, double expected, double tolerance = 1e-4)
{
    bool ok = false;
    const double v = cell.toDouble(&ok);
    return ok && std::fabs(v - expected) <= tolerance * std::max(1.0, std::fabs(expected));
}

} // namespace

class TstPositioningEndToEnd : public QObject
{
    Q_OBJECT

    MainWindow* window_ = nullptr;
    sim::DeviceSimulator device_;
    sim::TrelvanScenario scenario_{kRate};
    QString linkPath_;
    QString replayPath_; // what the file dialog answers
    QStringList boxes_;  // every message box the program would have shown
    QStringList folders_; // every folder the program would have opened on the desktop

    ZSerialPort* port() const { return ZUiSerialPortAssistant::existing()->serialPort(); }
    WidgetDataPlayerBar* bar() const { return WidgetDataPlayerBar::instance(); }
    ViewManager* view() const { return ModelViewManagers::instance()->currentManager()->viewManager(); }

    // Picks the group in the main menu's protocol chooser as a user does.
    void choose(const QString& name)
    {
        QComboBox* chooser = window_->protocolChooser();
        QVERIFY(chooser);
        bool inMenu = false;
        for (QAction* action : window_->mainMenu()->actions())
            if (auto* widgetAction = qobject_cast<QWidgetAction*>(action))
                inMenu = inMenu || widgetAction->defaultWidget() == chooser;
        QVERIFY(inMenu);
        const int index = chooser->findText(name);
        QVERIFY2(index >= 0, qPrintable(name));
        chooser->setCurrentIndex(index);
        emit chooser->activated(index);
        QTRY_COMPARE_WITH_TIMEOUT(ModelViewManagers::instance()->currentName(), name, 5000);
    }

    // The tool bar's actions: export while recording the live stream, stop; then
    // replay the recording through "Data Replay" while exporting again. Answers
    // the sheet's rows of the live and the replayed workbook.
    // The line series, the 2D marker and the 3D marker of the named resources all
    // move while the stream runs. Returns the line resource (null on failure).
    LineResource* chartsMove(const QString& lineName, const QString& scatterName, const QString& scatter3DName)
    {
        auto* line = qobject_cast<LineResource*>(view()->resource(ResourceType::Line, lineName));
        [&] {
            QVERIFY(line);
            QTRY_VERIFY_WITH_TIMEOUT(line->series()->count() > 5, 5000);
            const QVector<QPointF> before = line->series()->pointsVector();
            QTRY_VERIFY_WITH_TIMEOUT(line->series()->pointsVector() != before, 5000);

            auto* scatter = qobject_cast<ScatterResource*>(view()->resource(ResourceType::Scatter, scatterName));
            QVERIFY(scatter);
            QTRY_VERIFY_WITH_TIMEOUT(scatter->marker()->count() > 0, 5000);
            const QPointF at = scatter->marker()->at(0);
            QTRY_VERIFY_WITH_TIMEOUT(scatter->marker()->at(0) != at, 5000);

            auto* s3 = qobject_cast<Scatter3DResource*>(view()->resource(ResourceType::Scatter3D, scatter3DName));
            QVERIFY(s3);
            auto position3D = [s3]() -> QVector3D {
                auto* proxy = s3->marker() ? s3->marker()->dataProxy() : nullptr;
                return proxy && proxy->itemCount() > 0 ? proxy->itemAt(0)->position() : QVector3D(-1, -1, -1);
            };
            QTRY_VERIFY_WITH_TIMEOUT(position3D() != QVector3D(-1, -1, -1), 5000);
            const QVector3D p3 = position3D();
            QTRY_VERIFY_WITH_TIMEOUT(position3D() != p3, 5000);
        }();
        return line;
    }

    void recordExportReplay(const QString& sheet, ZLabel* timeLabel, int frameSize, QList<QStringList>* liveRows,
                            QList<QStringList>* replayRows)
    {
        WidgetDataPlayerBar* player = bar();
        DataExportSubject* subject = DataExportSubject::instance();
        QVERIFY(window_->toolBar()->actions().contains(player->recordingAction()));
        QVERIFY(window_->toolBar()->actions().contains(player->replayAction()));
        QVERIFY(window_->toolBar()->actions().contains(player->exportAction()));
        QCOMPARE(player->recordingAction()->text(), QString("Data Recording"));
        QCOMPARE(player->replayAction()->text(), QString("Data Replay"));
        QCOMPARE(player->exportAction()->text(), QString("Export Data(Excel)"));

        player->exportAction()->trigger();
        QVERIFY(player->exportAction()->isChecked());
        QVERIFY(subject->isExporting());
        // Not earlier than the second the export file is named by.
        const qint64 liveSecond = QDateTime::currentSecsSinceEpoch();
        player->recordingAction()->trigger();
        QVERIFY(player->recordingAction()->isChecked());
        QVERIFY(player->isRecording());
        QVERIFY(!player->replayAction()->isEnabled());
        // 150 frames reach the port while it records.
        qint64 received = 0;
        const QMetaObject::Connection counting = connect(
            port(), &ZSerialPort::dataArrived, this, [&received](const QByteArray& chunk) { received += chunk.size(); },
            Qt::DirectConnection);
        QTRY_VERIFY2_WITH_TIMEOUT(received >= 150 * frameSize, qPrintable(QString::number(received)), 30000);
        player->recordingAction()->trigger();
        disconnect(counting);
        QVERIFY(!player->isRecording());
        QVERIFY(player->replayAction()->isEnabled());
        const QString recording = player->recorder()->fileName();
        QVERIFY2(QFileInfo(recording).fileName().contains(sheet), qPrintable(recording));
        QVERIFY2(QFileInfo(recording).size() > 150 * frameSize, qPrintable(recording));
        // The device goes quiet; every frame it sent is decoded into the live export.
        device_.stopStream();
        QVERIFY(talmeno_test::drainDevice(device_, *port()));
        player->exportAction()->trigger();
        QVERIFY(!player->exportAction()->isChecked());
        QVERIFY(!subject->isExporting());
        QVERIFY(subject->waitForSaves());
        const QString liveFile = subject->fileName();
        QVERIFY(QFile::exists(liveFile));

        // Each finished file's folder is shown on the desktop.
        QTRY_VERIFY_WITH_TIMEOUT(folders_.contains(QFileInfo(recording).absolutePath()), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(folders_.contains(QFileInfo(liveFile).absolutePath()), 5000);

        // The recording plays instead, four times as fast, into an export file named
        // by another second.
        QTRY_VERIFY_WITH_TIMEOUT(QDateTime::currentSecsSinceEpoch() > liveSecond, 5000);
        const QString lastLive = timeLabel->value();
        player->exportAction()->trigger();
        QVERIFY(subject->isExporting());
        player->speedBox()->setValue(4.0);
        emit player->speedBox()->editingFinished();
        QSignalSpy finished(player->replayCharger(), &ReplayCharger::replayFinished);
        replayPath_ = recording;
        player->replayAction()->trigger();
        QVERIFY(player->replayAction()->isChecked());
        QVERIFY(player->isReplaying());
        QVERIFY(!player->recordingAction()->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(window_->playerToolBar()->isVisible(), 5000);
        QCOMPARE(ModelViewManagers::instance()->currentName(), sheet);
        // The page moves again, fed by the replay alone.
        QTRY_VERIFY_WITH_TIMEOUT(timeLabel->value() != lastLive, 5000);
        QTRY_VERIFY_WITH_TIMEOUT(finished.count() > 0, 30000);
        // The end of the replay ends the export that ran with it.
        QTRY_VERIFY_WITH_TIMEOUT(!player->exportAction()->isChecked(), 5000);
        QVERIFY(!subject->isExporting());
        QVERIFY(subject->waitForSaves());
        const QString replayFile = subject->fileName();
        QVERIFY(replayFile != liveFile);
        player->replayAction()->trigger(); // closes the replay: the port feeds the pages again
        QVERIFY(!player->isReplaying());
        QTRY_VERIFY_WITH_TIMEOUT(!window_->playerToolBar()->isVisible(), 5000);

        QString error;
        *liveRows = talmeno_test::readSheetRows(liveFile, sheet, &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        *replayRows = talmeno_test::readSheetRows(replayFile, sheet, &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QVERIFY(boxes_.isEmpty());
    }

private slots:
    void initTestCase()
    {
        // Only the simulator may be opened: the machine's own ports are ignored.
        QStringList realPorts;
        for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
            realPorts << info.portName();
        QSettings settings;
        settings.setValue("SerialPort/IgnoredPortNames", realPorts);
        settings.setValue("SerialPort/AutoConnect", false);
        settings.setValue("ProductAutoRecognize", false);
        settings.setValue("SerialPort/CurrentBaudrate", QString::number(921600));
        settings.setValue("ReplaySpeed", 1.0);

        QString error;
        QVERIFY2(device_.start(&error), qPrintable(error));
        linkPath_ = QDir::temp().filePath(QString("usb-positioning-%1").arg(QCoreApplication::applicationPid()));
        QFile::remove(linkPath_);
        QVERIFY(QFile::link(device_.portPath(), linkPath_));
        qputenv("TALMENO_EXTRA_PORTS", linkPath_.toLocal8Bit());

        initUserDataFolders();
        ZTranslatorManager::setNoticeHook([](const QString&, const QString&) {});
        auto box = [this](QWidget*, const QString& title, const QString& text) { boxes_ << title + "|" + text; };
        MainWindow::informationBoxHook() = box;
        MainWindow::warningBoxHook() = box;
        ZUiSerialPortAssistant::criticalBoxHook() = box;
        WidgetDataPlayerBar::criticalBoxHook() = box;
        ViewHooks::setOpenFolderHook([this](const QString& path) { folders_ << QFileInfo(path).absoluteFilePath(); });
        ViewHooks::setOpenFileHook([this](QWidget*, const QString& title, const QString&, const QString& filter) {
            // The replay's dialog offers the current group's recordings first.
            if (title == "Choose Data file" &&
                !filter.startsWith(QString("Current Protocol(*%1*.dat)").arg(ModelViewManagers::instance()->currentName())))
                return QString();
            return replayPath_;
        });

        window_ = new MainWindow;
        QVERIFY(window_->use3DAction()->isChecked());
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_));

        // The terminal's port list finds the simulator; its open action opens it.
        ZUiSerialPortAssistant* terminal = ZUiSerialPortAssistant::existing();
        QTRY_VERIFY_WITH_TIMEOUT(terminal->portComboBox()->findText(linkPath_) >= 0, 10000);
        terminal->portComboBox()->setCurrentIndex(terminal->portComboBox()->findText(linkPath_));
        QVERIFY(window_->toolBar()->actions().contains(terminal->openAction()));
        QTRY_VERIFY(terminal->openAction()->isEnabled());
        terminal->openAction()->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(port()->isOpen(), 5000);
        QCOMPARE(port()->portName(), linkPath_);
        QVERIFY(terminal->openAction()->isChecked());
    }

    void cleanupTestCase()
    {
        device_.stopStream();
        if (window_) {
            ZUiSerialPortAssistant::existing()->setSerialPortOpen(false);
            window_->close();
        }
        delete window_;
        device_.stop();
        QFile::remove(linkPath_);
        ViewHooks::setOpenFileHook(nullptr);
        ViewHooks::setOpenFolderHook(nullptr);
    }

    void nodeFrame2Live()
    {
        choose(kNode2);
        ProtocolNodeFrame2* protocol = ProtocolNodeFrame2::existing();
        QVERIFY(protocol && protocol->isActive());
        QVERIFY(!ProtocolAnchorFrame0::existing() || !ProtocolAnchorFrame0::existing()->isActive());

        scenario_.streamTo(device_, sim::TrelvanScenario::Kind::NodeFrame2, 1000, true);

        Trelvan::WidgetNodeFrame2* page = nullptr;
        QTRY_VERIFY_WITH_TIMEOUT((page = window_->findChild<Trelvan::WidgetNodeFrame2*>()) != nullptr, 5000);
        QTRY_VERIFY_WITH_TIMEOUT(page->isVisible(), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(!page->systemTimeLabel->value().isEmpty(), 5000);
        const QString firstTime = page->systemTimeLabel->value();
        QTRY_VERIFY_WITH_TIMEOUT(page->systemTimeLabel->value() != firstTime, 3000);
        QCOMPARE(page->senderLabel->text(), QString("T_0"));
        QTRY_COMPARE_WITH_TIMEOUT(page->nodes().value(1).size(), 4, 3000);
        QCOMPARE(page->nodeCountLabel->value(), QString("4"));
        const double x = page->posRow->x->value().toDouble();
        QVERIFY2(x >= 3.4 && x <= 6.6, qPrintable(page->posRow->x->value()));
        QCOMPARE(page->posRow->z->value(), QString("1"));
        Trelvan::WidgetNode2* a2 = page->box(1, 2);
        QVERIFY(a2);
        QTRY_VERIFY_WITH_TIMEOUT(!a2->disLabel->value().isEmpty(), 3000);
        const double d = a2->disLabel->value().toDouble();
        QVERIFY2(d > 3.0 && d < 9.0, qPrintable(a2->disLabel->value()));

        // The line chart of x, the scatter point and the 3D point move.
        LineResource* line = chartsMove(kNode2 + "pos_x(m)", kNode2 + "tag", kNode2 + "tag");
        if (QTest::currentTestFailed())
            return;
        for (const QPointF& point : line->series()->pointsVector())
            QVERIFY2(point.y() >= 3.4 && point.y() <= 6.6, qPrintable(QString::number(point.y())));

        QList<QStringList> live, replayed;
        recordExportReplay(kNode2, page->systemTimeLabel, scenario_.nodeFrame2At(0).size(), &live, &replayed);
        if (QTest::currentTestFailed())
            return;
        QVERIFY2(live.size() > 150, qPrintable(QString::number(live.size())));
        QCOMPARE(live.first(), protocol->exportColumns());
        QCOMPARE(replayed.value(0), protocol->exportColumns());
        QMap<QString, QStringList> liveByTime;
        for (const QStringList& row : live.mid(1))
            liveByTime.insert(row.value(11), row);
        // The recording holds at least 150 frames; the first may be cut.
        QVERIFY2(replayed.size() > 140, qPrintable(QString::number(replayed.size())));
        for (const QStringList& row : replayed.mid(1)) {
            QVERIFY2(liveByTime.contains(row.value(11)), qPrintable(row.value(11)));
            QCOMPARE(row, liveByTime.value(row.value(11)));
            const int n = int((row.value(11).toLongLong() - 1000) * kRate / 1000);
            const sim::NodeFrame2Fields f = scenario_.nodeFrame2Fields(n);
            QCOMPARE(row.size(), 36 + 5 * 4);
            QVERIFY(near(row[0], f.plr / 600.0));
            QVERIFY(near(row[10], f.localTime));
            QVERIFY(near(row[15], f.posMm[0] / 1000.0));
            QVERIFY(near(row[16], f.posMm[1] / 1000.0));
            QVERIFY(near(row[17], f.posMm[2] / 1000.0));
            QVERIFY(near(row[29], f.angle[2] / 100.0));
            QVERIFY(near(row[34], f.voltage / 1000.0));
            QCOMPARE(row[35], QString("4"));
            for (int k = 0; k < 4; ++k) {
                QCOMPARE(row[36 + 5 * k], QString("1"));
                QCOMPARE(row[37 + 5 * k], QString::number(k));
                QVERIFY(near(row[38 + 5 * k], f.nodes[k].disMm / 1000.0));
                QVERIFY(near(row[39 + 5 * k], f.nodes[k].fpRssi * -0.5));
                QVERIFY(near(row[40 + 5 * k], f.nodes[k].rxRssi * -0.5));
            }
        }
        // Consecutive frames: nothing of the replay was lost between its first and last row.
        const qint64 first = replayed.value(1).value(11).toLongLong();
        const qint64 last = replayed.last().value(11).toLongLong();
        QCOMPARE(qint64(replayed.size() - 2), (last - first) * kRate / 1000);
    }

    void anchorFrame0Live()
    {
        choose(kAnchor0);
        ProtocolAnchorFrame0* protocol = ProtocolAnchorFrame0::existing();
        QVERIFY(protocol && protocol->isActive());
        QVERIFY(!ProtocolNodeFrame2::existing() || !ProtocolNodeFrame2::existing()->isActive());

        scenario_.streamTo(device_, sim::TrelvanScenario::Kind::AnchorFrame0, 1000, true);

        Trelvan::WidgetAnchorFrame0* page = nullptr;
        QTRY_VERIFY_WITH_TIMEOUT((page = window_->findChild<Trelvan::WidgetAnchorFrame0*>()) != nullptr, 5000);
        QTRY_VERIFY_WITH_TIMEOUT(page->isVisible(), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(!page->systemTimeLabel->value().isEmpty(), 5000);
        const QString firstTime = page->systemTimeLabel->value();
        QTRY_VERIFY_WITH_TIMEOUT(page->systemTimeLabel->value() != firstTime, 3000);
        QCOMPARE(page->senderLabel->text(), QString("A_0"));
        QTRY_COMPARE_WITH_TIMEOUT(page->nodes().value(2).size(), 3, 3000);
        Trelvan::WidgetAnchor0* t11 = page->box(2, 11);
        QVERIFY(t11);
        QCOMPARE(t11->nameLabel->text(), QString("T_11"));
        QTRY_VERIFY_WITH_TIMEOUT(!t11->distances->labels[0]->value().isEmpty(), 3000);
        QCOMPARE(t11->distances->labels[7]->value(), QString("0"));
        QCOMPARE(t11->position->z->value(), QString("1.25"));

        chartsMove(kAnchor0 + "pos_y[12](m)", kAnchor0 + "10", kAnchor0 + "12");
        if (QTest::currentTestFailed())
            return;

        QList<QStringList> live, replayed;
        recordExportReplay(kAnchor0, page->systemTimeLabel, scenario_.anchorFrame0At(0).size(), &live, &replayed);
        if (QTest::currentTestFailed())
            return;
        QVERIFY2(live.size() > 150, qPrintable(QString::number(live.size())));
        QCOMPARE(live.first(), protocol->exportColumns());
        QCOMPARE(replayed.value(0), protocol->exportColumns());
        QMap<QString, QStringList> liveByTime;
        for (const QStringList& row : live.mid(1))
            liveByTime.insert(row.value(4), row);
        QVERIFY2(replayed.size() > 140, qPrintable(QString::number(replayed.size())));
        for (const QStringList& row : replayed.mid(1)) {
            QVERIFY2(liveByTime.contains(row.value(4)), qPrintable(row.value(4)));
            QCOMPARE(row, liveByTime.value(row.value(4)));
            const int n = int((row.value(4).toLongLong() - 1000) * kRate / 1000);
            const sim::AnchorFrame0Fields f = scenario_.anchorFrame0Fields(n);
            QCOMPARE(row.size(), 6 + 12 * 3);
            QVERIFY(near(row[0], f.plr / 600.0));
            QCOMPARE(row[1], QString("1"));
            QVERIFY(near(row[3], f.localTime));
            QVERIFY(near(row[5], f.voltage / 1000.0));
            const int slotOf[3] = {0, 2, 5};
            for (int t = 0; t < 3; ++t) {
                const sim::AnchorTag& tag = f.tagSlots[size_t(slotOf[t])];
                QCOMPARE(row[6 + 12 * t], QString::number(tag.id));
                QVERIFY(near(row[7 + 12 * t], tag.posMm[0] / 1000.0));
                QVERIFY(near(row[8 + 12 * t], tag.posMm[1] / 1000.0));
                QVERIFY(near(row[9 + 12 * t], tag.posMm[2] / 1000.0));
                for (int k = 0; k < 8; ++k)
                    QVERIFY(near(row[10 + 12 * t + k], tag.disCm[size_t(k)] / 100.0));
            }
        }
        const qint64 first = replayed.value(1).value(4).toLongLong();
        const qint64 last = replayed.last().value(4).toLongLong();
        QCOMPARE(qint64(replayed.size() - 2), (last - first) * kRate / 1000);
    }
};

TALMENO_TEST_MAIN(TstPositioningEndToEnd)
#include "tst_positioning_e2e_gl.moc"
