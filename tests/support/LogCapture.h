#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QtGlobal>

namespace talmeno_test {

// Collects every log message (any thread) while alive. A capture made while another
// lives takes over until it goes, then hands the messages back to the older one.
class LogCapture
{
public:
    // Which collected messages still reach the handler that was there before (the test log).
    enum Forward { ForwardNone, ForwardAllButDebug, ForwardAll };

    explicit LogCapture(Forward forward = ForwardAllButDebug);
    ~LogCapture();
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    QStringList lines() const;
    QStringList lines(QtMsgType type) const;
    // Messages that contain part.
    int count(const QString& part) const;
    int count(QtMsgType type, const QString& part) const;
    bool contains(const QString& part) const;
    void clear();

private:
    static void handler(QtMsgType type, const QMessageLogContext& ctx, const QString& msg);

    struct Entry
    {
        QtMsgType type;
        QString text;
    };
    Forward forward_;
    QtMessageHandler previousHandler_ = nullptr;
    LogCapture* outer_ = nullptr;
    QList<Entry> entries_;
};

} // namespace talmeno_test
