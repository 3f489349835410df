// Node frame 1 through the real frame search and processor, its export row and page.

#include "support/testenv.h"

#include "helpers/FrameFixture.h"
#include "helpers/TestCapture.h"
#include "model/ModelManager.h"
#include "model/ResourceItems.h"
#include "products/trelvan/protocols/ProtocolNodeFrame1.h"
#include "products/trelvan/views/ValueGrids.h"
#include "products/trelvan/views/WidgetNodeFrame1.h"
#include "protocol/ProtocolFactory.h"
#include "sim/TrelvanScenario.h"
#include "views/DataResource.h"
#include "widgets/PlainTextEditWithFile.h"
#include "widgets/ZLabel.h"

#include <QLabel>
#include <QRandomGenerator>
#include <QSet>

#include <atomic>

using Trelvan::ProtocolNodeFrame1;
using sim::NodeFrame1Fields;
using sim::NodeFrame1Record;

namespace {
const QString kName = "Vexa_Trelvan_Node_Frame1";

NodeFrame1Fields header()
{
    NodeFrame1Fields f;
    f.role = 3;
    f.id = 4;
    f.systemTime = 3723004;
    f.localTime = 0xFFFFFFFFu;
    f.voltage = 3700;
    return f;
}

// The node bound's clock, moved by the tests: 200 frames/s without waiting for them.
std::atomic<qint64> g_now{0};
qint64 testNow()
{
    return g_now.load();
}
} // namespace

class TestNodeFrame1 : public QObject
{
    Q_OBJECT

    TestTrelvan::FrameFixture fx;
    ProtocolNodeFrame1* p = nullptr;

    double lastOf(const QString& name) const { return fx.lastOf(kName, name); }

    // The frame's page on the full page's model, hosted by host.
    Trelvan::WidgetNodeFrame1* openPage(QWidget& host)
    {
        TestTrelvan::setCurrentManager(fx.fullPage);
        if (!p->dataItem())
            fx.feed(sim::nodeFrame1(header())); // the first frame makes the page's item
        auto* resource = new DataResource(p->dataItem(), &host);
        return qobject_cast<Trelvan::WidgetNodeFrame1*>(resource->view());
    }

private slots:
    void initTestCase()
    {
        fx.setUp(this);
        NodeBound::setClock(&testNow);
        ProtocolFactory::clearRegistrations();
        ProtocolNodeFrame1::registerProtocol();
        p = ProtocolNodeFrame1::instance(this);
        p->setActive(true);
    }
    void cleanupTestCase()
    {
        NodeBound::setClock(nullptr);
        fx.tearDown();
    }
    void init()
    {
        fx.reset();
        p->queue.takeAll();
    }

    // First frame, on a page without 3D views: no records, only voltage(V); a node
    // seen there gets no 3D item.
    void emptyFrameAndNoThreeDViews()
    {
        TestTrelvan::setCurrentManager(fx.flatPage);
        fx.feed(sim::nodeFrame1(header()));
        QCOMPARE(p->voltageItem->lastValue(), double(3.7f));
        QVERIFY(p->nodeItems.isEmpty());
        NodeFrame1Fields f = header();
        f.nodes = {NodeFrame1Record{2, 8, {1000, 2000, 3000}}};
        fx.feed(sim::nodeFrame1(f));
        QVERIFY(p->nodeItems.value(2).value(8)->pos[0] && !p->nodeItems.value(2).value(8)->scatter);
        fx.feed(sim::nodeFrame1(f)); // charted from its second frame
        QVERIFY(p->nodeItems.value(2).value(8)->scatter && !p->nodeItems.value(2).value(8)->scatter3D);
    }

