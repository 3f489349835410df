// Node frame 2 through the real frame search and processor: its items (frame
// level, the three "tag" items, per-peer items), queued records, export row,
// invalid-role line and damaged frames; then its page built through the data
// item: the navigation panel, one box per peer, clearing.

#include "support/EventLog.h"
#include "support/testenv.h"

#include "helpers/TestCapture.h"
#include "model/ModelManager.h"
#include "model/ResourceItems.h"
#include "products/trelvan/protocols/NodeLabel.h"
#include "products/trelvan/protocols/ProtocolNodeFrame2.h"
#include "products/trelvan/views/ValueGrids.h"
#include "products/trelvan/views/WidgetNodeFrame2.h"
#include "protocol/ProtocolDataProcessor.h"
#include "protocol/ProtocolFactory.h"
#include "protocol/ProtocolFrameExtraction.h"
#include "protocol/ProtocolSeams.h"
#include "sim/TrelvanScenario.h"
#include "views/DataResource.h"
#include "widgets/PlainTextEditWithFile.h"
#include "widgets/ZLabel.h"

#include <QLabel>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QVector3D>

using Trelvan::ProtocolNodeFrame2;
using sim::NodeFrame2Fields;
using sim::NodeFrame2Record;
using TestTrelvan::logLines;

namespace {
// A frame with every edge value of the navigation state.
NodeFrame2Fields edgeFields()
{
    NodeFrame2Fields f;
    f.role = 2;
    f.id = 7;
    f.systemTime = 0xFFFFFFFFu;
    f.localTime = 3723004;
    f.eop = {255, 10, 1};
    f.posMm = {-1, -8388608, 1234};
    f.vel = {12345, -10000, 0};
    f.r012 = {-5, 6, 8388607};
    f.g = {0.1f, -0.2f, 1234567.0f};
    f.a = {9.81f, 0.0f, -0.001f};
    f.r456 = {1.5f, 2.5f, 3.5f};
    f.angle = {-18000, 9000, 1};
    f.q = {1.0f, 0.5f, -0.25f, 0.125f};
    f.r7 = 7.0f;
    f.r8 = 8.0f;
    f.r9 = 9.0f;
    f.plr = 600;
    f.voltage = 3700;
    return f;
}
} // namespace

class TestNodeFrame2 : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir;
    ModelManager* flatPage = nullptr; // 3D views off: no Scatter3D, no Attitude
    ModelManager* fullPage = nullptr;
    ProtocolFrameExtraction* ex = nullptr;
    ProtocolNodeFrame2* p = nullptr;

    void feed(const QByteArray& bytes)
    {
        ex->appendData(bytes);
        ex->extractFrames();
        ProtocolDataProcessor::instance()->processFrames();
    }
    LineResourceItem* line(const QString& name)
    {
        return qobject_cast<LineResourceItem*>(
            fullPage->createResource(ResourceType::Line, p->name(), name, true, nullptr, false));
    }
    double lastOf(const QString& name)
    {
        LineResourceItem* item = line(name);
        return item ? item->lastValue() : qQNaN();
    }

