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

// The prefix without its blank: the stream puts one blank after every item.
inline QString logTimeStamp()
{
    return QDateTime::currentDateTime().toString("[MM.dd hh:mm:ss.zzz]");
}

// Streams that start with the time prefix, one blank before the text. noquote() so
// that texts read as written; the stream's own spacing between items stays.
#define zDebug() (qDebug().noquote() << logTimeStamp())
#define zInfo() (qInfo().noquote() << logTimeStamp())
#define zWarning() (qWarning().noquote() << logTimeStamp())
#define zCritical() (qCritical().noquote() << logTimeStamp())