    void recordsGetPositionItemsAndExportColumns()
    {
        TestTrelvan::setCurrentManager(fx.fullPage);
        NodeFrame1Fields f = header();
        f.nodes = {NodeFrame1Record{2, 5, {-1, -8388608, 123456}}, NodeFrame1Record{1, 3, {10, 20, 30}},
                   NodeFrame1Record{-1, 7, {0, 0, 0}}, NodeFrame1Record{2, 5, {1500, 2500, 3500}},
                   NodeFrame1Record{0, 1, {4, 5, 6}}};
        const QByteArray frame = sim::nodeFrame1(f);
        fx.feed(frame);

        // T_5 twice in one frame: both positions, in order, into one set of items.
        const QList<double> xs = fx.line(kName, "pos_x[T_5](m)")->values();
        QCOMPARE(xs.mid(xs.size() - 2), (QList<double>{double(-0.001f), 1.5}));
        QCOMPARE(lastOf("pos_y[T_5](m)"), 2.5);
        QCOMPARE(lastOf("pos_x[A_3](m)"), double(0.01f));
        QCOMPARE(lastOf("pos_z[N_1](m)"), double(0.006f));
        ProtocolNodeFrame1::NodeItems* t5 = p->nodeItems.value(2).value(5);
        const Scatter3DValue v3 = qobject_cast<Scatter3DResourceItem*>(t5->scatter3D)->lastValue();
        QVERIFY(v3.x == 1.5f && v3.y == 2.5f && v3.z == 3.5f && v3.a == 0.0f);
        QVERIFY(!p->nodeItems.contains(-1)); // role -1 makes no items: the record stays in the data

        // Roles 1 and -1 are unexpected: one line for the frame, naming the first.
        const QStringList invalid = TestTrelvan::logLines("Invalid node role encountered");
        QCOMPARE(invalid.size(), 1);
        QVERIFY(invalid[0].endsWith("Invalid node role encountered,role:1,id:3,raw data:" +
                                    QString::fromLatin1(frame.toHex(' '))));
        const auto records = p->queue.takeAll();
        QCOMPARE(records.value(0)->rawFrame, frame);

        QCOMPARE(p->exportColumns().join(' '),
                 QString("role id systemTime(ms) localTime(ms) voltage(V) nodeCount role id pos_x(m) pos_y(m) pos_z(m)"));
        const QList<QVariant> row = p->fillExportRow();
        QCOMPARE(row.size(), 6 + 5 * 5);
        // systemTime before localTime, as on the wire; the first record under the names.
        const QList<QPair<int, double>> cells{{0, 3}, {1, 4}, {2, 3723004}, {3, 4294967295.0}, {4, 3.7f}, {5, 5},
                                              {6, 2}, {7, 5}, {8, -0.001f}, {9, -8388.608f}, {10, 123.456f},
                                              {16, -1}, {26, 0}};
        for (const auto& c : cells)
            QVERIFY2(row[c.first].toDouble() == c.second, qPrintable(QString::number(c.first)));
    }

    void pageShowsOnePositionBoxPerNode()
    {
        QWidget host;
        Trelvan::WidgetNodeFrame1* page = openPage(host);
        QVERIFY(page);

        NodeFrame1Fields older = header();
        older.nodes = {NodeFrame1Record{2, 5, {1, 2, 3}}, NodeFrame1Record{0, 1, {7, 7, 7}}};
        NodeFrame1Fields newest = header();
        newest.voltage = 0;
        newest.nodes = {NodeFrame1Record{2, 5, {-1, -8388608, 123456}}};
        fx.feed(sim::nodeFrame1(older) + sim::nodeFrame1(newest));
        page->refresh();
        QCOMPARE(page->localTimeLabel->value(), QString("4294967295"));
        QCOMPARE(page->voltageLabel->value(), QString("0"));
        QCOMPARE(page->senderLabel->text(), QString("C_4"));
        Trelvan::WidgetNode1* t5 = page->box(2, 5);
        Trelvan::WidgetNode1* n1 = page->box(0, 1);
        QVERIFY(t5 && n1);
        const QStringList xyz{t5->position->x->value(), t5->position->y->value(), t5->position->z->value()};
        QCOMPARE(xyz, (QStringList{"-0.001", "-8388.61", "123.456"}));
        QCOMPARE(n1->position->x->value(), QString("0.007"));
    }

