// Node frames 5 and 7 and AOA node frame 0, which share one shape (a sender's
// clocks and voltage, then fixed-size records of ranged nodes), each through the
// real frame search and processor: items per (role, id), export rows, queued
// records, the invalid-role line, and their pages. Then all four sender frames
// (node frame 4 too) against damaged and random frames.

#include "support/testenv.h"

#include "helpers/TestCapture.h"
#include "model/ModelManager.h"
#include "model/ResourceItems.h"
#include "products/trelvan/protocols/NodeLabel.h"
#include "products/trelvan/protocols/ProtocolAoaNodeFrame0.h"
#include "products/trelvan/protocols/ProtocolNodeFrame4.h"
#include "products/trelvan/protocols/ProtocolNodeFrame5.h"
#include "products/trelvan/protocols/ProtocolNodeFrame7.h"
#include "products/trelvan/views/WidgetAoaNodeFrame0.h"
#include "products/trelvan/views/WidgetNodeFrame5.h"
#include "products/trelvan/views/WidgetNodeFrame7.h"
#include "protocol/ProtocolDataProcessor.h"
#include "protocol/ProtocolFrameExtraction.h"
#include "protocol/ProtocolSeams.h"
#include "sim/DeviceSimulator.h"
#include "sim/TrelvanScenario.h"
#include "views/DataResource.h"
#include "widgets/ZLabel.h"

#include <QGridLayout>
#include <QLabel>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <functional>

using namespace Trelvan;
using sim::RangeFrameFields;
using sim::RangeRecord;

namespace {

// What the tests need of one frame kind, whatever its class.
struct Kind
{
    QString name;
    QByteArray head;
    int minLength = 0;
    int maxLength = 0;
    bool wideIds = false;
    bool checksRole = false;
    QStringList recordNames;  // descriptor names of the record values
    QStringList recordUnits;
    QStringList exportColumns;
    DataFrameProtocol* protocol = nullptr;
    std::function<QByteArray(const RangeFrameFields&)> build;
    std::function<QList<float>(const RangeRecord&)> expected; // the record's values, scaled
    std::function<QList<QVariant>()> exportRow;
    std::function<QList<QByteArray>()> takeRawFrames;
    std::function<int()> dropped;
};

template <typename P>
void bind(Kind& k, P* p)
{
    k.protocol = p;
    k.exportRow = [p] { return p->fillExportRow(); };
    k.takeRawFrames = [p] {
        QList<QByteArray> raw;
        for (const auto& d : p->queue.takeAll())
            raw << d->rawFrame;
        return raw;
    };
    k.dropped = [p] { return p->droppedFrames; };
}

float rssi(quint8 b)
{
    return float(b) * -0.5f;
}
float disM(qint32 mm)
{
    return float(mm) / 1000.0f;
}
float deg(qint16 v)
{
    return float(v) / 100.0f;
}

// The edge records of every kind (ids cut to 8 bits where the frame has them).
QVector<RangeRecord> edgeRecords(bool wide)
{
    return {RangeRecord{1, 3, -1, -32768, 32767, 0xA0, 1},
            RangeRecord{0, wide ? 256u : 255u, -8388608, 9000, 1, 255, 255},
            RangeRecord{0, 0, 123456, -9000, -1, 200, 160},
            RangeRecord{2, 9, 10000, 18000, 0, 1, 2},
            RangeRecord{-1, wide ? 0xFFFFFFFFu : 0xFFu, 1000, 1, 2, 3, 4},
            RangeRecord{1, 3, 4000, 100, 200, 10, 20}};
}

RangeFrameFields edgeFrame(bool wide)
{
    RangeFrameFields f;
    f.role = 0;
    f.id = wide ? 0xABCDEF01u : 0xEF;
    f.localTime = 0xFFFFFFFFu;
    f.systemTime = 3723004;
    f.voltage = 3700;
    f.nodes = edgeRecords(wide);
    return f;
}

} // namespace

