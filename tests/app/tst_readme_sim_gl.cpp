// The README's way of trying the program without a device, followed word for word:
// for every simulator command it shows (one at a time, its link at a private path)
// the simulator is started, then the program with the link among its ports and a
// new user's settings. The program runs in a child process (this test started
// again, running the program's own main) that watches it from inside: the device
// is opened and recognised with no click and fills the page or window that the
// README names, which recognition loads; a Trelvan node's setting shows the
// streamed kind as its protocol. A command the simulator does not know, or a device
// that shows something else than the README says, fails.

#include "app/MainWindow.h"
#include "app/ZApplication.h"
#include "foundation/ZHooks.h"
#include "link/ZSerialPort.h"
#include "link/ZUiSerialPortAssistant.h"
#include "products/trelvan/config/ConfigItems.h"
#include "products/trelvan/config/WidgetSetting.h"
#include "protocol/ProductsManager.h"
#include "protocol/WidgetSystemInfo.h"
#include "support/testenv.h"
#include "views/ModelViewManagers.h"
#include "widgets/DataWidgetBase.h"
#include "widgets/ZComboBox.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSerialPortInfo>
#include <QSettings>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTimer>
#include <QToolBar>

#include <csignal>
#include <cstdio>

namespace {

const QString kSimulator = "build/bin/talmeno-sim";
const QString kProgram = "build/bin/talmeno";

// What a widget shows: the texts of its visible labels and, with consoles, the line
// count and last line of each console.
QStringList shownBy(QWidget* root, bool consoles)
{
    QStringList texts;
    for (QLabel* label : root->findChildren<QLabel*>())
        if (label->isVisibleTo(root))
            texts << label->text();
    if (consoles) {
        for (QPlainTextEdit* console : root->findChildren<QPlainTextEdit*>())
            texts << QString::number(console->blockCount()) + console->document()->lastBlock().text();
    }
    return texts;
}

// What the show function gives changes, then changes again: values arrive and move.
template <typename Shows>
bool moves(Shows shows)
{
    for (int i = 0; i < 2; ++i) {
        const QStringList before = shows();
        if (!QTest::qWaitFor([&] { return shows() != before; }, 15000))
            return false;
    }
    return true;
}

} // namespace

// The program in the child: its own main, watched from a timer once it runs.
namespace child {

MainWindow* window = nullptr;
QStringList boxes;

void say(const QString& line)
{
    std::fprintf(stdout, "%s\n", line.toUtf8().constData());
    std::fflush(stdout);
}

// The visible product pages of the current page, joined.
QStringList pageShows()
{
    QStringList texts;
    if (QWidget* page = ModelViewManagers::instance()->pageStack()->currentWidget())
        for (DataWidgetBase* view : page->findChildren<DataWidgetBase*>())
            if (view->isVisibleTo(window))
                texts += shownBy(view, false);
    return texts;
}

// The tool-bar button that brings up the window with this title.
QAction* windowButton(const QString& title)
{
    for (QToolBar* bar : window->findChildren<QToolBar*>())
        for (QAction* action : bar->actions())
            if (action->text() == title && action->isVisible())
                return action;
    return nullptr;
}

QWidget* topLevel(const QString& title)
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->windowTitle() == title && w != window)
            return w;
    return nullptr;
}

