#pragma once

#include <functional>

class QObject;
class QWidget;

// Points where device recognition and the product registry reach features that
// live elsewhere: ending a replay (the data player bar) and the firmware update
// window with its protocol. Each does nothing until its owner installs it at
// start-up, before ProductsManager::instance runs.
namespace ProductHooks {

using StopReplayHook = std::function<void()>;
// Installs the call that ends a running replay and reconnects the port to the
// frame extraction; returns the previous one.
StopReplayHook setStopReplayHook(StopReplayHook hook);
// Ends a running replay; nothing when no hook is installed.
void stopReplay();

struct FirmwareHooks
{
    // Makes sure the firmware frame protocol exists (parent for its creation).
    std::function<void(QObject* parent)> createFirmwareProtocol;
    // Creates the firmware update window once, with the main window as parent.
    std::function<QWidget*(QWidget* mainWindow)> createFirmwareWindow;
    // Asks the firmware window to look for a newer public firmware.
    std::function<void()> checkForNewFirmware;
};
// Installs the firmware hooks; returns the previous ones.
FirmwareHooks setFirmwareHooks(FirmwareHooks hooks);
const FirmwareHooks& firmwareHooks();

} // namespace ProductHooks
