#include <QSignalSpy>

#include "support/testenv.h"

#include "widgets/ZResourceCache.h"

namespace {

// A pooled object that remembers what it was set up for and whether it was reset.
struct Row : ZIResource
{
    explicit Row(int* alive) : alive(alive) { ++*alive; }
    ~Row() override { --*alive; }
    void reset() override
    {
        ++resets;
        address = -1;
    }
    int* alive;
    int address = -1;
    int resets = 0;
};

struct RowFactory : ZIResourceFactory
{
    int pending = 0;
    int creates = 0;
    int reinits = 0;
    int alive = 0;
    ZIResource* create() override
    {
        ++creates;
        auto* r = new Row(&alive);
        r->address = pending;
        return r;
    }
    void reinitialize(ZIResource* resource) override
    {
        ++reinits;
        static_cast<Row*>(resource)->address = pending;
    }
};

class HookedCache : public ZResourceCache
{
public:
    using ZResourceCache::ZResourceCache;
    QList<ZIResource*> taken;
    QList<ZIResource*> released;

protected:
    void resourceTaken(ZIResource* r) override { taken << r; }
    void resourceReleased(ZIResource* r) override { released << r; }
};

Row* row(ZIResource* r)
{
    return static_cast<Row*>(r);
}

} // namespace

class TestResourceCache : public QObject
{
    Q_OBJECT

private slots:
    void reuseAfterRelease()
    {
        RowFactory factory;
        HookedCache cache;
        QSignalSpy counts(&cache, &ZResourceCache::usedResourcesCountChanged);

        factory.pending = 11;
        ZIResource* a = cache.take(&factory);
        QCOMPARE(row(a)->address, 11);
        QCOMPARE(cache.taken, QList<ZIResource*>({a}));
        cache.release(a);
        QCOMPARE(row(a)->resets, 1);
        QCOMPARE(row(a)->address, -1);
        QCOMPARE(cache.released, QList<ZIResource*>({a}));

        factory.pending = 22;
        ZIResource* again = cache.take(&factory);
        QCOMPARE(again, a);
        QCOMPARE(row(again)->address, 22);
        QCOMPARE(factory.creates, 1);
        QCOMPARE(factory.reinits, 1);
        QCOMPARE(cache.usedResources(), QList<ZIResource*>({a}));
        QVERIFY(cache.freeResources().isEmpty());

        QCOMPARE(counts.count(), 3);
        QCOMPARE(counts.at(0).at(0).toInt(), 1);
        QCOMPARE(counts.at(1).at(0).toInt(), 0);
        QCOMPARE(counts.at(2).at(0).toInt(), 1);
    }

    void releaseTwiceOrForeign()
    {
        RowFactory factory;
        HookedCache cache;
        ZIResource* a = cache.take(&factory);
        cache.release(a);
        QSignalSpy counts(&cache, &ZResourceCache::usedResourcesCountChanged);
        cache.release(a);
        int alive = 0;
        Row foreign(&alive);
        cache.release(&foreign);
        QCOMPARE(counts.count(), 0);
        QCOMPARE(cache.released.size(), 1);
        QCOMPARE(row(a)->resets, 1);
        QCOMPARE(foreign.resets, 0);
        QCOMPARE(cache.freeResources().size(), 1);
    }

    void releaseAllCountsDown()
    {
        RowFactory factory;
        HookedCache cache;
        ZIResource* a = cache.take(&factory);
        ZIResource* b = cache.take(&factory);
        ZIResource* c = cache.take(&factory);
        QSignalSpy counts(&cache, &ZResourceCache::usedResourcesCountChanged);
        cache.releaseAll();
        QCOMPARE(counts.count(), 3);
        QCOMPARE(counts.at(0).at(0).toInt(), 2);
        QCOMPARE(counts.at(1).at(0).toInt(), 1);
        QCOMPARE(counts.at(2).at(0).toInt(), 0);
        QCOMPARE(cache.freeResources(), QList<ZIResource*>({a, b, c}));
        QCOMPARE(cache.released, QList<ZIResource*>({a, b, c}));
        QVERIFY(cache.usedResources().isEmpty());
    }

    void firstReleasedFirstReused()
    {
        RowFactory factory;
        ZResourceCache cache;
        ZIResource* a = cache.take(&factory);
        ZIResource* b = cache.take(&factory);
        ZIResource* c = cache.take(&factory);
        cache.release(c);
        cache.release(a);
        QCOMPARE(cache.take(&factory), c);
        QCOMPARE(cache.take(&factory), a);
        QCOMPARE(factory.creates, 3);
        QCOMPARE(cache.usedResources(), QList<ZIResource*>({b, c, a}));
        ZIResource* d = cache.take(&factory);
        QVERIFY(d != a && d != b && d != c);
        QCOMPARE(factory.creates, 4);
    }

    void ownFactoryAndDestruction()
    {
        RowFactory factory;
        {
            HookedCache cache(&factory);
            QCOMPARE(cache.factory(), &factory);
            factory.pending = 5;
            ZIResource* a = cache.take();
            QCOMPARE(row(a)->address, 5);
            cache.take();
            cache.take();
            cache.release(a);
            QCOMPARE(factory.alive, 3);
        }
        // The cache deleted the used and the free objects.
        QCOMPARE(factory.alive, 0);

        ZResourceCache bare;
        QCOMPARE(bare.take(), nullptr);
    }
};

TALMENO_TEST_MAIN(TestResourceCache)
#include "tst_resource_cache.moc"
