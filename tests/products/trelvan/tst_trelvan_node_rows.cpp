// Node rows and their pool: titles and icons, reuse, selections, versions, worker lookups.

#include "support/testenv.h"

#include "foundation/ZIconsManager.h"
#include "helpers/TrelvanPortEnv.h"
#include "products/trelvan/wireless/WidgetNode.h"
#include "widgets/ZLabel.h"

#include <QThread>
#include <QToolButton>

using Trelvan::NodeWidgetCache;
using Trelvan::WidgetNode;

namespace {
QImage imageOf(const QIcon& icon)
{
    return icon.pixmap(16, 16).toImage();
}
} // namespace

class TestTrelvanNodeRows : public QObject
{
    Q_OBJECT

    QList<WidgetNode*> placed_;
    QList<WidgetNode*> removed_;

private slots:
    void initTestCase()
    {
        TestTrelvan::startPortPipeline();
        // The page places rows of its four roles only.
        NodeWidgetCache::setPlacementHooks(
            [this](WidgetNode* row) {
                if (row->role() <= 3)
                    placed_ << row;
            },
            [this](WidgetNode* row) { removed_ << row; });
    }

    void titlesAndStateIcons_data()
    {
        QTest::addColumn<int>("role");
        QTest::addColumn<QString>("title");
        QTest::addColumn<int>("firstIcon");
        QTest::newRow("anchor") << 1 << "A3" << 2;
        QTest::newRow("node") << 0 << "N3" << 22;
        QTest::newRow("tag") << 2 << "T3" << 6;
        QTest::newRow("console") << 3 << "C3" << 10;
        QTest::newRow("slave") << 5 << "" << -1;
    }
    void titlesAndStateIcons()
    {
        QFETCH(int, role);
        QFETCH(QString, title);
        QFETCH(int, firstIcon);
        NodeWidgetCache* cache = NodeWidgetCache::instance();
        placed_.clear();
        WidgetNode* row = cache->findNode(quint8(role), 3);
        QCOMPARE(cache->findNode(quint8(role), 3), row);
        QCOMPARE(placed_.size(), firstIcon < 0 ? 0 : 1);
        QCOMPARE(row->nodeButton()->text(), title);
        for (int state = Trelvan::Idle; state <= Trelvan::Busy; ++state) {
            row->setState(state);
            if (firstIcon < 0)
                QVERIFY(row->nodeButton()->icon().isNull());
            else
                QCOMPARE(imageOf(row->nodeButton()->icon()),
                         imageOf(ZIconsManager::instance()->colorIcon(firstIcon + state)));
        }
        cache->releaseAll();
        QVERIFY(!cache->contains(quint8(role), 3));
    }

    void pooledRowsAreRenamed()
    {
        NodeWidgetCache* cache = NodeWidgetCache::instance();
        cache->releaseAll();
        WidgetNode* row = cache->findNode(1, 7);
        row->setSelected(true);
        row->setStatusText("update failed");
        row->setTime(1234);
        removed_.clear();
        cache->release(row);
        QCOMPARE(removed_, QList<WidgetNode*>{row});
        QVERIFY(!row->isSelected());
        QVERIFY(row->statusText().isEmpty());
        QCOMPARE(row->timeLabel()->value(), QString("0"));
        // The next new address reuses it.
        QCOMPARE(cache->findNode(2, 12), row);
        QCOMPARE(row->nodeButton()->text(), QString("T12"));
        QCOMPARE(cache->nodeCount(1), 0);
        // Taken again for its own address, it keeps its title.
        cache->release(row);
        row->nodeButton()->setText("kept");
        QCOMPARE(cache->findNode(2, 12), row);
        QCOMPARE(row->nodeButton()->text(), QString("kept"));
        cache->releaseAll();
    }

    void selectionsAndStates()
    {
        NodeWidgetCache* cache = NodeWidgetCache::instance();
        cache->releaseAll();
        WidgetNode* a = cache->findNode(1, 1);
        WidgetNode* b = cache->findNode(1, 2);
        WidgetNode* c = cache->findNode(1, 3);
        QVERIFY(cache->allSucceeded(1)); // nothing selected
        a->setSelected(true);
        c->setSelected(true);
        b->setState(Trelvan::Failed); // unselected rows never count
        cache->setStateOfRole(1, Trelvan::Busy);
        QCOMPARE(a->state(), int(Trelvan::Busy));
        QCOMPARE(b->state(), int(Trelvan::Failed));
        QVERIFY(!cache->allSucceeded(1));
        a->setState(Trelvan::Succeeded);
        cache->setStateOfRoleUnless(1, Trelvan::Succeeded, Trelvan::Failed);
        QCOMPARE(a->state(), int(Trelvan::Succeeded));
        QCOMPARE(c->state(), int(Trelvan::Failed));
        c->setState(Trelvan::Succeeded);
        QVERIFY(cache->allSucceeded(1));
        cache->releaseAll();
    }

    void systemInfoShowsVersions_data()
    {
        QTest::addColumn<int>("fourthPart");
        QTest::addColumn<QString>("firmware");
        QTest::newRow("three parts") << 0 << "1.2.3";
        QTest::newRow("four parts") << 4 << "1.2.3.4";
    }
    void systemInfoShowsVersions()
    {
        QFETCH(int, fourthPart);
        QFETCH(QString, firmware);
        WidgetNode* row = NodeWidgetCache::instance()->findNode(1, 4);
        SystemInfoFrame f = SystemInfoFrame::defaultFrame();
        const quint8 set[][2] = {{7, quint8(fourthPart)}, {8, 3}, {9, 2}, {10, 1}, {5, 0}, {6, 2},
                                 {19, 0x00}, {20, 0x10}, {21, 0x0E}, {24, 0x10}, {25, 0x27}};
        for (const auto& b : set) // 921600 baud, later -1 sign-extended
            f.bytes[b[0]] = b[1];
        row->setTime(5);
        row->setSystemInfo(f);
        QCOMPARE(row->firmwareLabel()->value(), firmware);
        QCOMPARE(row->hardwareLabel()->value(), QString("2.0"));
        QCOMPARE(row->baudRateLabel()->value(), QString("921600"));
        QCOMPARE(row->timeLabel()->value(), QString("10000"));
        QCOMPARE(row->time(), 5u); // the stored time is the restart check's
        f.bytes[19] = f.bytes[20] = f.bytes[21] = 0xFF;
        row->setSystemInfo(f);
        QCOMPARE(row->baudRateLabel()->value(), QString("-1"));
        NodeWidgetCache::instance()->releaseAll();
    }

    void findNodeFromWorkerThread()
    {
        NodeWidgetCache* cache = NodeWidgetCache::instance();
        WidgetNode* fromWorker = nullptr;
        QThread* madeIn = nullptr;
        std::unique_ptr<QThread> worker(QThread::create([&] {
            fromWorker = cache->findNode(3, 42);
            madeIn = fromWorker ? fromWorker->thread() : nullptr;
        }));
        worker->start();
        QTRY_VERIFY_WITH_TIMEOUT(worker->isFinished(), 10000);
        QVERIFY(fromWorker);
        QCOMPARE(madeIn, QThread::currentThread());
        QCOMPARE(cache->findNode(3, 42), fromWorker);
        cache->releaseAll();
    }
};

TALMENO_TEST_MAIN(TestTrelvanNodeRows)
#include "tst_trelvan_node_rows.moc"
