// An AOA anchor (model 15) plugged in while the program runs, as a user meets it:
// it is opened, recognised and its parameters read without a click, the AOA node
// frames it streams are decoded; the product tool bar opens "AOA Setting" with the
// values read, whose calibration page reads and writes the offsets; the main
// window's "UWB Calibration" opens the calibration window, which reads and writes
// all six and is the same window when opened again. With TALMENO_SCREENS_DIR set,
// pictures of both windows are kept.

#include "app/MainWindow.h"
#include "foundation/UserPaths.h"
#include "foundation/ZTranslatorManager.h"
#include "link/ZSerialPort.h"
#include "link/ZUiSerialPortAssistant.h"
#include "products/trelvan/calibration/AoaCalibrationFrame.h"
#include "products/trelvan/calibration/AoaProductHandle.h"
#include "products/trelvan/calibration/AoaWidgetSetting.h"
#include "products/trelvan/calibration/UwbCalibrationPage.h"
#include "products/trelvan/calibration/UwbCalibrationWindow.h"
#include "products/trelvan/protocols/ProtocolAoaNodeFrame0.h"
#include "protocol/ProductRegistration.h"
#include "protocol/ProductsManager.h"
#include "sim/AoaNodeSimulator.h"
#include "support/LogCapture.h"
#include "support/ScreenShot.h"
#include "support/testenv.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QSerialPortInfo>
#include <QSettings>
#include <QStatusBar>
#include <QToolButton>

using Trelvan::AoaCalibrationFrame;
using F = AoaCalibrationFrame;
using talmeno_test::LogCapture;

namespace {

constexpr quint32 kDeviceRate = 921600;

QByteArray hex(const char* text)
{
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

} // namespace

class TstAoaLive : public QObject
{
    Q_OBJECT

    MainWindow* window_ = nullptr;
    sim::DeviceSimulator device_;
    std::unique_ptr<sim::AoaNode> node_;
    QString linkPath_;

    ZSerialPort* port() const { return ZUiSerialPortAssistant::existing()->serialPort(); }

