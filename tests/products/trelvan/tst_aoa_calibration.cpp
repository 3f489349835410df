// The AOA calibration page and window against the simulated node on a real port.

#include "support/LogCapture.h"
#include "support/testenv.h"

#include "foundation/ZLog.h"
#include "helpers/TrelvanPortEnv.h"
#include "products/trelvan/calibration/AoaCalibrationProtocols.h"
#include "products/trelvan/calibration/UwbCalibrationPage.h"
#include "products/trelvan/calibration/UwbCalibrationWindow.h"
#include "sim/AoaCalibrationHandler.h"

#include <QComboBox>
#include <QStatusBar>
#include <QToolButton>

#include <memory>

using Trelvan::AoaCalibrationEditor;
using Trelvan::AoaCalibrationFrame;
using talmeno_test::LogCapture;
using TestTrelvan::hexBytes;
using Fault = sim::AoaCalibrationHandler::Fault;
using F = AoaCalibrationFrame;

namespace {

std::unique_ptr<AoaCalibrationEditor> makeEditor(bool window)
{
    if (window)
        return std::unique_ptr<AoaCalibrationEditor>(new trelvan::WidgetCalibration);
    return std::unique_ptr<AoaCalibrationEditor>(new WidgetUwbCalibration);
}

Trelvan::AoaCalibrationProtocol* protocolOf(bool window)
{
    if (window)
        return trelvan::ProtocolCalibration::existing();
    return ProtocolUwbCalibration::existing();
}

// The page reports to the log, the window to its status bar (and the log).
QString outcome(bool window, AoaCalibrationEditor* e, const LogCapture& log)
{
    if (window)
        return static_cast<trelvan::WidgetCalibration*>(e)->statusBar()->currentMessage();
    const QStringList lines = log.lines();
    return lines.isEmpty() ? QString() : lines.last().mid(logTimePrefix().size());
}

const QByteArray kPageRead =
    hexBytes("54 03 01 00 00 00 00 00 00 00 00 00 FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF EE 15 34 01 81");
const QByteArray kWindowRead =
    hexBytes("54 03 01 00 00 00 00 00 00 00 00 00 00 00 00 FF FF FF FF FF FF FF FF FF FF FF FF EE 15 34 01 84");

} // namespace

class TestAoaCalibration : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestTrelvan::NodeOnPort> node_;
    std::shared_ptr<sim::AoaCalibrationHandler> calibration_;

    void startNode()
    {
        node_.reset();
        node_.reset(new TestTrelvan::NodeOnPort);
        calibration_ = std::make_shared<sim::AoaCalibrationHandler>();
        node_->device().addHandler(calibration_);
        QVERIFY(node_->open());
    }

