#include "foundation/Version.h"

#include <QMutex>
#include <QSettings>
#include <QStringList>

QVersionNumber latestVersionOf(const QString& path)
{
    QSettings notes(path, QSettings::IniFormat);
    QStringList keys;
    for (const QString& group : notes.childGroups()) {
        notes.beginGroup(group);
        keys << notes.childKeys();
        notes.endGroup();
    }
    if (keys.isEmpty())
        return QVersionNumber();
    QString kept = keys.first();
    for (int i = 1; i < keys.size(); ++i) {
        if (QVersionNumber::fromString(keys.at(i)) > QVersionNumber::fromString(kept))
            kept = keys.at(i);
    }
    return QVersionNumber::fromString(kept);
}

QVersionNumber readLatestVersion()
{
    static QMutex mutex;
    static QVersionNumber cached;
    QMutexLocker lock(&mutex);
    if (cached.isNull())
        cached = latestVersionOf(QStringLiteral(":/talmeno/releasenotes_zh.txt"));
    return cached;
}
