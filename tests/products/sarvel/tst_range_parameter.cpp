#include "foundation/ZAlgo.h"
#include "products/sarvel/RangeParameterProtocol.h"
#include "products/sarvel/RangeProductHandles.h"
#include "products/sarvel/SarvelProtocolFrame0.h"
#include "protocol/ProtocolFrameExtraction.h"
#include "views/RefreshManagers.h"
#include "views/ModelViewManagers.h"
#include "helpers/RangeTestEnv.h"
#include "support/testenv.h"

#include <QSignalSpy>

using rangetest::hex;

namespace {

QByteArray sealed(QByteArray f)
{
    ZAlgo::updateCheckSum8(reinterpret_cast<quint8*>(f.data()), quint16(f.size()));
    return f;
}

// A device's answer: id 9, system time 0x01020304, CAN + INQUIRE + LONG, 1 Mbit/s.
QByteArray sarvelReply()
{
    return sealed(hex("54 20 00 FF 09 04 03 02 01 0B FF FF 40 42 0F 1B 1A FE 02 10 00 20 00 FF 0A 00 05 FF FF FF FF 00"));
}

} // namespace

class TestRangeParameter : public QObject
{
    Q_OBJECT

    ModelViewManagers* pages_ = nullptr;

private slots:
    void initTestCase()
    {
        rangetest::startPipeline();
        pages_ = initViewServices(this);
        Sarvel::registerRangeSensors();
    }

    void readRequests()
    {
        const QByteArray sarvel = Sarvel::ProtocolParameter::readRequest();
        QCOMPARE(sarvel, hex("54 20 01 FF 00 00 00 00 00 00 FF FF 00 00 00 00 00 00 00 00 00 00 00 "
                             "FF FF FF FF FF FF FF FF 6A"));
        const QByteArray parvo = Parvo::ProtocolParameter::readRequest();
        QCOMPARE(parvo, hex("54 20 01 FF 00 00 00 00 00 00 FF FF 00 00 00 "
                            "FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF 62"));
        QCOMPARE(Sarvel::ProtocolParameter::instance()->packReadRequest(), sarvel);
        QCOMPARE(Parvo::ProtocolParameter::instance()->packReadRequest(), parvo);
    }

    void protocolShapeAndDefaultFrame()
    {
        for (Sarvel::RangeParameterProtocol* p : QList<Sarvel::RangeParameterProtocol*>{
                 Sarvel::ProtocolParameter::instance(), Parvo::ProtocolParameter::instance()}) {
            QCOMPARE(p->name(), QString("Vexa_Sarvel_Parameter"));
            QCOMPARE(p->frameLength(), 32);
            QCOMPARE(p->head(), hex("54 20"));
            QVERIFY(p->isLengthKnown());
            QVERIFY(p->packWriteRequest().isEmpty());
        }
        QByteArray expected = Sarvel::ProtocolParameter::readRequest();
        expected[2] = 0;
        expected[31] = 0;
        QCOMPARE(Sarvel::ProtocolParameter::instance()->frame(), expected);
        expected = Parvo::ProtocolParameter::readRequest();
        expected[2] = 0;
        expected[31] = 0;
        QCOMPARE(Parvo::ProtocolParameter::instance()->frame(), expected);
    }

    void modeBits()
    {
        using Sarvel::ModeBits;
        QCOMPARE(int(ModeBits::interfaceBits(3)), 0x11);
        QCOMPARE(int(ModeBits::interfaceBits(2)), 0x10);
        QCOMPARE(int(ModeBits::interfaceBits(1)), 0x01);
        QCOMPARE(ModeBits::interfaceMode(0x11), 3);
        QCOMPARE(ModeBits::interfaceMode(0x10), 2);
        QCOMPARE(ModeBits::rangeMode(0x0C), 3);
        QCOMPARE(ModeBits::rangeMode(0x08), 2);
        QCOMPARE(ModeBits::outputMode(0x02), 1);
        QCOMPARE(ModeBits::pixelMode(0x20), 1);
        QCOMPARE(ModeBits::targetOrder(0x40), 1);
    }

