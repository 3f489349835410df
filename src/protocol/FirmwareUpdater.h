#pragma once

#include "link/ZSerialPortInterface.h"

#include <QDataStream>
#include <QFile>
#include <QObject>
#include <QString>

// Writes a firmware image into the device's flash, in 972-byte chunks of the
// firmware frame: either to the boot loader of the device on the port (handshake
// through the system write frame at 921600 baud, every frame acknowledged), or,
// without acknowledgements, through the positioning system's wireless relay to the
// remote nodes, five passes over the image. Runs on the GUI thread with blocking
// waits; the update operations return an error text, empty on success.
class FirmwareUpdater : public QObject, public ZSerialPortInterface
{
    Q_OBJECT
public:
    static constexpr int kBootloaderRate = 921600;
    static constexpr int kBlockSize = 1024;
    static constexpr int kWirelessPasses = 5;
    static constexpr quint8 kRelayCommand = 0xA0;

    static FirmwareUpdater* instance(QObject* parent = nullptr);
    static FirmwareUpdater* existing();
    ~FirmwareUpdater() override;

    // Opens the image, writes its version (the current product's latest firmware
    // version) into the system write frame and announces the number of frame sends.
    // False for an empty name, an image that cannot be opened, or an empty image.
    bool loadFirmwareFile(const QString& fileName, bool wireless);
    // Reads the next chunk into the firmware frame; true when a byte was read.
    bool readFirmwareChunk();
    // Broadcasts the current chunk `times` times through the relay (repeat mark on
    // from the second copy); false when a write fails.
    bool sendFrameRepeated(int times);

    QString updateFirmwareWired(const QString& fileName);
    QString updateFirmwareWireless(const QString& fileName);

    qint32 offset() const { return offset_; }
    qint64 fileSize() const { return file_.size(); }

    // Chunks of an image of size bytes, rounded up.
    static int chunkCount(qint64 size);
    // 1024-byte blocks of an image of size bytes, rounded up.
    static int blockCount(qint64 size);
    // The wait after the wireless first-frame broadcast for a write frame announcing
    // `blocks` blocks.
    static int wirelessSettleMs(int blocks);

signals:
    void firmwareFrameCountChanged(int size);
    void currentFirmwareFrameChanged(int current);

private:
    explicit FirmwareUpdater(QObject* parent);
    // Waits up to ms for a parsed system frame; true when one came.
    bool waitForSystemReply(int ms);
    QByteArray wrapForRelay(const QByteArray& payload) const;

    QFile file_;
    QDataStream stream_;
    qint32 offset_ = 0;
};
