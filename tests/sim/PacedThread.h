#pragma once

// A device's own pace: a thread that waits one period, runs a step, and so on, the
// period asked anew before each wait (a written update rate takes effect at once).
// After a pause of more than 200 ms it goes on from now rather than catching up in
// a burst. Its clock, the time since start, runs on through pauses: a device's
// clock keeps real time whatever it sends.

#include <QtGlobal>

#include <atomic>
#include <functional>
#include <thread>

namespace sim {

class PacedThread
{
public:
    PacedThread() = default;
    ~PacedThread();
    PacedThread(const PacedThread&) = delete;
    PacedThread& operator=(const PacedThread&) = delete;

    // hz gives the rate before each wait (clamped to 1 to 1000); step runs after it.
    // Does nothing while running.
    void start(std::function<int()> hz, std::function<void()> step);
    void stop();
    bool isRunning() const { return thread_.joinable(); }
    // Milliseconds since the last start.
    qint64 elapsedMs() const;

private:
    std::thread thread_;
    std::atomic<qint64> startNs_{0};
    std::atomic<bool> quit_{false};
};

} // namespace sim
