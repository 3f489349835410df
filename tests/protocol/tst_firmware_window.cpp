// The firmware update window: its sources (public and user channel of a local HTTP
// server, local files), the release notes, the rules of the update button, and
// updates run from it against the simulated device and a stub wireless relay.

#include "tst_firmware_env.h"

#include "foundation/ZTimerManager.h"
#include "protocol/FirmwareUpdater.h"
#include "protocol/ProductHooks.h"
#include "protocol/ProtocolFirmware.h"
#include "protocol/WidgetFirmwareUpdate.h"
#include "protocol/WidgetSystemInfo.h"
#include "sim/HttpFileServer.h"
#include "views/ViewHooks.h"

#include <QAction>
#include <QCheckBox>
#include <QCryptographicHash>
#include <QDir>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStackedLayout>
#include <QStatusBar>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QToolButton>

using namespace fwtest;

namespace {
const QByteArray kRelease = "/products/sarvel_kiro/firmware/release/";
const QByteArray kUser = "/products/sarvel_kiro/firmware/user/abc/";
const QString kNotesFailed =
    "Download failed, please check user code or network connection: Download release notes failed.   time: ";

QByteArray notes(const QString& firmwareName)
{
    return QString("FirmwareFileName=%1\n"
                   "[English]\n"
                   "1.2.0=first\n"
                   "1.2.3=second\n"
                   "1.3.0=third\n")
        .arg(firmwareName)
        .toUtf8();
}

struct Asked
{
    QString title;
    QString label;
    QString text;
};
} // namespace

class TestFirmwareWindow : public QObject
{
    Q_OBJECT

    Bench bench_;
    sim::HttpFileServer server_;
    QTemporaryDir dir_;
    WidgetFirmwareUpdate* w_ = nullptr;
    QByteArray image130_ = makeImage(2500, 21);

    // Dialog answers.
    QList<Asked> asked_;
    QList<QPair<bool, QString>> answers_;
    QList<QStringList> fileDialogs_;
    QString chosenFile_;
    QList<QPair<QString, QString>> questions_;
    bool questionAnswer_ = true;

    ProductHandleBase* handle() { return ProductsManager::instance()->currentProductHandle(); }
    QString status() const { return w_->statusBar()->currentMessage(); }

    void serveRelease(const QString& firmwareName, const QByteArray& image)
    {
        server_.setFile(kRelease + "release-notes.txt", notes(firmwareName));
        server_.setFile(kRelease + firmwareName.toUtf8(), image);
    }

    bool recognize()
    {
        QSettings().setValue("RecognizedBaudrate", kAppRate);
        return WidgetSystemInfo::instance()->recognizeProduct();
    }

    // Each case starts with the device reset, no answers given and the port open.
    void reset()
    {
        bench_.resetDevice();
        asked_.clear();
        answers_.clear();
        fileDialogs_.clear();
        questions_.clear();
        questionAnswer_ = true;
        server_.clear();
        QVERIFY(bench_.openPort());
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir_.isValid());
        QVERIFY(server_.start());
        qputenv("TALMENO_DOWNLOAD_URL", server_.baseUrl().toUtf8());
        QString error;
        QVERIFY2(bench_.setUp(&error), qPrintable(error));

        ViewHooks::setOpenFileHook([this](QWidget*, const QString& title, const QString& folder, const QString& filter) {
            fileDialogs_ << QStringList{title, folder, filter};
            return chosenFile_;
        });
        WidgetFirmwareUpdate::setTextInputHook(
            [this](QWidget*, const QString& title, const QString& label, const QString& text, QString* answer) {
                asked_ << Asked{title, label, text};
                const QPair<bool, QString> a = answers_.isEmpty() ? qMakePair(false, QString()) : answers_.takeFirst();
                *answer = a.second;
                return a.first;
            });
        WidgetFirmwareUpdate::setQuestionHook([this](QWidget*, const QString& title, const QString& text) {
            questions_ << qMakePair(title, text);
            return questionAnswer_;
        });

