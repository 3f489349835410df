// The README's way of trying the program without a device, word for word: each
// simulator command it shows runs (its link at a private path), then the program, as
// a new user's, in a child process (this test running the program's own main) that
// checks from inside that the device is recognised with no click and fills the page
// or window the README names, and that a Trelvan node's setting shows what it streams
// as its protocol. A command or outcome that drifted from the README fails.

#include "app/MainWindow.h"
#include "app/ZApplication.h"
#include "foundation/ZHooks.h"
#include "link/ZSerialPort.h"
#include "link/ZUiSerialPortAssistant.h"
#include "products/trelvan/calibration/AoaProductHandle.h"
#include "products/trelvan/calibration/UwbCalibrationWindow.h"
#include "products/trelvan/config/ConfigItems.h"
#include "products/trelvan/config/WidgetSetting.h"
#include "protocol/ProductsManager.h"
#include "protocol/WidgetSystemInfo.h"
#include "support/testenv.h"
#include "views/ModelViewManagers.h"
#include "widgets/DataWidgetBase.h"
#include "widgets/ZComboBox.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QSerialPortInfo>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QToolBar>
#include <QToolButton>

#include <csignal>
#include <functional>

namespace child {

MainWindow* window = nullptr;
QStringList boxes;

// Empty when the program showed what the README says, else what it did not.
QString watch(const QString& shows, const QString& name)
{
    ZSerialPort* port = ZUiSerialPortAssistant::existing()->serialPort();
    if (!QTest::qWaitFor([&] { return port->isOpen(); }, 10000) ||
        port->portName() != qEnvironmentVariable("TALMENO_EXTRA_PORTS"))
        return "the link was not opened by itself";
    WidgetSystemInfo* info = WidgetSystemInfo::existing();
    if (!QTest::qWaitFor([&] { return info->infoWidget()->isVisibleTo(info); }, 60000) ||
        info->productLabel()->text().isEmpty())
        return "the device was not recognised";
    ModelViewManagers* pages = ModelViewManagers::instance();
    std::function<QStringList()> shown;
    if (shows == "page") {
        if (!QTest::qWaitFor([&] { return pages->currentName() == name; }, 20000))
            return "the page is " + pages->currentName();
        shown = [pages] { // the texts of the page's visible views
            QStringList texts;
            for (DataWidgetBase* view : pages->pageStack()->currentWidget()->findChildren<DataWidgetBase*>())
                for (QLabel* label : view->findChildren<QLabel*>())
                    if (label->isVisibleTo(window))
                        texts << label->text();
            return texts;
        };
    } else {
        // The tool-bar button brings the window up.
        QAction* button = nullptr;
        const auto findButton = [&] {
            for (QToolBar* bar : window->findChildren<QToolBar*>())
                for (QAction* action : bar->actions())
                    if (action->text() == name && action->isVisible())
                        button = action;
            return button != nullptr;
        };
        if (!QTest::qWaitFor(findButton, 20000))
            return "no tool-bar button";
        button->trigger();
        // The button belongs to the window it brings up.
        auto* shownWindow = qobject_cast<QWidget*>(button->parent());
        if (!shownWindow || !QTest::qWaitFor([&] { return shownWindow->isVisible(); }, 5000) ||
            shownWindow->windowTitle() != name)
            return "the window does not show";
        shown = [shownWindow] { // its consoles' line counts and last lines
            QStringList texts;
            for (QPlainTextEdit* console : shownWindow->findChildren<QPlainTextEdit*>())
                texts << QString::number(console->blockCount()) + console->document()->lastBlock().text();
            return texts;
        };
    }
    // Values arrive and move: what shows changes three times.
    for (int i = 0; i < 3; ++i) {
        const QStringList before = shown();
        if (!QTest::qWaitFor([&] { return shown() != before; }, 15000))
            return "the " + shows + " does not fill";
    }
    // A Trelvan node's setting shows the kind it streams as its protocol.
    auto* setting = Trelvan::WidgetSetting::existing();
    auto* protocol = setting ? qobject_cast<Trelvan::ZProtocolTypeItem*>(setting->configItemWidget(6)) : nullptr;
    if (ProductsManager::existing()->currentProductType() == 0 && protocol && protocol->isVisibleTo(setting) &&
        protocol->comboBox()->currentText() != QString(pages->currentName()).remove("Vexa_Trelvan_"))
        return "the setting's protocol is " + protocol->comboBox()->currentText();
    // An AOA node answers the "UWB Calibration" window: its read and its write succeed.
    if (qobject_cast<Trelvan::AoaProductHandle*>(ProductsManager::existing()->currentProductHandle())) {
        window->uwbCalibrationAction()->trigger();
        auto* calibration = qobject_cast<trelvan::WidgetCalibration*>(MainWindow::uwbCalibrationWindow());
        if (!calibration)
            return "no UWB Calibration window";
        for (QToolButton* button : {calibration->readButton(), calibration->writeButton()}) {
            button->click(); // the exchange ends before click() returns
            if (!calibration->statusBar()->currentMessage().endsWith(" succeeded"))
                return "UWB Calibration " + button->text() + ": " + calibration->statusBar()->currentMessage();
        }
    }
    return boxes.isEmpty() ? QString() : "message boxes: " + boxes.join(" / ");
}

int run(int argc, char** argv)
{
    qAddPreRoutine([] {
        auto box = [](QWidget*, const QString& title, const QString& text) { boxes << title + "|" + text; };
        MainWindow::informationBoxHook() = box;
        MainWindow::warningBoxHook() = box;
        ZUiSerialPortAssistant::criticalBoxHook() = box;
        QTimer::singleShot(0, QCoreApplication::instance(), [] {
            for (QWidget* w : QApplication::topLevelWidgets())
                window = window ? window : qobject_cast<MainWindow*>(w);
            messageBoxHook = [](const QString& text) { boxes << text; };
            const QString failure = !window ? "no main window"
                                            : watch(qEnvironmentVariable("TALMENO_README_SHOWS"),
                                                    qEnvironmentVariable("TALMENO_README_NAME"));
            std::printf("result:%s\n", qPrintable(failure.isEmpty() ? QString("ok") : failure));
            std::fflush(stdout);
            if (window)
                window->close();
            else
                QCoreApplication::exit(1);
        });
    });
    return talmenoMain(argc, argv);
}

} // namespace child

