#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include "foundation/UserPaths.h"
#include "helpers/LogCapture.h"
#include "support/testenv.h"

namespace {
void writeFile(const QString& path, const QByteArray& content)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(content);
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}
} // namespace

class TstUserPaths : public QObject
{
    Q_OBJECT

private slots:
    void foldersBesideTheSettingsFile()
    {
        initUserDataFolders();
        const QString settingsFolder = QFileInfo(QSettings().fileName()).absolutePath();
        // The test's private settings area, never the real home.
        QVERIFY(settingsFolder.startsWith(qEnvironmentVariable("XDG_CONFIG_HOME")));
        QCOMPARE(settingsFolder, QDir(qEnvironmentVariable("XDG_CONFIG_HOME")).absoluteFilePath("Quorvel"));
        QCOMPARE(colorSchemeDir, settingsFolder + "/color_scheme");
        QCOMPARE(userDataDir, settingsFolder + "/user_data");
        QCOMPARE(appDirPath, QCoreApplication::applicationDirPath());
        QVERIFY(!tempDir.isEmpty());
        QVERIFY(QFileInfo(tempDir).isDir());

        const QStringList subs{"customized_protocol", "model_data", "log", "screenshot", "export_data",
                               "history_data", "export_code", "recording_data", "picture"};
        const QStringList paths{customizedProtocolDir, modelDataDir, logDir, screenshotDir, exportDataDir,
                                historyDataDir, exportCodeDir, recordingDataDir, pictureDir};
        for (int i = 0; i < subs.size(); ++i) {
            QCOMPARE(paths.at(i), userDataDir + "/" + subs.at(i));
            QVERIFY2(QFileInfo(paths.at(i)).isDir(), qPrintable(paths.at(i)));
        }
        QCOMPARE(QDir(userDataDir).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(), 9);
        QVERIFY(QFileInfo(colorSchemeDir).isDir());
    }

    void officialModelFilesInstalledOnce()
    {
        QTemporaryDir root;
        const QString app = root.filePath("bin");
        const QString settings = root.filePath("cfg/Quorvel");
        const QString official = app + "/official_model_data";
        writeFile(official + "/Trelvan.ini", "[Window]\nofficial=1\n");
        writeFile(official + "/Kept.ini", "official version");
        writeFile(official + "/readme.txt", "not a model");
        writeFile(official + "/nested/Deep.ini", "in a sub-folder");
        writeFile(root.filePath("elsewhere.ini"), "behind a link");
        QVERIFY(QFile::link(root.filePath("elsewhere.ini"), official + "/Linked.ini"));
        // The user's own file of the same name stays as it is.
        writeFile(settings + "/user_data/model_data/Kept.ini", "user version");

        initUserDataFolders(app, settings);
        QCOMPARE(modelDataDir, settings + "/user_data/model_data");
        QCOMPARE(readFile(modelDataDir + "/Trelvan.ini"), QByteArray("[Window]\nofficial=1\n"));
        QCOMPARE(readFile(modelDataDir + "/Kept.ini"), QByteArray("user version"));
        QVERIFY(!QFile::exists(modelDataDir + "/readme.txt"));
        QVERIFY(!QFile::exists(modelDataDir + "/Deep.ini"));
        QVERIFY(!QFileInfo::exists(modelDataDir + "/Linked.ini"));
        QVERIFY(!QFileInfo::exists(official)); // removed with everything in it
        QVERIFY(QFile::exists(root.filePath("elsewhere.ini"))); // a link's target is not touched

        // A second start finds nothing to install and changes nothing.
        writeFile(modelDataDir + "/Trelvan.ini", "edited by the user");
        initUserDataFolders(app, settings);
        QCOMPARE(readFile(modelDataDir + "/Trelvan.ini"), QByteArray("edited by the user"));
    }

    void officialFolderKeptWhenACopyFails()
    {
        QTemporaryDir root;
        const QString official = root.filePath("official_model_data");
        writeFile(official + "/A.ini", "a");
        writeFile(official + "/B.ini", "b");
        const QString missingTarget = root.filePath("no/such/folder");
        LogCapture capture;
        QVERIFY(!installOfficialModelFiles(official, missingTarget));
        QVERIFY(QFile::exists(official + "/A.ini"));
        QVERIFY(QFile::exists(official + "/B.ini"));
        QCOMPARE(capture.lines(QtWarningMsg).size(), 1);
        QVERIFY(capture.lines(QtWarningMsg).first().contains("A.ini"));

        // Next start, with the target in place: installed, then the folder goes.
        const QString target = root.filePath("models");
        QDir().mkpath(target);
        QVERIFY(installOfficialModelFiles(official, target));
        QCOMPARE(readFile(target + "/A.ini"), QByteArray("a"));
        QCOMPARE(readFile(target + "/B.ini"), QByteArray("b"));
        QVERIFY(!QFileInfo::exists(official));
        // No folder at all is nothing to do.
        QVERIFY(installOfficialModelFiles(official, target));
    }

    void downloadAddress()
    {
        const QByteArray saved = qgetenv("TALMENO_DOWNLOAD_URL");
        QVERIFY(saved.startsWith("http://127.0.0.1")); // the test runner's loopback server
        QCOMPARE(downloadBaseUrl(), QString::fromUtf8(saved));

        qputenv("TALMENO_DOWNLOAD_URL", "http://127.0.0.1:8123/mirror/");
        QCOMPARE(downloadBaseUrl(), QString("http://127.0.0.1:8123/mirror"));
        QCOMPARE(productsDownloadUrl(), QString("http://127.0.0.1:8123/mirror/products"));

        qunsetenv("TALMENO_DOWNLOAD_URL");
        const QString maker = downloadBaseUrl();
        QVERIFY(maker.startsWith("http://"));
        QVERIFY(!maker.contains("127.0.0.1"));
        QCOMPARE(productsDownloadUrl(), maker + "/products");
        qputenv("TALMENO_DOWNLOAD_URL", saved);
    }
};

TALMENO_TEST_MAIN(TstUserPaths)
#include "tst_userpaths.moc"
