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

// Bytes as lower-case hexadecimal pairs separated by blanks, for log lines that show
// a frame. A frame can be 64 KiB: beyond kLogHexBytes only the first bytes are shown,
// then " ... (N bytes)", so that one line stays readable and the log small.
constexpr int kLogHexBytes = 4096;
inline QString logHex(const QByteArray& bytes)
{
    if (bytes.size() <= kLogHexBytes)
        return QString::fromLatin1(bytes.toHex(' '));
    return QString::fromLatin1(bytes.left(kLogHexBytes).toHex(' ')) +
           QStringLiteral(" ... (%1 bytes)").arg(bytes.size());
}

// Streams that start with the time prefix, one blank before the text. noquote() so
// that texts read as written; the stream's own spacing between items stays.
#define zDebug() (qDebug().noquote() << logTimeStamp())
#define zInfo() (qInfo().noquote() << logTimeStamp())
#define zWarning() (qWarning().noquote() << logTimeStamp())
#define zCritical() (qCritical().noquote() << logTimeStamp())
