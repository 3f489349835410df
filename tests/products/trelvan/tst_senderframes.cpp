// Node frames 4, 5, 7 and AOA node frame 0 through the real frame search; node
// frames 1, 2 and 3 beside them where the node bound is checked.

#include "support/testenv.h"

#include "helpers/SenderFrames.h"
#include "helpers/TestCapture.h"
#include "foundation/UserPaths.h"
#include "model/ModelManager.h"
#include "model/ResourceItems.h"
#include "products/trelvan/protocols/NodeLabel.h"
#include "products/trelvan/protocols/ProtocolNodeFrame1.h"
#include "products/trelvan/protocols/ProtocolNodeFrame2.h"
#include "products/trelvan/protocols/ProtocolNodeFrame3.h"
#include "products/trelvan/views/WidgetAoaNodeFrame0.h"
#include "products/trelvan/views/WidgetNodeFrame4.h"
#include "products/trelvan/views/WidgetNodeFrame5.h"
#include "products/trelvan/views/WidgetNodeFrame7.h"
#include "protocol/ProtocolDataProcessor.h"
#include "protocol/ProtocolFrameExtraction.h"
#include "protocol/ProtocolSeams.h"
#include "record/DataExportObserver.h"
#include "sim/DeviceSimulator.h"
#include "support/WorkbookReader.h"
#include "views/DataResource.h"
#include "views/ViewHooks.h"

#include <QLabel>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <atomic>
#include <functional>

using namespace Trelvan;
using sim::RangeFrameFields;
using sim::RangeRecord;

namespace {

// What the tests need of one frame kind, whatever its class.
struct Kind
{
    DataFrameProtocol* protocol = nullptr;
    int recordSize = 0;
    int angles = 0;       // angles per record: 0, 2 (node frame 7) or 1 (AOA)
    bool wideIds = false;
    QStringList fields;   // captions of the record values, "dis(m)" ...
    std::function<QByteArray(const RangeFrameFields&)> build;
    std::function<QList<QVariant>()> exportRow;
    std::function<QList<QByteArray>()> takeRawFrames;
    std::function<int()> dropped;
    std::function<QList<QPair<int, int>>()> takeRecords; // per queued frame: records, hidden ones
};

// The raw frames and the records (all, hidden) of the frames a protocol queued.
template <typename P>
void setQueueTakers(Kind& k, P* p)
{
    k.takeRawFrames = [p] {
        QList<QByteArray> raw;
        for (const auto& d : p->queue.takeAll())
            raw << d->rawFrame;
        return raw;
    };
    k.takeRecords = [p] {
        QList<QPair<int, int>> frames;
        for (const auto& d : p->queue.takeAll())
            frames << qMakePair(d->nodes.size(), int(d->views.hidden.count(true)));
        return frames;
    };
}

// A node frame kind checked for its bound alone: frames of the given records.
template <typename P, typename Fields, typename Make>
Kind boundKind(P* p, QByteArray (*encode)(const Fields&), Make make)
{
    Kind k;
    k.protocol = p;
    setQueueTakers(k, p);
    k.build = [encode, make](const RangeFrameFields& f) {
        Fields g;
        for (const RangeRecord& r : f.nodes)
            g.nodes.append(make(r));
        return encode(g);
    };
    return k;
}

template <typename P>
Kind kindOf(P* p, int angles, QByteArray (*build)(const RangeFrameFields&))
{
    Kind k;
    k.protocol = p;
    k.recordSize = P::kRecordSize;
    k.angles = angles;
    k.wideIds = P::kFixedPart == 24;
    for (const FieldDescriptor& d : P::recordFields())
        k.fields << d.name + d.unit;
    k.build = build;
    k.exportRow = [p] { return p->fillExportRow(); };
    setQueueTakers(k, p);
    k.dropped = [p] { return p->droppedFrames; };
    return k;
}

// "dis(m)" with key "A_3" gives dis[A_3](m).
QString itemName(const QString& caption, const QString& key)
{
    return caption.section('(', 0, 0) + "[" + key + "](" + caption.section('(', 1);
}

// Edge values of every kind (ids cut to 8 bits where the frame has them); (1, 3) twice.
RangeFrameFields edgeFrame(bool wide)
{
    RangeFrameFields f;
    f.role = 0;
    f.id = wide ? 0xABCDEF01u : 0xEF;
    f.localTime = 0xFFFFFFFFu;
    f.systemTime = 3723004;
    f.voltage = 3700;
    f.nodes = {RangeRecord{1, 3, -1, -32768, 32767, 0xA0, 1},
               RangeRecord{0, wide ? 256u : 255u, -8388608, 9000, 1, 255, 255},
               RangeRecord{0, 0, 123456, -9000, -1, 200, 160},
               RangeRecord{2, 9, 10000, 18000, 0, 1, 2},
               RangeRecord{-1, wide ? 0xFFFFFFFFu : 0xFFu, 1000, 1, 2, 3, 4},
               RangeRecord{1, 3, 4000, 100, 200, 10, 20}};
    return f;
}

sim::NodeFrame4Fields frame4(quint8 role, quint8 id, const QVector<sim::TagDistances>& tags)
{
    sim::NodeFrame4Fields f;
    f.role = role;
    f.id = id;
    f.localTime = 3723004;
    f.systemTime = 0xFFFFFFFFu;
    f.voltage = 3700;
    f.tags = tags;
    return f;
}

// The node bounds' clock, moved by the tests.
std::atomic<qint64> g_now{0};
qint64 testNow()
{
    return g_now.load();
}

} // namespace

