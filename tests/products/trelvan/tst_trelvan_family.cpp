// The shared shape of the data-frame protocols, driven through the real frame
// search and processor with a small frame of the family: length rule, items,
// record checks, queue, export row and the JSON text sent over UDP.

#include "support/testenv.h"

#include "helpers/TestCapture.h"
#include "helpers/TestNodeFrame.h"
#include "model/ModelManager.h"
#include "model/ResourceItems.h"
#include "products/trelvan/TrelvanRegistration.h"
#include "products/trelvan/protocols/UdpJsonDocument.h"
#include "protocol/ProtocolDataProcessor.h"
#include "protocol/ProtocolFrameExtraction.h"
#include "protocol/ProtocolSeams.h"
#include "foundation/UserPaths.h"
#include "views/DataResource.h"
#include "views/ViewHooks.h"
#include "widgets/LineStatisticWidget.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QUdpSocket>

using TestTrelvan::ProtocolTestFrame;
using TestTrelvan::TestRecord;
using TestTrelvan::buildTestFrame;
using TestTrelvan::logCount;

class TestTrelvanFamily : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir;
    ModelManager* linesPage = nullptr; // offers Data and Line
    ModelManager* dataPage = nullptr;  // offers Data only
    ProtocolFrameExtraction* ex = nullptr;
    ProtocolTestFrame* p = nullptr;

    // Bytes in, through the search and the processor, as the worker threads would.
    void feed(const QByteArray& bytes)
    {
        ex->appendData(bytes);
        ex->extractFrames();
        ProtocolDataProcessor::instance()->processFrames();
    }

    LineResourceItem* line(const QString& name)
    {
        return qobject_cast<LineResourceItem*>(
            linesPage->createResource(ResourceType::Line, p->name(), name, true, nullptr, false));
    }

