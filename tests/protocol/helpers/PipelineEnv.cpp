#include "PipelineEnv.h"

#include "foundation/ZThreadManager.h"
#include "foundation/ZTimerManager.h"
#include "protocol/ProtocolBase.h"
#include "protocol/ProtocolDataProcessor.h"

#include <QMutexLocker>

namespace testenv {

void startWorkerThreads()
{
    static bool started = false;
    if (started)
        return;
    started = true;
    ZThreadManager* tm = ZThreadManager::instance();
    tm->moveToThread(ZTimerManager::instance(), 5);
    tm->startThreads();
}

namespace {
QMutex g_logMutex;
QStringList g_lines;
QtMessageHandler g_previous = nullptr;
} // namespace

LogCapture::LogCapture()
{
    QMutexLocker lock(&g_logMutex);
    g_lines.clear();
    g_previous = qInstallMessageHandler(&LogCapture::handler);
}

LogCapture::~LogCapture()
{
    qInstallMessageHandler(g_previous);
}

void LogCapture::handler(QtMsgType type, const QMessageLogContext& ctx, const QString& msg)
{
    {
        QMutexLocker lock(&g_logMutex);
        g_lines << msg;
    }
    if (g_previous && type != QtDebugMsg)
        g_previous(type, ctx, msg);
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
    for (const QString& l : g_lines)
        n += l.contains(part) ? 1 : 0;
    return n;
}

void LogCapture::clear()
{
    QMutexLocker lock(&g_logMutex);
    g_lines.clear();
}

QList<QPair<QString, QByteArray>> takeQueued()
{
    QList<QPair<QString, QByteArray>> out;
    for (const ExtractedFrame& f : ProtocolDataProcessor::instance()->takeFrames())
        out.append({f.protocol->name(), f.frame});
    return out;
}

} // namespace testenv
