#include "link/ZSerialPortHooks.h"

#include "link/ZSerialPort.h"
#include "link/ZSerialPortInterface.h"

#include <QPointer>

int transferTimeoutMs(int bytes, int extraMs, qint32 baudRate)
{
    if (baudRate < 1)
        return extraMs;
    return static_cast<int>(static_cast<double>(bytes * 2000) * 10.0 / baudRate + 0.5) + extraMs;
}

void installSerialPortHooks(ZSerialPort* port, QObject* owner)
{
    ZSerialPortInterfaceManager* m = ZSerialPortInterfaceManager::instance();
    QPointer<ZSerialPort> p(port);
    m->setWriteHook([p](const QByteArray& data) {
        if (!p || !p->isOpen())
            return false;
        p->write(data);
        return true;
    });
    m->setTimeoutHook([p](int bytes, int extraMs) {
        return transferTimeoutMs(bytes, extraMs, p ? p->baudRate(QSerialPort::AllDirections) : 9600);
    });
    m->setSetBaudRateHook([p](int rate) {
        if (p)
            p->setBaudRate(rate);
    });
    // Unique: installing twice (terminal and start-up) must not tell interfaces twice.
    QObject::connect(port, &ZSerialPort::statusChanged, m, &ZSerialPortInterfaceManager::setOpen,
                     Qt::UniqueConnection);
    if (owner)
        QObject::connect(owner, &QObject::destroyed, m, &QObject::deleteLater, Qt::UniqueConnection);
}

void installClosedPortHooks()
{
    ZSerialPortInterfaceManager* m = ZSerialPortInterfaceManager::instance();
    if (m->hasHooks())
        return;
    m->setWriteHook([](const QByteArray&) { return false; });
    m->setTimeoutHook([](int bytes, int extraMs) { return transferTimeoutMs(bytes, extraMs, 9600); });
    m->setSetBaudRateHook([](int) {});
}
