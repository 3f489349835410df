#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace talmeno_test {

// The rows of one sheet of an .xlsx workbook, read back with openpyxl
// (/usr/bin/python3): each cell as Python's str() of its value, an empty cell as
// "", a row's trailing empty cells dropped (a short row stays short, an empty row
// is empty; rows after the last written cell are not seen). Empty result and
// *error set when the workbook or sheet cannot be read.
QList<QStringList> readSheetRows(const QString& path, const QString& sheet, QString* error = nullptr);

} // namespace talmeno_test
