// The iot node frame through a real serial port and the frame pipeline.

#include "model/ModelManager.h"
#include "model/ResourceItems.h"
#include "products/iot/IotProductHandle.h"
#include "products/iot/IotProtocolFrame0.h"
#include "products/iot/IotWidgetFrame0.h"
#include "products/trelvan/protocols/ProtocolNodeFrame1.h"
#include "products/trelvan/views/WidgetNodeFrame1.h"
#include "protocol/ProductsManager.h"
#include "protocol/ProtocolFactory.h"
#include "protocol/ProtocolSystem.h"
#include "record/DataExportObserver.h"
#include "helpers/IotTestEnv.h"
#include "sim/IotNodeSimulator.h"
#include "sim/ProductReplies.h"
#include "sim/TrelvanScenario.h"
#include "support/LogCapture.h"
#include "support/WorkbookReader.h"
#include "support/testenv.h"

#include <QFileInfo>

#include <atomic>

using iot::ProtocolFrame0;
using sim::IotNodeRecord;
using sim::IotSlots;

namespace {

// A protocol on the same head as the iot frame, named as the Trelvan tag frame.
class TagFrameStandIn : public ProtocolBase
{
public:
    explicit TagFrameStandIn(QObject* parent)
        : ProtocolBase("Vexa_Trelvan_Tag_Frame0", parent)
    {
        head_ = QByteArray("\x55\x01", 2);
        isLengthKnown_ = true;
        frameLength_ = minFrameLength_ = maxFrameLength_ = 128;
    }
    void parseFrame(const QByteArray&) override { parsed.fetch_add(1); }
    std::atomic<int> parsed{0};
};

IotNodeRecord node(quint32 id, quint8 cnt, qint32 dis, qint32 h, qint32 v)
{
    IotNodeRecord r;
    r.id = id;
    r.cnt = cnt;
    r.disMm = dis;
    r.aoaH = h;
    r.aoaV = v;
    return r;
}

// The node bound's clock, moved by the tests (read on the processing thread).
std::atomic<qint64> g_now{0};
qint64 testNow()
{
    return g_now.load();
}

} // namespace

class TestIotFrame : public QObject
{
    Q_OBJECT

    iottest::DeviceOnPort link_;
    ProtocolFrame0* protocol_ = nullptr;
    TagFrameStandIn* tag_ = nullptr;

    // Sends bytes from the device and waits until `records` frames were decoded.
    QList<QSharedPointer<ProtocolFrame0::Data>> decode(const QByteArray& bytes, int records)
    {
        QList<QSharedPointer<ProtocolFrame0::Data>> taken;
        link_.send(bytes);
        QElapsedTimer t;
        t.start();
        while (taken.size() < records && t.elapsed() < 20000) {
            taken += protocol_->queue.takeAll();
            QTest::qWait(10);
        }
        QTest::qWait(100); // nothing more arrives
        taken += protocol_->queue.takeAll();
        return taken;
    }

private slots:
    void initTestCase()
    {
        iottest::startPipeline();
        NodeBound::setClock(&testNow);
        ProtocolFactory::registerProtocol("Vexa_Trelvan_Tag_Frame0", [this](QObject* parent) -> ProtocolBase* {
            if (!tag_)
                tag_ = new TagFrameStandIn(parent);
            return tag_;
        });
        QVERIFY(link_.open());
        ProtocolFactory::loadProtocols("iot_frame0", this);
        protocol_ = ProtocolFrame0::existing();
        QVERIFY(protocol_ && protocol_->isActive());
    }

    void decodesNodes_data()
    {
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<QList<uint>>("ids");
        // cnt, dis, aoa_h, aoa_v per node, as shown.
        QTest::addColumn<QList<float>>("values");
        QTest::addColumn<QStringList>("disItemNames");
        QTest::newRow("no nodes") << sim::iotFrame({}, 0xDEADBEEF) << QList<uint>{} << QList<float>{} << QStringList{};
        QTest::newRow("three nodes, slots 0 4 9")
            << sim::iotFrame({{0, node(7, 1, 1500, 12345, -2500)},
                              {4, node(3, 2, 0, 0, 0)},
                              {9, node(0x1A, 255, 2, -1, 90000)}})
            << QList<uint>{7, 3, 0x1A} << QList<float>{1, 1.5f, 12.345f, -2.5f, 2, 0, 0, 0, 255, 0.002f, -0.001f, 90.0f}
            << QStringList{"dis(m)[7]", "dis(m)[3]", "dis(m)[1a]"};
        QTest::newRow("low byte shared, id above 0x7fffffff")
            << sim::iotFrame({{1, node(0x0101, 4, 1000, 0, 0)},
                              {2, node(0x0201, 5, 2000, 0, 0)},
                              {3, node(0x80000005u, 6, 3000, 0, 0)}})
            << QList<uint>{0x0101, 0x0201, 0x80000005u} << QList<float>{4, 1, 0, 0, 5, 2, 0, 0, 6, 3, 0, 0}
            << QStringList{"dis(m)[101]", "dis(m)[201]", "dis(m)[80000005]"};
    }

