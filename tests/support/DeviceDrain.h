#pragma once

class ZSerialPort;

namespace sim {
class DeviceSimulator;
}

namespace talmeno_test {

// One search pass on the extraction thread, then one decoding pass on the processing
// thread: every byte handed to the frame pipeline before the call is decoded after it.
void drainPipeline();

// For a device that sends nothing more of its own: sends an end mark behind what it
// has sent, waits until the port has delivered the mark and then drains the
// pipeline, so every frame the device sent before is decoded. False when the mark
// did not arrive within timeoutMs.
bool drainDevice(sim::DeviceSimulator& device, ZSerialPort& port, int timeoutMs = 10000);

} // namespace talmeno_test
