#pragma once

#include <QString>

#include <functional>

class ZSerialPort;

namespace talmeno_test {

// Exports while recording what the port receives during whileRecording(); then
// quiet() silences the device and the recording plays at four times its speed while
// a second export runs. Names both workbooks, saved; a failed step fails the test.
void exportLiveAndReplay(ZSerialPort* port, const std::function<void()>& whileRecording,
                         const std::function<void()>& quiet, QString* liveFile, QString* replayFile);

} // namespace talmeno_test
