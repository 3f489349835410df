#pragma once

#include "products/trelvan/config/ConfigTypes.h"

#include <QMap>
#include <QStringList>
#include <QWidget>

#include <functional>

class QComboBox;
class QDoubleSpinBox;
class QSlider;
class QSpinBox;
class QStringListModel;
class QToolButton;

// The plain editors of the parameter record. Each shows its fields of the edited
// record (the parameter protocol's backupFrame), mirrors a user edit into it at
// once, and stores its value into the record a write sends (writeFrame). Editors
// whose value changes the choices of others emit a change signal; the setting
// window then loads every editor again.
namespace Trelvan {

class ProtocolParameter;

// The choices of a combo box editor, whose list need not hold the value the editor
// is loaded with. Such a value is shown as an extra last entry, its decimal text
// followed by " (?)", selected and written back as it is: a read followed by a write
// leaves the node's value alone unless the user picks another entry. The list is
// remembered when the editors are filled from a node; once it has changed since (a
// role or mode change), a value still outside it must not be written.
class ListedChoice
{
public:
    ListedChoice(QComboBox* box, const QString& caption);

    // Selects the entry whose text matches (whole text, case-insensitive), else the
    // extra entry for value. A former extra entry is dropped first.
    void select(const QString& text, quint32 value);
    // The value an entry stands for: the extra entry's own, else parse(its text).
    quint32 valueAt(int index, const std::function<quint32(const QString&)>& parse) const;
    quint32 currentValue(const std::function<quint32(const QString&)>& parse) const;
    bool isUnlisted(int index) const;
    void rememberList();
    // The current entry is a value outside a list that changed since rememberList().
    bool refusesCurrent() const;
    QString caption() const { return caption_; }

private:
    static QString unlistedText(quint32 value);
    QStringList listed() const;

    QComboBox* box_;
    QString caption_;
    QStringList remembered_;
};

class ZSystemChannelItem : public QWidget, public ZConfigItemInterface
{
    Q_OBJECT
public:
    explicit ZSystemChannelItem(QWidget* parent = nullptr);
    void loadFromParameter() override;
    void storeToParameter() override;
    QSpinBox* spinBox() const { return spin_; }

private:
    QSpinBox* spin_;
};

class ZSystemIDItem : public QWidget, public ZConfigItemInterface
{
    Q_OBJECT
public:
    explicit ZSystemIDItem(QWidget* parent = nullptr);
    void loadFromParameter() override;
    void storeToParameter() override;
    QSpinBox* spinBox() const { return spin_; }

private:
    QSpinBox* spin_;
};

class ZTxPowerItem : public QWidget, public ZConfigItemInterface
{
    Q_OBJECT
public:
    explicit ZTxPowerItem(QWidget* parent = nullptr);
    void loadFromParameter() override;
    void storeToParameter() override;
    QDoubleSpinBox* spinBox() const { return spin_; }
    // The user finished typing: rounds to the nearest 0.5 dB and mirrors it.
    void commitEdit();

private:
    QDoubleSpinBox* spin_;
};

class ZOnOffItem : public QWidget, public ZConfigItemInterface
{
    Q_OBJECT
public:
    explicit ZOnOffItem(QWidget* parent = nullptr);
    void loadFromParameter() override;
    void storeToParameter() override;
    QToolButton* ledButton() const { return led_; }
    QToolButton* idcAutoSetButton() const { return idc_; }

private:
    QToolButton* led_;
    QToolButton* idc_;
};

class ZRoleItem : public QWidget, public ZConfigItemInterface
{
    Q_OBJECT
public:
    ZRoleItem(ZOnOffItem* onOff, QWidget* parent = nullptr);
    ~ZRoleItem() override;
    // The one role editor, null while none exists.
    static ZRoleItem* instance();

    void loadFromParameter() override;
    void storeToParameter() override;

    Role currentRole() const;
    void setCurrentRole(Role role);
    int roleOfNodeConnectedDirectly() const { return roleOfNodeConnectedDirectly_; }
    void setRoleOfNodeConnectedDirectly(Role role);
    bool numberedRole() const;
    bool hexId() const;

