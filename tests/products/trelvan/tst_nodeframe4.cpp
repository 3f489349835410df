// Node frame 4 through the real frame search and processor: tag entries with
// nested distance lists become per-tag and per-(tag, anchor) items, queued
// records and export rows; then its page: one box per tag with its voltage, count
// and one distance label per anchor, kept in anchor order.

#include "support/testenv.h"

#include "helpers/TestCapture.h"
#include "model/ModelManager.h"
#include "model/ResourceItems.h"
#include "products/trelvan/protocols/NodeLabel.h"
#include "products/trelvan/protocols/ProtocolNodeFrame4.h"
#include "products/trelvan/views/WidgetNodeFrame4.h"
#include "protocol/ProtocolDataProcessor.h"
#include "protocol/ProtocolFactory.h"
#include "protocol/ProtocolFrameExtraction.h"
#include "protocol/ProtocolSeams.h"
#include "sim/TrelvanScenario.h"
#include "views/DataResource.h"
#include "widgets/PlainTextEditWithFile.h"
#include "widgets/ZFlowLayout.h"
#include "widgets/ZLabel.h"

#include <QLabel>
#include <QStackedWidget>
#include <QTemporaryDir>

using Trelvan::ProtocolNodeFrame4;
using sim::NodeFrame4Fields;
using sim::TagDistances;

namespace {
NodeFrame4Fields fromSender(quint8 role, quint8 id, const QVector<TagDistances>& tags)
{
    NodeFrame4Fields f;
    f.role = role;
    f.id = id;
    f.localTime = 3723004;
    f.systemTime = 0xFFFFFFFFu;
    f.voltage = 3700;
    f.tags = tags;
    return f;
}
} // namespace

class TestNodeFrame4 : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    ModelManager* page = nullptr; // offers Line, so the items exist
    ProtocolFrameExtraction* ex = nullptr;
    ProtocolNodeFrame4* p = nullptr;

    void feed(const QByteArray& bytes)
    {
        ex->appendData(bytes);
        ex->extractFrames();
        ProtocolDataProcessor::instance()->processFrames();
    }
    LineResourceItem* line(const QString& name)
    {
        return qobject_cast<LineResourceItem*>(page->createResource(ResourceType::Line, p->name(), name, true, nullptr, false));
    }

