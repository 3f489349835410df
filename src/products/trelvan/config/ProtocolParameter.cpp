#include "products/trelvan/config/ProtocolParameter.h"

#include "foundation/ZAlgo.h"
#include "foundation/ZLog.h"
#include "foundation/ZTimerManager.h"
#include "foundation/ZUdpOutput.h"
#include "products/trelvan/protocols/AoaProtocolParameter.h"
#include "products/trelvan/protocols/TrelvanTables.h"
#include "products/trelvan/wireless/WidgetNode.h"
#include "protocol/ProtocolFactory.h"
// ModelViewManagers.h needs the refresh managers complete.
#include "views/RefreshManagers.h"
#include "views/ModelViewManagers.h"

#include <QElapsedTimer>
#include <QMutexLocker>
#include <QPointer>
#include <QSettings>

#include <nlohmann/json.hpp>

namespace Trelvan {

const char* const ProtocolParameter::kName = "Vexa_Trelvan_Parameter";

namespace {

QPointer<ProtocolParameter> g_instance;
QPointer<QObject> g_dataProtocolOwner;

QString hexOf(const QByteArray& bytes)
{
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}

// One compared field: the editor it belongs to, its name in the error and whether
// the two records agree on it.
struct ComparedField
{
    int item;
    const char* name;
    bool (*same)(const ParameterFrame& a, const ParameterFrame& b);
};

const ComparedField kComparedFields[] = {
    {SystemChannelItem, "systemNum", [](const ParameterFrame& a, const ParameterFrame& b) { return a.systemNum() == b.systemNum(); }},
    {SystemIdItem, "systemID", [](const ParameterFrame& a, const ParameterFrame& b) { return a.systemID() == b.systemID(); }},
    {AppModeItem, "appMode", [](const ParameterFrame& a, const ParameterFrame& b) { return a.appMode() == b.appMode(); }},
    {RoleItem, "role", [](const ParameterFrame& a, const ParameterFrame& b) { return a.role() == b.role(); }},
    {ProtocolTypeItem, "protocol", [](const ParameterFrame& a, const ParameterFrame& b) { return a.protocol() == b.protocol(); }},
    {BaudrateItem, "baudRate", [](const ParameterFrame& a, const ParameterFrame& b) { return a.baudRate() == b.baudRate(); }},
    {RefreshRateItem, "refreshRate", [](const ParameterFrame& a, const ParameterFrame& b) { return a.refreshRate() == b.refreshRate(); }},
    {OnOffItem, "onOffControl",
     [](const ParameterFrame& a, const ParameterFrame& b) { return (a.onOffControl() & 0x27) == (b.onOffControl() & 0x27); }},
    {FilterFactorItem, "filterFactor", [](const ParameterFrame& a, const ParameterFrame& b) { return a.filterFactor() == b.filterFactor(); }},
    {MathModelItem, "model", [](const ParameterFrame& a, const ParameterFrame& b) { return a.model() == b.model(); }},
};

// The row of the reply's node, when the page knows it; rows are never made here.
WidgetNode* existingRow(const ParameterFrame& reply)
{
    NodeWidgetCache* cache = NodeWidgetCache::instance();
    if (!cache->contains(reply.role(), reply.id()))
        return nullptr;
    return cache->findNode(reply.role(), reply.id());
}

} // namespace

ProtocolParameter* ProtocolParameter::instance(QObject* parent)
{
    if (!g_instance)
        g_instance = new ProtocolParameter(parent);
    return g_instance.data();
}

ProtocolParameter* ProtocolParameter::existing()
{
    return g_instance.data();
}

void ProtocolParameter::setDataProtocolOwner(QObject* owner)
{
    g_dataProtocolOwner = owner;
}

ProtocolParameter::ProtocolParameter(QObject* parent)
    : InsideReadWriteProtocol(QString::fromLatin1(kName), parent)
{
    isLengthKnown_ = true;
    frameLength_ = ParameterFrame::kSize;
    minFrameLength_ = ParameterFrame::kSize;
    maxFrameLength_ = ParameterFrame::kSize;
    head_ = ParameterFrame().toByteArray().left(2);
    emitParseFinished_ = true;
    // Its callers activate it around each exchange; in between, its head in a data
    // stream is no reply of the node's.
    searchedOnlyWhileActive_ = true;

    // The reply handler runs queued on the GUI thread, possibly after the next reply
    // was parsed: each run judges the reply that triggered it.
    disconnect(this, &ProtocolBase::dataParseFinished, this, &InsideReadWriteProtocol::handleReceivedData);
    connect(this, &ProtocolBase::dataParseFinished, this, &ProtocolParameter::dispatchReply);

    replyChecks_.insert(CheckRead, [this](QString& e) { return checkReadReply(e); });
    replyChecks_.insert(CheckSystemTimeWhenRead, [this](QString& e) { return checkSystemTimeWhenRead(e); });
    replyChecks_.insert(CheckWriteWithId, [this](QString& e) { return checkWriteReply(true, e); });
    replyChecks_.insert(CheckWrite, [this](QString& e) { return checkWriteReply(false, e); });
}

ProtocolParameter::~ProtocolParameter() = default;

void ProtocolParameter::dispatchReply()
{
    PendingReply pending;
    {
        QMutexLocker lock(&mutex_);
        if (pendingReplies_.isEmpty())
            return;
        pending = pendingReplies_.takeFirst();
    }
    const ParameterFrame reply = pending.frame;
    dispatchedRawRole_ = pending.rawRole;
    dispatched_ = &reply;
    handleReceivedData();
    dispatched_ = nullptr;
}

ParameterFrame ProtocolParameter::checkedFrame() const
{
    return dispatched_ ? *dispatched_ : receivedFrame();
}

int ProtocolParameter::checkedRawRole() const
{
    return dispatched_ ? dispatchedRawRole_ : rawRole();
}

ParameterFrame ProtocolParameter::receivedFrame() const
{
    QMutexLocker lock(&mutex_);
    return receivedFrame_;
}

ParameterFrame ProtocolParameter::portFrame() const
{
    QMutexLocker lock(&mutex_);
    return portFrame_;
}

void ProtocolParameter::setRemoteExchange(bool on)
{
    if (on) {
        remoteExchange_.store(true);
        setActive(true);
    } else {
        setActive(false);
        remoteExchange_.store(false);
    }
}

int ProtocolParameter::rawRole() const
{
    QMutexLocker lock(&mutex_);
    return rawRole_;
}

void ProtocolParameter::parseFrame(const QByteArray& frame)
{
    ParameterFrame reply = ParameterFrame::fromBytes(frame);
    const int raw = reply.role();
    if (raw > MONITOR) {
        zCritical() << "error role received:" << raw << " reset to node";
        reply.setRole(NODE);
    }
    quint64 number = 0;
    {
        QMutexLocker lock(&mutex_);
        receivedFrame_ = reply;
        if (!remoteExchange_.load())
            portFrame_ = reply;
        rawRole_ = raw;
        pendingReplies_.append({reply, raw});
        number = ++replyCount_;
    }

    if (waitingForReply_.load()) {
        QSettings().setValue(kRecognizedBaudrateKey, reply.baudRate());
        const QString name = frameNames.value(reply.protocol());
        // The data protocol is switched before the reply is announced: the waiting
        // window goes on at once, and a switch still under way would take the
        // protocols out of the search in the middle of its next exchange.
        if (!name.isEmpty()) {
            QElapsedTimer elapsed;
            elapsed.start();
            ProtocolFactory::loadProtocols(name, g_dataProtocolOwner.data());
            if (elapsed.elapsed() > 0)
                zInfo() << elapsed.elapsed() << " ms elapsed after change protocol";
            modelManager_ = ModelViewManagers::currentModelManager();
        }
        announcedReply_.store(number);
        emit dataFrameReceived();
        if (name.isEmpty()) {
            zCritical() << "error protocol value received:" << reply.protocol();
            return;
        }
    }

    zDebug() << "parameter received:"
             << "localMode:" << reply.localMode() << "  runningMode:" << reply.runningMode();
    if (udpOutputEnabled.load(std::memory_order_relaxed))
        sendUdpText(udpJson(reply));
    zDebug() << "trelvan parameter data recved :" << hexOf(frame.left(ParameterFrame::kSize));
}

QByteArray ProtocolParameter::udpJson(const ParameterFrame& f)
{
    nlohmann::json inner;
    inner["anchor_capacity"] = f.anchorCapacity();
    inner["app_mode_local"] = f.localMode();
    inner["app_mode_running"] = f.runningMode();
    inner["baudrate"] = f.baudRate();
    inner["console_capacity"] = f.consoleCapacity();
    inner["filter_factor"] = f.filterFactor();
    inner["id"] = f.id();
    inner["model"] = f.model();
    inner["node_capacity"] = f.nodeCapacity();
    inner["protocol"] = f.protocol();
    inner["refresh_rate"] = f.refreshRate();
    inner["role"] = f.role();
    inner["system_id"] = f.systemID();
    inner["system_num"] = f.systemNum();
    inner["system_time"] = f.systemTime();
    inner["tx_gain"] = f.txGain();
    nlohmann::json outer;
    outer["param_frame"] = std::move(inner);
    return QByteArray::fromStdString(outer.dump());
}

QByteArray ProtocolParameter::packReadRequest()
{
    const QByteArray request = ParameterFrame::request(ParameterFrame::Read);
    zDebug() << "trelvan read parameter data updated :" << hexOf(request);
    return request;
}

QByteArray ProtocolParameter::packWriteRequest()
{
    writeFrame_.setCommand(writeFrame_.command() & ~quint8(ParameterFrame::Read));
    for (ZConfigItemInterface* item : qAsConst(configItems_))
        item->storeToParameter();
    writeFrame_.seal();
    const QByteArray request = writeFrame_.toByteArray();
    zDebug() << "trelvan write parameter data updated :" << hexOf(request);
    return request;
}

QByteArray ProtocolParameter::makeGroupReadRequest(quint8 group)
{
    ParameterFrame f;
    f.setCommand(ParameterFrame::Read);
    f.setCoordinateGroup(group);
    f.seal();
    return f.toByteArray();
}

QByteArray ProtocolParameter::makeModeSwitchRequest()
{
    ParameterFrame f;
    f.setCommand(ParameterFrame::SwitchMode);
    // The node keeps the local mode a switch carries: its own, never that of a
    // remote node read last.
    const quint8 local = portFrame().localMode();
    const quint8 running = requestedRunningMode_ & 0x0F;
    f.setAppMode(quint8(local << 4 | running));
    f.seal();
    zDebug() << "parameter send:"
             << "localMode:" << local << "  runningMode:" << running;
    return f.toByteArray();
}

QByteArray ProtocolParameter::makeCalibrationPollRequest()
{
    return ParameterFrame::request(ParameterFrame::CalibrationPoll);
}

QByteArray ProtocolParameter::makeRestartCommand()
{
    return AoaProtocolParameter::makeRestartCommand();
}

bool ProtocolParameter::waitForReplyAfter(quint64 before, int timeoutMs, bool announced)
{
    QElapsedTimer elapsed;
    elapsed.start();
    ZTimerManager* timers = ZTimerManager::instance();
    ZScopeGuard awaiting([this] { setAwaited(true); }, [this] { setAwaited(false); });
    while (replyCount() == before) {
        const int left = timeoutMs - int(elapsed.elapsed());
        if (left <= 0)
            return false;
        const bool timedOut = announced ? waitForReply(timers, left, this, &ProtocolParameter::dataFrameReceived)
                                        : waitForReply(timers, left, this, &ProtocolBase::dataParseFinished);
        if (timedOut && (!announced || replyCount() == before))
            return false;
        if (timedOut) {
            // The reply came in time; the protocol switch it makes, this program's own
            // work (a page built on this thread), outlasted the wait: no time-out.
            QElapsedTimer switching;
            switching.start();
            while (announcedReply_.load() <= before) {
                if (switching.elapsed() >= kSwitchWaitMs)
                    return false;
                waitForReply(timers, 50, this, &ProtocolParameter::dataFrameReceived);
            }
        }
    }
    return true;
}

bool ProtocolParameter::writeParameter(quint8 runningMode)
{
    ZScopeGuard active([this] { setActive(true); }, [this] { setActive(false); });
    ParameterFrame f;
    f.setCommand(ParameterFrame::SwitchMode);
    f.setAppMode(runningMode & 0x0F);
    f.seal();
    const QByteArray request = f.toByteArray();
    for (int attempt = 0; attempt < 5; ++attempt) {
        const quint64 before = replyCount();
        write(request);
        if (!waitForReplyAfter(before, 200, false))
            continue;
        zDebug() << "writeParameter" << attempt;
        // Only a reply in the asked-for mode counts; another mode means the switch
        // has not happened (yet).
        if (receivedFrame().runningMode() == (runningMode & 0x0F))
            return true;
    }
    return false;
}

void ProtocolParameter::registerConfigItem(int index, ZConfigItemInterface* item)
{
    configItems_.insert(index, item);
}

void ProtocolParameter::unregisterConfigItem(ZConfigItemInterface* item)
{
    for (auto it = configItems_.begin(); it != configItems_.end();) {
        if (it.value() == item)
            it = configItems_.erase(it);
        else
            ++it;
    }
}

void ProtocolParameter::loadConfigItems()
{
    // A copy: a load may lead to another editor being (un)registered.
    const QMap<int, ZConfigItemInterface*> items = configItems_;
    for (ZConfigItemInterface* item : items)
        item->loadFromParameter();
}

bool ProtocolParameter::runReplyCheck(int op, QString& error)
{
    const auto check = replyChecks_.value(op);
    return check ? check(error) : false;
}

namespace {

// The role under which the table lists a written record's fields. In the modes
// whose table lists NODE alone the role byte carries the node's number instead.
qint8 listedRole(quint8 mode, quint8 roleByte)
{
    const QMap<qint8, QMap<int, bool>> roles = configItemsByMode.value(mode);
    if (roles.size() == 1 && roles.contains(qint8(NODE)))
        return qint8(NODE);
    return qint8(roleByte);
}

} // namespace

bool ProtocolParameter::verifyWrittenParameter(const ParameterFrame& received, QString& error) const
{
    const quint8 mode = writeFrame_.localMode();
    const qint8 role = listedRole(mode, writeFrame_.role());
    for (const ComparedField& field : kComparedFields) {
        if (configItemApplies(mode, role, field.item) && !field.same(received, writeFrame_)) {
            error = QString("%1 error").arg(QLatin1String(field.name));
            return false;
        }
    }
    return true;
}

bool ProtocolParameter::verifyWrittenParameterWithId(const ParameterFrame& received, QString& error) const
{
    if (!verifyWrittenParameter(received, error))
        return false;
    const quint8 mode = writeFrame_.localMode();
    if (configItemApplies(mode, listedRole(mode, writeFrame_.role()), IdItem) && received.id() != writeFrame_.id()) {
        error = QString("%1 error").arg(QLatin1String("id"));
        return false;
    }
    return true;
}

bool ProtocolParameter::checkReadReply(QString& error)
{
    error.clear();
    const ParameterFrame reply = checkedFrame();
    if (WidgetNode* row = existingRow(reply)) {
        row->setStatusText(QString());
        row->setState(Succeeded);
        row->setTime(reply.systemTime());
        row->setSelected(true);
    }
    return true;
}

bool ProtocolParameter::checkWriteReply(bool withId, QString& error)
{
    error.clear();
    const ParameterFrame reply = checkedFrame();
    // The fields are compared whether or not the node has a row: a write to a node
    // the page does not show must fail as well when the node kept other values. The
    // role byte is compared as sent: a node number above the role ids is no error.
    ParameterFrame compared = reply;
    compared.setRole(quint8(checkedRawRole()));
    const bool ok = withId ? verifyWrittenParameterWithId(compared, error) : verifyWrittenParameter(compared, error);
    if (WidgetNode* row = existingRow(reply)) {
        row->setTime(reply.systemTime());
        row->setStatusText(ok ? QString() : error);
        row->setState(ok ? Succeeded : Failed);
    }
    return ok;
}

bool ProtocolParameter::checkSystemTimeWhenRead(QString& error)
{
    const ParameterFrame reply = checkedFrame();
    WidgetNode* row = existingRow(reply);
    if (!row)
        return false; // nothing to compare the restart against
    const quint32 previous = row->time();
    const quint32 current = reply.systemTime();
    zDebug() << "checkSystemTimeWhenRead" << current << previous << reply.role() << reply.id();
    row->setTime(current);
    if (row->state() == Succeeded)
        return true;
    if (current >= previous) {
        error = "restart failed";
        row->setState(Failed);
    } else {
        error.clear();
        row->setState(Succeeded);
    }
    row->setStatusText(error);
    return current < previous;
}

} // namespace Trelvan
