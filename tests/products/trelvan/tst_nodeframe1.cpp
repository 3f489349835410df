// Node frame 1 through the real frame search and processor: voltage and per-node
// position items (line, scatter, 3D), the invalid-role line once per frame, the
// export row, damaged counts; then its page with one position box per node.

#include "support/testenv.h"

#include "helpers/FrameFixture.h"
#include "helpers/TestCapture.h"
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
#include <QStackedWidget>

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
} // namespace

class TestNodeFrame1 : public QObject
{
    Q_OBJECT

    TestTrelvan::FrameFixture fx;
    ProtocolNodeFrame1* p = nullptr;

    double lastOf(const QString& name) const { return fx.lastOf(kName, name); }

private slots:
    void initTestCase()
    {
        fx.setUp(this);
        ProtocolFactory::clearRegistrations();
        ProtocolNodeFrame1::registerProtocol();
        QVERIFY(ProtocolFactory::isProtocolRegistered(kName));
        p = ProtocolNodeFrame1::instance(this);
        QCOMPARE(ProtocolNodeFrame1::existing(), p);
        p->setActive(true);
    }
    void cleanupTestCase() { fx.tearDown(); }
    void init()
    {
        fx.reset();
        p->queue.takeAll();
    }

    void shapeOfTheProtocol()
    {
        QCOMPARE(p->name(), kName);
        QCOMPARE(p->head(), QByteArray("\x55\x03", 2));
        QVERIFY(p->isVariableLength());
        QCOMPARE(p->minFrameLength(), 27);
        QCOMPARE(p->maxFrameLength(), 28 + 20 * 255);
        QCOMPARE(p->exportColumns(), (QStringList{"role", "id", "systemTime(ms)", "localTime(ms)", "voltage(V)",
                                                  "nodeCount", "role", "id", "pos_x(m)", "pos_y(m)", "pos_z(m)"}));
    }

    // First frame, on a page without 3D views: no records, only voltage(V).
    void emptyFrameWritesOnlyTheVoltage()
    {
        TestTrelvan::setCurrentManager(fx.flatPage);
        fx.feed(sim::nodeFrame1(header()));
        QVERIFY(p->voltageItem && p->voltageItem->isUsed());
        QCOMPARE(p->voltageItem->lastValue(), double(3.7f));
        QVERIFY(p->nodeItems.isEmpty());
        const auto records = p->queue.takeAll();
        QCOMPARE(records.size(), 1);
        QVERIFY(records[0]->nodes.isEmpty());
        QCOMPARE(p->fillExportRow().size(), 6);
        // A node seen here gets no 3D item: this page offers none.
        NodeFrame1Fields f = header();
        f.nodes = {NodeFrame1Record{2, 8, {1000, 2000, 3000}}};
        fx.feed(sim::nodeFrame1(f));
        QVERIFY(p->nodeItems.value(2).value(8));
        QVERIFY(p->nodeItems.value(2).value(8)->scatter);
        QVERIFY(!p->nodeItems.value(2).value(8)->scatter3D);
    }

    void recordsGetPositionItemsAndExportColumns()
    {
        TestTrelvan::setCurrentManager(fx.fullPage);
        NodeFrame1Fields f = header();
        f.nodes = {NodeFrame1Record{2, 5, {-1, -8388608, 123456}}, NodeFrame1Record{1, 3, {10, 20, 30}},
                   NodeFrame1Record{-1, 7, {0, 0, 0}}, NodeFrame1Record{2, 5, {1500, 2500, 3500}},
                   NodeFrame1Record{0, 1, {4, 5, 6}}};
        const QByteArray frame = sim::nodeFrame1(f);
        QCOMPARE(frame.size(), 28 + 20 * 5);
        fx.feed(frame);

        // T_5 twice in one frame: both positions, in order, into one set of items.
        const QList<double> xs = fx.line(kName, "pos_x[T_5](m)")->values();
        QCOMPARE(xs.mid(xs.size() - 2), (QList<double>{double(-0.001f), 1.5}));
        QCOMPARE(lastOf("pos_y[T_5](m)"), 2.5);
        QCOMPARE(lastOf("pos_x[A_3](m)"), double(0.01f));
        QCOMPARE(lastOf("pos_z[N_1](m)"), double(0.006f));
        ProtocolNodeFrame1::NodeItems* t5 = p->nodeItems.value(2).value(5);
        QVERIFY(t5 && t5->scatter && t5->scatter3D);
        QCOMPARE(t5->scatter->name(), QString("T_5"));
        const Scatter3DValue v3 = qobject_cast<Scatter3DResourceItem*>(t5->scatter3D)->lastValue();
        QCOMPARE(v3.x, 1.5f);
        QCOMPARE(v3.z, 3.5f);
        QCOMPARE(v3.a, 0.0f);
        QCOMPARE(qobject_cast<ScatterResourceItem*>(t5->scatter)->lastValue().y, 2.5f);
        QVERIFY(p->nodeItems.value(-1).value(7)); // kept under role -1

        // Roles 1 and -1 are unexpected: one line for the frame, naming the first.
        const QStringList invalid = TestTrelvan::logLines("Invalid node role encountered");
        QCOMPARE(invalid.size(), 1);
        QVERIFY(invalid[0].startsWith('['));
        QVERIFY(invalid[0].endsWith("Invalid node role encountered,role:1,id:3,raw data:" +
                                    QString::fromLatin1(frame.toHex(' '))));

        const auto records = p->queue.takeAll();
        QCOMPARE(records.size(), 1);
        QCOMPARE(records[0]->nodes.size(), 5);
        QCOMPARE(records[0]->systemTime, 3723004u);
        QCOMPARE(records[0]->rawFrame, frame);

        const QList<QVariant> row = p->fillExportRow();
        QCOMPARE(row.size(), 6 + 5 * 5);
        QCOMPARE(row[0].toInt(), 3);
        QCOMPARE(row[1].toInt(), 4);
        QCOMPARE(row[2].toUInt(), 3723004u);     // systemTime before localTime
        QCOMPARE(row[3].toUInt(), 0xFFFFFFFFu);
        QCOMPARE(row[4].toFloat(), 3.7f);
        QCOMPARE(row[5].toInt(), 5);
        QCOMPARE(row[6].toInt(), 2);
        QCOMPARE(row[8].toFloat(), -0.001f);
        QCOMPARE(row[9].toFloat(), -8388.608f);
        QCOMPARE(row[10].toFloat(), 123.456f);
        QCOMPARE(row[16].toInt(), -1);
        QCOMPARE(row[26].toInt(), 0);

        // Seen again: the same items, none new.
        const int collected = p->lineCollector()->items().size();
        fx.feed(sim::nodeFrame1(f));
        QCOMPARE(p->lineCollector()->items().size(), collected);
    }

