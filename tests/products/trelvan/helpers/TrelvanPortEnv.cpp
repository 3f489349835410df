#include "TrelvanPortEnv.h"

#include "foundation/UserPaths.h"
#include "foundation/ZThreadManager.h"
#include "foundation/ZTimerManager.h"
#include "link/ZSerialPort.h"
#include "model/ModelManager.h"
#include "protocol/LinkServices.h"
#include "protocol/ProtocolFrameExtraction.h"
#include "protocol/ProtocolSeams.h"
#include "views/RefreshManagers.h"
#include "views/ModelViewManagers.h"

#include <QDir>
#include <QFile>

namespace TestTrelvan {

namespace {
ModelManager* g_page = nullptr;

ModelManager* currentPage()
{
    if (ModelManager* m = ModelViewManagers::currentModelManager())
        return m;
    if (!g_page) {
        const QString file = QDir::temp().filePath("trelvan_port_page.ini");
        QFile::remove(file);
        g_page = new ModelManager(file, {ResourceType::Data, ResourceType::Line, ResourceType::Scatter});
    }
    return g_page;
}
} // namespace

void startPortPipeline()
{
    static bool started = false;
    if (started)
        return;
    started = true;
    initUserDataFolders();
    ZThreadManager* tm = ZThreadManager::instance();
    tm->moveToThread(ZTimerManager::instance(), 5);
    ProtocolFrameExtraction* extraction = ProtocolFrameExtraction::instance();
    tm->moveToThread(extraction, 2);
    tm->startThreads();
    extraction->setEnabled(true);
    ProtocolSeams::setCurrentModelManagerLookup(&currentPage);
}

NodeOnPort::NodeOnPort(const sim::TrelvanNodeSetup& setup)
    : device_(new sim::DeviceSimulator)
    , parameters_(std::make_shared<sim::TrelvanParameterHandler>(setup))
    , port_(new ZSerialPort)
    , rate_(setup.baudRate)
{
    device_->setDeviceRate(int(rate_));
    device_->addHandler(parameters_);
}

NodeOnPort::~NodeOnPort()
{
    close();
    device_->stop();
}

bool NodeOnPort::open()
{
    if (!device_->isRunning() && !device_->start())
        return false;
    // Hooks first: the open status reaches the interfaces through them.
    initLinkServices(port_.get());
    port_->setPortName(device_->portPath());
    port_->setBaudRate(int(rate_));
    return port_->open(3);
}

void NodeOnPort::close()
{
    if (port_ && port_->isOpen())
        port_->close();
}

QByteArray hexBytes(const char* text)
{
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

} // namespace TestTrelvan
