#include "PacedThread.h"

#include "DeviceSimulator.h"

#include <QtGlobal>

#include <chrono>

namespace sim {

PacedThread::~PacedThread()
{
    stop();
}

void PacedThread::start(std::function<int()> hz, std::function<void()> step)
{
    if (thread_.joinable())
        return;
    quit_.store(false);
    startNs_.store(nowNs());
    thread_ = std::thread([this, hz = std::move(hz), step = std::move(step)] {
        auto next = std::chrono::steady_clock::now();
        while (!quit_.load()) {
            next += std::chrono::microseconds(1000000 / qBound(1, hz(), 1000));
            std::this_thread::sleep_until(next);
            if (quit_.load())
                break;
            const auto now = std::chrono::steady_clock::now();
            if (now - next > std::chrono::milliseconds(200))
                next = now;
            step();
        }
    });
}

qint64 PacedThread::elapsedMs() const
{
    return (nowNs() - startNs_.load()) / 1000000;
}

void PacedThread::stop()
{
    quit_.store(true);
    if (thread_.joinable())
        thread_.join();
}

} // namespace sim
