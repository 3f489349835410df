#include <QElapsedTimer>
#include <QPointer>
#include <QSet>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <mutex>
#include <random>
#include <set>
#include <thread>

#include "foundation/ZThreadManager.h"
#include "foundation/ZTimerManager.h"
#include "support/testenv.h"

// The timer manager runs in thread slot 5, as in the program.
class TstTimerManager : public QObject
{
    Q_OBJECT

    ZThreadManager* tm = nullptr;
    ZTimerManager* timers = nullptr;

private slots:
    void initTestCase()
    {
        tm = ZThreadManager::instance();
        timers = ZTimerManager::instance();
        QCOMPARE(ZTimerManager::instance(), timers);
        tm->moveToThread(timers, 5);
        tm->startThreads();
        QCOMPARE(timers->thread(), tm->thread(5));
    }

    void firesOnSlot5ByElapsedTime()
    {
        QElapsedTimer clock;
        clock.start();
        ZTimeHandle* h = timers->start(40);
        QVERIFY(!h->isTimedOut());
        std::atomic<QThread*> where{nullptr};
        std::atomic<qint64> firedAt{-1};
        std::atomic<int> count{0};
        connect(h, &ZTimeHandle::timeout, this, [&] {
            where = QThread::currentThread();
            firedAt = clock.elapsed();
            ++count;
        }, Qt::DirectConnection);
        QTRY_VERIFY_WITH_TIMEOUT(count.load() == 1, 2000);
        QVERIFY(h->isTimedOut());
        QCOMPARE(where.load(), tm->thread(5));
        QVERIFY2(firedAt.load() >= 40, qPrintable(QString::number(firedAt.load())));
        QTest::qWait(30);
        QCOMPARE(count.load(), 1); // once only
        h->release();
    }

    void waitReturnsAtOnceForNothing()
    {
        bool posted = false;
        QTimer::singleShot(0, this, [&] { posted = true; });
        QElapsedTimer clock;
        clock.start();
        timers->wait(0);
        timers->wait(-5);
        QVERIFY(clock.elapsed() < 1000);
        QVERIFY(!posted); // no event loop ran
        QTRY_VERIFY(posted);
    }

    void waitKeepsEventLoopRunning()
    {
        int ticks = 0;
        QTimer ticker;
        connect(&ticker, &QTimer::timeout, this, [&] { ++ticks; });
        ticker.start(10);
        QElapsedTimer clock;
        clock.start();
        timers->wait(300);
        const qint64 took = clock.elapsed();
        QVERIFY2(took >= 300, qPrintable(QString::number(took)));
        QVERIFY2(took < 3000, qPrintable(QString::number(took)));
        QVERIFY2(ticks >= 3, qPrintable(QString::number(ticks)));

        // The shortest waits return even when the poll fires before the connection is made.
        clock.restart();
        for (int i = 0; i < 100; ++i)
            timers->wait(1);
        QVERIFY(clock.elapsed() < 10000); // none hangs
    }

    // Takes handles (long intervals) until target comes back or max were taken.
    bool takeUntil(ZTimeHandle* target, int max, QList<ZTimeHandle*>& taken, int ms = 100000)
    {
        for (int i = 0; i < max; ++i) {
            ZTimeHandle* h = timers->start(ms);
            taken << h;
            if (h == target)
                return true;
        }
        return false;
    }

    // True once a whole poll has run after the call (a probe fires in one poll, a second
    // only in a later one): handles released before are back in the free list then.
    // Not void, or the runner would take it for a test.
    bool waitForPoll()
    {
        for (int i = 0; i < 2; ++i) {
            ZTimeHandle* probe = timers->start(1);
            const bool fired = QTest::qWaitFor([probe] { return probe->isTimedOut(); }, 10000);
            probe->release();
            if (!fired)
                return false;
        }
        return true;
    }

    static void releaseAll(QList<ZTimeHandle*>& handles)
    {
        for (ZTimeHandle* h : handles)
            h->release();
        handles.clear();
    }

    void firedHandleIsReusedOnlyAfterRelease()
    {
        ZTimeHandle* first = timers->start(20);
        std::atomic<int> firstHeard{0};
        connect(first, &ZTimeHandle::timeout, this, [&] { ++firstHeard; }, Qt::DirectConnection);
        QTRY_VERIFY(first->isTimedOut());
        QVERIFY(waitForPoll()); // after the fire

        // Its taker has not released it yet: nobody else gets it, however many are taken.
        QList<ZTimeHandle*> taken;
        QVERIFY(!takeUntil(first, 200, taken));
        releaseAll(taken);

        first->release();
        QVERIFY(waitForPoll());
        QVERIFY(takeUntil(first, 300, taken));
        taken.removeLast();
        releaseAll(taken);

        // The recycled handle runs on a fresh clock.
        first->release();
        QVERIFY(waitForPoll());
        QElapsedTimer clock;
        clock.start();
        QVERIFY(takeUntil(first, 300, taken, 60));
        ZTimeHandle* again = taken.takeLast();
        releaseAll(taken);
        QVERIFY(!again->isTimedOut());
        std::atomic<qint64> firedAt{-1};
        connect(again, &ZTimeHandle::timeout, this, [&] { firedAt = clock.elapsed(); }, Qt::DirectConnection);
        QTRY_VERIFY(firedAt.load() >= 0);
        QVERIFY2(firedAt.load() >= 60, qPrintable(QString::number(firedAt.load())));
        QCOMPARE(firstHeard.load(), 1); // the first taker does not hear a later taker's time-out
        again->release();
    }

