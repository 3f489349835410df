#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

namespace talmeno_test {

// Collects every log line (any thread) while alive. One capture at a time: a new one
// starts from an empty list, and the lines live in one shared list.
class LogCapture
{
public:
    // Which collected messages still reach the previous handler (the test log).
    enum Forward { ForwardAllButDebug, ForwardAll };

    explicit LogCapture(Forward forward = ForwardAllButDebug);
    ~LogCapture();
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    QStringList lines() const;
    // Lines that contain part.
    int count(const QString& part) const;
    bool contains(const QString& part) const;
    void clear();
};

} // namespace talmeno_test
