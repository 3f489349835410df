#pragma once

#include "products/trelvan/config/ConfigTypes.h"

#include <QGroupBox>
#include <QList>
#include <QMap>
#include <vector>

class QAbstractButton;
class QButtonGroup;
class QToolButton;

namespace Trelvan {

class ZRoleItem;

// The mode editor: the local mode as radio buttons (written with the other
// parameters) and the running mode as a group of hidden checkable buttons, two of
// which ("Wireless Setting", running mode 3, and "One Key Setup", running mode 8)
// the setting window shows in its tool bar. A click on a running button only asks
// for a switch (runningModeRequired); the check moves when a load confirms it.
class ZAppModeItem : public QGroupBox, public ZConfigItemInterface
{
    Q_OBJECT
public:
    ZAppModeItem(ZRoleItem* roleItem, QWidget* parent = nullptr);
    ~ZAppModeItem() override;
    // The one mode editor, null while none exists.
    static ZAppModeItem* instance();

    void loadFromParameter() override;
    void storeToParameter() override;

    int localMode() const;
    int runningMode() const;
    // The local mode the node at the port last reported.
    quint8 receivedLocalMode() const;
    bool isWirelessSettingActive() const;
    void restoreLocalRunningMode();
    void enterWirelessSetting();
    QList<QToolButton*> shortcutButtons() const;
    QMap<int, int> roleCapacities() const;
    quint8 requestedRunningMode() const { return requestedRunningMode_; }

    QButtonGroup* localGroup() const { return localGroup_; }
    QButtonGroup* runningGroup() const { return runningGroup_; }
    QToolButton* currentRunningButton() const { return currentRunningButton_; }
    QToolButton* wirelessSettingButton() const { return wirelessButton_; }
    QToolButton* oneKeySetupButton() const { return oneKeyButton_; }

    void updateShortcutButtons();
    void handleRunningButtonClicked(QAbstractButton* button);

signals:
    void localModeChanged(LPSMode mode);
    void runningModeRequired(LPSMode mode);
    void runningModeChanged(LPSMode mode);

private:
    std::vector<quint8> localModes_;
    QButtonGroup* localGroup_;
    QButtonGroup* runningGroup_;
    QToolButton* currentRunningButton_ = nullptr;
    QToolButton* wirelessButton_ = nullptr;
    QToolButton* oneKeyButton_ = nullptr;
    ZRoleItem* roleItem_;
    quint8 requestedRunningMode_ = 0;
};

} // namespace Trelvan