// Empty when the program showed what the README says, else what it did not.
QString watch(const QString& shows, const QString& name)
{
    const QString link = qEnvironmentVariable("TALMENO_EXTRA_PORTS");
    ZSerialPort* port = ZUiSerialPortAssistant::existing()->serialPort();
    if (!QTest::qWaitFor([&] { return port->isOpen(); }, 10000) || port->portName() != link)
        return "the link was not opened by itself";
    WidgetSystemInfo* info = WidgetSystemInfo::existing();
    if (!QTest::qWaitFor([&] { return info->infoWidget()->isVisibleTo(info); }, 60000))
        return "the device was not recognised";
    if (info->productLabel()->text().isEmpty())
        return "no product name";
    say("product:" + info->productLabel()->text());
    ModelViewManagers* pages = ModelViewManagers::instance();
    if (shows == "page") {
        if (!QTest::qWaitFor([&] { return pages->currentName() == name; }, 20000))
            return "the page is " + pages->currentName();
        if (!QTest::qWaitFor([&] { return !pageShows().isEmpty(); }, 10000) || !moves(&pageShows))
            return "the page does not fill";
    } else {
        QAction* button = nullptr;
        if (!QTest::qWaitFor([&] { return (button = windowButton(name)) != nullptr; }, 20000))
            return "no tool-bar button";
        button->trigger();
        QWidget* shown = topLevel(name);
        if (!shown || !QTest::qWaitFor([&] { return shown->isVisible(); }, 5000))
            return "the window does not show";
        if (!moves([shown] { return shownBy(shown, true); }))
            return "the window does not fill";
    }
    // A Trelvan node names what it streams as its protocol, and its role and mode
    // offer it: the setting shows it rather than the first protocol it offers.
    auto* setting = Trelvan::WidgetSetting::existing();
    auto* protocol = setting ? qobject_cast<Trelvan::ZProtocolTypeItem*>(setting->configItemWidget(6)) : nullptr;
    if (ProductsManager::existing()->currentProductType() == 0 && protocol && protocol->isVisibleTo(setting)) {
        const QString kind = QString(pages->currentName()).remove("Vexa_Trelvan_");
        if (protocol->comboBox()->currentText() != kind)
            return "the setting's protocol is " + protocol->comboBox()->currentText();
    }
    if (!boxes.isEmpty())
        return "message boxes: " + boxes.join(" / ");
    return QString();
}

void act()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* m = qobject_cast<MainWindow*>(w))
            window = m;
    if (!window) {
        say("result:no main window");
        QCoreApplication::exit(1);
        return;
    }
    messageBoxHook = [](const QString& text) { boxes << text; };
    const QString failure = watch(qEnvironmentVariable("TALMENO_README_SHOWS"), qEnvironmentVariable("TALMENO_README_NAME"));
    say("result:" + (failure.isEmpty() ? QString("ok") : failure));
    window->close();
}

int run(int argc, char** argv)
{
    qAddPreRoutine([] {
        auto box = [](QWidget*, const QString& title, const QString& text) { boxes << title + "|" + text; };
        MainWindow::informationBoxHook() = box;
        MainWindow::warningBoxHook() = box;
        ZUiSerialPortAssistant::criticalBoxHook() = box;
        QTimer::singleShot(0, QCoreApplication::instance(), &act);
    });
    return talmenoMain(argc, argv);
}

} // namespace child

namespace {

// One command of the README with what it says the program shows by itself.
struct ReadmeCommand
{
    QStringList arguments;
    QString shows; // "page" or "window"
    QString name;
};

// The commands in the README's table and code blocks, in order, each once; the
// link path the program's command line names. Empty with an error on a command
// whose outcome the README does not tell.
QList<ReadmeCommand> readmeCommands(QString* programLink, QString* error)
{
    QFile file(qEnvironmentVariable("TALMENO_SOURCE_DIR") + "/README.md");
    if (!file.open(QIODevice::ReadOnly)) {
        *error = "cannot read " + file.fileName();
        return {};
    }
    const QRegularExpression tableRow("^\\|\\s*`(" + QRegularExpression::escape(kSimulator) +
                                      " [^`]*)`.*\\|([^|]*)\\|\\s*$");
    const QRegularExpression outcome("(page|window) \"([^\"]+)\"");
    const QRegularExpression program("^TALMENO_EXTRA_PORTS=(\\S+) " + QRegularExpression::escape(kProgram) + "$");
    QStringList order;
    QMap<QString, ReadmeCommand> commands;
    for (const QString& raw : QString::fromUtf8(file.readAll()).split('\n')) {
        QString command;
        const QRegularExpressionMatch row = tableRow.match(raw);
        if (row.hasMatch()) {
            command = row.captured(1).trimmed();
            const QRegularExpressionMatch shows = outcome.match(row.captured(2));
            if (shows.hasMatch())
                commands[command] = {command.split(' ', Qt::SkipEmptyParts).mid(1), shows.captured(1),
                                     shows.captured(2)};
        } else if (raw.startsWith("    ")) {
            const QString code = raw.trimmed();
            const QRegularExpressionMatch line = program.match(code);
            if (line.hasMatch())
                *programLink = line.captured(1);
            else if (code.startsWith(kSimulator + " "))
                command = code;
        }
        if (!command.isEmpty() && !order.contains(command))
            order << command;
    }
    QList<ReadmeCommand> all;
    for (const QString& command : order) {
        if (!commands.contains(command)) {
            *error = "the README does not say what this shows: " + command;
            return {};
        }
        all << commands[command];
    }
    return all;
}

} // namespace

