#pragma once

// The device's boot loader as the simulator plays it. At the device's own rate a
// system write frame with byte 30 bit 0 set (the handshake request) restarts the
// device into its boot loader; from then on only 921600 baud is heard. There the
// handshake is answered with a system frame whose byte 30 has bit 1 set (ready), and
// every firmware frame (984 bytes, 0x52 0x01) with a valid checksum is stored at its
// address and answered with byte 30 bit 2 set (accepted). The frame flagged as the
// last one ends the boot loader: the device runs again at its own rate and the
// received image can be compared with the file. Put it in front of the system-frame
// handler and leave the simulator's device rate at 0: this handler keeps the device
// deaf at foreign rates itself.

#include "DeviceSimulator.h"

#include <QByteArray>
#include <QList>

#include <atomic>
#include <mutex>

namespace sim {

class BootloaderHandler : public RequestHandler
{
public:
    static constexpr int kBootRate = 921600;
    static constexpr int kFrameSize = 984;
    static constexpr int kChunkSize = 972;
    static constexpr quint32 kFlashBase = 0x08020000u;

    // appRate: the device's own rate (0: hears the handshake at any rate).
    explicit BootloaderHandler(int appRate);

    // How the boot loader misbehaves, for trials of the host's retries.
    // Handshakes answered "not ready" before the first "ready".
    void setNotReadyReplies(int n) { notReady_.store(n); }
    // The boot loader never answers.
    void setSilent(bool on) { silent_.store(on); }
    // Frames (counted from 0 in arrival order, repeats included) answered with
    // "not accepted"; their data is not stored.
    void setRefusedFrames(const QList<int>& indexes);
    // Frames that get no answer at all; their data is not stored.
    void setUnansweredFrames(const QList<int>& indexes);
    // Starts in the boot loader (a device that stayed there after a broken update).
    void setInBootloader(bool on) { inBoot_.store(on); }

    bool inBootloader() const { return inBoot_.load(); }
    // Handshake requests heard at the device's own rate (restarts into the loader).
    int restarts() const { return restarts_.load(); }
    int handshakesAnswered() const { return handshakes_.load(); }
    // Every firmware frame received, in order, as sent.
    QList<QByteArray> frames() const;
    // The flash as written: bytes from the base address up to the highest byte
    // written, gaps 0xFF.
    QByteArray image() const;
    // The first imageSize bytes of the flash: without the last frame's fill, what
    // the host meant to write.
    QByteArray image(int imageSize) const;
    bool completed() const { return completed_.load(); }
    // The block count the last handshake announced (bytes 28-29).
    int announcedBlocks() const { return blocks_.load(); }
    int badFrames() const { return badFrames_.load(); }
    void reset();

    int handle(const QByteArray& input, const SimContext& ctx, QByteArray& reply) override;

private:
    static QByteArray answer(quint8 flags);

    const int appRate_;
    std::atomic<int> notReady_{0};
    std::atomic<bool> silent_{false};
    std::atomic<bool> inBoot_{false};
    std::atomic<int> restarts_{0};
    std::atomic<int> handshakes_{0};
    std::atomic<bool> completed_{false};
    std::atomic<int> blocks_{0};
    std::atomic<int> badFrames_{0};

    mutable std::mutex mutex_;
    QList<int> refused_;
    QList<int> unanswered_;
    int frameIndex_ = 0;
    QList<QByteArray> frames_;
    QByteArray flash_;
};

} // namespace sim