class TestRangingFrames : public QObject
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
            page->createResource(ResourceType::Line, k.name, name, true, nullptr, false));
    }
    static void kindRows()
    {
        QTest::addColumn<QString>("kind");
        for (const char* k : {"node frame 5", "node frame 7", "AOA node frame 0"})
            QTest::newRow(k) << QString(k);
    }

    // The page's values for the edge frame, on any of the three pages.
    template <typename Page>
    void checkPage(const Kind& k, int columns, bool oneRow)
    {
        QWidget host;
        DataResource resource(k.protocol->dataItem(), &host);
        auto* view = qobject_cast<Page*>(resource.view());
        QVERIFY(view);
        QVERIFY(!view->isVisible());
        QCOMPARE(QSize(view->nodeWidthSpin->value(), view->nodeHeightSpin->value()), Page::defaultNodeSize());
        const int n = view->leftPaneLayout->count();
        if (oneRow) {
            QLayout* row = view->leftPaneLayout->itemAt(n - 1)->layout();
            QVERIFY(row);
            QCOMPARE(row->itemAt(0)->widget(), view->frameLabels.localTime);
            QCOMPARE(row->itemAt(2)->widget(), view->frameLabels.voltage);
        } else {
            QCOMPARE(view->leftPaneLayout->itemAt(n - 3)->widget(), view->frameLabels.localTime);
            QCOMPARE(view->leftPaneLayout->itemAt(n - 2)->widget(), view->frameLabels.systemTime);
            QCOMPARE(view->leftPaneLayout->itemAt(n - 1)->widget(), view->frameLabels.voltage);
        }

        const RangeFrameFields f = edgeFrame(k.wideIds);
        feed(k.build(f));
        view->refresh();
        QCOMPARE(view->frameLabels.localTime->value(), QString("4294967295"));
        QCOMPARE(view->frameLabels.systemTime->value(), QString("3723004"));
        QCOMPARE(view->frameLabels.voltage->value(), QString("3.7"));
        QCOMPARE(view->senderLabel->text(), nodeLabel(0, f.id));
        QCOMPARE(view->nodeCountLabel->value(), QString("6"));
        // (0, 256) and (0, 0) are two boxes; each shows its newest record.
        QCOMPARE(view->nodeWidgets.value(0).size(), 2);
        QCOMPARE(view->nodeWidgets.value(1).size(), 1);
        auto* a3 = view->nodeWidgets.value(1).value(3);
        auto* wide = view->nodeWidgets.value(0).value(f.nodes[1].id);
        QVERIFY(a3 && wide);
        QCOMPARE(wide->nameLabel->text(), nodeLabel(0, f.nodes[1].id));
        QCOMPARE(a3->size(), Page::defaultNodeSize());
        QCOMPARE(a3->fieldLabels.size(), k.recordNames.size());
        const QStringList expectA3 = k.name.endsWith("7") ? QStringList{"4", "1", "2", "-5", "-10"}
                                     : k.wideIds           ? QStringList{"4", "-5", "-10"}
                                                           : QStringList{"4", "1", "-5", "-10"};
        const QStringList expectWide = k.name.endsWith("7") ? QStringList{"-8388.61", "90", "0.01", "-127.5", "-127.5"}
                                       : k.wideIds           ? QStringList{"-8388.61", "-127.5", "-127.5"}
                                                             : QStringList{"-8388.61", "90", "-127.5", "-127.5"};
        for (int i = 0; i < a3->fieldLabels.size(); ++i) {
            QCOMPARE(a3->fieldLabels[i]->captionLabel()->text(), k.recordNames[i] + k.recordUnits[i]);
            QCOMPARE(a3->fieldLabels[i]->value(), expectA3[i]);
            QCOMPARE(wide->fieldLabels[i]->value(), expectWide[i]);
        }
        // An angle that reaches the int16 limits is shown as it is.
        if (k.name.endsWith("7"))
            QCOMPARE(view->nodeWidgets.value(0).value(0)->fieldLabels[1]->value(), QString("-90"));
        if (columns > 1) {
            auto* grid = qobject_cast<QGridLayout*>(a3->contentLayout->itemAt(0)->layout());
            QVERIFY(grid);
            int row = -1, column = -1, rs = 0, cs = 0;
            grid->getItemPosition(grid->indexOf(a3->fieldLabels[3]), &row, &column, &rs, &cs);
            QCOMPARE(QPoint(column, row), QPoint(1, 1));
            grid->getItemPosition(grid->indexOf(a3->fieldLabels[1]), &row, &column, &rs, &cs);
            QCOMPARE(QPoint(column, row), QPoint(1, 0));
        }

        k.protocol->dataItem()->clear();
        view->refresh();
        QVERIFY(view->nodeWidgets.isEmpty());
        for (ZLabel* label : view->frameLabels.all())
            QVERIFY(label->value().isEmpty() && !label->captionLabel()->text().isEmpty());
    }

