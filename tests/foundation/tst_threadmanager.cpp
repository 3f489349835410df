#include <QPointer>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <thread>

#include "foundation/ZThreadManager.h"
#include "helpers/LogCapture.h"
#include "support/testenv.h"

// The test functions run in declaration order on one manager: threads are started in
// initTestCase and stopped by the last function.
class TstThreadManager : public QObject
{
    Q_OBJECT

    ZThreadManager* tm = nullptr;
    QList<QPointer<QObject>> moved;

private slots:
    void initTestCase()
    {
        tm = ZThreadManager::instance(nullptr);
        QCOMPARE(ZThreadManager::instance(this), tm); // later arguments are ignored
        QCOMPARE(tm->parent(), nullptr);
    }

    // Run alone, a case after the first finds the threads started, as it does in order.
    void init()
    {
        if (QByteArray(QTest::currentTestFunction()) != "slotsBeforeStart" && !tm->thread(1)->isRunning())
            tm->startThreads();
    }

    void slotsBeforeStart()
    {
        QCOMPARE(tm->thread(0), QThread::currentThread());
        for (int n = 1; n <= 5; ++n) {
            QVERIFY(tm->thread(n));
            QVERIFY(tm->thread(n) != QThread::currentThread());
            QVERIFY(!tm->thread(n)->isRunning());
            for (int m = 1; m < n; ++m)
                QVERIFY(tm->thread(n) != tm->thread(m));
        }
        QCOMPARE(tm->thread(6), nullptr);
        QCOMPARE(tm->thread(-1), nullptr);

        // Events for a worker slot wait until the threads start.
        auto* early = new QObject;
        tm->moveToThread(early, 3);
        moved << early;
        std::atomic<bool> ran{false};
        tm->runInThread(3, [&ran] { ran = true; }, false);
        QTest::qWait(50);
        QVERIFY(!ran.load());

        tm->startThreads();
        QTRY_VERIFY(ran.load());
        for (int n = 1; n <= 5; ++n)
            QVERIFY(tm->thread(n)->isRunning());
        QCOMPARE(tm->thread(2)->priority(), QThread::HighPriority);
        QCOMPARE(tm->thread(5)->priority(), QThread::TimeCriticalPriority);
        QCOMPARE(tm->thread(1)->priority(), QThread::NormalPriority);
    }

    void runInOwnThreadIsDirect()
    {
        QThread* where = nullptr;
        bool nested = false;
        bool posted = false;
        QTimer::singleShot(0, this, [&] { posted = true; });
        tm->runInThread(0, [&] {
            where = QThread::currentThread();
            nested = true;
        }, true);
        QVERIFY(nested);
        QCOMPARE(where, QThread::currentThread());
        QVERIFY(!posted); // no event loop ran
        QTRY_VERIFY(posted);

        // From inside slot 2, a waiting call to slot 2 runs at once instead of waiting for itself.
        std::atomic<int> order{0};
        int innerAt = -1, afterAt = -1;
        tm->runInThread(2, [&] {
            tm->runInThread(2, [&] { innerAt = order++; }, true);
            afterAt = order++;
        }, true);
        QCOMPARE(innerAt, 0);
        QCOMPARE(afterAt, 1);
    }

    void runWaitingAndNot()
    {
        for (int n = 1; n <= 5; ++n) {
            QThread* where = nullptr;
            tm->runInThread(n, [&where] { where = QThread::currentThread(); }, true);
            QCOMPARE(where, tm->thread(n));
        }
        // A function that does nothing and ends at once still releases the waiter.
        for (int i = 0; i < 200; ++i)
            tm->runInThread(3, [] {}, true);

        // Without wait the call returns before the function ran.
        std::atomic<bool> gate{false};
        std::atomic<bool> ran{false};
        tm->runInThread(4, [&] {
            while (!gate.load())
                QThread::msleep(1);
            ran = true;
        }, false);
        QVERIFY(!ran.load());
        gate = true;
        QTRY_VERIFY(ran.load());
    }

    void waitKeepsEventLoopRunning()
    {
        bool timerFired = false;
        QTimer::singleShot(10, this, [&] { timerFired = true; });
        tm->runInThread(1, [] { QThread::msleep(120); }, true);
        QVERIFY(timerFired);
    }

