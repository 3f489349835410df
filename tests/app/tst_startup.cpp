#include <QDir>
#include <QMainWindow>
#include <QMessageBox>
#include <QMutex>
#include <QProcess>
#include <QRegularExpression>
#include <QSerialPortInfo>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <stdexcept>
#include <thread>

#include "app/MainWindow.h"
#include "app/ZApplication.h"
#include "foundation/UserPaths.h"
#include "foundation/ZHooks.h"
#include "foundation/ZThreadManager.h"
#include "foundation/ZTimerManager.h"
#include "foundation/ZWidgetLogger.h"
#include "support/testenv.h"

// The start-up and teardown of the whole program run in a child process: this test
// starts itself again with TALMENO_CHILD_SCENARIO set, and the child runs the
// program's own main with a scenario injected when its application object is made.
namespace child {

QByteArray scenario;

void say(const QString& line)
{
    std::fprintf(stdout, "%s\n", line.toUtf8().constData());
    std::fflush(stdout);
}

void act()
{
    if (scenario == "throw-std")
        throw std::runtime_error("boom in a slot");
    if (scenario == "throw-qstring")
        throw QString("qstring boom");
    if (scenario == "throw-other")
        throw 42;

    // "run": report what start-up built, then close the window like a user.
    MainWindow* window = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* m = qobject_cast<MainWindow*>(w))
            window = m;
    say("window:" + QString(window && window->isVisible() ? "shown" : "missing"));
    say("organization:" + QCoreApplication::organizationName());
    say("application:" + QCoreApplication::applicationName());
    say("version:" + QCoreApplication::applicationVersion());
    say("settings:" + QSettings().fileName());
    say("format-ini:" + QString::number(QSettings::defaultFormat() == QSettings::IniFormat));
    ZThreadManager* tm = ZThreadManager::instance();
    say("timers-in-slot5:" + QString::number(ZTimerManager::instance()->thread() == tm->thread(5)));
    int running = 0;
    for (int n = 1; n <= 5; ++n)
        running += tm->thread(n)->isRunning() ? 1 : 0;
    say("running-before-close:" + QString::number(running));
    ZWidgetLogger* logger = ZWidgetLogger::current();
    say("logger-in-window:" + QString::number(logger && logger->window() == window));
    say("qvector-int-registered:" + QString::number(QMetaType::type("QVector<int>") != QMetaType::UnknownType));
    statusBarHook("status text from the child");
    ZTimerManager::instance()->wait(50); // through slot 5, with the loop running
    window->close();
    running = 0;
    for (int n = 1; n <= 5; ++n)
        running += tm->thread(n)->isRunning() ? 1 : 0;
    say("running-after-close:" + QString::number(running));
}

void preRoutine()
{
    QTimer::singleShot(200, QCoreApplication::instance(), &act);
}

int run(int argc, char** argv)
{
    scenario = qgetenv("TALMENO_CHILD_SCENARIO");
    qAddPreRoutine(&preRoutine);
    return talmenoMain(argc, argv);
}

} // namespace child

namespace {

struct ChildResult
{
    QProcess::ExitStatus status;
    int code;
    QString out;
    QString err;
};

QByteArray readFile(const QString& path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

// Captures messages in this process.
QMutex g_capturedMutex;
QStringList g_captured;
void captureHandler(QtMsgType type, const QMessageLogContext&, const QString& text)
{
    QMutexLocker lock(&g_capturedMutex);
    g_captured << QString::number(type) + "|" + text;
}

} // namespace

class TstStartup : public QObject
{
    Q_OBJECT

    QTemporaryDir root;

    // Runs a copy of this executable (its folder is then ours) with a scenario.
    ChildResult runChild(const QByteArray& scenario, const QString& binDir, const QString& configHome)
    {
        const QString exe = binDir + "/" + QFileInfo(QCoreApplication::applicationFilePath()).fileName();
        if (!QFile::exists(exe)) {
            QDir().mkpath(binDir);
            QFile::copy(QCoreApplication::applicationFilePath(), exe);
        }
        {
            // The machine's own serial ports stay closed in the child.
            QSettings childSettings(configHome + "/Quorvel/" + QFileInfo(exe).baseName() + ".ini",
                                    QSettings::IniFormat);
            QStringList realPorts;
            for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
                realPorts << info.portName();
            childSettings.setValue("SerialPort/IgnoredPortNames", realPorts);
        }
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("TALMENO_CHILD_SCENARIO", QString::fromUtf8(scenario));
        env.insert("XDG_CONFIG_HOME", configHome);
        // A core file per crash scenario helps nobody.
        p.setProcessEnvironment(env);
        p.start("/bin/sh", {"-c", "ulimit -c 0; exec \"$0\"", exe});
        if (!p.waitForFinished(60000))
            p.kill();
        return {p.exitStatus(), p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
                QString::fromUtf8(p.readAllStandardError())};
    }

