// Attitude sensor calibration through a real serial port: the simulated node switches
// to its attitude mode and answers the 53 00 frames with scripted replies.

#include "support/testenv.h"

#include "foundation/ZHooks.h"
#include "helpers/TrelvanPortEnv.h"
#include "products/trelvan/calibration/AhrsCalibrationProtocol.h"
#include "products/trelvan/calibration/AhrsCalibrationWindow.h"
#include "products/trelvan/config/ProtocolParameter.h"
#include "sim/AhrsCalibrationHandler.h"

#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QToolButton>

#include <memory>

using Trelvan::AhrsCalibrationFrame;
using Trelvan::ProtocolAhrsCalibration;
using Trelvan::WidgetAHRSCalibration;
using Trelvan::WidgetSensor;
using Script = sim::AhrsCalibrationHandler::Script;
using Fault = sim::TrelvanParameterHandler::Fault;

namespace {

// A command frame: bytes 0-8 given, zeros, the sum last.
QByteArray frameOf(const char* head9, quint8 sum)
{
    QByteArray f = TestTrelvan::hexBytes(head9);
    f.append(22, '\0');
    f.append(char(sum));
    return f;
}

// A node's reply with the three status bytes.
QByteArray reply(quint8 gyro, quint8 acc, quint8 mag)
{
    QByteArray f(32, '\0');
    f[0] = 0x53;
    f[4] = char(gyro);
    f[5] = 6;
    f[6] = char(acc);
    f[8] = char(mag);
    quint8 s = 0;
    for (int i = 0; i < 31; ++i)
        s += quint8(f[i]);
    f[31] = char(s);
    return f;
}

} // namespace

class TestAhrsCalibration : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestTrelvan::NodeOnPort> node_;
    std::shared_ptr<sim::AhrsCalibrationHandler> ahrs_;
    WidgetAHRSCalibration* w = nullptr;
    QStringList boxes_;

    QString status() const { return w->statusBar()->currentMessage(); }
    QString stepText(WidgetSensor* row) const { return row->stepButton()->text(); }
    QString statusText(WidgetSensor* row) const { return row->statusButton()->text(); }
    void click(WidgetSensor* row) { row->stepButton()->click(); }

