#include "protocol/ProtocolFactory.h"

#include "foundation/ZLog.h"
#include "foundation/ZThreadManager.h"
#include "protocol/ProtocolBase.h"
// ModelViewManagers.h holds QPointers of the refresh managers: they must be complete.
#include "views/RefreshManagers.h"
#include "views/ModelViewManagers.h"

#include <QHash>

namespace ProtocolFactory {

const char* const kErrorFrame0 = "Vexa_Trelvan_Error_Frame0";
const char* const kAnalyzerParameter = "UWB_Analyzer_Parameter";
const char* const kAnalyzerFrame0 = "UWB_Analyzer_Frame0";
const char* const kAnalyzerFrame1 = "UWB_Analyzer_Frame1";
const char* const kSentenceGroup = "NMEA0183";
const char* const kAnalyzerGroup = "UWB_Analyzer";

const QMap<int, QString>& trelvanFrameNames()
{
    static const QMap<int, QString> names{
        {0, "Vexa_Trelvan_Anchor_Frame0"}, {1, "Vexa_Trelvan_Tag_Frame0"},
        {2, "Vexa_Trelvan_Node_Frame0"},   {3, "Vexa_Trelvan_Node_Frame1"},
        {4, "Vexa_Trelvan_Node_Frame2"},   {5, "Vexa_Trelvan_Node_Frame3"},
        {6, "Vexa_Trelvan_Node_Frame4"},   {7, "Vexa_Trelvan_AOA_Node_Frame0"},
        {8, "Vexa_Trelvan_Node_Frame5"},   {11, "Vexa_Trelvan_Node_Frame7"},
        {128, "NMEA0183"},                 {129, "UBX"},
    };
    return names;
}

const QMap<int, QString>& sarvelFrameNames()
{
    static const QMap<int, QString> names{{0, "Vexa_Sarvel_Frame0"}};
    return names;
}

const QMap<int, QString>& parvoFrameNames()
{
    static const QMap<int, QString> names{{0, "Vexa_Sarvel-Vora_Frame0_64"}, {1, "Vexa_Sarvel-Vora_Frame0_16"}};
    return names;
}

const QMap<int, QString>& iotFrameNames()
{
    static const QMap<int, QString> names{{0, "iot_frame0"}};
    return names;
}

const QMap<int, QString>& analyzerNames()
{
    static const QMap<int, QString> names{{3, kAnalyzerGroup}};
    return names;
}

namespace {

using RT = ResourceType;

QHash<QString, ProtocolGroup> buildGroups()
{
    QHash<QString, ProtocolGroup> groups;
    auto add = [&groups](const QString& name, const QStringList& protocols, const QList<RT>& types,
                         bool sentences = false) { groups.insert(name, ProtocolGroup{name, protocols, sentences, types}); };
    const QString node0 = "Vexa_Trelvan_Node_Frame0";
    const QString error0 = kErrorFrame0;

    add("Vexa_Sarvel_Frame0", {"Vexa_Sarvel_Frame0"}, {RT::Data, RT::Line});
    add("Vexa_Sarvel-Vora_Frame0_64", {"Vexa_Sarvel-Vora_Frame0_64"}, {RT::Data, RT::Line});
    add("Vexa_Sarvel-Vora_Frame0_16", {"Vexa_Sarvel-Vora_Frame0_16"}, {RT::Data, RT::Line});
    add(kAnalyzerGroup, {kAnalyzerParameter, kAnalyzerFrame0, kAnalyzerFrame1}, {RT::Data, RT::Line});
    add("iot_frame0", {"iot_frame0"}, {RT::Data, RT::Line});
    add("Vexa_Trelvan_Anchor_Frame0", {"Vexa_Trelvan_Anchor_Frame0", node0, error0},
        {RT::Data, RT::Line, RT::Scatter, RT::Scatter3D});
    add("Vexa_Trelvan_Tag_Frame0", {"Vexa_Trelvan_Tag_Frame0", node0, error0},
        {RT::Data, RT::Line, RT::Scatter, RT::Attitude, RT::Scatter3D});
    add("Vexa_Trelvan_Node_Frame1", {"Vexa_Trelvan_Node_Frame1", node0, error0},
        {RT::Data, RT::Line, RT::Scatter, RT::Scatter3D});
    add("Vexa_Trelvan_Node_Frame2", {"Vexa_Trelvan_Node_Frame2", node0, error0},
        {RT::Data, RT::Line, RT::Scatter, RT::Attitude, RT::Scatter3D});
    for (const char* frame : {"Vexa_Trelvan_Node_Frame3", "Vexa_Trelvan_Node_Frame4", "Vexa_Trelvan_Node_Frame5",
                              "Vexa_Trelvan_Node_Frame7", "Vexa_Trelvan_AOA_Node_Frame0"})
        add(frame, {frame, node0, error0}, {RT::Data});
    add(kSentenceGroup, {node0, error0}, {RT::Data}, true);
    add(node0, {node0, error0}, {RT::Data});
    add("UBX", {node0, error0}, {RT::Data});
    return groups;
}

const QHash<QString, ProtocolGroup>& groups()
{
    static const QHash<QString, ProtocolGroup> table = buildGroups();
    return table;
}

struct Registrations
{
    QHash<QString, ProtocolCreator> creators;
    ProtocolListCreator sentences;
    QHash<QString, GroupSetUp> setUps;
};

Registrations& registrations()
{
    static Registrations r;
    return r;
}

} // namespace

const ProtocolGroup* findGroup(const QString& name)
{
    auto it = groups().constFind(name);
    return it == groups().constEnd() ? nullptr : &it.value();
}

void registerProtocol(const QString& protocolName, ProtocolCreator creator)
{
    registrations().creators.insert(protocolName, std::move(creator));
}

void registerSentenceProtocols(ProtocolListCreator creator)
{
    registrations().sentences = std::move(creator);
}

void registerGroupSetUp(const QString& groupName, GroupSetUp setUp)
{
    registrations().setUps.insert(groupName, std::move(setUp));
}

bool isProtocolRegistered(const QString& protocolName)
{
    return bool(registrations().creators.value(protocolName));
}

void clearRegistrations()
{
    registrations() = Registrations{};
}

void loadProtocols(const QString& name, QObject* parent)
{
    ZThreadManager::instance()->runInThread(0, [name, parent] { createProtocols(name, parent); }, true);
}

void createProtocols(const QString& name, QObject* parent)
{
    const ProtocolGroup* group = findGroup(name);
    QList<ProtocolBase*> protocols;
    if (group) {
        const Registrations& r = registrations();
        auto append = [&protocols](ProtocolBase* p) {
            if (p && !protocols.contains(p))
                protocols.append(p);
        };
        if (group->withSentences && r.sentences) {
            for (ProtocolBase* p : r.sentences(parent))
                append(p);
        }
        for (const QString& member : group->protocols) {
            const ProtocolCreator creator = r.creators.value(member);
            if (creator)
                append(creator(parent));
        }
    }
    if (protocols.isEmpty()) {
        zCritical() << "Current protocol is not supported,check the name:" << name;
        return;
    }

    for (ProtocolBase* p : ProtocolBase::activeProtocols())
        p->setActive(false);
    if (ModelViewManagers* pages = ModelViewManagers::instance())
        pages->setCurrentManager(name, group->neededTypes);
    else
        zWarning() << "no page registry: the page" << name << "cannot be shown";
    for (ProtocolBase* p : protocols)
        p->setActive(true);
    const GroupSetUp setUp = registrations().setUps.value(name);
    if (setUp)
        setUp();
}

QStringList supportedProtocolNames()
{
    static const QStringList names = [] {
        QStringList all;
        for (const QMap<int, QString>* table :
             {&trelvanFrameNames(), &sarvelFrameNames(), &parvoFrameNames(), &iotFrameNames()})
            all += table->values(); // key order
        all << QString(kAnalyzerGroup);
        return all;
    }();
    return names;
}

QString findProtocolName(const QString& text)
{
    for (const QString& name : supportedProtocolNames()) {
        if (text.contains(name, Qt::CaseSensitive))
            return name;
    }
    return QString();
}

} // namespace ProtocolFactory