        installFirmwareUpdateHooks();
        ProductsManager::instance(&bench_.mainWindow);
        w_ = WidgetFirmwareUpdate::existing();
        QVERIFY(w_);
    }

    void init()
    {
        const QByteArray name = QTest::currentTestFunction();
        if (!handle() && name != "windowAtStart" && name != "productChangeAddsTheActionAndPullsThePublicFirmware") {
            // Run alone: the product recognised and its public firmware pulled, as in order.
            reset();
            productChangeAddsTheActionAndPullsThePublicFirmware();
            cleanup();
        }
        reset();
    }

    void cleanup()
    {
        bench_.restoreHooks();
        FirmwareWirelessHooks::setHooks({});
        w_->setWirelessUpdate(false);
        w_->ignoreVersionAction()->setChecked(false);
        bench_.terminal->setSerialPortOpen(false);
    }

    void windowAtStart()
    {
        QCOMPARE(ProductsManager::instance()->firmwareWindow(), w_);
        QVERIFY(ProtocolFirmware::existing());
        QVERIFY(FirmwareUpdater::existing());
        QVERIFY(w_->isWindow());
        QCOMPARE(w_->windowTitle(), QString("Firmware update"));
        QVERIFY(!w_->windowIcon().isNull());
        QCOMPARE(w_->size(), QSize(900, 556));
        QVERIFY(!w_->statusBar()->isHidden());
        const QList<QAction*> actions = w_->toolBar()->actions();
        QCOMPARE(actions.size(), 4);
        QCOMPARE(actions[0], w_->publicFirmwareAction());
        QCOMPARE(actions[1], w_->betaFirmwareAction());
        QCOMPARE(actions[2], w_->localFirmwareAction());
        QCOMPARE(actions[3], w_->ignoreVersionAction());
        QCOMPARE(actions[0]->text(), QString("Public Firmware"));
        QCOMPARE(actions[0]->toolTip(), QString("Pull info of latest public firmware"));
        QCOMPARE(actions[1]->text(), QString("Beta Firmware"));
        QCOMPARE(actions[1]->toolTip(), QString("Pull beta firmware"));
        QCOMPARE(actions[2]->text(), QString("Local Firmware"));
        QCOMPARE(actions[2]->toolTip(), QString("Load local firmware"));
        QCOMPARE(actions[3]->text(), QString("Ignore Version"));
        QVERIFY(actions[3]->isCheckable());
        QVERIFY(actions[3]->icon().isNull());
        QVERIFY(!actions[0]->icon().isNull());
        QCOMPARE(w_->toolBar()->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);

        QCOMPARE(w_->updateButton()->text(), QString("Firmware Update"));
        QVERIFY(!w_->updateButton()->isEnabled());
        w_->setWirelessUpdate(true);
        QCOMPARE(w_->updateButton()->text(), QString("Wireless Update"));
        w_->setWirelessUpdate(false);
        QCOMPARE(w_->updateButton()->text(), QString("Firmware Update"));
        QVERIFY(w_->newReleaseNotesView()->isReadOnly());
        QVERIFY(w_->allReleaseNotesView()->isReadOnly());

        // The notes shown follow the check box, which is remembered.
        QCOMPARE(w_->showAllCheckBox()->text(), QString("Show all Release Notes"));
        QVERIFY(!w_->showAllCheckBox()->isChecked());
        QCOMPARE(w_->notesLayout()->currentWidget(), w_->newReleaseNotesView());
        w_->showAllCheckBox()->setChecked(true);
        QCOMPARE(w_->notesLayout()->currentWidget(), w_->allReleaseNotesView());
        QCOMPARE(QSettings().value("FirmwareUpdate/ShowAllReleaseNotes").toBool(), true);
        w_->showAllCheckBox()->setChecked(false);
        QCOMPARE(QSettings().value("FirmwareUpdate/ShowAllReleaseNotes").toBool(), false);
        QCOMPARE(w_->notesLayout()->currentWidget(), w_->newReleaseNotesView());
    }

    void productChangeAddsTheActionAndPullsThePublicFirmware()
    {
        serveRelease("sarvel_kiro_1.3.0.bin", image130_);
        QVERIFY(!ProductsManager::instance()->firmwareAction());
        QVERIFY(recognize());
        QAction* open = ProductsManager::instance()->firmwareAction();
        QVERIFY(open);
        QCOMPARE(open->text(), QString("Firmware update"));
        QVERIFY(ProductsManager::instance()->productToolBar()->actions().contains(open));
        open->trigger();
        QVERIFY(w_->isVisible());
        w_->hide();

        // The public pull comes by itself, a while after the product changed.
        QVERIFY(server_.requestCount(kRelease + "release-notes.txt") == 0);
        QTRY_VERIFY_WITH_TIMEOUT(!w_->firmwareFile().isEmpty(), 8000);
        QCOMPARE(server_.requestCount(kRelease + "release-notes.txt"), 1);
        QCOMPARE(server_.requestCount(kRelease + "sarvel_kiro_1.3.0.bin"), 1);

        // The image got a name of its own in the temporary folder.
        const QFileInfo info(w_->firmwareFile());
        QCOMPARE(info.absolutePath(), QFileInfo(tempDir).absoluteFilePath());
        QVERIFY2(QRegularExpression("^[0-9a-f]{32}$").match(info.fileName()).hasMatch(), qPrintable(info.fileName()));
        QFile f(w_->firmwareFile());
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), image130_);
        QVERIFY(!QFile::exists(handle()->firmwareFileName()));
        QVERIFY(!w_->isLocalFirmwareLoaded());

        // Device 1.2.3, latest 1.3.0: the update is offered.
        QCOMPARE(handle()->firmwareVersion(), QVersionNumber({1, 2, 3}));
        QVERIFY(w_->updateButton()->isEnabled());
        QCOMPARE(w_->newReleaseNotesView()->toPlainText(), QString("[v1.3.0]\nthird\n" + QString(35, '*') + "\n"));
        QVERIFY(w_->allReleaseNotesView()->toPlainText().startsWith("[v1.3.0]\nthird\n"));
        QVERIFY(w_->allReleaseNotesView()->toPlainText().contains("[v1.2.0]\nfirst\n"));
        QVERIFY2(QRegularExpression("^Firmware has been loaded : 1\\.3\\.0   time: \\d\\d:\\d\\d:\\d\\d$")
                     .match(w_->infoLabel()->text())
                     .hasMatch(),
                 qPrintable(w_->infoLabel()->text()));

        // Closing the port withdraws the offer at once.
        bench_.terminal->setSerialPortOpen(false);
        QVERIFY(!w_->updateButton()->isEnabled());
    }

    void sameVersionIsOfferedOnlyWhenIgnoringTheVersion()
    {
        serveRelease("kiro_v1.2.3.0.bin", image130_);
        w_->publicFirmwareAction()->trigger();
        QVERIFY(w_->publicFirmwareAction()->isEnabled());
        QVERIFY(!w_->firmwareFile().isEmpty());
        QVERIFY(w_->infoLabel()->text().startsWith("Firmware has been loaded : 1.2.3.0"));
        // 1.2.3 on the device and 1.2.3.0 are the same version.
        QVERIFY(!w_->updateButton()->isEnabled());
        w_->ignoreVersionAction()->setChecked(true);
        QVERIFY(w_->updateButton()->isEnabled());
        bench_.terminal->setSerialPortOpen(false);
        QVERIFY(!w_->updateButton()->isEnabled());
    }

    void failedPullsAndTheUserCodeMessage()
    {
        // Cancelled: nothing is pulled.
        w_->betaFirmwareAction()->trigger();
        QCOMPARE(asked_.size(), 1);
        QCOMPARE(asked_[0].title, QString("Pull beta firmware"));
        QCOMPARE(asked_[0].label, QString("Beta code"));
        QVERIFY(server_.requestedPaths().isEmpty());
        QVERIFY(w_->betaFirmwareAction()->isEnabled());

        answers_ << qMakePair(true, QString("abc"));
        w_->betaFirmwareAction()->trigger();
        QCOMPARE(server_.requestCount(kUser + "release-notes.txt"), 1);
        QCOMPARE(status(), QString("Download failed, please check user code or network connection"));
        QCOMPARE(QSettings().value("FirmwareUpdate/BetaCode").toString(), QString("abc"));
        QVERIFY(w_->firmwareFile().isEmpty());
        QVERIFY(!w_->updateButton()->isEnabled());
        QVERIFY2(w_->infoLabel()->text().startsWith(kNotesFailed), qPrintable(w_->infoLabel()->text()));
        QVERIFY(w_->betaFirmwareAction()->isEnabled());
        QVERIFY(w_->centralWidget()->isEnabled());

        // The next failing public pull shows the handle's own text.
        w_->publicFirmwareAction()->trigger();
        QCOMPARE(status(), QString("Download release notes failed."));

        // Notes without an image.
        server_.setFile(kRelease + "release-notes.txt", "[English]\n1.0=x\n");
        w_->publicFirmwareAction()->trigger();
        QCOMPARE(status(), QString("Read release notes failed."));
        server_.setFile(kRelease + "release-notes.txt", notes("missing_1.3.0.bin"));
        w_->publicFirmwareAction()->trigger();
        QCOMPARE(status(), QString("Download firmware file failed."));

        // A good user-channel pull leaves the flag set: the next failure of any pull
        // still shows the user-code text, and only once.
        server_.setFile(kUser + "release-notes.txt", notes("u_1.3.0.bin"));
        server_.setFile(kUser + "u_1.3.0.bin", image130_);
        answers_ << qMakePair(true, QString("abc"));
        w_->statusBar()->clearMessage();
        w_->betaFirmwareAction()->trigger();
        QVERIFY(!asked_.isEmpty());
        QCOMPARE(asked_.last().text, QString("abc")); // pre-filled with the stored code
        QVERIFY(!w_->firmwareFile().isEmpty());
        QVERIFY(status().isEmpty());
        server_.clear();
        w_->publicFirmwareAction()->trigger();
        QCOMPARE(status(), QString("Download failed, please check user code or network connection"));
        QVERIFY(w_->firmwareFile().isEmpty());
        w_->publicFirmwareAction()->trigger();
        QCOMPARE(status(), QString("Download release notes failed."));
    }

    // Nothing listens at the server's address: the info line tells the failure and
    // why, and does not claim the latest firmware.
    void downloadFromAClosedPort()
    {
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost));
        const QString closed = QString("http://127.0.0.1:%1").arg(probe.serverPort());
        probe.close();
        qputenv("TALMENO_DOWNLOAD_URL", closed.toUtf8());
        w_->publicFirmwareAction()->trigger();
        qputenv("TALMENO_DOWNLOAD_URL", server_.baseUrl().toUtf8());
        QCOMPARE(status(), QString("Download release notes failed."));
        QVERIFY2(w_->infoLabel()->text().startsWith(kNotesFailed), qPrintable(w_->infoLabel()->text()));
        QVERIFY(w_->firmwareFile().isEmpty());
    }

    void anImageThatCannotBeRenamedIsKeptWhereItIs()
    {
        serveRelease("sarvel_kiro_1.3.0.bin", image130_);
        // Every name the image could be given in the next seconds is taken.
        const QDateTime now = QDateTime::currentDateTime();
        QElapsedTimer making;
        making.start();
        QStringList blockers;
        // Up to at least four seconds after the last one is made.
        for (int ms = 0; ms < making.elapsed() + 4000; ++ms) {
            const QByteArray stamp = now.addMSecs(ms).toString("yyyyMMddhhmmsszzz").toLatin1();
            const QString path =
                tempDir + "/" + QString::fromLatin1(QCryptographicHash::hash(stamp, QCryptographicHash::Md5).toHex());
            QVERIFY(writeFile(path, "x"));
            blockers << path;
        }
        testenv::LogCapture log;
        w_->publicFirmwareAction()->trigger();
        for (const QString& p : blockers)
            QFile::remove(p);
        QCOMPARE(log.count("file process failed"), 1);
        QCOMPARE(w_->firmwareFile(), handle()->firmwareFileName());
        QFile f(w_->firmwareFile());
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), image130_);
        QVERIFY(w_->updateButton()->isEnabled());
    }

    void localFirmwareAndItsVersion()
    {
        // Cancelled dialog: nothing changes.
        chosenFile_.clear();
        const QString before = w_->firmwareFile();
        w_->localFirmwareAction()->trigger();
        QCOMPARE(fileDialogs_.size(), 1);
        QCOMPARE(fileDialogs_[0], (QStringList{"Choose firmware file", userDataDir, "(*.bin)"}));
        QCOMPARE(w_->firmwareFile(), before);

        // The version in the name is taken without asking.
        QDir(dir_.path()).mkpath("images");
        chosenFile_ = dir_.filePath("images/fw_1.4.2.0.bin");
        QVERIFY(writeFile(chosenFile_, makeImage(100, 22)));
        w_->localFirmwareAction()->trigger();
        QVERIFY(asked_.isEmpty());
        QCOMPARE(handle()->latestFirmwareVersion(), QVersionNumber({1, 4, 2, 0}));
        QCOMPARE(w_->firmwareFile(), chosenFile_);
        QVERIFY(w_->isLocalFirmwareLoaded());
        QCOMPARE(w_->newReleaseNotesView()->toPlainText(), "Local firmware loaded:" + chosenFile_);
        QCOMPARE(w_->allReleaseNotesView()->toPlainText(), "Local firmware loaded:" + chosenFile_);
        QVERIFY(w_->infoLabel()->text().startsWith("Firmware has been loaded : 1.4.2.0   time: "));
        QCOMPARE(QSettings().value("FirmwareUpdate/LocalFirmwarePath").toString(), dir_.filePath("images"));
        QVERIFY(w_->updateButton()->isEnabled());

        // Without a version in the name the user is asked; the next dialog starts in
        // the folder of the last image.
        chosenFile_ = dir_.filePath("images/fw.bin");
        QVERIFY(writeFile(chosenFile_, makeImage(100, 23)));
        answers_ << qMakePair(true, QString(" 1.3 "));
        w_->localFirmwareAction()->trigger();
        QVERIFY(!fileDialogs_.isEmpty());
        QCOMPARE(fileDialogs_.last().value(1), dir_.filePath("images"));
        QCOMPARE(asked_.size(), 1);
        QCOMPARE(asked_[0].title, QString("Version of the firmware"));
        QCOMPARE(asked_[0].label, QString("Example: 1.3.1.0"));
        QCOMPARE(asked_[0].text, QDir::home().dirName());
        QCOMPARE(handle()->latestFirmwareVersion(), QVersionNumber({1, 3}));
        QCOMPARE(w_->firmwareFile(), chosenFile_);
        QVERIFY(w_->infoLabel()->text().startsWith("Firmware has been loaded : 1.3   time: "));

        // A partial version passes; a letter in front, an empty answer or a cancel
        // do not, and the image at hand stays.
        answers_ << qMakePair(true, QString("2."));
        w_->localFirmwareAction()->trigger();
        QCOMPARE(handle()->latestFirmwareVersion(), QVersionNumber({2}));
        const QString kept = w_->firmwareFile();
        w_->statusBar()->clearMessage();
        for (const auto& answer : {qMakePair(true, QString("v1.3")), qMakePair(true, QString("  ")),
                                   qMakePair(false, QString("1.5"))}) {
            answers_ << answer;
            w_->localFirmwareAction()->trigger();
            QCOMPARE(status(), QString("Version number's format is illegal"));
            w_->statusBar()->clearMessage();
            QCOMPARE(handle()->latestFirmwareVersion(), QVersionNumber({2}));
            QCOMPARE(w_->firmwareFile(), kept);
        }
    }

    void wiredUpdateFromTheWindow()
    {
        serveRelease("sarvel_kiro_1.3.0.bin", image130_);
        QVERIFY(recognize());
        QCOMPARE(handle()->firmwareVersion(), QVersionNumber({1, 2, 3}));
        w_->publicFirmwareAction()->trigger();
        QVERIFY(w_->updateButton()->isEnabled());

        // The device answers with its new version once the new firmware runs.
        bench_.announceRebootAfterCompletion(this);
        QTimer versionSwitch;
        connect(&versionSwitch, &QTimer::timeout, this, [this] {
            if (bench_.boot->completed())
                bench_.reply->setReply(productReply(1, 3, 0));
        });
        versionSwitch.start(5);
        QList<bool> enabledDuring;
        // A due check for a newer firmware does not start a pull in the middle of it.
        QMetaObject::Connection c = connect(FirmwareUpdater::instance(), &FirmwareUpdater::currentFirmwareFrameChanged,
                                            this, [&] {
                                                enabledDuring << w_->isEnabled();
                                                ProductHooks::firmwareHooks().checkForNewFirmware();
                                            });
        const int readsBefore = bench_.reply->readRequests();
        const int pullsBefore = server_.requestCount(kRelease + "release-notes.txt");

        QTest::mouseClick(w_->updateButton(), Qt::LeftButton);

        disconnect(c);
        QCOMPARE(bench_.boot->image(image130_.size()), image130_);
        QCOMPARE(enabledDuring, (QList<bool>{false, false, false, false}));
        QCOMPARE(server_.requestCount(kRelease + "release-notes.txt"), pullsBefore);
        QVERIFY(!w_->isBusy());
        QCOMPARE(w_->progressBar()->maximum(), 3);
        QCOMPARE(w_->progressBar()->value(), 3);
        QVERIFY(w_->isEnabled());
        // Recognised again: the new version is read, so nothing newer is offered.
        QVERIFY(bench_.reply->readRequests() > readsBefore);
        QCOMPARE(handle()->firmwareVersion(), QVersionNumber({1, 3, 0}));
        QVERIFY(!w_->updateButton()->isEnabled());
        QCOMPARE(bench_.terminal->serialPort()->baudRate(), kAppRate);
    }

    void updateErrorsGoToTheStatusBar()
    {
        chosenFile_ = dir_.filePath("fw_2.0.0.bin");
        QVERIFY(writeFile(chosenFile_, makeImage(1500, 24)));
        QVERIFY(recognize());
        w_->localFirmwareAction()->trigger();
        QVERIFY(w_->updateButton()->isEnabled());
        bench_.boot->setRefusedFrames({0, 1, 2});
        w_->startUpdate();
        QCOMPARE(status(), QString("can't write firmware in first time"));
        QVERIFY(w_->isEnabled());
        QCOMPARE(bench_.terminal->serialPort()->baudRate(), kAppRate);
    }

    void wirelessUpdateThenTheLocalNode()
    {
        chosenFile_ = dir_.filePath("node_1.3.0.bin");
        const QByteArray image = makeImage(1200, 25);
        QVERIFY(writeFile(chosenFile_, image));
        QVERIFY(recognize());
        QCOMPARE(handle()->firmwareVersion(), QVersionNumber({1, 2, 3}));
        w_->localFirmwareAction()->trigger();

        QStringList calls;
        QList<int> searches;
        FirmwareWirelessHooks::setHooks(stubRelay(nullptr, &searches, &calls));
        bench_.captureWrites();
        bench_.announceRebootAfterCompletion(this);
        w_->setWirelessUpdate(true);
        QTest::mouseClick(w_->updateButton(), Qt::LeftButton);

        QCOMPARE(calls, (QStringList{"mark", "find", "restore", "enter"}));
        QCOMPARE(searches, QList<int>{2000});
        QCOMPARE(questions_.size(), 1);
        QCOMPARE(questions_[0].first, QString("Wireless firmware update finished"));
        QCOMPARE(questions_[0].second, QString("Do you want to update firmware of local node?"));
        // The local node got the image over the wire.
        QCOMPARE(bench_.boot->image(image.size()), image);
        int relayFrames = 0;
        for (const Write& w : bench_.writes)
            relayFrames += w.bytes.startsWith("\x54\xF1") ? 1 : 0;
        QCOMPARE(relayFrames, 6 + 5 + 5 * 2);
        QVERIFY(w_->isEnabled());
    }

    void noQuestionWhenTheLocalNodeRunsTheVersion()
    {
        chosenFile_ = dir_.filePath("node_1.2.3.bin");
        QVERIFY(writeFile(chosenFile_, makeImage(300, 26)));
        QVERIFY(recognize());
        w_->localFirmwareAction()->trigger();
        QStringList calls;
        FirmwareWirelessHooks::setHooks(stubRelay(nullptr, nullptr, &calls));
        bench_.captureWrites();
        w_->setWirelessUpdate(true);
        w_->startUpdate();
        QCOMPARE(calls, (QStringList{"mark", "find"}));
        QVERIFY(questions_.isEmpty());
        QVERIFY(bench_.boot->frames().isEmpty());
    }
};

TALMENO_TEST_MAIN(TestFirmwareWindow)
#include "tst_firmware_window.moc"
