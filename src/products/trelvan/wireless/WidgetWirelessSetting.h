#pragma once

#include "link/ZSerialPortInterface.h"
#include "protocol/ProtocolBase.h"

#include <QMap>
#include <QWidget>

class QAction;
class ZFlowLayout;
class ZLabel;
class ZToolBar;

namespace Trelvan {

class WidgetNode;

// The search, traversal and restart logic of the wireless setting page. Every
// operation runs to its end in nested event loops, so replies keep being parsed and
// checked meanwhile.
class WirelessSetting : public QObject, public ZSerialPortInterface
{
    Q_OBJECT
public:
    // Passes over the selected rows of a role before a traversal gives up.
    static constexpr int kPasses = 5;
    static constexpr int kBroadcastSettleMs = 3000;

    explicit WirelessSetting(QObject* parent = nullptr);

    // Asks every selected, not yet Succeeded row of the role for its parameters, up
    // to kPasses times, until every selected row is Succeeded; check judges each
    // reply (and marks its row).
    bool traverse(quint8 role, InsideReadWriteProtocol* protocol, const InsideReadWriteProtocol::ReplyHandler& check);
    // Broadcasts the protocol's write request to the role, then traverses it.
    bool traverseAll(quint8 role, InsideReadWriteProtocol* protocol, const InsideReadWriteProtocol::ReplyHandler& check);
    // Restarts every selected node of the role (never the node at the port).
    void restartRole(quint8 role);
    // Lists the node at the port and every remote node of the local mode's roles.
    void findNodes(int waitMs);
};

// The wireless setting page of the setting window: one row per known node, grouped
// by role with a count per role, and the operations on all nodes of a role.
class WidgetWirelessSetting : public QWidget, public ZSerialPortInterface
{
    Q_OBJECT
public:
    static WidgetWirelessSetting* instance(QWidget* parent = nullptr);
    static WidgetWirelessSetting* existing();
    ~WidgetWirelessSetting() override;

    void findAllNodes(int waitMs);
    void applyModeAndRole(quint8 localMode, qint8 role);
    void addNodeWidget(WidgetNode* row);
    void removeNodeWidget(WidgetNode* row);
    void writeAllOfRole();
    void restartAllRoles();
    void handleLocalModeChanged();

    WirelessSetting* logic() const { return logic_; }
    qint8 currentRole() const { return currentRole_; }
    ZLabel* totalLabel() const { return total_; }
    ZLabel* countLabel(int role) const { return counts_.value(role); }
    ZFlowLayout* flowLayout(int role) const { return flows_.value(role); }
    QAction* findAction() const { return findAction_; }
    QAction* writeRoleAction() const { return writeRoleAction_; }
    QAction* restartRoleAction() const { return restartRoleAction_; }
    QAction* restartAllAction() const { return restartAllAction_; }
    QAction* firmwareAction() const { return firmwareAction_; }

signals:
    void visibilityChanged(bool visible);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    explicit WidgetWirelessSetting(QWidget* parent);

    ZLabel* total_ = nullptr;
    QMap<int, ZLabel*> counts_;
    QMap<int, ZFlowLayout*> flows_;
    ZToolBar* toolBar_ = nullptr;
    WirelessSetting* logic_ = nullptr;
    QAction* findAction_ = nullptr;
    QAction* writeRoleAction_ = nullptr;
    QAction* restartRoleAction_ = nullptr;
    QAction* restartAllAction_ = nullptr;
    QAction* firmwareAction_ = nullptr;
    qint8 currentRole_ = 2;
};

} // namespace Trelvan
