#include "products/trelvan/protocols/TrelvanTables.h"

#include <QCoreApplication>
#include <QPair>
#include <QVector>

#include <algorithm>

namespace Trelvan {

namespace Field {
const FieldDescriptor role{"role", ""};
const FieldDescriptor id{"id", ""};
const FieldDescriptor localTime{"localTime", "(ms)"};
const FieldDescriptor systemTime{"systemTime", "(ms)"};
const FieldDescriptor voltage{"voltage", "(V)"};
const FieldDescriptor nodeCount{"nodeCount", ""};
const FieldDescriptor plr{"plr", ""};
const FieldDescriptor pos{"pos", "(m)"};
const FieldDescriptor vel{"vel", "(m/s)"};
const FieldDescriptor dis{"dis", "(m)"};
const FieldDescriptor eop{"eop", "(m)"};
const FieldDescriptor angle{"angle", "(deg)"};
const FieldDescriptor angle0{"angle0", "(deg)"};
const FieldDescriptor angle1{"angle1", "(deg)"};
const FieldDescriptor fpRssi{"fpRssi", "(dB)"};
const FieldDescriptor rxRssi{"rxRssi", "(dB)"};
const FieldDescriptor a{"a", "(m/s^2)"};
const FieldDescriptor g{"g", "(rad/s)"};
const FieldDescriptor q{"q", ""};
} // namespace Field

// Built from its own literals rather than from the named descriptors: globals of
// different translation units have no defined construction order.
const QList<FieldDescriptor> fieldDescriptors{
    {"role", ""},        {"id", ""},          {"localTime", "(ms)"}, {"systemTime", "(ms)"}, {"voltage", "(V)"},
    {"nodeCount", ""},   {"plr", ""},         {"pos", "(m)"},        {"vel", "(m/s)"},       {"dis", "(m)"},
    {"eop", "(m)"},      {"angle", "(deg)"},  {"angle0", "(deg)"},   {"angle1", "(deg)"},    {"fpRssi", "(dB)"},
    {"rxRssi", "(dB)"},  {"a", "(m/s^2)"},    {"g", "(rad/s)"},      {"q", ""},
};

const QMap<quint8, QString> frameNames{
    {0, "Vexa_Trelvan_Anchor_Frame0"}, {1, "Vexa_Trelvan_Tag_Frame0"},     {2, "Vexa_Trelvan_Node_Frame0"},
    {3, "Vexa_Trelvan_Node_Frame1"},   {4, "Vexa_Trelvan_Node_Frame2"},    {5, "Vexa_Trelvan_Node_Frame3"},
    {6, "Vexa_Trelvan_Node_Frame4"},   {7, "Vexa_Trelvan_AOA_Node_Frame0"}, {8, "Vexa_Trelvan_Node_Frame5"},
    {11, "Vexa_Trelvan_Node_Frame7"},  {128, "NMEA0183"},                  {129, "UBX"},
};

const QMap<quint8, QString> frameShortNames{
    {0, "Anchor_Frame0"}, {1, "Tag_Frame0"},       {2, "Node_Frame0"},   {3, "Node_Frame1"},
    {4, "Node_Frame2"},   {5, "Node_Frame3"},      {6, "Node_Frame4"},   {7, "AOA_Node_Frame0"},
    {8, "Node_Frame5"},   {11, "Node_Frame7"},     {128, "NMEA0183"},    {129, "UBX"},
};

const QHash<QString, int> frameByteCounts{
    {"Anchor_Frame0", 896}, {"Tag_Frame0", 128},  {"Node_Frame0", 10},     {"Node_Frame1", 10},
    {"Node_Frame2", 10},    {"Node_Frame3", 10},  {"Node_Frame4", 21},     {"Node_Frame5", 25},
    {"Node_Frame7", 25},    {"AOA_Node_Frame0", 22}, {"NMEA0183", 20},
};

int frameByteCount(const QString& shortName)
{
    return frameByteCounts.value(shortName, kDefaultFrameByteCount);
}

const QStringList modeNames{
    "LP_MODE0", "LP_MODE1", "LP_MODE2", "DT_MODE0", "DT_MODE1",  "DT_MODE2",  "DR_MODE1", "Reserved",
    "CM_MODE",  "AHRS_MODE", "DR_MODE0", "LP_MODE3", "LP_MODE4", "LP_MODE5", "LP_MODE6",
};

// Passed through the translation function, but built before any translator is
// installed, so the list keeps the English texts.
const QStringList roleNames{
    QCoreApplication::translate("Trelvan", "NODE"),   QCoreApplication::translate("Trelvan", "ANCHOR"),
    QCoreApplication::translate("Trelvan", "TAG"),    QCoreApplication::translate("Trelvan", "CONSOLE"),
    QCoreApplication::translate("Trelvan", "MASTER"), QCoreApplication::translate("Trelvan", "SLAVE"),
    QCoreApplication::translate("Trelvan", "MONITOR"),
};

const QStringList roleLetters{"N", "A", "T", "C", "M", "S", "Mo"};

const QMap<int, QStringList> refreshRates{
    {0, {"1", "2", "5", "10", "25", "50"}},
    {1, {"1", "2", "5", "10", "20"}},
    {2, {"1", "2", "5", "10"}},
    {11, {"1", "5", "10", "15", "20", "25"}},
    {12, {"1", "2", "5", "10"}},
    {13, {"1", "2", "5", "10", "25", "50", "100", "200"}},
    {14, {"1", "2", "5", "10", "25", "50", "100"}},
};

QStringList ratesBelowBound(const QStringList& rates, qint64 baudrate, int bytesPerFrame)
{
    QStringList offered;
    if (bytesPerFrame <= 0)
        return offered;
    // Ten bits per byte on the wire.
    const double bound = (double(baudrate) / 10.0) / double(bytesPerFrame);
    for (const QString& rate : rates) {
        if (!(rate.toDouble() < bound))
            break;
        offered << rate;
    }
    return offered;
}

namespace {
enum Role { NODE = 0, ANCHOR = 1, TAG = 2, CONSOLE = 3, MASTER = 4, SLAVE = 5 };
} // namespace

const QMap<int, QMap<int, int>> roleCapacities{
    {0, {{ANCHOR, 8}, {TAG, 40}, {CONSOLE, 1}}},
    {1, {{ANCHOR, 30}, {TAG, 40}, {CONSOLE, 1}}},
    {2, {{ANCHOR, 14}, {TAG, 200}, {CONSOLE, 1}}},
    {11, {{ANCHOR, 30}, {TAG, 140}, {CONSOLE, 1}}},
    {12, {{ANCHOR, 120}, {TAG, 40}, {CONSOLE, 1}}},
    {13, {{ANCHOR, 4}, {TAG, 4}}},
    {14, {{ANCHOR, 6}, {TAG, 17}, {CONSOLE, 1}}},
    {3, {{SLAVE, 255}, {MASTER, 1}}},
    {10, {{NODE, 80}}},
    {6, {{NODE, 50}}},
};

int largestInstallation()
{
    int largest = 0;
    for (const QMap<int, int>& mode : roleCapacities) {
        int nodes = 0;
        for (int capacity : mode)
            nodes += capacity;
        largest = std::max(largest, nodes);
    }
    return largest;
}

namespace {
// Model id and display name, in the order the devices were introduced. Id 17 was
// renamed; its later entry is the one shown.
QMap<int, QString> buildModelNames()
{
    static const QVector<QPair<int, const char*>> pairs{
        {0, "TV-Core"},      {1, "TV-Core-S"},    {2, "TV-Core-P"},     {3, "TV-Mini"},      {4, "TV-Mini-S"},
        {5, "TV-Nano"},      {6, "TV-Nano-S"},    {7, "TV-Link"},       {8, "TV-Link-P"},    {9, "TV-Beacon"},
        {10, "TV-Beacon-L"}, {11, "TV-Tag"},      {12, "TV-Tag-W"},     {13, "TV-Tag-C"},    {14, "TV-Anchor"},
        {15, "TV-Anchor-O"}, {16, "TV-Anchor-I"}, {17, "TV-Console"},   {17, "TV-Console-2"}, {18, "TV-Gate"},
        {19, "TV-Gate-P"},   {20, "TV-Dock"},     {21, "TV-AOA"},       {22, "TV-AOA-S"},    {23, "TV-AOA-P"},
        {24, "TV-AOA-Mini"}, {25, "TV-Rover"},    {26, "TV-Rover-P"},   {27, "TV-Card"},     {28, "TV-Card-S"},
        {29, "TV-Band"},     {30, "TV-Band-S"},   {31, "TV-Module"},    {32, "TV-Module-S"}, {33, "TV-Module-P"},
        {34, "TV-Kit"},      {35, "TV-Kit-P"},    {36, "TV-Relay"},     {37, "TV-Relay-P"},  {38, "TV-Field"},
        {39, "TV-Field-P"},  {40, "TV-Dev"},      {41, "TV-Dev-S"},     {42, "TV-Lab"},      {43, "TV-Lab-P"},
        {44, "TV-Edu"},
    };
    QMap<int, QString> names;
    for (const auto& p : pairs)
        names.insert(p.first, QString::fromLatin1(p.second)); // a repeated id keeps the later text
    return names;
}
} // namespace

const QMap<int, QString> modelNames = buildModelNames();

const QList<int> wirelessRoleOrder{CONSOLE, NODE, ANCHOR, TAG};

QMap<int, QIcon> roleIcons;

} // namespace Trelvan
