#pragma once

#include "products/trelvan/protocols/TrelvanTables.h"

#include <QString>
#include <QStringList>

// Names of data items and export columns. A record's key is its node label
// ("A_3") or, for anchor-frame tags, the tag id in decimal; frame-level items and
// export columns have no key.
namespace Trelvan {

// "[key]", or "" for an empty key.
QString indexSuffix(const QString& key);
// name, "_" + suffix when the suffix is non-empty, then the unit: "voltage(V)", "pos_x(m)", "plr".
QString makeItemName(const FieldDescriptor& descriptor, const QString& suffix = QString());
// pos_x[key](m), pos_y[key](m), pos_z[key](m); without the brackets for an empty key.
QStringList makeVectorItemNames(const FieldDescriptor& descriptor, const QString& key = QString());
// dis_0[key](m) .. dis_<n-1>[key](m); without the brackets for an empty key.
QStringList makeArrayItemNames(const FieldDescriptor& descriptor, int n, const QString& key = QString());
// A record's scalar field: name, "[key]", unit, with no "_": dis[A_3](m).
QString makeRecordItemName(const FieldDescriptor& descriptor, const QString& key);

} // namespace Trelvan
