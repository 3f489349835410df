#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>

#include "foundation/UserPaths.h"
#include "foundation/ZDownloadManager.h"
#include "helpers/LocalHttpServer.h"
#include "support/testenv.h"

namespace {

QByteArray readAll(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray("<missing>");
    return f.readAll();
}

QByteArray pattern(int size, char seed)
{
    QByteArray b(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        b[i] = char((i * 31 + seed) & 0xff);
    return b;
}

QStringList filesIn(const QString& dir)
{
    return QDir(dir).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
}

const QRegularExpression kFailedLog(QStringLiteral("Download of .* failed: "));

} // namespace

class TestDownload : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void namesDuplicatesAndOverwrites();
    void partialFileOnlyWhileTransferring();
    void largeBodyArrivesComplete();
    void emptyBodyGivesEmptyFile();
    void failuresLeaveNoFile_data();
    void failuresLeaveNoFile();
    void redirectsAreFollowed_data();
    void redirectsAreFollowed();
    void unfollowedRedirectFails();
    void unusableUrlsReturnAtOnce_data();
    void unusableUrlsReturnAtOnce();
    void encodedSlashIsRefused();
    void targetFolderCreatedOrNotStarted();
    void emptyFolderUsesTemporaryFile();
    void overwriteKeepsOldFileOnFailure();
    void failedMoveIsFailure();
    void unwritablePartialFileDoesNotStart();
    void concurrentDownloadsOfOneName();
    void requestSignalFromWorkerThread();
    void productDownloadsComeFromConfiguredServer();
    void deletingManagerEndsRunningDownloads();

private:
    LocalHttpServer server_;
};

void TestDownload::initTestCase()
{
    QVERIFY(server_.start());
    QVERIFY(ZDownloadManager::instance(this) == ZDownloadManager::instance(nullptr));
}

void TestDownload::cleanup()
{
    // A failed case must not leave a held transfer behind for the next one.
    server_.release();
    QTRY_COMPARE(ZDownloadManager::instance()->runningDownloads(), 0);
}

void TestDownload::namesDuplicatesAndOverwrites()
{
    QTemporaryDir dir;
    auto* m = ZDownloadManager::instance();
    const QUrl url = server_.url("/products/x/firmware/1.0/release-notes.txt");

    server_.setFile("/products/x/firmware/1.0/release-notes.txt", "first");
    const QString p0 = m->downloadAndWait(url, dir.path(), false);
    QCOMPARE(p0, dir.filePath("release-notes.txt"));
    QCOMPARE(readAll(p0), QByteArray("first"));

    server_.setFile("/products/x/firmware/1.0/release-notes.txt", "second");
    const QString p1 = m->downloadAndWait(url, dir.path(), false);
    QCOMPARE(p1, dir.filePath("release-notes_1.txt"));
    QCOMPARE(readAll(p1), QByteArray("second"));
    QCOMPARE(readAll(p0), QByteArray("first"));

    server_.setFile("/products/x/firmware/1.0/release-notes.txt", "third");
    QCOMPARE(m->downloadAndWait(url, dir.path(), false), dir.filePath("release-notes_2.txt"));

    server_.setFile("/products/x/firmware/1.0/release-notes.txt", "replaced");
    QCOMPARE(m->downloadAndWait(url, dir.path(), true), p0);
    QCOMPARE(readAll(p0), QByteArray("replaced"));
    QCOMPARE(readAll(p1), QByteArray("second"));

    // The counter goes before the complete suffix; a name without suffix gets no dot.
    server_.setFile("/f/image.v2.bin", "a");
    server_.setFile("/f/image", "b");
    QCOMPARE(m->downloadAndWait(server_.url("/f/image.v2.bin"), dir.path(), false), dir.filePath("image.v2.bin"));
    QCOMPARE(m->downloadAndWait(server_.url("/f/image.v2.bin"), dir.path(), false), dir.filePath("image_1.v2.bin"));
    QCOMPARE(m->downloadAndWait(server_.url("/f/image"), dir.path(), false), dir.filePath("image"));
    QCOMPARE(m->downloadAndWait(server_.url("/f/image"), dir.path(), false), dir.filePath("image_1"));

    QCOMPARE(filesIn(dir.path()),
             QStringList({"image", "image.v2.bin", "image_1", "image_1.v2.bin", "release-notes.txt",
                          "release-notes_1.txt", "release-notes_2.txt"}));
    QCOMPARE(m->runningDownloads(), 0);
}

