#pragma once

#include <QElapsedTimer>
#include <QSerialPort>
#include <QStringList>

class QFileSystemWatcher;
class QTimer;

// The program's one serial port. Adds to QSerialPort a scan of the port names while
// closed, an open that retries, a baud-rate change that tolerates pending output, a
// counted write, byte statistics and time-stamped diagnostics.
class ZSerialPort : public QSerialPort
{
    Q_OBJECT
public:
    explicit ZSerialPort(QObject* parent = nullptr);
    ~ZSerialPort() override;

    // Opens read-write, trying up to tries times, 100 ms apart.
    bool open(int tries);
    bool setBaudRate(qint32 baudRate, QSerialPort::Directions directions = QSerialPort::AllDirections);
    // Counted write, flushed at once. Returns what the device layer accepted.
    qint64 write(const QByteArray& data);
    void resetStatistics();
    void scanPorts();
    void sampleStatistics();
    void logError(const QString& where);
    QString errorName() const;

    QStringList existedPorts() const { return existedPorts_; }
    quint64 receivedBytes() const { return receivedBytes_; }
    // Bytes received by the device layer and not read yet (the OS's and the port's).
    qint64 bytesWaiting() const;
    quint64 receivedPerSecond() const { return receivedPerSecond_; }
    quint64 transmittedBytes() const { return transmittedBytes_; }
    quint64 transmittedPerSecond() const { return transmittedPerSecond_; }
    bool isScanning() const;
    bool isSampling() const;
    // How many times the scan asked the OS for its port list.
    quint64 enumerationCount() const { return enumerations_; }
    // The folder whose changes make the scan ask the OS again (the device folder).
    void setWatchedDeviceFolder(const QString& path);

signals:
    void dataArrived(QByteArray byteArray);
    void statusChanged(bool isOpen);
    void existedPortsChanged(QStringList portNames);
    void singlePortInserted();
    void statisticsUpdated();

private:
    void readStep();
    void closeStep();
    void errorStep(QSerialPort::SerialPortError error);

    QStringList existedPorts_;
    // The OS's own list, asked again only when the device folder changed: asking
    // walks sysfs, which every 100 ms cost a tenth of a core at rest.
    QStringList osPorts_;
    QFileSystemWatcher* deviceWatcher_ = nullptr;
    bool osPortsStale_ = true;
    // Started at a change of the device folder: the OS is asked on every tick for a
    // second after it, while new nodes settle.
    QElapsedTimer sinceDeviceChange_;
    quint64 enumerations_ = 0;
    QTimer* scanTimer_ = nullptr;
    QTimer* statisticsTimer_ = nullptr;
    quint64 receivedBytes_ = 0;
    quint64 receivedAtLastSample_ = 0;
    quint64 receivedPerSecond_ = 0;
    quint64 transmittedBytes_ = 0;
    quint64 transmittedAtLastSample_ = 0;
    quint64 transmittedPerSecond_ = 0;
    // Set when the port was closed because its device failed; the errors that the
    // dying device keeps raising are then not reported again.
    bool closedOnError_ = false;
    bool closingOnError_ = false;
    bool opening_ = false; // inside open()'s tries
};