    // Damage that passes its sum, 10 s of five (role, id) keys a frame at 200
    // frames/s, then real tags T_0 to T_4 at 10 Hz. The keys: fresh ones (every key
    // in turn, none again within 1.8 s), random ones (a key again within 1.2 s about
    // half the time) or an installation of 1,023 nodes, each at 1 Hz. Throughout, the
    // bound holds items and boxes to its cap; at most the largest installation charts
    // in 2D and 3D, and a chart place turns over far less often than every frame;
    // N_77, at 10 Hz, keeps its items and box; N_78, at 10 Hz from the 5th second,
    // shows unless steady nodes hold every place. The tags get their boxes, lines and
    // chart items within 2 s of their second frame, and the page counts all five.
    void realTagsShowAfterAFloodOfFreshKeys_data()
    {
        QTest::addColumn<int>("flood"); // 0 fresh, 1 random, 2 installation
        QTest::addColumn<bool>("newcomerShows");
        QTest::newRow("fresh keys") << 0 << true;
        QTest::newRow("repeating random keys") << 1 << true;
        QTest::newRow("an installation at 1 Hz") << 2 << false;
    }
    void realTagsShowAfterAFloodOfFreshKeys()
    {
        QFETCH(int, flood);
        QFETCH(bool, newcomerShows);
        QWidget host;
        Trelvan::WidgetNodeFrame1* page = openPage(host);
        QVERIFY(page);
        const auto shownBoxes = [page] {
            int n = 0;
            for (const auto& byId : page->nodes())
                n += byId.size();
            return n;
        };
        const auto items = [this](ResourceType type) { return fx.fullPage->resourceModel(type)->resources().size(); };
        int made = 0; // 2D items
        QObject watch;
        connect(fx.fullPage, &ModelManager::resourceCreated, &watch,
                [&made](ResourceType type) { made += type == ResourceType::Scatter; });

        const QSet<int> spared{2 * 256 + 0, 2 * 256 + 1, 2 * 256 + 2, 2 * 256 + 3, 2 * 256 + 4, 77, 78};
        QVector<int> keys;
        for (int key = 0; key < 7 * 256; ++key)
            if (!spared.contains(key))
                keys << key;
        QRandomGenerator rng(52);
        g_now += 10000; // the nodes of the cases before were seen long ago
        ProtocolNodeFrame1::NodeItems* steady = nullptr;
        LineResourceItem* steadyX = nullptr;
        int madeHalfway = 0;
        for (int frame = 0; frame < 2000; ++frame) {
            NodeFrame1Fields f = header();
            for (int j = 0; j < 5; ++j) {
                const int cycle = (5 * frame + j) % (flood == 0 ? keys.size() : 1023);
                const int key = keys[flood == 1 ? int(rng.bounded(keys.size())) : cycle];
                f.nodes.append(NodeFrame1Record{qint8(key / 256), quint8(key % 256), {key, 0, 0}});
            }
            if (frame % 20 == 0)
                f.nodes.append(NodeFrame1Record{0, 77, {frame, 1, 2}});
            if (frame >= 1000 && frame % 20 == 0)
                f.nodes.append(NodeFrame1Record{0, 78, {frame, 1, 2}});
            fx.feed(sim::nodeFrame1(f));
            g_now += 5;
            madeHalfway = frame == 999 ? made : madeHalfway;
            if (frame % 40 == 39) {
                page->refresh();
                QCoreApplication::processEvents();
                QVERIFY(p->shownNodeCount() <= NodeBound::kMaxNodes);
                QVERIFY(shownBoxes() <= NodeBound::kMaxNodes);
                QTRY_VERIFY(items(ResourceType::Scatter3D) <= Trelvan::largestInstallation());
                QVERIFY(newcomerShows || frame < 1000 || !p->nodeItems.value(0).value(78));
                if (!steady) {
                    steady = p->nodeItems.value(0).value(77);
                    steadyX = fx.line(kName, "pos_x[N_77](m)");
                    QVERIFY(steady && steadyX && page->box(0, 77));
                }
                QCOMPARE(p->nodeItems.value(0).value(77), steady);
                QCOMPARE(fx.line(kName, "pos_x[N_77](m)"), steadyX);
                QVERIFY(page->builtBox(0, 77));
            }
        }
        QCOMPARE(page->nodeCountLabel->value(), QString("5"));
        QCOMPARE(bool(p->nodeItems.value(0).value(78)), newcomerShows);
        // Fresh keys chart nothing (N_77 and N_78 may); no flood turns a place every frame.
        QVERIFY2(flood != 0 || made <= 2, qPrintable(QString::number(made)));
        QVERIFY2(made - madeHalfway <= 100, qPrintable(QString::number(made - madeHalfway)));
        QVERIFY(flood == 0 || p->shownNodeCount() == NodeBound::kMaxNodes);
        QCOMPARE(steadyX->lastValue(), double(1.98f));

        // The tags, as the flood ends; N_77 still sends.
        qint64 secondFrame = -1;
        qint64 shown = -1;
        for (int frame = 0; frame < 40 && shown < 0; ++frame) {
            NodeFrame1Fields f = header();
            for (quint8 id = 0; id < 5; ++id)
                f.nodes.append(NodeFrame1Record{2, id, {1000 * id, 2000, 3000}});
            f.nodes.append(NodeFrame1Record{0, 77, {5, 5, 5}});
            fx.feed(sim::nodeFrame1(f));
            if (frame == 1)
                secondFrame = g_now;
            page->refresh();
            QCoreApplication::processEvents();
            bool all = page->nodeCountLabel->value() == "6";
            for (quint8 id = 0; id < 5 && all; ++id)
                all = page->box(2, id) && fx.line(kName, QString("pos_x[T_%1](m)").arg(id))
                      && p->nodeItems.value(2).value(id)->scatter3D;
            if (all)
                shown = g_now;
            g_now += 100;
        }
        QVERIFY2(shown >= 0 && shown - secondFrame <= 2000, qPrintable(QString::number(shown - secondFrame)));
        QCOMPARE(page->box(2, 4)->position->x->value(), QString("4"));
        QCOMPARE(p->nodeItems.value(0).value(77), steady);

        // What gave up its chart place left the page's model: at most the installation's items.
        QTRY_VERIFY(items(ResourceType::Scatter) <= Trelvan::largestInstallation());
        QTRY_VERIFY(items(ResourceType::Scatter3D) <= Trelvan::largestInstallation());
        QVERIFY(shownBoxes() <= NodeBound::kMaxNodes);
        // Statistics rows too: three a node and the voltage.
        QTRY_VERIFY(page->statisticCount() <= 3 * NodeBound::kMaxNodes + 1);
    }
};

TALMENO_TEST_MAIN(TestNodeFrame1)
#include "tst_nodeframe1.moc"
