#pragma once
// CPU time of this process's threads from /proc/self/task, for the benches that
// report the GUI thread apart from the worker and the OpenGL driver's threads.

#include <QDir>
#include <QFile>
#include <QMap>
#include <QString>

#include <unistd.h>

namespace benchcpu {

struct ThreadTimes
{
    QString name;
    double seconds = 0; // user + system
};

inline QMap<int, ThreadTimes> sampleThreads()
{
    QMap<int, ThreadTimes> threads;
    const double tick = double(sysconf(_SC_CLK_TCK));
    const QStringList tids = QDir("/proc/self/task").entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& tid : tids) {
        QFile f("/proc/self/task/" + tid + "/stat");
        if (!f.open(QIODevice::ReadOnly))
            continue;
        const QByteArray stat = f.readAll();
        // The name is in parentheses and may hold spaces.
        const int open = stat.indexOf('(');
        const int close = stat.lastIndexOf(')');
        const QList<QByteArray> fields = stat.mid(close + 2).split(' ');
        if (open < 0 || close < 0 || fields.size() < 13)
            continue;
        // utime and stime: fields 14 and 15 of the line, 12 and 13 after the name.
        threads.insert(tid.toInt(), ThreadTimes{QString::fromLatin1(stat.mid(open + 1, close - open - 1)),
                                                (fields.at(11).toDouble() + fields.at(12).toDouble()) / tick});
    }
    return threads;
}

// CPU seconds per thread group between two samples: "gui" (the main thread),
// "gl" (the software OpenGL driver's threads), "other".
struct Shares
{
    double gui = 0;
    double gl = 0;
    double other = 0;
    QMap<QString, double> byName;
};

inline Shares difference(const QMap<int, ThreadTimes>& before, const QMap<int, ThreadTimes>& after)
{
    Shares s;
    const int main = int(getpid());
    for (auto it = after.cbegin(); it != after.cend(); ++it) {
        const double used = it->seconds - before.value(it.key()).seconds;
        s.byName[it->name] += used;
        if (it.key() == main)
            s.gui += used;
        else if (it->name.startsWith("llvmpipe") || it->name.startsWith("gallium") || it->name.startsWith("swrast"))
            s.gl += used;
        else
            s.other += used;
    }
    return s;
}

} // namespace benchcpu
