#include "support/DeviceDrain.h"

#include "foundation/ZDemandTimer.h"
#include "link/ZSerialPort.h"
#include "protocol/ProtocolDataProcessor.h"
#include "protocol/ProtocolFrameExtraction.h"
#include "sim/DeviceSimulator.h"

#include <QtTest>

namespace talmeno_test {

bool pipelineAtRest()
{
    // The search first: its last pass hands its frames over and wakes the decoding
    // before its own timer stops.
    return !ProtocolFrameExtraction::instance()->passTimer()->isRunning() &&
           !ProtocolDataProcessor::instance()->passTimer()->isRunning();
}

bool waitForPipelineAtRest(int timeoutMs)
{
    return QTest::qWaitFor(&pipelineAtRest, timeoutMs);
}

bool drainDevice(sim::DeviceSimulator& device, ZSerialPort& port, int timeoutMs)
{
    // No frame of any product begins with these bytes, nor does any device send them.
    static const QByteArray mark("\x7e~talmeno test end mark~\x7e");
    QByteArray seen;
    bool arrived = false;
    QObject context;
    QObject::connect(
        &port, &ZSerialPort::dataArrived, &context,
        [&](const QByteArray& chunk) {
            seen = seen.right(mark.size() - 1) + chunk;
            arrived = arrived || seen.contains(mark);
        },
        Qt::DirectConnection);
    device.send(mark);
    return QTest::qWaitFor([&arrived] { return arrived; }, timeoutMs) && waitForPipelineAtRest(timeoutMs);
}

} // namespace talmeno_test
