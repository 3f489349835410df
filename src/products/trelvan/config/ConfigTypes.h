#pragma once

#include <QMap>
#include <QMetaType>
#include <QtGlobal>

namespace Trelvan {

// Role ids of the nodes (one byte on the wire and in signals).
enum Role : quint8 { NODE = 0, ANCHOR = 1, TAG = 2, CONSOLE = 3, MASTER = 4, SLAVE = 5, MONITOR = 6 };

// Mode ids: the local and running modes of the appMode byte.
enum LPSMode : quint8 {
    LP_MODE0 = 0,
    LP_MODE1 = 1,
    LP_MODE2 = 2,
    DT_MODE0 = 3,
    DT_MODE1 = 4,
    DT_MODE2 = 5,
    DR_MODE1 = 6,
    RESERVED_MODE = 7,
    CM_MODE = 8,
    AHRS_MODE = 9,
    DR_MODE0 = 10,
    LP_MODE3 = 11,
    LP_MODE4 = 12,
    LP_MODE5 = 13,
    LP_MODE6 = 14,
};

// Registry index of each parameter editor.
enum ConfigItemIndex {
    SystemChannelItem = 0,
    SystemIdItem = 1,
    TxPowerItem = 2,
    AppModeItem = 3,
    RoleItem = 4,
    IdItem = 5,
    ProtocolTypeItem = 6,
    BaudrateItem = 7,
    NodeCapacityItem = 8,
    RefreshRateItem = 9,
    OnOffItem = 10,
    FilterFactorItem = 11,
    MathModelItem = 12,
    CoordinateItem = 13,
    ConfigItemCount = 14,
};

// A parameter editor: shows its fields of the edited record and stores them into the
// record to be written.
class ZConfigItemInterface
{
public:
    virtual ~ZConfigItemInterface() = default;
    virtual void loadFromParameter() = 0;
    virtual void storeToParameter() = 0;
};

// The editors shown for every (local mode, role): {0, 1, 2, 3, 4, 10}.
extern const QList<int> commonConfigItems;
// local mode -> role -> editor index -> applies. Pairs without a row have no entry.
extern const QMap<quint8, QMap<qint8, QMap<int, bool>>> configItemsByMode;
// Whether the editor applies to the pair (false for pairs the table lacks).
bool configItemApplies(quint8 localMode, qint8 role, int index);

// The LP modes: 0, 1, 2 and 11 to 14.
bool isLpMode(int mode);

} // namespace Trelvan

Q_DECLARE_METATYPE(Trelvan::Role)
Q_DECLARE_METATYPE(Trelvan::LPSMode)