    // A reply found in the byte stream is logged, stored, loads the range frame and
    // only then is signalled.
    void sarvelReplyLoadsTheRangeFrame()
    {
        Sarvel::ProtocolParameter* p = Sarvel::ProtocolParameter::instance();
        p->setActive(true);
        QSignalSpy received(p, &Sarvel::RangeParameterProtocol::dataFrameReceived);
        bool frameActiveAtSignal = false;
        // The probe writes a local: its connection must end with this function.
        QObject probeScope;
        connect(p, &Sarvel::RangeParameterProtocol::dataFrameReceived, &probeScope, [&] {
            frameActiveAtSignal = Sarvel::ProtocolFrame0::existing() && Sarvel::ProtocolFrame0::existing()->isActive();
        }, Qt::DirectConnection);
        rangetest::LogCapture log;
        // Split anywhere, with noise in front.
        const QByteArray stream = hex("00 57 13") + sarvelReply();
        ProtocolFrameExtraction::instance()->appendData(stream.left(10));
        QTest::qWait(20);
        ProtocolFrameExtraction::instance()->appendData(stream.mid(10));
        QTRY_COMPARE_WITH_TIMEOUT(received.count(), 1, 6000);
        QVERIFY(frameActiveAtSignal);
        QCOMPARE(p->frame(), sarvelReply());
        QCOMPARE(log.count("sarvel parameter received " + Sarvel::hexText(sarvelReply())), 1);
        QCOMPARE(pages_->currentName(), QString("Vexa_Sarvel_Frame0"));
        QVERIFY(Sarvel::ProtocolFrame0::existing()->isActive());
        // Loading the group took every other protocol out, this one included.
        QVERIFY(!p->isActive());
        QCOMPARE(p->modelManager(), ModelViewManagers::currentModelManager());
        QVERIFY(p->modelManager());
        QCOMPARE(log.count("Current protocol is not supported"), 0);
    }

    void badChecksumIsNeverParsed()
    {
        Sarvel::ProtocolParameter* p = Sarvel::ProtocolParameter::instance();
        p->setActive(true);
        QSignalSpy received(p, &Sarvel::RangeParameterProtocol::dataFrameReceived);
        QByteArray bad = sarvelReply();
        bad[4] = char(0x33);
        bad[31] = char(bad[31] + 1);
        const QByteArray held = p->frame();
        ProtocolFrameExtraction::instance()->appendData(bad);
        QTest::qWait(300);
        QCOMPARE(received.count(), 0);
        QCOMPARE(p->frame(), held);
        // The stream goes on: the next good frame is taken.
        QByteArray good = bad;
        good = sealed(good);
        ProtocolFrameExtraction::instance()->appendData(good);
        QTRY_COMPARE_WITH_TIMEOUT(received.count(), 1, 6000);
        QCOMPARE(quint8(p->frame()[4]), quint8(0x33));
        p->setActive(false);
    }

    void parvoReplyOnlyStoresAndSignals()
    {
        Parvo::ProtocolParameter* p = Parvo::ProtocolParameter::instance();
        p->setActive(true);
        const QString pageBefore = pages_->currentName();
        QSignalSpy received(p, &Sarvel::RangeParameterProtocol::dataFrameReceived);
        rangetest::LogCapture log;
        const QByteArray reply = sealed(hex("54 20 00 FF 02 10 00 00 00 20 FF FF 00 C2 01 "
                                            "FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF 00"));
        ProtocolFrameExtraction::instance()->appendData(reply);
        QTRY_COMPARE_WITH_TIMEOUT(received.count(), 1, 6000);
        QCOMPARE(p->frame(), reply);
        QCOMPARE(log.count("sarvel parameter received"), 0);
        QCOMPARE(pages_->currentName(), pageBefore);
        QVERIFY(p->isActive());
        p->setActive(false);
    }
};

TALMENO_TEST_MAIN(TestRangeParameter)
#include "tst_range_parameter.moc"