    void decodesNodes()
    {
        QFETCH(QByteArray, frame);
        QFETCH(QList<uint>, ids);
        QFETCH(QList<float>, values);
        QFETCH(QStringList, disItemNames);
        const QList<QSharedPointer<ProtocolFrame0::Data>> records = decode(frame, 1);
        QCOMPARE(records.size(), 1);
        const ProtocolFrame0::Data& d = *records.first();
        QCOMPARE(d.raw, frame);

        QCOMPARE(d.nodes.size(), ids.size());
        for (int i = 0; i < ids.size(); ++i) {
            const ProtocolFrame0::Node_t& n = d.nodes.at(i);
            QCOMPARE(uint(n.id), ids.at(i));
            QCOMPARE(float(n.cnt), values.at(4 * i));
            QCOMPARE(n.disMetres(), values.at(4 * i + 1));
            QCOMPARE(n.aoaHDegrees(), values.at(4 * i + 2));
            QCOMPARE(n.aoaVDegrees(), values.at(4 * i + 3));

            // Each node writes its own three line items, named by the full id.
            const ProtocolFrame0::NodeItems items = protocol_->nodeItems(ids.at(i));
            QCOMPARE(items.dis->name(), disItemNames.at(i));
            QCOMPARE(items.dis->lastValue(), double(values.at(4 * i + 1)));
            QCOMPARE(items.aoaH->lastValue(), double(values.at(4 * i + 2)));
            QCOMPARE(items.aoaV->lastValue(), double(values.at(4 * i + 3)));
        }
    }

    void badInput_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QList<uint>>("firstIds"); // first node of each decoded frame