    void countPastTheFrameLeavesEverythingUntouched()
    {
        TestTrelvan::setCurrentManager(fx.fullPage);
        const double before = lastOf("pos_x[T_5](m)");
        const int collected = p->lineCollector()->items().size();
        NodeFrame1Fields f = header();
        f.voltage = 1234;
        f.nodes = {NodeFrame1Record{2, 5, {9999, 0, 0}}, NodeFrame1Record{2, 200, {1, 1, 1}}};
        f.countOverride = 3;
        fx.feed(sim::nodeFrame1(f));
        QCOMPARE(p->queue.size(), 0);
        QCOMPARE(lastOf("pos_x[T_5](m)"), before);
        QVERIFY(lastOf("voltage(V)") != double(1.234f));
        QCOMPARE(p->lineCollector()->items().size(), collected);
        QCOMPARE(TestTrelvan::logLines("reaches past the frame").size(), 1);
        QVERIFY(p->frameRecord.voltage != 1234);
    }

    void pageShowsOnePositionBoxPerNode()
    {
        TestTrelvan::setCurrentManager(fx.fullPage);
        QWidget host;
        DataResource resource(p->dataItem(), &host);
        auto* page = qobject_cast<Trelvan::WidgetNodeFrame1*>(resource.view());
        QVERIFY(page);
        QVERIFY(!page->isVisible());
        QCOMPARE(page->nodeWidthSpin->value(), 400);
        QCOMPARE(page->nodeHeightSpin->value(), 100);
        QCOMPARE(page->protocolName(), kName);
        QCOMPARE(page->voltageLabel->captionLabel()->text(), QString("voltage(V)"));

        NodeFrame1Fields older = header();
        older.nodes = {NodeFrame1Record{2, 5, {1, 2, 3}}, NodeFrame1Record{0, 1, {7, 7, 7}}};
        NodeFrame1Fields newest = header();
        newest.voltage = 0;
        newest.nodes = {NodeFrame1Record{2, 5, {-1, -8388608, 123456}}};
        fx.feed(sim::nodeFrame1(older) + sim::nodeFrame1(newest));
        page->refresh();
        QCOMPARE(page->localTimeLabel->value(), QString("4294967295"));
        QCOMPARE(page->systemTimeLabel->value(), QString("3723004"));
        QCOMPARE(page->voltageLabel->value(), QString("0"));
        QCOMPARE(page->senderLabel->text(), QString("C_4"));
        Trelvan::WidgetNode1* t5 = page->nodeWidgets.value(2).value(5);
        Trelvan::WidgetNode1* n1 = page->nodeWidgets.value(0).value(1);
        QVERIFY(t5 && n1);
        QCOMPARE(t5->size(), QSize(400, 100));
        QCOMPARE(t5->position->x->value(), QString("-0.001"));
        QCOMPARE(t5->position->y->value(), QString("-8388.61"));
        QCOMPARE(t5->position->z->value(), QString("123.456"));
        QCOMPARE(t5->lightStack->currentIndex(), 1);
        QCOMPARE(n1->lightStack->currentIndex(), 0);
        QCOMPARE(n1->position->x->value(), QString("0.007"));

        p->dataItem()->clear();
        page->refresh();
        QVERIFY(page->nodeWidgets.isEmpty());
        for (ZLabel* label : {page->localTimeLabel, page->systemTimeLabel, page->voltageLabel}) {
            QVERIFY(label->value().isEmpty());
            QVERIFY(!label->captionLabel()->text().isEmpty());
        }
    }
};

TALMENO_TEST_MAIN(TestNodeFrame1)
#include "tst_nodeframe1.moc"
