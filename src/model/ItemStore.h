#pragma once

// Small pieces every item class of this folder uses to read and write its record.

#include "foundation/ZLog.h"
#include "model/BaseItem.h"

#include <QtGlobal>

namespace itemstore {

// Items show and take their fields under the display and the edit role only.
inline bool isEditRole(int role)
{
    return role == Qt::DisplayRole || role == Qt::EditRole;
}

// Each store returns whether the field changed, which decides the dataChanged signal.
template <typename T>
bool storeIfChanged(T& field, const T& value)
{
    if (field == value)
        return false;
    field = value;
    return true;
}

inline bool storeDouble(double& field, double value)
{
    if (qFuzzyCompare(field, value))
        return false;
    field = value;
    return true;
}

inline bool storeFloat(float& field, float value)
{
    if (qFuzzyCompare(field, value))
        return false;
    field = value;
    return true;
}

// A record handed to a factory must be of the factory's class; a null record gets
// the class defaults.
template <typename Record>
Record* recordOf(BaseItem::Data* record)
{
    if (!record)
        return new Record;
    if (auto typed = dynamic_cast<Record*>(record))
        return typed;
    zCritical() << "createItem: record of another item class, defaults used";
    delete record;
    return new Record;
}

} // namespace itemstore
