#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <functional>

// Points where the firmware update reaches the positioning system's wireless relay
// and its remote-node rows, which that product line installs when it is built. An
// empty hook means the product line is not there: the wireless update then refuses
// to start and the window skips the node calls.
namespace FirmwareWirelessHooks {

// Node row states of the wireless setting page.
enum NodeState { Idle = 0, Succeeded = 1, Failed = 2, Busy = 3 };

struct Hooks
{
    // Wraps payload in a relay frame for the remote nodes (command, role, id).
    std::function<QByteArray(quint8 command, const QByteArray& payload, quint8 role, qint8 id)> wrapCommand;
    // Every selected remote-node row of role whose state is not keepState gets newState.
    std::function<void(quint8 role, int keepState, int newState)> setStateOfRoleUnless;
    // Searches the remote nodes, waiting waitMs, and shows the counts.
    std::function<void(int waitMs)> findAllNodes;
    // Returns the local node from the wireless setting mode to its running mode.
    std::function<void()> restoreLocalRunningMode;
    // Puts the local node into the wireless setting mode.
    std::function<void()> enterWirelessSetting;
};

// Installs the hooks; returns the previous ones.
Hooks setHooks(Hooks hooks);
const Hooks& hooks();

} // namespace FirmwareWirelessHooks
