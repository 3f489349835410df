#include "foundation/ZDownloadManager.h"

#include <cstdio>

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTemporaryFile>

#include "foundation/ZLog.h"

namespace {

ZDownloadManager* s_instance = nullptr;

// Redirects that could be followed were; any 3xx answer left at the end is only a
// pointer elsewhere, never the file asked for.
bool isRedirectStatus(int status)
{
    return status >= 300 && status < 400;
}

// The URL's file name becomes a local file name: refuse anything that would leave the
// target folder or name the folder itself.
bool isSafeFileName(const QString& name)
{
    return name != QLatin1String(".") && name != QLatin1String("..")
        && !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\'));
}

// The name is the path's last segment, cut at the last literal '/' before decoding: an
// encoded slash stays inside the name (and gets it refused) instead of splitting it.
QString urlFileName(const QUrl& url)
{
    const QString path = url.path(QUrl::FullyEncoded);
    return QUrl::fromPercentEncoding(path.mid(path.lastIndexOf(QLatin1Char('/')) + 1).toLatin1());
}

} // namespace

const QString ZDownloadManager::kPartialSuffix = QStringLiteral(".downloading");

ZDownloadNotifier::ZDownloadNotifier(const QUrl& url, const QString& filePath)
    : QObject(nullptr)
    , filePath_(filePath)
    , url_(url)
{
}

QSharedPointer<ZDownloadNotifier> ZDownloadNotifier::create(const QUrl& url, const QString& filePath)
{
    return QSharedPointer<ZDownloadNotifier>(new ZDownloadNotifier(url, filePath), &QObject::deleteLater);
}

ZDownloadManager* ZDownloadManager::instance(QObject* parent)
{
    if (!s_instance)
        s_instance = new ZDownloadManager(parent);
    return s_instance;
}

ZDownloadManager::ZDownloadManager(QObject* parent)
    : QObject(parent)
    , network_(new QNetworkAccessManager(this))
{
    qRegisterMetaType<QSharedPointer<ZDownloadNotifier>>("QSharedPointer<ZDownloadNotifier>");
    // The server may move files; the caller wants the file, not the forwarding page.
    network_->setRedirectPolicy(QNetworkRequest::NoLessSafeRedirectPolicy);
    connect(this, &ZDownloadManager::downloadRequest, this, &ZDownloadManager::downloadSlot);
}

ZDownloadManager::~ZDownloadManager()
{
    // Running transfers end as failures and leave no partial file behind.
    const auto running = downloads_;
    downloads_.clear();
    for (auto it = running.begin(); it != running.end(); ++it) {
        QNetworkReply* reply = it.key();
        reply->disconnect(this);
        reply->abort();
        it->file->close();
        it->file->remove();
        delete it->file;
        endNotifier(it->notifier, false);
        delete reply;
    }
    if (s_instance == this)
        s_instance = nullptr;
}

bool ZDownloadManager::partialInUse(const QString& finalPath) const
{
    for (const Download& d : downloads_) {
        if (d.notifier->filePath_ == finalPath)
            return true;
    }
    return false;
}

QSharedPointer<ZDownloadNotifier> ZDownloadManager::startDownload(const QUrl& url,
                                                                  const QString& targetDirPath,
                                                                  bool overWriteOldFile,
                                                                  bool needProgressNotify)
{
    if (!url.isValid()) {
        zDebug() << "!url.isValid()";
        return {};
    }
    const QString fileName = urlFileName(url);
    if (fileName.isEmpty()) {
        zDebug() << "fileName.isEmpty()";
        return {};
    }
    if (!isSafeFileName(fileName)) {
        zDebug() << "unsafe file name refused:" << fileName;
        return {};
    }

    QSharedPointer<ZDownloadNotifier> notifier = ZDownloadNotifier::create(url);
    bool replaceExisting = false;
    if (!targetDirPath.isEmpty()) {
        QDir targetDir(targetDirPath);
        if (!targetDir.exists() && !targetDir.mkpath(targetDir.path())) {
            zDebug() << "!targetDir.mkdir(targetDir.path())";
            return notifier;
        }
        QString path = targetDir.filePath(fileName);
        if (overWriteOldFile) {
            // Two transfers into one partial file would corrupt each other.
            if (partialInUse(path)) {
                zDebug() << "a download into" << path << "is already running";
                return {};
            }
            // The old file is replaced only once the new one is complete, so a failed
            // download keeps it.
            replaceExisting = true;
        } else if (QFileInfo::exists(path) || partialInUse(path)) {
            const QFileInfo info(path);
            const QString base = info.baseName();
            const QString suffix = info.completeSuffix();
            for (int counter = 1;; ++counter) {
                const QString name = suffix.isEmpty()
                    ? QStringLiteral("%1_%2").arg(base).arg(counter)
                    : QStringLiteral("%1_%2.%3").arg(base).arg(counter).arg(suffix);
                path = targetDir.filePath(name);
                if (!QFileInfo::exists(path) && !partialInUse(path))
                    break;
            }
        }
        notifier->filePath_ = path;
    }

    if (!downloadSlot(notifier, needProgressNotify))
        return {};
    // Whether an existing file may be replaced is known only here.
    for (Download& d : downloads_) {
        if (d.notifier == notifier)
            d.replaceExisting = replaceExisting;
    }
    return notifier;
}

