#include <QMenu>
#include <QPointer>
#include <QRandomGenerator>
#include <QSocketNotifier>
#include <QTemporaryDir>
#include <QTextCodec>
#include <unistd.h>

#include "foundation/UserPaths.h"
#include "support/EventLog.h"
#include "support/testenv.h"
#include "widgets/PlainTextEditWithFile.h"
#include "widgets/ZWidgetHelpers.h"

namespace {
QByteArray readAll(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray("<unreadable>");
    return f.readAll();
}

QString menuTexts(QMenu* menu)
{
    QStringList texts;
    for (QAction* a : menu->actions())
        texts << a->text();
    return texts.join('|');
}
} // namespace

class TestConsole : public QObject
{
    Q_OBJECT

    QTemporaryDir dir_;
    QStringList openedFolders_;

private slots:
    void initTestCase()
    {
        QVERIFY(dir_.isValid());
        historyDataDir = dir_.path() + "/history_data";
        PlainTextEditWithFile::openFolderHook() = [this](const QString& folder) {
            openedFolders_ << folder;
        };
    }

    void init()
    {
        openedFolders_.clear();
        QDir(historyDataDir).removeRecursively();
    }

    // Gathered appends must leave the view and the file exactly as one append per
    // chunk would, whatever the chunks hold (line breaks, carriage returns, empty
    // chunks, multi-byte characters).
    void batchedAppendsMatchOneAppendPerChunk()
    {
        const QStringList alphabet = {"a", "bc", "\n", "\r", "\r\n", "", "é", "漢字", " ", "0a ff "};
        for (int round = 0; round < 20; ++round) {
            PlainTextEditWithFile console;
            QPlainTextEdit reference;
            QByteArray expectedFile;
            QRandomGenerator rng(round);
            const int chunks = 1 + rng.bounded(40);
            for (int i = 0; i < chunks; ++i) {
                QString chunk;
                const int parts = rng.bounded(4);
                for (int p = 0; p < parts; ++p)
                    chunk += alphabet.at(rng.bounded(alphabet.size()));
                console.appendText(chunk);
                reference.appendPlainText(chunk);
                expectedFile += chunk.toUtf8() + '\n';
                if (rng.bounded(5) == 0)
                    console.flushPending(); // mix of gathered and immediate writes
            }
            console.flushPending();
            QCOMPARE(console.toPlainText(), reference.toPlainText());
            QCOMPARE(console.document()->blockCount(), reference.document()->blockCount());
            QCOMPARE(console.fileSize(), qint64(expectedFile.size()));
            QCOMPARE(readAll(console.fileName()), expectedFile);
        }
    }

