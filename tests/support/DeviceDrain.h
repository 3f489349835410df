#pragma once

class ZSerialPort;

namespace sim {
class DeviceSimulator;
}

namespace talmeno_test {

// True once the frame search and the decoding both rest: every byte handed to the
// pipeline has been searched and every frame found decoded (a candidate that never
// completed given up after its quiet time, with the frames behind it decoded).
bool pipelineAtRest();

// Waits until the pipeline rests; false when it did not within timeoutMs.
bool waitForPipelineAtRest(int timeoutMs = 10000);

// For a device that sends nothing more of its own: sends an end mark behind what it
// has sent and returns once the port has delivered the mark and the pipeline rests,
// so every frame the device sent before is decoded. False on time-out.
bool drainDevice(sim::DeviceSimulator& device, ZSerialPort& port, int timeoutMs = 10000);

} // namespace talmeno_test
