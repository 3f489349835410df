#pragma once

// A positioning node of the simulator behind a real serial port of the program:
// the pty device with its parameter handler, the port wired to the frame pipeline
// and the serial interface hooks, and the pipeline's worker threads.

#include "sim/DeviceSimulator.h"
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
    explicit NodeOnPort(const sim::TrelvanNodeSetup& setup = sim::TrelvanNodeSetup{});
    ~NodeOnPort();

    // Starts the device and opens the port at the node's rate.
    bool open();
    void close();

    sim::DeviceSimulator& device() { return *device_; }
    sim::TrelvanParameterHandler& parameters() { return *parameters_; }
    ZSerialPort& port() { return *port_; }

private:
    std::unique_ptr<sim::DeviceSimulator> device_;
    std::shared_ptr<sim::TrelvanParameterHandler> parameters_;
    std::unique_ptr<ZSerialPort> port_;
    quint32 rate_;
};

// Frame bytes from a hex text with blanks.
QByteArray hexBytes(const char* text);

} // namespace TestTrelvan
