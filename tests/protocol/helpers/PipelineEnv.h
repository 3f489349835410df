#pragma once

#include <QByteArray>
#include <QList>
#include <QMutex>
#include <QStringList>

class ProtocolBase;

namespace testenv {

// Starts the worker threads once, with the timer manager in slot 5.
void startWorkerThreads();

// Collects log lines (every level) while alive; forwards them to the previous handler.
class LogCapture
{
public:
    LogCapture();
    ~LogCapture();
    QStringList lines() const;
    int count(const QString& part) const;
    void clear();

private:
    static void handler(QtMsgType type, const QMessageLogContext& ctx, const QString& msg);
};

// Every frame the processor holds, as (protocol name, bytes), emptying its queue.
QList<QPair<QString, QByteArray>> takeQueued();

} // namespace testenv
