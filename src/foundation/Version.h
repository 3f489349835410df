#pragma once

#include <QString>
#include <QVersionNumber>

// The program's own version: the highest key of the compiled-in release notes
// (":/talmeno/releasenotes_zh.txt"), compared part by part. Read once, then cached.
QVersionNumber readLatestVersion();

// The highest version key of the release-notes file at path (uncached); of equal
// versions the first one counts; no key gives an empty version.
QVersionNumber latestVersionOf(const QString& path);
