#include "app/MainWindow.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <QVBoxLayout>

#include "foundation/UserPaths.h"
#include "foundation/Version.h"
#include "foundation/ZHooks.h"
#include "foundation/ZIconsManager.h"
#include "foundation/ZLog.h"
#include "foundation/ZThreadManager.h"
#include "foundation/ZTimerManager.h"
#include "foundation/ZWidgetLogger.h"

MainWindow::MainWindow()
{
    setWindowTitle(QStringLiteral("%1 %2  %3").arg(QStringLiteral("Talmeno V%1").arg(readLatestVersion().toString()),
                                                    QString(), QString()));
    setWindowIcon(ZIconsManager::instance()->colorIcon(1));

    connect(this, &MainWindow::newMessageForMessageBox, this, &MainWindow::handleMessageForMessageBox);
    connect(this, &MainWindow::newMessageForStatusBar, this, &MainWindow::handleMessageForStatusBar);
    messageBoxHook = [this](const QString& text) { emit newMessageForMessageBox(text); };
    statusBarHook = [this](const QString& text) { emit newMessageForStatusBar(text); };

    ZThreadManager::instance()->moveToThread(ZTimerManager::instance(), 5);

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* pages = new QWidget(central);
    pages->setObjectName("pagesArea");
    layout->addWidget(pages, 1);
    layout->addWidget(ZWidgetLogger::instance(logDir, nullptr), 0);
    setCentralWidget(central);

    if (QScreen* screen = QGuiApplication::screens().value(0)) {
        QSize size;
        if (initialSize(screen->availableSize(), &size))
            resize(size);
    }

    ZThreadManager::instance()->startThreads();
}

MainWindow::~MainWindow()
{
    resetMessageHooks();
}

bool MainWindow::initialSize(const QSize& available, QSize* size)
{
    const int h = int(available.height() * 0.7);
    const int w = int(h / 0.618);
    if (w >= available.width())
        return false;
    *size = QSize(w, h);
    return true;
}

void MainWindow::handleMessageForStatusBar(QString message)
{
    zInfo().quote() << message;
}

void MainWindow::handleMessageForMessageBox(QString message)
{
    QMessageBox::warning(this, tr("Warning"), message, QMessageBox::Ok);
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    ZThreadManager::instance()->stopThreads();
    QMainWindow::closeEvent(event);
    QCoreApplication::quit();
}
