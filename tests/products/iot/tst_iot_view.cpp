// The iot node-grid page fed with real frames through its protocol.

#include "model/ResourceItems.h"
#include "products/iot/IotProtocolFrame0.h"
#include "products/iot/IotWidgetFrame0.h"
#include "widgets/PlainTextEditWithFile.h"
#include "widgets/ZFlowLayout.h"
#include "widgets/ZLabel.h"
#include "helpers/IotTestEnv.h"
#include "sim/IotNodeSimulator.h"
#include "support/testenv.h"

#include <QLabel>
#include <QStackedWidget>

#include <memory>
#include <tuple>

using iot::ProtocolFrame0;
using iot::WidgetFrame0;
using iot::WidgetNode0;

namespace {

// Frame number k carries the given ids in slots 0.. with cnt k and distance
// id + k/1000 m (whole mm).
QByteArray frameWith(const QList<uint>& ids, int k)
{
    sim::IotSlots nodes;
    int slot = 0;
    for (uint id : ids) {
        sim::IotNodeRecord r;
        r.id = id;
        r.cnt = quint8(k);
        r.disMm = qint32(id % 1000) * 1000 + k;
        r.aoaH = -k * 10;
        r.aoaV = 1;
        nodes.emplace_back(slot++, r);
    }
    return sim::iotFrame(nodes);
}

// "1,2|1;5": refreshes split by ';', frames by '|', ids (hex) by ','.
QList<QList<QList<uint>>> parseBatches(const QString& text)
{
    QList<QList<QList<uint>>> batches;
    for (const QString& batch : text.split(';')) {
        QList<QList<uint>> frames;
        for (const QString& frame : batch.split('|')) {
            QList<uint> ids;
            for (const QString& id : frame.split(',', Qt::SkipEmptyParts))
                ids << id.toUInt(nullptr, 16);
            frames << ids;
        }
        batches << frames;
    }
    return batches;
}

} // namespace

class TestIotView : public QObject
{
    Q_OBJECT

    ProtocolFrame0* protocol_ = nullptr;
    QWidget parent_;

    std::unique_ptr<WidgetFrame0> makePage()
    {
        DataResourceItem* item = protocol_->dataItem();
        return std::unique_ptr<WidgetFrame0>(qobject_cast<WidgetFrame0*>(item->factory()->create(item, &parent_)));
    }

    // Every node's box, built on demand (the page is hidden), in flow order.
    static QList<WidgetNode0*> boxesInFlow(WidgetFrame0& page)
    {
        for (quint64 id : page.nodes().value(0).keys())
            page.box(0, id);
        QList<WidgetNode0*> boxes;
        for (int i = 0; i < page.flowLayout->count(); ++i)
            boxes << qobject_cast<WidgetNode0*>(page.flowLayout->itemAt(i)->widget());
        return boxes;
    }

private slots:
    void initTestCase()
    {
        iottest::startPipeline();
        protocol_ = ProtocolFrame0::instance();
        protocol_->processFrame(frameWith({}, 0)); // registers the data item
        QVERIFY(protocol_->dataItem());
        protocol_->queue.takeAll();
    }

    void refreshesShowNodes_data()
    {
        QTest::addColumn<QString>("batches");
        QTest::addColumn<QStringList>("boxes");   // id labels in flow order
        QTest::addColumn<QStringList>("changed"); // per box
        QTest::addColumn<QString>("lights");      // per box: g(reen) or -
        QTest::addColumn<QStringList>("cnts");    // per box
        QTest::addColumn<QString>("nodeCount");
        QTest::newRow("a node leaves")
            << "1,2;1" << QStringList{"1", "2"} << QStringList{"Changed", ""} << "g-" << QStringList{"2", "1"} << "1";
        QTest::newRow("ids 9, 3, 1a laid out by id")
            << "9|3|1a" << QStringList{"3", "9", "1a"} << QStringList{"Changed", "Changed", "Changed"} << "--g"
            << QStringList{"2", "1", "3"} << "1";
        QTest::newRow("ids above 0x7fffffff sort last")
            << "80000005,1,ffffffff;7fffffff" << QStringList{"1", "7fffffff", "80000005", "ffffffff"}
            << QStringList{"", "Changed", "", ""} << "-g--" << QStringList{"1", "2", "1", "1"} << "1";
        QTest::newRow("newest frame without nodes")
            << "1|" << QStringList{"1"} << QStringList{"Changed"} << "-" << QStringList{"1"} << "0";
    }

    void refreshesShowNodes()
    {
        QFETCH(QString, batches);
        QFETCH(QStringList, boxes);
        QFETCH(QStringList, changed);
        QFETCH(QString, lights);
        QFETCH(QStringList, cnts);
        QFETCH(QString, nodeCount);
        protocol_->queue.takeAll();
        std::unique_ptr<WidgetFrame0> page = makePage();
        int k = 0;
        for (const QList<QList<uint>>& batch : parseBatches(batches)) {
            for (const QList<uint>& ids : batch)
                protocol_->processFrame(frameWith(ids, ++k));
            page->refresh();
        }

        QStringList names, changedTexts, cntTexts;
        QString lightText;
        for (WidgetNode0* box : boxesInFlow(*page)) {
            QVERIFY(box);
            names << box->nameLabel->text();
            changedTexts << box->changedLabel->text();
            lightText += box->lightStack->currentIndex() == 1 ? "g" : "-";
            cntTexts << box->cntLabel->value();
            // Values of the newest record that carried the node.
            const int n = box->cntLabel->value().toInt();
            const uint id = box->nameLabel->text().toUInt(nullptr, 16);
            QCOMPARE(box->disLabel->value(), QString::number(float(qint32(id % 1000) * 1000 + n) / 1000.0f, 'g', 6));
            QCOMPARE(box->aoaHLabel->value(), QString::number(float(-n * 10) / 1000.0f, 'g', 6));
            QCOMPARE(box->aoaVLabel->value(), QString("0.001"));
            QCOMPARE(page->box(0, id), box);
        }
        QCOMPARE(names, boxes);
        QCOMPARE(changedTexts, changed);
        QCOMPARE(lightText, lights);
        QCOMPARE(cntTexts, cnts);
        QCOMPARE(page->nodeCountLabel->value(), nodeCount);
    }

