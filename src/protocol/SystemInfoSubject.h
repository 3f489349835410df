#pragma once

#include "protocol/SystemInfoFrame.h"

#include <QList>

class SystemInfoObserver;

// Publishes the last recognised system frame to every observer (GUI thread).
class SystemInfoSubject
{
public:
    static SystemInfoSubject* instance();

    // Tells every observer, in order, unless flag and frame are both unchanged.
    void notify(bool isRecognized, const SystemInfoFrame& frame);
    bool isRecognized() const { return isRecognized_; }
    SystemInfoFrame frame() const { return frame_; }

private:
    friend class SystemInfoObserver;
    SystemInfoSubject() = default;

    SystemInfoFrame frame_ = SystemInfoFrame::defaultFrame();
    QList<SystemInfoObserver*> observers_;
    bool isRecognized_ = false;
};

class SystemInfoObserver
{
public:
    SystemInfoObserver();
    virtual ~SystemInfoObserver();
    virtual void handleSystemInfoChanged(bool isRecognized, const SystemInfoFrame& frame) = 0;
};