    static QString newestLog(const QString& configHome)
    {
        QDir dir(configHome + "/Quorvel/user_data/log");
        const QStringList files = dir.entryList({"log_*.txt"}, QDir::Files, QDir::Name);
        return files.isEmpty() ? QString() : dir.filePath(files.last());
    }

private slots:
    void startAndCloseTheProgram()
    {
        const QString bin = root.filePath("run/bin");
        const QString config = root.filePath("run/config");
        const QString logs = config + "/Quorvel/user_data/log";
        QDir().mkpath(logs);
        QStringList old;
        for (int i = 0; i < 400; ++i) {
            old << QString("log_2021%1_120000_000.txt").arg(1000 + i);
            QFile f(logs + "/" + old.last());
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        QDir().mkpath(bin + "/official_model_data/sub");
        QFile model(bin + "/official_model_data/Shipped.ini");
        QVERIFY(model.open(QIODevice::WriteOnly));
        model.write("[Window]\n");
        model.close();

        const ChildResult r = runChild("run", bin, config);
        QVERIFY2(r.status == QProcess::NormalExit && r.code == 0, qPrintable(r.err));
        const QString exeName = QFileInfo(QCoreApplication::applicationFilePath()).baseName();
        QVERIFY2(r.out.contains("window:shown\n"), qPrintable(r.out));
        QVERIFY(r.out.contains("organization:Quorvel\n"));
        QVERIFY(r.out.contains("application:" + exeName + "\n"));
        QVERIFY(r.out.contains("version:4.11.0\n")); // highest release-notes key, part by part
        QVERIFY(r.out.contains("settings:" + config + "/Quorvel/" + exeName + ".ini\n"));
        QVERIFY(r.out.contains("format-ini:1\n"));
        QVERIFY(r.out.contains("timers-in-slot5:1\n"));
        QVERIFY(r.out.contains("running-before-close:5\n"));
        QVERIFY(r.out.contains("logger-in-window:1\n"));
        QVERIFY(r.out.contains("qvector-int-registered:1\n"));
        QVERIFY(r.out.contains("running-after-close:0\n"));

        // Folders beside the settings file.
        const QString s = config + "/Quorvel";
        QVERIFY(QFileInfo(s + "/color_scheme").isDir());
        for (const char* sub : {"customized_protocol", "model_data", "log", "screenshot", "export_data",
                                "history_data", "export_code", "recording_data", "picture"})
            QVERIFY2(QFileInfo(s + "/user_data/" + sub).isDir(), sub);

        // 365 old log files and the new one.
        const QStringList now = QDir(logs).entryList(QDir::Files, QDir::Name);
        QCOMPARE(now.size(), 366);
        QVERIFY(!now.contains(old.at(34)));
        QVERIFY(now.contains(old.at(35)));
        const QByteArray log = readFile(newestLog(config));
        QVERIFY(!old.contains(QFileInfo(newestLog(config)).fileName()));
        // The status hook logs at info level with the text quoted, CR LF ended.
        QVERIFY2(QRegularExpression("\\[\\d\\d\\.\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d\\d\\d\\] \"status text from the child\"\r\n")
                     .match(QString::fromUtf8(log))
                     .hasMatch(),
                 log.constData());
        QVERIFY(r.err.contains("\"status text from the child\"\n"));

        // The official model files were installed and their folder removed.
        QCOMPARE(readFile(s + "/user_data/model_data/Shipped.ini"), QByteArray("[Window]\n"));
        QVERIFY(!QFileInfo::exists(bin + "/official_model_data"));
    }

    void exceptionInEventHandlerEndsTheProcess_data()
    {
        QTest::addColumn<QByteArray>("scenario");
        QTest::addColumn<QString>("line");
        QTest::newRow("std") << QByteArray("throw-std")
                             << "in event handle,uncatched std exception occured:{} boom in a slot";
        QTest::newRow("QString") << QByteArray("throw-qstring") << "\"qstring boom\" , program exited";
        QTest::newRow("other") << QByteArray("throw-other")
                               << "in event handle,uncatched non std exception occured,program exited";
    }

    void exceptionInEventHandlerEndsTheProcess()
    {
        QFETCH(QByteArray, scenario);
        QFETCH(QString, line);
        const QString config = root.filePath("crash-" + QString::fromUtf8(scenario));
        const ChildResult r = runChild(scenario, root.filePath("crash/bin"), config);
        QCOMPARE(r.status, QProcess::CrashExit); // ended at once, no teardown
        QVERIFY2(!r.out.contains("window:"), qPrintable(r.out));
        const QRegularExpression expected("\\[\\d\\d\\.\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d\\d\\d\\] " +
                                          QRegularExpression::escape(line) + "\n");
        QVERIFY2(expected.match(r.err).hasMatch(), qPrintable(r.err));
        // One critical line, flushed into the log file before the end.
        const QString log = QString::fromUtf8(readFile(newestLog(config)));
        QCOMPARE(log.count(line), 1);
        QVERIFY(log.contains(line + "\r\n"));
    }

    void mainGuardReturnsOne_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("line");
        QTest::newRow("std") << 0 << "uncatched std exception occured: bad start";
        QTest::newRow("QString") << 1 << "\"text of a QString\" , program exited";
        QTest::newRow("char pointer") << 2 << "plain text , program exited";
        QTest::newRow("other") << 3 << "uncatched non std exception occured,program exited";
    }

