#pragma once

// A positioning node of the simulator behind a real serial port of the program:
// the pty device with its parameter handler, the port wired to the frame pipeline
// and the serial interface hooks, and the pipeline's worker threads.

#include "products/trelvan/protocols/ParameterFrame.h"
#include "sim/DeviceSimulator.h"
#include "sim/TrelvanNodeSimulator.h"
#include "sim/TrelvanParameterHandler.h"

#include <QByteArray>

#include <memory>

class ModelManager;
class ZSerialPort;

namespace TestTrelvan {

// Worker threads (timer manager in slot 5, extraction in 2, processing in 3) started
// once, extraction enabled, user folders made, the pipeline's model lookup pointed
// at the current page or, without one, at a private Data/Line/Scatter page.
void startPortPipeline();

class NodeOnPort
{
public:
    // With stream set the node also sends node frame 2 at its update rate.
    explicit NodeOnPort(const sim::TrelvanNodeSetup& setup = sim::TrelvanNodeSetup{}, bool stream = false);
    ~NodeOnPort();

    // Starts the device and opens the port at the node's rate.
    bool open();
    void close();

    sim::DeviceSimulator& device() { return *device_; }
    sim::TrelvanParameterHandler& parameters() { return node_->parameters(); }
    sim::TrelvanNode& node() { return *node_; }
    ZSerialPort& port() { return *port_; }

private:
    std::unique_ptr<sim::DeviceSimulator> device_;
    std::unique_ptr<sim::TrelvanNode> node_;
    std::unique_ptr<ZSerialPort> port_;
    quint32 rate_;
    bool stream_;
};

// Frame bytes from a hex text with blanks.
QByteArray hexBytes(const char* text);

// The default parameter record with a command byte and a checksum byte, written out
// byte by byte (independent of the program's own record).
QByteArray defaultParameterRecord(quint8 command, quint8 checksum);

// A node's parameter frame as the simulated node keeps it, with the running mode set.
Trelvan::ParameterFrame nodeParameters(quint8 role, quint8 id, quint8 localMode, quint8 runningMode,
                                       quint8 protocol = 4);

} // namespace TestTrelvan
