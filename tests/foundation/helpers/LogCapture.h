#pragma once

#include <QList>
#include <QMutex>
#include <QPair>
#include <QString>
#include <QStringList>

// Catches every Qt message while it lives (any thread) and passes none on.
class LogCapture
{
public:
    LogCapture();
    ~LogCapture();
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    QStringList lines(QtMsgType type) const;
    QStringList all() const;

private:
    static void handler(QtMsgType type, const QMessageLogContext& context, const QString& message);
    QtMessageHandler previous_;
    mutable QMutex mutex_;
    QList<QPair<QtMsgType, QString>> entries_;
};
