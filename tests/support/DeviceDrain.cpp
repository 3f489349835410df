#include "support/DeviceDrain.h"

#include "foundation/ZThreadManager.h"
#include "link/ZSerialPort.h"
#include "protocol/ProtocolDataProcessor.h"
#include "protocol/ProtocolFrameExtraction.h"
#include "sim/DeviceSimulator.h"

#include <QtTest>

namespace talmeno_test {

void drainPipeline()
{
    ZThreadManager* threads = ZThreadManager::instance();
    threads->runInThread(2, [] { ProtocolFrameExtraction::instance()->extractFrames(); }, true);
    threads->runInThread(3, [] { ProtocolDataProcessor::instance()->processFrames(); }, true);
}

bool drainDevice(sim::DeviceSimulator& device, ZSerialPort& port, int timeoutMs)
{
    // No frame of any product begins with these bytes, nor does any device send them.
    static const QByteArray mark("\x7e~talmeno test end mark~\x7e");
    QByteArray seen;
    bool arrived = false;
    QObject context;
    QObject::connect(&port, &ZSerialPort::dataArrived, &context, [&](const QByteArray& chunk) {
        seen = seen.right(mark.size() - 1) + chunk;
        arrived = arrived || seen.contains(mark);
    }, Qt::DirectConnection);
    device.send(mark);
    if (!QTest::qWaitFor([&arrived] { return arrived; }, timeoutMs))
        return false;
    drainPipeline();
    return true;
}

} // namespace talmeno_test
