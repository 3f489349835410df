#include "foundation/ZAlgo.h"
#include "foundation/ZUdpOutput.h"
#include "model/ModelManager.h"
#include "model/ResourceItems.h"
#include "products/sarvel/RangeSensorTables.h"
#include "products/sarvel/SarvelProtocolFrame0.h"
#include "products/sarvel/SarvelWidgetFrame0.h"
#include "protocol/ProductHandleBase.h"
#include "protocol/ProductRegistration.h"
#include "protocol/ProductsManager.h"
#include "record/DataExportObserver.h"
#include "widgets/PlainTextEditWithFile.h"
#include "widgets/ZLabel.h"
#include "helpers/RangeTestEnv.h"
#include "sim/RangeSensorSimulator.h"
#include "support/testenv.h"

#include <QFileInfo>
#include <QHostAddress>
#include <QLabel>
#include <QScrollBar>
#include <QTabWidget>
#include <QTextBlock>
#include <QNetworkDatagram>
#include <QProcess>
#include <QUdpSocket>

using namespace Sarvel;

namespace {

// A range frame from its fields, written independently of the decoder.
QByteArray frame(quint32 time, quint8 d0, quint8 d1, quint8 d2, quint8 status, quint16 strength, quint8 precision)
{
    QByteArray f(16, '\0');
    f[0] = char(0x57);
    f[4] = char(time & 0xFF);
    f[5] = char((time >> 8) & 0xFF);
    f[6] = char((time >> 16) & 0xFF);
    f[7] = char((time >> 24) & 0xFF);
    f[8] = char(d0);
    f[9] = char(d1);
    f[10] = char(d2);
    f[11] = char(status);
    f[12] = char(strength & 0xFF);
    f[13] = char(strength >> 8);
    f[14] = char(precision);
    ZAlgo::updateCheckSum8(reinterpret_cast<quint8*>(f.data()), 16);
    return f;
}

class TestHandle : public ProductHandleBase
{
public:
    TestHandle(int type, QObject* parent)
        : ProductHandleBase(type, parent)
    {
    }
    QString handleProductRecognized() override { return QString(); }
};

} // namespace

class TestRangeFrame : public QObject
{
    Q_OBJECT

    ProtocolFrame0* protocol_ = nullptr;

    LineResourceItem* item(int i) const { return protocol_->lineItem(i); }

private slots:
    void initTestCase()
    {
        rangetest::startPipeline();
        rangetest::testModelManager();
        udpOutputEnabled.store(false);
        protocol_ = ProtocolFrame0::instance();
        QVERIFY(protocol_);
        // The first frame makes the data and line items: every case finds them.
        protocol_->processFrame(frame(0, 0, 0, 0, 0, 0, 0));
        protocol_->queue.takeAll();
    }

    // Runs first: nothing before it may have sent a datagram.
    void udpOffMakesNoSocket()
    {
        for (int i = 0; i < 5; ++i)
            protocol_->processFrame(frame(1000 + i, 0x10, 0x27, 0, 1, 2, 3));
        QVERIFY(protocol_->queue.size() >= 5);
        QVERIFY(!udpSocketCreated());
        protocol_->queue.takeAll();
    }

    void tables()
    {
        QCOMPARE(rionProductTypes(), (QSet<int>{6, 7, 14, 15, 16, 17}));
        QCOMPARE(Sarvel::frameName(0), QString("Vexa_Sarvel_Frame0"));
        QVERIFY(Sarvel::frameName(1).isEmpty());
        QCOMPARE(Parvo::frameName(1), QString("Vexa_Sarvel-Vora_Frame0_16"));
        QCOMPARE(Parvo::frameName(0), QString("Vexa_Sarvel-Vora_Frame0_64"));
        QVERIFY(Parvo::baudRateList(2).isEmpty());
        QCOMPARE(Parvo::baudRateList(1), (QStringList{"100000", "250000", "500000", "1000000"}));
        QCOMPARE(Parvo::baudRateList(0).size(), 9);
    }

    void protocolShape()
    {
        QCOMPARE(protocol_->name(), QString("Vexa_Sarvel_Frame0"));
        QCOMPARE(protocol_->head(), QByteArray("\x57\x00", 2));
        QCOMPARE(protocol_->frameLength(), 16);
        QVERIFY(protocol_->isLengthKnown());
        QCOMPARE(protocol_->exportColumns(),
                 (QStringList{"time(ms)", "dis(m)", "dis_status", "signal_strength", "range_precision(cm)"}));
        QCOMPARE(ProtocolFrame0::instance(nullptr), protocol_);
        QCOMPARE(protocol_->queue.name_, protocol_->name());
        // A frame whose checksum is off is refused before parsing.
        QByteArray bad = frame(1, 1, 2, 3, 0, 0, 0);
        QVERIFY(protocol_->verifyFrame(bad.constData()));
        bad[15] = char(bad[15] + 1);
        QVERIFY(!protocol_->verifyFrame(bad.constData()));
    }

