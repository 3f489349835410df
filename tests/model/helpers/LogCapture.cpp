#include "LogCapture.h"

#include <QMutexLocker>

namespace {
LogCapture* active = nullptr;
}

LogCapture::LogCapture()
{
    active = this;
    previous_ = qInstallMessageHandler(&LogCapture::handler);
}

LogCapture::~LogCapture()
{
    qInstallMessageHandler(previous_);
    active = nullptr;
}

void LogCapture::handler(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    LogCapture* self = active;
    if (!self)
        return;
    {
        QMutexLocker lock(&self->mutex_);
        self->entries_.append({type, message});
    }
    if (type != QtDebugMsg && self->previous_)
        self->previous_(type, context, message);
}

QStringList LogCapture::messages() const
{
    QMutexLocker lock(&mutex_);
    QStringList list;
    for (const Entry& e : entries_)
        list << e.text;
    return list;
}

QStringList LogCapture::messages(QtMsgType type) const
{
    QMutexLocker lock(&mutex_);
    QStringList list;
    for (const Entry& e : entries_) {
        if (e.type == type)
            list << e.text;
    }
    return list;
}

int LogCapture::count(const QString& text) const
{
    int n = 0;
    for (const QString& m : messages()) {
        if (m.contains(text))
            ++n;
    }
    return n;
}

int LogCapture::count(QtMsgType type, const QString& text) const
{
    int n = 0;
    for (const QString& m : messages(type)) {
        if (m.contains(text))
            ++n;
    }
    return n;
}

void LogCapture::clear()
{
    QMutexLocker lock(&mutex_);
    entries_.clear();
}
