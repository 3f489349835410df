#include <QAction>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <thread>

#include "foundation/ZColorSchemeManager.h"
#include "foundation/ZLog.h"
#include "foundation/ZWidgetLogger.h"
#include "helpers/StderrCapture.h"
#include "support/testenv.h"

namespace {
const QRegularExpression kPrefix("^\\[\\d\\d\\.\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d\\d\\d\\] ");

QByteArray readAll(const QString& path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

// Letters, not digits: numbered lines would be one message repeated.
QString distinct(int i)
{
    return QString("%1%2%3").arg(QChar('a' + i / 676), QChar('a' + i / 26 % 26), QChar('a' + i % 26));
}
} // namespace

class UrlCatcher : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void openUrl(const QUrl& url) { urls << url; }
};

// Runs in declaration order: first without a window, then with one.
class TstLogger : public QObject
{
    Q_OBJECT

    QTemporaryDir home;
    QString logFolder;
    ZWidgetLogger* logger = nullptr;

    void drain() { logger->showPendingMessages(); }
    QString history() const { return logger->historyView()->toPlainText(); }
    QString historyHtml() const { return logger->historyView()->toHtml(); }

private slots:
    void initTestCase()
    {
        QVERIFY(home.isValid());
        logFolder = home.filePath("user_data/log");
        QSettings().remove("Log");
        ZWidgetLogger::installMessageHandler();
    }

    // Run alone, a case after the window's first finds the window as it does in order.
    void init()
    {
        const QByteArray name = QTest::currentTestFunction();
        if (!logger && name != "beforeTheWindowOnlyStderr" && name != "rotationKeeps365OldFiles")
            rotationKeeps365OldFiles();
    }

    void beforeTheWindowOnlyStderr()
    {
        StderrCapture err;
        zInfo() << "early info line";
        qDebug() << "early debug line";
        const QByteArray text = err.text();
        QVERIFY(text.contains("early info line\n"));
        QVERIFY(!text.contains("early debug line")); // debug is off until the window exists
        QCOMPARE(ZWidgetLogger::current(), nullptr);
        QVERIFY(ZWidgetLogger::logFilePath().isEmpty());
    }

    void rotationKeeps365OldFiles()
    {
        QDir().mkpath(logFolder);
        QStringList names;
        for (int i = 0; i < 400; ++i) {
            const QString name = QString("log_2020%1_000000_000.txt").arg(1000 + i); // sorted by i
            QFile f(logFolder + "/" + name);
            QVERIFY(f.open(QIODevice::WriteOnly));
            names << name;
        }
        logger = ZWidgetLogger::instance(logFolder, nullptr);
        QVERIFY(logger);
        QCOMPARE(ZWidgetLogger::instance("/elsewhere", nullptr), logger);
        QCOMPARE(ZWidgetLogger::current(), logger);
        QCOMPARE(logger->windowTitle(), QString("Logger "));
        logger->resize(900, 40);
        logger->show();
        QVERIFY(QTest::qWaitForWindowExposed(logger));

        const QStringList now = QDir(logFolder).entryList(QDir::Files, QDir::Name);
        QCOMPARE(now.size(), 366);
        for (int i = 0; i < 35; ++i)
            QVERIFY(!now.contains(names.at(i)));
        for (int i = 35; i < 400; ++i)
            QVERIFY(now.contains(names.at(i)));
        const QString created = QFileInfo(ZWidgetLogger::logFilePath()).fileName();
        QVERIFY(now.contains(created));
        QVERIFY2(QRegularExpression("^log_\\d{8}_\\d{6}_\\d{3}\\.txt$").match(created).hasMatch(), qPrintable(created));
        QCOMPARE(QFileInfo(ZWidgetLogger::logFilePath()).absolutePath(), QFileInfo(logFolder).absoluteFilePath());
    }

    void fileAndStderrGetEveryLine()
    {
        StderrCapture err;
        zInfo() << "plain info";
        zDebug() << "now debug";
        zWarning() << "warn ünïcödé 测试";
        qInfo() << "no prefix of our own"; // the handler adds nothing
        ZWidgetLogger::flushLogFile();
        const QByteArray file = readAll(ZWidgetLogger::logFilePath());
        const QList<QByteArray> lines = file.split('\n');
        QCOMPARE(lines.last(), QByteArray()); // every line ends in a newline
        QStringList texts;
        for (int i = 0; i < lines.size() - 1; ++i) {
            QVERIFY2(lines.at(i).endsWith('\r'), lines.at(i).constData());
            texts << QString::fromUtf8(lines.at(i).chopped(1));
        }
        // Other components may log meanwhile: keep our lines, in their order.
        texts = texts.filter(QRegularExpression("plain info|now debug|warn ünïcödé|no prefix of our own"));
        QCOMPARE(texts.size(), 4);
        QVERIFY(kPrefix.match(texts.at(0)).hasMatch());
        QVERIFY(texts.at(0).endsWith(" plain info"));
        QVERIFY(texts.at(1).endsWith(" now debug"));
        QVERIFY(texts.at(2).endsWith(" warn ünïcödé 测试"));
        QCOMPARE(texts.at(3), QString("no prefix of our own"));

        const QString errText = QString::fromUtf8(err.text());
        QVERIFY(errText.contains(" plain info\n"));
        QVERIFY(errText.contains(" warn ünïcödé 测试\n"));
        QVERIFY(!errText.contains('\r'));
    }

