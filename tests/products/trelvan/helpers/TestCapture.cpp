#include "TestCapture.h"

#include <QMutex>
#include <QMutexLocker>

namespace TestTrelvan {

namespace {
ModelManager* g_manager = nullptr;

QMutex g_logMutex;
QStringList g_log;
QtMessageHandler g_previousHandler = nullptr;
bool g_quietWarnings = false;

void captureHandler(QtMsgType type, const QMessageLogContext& ctx, const QString& msg)
{
    {
        QMutexLocker lock(&g_logMutex);
        g_log << msg;
    }
    if (type == QtDebugMsg || (g_quietWarnings && type == QtWarningMsg))
        return;
    if (g_previousHandler)
        g_previousHandler(type, ctx, msg);
}
} // namespace

void setCurrentManager(ModelManager* manager)
{
    g_manager = manager;
}

ModelManager* currentManager()
{
    return g_manager;
}

void startLogCapture(bool quietWarnings)
{
    g_quietWarnings = quietWarnings;
    g_previousHandler = qInstallMessageHandler(&captureHandler);
}

void stopLogCapture()
{
    qInstallMessageHandler(g_previousHandler);
}

void clearLog()
{
    QMutexLocker lock(&g_logMutex);
    g_log.clear();
}

QStringList logLines(const QString& part)
{
    QMutexLocker lock(&g_logMutex);
    return g_log.filter(part);
}

int logCount(const QString& part)
{
    QMutexLocker lock(&g_logMutex);
    int n = 0;
    for (const QString& line : qAsConst(g_log))
        n += line.contains(part) ? 1 : 0;
    return n;
}

QString lastLogLine()
{
    QMutexLocker lock(&g_logMutex);
    return g_log.isEmpty() ? QString() : g_log.last();
}

} // namespace TestTrelvan
