#include "WorkerThreads.h"

#include "foundation/ZThreadManager.h"
#include "foundation/ZTimerManager.h"

namespace talmeno_test {

void startWorkerThreads()
{
    static bool started = false;
    if (started)
        return;
    started = true;
    ZThreadManager* tm = ZThreadManager::instance();
    tm->moveToThread(ZTimerManager::instance(), 5);
    tm->startThreads();
}

} // namespace talmeno_test
