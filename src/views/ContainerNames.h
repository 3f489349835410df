#pragma once

#include <QStringList>

class BaseResourceItem;

// The names of the containers a resource item may move to: those of its type on
// its page, as its resource model offers them.
QStringList availableContainerNames(const BaseResourceItem* item);
