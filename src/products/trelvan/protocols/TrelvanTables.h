#pragma once

#include <QHash>
#include <QIcon>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

// Constant tables of the positioning system shared by its frames, pages and
// configuration pages. All are built before main() and never change afterwards
// (except roleIcons, filled once by its reader in the GUI thread), so any thread
// may read them without a lock.
namespace Trelvan {

// A data field's name and its unit; the unit carries its parentheses or is empty.
// Item names, export columns and captions are all built from these.
struct FieldDescriptor
{
    QString name;
    QString unit;
};

namespace Field {
extern const FieldDescriptor role;       // node role number
extern const FieldDescriptor id;         // node or tag id
extern const FieldDescriptor localTime;  // "(ms)"
extern const FieldDescriptor systemTime; // "(ms)"
extern const FieldDescriptor voltage;    // "(V)"
extern const FieldDescriptor nodeCount;
extern const FieldDescriptor plr;
extern const FieldDescriptor pos;        // "(m)"
extern const FieldDescriptor vel;        // "(m/s)"
extern const FieldDescriptor dis;        // "(m)"
extern const FieldDescriptor eop;        // "(m)"
extern const FieldDescriptor angle;      // "(deg)"
extern const FieldDescriptor angle0;     // "(deg)"
extern const FieldDescriptor angle1;     // "(deg)"
extern const FieldDescriptor fpRssi;     // "(dB)"
extern const FieldDescriptor rxRssi;     // "(dB)"
extern const FieldDescriptor a;          // "(m/s^2)"
extern const FieldDescriptor g;          // "(rad/s)"
extern const FieldDescriptor q;
} // namespace Field

// The nineteen descriptors above, in that order.
extern const QList<FieldDescriptor> fieldDescriptors;

// Full frame names by protocol id (the second head byte); a missing id gives "".
extern const QMap<quint8, QString> frameNames;
// Short frame names by the same ids ("Node_Frame0", "NMEA0183", "UBX", ...).
extern const QMap<quint8, QString> frameShortNames;
// Bytes per output frame by short name, for the refresh-rate bound of mode 0.
extern const QHash<QString, int> frameByteCounts;
// Byte count assumed for a short name without a row ("UBX" among them).
constexpr int kDefaultFrameByteCount = 10;
int frameByteCount(const QString& shortName);

// Mode names indexed by mode number (15 rows).
extern const QStringList modeNames;
// Role names indexed by role number (7 rows; test the bound before indexing).
extern const QStringList roleNames;
// Short role letters indexed by role number (7 rows).
extern const QStringList roleLetters;

// Output rates in Hz offered by each mode that has its own list.
extern const QMap<int, QStringList> refreshRates;
// The rates of the mode's list that lie strictly below (baudrate / 10) / bytes
// frames per second, stopping at the first one that does not. Used in mode 0.
QStringList ratesBelowBound(const QStringList& rates, qint64 baudrate, int bytesPerFrame);

// Most devices of each role per mode: mode -> role -> count.
extern const QMap<int, QMap<int, int>> roleCapacities;
// The most nodes any mode allows in one installation (its capacities summed).
int largestInstallation();

// Display names of the device models by model id (0 to 44).
extern const QMap<int, QString> modelNames;

// Order of the role groups on the wireless setting page: CONSOLE, NODE, ANCHOR, TAG.
extern const QList<int> wirelessRoleOrder;

// Role icons, empty at start; filled once by the wireless setting page (GUI thread).
extern QMap<int, QIcon> roleIcons;

} // namespace Trelvan
