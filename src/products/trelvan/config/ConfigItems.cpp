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

namespace {
const QString kUnlistedSuffix = QStringLiteral(" (?)");

quint32 parseNumber(const QString& text)
{
    return text.toUInt();
}
} // namespace

ListedChoice::ListedChoice(QComboBox* box, const QString& caption)
    : box_(box)
    , caption_(caption)
{
}

QString ListedChoice::unlistedText(quint32 value)
{
    return QString::number(value) + kUnlistedSuffix;
}

bool ListedChoice::isUnlisted(int index) const
{
    return index >= 0 && box_->itemText(index).endsWith(kUnlistedSuffix);
}

void ListedChoice::select(const QString& text, quint32 value)
{
    for (int i = box_->count() - 1; i >= 0; --i) {
        if (isUnlisted(i))
            box_->removeItem(i);
    }
    int index = text.isEmpty() ? -1 : box_->findText(text, Qt::MatchFixedString);
    if (index < 0) {
        box_->addItem(unlistedText(value));
        index = box_->count() - 1;
        // The role editor reads item data (a string list model keeps none).
        box_->setItemData(index, value);
    }
    box_->setCurrentIndex(index);
}

quint32 ListedChoice::valueAt(int index, const std::function<quint32(const QString&)>& parse) const
{
    const QString text = box_->itemText(index);
    if (isUnlisted(index))
        return text.left(text.size() - kUnlistedSuffix.size()).toUInt();
    return parse(text);
}

quint32 ListedChoice::currentValue(const std::function<quint32(const QString&)>& parse) const
{
    return valueAt(box_->currentIndex(), parse);
}

QStringList ListedChoice::listed() const
{
    QStringList texts;
    for (int i = 0; i < box_->count(); ++i) {
        if (!isUnlisted(i))
            texts << box_->itemText(i);
    }
    return texts;
}

void ListedChoice::rememberList()
{
    remembered_ = listed();
}

bool ListedChoice::refusesCurrent() const
{
    return isUnlisted(box_->currentIndex()) && listed() != remembered_;
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
    , choice_(combo_, tr("Role"))
    , spin_(makeSpinBox(this, 0, 254))
{
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(new ZBoldLabel(choice_.caption(), this));
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
    if (numbered) {
        // The role byte carries the node's number (in the spin box); the one role
        // of the mode is shown and mirrored.
        spin_->setValue(ProtocolParameter::instance()->rawRole());
        const int index = combo_->findData(int(backup().role()));
        combo_->setCurrentIndex(index >= 0 ? index : 0);
        if (index < 0)
            emit combo_->activated(0);
    } else {
        const quint8 role = backup().role();
        choice_.select(roleNames.value(Role(role)), role);
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
    , choice_(combo_, tr("Protocol"))
{
    combo_->setSizeAdjustPolicy(QComboBox::AdjustToContentsOnFirstShow);
    captionRow(this, choice_.caption(), combo_);
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
        backup().setProtocol(quint8(choice_.valueAt(index, &idOfShortName)));
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
    choice_.select(frameShortNames.value(f.protocol()), f.protocol());
}

void ZProtocolTypeItem::storeToParameter()
{
    written().setProtocol(quint8(choice_.currentValue(&idOfShortName)));
}

// --- baud rate ---

ZBaudrateItem::ZBaudrateItem(QWidget* parent)
    : QWidget(parent)
    , combo_(new QComboBox(this))
    , choice_(combo_, tr("Baudrate"))
{
    captionRow(this, choice_.caption(), combo_);
    connect(combo_, kActivated, this, [this](int index) {
        backup().setBaudRate(choice_.valueAt(index, parseNumber) & 0xFFFFFFu);
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
    choice_.select(QString::number(backup().baudRate()), backup().baudRate());
}

void ZBaudrateItem::storeToParameter()
{
    written().setBaudRate(choice_.currentValue(parseNumber) & 0xFFFFFFu);
}

// --- node capacity ---

ZNodeCapacityItem::ZNodeCapacityItem(QWidget* parent)
    : QWidget(parent)
    , combo_(new QComboBox(this))
    , choice_(combo_, tr("Capacity"))
    , model_(new QStringListModel(this))
{
    combo_->setModel(model_);
    captionRow(this, choice_.caption(), combo_);
    connect(combo_, kActivated, this, [this](int index) {
        backup().setNodeCapacity(quint8(choice_.valueAt(index, parseNumber)));
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
    choice_.select(QString::number(backup().nodeCapacity()), backup().nodeCapacity());
}

void ZNodeCapacityItem::storeToParameter()
{
    written().setNodeCapacity(quint8(choice_.currentValue(parseNumber)));
}

// --- update rate ---

ZRefreshRateItem::ZRefreshRateItem(QWidget* parent)
    : QWidget(parent)
    , combo_(new QComboBox(this))
    , choice_(combo_, tr("Update Rate"))
{
    captionRow(this, choice_.caption(), combo_);
    connect(combo_, kActivated, this,
            [this](int index) { backup().setRefreshRate(quint16(choice_.valueAt(index, parseNumber))); });
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
    choice_.select(QString::number(f.refreshRate()), f.refreshRate());
}

void ZRefreshRateItem::storeToParameter()
{
    written().setRefreshRate(quint16(choice_.currentValue(parseNumber)));
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