class TstReadmeSimulator : public QObject
{
    Q_OBJECT

    QTemporaryDir root_;
    QStringList realPorts_;

private slots:
    void initTestCase()
    {
        QVERIFY(root_.isValid());
        for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
            realPorts_ << info.portName();
    }

    void readmeCommand_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("shows");
        QTest::addColumn<QString>("name");
        QString link;
        QString error;
        const QList<ReadmeCommand> commands = readmeCommands(&link, &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QVERIFY2(!link.isEmpty(), "the README shows no program command with TALMENO_EXTRA_PORTS");
        QVERIFY(commands.size() >= 10);
        for (const ReadmeCommand& c : commands) {
            // The simulator's link is the port the program is given.
            const int at = c.arguments.indexOf("--link");
            QVERIFY2(at >= 0 && c.arguments.value(at + 1) == link, qPrintable(c.arguments.join(' ')));
            QTest::newRow(qPrintable(c.arguments.mid(0, at).join(' '))) << c.arguments << c.shows << c.name;
        }
    }

    void readmeCommand()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, shows);
        QFETCH(QString, name);
        const QString tag = QString::fromLatin1(QTest::currentDataTag()).replace(QRegularExpression("\\W+"), "_");
        const QString link = root_.filePath("link-" + tag);
        arguments[arguments.indexOf("--link") + 1] = link;

        QProcess simulator;
        simulator.setProgram(qEnvironmentVariable("TALMENO_BINARY_DIR") + "/bin/talmeno-sim");
        simulator.setArguments(arguments);
        const auto stop = qScopeGuard([&] {
            if (simulator.state() != QProcess::NotRunning) {
                ::kill(pid_t(simulator.processId()), SIGINT);
                if (!simulator.waitForFinished(10000))
                    simulator.kill();
            }
        });
        simulator.start();
        QVERIFY(simulator.waitForStarted());
        // The simulator names its port once it plays the device, or ends with a complaint.
        QTRY_VERIFY_WITH_TIMEOUT(simulator.canReadLine() || simulator.state() == QProcess::NotRunning, 10000);
        QVERIFY2(simulator.state() == QProcess::Running, qPrintable(simulator.readAllStandardError()));
        QVERIFY(QFileInfo(link).isSymLink());

        // A new user's program, with English texts and the machine's own ports
        // ignored as the README tells.
        const QString config = root_.filePath("config-" + tag);
        {
            QSettings settings(config + "/Quorvel/" + QFileInfo(QCoreApplication::applicationFilePath()).baseName() +
                                   ".ini",
                               QSettings::IniFormat);
            settings.setValue("Language", "English");
            settings.setValue("SerialPort/IgnoredPortNames", realPorts_);
        }
        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("TALMENO_README_CHILD", "1");
        env.insert("TALMENO_README_SHOWS", shows);
        env.insert("TALMENO_README_NAME", name);
        env.insert("TALMENO_EXTRA_PORTS", link);
        env.insert("XDG_CONFIG_HOME", config);
        program.setProcessEnvironment(env);
        program.start(QCoreApplication::applicationFilePath(), QStringList());
        QVERIFY(program.waitForStarted());
        if (!program.waitForFinished(150000))
            program.kill();
        const QString out = QString::fromUtf8(program.readAllStandardOutput());
        const QString err = QString::fromUtf8(program.readAllStandardError());
        QVERIFY2(out.contains("\nresult:ok\n") || out.startsWith("result:ok\n"),
                 qPrintable(out + "\n--- the program's log, last lines:\n" + err.right(4000)));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        // The node answered the read that recognition makes.
        QVERIFY2(!err.contains("Read parameter failed"), qPrintable(err.right(4000)));

        // Ctrl+C, as the README says: the simulator ends and takes its link along.
        ::kill(pid_t(simulator.processId()), SIGINT);
        QVERIFY(simulator.waitForFinished(10000));
        QCOMPARE(simulator.exitStatus(), QProcess::NormalExit);
        QCOMPARE(simulator.exitCode(), 0);
        QVERIFY(!QFileInfo::exists(link) && !QFileInfo(link).isSymLink());
    }
};

#define main talmenoTestMain
TALMENO_TEST_MAIN(TstReadmeSimulator)
#undef main

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsEmpty("TALMENO_README_CHILD"))
        return child::run(argc, argv);
    return talmenoTestMain(argc, argv);
}

#include "tst_readme_sim_gl.moc"