    void signedDistance_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("mm");
        QTest::addColumn<float>("metres");
        QTest::newRow("minus one") << QByteArray("\xFF\xFF\xFF", 3) << -1 << -0.001f;
        QTest::newRow("most negative") << QByteArray("\x00\x00\x80", 3) << -8388608 << -8388.608f;
        QTest::newRow("ten metres") << QByteArray("\x10\x27\x00", 3) << 10000 << 10.0f;
        QTest::newRow("most positive") << QByteArray("\xFF\xFF\x7F", 3) << 8388607 << 8388.607f;
    }

    void signedDistance()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, mm);
        QFETCH(float, metres);
        const QByteArray f = frame(0, quint8(bytes[0]), quint8(bytes[1]), quint8(bytes[2]), 0, 0, 0);
        const RangeFrameValues v = RangeFrameValues::decode(f);
        QCOMPARE(v.distanceMm, mm);
        QCOMPARE(v.distanceMetres(), metres);
    }

    void valuesReachTheLineItems()
    {
        QVERIFY(item(0) && item(4) && protocol_->dataItem());
        QCOMPARE(protocol_->collector()->items().size(), 5);
        QCOMPARE(item(1)->name(), QString("dis(m)"));
        QCOMPARE(item(1)->belong(), QString("Vexa_Sarvel_Frame0"));
        QCOMPARE(protocol_->dataItem()->name(), QString("data"));
        QVERIFY(protocol_->dataItem()->factory());

        // No product recognised: the range precision is not plotted.
        const int precisionCount = item(4)->values().size();
        protocol_->dataItem()->setDirty(false);
        protocol_->processFrame(frame(4242, 0xFF, 0xFF, 0xFF, 7, 0x0201, 9));
        QVERIFY(protocol_->dataItem()->isDirty());
        QCOMPARE(item(0)->lastValue(), 4242.0);
        QCOMPARE(item(1)->lastValue(), double(-0.001f));
        QCOMPARE(item(2)->lastValue(), 7.0);
        QCOMPARE(item(3)->lastValue(), 513.0);
        QCOMPARE(item(4)->values().size(), precisionCount);
        protocol_->queue.takeAll();
    }

    void rangePrecisionOnlyForTheExtendedTypes()
    {
        ProductRegistration::registerLine(ProductRegistration::ProductLine::Sarvel,
                                          [](int type, const QString&, const QString&, QObject* parent) {
                                              return static_cast<ProductHandleBase*>(new TestHandle(type, parent));
                                          });
        ProductsManager* products = ProductsManager::instance(nullptr);
        QVERIFY(products->setCurrentProduct(4, 0));
        int before = item(4)->values().size();
        protocol_->processFrame(frame(1, 1, 0, 0, 0, 0, 12));
        QCOMPARE(item(4)->values().size(), before);

        QVERIFY(products->setCurrentProduct(6, 0));
        protocol_->processFrame(frame(2, 1, 0, 0, 0, 0, 12));
        QCOMPARE(item(4)->values().size(), before + 1);
        QCOMPARE(item(4)->lastValue(), 12.0);
        protocol_->queue.takeAll();
    }

    void jsonGoesToTheUdpAddress()
    {
        QUdpSocket receiver;
        QVERIFY(receiver.bind(QHostAddress(QHostAddress::LocalHost), 0));
        udpOutputPort.store(receiver.localPort());
        udpOutputEnabled.store(true);
        QCOMPARE(udpOutputAddress(), QString("127.0.0.1")); // the test runner's address

        // Type 4 is current: no precision item, but the JSON still carries it.
        ProductsManager::instance()->setCurrentProduct(4, 0);
        protocol_->processFrame(frame(1000, 0x10, 0x27, 0x00, 3, 513, 4));
        protocol_->processFrame(frame(86400123u, 0xFF, 0xFF, 0xFF, 0, 65535, 255));
        udpOutputEnabled.store(false);
        protocol_->processFrame(frame(5, 1, 1, 1, 1, 1, 1)); // not sent

        QList<QByteArray> texts;
        QElapsedTimer clock;
        clock.start();
        while (texts.size() < 2 && clock.elapsed() < 3000) {
            if (receiver.hasPendingDatagrams() || receiver.waitForReadyRead(100)) {
                while (receiver.hasPendingDatagrams())
                    texts << receiver.receiveDatagram().data();
            }
        }
        QCOMPARE(texts.size(), 2);
        QTest::qWait(100);
        QVERIFY(!receiver.hasPendingDatagrams());
        QCOMPARE(texts.at(0),
                 QByteArray(R"({"dis":10.0,"dis_status":3,"range_precision":4,"signal_strength":513,"system_time":1000})"));
        // The single-precision value widened to double, written so that it reads back exactly.
        const QByteArray second = texts.at(1);
        QVERIFY2(second.startsWith(R"({"dis":-0.0010000000474974513,)"), second.constData());
        QVERIFY(second.endsWith(R"("range_precision":255,"signal_strength":65535,"system_time":86400123})"));
        const QByteArray number = second.mid(7, second.indexOf(',') - 7);
        QCOMPARE(number.toDouble(), double(-0.001f));
        QVERIFY(udpSocketCreated());
        protocol_->queue.takeAll();
    }

    void queueKeepsTheNewestThousand()
    {
        protocol_->queue.takeAll();
        rangetest::LogCapture log;
        for (quint32 i = 0; i < 1003; ++i)
            protocol_->processFrame(frame(i, 0, 0, 0, 0, 0, 0));
        QCOMPARE(protocol_->queue.size(), 1000);
        QCOMPARE(log.count("Vexa_Sarvel_Frame0:datas_.size() > 1000, previous data will be discarded"), 3);
        const auto records = protocol_->queue.takeAll();
        QCOMPARE(RangeFrameValues::decode(*records.first()).systemTime, 3u);
        QCOMPARE(RangeFrameValues::decode(*records.last()).systemTime, 1002u);
    }

    void exportRowOfTheLastFrame()
    {
        protocol_->processFrame(frame(77, 0xFF, 0xFF, 0xFF, 2, 300, 8));
        const QList<QVariant> row = protocol_->fillExportRow();
        QCOMPARE(row.size(), 5);
        QCOMPARE(row.at(0), QVariant(quint32(77)));
        QCOMPARE(row.at(1).toFloat(), -0.001f);
        QCOMPARE(row.at(2).toInt(), 2);
        QCOMPARE(row.at(3).toInt(), 300);
        QCOMPARE(row.at(4).toInt(), 8); // exported for every product type
        protocol_->queue.takeAll();
    }

    void exportWritesOneRowPerFrame()
    {
        protocol_->setActive(true);
        DataExportSubject* subject = DataExportSubject::instance();
        QVERIFY(subject->setExporting(true));
        protocol_->processFrame(frame(10, 0xDC, 0x05, 0x00, 1, 100, 5)); // 1.5 m
        protocol_->processFrame(frame(20, 0xCA, 0x08, 0x00, 0, 200, 6)); // 2.25 m
        QVERIFY(subject->setExporting(false));
        QVERIFY(subject->waitForSaves()); // the workbook is saved on a thread of its own
        protocol_->setActive(false);
        protocol_->queue.takeAll();
        const QString file = subject->fileName();
        QVERIFY(QFileInfo::exists(file));
        // The suite's machine has python3 with openpyxl: a missing reader is a fault of
        // the set-up, not a reason to pass without reading the workbook.
        QVERIFY2(QFileInfo::exists("/usr/bin/python3"), "/usr/bin/python3 is needed to read the workbook");
        QProcess py;
        py.start("/usr/bin/python3",
                 {"-c",
                  "import sys, openpyxl\n"
                  "ws = openpyxl.load_workbook(sys.argv[1])['Vexa_Sarvel_Frame0']\n"
                  "for r in ws.iter_rows(values_only=True): print('|'.join(str(v) for v in r))\n",
                  file});
        QVERIFY(py.waitForFinished(20000));
        QVERIFY2(py.exitStatus() == QProcess::NormalExit && py.exitCode() == 0,
                 py.readAllStandardError().constData());
        const QStringList rows = QString::fromUtf8(py.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
        QCOMPARE(rows.size(), 3);
        QCOMPARE(rows.at(0), QString("time(ms)|dis(m)|dis_status|signal_strength|range_precision(cm)"));
        QCOMPARE(rows.at(1), QString("10|1.5|1|100|5"));
        QCOMPARE(rows.at(2), QString("20|2.25|0|200|6"));
    }

    void pageShowsTheConsoleAndTheNewestFrame()
    {
        protocol_->queue.takeAll();
        DataResourceItem* data = protocol_->dataItem();
        QWidget parent;
        DataWidgetBase* base = data->factory()->create(data, &parent);
        auto* page = qobject_cast<WidgetFrame0*>(base);
        QVERIFY(page);
        QVERIFY(page->isHidden());
        QCOMPARE(page->statisticCount(), 5);
        QCOMPARE(page->label(4)->captionLabel()->text(), QString("range_precision(cm):"));
        QCOMPARE(page->label(0)->captionLabel()->text(), QString("time(ms):"));

        // An empty queue changes nothing.
        page->refresh();
        page->console()->flushPending();
        QVERIFY(page->console()->toPlainText().isEmpty());
        QVERIFY(page->label(0)->value().isEmpty());

        const quint32 t = ((1 * 60 + 2) * 60 + 3) * 1000 + 4;
        protocol_->processFrame(frame(5, 0x10, 0x27, 0, 1, 10, 1));
        protocol_->processFrame(frame(6, 0x20, 0x27, 0, 2, 20, 2));
        protocol_->processFrame(frame(t, 0xFF, 0xFF, 0xFF, 3, 513, 9));
        page->refresh();
        page->console()->flushPending();
        const QStringList lines = page->console()->toPlainText().split('\n');
        QCOMPARE(lines.size(), 6);
        QCOMPARE(lines.at(0), QString("[00:00:00:005]"));
        QCOMPARE(lines.at(4), QString("[01:02:03:004]"));
        QCOMPARE(lines.at(5), QString::fromLatin1(frame(t, 0xFF, 0xFF, 0xFF, 3, 513, 9).toHex(' ').toUpper()));
        QCOMPARE(page->label(0)->value(), QString::number(t));
        QCOMPARE(page->label(1)->value(), QString("-0.001"));
        QCOMPARE(page->label(2)->value(), QString("3"));
        QCOMPARE(page->label(3)->value(), QString("513"));
        QCOMPARE(page->label(4)->value(), QString("9"));
        QCOMPARE(protocol_->queue.size(), 0);

        // From 24 hours on the stamp is empty.
        QCOMPARE(WidgetFrame0::timeStamp(86399999u), QString("[23:59:59:999]"));
        QVERIFY(WidgetFrame0::timeStamp(86400000u).isEmpty());

        // A clear request empties the labels and drops what was queued.
        protocol_->processFrame(frame(8, 1, 0, 0, 0, 0, 0));
        data->clear();
        page->refresh();
        QVERIFY(!data->isClearRequested());
        QVERIFY(page->label(0)->value().isEmpty());
        QVERIFY(page->label(1)->value().isEmpty());
        QCOMPARE(protocol_->queue.size(), 0);
        page->console()->flushPending();
        QCOMPARE(page->console()->toPlainText().split('\n').size(), 6);
    }

    // The console shows the newest frame whenever its page is in front, also after
    // Data -> Line -> Data while frames went on (its last batch written while hidden),
    // unless the user scrolled up.
    void consoleFollowsNewestFramesAcrossTabs()
    {
        protocol_->queue.takeAll();
        DataResourceItem* data = protocol_->dataItem();
        QTabWidget tabs;
        auto* page = qobject_cast<WidgetFrame0*>(data->factory()->create(data, &tabs));
        tabs.addTab(page, "Data");
        tabs.addTab(new QWidget, "Line");
        tabs.resize(900, 500);
        tabs.show();
        QVERIFY(QTest::qWaitForWindowExposed(&tabs));
        PlainTextEditWithFile* console = page->console();
        quint32 t = 1000;
        QString newest;
        const auto feed = [&](int count) {
            for (int i = 0; i < count; ++i) {
                const QByteArray f = frame(t += 10, quint8(i), 0x10, 0, 0, quint16(i), 2);
                protocol_->processFrame(f);
                newest = QString::fromLatin1(f.toHex(' ').toUpper());
            }
            page->refresh();
        };
        const auto bottomLine = [console] {
            return console->cursorForPosition(QPoint(4, console->viewport()->height() - 4)).block().text();
        };
        feed(100);
        QTRY_COMPARE(bottomLine(), newest);
        feed(100);
        tabs.setCurrentIndex(1);
        console->flushPending();
        tabs.setCurrentIndex(0);
        for (int round = 0; round < 3; ++round) {
            feed(5);
            QTRY_COMPARE(bottomLine(), newest);
        }
        console->verticalScrollBar()->setValue(0);
        const QString top = bottomLine();
        feed(5);
        console->flushPending();
        QCOMPARE(bottomLine(), top);
    }

    void simulatorFramesDecode()
    {
        const QByteArray f = sim::rangeFrame(123456, -1234, 4, 999, 3);
        QVERIFY(protocol_->verifyFrame(f.constData()));
        const RangeFrameValues v = RangeFrameValues::decode(f);
        QCOMPARE(v.systemTime, 123456u);
        QCOMPARE(v.distanceMm, -1234);
        QCOMPARE(int(v.status), 4);
        QCOMPARE(int(v.signalStrength), 999);
        QCOMPARE(int(v.rangePrecisionCm), 3);
    }
};

TALMENO_TEST_MAIN(TestRangeFrame)
#include "tst_range_frame.moc"
