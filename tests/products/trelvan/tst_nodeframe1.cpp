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

    // Damage that passes its sum: 10 s of five fresh (role, id) keys per frame at
    // 200 frames/s fills the node bound, then real tags T_0 to T_4 start at 10 Hz.
    // The bound holds the items and boxes to its cap throughout; N_77, sending at
    // 10 Hz through the flood, keeps its items and box; the tags get theirs within
    // 2 s of their second frame, and the page counts all five.
    void realTagsShowAfterAFloodOfFreshKeys()
    {
        QWidget host;
        Trelvan::WidgetNodeFrame1* page = openPage(host);
        QVERIFY(page);
        const auto shownBoxes = [page] {
            int n = 0;
            for (const auto& byId : page->nodes())
                n += byId.size();
            return n;
        };

        const auto charted = [this](ResourceType type) {
            return fx.fullPage->resourceModel(type)->resources().size();
        };
        const int scatter = charted(ResourceType::Scatter), scatter3D = charted(ResourceType::Scatter3D);
        g_now += 10000; // the nodes of the cases before were seen long ago
        // Damage that never repeats a key within a second (five fresh keys a frame
        // going round every key in 1.8 s) charts nothing in 2D or 3D.
        for (int frame = 0; frame < 400; ++frame) {
            NodeFrame1Fields f = header();
            for (int j = 0; j < 5; ++j) {
                const int key = (5 * frame + j) % (7 * 256);
                f.nodes.append(NodeFrame1Record{qint8(key / 256), quint8(key % 256), {key, 0, 0}});
            }
            fx.feed(sim::nodeFrame1(f));
            g_now += 5;
        }
        page->refresh();
        QCoreApplication::processEvents();
        QCOMPARE(charted(ResourceType::Scatter), scatter);
        QCOMPARE(charted(ResourceType::Scatter3D), scatter3D);
        QCOMPARE(page->nodeCountLabel->value(), QString("5"));

        QRandomGenerator rng(52);
        const QSet<int> spared{2 * 256 + 0, 2 * 256 + 1, 2 * 256 + 2, 2 * 256 + 3, 2 * 256 + 4, 77};
        ProtocolNodeFrame1::NodeItems* steady = nullptr;
        LineResourceItem* steadyX = nullptr;
        for (int frame = 0; frame < 2000; ++frame) {
            NodeFrame1Fields f = header();
            while (f.nodes.size() < 5) {
                const int key = int(rng.bounded(7 * 256));
                if (!spared.contains(key))
                    f.nodes.append(NodeFrame1Record{qint8(key / 256), quint8(key % 256), {key, 0, 0}});
            }
            if (frame % 20 == 0)
                f.nodes.append(NodeFrame1Record{0, 77, {frame, 1, 2}});
            fx.feed(sim::nodeFrame1(f));
            g_now += 5;
            if (frame % 40 == 39) {
                page->refresh();
                QCoreApplication::processEvents();
                QVERIFY(p->shownNodeCount() <= NodeBound::kMaxNodes);
                QVERIFY(shownBoxes() <= NodeBound::kMaxNodes);
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
        QCOMPARE(p->shownNodeCount(), NodeBound::kMaxNodes);
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
                all = page->box(2, id) && fx.line(kName, QString("pos_x[T_%1](m)").arg(id));
            if (all)
                shown = g_now;
            g_now += 100;
        }
        QVERIFY2(shown >= 0 && shown - secondFrame <= 2000, qPrintable(QString::number(shown - secondFrame)));
        QCOMPARE(page->box(2, 4)->position->x->value(), QString("4"));
        QCOMPARE(p->nodeItems.value(0).value(77), steady);

        // What gave up its place left the page's model: at most the cap's items.
        QTRY_VERIFY(fx.fullPage->resourceModel(ResourceType::Scatter)->resources().size() <= NodeBound::kMaxNodes);
        QVERIFY(shownBoxes() <= NodeBound::kMaxNodes);
        // Statistics rows too: three a node and the voltage.
        QTRY_VERIFY(page->statisticCount() <= 3 * NodeBound::kMaxNodes + 1);
    }
};

TALMENO_TEST_MAIN(TestNodeFrame1)
#include "tst_nodeframe1.moc"
