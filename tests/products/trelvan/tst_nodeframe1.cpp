// Node frame 1 through the real frame search and processor, its export row and page.

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
        p = ProtocolNodeFrame1::instance(this);
        p->setActive(true);
    }
    void cleanupTestCase() { fx.tearDown(); }
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
        QVERIFY(p->nodeItems.value(-1).value(7)); // kept under role -1

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
        TestTrelvan::setCurrentManager(fx.fullPage);
        QWidget host;
        DataResource resource(p->dataItem(), &host);
        auto* page = qobject_cast<Trelvan::WidgetNodeFrame1*>(resource.view());
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
};

TALMENO_TEST_MAIN(TestNodeFrame1)
#include "tst_nodeframe1.moc"
