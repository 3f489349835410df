#include "products/trelvan/config/ConfigItems.h"

#include "foundation/ZIconsManager.h"
#include "products/trelvan/config/ProtocolParameter.h"
#include "products/trelvan/config/ZAppModeItem.h"
#include "products/trelvan/protocols/NodeLabel.h"
#include "products/trelvan/protocols/TrelvanTables.h"
#include "protocol/ProtocolSystem.h"
#include "protocol/WidgetSystemInfo.h"
#include "widgets/ZBoldLabel.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QSlider>
#include <QSpinBox>
#include <QStringListModel>
#include <QToolButton>
#include <QVBoxLayout>

#include <atomic>
#include <cmath>

namespace Trelvan {

namespace {

ParameterFrame& backup()
{
    return ProtocolParameter::instance()->backupFrame();
}

ParameterFrame& written()
{
    return ProtocolParameter::instance()->writeFrame();
}

// Caption in bold left of the widget, margin 0.
void captionRow(QWidget* owner, const QString& caption, QWidget* widget)
{
    auto* row = new QHBoxLayout(owner);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(new ZBoldLabel(caption, owner));
    row->addWidget(widget);
}

QSpinBox* makeSpinBox(QWidget* parent, int min, int max)
{
    auto* spin = new QSpinBox(parent);
    spin->setRange(min, max);
    spin->setValue(0);
    return spin;
}

const auto kActivated = QOverload<int>::of(&QComboBox::activated);

// The node-label flags follow the role editor; read from any thread.
std::atomic<bool> g_numberedRole{false};
std::atomic<bool> g_hexId{false};
QPointer<ZRoleItem> g_roleItem;

NodeLabelFlags roleEditorFlags()
{
    return NodeLabelFlags{g_numberedRole.load(), g_hexId.load()};
}

} // namespace

int selectTextOrFirst(QComboBox* box, const QString& text)
{
    const int index = box->findText(text, Qt::MatchFixedString);
    if (index >= 0) {
        box->setCurrentIndex(index);
        return index;
    }
    if (box->count() > 0) {
        box->setCurrentIndex(0);
        emit box->activated(0);
        return 0;
    }
    return -1;
}

// --- system channel, system id ---

ZSystemChannelItem::ZSystemChannelItem(QWidget* parent)
    : QWidget(parent)
    , spin_(makeSpinBox(this, 0, 11))
{
    captionRow(this, tr("System CH"), spin_);
    connect(spin_, &QSpinBox::editingFinished, this, [this] { backup().setSystemNum(quint8(spin_->value())); });
}

void ZSystemChannelItem::loadFromParameter()
{
    spin_->setValue(backup().systemNum());
}

void ZSystemChannelItem::storeToParameter()
{
    written().setSystemNum(quint8(spin_->value()));
}

ZSystemIDItem::ZSystemIDItem(QWidget* parent)
    : QWidget(parent)
    , spin_(makeSpinBox(this, 0, 255))
{
    captionRow(this, tr("System ID"), spin_);
    connect(spin_, &QSpinBox::editingFinished, this, [this] { backup().setSystemID(quint8(spin_->value())); });
}

void ZSystemIDItem::loadFromParameter()
{
    spin_->setValue(backup().systemID());
}

void ZSystemIDItem::storeToParameter()
{
    written().setSystemID(quint8(spin_->value()));
}

// --- tx gain: units of 0.5 dB ---

ZTxPowerItem::ZTxPowerItem(QWidget* parent)
    : QWidget(parent)
    , spin_(new QDoubleSpinBox(this))
{
    spin_->setRange(0.0, 33.5);
    spin_->setDecimals(1);
    spin_->setSingleStep(0.5);
    captionRow(this, tr("Tx Gain(dB)"), spin_);
    connect(spin_, &QDoubleSpinBox::editingFinished, this, &ZTxPowerItem::commitEdit);
}

void ZTxPowerItem::commitEdit()
{
    spin_->setValue(std::round(spin_->value() * 2.0) / 2.0);
    backup().setTxGain(quint8(int(spin_->value() * 2.0)));
}

void ZTxPowerItem::loadFromParameter()
{
    spin_->setValue(backup().txGain() * 0.5);
}

void ZTxPowerItem::storeToParameter()
{
    written().setTxGain(quint8(int(spin_->value() * 2.0)));
}

// --- LED and IDC switches: bits 0 and 5 of onOffControl ---

ZOnOffItem::ZOnOffItem(QWidget* parent)
    : QWidget(parent)
{
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    auto makeRow = [this, column](const QString& caption) {
        auto* row = new QHBoxLayout;
        auto* label = new QLabel(caption, this);
        QFont bold = label->font();
        bold.setWeight(75);
        label->setFont(bold);
        auto* button = new QToolButton(this);
        button->setCheckable(true);
        button->setToolButtonStyle(Qt::ToolButtonIconOnly);
        button->setIcon(ZIconsManager::instance()->toggleIcon(1));
        button->setObjectName("Icon_Switch");
        button->setIconSize(QSize(100, 40));
        row->addWidget(label);
        row->addWidget(button);
        column->addLayout(row);
        return button;
    };
    led_ = makeRow(tr("LED"));
    idc_ = makeRow(tr("IDC Auto Set"));
    connect(led_, &QToolButton::clicked, this, [](bool checked) {
        ParameterFrame& f = backup();
        f.setOnOffControl(quint8((f.onOffControl() & ~0x01) | (checked ? 0x01 : 0)));
    });
    // Mirrored as well: a reload after another editor's change would else revert it.
    connect(idc_, &QToolButton::clicked, this, [](bool checked) {
        ParameterFrame& f = backup();
        f.setOnOffControl(quint8((f.onOffControl() & ~0x20) | (checked ? 0x20 : 0)));
    });
}

void ZOnOffItem::loadFromParameter()
{
    led_->setChecked(backup().onOffControl() & 0x01);
    idc_->setChecked(backup().onOffControl() & 0x20);
}

void ZOnOffItem::storeToParameter()
{
    ParameterFrame& f = written();
    quint8 v = f.onOffControl() & quint8(~0x21);
    v |= led_->isChecked() ? 0x01 : 0;
    v |= idc_->isChecked() ? 0x20 : 0;
    f.setOnOffControl(v);
}

// --- role ---

ZRoleItem::ZRoleItem(ZOnOffItem* onOff, QWidget* parent)
    : QWidget(parent)
    , onOff_(onOff)
    , combo_(new QComboBox(this))
    , spin_(makeSpinBox(this, 0, 254))
{
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(new ZBoldLabel(tr("Role"), this));
    row->addWidget(combo_);
    row->addWidget(spin_);
    spin_->hide();
    g_roleItem = this;
    g_numberedRole.store(false);
    g_hexId.store(false);
    setNodeLabelFlagsHook(&roleEditorFlags);
    connect(combo_, kActivated, this, [this](int index) {
        const Role role = Role(quint8(combo_->itemData(index).toUInt()));
        backup().setRole(role);
        emit currentRoleChanged(role);
    });
}

ZRoleItem::~ZRoleItem()
{
    setNodeLabelFlagsHook(nullptr);
    g_numberedRole.store(false);
    g_hexId.store(false);
}

ZRoleItem* ZRoleItem::instance()
{
    return g_roleItem.data();
}

bool ZRoleItem::numberedRole() const
{
    return g_numberedRole.load();
}

bool ZRoleItem::hexId() const
{
    return g_hexId.load();
}

void ZRoleItem::loadFromParameter()
{
    const quint8 m = backup().localMode();
    QList<Role> roles;
    if (m == LP_MODE5)
        roles = {ANCHOR, TAG};
    else if (isLpMode(m))
        roles = {ANCHOR, TAG, CONSOLE};
    else if (m == DT_MODE0 || m == DT_MODE1 || m == DT_MODE2)
        roles = {MASTER, SLAVE};
    else if (m == DR_MODE1 || m == DR_MODE0)
        roles = {NODE};
    combo_->clear();
    for (Role r : roles)
        combo_->addItem(roleNames.value(r), int(r));

    const bool numbered = m == DR_MODE1 || m == DR_MODE0;
    g_numberedRole.store(numbered);
    g_hexId.store(m == DR_MODE1);
    spin_->setVisible(numbered);
    if (numbered)
        spin_->setValue(ProtocolParameter::instance()->rawRole());

    const int index = combo_->findData(int(backup().role()));
    if (index >= 0) {
        combo_->setCurrentIndex(index);
    } else if (combo_->count() > 0) {
        combo_->setCurrentIndex(0);
        emit combo_->activated(0);
    }

    const Role role = currentRole();
    const bool idc = (role == TAG && isLpMode(m)) || (role == NODE && m == DR_MODE0);
    if (onOff_)
        onOff_->idcAutoSetButton()->setEnabled(idc);
}

void ZRoleItem::storeToParameter()
{
    written().setRole(g_numberedRole.load() ? quint8(spin_->value()) : quint8(currentRole()));
}

Role ZRoleItem::currentRole() const
{
    bool ok = false;
    const uint v = combo_->currentData(Qt::UserRole).toUInt(&ok);
    return ok ? Role(quint8(v)) : NODE;
}

void ZRoleItem::setCurrentRole(Role role)
{
    combo_->setCurrentIndex(combo_->findData(int(role)));
}

void ZRoleItem::setRoleOfNodeConnectedDirectly(Role role)
{
    if (roleOfNodeConnectedDirectly_ == int(role))
        return;
    roleOfNodeConnectedDirectly_ = int(role);
    emit roleOfNodeConnectedDirectlyChanged(role);
}

// --- id ---

ZIdItem::ZIdItem(QWidget* parent)
    : QWidget(parent)
    , spin_(makeSpinBox(this, 0, 254))
{
    captionRow(this, tr("ID"), spin_);
    connect(spin_, &QSpinBox::editingFinished, this, [this] { backup().setId(quint8(spin_->value())); });
}

void ZIdItem::loadFromParameter()
{
    const ParameterFrame& f = backup();
    const QMap<int, int> capacities = ZAppModeItem::instance() ? ZAppModeItem::instance()->roleCapacities() : QMap<int, int>();
    if (f.localMode() == DR_MODE0)
        spin_->setRange(0, int(f.nodeCapacity()) - 1);
    else if (capacities.contains(f.role()))
        spin_->setRange(0, capacities.value(f.role()) - 1);
    spin_->setValue(f.id());
}

void ZIdItem::storeToParameter()
{
    written().setId(quint8(spin_->value()));
}

// --- output protocol ---

ZProtocolTypeItem::ZProtocolTypeItem(QWidget* parent)
    : QWidget(parent)
    , combo_(new QComboBox(this))
{
    combo_->setSizeAdjustPolicy(QComboBox::AdjustToContentsOnFirstShow);
    captionRow(this, tr("Protocol"), combo_);
    auto names = [](const QList<quint8>& ids) {
        QStringList list;
        for (quint8 id : ids)
            list << frameShortNames.value(id);
        return list;
    };
    for (int m : {0, 1, 2, 11, 12, 13, 14}) {
        choices_[ANCHOR][m] = names({0, 3, 6});
        choices_[CONSOLE][m] = names({0, 3, 6});
        choices_[TAG][m] = names({1, 4, 5, 128, 129});
    }
    choices_[NODE][DR_MODE0] = names({4, 5});
    choices_[NODE][DR_MODE1] = names({8, 11});
    connect(combo_, kActivated, this, [this](int index) {
        backup().setProtocol(idOfShortName(combo_->itemText(index)));
        emit currentTypeChanged();
    });
}

quint8 ZProtocolTypeItem::idOfShortName(const QString& text)
{
    for (auto it = frameShortNames.constBegin(); it != frameShortNames.constEnd(); ++it) {
        if (it.value() == text)
            return it.key();
    }
    return 0;
}

void ZProtocolTypeItem::loadFromParameter()
{
    const ParameterFrame& f = backup();
    combo_->clear();
    combo_->addItems(choices_.value(f.role()).value(f.localMode()));
    selectTextOrFirst(combo_, frameShortNames.value(f.protocol()));
}

void ZProtocolTypeItem::storeToParameter()
{
    written().setProtocol(idOfShortName(combo_->currentText()));
}

// --- baud rate ---

ZBaudrateItem::ZBaudrateItem(QWidget* parent)
    : QWidget(parent)
    , combo_(new QComboBox(this))
{
    captionRow(this, tr("Baudrate"), combo_);
    connect(combo_, kActivated, this, [this](int index) {
        backup().setBaudRate(combo_->itemText(index).toUInt() & 0xFFFFFFu);
        emit currentBaudrateChanged();
    });
}

void ZBaudrateItem::loadFromParameter()
{
    const SystemInfoFrame system = ProtocolSystem::instance()->receivedFrame();
    if (system.productType() == 0) {
        // The slower models stop at 1 Mbaud.
        const int upper = (system.modelId() == 2 || system.modelId() == 3) ? 1000000 : 3000000;
        const QList<int>& rates = WidgetSystemInfo::baudrates();
        combo_->clear();
        for (int i = rates.indexOf(4800); i >= 0 && i <= rates.indexOf(upper); ++i)
            combo_->addItem(QString::number(rates.at(i)));
    }
    selectTextOrFirst(combo_, QString::number(backup().baudRate()));
}

void ZBaudrateItem::storeToParameter()
{
    written().setBaudRate(combo_->currentText().toUInt() & 0xFFFFFFu);
}

// --- node capacity ---

ZNodeCapacityItem::ZNodeCapacityItem(QWidget* parent)
    : QWidget(parent)
    , combo_(new QComboBox(this))
    , model_(new QStringListModel(this))
{
    combo_->setModel(model_);
    captionRow(this, tr("Capacity"), combo_);
    connect(combo_, kActivated, this, [this](int index) {
        backup().setNodeCapacity(quint8(combo_->itemText(index).toUInt()));
        emit capacityChanged();
    });
}

void ZNodeCapacityItem::loadFromParameter()
{
    static const QStringList dr0{"2", "5", "10", "20", "50", "80"};
    static const QStringList dr1{"2", "5", "10", "20", "30", "40", "50"};
    const quint8 m = backup().localMode();
    const QStringList* wanted = m == DR_MODE0 ? &dr0 : m == DR_MODE1 ? &dr1 : nullptr;
    if (wanted && model_->stringList() != *wanted)
        model_->setStringList(*wanted);
    selectTextOrFirst(combo_, QString::number(backup().nodeCapacity()));
}

void ZNodeCapacityItem::storeToParameter()
{
    written().setNodeCapacity(quint8(combo_->currentText().toUInt()));
}

// --- update rate ---

ZRefreshRateItem::ZRefreshRateItem(QWidget* parent)
    : QWidget(parent)
    , combo_(new QComboBox(this))
{
    captionRow(this, tr("Update Rate"), combo_);
    connect(combo_, kActivated, this,
            [this](int index) { backup().setRefreshRate(quint16(combo_->itemText(index).toUInt())); });
}

void ZRefreshRateItem::install(const QStringList& rates)
{
    const QString kept = combo_->currentText();
    combo_->clear();
    combo_->addItems(rates);
    const int index = combo_->findText(kept);
    combo_->setCurrentIndex(index >= 0 ? index : 0);
}

void ZRefreshRateItem::loadFromParameter()
{
    static const QMap<int, QStringList> byCapacity{
        {2, {"250", "500", "1000"}},
        {5, {"1", "2", "5", "10", "25", "50", "100", "200"}},
        {10, {"1", "2", "5", "10", "25", "50", "100"}},
        {20, {"1", "2", "5", "10", "25", "50"}},
        {50, {"1", "2", "5", "10"}},
        {80, {"1", "2", "5", "10"}},
    };
    const ParameterFrame& f = backup();
    const quint8 m = f.localMode();
    if (m == LP_MODE0) {
        const int bytes = frameByteCount(frameShortNames.value(f.protocol()));
        install(ratesBelowBound(refreshRates.value(0), f.baudRate(), bytes));
    } else if (m == DR_MODE1) {
        install({"1", "2", "5", "10", "25", "50", "100", "200"});
    } else if (m == DR_MODE0) {
        install(byCapacity.value(f.nodeCapacity()));
    } else if (refreshRates.contains(m)) {
        install(refreshRates.value(m));
    }
    combo_->setCurrentText(QString::number(f.refreshRate()));
}

void ZRefreshRateItem::storeToParameter()
{
    written().setRefreshRate(quint16(combo_->currentText().toUInt()));
}

// --- filter factor ---

ZFilterFactorItem::ZFilterFactorItem(QWidget* parent)
    : QWidget(parent)
    , spin_(makeSpinBox(this, 0, 255))
    , slider_(new QSlider(Qt::Horizontal, this))
{
    slider_->setRange(0, 255);
    slider_->setToolTip("<html><head/><body><p><img src=:/images/filterproperty.png/></p></body></html>");
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(new ZBoldLabel(tr("Filter Factor"), this), 0, 0);
    grid->addWidget(spin_, 0, 1);
    grid->addWidget(slider_, 1, 0, 1, 2);
    connect(slider_, &QSlider::valueChanged, this, [this](int v) {
        spin_->setValue(v);
        backup().setFilterFactor(quint8(v));
    });
    connect(spin_, &QSpinBox::editingFinished, this, [this] {
        slider_->setValue(spin_->value());
        backup().setFilterFactor(quint8(slider_->value()));
    });
}

void ZFilterFactorItem::loadFromParameter()
{
    slider_->setValue(backup().filterFactor());
    spin_->setValue(backup().filterFactor());
}

void ZFilterFactorItem::storeToParameter()
{
    written().setFilterFactor(quint8(slider_->value()));
}

// --- math model ---

ZMathModelItem::ZMathModelItem(QWidget* parent)
    : QWidget(parent)
    , combo_(new QComboBox(this))
{
    combo_->addItems({"MATH_MODEL0", "MATH_MODEL1", "MATH_MODEL2"});
    captionRow(this, tr("Math Model"), combo_);
    // Mirrored into the edited record like every other edit, so that a reload
    // after another editor's change keeps it.
    connect(combo_, kActivated, this, [](int index) { backup().setModel(quint8(index)); });
}

void ZMathModelItem::loadFromParameter()
{
    combo_->setCurrentIndex(backup().model());
}

void ZMathModelItem::storeToParameter()
{
    written().setModel(quint8(combo_->currentIndex()));
}

} // namespace Trelvan