    void levelFilterAndColours()
    {
        drain();
        logger->historyView()->clear();
        QComboBox* combo = logger->levelComboBox();
        QCOMPARE(combo->count(), 5);
        QStringList items;
        for (int i = 0; i < combo->count(); ++i)
            items << combo->itemText(i);
        QCOMPARE(items, (QStringList{"Debug", "Info", "Warning", "Error", "Fatal"}));
        QCOMPARE(combo->currentText(), QString("Info")); // the default

        combo->setCurrentIndex(combo->findText("Warning"));
        QCOMPARE(QSettings().value("Log/LogLevel").toString(), QString("Warning"));

        zInfo() << "hidden info";
        zCritical() << "shown critical";
        zWarning() << "shown warning";
        drain();
        QVERIFY(!history().contains("hidden info"));
        QVERIFY(history().contains("shown critical"));
        QVERIFY(history().contains(QRegularExpression("Error\\s+: \\[[^\\]]+\\]\\s+shown critical")));
        QVERIFY(history().contains(QRegularExpression("Warning\\s*: \\[[^\\]]+\\]\\s+shown warning")));
        // The line is the template filled with the coloured prefix and the text.
        QVERIFY2(logger->messageLabel()->text().startsWith(
                     "<html><head/><body><p><span style=\" font-weight:600; color:#ce5c00;\">Warning: </span>["),
                 qPrintable(logger->messageLabel()->text()));
        QVERIFY(logger->messageLabel()->text().endsWith(" shown warning</span></p></body></html>"));
        QVERIFY(historyHtml().contains("#cc0000"));
        QVERIFY(historyHtml().contains("#ce5c00"));
        QVERIFY(!logger->messageLabel()->text().contains("hidden info"));
        ZWidgetLogger::flushLogFile();
        QVERIFY(readAll(ZWidgetLogger::logFilePath()).contains(" hidden info\r\n")); // the file gets all

        combo->setCurrentIndex(combo->findText("Debug"));
        logger->historyView()->clear();
        zDebug() << "debug coloured";
        zInfo() << "info coloured";
        drain();
        const QString html = historyHtml();
        QVERIFY(html.contains(ZColorSchemeManager::instance()->color(0).name()));
        QVERIFY(html.contains("#4e9a06"));
        QVERIFY(history().contains(QRegularExpression("Debug\\s+: \\[[^\\]]+\\]\\s+debug coloured")));
        QVERIFY(history().contains(QRegularExpression("Info\\s+: \\[[^\\]]+\\]\\s+info coloured")));
        combo->setCurrentIndex(combo->findText("Info"));
    }

    void messageLineAndDisplayTimes()
    {
        drain();

        zWarning() << "a warning line";
        drain();
        QVERIFY(logger->isMessageShown());
        QVERIFY(logger->messageTimer()->isActive());
        QCOMPARE(logger->messageTimer()->interval(), 8000);
        QVERIFY(logger->messageLabel()->text().contains("a warning line"));

        zInfo() << "an info line";
        drain();
        QCOMPARE(logger->messageTimer()->interval(), 6000);
        QVERIFY(logger->messageLabel()->text().contains("an info line"));
        QVERIFY(!logger->messageLabel()->text().contains("a warning line"));

        zCritical() << "a critical line";
        drain();
        QCOMPARE(logger->messageTimer()->interval(), 10000);

        // When the display time ends, the line is cleared and the link label returns.
        QTest::qWait(50); // the platform's own warnings of the first show come and go
        drain();
        logger->messageTimer()->setInterval(5);
        QTRY_VERIFY(!logger->isMessageShown());
        QVERIFY(logger->messageLabel()->text().isEmpty());
        QVERIFY(!logger->messageTimer()->isActive());

        // The drain timer does the same by itself.
        zInfo() << "drained by the timer";
        QTRY_VERIFY(logger->messageLabel()->text().contains("drained by the timer"));
    }

