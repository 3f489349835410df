#include <QDir>
#include <QImage>
#include <QMenu>
#include <QProcess>
#include <QSerialPortInfo>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <cstdio>

#include "app/MainWindow.h"
#include "app/ZApplication.h"
#include "foundation/ZTranslatorManager.h"
#include "protocol/ProtocolFactory.h"
#include "support/testenv.h"

// The language of the interface across restarts: each start is a child process
// running the program's own main, with a scenario injected when its application
// object is made. When TALMENO_SCREENS_DIR is set, the children also leave pictures
// of the main window and its menu there.
namespace child {

QByteArray scenario;

void say(const QString& line)
{
    std::fprintf(stdout, "%s\n", line.toUtf8().constData());
    std::fflush(stdout);
}

MainWindow* mainWindow()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* m = qobject_cast<MainWindow*>(w))
            return m;
    return nullptr;
}

// Non-blank: more than a handful of colours.
bool looksDrawn(const QImage& image)
{
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); y += 7)
        for (int x = 0; x < image.width(); x += 7)
            colours.insert(image.pixel(x, y));
    return colours.size() > 8;
}

void saveScreens(MainWindow* window, const QString& language)
{
    const QImage windowImage = window->grab().toImage();
    window->mainMenu()->popup(window->mapToGlobal(QPoint(10, 40)));
    QCoreApplication::processEvents();
    QTest::qWait(200);
    const QImage menuImage = window->mainMenu()->grab().toImage();
    window->mainMenu()->hide();
    say("window-drawn:" + QString::number(looksDrawn(windowImage)));
    say("menu-drawn:" + QString::number(looksDrawn(menuImage)));
    const QString dir = qEnvironmentVariable("TALMENO_SCREENS_DIR");
    if (!dir.isEmpty()) {
        QDir().mkpath(dir);
        windowImage.save(dir + "/main_window_" + language + ".png");
        menuImage.save(dir + "/main_menu_" + language + ".png");
    }
}

void act()
{
    MainWindow* window = mainWindow();
    if (!window) {
        say("window:missing");
        QCoreApplication::exit(3);
        return;
    }
    say("language:" + ZTranslatorManager::instance()->currentLanguage());
    say("stored:" + QSettings().value("Language").toString());
    say("menu:" + window->menuButton()->text());
    say("use3d:" + window->use3DAction()->text());
    say("calibration:" + window->uwbCalibrationAction()->text());
    for (QAction* a : ZTranslatorManager::instance()->menu()->actions())
        if (a->isChecked())
            say("checked:" + a->text());

    if (scenario == "english" || scenario == "chinese") {
        // A page in the middle, as after choosing a protocol group.
        ProtocolFactory::loadProtocols("Vexa_Sarvel_Frame0", window);
        QTest::qWait(300);
    }
    if (scenario == "english" || scenario == "chinese")
        saveScreens(window, scenario == "english" ? "en" : "zh");

    if (scenario == "english") {
        // The user picks Chinese: stored at once, shown after the restart.
        ZTranslatorManager::setNoticeHook(
            [](const QString& title, const QString& text) { say("notice:" + title + "|" + text); });
        for (QAction* a : ZTranslatorManager::instance()->menu()->actions())
            if (a->text() == "Chinese")
                a->trigger();
        say("menu-after-choice:" + window->menuButton()->text());
    }
    window->close();
}

void preRoutine()
{
    QTimer::singleShot(1500, QCoreApplication::instance(), &act);
}

int run(int argc, char** argv)
{
    scenario = qgetenv("TALMENO_CHILD_SCENARIO");
    qAddPreRoutine(&preRoutine);
    return talmenoMain(argc, argv);
}

} // namespace child

class TstLanguage : public QObject
{
    Q_OBJECT

    QTemporaryDir config_;

    QString settingsFile() const
    {
        return config_.filePath("Quorvel/" + QFileInfo(QCoreApplication::applicationFilePath()).baseName() + ".ini");
    }

    void setStoredLanguage(const QString& language)
    {
        QSettings settings(settingsFile(), QSettings::IniFormat);
        settings.setValue("Language", language);
        // The machine's own serial ports stay closed.
        QStringList realPorts;
        for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
            realPorts << info.portName();
        settings.setValue("SerialPort/IgnoredPortNames", realPorts);
    }

