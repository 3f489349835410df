#include "products/trelvan/wireless/OperateMenu.h"

#include "foundation/ZAlgo.h"
#include "foundation/ZIconsManager.h"
#include "foundation/ZLog.h"
#include "foundation/ZTimerManager.h"
#include "products/trelvan/config/ProtocolParameter.h"
#include "products/trelvan/config/WidgetSetting.h"
#include "products/trelvan/protocols/NodeLabel.h"
#include "products/trelvan/wireless/ProtocolWireless.h"
#include "products/trelvan/wireless/WidgetNode.h"

#include <QPointer>
#include <QStatusBar>
#include <QtEndian>

namespace Trelvan {

namespace {

QPointer<OperateMenu> g_menu;

void setWindowEnabled(bool enabled)
{
    if (WidgetSetting* window = WidgetSetting::existing())
        window->setEnabled(enabled);
}

void showFailure(const QString& text)
{
    if (WidgetSetting* window = WidgetSetting::existing())
        window->statusBar()->showMessage(text);
}

bool isAddress(const ParameterFrame& f, quint8 role, qint32 id)
{
    return f.role() == role && qint32(f.id()) == id;
}

} // namespace

OperateMenu* OperateMenu::instance(QWidget* parent)
{
    if (!g_menu)
        g_menu = new OperateMenu(parent);
    return g_menu.data();
}

OperateMenu* OperateMenu::existing()
{
    return g_menu.data();
}

OperateMenu::OperateMenu(QWidget* parent)
    : QMenu(parent)
{
    ZIconsManager* icons = ZIconsManager::instance();
    restartAction_ = new QAction(icons->icon(64), tr("Restart"), this);
    readAction_ = new QAction(icons->icon(61), tr("Read Parameter"), this);
    writeAction_ = new QAction(icons->icon(87), tr("Write Parameter"), this);
    addAction(readAction_);
    addAction(writeAction_);
    addAction(restartAction_);
    connect(readAction_, &QAction::triggered, this, [this] { run(Operation::Read); });
    connect(writeAction_, &QAction::triggered, this, [this] { run(Operation::Write); });
    connect(restartAction_, &QAction::triggered, this, [this] { run(Operation::Restart); });
    connect(this, &QMenu::aboutToShow, this, &OperateMenu::updateWriteAction);
}

void OperateMenu::setTargetRole(quint8 role)
{
    targetRole_ = role;
    updateWriteAction();
}

void OperateMenu::setTargetId(qint32 id)
{
    targetId_ = id;
    updateWriteAction();
}

void OperateMenu::updateWriteAction()
{
    const WidgetSetting* window = WidgetSetting::existing();
    writeAction_->setEnabled(window && window->editorsReadFrom(targetRole_, targetId_));
}

OperateMenu::~OperateMenu() = default;

QByteArray OperateMenu::relay(const QByteArray& request, quint8 role, qint32 id) const
{
    return ProtocolWireless::instance()->wrapCommand(ProtocolWireless::kUnicast, request, role, quint8(id));
}

void OperateMenu::run(Operation op)
{
    const quint8 role = targetRole_;
    const qint32 id = targetId_;
    WidgetSetting* window = WidgetSetting::existing();
    if (op == Operation::Restart && window) {
        WidgetNode* own = window->connectedNodeWidget();
        if (own && own->role() == role && own->id() == id && !window->confirmRestart())
            return;
    }
    ZScopeGuard busy([] { setWindowEnabled(false); }, [] { setWindowEnabled(true); });
    if (op == Operation::Restart && !readRemoteParameter(role, id)) {
        // Nothing was restarted: say so, the row keeps the read's reason.
        if (WidgetNode* row = NodeWidgetCache::instance()->findNode(role, id))
            row->setState(Failed);
        showFailure(tr("Restart failed"));
        return;
    }
    WidgetNode* row = NodeWidgetCache::instance()->findNode(role, id);
    if (!row)
        return;
    row->setState(Busy);
    bool ok = false;
    switch (op) {
    case Operation::Read:
        ok = readRemoteParameter(role, id);
        if (!ok)
            showFailure(tr("Read parameter failed"));
        break;
    case Operation::Write:
        ok = writeRemoteParameter(role, id);
        if (!ok)
            showFailure(tr("Write parameter failed."));
        break;
    case Operation::Restart:
        ok = restartRemoteNode(role, id);
        if (!ok)
            showFailure(tr("Restart failed"));
        break;
    }
    row->setState(ok ? Succeeded : Failed);
    updateWriteAction();
}

bool OperateMenu::readRemoteCoordinates(quint8 role, qint32 id, quint8 group)
{
    WidgetNode* row = NodeWidgetCache::instance()->findNode(role, id);
    if (!row)
        return false;
    ProtocolParameter* p = ProtocolParameter::instance();
    ZScopeGuard active([p] { p->setRemoteExchange(true); }, [p] { p->setRemoteExchange(false); });
    const quint64 before = p->replyCount();
    write(relay(p->makeGroupReadRequest(group), role, id));
    if (!p->waitForReplyAfter(before, kReadWaitMs, false)) {
        row->setStatusText("time out");
        return false;
    }
    const ParameterFrame reply = p->receivedFrame();
    if (!isAddress(reply, role, id)) {
        row->setStatusText("Error response");
        zWarning() << QString("when read %1, error response of %2 received")
                          .arg(nodeLabel(qint8(role), quint64(id)), nodeLabel(qint8(reply.role()), reply.id()));
        return false;
    }
    row->setStatusText(QString());
    row->setTime(reply.systemTime());
    return true;
}

bool OperateMenu::readRemoteParameter(quint8 role, qint32 id, quint8 group)
{
    if (!readRemoteCoordinates(role, id, group))
        return false;
    ProtocolParameter::instance()->copyReceivedToBackup();
    if (WidgetSetting* window = WidgetSetting::existing())
        window->applyRemoteParameter(role, id);
    return true;
}

bool OperateMenu::waitRemoteAnswer(quint8 role, qint32 id)
{
    ZTimerManager::instance()->wait(kAnswerSettleMs);
    ProtocolParameter* p = ProtocolParameter::instance();
    const QByteArray frame = relay(p->packReadRequest(), role, id);
    for (int k = 1; k <= kAnswerTries; ++k) {
        const quint64 before = p->replyCount();
        write(frame);
        if (p->waitForReplyAfter(before, kAnswerTryMs, false))
            return true;
        if (k < kAnswerTries)
            zDebug() << "read after send reatart command,cnt:" << k;
    }
    return false;
}

bool OperateMenu::restartRemoteNode(quint8 role, qint32 id)
{
    ProtocolParameter* p = ProtocolParameter::instance();
    ZScopeGuard active([p] { p->setRemoteExchange(true); }, [p] { p->setRemoteExchange(false); });
    write(relay(ProtocolParameter::makeRestartCommand(), role, id));
    const bool answered = waitRemoteAnswer(role, id);
    WidgetNode* row = NodeWidgetCache::instance()->findNode(role, id);
    if (!row)
        return false;
    if (!answered) {
        row->setStatusText("time out");
        return false;
    }
    const ParameterFrame reply = p->receivedFrame();
    if (!isAddress(reply, role, id)) {
        row->setStatusText("Error response");
        zWarning() << QString("when restart %1, error response of %2 received")
                          .arg(nodeLabel(qint8(role), quint64(id)), nodeLabel(qint8(reply.role()), reply.id()));
        return false;
    }
    row->setStatusText(QString());
    QString message;
    if (p->runReplyCheck(ProtocolParameter::CheckSystemTimeWhenRead, message)) {
        row->setTime(reply.systemTime());
        return true;
    }
    row->setStatusText(message);
    return false;
}

bool OperateMenu::writeRemoteParameter(quint8 role, qint32 id)
{
    NodeWidgetCache* cache = NodeWidgetCache::instance();
    WidgetNode* row = cache->findNode(role, id);
    if (!row)
        return false;
    // A cell or a choice that cannot be sent as shown would reach the node as
    // something else.
    WidgetSetting* window = WidgetSetting::existing();
    // The editors hold another node's values, or the port node's: sent here they
    // would overwrite this node with them, its address included.
    if (!window || !window->editorsReadFrom(role, id)) {
        row->setStatusText("no parameters read");
        return false;
    }
    const QString unwritable = window->unwritableReason();
    if (!unwritable.isEmpty()) {
        row->setStatusText(unwritable);
        return false;
    }
    ProtocolParameter* p = ProtocolParameter::instance();
    ZScopeGuard active([p] { p->setRemoteExchange(true); }, [p] { p->setRemoteExchange(false); });
    const QByteArray request = p->packWriteRequest();
    const quint8 newRole = p->writeFrame().role();
    const qint32 newId = p->writeFrame().id();
    const bool moves = newRole != role || newId != id;
    // The node at the port may have no row, but its address is taken all the same.
    if (moves && (cache->contains(newRole, newId) || window->isAddressOfNodeConnected(newRole, newId))) {
        row->setStatusText("Target ID already exists");
        return false;
    }
    write(relay(request, role, id));
    if (!waitRemoteAnswer(newRole, newId)) {
        row->setStatusText("time out");
        return false;
    }
    const ParameterFrame reply = p->receivedFrame();
    if (!isAddress(reply, newRole, newId)) {
        row->setStatusText("Error response");
        zWarning() << QString("when write %1, error response of %2 received")
                          .arg(nodeLabel(qint8(newRole), quint64(newId)), nodeLabel(qint8(reply.role()), reply.id()));
        return false;
    }
    WidgetNode* newRow = cache->findNode(newRole, newId);
    if (!newRow)
        return false;
    newRow->setStatusText(QString());
    newRow->setTime(reply.systemTime());
    QString message;
    if (!p->runReplyCheck(ProtocolParameter::CheckWriteWithId, message)) {
        newRow->setStatusText(message);
        return false;
    }
    if (newRow != row) {
        // Still the same device: its versions and rate are the old row's, under the
        // new address and with the time it just reported.
        SystemInfoFrame info = row->systemInfo();
        info.bytes[22] = newRole;
        info.bytes[23] = quint8(newId);
        qToLittleEndian<quint32>(reply.systemTime(), info.bytes.data() + 24);
        newRow->setSystemInfo(info);
        newRow->setSelected(true);
        cache->release(row);
        window->remoteNodeMoved(newRole, newId);
    }
    return true;
}

} // namespace Trelvan