    // A file kept without a console (a box not built yet), then adopted by one,
    // leaves it showing, counting and saving what a console fed the same chunks from
    // the start does, the memory watch's emptying included; it holds no file open
    // while it waits, and its file goes with it.
    void keptFileAdoptedLateMatchesConsoleBuiltAtOnce()
    {
        auto* manager = PlainTextEditWithFileManager::instance();
        const double oldLimit = manager->memoryLimit();
        const QStringList alphabet = {"a", "bc", "\n", "\r", "\r\n", "", "é", "漢字", " ", "0a ff "};
        for (int round = 0; round < 30; ++round) {
            PlainTextEditWithFile early;
            auto* kept = new ConsoleFile;
            QVERIFY(manager->files().contains(kept));
            QRandomGenerator rng(round);
            const int chunks = 1 + rng.bounded(40);
            QStringList fed; // for the failure message
            for (int i = 0; i < chunks; ++i) {
                QString chunk;
                const int parts = rng.bounded(4);
                for (int p = 0; p < parts; ++p)
                    chunk += alphabet.at(rng.bounded(alphabet.size()));
                early.appendText(chunk);
                kept->append({chunk});
                fed << QString(chunk).replace("\r", "<CR>").replace("\n", "<LF>");
                if (rng.bounded(6) == 0) {
                    fed << "<watch>";
                    QCOMPARE(kept->viewCharacters(), qint64(early.characterCount()));
                    manager->setMemoryLimit(0.0);
                    manager->checkMemory(); // empties both, or neither when both are empty
                    QCOMPARE(kept->viewCharacters(), 0);
                }
            }
            manager->setMemoryLimit(oldLimit);
            PlainTextEditWithFile late;
            late.adopt(kept);
            QVERIFY(!manager->files().contains(kept));
            early.flushPending();
            QVERIFY2(late.toPlainText() == early.toPlainText(), qPrintable(fed.join('|')));
            QCOMPARE(late.document()->blockCount(), early.document()->blockCount());
            QCOMPARE(late.characterCount(), early.characterCount());
            QCOMPARE(late.fileName(), kept->fileName());
            QCOMPARE(readAll(late.fileName()), readAll(early.fileName()));
            late.appendText("after");
            early.appendText("after");
            late.flushPending();
            early.flushPending();
            QCOMPARE(late.toPlainText(), early.toPlainText());
            QCOMPARE(readAll(late.fileName()), readAll(early.fileName()));
        }

        // A thousand kept files hold no descriptor; each file goes with its keeper.
        const int openBefore = QDir("/proc/self/fd").entryList(QDir::Files | QDir::System).size();
        std::vector<std::unique_ptr<ConsoleFile>> many;
        for (int i = 0; i < 1024; ++i) {
            many.emplace_back(new ConsoleFile);
            many.back()->append({QString(100, QLatin1Char('x'))});
            QVERIFY(many.back()->isValid());
        }
        QCOMPARE(QDir("/proc/self/fd").entryList(QDir::Files | QDir::System).size(), openBefore);
        const QString name = many.front()->fileName();
        QCOMPARE(readAll(name), QString(100, QLatin1Char('x')).toLatin1() + '\n');
        many.clear();
        QVERIFY(!QFile::exists(name));
        QVERIFY(manager->files().isEmpty());
    }

    void appendsReachViewOnTheirOwn()
    {
        PlainTextEditWithFile console;
        QVERIFY(console.isReadOnly());
        QVERIFY(!console.document()->isUndoRedoEnabled());
        console.appendText("first");
        console.appendText("second");
        QCOMPARE(console.characterCount(), 11);
        // No explicit flush: the short timer must write them.
        QTRY_COMPARE_WITH_TIMEOUT(console.toPlainText(), QString("first\nsecond"), 1000);
        QCOMPARE(readAll(console.fileName()), QByteArray("first\nsecond\n"));
    }

    // Save copies everything since the previous save or clear, even after the view
    // was emptied, and starts the file afresh; the view keeps its text.
    void saveToFileKeepsEverythingSinceLastSave()
    {
        PlainTextEditWithFile console;
        const QString line(1000, QLatin1Char('x'));
        QByteArray expected;
        for (int i = 0; i < 1500; ++i) {
            console.appendText(line);
            expected += line.toLatin1() + '\n';
        }
        console.clearText(); // what the memory watch does
        QCOMPARE(console.toPlainText(), QString());
        QCOMPARE(console.characterCount(), 0);
        console.appendText("tail");
        expected += "tail\n";

        std::unique_ptr<QMenu> menu(console.createContextMenu());
        // 1,501,505 bytes / 1,048,576 = 1.43
        QVERIFY2(menuTexts(menu.get()).contains("|Save to File 1.43 MB|Clear"), qPrintable(menuTexts(menu.get())));

        // The file stays UTF-8 after the restart, whatever the locale's codec.
        QTextCodec* locale = QTextCodec::codecForLocale();
        QTextCodec::setCodecForLocale(QTextCodec::codecForName("ISO-8859-1"));
        const QString saved = console.saveToFile();
        QVERIFY(!saved.isEmpty());
        QCOMPARE(QFileInfo(saved).absolutePath(), QFileInfo(historyDataDir).absoluteFilePath());
        QVERIFY2(QRegularExpression("^\\d{4}_\\d\\d_\\d\\d-\\d\\d_\\d\\d_\\d\\d_\\d{3}\\.txt$")
                     .match(QFileInfo(saved).fileName()).hasMatch(), qPrintable(saved));
        QCOMPARE(readAll(saved), expected);
        QCOMPARE(openedFolders_, QStringList{historyDataDir});
        QCOMPARE(console.toPlainText(), QString("tail"));

        menu.reset(console.createContextMenu());
        QVERIFY2(menuTexts(menu.get()).contains("Save to File 0.00 MB"), qPrintable(menuTexts(menu.get())));

        console.appendText(QString::fromUtf8("after \xc3\xa9"));
        QTest::qWait(2); // distinct file name
        const QString second = console.saveToFile();
        QTextCodec::setCodecForLocale(locale);
        QVERIFY(!second.isEmpty() && second != saved);
        QCOMPARE(readAll(second), QByteArray("after \xc3\xa9\n"));
    }

