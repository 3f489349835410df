// The on-demand timer: work queued from other threads at any moment, also just
// as the timer decides to stop, is always done; at rest the timer does not run.

#include <QThread>
#include <atomic>
#include <mutex>
#include <random>
#include <thread>
#include <vector>

#include "foundation/ZDemandTimer.h"
#include "support/testenv.h"

class TstDemandTimer : public QObject
{
    Q_OBJECT

private slots:
    void queuedWorkIsDoneAndTheTimerRestsBetween_data()
    {
        QTest::addColumn<int>("idleTicks");
        QTest::addColumn<int>("producers");
        QTest::newRow("stops at the first idle tick, one producer") << 1 << 1;
        QTest::newRow("stops at the first idle tick, three producers") << 1 << 3;
        QTest::newRow("three idle ticks, three producers") << 3 << 3;
    }

    void queuedWorkIsDoneAndTheTimerRestsBetween()
    {
        QFETCH(int, idleTicks);
        QFETCH(int, producers);

        std::mutex mutex;
        std::vector<int> queue;
        std::vector<std::vector<int>> done(static_cast<size_t>(producers));
        std::atomic<int> ticks{0};
        QThread worker;
        worker.start();
        ZDemandTimer timer(
            1, idleTicks,
            [&] {
                ++ticks;
                {
                    std::lock_guard<std::mutex> lock(mutex);
                    for (int v : queue)
                        done[size_t(v / 1000000)].push_back(v % 1000000);
                    queue.clear();
                }
                // Work takes time: items queued meanwhile find the timer running.
                std::this_thread::sleep_for(std::chrono::microseconds(100));
            },
            [&] {
                std::lock_guard<std::mutex> lock(mutex);
                return !queue.empty();
            });
        timer.moveToThread(&worker);
        QVERIFY(!timer.isRunning());

        constexpr int kItems = 3000;
        std::atomic<int> leftAtRest{0};
        std::vector<std::thread> threads;
        for (int p = 0; p < producers; ++p) {
            threads.emplace_back([&, p] {
                std::mt19937 rng(unsigned(p + 7));
                for (int i = 0; i < kItems; ++i) {
                    {
                        std::lock_guard<std::mutex> lock(mutex);
                        queue.push_back(p * 1000000 + i);
                    }
                    timer.wake();
                    const unsigned r = rng() % 100;
                    if (r < 5) {
                        // Let it come to rest, so the next item must start it again.
                        while (timer.isRunning())
                            std::this_thread::yield();
                        // Alone, the producer knows that a timer at rest left nothing behind.
                        std::lock_guard<std::mutex> lock(mutex);
                        if (producers == 1 && !queue.empty())
                            ++leftAtRest;
                    } else if (r < 10) {
                        // Land near the moment the timer judges itself idle.
                        std::this_thread::sleep_for(std::chrono::microseconds(rng() % 1500));
                    }
                }
            });
        }
        for (auto& t : threads)
            t.join();

        QTRY_VERIFY_WITH_TIMEOUT(!timer.isRunning(), 10000);
        {
            std::lock_guard<std::mutex> lock(mutex);
            QVERIFY(queue.empty());
            for (int p = 0; p < producers; ++p) {
                QCOMPARE(int(done[size_t(p)].size()), kItems);
                for (int i = 0; i < kItems; ++i)
                    QCOMPARE(done[size_t(p)][size_t(i)], i);
            }
        }
        QCOMPARE(leftAtRest.load(), 0);
        QVERIFY(timer.startCount() > 1);

        // At rest nothing ticks.
        const int resting = ticks.load();
        QTest::qWait(50);
        QCOMPARE(ticks.load(), resting);

        // Work after a rest starts it again.
        {
            std::lock_guard<std::mutex> lock(mutex);
            queue.push_back(0);
        }
        timer.wake();
        QTRY_COMPARE_WITH_TIMEOUT(int(done[0].size()), kItems + 1, 5000);
        QTRY_VERIFY_WITH_TIMEOUT(!timer.isRunning(), 5000);

        QMetaObject::invokeMethod(&timer, [&] { timer.moveToThread(qApp->thread()); }, Qt::BlockingQueuedConnection);
        worker.quit();
        worker.wait();
    }
};

TALMENO_TEST_MAIN(TstDemandTimer)
#include "tst_demandtimer.moc"
