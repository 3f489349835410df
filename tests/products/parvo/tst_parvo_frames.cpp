#include "foundation/ZAlgo.h"
#include "model/ModelManager.h"
#include "model/ResourceItems.h"
#include "products/parvo/ParvoProtocolFrame0.h"
#include "protocol/ProtocolFactory.h"
#include "protocol/ProtocolFrameExtraction.h"
#include "helpers/RangeTestEnv.h"
#include "sim/RangeSensorSimulator.h"
#include "support/testenv.h"

using namespace Parvo;

namespace {

// A zone frame written byte by byte, independently of the decoder and the simulator.
QByteArray frameBytes(int zones, quint8 id, quint32 time, const QList<QByteArray>& zoneRecords, char reserved = 0)
{
    QByteArray f(9 + 6 * zones + 7, reserved);
    f[0] = char(0x57);
    f[1] = char(0x01);
    f[3] = char(id);
    f[4] = char(time & 0xFF);
    f[5] = char((time >> 8) & 0xFF);
    f[6] = char((time >> 16) & 0xFF);
    f[7] = char((time >> 24) & 0xFF);
    for (int i = 0; i < zones; ++i)
        f.replace(9 + 6 * i, 6, zoneRecords.value(i, QByteArray(6, '\0')));
    ZAlgo::updateCheckSum8(reinterpret_cast<quint8*>(f.data()), quint16(f.size()));
    return f;
}

ZoneFrameProtocol* protocolOf(int zones)
{
    return zones == 16 ? static_cast<ZoneFrameProtocol*>(ProtocolFrame0_16::instance())
                       : static_cast<ZoneFrameProtocol*>(ProtocolFrame0_64::instance());
}

void drain()
{
    if (ProtocolFrame0_16::existing())
        ProtocolFrame0_16::existing()->takeAll();
    if (ProtocolFrame0_64::existing())
        ProtocolFrame0_64::existing()->takeAll();
}

} // namespace

