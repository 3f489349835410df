#include "RangeTestEnv.h"

#include "link/ZSerialPort.h"
#include "model/ModelManager.h"
#include "protocol/LinkServices.h"
#include "sim/DeviceSimulator.h"
#include "sim/RangeSensorSimulator.h"
#include "views/RefreshManagers.h"
#include "views/ModelViewManagers.h"

#include "support/WiredWindow.h"

#include <QDir>
#include <QtTest>

namespace rangetest {

namespace {

ModelManager* g_testModels = nullptr;

ModelManager* currentModels()
{
    if (ModelManager* m = ModelViewManagers::currentModelManager())
        return m;
    return g_testModels;
}

} // namespace

void startPipeline()
{
    talmeno_test::startPipeline(&currentModels);
}

SensorOnPort::SensorOnPort(int productType, int deviceRate)
    : device_(new sim::DeviceSimulator)
    , deviceRate_(deviceRate)
{
    sensor_.reset(new sim::RangeSensor(*device_, productType, deviceRate));
    port_.reset(new ZSerialPort);
}

SensorOnPort::~SensorOnPort()
{
    close();
    sensor_->stop();
    device_->stop();
}

bool SensorOnPort::open()
{
    if (!device_->isRunning()) {
        if (!device_->start())
            return false;
        sensor_->start();
    }
    // Hooks first: the open status reaches the interfaces through them.
    initLinkServices(port_.get());
    port_->setPortName(device_->portPath());
    port_->setBaudRate(deviceRate_);
    return port_->open(3);
}

void SensorOnPort::close()
{
    if (port_ && port_->isOpen())
        port_->close();
}

ModelManager* testModelManager()
{
    if (!g_testModels) {
        const QString file = QDir::temp().filePath("range_test_page.ini");
        QFile::remove(file);
        g_testModels = new ModelManager(file, {ResourceType::Data, ResourceType::Line});
    }
    return g_testModels;
}

QByteArray hex(const char* text)
{
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

} // namespace rangetest