void TestDownload::partialFileOnlyWhileTransferring()
{
    QTemporaryDir dir;
    const QByteArray body = pattern(5000, 7);
    LocalHttpServer::Route r;
    r.body = body;
    r.chunkSize = 600;
    r.chunkDelayMs = 150; // progress signals come at most every 100 ms
    r.holdAfterBytes = 1200;
    server_.setRoute("/slow/fw.bin", r);

    auto n = ZDownloadManager::instance()->startDownload(server_.url("/slow/fw.bin"), dir.path(), false, true);
    QVERIFY(n);
    QVERIFY(n->isStarted());
    QCOMPARE(n->filePath(), dir.filePath("fw.bin"));
    QSignalSpy finished(n.data(), &ZDownloadNotifier::downloadFinished);
    QSignalSpy progress(n.data(), &ZDownloadNotifier::downloadProgress);

    const QString partial = dir.filePath("fw.bin.downloading");
    QTRY_COMPARE(QFileInfo(partial).size(), qint64(1200));
    QCOMPARE(readAll(partial), body.left(1200));
    QCOMPARE(filesIn(dir.path()), QStringList({"fw.bin.downloading"}));
    QVERIFY(!n->isEnded());
    QTRY_VERIFY(!progress.isEmpty() && progress.last().at(0).toLongLong() == 1200);
    QCOMPARE(progress.last().at(1).toLongLong(), 5000LL);
    QCOMPARE(finished.count(), 0);

    server_.release();
    QVERIFY(finished.wait(5000));
    QCOMPARE(finished.count(), 1);
    QCOMPARE(finished.first().at(0).toBool(), true);
    QVERIFY(n->isFinished());
    QCOMPARE(progress.last().at(0).toLongLong(), 5000LL);
    QCOMPARE(filesIn(dir.path()), QStringList({"fw.bin"}));
    QCOMPARE(readAll(n->filePath()), body);
}

void TestDownload::largeBodyArrivesComplete()
{
    QTemporaryDir dir;
    const QByteArray body = pattern(3 * 1024 * 1024 + 17, 3);
    LocalHttpServer::Route r;
    r.body = body;
    r.chunkSize = 64 * 1024;
    server_.setRoute("/big/image.bin", r);
    // No progress wanted: nothing must be forwarded.
    auto n = ZDownloadManager::instance()->startDownload(server_.url("/big/image.bin"), dir.path(), false, false);
    QVERIFY(n);
    QSignalSpy progress(n.data(), &ZDownloadNotifier::downloadProgress);
    QSignalSpy finished(n.data(), &ZDownloadNotifier::downloadFinished);
    QVERIFY(finished.wait(10000));
    QVERIFY(n->isFinished());
    QCOMPARE(progress.count(), 0);
    QCOMPARE(readAll(n->filePath()), body);
}

void TestDownload::emptyBodyGivesEmptyFile()
{
    // The placeholder written while opening must not survive in the result.
    QTemporaryDir dir;
    server_.setFile("/empty/notes.txt", QByteArray());
    const QString p = ZDownloadManager::instance()->downloadAndWait(server_.url("/empty/notes.txt"), dir.path(), false);
    QCOMPARE(p, dir.filePath("notes.txt"));
    QVERIFY(QFileInfo::exists(p));
    QCOMPARE(QFileInfo(p).size(), qint64(0));
}

void TestDownload::failuresLeaveNoFile_data()
{
    QTest::addColumn<QByteArray>("path");
    QTest::addColumn<int>("kind");
    QTest::newRow("404") << QByteArray("/gone/fw.bin") << 0;
    QTest::newRow("500") << QByteArray("/broken/fw.bin") << 1;
    QTest::newRow("connection cut") << QByteArray("/cut/fw.bin") << 2;
    QTest::newRow("redirect loop") << QByteArray("/loop/fw.bin") << 3;
    QTest::newRow("server gone") << QByteArray("/fw.bin") << 4;
}

