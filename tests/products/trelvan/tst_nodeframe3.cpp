// Node frame 3 through the real frame search and processor, its export row and page.

#include "support/testenv.h"

#include "helpers/FrameFixture.h"
#include "helpers/TestCapture.h"
#include "model/ResourceItems.h"
#include "products/trelvan/protocols/ProtocolNodeFrame3.h"
#include "products/trelvan/views/WidgetNodeFrame3.h"
#include "protocol/ProtocolFactory.h"
#include "sim/TrelvanScenario.h"
#include "views/DataResource.h"
#include "widgets/PlainTextEditWithFile.h"
#include "widgets/ZLabel.h"

#include <QLabel>

using Trelvan::ProtocolNodeFrame3;
using sim::NodeFrame3Fields;
using sim::NodeFrame3Record;

namespace {
const QString kName = "Vexa_Trelvan_Node_Frame3";

NodeFrame3Fields header()
{
    NodeFrame3Fields f;
    f.role = 0;
    f.id = 6;
    f.localTime = 0xFFFFFFFFu;
    f.systemTime = 0xFFFFFFFEu;
    f.voltage = 3700;
    return f;
}
} // namespace

class TestNodeFrame3 : public QObject
{
    Q_OBJECT

    TestTrelvan::FrameFixture fx;
    ProtocolNodeFrame3* p = nullptr;

    double lastOf(const QString& name) const { return fx.lastOf(kName, name); }

private slots:
    void initTestCase()
    {
        fx.setUp(this);
        ProtocolFactory::clearRegistrations();
        ProtocolNodeFrame3::registerProtocol();
        p = ProtocolNodeFrame3::instance(this);
        p->setActive(true);
        // Its own page offers only Data; tests read its items on a page with lines.
        TestTrelvan::setCurrentManager(fx.fullPage);
    }
    void cleanupTestCase() { fx.tearDown(); }
    void init()
    {
        fx.reset();
        p->queue.takeAll();
    }

    void emptyFrameWritesClocksAndVoltage()
    {
        QCOMPARE(p->exportColumns().join(' '),
                 QString("localTime(ms) systemTime(ms) voltage(V) nodeCount role id dis(m) fpRssi(dB) rxRssi(dB)"));
        fx.feed(sim::nodeFrame3(header()));
        QCOMPARE(lastOf("localTime(ms)"), 4294967295.0); // unsigned, never negative
        QCOMPARE(lastOf("voltage(V)"), double(3.7f));
        QVERIFY(p->nodeItems.isEmpty());
        const QList<QVariant> row = p->fillExportRow();
        QCOMPARE(row.size(), 4);
        // localTime before systemTime, as on the wire.
        QCOMPARE(row[0].toDouble(), 4294967295.0);
        QCOMPARE(row[1].toDouble(), 4294967294.0);
        QCOMPARE(row[2].toFloat(), 3.7f);
    }

    void recordsGetTheirItemsAndExportColumns()
    {
        NodeFrame3Fields f = header();
        f.nodes = {NodeFrame3Record{1, 3, -1, 0xA0, 0}, NodeFrame3Record{2, 9, 123456, 0xFF, 1},
                   NodeFrame3Record{0, 2, 1500, 1, 2}, NodeFrame3Record{5, 1, 0, 0, 0},
                   NodeFrame3Record{1, 3, 4000, 10, 20}};
        const QByteArray frame = sim::nodeFrame3(f);
        fx.feed(frame);
        const QList<double> dis = fx.line(kName, "dis[A_3](m)")->values();
        QCOMPARE(dis.mid(dis.size() - 2), (QList<double>{double(-0.001f), 4.0}));
        QCOMPARE(lastOf("fpRssi[A_3](dB)"), -5.0);
        QCOMPARE(lastOf("rxRssi[A_3](dB)"), -10.0);
        QCOMPARE(lastOf("dis[T_9](m)"), double(123.456f));
        QCOMPARE(lastOf("fpRssi[T_9](dB)"), -127.5);
        QCOMPARE(lastOf("rxRssi[T_9](dB)"), -0.5);

        // Roles 2 and 5 are unexpected: one line for the frame, naming the first.
        const QStringList invalid = TestTrelvan::logLines("Invalid node role encountered");
        QCOMPARE(invalid.size(), 1);
        QVERIFY(invalid[0].endsWith("Invalid node role encountered,role:2,id:9,raw data:55 05 " +
                                    QString::fromLatin1(frame.mid(2).toHex(' '))));

        const QList<QVariant> row = p->fillExportRow();
        QCOMPARE(row.size(), 4 + 5 * 5);
        const QList<QPair<int, double>> cells{{3, 5}, {4, 1}, {5, 3}, {6, -0.001f}, {7, -80}, {8, 0}, {9, 2},
                                              {10, 9}, {11, 123.456f}, {27, -5}};
        for (const auto& c : cells)
            QVERIFY2(row[c.first].toDouble() == c.second, qPrintable(QString::number(c.first)));
    }

    void pageShowsOneBoxPerRangedNode()
    {
        if (!p->dataItem()) { // run alone: the first frame makes the items
            fx.feed(sim::nodeFrame3(header()));
            p->queue.takeAll();
        }
        QWidget host;
        DataResource resource(p->dataItem(), &host);
        auto* page = qobject_cast<Trelvan::WidgetNodeFrame3*>(resource.view());
        QVERIFY(page);

        NodeFrame3Fields older = header();
        older.nodes = {NodeFrame3Record{1, 0, 5000, 1, 1}};
        NodeFrame3Fields newest = header();
        newest.systemTime = 3723004;
        newest.nodes = {NodeFrame3Record{1, 0, 8388607 + 1, 255, 160}}; // int24 wraps to -8388608
        fx.feed(sim::nodeFrame3(older) + sim::nodeFrame3(newest));
        page->refresh();
        QCOMPARE(page->localTimeLabel->value(), QString("4294967295"));
        QCOMPARE(page->systemTimeLabel->value(), QString("3723004"));
        QCOMPARE(page->senderLabel->text(), QString("N_6"));
        Trelvan::WidgetNode3* a0 = page->box(1, 0);
        QVERIFY(a0);
        const QStringList shown{a0->disLabel->value(), a0->fpRssiLabel->value(), a0->rxRssiLabel->value()};
        QCOMPARE(shown, (QStringList{"-8388.61", "-127.5", "-80"}));
        page->rawConsole->flushPending();
        QCOMPARE(page->rawConsole->toPlainText().count("55 05 "), 2); // both frames reach the console

        p->dataItem()->clear();
        page->refresh();
        QVERIFY(page->nodes().isEmpty());
        for (ZLabel* label : {page->localTimeLabel, page->systemTimeLabel, page->voltageLabel})
            QVERIFY(label->value().isEmpty());
    }
};

TALMENO_TEST_MAIN(TestNodeFrame3)
#include "tst_nodeframe3.moc"