    QComboBox* comboBox() const { return combo_; }
    ListedChoice& choice() { return choice_; }
    QSpinBox* roleSpinBox() const { return spin_; }

signals:
    void currentRoleChanged(Role role);
    void roleOfNodeConnectedDirectlyChanged(Role role);

private:
    ZOnOffItem* onOff_;
    QComboBox* combo_;
    ListedChoice choice_;
    QSpinBox* spin_;
    int roleOfNodeConnectedDirectly_ = -1;
};

class ZIdItem : public QWidget, public ZConfigItemInterface
{
    Q_OBJECT
public:
    explicit ZIdItem(QWidget* parent = nullptr);
    void loadFromParameter() override;
    void storeToParameter() override;
    int idOfNodeConnectedDirectly() const { return idOfNodeConnectedDirectly_; }
    void setIdOfNodeConnectedDirectly(int id) { idOfNodeConnectedDirectly_ = id; }
    QSpinBox* spinBox() const { return spin_; }

private:
    QSpinBox* spin_;
    int idOfNodeConnectedDirectly_ = -1;
};

class ZProtocolTypeItem : public QWidget, public ZConfigItemInterface
{
    Q_OBJECT
public:
    explicit ZProtocolTypeItem(QWidget* parent = nullptr);
    void loadFromParameter() override;
    void storeToParameter() override;
    QComboBox* comboBox() const { return combo_; }
    ListedChoice& choice() { return choice_; }
    // The first frame id (ascending) whose short name is text; 0 when none.
    static quint8 idOfShortName(const QString& text);

signals:
    void currentTypeChanged();

private:
    QComboBox* combo_;
    ListedChoice choice_;
    // role -> local mode -> short frame names offered
    QMap<int, QMap<int, QStringList>> choices_;
};

class ZBaudrateItem : public QWidget, public ZConfigItemInterface
{
    Q_OBJECT
public:
    explicit ZBaudrateItem(QWidget* parent = nullptr);
    void loadFromParameter() override;
    void storeToParameter() override;
    QComboBox* comboBox() const { return combo_; }
    ListedChoice& choice() { return choice_; }

signals:
    void currentBaudrateChanged();

private:
    QComboBox* combo_;
    ListedChoice choice_;
};

class ZNodeCapacityItem : public QWidget, public ZConfigItemInterface
{
    Q_OBJECT
public:
    explicit ZNodeCapacityItem(QWidget* parent = nullptr);
    void loadFromParameter() override;
    void storeToParameter() override;
    QComboBox* comboBox() const { return combo_; }
    ListedChoice& choice() { return choice_; }

signals:
    void capacityChanged();

private:
    QComboBox* combo_;
    ListedChoice choice_;
    QStringListModel* model_;
};

class ZRefreshRateItem : public QWidget, public ZConfigItemInterface
{
    Q_OBJECT
public:
    explicit ZRefreshRateItem(QWidget* parent = nullptr);
    void loadFromParameter() override;
    void storeToParameter() override;
    QComboBox* comboBox() const { return combo_; }
    ListedChoice& choice() { return choice_; }

private:
    void install(const QStringList& rates);
    QComboBox* combo_;
    ListedChoice choice_;
};

class ZFilterFactorItem : public QWidget, public ZConfigItemInterface
{
    Q_OBJECT
public:
    explicit ZFilterFactorItem(QWidget* parent = nullptr);
    void loadFromParameter() override;
    void storeToParameter() override;
    QSpinBox* spinBox() const { return spin_; }
    QSlider* slider() const { return slider_; }

private:
    QSpinBox* spin_;
    QSlider* slider_;
};

class ZMathModelItem : public QWidget, public ZConfigItemInterface
{
    Q_OBJECT
public:
    explicit ZMathModelItem(QWidget* parent = nullptr);
    void loadFromParameter() override;
    void storeToParameter() override;
    QComboBox* comboBox() const { return combo_; }

private:
    QComboBox* combo_;
};

} // namespace Trelvan