void TestDownload::failuresLeaveNoFile()
{
    QFETCH(QByteArray, path);
    QFETCH(int, kind);
    QTemporaryDir dir;
    QUrl url = server_.url(QString::fromUtf8(path));
    LocalHttpServer::Route r;
    switch (kind) {
    case 1:
        server_.setFile(path, "error page", 500);
        break;
    case 2:
        r.body = pattern(8000, 1);
        r.chunkSize = 1000;
        r.dropAfterBytes = 3000;
        server_.setRoute(path, r);
        break;
    case 3:
        server_.setRedirect(path, server_.url(QString::fromUtf8(path)).toEncoded(), 302, "again");
        break;
    case 4: {
        // A port that was free a moment ago: nobody listens there.
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
        url = QUrl(QStringLiteral("http://127.0.0.1:%1/fw.bin").arg(probe.serverPort()));
        probe.close();
        break;
    }
    default:
        break;
    }
    QTest::ignoreMessage(QtDebugMsg, kFailedLog);
    auto n = ZDownloadManager::instance()->startDownload(url, dir.path(), false, false);
    QVERIFY(n);
    QSignalSpy finished(n.data(), &ZDownloadNotifier::downloadFinished);
    QVERIFY(finished.wait(10000));
    QCOMPARE(finished.first().at(0).toBool(), false);
    QVERIFY(n->isEnded());
    QVERIFY(!n->isFinished());
    QCOMPARE(filesIn(dir.path()), QStringList());

    // The blocking form reports the same failure as an empty path.
    QTest::ignoreMessage(QtDebugMsg, kFailedLog);
    QCOMPARE(ZDownloadManager::instance()->downloadAndWait(url, dir.path(), true), QString());
    QCOMPARE(filesIn(dir.path()), QStringList());
}

void TestDownload::redirectsAreFollowed_data()
{
    QTest::addColumn<int>("status");
    QTest::newRow("301") << 301;
    QTest::newRow("302") << 302;
    QTest::newRow("303") << 303;
    QTest::newRow("307") << 307;
    QTest::newRow("308") << 308;
}

void TestDownload::redirectsAreFollowed()
{
    QFETCH(int, status);
    QTemporaryDir dir;
    const QByteArray body = pattern(2000, char(status));
    server_.setFile("/mirror/fw-current.bin", body);
    server_.setRedirect("/moved/fw.bin", server_.url("/mirror/fw-current.bin").toEncoded(), status,
                        "this body only points elsewhere");
    const QString p = ZDownloadManager::instance()->downloadAndWait(server_.url("/moved/fw.bin"), dir.path(), false);
    // The local name is that of the address asked for; the content is the final body.
    QCOMPARE(p, dir.filePath("fw.bin"));
    QCOMPARE(readAll(p), body);
    QCOMPARE(filesIn(dir.path()), QStringList({"fw.bin"}));
}

void TestDownload::unfollowedRedirectFails()
{
    // A redirect without a target cannot be followed: its body is not the file.
    QTemporaryDir dir;
    server_.setRedirect("/nowhere/fw.bin", QByteArray(), 302, "no location given");
    QTest::ignoreMessage(QtDebugMsg, kFailedLog);
    QCOMPARE(ZDownloadManager::instance()->downloadAndWait(server_.url("/nowhere/fw.bin"), dir.path(), false),
             QString());
    QCOMPARE(filesIn(dir.path()), QStringList());

    // "Multiple choices" is never followed: the answer is a list of places, not the file.
    server_.setRedirect("/choices/fw.bin", server_.url("/mirror/fw-current.bin").toEncoded(), 300,
                        "pick one of these");
    QTest::ignoreMessage(QtDebugMsg, QRegularExpression(QStringLiteral("Request was redirected\\.\\n")));
    QCOMPARE(ZDownloadManager::instance()->downloadAndWait(server_.url("/choices/fw.bin"), dir.path(), false),
             QString());
    QCOMPARE(filesIn(dir.path()), QStringList());
}

void TestDownload::unusableUrlsReturnAtOnce_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("log");
    QTest::newRow("invalid") << QString("http://127.0.0.1:%1:99/x.bin") << QString("!url.isValid()");
    QTest::newRow("no file name") << QString("http://127.0.0.1:%1/products/") << QString("fileName.isEmpty()");
    QTest::newRow("dot dot") << QString("http://127.0.0.1:%1/a/%2E%2E") << QString("unsafe file name");
    QTest::newRow("backslash") << QString("http://127.0.0.1:%1/a/..%5C..%5Cx.bin") << QString("unsafe file name");
    QTest::newRow("encoded dot") << QString("http://127.0.0.1:%1/a/%2E") << QString("unsafe file name");
    QTest::newRow("encoded dot dot at root") << QString("http://127.0.0.1:%1/%2E%2E") << QString("unsafe file name");
    QTest::newRow("encoded backslash") << QString("http://127.0.0.1:%1/a/a%5Cb") << QString("unsafe file name");
}

