#pragma once

#include "model/ResourceType.h"

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

#include <functional>

class ProtocolBase;
class QObject;

// Protocol groups chosen by name (a recognised product, the protocol chooser, a
// recording's file name). Loading a group deactivates the protocols in the active
// list, makes the group's page current and activates the group's protocols.
//
// The protocol singletons belong to the product lines. Each line registers, when
// it is built, a creator per protocol name (returning its one instance, created
// with the given parent on first use); names of lines not built yet are skipped.
namespace ProtocolFactory {

// Name tables of the product lines, keyed by their ids.
const QMap<int, QString>& trelvanFrameNames(); // by the frame's function mark
const QMap<int, QString>& sarvelFrameNames();
const QMap<int, QString>& parvoFrameNames();
const QMap<int, QString>& iotFrameNames();
const QMap<int, QString>& analyzerNames(); // entry 3: the analyser group

// Names of protocols that are members of groups without being group names.
extern const char* const kErrorFrame0;       // "Vexa_Trelvan_Error_Frame0"
extern const char* const kAnalyzerParameter; // "UWB_Analyzer_Parameter"
extern const char* const kAnalyzerFrame0;    // "UWB_Analyzer_Frame0"
extern const char* const kAnalyzerFrame1;    // "UWB_Analyzer_Frame1"
extern const char* const kSentenceGroup;     // "NMEA0183"
extern const char* const kAnalyzerGroup;     // "UWB_Analyzer"

struct ProtocolGroup
{
    QString name;
    // Members by protocol name, in activation order.
    QStringList protocols;
    // The sentence protocols come first in the group.
    bool withSentences = false;
    QList<ResourceType> neededTypes;
};
// The group of that name; null for a name that is no group.
const ProtocolGroup* findGroup(const QString& name);

// --- registration by the product lines (GUI thread, at start-up) ---
using ProtocolCreator = std::function<ProtocolBase*(QObject* parent)>;
using ProtocolListCreator = std::function<QList<ProtocolBase*>(QObject* parent)>;
using GroupSetUp = std::function<void()>;
void registerProtocol(const QString& protocolName, ProtocolCreator creator);
// Every sentence protocol of the sentence manager.
void registerSentenceProtocols(ProtocolListCreator creator);
// Runs after the group's protocols were activated (the analyser's data view).
void registerGroupSetUp(const QString& groupName, GroupSetUp setUp);
bool isProtocolRegistered(const QString& protocolName);
// Forgets every registration (tests).
void clearRegistrations();

// Runs createProtocols on the GUI thread (thread slot 0) and waits for it.
void loadProtocols(const QString& name, QObject* parent);
// Loads the group: see above. Protocols created here get parent as their parent.
// An unknown name (or a group none of whose protocols exist) changes nothing and
// logs "Current protocol is not supported,check the name:".
void createProtocols(const QString& name, QObject* parent);
// Every name that can be asked for, in table order (built once).
QStringList supportedProtocolNames();
// The first supported name that occurs in text (case-sensitive), or empty.
QString findProtocolName(const QString& text);

} // namespace ProtocolFactory
