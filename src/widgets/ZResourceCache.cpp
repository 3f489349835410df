#include "widgets/ZResourceCache.h"

ZResourceCache::ZResourceCache(QObject* parent)
    : QObject(parent)
{
}

ZResourceCache::ZResourceCache(ZIResourceFactory* factory, QObject* parent)
    : QObject(parent)
    , factory_(factory)
{
}

ZResourceCache::~ZResourceCache()
{
    qDeleteAll(used_);
    used_.clear();
    qDeleteAll(free_);
    free_.clear();
}

ZIResource* ZResourceCache::take(ZIResourceFactory* factory)
{
    if (!factory)
        return nullptr;
    ZIResource* resource = nullptr;
    if (!free_.isEmpty()) {
        resource = free_.takeFirst();
        factory->reinitialize(resource);
    } else {
        resource = factory->create();
        if (!resource)
            return nullptr;
    }
    used_.append(resource);
    emit usedResourcesCountChanged(used_.size());
    resourceTaken(resource);
    return resource;
}

ZIResource* ZResourceCache::take()
{
    return take(factory_);
}

void ZResourceCache::release(ZIResource* resource)
{
    const int index = used_.indexOf(resource);
    if (index < 0)
        return;
    resource->reset();
    used_.removeAt(index);
    free_.append(resource);
    emit usedResourcesCountChanged(used_.size());
    resourceReleased(resource);
}

void ZResourceCache::releaseAll()
{
    // A copy: release edits the used list, and a hook may release more.
    const QList<ZIResource*> used = used_;
    for (ZIResource* resource : used)
        release(resource);
}

void ZResourceCache::resourceTaken(ZIResource*)
{
}

void ZResourceCache::resourceReleased(ZIResource*)
{
}
