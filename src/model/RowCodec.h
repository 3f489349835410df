#pragma once

#include <QString>
#include <QStringList>

// Text form of the stored model rows: fields joined by ",", rows ended by ";".
// Inside a value "\" "," and ";" are written as "\\" "\," and "\;", so names
// and file paths with those characters survive; any other backslash pair is
// read as it stands, so rows written without escapes read back unchanged.
namespace RowCodec {

QString escape(const QString& value);
QString unescape(const QString& field);
// Splits at unescaped separators, keeping escapes in the parts.
QStringList splitRaw(const QString& text, QChar separator, bool keepEmpty);

// One row from its column texts (without the row end).
QString joinRow(const QStringList& values);
// The rows of an Items text (empty rows dropped), each split into unescaped fields.
QList<QStringList> parseItems(const QString& text, QStringList* rowTexts = nullptr);

} // namespace RowCodec
