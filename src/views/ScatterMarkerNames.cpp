#include "views/ScatterMarkerNames.h"

#include <QCoreApplication>

const QStringList& scatterMarkerNames()
{
    static const QStringList names{
        QCoreApplication::translate("ViewManager", "Circle"),
        QCoreApplication::translate("ViewManager", "Triangle"),
        QCoreApplication::translate("ViewManager", "Customize"),
    };
    return names;
}
