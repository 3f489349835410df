#pragma once

#include <QByteArray>

#include <memory>

class ModelManager;
class ZSerialPort;

namespace sim {
class DeviceSimulator;
} // namespace sim

namespace iottest {

// Worker threads (timer manager in slot 5, frame extraction in slot 2, processing in
// slot 3) started once, the extraction enabled, the user folders made, the iot line
// registered, and the pipeline's model-manager lookup pointed at the current page
// or, without one, at testModelManager().
void startPipeline();

// A free-standing page model with Data and Line items.
ModelManager* testModelManager();

// A simulated device behind a real serial port of the program, wired to the frame
// pipeline and the serial interface hooks; what it sends is up to the test.
class DeviceOnPort
{
public:
    DeviceOnPort();
    ~DeviceOnPort();

    bool open(int rate = 921600);
    void close();
    // Sends bytes from the device side.
    void send(const QByteArray& bytes);

    sim::DeviceSimulator& device() { return *device_; }
    ZSerialPort& port() { return *port_; }

private:
    std::unique_ptr<sim::DeviceSimulator> device_;
    std::unique_ptr<ZSerialPort> port_;
};

} // namespace iottest