    void waiterReturnsOnlyAfterItsOwnCall()
    {
        // A long call queued first on slot 3 by a worker; the GUI thread then waits for
        // a short one. The finish of the worker's call must not release the GUI waiter,
        // and the GUI's call finishing first must not release the worker.
        std::atomic<bool> guiCallRan{false};
        std::atomic<bool> workerCallRan{false};
        std::atomic<bool> workerReturnedEarly{false};
        std::atomic<bool> blockSlot{true};

        // Occupy slot 3 so both calls queue behind it.
        tm->runInThread(3, [&] {
            while (blockSlot.load())
                QThread::msleep(1);
        }, false);

        std::thread worker([&] {
            tm->runInThread(3, [&] {
                QThread::msleep(30);
                workerCallRan = true;
            }, true);
            if (!workerCallRan.load())
                workerReturnedEarly = true;
        });
        QThread::msleep(30); // the worker's call is queued first
        QTimer::singleShot(20, this, [&] { blockSlot = false; });
        tm->runInThread(3, [&] {
            QThread::msleep(30);
            guiCallRan = true;
        }, true);
        QVERIFY(guiCallRan.load());
        worker.join();
        QVERIFY(workerCallRan.load());
        QVERIFY(!workerReturnedEarly.load());

        // Many waiters on one slot from many threads: each returns after its own call.
        std::atomic<int> failures{0};
        std::vector<std::thread> waiters;
        for (int t = 0; t < 6; ++t) {
            waiters.emplace_back([&, t] {
                for (int i = 0; i < 40; ++i) {
                    bool mine = false;
                    tm->runInThread(t % 2 ? 3 : 4, [&mine, i] {
                        if (i % 7 == 0)
                            QThread::usleep(300);
                        mine = true;
                    }, true);
                    if (!mine)
                        ++failures;
                }
            });
        }
        for (int i = 0; i < 40; ++i) {
            bool mine = false;
            tm->runInThread(3, [&mine] { mine = true; }, true);
            if (!mine)
                ++failures;
        }
        for (auto& w : waiters)
            w.join();
        QCOMPARE(failures.load(), 0);
    }

    void moveRefusesParentedObjects()
    {
        QObject parent;
        auto* child = new QObject(&parent);
        LogCapture capture;
        tm->moveToThread(child, 2);
        QCOMPARE(child->thread(), QThread::currentThread());
        QCOMPARE(capture.lines(QtCriticalMsg).size(), 1);
        const QString line = capture.lines(QtCriticalMsg).first();
        QVERIFY2(line.endsWith("move thread failed"), qPrintable(line));
        QVERIFY2(line.contains("has parent"), qPrintable(line));
        QVERIFY(QRegularExpression("^\\[\\d\\d\\.\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d\\d\\d\\] ").match(line).hasMatch());
    }

    void movedObjectsLiveInTheirSlot()
    {
        for (int n = 1; n <= 5; ++n) {
            auto* obj = new QObject;
            tm->moveToThread(obj, n);
            QCOMPARE(obj->thread(), tm->thread(n));
            moved << obj;
            // A queued call to the object runs in that slot's thread.
            QThread* where = nullptr;
            QMetaObject::invokeMethod(obj, [&where] { where = QThread::currentThread(); }, Qt::BlockingQueuedConnection);
            QCOMPARE(where, tm->thread(n));
        }
    }

    void stopDeletesMovedObjects()
    {
        for (const auto& p : moved)
            QVERIFY(p);
        tm->stopThreads();
        for (int n = 1; n <= 5; ++n)
            QVERIFY(!tm->thread(n)->isRunning());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        for (const auto& p : moved)
            QVERIFY(!p);
        // A stopped slot refuses work instead of reaching a deleted run manager.
        bool ran = false;
        tm->runInThread(3, [&ran] { ran = true; }, false);
        QVERIFY(!ran);
    }

    void cleanupTestCase()
    {
        delete tm;
        // The accessor makes a fresh manager once the old one is gone.
        ZThreadManager* again = ZThreadManager::instance();
        QVERIFY(again);
        delete again;
    }
};

TALMENO_TEST_MAIN(TstThreadManager)
#include "tst_threadmanager.moc"
