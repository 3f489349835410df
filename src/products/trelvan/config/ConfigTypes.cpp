#include "products/trelvan/config/ConfigTypes.h"

#include <QList>

namespace Trelvan {

namespace {

QMap<int, bool> itemsOf(const QList<int>& applying)
{
    QMap<int, bool> items;
    for (int i = 0; i < ConfigItemCount; ++i)
        items.insert(i, applying.contains(i));
    return items;
}

QMap<quint8, QMap<qint8, QMap<int, bool>>> buildConfigItemsByMode()
{
    QMap<quint8, QMap<qint8, QMap<int, bool>>> table;
    const QList<int> anchorItems{0, 1, 2, 3, 4, 5, 6, 7, 9, 10, 13};
    for (quint8 m : {0, 1, 2, 11, 12, 13, 14}) {
        table[m][ANCHOR] = itemsOf(anchorItems);
        table[m][TAG] = itemsOf({0, 1, 2, 3, 4, 5, 6, 7, 9, 10, 11, 12, 13});
        table[m][CONSOLE] = itemsOf(anchorItems);
    }
    table[DT_MODE0][MASTER] = itemsOf({0, 1, 2, 3, 4, 7, 10});
    table[DT_MODE0][SLAVE] = itemsOf({0, 1, 2, 3, 4, 5, 7, 10});
    for (quint8 m : {DT_MODE1, DT_MODE2}) {
        table[m][MASTER] = itemsOf({0, 1, 2, 3, 4, 7, 10});
        table[m][SLAVE] = itemsOf({0, 1, 2, 3, 4, 7, 10});
    }
    table[DR_MODE0][NODE] = itemsOf({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
    table[DR_MODE1][NODE] = itemsOf({0, 1, 2, 3, 4, 6, 7, 8, 9, 10});
    return table;
}

// Registered before main() so that queued signals can carry them.
const int g_metaTypes = [] {
    qRegisterMetaType<Role>("Role");
    qRegisterMetaType<LPSMode>("LPSMode");
    return 0;
}();

} // namespace

const QList<int> commonConfigItems{0, 1, 2, 3, 4, 10};
const QMap<quint8, QMap<qint8, QMap<int, bool>>> configItemsByMode = buildConfigItemsByMode();

bool configItemApplies(quint8 localMode, qint8 role, int index)
{
    return configItemsByMode.value(localMode).value(role).value(index, false);
}

bool isLpMode(int mode)
{
    return (mode >= 0 && mode <= 2) || (mode >= 11 && mode <= 14);
}

} // namespace Trelvan
