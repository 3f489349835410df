#pragma once

#include <QHash>
#include <QObject>
#include <QSharedPointer>
#include <QString>
#include <QUrl>

class QFile;
class QNetworkAccessManager;
class QNetworkReply;

// One download as its caller sees it: where it goes, how far it got and how it ended.
// Held by QSharedPointer; the manager keeps its own reference while the transfer runs.
class ZDownloadNotifier : public QObject
{
    Q_OBJECT
public:
    explicit ZDownloadNotifier(const QUrl& url = QUrl(), const QString& filePath = QString());

    // Final local path; empty until the manager has named the file.
    QString filePath() const { return filePath_; }
    QUrl url() const { return url_; }
    // True once the download has ended successfully.
    bool isFinished() const { return isFinished_; }
    // The transfer was sent; a download whose target folder could not be made never is.
    bool isStarted() const { return isStarted_; }
    // The download has ended, well or badly; downloadFinished was emitted.
    bool isEnded() const { return isEnded_; }

    static QSharedPointer<ZDownloadNotifier> create(const QUrl& url = QUrl(),
                                                    const QString& filePath = QString());

signals:
    void downloadFinished(bool success);
    void downloadProgress(qlonglong bytesReceived, qlonglong bytesTotal);

private:
    friend class ZDownloadManager;

    QString filePath_;
    QUrl url_;
    bool isFinished_ = false;
    bool isStarted_ = false;
    bool isEnded_ = false;
};

Q_DECLARE_METATYPE(QSharedPointer<ZDownloadNotifier>)

// Fetches files over HTTP into local folders. The body is written to the final name
// plus ".downloading" while it arrives and renamed only after a complete, successful
// transfer, so a half-written file never carries the final name. Redirects are
// followed; a transfer that ends in an error or an unfollowed redirect leaves no file.
// Lives on the GUI thread.
class ZDownloadManager : public QObject
{
    Q_OBJECT
public:
    static ZDownloadManager* instance(QObject* parent = nullptr);
    ~ZDownloadManager() override;

    static const QString kPartialSuffix; // ".downloading"

    // Blocking form: runs a local event loop until the download ends. Returns the final
    // path on success, else an empty string (at once when the download cannot start).
    QString downloadAndWait(const QUrl& url, const QString& targetDirPath, bool overWriteOldFile);

    int runningDownloads() const { return downloads_.size(); }

signals:
    // Emitting this from any thread starts the download on the manager's thread.
    void downloadRequest(QSharedPointer<ZDownloadNotifier> notifier, bool needProgress);

public slots:
    // Names the target file in targetDirPath (a temporary file when the path is empty)
    // and starts the transfer. Returns null when the URL or its file name is unusable
    // or the transfer cannot start; returns an unstarted notifier (isStarted() false)
    // when the target folder cannot be created.
    QSharedPointer<ZDownloadNotifier> startDownload(const QUrl& url,
                                                    const QString& targetDirPath = QString(),
                                                    bool overWriteOldFile = false,
                                                    bool needProgressNotify = false);
    // Opens the output file of a named notifier and sends the request.
    bool downloadSlot(QSharedPointer<ZDownloadNotifier> notifier, bool needProgress);

private:
    explicit ZDownloadManager(QObject* parent);

    struct Download
    {
        QFile* file = nullptr;
        QSharedPointer<ZDownloadNotifier> notifier;
        bool replaceExisting = false;
        bool writeFailed = false;
    };

    void onReadyRead(QNetworkReply* reply);
    void onFinished(QNetworkReply* reply);
    static void endNotifier(const QSharedPointer<ZDownloadNotifier>& notifier, bool success);
    bool partialInUse(const QString& finalPath) const;

    QNetworkAccessManager* network_ = nullptr;
    QHash<QNetworkReply*, Download> downloads_;
};
