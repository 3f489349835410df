#pragma once

#include <QMutex>
#include <QMutexLocker>

#include <utility>

// One replaceable function, read and swapped from any thread. Callers take a copy
// and call it outside the lock, so a hook may replace hooks itself.
template <typename Hook>
class HookSlot
{
public:
    // Installs hook (an empty one restores the standard behaviour); returns the previous.
    Hook set(Hook hook)
    {
        QMutexLocker lock(&mutex_);
        std::swap(hook_, hook);
        return hook;
    }

    Hook get() const
    {
        QMutexLocker lock(&mutex_);
        return hook_;
    }

private:
    mutable QMutex mutex_;
    Hook hook_;
};