class TestSenderFrames : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    ModelManager* page = nullptr;
    ProtocolFrameExtraction* ex = nullptr;
    QMap<QString, Kind> kinds;

    void feed(const QByteArray& bytes)
    {
        ex->appendData(bytes);
        ex->extractFrames();
        ProtocolDataProcessor::instance()->processFrames();
    }
    LineResourceItem* line(const Kind& k, const QString& name)
    {
        return qobject_cast<LineResourceItem*>(
            page->createResource(ResourceType::Line, k.protocol->name(), name, true, nullptr, false));
    }
    static void kindRows()
    {
        QTest::addColumn<QString>("kind");
        for (const char* k : {"Node_Frame5", "Node_Frame7", "AOA_Node_Frame0"})
            QTest::newRow(k) << QString(k);
    }
    static void allKindRows()
    {
        kindRows();
        QTest::newRow("Node_Frame4") << QString("Node_Frame4");
    }

    template <typename Page>
    void checkPage(const Kind& k)
    {
        if (!k.protocol->dataItem()) { // run alone: the first frame makes the items
            feed(k.build(edgeFrame(k.wideIds)));
            k.takeRawFrames();
        }
        QWidget host;
        DataResource resource(k.protocol->dataItem(), &host);
        auto* view = qobject_cast<Page*>(resource.view());
        QVERIFY(view);

        const RangeFrameFields f = edgeFrame(k.wideIds);
        feed(k.build(f));
        view->refresh();
        QCOMPARE(view->frameLabels.localTime->value(), QString("4294967295"));
        QCOMPARE(view->frameLabels.systemTime->value(), QString("3723004"));
        QCOMPARE(view->frameLabels.voltage->value(), QString("3.7"));
        QCOMPARE(view->senderLabel->text(), nodeLabel(0, f.id));
        // (0, 256) and (0, 0) are two boxes; each shows the values of its newest record.
        // Every record counts; role -1 (no role of the table) makes no box.
        QCOMPARE(view->nodeCountLabel->value(), QString::number(f.nodes.size()));
        QCOMPARE(view->nodes().value(0).size(), 2);
        for (const RangeRecord& r : f.nodes) {
            if (r.role < 0) {
                QVERIFY(!view->box(r.role, r.id));
                continue;
            }
            auto* box = view->box(r.role, r.id);
            QVERIFY(box);
            QCOMPARE(box->fieldLabels.size(), k.fields.size());
            const RangeRecord& newest = r.id == 3 ? f.nodes.last() : r;
            const QList<float> values = TestTrelvan::rangeValues(newest, k.angles);
            for (int i = 0; i < k.fields.size(); ++i)
                QCOMPARE(box->fieldLabels[i]->value(), formatValue(values[i]));
        }
        auto* wide = view->box(0, f.nodes[1].id);
        QCOMPARE(wide->fieldLabels.first()->value(), QString("-8388.61"));
        QCOMPARE(wide->fieldLabels.last()->value(), QString("-127.5"));

        k.protocol->dataItem()->clear();
        view->refresh();
        QVERIFY(view->nodes().isEmpty());
        for (ZLabel* label : view->frameLabels.all())
            QVERIFY(label->value().isEmpty());
    }

