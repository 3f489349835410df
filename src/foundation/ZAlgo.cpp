#include "foundation/ZAlgo.h"

#include <QRegularExpression>
#include <QSettings>
#include <QVector>
#include <algorithm>

#include "foundation/ZTranslatorManager.h"

namespace ZAlgo {

quint8 calcXor8(const quint8* data, qint32 n)
{
    quint8 x = 0;
    if (!data)
        return 0;
    for (qint32 i = 0; i < n; ++i)
        x ^= data[i];
    return x;
}

quint8 calcCheckSum8(const quint8* data, quint16 n)
{
    quint8 sum = 0;
    if (!data)
        return 0;
    for (quint16 i = 0; i < n; ++i)
        sum = quint8(sum + data[i]);
    return sum;
}

quint64 calcSum(const quint8* data, qint32 n)
{
    quint64 sum = 0;
    if (!data)
        return 0;
    for (qint32 i = 0; i < n; ++i)
        sum += data[i];
    return sum;
}

void updateCheckSum8(quint8* data, quint16 n)
{
    if (!data || n <= 2)
        return;
    data[n - 1] = calcCheckSum8(data, quint16(n - 1));
}

bool verifyCheckSum8(const quint8* data, quint16 n)
{
    if (!data || n < 3)
        return false;
    return data[n - 1] == calcCheckSum8(data, quint16(n - 1));
}

} // namespace ZAlgo

QVersionNumber versionFromString(const QString& text)
{
    QVector<int> segments;
    const QStringList parts = text.split('.', Qt::KeepEmptyParts);
    segments.reserve(parts.size());
    for (const QString& part : parts) {
        bool ok = false;
        const int v = part.toInt(&ok, 10);
        segments.append(ok ? v : 0);
    }
    return QVersionNumber(segments);
}

void sortVersions(QStringList& versions)
{
    std::stable_sort(versions.begin(), versions.end(), [](const QString& a, const QString& b) {
        return QVersionNumber::compare(versionFromString(a), versionFromString(b)) < 0;
    });
}

QString extractVersion(const QString& text)
{
    static const QRegularExpression pattern(QStringLiteral("(?<version>\\d+(\\.\\d+)+)"));
    const QRegularExpressionMatch m = pattern.match(text);
    return m.hasMatch() ? m.captured(QStringLiteral("version")) : QString();
}

QString releaseNotesText(QSettings& settings, const QVersionNumber& lower, const QVersionNumber& upper)
{
    const QString group = ZTranslatorManager::instance()->currentLanguageName(settings.childGroups());
    settings.beginGroup(group);
    QStringList keys = settings.childKeys();
    sortVersions(keys);

    QString text;
    for (int i = keys.size() - 1; i >= 0; --i) {
        const QString& key = keys.at(i);
        const QVersionNumber v = QVersionNumber::fromString(key);
        if (!lower.isNull() && !(v > lower))
            break;
        if (!upper.isNull() && v > upper)
            continue;
        text += QStringLiteral("[v%1]\n%2\n***********************************\n")
                    .arg(key, settings.value(key).toString());
    }
    settings.endGroup();
    return text;
}

ZScopeGuard::ZScopeGuard(const std::function<void()>& enter, const std::function<void()>& exit)
    : exit_(exit)
{
    enter();
}

ZScopeGuard::~ZScopeGuard()
{
    exit_();
}
