#include "IotTestEnv.h"

#include "foundation/UserPaths.h"
#include "foundation/ZThreadManager.h"
#include "foundation/ZTimerManager.h"
#include "link/ZSerialPort.h"
#include "model/ModelManager.h"
#include "products/iot/IotProductHandle.h"
#include "protocol/LinkServices.h"
#include "protocol/ProtocolFrameExtraction.h"
#include "protocol/ProtocolSeams.h"
#include "sim/DeviceSimulator.h"
#include "views/ModelViewManagers.h"

#include <QDir>
#include <QFile>

namespace iottest {

namespace {

ModelManager* g_testModels = nullptr;

ModelManager* currentModels()
{
    if (ModelManager* m = ModelViewManagers::currentModelManager())
        return m;
    return testModelManager();
}

} // namespace

void startPipeline()
{
    static bool started = false;
    if (started)
        return;
    started = true;
    initUserDataFolders();
    iot::registerIotLine();
    ZThreadManager* tm = ZThreadManager::instance();
    tm->moveToThread(ZTimerManager::instance(), 5);
    ProtocolFrameExtraction* extraction = ProtocolFrameExtraction::instance();
    tm->moveToThread(extraction, 2);
    tm->startThreads();
    extraction->setEnabled(true);
    ProtocolSeams::setCurrentModelManagerLookup(&currentModels);
}

ModelManager* testModelManager()
{
    if (!g_testModels) {
        const QString file = QDir::temp().filePath("iot_test_page.ini");
        QFile::remove(file);
        g_testModels = new ModelManager(file, {ResourceType::Data, ResourceType::Line});
    }
    return g_testModels;
}

DeviceOnPort::DeviceOnPort()
    : device_(new sim::DeviceSimulator)
    , port_(new ZSerialPort)
{
}

DeviceOnPort::~DeviceOnPort()
{
    close();
    device_->stop();
}

bool DeviceOnPort::open(int rate)
{
    if (!device_->isRunning() && !device_->start())
        return false;
    initLinkServices(port_.get());
    port_->setPortName(device_->portPath());
    port_->setBaudRate(rate);
    return port_->open(3);
}

void DeviceOnPort::close()
{
    if (port_ && port_->isOpen())
        port_->close();
}

void DeviceOnPort::send(const QByteArray& bytes)
{
    device_->send(bytes);
}

} // namespace iottest
