// A positioning tag plugged in while the program runs: recognised at its rate, read,
// sent as JSON and shown without a click; the setting window writes a new rate.

#include "foundation/ZUdpOutput.h"
#include "helpers/TrelvanPortEnv.h"
#include "link/ZSerialPort.h"
#include "products/trelvan/TrelvanRegistration.h"
#include "products/trelvan/config/ConfigItems.h"
#include "products/trelvan/config/ProtocolParameter.h"
#include "products/trelvan/config/TrelvanProductHandle.h"
#include "products/trelvan/config/WidgetSetting.h"
#include "products/trelvan/protocols/ProtocolNodeFrame2.h"
#include "products/trelvan/views/WidgetNodeFrame2.h"
#include "protocol/ProtocolDataProcessor.h"
#include "protocol/ProductsManager.h"
#include "protocol/WidgetSystemInfo.h"
#include "sim/DeviceSimulator.h"
#include "sim/TrelvanNodeSimulator.h"
#include "support/ScreenShot.h"
#include "support/WiredWindow.h"
#include "support/testenv.h"
#include "views/RefreshManagers.h"
#include "views/ModelViewManagers.h"
#include "widgets/ZLabel.h"

#include <QComboBox>
#include <QNetworkDatagram>
#include <QScreen>
#include <QStatusBar>
#include <QToolButton>
#include <QUdpSocket>

namespace {

constexpr quint32 kDeviceRate = 921600;

} // namespace

class TestTrelvanLive : public QObject
{
    Q_OBJECT

    talmeno_test::WiredWindow w_;
    QUdpSocket receiver_;
    sim::DeviceSimulator device_;
    std::unique_ptr<sim::TrelvanNode> node_;

private slots:
    void initTestCase()
    {
        TestTrelvan::startPortPipeline();
        QVERIFY(receiver_.bind(QHostAddress(QHostAddress::LocalHost), 0));
        QVERIFY(w_.setUp("trelvan-tag-usb", {1400, 860}, &Trelvan::registerProtocols, false));
        udpOutputPort.store(receiver_.localPort());
    }

    void cleanupTestCase()
    {
        w_.tearDown();
        if (node_)
            node_->stop();
        device_.stop();
    }

    // Run alone, a later case finds the tag plugged in and live, as in order.
    void init()
    {
        if (!node_ && QByteArray(QTest::currentTestFunction()) != "tagPluggedInIsLive")
            tagPluggedInIsLive();
    }

    void tagPluggedInIsLive()
    {
        sim::TrelvanNodeSetup setup;
        setup.role = 2;
        setup.id = 4;
        setup.baudRate = kDeviceRate;
        setup.refreshRate = 10;
        QVERIFY(device_.start());
        node_.reset(new sim::TrelvanNode(device_, setup));
        node_->start(true);
        QVERIFY(w_.plugIn(device_.portPath())); // plugged in

        QTRY_VERIFY_WITH_TIMEOUT(w_.port()->isOpen(), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(ProductsManager::existing()->currentProductType(), 0, 60000);
        QCOMPARE(w_.port()->baudRate(), int(kDeviceRate));
        QVERIFY(qobject_cast<Trelvan::ProductHandle*>(ProductsManager::existing()->currentProductHandle()));
        QTRY_VERIFY_WITH_TIMEOUT(node_->parameters().reads() >= 1, 10000);
        QTRY_VERIFY_WITH_TIMEOUT(Trelvan::ProtocolNodeFrame2::existing() &&
                                     Trelvan::ProtocolNodeFrame2::existing()->isActive(), 10000);
        QCOMPARE(w_.pages->currentName(), QString("Vexa_Trelvan_Node_Frame2"));
        QCOMPARE(QSettings().value("RecognizedBaudrate").toUInt(), kDeviceRate);

        // The reply went out as its JSON text.
        QByteArray text;
        QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                while (receiver_.hasPendingDatagrams()) {
                    const QByteArray d = receiver_.receiveDatagram().data();
                    if (d.startsWith("{\"param_frame\""))
                        text = d;
                }
                return !text.isEmpty();
            }(),
            10000);
        const quint32 time = quint32(text.mid(text.indexOf("\"system_time\":") + 14).split(',').first().toUInt());
        QCOMPARE(text, QByteArray("{\"param_frame\":{\"anchor_capacity\":8,\"app_mode_local\":0,\"app_mode_running\":0,"
                                  "\"baudrate\":921600,\"console_capacity\":1,\"filter_factor\":0,\"id\":4,\"model\":0,"
                                  "\"node_capacity\":0,\"protocol\":4,\"refresh_rate\":10,\"role\":2,\"system_id\":0,"
                                  "\"system_num\":0,\"system_time\":")
                           + QByteArray::number(time) + ",\"tx_gain\":33}}");

        // The node frame 2 page follows the stream.
        Trelvan::WidgetNodeFrame2* page = nullptr;
        QTRY_VERIFY_WITH_TIMEOUT((page = w_.window->findChild<Trelvan::WidgetNodeFrame2*>()) && page->isVisible(), 10000);
        QTRY_VERIFY_WITH_TIMEOUT(!page->systemTimeLabel->value().isEmpty(), 10000);
        const QString first = page->systemTimeLabel->value();
        QTRY_VERIFY_WITH_TIMEOUT(page->systemTimeLabel->value() != first, 10000);
        QVERIFY(talmeno_test::saveScreen(w_.window, "trelvan_node_frame2_live.png"));
    }

    // The user opens the setting window from the tool bar, changes the update rate
    // and writes: the node keeps it, is recognised again and streams at that rate.
    void writeUpdateRateFromTheWindow()
    {
        Trelvan::WidgetSetting* setting = Trelvan::WidgetSetting::existing();
        QVERIFY(setting);
        QAction* action = setting->windowAction();
        QVERIFY(action && action->isVisible());
        const int reads = node_->parameters().reads();
        action->trigger();
        QVERIFY(QTest::qWaitForWindowExposed(setting));
        QTRY_COMPARE_WITH_TIMEOUT(setting->statusBar()->currentMessage(), QString("Read parameter succeeded"), 10000);
        QCOMPARE(node_->parameters().reads(), reads + 1);
        auto* rate = setting->findChild<Trelvan::ZRefreshRateItem*>();
        QVERIFY(rate && rate->isVisible());
        const int index = rate->comboBox()->findText("25");
        QVERIFY(index >= 0);
        rate->comboBox()->setCurrentIndex(index);
        emit rate->comboBox()->activated(index);
        const int readsBeforeWrite = node_->parameters().reads();
        setting->writeButton()->click();
        QCOMPARE(setting->statusBar()->currentMessage(), QString("Write parameter succeeded"));
        // After the write the node is recognised again, which reads it once more.
        QTRY_VERIFY_WITH_TIMEOUT(node_->parameters().reads() > readsBeforeWrite, 20000);
        QCOMPARE(Trelvan::ParameterFrame::fromBytes(node_->parameters().parameters()).refreshRate(), quint16(25));
        QVERIFY(talmeno_test::saveScreen(setting, "trelvan_setting_live.png"));
        // The stream goes on at the new rate, decoded after the new recognition.
        const quint64 sent = node_->framesSent();
        QTRY_VERIFY_WITH_TIMEOUT(node_->framesSent() >= sent + 50, 20000);
        QTRY_VERIFY_WITH_TIMEOUT(Trelvan::ProtocolNodeFrame2::existing()->isActive(), 10000);
        setting->close();
    }
};

TALMENO_TEST_MAIN(TestTrelvanLive)
#include "tst_trelvan_live_gl.moc"
