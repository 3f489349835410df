#pragma once

#include <QList>
#include <QObject>

// An object that a ZResourceCache can hand out again after it was released.
class ZIResource
{
public:
    virtual ~ZIResource() = default;
    // Returns the object to its unused state before it is kept for reuse.
    virtual void reset() = 0;
};

// Makes cachable objects for the request it currently carries (callers fill in the
// request, for example a device address, just before take).
class ZIResourceFactory
{
public:
    virtual ZIResource* create() = 0;
    // Prepares a reused object for the current request as create would have.
    virtual void reinitialize(ZIResource* resource) = 0;
    virtual ~ZIResourceFactory() = default;
};

// Recycles expensive objects (typically one widget per remote device): released
// objects are reset and handed out again, first released first reused. The cache
// owns every object it ever handed out and deletes them when it is destroyed.
class ZResourceCache : public QObject
{
    Q_OBJECT
public:
    explicit ZResourceCache(QObject* parent = nullptr);
    // A cache that keeps a factory of its own for take(); the factory is not owned,
    // a subclass that creates it deletes it.
    explicit ZResourceCache(ZIResourceFactory* factory, QObject* parent = nullptr);
    ~ZResourceCache() override;

    ZIResource* take(ZIResourceFactory* factory);
    // take() with the cache's own factory; null when it has none.
    ZIResource* take();
    void release(ZIResource* resource);
    void releaseAll();

    ZIResourceFactory* factory() const { return factory_; }
    void setFactory(ZIResourceFactory* factory) { factory_ = factory; }

    const QList<ZIResource*>& usedResources() const { return used_; }
    const QList<ZIResource*>& freeResources() const { return free_; }

signals:
    void usedResourcesCountChanged(int count);

protected:
    virtual void resourceTaken(ZIResource* resource);
    virtual void resourceReleased(ZIResource* resource);

private:
    QList<ZIResource*> used_;
    QList<ZIResource*> free_;
    ZIResourceFactory* factory_ = nullptr;
};
