#include "link/ZSerialPort.h"

#include "foundation/ZLog.h"
#include "foundation/ZTimerManager.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QMetaEnum>
#include <QSerialPortInfo>
#include <QSettings>
#include <QTimer>

#include <sys/ioctl.h>

namespace {
// Colon-separated device paths added to the scan (ptys and links are not listed by the OS).
QStringList extraPortPaths()
{
    const QString env = qEnvironmentVariable("TALMENO_EXTRA_PORTS");
    QStringList paths;
    for (const QString& p : env.split(':', Qt::SkipEmptyParts)) {
        if (QFileInfo::exists(p))
            paths << p;
    }
    return paths;
}
} // namespace

ZSerialPort::ZSerialPort(QObject* parent)
    : QSerialPort(parent)
{
    QStringList rates;
    for (qint32 r : QSerialPortInfo::standardBaudRates())
        rates << QString::number(r);
    zInfo() << QString("List of available standard baud rates supported by this platform: (%1)").arg(rates.join(", "));

    connect(this, &QSerialPort::readyRead, this, &ZSerialPort::readStep);
    connect(this, &QIODevice::aboutToClose, this, &ZSerialPort::closeStep);
    // One handler both closes a failed port and logs: the close must come before
    // the log of a repeated error can be judged.
    connect(this, &QSerialPort::errorOccurred, this, &ZSerialPort::errorStep);

    setWatchedDeviceFolder(QStringLiteral("/dev"));
    scanTimer_ = new QTimer(this);
    connect(scanTimer_, &QTimer::timeout, this, &ZSerialPort::scanPorts);
    scanTimer_->start(100);

    statisticsTimer_ = new QTimer(this);
    statisticsTimer_->setTimerType(Qt::PreciseTimer);
    statisticsTimer_->setInterval(1000);
    connect(statisticsTimer_, &QTimer::timeout, this, &ZSerialPort::sampleStatistics);

    connect(this, &QSerialPort::dataTerminalReadyChanged, this,
            [](bool set) { zInfo() << "dataTerminalReadyChanged:" << (set ? "true" : "false"); });
    connect(this, &QSerialPort::requestToSendChanged, this,
            [](bool set) { zInfo() << "requestToSendChanged:" << (set ? "true" : "false"); });
}

ZSerialPort::~ZSerialPort()
{
    // Closed here, while the whole object still exists: the base destructor would
    // otherwise announce the close to a half-destroyed port.
    if (isOpen())
        close();
    disconnect(this, nullptr, this, nullptr);
}

bool ZSerialPort::isScanning() const
{
    return scanTimer_->isActive();
}

bool ZSerialPort::isSampling() const
{
    return statisticsTimer_->isActive();
}

qint64 ZSerialPort::bytesWaiting() const
{
    qint64 waiting = bytesAvailable();
    int queued = 0;
    if (isOpen() && handle() >= 0 && ::ioctl(handle(), FIONREAD, &queued) == 0)
        waiting += queued;
    return waiting;
}

void ZSerialPort::readStep()
{
    const QByteArray data = readAll();
    if (data.isEmpty())
        return;
    receivedBytes_ += static_cast<quint64>(data.size());
    emit dataArrived(data);
}

void ZSerialPort::closeStep()
{
    scanTimer_->start(100);
    statisticsTimer_->stop();
    // Nothing flows through a closed port, whatever closed it: the rates read 0 at
    // once (the totals stay), and the next sample after an open counts from here.
    receivedPerSecond_ = transmittedPerSecond_ = 0;
    receivedAtLastSample_ = receivedBytes_;
    transmittedAtLastSample_ = transmittedBytes_;
    emit statisticsUpdated();
    emit statusChanged(false);
}

void ZSerialPort::errorStep(QSerialPort::SerialPortError error)
{
    // A failing open series reports its error once, when it ends (open()).
    if (error == QSerialPort::NoError || closingOnError_ || opening_)
        return;
    const bool deviceFailed = error == QSerialPort::ReadError || error == QSerialPort::ResourceError
        || error == QSerialPort::PermissionError;
    if (deviceFailed && isOpen()) {
        // A vanished device keeps the port readable with errors in a busy loop: close
        // it now, and report it once. An open that fails is not open here, so it
        // keeps its own error.
        zCritical() << "serialport error occurred:" << errorName();
        closedOnError_ = true;
        closingOnError_ = true;
        close();
        closingOnError_ = false;
        return;
    }
    if (deviceFailed && closedOnError_)
        return;
    zCritical() << "serialport error occurred:" << errorName();
}

