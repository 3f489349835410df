#include "TrelvanPortEnv.h"

#include "foundation/ZUdpOutput.h"
#include "link/ZSerialPort.h"
#include "model/ModelManager.h"
#include "protocol/LinkServices.h"
#include "views/RefreshManagers.h"
#include "views/ModelViewManagers.h"

#include "support/WiredWindow.h"

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
    talmeno_test::startPipeline(&currentPage);
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

QByteArray defaultParameterRecord(quint8 command, quint8 checksum)
{
    QByteArray f = hexBytes("54 00 00 00 00 00 00 00 00 00 00 00 00 FF 00 FF 00 00 FF FF 00 FF FF 00 "
                            "00 00 00 00 00 00 00 FF FF FF FF FF 00");
    f.append(90, '\0');
    f.append(char(checksum));
    f[2] = char(command);
    return f;
}

Trelvan::ParameterFrame nodeParameters(quint8 role, quint8 id, quint8 localMode, quint8 runningMode, quint8 protocol)
{
    sim::TrelvanNodeSetup s;
    s.role = role;
    s.id = id;
    s.localMode = localMode;
    s.protocol = protocol;
    Trelvan::ParameterFrame f = Trelvan::ParameterFrame::fromBytes(sim::trelvanParameterDefaults(s));
    f.setRunningMode(runningMode);
    f.seal();
    return f;
}

} // namespace TestTrelvan
