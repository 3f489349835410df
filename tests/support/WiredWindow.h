#pragma once

#include <QMainWindow>
#include <QSize>
#include <QString>

#include <functional>

#include "protocol/ProtocolSeams.h"

class ModelViewManagers;
class ZSerialPort;
class ZUiSerialPortAssistant;

namespace talmeno_test {

// Worker threads (timer manager in slot 5, frame extraction in 2, processing in 3)
// started once, extraction enabled, user folders made, and the pipeline's model
// lookup set (the current page when lookup is null).
void startPipeline(ProtocolSeams::ModelManagerLookup lookup = nullptr);

// The main window's services wired as the program wires them at start-up, with only
// a simulated device to connect: the machine's own ports are ignored and one link in
// the temporary folder is the extra port the program watches. A plugged-in port is
// opened and recognised without a click.
class WiredWindow
{
public:
    // registerProducts runs once the services exist, before the product tool bar.
    bool setUp(const QString& linkName, const QSize& size, const std::function<void()>& registerProducts,
               bool recognizeAction = true);
    // Closes the port, decodes what is still on its way, removes the link and the window.
    void tearDown();

    // Links the device's pty as the watched port: the device is plugged in.
    bool plugIn(const QString& devicePath) const;
    // Shows the first tab, in every tab widget, whose caption starts with prefix.
    void showTab(const QString& prefix) const;
    ZSerialPort* port() const;

    QMainWindow* window = nullptr;
    ModelViewManagers* pages = nullptr;
    ZUiSerialPortAssistant* terminal = nullptr;
    QString linkPath;
};

} // namespace talmeno_test
