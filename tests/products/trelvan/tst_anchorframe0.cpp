// Anchor frame 0 through the real frame search and processor: the tail-byte check,
// per-tag items, empty slots, repeated ids, the export row and the JSON text sent
// over UDP; then its page: the four frame labels, one box per tag with position
// and distances, the anchor as sender, clearing.

#include "support/testenv.h"

#include "foundation/ZUdpOutput.h"
#include "helpers/TestCapture.h"
#include "model/ModelManager.h"
#include "model/ResourceItems.h"
#include "products/trelvan/protocols/NodeLabel.h"
#include "products/trelvan/protocols/ProtocolAnchorFrame0.h"
#include "products/trelvan/views/ValueGrids.h"
#include "products/trelvan/views/WidgetAnchorFrame0.h"
#include "protocol/ProtocolDataProcessor.h"
#include "protocol/ProtocolFactory.h"
#include "protocol/ProtocolFrameExtraction.h"
#include "protocol/ProtocolSeams.h"
#include "sim/TrelvanScenario.h"
#include "views/DataResource.h"
#include "widgets/PlainTextEditWithFile.h"
#include "widgets/ZLabel.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QUdpSocket>

using Trelvan::ProtocolAnchorFrame0;
using sim::AnchorFrame0Fields;
using sim::AnchorTag;
using TestTrelvan::logLines;

namespace {
AnchorTag tag(quint8 id, std::array<qint32, 3> pos, std::array<quint16, 8> dis = {}, qint8 role = 2)
{
    AnchorTag t;
    t.id = id;
    t.role = role;
    t.posMm = pos;
    t.disCm = dis;
    return t;
}

AnchorFrame0Fields frameFields()
{
    AnchorFrame0Fields f;
    f.localTime = 0xFFFFFFFFu;
    f.plr = 600;
    f.voltage = 3700;
    f.systemTime = 3723004;
    f.id = 4;
    f.role = 1;
    return f;
}
} // namespace

class TestAnchorFrame0 : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir;
    ModelManager* flatPage = nullptr;
    ModelManager* fullPage = nullptr;
    ProtocolFrameExtraction* ex = nullptr;
    ProtocolAnchorFrame0* p = nullptr;
    QUdpSocket receiver;

    void feed(const QByteArray& bytes)
    {
        ex->appendData(bytes);
        ex->extractFrames();
        ProtocolDataProcessor::instance()->processFrames();
    }
    BaseResourceItem* item(ResourceType type, const QString& name)
    {
        return fullPage->createResource(type, p->name(), name, true, nullptr, false);
    }
    double lastOf(const QString& name)
    {
        auto* line = qobject_cast<LineResourceItem*>(item(ResourceType::Line, name));
        return line ? line->lastValue() : qQNaN();
    }
    QJsonObject receive()
    {
        if (!receiver.hasPendingDatagrams() && !receiver.waitForReadyRead(2000))
            return QJsonObject();
        QByteArray d(int(receiver.pendingDatagramSize()), '\0');
        receiver.readDatagram(d.data(), d.size());
        lastText = d;
        return QJsonDocument::fromJson(d).object();
    }
    QByteArray lastText;

