#include "app/ZApplication.h"

#include <QFileInfo>
#include <QSettings>
#include <QTextCodec>
#include <QVector>
#include <cstdlib>
#include <exception>
#include <memory>

#include "app/MainWindow.h"
#include "app/WizardManager.h"
#include "foundation/UserPaths.h"
#include "foundation/Version.h"
#include "foundation/ZColorSchemeManager.h"
#include "foundation/ZDownloadManager.h"
#include "foundation/ZLog.h"
#include "foundation/ZThreadManager.h"
#include "foundation/ZTranslatorManager.h"
#include "foundation/ZWidgetLogger.h"
#include "resources/init_resources.h"
#include "widgets/PlainTextEditWithFile.h"
#include "widgets/ZWheelGuard.h"

ZApplication::ZApplication(int& argc, char** argv)
    : QApplication(argc, argv)
{
}

bool ZApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        zCritical() << "in event handle,uncatched std exception occured:{}" << e.what();
    } catch (const QString& text) {
        zCritical().quote() << text << ", program exited";
    } catch (const char* text) {
        zCritical() << text << ", program exited";
    } catch (...) {
        zCritical() << "in event handle,uncatched non std exception occured,program exited";
    }
    ZWidgetLogger::flushLogFile();
    std::abort();
}

int runGuarded(const std::function<int()>& body)
{
    try {
        return body();
    } catch (const std::exception& e) {
        zCritical() << "uncatched std exception occured:" << e.what();
    } catch (const QString& text) {
        zCritical().quote() << text << ", program exited";
    } catch (const char* text) {
        zCritical() << text << ", program exited";
    } catch (...) {
        zCritical() << "uncatched non std exception occured,program exited";
    }
    ZWidgetLogger::flushLogFile();
    return 1;
}

namespace {

int runApplication(int argc, char** argv)
{
    ZApplication app(argc, argv);
    talmenoInitResources();
    installWheelGuard(&app);

    QCoreApplication::setOrganizationName("Quorvel");
    QCoreApplication::setOrganizationDomain("quorvel.com");
    QCoreApplication::setApplicationName(QFileInfo(QCoreApplication::applicationFilePath()).baseName());
    QCoreApplication::setApplicationVersion(readLatestVersion().toString());

    QTextCodec::setCodecForLocale(QTextCodec::codecForName("UTF-8"));
    QSettings::setDefaultFormat(QSettings::IniFormat);

    QSettings settings;
    settings.setFallbacksEnabled(false);
    settings.setIniCodec(QTextCodec::codecForLocale());

    // Owner of the text consoles' file manager; goes first at teardown.
    auto consoleFilesParent = std::make_unique<QObject>();

    qRegisterMetaType<QVector<int>>("QVector<int>");

    initUserDataFolders();

    // Qt's own texts first: the translator installed last is asked first, and the
    // program's own translations must win.
    QCoreApplication::installTranslator(ZTranslatorManager::instance(nullptr)->qtTranslator());
    QCoreApplication::installTranslator(ZTranslatorManager::instance()->translator());

    ZColorSchemeManager::instance(colorSchemeDir)->applyStyleSheet(settings.value("ColorScheme").toString());

    PlainTextEditWithFileManager::instance(consoleFilesParent.get());
    ZWidgetLogger::instance(logDir, nullptr);
    WizardManager::instance(nullptr);
    ZThreadManager::instance(nullptr);
    ZDownloadManager::instance(nullptr);

    int code = 0;
    {
        auto mainWindow = std::make_unique<MainWindow>();
        mainWindow->show();
        code = app.exec();

        consoleFilesParent.reset();
        mainWindow.reset(); // the logger window goes with it
    }
    delete ZDownloadManager::instance();
    delete ZThreadManager::instance();
    delete WizardManager::existing();
    delete ZColorSchemeManager::instance();
    delete ZTranslatorManager::instance();
    return code;
}

} // namespace

int talmenoMain(int argc, char** argv)
{
    ZWidgetLogger::installMessageHandler();
    return runGuarded([argc, argv]() { return runApplication(argc, argv); });
}
