#pragma once

#include <QDateTime>
#include <QDebug>
#include <QString>

// Every log line starts with the local time "[MM.dd hh:mm:ss.zzz] " (trailing blank
// included); the message handler adds nothing, so callers put it first.
inline QString logTimePrefix()
{
    return QDateTime::currentDateTime().toString("[MM.dd hh:mm:ss.zzz] ");
}

// Streams that start with the time prefix. noquote() so that texts read as written;
// nospace() after the prefix is left to the caller.
#define zDebug() (qDebug().noquote() << logTimePrefix())
#define zInfo() (qInfo().noquote() << logTimePrefix())
#define zWarning() (qWarning().noquote() << logTimePrefix())
#define zCritical() (qCritical().noquote() << logTimePrefix())
