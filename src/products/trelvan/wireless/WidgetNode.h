#pragma once

#include "protocol/SystemInfoFrame.h"
#include "widgets/ZResourceCache.h"

#include <QGroupBox>
#include <QIcon>
#include <QMap>

class QLabel;
class QToolButton;
class ZColorTextLabel;
class ZLabel;

namespace Trelvan {

// Operation state of a node row.
enum NodeState { Idle = 0, Succeeded = 1, Failed = 2, Busy = 3 };

// One known node on the wireless setting page: its role letter and id on a
// checkable button (checked = selected), versions, rate and time, a state icon and
// a red status text. Rows are pooled by NodeWidgetCache.
class WidgetNode : public QGroupBox, public ZIResource
{
    Q_OBJECT
public:
    WidgetNode();
    ~WidgetNode() override;

    // Gives the row its address; the title and icon change only when it is new.
    void initialize(quint8 role, qint32 id);
    void setState(int state);
    int state() const { return state_; }
    void setStatusText(const QString& text);
    QString statusText() const;
    void setTime(quint32 ms);
    quint32 time() const { return time_; }
    void setSystemInfo(const SystemInfoFrame& frame);
    SystemInfoFrame systemInfo() const { return systemInfo_; }
    bool isSelected() const;
    void setSelected(bool selected);
    // Shows "Local" on the row of the node at the serial port.
    void setLocal(bool local);
    bool isLocal() const;

    quint8 role() const { return role_; }
    qint32 id() const { return id_; }

    QToolButton* nodeButton() const { return nodeButton_; }
    ZLabel* hardwareLabel() const { return hardware_; }
    ZLabel* firmwareLabel() const { return firmware_; }
    ZLabel* baudRateLabel() const { return baudRate_; }
    ZLabel* timeLabel() const { return timeLabel_; }

    // The state icon of a role, empty for a role or state without one.
    static QIcon stateIcon(quint8 role, int state);

    void reset() override;

protected:
    // A right click opens the operation menu for this node.
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void pointMenuHere();

    QToolButton* nodeButton_ = nullptr;
    QLabel* local_ = nullptr;
    ZLabel* hardware_ = nullptr;
    ZLabel* firmware_ = nullptr;
    ZLabel* baudRate_ = nullptr;
    ZLabel* timeLabel_ = nullptr;
    ZColorTextLabel* status_ = nullptr;
    int state_ = Idle;
    quint8 role_ = 0xFF;
    qint32 id_ = -1;
    quint32 time_ = 0;
    SystemInfoFrame systemInfo_ = SystemInfoFrame::defaultFrame();
};

class NodeWidgetFactory : public ZIResourceFactory
{
public:
    ZIResource* create() override;
    void reinitialize(ZIResource* resource) override;
    void setPendingNode(quint8 role, qint32 id);

private:
    quint8 pendingRole_ = 0xFF;
    qint32 pendingId_ = -1;
};

// The pool of node rows, one row per (role, id) in use.
class NodeWidgetCache : public ZResourceCache
{
    Q_OBJECT
public:
    // Where rows go on the page and come off it; the wireless page installs them.
    using PlacementHook = std::function<void(WidgetNode*)>;

    // Made on the first call with that parent; later calls return it.
    static NodeWidgetCache* instance(QObject* parent = nullptr);
    static NodeWidgetCache* existing();
    ~NodeWidgetCache() override;

    // The row of (role, id), made and placed on first use. Runs on the GUI thread
    // and waits there when called from another thread.
    WidgetNode* findNode(quint8 role, qint32 id);
    bool contains(quint8 role, qint32 id) const;
    int nodeCount(quint8 role) const;
    void forEachSelectedNode(quint8 role, const std::function<void(WidgetNode*)>& f) const;
    bool allSucceeded(quint8 role) const;
    void setStateOfRole(quint8 role, int state);
    void setStateOfRoleUnless(quint8 role, int keepState, int newState);

    static void setPlacementHooks(PlacementHook add, PlacementHook remove);
    static void removeFromPage(WidgetNode* row);

protected:
    void resourceTaken(ZIResource* resource) override;
    void resourceReleased(ZIResource* resource) override;

private:
    explicit NodeWidgetCache(QObject* parent);
    WidgetNode* lookup(quint8 role, qint32 id);

    NodeWidgetFactory* nodeFactory_;
    QMap<qint8, QMap<qint32, WidgetNode*>> nodes_;
};

} // namespace Trelvan
