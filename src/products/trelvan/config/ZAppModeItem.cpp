#include "products/trelvan/config/ZAppModeItem.h"

#include "foundation/ZIconsManager.h"
#include "foundation/ZLog.h"
#include "products/trelvan/config/ConfigItems.h"
#include "products/trelvan/config/ProtocolParameter.h"
#include "products/trelvan/protocols/TrelvanTables.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QPointer>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace Trelvan {

namespace {
QPointer<ZAppModeItem> g_appModeItem;

// The running state and the shortcuts are the node at the port's, whichever node's
// parameters the editors show.
ParameterFrame portFrame()
{
    return ProtocolParameter::instance()->portFrame();
}
} // namespace

ZAppModeItem::ZAppModeItem(ZRoleItem* roleItem, QWidget* parent)
    : QGroupBox(parent)
    , localModes_{0, 1, 2, 11, 12, 13, 14, 10, 6, 3, 4, 5}
    , localGroup_(new QButtonGroup(this))
    , runningGroup_(new QButtonGroup(this))
    , roleItem_(roleItem)
{
    g_appModeItem = this;
    setTitle(tr("Mode"));
    QFont f = font();
    f.setWeight(75);
    setFont(f);

    auto* columns = new QHBoxLayout(this);
    QVBoxLayout* column = nullptr;
    for (size_t i = 0; i < localModes_.size(); ++i) {
        if (i % 4 == 0) {
            column = new QVBoxLayout;
            columns->addLayout(column);
        }
        auto* radio = new QRadioButton(modeNames.value(localModes_[i]), this);
        localGroup_->addButton(radio, localModes_[i]);
        column->addWidget(radio);
    }

    for (int id = 0; id <= 14; ++id) {
        auto* button = new QToolButton(this);
        button->setCheckable(true);
        button->hide();
        runningGroup_->addButton(button, id);
    }
    wirelessButton_ = static_cast<QToolButton*>(runningGroup_->button(DT_MODE0));
    wirelessButton_->setIcon(ZIconsManager::instance()->icon(86));
    wirelessButton_->setText(tr("Wireless Setting"));
    wirelessButton_->setToolTip(tr("Automatic networking in the wireless setting state, can operate multiple nodes together"));
    wirelessButton_->setVisible(true);
    oneKeyButton_ = static_cast<QToolButton*>(runningGroup_->button(CM_MODE));
    oneKeyButton_->setIcon(ZIconsManager::instance()->icon(3));
    oneKeyButton_->setText(tr("One Key Setup"));
    oneKeyButton_->setToolTip(tr("After anchors is arranged, connect any anchor for automatic coordinate measurement"));
    oneKeyButton_->setVisible(true);

    connect(localGroup_, &QButtonGroup::idClicked, this, [this](int id) {
        ParameterFrame& b = ProtocolParameter::instance()->backupFrame();
        b.setLocalMode(quint8(id));
        emit localModeChanged(LPSMode(b.localMode()));
    });
    connect(runningGroup_, QOverload<QAbstractButton*>::of(&QButtonGroup::buttonClicked), this,
            &ZAppModeItem::handleRunningButtonClicked);
}

ZAppModeItem::~ZAppModeItem() = default;

ZAppModeItem* ZAppModeItem::instance()
{
    return g_appModeItem.data();
}

void ZAppModeItem::loadFromParameter()
{
    const quint8 l = ProtocolParameter::instance()->backupFrame().localMode();
    if (QAbstractButton* radio = localGroup_->button(l))
        radio->setChecked(true);
    else
        zCritical() << "error local mode :" << l;

    const quint8 r = portFrame().runningMode();
    if (auto* button = static_cast<QToolButton*>(runningGroup_->button(r))) {
        if (button != currentRunningButton_ && l != DT_MODE0)
            emit runningModeChanged(LPSMode(r));
        currentRunningButton_ = button;
        button->setChecked(true);
    } else {
        zCritical() << "error running mode :" << r;
    }
    updateShortcutButtons();
}

void ZAppModeItem::storeToParameter()
{
    // No checked local button counts as -1, nibble 15. The running mode goes back as
    // the shown node reported it: after a remote read the running buttons still show
    // the node at the port.
    ProtocolParameter* p = ProtocolParameter::instance();
    const int local = localGroup_->checkedId() & 0x0F;
    const int running = p->backupFrame().runningMode() & 0x0F;
    p->writeFrame().setAppMode(quint8(local << 4 | running));
}

int ZAppModeItem::localMode() const
{
    return localGroup_->checkedId();
}

int ZAppModeItem::runningMode() const
{
    return runningGroup_->checkedId();
}

quint8 ZAppModeItem::receivedLocalMode() const
{
    return portFrame().localMode();
}

bool ZAppModeItem::isWirelessSettingActive() const
{
    return quint8(runningGroup_->checkedId()) == DT_MODE0 && portFrame().localMode() != DT_MODE0;
}

void ZAppModeItem::restoreLocalRunningMode()
{
    const quint8 local = portFrame().localMode();
    QAbstractButton* button = runningGroup_->button(local);
    if (!button) {
        zCritical() << "set error running mode:" << local;
        return;
    }
    if (!button->isChecked())
        button->click();
}

void ZAppModeItem::enterWirelessSetting()
{
    if (!wirelessButton_->isChecked())
        wirelessButton_->click();
}

QList<QToolButton*> ZAppModeItem::shortcutButtons() const
{
    return {wirelessButton_, oneKeyButton_};
}

QMap<int, int> ZAppModeItem::roleCapacities() const
{
    return Trelvan::roleCapacities.value(localGroup_->checkedId());
}

void ZAppModeItem::updateShortcutButtons()
{
    const quint8 d = roleItem_ ? quint8(roleItem_->roleOfNodeConnectedDirectly()) : quint8(0xFF);
    const quint8 c = quint8(runningGroup_->checkedId());
    bool wireless = false;
    bool oneKey = false;
    if (c == DT_MODE0 && portFrame().localMode() == DT_MODE0) {
        // A node that runs the relay mode itself offers neither.
    } else if ((d == ANCHOR || d == CONSOLE) && (isLpMode(c) || c == DT_MODE0 || c == CM_MODE || c == AHRS_MODE)) {
        wireless = oneKey = true;
    } else if (d == NODE && (c == DR_MODE0 || c == DR_MODE1 || c == DT_MODE0)) {
        wireless = true;
    }
    wirelessButton_->setVisible(wireless);
    oneKeyButton_->setVisible(oneKey);
}

void ZAppModeItem::handleRunningButtonClicked(QAbstractButton* clicked)
{
    auto* b = static_cast<QToolButton*>(clicked);
    zDebug() << QString("running button(%1) clicked:%2").arg(runningGroup_->id(b)).arg(b->isChecked() ? 1 : 0);
    // The check mark stays on the confirmed mode until a load moves it.
    if (currentRunningButton_)
        currentRunningButton_->setChecked(true);
    if (b == currentRunningButton_ && (b == wirelessButton_ || b == oneKeyButton_))
        requestedRunningMode_ = portFrame().localMode();
    else
        requestedRunningMode_ = quint8(runningGroup_->id(b));
    ProtocolParameter::instance()->setRequestedRunningMode(requestedRunningMode_);
    emit runningModeRequired(LPSMode(requestedRunningMode_));
}

} // namespace Trelvan