    // A failed copy must not lose the data: it is logged and the next save holds it.
    void failedSaveKeepsData()
    {
        PlainTextEditWithFile console;
        console.appendText("kept 1");
        const QString good = historyDataDir;
        QFile blocker(dir_.path() + "/not_a_folder");
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        historyDataDir = blocker.fileName() + "/history_data";

        QTest::ignoreMessage(QtCriticalMsg, QRegularExpression("save file failed, please retry$"));
        QCOMPARE(console.saveToFile(), QString());
        QVERIFY(openedFolders_.isEmpty());
        QCOMPARE(console.fileSize(), qint64(7));

        console.appendText("kept 2"); // must go after, not over, the kept data
        historyDataDir = good;
        const QString saved = console.saveToFile();
        QVERIFY(!saved.isEmpty());
        QCOMPARE(readAll(saved), QByteArray("kept 1\nkept 2\n"));
        QCOMPARE(console.fileSize(), qint64(0));
    }

    void clearEmptiesViewAndFile()
    {
        PlainTextEditWithFile console;
        console.appendText("one");
        console.flushPending();
        console.appendText("pending two");
        std::unique_ptr<QMenu> menu(console.createContextMenu());
        QAction* clear = menu->actions().last();
        QCOMPARE(clear->text(), QString("Clear"));
        clear->trigger();
        QCOMPARE(console.toPlainText(), QString());
        QCOMPARE(console.characterCount(), 0);
        QCOMPARE(console.fileSize(), qint64(0));
        QTest::qWait(PlainTextEditWithFile::kFlushIntervalMs * 3);
        QCOMPARE(console.toPlainText(), QString()); // the gathered chunk went too
        console.appendText("three");
        console.flushPending();
        QCOMPARE(readAll(console.fileName()), QByteArray("three\n"));
    }

    // Past the limit the watch empties every view; the files keep everything, and
    // the menu still shows the full size.
    void memoryWatchEmptiesViewsKeepsFiles()
    {
        auto* manager = PlainTextEditWithFileManager::instance();
        const double oldLimit = manager->memoryLimit();
        PlainTextEditWithFile a, b;
        QVERIFY(manager->consoles().contains(&a) && manager->consoles().contains(&b));
        const QString text(100000, QLatin1Char('y'));
        a.appendText(text);
        b.appendText(text);
        b.appendText(text);
        // 300,000 characters are about 1.60 MiB.
        QVERIFY(qAbs(manager->estimatedMemory() - 300000 * 5.6 / 1048576) < 1e-9);

        manager->setMemoryLimit(2.0);
        QVERIFY(!manager->checkMemory());
        QCOMPARE(b.characterCount(), 200000);

        manager->setMemoryLimit(1.0);
        QVERIFY(manager->checkMemory());
        QCOMPARE(a.toPlainText(), QString());
        QCOMPARE(b.toPlainText(), QString());
        QCOMPARE(manager->estimatedMemory(), 0.0);
        QCOMPARE(b.fileSize(), qint64(200002));
        std::unique_ptr<QMenu> menu(b.createContextMenu());
        QVERIFY(menuTexts(menu.get()).contains("Save to File 0.19 MB"));

        // And the 3000 ms timer does it by itself.
        a.appendText(QString(200000, QLatin1Char('z')));
        QTRY_COMPARE_WITH_TIMEOUT(a.characterCount(), 0, 5000);
        QCOMPARE(a.fileSize(), qint64(300002));
        manager->setMemoryLimit(oldLimit);
    }