private slots:
    void initTestCase()
    {
        TestTrelvan::startLogCapture();
        QVERIFY(dir.isValid());
        flatPage = new ModelManager(dir.filePath("flat.ini"),
                                    {ResourceType::Data, ResourceType::Line, ResourceType::Scatter}, this);
        fullPage = new ModelManager(dir.filePath("full.ini"),
                                    {ResourceType::Data, ResourceType::Line, ResourceType::Scatter,
                                     ResourceType::Attitude, ResourceType::Scatter3D},
                                    this);
        ProtocolSeams::setCurrentModelManagerLookup(&TestTrelvan::currentManager);
        Trelvan::installNodeLabel();
        ex = ProtocolFrameExtraction::instance();

        ProtocolFactory::clearRegistrations();
        ProtocolNodeFrame2::registerProtocol();
        QVERIFY(ProtocolFactory::isProtocolRegistered("Vexa_Trelvan_Node_Frame2"));
        QVERIFY(!ProtocolNodeFrame2::existing());
        p = ProtocolNodeFrame2::instance(this);
        QCOMPARE(ProtocolNodeFrame2::existing(), p);
        QCOMPARE(ProtocolNodeFrame2::instance(), p);
        p->setActive(true);
    }

    void cleanupTestCase()
    {
        ProtocolSeams::setCurrentModelManagerLookup(nullptr);
        TestTrelvan::stopLogCapture();
    }

    void init()
    {
        ex->clearBuffers();
        p->queue.takeAll();
        TestTrelvan::clearLog();
    }

    void shapeOfTheProtocol()
    {
        QCOMPARE(p->name(), QString("Vexa_Trelvan_Node_Frame2"));
        QCOMPARE(p->head(), QByteArray("\x55\x04", 2));
        QVERIFY(p->isVariableLength());
        QCOMPARE(p->minFrameLength(), 119);
        QCOMPARE(p->frameLength(), 119);
        QCOMPARE(p->queue.name_, p->name());
        const QStringList columns{
            "plr",        "r0",          "r1",          "r2",          "r4",          "r5",
            "r6",         "r7",          "r8",          "r9",          "localTime(ms)", "systemTime(ms)",
            "eop_x(m)",   "eop_y(m)",    "eop_z(m)",    "pos_x(m)",    "pos_y(m)",    "pos_z(m)",
            "vel_x(m/s)", "vel_y(m/s)",  "vel_z(m/s)",  "g_x(rad/s)",  "g_y(rad/s)",  "g_z(rad/s)",
            "a_x(m/s^2)", "a_y(m/s^2)",  "a_z(m/s^2)",  "angle_x(deg)", "angle_y(deg)", "angle_z(deg)",
            "q_0",        "q_1",         "q_2",         "q_3",         "voltage(V)",  "nodeCount",
            "role",       "id",          "dis(m)",      "fpRssi(dB)",  "rxRssi(dB)"};
        QCOMPARE(p->exportColumns(), columns);
    }

    // First frame of the run, on a page with the 3D views off: registered there,
    // nothing absent is written, the rest is.
    void threeDViewsOffParsesAndSkipsThe3DItems()
    {
        TestTrelvan::setCurrentManager(flatPage);
        NodeFrame2Fields f = edgeFields();
        f.nodes = {NodeFrame2Record{1, 30, 2500, 0xA0, 1}};
        feed(sim::nodeFrame2(f));
        QVERIFY(p->nodeItems.value(1).value(30));
        QCOMPARE(p->nodeItems.value(1).value(30)->dis->lastValue(), 2.5);
        QVERIFY(p->isDataItemsRegistered());
        QVERIFY(p->tagScatter);
        QVERIFY(!p->tagScatter3D);
        QVERIFY(!p->tagAttitude);
        QCOMPARE(p->queue.size(), 1);
        QVERIFY(p->posItems.value(0));
        QCOMPARE(p->posItems[0]->lastValue(), double(-0.001f));
        auto* scatter = qobject_cast<ScatterResourceItem*>(p->tagScatter);
        QVERIFY(scatter);
        QCOMPARE(scatter->lastValue().x, -0.001f);
        QCOMPARE(scatter->lastValue().y, -8388.608f);
        QCOMPARE(scatter->lastValue().angle, 0.0f);
        QVERIFY(p->dataItem());
        QVERIFY(p->dataItem()->isDirty());
    }

    void registrationMakesTheItemsInOrder()
    {
        TestTrelvan::setCurrentManager(fullPage);
        p->processFrame(sim::nodeFrame2(NodeFrame2Fields{})); // takes this page's manager
        p->registerDataItems();
        QVERIFY(p->tagScatter && p->tagScatter3D && p->tagAttitude);
        QCOMPARE(p->tagScatter->name(), QString("tag"));
        QCOMPARE(p->tagScatter3D->name(), QString("tag"));
        QCOMPARE(p->tagAttitude->name(), QString("tag"));
        QStringList names;
        const QList<LineResourceItem*> items = p->lineCollector()->items();
        for (LineResourceItem* item : items)
            names << item->name();
        // The collector keeps the flat page's items too; the last 38 are this page's.
        const QStringList expected{"plr", "r0", "r1", "r2", "r4", "r5", "r6", "r7", "r8", "r9", "systemTime(ms)",
                                   "pos_x(m)", "pos_y(m)", "pos_z(m)", "vel_x(m/s)", "vel_y(m/s)", "vel_z(m/s)",
                                   "g_x(rad/s)", "g_y(rad/s)", "g_z(rad/s)", "a_x(m/s^2)", "a_y(m/s^2)",
                                   "a_z(m/s^2)", "angle_x(deg)", "angle_y(deg)", "angle_z(deg)", "q_0", "q_1",
                                   "q_2", "q_3", "eop_x(m)", "eop_y(m)", "eop_z(m)", "voltage(V)"};
        QVERIFY(names.size() >= expected.size());
        QCOMPARE(names.mid(names.size() - expected.size()), expected);
        for (const QString& n : expected)
            QVERIFY2(line(n) && line(n)->isUsed(), qPrintable(n));
        QCOMPARE(p->dataItem()->factory() != nullptr, true);
    }

    void frameLevelValuesAreScaled()
    {
        TestTrelvan::setCurrentManager(fullPage);
        feed(sim::nodeFrame2(edgeFields()));
        QCOMPARE(lastOf("plr"), 1.0);
        QCOMPARE(lastOf("voltage(V)"), double(3.7f));
        QCOMPARE(lastOf("systemTime(ms)"), 4294967295.0); // unsigned, not -1
        QCOMPARE(lastOf("pos_x(m)"), double(-0.001f));
        QCOMPARE(lastOf("pos_y(m)"), double(-8388.608f));
        QCOMPARE(lastOf("pos_z(m)"), double(1.234f));
        QCOMPARE(lastOf("vel_x(m/s)"), double(1.2345f));
        QCOMPARE(lastOf("vel_y(m/s)"), -1.0);
        QCOMPARE(lastOf("angle_x(deg)"), -180.0);
        QCOMPARE(lastOf("angle_y(deg)"), 90.0);
        QCOMPARE(lastOf("angle_z(deg)"), double(0.01f));
        QCOMPARE(lastOf("eop_x(m)"), double(2.55f));
        QCOMPARE(lastOf("eop_z(m)"), double(0.01f));
        QCOMPARE(lastOf("g_z(rad/s)"), 1234567.0);
        QCOMPARE(lastOf("a_x(m/s^2)"), double(9.81f));
        QCOMPARE(lastOf("q_3"), 0.125);
        QCOMPARE(lastOf("r0"), -5.0);
        QCOMPARE(lastOf("r2"), 8388607.0);
        QCOMPARE(lastOf("r5"), 2.5);
        QCOMPARE(lastOf("r7"), 7.0);
        QCOMPARE(lastOf("r9"), 9.0);

        const Scatter3DValue v3 = qobject_cast<Scatter3DResourceItem*>(p->tagScatter3D)->lastValue();
        QCOMPARE(v3.x, -0.001f);
        QCOMPARE(v3.y, -8388.608f);
        QCOMPARE(v3.z, 1.234f);
        QCOMPARE(v3.a, -180.0f);
        QCOMPARE(v3.b, 90.0f);
        QCOMPARE(v3.c, 0.01f);
        QCOMPARE(qobject_cast<AttitudeResourceItem*>(p->tagAttitude)->lastValue(), QVector3D(-180.0f, 90.0f, 0.01f));

        const auto records = p->queue.takeAll();
        QCOMPARE(records.size(), 1);
        QCOMPARE(records[0]->systemTime, 0xFFFFFFFFu);
        QCOMPARE(records[0]->rawFrame.size(), 120);
        QCOMPARE(records[0]->rawFrame, sim::nodeFrame2(edgeFields()));
        QVERIFY(records[0]->nodes.isEmpty());
        QCOMPARE(int(records[0]->frame.id), 7);
        QVERIFY(records[0]->pcTime > 0 && records[0]->pcTime < 86400000);

        // Without nodes the row ends with nodeCount.
        const QList<QVariant> row = p->fillExportRow();
        QCOMPARE(row.size(), 36);
        QCOMPARE(row.last().toInt(), 0);
        QCOMPARE(row[0].toFloat(), 1.0f);
        QCOMPARE(row[1].toFloat(), -5.0f);
        QCOMPARE(row[10].toUInt(), 3723004u);
        QCOMPARE(row[11].toUInt(), 0xFFFFFFFFu);
        QCOMPARE(row[12].toFloat(), 2.55f);
        QCOMPARE(row[15].toFloat(), -0.001f);
        QCOMPARE(row[18].toFloat(), 1.2345f);
        QCOMPARE(row[27].toFloat(), -180.0f);
        QCOMPARE(row[33].toFloat(), 0.125f);
        QCOMPARE(row[34].toFloat(), 3.7f);
    }

    void peersGetTheirItemsOnFirstSight()
    {
        TestTrelvan::setCurrentManager(fullPage);
        NodeFrame2Fields f = edgeFields();
        f.nodes = {NodeFrame2Record{1, 3, -1, 0xA0, 200}, NodeFrame2Record{0, 4, 1500, 1, 2},
                   NodeFrame2Record{1, 3, 4000, 10, 20}, NodeFrame2Record{2, 9, 8388607, 255, 0}};
        const QByteArray frame = sim::nodeFrame2(f);
        QCOMPARE(frame.size(), 120 + 13 * 4);
        feed(frame);

        LineResourceItem* dis = line("dis[A_3](m)");
        QVERIFY(dis);
        QCOMPARE(p->nodeItems.value(1).value(3)->dis, dis);
        // The same (role, id) twice: both values, in frame order, into one item.
        const QList<double> values = dis->values();
        QVERIFY(values.size() >= 2);
        QCOMPARE(values[values.size() - 2], double(-0.001f));
        QCOMPARE(values.last(), 4.0);
        QCOMPARE(lastOf("fpRssi[A_3](dB)"), -5.0);
        QCOMPARE(lastOf("rxRssi[A_3](dB)"), -10.0);
        QCOMPARE(lastOf("dis[N_4](m)"), 1.5);
        QCOMPARE(lastOf("fpRssi[N_4](dB)"), -0.5);
        QCOMPARE(lastOf("rxRssi[N_4](dB)"), -1.0);
        // An unexpected role is logged and still decoded.
        QCOMPARE(lastOf("dis[T_9](m)"), double(8388.607f));
        QCOMPARE(lastOf("fpRssi[T_9](dB)"), -127.5);
        const QStringList invalid = logLines("Invalid node role encountered");
        QCOMPARE(invalid.size(), 1);
        QVERIFY(invalid[0].contains(QString("Invalid node role encountered,role:2,id:9,raw data:") +
                                    QString::fromLatin1(frame.toHex(' '))));
        QVERIFY(invalid[0].startsWith('['));

        const auto records = p->queue.takeAll();
        QCOMPARE(records.size(), 1);
        QCOMPARE(records[0]->nodes.size(), 4);
        QCOMPARE(int(records[0]->nodes[2].id), 3);
        QCOMPARE(int(records[0]->nodes[3].role), 2);

        // Export row: one group per record, in frame order.
        const QList<QVariant> row = p->fillExportRow();
        QCOMPARE(row.size(), 36 + 5 * 4);
        QCOMPARE(row[35].toInt(), 4);
        QCOMPARE(row[36].toInt(), 1);
        QCOMPARE(row[37].toInt(), 3);
        QCOMPARE(row[38].toFloat(), -0.001f);
        QCOMPARE(row[39].toFloat(), -80.0f);
        QCOMPARE(row[40].toFloat(), -100.0f);
        QCOMPARE(row[51].toInt(), 2);
        QCOMPARE(row[52].toInt(), 9);

        // Seen again: the same items, no new ones.
        const int collected = p->lineCollector()->items().size();
        f.nodes = {NodeFrame2Record{1, 3, 3000, 0, 0}};
        feed(sim::nodeFrame2(f));
        QCOMPARE(p->lineCollector()->items().size(), collected);
        QCOMPARE(dis->lastValue(), 3.0);

        // Many invalid records in one frame: one line, for the first of them.
        f.nodes.clear();
        for (int i = 0; i < 200; ++i)
            f.nodes.append(NodeFrame2Record{qint8(i % 2 ? 5 : -3), quint8(100 + i % 3), 1, 0, 0});
        const QByteArray damaged = sim::nodeFrame2(f);
        feed(damaged);
        const QStringList more = logLines("Invalid node role encountered");
        QCOMPARE(more.size(), 2);
        QVERIFY(more[1].contains(QString("Invalid node role encountered,role:-3,id:100,raw data:") +
                                 QString::fromLatin1(damaged.toHex(' '))));
    }

    void damagedFramesAreNotDecoded()
    {
        TestTrelvan::setCurrentManager(fullPage);
        const int dropped = p->droppedFrames;
        // A record count past the frame's end: no frame to the search; dropped whole when handed over.
        NodeFrame2Fields f = edgeFields();
        f.nodes = {NodeFrame2Record{1, 1, 100, 0, 0}};
        f.countOverride = 2;
        feed(sim::nodeFrame2(f));
        QCOMPARE(p->queue.size(), 0);
        QCOMPARE(p->droppedFrames, dropped);
        p->processFrame(sim::nodeFrame2(f));
        QCOMPARE(p->queue.size(), 0);
        QCOMPARE(p->droppedFrames, dropped + 1);

        // A wrong sum is not a frame.
        QByteArray bad = sim::nodeFrame2(edgeFields());
        bad[bad.size() - 1] = char(bad.at(bad.size() - 1) + 1);
        feed(bad);
        QCOMPARE(p->queue.size(), 0);

        // A frame arriving in pieces is decoded once whole.
        const QByteArray good = sim::nodeFrame2(edgeFields());
        ex->appendData(good.left(3));
        ex->extractFrames();
        ex->appendData(good.mid(3, 100));
        ex->extractFrames();
        ProtocolDataProcessor::instance()->processFrames();
        QCOMPARE(p->queue.size(), 0);
        feed(good.mid(103));
        QCOMPARE(p->queue.size(), 1);
        p->queue.takeAll();

        // Frames of the scenario back to back, with noise between them.
        sim::TrelvanScenario scenario;
        QByteArray stream;
        for (int n = 0; n < 20; ++n)
            stream += scenario.nodeFrame2At(n) + QByteArray("\x55\x04\x01", 3);
        feed(stream);
        const auto records = p->queue.takeAll();
        QCOMPARE(records.size(), 20);
        for (int n = 0; n < 20; ++n) {
            QCOMPARE(records[n]->systemTime, scenario.timeOf(n));
            QCOMPARE(records[n]->nodes.size(), 4);
        }
    }

    void pageShowsTheNewestFrameAndOneBoxPerPeer()
    {
        TestTrelvan::setCurrentManager(fullPage);
        if (!p->dataItem()) { // run alone: the first frame makes the items
            feed(sim::nodeFrame2(edgeFields()));
            p->queue.takeAll();
        }
        QWidget host;
        DataResource resource(p->dataItem(), &host);
        auto* page = qobject_cast<Trelvan::WidgetNodeFrame2*>(resource.view());
        QVERIFY(page);
        QVERIFY(!page->isVisible());
        QCOMPARE(page->nodeWidthSpin->value(), 300);
        QCOMPARE(page->nodeHeightSpin->value(), 120);
        QCOMPARE(page->protocolName(), QString("Vexa_Trelvan_Node_Frame2"));
        QCOMPARE(page->plrLabel->captionLabel()->text(), QString("plr"));
        QCOMPARE(page->localTimeLabel->captionLabel()->text(), QString("localTime(ms)"));
        QCOMPARE(page->qGroup->title(), QString("q"));
        QCOMPARE(page->qGroup->labels.size(), 4);

        NodeFrame2Fields older = edgeFields();
        older.plr = 300;
        older.nodes = {NodeFrame2Record{1, 3, 100, 2, 2}, NodeFrame2Record{1, 1, 100, 2, 2}};
        NodeFrame2Fields newest = edgeFields();
        newest.nodes = {NodeFrame2Record{1, 3, 2500, 200, 1}, NodeFrame2Record{0, 2, 700, 4, 6}};
        feed(sim::nodeFrame2(older) + sim::nodeFrame2(newest));
        page->refresh();

        QCOMPARE(page->plrLabel->value(), QString("1"));
        QCOMPARE(page->localTimeLabel->value(), QString("3723004"));
        QCOMPARE(page->systemTimeLabel->value(), QString("4294967295"));
        QCOMPARE(page->voltageLabel->value(), QString("3.7"));
        QCOMPARE(page->posRow->x->value(), QString("-0.001"));
        QCOMPARE(page->posRow->y->value(), QString("-8388.61"));
        QCOMPARE(page->eopRow->x->value(), QString("2.55"));
        QCOMPARE(page->velRow->x->value(), QString("1.2345"));
        QCOMPARE(page->angleRow->x->value(), QString("-180"));
        QCOMPARE(page->gRow->x->value(), QString("0.1"));
        QCOMPARE(page->gRow->z->value(), QString("1.23457e+06"));
        QCOMPARE(page->aRow->z->value(), QString("-0.001"));
        QCOMPARE(page->qGroup->labels[1]->value(), QString("0.5"));
        QCOMPARE(page->qGroup->labels[3]->value(), QString("0.125"));
        QCOMPARE(page->senderLabel->text(), QString("T_7"));
        QCOMPARE(page->nodeCountLabel->value(), QString("2"));

        // Boxes: N_2, A_1, A_3 in role/id order; A_1 only in the older frame.
        QCOMPARE(page->nodes().value(1).size(), 2);
        QCOMPARE(page->nodes().value(0).size(), 1);
        Trelvan::WidgetNode2* a3 = page->box(1, 3);
        Trelvan::WidgetNode2* a1 = page->box(1, 1);
        QVERIFY(a3 && a1);
        QCOMPARE(a3->nameLabel->text(), QString("A_3"));
        QCOMPARE(a3->disLabel->captionLabel()->text(), QString("dis(m)"));
        QCOMPARE(a3->disLabel->value(), QString("2.5")); // the newest of its two records
        QCOMPARE(a3->fpRssiLabel->value(), QString("-100"));
        QCOMPARE(a3->rxRssiLabel->value(), QString("-0.5"));
        QCOMPARE(a3->lightStack->currentIndex(), 1);
        QCOMPARE(a1->lightStack->currentIndex(), 0);
        QCOMPARE(a1->changedLabel->text(), QString("Changed"));
        QCOMPARE(a3->width(), 300);
        page->rawConsole->flushPending();
        QCOMPARE(page->rawConsole->toPlainText().count("55 04 "), 2);

        // Clearing: every panel value empty, captions kept, boxes gone.
        p->dataItem()->clear();
        feed(sim::nodeFrame2(newest)); // taken together with the clear, not shown
        page->refresh();
        QVERIFY(page->nodes().isEmpty());
        QVERIFY(page->findChildren<Trelvan::WidgetNode2*>().isEmpty());
        const QList<ZLabel*> labels = page->panelValueLabels();
        QCOMPARE(labels.size(), 4 + 15 + 4 + 3);
        for (ZLabel* label : labels) {
            QVERIFY2(label->value().isEmpty(), qPrintable(label->captionLabel()->text() + label->value()));
            QVERIFY(!label->captionLabel()->text().isEmpty());
        }
        QCOMPARE(page->posRow->x->captionLabel()->text(), QString("x: "));
        page->rawConsole->flushPending();
        QVERIFY(page->rawConsole->toPlainText().isEmpty());

        // The next record rebuilds the page.
        feed(sim::nodeFrame2(newest));
        page->refresh();
        QCOMPARE(page->nodes().value(1).size(), 1);
        QCOMPARE(page->plrLabel->value(), QString("1"));
    }

    // A peer heard in every refresh keeps its light on: the light is not switched
    // off and on again in between (each switch hides and shows a widget).
    void aLightThatStaysOnIsNotSwitched()
    {
        TestTrelvan::setCurrentManager(fullPage);
        if (!p->dataItem()) { // run alone: the first frame makes the items
            feed(sim::nodeFrame2(edgeFields()));
            p->queue.takeAll();
        }
        QWidget host;
        DataResource resource(p->dataItem(), &host);
        auto* page = qobject_cast<Trelvan::WidgetNodeFrame2*>(resource.view());
        QVERIFY(page);
        page->setParent(&host);
        host.show();
        QVERIFY(page->isVisible());
        NodeFrame2Fields fields = edgeFields();
        fields.nodes = {NodeFrame2Record{1, 3, 100, 2, 2}};
        feed(sim::nodeFrame2(fields));
        page->refresh();
        Trelvan::WidgetNode2* a3 = page->box(1, 3);
        QVERIFY(a3);
        QCOMPARE(a3->lightStack->currentIndex(), 1);
        QTRY_VERIFY(a3->lightStack->widget(1)->isVisible()); // new boxes show with the next turn
        talmeno_test::EventLog hides(QEvent::Hide);
        hides.watch(a3->lightStack->widget(1), "lit");
        for (int i = 0; i < 3; ++i) {
            feed(sim::nodeFrame2(fields));
            page->refresh();
        }
        QCOMPARE(a3->lightStack->currentIndex(), 1);
        QCOMPARE(hides.count("lit"), 0);
        fields.nodes = {NodeFrame2Record{1, 1, 100, 2, 2}};
        feed(sim::nodeFrame2(fields));
        page->refresh();
        QCOMPARE(a3->lightStack->currentIndex(), 0);
        QCOMPARE(hides.count("lit"), 1);
    }
};

TALMENO_TEST_MAIN(TestNodeFrame2)
#include "tst_nodeframe2.moc"
