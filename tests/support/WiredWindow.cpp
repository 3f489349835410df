#include "support/WiredWindow.h"

#include "foundation/UserPaths.h"
#include "foundation/ZColorSchemeManager.h"
#include "foundation/ZThreadManager.h"
#include "foundation/ZTimerManager.h"
#include "link/ZSerialPort.h"
#include "link/ZUiSerialPortAssistant.h"
#include "protocol/LinkServices.h"
#include "protocol/ProductsManager.h"
#include "protocol/ProtocolDataProcessor.h"
#include "protocol/ProtocolFrameExtraction.h"
#include "protocol/WidgetSystemInfo.h"
#include "views/CustomTabWidget.h"
#include "views/ModelViewManagers.h"

#include <QDir>
#include <QFile>
#include <QMainWindow>
#include <QSerialPortInfo>
#include <QSettings>
#include <QTabBar>
#include <QTimer>
#include <QToolBar>
#include <QtTest>

namespace talmeno_test {

void startPipeline(ProtocolSeams::ModelManagerLookup lookup)
{
    static bool started = false;
    ProtocolSeams::setCurrentModelManagerLookup(lookup ? lookup : &ModelViewManagers::currentModelManager);
    if (started)
        return;
    started = true;
    initUserDataFolders();
    ZThreadManager* tm = ZThreadManager::instance();
    tm->moveToThread(ZTimerManager::instance(), 5);
    ProtocolFrameExtraction* extraction = ProtocolFrameExtraction::instance();
    tm->moveToThread(extraction, 2);
    tm->startThreads();
    extraction->setEnabled(true);
}

bool WiredWindow::setUp(const QString& linkName, const QSize& size, const std::function<void()>& registerProducts,
                        bool recognizeAction)
{
    ZColorSchemeManager::instance()->applyStyleSheet(QString());
    QStringList realPorts;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        realPorts << info.portName();
    QSettings().setValue("SerialPort/IgnoredPortNames", realPorts);
    linkPath = QDir::temp().filePath(linkName);
    QFile::remove(linkPath);
    qputenv("TALMENO_EXTRA_PORTS", linkPath.toLocal8Bit());

    window = new QMainWindow;
    pages = initViewServices(window);
    initSerialPortInterface(window);
    terminal = ZUiSerialPortAssistant::existing();
    if (!terminal)
        return false;
    initLinkServices(terminal->serialPort());
    if (registerProducts)
        registerProducts();
    ProductsManager* products = ProductsManager::instance(window);
    ZUiSerialPortAssistant* t = terminal;
    QObject::connect(port(), &ZSerialPort::singlePortInserted, window,
                     [t] { QTimer::singleShot(200, t, [t] { t->setSerialPortOpen(true); }); });
    QObject::connect(port(), &ZSerialPort::statusChanged, window, [](bool isOpen) {
        if (isOpen)
            WidgetSystemInfo::existing()->waitDataThenRecognize(3000);
    });
    window->setCentralWidget(pages->pageStack());
    QToolBar* main = window->addToolBar("main");
    main->addWidget(WidgetSystemInfo::existing());
    if (recognizeAction)
        main->addAction(WidgetSystemInfo::existing()->recognizeAction());
    window->addToolBar(products->productToolBar());
    window->resize(size);
    window->show();
    return QTest::qWaitForWindowExposed(window);
}

void WiredWindow::tearDown()
{
    if (terminal)
        terminal->setSerialPortOpen(false);
    // Frames still on their way are decoded while the pages they write exist.
    ProtocolFrameExtraction::instance()->setEnabled(false);
    ZThreadManager::instance()->runInThread(2, [] { ProtocolFrameExtraction::instance()->clearBuffers(); }, true);
    ZThreadManager::instance()->runInThread(3, [] { ProtocolDataProcessor::instance()->processFrames(); }, true);
    QFile::remove(linkPath);
    delete ProductsManager::existing();
    delete window;
    window = nullptr;
}

bool WiredWindow::plugIn(const QString& devicePath) const
{
    return QFile::link(devicePath, linkPath);
}

void WiredWindow::showTab(const QString& prefix) const
{
    for (CustomTabWidget* tabs : window->findChildren<CustomTabWidget*>())
        for (int i = 0; i < tabs->count(); ++i)
            if (tabs->tabBar()->tabText(i).startsWith(prefix))
                tabs->setCurrentPage(tabs->page(i));
}

ZSerialPort* WiredWindow::port() const
{
    return terminal->serialPort();
}

} // namespace talmeno_test
