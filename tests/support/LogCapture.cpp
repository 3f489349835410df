#include "LogCapture.h"

#include <QMutex>
#include <QMutexLocker>

namespace talmeno_test {

namespace {
// Guards the chain of captures and every capture's entries.
QMutex g_mutex;
LogCapture* g_current = nullptr;
} // namespace

LogCapture::LogCapture(Forward forward)
    : forward_(forward)
{
    QMutexLocker lock(&g_mutex);
    outer_ = g_current;
    g_current = this;
    const QtMessageHandler previous = qInstallMessageHandler(&LogCapture::handler);
    // Under another capture, pass on to what that one passes on to, not to ourselves.
    previousHandler_ = outer_ ? outer_->previousHandler_ : previous;
}

LogCapture::~LogCapture()
{
    QMutexLocker lock(&g_mutex);
    g_current = outer_;
    if (!outer_)
        qInstallMessageHandler(previousHandler_);
}

void LogCapture::handler(QtMsgType type, const QMessageLogContext& ctx, const QString& msg)
{
    QtMessageHandler forwardTo = nullptr;
    {
        QMutexLocker lock(&g_mutex);
        LogCapture* self = g_current;
        if (!self)
            return;
        self->entries_.append({type, msg});
        const bool pass = self->forward_ == ForwardAll || (self->forward_ == ForwardAllButDebug && type != QtDebugMsg);
        if (pass)
            forwardTo = self->previousHandler_;
    }
    if (forwardTo)
        forwardTo(type, ctx, msg);
}

QStringList LogCapture::lines() const
{
    QMutexLocker lock(&g_mutex);
    QStringList out;
    for (const Entry& e : entries_)
        out << e.text;
    return out;
}

QStringList LogCapture::lines(QtMsgType type) const
{
    QMutexLocker lock(&g_mutex);
    QStringList out;
    for (const Entry& e : entries_) {
        if (e.type == type)
            out << e.text;
    }
    return out;
}

int LogCapture::count(const QString& part) const
{
    int n = 0;
    for (const QString& line : lines())
        n += line.contains(part) ? 1 : 0;
    return n;
}

int LogCapture::count(QtMsgType type, const QString& part) const
{
    int n = 0;
    for (const QString& line : lines(type))
        n += line.contains(part) ? 1 : 0;
    return n;
}

bool LogCapture::contains(const QString& part) const
{
    return count(part) > 0;
}

void LogCapture::clear()
{
    QMutexLocker lock(&g_mutex);
    entries_.clear();
}

} // namespace talmeno_test