        const QByteArray a = sim::iotFrame({{0, node(0xA, 1, 1, 1, 1)}});
        const QByteArray b = sim::iotFrame({{9, node(0xB, 2, 2, 2, 2)}});
        QByteArray wrongSum = a;
        wrongSum[159] = char(wrongSum[159] + 1);
        QTest::newRow("wrong sum refused") << wrongSum + b << QList<uint>{0xB};
        QTest::newRow("noise around frames") << QByteArray("\x55\x55\x01\x00", 4) + a + QByteArray(37, '\x55') + b
                                             << QList<uint>{0xA, 0xB};
        QTest::newRow("cut short, then whole frames") << a.left(90) + a + b << QList<uint>{0xA, 0xB};
    }

    void badInput()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QList<uint>, firstIds);
        const QList<QSharedPointer<ProtocolFrame0::Data>> records = decode(bytes, firstIds.size());
        QList<uint> ids;
        for (const auto& r : records)
            ids << (r->nodes.isEmpty() ? 0u : uint(r->nodes.first().id));
        QCOMPARE(ids, firstIds);
    }

    void queueKeepsTheNewest1000()
    {
        talmeno_test::LogCapture log;
        QByteArray burst;
        for (int n = 0; n < 1005; ++n)
            burst += sim::iotFrame({{0, node(quint32(n + 1), 0, n, 0, 0)}});
        link_.send(burst);
        QTRY_VERIFY_WITH_TIMEOUT(protocol_->nodeItems(1005).dis != nullptr, 60000);
        QTRY_COMPARE_WITH_TIMEOUT(protocol_->queue.size(), 1000, 5000);
        const QList<QSharedPointer<ProtocolFrame0::Data>> kept = protocol_->queue.takeAll();
        QCOMPARE(kept.first()->nodes.first().id, 6u);
        QCOMPARE(kept.last()->nodes.first().id, 1005u);
        QCOMPARE(log.count(QtWarningMsg, "iot_frame0:datas_.size() > 1000, previous data will be discarded"), 5);
    }

    void exportRowsReadBack()
    {
        DataExportSubject* subject = DataExportSubject::instance();
        QVERIFY(subject->setExporting(true));
        const QByteArray three = sim::iotFrame({{2, node(0x80000005u, 3, -1, 1500, -250)},
                                                {5, node(0x1A, 4, 2000, 0, 0)},
                                                {8, node(9, 5, 8388607, -8388608, 1)}});
        const QByteArray none = sim::iotFrame({});
        const QByteArray one = sim::iotFrame({{9, node(0x0201, 6, 123, 456, 789)}});
        QCOMPARE(decode(three + none + one, 3).size(), 3);
        QVERIFY(subject->setExporting(false));
        QVERIFY(subject->waitForSaves());

        QString error;
        const QList<QStringList> rows = talmeno_test::readSheetRows(subject->fileName(), "iot_frame0", &error);
        QVERIFY2(rows.size() == 4, qPrintable(error));
        QCOMPARE(rows.at(0), (QStringList{"id", "cnt", "dis(m)", "aoa_h(deg)", "aoa_v(deg)"}));
        const QStringList ids{rows.at(1).at(0), rows.at(1).at(5), rows.at(1).at(10)};
        QCOMPARE(ids, (QStringList{"2147483653", "26", "9"}));
        QCOMPARE(rows.at(1).at(2).toFloat(), -0.001f);
        QCOMPARE(rows.at(1).at(3).toFloat(), 1.5f);
        QCOMPARE(rows.at(1).at(12).toFloat(), 8388.607f);
        QCOMPARE(rows.at(1).at(13).toFloat(), -8388.608f);
        QVERIFY(rows.at(2).isEmpty()); // the frame without nodes
        QCOMPARE(rows.at(3).size(), 5);
        QCOMPARE(rows.at(3).at(0), QString("513"));
    }

    // Damaged frames that pass their sum carry random ids. Items and boxes are made
    // for at most the bound's number of them; every record still reaches the data.
    // Fresh ids that never repeat take no place, so they never turn items over; node
    // 7, in every frame, keeps its items; a real node that starts once the flood has
    // been silent 1.5 s gets its items and box by its second frame.
    void floodFillsTheBoundRealNodesStillShow()
    {
        talmeno_test::LogCapture log;
        const int before = protocol_->nodeCount();
        const quint64 removals = protocol_->shownNodes()->removals();
        const int frames = 2 * ((NodeBound::kMaxNodes - before) / 9 + 20); // each half fills the bound
        const quint32 firstFresh = 0x50000000;
        quint32 fresh = firstFresh;
        // In two halves 2 s apart: the ids of the first have been silent long enough
        // to give up their places, but no fresh id repeats.
        QList<QSharedPointer<ProtocolFrame0::Data>> records;
        for (int half = 0; half < 2; ++half) {
            QByteArray stream;
            for (int f = 0; f < frames / 2; ++f) {
                IotSlots nodes;
                for (int slot = 0; slot < 9; ++slot)
                    nodes.push_back({slot, node(fresh++, 1, 100, 0, 0)});
                nodes.push_back({9, node(7, quint8(f), 4321, 0, 0)});
                stream += sim::iotFrame(nodes);
            }
            records += decode(stream, frames / 2);
            g_now += 2000;
        }
        QCOMPARE(records.size(), frames / 2 * 2);
        QCOMPARE(protocol_->nodeCount(), NodeBound::kMaxNodes);
        int shown = 0;
        for (const auto& r : records) {
            QCOMPARE(r->nodes.size(), 10);
            for (int i = 0; i < r->nodes.size(); ++i)
                shown += r->views.shows(i) && r->nodes.at(i).id != 7;
        }
        QCOMPARE(protocol_->shownNodes()->removals(), removals);
        QVERIFY(shown <= NodeBound::kMaxNodes - before);
        QVERIFY(!records.last()->views.shows(0));
        QVERIFY(protocol_->nodeItems(firstFresh).dis);
        QVERIFY(!protocol_->nodeItems(fresh - 1).dis);
        LineResourceItem* steady = protocol_->nodeItems(7).dis;
        QVERIFY(steady);
        QCOMPARE(log.count(QtDebugMsg, "iot_frame0: node 5000"), 2); // one line a second at most

        // A real node 1.6 s after the flood, with node 7 still sending.
        std::unique_ptr<DataWidgetBase> page(protocol_->dataItem()->factory()->create(protocol_->dataItem(), nullptr));
        auto* grid = dynamic_cast<iot::WidgetFrame0*>(page.get());
        QVERIFY(grid);
        const quint32 real = 0x0ABC0001;
        g_now -= 400; // 1.6 s after the flood
        ModelManager* manager = protocol_->modelManager();
        const auto lineCount = [manager] { return manager->resourceModel(ResourceType::Line)->resources().size(); };
        QTRY_COMPARE(lineCount(), 3 * NodeBound::kMaxNodes);
        QList<QSharedPointer<ProtocolFrame0::Data>> later;
        for (int f = 0; f < 2; ++f) {
            later += decode(sim::iotFrame({{0, node(real, quint8(f), 2500, 0, 0)}, {5, node(7, 9, 1234, 0, 0)}}), 1);
            g_now += 100;
        }
        QCOMPARE(later.size(), 2);
        QVERIFY(!later.first()->views.shows(0));
        QVERIFY(later.last()->views.shows(0));
        QCOMPARE(protocol_->shownNodes()->removals(), removals + 1);
        QVERIFY(protocol_->nodeItems(real).dis);
        QCOMPARE(protocol_->nodeItems(real).dis->lastValue(), 2.5);
        QCOMPARE(protocol_->nodeItems(7).dis, steady);
        QCOMPARE(protocol_->nodeCount(), NodeBound::kMaxNodes);
        // The node that gave up its place leaves the page's model.
        QTRY_COMPARE(lineCount(), 3 * NodeBound::kMaxNodes);

        for (const auto& r : later)
            protocol_->queue.push(r);
        grid->refresh();
        QVERIFY(grid->box(0, real));
        QVERIFY(grid->box(0, 7));
        QCOMPARE(grid->nodeCountLabel->value(), QString("2"));
    }

    // The bound's own rule, on its clock in 100 ms steps for 10 s, with a cap of four:
    // nodes sending at 1 Hz keep their places; a newcomer sent every step takes the
    // place of a node once that node has been silent 1.5 s; ids that never repeat
    // take none. newcomerAt: when the newcomer is first shown (-1: never).
    void boundKeepsSteadyNodes_data()
    {
        QTest::addColumn<int>("steady");
        QTest::addColumn<bool>("repeating");
        QTest::addColumn<int>("newcomerAt");
        QTest::newRow("four nodes at 1 Hz") << 4 << true << -1;
        QTest::newRow("one of four stops") << 3 << true << 1500;
        QTest::newRow("fresh ids, all four silent") << 0 << false << -1;
    }
    void boundKeepsSteadyNodes()
    {
        QFETCH(int, steady);
        QFETCH(bool, repeating);
        QFETCH(int, newcomerAt);
        const qint64 start = g_now += 10000;
        NodeBound bound(4);
        const auto label = [] { return QString(); };
        for (quint64 stopped = 100; stopped < quint64(100 + 4 - steady); ++stopped)
            QVERIFY(bound.admits(stopped, "test", label));
        int shownAt = -1;
        for (int t = 0; t <= 10000 && shownAt < 0; t += 100) {
            g_now = start + t;
            for (quint64 key = 1; t % 1000 == 0 && key <= quint64(steady); ++key)
                QVERIFY2(bound.admits(key, "test", label), qPrintable(QString("%1 at %2").arg(key).arg(t)));
            if (bound.admits(repeating ? 999 : quint64(1000 + t), "test", label))
                shownAt = t;
        }
        QCOMPARE(shownAt, newcomerAt);
        QCOMPARE(bound.takeEvicted(), newcomerAt < 0 ? QVector<quint64>{} : QVector<quint64>{100});
        QCOMPARE(bound.size(), 4);
    }

    // A page that reads its queue late still holds no more nodes than the bound
    // shows, though the queue (the newest 1,000 records) dropped the frames decoded
    // as nodes gave up their places: 1,024 nodes, 2 s of silence, new nodes that take
    // their places (1,024; Trelvan has 768 more keys), then 1,000 frames of the new
    // nodes before the page reads. Frames of ten nodes, decoded here (the pipeline idle).
    void lateReadingPageHoldsTheBound_data()
    {
        QTest::addColumn<bool>("trelvan");
        QTest::newRow("iot") << false;
        QTest::newRow("Trelvan node frame 1") << true;
    }
    void lateReadingPageHoldsTheBound()
    {
        QFETCH(bool, trelvan);
        talmeno_test::LogCapture log; // the queue's drops
        auto* other = Trelvan::ProtocolNodeFrame1::instance(this);
        const int bound = NodeBound::kMaxNodes, fresh = trelvan ? 7 * 256 - bound : bound;
        const auto decode = [&](int first, int end, int times) {
            sim::NodeFrame1Fields f;
            IotSlots inFrame;
            for (int k = first; k < qMin(first + 10, end); ++k) {
                f.nodes.append(sim::NodeFrame1Record{qint8(k / 256), quint8(k % 256), {k, 0, 0}});
                inFrame.push_back({k - first, node(quint32(0x60000000 + k), 1, k, 0, 0)});
            }
            for (int n = 0; n < times; ++n) // shown from the second sighting
                trelvan ? other->processFrame(sim::nodeFrame1(f)) : protocol_->processFrame(sim::iotFrame(inFrame));
        };
        protocol_->queue.takeAll();
        g_now += 10000;
        for (int k = 0; k < bound; k += 10)
            decode(k, bound, 2);
        DataResourceItem* item = trelvan ? other->dataItem() : protocol_->dataItem();
        std::unique_ptr<DataWidgetBase> page(item->factory()->create(item, nullptr));
        const auto count = [](const auto* grid) {
            int n = 0;
            for (const auto& byId : grid->nodes())
                n += byId.size();
            return n;
        };
        const auto states = [&] {
            return trelvan ? count(dynamic_cast<Trelvan::WidgetNodeFrame1*>(page.get()))
                           : count(dynamic_cast<iot::WidgetFrame0*>(page.get()));
        };
        page->refresh();
        QCOMPARE(states(), bound);

        g_now += 2000;
        for (int k = bound; k < bound + fresh; k += 10)
            decode(k, bound + fresh, 2);
        for (int f = 0; f < ProtocolDataQueue<ProtocolFrame0::Data>::kMaxRecords; ++f)
            decode(bound + 10 * f % fresh, bound + fresh, 1);
        QVERIFY(log.count(QtWarningMsg, "previous data will be discarded") > 0);
        page->refresh();
        QCOMPARE(states(), bound);
    }

    // Runs after the tests that need the iot frame decoded.
    void tagFrameLoadedLaterTakesTheHead()
    {
        ProtocolFactory::loadProtocols("Vexa_Trelvan_Tag_Frame0", this);
        QVERIFY(tag_ && tag_->isActive());
        QVERIFY(!protocol_->isActive());
        protocol_->queue.takeAll();
        QByteArray stream;
        for (quint64 n = 0; n < 50; ++n)
            stream += sim::IotNode::frame(n);
        link_.send(stream);
        link_.send(QByteArray(128, '\x00')); // something the stand-in can judge after the stream
        QTest::qWait(1500);
        QCOMPARE(protocol_->queue.size(), 0);
        QCOMPARE(tag_->parsed.load(), 0); // 160-byte frames never sum up as 128-byte ones here

        ProtocolFactory::loadProtocols("iot_frame0", this);
        QVERIFY(protocol_->isActive() && !tag_->isActive());
        QCOMPARE(decode(sim::IotNode::frame(7), 1).size(), 1);
    }

    void handleServesProductType11_data()
    {
        QTest::addColumn<int>("series");
        QTest::addColumn<QString>("displayName");
        QTest::addColumn<int>("warnings");
        QTest::newRow("series 0") << 0 << "IOT" << 0;
        QTest::newRow("series 1 still served") << 1 << "" << 1;
    }

    void handleServesProductType11()
    {
        QFETCH(int, series);
        QFETCH(QString, displayName);
        QFETCH(int, warnings);
        ProductsManager* products = ProductsManager::instance();
        if (!iot::ProductHandle::existing())
            QVERIFY(!iot::ProductHandle::instance(products)->isActive());
        ProtocolFactory::loadProtocols("Vexa_Trelvan_Tag_Frame0", this);
        QVERIFY(!protocol_->isActive());

        ProtocolSystem::instance()->processFrame(sim::systemFrameReply(sim::productInfo(11, series, 921600)));
        talmeno_test::LogCapture log;
        ProductHandleBase* handle = products->setCurrentProduct(11, series);
        QCOMPARE(handle, static_cast<ProductHandleBase*>(iot::ProductHandle::existing()));
        QVERIFY(handle->isActive());
        QCOMPARE(handle->displayName(), displayName);
        QCOMPARE(log.count(QtWarningMsg, QString("Product series is illegal: %1").arg(series)), warnings);
        QVERIFY(protocol_->isActive());
        QVERIFY(!tag_->isActive());
    }
};

TALMENO_TEST_MAIN(TestIotFrame)
#include "tst_iot_frame.moc"
