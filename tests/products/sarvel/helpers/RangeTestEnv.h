#pragma once

#include "support/LogCapture.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>

class ModelManager;
class ZSerialPort;

namespace sim {
class DeviceSimulator;
class RangeSensor;
} // namespace sim

namespace rangetest {

// Worker threads (timer manager in slot 5, frame extraction in slot 2, processing in
// slot 3) started once, the extraction enabled, the user folders made, and the
// pipeline's model-manager lookup pointed at the current page.
void startPipeline();

using talmeno_test::LogCapture;

// A range sensor of the simulator behind a real serial port of the program, wired to
// the frame pipeline and the serial interface hooks.
class SensorOnPort
{
public:
    SensorOnPort(int productType, int deviceRate = 115200);
    ~SensorOnPort();

    bool open();
    void close();

    sim::DeviceSimulator& device() { return *device_; }
    sim::RangeSensor& sensor() { return *sensor_; }
    ZSerialPort& port() { return *port_; }

private:
    std::unique_ptr<sim::DeviceSimulator> device_;
    std::unique_ptr<sim::RangeSensor> sensor_;
    std::unique_ptr<ZSerialPort> port_;
    int deviceRate_;
};

// A free-standing page model with Data and Line items, made current for the pipeline.
ModelManager* testModelManager();

// Frame bytes from a hex text with blanks.
QByteArray hex(const char* text);

} // namespace rangetest