void TestDownload::unusableUrlsReturnAtOnce()
{
    QFETCH(QString, url);
    QFETCH(QString, log);
    QTemporaryDir dir;
    const int before = server_.requestedPaths().size();
    const QUrl u(url.arg(server_.port()));
    QTest::ignoreMessage(QtDebugMsg, QRegularExpression(QRegularExpression::escape(log)));
    QVERIFY(!ZDownloadManager::instance()->startDownload(u, dir.path(), false, false));
    QTest::ignoreMessage(QtDebugMsg, QRegularExpression(QRegularExpression::escape(log)));
    QElapsedTimer t;
    t.start();
    QCOMPARE(ZDownloadManager::instance()->downloadAndWait(u, dir.path(), false), QString());
    QVERIFY(t.elapsed() < 1000);
    QCOMPARE(server_.requestedPaths().size(), before);
    QCOMPARE(filesIn(dir.path()), QStringList());
    QVERIFY(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).isEmpty());
}

void TestDownload::encodedSlashIsRefused()
{
    // An encoded slash belongs to the name, which then is no file name: nothing is
    // requested and nothing is written, neither in the target folder nor above it.
    QTemporaryDir root;
    const QString target = root.filePath("target/inner");
    server_.setFile("/a%2F..%2F..%2Fescape.txt", "payload");
    const QUrl url(server_.baseUrl() + "/a%2F..%2F..%2Fescape.txt");
    const int before = server_.requestedPaths().size();
    const QRegularExpression refused(QStringLiteral("unsafe file name refused"));
    QTest::ignoreMessage(QtDebugMsg, refused);
    QVERIFY(!ZDownloadManager::instance()->startDownload(url, target, false, false));
    QTest::ignoreMessage(QtDebugMsg, refused);
    QCOMPARE(ZDownloadManager::instance()->downloadAndWait(url, target, true), QString());
    QCOMPARE(server_.requestedPaths().size(), before);
    QCOMPARE(filesIn(root.path()), QStringList());
}

void TestDownload::targetFolderCreatedOrNotStarted()
{
    QTemporaryDir root;
    server_.setFile("/n/notes.txt", "nested");
    const QString nested = root.filePath("a/b/c");
    QCOMPARE(ZDownloadManager::instance()->downloadAndWait(server_.url("/n/notes.txt"), nested, false),
             QDir(nested).filePath("notes.txt"));

    // A folder below a plain file cannot be made: the download never starts and the
    // blocking form returns at once.
    QFile plain(root.filePath("plain"));
    QVERIFY(plain.open(QIODevice::WriteOnly));
    plain.close();
    const QString impossible = root.filePath("plain/sub");
    const int before = server_.requestedPaths().size();
    QTest::ignoreMessage(QtDebugMsg, QRegularExpression(QStringLiteral("!targetDir\\.mkdir\\(targetDir\\.path\\(\\)\\)")));
    auto n = ZDownloadManager::instance()->startDownload(server_.url("/n/notes.txt"), impossible, false, false);
    QVERIFY(n);
    QVERIFY(!n->isStarted());
    QVERIFY(!n->isEnded());
    QCOMPARE(n->url(), server_.url("/n/notes.txt"));

    QTest::ignoreMessage(QtDebugMsg, QRegularExpression(QStringLiteral("!targetDir\\.mkdir")));
    QElapsedTimer t;
    t.start();
    QCOMPARE(ZDownloadManager::instance()->downloadAndWait(server_.url("/n/notes.txt"), impossible, false), QString());
    QVERIFY(t.elapsed() < 1000);
    QCOMPARE(server_.requestedPaths().size(), before);
}

