#include "TrelvanPortEnv.h"

#include "foundation/UserPaths.h"
#include "foundation/ZUdpOutput.h"
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

NodeOnPort::NodeOnPort(const sim::TrelvanNodeSetup& setup, bool stream)
    : device_(new sim::DeviceSimulator)
    , port_(new ZSerialPort)
    , rate_(setup.baudRate)
    , stream_(stream)
{
    node_.reset(new sim::TrelvanNode(*device_, setup));
}

NodeOnPort::~NodeOnPort()
{
    close();
    node_->stop();
    device_->stop();
}

bool NodeOnPort::open()
{
    if (!device_->isRunning()) {
        if (!device_->start())
            return false;
        node_->start(stream_);
    }
    // Hooks first: the open status reaches the interfaces through them. They also
    // reset the UDP output switch and port, which a test may have pointed at its
    // own receiver.
    const bool udpOn = udpOutputEnabled.load();
    const int udpPort = udpOutputPort.load();
    initLinkServices(port_.get());
    udpOutputEnabled.store(udpOn);
    udpOutputPort.store(udpPort);
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