class TstReadmeSimulator : public QObject
{
    Q_OBJECT

    QTemporaryDir root_;
    int runs_ = 0;

private slots:
    void readmeCommand_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("shows");
        QTest::addColumn<QString>("name");
        QFile file(qEnvironmentVariable("TALMENO_SOURCE_DIR") + "/README.md");
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString readme = QString::fromUtf8(file.readAll());
        const auto lines = QRegularExpression::MultilineOption;
        const QString link =
            QRegularExpression("^    TALMENO_EXTRA_PORTS=(\\S+) build/bin/talmeno$", lines).match(readme).captured(1);
        QVERIFY2(!link.isEmpty(), "the README shows no program command with TALMENO_EXTRA_PORTS");
        // The table tells what each command shows; a command shown anywhere else is one of its rows.
        QStringList commands;
        QList<QRegularExpressionMatch> rows;
        const QRegularExpression row("^\\| `build/bin/talmeno-sim (([^`]+) --link ([^`\\s]+))` \\|"
                                     ".*\\|[^|]*\\b(page|window) \"([^\"]+)\"[^|]*\\|\\s*$",
                                     lines);
        for (auto it = row.globalMatch(readme); it.hasNext();) {
            rows << it.next();
            QCOMPARE(rows.last().captured(3), link);
            commands << rows.last().captured(1);
        }
        QVERIFY(!rows.isEmpty());
        for (auto it = QRegularExpression("build/bin/talmeno-sim ([^`\\n]+)").globalMatch(readme); it.hasNext();) {
            const QString command = it.next().captured(1).trimmed();
            QVERIFY2(commands.contains(command), qPrintable("the README does not say what this shows: " + command));
        }
        for (const QRegularExpressionMatch& m : rows)
            QTest::newRow(qPrintable(m.captured(2)))
                << m.captured(2).split(' ', Qt::SkipEmptyParts) << m.captured(4) << m.captured(5);
    }

    void readmeCommand()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, shows);
        QFETCH(QString, name);
        const QString link = root_.filePath(QString("link%1").arg(++runs_));
        arguments << "--link" << link;

        QProcess simulator; // killed when the test ends early
        simulator.start(qEnvironmentVariable("TALMENO_BINARY_DIR") + "/bin/talmeno-sim", arguments);
        QVERIFY(simulator.waitForStarted());
        // The simulator names its port once it plays the device, or ends with a complaint.
        QTRY_VERIFY_WITH_TIMEOUT(simulator.canReadLine() || simulator.state() == QProcess::NotRunning, 10000);
        QVERIFY2(simulator.state() == QProcess::Running, qPrintable(simulator.readAllStandardError()));

        // A new user's program, in English, the machine's own ports ignored as the README tells.
        const QString config = root_.filePath(QString("config%1").arg(runs_));
        QSettings settings(config + "/Quorvel/" + QCoreApplication::applicationName() + ".ini", QSettings::IniFormat);
        settings.setValue("Language", "English");
        QStringList realPorts;
        for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
            realPorts << info.portName();
        settings.setValue("SerialPort/IgnoredPortNames", realPorts);
        settings.sync();
        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("TALMENO_README_CHILD", "1");
        env.insert("TALMENO_README_SHOWS", shows);
        env.insert("TALMENO_README_NAME", name);
        env.insert("TALMENO_EXTRA_PORTS", link);
        env.insert("XDG_CONFIG_HOME", config);
        program.setProcessEnvironment(env);
        program.start(QCoreApplication::applicationFilePath(), QStringList());
        if (!program.waitForFinished(150000))
            program.kill();
        const QString out = QString::fromUtf8(program.readAllStandardOutput());
        const QString err = QString::fromUtf8(program.readAllStandardError());
        QVERIFY2(out.contains("result:ok\n"), qPrintable(out + "\n--- the program's log:\n" + err.right(4000)));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        // The node answered the read that recognition makes.
        QVERIFY2(!err.contains("Read parameter failed"), qPrintable(err.right(4000)));

        // Ctrl+C, as the README says: the simulator ends and takes its link along.
        ::kill(pid_t(simulator.processId()), SIGINT);
        QVERIFY(simulator.waitForFinished(10000));
        QCOMPARE(simulator.exitStatus(), QProcess::NormalExit);
        QCOMPARE(simulator.exitCode(), 0);
        QVERIFY(!QFileInfo(link).exists() && !QFileInfo(link).isSymLink());
    }
};

#define main talmenoTestMain
TALMENO_TEST_MAIN(TstReadmeSimulator)
#undef main

int main(int argc, char** argv)
{
    return qEnvironmentVariableIsEmpty("TALMENO_README_CHILD") ? talmenoTestMain(argc, argv) : child::run(argc, argv);
}

#include "tst_readme_sim_gl.moc"
