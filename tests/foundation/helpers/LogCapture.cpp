#include "LogCapture.h"

namespace {
LogCapture* g_capture = nullptr;
}

LogCapture::LogCapture()
{
    g_capture = this;
    previous_ = qInstallMessageHandler(&LogCapture::handler);
}

LogCapture::~LogCapture()
{
    qInstallMessageHandler(previous_);
    g_capture = nullptr;
}

void LogCapture::handler(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (!g_capture)
        return;
    QMutexLocker lock(&g_capture->mutex_);
    g_capture->entries_.append({type, message});
}

QStringList LogCapture::lines(QtMsgType type) const
{
    QMutexLocker lock(&mutex_);
    QStringList out;
    for (const auto& e : entries_)
        if (e.first == type)
            out << e.second;
    return out;
}

QStringList LogCapture::all() const
{
    QMutexLocker lock(&mutex_);
    QStringList out;
    for (const auto& e : entries_)
        out << e.second;
    return out;
}
