#include "products/trelvan/wireless/WidgetWirelessSetting.h"

#include "foundation/ZAlgo.h"
#include "foundation/ZIconsManager.h"
#include "foundation/ZLog.h"
#include "foundation/ZTimerManager.h"
#include "products/trelvan/config/ConfigTypes.h"
#include "products/trelvan/config/ProtocolParameter.h"
#include "products/trelvan/config/WidgetSetting.h"
#include "products/trelvan/config/ZAppModeItem.h"
#include "products/trelvan/protocols/TrelvanTables.h"
#include "products/trelvan/wireless/OperateMenu.h"
#include "products/trelvan/wireless/ProtocolWireless.h"
#include "products/trelvan/wireless/WidgetNode.h"
#include "protocol/FirmwareWirelessHooks.h"
#include "protocol/ProtocolSystem.h"
#include "protocol/WidgetFirmwareUpdate.h"
#include "widgets/ZFlowLayout.h"
#include "widgets/ZLabel.h"
#include "widgets/ZToolBar.h"

#include <QAction>
#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QPointer>
#include <QScrollArea>
#include <QStatusBar>
#include <QVBoxLayout>

namespace Trelvan {

namespace {

QPointer<WidgetWirelessSetting> g_page;

// The setting window is disabled while an operation runs, so that none starts
// another one from its nested event loops.
void setWindowEnabled(bool enabled)
{
    if (WidgetSetting* window = WidgetSetting::existing())
        window->setEnabled(enabled);
}

QString roleName(int role)
{
    return role >= 0 && role < roleNames.size() ? roleNames.at(role) : QString::number(role);
}

QMap<int, int> checkedLocalModeRoles()
{
    ZAppModeItem* mode = ZAppModeItem::instance();
    return mode ? mode->roleCapacities() : QMap<int, int>();
}

// Firmware of a system frame as a version: bytes 10, 9, 8 and, when not 0, 7.
QVersionNumber firmwareOf(const SystemInfoFrame& f)
{
    return f.firmwareVersion().normalized();
}

// Waits until the system protocol parsed a frame or ms pass; the frame then.
bool waitForSystemFrame(int ms, SystemInfoFrame* frame)
{
    ProtocolSystem* sys = ProtocolSystem::instance();
    if (waitForReply(ZTimerManager::instance(), ms, sys, &ProtocolBase::dataParseFinished))
        return false;
    *frame = sys->receivedFrame();
    return true;
}

} // namespace

WirelessSetting::WirelessSetting(QObject* parent)
    : QObject(parent)
{
}

bool WirelessSetting::traverse(quint8 role, InsideReadWriteProtocol* protocol,
                               const InsideReadWriteProtocol::ReplyHandler& check)
{
    ZScopeGuard handler([protocol, check] { protocol->setReplyHandler(check); },
                        [protocol] { protocol->setReplyHandler([](QString&) { return true; }); });
    NodeWidgetCache* cache = NodeWidgetCache::instance();
    cache->setStateOfRole(role, Busy);
    ProtocolWireless* relay = ProtocolWireless::instance();
    ZTimerManager* timers = ZTimerManager::instance();
    // A reply comes while the next requests go out; each pass waits for its own
    // before judging it, else the last node's reply is counted in the next pass
    // (and asked again) and the last pass's replies are never counted.
    const int settleMs = timeoutForBytes(ParameterFrame::kSize, 100);
    for (int pass = 0; pass < kPasses; ++pass) {
        QList<WidgetNode*> pending;
        cache->forEachSelectedNode(role, [&pending](WidgetNode* row) {
            if (row->state() != Succeeded)
                pending.append(row);
        });
        QElapsedTimer sinceLast;
        sinceLast.start();
        for (WidgetNode* row : qAsConst(pending)) {
            const QByteArray frame =
                relay->wrapCommand(ProtocolWireless::kUnicast, protocol->packReadRequest(), row->role(), quint8(row->id()));
            write(frame);
            sinceLast.restart();
            timers->wait(timeoutForBytes(frame.size(), 1));
        }
        while (!cache->allSucceeded(role) && sinceLast.elapsed() < settleMs)
            timers->wait(5);
        if (cache->allSucceeded(role))
            return true;
    }
    return false;
}

bool WirelessSetting::traverseAll(quint8 role, InsideReadWriteProtocol* protocol,
                                  const InsideReadWriteProtocol::ReplyHandler& check)
{
    NodeWidgetCache::instance()->setStateOfRole(role, Busy);
    write(ProtocolWireless::instance()->wrapCommand(ProtocolWireless::kBroadcast, protocol->packWriteRequest(), role,
                                                    ProtocolWireless::kAnyId));
    ZTimerManager::instance()->wait(kBroadcastSettleMs);
    const bool ok = traverse(role, protocol, check);
    if (!ok)
        zDebug() << "traverseAll failed" << protocol->name();
    return ok;
}

void WirelessSetting::restartRole(quint8 role)
{
    WidgetSetting* window = WidgetSetting::existing();
    WidgetNode* own = window ? window->connectedNodeWidget() : nullptr;
    const bool guardOwn = own && (role == 0 || role == own->role());
    const bool ownSelected = own && own->isSelected();
    ZScopeGuard busy(
        [=] {
            setWindowEnabled(false);
            if (guardOwn) {
                zDebug() << "isNodeConnectedUsed begin" << ownSelected;
                own->setSelected(false);
            }
        },
        [=] {
            zDebug() << "isNodeConnectedUsed end" << ownSelected;
            if (guardOwn)
                own->setSelected(ownSelected);
            setWindowEnabled(true);
        });
    ProtocolParameter* p = ProtocolParameter::instance();
    ZScopeGuard active([p] { p->setRemoteExchange(true); }, [p] { p->setRemoteExchange(false); });
    traverse(role, p, p->replyChecks().value(ProtocolParameter::CheckRead));
    NodeWidgetCache* cache = NodeWidgetCache::instance();
    cache->setStateOfRole(role, Busy);
    write(ProtocolWireless::instance()->wrapCommand(ProtocolWireless::kBroadcast, ProtocolParameter::makeRestartCommand(),
                                                    role, ProtocolWireless::kAnyId));
    ZTimerManager::instance()->wait(kBroadcastSettleMs);
    traverse(role, p, p->replyChecks().value(ProtocolParameter::CheckSystemTimeWhenRead));
    cache->setStateOfRoleUnless(role, Succeeded, Failed);
}

void WirelessSetting::findNodes(int waitMs)
{
    NodeWidgetCache* cache = NodeWidgetCache::instance();
    cache->releaseAll();
    ZTimerManager::instance()->wait(waitMs);
    ProtocolSystem* sys = ProtocolSystem::instance();
    ZScopeGuard active([sys] { sys->setActive(true); }, [sys] { sys->setActive(false); });

    const QByteArray request = sys->packReadRequest();
    const int localMs = timeoutForBytes(SystemInfoFrame::kSize, 30);
    SystemInfoFrame local;
    bool found = false;
    for (int attempt = 0; attempt < 2 && !found; ++attempt) {
        write(request);
        // The request itself on a line that echoes is no answer.
        found = waitForSystemFrame(localMs, &local) && local.toByteArray() != request;
    }
    WidgetNode* localRow = found ? cache->findNode(quint8(local.role()), local.id()) : nullptr;
    if (!localRow) {
        zDebug() << "read systeminfo of nodeConnected failed";
        return;
    }
    localRow->setState(Succeeded);
    localRow->setSystemInfo(local);
    localRow->setSelected(true);
    localRow->setLocal(true);

    const QMap<int, int> roles = checkedLocalModeRoles();
    ProtocolWireless* relay = ProtocolWireless::instance();
    for (auto it = roles.constBegin(); it != roles.constEnd(); ++it) {
        const quint8 role = quint8(it.key());
        for (int id = 0; id < it.value(); ++id) {
            if (cache->contains(role, id))
                continue;
            const QByteArray frame = relay->wrapCommand(ProtocolWireless::kUnicast, request, role, quint8(id));
            const int ms = timeoutForBytes(frame.size(), 30);
            SystemInfoFrame answer;
            bool accepted = false;
            for (int attempt = 0; attempt < 2 && !accepted; ++attempt) {
                write(frame);
                if (!waitForSystemFrame(ms, &answer))
                    continue;
                accepted = quint8(answer.role()) == role && answer.id() == id;
                if (!accepted)
                    zWarning() << QString("required role:%1, id:%2 ,but actually received role:%3, id:%4")
                                      .arg(role)
                                      .arg(id)
                                      .arg(int(answer.role()))
                                      .arg(answer.id());
            }
            if (!accepted)
                continue;
            WidgetNode* row = cache->findNode(quint8(answer.role()), answer.id());
            if (!row || row == localRow)
                continue;
            row->setState(Succeeded);
            row->setSystemInfo(answer);
            row->setSelected(true);
            row->setLocal(false);
            if (firmwareOf(localRow->systemInfo()) != firmwareOf(answer)) {
                row->setStatusText(tr("Different firmware"));
                row->setState(Failed);
            }
        }
    }
}

WidgetWirelessSetting* WidgetWirelessSetting::instance(QWidget* parent)
{
    if (!g_page)
        g_page = new WidgetWirelessSetting(parent);
    return g_page.data();
}

WidgetWirelessSetting* WidgetWirelessSetting::existing()
{
    return g_page.data();
}

WidgetWirelessSetting::WidgetWirelessSetting(QWidget* parent)
    : QWidget(parent)
{
    logic_ = new WirelessSetting(this);
    setMinimumHeight(250);
    NodeWidgetCache::instance(this);
    ProtocolWireless::instance(this);
    OperateMenu::instance(nullptr);

    toolBar_ = new ZToolBar(this);
    toolBar_->setOrientation(Qt::Horizontal);
    toolBar_->setMovable(false);
    toolBar_->setContextMenuPolicy(Qt::PreventContextMenu);
    toolBar_->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    toolBar_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    toolBar_->setMaximumHeight(30);

    total_ = new ZLabel(tr("Nodes"), this, 12);
    auto* header = new QHBoxLayout;
    header->addWidget(total_);
    auto* scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    auto* inner = new QWidget(scroll);
    auto* rows = new QVBoxLayout(inner);
    rows->setContentsMargins(0, 0, 0, 0);
    rows->setSpacing(0);
    for (int role : wirelessRoleOrder) {
        auto* count = new ZLabel(roleName(role), this, 12);
        count->setValue("0");
        counts_.insert(role, count);
        header->addWidget(count);
        auto* flow = new ZFlowLayout;
        flows_.insert(role, flow);
        rows->addLayout(flow);
    }
    header->addStretch();
    rows->addStretch();
    scroll->setWidget(inner);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    outer->addWidget(toolBar_);
    outer->addLayout(header);
    outer->addWidget(scroll);

    ZIconsManager* icons = ZIconsManager::instance();
    findAction_ = toolBar_->addAction(icons->icon(80), tr("Find all Nodes"));
    writeRoleAction_ = toolBar_->addAction(icons->icon(87), QString());
    restartRoleAction_ = toolBar_->addAction(icons->icon(64), tr("Restart all Tags"));
    restartAllAction_ = toolBar_->addAction(icons->icon(64), tr("Restart all Nodes"));
    firmwareAction_ = toolBar_->addAction(icons->icon(81), tr("Wireless Firmware Update"));
    firmwareAction_->setCheckable(true);

    connect(findAction_, &QAction::triggered, this, [this] { findAllNodes(2000); });
    connect(writeRoleAction_, &QAction::triggered, this, &WidgetWirelessSetting::writeAllOfRole);
    connect(restartRoleAction_, &QAction::triggered, this, [this] { logic_->restartRole(quint8(currentRole_)); });
    connect(restartAllAction_, &QAction::triggered, this, &WidgetWirelessSetting::restartAllRoles);
    connect(firmwareAction_, &QAction::toggled, this, [](bool checked) {
        WidgetFirmwareUpdate* update = checked ? WidgetFirmwareUpdate::instance() : WidgetFirmwareUpdate::existing();
        if (!update)
            return;
        update->setWirelessUpdate(checked);
        if (checked) {
            update->show();
            update->raise();
            update->activateWindow();
        }
    });
    if (ZAppModeItem* mode = ZAppModeItem::instance())
        connect(mode, &ZAppModeItem::localModeChanged, this, &WidgetWirelessSetting::handleLocalModeChanged);

    NodeWidgetCache::setPlacementHooks([](WidgetNode* row) { if (g_page) g_page->addNodeWidget(row); },
                                       [](WidgetNode* row) { if (g_page) g_page->removeNodeWidget(row); });
    WidgetSetting::WirelessHooks windowHooks;
    windowHooks.applyModeAndRole = [this](quint8 mode, quint8 role) { applyModeAndRole(mode, qint8(role)); };
    windowHooks.findAllNodes = [this](int ms) { findAllNodes(ms); };
    WidgetSetting::setWirelessHooks(windowHooks);

    FirmwareWirelessHooks::Hooks update;
    update.wrapCommand = [](quint8 command, const QByteArray& payload, quint8 role, qint8 id) {
        return ProtocolWireless::instance()->wrapCommand(command, payload, role, quint8(id));
    };
    update.setStateOfRoleUnless = [](quint8 role, int keep, int state) {
        NodeWidgetCache::instance()->setStateOfRoleUnless(role, keep, state);
    };
    update.findAllNodes = [this](int ms) { findAllNodes(ms); };
    update.restoreLocalRunningMode = [] {
        if (ZAppModeItem* mode = ZAppModeItem::instance())
            mode->restoreLocalRunningMode();
    };
    update.enterWirelessSetting = [] {
        if (ZAppModeItem* mode = ZAppModeItem::instance())
            mode->enterWirelessSetting();
    };
    FirmwareWirelessHooks::setHooks(update);
    handleLocalModeChanged();
}

WidgetWirelessSetting::~WidgetWirelessSetting()
{
    FirmwareWirelessHooks::setHooks({});
    WidgetSetting::setWirelessHooks({});
    NodeWidgetCache::setPlacementHooks(nullptr, nullptr);
    delete OperateMenu::existing();
    // The rows go with the cache, before the layouts that hold them.
    delete NodeWidgetCache::existing();
    qDeleteAll(flows_);
    flows_.clear();
}

void WidgetWirelessSetting::findAllNodes(int waitMs)
{
    setWindowEnabled(false);
    logic_->findNodes(waitMs);
    NodeWidgetCache* cache = NodeWidgetCache::instance();
    int total = 0;
    for (auto it = counts_.constBegin(); it != counts_.constEnd(); ++it) {
        const int n = cache->nodeCount(quint8(it.key()));
        it.value()->setValue(QString::number(n));
        total += n;
    }
    total_->setValue(QString::number(total));
    setWindowEnabled(true);
}

void WidgetWirelessSetting::applyModeAndRole(quint8 localMode, qint8 role)
{
    currentRole_ = role;
    writeRoleAction_->setText(tr("Setting all %1").arg(roleName(role)));
    restartRoleAction_->setText(tr("Restart all %1").arg(roleName(role)));
    writeRoleAction_->setVisible(role != CONSOLE);
    restartRoleAction_->setVisible(role != CONSOLE);
    for (ZLabel* label : qAsConst(counts_))
        label->hide();
    const QMap<int, int> roles = roleCapacities.value(localMode);
    for (auto it = roles.constBegin(); it != roles.constEnd(); ++it) {
        if (ZLabel* label = counts_.value(it.key()))
            label->show();
    }
    // A loaded frame checks its local mode without the editor's signal.
    handleLocalModeChanged();
}

void WidgetWirelessSetting::addNodeWidget(WidgetNode* row)
{
    ZFlowLayout* flow = flows_.value(row->role());
    if (!flow)
        return;
    flow->addWidget(row->id(), row);
    row->show();
}

void WidgetWirelessSetting::removeNodeWidget(WidgetNode* row)
{
    if (ZFlowLayout* flow = flows_.value(row->role()))
        flow->removeWidget(row);
}

void WidgetWirelessSetting::writeAllOfRole()
{
    const quint8 role = quint8(currentRole_);
    WidgetSetting* window = WidgetSetting::existing();
    // A coordinate or a choice that cannot be sent as shown would go out as something else.
    const QString unwritable = window ? window->unwritableReason() : QString();
    if (!unwritable.isEmpty()) {
        window->statusBar()->showMessage(tr("Write parameter failed,") + unwritable);
        return;
    }
    ZScopeGuard busy([] { setWindowEnabled(false); }, [] { setWindowEnabled(true); });
    ProtocolParameter* p = ProtocolParameter::instance();
    ZScopeGuard active([p] { p->setRemoteExchange(true); },
                       [p, role] {
                           p->setRemoteExchange(false);
                           NodeWidgetCache::instance()->setStateOfRoleUnless(role, Succeeded, Failed);
                       });
    logic_->traverseAll(role, p, p->replyChecks().value(ProtocolParameter::CheckWrite));
}

void WidgetWirelessSetting::restartAllRoles()
{
    const QMap<int, int> roles = checkedLocalModeRoles();
    for (auto it = roles.constBegin(); it != roles.constEnd(); ++it)
        logic_->restartRole(quint8(it.key()));
}

void WidgetWirelessSetting::handleLocalModeChanged()
{
    restartAllAction_->setVisible(checkedLocalModeRoles().size() >= 2);
}

void WidgetWirelessSetting::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    emit visibilityChanged(true);
}

void WidgetWirelessSetting::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    firmwareAction_->setChecked(false);
    emit visibilityChanged(false);
}

} // namespace Trelvan