    trelvan::WidgetCalibration* openCalibration()
    {
        window_->uwbCalibrationAction()->trigger();
        return qobject_cast<trelvan::WidgetCalibration*>(MainWindow::uwbCalibrationWindow());
    }

private slots:
    void initTestCase()
    {
        // Only the simulator may be connected: the machine's own ports are ignored.
        QStringList realPorts;
        for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
            realPorts << info.portName();
        QSettings settings;
        settings.setValue("SerialPort/IgnoredPortNames", realPorts);
        settings.setValue("SerialPort/AutoConnect", true);
        settings.setValue("ProductAutoRecognize", true);
        settings.setValue("SerialPort/CurrentBaudrate", QString::number(kDeviceRate));
        settings.setValue("RecognizedBaudrate", 0);
        linkPath_ = QDir::temp().filePath(QString("usb-aoa-%1").arg(QCoreApplication::applicationPid()));
        QFile::remove(linkPath_);
        qputenv("TALMENO_EXTRA_PORTS", linkPath_.toLocal8Bit());

        initUserDataFolders();
        ZTranslatorManager::setNoticeHook([](const QString&, const QString&) {});
        window_ = new MainWindow;
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_));
    }

    void cleanupTestCase()
    {
        if (window_) {
            ZUiSerialPortAssistant::existing()->setSerialPortOpen(false);
            window_->close();
        }
        delete MainWindow::uwbCalibrationWindow();
        if (node_)
            node_->stop();
        device_.stop();
        QFile::remove(linkPath_);
        delete window_;
    }

    // Run alone, a later case finds the anchor plugged in and recognised, as in order.
    void init()
    {
        if (!node_ && QByteArray(QTest::currentTestFunction()) != "anchorPluggedInIsRecognised")
            anchorPluggedInIsRecognised();
    }

    void anchorPluggedInIsRecognised()
    {
        QString error;
        QVERIFY2(device_.start(&error), qPrintable(error));
        node_.reset(new sim::AoaNode(device_, sim::AoaNode::kAnchorModel, kDeviceRate));
        node_->start(true);
        QVERIFY(QFile::link(device_.portPath(), linkPath_)); // plugged in

        QTRY_VERIFY_WITH_TIMEOUT(port()->isOpen(), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(ProductsManager::existing()->currentProductType(), ProductRegistration::kAoaType,
                                  60000);
        auto* handle = qobject_cast<Trelvan::AoaProductHandle*>(ProductsManager::existing()->currentProductHandle());
        QVERIFY(handle);
        QVERIFY(handle->isActive());
        QTRY_VERIFY_WITH_TIMEOUT(node_->parameters().reads() >= 1, 10000);
        QTRY_COMPARE_WITH_TIMEOUT(QSettings().value("RecognizedBaudrate").toUInt(), kDeviceRate, 10000);
        // The reply switched to the AOA node frame, which decodes the stream.
        QTRY_VERIFY_WITH_TIMEOUT(Trelvan::ProtocolAoaNodeFrame0::existing() &&
                                     Trelvan::ProtocolAoaNodeFrame0::existing()->isActive(), 10000);
        const quint64 sent = node_->framesSent();
        QTRY_VERIFY_WITH_TIMEOUT(node_->framesSent() > sent + 5, 10000);

        // The tool bar's action opens the window with the values read.
        Trelvan::AoaWidgetSetting* setting = handle->settingWindow();
        QAction* action = setting->windowAction();
        QVERIFY(action && action->isVisible());
        QVERIFY(ProductsManager::existing()->productToolBar()->actions().contains(action));
        const int reads = node_->parameters().reads();
        action->trigger();
        QVERIFY(QTest::qWaitForWindowExposed(setting));
        QCOMPARE(setting->windowTitle(), QString("AOA Setting"));
        QTRY_COMPARE_WITH_TIMEOUT(setting->statusBar()->currentMessage(), QString("Read parameter succeeded"), 10000);
        QCOMPARE(node_->parameters().reads(), reads + 1);
        QCOMPARE(setting->roleCombo()->currentText(), QString("ANCHOR"));
        QCOMPARE(setting->frameFromEditors().baudRate(), kDeviceRate);
        QCOMPARE(setting->frameFromEditors().protocol(), quint8(7));

        // Its calibration page reads the node's offsets and writes new ones.
        WidgetUwbCalibration* page = setting->calibrationPage();
        node_->calibration().setKept(hex("02 A2 FF 10 40 1A 40 D2 04 FD 06 FF"));
        LogCapture log;
        page->readButton()->click();
        QVERIFY(log.contains("Read parameter succeeded"));
        QCOMPARE(page->itemCombo()->currentText(), QString("aoa"));
        QCOMPARE(page->value(F::AoaOffset), 12.34);
        QCOMPARE(page->value(F::AntennaRxDelay), 16410.0);
        page->setValue(F::AoaOffset, -2.55);
        page->writeButton()->click();
        QVERIFY(log.contains("Write parameter succeeded"));
        QCOMPARE(node_->calibration().kept().mid(7, 2), hex("01 FF")); // -255
        QCOMPARE(node_->calibration().kept().mid(9, 3), hex("FF FF FF"));
        QVERIFY(talmeno_test::saveScreen(setting, "aoa_setting.png"));
        setting->close();
    }

    // The main window's entry opens the calibration window: read, write all six,
    // the same window at the same place when opened again.
    void uwbCalibrationWindow()
    {
        node_->calibration().setKept(hex("04 A2 FF 10 40 1A 40 D2 04 FD 06 FF"));
        trelvan::WidgetCalibration* w = openCalibration();
        QVERIFY(w);
        QVERIFY(!w->parent());
        QVERIFY(QTest::qWaitForWindowExposed(w));
        QVERIFY(w->readButton()->isEnabled());
        w->readButton()->click();
        QCOMPARE(w->statusBar()->currentMessage(), QString("Read parameter succeeded"));
        QCOMPARE(w->itemCombo()->currentText(), QString("Distance Offset"));
        QCOMPARE(w->value(F::DistanceOffset), -0.25);
        QCOMPARE(w->value(F::TxGainOffset), -3.0);
        QCOMPARE(w->value(F::XtrimOffset), -0.94);
        QVERIFY(talmeno_test::saveScreen(w, "uwb_calibration.png"));

        w->itemCombo()->setCurrentIndex(3);
        w->setValue(F::XtrimOffset, 2.5);
        w->setValue(F::AntennaTxDelay, -100);
        w->setValue(F::AntennaRxDelay, 100);
        w->setValue(F::AoaOffset, 90);
        w->setValue(F::TxGainOffset, 7);
        w->setValue(F::DistanceOffset, 0.5);
        w->writeButton()->click();
        QCOMPARE(w->statusBar()->currentMessage(), QString("Write parameter succeeded"));
        QCOMPARE(node_->calibration().kept(), hex("03 FA 00 9C FF 64 00 28 23 07 F4 01"));

        w->move(120, 90);
        const QPoint at = w->pos();
        w->hide();
        QCOMPARE(openCalibration(), w);
        QVERIFY(w->isVisible());
        QCOMPARE(w->pos(), at);
    }
};

TALMENO_TEST_MAIN(TstAoaLive)
#include "tst_aoa_live_gl.moc"