class TestParvoFrames : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        rangetest::startPipeline();
        rangetest::testModelManager();
        registerZoneFrames();
        for (int zones : {16, 64}) {
            ZoneFrameProtocol* p = protocolOf(zones);
            // Items are made before the first frame, as the pipeline does.
            p->processFrame(frameBytes(zones, 0, 0, {}));
            QVERIFY(p->isDataItemsRegistered());
        }
        drain();
    }

    void columnsItemsAndSum_data()
    {
        QTest::addColumn<int>("zones");
        QTest::addColumn<int>("length");
        QTest::newRow("4x4") << 16 << 112;
        QTest::newRow("8x8") << 64 << 400;
    }

    void columnsItemsAndSum()
    {
        QFETCH(int, zones);
        QFETCH(int, length);
        ZoneFrameProtocol* p = protocolOf(zones);
        const QStringList columns = p->exportColumns();
        QCOMPARE(columns.size(), 2 + 3 * zones);
        QCOMPARE(columns.mid(0, 5), (QStringList{"id", "systemTime", "0_dis", "0_disStatus", "0_signalStrength"}));
        const QString last = QString::number(zones - 1);
        QCOMPARE(columns.mid(columns.size() - 3),
                 (QStringList{last + "_dis", last + "_disStatus", last + "_signalStrength"}));
        QCOMPARE(p->lineItem(3 * zones - 1)->name(), last + "_disStrength");
        // A checksum off by one is refused before parsing.
        QByteArray bad = frameBytes(zones, 1, 2, {});
        QVERIFY(p->verifyFrame(bad.constData()));
        bad[length - 1] = char(bad[length - 1] + 1);
        QVERIFY(!p->verifyFrame(bad.constData()));
    }

    void zoneValuesDecode_data()
    {
        QTest::addColumn<int>("zones");
        QTest::addColumn<QByteArray>("record");
        QTest::addColumn<float>("metres");
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("strength");
        QTest::newRow("4x4 one metre") << 16 << QByteArray("\x40\x42\x0F\x05\x34\x12", 6) << 1.0f << 5 << 0x1234;
        QTest::newRow("4x4 minus one") << 16 << QByteArray("\xFF\xFF\xFF\x00\x00\x00", 6) << -0.000001f << 0 << 0;
        QTest::newRow("8x8 most positive") << 64 << QByteArray("\xFF\xFF\x7F\xFF\xFF\xFF", 6) << 8.388607f << 255
                                           << 65535;
        QTest::newRow("8x8 most negative") << 64 << QByteArray("\x00\x00\x80\x80\x00\x80", 6) << -8.388608f << 128
                                           << 32768;
    }

    // The values land in the zone's line items and in the export row; every other
    // zone and the reserved bytes may hold anything.
    void zoneValuesDecode()
    {
        QFETCH(int, zones);
        QFETCH(QByteArray, record);
        QFETCH(float, metres);
        QFETCH(int, status);
        QFETCH(int, strength);
        ZoneFrameProtocol* p = protocolOf(zones);
        const int zone = zones - 2;
        QList<QByteArray> records;
        for (int i = 0; i < zones; ++i)
            records << (i == zone ? record : QByteArray("\x10\x27\x00\x01\x02\x00", 6)); // 10 mm, 1, 2
        const QByteArray f = frameBytes(zones, 0x2A, 0xFEDCBA98u, records, char(0xA5));
        QVERIFY(p->verifyFrame(f.constData()));
        p->dataItem()->setDirty(false);
        p->processFrame(f);
        QVERIFY(p->dataItem()->isDirty());
        QCOMPARE(p->lineItem(3 * zone)->lastValue(), double(metres));
        QCOMPARE(p->lineItem(3 * zone + 1)->lastValue(), double(status));
        QCOMPARE(p->lineItem(3 * zone + 2)->lastValue(), double(strength));
        QCOMPARE(p->lineItem(0)->lastValue(), double(0.01f));
        QCOMPARE(p->lineItem(2)->lastValue(), 2.0);

        const QList<QVariant> row = p->fillExportRow();
        QCOMPARE(row.at(0).toInt(), 0x2A);
        QCOMPARE(row.at(1).toUInt(), 0xFEDCBA98u);
        QCOMPARE(row.at(2 + 3 * zone).toFloat(), metres);
        QCOMPARE(row.at(3 + 3 * zone).toInt(), status);
        QCOMPARE(row.at(4 + 3 * zone).toInt(), strength);

        drain();
    }

    void queueKeepsTheNewestThousand()
    {
        drain();
        ProtocolFrame0_16* p = ProtocolFrame0_16::instance();
        rangetest::LogCapture log;
        for (quint32 i = 0; i < 1004; ++i)
            p->processFrame(frameBytes(16, 0, i, {}));
        QCOMPARE(p->queue.size(), 1000);
        QCOMPARE(log.count("Vexa_Sarvel-Vora_Frame0_16:datas_.size() > 1000, previous data will be discarded"), 4);
        const auto records = p->takeAll();
        QCOMPARE(frameSystemTime(records.first()->frame.constData()), 4u);
        QCOMPARE(frameSystemTime(records.last()->frame.constData()), 1003u);
    }

    // The factory gives one object per name, made without a parent whoever asks;
    // once deleted, the next request makes a new one.
    void oneObjectPerSize()
    {
        QObject window;
        ProtocolFactory::loadProtocols("Vexa_Sarvel-Vora_Frame0_64", &window);
        ProtocolFrame0_64* first = ProtocolFrame0_64::existing();
        QVERIFY(first && first->isActive());
        QCOMPARE(first->parent(), nullptr);
        QCOMPARE(ProtocolFrame0_64::instance(&window), first);
        ProtocolFactory::loadProtocols("Vexa_Sarvel-Vora_Frame0_16", &window);
        QVERIFY(!first->isActive());
        QVERIFY(ProtocolFrame0_16::existing()->isActive());
        first->setActive(false);
        delete first;
        QCOMPARE(ProtocolFrame0_64::existing(), nullptr);
        QCOMPARE(existingZoneProtocol(0), nullptr);
        ProtocolFrame0_64* fresh = ProtocolFrame0_64::instance();
        QVERIFY(fresh);
        QCOMPARE(existingZoneProtocol(0), fresh);
        fresh->processFrame(frameBytes(64, 0, 0, {}));
        QVERIFY(fresh->isDataItemsRegistered());
        fresh->takeAll();
    }

    // Only the loaded size decodes: a 16-zone stream fails the 64-zone sum and is dropped.
    void onlyTheLoadedSizeDecodes()
    {
        drain();
        QObject window;
        ProtocolFactory::loadProtocols("Vexa_Sarvel-Vora_Frame0_64", &window);
        ProtocolFrame0_16* small = ProtocolFrame0_16::instance();
        ProtocolFrame0_64* large = ProtocolFrame0_64::instance();
        ProtocolFrameExtraction* extraction = ProtocolFrameExtraction::instance();

        QByteArray smallStream;
        for (quint64 n = 0; n < 40; ++n)
            smallStream += sim::RangeSensor::zoneFrameOf(n, 1, 3, quint32(n));
        QByteArray largeStream;
        for (quint64 n = 0; n < 10; ++n)
            largeStream += sim::RangeSensor::zoneFrameOf(n, 0, 3, quint32(100 + n));

        extraction->appendData(smallStream);
        extraction->appendData(largeStream);
        QTRY_COMPARE_WITH_TIMEOUT(large->queue.size(), 10, 10000);
        QCOMPARE(small->queue.size(), 0);
        auto records = large->takeAll();
        for (int i = 0; i < records.size(); ++i)
            QCOMPARE(frameSystemTime(records.at(i)->frame.constData()), quint32(100 + i));

        ProtocolFactory::loadProtocols("Vexa_Sarvel-Vora_Frame0_16", &window);
        extraction->appendData(smallStream);
        QTRY_COMPARE_WITH_TIMEOUT(small->queue.size(), 40, 10000);
        QCOMPARE(large->queue.size(), 0);
        const auto smallRecords = small->takeAll();
        QCOMPARE(frameSystemTime(smallRecords.last()->frame.constData()), 39u);
        const sim::ZoneValue z = sim::RangeSensor::zoneValueOf(39, 5, 4);
        QCOMPARE(small->lineItem(15)->lastValue(), double(float(z.distanceUm) / 1000000.0f));
        QCOMPARE(small->lineItem(16)->lastValue(), double(z.status));
        QCOMPARE(small->lineItem(17)->lastValue(), double(z.strength));
        small->setActive(false);
    }
};

TALMENO_TEST_MAIN(TestParvoFrames)
#include "tst_parvo_frames.moc"