    void longAndMarkupTexts()
    {
        drain();
        logger->historyView()->clear();
        const QString longText = "begin " + QString("x").repeated(600) + " end";
        zInfo() << longText;
        drain();
        const QString label = logger->messageLabel()->text();
        QVERIFY(label.contains(QChar(0x2026))); // elided ...
        QVERIFY(!label.contains(" end"));
        QVERIFY(label.contains("begin "));
        QVERIFY(history().contains(longText)); // ... whole in the history

        zInfo() << "<b>bold?</b> & more";
        drain();
        QVERIFY(history().contains("<b>bold?</b> & more")); // shown as written
    }

    void workerThreadsReachTheWindow()
    {
        drain();
        logger->historyView()->clear();
        const auto line = [](int t, int i) { return QString("worker %1 line %2;").arg(QChar('A' + t), distinct(i)); };
        std::vector<std::thread> threads;
        for (int t = 0; t < 4; ++t)
            threads.emplace_back([t, line] {
                for (int i = 0; i < 50; ++i)
                    zInfo() << line(t, i);
            });
        for (auto& th : threads)
            th.join();
        drain();
        const QString text = history();
        for (int t = 0; t < 4; ++t)
            for (int i = 0; i < 50; ++i)
                QVERIFY(text.contains(line(t, i)));
    }

    // A message repeated without pause (its numbers, frame dump or hexadecimal id
    // changing) is written once a second, then a line counting the rest; another
    // message meanwhile, even one sharing its first words, is written at once.
    void floodOfOneMessage_data()
    {
        QTest::addColumn<QString>("text"); // %1: what changes from line to line
        QTest::addColumn<QString>("words"); // the message as its count line shows it
        QTest::addColumn<QString>("other");
        QTest::addColumn<int>("kind"); // of what changes: 0 a number, 1 a frame dump, 2 a hexadecimal id
        QTest::newRow("numbers") << "flooding frame %1" << "flooding frame #" << "another message" << 0;
        QTest::newRow("frame dump") << "Vexa_Trelvan_Node_Frame0 verify successed,but length not enough:%1"
                                    << "Vexa_Trelvan_Node_Frame# verify successed,but length not enough:<hex>"
                                    << "Vexa_Trelvan_Node_Frame1: record count 9 reaches past the frame" << 1;
        QTest::newRow("hexadecimal id") << "iot_frame0: record of node %1 skipped" << "iot_frame#: record of node # skipped"
                                        << "iot_frame0: record of node 7 kept" << 2;
    }

    void floodOfOneMessage()
    {
        QFETCH(QString, text);
        QFETCH(QString, words);
        QFETCH(QString, other);
        QFETCH(int, kind);
        StderrCapture err; // the flood stays off the test's output
        const QString path = ZWidgetLogger::logFilePath();
        QRandomGenerator rng(7);
        QElapsedTimer clock;
        clock.start();
        int sent = 0;
        while (clock.elapsed() < 2500) {
            const quint64 r = rng.generate64();
            const QString values[] = {QString::number(++sent), logHex(QByteArray(reinterpret_cast<const char*>(&r), 8)),
                                      QString::number(quint32(r) >> 4 | 0x10000000u, 16)};
            zWarning() << text.arg(values[kind]);
            if (sent == 100)
                zWarning() << other;
        }
        const qint64 seconds = clock.elapsed() / 1000;
        const QStringList around = text.split("%1");
        const QRegularExpression flood("\\] (?:" + QRegularExpression::escape(around.first()) + "[0-9a-f ]+"
                                           + QRegularExpression::escape(around.last()) + "|" + QRegularExpression::escape(words)
                                           + " \\((\\d+) more in the last second\\))\r$",
                                       QRegularExpression::MultilineOption);
        int lines = 0, left = 0;
        // The last second's count comes when that second is over, with no message after it.
        QTRY_VERIFY_WITH_TIMEOUT(([&] {
                                     lines = left = 0;
                                     for (auto it = flood.globalMatch(readAll(path)); it.hasNext();) {
                                         const QString more = it.next().captured(1);
                                         more.isEmpty() ? ++lines : left += more.toInt();
                                     }
                                     return lines + left == sent;
                                 }()),
                                 5000);
        QVERIFY2(lines >= 2 && lines <= seconds + 1, qPrintable(QString("%1 lines in %2 s").arg(lines).arg(seconds)));
        QVERIFY(sent > lines);
        QCOMPARE(readAll(path).count(("] " + other + "\r\n").toUtf8()), 1);
    }