bool ZSerialPort::open(int tries)
{
    QElapsedTimer clock;
    clock.start();
    closedOnError_ = false;
    bool opened = false;
    int failed = 0;
    QString failure;
    opening_ = true;
    for (int i = 0; i < tries; ++i) {
        if (QSerialPort::open(QIODevice::ReadWrite)) {
            opened = true;
            break;
        }
        ++failed;
        failure = errorName();
        ZTimerManager::instance()->wait(100);
    }
    opening_ = false;
    if (opened)
        zInfo() << clock.elapsed() << "ms elapsed after open serialport";
    if (!opened) {
        // One line for the whole series: a path that is no serial port fails the
        // same way every time.
        if (error() != QSerialPort::NoError)
            zCritical() << QString("in ZSerialPort::open ,error occured:%1 (%2 tries)").arg(errorName()).arg(failed);
        return false;
    }
    if (failed > 0)
        zWarning() << QString("ZSerialPort::open succeeded after %1 failed tries, last error:%2").arg(failed).arg(failure);
    logError("ZSerialPort::open");
    scanTimer_->stop();
    statisticsTimer_->start();
    emit statusChanged(true);
    return true;
}

bool ZSerialPort::setBaudRate(qint32 baudRate, QSerialPort::Directions directions)
{
    if (baudRate < 1)
        return false;
    const qint32 old = QSerialPort::baudRate(QSerialPort::AllDirections);
    if (old == baudRate)
        return true;
    const bool wasOpen = isOpen();
    if (bytesToWrite() > 0)
        zDebug() << bytesToWrite() << " bytes wait Write before change baudrate to " << baudRate;
    const bool ok = QSerialPort::setBaudRate(baudRate, directions);
    if (error() != QSerialPort::NoError)
        zCritical() << "try change baudrate from " << old << " to " << baudRate << ",error occured:" << errorName();
    if (wasOpen)
        ZTimerManager::instance()->wait(100);
    return ok;
}

qint64 ZSerialPort::write(const QByteArray& data)
{
    if (data.isEmpty())
        return 0;
    transmittedBytes_ += static_cast<quint64>(data.size());
    const qint64 written = QSerialPort::write(data);
    if (written != data.size())
        zCritical() << QString("serialport write data missing,need %1 actually %2").arg(data.size()).arg(written);
    flush();
    logError("ZSerialPort::write");
    return written;
}

void ZSerialPort::resetStatistics()
{
    receivedBytes_ = receivedAtLastSample_ = receivedPerSecond_ = 0;
    transmittedBytes_ = transmittedAtLastSample_ = transmittedPerSecond_ = 0;
    emit statisticsUpdated();
}

void ZSerialPort::setWatchedDeviceFolder(const QString& path)
{
    delete deviceWatcher_;
    deviceWatcher_ = new QFileSystemWatcher(this);
    osPortsStale_ = true;
    if (!deviceWatcher_->addPath(path)) {
        // No watch (no inotify, or no such folder): ask the OS on every tick as before.
        zWarning() << "cannot watch" << path << "for serial devices; the port scan asks the system every time";
        delete deviceWatcher_;
        deviceWatcher_ = nullptr;
        return;
    }
    connect(deviceWatcher_, &QFileSystemWatcher::directoryChanged, this, [this] {
        osPortsStale_ = true;
        // A node may show before the system lists it as a port: ask a while longer.
        sinceDeviceChange_.start();
    });
}

void ZSerialPort::scanPorts()
{
    const bool settling = sinceDeviceChange_.isValid() && sinceDeviceChange_.elapsed() < 1000;
    if (!deviceWatcher_ || osPortsStale_ || settling) {
        osPortsStale_ = false;
        ++enumerations_;
        osPorts_.clear();
        for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
            osPorts_ << info.portName();
    }
    // The ignored names and the extra paths are read on every tick: both may change
    // without the device folder changing.
    const QStringList ignored = QSettings().value("SerialPort/IgnoredPortNames").toStringList();
    QStringList kept;
    for (const QString& name : qAsConst(osPorts_)) {
        if (!name.isEmpty() && !ignored.contains(name, Qt::CaseSensitive))
            kept << name;
    }
    // Devices the OS does not list (ptys, links) come after its own, filtered alike.
    for (const QString& path : extraPortPaths()) {
        if (!ignored.contains(path, Qt::CaseSensitive) && !kept.contains(path))
            kept << path;
    }
    if (kept == existedPorts_)
        return;
    emit existedPortsChanged(kept);
    if (kept.size() == 1 && existedPorts_.isEmpty())
        emit singlePortInserted();
    existedPorts_ = kept;
}

void ZSerialPort::sampleStatistics()
{
    receivedPerSecond_ = receivedBytes_ - receivedAtLastSample_;
    receivedAtLastSample_ = receivedBytes_;
    transmittedPerSecond_ = transmittedBytes_ - transmittedAtLastSample_;
    transmittedAtLastSample_ = transmittedBytes_;
    emit statisticsUpdated();
}

void ZSerialPort::logError(const QString& where)
{
    if (error() == QSerialPort::NoError)
        return;
    zCritical() << QString("in %1 ,error occured:%2").arg(where, errorName());
}

QString ZSerialPort::errorName() const
{
    const QMetaEnum e = QMetaEnum::fromType<QSerialPort::SerialPortError>();
    return QString::fromLatin1(e.valueToKey(error()));
}