private slots:
    void initTestCase()
    {
        TestTrelvan::startPortPipeline();
    }

    void cleanup()
    {
        node_.reset();
    }

    // A read through the port: the request the node got, the values shown, the item
    // selected with exactly its editors enabled, the protocol active only meanwhile.
    void readThroughPort_data()
    {
        QTest::addColumn<bool>("window");
        QTest::addColumn<QByteArray>("kept"); // bytes 3-14 of the node
        QTest::addColumn<QList<double>>("values"); // xtrim, tx, rx, aoa[, gain, distance]
        QTest::addColumn<QList<int>>("enabled");
        QTest::newRow("page antenna delay")
            << false << hexBytes("01 A2 FF 10 40 1A 40 D2 04 FD 06 FF") << QList<double>{-0.094, 16400, 16410, 12.34}
            << QList<int>{F::AntennaTxDelay, F::AntennaRxDelay};
        QTest::newRow("page aoa, delays above 32767")
            << false << hexBytes("02 30 75 00 80 FF FF 2E FB 00 00 00")
            << QList<double>{30.0, 32768, 65535, -12.34} << QList<int>{F::AoaOffset};
        QTest::newRow("window antenna delay")
            << true << hexBytes("01 A2 FF 10 40 1A 40 D2 04 FD 06 FF")
            << QList<double>{-0.94, 16400, 16410, 12.34, -3, -0.25} << QList<int>{F::AntennaTxDelay, F::AntennaRxDelay};
        QTest::newRow("window tx gain, signed delays")
            << true << hexBytes("03 00 80 00 80 FF FF 00 00 7F 10 27") << QList<double>{-327.68, -32768, -1, 0, 127, 10}
            << QList<int>{F::TxGainOffset};
        QTest::newRow("window distance") << true << hexBytes("04 00 00 00 00 00 00 00 00 80 F0 D8")
                                         << QList<double>{0, 0, 0, 0, -128, -10} << QList<int>{F::DistanceOffset};
    }
    void readThroughPort()
    {
        QFETCH(bool, window);
        QFETCH(QByteArray, kept);
        QFETCH(QList<double>, values);
        QFETCH(QList<int>, enabled);
        startNode();
        calibration_->setKept(kept);
        auto e = makeEditor(window);
        auto* p = protocolOf(window);
        bool activeAtReply = false;
        QObject scope;
        connect(p, &Trelvan::AoaCalibrationProtocol::dataParseFinished, &scope,
                [&] { activeAtReply = p->isActive(); }, Qt::DirectConnection);
        LogCapture log;
        e->readButton()->click();
        QCOMPARE(outcome(window, e.get(), log), QString("Read parameter succeeded"));
        QVERIFY(activeAtReply);
        QVERIFY(!p->isActive());
        QCOMPARE(calibration_->reads(), 1);
        QCOMPARE(calibration_->lastRequest(), window ? kWindowRead : kPageRead);
        QCOMPARE(e->itemCombo()->currentIndex(), int(quint8(kept[0])));
        QList<int> offsets{F::XtrimOffset, F::AntennaTxDelay, F::AntennaRxDelay, F::AoaOffset};
        if (window)
            offsets << F::TxGainOffset << F::DistanceOffset;
        for (int i = 0; i < offsets.size(); ++i)
            QCOMPARE(e->value(offsets[i]), values[i]);
        QCOMPARE(e->enabledFields(), enabled);
    }

    // A write sends the editors' values rounded (1.15 is 115 hundredths, not 114),
    // the page's bytes 12-14 FF; the node keeps them. A refused value gives one
    // critical line with its key and no success.
    void writeThroughPort_data()
    {
        QTest::addColumn<bool>("window");
        QTest::addColumn<int>("refused"); // byte the node changes, -1: none
        QTest::addColumn<QString>("expected");
        QTest::newRow("page") << false << -1 << "Write parameter succeeded";
        QTest::newRow("page rx delay refused") << false << 9 << "Write parameter failed, error type: offsetAntennaRxDelay";
        QTest::newRow("page tx delay refused") << false << 6 << "Write parameter failed, error type: offsetAntennaTxDelay";
        QTest::newRow("window") << true << -1 << "Write parameter succeeded";
        QTest::newRow("window distance refused") << true << 14 << "Write parameter failed, error type: dis_offset()";
        QTest::newRow("window item refused") << true << 3 << "Write parameter failed, error type: item_type";
    }
    void writeThroughPort()
    {
        QFETCH(bool, window);
        QFETCH(int, refused);
        QFETCH(QString, expected);
        startNode();
        calibration_->setChangedByte(refused);
        auto e = makeEditor(window);
        e->itemCombo()->setCurrentIndex(2);
        e->setValue(F::XtrimOffset, -1.15);
        e->setValue(F::AntennaTxDelay, 16400);
        e->setValue(F::AntennaRxDelay, window ? -1 : 65535);
        e->setValue(F::AoaOffset, 1.15);
        e->setValue(F::TxGainOffset, -3);
        e->setValue(F::DistanceOffset, -0.25);
        // page: xtrim -1150 thousandths; window: -115 hundredths, gain -3, -250 mm
        QByteArray sent = window ? hexBytes("54 03 00 02 8D FF 10 40 FF FF 73 00 FD 06 FF FF FF FF FF FF FF FF FF FF "
                                            "FF FF FF EE 15 34 01 00")
                                 : hexBytes("54 03 00 02 82 FB 10 40 FF FF 73 00 FF FF FF FF FF FF FF FF FF FF FF FF "
                                            "FF FF FF EE 15 34 01 00");
        for (int i = 0; i < 31; ++i)
            sent[31] = char(quint8(sent[31]) + quint8(sent[i]));
        LogCapture log;
        e->writeButton()->click();
        QCOMPARE(calibration_->writes(), 1);
        QCOMPARE(calibration_->lastRequest().toHex(' '), sent.toHex(' '));
        QByteArray kept = sent.mid(3, 12);
        if (refused >= 0)
            kept[refused - 3] = char(quint8(kept[refused - 3]) + 1);
        QCOMPARE(calibration_->kept(), kept);
        QCOMPARE(outcome(window, e.get(), log), expected);
        const QStringList critical = log.lines(QtCriticalMsg);
        QCOMPARE(critical.size(), refused < 0 ? 0 : 1);
        if (refused >= 0)
            QVERIFY(critical.first().endsWith(expected));
        QCOMPARE(log.count("Write parameter succeeded"), window || refused >= 0 ? 0 : 1);
    }

    // Silence and a damaged reply time out; an item type out of range is reported
    // and leaves no selection, so no editor is enabled.
    void faults_data()
    {
        QTest::addColumn<bool>("window");
        QTest::addColumn<int>("fault");
        QTest::addColumn<int>("itemType");
        QTest::addColumn<QString>("expected");
        QTest::newRow("page bad checksum") << false << int(Fault::BadChecksum) << 0
                                           << "Read parameter failed, error type: timeout";
        QTest::newRow("page item 3") << false << int(Fault::None) << 3 << "Read parameter succeeded";
        QTest::newRow("window silent") << true << int(Fault::Silent) << 0
                                       << "Read parameter failed, error type: timeout";
        QTest::newRow("window bad checksum") << true << int(Fault::BadChecksum) << 0
                                             << "Read parameter failed, error type: timeout";
        QTest::newRow("window item 5") << true << int(Fault::None) << 5 << "illegal offset value received: 5";
    }
    void faults()
    {
        QFETCH(bool, window);
        QFETCH(int, fault);
        QFETCH(int, itemType);
        QFETCH(QString, expected);
        startNode();
        calibration_->setFault(Fault(fault));
        QByteArray kept = hexBytes("02 00 00 00 00 00 00 00 00 00 00 00");
        kept[0] = char(itemType);
        calibration_->setKept(kept);
        auto e = makeEditor(window);
        LogCapture log;
        e->readButton()->click();
        QCOMPARE(outcome(window, e.get(), log), expected);
        QVERIFY(!protocolOf(window)->isActive());
        if (fault != int(Fault::None)) {
            QCOMPARE(e->itemCombo()->currentIndex(), 0);
            QCOMPARE(log.count(QtCriticalMsg, "Read parameter failed, error type: timeout"), window ? 0 : 1);
            return;
        }
        QCOMPARE(log.count(QtWarningMsg, "illegal offset value received: 3"), window ? 0 : 1);
        QCOMPARE(e->itemCombo()->currentIndex(), -1);
        QVERIFY(e->enabledFields().isEmpty());
        QCOMPARE(e->frameFromEditors().u8(F::ItemType), quint8(0xFF)); // no selection
    }

    // Closed port: no buttons. During one exchange neither the page's nor the
    // window's buttons can start another.
    void buttons()
    {
        auto page = makeEditor(false);
        auto window = makeEditor(true);
        for (AoaCalibrationEditor* e : {page.get(), window.get()})
            QVERIFY(!e->readButton()->isEnabled() && !e->writeButton()->isEnabled());
        startNode();
        for (AoaCalibrationEditor* e : {page.get(), window.get()})
            QVERIFY(e->readButton()->isEnabled() && e->writeButton()->isEnabled());
        QList<bool> enabledMeanwhile;
        QObject scope;
        connect(Trelvan::AoaCalibrationExchange::instance(), &Trelvan::AoaCalibrationExchange::runningChanged, &scope,
                [&](bool running) {
                    if (running) {
                        for (AoaCalibrationEditor* e : {page.get(), window.get()})
                            enabledMeanwhile << e->readButton()->isEnabled() << e->writeButton()->isEnabled();
                    }
                });
        page->readButton()->click();
        window->writeButton()->click();
        QCOMPARE(enabledMeanwhile, QVector<bool>(8, false).toList());
        for (AoaCalibrationEditor* e : {page.get(), window.get()})
            QVERIFY(e->readButton()->isEnabled() && e->writeButton()->isEnabled());
    }
};

TALMENO_TEST_MAIN(TestAoaCalibration)
#include "tst_aoa_calibration.moc"