    void releasedHandleNeverFires()
    {
        ZTimeHandle* h = timers->start(40);
        std::atomic<int> heard{0};
        connect(h, &ZTimeHandle::timeout, this, [&] { ++heard; }, Qt::DirectConnection);
        h->release();
        QTest::qWait(100);
        QCOMPARE(heard.load(), 0);
        // Back in the free list after the next poll.
        QVERIFY(waitForPoll());
        QList<ZTimeHandle*> taken;
        QVERIFY(takeUntil(h, 300, taken));
        releaseAll(taken);
    }

    void negativeIntervalFiresOnNextPoll()
    {
        QElapsedTimer clock;
        clock.start();
        ZTimeHandle* h = timers->start(-3);
        QTRY_VERIFY_WITH_TIMEOUT(h->isTimedOut(), 5000);
        QVERIFY(clock.elapsed() < 5000); // not after some long interval
        h->release();
    }

    void handlesNeverSharedAcrossThreads()
    {
        std::mutex heldMutex;
        std::set<ZTimeHandle*> held;
        std::atomic<int> duplicates{0};
        std::atomic<int> waitsTooShort{0};
        std::vector<std::thread> workers;
        for (int t = 0; t < 4; ++t) {
            workers.emplace_back([&, t] {
                std::mt19937 rng(t + 1);
                for (int i = 0; i < 150; ++i) {
                    const int ms = int(rng() % 4);
                    ZTimeHandle* h = timers->start(ms);
                    {
                        std::lock_guard<std::mutex> lock(heldMutex);
                        if (!held.insert(h).second)
                            ++duplicates;
                    }
                    if (rng() % 3 == 0) {
                        // Give up early.
                    } else {
                        while (!h->isTimedOut())
                            QThread::usleep(200);
                    }
                    {
                        std::lock_guard<std::mutex> lock(heldMutex);
                        held.erase(h);
                    }
                    h->release();
                    if (i % 10 == 0) {
                        QElapsedTimer c;
                        c.start();
                        timers->wait(3);
                        if (c.elapsed() < 3)
                            ++waitsTooShort;
                    }
                }
            });
        }
        for (int i = 0; i < 30; ++i)
            timers->wait(2);
        for (auto& w : workers)
            w.join();
        QCOMPARE(duplicates.load(), 0);
        QCOMPARE(waitsTooShort.load(), 0);
    }

    // Last: it leaves a large pool behind, which the searches above would have to pass.
    void waitHandsItsHandleBack()
    {
        // Take more handles than the pool holds now, so every free one is among them.
        QVERIFY(waitForPoll()); // handles released just before are back in the pool
        QList<ZTimeHandle*> taken;
        for (int i = 0; i < 1000; ++i)
            taken << timers->start(100000);
        const QSet<ZTimeHandle*> pool(taken.begin(), taken.end());
        QCOMPARE(pool.size(), taken.size());
        releaseAll(taken);
        QVERIFY(waitForPoll()); // back in the free list

        // Each wait takes a handle from the pool; one that kept it would never come back.
        for (int i = 0; i < 300; ++i)
            timers->wait(1);
        QVERIFY(waitForPoll());
        // Handles freed late by someone else may come first: take enough to pass them.
        QSet<ZTimeHandle*> back;
        for (int i = 0; i < 2000 && back.size() < pool.size(); ++i) {
            ZTimeHandle* h = timers->start(100000);
            taken << h;
            if (pool.contains(h))
                back.insert(h);
        }
        releaseAll(taken);
        QVERIFY2(back.size() == pool.size(),
                 qPrintable(QString("%1 of %2 handles came back").arg(back.size()).arg(pool.size())));
    }

    void cleanupTestCase()
    {
        QPointer<ZTimerManager> old = timers;
        tm->stopThreads();
        // Deleted with its thread; its accessor no longer reaches the deleted object.
        QVERIFY(!old);
        ZTimerManager* fresh = ZTimerManager::instance();
        QVERIFY(fresh);
        QElapsedTimer clock;
        clock.start();
        fresh->wait(20); // a working manager, polled in this thread
        QVERIFY(clock.elapsed() >= 20);
        delete fresh;
        delete tm;
    }
};

TALMENO_TEST_MAIN(TstTimerManager)
#include "tst_timermanager.moc"
