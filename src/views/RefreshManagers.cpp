#include "views/RefreshManagers.h"

#include <QPointer>
#include <QThread>
#include <QTimer>

#include "foundation/ZLog.h"
#include "foundation/ZThreadManager.h"
#include "views/ViewManager.h"

// ---------------------------------------------------------------- ViewRefreshManager

ViewRefreshManager::ViewRefreshManager(QObject* parent) : QObject(parent), timer_(new QTimer(this))
{
    timer_->setTimerType(Qt::PreciseTimer);
    timer_->setInterval(0);
    connect(timer_, &QTimer::timeout, this, [this] { refresh(); });
    connect(this, &ViewRefreshManager::refreshChanged, this, &ViewRefreshManager::handleRefreshChanged);
    connect(this, &ViewRefreshManager::frequencyChanged, this, &ViewRefreshManager::handleFrequencyChanged);
}

void ViewRefreshManager::setEnabled(bool enable)
{
    emit refreshChanged(enable);
}

void ViewRefreshManager::setFrequency(int frequency)
{
    emit frequencyChanged(frequency);
}

void ViewRefreshManager::setViewManager(ViewManager* viewManager)
{
    viewManager_.storeRelease(viewManager);
}

int ViewRefreshManager::interval() const
{
    return timer_->interval();
}

bool ViewRefreshManager::isActive() const
{
    return timer_->isActive();
}

void ViewRefreshManager::handleRefreshChanged(bool enable)
{
    enableRequested_ = enable;
    if (!enable) {
        timer_->stop();
        return;
    }
    if (timer_->interval() > 0)
        timer_->start();
}

void ViewRefreshManager::handleFrequencyChanged(int frequency)
{
    if (frequency <= 0 || frequency > 1000) {
        qWarning().noquote().nospace() << logTimePrefix() << "frequency <=0 || frequency >1000 " << frequency;
        return;
    }
    timer_->setInterval(1000 / frequency);
    if (enableRequested_ && !timer_->isActive())
        timer_->start();
}

// ---------------------------------------------------------------- DataRefreshManager

void DataRefreshManager::refresh()
{
    if (ViewManager* manager = viewManager())
        manager->refreshDataResources();
}

// ---------------------------------------------------------------- ChartRefreshManager

void ChartRefreshManager::refresh()
{
    if (ViewManager* manager = viewManager())
        manager->refreshChartResources();
    ++passes_;
}

void ChartRefreshManager::stopAndDetach()
{
    auto stop = [this] {
        handleRefreshChanged(false);
        setViewManager(nullptr);
    };
    QThread* own = thread();
    if (own == QThread::currentThread() || !own->isRunning()) {
        stop();
        return;
    }
    // Queued behind a pass that may be running: when it returns, that pass is over.
    QMetaObject::invokeMethod(this, stop, Qt::BlockingQueuedConnection);
}

// ---------------------------------------------------------------- CommonRefreshManager

namespace {
QAtomicPointer<CommonRefreshManager> g_commonManager;
QMutex g_commonManagerCreation;
} // namespace

CommonRefreshManager* CommonRefreshManager::instance(QObject* parent)
{
    QMutexLocker lock(&g_commonManagerCreation);
    if (!g_commonManager.loadAcquire())
        g_commonManager.storeRelease(new CommonRefreshManager(parent));
    return g_commonManager.loadAcquire();
}

CommonRefreshManager* CommonRefreshManager::singleton()
{
    return g_commonManager.loadAcquire();
}

CommonRefreshManager::CommonRefreshManager(QObject* parent) : ViewRefreshManager(parent) {}

CommonRefreshManager::~CommonRefreshManager()
{
    QMutexLocker lock(&g_commonManagerCreation);
    g_commonManager.testAndSetOrdered(this, nullptr);
}

void CommonRefreshManager::registerItem(SpecialDataResourceItem* item)
{
    if (!item)
        return;
    QMutexLocker lock(&mutex_);
    items_.append(item);
}

void CommonRefreshManager::unregisterItem(SpecialDataResourceItem* item)
{
    QMutexLocker lock(&mutex_);
    items_.removeOne(item);
}

int CommonRefreshManager::itemCount() const
{
    QMutexLocker lock(&mutex_);
    return items_.size();
}

void CommonRefreshManager::refresh()
{
    QMutexLocker lock(&mutex_);
    for (SpecialDataResourceItem* item : qAsConst(items_)) {
        if (!item->isDirty())
            continue;
        // Cleared before the redraw: data arriving during it is shown next tick.
        item->setDirty(false);
        item->refreshView();
    }
}

// ---------------------------------------------------------------- SpecialDataResourceItem

SpecialDataResourceItem::SpecialDataResourceItem(QObject* parent) : QObject(parent)
{
    if (CommonRefreshManager* manager = CommonRefreshManager::singleton())
        manager->registerItem(this);
    else
        zWarning() << "no common refresh manager yet: the view item will not be refreshed";
}

SpecialDataResourceItem::~SpecialDataResourceItem()
{
    if (CommonRefreshManager* manager = CommonRefreshManager::singleton())
        manager->unregisterItem(this);
}

void SpecialDataResourceItem::createViewInGuiThread()
{
    QPointer<SpecialDataResourceItem> self(this);
    ZThreadManager::instance()->runInThread(
        0,
        [self] {
            if (self)
                self->createView();
        },
        false);
}
