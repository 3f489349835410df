#include "protocol/LinkServices.h"

#include "foundation/ZThreadManager.h"
#include "foundation/ZUdpOutput.h"
#include "link/ZSerialPort.h"
#include "link/ZSerialPortHooks.h"
#include "protocol/ProtocolFrameExtraction.h"

#include <QSettings>

void initLinkServices(ZSerialPort* port)
{
    ProtocolFrameExtraction* extraction = ProtocolFrameExtraction::instance();
    if (extraction->thread() != ZThreadManager::instance()->thread(2))
        ZThreadManager::instance()->moveToThread(extraction, 2);

    QSettings settings;
    if (!settings.contains("EnableUDPOutput"))
        settings.setValue("EnableUDPOutput", true);
    udpOutputEnabled.store(settings.value("EnableUDPOutput").toBool());
    udpOutputPort.store(33000);

    if (port) {
        searchPortData(port);
        installSerialPortHooks(port);
    } else {
        installClosedPortHooks();
    }
}

void searchPortData(ZSerialPort* port)
{
    ProtocolFrameExtraction* extraction = ProtocolFrameExtraction::instance();
    QObject::connect(port, &ZSerialPort::dataArrived, extraction, &ProtocolFrameExtraction::appendData,
                     Qt::ConnectionType(Qt::DirectConnection | Qt::UniqueConnection));
    extraction->setReader(port, [port] { return port->bytesWaiting() > 0; });
}
