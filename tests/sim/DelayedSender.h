#pragma once

// Bytes a simulated device sends some time after the request that caused them (a
// remote node's answer over the radio, a sensor's progress): each is queued with its
// delay and sent from a thread of its own when it falls due, in order of due time.

#include <QByteArray>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace sim {

class DeviceSimulator;

class DelayedSender
{
public:
    explicit DelayedSender(DeviceSimulator& device);
    ~DelayedSender();
    DelayedSender(const DelayedSender&) = delete;
    DelayedSender& operator=(const DelayedSender&) = delete;

    // Sends bytes delayMs from now; bytes falling due at the same time keep their order.
    void schedule(const QByteArray& bytes, int delayMs);
    // Bytes scheduled and not yet sent.
    int pending() const;

private:
    struct Pending
    {
        qint64 dueNs;
        QByteArray bytes;
    };
    void run();

    DeviceSimulator& device_;
    mutable std::mutex mutex_;
    std::condition_variable cv_;
    std::deque<Pending> queue_;
    bool quit_ = false;
    std::thread thread_;
};

} // namespace sim
