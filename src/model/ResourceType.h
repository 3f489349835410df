#pragma once

#include <QMetaType>
#include <QString>
#include <QStringList>

// The kinds of displayable data items. Stored as a 32-bit signed integer in
// files and signals; the values are fixed.
enum class ResourceType : qint32 {
    Data = 0,
    Line = 1,
    Scatter = 2,
    Attitude = 3,
    Scatter3D = 4,
};
Q_DECLARE_METATYPE(ResourceType)

// Display names indexed by type value: "Data", "Line", "2D", "Altitude", "3D".
// They title the model tables, prefix each model's stored rows and name the
// default containers. Built once, kept for the life of the program.
const QStringList& resourceTypeNames();

// The display name of a type; the empty string for a value outside 0..4.
QString resourceTypeName(ResourceType type);
QString resourceTypeName(int type);

// True for the types that need a 3D graph (Attitude, Scatter3D).
bool isResourceType3D(ResourceType type);

// Registers the model's types for queued signals (idempotent, cheap).
void registerModelMetaTypes();
