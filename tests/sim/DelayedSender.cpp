#include "DelayedSender.h"

#include "DeviceSimulator.h"

#include <chrono>

namespace sim {

DelayedSender::DelayedSender(DeviceSimulator& device)
    : device_(device)
    , thread_([this] { run(); })
{
}

DelayedSender::~DelayedSender()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        quit_ = true;
    }
    cv_.notify_all();
    thread_.join();
}

void DelayedSender::schedule(const QByteArray& bytes, int delayMs)
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        const qint64 due = nowNs() + qint64(delayMs) * 1000000;
        auto it = queue_.begin();
        while (it != queue_.end() && it->dueNs <= due)
            ++it;
        queue_.insert(it, Pending{due, bytes});
    }
    cv_.notify_all();
}

int DelayedSender::pending() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return int(queue_.size());
}

void DelayedSender::run()
{
    std::unique_lock<std::mutex> lock(mutex_);
    while (!quit_) {
        if (queue_.empty()) {
            cv_.wait(lock);
            continue;
        }
        const qint64 wait = queue_.front().dueNs - nowNs();
        if (wait > 0) {
            cv_.wait_for(lock, std::chrono::nanoseconds(wait));
            continue;
        }
        const QByteArray bytes = queue_.front().bytes;
        queue_.pop_front();
        lock.unlock();
        device_.send(bytes);
        lock.lock();
    }
}

} // namespace sim