bool ZDownloadManager::downloadSlot(QSharedPointer<ZDownloadNotifier> notifier, bool needProgress)
{
    if (!notifier || notifier->isStarted_ || !notifier->url_.isValid())
        return false;

    QFile* file = nullptr;
    if (!notifier->filePath_.isEmpty()) {
        file = new QFile(notifier->filePath_ + kPartialSuffix);
    } else {
        QString name = urlFileName(notifier->url_);
        if (!isSafeFileName(name))
            name.clear();
        QTemporaryFile temp(QDir::tempPath() + QStringLiteral("/talmeno_XXXXXX_") + name);
        temp.setAutoRemove(false);
        if (!temp.open()) {
            zDebug() << "!file->open(QIODevice::WriteOnly)";
            notifier->isEnded_ = true;
            emit notifier->downloadFinished(false);
            return false;
        }
        notifier->filePath_ = temp.fileName();
        temp.close();
        file = new QFile(notifier->filePath_);
    }

    bool opened = file->open(QIODevice::WriteOnly);
    if (opened) {
        file->write("downloading...");
        file->close();
        opened = file->open(QIODevice::WriteOnly);
    }
    if (!opened) {
        zDebug() << "!file->open(QIODevice::WriteOnly)";
        file->remove();
        delete file;
        notifier->isEnded_ = true;
        emit notifier->downloadFinished(false);
        return false;
    }

    QNetworkReply* reply = network_->get(QNetworkRequest(notifier->url_));
    notifier->isStarted_ = true;
    Download d;
    d.file = file;
    d.notifier = notifier;
    downloads_.insert(reply, d);
    if (needProgress)
        connect(reply, &QNetworkReply::downloadProgress, notifier.data(), &ZDownloadNotifier::downloadProgress);
    connect(reply, &QNetworkReply::readyRead, this, [this, reply] { onReadyRead(reply); });
    connect(reply, &QNetworkReply::finished, this, [this, reply] { onFinished(reply); });
    return true;
}

void ZDownloadManager::onReadyRead(QNetworkReply* reply)
{
    auto it = downloads_.find(reply);
    if (it == downloads_.end())
        return;
    const QByteArray data = reply->readAll();
    if (data.isEmpty() || it->writeFailed)
        return;
    // Flushed at once: the partial file shows the progress, and a full disk shows here.
    if (it->file->write(data) != data.size() || !it->file->flush())
        it->writeFailed = true;
}

void ZDownloadManager::onFinished(QNetworkReply* reply)
{
    auto it = downloads_.find(reply);
    if (it == downloads_.end()) {
        reply->deleteLater();
        return;
    }
    onReadyRead(reply);
    Download d = it.value();
    downloads_.erase(it);

    const QString urlText = QString::fromUtf8(reply->url().toEncoded());
    bool success = reply->error() == QNetworkReply::NoError;
    if (success) {
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (isRedirectStatus(status)) {
            // A redirect the policy refused to follow (or one without a target): its body
            // is not the file asked for.
            zDebug() << "Request was redirected.\n";
            success = false;
        }
    } else {
        zDebug() << QStringLiteral("Download of %1 failed: %2").arg(urlText, reply->errorString());
    }
    if (!d.file->flush())
        d.writeFailed = true;
    if (success && d.writeFailed) {
        zDebug() << QStringLiteral("Download of %1 failed: %2").arg(urlText, d.file->errorString());
        success = false;
    }
    reply->close();
    d.file->close();

    const QString partial = d.file->fileName();
    const QString finalPath = d.notifier->filePath_;
    if (success && partial != finalPath) {
        // Replacing goes through rename(2), which swaps the file in one step: a failed
        // move keeps the old file instead of leaving nothing behind.
        const bool moved = d.replaceExisting
            ? std::rename(QFile::encodeName(partial).constData(), QFile::encodeName(finalPath).constData()) == 0
            : QFile::rename(partial, finalPath);
        if (!moved) {
            zDebug() << QStringLiteral("Download of %1 failed: cannot rename %2 to %3")
                            .arg(urlText, partial, finalPath);
            success = false;
        }
    }
    if (!success)
        QFile::remove(partial);

    endNotifier(d.notifier, success);
    reply->deleteLater();
    delete d.file;
}

void ZDownloadManager::endNotifier(const QSharedPointer<ZDownloadNotifier>& notifier, bool success)
{
    notifier->isFinished_ = success;
    notifier->isEnded_ = true;
    emit notifier->downloadFinished(success);
}

QString ZDownloadManager::downloadAndWait(const QUrl& url, const QString& targetDirPath, bool overWriteOldFile)
{
    const QSharedPointer<ZDownloadNotifier> notifier = startDownload(url, targetDirPath, overWriteOldFile, false);
    if (!notifier || !notifier->isStarted())
        return QString();
    bool success = notifier->isFinished();
    if (!notifier->isEnded()) {
        QEventLoop loop;
        connect(notifier.data(), &ZDownloadNotifier::downloadFinished, &loop,
                [&success, &loop](bool ok) {
                    success = ok;
                    loop.quit();
                },
                Qt::DirectConnection);
        loop.exec();
    }
    return success ? notifier->filePath() : QString();
}