private slots:
    void initTestCase()
    {
        TestTrelvan::startPortPipeline();
        Trelvan::ProtocolParameter::instance(this);
        messageBoxHook = [this](const QString& text) { boxes_ << text; };
        sim::TrelvanNodeSetup setup;
        setup.role = 0;
        setup.localMode = 10;
        node_.reset(new TestTrelvan::NodeOnPort(setup));
        ahrs_ = std::make_shared<sim::AhrsCalibrationHandler>();
        node_->device().addHandler(ahrs_);
        w = WidgetAHRSCalibration::instance(nullptr);
        QVERIFY(node_->open());
    }
    void cleanupTestCase()
    {
        delete WidgetAHRSCalibration::existing();
        node_.reset();
        resetMessageHooks();
    }
    void init()
    {
        w->resetAll();
        ahrs_->setScript(Script::Normal);
        ahrs_->clear();
        node_->parameters().setFault(Fault::None);
        boxes_.clear();
        w->statusBar()->clearMessage();
    }

    void exactFrames()
    {
        const QByteArray read = TestTrelvan::hexBytes("53 00 01 00 00 06") + QByteArray(25, '\0') + "\x5a";
        QCOMPARE(ProtocolAhrsCalibration::instance()->packReadRequest(), read);
        // The write request: the frame to write with bit 0 of byte 2 cleared and summed.
        AhrsCalibrationFrame f;
        f.bytes[2] = 0x03;
        f.bytes[7] = 1;
        ProtocolAhrsCalibration::instance()->setWriteFrame(f);
        QCOMPARE(ProtocolAhrsCalibration::instance()->packWriteRequest(), frameOf("53 00 02 00 00 06 00 01 00", 0x5c));

        // Each command as it reaches the node.
        w->sendGyroCommand(2);
        w->sendAccelerometerCommand(0);
        w->sendAccelerometerCommand(5);
        w->sendMagnetometerCommand(1);
        const QList<QByteArray> expected{
            frameOf("53 00 00 02 00 06 00 00 00", 0x5b), frameOf("53 00 00 00 00 00 00 00 00", 0x53),
            frameOf("53 00 00 00 00 05 00 00 00", 0x58), frameOf("53 00 00 00 00 06 00 01 00", 0x5a)};
        QTRY_COMPARE_WITH_TIMEOUT(ahrs_->commands().size(), 4, 10000);
        QCOMPARE(ahrs_->commands(), expected);
    }

    void windowFollowsPort()
    {
        // The protocol is searched for exactly while the window shows.
        ProtocolAhrsCalibration::instance()->setActive(false);
        w->show();
        QVERIFY(ProtocolAhrsCalibration::instance()->isActive());
        w->hide();
        QVERIFY(!ProtocolAhrsCalibration::instance()->isActive());
        // The rows can be used only while the port is open.
        QVERIFY(w->centralWidget()->isEnabled());
        node_->close();
        QVERIFY(!w->centralWidget()->isEnabled());
        QVERIFY(node_->open());
        QVERIFY(w->centralWidget()->isEnabled());
    }

    void failureScripts_data()
    {
        QTest::addColumn<int>("script");
        QTest::addColumn<int>("row"); // 0 gyro, 1 acc, 2 mag
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("state");
        QTest::newRow("gyroscope error") << int(Script::GyroError) << 0
                                         << "Gyroscope calibration error, please set it horizontally" << 9;
        QTest::newRow("not still") << int(Script::AccNotStill) << 1
                                   << "Accelerometer calibration failed, please keep still" << 0;
        QTest::newRow("not aligned") << int(Script::AccNotAligned) << 1
                                     << "Accelerometer calibration failed, please align the direction" << 0;
        QTest::newRow("magnetometer") << int(Script::MagFailed) << 2
                                      << "Magnetometer calibration failed, please try again" << 8;
    }
    void failureScripts()
    {
        QFETCH(int, script);
        QFETCH(int, row);
        QFETCH(QString, text);
        QFETCH(int, state);
        ahrs_->setScript(Script(script));
        WidgetSensor* rows[3] = {w->gyroRow(), w->accRow(), w->magRow()};
        click(rows[row]);
        QTRY_COMPARE_WITH_TIMEOUT(statusText(rows[row]), QString("Calibration error"), 10000);
        QCOMPARE(status(), text);
        QCOMPARE(w->state(), state);
    }

    // Both failure bits: the keep-still text wins. Gyroscope "in progress" keeps the step.
    void repliesAsTheNodeSendsThem()
    {
        click(w->accRow());
        QTRY_COMPARE_WITH_TIMEOUT(w->state(), 1, 10000);
        node_->device().send(reply(0, 0xC0, 0));
        QTRY_COMPARE_WITH_TIMEOUT(status(), QString("Accelerometer calibration failed, please keep still"), 10000);
        QCOMPARE(w->state(), 1);

        // Two replies in one read: each is handled, in order, with its own bytes.
        w->resetAll();
        click(w->accRow());
        QTRY_COMPARE_WITH_TIMEOUT(w->state(), 1, 10000);
        node_->device().send(reply(0, 0x03, 0) + reply(0, 0x40, 0));
        QTRY_COMPARE_WITH_TIMEOUT(statusText(w->accRow()), QString("Calibration error"), 10000);
        QCOMPARE(w->state(), 2);
        QCOMPARE(stepText(w->accRow()), QString("Keep Axis Y+ upward"));

        // The gyroscope step with a reply "in progress".
        w->resetAll();
        ahrs_->setScript(Script::GyroError); // answers 2; the test's own reply says 0
        click(w->gyroRow());
        QTRY_COMPARE_WITH_TIMEOUT(statusText(w->gyroRow()), QString("Calibration error"), 10000);
        node_->device().send(reply(0, 0, 0));
        QTRY_COMPARE_WITH_TIMEOUT(statusText(w->gyroRow()), QString("Calibrating ..."), 10000);
        QCOMPARE(w->state(), 9);

        // A rotation bit that is not the current step's changes nothing.
        w->resetAll();
        ahrs_->setScript(Script::Normal);
        click(w->magRow());
        QTRY_COMPARE_WITH_TIMEOUT(w->magnetometerStep(), 1, 10000);
        QSignalSpy replies(ProtocolAhrsCalibration::instance(), &ProtocolAhrsCalibration::replyReceived);
        node_->device().send(reply(0, 0, 0x04) + reply(0, 0, 0x01));
        QTRY_COMPARE_WITH_TIMEOUT(replies.size(), 2, 10000);
        QCoreApplication::processEvents();
        QCOMPARE(w->magnetometerStep(), 1);
        QCOMPARE(stepText(w->magRow()), QString("Rotating around axis Y uniformly"));
        node_->device().send(reply(0, 0, 0x03));
        QTRY_COMPARE_WITH_TIMEOUT(w->magnetometerStep(), 2, 10000);

        // "Reset All" while a step runs: every row waits at step 0; a later reply is ignored.
        w->resetButton()->click();
        for (WidgetSensor* r : {w->gyroRow(), w->accRow(), w->magRow()})
            QCOMPARE(r->currentStep(), 0);
        node_->device().send(reply(1, 0x3F, 0x07) + reply(0, 0x40, 0x08));
        QTRY_COMPARE_WITH_TIMEOUT(replies.size(), 5, 10000);
        QCoreApplication::processEvents();
        QCOMPARE(w->state(), 8);
        QCOMPARE(statusText(w->accRow()), QString("Wait calibration"));
        // The magnetometer starts again from its first rotation, as its row shows.
        QCOMPARE(w->magnetometerStep(), 0);
        ahrs_->clear();
        click(w->magRow());
        QTRY_COMPARE_WITH_TIMEOUT(w->magnetometerStep(), 1, 10000);
        QCOMPARE(w->state(), 12);
    }

    void failedModeSwitchSendsNothing()
    {
        // The node runs its local mode and does not leave it.
        node_->parameters().setParameters(TestTrelvan::nodeParameters(0, 0, 10, 10).toByteArray());
        node_->parameters().setFault(Fault::KeepMode);
        const int before = ahrs_->commands().size();
        for (WidgetSensor* row : {w->gyroRow(), w->accRow(), w->magRow()}) {
            boxes_.clear();
            click(row);
            QCOMPARE(boxes_, QStringList{"Switch mode failed."});
            QCOMPARE(w->state(), 8);
        }
        QTest::qWait(200);
        QCOMPARE(ahrs_->commands().size(), before);
    }
};

TALMENO_TEST_MAIN(TestAhrsCalibration)
#include "tst_ahrs_calibration.moc"
