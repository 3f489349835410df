#pragma once

#include <QString>

#include <functional>

class ZSerialPort;

namespace sim {
class DeviceSimulator;
}

namespace talmeno_test {

// Exports while recording what the port receives, until the recording holds at least
// recordBytes. Then quiet() silences the device (it returns once the device sends
// nothing more of its own), every frame the device sent is decoded and the live export
// ends. The recording then plays at four times its speed while a second export runs,
// which ends once every replayed frame is decoded. Names both workbooks, saved; a
// failed step fails the test.
void exportLiveAndReplay(ZSerialPort* port, sim::DeviceSimulator& device, qint64 recordBytes,
                         const std::function<void()>& quiet, QString* liveFile, QString* replayFile);

} // namespace talmeno_test