    static QString value(const QStringList& lines, const QString& key)
    {
        for (const QString& line : lines)
            if (line.startsWith(key + ":"))
                return line.mid(key.size() + 1);
        return QString();
    }

    // Holds at least one Han character.
    static bool inChinese(const QString& text)
    {
        for (const QChar c : text)
            if (c.unicode() >= 0x4E00 && c.unicode() <= 0x9FFF)
                return true;
        return false;
    }

    QStringList runChild(const QByteArray& scenario, const QString& locale = QString())
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        if (!locale.isEmpty()) {
            env.insert("LC_ALL", locale);
            env.insert("LANG", locale);
        }
        env.insert("TALMENO_CHILD_SCENARIO", QString::fromUtf8(scenario));
        env.insert("XDG_CONFIG_HOME", config_.path());
        p.setProcessEnvironment(env);
        p.start(QCoreApplication::applicationFilePath(), QStringList());
        if (!p.waitForFinished(60000))
            p.kill();
        const QString out = QString::fromUtf8(p.readAllStandardOutput());
        if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
            qWarning().noquote() << "child failed:" << p.exitCode() << p.readAllStandardError().right(3000);
        return out.split('\n', Qt::SkipEmptyParts);
    }

private slots:
    void choosingChineseShowsItAfterARestart()
    {
        setStoredLanguage("English");
        const QStringList english = runChild("english");
        QVERIFY2(english.contains("language:English"), qPrintable(english.join('\n')));
        QVERIFY(english.contains("checked:English"));
        QVERIFY(english.contains("menu:Menu"));
        QVERIFY(english.contains("use3d:Use 3D"));
        QVERIFY(english.contains("calibration:UWB Calibration"));
        QVERIFY(english.contains("window-drawn:1"));
        QVERIFY(english.contains("menu-drawn:1"));
        QVERIFY2(english.contains("notice:Information|Effective after restart"), qPrintable(english.join('\n')));
        // Texts already on screen stay as they are until the restart.
        QVERIFY(english.contains("menu-after-choice:Menu"));
        QCOMPARE(QSettings(settingsFile(), QSettings::IniFormat).value("Language").toString(), QString("Chinese"));

        const QStringList chinese = runChild("chinese");
        QVERIFY2(chinese.contains("language:Chinese"), qPrintable(chinese.join('\n')));
        QVERIFY(chinese.contains("checked:Chinese"));
        QVERIFY2(chinese.contains(QString::fromUtf8("menu:菜单")), qPrintable(chinese.join('\n')));
        QVERIFY(inChinese(value(chinese, "use3d")));
        QVERIFY(inChinese(value(chinese, "calibration")));
        QVERIFY(chinese.contains("window-drawn:1"));
    }

    // Without a stored choice the system's language counts: English stays English,
    // any language but Chinese and English (the C locale too) gives Chinese.
    void systemLanguageByDefault_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("language");
        QTest::newRow("English") << "en_US.UTF-8" << "English";
        QTest::newRow("Chinese") << "zh_CN.UTF-8" << "Chinese";
        QTest::newRow("German") << "de_DE.UTF-8" << "Chinese";
        QTest::newRow("C") << "C.UTF-8" << "Chinese";
    }

    void systemLanguageByDefault()
    {
        QFETCH(QString, locale);
        QFETCH(QString, language);
        setStoredLanguage(QString());
        QSettings(settingsFile(), QSettings::IniFormat).remove("Language");
        const QStringList out = runChild("other", locale);
        QVERIFY2(out.contains("language:" + language), qPrintable(out.join('\n')));
        QVERIFY(out.contains("stored:")); // nothing written by the start
    }

    // A language the program has no translation for gives Chinese for the run and
    // leaves the stored choice alone.
    void otherLanguagesGiveChinese()
    {
        setStoredLanguage("French");
        const QStringList out = runChild("other");
        QVERIFY2(out.contains("language:Chinese"), qPrintable(out.join('\n')));
        QVERIFY(out.contains("stored:French"));
        QVERIFY(out.contains(QString::fromUtf8("menu:菜单")));
    }
};

#define main talmenoTestMain
TALMENO_TEST_MAIN(TstLanguage)
#undef main

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsEmpty("TALMENO_CHILD_SCENARIO"))
        return child::run(argc, argv);
    return talmenoTestMain(argc, argv);
}

#include "tst_language_gl.moc"