    // The console's font skips shaping, which draws what shaping would: hex
    // dumps, frame text, Chinese and Latin-1 letters look the same either way.
    void unshapedTextLooksTheSame()
    {
        QVERIFY(monospaceFont().styleStrategy() & QFont::PreferNoShaping);
        QFont shaped = monospaceFont();
        shaped.setStyleStrategy(QFont::PreferDefault);
        const QString text = QStringLiteral(
            "[system: 12:00:01.250, pc: 12:00:01.262]\n"
            "55 00 80 03 01 00 ff fe 7a 10 00 00 e8 03 00 00 a0 86 01 00 12 34 56 78 9a bc de f0\n"
            "distance(m): 12.345  fpRssi(dB): -81.50  \u8282\u70b9 \u6807\u7b7e  \u00e9\u00e8\u00fc\n"
            "-> AT+VER? <- OK fi ffi -- != <= ===");
        auto draw = [&](const QFont& font) {
            PlainTextEditWithFile console;
            console.setFont(font);
            console.resize(420, 200);
            console.appendText(text);
            console.flushPending();
            return console.grab().toImage();
        };
        const QImage unshapedImage = draw(monospaceFont());
        const QImage shapedImage = draw(shaped);
        QVERIFY(!unshapedImage.isNull());
        QCOMPARE(unshapedImage, shapedImage);
    }

    // Input that arrived while a batch was written (the serial port, read on the
    // same thread) is handled before the view's repaint, not after it; the view
    // still repaints, and a grab made at once (a screenshot) sees the text.
    void batchRepaintWaitsForPendingInput()
    {
        QWidget host;
        auto* console = new PlainTextEditWithFile(&host);
        console->resize(400, 200);
        host.resize(400, 200);
        talmeno_test::EventLog shown(QEvent::Paint);
        shown.watch(console->viewport(), "paint");
        host.show();
        QVERIFY(QTest::qWaitForWindowExposed(&host));
        // The paints of the show are over: the first came, any still asked for come now.
        QTRY_VERIFY(shown.count("paint") > 0);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);

        int fds[2];
        QCOMPARE(::pipe(fds), 0);
        talmeno_test::EventLog order(QEvent::Paint);
        order.watch(console->viewport(), "paint");
        QSocketNotifier notifier(fds[0], QSocketNotifier::Read);
        connect(&notifier, &QSocketNotifier::activated, this, [&] {
            char byte;
            QCOMPARE(::read(fds[0], &byte, 1), ssize_t(1));
            order.entries << "input";
        });

        console->appendText("55 00 80 03 01 00 ff fe");
        QCOMPARE(::write(fds[1], "x", 1), ssize_t(1));
        console->flushPending();
        QTRY_VERIFY(order.count("paint") > 0);
        QCOMPARE(order.entries.first(), QString("input"));

        console->appendText(QString(40, QChar('W')));
        console->flushPending();
        console->resumeRepaint(); // what a screenshot does first
        const QImage atOnce = host.grab().toImage();
        QTest::qWait(50);
        QCOMPARE(atOnce, host.grab().toImage());
        ::close(fds[0]);
        ::close(fds[1]);
    }

    // Consoles outliving their manager (the program's teardown order) must not reach it.
    void consoleDestroyedAfterManager()
    {
        auto* owner = new QObject;
        auto* first = PlainTextEditWithFileManager::instance();
        delete first; // start afresh with an owned manager
        QVERIFY(!PlainTextEditWithFileManager::existingInstance());
        auto* manager = PlainTextEditWithFileManager::instance(owner);
        QCOMPARE(manager->parent(), owner);
        auto* console = new PlainTextEditWithFile;
        QVERIFY(manager->consoles().contains(console));
        auto* other = new PlainTextEditWithFile;
        delete other;
        QVERIFY(!manager->consoles().contains(other));
        QCOMPARE(manager->consoles().size(), 1);

        delete owner;
        QVERIFY(!PlainTextEditWithFileManager::existingInstance());
        console->appendText("still works");
        console->flushPending();
        QCOMPARE(console->toPlainText(), QString("still works"));
        delete console; // must not touch the deleted manager
        QVERIFY(!PlainTextEditWithFileManager::existingInstance());
    }
};

TALMENO_TEST_MAIN(TestConsole)
#include "tst_console.moc"