private slots:
    void initTestCase()
    {
        TestTrelvan::startLogCapture();
        QVERIFY(dir.isValid());
        linesPage = new ModelManager(dir.filePath("lines.ini"), {ResourceType::Data, ResourceType::Line}, this);
        dataPage = new ModelManager(dir.filePath("data.ini"), {ResourceType::Data}, this);
        ProtocolSeams::setCurrentModelManagerLookup(&TestTrelvan::currentManager);
        ex = ProtocolFrameExtraction::instance();
        p = ProtocolTestFrame::instance();
        p->setActive(true);
    }

    void cleanupTestCase()
    {
        ProtocolTestFrame::destroyInstance();
        DataExportSubject::destroyInstance();
        ProtocolSeams::setCurrentModelManagerLookup(nullptr);
        TestTrelvan::stopLogCapture();
    }

    void init()
    {
        ex->clearBuffers();
        p->queue.takeAll();
        TestTrelvan::clearLog();
    }

    void constructionSetsTheFamilyShape()
    {
        QCOMPARE(p->name(), QString("Test_Trelvan_Frame"));
        QCOMPARE(p->head(), QByteArray("\x55\x0C", 2));
        QVERIFY(p->isLengthKnown());
        QVERIFY(p->isVariableLength());
        QCOMPARE(p->minFrameLength(), ProtocolTestFrame::kFixedPart);
        QCOMPARE(p->frameLength(), ProtocolTestFrame::kFixedPart);
        QCOMPARE(p->exportColumns(), (QStringList{"systemTime(ms)", "voltage(V)", "nodeCount", "role", "id", "dis(m)",
                                                  "fpRssi(dB)"}));
        QCOMPARE(p->queue.name_, p->name());

        // A fixed frame of the family keeps the default length answer.
        struct Fixed : Trelvan::DataFrameProtocol
        {
            Fixed()
                : DataFrameProtocol(0, 896, 0, 896, nullptr)
            {
            }
            void parseFrame(const QByteArray&) override {}
        } fixed;
        QCOMPARE(fixed.name(), QString("Vexa_Trelvan_Anchor_Frame0"));
        QCOMPARE(fixed.head(), QByteArray("\x55\x00", 2));
        QCOMPARE(fixed.frameLength(), 896);
        QVERIFY(!fixed.isVariableLength());
        QVERIFY(fixed.checkFrameLength("\x55", 1));
    }

    // Runs first among the parsing tests: the protocol registers its items once,
    // here on a page without line items.
    void pageWithoutLineItemsStillParses()
    {
        TestTrelvan::setCurrentManager(dataPage);
        QVERIFY(!p->isDataItemsRegistered());
        feed(buildTestFrame(1, 3, 1000, 3300, {{2, 9, 1500, 10}}));
        QVERIFY(p->isDataItemsRegistered());
        QVERIFY(p->dataItem());
        QVERIFY(!p->voltageItem);
        QVERIFY(!p->systemTimeItem);
        QVERIFY(p->lineCollector()->items().isEmpty());
        QVERIFY(p->nodeItems.value(2).value(9));
        QVERIFY(!p->nodeItems.value(2).value(9)->dis);
        QCOMPARE(p->queue.size(), 1);
        QVERIFY(p->dataItem()->isDirty());
        QVERIFY(p->dataItem()->factory());
    }

    void itemsReceiveScaledValues()
    {
        if (!p->isDataItemsRegistered()) { // run alone: registered first on the page without lines
            TestTrelvan::setCurrentManager(dataPage);
            feed(buildTestFrame(1, 3, 1000, 3300, {}));
            p->queue.takeAll();
        }
        TestTrelvan::setCurrentManager(linesPage);
        // Items of the line page (registration again, as a page change would need).
        p->processFrame(buildTestFrame(1, 3, 1000, 3300, {})); // takes the line page
        p->registerDataItems();
        QVERIFY(p->voltageItem);
        QVERIFY(p->systemTimeItem);
        QVERIFY(!p->systemTimeItem->isUsed());
        QVERIFY(p->voltageItem->isUsed());
        QCOMPARE(p->lineCollector()->items().size(), 2);

        p->dataItem()->setDirty(false);
        feed(buildTestFrame(1, 3, 123456, 3300, {{1, 5, -1, 150}, {0, 7, -8388608, 0}}));
        QCOMPARE(p->voltageItem->lastValue(), double(3.3f));
        QCOMPARE(p->systemTimeItem->lastValue(), 123456.0);
        LineResourceItem* dis = line("dis[A_5](m)");
        LineResourceItem* rssi = line("fpRssi[A_5](dB)");
        QCOMPARE(dis->lastValue(), double(-0.001f));
        QCOMPARE(rssi->lastValue(), -75.0);
        QCOMPARE(line("dis[N_7](m)")->lastValue(), double(-8388.608f));
        QCOMPARE(p->nodeItems.value(1).value(5)->dis, dis);
        // Record items join the collector: 2 frame items + 2 per new record.
        QCOMPARE(p->lineCollector()->items().size(), 6);
        QVERIFY(p->dataItem()->isDirty());

        // A second frame reuses the record's items.
        feed(buildTestFrame(1, 3, 123457, 3301, {{1, 5, 2500, 4}}));
        QCOMPARE(dis->lastValue(), 2.5);
        QCOMPARE(dis->values().size(), 2);
        QCOMPARE(p->lineCollector()->items().size(), 6);
    }

    void pageIsBuiltAndRefreshedThroughTheDataItem()
    {
        if (!p->dataItem()) { // run alone: the items the cases before it made
            itemsReceiveScaledValues();
            init();
        }
        TestTrelvan::setCurrentManager(linesPage);
        QWidget host;
        DataResource resource(p->dataItem(), &host);
        auto* page = qobject_cast<TestTrelvan::WidgetTestFrame*>(resource.view());
        QVERIFY(page);
        QCOMPARE(page->nodeWidthSpin->value(), 200);
        // One statistics row per line item the protocol made so far.
        QCOMPARE(page->statisticCount(), p->lineCollector()->items().size());

        p->queue.takeAll();
        feed(buildTestFrame(1, 3, 500, 3300, {{1, 5, 10, 1}, {2, 44, 20, 2}}));
        resource.updateFromItem();
        QCOMPARE(page->nodes().value(1).size(), 1);
        QCOMPARE(page->nodes().value(2).size(), 1);
        QCOMPARE(page->senderLabel->text(), QString("A_3"));
        QCOMPARE(p->queue.size(), 0);
        // The new record's items reach the statistics list (queued to this thread).
        QTRY_COMPARE(page->statisticCount(), p->lineCollector()->items().size());

        // The item's clear empties the page at its next refresh.
        p->dataItem()->clear();
        resource.updateFromItem();
        QVERIFY(page->nodes().isEmpty());
    }

    void lengthRuleThroughTheSearch()
    {
        TestTrelvan::setCurrentManager(linesPage);
        const QByteArray f = buildTestFrame(2, 1, 5, 3000, {{1, 1, 100, 1}, {1, 2, 200, 2}});
        // Split before the length field, then inside the frame: found once, whole.
        feed(f.left(3));
        QCOMPARE(p->queue.size(), 0);
        feed(f.mid(3, 10));
        QCOMPARE(p->queue.size(), 0);
        QCOMPARE(p->frameLength(), f.size()); // the accepted length field
        feed(f.mid(13));
        QList<QSharedPointer<ProtocolTestFrame::Data>> got = p->queue.takeAll();
        QCOMPARE(got.size(), 1);
        QCOMPARE(got[0]->rawFrame, f);
        QCOMPARE(got[0]->nodes.size(), 2);
        QCOMPARE(got[0]->systemTime, 5u);
        QCOMPARE(int(got[0]->frame.role), 2);

        // A length field below the minimum marks no frame; the next good frame
        // still comes through.
        QByteArray bad = buildTestFrame(2, 1, 6, 3000, {});
        bad[2] = char(5);
        const QByteArray good = buildTestFrame(2, 1, 7, 3000, {{1, 1, 1, 1}});
        feed(bad + good);
        QCOMPARE(p->frameLength(), good.size());
        got = p->queue.takeAll();
        QCOMPARE(got.size(), 1);
        QCOMPARE(got[0]->systemTime, 7u);

        // A frame without records is accepted.
        const QByteArray empty = buildTestFrame(2, 1, 8, 3000, {});
        feed(empty);
        got = p->queue.takeAll();
        QCOMPARE(got.size(), 1);
        QVERIFY(got[0]->nodes.isEmpty());
    }

    void recordCountPastTheFrameDropsIt()
    {
        TestTrelvan::setCurrentManager(linesPage);
        const int dropped = p->droppedFrames;
        // Claims 5 records, carries 1: the sum is right, the count is not.
        const QByteArray liar = buildTestFrame(1, 4, 9, 3000, {{1, 40, 100, 1}}, 5);
        feed(liar);
        QCOMPARE(p->queue.size(), 0);
        QCOMPARE(p->droppedFrames, dropped + 1);
        QVERIFY(!p->nodeItems.value(1).contains(40));
        QCOMPARE(logCount("Test_Trelvan_Frame: record count 5 reaches past the frame"), 1);
        // Debug lines carry the time prefix.
        QVERIFY(QRegularExpression(R"(^\[\d\d\.\d\d \d\d:\d\d:\d\d\.\d\d\d\] Test_Trelvan_Frame: )").match(TestTrelvan::lastLogLine()).hasMatch());
    }

    void queueKeepsTheNewestThousand()
    {
        TestTrelvan::setCurrentManager(linesPage);
        for (quint32 i = 0; i < 1001; ++i)
            p->processFrame(buildTestFrame(1, 3, i, 3300, {}));
        QCOMPARE(p->queue.size(), 1000);
        QCOMPARE(logCount("Test_Trelvan_Frame:datas_.size() > 1000, previous data will be discarded"), 1);
        const auto all = p->queue.takeAll();
        QCOMPARE(all.first()->systemTime, 1u);
        QCOMPARE(all.last()->systemTime, 1000u);
        QCOMPARE(p->queue.size(), 0);
    }

    void exportRowRepeatsRecordColumns()
    {
        TestTrelvan::setCurrentManager(linesPage);
        p->processFrame(buildTestFrame(1, 3, 77, 3300, {{-1, 250, -1000, 3}, {2, 8, 1, 200}}));
        const QList<QVariant> row = p->fillExportRow();
        QCOMPARE(row.size(), 3 + 4 * 2);
        QCOMPARE(row[0].toUInt(), 77u);
        QCOMPARE(row[1].toFloat(), 3.3f);
        QCOMPARE(row[2].toInt(), 2);
        QCOMPARE(row[3].toInt(), -1);
        QCOMPARE(row[4].toUInt(), 250u);
        QCOMPARE(row[5].toFloat(), -1.0f);
        QCOMPARE(row[6].toFloat(), -1.5f);
        QCOMPARE(row[9].toFloat(), 0.001f);
        QCOMPARE(row[10].toFloat(), -100.0f);
        QVERIFY(!p->isExporting()); // no export runs: the row went nowhere
    }

    void exportWritesOneRowPerFrame()
    {
        TestTrelvan::setCurrentManager(linesPage);
        exportDataDir = dir.filePath("export_data");
        QStringList opened;
        ViewHooks::setOpenFolderHook([&opened](const QString& path) { opened << path; });
        DataExportSubject* subject = DataExportSubject::instance();
        QVERIFY(subject->setExporting(true));
        QVERIFY(p->isExporting());
        p->processFrame(buildTestFrame(1, 3, 11, 3300, {}));
        p->processFrame(buildTestFrame(1, 3, 12, 3000, {{-1, 250, -1000, 3}, {2, 8, 1, 200}}));
        QVERIFY(subject->setExporting(false));
        // The workbook is saved in the background; the folder opens once it is on disk.
        QVERIFY(subject->waitForSaves());
        QTRY_COMPARE(opened.size(), 1);
        ViewHooks::setOpenFolderHook(nullptr);

        // Read back: the protocol's sheet, its columns, then one row per frame.
        const char* script =
            "import json, sys, openpyxl\n"
            "wb = openpyxl.load_workbook(sys.argv[1], read_only=True)\n"
            "print(json.dumps({ws.title: [list(r) for r in ws.iter_rows(values_only=True)] for ws in wb}))\n";
        QProcess py;
        py.start("/usr/bin/python3", {"-c", script, subject->fileName()});
        QVERIFY(py.waitForFinished(30000));
        QCOMPARE(py.exitCode(), 0);
        const QJsonObject book = QJsonDocument::fromJson(py.readAllStandardOutput()).object();
        QCOMPARE(book.keys(), QStringList{"Test_Trelvan_Frame"});
        const QJsonArray rows = book.value("Test_Trelvan_Frame").toArray();
        QCOMPARE(rows.size(), 3);
        QCOMPARE(rows[0].toArray().first().toString(), QString("systemTime(ms)"));
        QCOMPARE(rows[0].toArray().at(6).toString(), QString("fpRssi(dB)")); // padded to the widest row
        const QJsonArray first = rows[1].toArray();
        QCOMPARE(first[0].toInt(), 11);
        QCOMPARE(first[2].toInt(), 0);
        // The second frame's two records repeat the record columns past the header.
        const QJsonArray second = rows[2].toArray();
        QCOMPARE(second.size(), 11);
        QCOMPARE(second[0].toInt(), 12);
        QCOMPARE(second[1].toDouble(), 3.0);
        QCOMPARE(second[3].toInt(), -1);
        QCOMPARE(second[4].toInt(), 250);
        QCOMPARE(second[5].toDouble(), -1.0);
        QCOMPARE(second[10].toDouble(), -100.0);
    }

    void jsonOverUdp()
    {
        TestTrelvan::setCurrentManager(linesPage);
        QUdpSocket receiver;
        QVERIFY(receiver.bind(QHostAddress(QHostAddress::LocalHost), quint16(0)));
        udpOutputPort = receiver.localPort();

        // Output off: nothing is sent.
        udpOutputEnabled = false;
        p->processFrame(buildTestFrame(1, 3, 1, 3300, {{1, 1, 1, 1}}));
        QVERIFY(!receiver.waitForReadyRead(100));

        auto receive = [&receiver]() -> QByteArray {
            if (!receiver.hasPendingDatagrams() && !receiver.waitForReadyRead(2000))
                return QByteArray();
            QByteArray d(int(receiver.pendingDatagramSize()), '\0');
            receiver.readDatagram(d.data(), d.size());
            return d;
        };

        udpOutputEnabled = true;
        // No frame with records sent yet: the array member is null.
        p->processFrame(buildTestFrame(-2 & 0xFF, 3, 1000, 3300, {}));
        QByteArray text = receive();
        QCOMPARE(text, QByteArray(R"({"test_frame":{"id":3,"nodes":null,"role":-2,"systemTime":1000,"voltage":3.299999952316284}})"));

        // Switched on after frames, the next frame sends a complete document.
        p->processFrame(buildTestFrame(1, 200, 4294967295u, 3000, {{1, 5, -1000, 1}, {6, 255, 8388607, 2}}));
        text = receive();
        QVERIFY(!text.contains(' '));
        QVERIFY(!text.contains('\n'));
        QJsonParseError error;
        const QJsonDocument doc = QJsonDocument::fromJson(text, &error);
        QCOMPARE(error.error, QJsonParseError::NoError);
        const QJsonObject obj = doc.object().value("test_frame").toObject();
        QCOMPARE(doc.object().keys(), QStringList{"test_frame"});
        QCOMPARE(obj.value("id").toInt(), 200);
        QCOMPARE(obj.value("systemTime").toDouble(), 4294967295.0);
        const QJsonArray nodes = obj.value("nodes").toArray();
        QCOMPARE(nodes.size(), 2);
        QCOMPARE(nodes[0].toObject().value("dis").toDouble(), -1.0);
        QCOMPARE(nodes[1].toObject().value("id").toInt(), 255);
        QCOMPARE(nodes[1].toObject().value("role").toInt(), 6);
        // Integers as integers, keys in alphabetical order.
        QVERIFY(text.contains(R"("systemTime":4294967295,)"));
        QVERIFY(text.contains(R"({"dis":-1.0,"id":5,"role":1})"));

        // Records of the earlier frame never survive: an empty array now.
        p->processFrame(buildTestFrame(1, 200, 3, 3000, {}));
        text = receive();
        QVERIFY(text.contains(R"("nodes":[])"));
        QVERIFY(!text.contains(R"("id":5)"));

        udpOutputEnabled = false;
        p->processFrame(buildTestFrame(1, 200, 4, 3000, {{1, 1, 1, 1}}));
        QVERIFY(!receiver.waitForReadyRead(100));
    }

    void registrationWiresTheFactoryAndTheLabel()
    {
        ProtocolFactory::clearRegistrations();
        ProtocolSeams::setNodeLabelFunction(nullptr);
        QCOMPARE(ProtocolSeams::nodeLabel(2, 12), QString("2_12")); // the pipeline's neutral label
        Trelvan::registerProtocols();
        QCOMPARE(ProtocolSeams::nodeLabel(2, 12), QString("T_12"));
        QVERIFY(!ProtocolFactory::isProtocolRegistered(p->name()));
        Trelvan::registerFrameProtocol<ProtocolTestFrame>(p->name());
        QVERIFY(ProtocolFactory::isProtocolRegistered(p->name()));
        ProtocolFactory::clearRegistrations();
    }

    void jsonDocumentBuildsItsShape()
    {
        Trelvan::UdpJsonDocument doc("anchor_frame0", "tags");
        QCOMPARE(doc.text(), QByteArray(R"({"anchor_frame0":{"tags":null}})"));
        doc.object()["zeta"] = 1;
        doc.object()["alpha"] = "\xC3\xA4"; // non-ASCII goes out as UTF-8
        doc.appendRecord({{"id", 1u}});
        QCOMPARE(doc.text(), QByteArray("{\"anchor_frame0\":{\"alpha\":\"\xC3\xA4\",\"tags\":[{\"id\":1}],\"zeta\":1}}"));
        doc.clearRecords();
        QVERIFY(doc.text().contains(R"("tags":[])"));
        // Broken text is replaced, not thrown.
        doc.object()["alpha"] = std::string("\xFF");
        QVERIFY(!doc.text().isEmpty());
        // Output off: sendFrame leaves the document untouched.
        udpOutputEnabled = false;
        bool called = false;
        QVERIFY(!doc.sendFrame([&called](nlohmann::json&, Trelvan::UdpJsonDocument&) { called = true; }));
        QVERIFY(!called);
    }
};

TALMENO_TEST_MAIN(TestTrelvanFamily)
#include "tst_trelvan_family.moc"