    // An info line is on disk within a second, though only warnings flush at once.
    void fileFlushedEverySecond()
    {
        zInfo() << "info line bound for the disk";
        QTRY_VERIFY_WITH_TIMEOUT(readAll(ZWidgetLogger::logFilePath()).contains("info line bound for the disk\r\n"),
                                 5000);
    }

    // At most 10,000 lines wait for the window's thread; the oldest go, counted.
    void pendingLinesBounded()
    {
        drain();
        QComboBox* combo = logger->levelComboBox();
        combo->setCurrentIndex(combo->findText("Warning"));
        logger->historyView()->clear();
        {
            StderrCapture err;
            for (int i = 0; i < 10500; ++i)
                zInfo() << "waiting line " + distinct(i);
        }
        drain();
        drain();
        QVERIFY2(history().contains("log window behind: 500 oldest lines not shown"), qPrintable(history()));
        combo->setCurrentIndex(combo->findText("Info"));
    }

    void historyWindowActions()
    {
        QVERIFY(!logger->historyWindow()->isVisible());
        auto* button = logger->findChild<QToolButton*>("showHistoryButton");
        QVERIFY(button);
        QCOMPARE(button->toolTip(), QString("Show History"));
        button->click();
        QVERIFY(logger->historyWindow()->isVisible());

        auto* clear = logger->historyWindow()->findChild<QAction*>("clearHistoryAction");
        auto* open = logger->historyWindow()->findChild<QAction*>("openLogDirAction");
        QVERIFY(clear && open);
        QCOMPARE(clear->text(), QString("Clear History"));
        QCOMPARE(open->text(), QString("Open Log Dir"));

        zInfo() << "to be cleared";
        drain();
        QVERIFY(!history().isEmpty());
        clear->trigger();
        QVERIFY(history().isEmpty());

        UrlCatcher catcher;
        QDesktopServices::setUrlHandler("file", &catcher, "openUrl");
        open->trigger();
        QDesktopServices::unsetUrlHandler("file");
        QCOMPARE(catcher.urls.size(), 1);
        QCOMPARE(QFileInfo(catcher.urls.first().toLocalFile()).absoluteFilePath(), QFileInfo(logFolder).absoluteFilePath());

        logger->historyWindow()->resize(640, 300);
        QCOMPARE(logger->historyWindow()->size(), QSize(640, 300));
    }

    void settingsPersistAcrossWindows()
    {
        logger->historyWindow()->resize(640, 300); // as the history case leaves it
        const QString firstFile = ZWidgetLogger::logFilePath();
        QSettings().setValue("Log/LogLevel", "Error");
        delete logger;
        logger = nullptr;
        QCOMPARE(ZWidgetLogger::current(), nullptr);
        QCOMPARE(QSettings().value("Log/LogWindowSize").toSize(), QSize(640, 300));

        // The default handler is back and the file is closed.
        zInfo() << "after the window";
        QVERIFY(!readAll(firstFile).contains("after the window"));

        ZWidgetLogger::installMessageHandler();
        QTest::qWait(5); // a distinct time stamp for the next file
        logger = ZWidgetLogger::instance(logFolder, nullptr);
        QCOMPARE(logger->levelComboBox()->currentText(), QString("Error"));
        QCOMPARE(logger->historyWindow()->size(), QSize(640, 300));
        QVERIFY(ZWidgetLogger::logFilePath() != firstFile);
        // 365 old files are kept besides the new one.
        QCOMPARE(QDir(logFolder).entryList(QDir::Files).size(), 366);

        // An unknown stored level falls back to the default.
        delete logger;
        QSettings().setValue("Log/LogLevel", "Loud");
        ZWidgetLogger::installMessageHandler();
        logger = ZWidgetLogger::instance(logFolder, nullptr);
        QCOMPARE(logger->levelComboBox()->currentText(), QString("Info"));
    }

    void unwritableLogFolder()
    {
        delete logger;
        logger = nullptr;
        QFile blocker(home.filePath("not_a_folder"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        ZWidgetLogger::installMessageHandler();
        StderrCapture err;
        logger = ZWidgetLogger::instance(home.filePath("not_a_folder/log"), nullptr);
        QVERIFY(err.text().contains("could not create log file\n"));
        QVERIFY(ZWidgetLogger::logFilePath().isEmpty());
        // Logging goes on to the error stream and the window.
        zWarning() << "still logged";
        QVERIFY(err.text().contains(" still logged\n"));
        drain();
        QVERIFY(history().contains("still logged"));
    }

    void cleanupTestCase()
    {
        delete logger;
        delete ZColorSchemeManager::instance();
    }
};

TALMENO_TEST_MAIN(TstLogger)
#include "tst_logger.moc"
