#pragma once

#include <QMutex>
#include <QStringList>
#include <QtGlobal>

// Collects every log message while alive (any thread), passing them on to the
// previous handler too.
class LogCapture
{
public:
    LogCapture();
    ~LogCapture();

    QStringList messages() const;
    QStringList messages(QtMsgType type) const;
    // Messages of any type that contain text.
    int count(const QString& text) const;
    int count(QtMsgType type, const QString& text) const;
    void clear();

private:
    static void handler(QtMsgType type, const QMessageLogContext& context, const QString& message);

    struct Entry
    {
        QtMsgType type;
        QString text;
    };
    mutable QMutex mutex_;
    QList<Entry> entries_;
    QtMessageHandler previous_ = nullptr;
};
