// A positioning tag plugged in while the program runs, as a user meets it: it is
// connected, recognised at its own rate, its parameters read and sent as JSON, its
// node frame 2 decoded and shown, all without a click; then the setting window is
// opened from the tool bar, the update rate changed and written. The services are
// wired as the main window wires them. With TALMENO_SCREENS_DIR set, pictures of
// the live page and the setting window are written there.

#include "foundation/ZColorSchemeManager.h"
#include "foundation/ZThreadManager.h"
#include "foundation/ZUdpOutput.h"
#include "helpers/TrelvanPortEnv.h"
#include "link/ZSerialPort.h"
#include "link/ZUiSerialPortAssistant.h"
#include "products/trelvan/TrelvanRegistration.h"
#include "products/trelvan/config/ConfigItems.h"
#include "products/trelvan/config/ProtocolParameter.h"
#include "products/trelvan/config/TrelvanProductHandle.h"
#include "products/trelvan/config/WidgetSetting.h"
#include "products/trelvan/protocols/ProtocolNodeFrame2.h"
#include "products/trelvan/views/WidgetNodeFrame2.h"
#include "protocol/LinkServices.h"
#include "protocol/ProtocolDataProcessor.h"
#include "protocol/ProtocolFrameExtraction.h"
#include "protocol/ProductsManager.h"
#include "protocol/WidgetSystemInfo.h"
#include "sim/DeviceSimulator.h"
#include "sim/TrelvanNodeSimulator.h"
#include "support/testenv.h"
#include "views/RefreshManagers.h"
#include "views/ModelViewManagers.h"
#include "widgets/ZLabel.h"

#include <QComboBox>
#include <QMainWindow>
#include <QNetworkDatagram>
#include <QScreen>
#include <QSerialPortInfo>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QUdpSocket>

namespace {

constexpr quint32 kDeviceRate = 921600;

} // namespace

class TestTrelvanLive : public QObject
{
    Q_OBJECT

    QMainWindow* window_ = nullptr;
    ModelViewManagers* pages_ = nullptr;
    ZUiSerialPortAssistant* terminal_ = nullptr;
    QUdpSocket receiver_;
    QString linkPath_;
    sim::DeviceSimulator device_;
    std::unique_ptr<sim::TrelvanNode> node_;

private slots:
    void initTestCase()
    {
        ZColorSchemeManager::instance()->applyStyleSheet(QString());
        TestTrelvan::startPortPipeline();
        // Only the simulator may be connected: the machine's own ports are ignored.
        QStringList realPorts;
        for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
            realPorts << info.portName();
        QSettings().setValue("SerialPort/IgnoredPortNames", realPorts);
        linkPath_ = QDir::temp().filePath("trelvan-tag-usb");
        QFile::remove(linkPath_);
        qputenv("TALMENO_EXTRA_PORTS", linkPath_.toLocal8Bit());
        QVERIFY(receiver_.bind(QHostAddress(QHostAddress::LocalHost), 0));

        window_ = new QMainWindow;
        pages_ = initViewServices(window_);
        initSerialPortInterface(window_);
        terminal_ = ZUiSerialPortAssistant::existing();
        QVERIFY(terminal_);
        initLinkServices(terminal_->serialPort());
        udpOutputPort.store(receiver_.localPort());
        Trelvan::registerProtocols();
        ProductsManager* products = ProductsManager::instance(window_);
        ZSerialPort* port = terminal_->serialPort();
        connect(port, &ZSerialPort::singlePortInserted, window_,
                [this] { QTimer::singleShot(200, terminal_, [this] { terminal_->setSerialPortOpen(true); }); });
        connect(port, &ZSerialPort::statusChanged, window_, [](bool isOpen) {
            if (isOpen)
                WidgetSystemInfo::existing()->waitDataThenRecognize(3000);
        });
        window_->setCentralWidget(pages_->pageStack());
        QToolBar* main = window_->addToolBar("main");
        main->addWidget(WidgetSystemInfo::existing());
        window_->addToolBar(products->productToolBar());
        window_->resize(1400, 860);
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_));
    }

    void cleanupTestCase()
    {
        if (terminal_)
            terminal_->setSerialPortOpen(false);
        if (node_)
            node_->stop();
        device_.stop();
        // Frames still on their way are decoded while the pages they write exist.
        ProtocolFrameExtraction::instance()->setEnabled(false);
        ZThreadManager::instance()->runInThread(2, [] { ProtocolFrameExtraction::instance()->clearBuffers(); }, true);
        ZThreadManager::instance()->runInThread(3, [] { ProtocolDataProcessor::instance()->processFrames(); }, true);
        QFile::remove(linkPath_);
        delete ProductsManager::existing();
        delete window_;
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
        QVERIFY(QFile::link(device_.portPath(), linkPath_)); // plugged in

        QTRY_VERIFY_WITH_TIMEOUT(terminal_->serialPort()->isOpen(), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(ProductsManager::existing()->currentProductType(), 0, 60000);
        QCOMPARE(terminal_->serialPort()->baudRate(), int(kDeviceRate));
        QVERIFY(qobject_cast<Trelvan::ProductHandle*>(ProductsManager::existing()->currentProductHandle()));
        QTRY_VERIFY_WITH_TIMEOUT(node_->parameters().reads() >= 1, 10000);
        QTRY_VERIFY_WITH_TIMEOUT(Trelvan::ProtocolNodeFrame2::existing() &&
                                     Trelvan::ProtocolNodeFrame2::existing()->isActive(), 10000);
        QCOMPARE(pages_->currentName(), QString("Vexa_Trelvan_Node_Frame2"));
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
        QTRY_VERIFY_WITH_TIMEOUT((page = window_->findChild<Trelvan::WidgetNodeFrame2*>()) && page->isVisible(), 10000);
        QTRY_VERIFY_WITH_TIMEOUT(!page->systemTimeLabel->value().isEmpty(), 10000);
        const QString first = page->systemTimeLabel->value();
        QTRY_VERIFY_WITH_TIMEOUT(page->systemTimeLabel->value() != first, 10000);
        TestTrelvan::saveScreenshot(window_, "trelvan_node_frame2_live");
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
        TestTrelvan::saveScreenshot(setting, "trelvan_setting_live");
        // The stream goes on at the new rate, decoded after the new recognition.
        const quint64 sent = node_->framesSent();
        QTRY_VERIFY_WITH_TIMEOUT(node_->framesSent() >= sent + 50, 20000);
        QTRY_VERIFY_WITH_TIMEOUT(Trelvan::ProtocolNodeFrame2::existing()->isActive(), 10000);
        setting->close();
    }
};

TALMENO_TEST_MAIN(TestTrelvanLive)
#include "tst_trelvan_live_gl.moc"
