#include "protocol/SystemInfoSubject.h"

SystemInfoSubject* SystemInfoSubject::instance()
{
    // Never destroyed: observers may outlive static destruction order.
    static SystemInfoSubject* subject = new SystemInfoSubject;
    return subject;
}

void SystemInfoSubject::notify(bool isRecognized, const SystemInfoFrame& frame)
{
    if (isRecognized == isRecognized_ && frame == frame_)
        return;
    isRecognized_ = isRecognized;
    frame_ = frame;
    // A copy: an observer may come or go while being told.
    const QList<SystemInfoObserver*> observers = observers_;
    for (SystemInfoObserver* o : observers) {
        if (observers_.contains(o))
            o->handleSystemInfoChanged(isRecognized, frame);
    }
}

SystemInfoObserver::SystemInfoObserver()
{
    SystemInfoSubject::instance()->observers_.append(this);
}

SystemInfoObserver::~SystemInfoObserver()
{
    SystemInfoSubject::instance()->observers_.removeAll(this);
}
