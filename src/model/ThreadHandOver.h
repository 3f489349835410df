#pragma once

#include <QMutex>
#include <QObject>
#include <QSet>
#include <functional>
#include <memory>

// Runs work on the thread of an owner object and waits for it, so that a
// model's rows change on the model's own thread only. The wait never
// deadlocks at shutdown: it ends (without the work) when the waiting thread
// is asked to quit or when the owner goes away first.
class ThreadHandOver
{
public:
    explicit ThreadHandOver(QObject* owner);
    // Releases every waiter whose work has not run yet.
    ~ThreadHandOver();

    ThreadHandOver(const ThreadHandOver&) = delete;
    ThreadHandOver& operator=(const ThreadHandOver&) = delete;

    // True when the caller must hand over (it is not on the owner's thread).
    bool needed() const;
    // Runs work on the owner's thread (at once when already there) and
    // returns true after it ran; false when the wait was given up.
    bool run(const std::function<void()>& work);

    struct Call;

private:
    QObject* owner_;
    QMutex mutex_;
    QSet<std::shared_ptr<Call>> pending_;
};

uint qHash(const std::shared_ptr<ThreadHandOver::Call>& call, uint seed = 0);