private slots:
    void initTestCase()
    {
        TestTrelvan::startLogCapture();
        NodeBound::setClock(&testNow);
        QVERIFY(dir.isValid());
        page = new ModelManager(dir.filePath("page.ini"), {ResourceType::Data, ResourceType::Line}, this);
        TestTrelvan::setCurrentManager(page);
        ProtocolSeams::setCurrentModelManagerLookup(&TestTrelvan::currentManager);
        installNodeLabel();
        ex = ProtocolFrameExtraction::instance();
        kinds.insert("Node_Frame5", kindOf(ProtocolNodeFrame5::instance(this), 0, &sim::nodeFrame5));
        kinds.insert("Node_Frame7", kindOf(ProtocolNodeFrame7::instance(this), 2, &sim::nodeFrame7));
        kinds.insert("AOA_Node_Frame0", kindOf(ProtocolAoaNodeFrame0::instance(this), 1, &sim::aoaNodeFrame0));
        Kind k4;
        k4.protocol = ProtocolNodeFrame4::instance(this);
        k4.takeRawFrames = [] {
            QList<QByteArray> raw;
            for (const auto& d : ProtocolNodeFrame4::instance()->queue.takeAll())
                raw << d->rawFrame;
            return raw;
        };
        k4.dropped = [] { return ProtocolNodeFrame4::instance()->droppedFrames; };
        kinds.insert("Node_Frame4", k4);
        for (const Kind& k : qAsConst(kinds))
            k.protocol->setActive(true);
        // Searched from the test of the bound on: their heads would hold other tests' streams.
        kinds.insert("Node_Frame1", boundKind(ProtocolNodeFrame1::instance(this), &sim::nodeFrame1, [](const RangeRecord& r) {
                         return sim::NodeFrame1Record{r.role, quint8(r.id), {}};
                     }));
        kinds.insert("Node_Frame2", boundKind(ProtocolNodeFrame2::instance(this), &sim::nodeFrame2, [](const RangeRecord& r) {
                         return sim::NodeFrame2Record{r.role, quint8(r.id), r.disMm, r.fpRssi, r.rxRssi};
                     }));
        kinds.insert("Node_Frame3", boundKind(ProtocolNodeFrame3::instance(this), &sim::nodeFrame3, [](const RangeRecord& r) {
                         return sim::NodeFrame3Record{r.role, quint8(r.id), r.disMm, r.fpRssi, r.rxRssi};
                     }));
    }

    void cleanupTestCase()
    {
        ProtocolSeams::setCurrentModelManagerLookup(nullptr);
        NodeBound::setClock(nullptr);
        TestTrelvan::stopLogCapture();
    }

    void init()
    {
        ex->clearBuffers();
        for (const Kind& k : qAsConst(kinds))
            k.takeRawFrames();
        TestTrelvan::clearLog();
    }

    void recordsBecomeItemsRowsAndRecords_data() { kindRows(); }
    void recordsBecomeItemsRowsAndRecords()
    {
        QFETCH(QString, kind);
        const Kind& k = kinds[kind];
        const RangeFrameFields f = edgeFrame(k.wideIds);
        const QByteArray frame = k.build(f);
        feed(frame);

        QCOMPARE(line(k, "localTime(ms)")->lastValue(), 4294967295.0); // unsigned, never -1
        QCOMPARE(line(k, "voltage(V)")->lastValue(), double(3.7f));

        // One item per value and (role, id), named by the node label: (0, 256) and
        // (0, 0) apart; (1, 3) keeps both its records in order. Role -1 has no letter:
        // such damaged roles would share one label per id, so they make no items.
        for (int r = 0; r < f.nodes.size(); ++r) {
            const QString key = nodeLabel(f.nodes[r].role, f.nodes[r].id);
            const QList<float> values = TestTrelvan::rangeValues(f.nodes[r], k.angles);
            for (int i = 0; i < k.fields.size(); ++i) {
                if (f.nodes[r].role < 0) {
                    QVERIFY(!page->resourceModel(ResourceType::Line)->resource(k.protocol->name()
                                                                               + itemName(k.fields[i], key)));
                    continue;
                }
                LineResourceItem* item = line(k, itemName(k.fields[i], key));
                QVERIFY2(item && item->isUsed() && item->values().size() >= (r == 0 ? 2 : 1), qPrintable(key));
                QCOMPARE(item->values()[item->values().size() - (r == 0 ? 2 : 1)], double(values[i]));
            }
        }

        // The invalid-role line (not for AOA): once per frame, for the first such record.
        const QStringList logged = TestTrelvan::logLines("Invalid node role encountered");
        QCOMPARE(logged.size(), k.angles == 1 ? 0 : 1);
        if (!logged.isEmpty())
            QVERIFY(logged[0].endsWith("Invalid node role encountered,role:2,id:9,raw data:" +
                                       QString::fromLatin1(frame.toHex(' '))));

        const QList<QVariant> row = k.exportRow();
        const QList<QVariant> expected = TestTrelvan::rangeRow(f, k.angles);
        QCOMPARE(row.size(), 4 + (2 + k.fields.size()) * f.nodes.size());
        for (int i = 0; i < row.size(); ++i)
            QCOMPARE(row[i].toDouble(), expected[i].toDouble());
        QCOMPARE(k.takeRawFrames(), QList<QByteArray>{frame});

        // No records: the four frame values only.
        RangeFrameFields none = f;
        none.nodes.clear();
        feed(k.build(none));
        QCOMPARE(k.exportRow().size(), 4);
        QCOMPARE(k.takeRawFrames().size(), 1);
    }

    void pagesShowTheNewestRecords_data() { kindRows(); }
    void pagesShowTheNewestRecords()
    {
        QFETCH(QString, kind);
        if (kind == "Node_Frame5")
            checkPage<WidgetNodeFrame5>(kinds[kind]);
        else if (kind == "Node_Frame7")
            checkPage<WidgetNodeFrame7>(kinds[kind]);
        else
            checkPage<WidgetAoaNodeFrame0>(kinds[kind]);
    }

    void tagEntriesBecomeItemsRowsAndRecords()
    {
        const Kind& k = kinds["Node_Frame4"];
        using sim::TagDistances;
        const QByteArray frame = sim::nodeFrame4(frame4(1, 0, {TagDistances{3, 50, {{1, 2500}, {3, 10250}}},
                                                              TagDistances{7, 255, {}}, TagDistances{9, 0, {{0, 0xFFFFFF}}},
                                                              TagDistances{3, 60, {{1, 4000}}}}));
        feed(frame);
        QCOMPARE(line(k, "systemTime(ms)")->lastValue(), 4294967295.0);
        // Tags under role 2; a tag twice keeps both entries' values in frame order.
        QCOMPARE(line(k, "voltage[T_3](V)")->values().mid(0, 2), (QList<double>{2.5, 3.0}));
        QCOMPARE(line(k, "dis[T_3-A_1](m)")->values().mid(0, 2), (QList<double>{2.5, 4.0}));
        QCOMPARE(line(k, "dis[T_3-A_3](m)")->lastValue(), 10.25);
        QCOMPARE(line(k, "voltage[T_7](V)")->lastValue(), 12.75);
        QCOMPARE(line(k, "dis[T_9-A_0](m)")->lastValue(), double(16777.215f)); // unsigned

        // "count" stands over each entry's count, so every heading is over its value.
        QCOMPARE(k.protocol->exportColumns(), (QStringList{"localTime(ms)", "systemTime(ms)", "voltage(V)", "nodeCount",
                                                           "id", "voltage(V)", "count", "id: dis(m)"}));
        const QList<QVariant> row = ProtocolNodeFrame4::instance()->fillExportRow();
        QCOMPARE(row.mid(0, 4), (QList<QVariant>{3723004u, 4294967295u, QVariant::fromValue(3.7f), 4}));
        QCOMPARE(row.mid(4), (QList<QVariant>{3, QVariant::fromValue(2.5f), 2, QString("1: 2.5,3: 10.25"),
                                              7, QVariant::fromValue(12.75f), 0, QString(),
                                              9, QVariant::fromValue(0.0f), 1, QString("0: 16777.2"),
                                              3, QVariant::fromValue(3.0f), 1, QString("1: 4")}));
        QCOMPARE(k.takeRawFrames(), QList<QByteArray>{frame});

        // The same tag from another sender shares its items; no entries, four values.
        const int collected = k.protocol->lineCollector()->items().size();
        feed(sim::nodeFrame4(frame4(0, 5, {TagDistances{3, 40, {{1, 1000}}}})));
        QCOMPARE(k.protocol->lineCollector()->items().size(), collected);
        QCOMPARE(line(k, "dis[T_3-A_1](m)")->lastValue(), 1.0);
        feed(sim::nodeFrame4(frame4(1, 0, {})));
        QCOMPARE(ProtocolNodeFrame4::instance()->fillExportRow().size(), 4);
        QCOMPARE(k.takeRawFrames().size(), 2);
    }

    void tagPageShowsOneBoxPerTagWithItsAnchors()
    {
        using sim::TagDistances;
        if (!kinds["Node_Frame4"].protocol->dataItem()) { // run alone: the first frame makes the items
            feed(sim::nodeFrame4(frame4(1, 0, {})));
            kinds["Node_Frame4"].takeRawFrames();
        }
        QWidget host;
        DataResource resource(kinds["Node_Frame4"].protocol->dataItem(), &host);
        auto* view = qobject_cast<WidgetNodeFrame4*>(resource.view());
        QVERIFY(view);

        feed(sim::nodeFrame4(frame4(1, 0, {TagDistances{7, 70, {{2, 1000}, {0, 500}}}, TagDistances{3, 255, {}}})));
        view->refresh();
        QCOMPARE(view->senderLabel->text(), QString("A_0"));
        QCOMPARE(view->frameLabels.systemTime->value(), QString("4294967295"));
        QCOMPARE(view->flowLayout->keyAt(0), 512 + 3);
        QCOMPARE(view->flowLayout->keyAt(1), 512 + 7);
        WidgetTag* t7 = view->box(2, 7);
        WidgetTag* t3 = view->box(2, 3);
        QVERIFY(t7 && t3);
        QCOMPARE(t7->voltageLabel->value(), QString("3.5"));
        QCOMPARE(t7->countLabel->value(), QString("2"));
        QCOMPARE(t3->voltageLabel->value(), QString("12.75"));
        QVERIFY(t3->anchorLabels.isEmpty());
        QCOMPARE(t7->anchorLabels.value(0)->captionLabel()->text() + " " + t7->anchorLabels.value(0)->value(),
                 QString("A_0 0.5"));

        // A later anchor takes its place by id; anchors not reported keep their values.
        feed(sim::nodeFrame4(frame4(1, 0, {TagDistances{7, 70, {{1, 0xFFFFFF}}}})));
        view->refresh();
        QCOMPARE(t7->anchorFlow->itemAt(1)->widget(), t7->anchorLabels.value(1));
        QCOMPARE(t7->anchorLabels.value(1)->value(), QString("16777.2"));
        QCOMPARE(t7->anchorLabels.value(2)->value(), QString("1"));
        QCOMPARE(t7->lightStack->currentIndex(), 1);
        QCOMPARE(t3->lightStack->currentIndex(), 0);

        // Every record of a refresh counts, and a box built late shows every anchor
        // reported so far: each anchor with its newest distance.
        feed(sim::nodeFrame4(frame4(1, 0, {TagDistances{9, 70, {{0, 500}, {2, 1000}}}})));
        view->refresh();
        feed(sim::nodeFrame4(frame4(1, 0, {TagDistances{9, 70, {{2, 2000}}}, TagDistances{7, 70, {{0, 250}}}})));
        feed(sim::nodeFrame4(frame4(1, 0, {TagDistances{9, 80, {{1, 300}}}, TagDistances{7, 70, {{2, 750}}}})));
        view->refresh();
        QCOMPARE(t7->anchorLabels.value(0)->value() + " " + t7->anchorLabels.value(2)->value(), QString("0.25 0.75"));
        QVERIFY(!view->builtBox(2, 9));
        WidgetTag* t9 = view->box(2, 9);
        QCOMPARE(t9->anchorLabels.keys(), (QList<quint8>{0, 1, 2}));
        QCOMPARE(t9->anchorLabels.value(0)->value() + " " + t9->anchorLabels.value(1)->value() + " "
                     + t9->anchorLabels.value(2)->value() + " " + t9->voltageLabel->value(),
                 QString("0.5 0.3 2 4"));

        kinds["Node_Frame4"].protocol->dataItem()->clear();
        view->refresh();
        QVERIFY(view->nodes().isEmpty());
        QVERIFY(view->frameLabels.voltage->value().isEmpty());
    }

    // Every installation the modes allow gets all its items, one after the other:
    // each tag ranging every anchor of its mode, streamed 2 s after the installation
    // before it went silent. Every tag and distance stays in the frame and the export
    // row; the distance items never outnumber the pair bound.
    void tagInstallationsAtCapacity_data()
    {
        QTest::addColumn<int>("tags");
        QTest::addColumn<int>("anchors");
        QTest::newRow("mode 12") << 40 << 120;
        QTest::newRow("mode 11") << 140 << 30;
        QTest::newRow("mode 2") << 200 << 14;
    }
    void tagInstallationsAtCapacity()
    {
        QFETCH(int, tags);
        QFETCH(int, anchors);
        using sim::TagDistances;
        auto* p4 = ProtocolNodeFrame4::instance();
        const auto mm = [](int tag, int anchor) { return quint32(1000 * tag + anchor + 1); };
        QVector<TagDistances> entries;
        for (int t = 0; t < tags; ++t) {
            TagDistances tag{quint8(t), quint8(60 + t % 40), {}};
            for (int a = 0; a < anchors; ++a)
                tag.distancesMm.append({quint8(a), mm(t, a)});
            entries << tag;
        }
        const QByteArray frame = sim::nodeFrame4(frame4(1, 0, entries));
        g_now += 2000;
        for (int sent = 0; sent < 2; ++sent) {
            feed(frame);
            g_now += 100;
        }

        const auto queued = p4->queue.takeAll();
        QCOMPARE(queued.size(), 2);
        for (const auto& d : queued) {
            QCOMPARE(d->nodes.size(), tags);
            QCOMPARE(d->nodes.last().disList.size(), anchors);
            QCOMPARE(ProtocolNodeFrame4::distanceMetres(d->nodes.last().disList.last()),
                     float(mm(tags - 1, anchors - 1)) / 1000.0f);
        }
        const QList<QVariant> row = p4->fillExportRow();
        QCOMPARE(row.size(), 4 + 4 * tags);
        for (int t = 0; t < tags; ++t) {
            QCOMPARE(row.at(4 + 4 * t).toInt(), t);
            QCOMPARE(row.at(6 + 4 * t).toInt(), anchors);
            QCOMPARE(row.at(7 + 4 * t).toString().count(':'), anchors);
        }

        // Items for every tag and pair of the installation (the second frame wrote them
        // all); those of pairs that gave up their place leave the page's model.
        const QString belong = p4->name();
        BaseResourceModel* lines = page->resourceModel(ResourceType::Line);
        for (int t = 0; t < tags; ++t) {
            const QString tag = nodeLabel(2, quint64(t));
            auto* voltage = qobject_cast<LineResourceItem*>(lines->resource(belong + "voltage[" + tag + "](V)"));
            QVERIFY2(voltage, qPrintable(tag));
            for (int a = 0; a < anchors; ++a) {
                const QString name = "dis[" + tag + "-" + nodeLabel(1, quint64(a)) + "](m)";
                auto* item = qobject_cast<LineResourceItem*>(lines->resource(belong + name));
                QVERIFY2(item, qPrintable(name));
                QCOMPARE(item->lastValue(), double(float(mm(t, a)) / 1000.0f));
            }
        }
        const auto distanceItems = [&] {
            int n = 0;
            for (BaseResourceItem* item : lines->resources())
                n += item->uniqueName().startsWith(belong + "dis[");
            return n;
        };
        QTRY_VERIFY2(distanceItems() <= ProtocolNodeFrame4::kMaxPairs, qPrintable(QString::number(distanceItems())));
    }

    // Counts that reach past the frame drop it whole; frames of random counts and
    // lengths are decoded within their bytes or dropped (under the address
    // sanitizer an overread stops the test).
    void damagedAndRandomFrames_data() { allKindRows(); }
    void damagedAndRandomFrames()
    {
        QFETCH(QString, kind);
        const Kind& k = kinds[kind];
        QRandomGenerator rng(20261207u + uint(kind.size()));
        auto randomFrame = [&]() -> QByteArray {
            const int count = int(rng.bounded(1, 9));
            if (!k.build) {
                sim::NodeFrame4Fields f;
                for (int t = 0; t < count; ++t) {
                    sim::TagDistances tag;
                    tag.id = quint8(rng.bounded(256));
                    for (int d = int(rng.bounded(0, 6)); d > 0; --d)
                        tag.distancesMm.append({quint8(rng.bounded(256)), rng.bounded(0x1000000u)});
                    f.tags.append(tag);
                }
                return sim::nodeFrame4(f);
            }
            RangeFrameFields f;
            for (int r = 0; r < count; ++r)
                f.nodes.append(RangeRecord{qint8(rng.bounded(-2, 4)), rng.generate(), qint32(rng.bounded(-100000, 100000)),
                                           qint16(rng.bounded(-30000, 30000)), 0, quint8(rng.bounded(256)), 7});
            return k.build(f);
        };

        // Frames with records, shortened or lengthened by a few bytes: bytes past the
        // last record are ignored; a frame short of its records is no frame to the
        // search, and dropped whole by its decoder when handed over directly.
        QByteArray stream;
        QList<QByteArray> whole;
        QList<QByteArray> cut;
        for (int i = 0; i < 400; ++i) {
            QByteArray f = randomFrame();
            const int delta = int(rng.bounded(-4, 5));
            if (delta < 0)
                f.remove(f.size() - 1 + delta, -delta);
            else
                f.insert(f.size() - 1, QByteArray(delta, char(0x5A)));
            f[2] = char(f.size() & 0xFF);
            f[3] = char(f.size() >> 8);
            sim::sealSum8(f);
            (delta < 0 ? cut : whole) << f;
            stream += f;
        }
        QVERIFY(cut.size() > 50 && whole.size() > 50);
        const int droppedBefore = k.dropped();
        feed(stream);
        QCOMPARE(k.takeRawFrames(), whole);
        QCOMPARE(k.dropped(), droppedBefore);
        for (const QByteArray& f : qAsConst(cut))
            k.protocol->processFrame(f);
        QCOMPARE(k.dropped(), droppedBefore + cut.size());
        QCOMPARE(TestTrelvan::logCount("reaches past the frame"), cut.size());
    }

    // The bound limits views, never data: after a full frame of fresh nodes, records of
    // nodes beyond the bound make no box, yet stay in the queued frame and the export.
    void recordsBeyondTheBoundStayInFrameAndExport_data()
    {
        QTest::addColumn<QString>("kind");
        for (const char* k : {"Node_Frame1", "Node_Frame2", "Node_Frame3", "Node_Frame5", "Node_Frame7", "AOA_Node_Frame0"})
            QTest::newRow(k) << QString(k);
    }
    void recordsBeyondTheBoundStayInFrameAndExport()
    {
        QFETCH(QString, kind);
        const Kind& k = kinds[kind];
        k.protocol->setActive(true);
        g_now += 10000; // no node of an earlier test counts as seen again
        const quint32 wide = k.wideIds ? 0x10000 : 0;
        RangeFrameFields full, beyond;
        for (quint32 id = 0; id < 255; ++id)
            full.nodes.append(RangeRecord{0, wide + id, 1000, 0, 0, 1, 2});
        for (quint32 id = 100; id < 140; ++id)
            beyond.nodes.append(RangeRecord{2, wide + id, 2000, 0, 0, 3, 4});
        feed(k.build(full));

        exportDataDir = dir.filePath("export_" + kind);
        ViewHooks::setOpenFolderHook([](const QString&) {});
        DataExportSubject* subject = DataExportSubject::instance();
        QVERIFY(subject->setExporting(true));
        feed(k.build(beyond));
        QVERIFY(subject->setExporting(false));
        QVERIFY(subject->waitForSaves());
        ViewHooks::setOpenFolderHook(nullptr);

        const QList<QPair<int, int>> queued = k.takeRecords();
        QCOMPARE(queued.size(), 2);
        QCOMPARE(queued.last().first, beyond.nodes.size());
        QVERIFY2(queued.last().second > 0, "no record beyond the bound");
        // The sheet: a heading row, then the frame's row with every record's columns.
        QString error;
        const QList<QStringList> rows = talmeno_test::readSheetRows(subject->fileName(), k.protocol->name(), &error);
        QVERIFY2(rows.size() == 2, qPrintable(error));
        const QStringList& columns = k.protocol->exportColumns();
        const int fixed = columns.indexOf("nodeCount") + 1;
        QVERIFY(fixed > 0);
        QCOMPARE(rows[1].at(fixed - 1).toInt(), beyond.nodes.size());
        QCOMPARE(rows[1].size(), fixed + (columns.size() - fixed) * beyond.nodes.size());
    }
};

TALMENO_TEST_MAIN(TestSenderFrames)
#include "tst_senderframes.moc"