void TestDownload::emptyFolderUsesTemporaryFile()
{
    const QByteArray body = pattern(3000, 9);
    server_.setFile("/t/notes_en.txt", body);
    const QString p = ZDownloadManager::instance()->downloadAndWait(server_.url("/t/notes_en.txt"), QString(), false);
    QVERIFY(!p.isEmpty());
    QCOMPARE(QFileInfo(p).absolutePath(), QFileInfo(QDir::tempPath()).absoluteFilePath());
    QVERIFY(p.endsWith("notes_en.txt"));
    QCOMPARE(readAll(p), body);

    // A second download of the same address gets a file of its own.
    const QString p2 = ZDownloadManager::instance()->downloadAndWait(server_.url("/t/notes_en.txt"), QString(), false);
    QVERIFY(!p2.isEmpty());
    QVERIFY(p2 != p);
    QCOMPARE(readAll(p2), body);

    // A failed temporary download leaves nothing in the temporary folder.
    const QStringList beforeFail = filesIn(QDir::tempPath());
    QTest::ignoreMessage(QtDebugMsg, kFailedLog);
    QCOMPARE(ZDownloadManager::instance()->downloadAndWait(server_.url("/t/missing.txt"), QString(), false), QString());
    QCOMPARE(filesIn(QDir::tempPath()), beforeFail);
    QFile::remove(p);
    QFile::remove(p2);
}

void TestDownload::overwriteKeepsOldFileOnFailure()
{
    QTemporaryDir dir;
    QFile old(dir.filePath("keep.bin"));
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("old firmware");
    old.close();

    QTest::ignoreMessage(QtDebugMsg, kFailedLog);
    QCOMPARE(ZDownloadManager::instance()->downloadAndWait(server_.url("/k/keep.bin"), dir.path(), true), QString());
    QCOMPARE(readAll(dir.filePath("keep.bin")), QByteArray("old firmware"));
    QCOMPARE(filesIn(dir.path()), QStringList({"keep.bin"}));

    server_.setFile("/k/keep.bin", "new firmware");
    QCOMPARE(ZDownloadManager::instance()->downloadAndWait(server_.url("/k/keep.bin"), dir.path(), true),
             dir.filePath("keep.bin"));
    QCOMPARE(readAll(dir.filePath("keep.bin")), QByteArray("new firmware"));
    QCOMPARE(filesIn(dir.path()), QStringList({"keep.bin"}));
}

void TestDownload::failedMoveIsFailure()
{
    // The final name is taken by a folder that cannot be replaced: the complete body
    // still cannot be moved into place, so the download fails and leaves no partial file.
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath("fw.bin/inside"));
    server_.setFile("/m/fw.bin", "body");
    QTest::ignoreMessage(QtDebugMsg, QRegularExpression(QStringLiteral("Download of .* failed: cannot rename")));
    QCOMPARE(ZDownloadManager::instance()->downloadAndWait(server_.url("/m/fw.bin"), dir.path(), true), QString());
    QCOMPARE(filesIn(dir.path()), QStringList({"fw.bin"}));
    QVERIFY(QFileInfo(dir.filePath("fw.bin")).isDir());

    // Without overwriting, the folder's name counts as taken.
    QCOMPARE(ZDownloadManager::instance()->downloadAndWait(server_.url("/m/fw.bin"), dir.path(), false),
             dir.filePath("fw_1.bin"));
}

void TestDownload::unwritablePartialFileDoesNotStart()
{
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir("fw.bin.downloading"));
    server_.setFile("/u/fw.bin", "body");
    const int before = server_.requestedPaths().size();
    QTest::ignoreMessage(QtDebugMsg, QRegularExpression(QStringLiteral("!file->open\\(QIODevice::WriteOnly\\)")));
    QVERIFY(!ZDownloadManager::instance()->startDownload(server_.url("/u/fw.bin"), dir.path(), false, false));
    QCOMPARE(server_.requestedPaths().size(), before);
    QCOMPARE(filesIn(dir.path()), QStringList({"fw.bin.downloading"}));
}

