#include "foundation/UserPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

#include "foundation/ZLog.h"

QString appDirPath;
QString colorSchemeDir;
QString userDataDir;
QString customizedProtocolDir;
QString modelDataDir;
QString logDir;
QString screenshotDir;
QString exportDataDir;
QString historyDataDir;
QString exportCodeDir;
QString recordingDataDir;
QString pictureDir;
QString tempDir;

void initUserDataFolders()
{
    const QString settingsFolder = QFileInfo(QSettings().fileName()).absolutePath();
    initUserDataFolders(QCoreApplication::applicationDirPath(), settingsFolder);
}

void initUserDataFolders(const QString& applicationDir, const QString& settingsFolder)
{
    appDirPath = applicationDir;
    colorSchemeDir = settingsFolder + "/color_scheme";
    userDataDir = settingsFolder + "/user_data";
    customizedProtocolDir = userDataDir + "/customized_protocol";
    modelDataDir = userDataDir + "/model_data";
    logDir = userDataDir + "/log";
    screenshotDir = userDataDir + "/screenshot";
    exportDataDir = userDataDir + "/export_data";
    historyDataDir = userDataDir + "/history_data";
    exportCodeDir = userDataDir + "/export_code";
    recordingDataDir = userDataDir + "/recording_data";
    pictureDir = userDataDir + "/picture";
    tempDir = QStandardPaths::writableLocation(QStandardPaths::TempLocation);

    // Failures are ignored here: the users of each folder report their own.
    for (const QString* dir : {&colorSchemeDir, &modelDataDir, &customizedProtocolDir, &userDataDir,
                               &screenshotDir, &exportDataDir, &historyDataDir, &exportCodeDir,
                               &recordingDataDir, &pictureDir, &logDir}) {
        QDir().mkpath(*dir);
    }

    installOfficialModelFiles(appDirPath + "/official_model_data", modelDataDir);
}

bool installOfficialModelFiles(const QString& sourceDir, const QString& targetDir)
{
    QDir source(sourceDir);
    if (!source.exists())
        return true;
    const QFileInfoList files =
        source.entryInfoList(QStringList() << "*.ini", QDir::Files | QDir::NoSymLinks | QDir::Hidden, QDir::Name);
    QStringList missing;
    for (const QFileInfo& file : files) {
        const QString target = targetDir + "/" + file.fileName();
        // An existing user file is never overwritten.
        if (QFileInfo::exists(target))
            continue;
        if (!QFile::copy(file.absoluteFilePath(), target))
            missing << file.fileName();
    }
    // The folder goes only once every model file is installed; otherwise the next
    // start tries again instead of losing the files.
    if (!missing.isEmpty()) {
        zWarning() << "official model files not installed, kept for the next start:" << missing.join(", ");
        return false;
    }
    source.removeRecursively();
    return true;
}

QString downloadBaseUrl()
{
    QString url = qEnvironmentVariable("TALMENO_DOWNLOAD_URL");
    if (url.isEmpty())
        url = QStringLiteral("http://download.quorvel.com");
    while (url.endsWith('/'))
        url.chop(1);
    return url;
}

QString productsDownloadUrl()
{
    return downloadBaseUrl() + "/products";
}
