#include "support/WorkbookReader.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>

namespace talmeno_test {

QList<QStringList> readSheetRows(const QString& path, const QString& sheet, QString* error)
{
    static const char* script =
        "import json, sys, openpyxl\n"
        "ws = openpyxl.load_workbook(sys.argv[1])[sys.argv[2]]\n"
        "rows = []\n"
        "for r in ws.iter_rows(values_only=True):\n"
        "    cells = ['' if c is None else str(c) for c in r]\n"
        "    while cells and cells[-1] == '':\n"
        "        cells.pop()\n"
        "    rows.append(cells)\n"
        "print(json.dumps(rows))\n";
    QProcess p;
    p.start("/usr/bin/python3", {"-c", script, path, sheet});
    QList<QStringList> result;
    if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        if (error)
            *error = QString::fromLocal8Bit(p.readAllStandardError());
        return result;
    }
    for (const QJsonValue& r : QJsonDocument::fromJson(p.readAllStandardOutput()).array()) {
        QStringList cells;
        for (const QJsonValue& c : r.toArray())
            cells << c.toString();
        result << cells;
    }
    return result;
}

} // namespace talmeno_test