    void mainGuardReturnsOne()
    {
        QFETCH(int, kind);
        QFETCH(QString, line);
        {
            QMutexLocker lock(&g_capturedMutex);
            g_captured.clear();
        }
        QtMessageHandler previous = qInstallMessageHandler(captureHandler);
        const int rc = runGuarded([kind]() -> int {
            switch (kind) {
            case 0: throw std::logic_error("bad start");
            case 1: throw QString("text of a QString");
            case 2: throw "plain text";
            default: throw 3.5;
            }
        });
        qInstallMessageHandler(previous);
        QCOMPARE(rc, 1);
        QMutexLocker lock(&g_capturedMutex);
        QCOMPARE(g_captured.size(), 1);
        QVERIFY2(g_captured.first().startsWith(QString::number(QtCriticalMsg) + "|["), qPrintable(g_captured.first()));
        QVERIFY2(g_captured.first().endsWith("] " + line), qPrintable(g_captured.first()));

        QCOMPARE(runGuarded([] { return 7; }), 7); // without an exception: body's result
    }

    void windowSize()
    {
        QSize size;
        QVERIFY(MainWindow::initialSize(QSize(1920, 1040), &size));
        QCOMPARE(size, QSize(1177, 728));
        size = QSize(-1, -1);
        QVERIFY(!MainWindow::initialSize(QSize(800, 1600), &size)); // tall and narrow
        QCOMPARE(size, QSize(-1, -1));
    }

    void hooksReachTheWindowFromAnyThread()
    {
        initUserDataFolders();
        {
            // Before the window, the hooks only log.
            QtMessageHandler previous = qInstallMessageHandler(captureHandler);
            {
                QMutexLocker lock(&g_capturedMutex);
                g_captured.clear();
            }
            messageBoxHook("early box");
            statusBarHook("early status");
            qInstallMessageHandler(previous);
            QMutexLocker lock(&g_capturedMutex);
            QCOMPARE(g_captured.size(), 2);
            QVERIFY(g_captured.at(0).startsWith(QString::number(QtWarningMsg) + "|"));
            QVERIFY(g_captured.at(0).endsWith("\"early box\""));
            QVERIFY(g_captured.at(1).startsWith(QString::number(QtInfoMsg) + "|"));
        }

        auto* window = new MainWindow;
        QThread* boxThread = nullptr;
        QString boxText, boxTitle;
        QTimer closer;
        connect(&closer, &QTimer::timeout, this, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                boxThread = QThread::currentThread();
                boxText = box->text();
                boxTitle = box->windowTitle();
                box->accept();
            }
        });
        closer.start(10);
        std::thread worker([] { messageBoxHook("from a worker"); });
        worker.join();
        QTRY_COMPARE(boxText, QString("from a worker"));
        QCOMPARE(boxTitle, QString("Warning"));
        QCOMPARE(boxThread, QApplication::instance()->thread());
        closer.stop();

        QtMessageHandler previous = qInstallMessageHandler(captureHandler);
        {
            QMutexLocker lock(&g_capturedMutex);
            g_captured.clear();
        }
        std::thread statusWorker([] { statusBarHook("status from a worker"); });
        statusWorker.join();
        QTRY_VERIFY([] {
            QMutexLocker lock(&g_capturedMutex);
            return !g_captured.isEmpty();
        }());
        qInstallMessageHandler(previous);
        {
            QMutexLocker lock(&g_capturedMutex);
            QVERIFY(g_captured.first().startsWith(QString::number(QtInfoMsg) + "|["));
            QVERIFY(g_captured.first().endsWith("] \"status from a worker\""));
        }

        window->close();
        for (int n = 1; n <= 5; ++n)
            QVERIFY(!ZThreadManager::instance()->thread(n)->isRunning());
        delete window;
        // Gone with the window: back to logging.
        previous = qInstallMessageHandler(captureHandler);
        statusBarHook("after the window");
        qInstallMessageHandler(previous);
        QMutexLocker lock(&g_capturedMutex);
        QVERIFY(!g_captured.isEmpty());
        QVERIFY(g_captured.last().endsWith("\"after the window\""));
        lock.unlock();
        delete ZThreadManager::instance();
    }
};

#define main talmenoTestMain
TALMENO_TEST_MAIN(TstStartup)
#undef main

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsEmpty("TALMENO_CHILD_SCENARIO"))
        return child::run(argc, argv);
    return talmenoTestMain(argc, argv);
}

#include "tst_startup.moc"