void TestDownload::concurrentDownloadsOfOneName()
{
    QTemporaryDir dir;
    LocalHttpServer::Route r;
    r.body = pattern(4000, 5);
    r.holdAfterBytes = 500;
    server_.setRoute("/c/fw.bin", r);
    auto* m = ZDownloadManager::instance();
    auto a = m->startDownload(server_.url("/c/fw.bin"), dir.path(), false, false);
    auto b = m->startDownload(server_.url("/c/fw.bin"), dir.path(), false, false);
    QVERIFY(a && b);
    // Both run at once, so each needs a partial file of its own.
    QCOMPARE(a->filePath(), dir.filePath("fw.bin"));
    QCOMPARE(b->filePath(), dir.filePath("fw_1.bin"));
    // Overwriting a file that is still arriving is refused rather than mixing two bodies.
    QTest::ignoreMessage(QtDebugMsg, QRegularExpression(QStringLiteral("already running")));
    QVERIFY(!m->startDownload(server_.url("/c/fw.bin"), dir.path(), true, false));
    QCOMPARE(m->runningDownloads(), 2);

    QTRY_COMPARE(server_.heldCount(), 2);
    QSignalSpy fa(a.data(), &ZDownloadNotifier::downloadFinished);
    QSignalSpy fb(b.data(), &ZDownloadNotifier::downloadFinished);
    server_.release();
    QTRY_VERIFY(fa.count() == 1 && fb.count() == 1);
    QCOMPARE(readAll(a->filePath()), r.body);
    QCOMPARE(readAll(b->filePath()), r.body);
    QCOMPARE(filesIn(dir.path()), QStringList({"fw.bin", "fw_1.bin"}));
}

void TestDownload::requestSignalFromWorkerThread()
{
    QTemporaryDir dir;
    server_.setFile("/w/notes.txt", "from a worker");
    auto n = ZDownloadNotifier::create(server_.url("/w/notes.txt"), dir.filePath("notes.txt"));
    QSignalSpy finished(n.data(), &ZDownloadNotifier::downloadFinished);
    QThread* worker = QThread::create([n] { emit ZDownloadManager::instance()->downloadRequest(n, false); });
    worker->start();
    QVERIFY(worker->wait(5000));
    delete worker;
    QVERIFY(finished.wait(5000));
    QVERIFY(n->isFinished());
    QCOMPARE(readAll(dir.filePath("notes.txt")), QByteArray("from a worker"));
}

void TestDownload::productDownloadsComeFromConfiguredServer()
{
    // Release notes are fetched as the product code builds their address.
    QTemporaryDir dir;
    const QByteArray saved = qgetenv("TALMENO_DOWNLOAD_URL");
    qputenv("TALMENO_DOWNLOAD_URL", server_.baseUrl().toUtf8() + "/");
    server_.setFile("/products/trelvan/firmware/2.1/release-notes.txt", "[English]\nnotes");
    const QString p = ZDownloadManager::instance()->downloadAndWait(
        QUrl(productsDownloadUrl() + "/trelvan/firmware/2.1/release-notes.txt"), dir.path(), true);
    qputenv("TALMENO_DOWNLOAD_URL", saved);
    QCOMPARE(p, dir.filePath("release-notes.txt"));
    QCOMPARE(readAll(p), QByteArray("[English]\nnotes"));
    QVERIFY(!server_.requestedPaths().isEmpty());
    QCOMPARE(server_.requestedPaths().last(), QByteArray("/products/trelvan/firmware/2.1/release-notes.txt"));
}

void TestDownload::deletingManagerEndsRunningDownloads()
{
    QTemporaryDir dir;
    LocalHttpServer::Route r;
    r.body = pattern(4000, 2);
    r.holdAfterBytes = 100;
    server_.setRoute("/d/fw.bin", r);
    auto* m = ZDownloadManager::instance();
    auto n = m->startDownload(server_.url("/d/fw.bin"), dir.path(), false, false);
    QVERIFY(n);
    QTRY_COMPARE(QFileInfo(dir.filePath("fw.bin.downloading")).size(), qint64(100));
    QSignalSpy finished(n.data(), &ZDownloadNotifier::downloadFinished);
    delete m;
    QCOMPARE(finished.count(), 1);
    QCOMPARE(finished.first().at(0).toBool(), false);
    QCOMPARE(filesIn(dir.path()), QStringList());

    // A new manager comes up on the next use.
    auto* again = ZDownloadManager::instance();
    QVERIFY(again);
    server_.setFile("/d/fw.bin", "after restart");
    QCOMPARE(readAll(again->downloadAndWait(server_.url("/d/fw.bin"), dir.path(), false)), QByteArray("after restart"));
    delete again;
}

TALMENO_TEST_MAIN(TestDownload)
#include "tst_download.moc"