private slots:
    void initTestCase()
    {
        TestTrelvan::startLogCapture();
        QVERIFY(dir.isValid());
        page = new ModelManager(dir.filePath("page.ini"), {ResourceType::Data, ResourceType::Line}, this);
        TestTrelvan::setCurrentManager(page);
        ProtocolSeams::setCurrentModelManagerLookup(&TestTrelvan::currentManager);
        Trelvan::installNodeLabel();
        ex = ProtocolFrameExtraction::instance();
        ProtocolFactory::clearRegistrations();
        ProtocolNodeFrame4::registerProtocol();
        QVERIFY(ProtocolFactory::isProtocolRegistered("Vexa_Trelvan_Node_Frame4"));
        p = ProtocolNodeFrame4::instance(this);
        QCOMPARE(ProtocolNodeFrame4::existing(), p);
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
    }

    void shapeOfTheProtocol()
    {
        QCOMPARE(p->name(), QString("Vexa_Trelvan_Node_Frame4"));
        QCOMPARE(p->head(), QByteArray("\x55\x06", 2));
        QCOMPARE(p->minFrameLength(), 21);
        QCOMPARE(p->maxFrameLength(), 65535);
        // "count" stands over each entry's count, so every heading is over its value.
        QCOMPARE(p->exportColumns(), (QStringList{"localTime(ms)", "systemTime(ms)", "voltage(V)", "nodeCount", "id",
                                                  "voltage(V)", "count", "id: dis(m)"}));
    }

    void entriesBecomeItemsRowsAndRecords()
    {
        const NodeFrame4Fields f = fromSender(1, 0, {TagDistances{3, 50, {{1, 2500}, {3, 10250}}},
                                                 TagDistances{7, 255, {}},
                                                 TagDistances{9, 0, {{0, 0xFFFFFF}}},
                                                 TagDistances{3, 60, {{1, 4000}}}});
        const QByteArray frame = sim::nodeFrame4(f);
        QCOMPARE(frame.size(), 22 + 4 * 5 + 4 * 4);
        feed(frame);

        // Frame level: clocks (not in use, but written) and voltage.
        QVERIFY(!line("localTime(ms)")->isUsed());
        QCOMPARE(line("localTime(ms)")->lastValue(), 3723004.0);
        QCOMPARE(line("systemTime(ms)")->lastValue(), 4294967295.0);
        QCOMPARE(line("voltage(V)")->lastValue(), double(3.7f));
        // Per tag and per (tag, anchor); a tag twice keeps both values in frame order.
        const QList<double> t3 = line("voltage[T_3](V)")->values();
        QCOMPARE(t3.mid(t3.size() - 2), (QList<double>{2.5, 3.0}));
        const QList<double> t3a1 = line("dis[T_3-A_1](m)")->values();
        QCOMPARE(t3a1.mid(t3a1.size() - 2), (QList<double>{2.5, 4.0}));
        QCOMPARE(line("dis[T_3-A_3](m)")->lastValue(), 10.25);
        QCOMPARE(line("voltage[T_7](V)")->lastValue(), 12.75);
        QCOMPARE(line("dis[T_9-A_0](m)")->lastValue(), double(16777.215f)); // unsigned, never negative
        QCOMPARE(p->nodeItems.keys(), QList<qint8>{2});
        QCOMPARE(p->nodeItems.value(2).value(3)->distances.keys(), (QList<quint8>{1, 3}));

        const QList<QVariant> row = p->fillExportRow();
        QCOMPARE(row.size(), 4 + 4 * 4);
        QCOMPARE(row[0].toUInt(), 3723004u);
        QCOMPARE(row[1].toUInt(), 4294967295u);
        QCOMPARE(row[2].toFloat(), 3.7f);
        QCOMPARE(row[3].toInt(), 4);
        QCOMPARE(row.mid(4, 4), (QList<QVariant>{3, QVariant::fromValue(2.5f), 2, QString("1: 2.5,3: 10.25")}));
        QCOMPARE(row.mid(8, 4), (QList<QVariant>{7, QVariant::fromValue(12.75f), 0, QString()}));
        QCOMPARE(row[11].toString(), QString());
        QCOMPARE(row[15].toString(), QString("0: 16777.2"));
        QCOMPARE(row[19].toString(), QString("1: 4"));

        const auto records = p->queue.takeAll();
        QCOMPARE(records.size(), 1);
        QCOMPARE(records[0]->rawFrame, frame);
        QCOMPARE(records[0]->systemTime, 0xFFFFFFFFu);
        QCOMPARE(records[0]->nodes.size(), 4);
        QCOMPARE(int(records[0]->nodes[0].count), 2);
        QCOMPARE(records[0]->nodes[0].disList, (QVector<quint32>{1 | (2500u << 8), 3 | (10250u << 8)}));
        QCOMPARE(int(records[0]->nodes[0].reserved[0]), 0xA5);
        QVERIFY(records[0]->nodes[1].disList.isEmpty());

        // The same tag from another sender: the same items, none new.
        const int collected = p->lineCollector()->items().size();
        feed(sim::nodeFrame4(fromSender(0, 5, {TagDistances{3, 40, {{1, 1000}}}})));
        QCOMPARE(p->lineCollector()->items().size(), collected);
        QCOMPARE(line("voltage[T_3](V)")->lastValue(), 2.0);
        QCOMPARE(line("dis[T_3-A_1](m)")->lastValue(), 1.0);
        // No entries: a row of the four frame values and an empty record.
        feed(sim::nodeFrame4(fromSender(1, 0, {})));
        QCOMPARE(p->fillExportRow().size(), 4);
        const auto empty = p->queue.takeAll();
        QCOMPARE(empty.size(), 2);
        QVERIFY(empty.last()->nodes.isEmpty());
    }

    void pageShowsOneBoxPerTagWithItsAnchors()
    {
        QWidget host;
        DataResource resource(p->dataItem(), &host);
        auto* view = qobject_cast<Trelvan::WidgetNodeFrame4*>(resource.view());
        QVERIFY(view);
        QCOMPARE(view->nodeWidthSpin->value(), 350);
        QCOMPARE(view->nodeHeightSpin->value(), 200);
        // The three frame labels one below the other, after the sender label.
        const int n = view->leftPaneLayout->count();
        QCOMPARE(view->leftPaneLayout->itemAt(n - 4)->widget(), view->senderLabel);
        QCOMPARE(view->leftPaneLayout->itemAt(n - 3)->widget(), view->frameLabels.localTime);
        QCOMPARE(view->leftPaneLayout->itemAt(n - 1)->widget(), view->frameLabels.voltage);
        QCOMPARE(view->frameLabels.systemTime->captionLabel()->text(), QString("systemTime(ms)"));

        feed(sim::nodeFrame4(fromSender(1, 0, {TagDistances{7, 70, {{2, 1000}, {0, 500}}}, TagDistances{3, 255, {}}})));
        view->refresh();
        QCOMPARE(view->senderLabel->text(), QString("A_0"));
        QCOMPARE(view->frameLabels.localTime->value(), QString("3723004"));
        QCOMPARE(view->frameLabels.systemTime->value(), QString("4294967295"));
        QCOMPARE(view->frameLabels.voltage->value(), QString("3.7"));
        QCOMPARE(view->nodeWidgets.keys(), QList<qint8>{2});
        QCOMPARE(view->flowLayout->keyAt(0), 512 + 3);
        QCOMPARE(view->flowLayout->keyAt(1), 512 + 7);
        Trelvan::WidgetTag* t7 = view->nodeWidgets.value(2).value(7);
        Trelvan::WidgetTag* t3 = view->nodeWidgets.value(2).value(3);
        QVERIFY(t7 && t3);
        QCOMPARE(t7->nameLabel->text(), QString("T_7"));
        QCOMPARE(t7->size(), QSize(350, 200));
        QCOMPARE(t7->voltageLabel->value(), QString("3.5"));
        QCOMPARE(t7->countLabel->captionLabel()->text(), QString("Count"));
        QCOMPARE(t7->countLabel->value(), QString("2"));
        QCOMPARE(t3->voltageLabel->value(), QString("12.75"));
        QCOMPARE(t3->countLabel->value(), QString("0"));
        QVERIFY(t3->anchorLabels.isEmpty());
        QCOMPARE(t7->anchorLabels.keys(), (QList<quint8>{0, 2}));
        QCOMPARE(t7->anchorLabels.value(0)->captionLabel()->text(), QString("A_0"));
        QCOMPARE(t7->anchorLabels.value(0)->value(), QString("0.5"));
        QCOMPARE(t7->anchorLabels.value(2)->value(), QString("1"));

        // A later anchor takes its place by id; anchors not reported keep their values.
        feed(sim::nodeFrame4(fromSender(1, 0, {TagDistances{7, 70, {{1, 0xFFFFFF}}}})));
        view->refresh();
        QCOMPARE(t7->anchorFlow->count(), 3);
        QCOMPARE(t7->anchorFlow->itemAt(1)->widget(), t7->anchorLabels.value(1));
        QCOMPARE(t7->anchorLabels.value(1)->value(), QString("16777.2"));
        QCOMPARE(t7->anchorLabels.value(2)->value(), QString("1"));
        QCOMPARE(t7->countLabel->value(), QString("1"));
        QCOMPARE(t7->lightStack->currentIndex(), 1);
        QCOMPARE(t3->lightStack->currentIndex(), 0);
        QCOMPARE(t3->changedLabel->text(), QString());

        p->dataItem()->clear();
        view->refresh();
        QVERIFY(view->nodeWidgets.isEmpty());
        for (ZLabel* label : view->frameLabels.all()) {
            QVERIFY(label->value().isEmpty());
            QVERIFY(!label->captionLabel()->text().isEmpty());
        }
    }
};

TALMENO_TEST_MAIN(TestNodeFrame4)
#include "tst_nodeframe4.moc"
