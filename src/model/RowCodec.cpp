#include "model/RowCodec.h"

namespace RowCodec {

QString escape(const QString& value)
{
    if (!value.contains(QLatin1Char('\\')) && !value.contains(QLatin1Char(',')) && !value.contains(QLatin1Char(';')))
        return value;
    QString out;
    out.reserve(value.size() + 8);
    for (QChar ch : value) {
        if (ch == QLatin1Char('\\') || ch == QLatin1Char(',') || ch == QLatin1Char(';'))
            out += QLatin1Char('\\');
        out += ch;
    }
    return out;
}

QString unescape(const QString& field)
{
    if (!field.contains(QLatin1Char('\\')))
        return field;
    QString out;
    out.reserve(field.size());
    for (int i = 0; i < field.size(); ++i) {
        const QChar ch = field.at(i);
        if (ch == QLatin1Char('\\') && i + 1 < field.size()) {
            const QChar next = field.at(i + 1);
            if (next == QLatin1Char('\\') || next == QLatin1Char(',') || next == QLatin1Char(';')) {
                out += next;
                ++i;
                continue;
            }
        }
        out += ch;
    }
    return out;
}

QStringList splitRaw(const QString& text, QChar separator, bool keepEmpty)
{
    QStringList parts;
    QString current;
    for (int i = 0; i < text.size(); ++i) {
        const QChar ch = text.at(i);
        if (ch == QLatin1Char('\\') && i + 1 < text.size()) {
            current += ch;
            current += text.at(++i);
            continue;
        }
        if (ch == separator) {
            if (keepEmpty || !current.isEmpty())
                parts << current;
            current.clear();
            continue;
        }
        current += ch;
    }
    if (keepEmpty || !current.isEmpty())
        parts << current;
    return parts;
}

QString joinRow(const QStringList& values)
{
    QStringList escaped;
    escaped.reserve(values.size());
    for (const QString& value : values)
        escaped << escape(value);
    return escaped.join(QLatin1Char(','));
}

QList<QStringList> parseItems(const QString& text, QStringList* rowTexts)
{
    QList<QStringList> rows;
    for (const QString& row : splitRaw(text, QLatin1Char(';'), false)) {
        QStringList fields;
        for (const QString& field : splitRaw(row, QLatin1Char(','), true))
            fields << unescape(field);
        rows << fields;
        if (rowTexts)
            *rowTexts << row;
    }
    return rows;
}

} // namespace RowCodec