private slots:
    void initTestCase()
    {
        TestTrelvan::startLogCapture(true);
        QVERIFY(dir.isValid());
        flatPage = new ModelManager(dir.filePath("flat.ini"),
                                    {ResourceType::Data, ResourceType::Line, ResourceType::Scatter}, this);
        fullPage = new ModelManager(dir.filePath("full.ini"),
                                    {ResourceType::Data, ResourceType::Line, ResourceType::Scatter,
                                     ResourceType::Scatter3D},
                                    this);
        ProtocolSeams::setCurrentModelManagerLookup(&TestTrelvan::currentManager);
        Trelvan::installNodeLabel();
        ex = ProtocolFrameExtraction::instance();
        QVERIFY(receiver.bind(QHostAddress(QHostAddress::LocalHost), quint16(0)));
        udpOutputPort = receiver.localPort();
        udpOutputEnabled = false;

        ProtocolFactory::clearRegistrations();
        ProtocolAnchorFrame0::registerProtocol();
        QVERIFY(ProtocolFactory::isProtocolRegistered("Vexa_Trelvan_Anchor_Frame0"));
        p = ProtocolAnchorFrame0::instance(this);
        QCOMPARE(ProtocolAnchorFrame0::existing(), p);
        p->setActive(true);
    }

    void cleanupTestCase()
    {
        udpOutputEnabled = false;
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
        QCOMPARE(p->name(), QString("Vexa_Trelvan_Anchor_Frame0"));
        QCOMPARE(p->head(), QByteArray("\x55\x00", 2));
        QVERIFY(!p->isVariableLength());
        QCOMPARE(p->frameLength(), 896);
        QCOMPARE(p->exportColumns(),
                 (QStringList{"plr", "role", "id", "localTime(ms)", "systemTime(ms)", "voltage(V)", "id", "pos_x(m)",
                              "pos_y(m)", "pos_z(m)", "dis_0(m)", "dis_1(m)", "dis_2(m)", "dis_3(m)", "dis_4(m)",
                              "dis_5(m)", "dis_6(m)", "dis_7(m)"}));
        // The preset frame: head, 30 records of id 0, tail.
        QCOMPARE(int(p->frameRecord.head[1]), 0);
        QCOMPARE(int(p->frameRecord.nodes[29].id), 0);
        QCOMPARE(int(p->frameRecord.tail), 0xEE);
    }

    // The first frame, on a page without 3D items: the 3D point of each tag is absent.
    void allEmptySlotsWithout3D()
    {
        TestTrelvan::setCurrentManager(flatPage);
        udpOutputEnabled = true;
        feed(sim::anchorFrame0(frameFields()));
        QVERIFY(p->isDataItemsRegistered());
        QCOMPARE(p->validNodeCountItem->lastValue(), 0.0);
        QCOMPARE(p->plrItem->lastValue(), 1.0);
        QCOMPARE(p->voltageItem->lastValue(), double(3.7f));
        const auto records = p->queue.takeAll();
        QCOMPARE(records.size(), 1);
        QVERIFY(records[0]->nodes.isEmpty());
        QCOMPARE(p->fillExportRow().size(), 6);
        // No frame with tags sent yet: "tags" is null; no local time.
        const QJsonObject o = receive();
        // Scaled numbers in single precision, widened as they stand: 3700 mV is 3.7f.
        QCOMPARE(lastText, QByteArray(R"({"anchor_frame0":{"id":4,"plr":1.0,"role":1,"system_time":3723004,"tags":null,"voltage":3.700000047683716}})"));
        QVERIFY(o.contains("anchor_frame0"));

        AnchorFrame0Fields f = frameFields();
        f.tagSlots[3] = tag(8, {1000, 2000, 3000});
        feed(sim::anchorFrame0(f));
        QVERIFY(p->tagItems.value(8));
        QVERIFY(p->tagItems.value(8)->scatter);
        QVERIFY(!p->tagItems.value(8)->scatter3D);
        QCOMPARE(p->tagItems.value(8)->pos[2]->lastValue(), 3.0);
        receive();
        udpOutputEnabled = false;
    }

    void tailByteAloneDecides()
    {
        TestTrelvan::setCurrentManager(fullPage);
        AnchorFrame0Fields f = frameFields();
        f.tagSlots[0] = tag(1, {1, 2, 3});
        QByteArray frame = sim::anchorFrame0(f);
        frame[500] = char(0x77); // the sum is no longer anything in particular
        feed(frame);
        QCOMPARE(p->queue.size(), 1);
        p->queue.takeAll();

        f.tail = 0xED;
        feed(sim::anchorFrame0(f));
        QCOMPARE(p->queue.size(), 0);

        // In two pieces, after noise.
        f.tail = 0xEE;
        const QByteArray good = sim::anchorFrame0(f);
        ex->appendData(QByteArray("\x01\x55\x00\x02", 4) + good.left(400));
        ex->extractFrames();
        ProtocolDataProcessor::instance()->processFrames();
        QCOMPARE(p->queue.size(), 0);
        feed(good.mid(400));
        QCOMPARE(p->queue.size(), 1);
    }

    void tagsGetTheirItems()
    {
        TestTrelvan::setCurrentManager(fullPage);
        p->processFrame(sim::anchorFrame0(frameFields()));
        p->registerDataItems(); // this page's frame items
        p->queue.takeAll();
        AnchorFrame0Fields f = frameFields();
        f.tagSlots[1] = tag(5, {-1, -8388608, 8388607}, {65535, 1, 100, 0, 0, 0, 0, 250});
        f.tagSlots[4] = tag(6, {1500, 2500, 0}, {10, 20, 30, 40, 50, 60, 70, 80}, -3);
        feed(sim::anchorFrame0(f));

        QCOMPARE(lastOf("pos_x[5](m)"), double(-0.001f));
        QCOMPARE(lastOf("pos_y[5](m)"), double(-8388.608f));
        QCOMPARE(lastOf("pos_z[5](m)"), double(8388.607f));
        QCOMPARE(lastOf("dis_0[5](m)"), double(655.35f));
        QCOMPARE(lastOf("dis_1[5](m)"), double(0.01f));
        QCOMPARE(lastOf("dis_7[5](m)"), 2.5);
        QCOMPARE(lastOf("dis_7[6](m)"), double(0.8f));
        QCOMPARE(lastOf("validNodeCount"), 2.0);
        auto* scatter = qobject_cast<ScatterResourceItem*>(item(ResourceType::Scatter, "5"));
        QVERIFY(scatter);
        QCOMPARE(scatter->lastValue().x, -0.001f);
        QCOMPARE(scatter->lastValue().y, -8388.608f);
        auto* s3 = qobject_cast<Scatter3DResourceItem*>(item(ResourceType::Scatter3D, "6"));
        QVERIFY(s3);
        QCOMPARE(s3->lastValue().x, 1.5f);
        QCOMPARE(s3->lastValue().y, 2.5f);
        QCOMPARE(s3->lastValue().a, 0.0f);
        QCOMPARE(p->tagItems.value(6)->scatter3D, static_cast<BaseResourceItem*>(s3));
        // Scatter items do not join the collector; the line items do.
        for (LineResourceItem* line : p->lineCollector()->items())
            QVERIFY(line->name() != "5");
        QVERIFY(p->lineCollector()->items().contains(
            qobject_cast<LineResourceItem*>(item(ResourceType::Line, "dis_3[6](m)"))));

        const auto records = p->queue.takeAll();
        QCOMPARE(records.size(), 1);
        QCOMPARE(records[0]->nodes.size(), 2);
        QCOMPARE(int(records[0]->nodes[1].role), -3);
        QCOMPARE(records[0]->systemTime, 3723004u);
        QCOMPARE(records[0]->rawFrame.size(), 896);

        const QList<QVariant> row = p->fillExportRow();
        QCOMPARE(row.size(), 6 + 12 * 2);
        QCOMPARE(row[0].toFloat(), 1.0f);
        QCOMPARE(row[1].toInt(), 1);
        QCOMPARE(row[2].toInt(), 4);
        QCOMPARE(row[3].toUInt(), 0xFFFFFFFFu);
        QCOMPARE(row[4].toUInt(), 3723004u);
        QCOMPARE(row[5].toFloat(), 3.7f);
        QCOMPARE(row[6].toInt(), 5);
        QCOMPARE(row[7].toFloat(), -0.001f);
        QCOMPARE(row[10].toFloat(), 655.35f);
        QCOMPARE(row[18].toInt(), 6);
        QCOMPARE(row[29].toFloat(), 0.8f);

        // A tag absent from later frames keeps its values; a new one joins late.
        const int collected = p->lineCollector()->items().size();
        AnchorFrame0Fields g = frameFields();
        g.tagSlots[29] = tag(200, {1, 1, 1});
        feed(sim::anchorFrame0(g));
        QCOMPARE(lastOf("dis_0[5](m)"), double(655.35f));
        QCOMPARE(p->lineCollector()->items().size(), collected + 11);
        QCOMPARE(lastOf("validNodeCount"), 1.0);
    }

    void repeatedIdsAreReportedAndKept()
    {
        TestTrelvan::setCurrentManager(fullPage);
        AnchorFrame0Fields f = frameFields();
        f.tagSlots[0] = tag(3, {1000, 0, 0});
        f.tagSlots[2] = tag(7, {0, 0, 0});
        f.tagSlots[5] = tag(3, {2000, 0, 0});
        feed(sim::anchorFrame0(f));
        const auto records = p->queue.takeAll();
        QCOMPARE(records.size(), 1);
        QCOMPARE(records[0]->nodes.size(), 3);
        QCOMPARE(lastOf("validNodeCount"), 2.0);
        QCOMPARE(lastOf("pos_x[3](m)"), 2.0); // the later slot wrote last
        const QStringList repeat = logLines("id repeat:");
        QCOMPARE(repeat.size(), 1);
        QVERIFY2(repeat[0].contains("id repeat: (3, 7, 3)"), qPrintable(repeat[0]));
        QVERIFY(repeat[0].startsWith('['));
        QCOMPARE(p->fillExportRow().size(), 6 + 12 * 3);
    }

    void jsonTextOfEachFrame()
    {
        TestTrelvan::setCurrentManager(fullPage);
        while (receiver.hasPendingDatagrams())
            receive();
        udpOutputEnabled = true;
        AnchorFrame0Fields f = frameFields();
        f.role = -2;
        f.tagSlots[2] = tag(9, {1500, -250, 0}, {100, 200, 300, 400, 500, 600, 700, 65535});
        feed(sim::anchorFrame0(f));
        QJsonObject o = receive().value("anchor_frame0").toObject();
        QCOMPARE(o.keys(), (QStringList{"id", "plr", "role", "system_time", "tags", "voltage"}));
        QCOMPARE(o.value("id").toInt(), 4);
        QCOMPARE(o.value("role").toInt(), -2);
        QCOMPARE(o.value("system_time").toDouble(), 3723004.0);
        QCOMPARE(o.value("voltage").toDouble(), double(3.7f));
        QJsonArray tags = o.value("tags").toArray();
        QCOMPARE(tags.size(), 1);
        const QJsonObject t = tags[0].toObject();
        QCOMPARE(t.keys(), (QStringList{"dis", "id", "pos", "role"}));
        QCOMPARE(t.value("id").toInt(), 9);
        QCOMPARE(t.value("role").toInt(), 2);
        QCOMPARE(t.value("pos").toArray(), (QJsonArray{1.5, -0.25, 0.0}));
        QCOMPARE(t.value("dis").toArray()[7].toDouble(), double(655.35f));
        QVERIFY(lastText.startsWith(R"({"anchor_frame0":{"id":4,"plr":1.0,"role":-2,"system_time":3723004,"tags":[{"dis":[1.0,2.0,3.0,4.0,5.0,6.0,7.0,655.3499755859375],"id":9,)"));

        // The next frame's tags replace the earlier ones; an empty frame sends [].
        feed(sim::anchorFrame0(frameFields()));
        o = receive().value("anchor_frame0").toObject();
        QVERIFY(o.value("tags").isArray());
        QCOMPARE(o.value("tags").toArray().size(), 0);

        udpOutputEnabled = false;
        feed(sim::anchorFrame0(f));
        QVERIFY(!receiver.waitForReadyRead(150));
        p->queue.takeAll();
    }

    void pageShowsFrameLabelsAndOneBoxPerTag()
    {
        TestTrelvan::setCurrentManager(fullPage);
        if (!p->dataItem()) { // run alone: the first frame makes the items
            feed(sim::anchorFrame0(frameFields()));
            p->queue.takeAll();
        }
        QWidget host;
        DataResource resource(p->dataItem(), &host);
        auto* page = qobject_cast<Trelvan::WidgetAnchorFrame0*>(resource.view());
        QVERIFY(page);
        QCOMPARE(page->nodeWidthSpin->value(), 400);
        QCOMPARE(page->nodeHeightSpin->value(), 200);
        QCOMPARE(page->localTimeLabel->captionLabel()->text(), QString("localTime(ms)"));
        QCOMPARE(page->plrLabel->captionLabel()->text(), QString("plr"));

        AnchorFrame0Fields older = frameFields();
        older.tagSlots[0] = tag(5, {1, 1, 1}, {1, 1, 1, 1, 1, 1, 1, 1});
        older.tagSlots[1] = tag(6, {1, 1, 1});
        AnchorFrame0Fields newer = frameFields();
        newer.tagSlots[7] = tag(5, {-1, 8388607, 2500}, {65535, 150, 0, 0, 0, 0, 0, 1});
        feed(sim::anchorFrame0(older) + sim::anchorFrame0(newer));
        page->refresh();

        QCOMPARE(page->plrLabel->value(), QString("1"));
        QCOMPARE(page->voltageLabel->value(), QString("3.7"));
        QCOMPARE(page->localTimeLabel->value(), QString("4294967295"));
        QCOMPARE(page->systemTimeLabel->value(), QString("3723004"));
        QCOMPARE(page->senderLabel->text(), QString("A_4"));
        QCOMPARE(page->nodeCountLabel->value(), QString("1"));
        Trelvan::WidgetAnchor0* box5 = page->box(2, 5);
        Trelvan::WidgetAnchor0* box6 = page->box(2, 6);
        QVERIFY(box5 && box6);
        QCOMPARE(box5->nameLabel->text(), QString("T_5"));
        QCOMPARE(box5->position->x->value(), QString("-0.001"));
        QCOMPARE(box5->position->y->value(), QString("8388.61"));
        QCOMPARE(box5->position->z->value(), QString("2.5"));
        QCOMPARE(box5->distances->title(), QString("dis(m)"));
        QCOMPARE(box5->distances->labels.size(), 8);
        QCOMPARE(box5->distances->labels[0]->value(), QString("655.35"));
        QCOMPARE(box5->distances->labels[1]->value(), QString("1.5"));
        QCOMPARE(box5->distances->labels[7]->value(), QString("0.01"));
        QCOMPARE(box5->lightStack->currentIndex(), 1);
        QCOMPARE(box6->lightStack->currentIndex(), 0);
        QCOMPARE(box6->changedLabel->text(), QString("Changed"));
        page->rawConsole->flushPending();
        QCOMPARE(page->rawConsole->toPlainText().count("55 00 "), 2);

        p->dataItem()->clear();
        page->refresh();
        QVERIFY(page->nodes().isEmpty());
        for (ZLabel* label : {page->plrLabel, page->localTimeLabel, page->systemTimeLabel, page->voltageLabel}) {
            QVERIFY(label->value().isEmpty());
            QVERIFY(!label->captionLabel()->text().isEmpty());
        }
    }
};

TALMENO_TEST_MAIN(TestAnchorFrame0)
#include "tst_anchorframe0.moc"
