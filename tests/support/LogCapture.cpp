#include "LogCapture.h"

#include <QMutex>
#include <QMutexLocker>

namespace talmeno_test {

namespace {
QMutex g_logMutex;
QStringList g_lines;
QtMessageHandler g_previous = nullptr;
bool g_forwardDebug = false;

void logHandler(QtMsgType type, const QMessageLogContext& ctx, const QString& msg)
{
    {
        QMutexLocker lock(&g_logMutex);
        g_lines << msg;
    }
    if (g_previous && (type != QtDebugMsg || g_forwardDebug))
        g_previous(type, ctx, msg);
}
} // namespace

LogCapture::LogCapture(Forward forward)
{
    QMutexLocker lock(&g_logMutex);
    g_lines.clear();
    g_forwardDebug = forward == ForwardAll;
    g_previous = qInstallMessageHandler(&logHandler);
}

LogCapture::~LogCapture()
{
    qInstallMessageHandler(g_previous);
}

QStringList LogCapture::lines() const
{
    QMutexLocker lock(&g_logMutex);
    return g_lines;
}

int LogCapture::count(const QString& part) const
{
    QMutexLocker lock(&g_logMutex);
    int n = 0;
    for (const QString& line : g_lines)
        n += line.contains(part) ? 1 : 0;
    return n;
}

bool LogCapture::contains(const QString& part) const
{
    return count(part) > 0;
}

void LogCapture::clear()
{
    QMutexLocker lock(&g_logMutex);
    g_lines.clear();
}

} // namespace talmeno_test
