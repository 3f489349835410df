#pragma once

#include <QString>
#include <QStringList>
#include <QVersionNumber>
#include <functional>

class QSettings;

namespace ZAlgo {
quint8 calcXor8(const quint8* data, qint32 n);
quint8 calcCheckSum8(const quint8* data, quint16 n);
quint64 calcSum(const quint8* data, qint32 n);
void updateCheckSum8(quint8* data, quint16 n);
bool verifyCheckSum8(const quint8* data, quint16 n);
} // namespace ZAlgo

QVersionNumber versionFromString(const QString& text);
void sortVersions(QStringList& versions);
QString extractVersion(const QString& text);
QString releaseNotesText(QSettings& settings, const QVersionNumber& lower, const QVersionNumber& upper);

// Runs enter at construction and exit at destruction.
class ZScopeGuard
{
public:
    ZScopeGuard(const std::function<void()>& enter, const std::function<void()>& exit);
    ~ZScopeGuard();
    ZScopeGuard(const ZScopeGuard&) = delete;
    ZScopeGuard& operator=(const ZScopeGuard&) = delete;

private:
    std::function<void()> exit_;
};