private slots:
    void initTestCase()
    {
        TestTrelvan::startLogCapture();
        QVERIFY(dir.isValid());
        page = new ModelManager(dir.filePath("page.ini"), {ResourceType::Data, ResourceType::Line}, this);
        TestTrelvan::setCurrentManager(page);
        ProtocolSeams::setCurrentModelManagerLookup(&TestTrelvan::currentManager);
        installNodeLabel();
        ex = ProtocolFrameExtraction::instance();

        Kind k5;
        k5.name = "Vexa_Trelvan_Node_Frame5";
        k5.head = QByteArray("\x55\x08", 2);
        k5.minLength = 24;
        k5.maxLength = 24 + 255 * 10 + 1;
        k5.wideIds = true;
        k5.checksRole = true;
        k5.recordNames = QStringList{"dis", "fpRssi", "rxRssi"};
        k5.recordUnits = QStringList{"(m)", "(dB)", "(dB)"};
        k5.build = &sim::nodeFrame5;
        k5.expected = [](const RangeRecord& r) { return QList<float>{disM(r.disMm), rssi(r.fpRssi), rssi(r.rxRssi)}; };
        bind(k5, ProtocolNodeFrame5::instance(this));

        Kind k7 = k5;
        k7.name = "Vexa_Trelvan_Node_Frame7";
        k7.head = QByteArray("\x55\x0B", 2);
        k7.maxLength = 24 + 255 * 16 + 1;
        k7.recordNames = QStringList{"dis", "angle0", "angle1", "fpRssi", "rxRssi"};
        k7.recordUnits = QStringList{"(m)", "(deg)", "(deg)", "(dB)", "(dB)"};
        k7.build = &sim::nodeFrame7;
        k7.expected = [](const RangeRecord& r) {
            return QList<float>{disM(r.disMm), deg(r.angle0), deg(r.angle1), rssi(r.fpRssi), rssi(r.rxRssi)};
        };
        bind(k7, ProtocolNodeFrame7::instance(this));

        Kind ka = k5;
        ka.name = "Vexa_Trelvan_AOA_Node_Frame0";
        ka.head = QByteArray("\x55\x07", 2);
        ka.minLength = 21;
        ka.maxLength = 21 + 255 * 11 + 1;
        ka.wideIds = false;
        ka.checksRole = false;
        ka.recordNames = QStringList{"dis", "angle", "fpRssi", "rxRssi"};
        ka.recordUnits = QStringList{"(m)", "(deg)", "(dB)", "(dB)"};
        ka.build = &sim::aoaNodeFrame0;
        ka.expected = [](const RangeRecord& r) {
            return QList<float>{disM(r.disMm), deg(r.angle0), rssi(r.fpRssi), rssi(r.rxRssi)};
        };
        bind(ka, ProtocolAoaNodeFrame0::instance(this));

        for (Kind* k : {&k5, &k7, &ka}) {
            k->exportColumns = QStringList{"localTime(ms)", "systemTime(ms)", "voltage(V)", "nodeCount", "role", "id"};
            for (int i = 0; i < k->recordNames.size(); ++i)
                k->exportColumns << k->recordNames[i] + k->recordUnits[i];
            k->protocol->setActive(true);
        }
        kinds.insert("node frame 5", k5);
        kinds.insert("node frame 7", k7);
        kinds.insert("AOA node frame 0", ka);

        Kind k4;
        k4.name = "Vexa_Trelvan_Node_Frame4";
        bind(k4, ProtocolNodeFrame4::instance(this));
        k4.protocol->setActive(true);
        kinds.insert("node frame 4", k4);
    }

    void cleanupTestCase()
    {
        ProtocolSeams::setCurrentModelManagerLookup(nullptr);
        TestTrelvan::stopLogCapture();
    }

    void init()
    {
        ex->clearBuffers();
        for (const Kind& k : qAsConst(kinds))
            k.takeRawFrames();
        TestTrelvan::clearLog();
    }

    void shapeOfTheProtocols_data() { kindRows(); }
    void shapeOfTheProtocols()
    {
        QFETCH(QString, kind);
        const Kind& k = kinds[kind];
        QCOMPARE(k.protocol->name(), k.name);
        QCOMPARE(k.protocol->head(), k.head);
        QVERIFY(k.protocol->isVariableLength());
        QCOMPARE(k.protocol->minFrameLength(), k.minLength);
        QCOMPARE(k.protocol->maxFrameLength(), k.maxLength);
        QCOMPARE(k.protocol->exportColumns(), k.exportColumns);
    }

    void recordsBecomeItemsRowsAndRecords_data() { kindRows(); }
    void recordsBecomeItemsRowsAndRecords()
    {
        QFETCH(QString, kind);
        const Kind& k = kinds[kind];
        const RangeFrameFields f = edgeFrame(k.wideIds);
        const QByteArray frame = k.build(f);
        feed(frame);

        QVERIFY(!line(k, "localTime(ms)")->isUsed());
        QVERIFY(!line(k, "systemTime(ms)")->isUsed());
        QCOMPARE(line(k, "localTime(ms)")->lastValue(), 4294967295.0); // unsigned, never -1
        QCOMPARE(line(k, "systemTime(ms)")->lastValue(), 3723004.0);
        QCOMPARE(line(k, "voltage(V)")->lastValue(), double(3.7f));

        // One item per value and (role, id), named by the node label; the last
        // record of a (role, id) leaves its values, the first its own before them.
        for (int r = 0; r < f.nodes.size(); ++r) {
            const RangeRecord& rec = f.nodes[r];
            const QString key = nodeLabel(rec.role, rec.id);
            const QList<float> values = k.expected(rec);
            for (int i = 0; i < k.recordNames.size(); ++i) {
                LineResourceItem* item = line(k, QString("%1[%2]%3").arg(k.recordNames[i], key, k.recordUnits[i]));
                QVERIFY2(item && item->isUsed(), qPrintable(key));
                const QList<double> kept = item->values();
                const int back = (r == 0) ? 2 : 1; // (1, 3) comes twice: first then last
                QVERIFY(kept.size() >= back);
                QCOMPARE(kept[kept.size() - back], double(values[i]));
            }
        }
        QVERIFY(line(k, "dis[N_0](m)") != line(k, QString("dis[N_%1](m)").arg(k.wideIds ? 256 : 255)));
        QCOMPARE(line(k, "dis[A_3](m)")->lastValue(), 4.0);
        QVERIFY(line(k, k.wideIds ? "dis[_4294967295](m)" : "dis[_255](m)"));

        // The invalid-role line: once per frame, for the first such record.
        const QStringList logged = TestTrelvan::logLines("Invalid node role encountered");
        if (k.checksRole) {
            QCOMPARE(logged.size(), 1);
            QVERIFY(logged[0].startsWith('['));
            QVERIFY(logged[0].endsWith("Invalid node role encountered,role:2,id:9,raw data:" +
                                       QString::fromLatin1(frame.toHex(' '))));
        } else {
            QVERIFY(logged.isEmpty());
        }

        const int group = 2 + k.recordNames.size();
        const QList<QVariant> row = k.exportRow();
        QCOMPARE(row.size(), 4 + group * f.nodes.size());
        QCOMPARE(row[0].toUInt(), 4294967295u);
        QCOMPARE(row[1].toUInt(), 3723004u);
        QCOMPARE(row[2].toFloat(), 3.7f);
        QCOMPARE(row[3].toInt(), 6);
        for (int r = 0; r < f.nodes.size(); ++r) {
            const QList<QVariant> g = row.mid(4 + group * r, group);
            QCOMPARE(g[0].toInt(), int(f.nodes[r].role));
            QCOMPARE(g[1].toULongLong(), qulonglong(f.nodes[r].id));
            const QList<float> values = k.expected(f.nodes[r]);
            for (int i = 0; i < values.size(); ++i)
                QCOMPARE(g[2 + i].toFloat(), values[i]);
        }
        QCOMPARE(row[4 + group * 4].toInt(), -1);

        const QList<QByteArray> raw = k.takeRawFrames();
        QCOMPARE(raw, QList<QByteArray>{frame});

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
        const Kind& k = kinds[kind];
        if (kind == "node frame 5")
            checkPage<WidgetNodeFrame5>(k, 1, false);
        else if (kind == "node frame 7")
            checkPage<WidgetNodeFrame7>(k, 1, false);
        else
            checkPage<WidgetAoaNodeFrame0>(k, 2, true);
    }

    // Counts that reach past the frame drop it whole; frames of random counts and
    // lengths are either decoded within their bytes or dropped (run under the
    // address sanitizer, an overread stops the test).
    void damagedAndRandomFrames_data()
    {
        kindRows();
        QTest::newRow("node frame 4") << QString("node frame 4");
    }
    void damagedAndRandomFrames()
    {
        QFETCH(QString, kind);
        const Kind& k = kinds[kind];
        QRandomGenerator rng(20261207u + uint(kind.size()));
        auto randomFrame = [&]() -> QByteArray {
            const int count = int(rng.bounded(0, 9));
            if (kind == "node frame 4") {
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

        // One record less in the frame than its count announces.
        QByteArray cut = randomFrame();
        while (cut.size() < 40)
            cut = randomFrame();
        cut.remove(cut.size() - 2, 1);
        cut[2] = char(cut.size() & 0xFF);
        cut[3] = char(cut.size() >> 8);
        sim::sealSum8(cut);
        const int dropped = k.dropped();
        feed(cut);
        QCOMPARE(k.dropped(), dropped + 1);
        QVERIFY(k.takeRawFrames().isEmpty());
        QVERIFY(TestTrelvan::lastLogLine().contains("reaches past the frame"));

        // Frames of random counts, shortened or lengthened by a few bytes: bytes past
        // the last record are ignored, a frame short of its records is dropped.
        QByteArray stream;
        QList<QByteArray> whole;
        int shortened = 0;
        for (int i = 0; i < 400; ++i) {
            QByteArray f = randomFrame();
            const int delta = int(rng.bounded(-4, 5));
            const bool cutShort = delta < 0 && f.size() + delta > k.protocol->minFrameLength() + 1;
            if (cutShort)
                f.remove(f.size() - 1 + delta, -delta);
            else if (delta > 0)
                f.insert(f.size() - 1, QByteArray(delta, char(0x5A)));
            f[2] = char(f.size() & 0xFF);
            f[3] = char(f.size() >> 8);
            sim::sealSum8(f);
            if (cutShort)
                ++shortened;
            else
                whole << f;
            stream += f;
        }
        QVERIFY(shortened > 50 && whole.size() > 50);
        const int droppedBefore = k.dropped();
        feed(stream);
        QCOMPARE(k.takeRawFrames(), whole);
        QCOMPARE(k.dropped(), droppedBefore + shortened);
    }
};

TALMENO_TEST_MAIN(TestRangingFrames)
#include "tst_rangingframes.moc"
