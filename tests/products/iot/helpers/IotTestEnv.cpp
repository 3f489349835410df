#include "IotTestEnv.h"

#include "link/ZSerialPort.h"
#include "model/ModelManager.h"
#include "products/iot/IotProductHandle.h"
#include "protocol/LinkServices.h"
#include "sim/DeviceSimulator.h"
#include "views/ModelViewManagers.h"

#include "support/WiredWindow.h"

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
    static bool registered = false;
    talmeno_test::startPipeline(&currentModels);
    if (!registered)
        iot::registerIotLine();
    registered = true;
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
