#include "products/trelvan/wireless/WidgetNode.h"

#include "foundation/ZIconsManager.h"
#include "foundation/ZThreadManager.h"
#include "products/trelvan/protocols/TrelvanTables.h"
#include "products/trelvan/wireless/OperateMenu.h"
#include "widgets/ZColorTextLabel.h"
#include "widgets/ZLabel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPointer>
#include <QToolButton>
#include <QVBoxLayout>

namespace Trelvan {

namespace {

// role -> state -> colour icon id; filled by the first row (GUI thread).
QMap<int, QMap<int, QIcon>> g_stateIcons;

void buildStateIcons()
{
    if (!g_stateIcons.isEmpty())
        return;
    const QMap<int, int> firstIconOfRole{{0, 22}, {1, 2}, {2, 6}, {3, 10}};
    ZIconsManager* icons = ZIconsManager::instance();
    for (auto it = firstIconOfRole.constBegin(); it != firstIconOfRole.constEnd(); ++it) {
        for (int state = Idle; state <= Busy; ++state)
            g_stateIcons[it.key()][state] = icons->colorIcon(it.value() + state);
    }
}

ZLabel* makeValueLabel(const QString& caption, QWidget* parent)
{
    auto* label = new ZLabel(caption, parent, 12);
    label->setCaptionRightAligned(false);
    label->setValue("0");
    return label;
}

NodeWidgetCache::PlacementHook g_addToPage;
NodeWidgetCache::PlacementHook g_removeFromPage;
QPointer<NodeWidgetCache> g_cache;

} // namespace

WidgetNode::WidgetNode()
{
    buildStateIcons();
    nodeButton_ = new QToolButton(this);
    nodeButton_->setCheckable(true);
    nodeButton_->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    nodeButton_->setPopupMode(QToolButton::DelayedPopup);
    nodeButton_->setObjectName("QToolButton_Without_menu_indicator");
    if (OperateMenu* menu = OperateMenu::existing()) {
        nodeButton_->setMenu(menu);
        // A long press opens the shared menu too: it must name this node then.
        connect(nodeButton_, &QToolButton::pressed, this, &WidgetNode::pointMenuHere);
    }
    local_ = new QLabel(tr("Local"), this);
    local_->hide();
    hardware_ = makeValueLabel(tr("Hardware"), this);
    firmware_ = makeValueLabel(tr("Firmware"), this);
    baudRate_ = makeValueLabel(tr("Baudrate"), this);
    timeLabel_ = makeValueLabel(tr("Time(ms)"), this);
    status_ = new ZColorTextLabel(this);
    status_->setColor(Qt::red);
    status_->setColorChangeable(false);

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    auto* left = new QVBoxLayout;
    left->setContentsMargins(0, 0, 0, 0);
    left->setSpacing(0);
    left->addWidget(nodeButton_);
    left->addWidget(local_);
    left->addStretch();
    auto* right = new QVBoxLayout;
    right->setContentsMargins(0, 0, 0, 0);
    right->setSpacing(0);
    for (QWidget* w : {static_cast<QWidget*>(hardware_), static_cast<QWidget*>(firmware_),
                       static_cast<QWidget*>(baudRate_), static_cast<QWidget*>(timeLabel_),
                       static_cast<QWidget*>(status_)})
        right->addWidget(w);
    row->addLayout(left);
    row->addLayout(right);
}

WidgetNode::~WidgetNode() = default;

QIcon WidgetNode::stateIcon(quint8 role, int state)
{
    buildStateIcons();
    return g_stateIcons.value(role).value(state);
}

void WidgetNode::initialize(quint8 role, qint32 id)
{
    if (!g_stateIcons.contains(role)) {
        // A pooled row keeps no title or icon of its former node.
        nodeButton_->setText(QString());
        nodeButton_->setIcon(QIcon());
        role_ = role;
        id_ = id;
        return;
    }
    if (role == role_ && id == id_)
        return;
    nodeButton_->setText(roleLetters.value(role) + QString::number(id));
    nodeButton_->setIcon(stateIcon(role, state_));
    role_ = role;
    id_ = id;
}

void WidgetNode::setState(int state)
{
    if (state == state_)
        return;
    state_ = state;
    nodeButton_->setIcon(stateIcon(role_, state_));
}

void WidgetNode::setStatusText(const QString& text)
{
    status_->setText(text);
}

QString WidgetNode::statusText() const
{
    return status_->text();
}

void WidgetNode::setTime(quint32 ms)
{
    if (ms == time_)
        return;
    time_ = ms;
    timeLabel_->setValue(QString::number(ms));
}

void WidgetNode::setSystemInfo(const SystemInfoFrame& frame)
{
    systemInfo_ = frame;
    const auto& b = frame.bytes;
    timeLabel_->setValue(QString::number(frame.systemTime()));
    QString firmware = QString("%1.%2.%3").arg(b[10]).arg(b[9]).arg(b[8]);
    if (b[7] != 0)
        firmware += QString(".%1").arg(b[7]);
    firmware_->setValue(firmware);
    hardware_->setValue(QString("%1.%2").arg(b[6]).arg(b[5]));
    baudRate_->setValue(QString::number(frame.baudRate()));
}

bool WidgetNode::isSelected() const
{
    return nodeButton_->isChecked();
}

void WidgetNode::setSelected(bool selected)
{
    nodeButton_->setChecked(selected);
}

void WidgetNode::setLocal(bool local)
{
    local_->setVisible(local);
}

bool WidgetNode::isLocal() const
{
    return !local_->isHidden();
}

void WidgetNode::reset()
{
    NodeWidgetCache::removeFromPage(this);
    hide();
    nodeButton_->setChecked(false);
    status_->clear();
    if (time_ != 0) {
        time_ = 0;
        timeLabel_->setValue("0");
    }
}

void WidgetNode::pointMenuHere()
{
    if (OperateMenu* menu = OperateMenu::existing()) {
        menu->setTargetRole(role_);
        menu->setTargetId(id_);
    }
}

void WidgetNode::mouseReleaseEvent(QMouseEvent* event)
{
    QGroupBox::mouseReleaseEvent(event);
    if (event->button() != Qt::RightButton || !nodeButton_->menu())
        return;
    pointMenuHere();
    nodeButton_->showMenu();
}

ZIResource* NodeWidgetFactory::create()
{
    auto* row = new WidgetNode;
    row->initialize(pendingRole_, pendingId_);
    return row;
}

void NodeWidgetFactory::reinitialize(ZIResource* resource)
{
    if (auto* row = dynamic_cast<WidgetNode*>(resource))
        row->initialize(pendingRole_, pendingId_);
}

void NodeWidgetFactory::setPendingNode(quint8 role, qint32 id)
{
    pendingRole_ = role;
    pendingId_ = id;
}

NodeWidgetCache* NodeWidgetCache::instance(QObject* parent)
{
    if (!g_cache)
        g_cache = new NodeWidgetCache(parent);
    return g_cache.data();
}

NodeWidgetCache* NodeWidgetCache::existing()
{
    return g_cache.data();
}

NodeWidgetCache::NodeWidgetCache(QObject* parent)
    : ZResourceCache(new NodeWidgetFactory, parent)
    , nodeFactory_(static_cast<NodeWidgetFactory*>(factory()))
{
}

NodeWidgetCache::~NodeWidgetCache()
{
    nodes_.clear();
    setFactory(nullptr);
    delete nodeFactory_;
}

void NodeWidgetCache::setPlacementHooks(PlacementHook add, PlacementHook remove)
{
    g_addToPage = std::move(add);
    g_removeFromPage = std::move(remove);
}

void NodeWidgetCache::removeFromPage(WidgetNode* row)
{
    if (g_removeFromPage)
        g_removeFromPage(row);
}

WidgetNode* NodeWidgetCache::findNode(quint8 role, qint32 id)
{
    WidgetNode* row = nullptr;
    ZThreadManager::instance()->runInThread(0, [&] { row = lookup(role, id); }, true);
    return row;
}

WidgetNode* NodeWidgetCache::lookup(quint8 role, qint32 id)
{
    if (WidgetNode* row = nodes_.value(qint8(role)).value(id))
        return row;
    nodeFactory_->setPendingNode(role, id);
    auto* row = dynamic_cast<WidgetNode*>(take());
    if (row && g_addToPage)
        g_addToPage(row);
    return row;
}

bool NodeWidgetCache::contains(quint8 role, qint32 id) const
{
    return nodes_.value(qint8(role)).contains(id);
}

int NodeWidgetCache::nodeCount(quint8 role) const
{
    return nodes_.value(qint8(role)).size();
}

void NodeWidgetCache::forEachSelectedNode(quint8 role, const std::function<void(WidgetNode*)>& f) const
{
    const QMap<qint32, WidgetNode*> rows = nodes_.value(qint8(role));
    for (WidgetNode* row : rows) {
        if (row->isSelected())
            f(row);
    }
}

bool NodeWidgetCache::allSucceeded(quint8 role) const
{
    bool all = true;
    forEachSelectedNode(role, [&all](WidgetNode* row) { all = all && row->state() == Succeeded; });
    return all;
}

void NodeWidgetCache::setStateOfRole(quint8 role, int state)
{
    forEachSelectedNode(role, [state](WidgetNode* row) { row->setState(state); });
}

void NodeWidgetCache::setStateOfRoleUnless(quint8 role, int keepState, int newState)
{
    forEachSelectedNode(role, [=](WidgetNode* row) {
        if (row->state() != keepState)
            row->setState(newState);
    });
}

void NodeWidgetCache::resourceTaken(ZIResource* resource)
{
    if (auto* row = dynamic_cast<WidgetNode*>(resource))
        nodes_[qint8(row->role())][row->id()] = row;
}

void NodeWidgetCache::resourceReleased(ZIResource* resource)
{
    auto* row = dynamic_cast<WidgetNode*>(resource);
    if (!row)
        return;
    auto it = nodes_.find(qint8(row->role()));
    if (it != nodes_.end()) {
        it->remove(row->id());
        if (it->isEmpty())
            nodes_.erase(it);
    }
}

} // namespace Trelvan