    void consoleAndTimeLines()
    {
        protocol_->queue.takeAll();
        std::unique_ptr<WidgetFrame0> page = makePage();
        const QByteArray a = frameWith({0x1a}, 1);
        const QByteArray b = frameWith({0x1a, 2}, 2);
        for (const auto& pc : {qMakePair(a, 3723004u), qMakePair(b, 0u)}) {
            auto d = QSharedPointer<ProtocolFrame0::Data>::create();
            d->pcTime = pc.second;
            d->raw = pc.first;
            d->nodes = ProtocolFrame0::decodeNodes(pc.first.constData());
            protocol_->queue.push(d);
        }
        page->refresh();
        page->rawConsole->flushPending();
        const QString expected = "[pc: 01:02:03.004]\n" + QString::fromLatin1(a.toHex(' ')) + "\n[pc: 00:00:00.000]\n" +
                                 QString::fromLatin1(b.toHex(' '));
        QCOMPARE(page->rawConsole->toPlainText().trimmed(), expected);
        // The newest frame has no PC time: the time lines of the boxes stay unset.
        QCOMPARE(page->box(0, 0x1a)->infoLabel->text(), QString());

        // With a PC time, each box shows the line of the newest frame that carried it.
        protocol_->processFrame(frameWith({2}, 3));
        page->refresh();
        QVERIFY(page->box(0, 2)->infoLabel->text().startsWith("pc: "));
        QCOMPARE(page->box(0, 0x1a)->infoLabel->text(), QString());
    }

    // A box built late, or asked for on a hidden page, shows its node's newest
    // record, name, light and mark exactly as a box built early and refreshed.
    void boxBuiltLateShowsWhatItsNodeGot()
    {
        protocol_->queue.takeAll();
        std::unique_ptr<WidgetFrame0> page = makePage();
        int k = 0;
        for (uint first = 1; first <= 300; first += ProtocolFrame0::kNodeSlots) {
            QList<uint> ids;
            for (uint id = first; id < first + ProtocolFrame0::kNodeSlots; ++id)
                ids << id;
            protocol_->processFrame(frameWith(ids, ++k));
        }
        page->refresh();
        QCOMPARE(page->nodes().value(0).size(), 300);
        QVERIFY(page->builtBoxes().isEmpty());
        WidgetNode0* early = page->box(0, 1);

        // The newest frame carries the first and the last node again.
        protocol_->processFrame(frameWith({1, 300}, ++k));
        page->refresh();
        QCOMPARE(page->builtBoxes(), QList<WidgetNode0*>{early});
        // (id, cnt of its newest record, lit and changed by the last refresh)
        const QList<std::tuple<uint, int, bool>> expected{{1, 31, true}, {300, 31, true}, {299, 30, false}};
        for (const auto& [id, cnt, lit] : expected) {
            WidgetNode0* box = page->box(0, id);
            QCOMPARE(box->nameLabel->text(), QString::number(id, 16));
            QCOMPARE(box->cntLabel->value(), QString::number(cnt));
            QCOMPARE(box->disLabel->value(), QString::number(float(qint32(id) * 1000 + cnt) / 1000.0f, 'g', 6));
            QCOMPARE(box->lightStack->currentIndex(), lit ? 1 : 0);
            QCOMPARE(box->changedLabel->text(), lit ? QString("Changed") : QString());
            QCOMPARE(box->minimumSize(), early->minimumSize());
        }
        QCOMPARE(page->box(0, 1), early); // kept, not built again
        QVERIFY(!page->box(0, 301));
    }

    void clearDropsTakenRecords()
    {
        protocol_->queue.takeAll();
        std::unique_ptr<WidgetFrame0> page = makePage();
        page->refresh(); // nothing taken: nothing changes
        QVERIFY(page->nodes().isEmpty() && page->nodeCountLabel->value().isEmpty());
        protocol_->processFrame(frameWith({1, 2}, 1));
        page->refresh();
        QCOMPARE(boxesInFlow(*page).size(), 2);

        protocol_->processFrame(frameWith({3}, 2));
        protocol_->dataItem()->clear();
        page->refresh();
        page->rawConsole->flushPending();
        QVERIFY(page->nodes().isEmpty());
        QCOMPARE(page->flowLayout->count(), 0);
        QVERIFY(page->rawConsole->toPlainText().isEmpty());

        protocol_->processFrame(frameWith({4}, 3));
        page->refresh();
        QCOMPARE(page->nodes().value(0).keys(), QList<quint64>{4});
        QCOMPARE(page->box(0, 4)->cntLabel->value(), QString("3"));
    }
};

TALMENO_TEST_MAIN(TestIotView)
#include "tst_iot_view.moc"
