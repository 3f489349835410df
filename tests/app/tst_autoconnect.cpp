#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QScopeGuard>
#include <QSerialPortInfo>
#include <QSettings>
#include <QThread>
#include <QTimer>
#include <memory>
#include <utility>

#include "app/MainWindow.h"
#include "foundation/ZThreadManager.h"
#include "protocol/ProtocolFrameExtraction.h"
#include "foundation/UserPaths.h"
#include "foundation/ZTranslatorManager.h"
#include "link/ZSerialPort.h"
#include "link/ZUiSerialPortAssistant.h"
#include "products/sarvel/RangeParameterProtocol.h"
#include "products/sarvel/RangeProductHandles.h"
#include "products/sarvel/RangeSettingWindow.h"
#include "products/sarvel/SarvelProtocolFrame0.h"
#include "protocol/ProductHandleBase.h"
#include "protocol/ProductsManager.h"
#include "protocol/WidgetSystemInfo.h"
#include "sim/DeviceSimulator.h"
#include "sim/RangeSensorSimulator.h"
#include "support/testenv.h"
#include "views/ModelViewManagers.h"
#include "model/ModelManager.h"
#include "widgets/ZComboBoxEditable.h"

namespace {
constexpr int kProductType = 4; // a single-point range sensor
constexpr int kDeviceRate = 115200;
} // namespace

// The program as a user starts it: with automatic connection and recognition on, a
// device plugged in after the start is opened and recognised without a click.
class TstAutoConnect : public QObject
{
    Q_OBJECT

    MainWindow* window_ = nullptr;
    sim::DeviceSimulator device_;
    std::unique_ptr<sim::RangeSensor> sensor_;
    QString linkPath_;

    ZSerialPort* port() const { return ZUiSerialPortAssistant::existing()->serialPort(); }

    void plug()
    {
        QVERIFY(QFile::link(device_.portPath(), linkPath_));
    }

    void unplug()
    {
        ZUiSerialPortAssistant::existing()->setSerialPortOpen(false);
        QFile::remove(linkPath_);
        // The scan reports the empty list again, so the next plug is a single insertion.
        QTRY_COMPARE(ZUiSerialPortAssistant::existing()->portComboBox()->count(), 0);
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
        linkPath_ = QDir::temp().filePath("usb-serial-device");
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
        if (sensor_)
            sensor_->stop();
        device_.stop();
        QFile::remove(linkPath_);
        delete window_;
    }

    // Run alone, a later case finds the device plugged in and recognised, as in order.
    void init()
    {
        if (!sensor_ && QByteArray(QTest::currentTestFunction()) != "pluggedInDeviceIsOpenedAndRecognised")
            pluggedInDeviceIsOpenedAndRecognised();
    }

    void pluggedInDeviceIsOpenedAndRecognised()
    {
        QTest::qWait(300); // running, nothing plugged in
        QVERIFY(!port()->isOpen());
        QCOMPARE(ProductsManager::existing()->currentProductType(), -1);

        QString error;
        QVERIFY2(device_.start(&error), qPrintable(error));
        sensor_.reset(new sim::RangeSensor(device_, kProductType, kDeviceRate));
        sensor_->start();
        plug();

        QTRY_VERIFY_WITH_TIMEOUT(port()->isOpen(), 5000);
        QCOMPARE(port()->portName(), linkPath_);
        QTRY_COMPARE_WITH_TIMEOUT(ProductsManager::existing()->currentProductType(), kProductType, 20000);
        QVERIFY(sensor_->systemHandler()->readRequests() >= 1);
        QCOMPARE(ProductsManager::existing()->currentProductHandle()->displayName(), QString("Sarvel Kiro"));
        QCOMPARE(QSettings().value("RecognizedBaudrate").toInt(), kDeviceRate);
        QCOMPARE(ModelViewManagers::instance()->currentName(), QString("Vexa_Sarvel_Frame0"));
        QVERIFY(WidgetSystemInfo::existing()->infoWidget()->isVisibleTo(WidgetSystemInfo::existing()));
        // The tool bar's rate box shows what the terminal uses.
        QCOMPARE(window_->baudrateMirror()->currentText(), QString::number(kDeviceRate));

        // The stream now flows from the port through the worker threads into the
        // page's data items.
        QTRY_VERIFY_WITH_TIMEOUT(Sarvel::ProtocolFrame0::existing() &&
                                     !Sarvel::ProtocolFrame0::existing()->lastFrame().isEmpty(),
                                 5000);
        QCOMPARE(Sarvel::ProtocolFrame0::existing()->lastFrame().left(2), QByteArray("\x57\x00", 2));
        // The page's items were declared through the page lookup the window installed.
        QTRY_VERIFY_WITH_TIMEOUT(Sarvel::ProtocolFrame0::existing()->dataItem(), 5000);
        QCOMPARE(Sarvel::ProtocolFrame0::existing()->modelManager(), ModelViewManagers::currentModelManager());
        QVERIFY(Sarvel::ProtocolFrame0::existing()->lineItem(0));
    }

    // Opened without recognition when only automatic connection is on.
    void recognitionFollowsItsSwitch()
    {
        unplug();
        window_->autoRecognizeAction()->setChecked(false);
        const int probes = sensor_->systemHandler()->readRequests();
        plug();
        QTRY_VERIFY_WITH_TIMEOUT(port()->isOpen(), 5000);
        QTest::qWait(1500);
        QCOMPARE(sensor_->systemHandler()->readRequests(), probes);
        window_->autoRecognizeAction()->setChecked(true);
    }

    // With the switch off the inserted port stays closed.
    void connectionFollowsItsSwitch()
    {
        unplug();
        window_->autoConnectAction()->setChecked(false);
        plug();
        QTRY_COMPARE(ZUiSerialPortAssistant::existing()->portComboBox()->count(), 1);
        QTest::qWait(600);
        QVERIFY(!port()->isOpen());
        window_->autoConnectAction()->setChecked(true);
    }

    // Two ports appearing in one scan leave the choice to the user: nothing opens,
    // neither then nor when one of them goes again.
    void twoNewPortsStayClosed()
    {
        unplug();
        const QString secondPath = QDir::temp().filePath("usb-serial-device-2");
        QFile::remove(secondPath);
        const auto restore = qScopeGuard([this, secondPath] {
            QFile::remove(secondPath);
            qputenv("TALMENO_EXTRA_PORTS", linkPath_.toLocal8Bit());
        });
        // Both links exist before the scan may see either: the scan reads the variable
        // anew each time, so it goes from no port to two in one step.
        qputenv("TALMENO_EXTRA_PORTS", QByteArray());
        plug();
        QVERIFY(QFile::link(device_.portPath(), secondPath));
        qputenv("TALMENO_EXTRA_PORTS", (linkPath_ + ":" + secondPath).toLocal8Bit());

        QTRY_COMPARE(ZUiSerialPortAssistant::existing()->portComboBox()->count(), 2);
        QTest::qWait(600);
        QVERIFY(!port()->isOpen());

        QFile::remove(secondPath);
        QTRY_COMPARE(ZUiSerialPortAssistant::existing()->portComboBox()->count(), 1);
        QTest::qWait(600);
        QVERIFY(!port()->isOpen());
    }

    // A multi-zone sensor plugged in after another product makes its page's 193 items
    // on its first zone frame; a read asked for meanwhile is answered in time, also
    // where each redraw of the page costs 20 ms (as under Xvfb with OpenGL).
    void readWhileThePageMakesItsItems()
    {
        unplug();
        sim::DeviceSimulator device;
        QVERIFY(device.start());
        sim::RangeSensor sensor(device, 8, kDeviceRate);
        sensor.start();
        QVERIFY(QFile::link(device.portPath(), linkPath_));
        QTRY_COMPARE_WITH_TIMEOUT(ModelViewManagers::instance()->currentName(), QString("Vexa_Sarvel-Vora_Frame0_64"),
                                  20000);
        QObject page;
        int made = 0;
        bool redrawPending = false; // one redraw takes in every item made before it
        connect(ModelViewManagers::currentModelManager(), &ModelManager::resourceCreated, &page, [&] {
            ++made;
            if (!std::exchange(redrawPending, true))
                QTimer::singleShot(0, &page, [&] {
                    QElapsedTimer busy;
                    for (busy.start(); busy.elapsed() < 20;) {
                    }
                    redrawPending = false;
                });
        });
        QTRY_VERIFY_WITH_TIMEOUT(made > 0, 5000);
        auto* handle = dynamic_cast<Sarvel::RangeProductHandle*>(ProductsManager::existing()->currentProductHandle());
        QVERIFY(handle && handle->settingWindow());
        QCOMPARE(handle->settingWindow()->readParameter(), QString());
        QCOMPARE(made, 193);
        unplug();
    }

    // Closing the program while recognition waits for a silent device: the waits
    // unwind at once, and the worker threads (the timers among them) keep running
    // until they have; the window's end stops them.
    void closingWhileRecognising()
    {
        device_.setMode(sim::DeviceSimulator::Mode::Silent);
        unplug();

        // The test's own loop stands for the program's main loop.
        QEventLoop mainLoop;
        int levelAtClose = -1;
        QObject context;
        connect(port(), &ZSerialPort::statusChanged, &context, [&](bool open) {
            if (!open)
                return;
            QTimer::singleShot(1500, window_, [&] {
                levelAtClose = QThread::currentThread()->loopLevel();
                window_->close();
            });
        });
        QTimer::singleShot(0, &context, [this] { plug(); });
        QTimer::singleShot(30000, &mainLoop, &QEventLoop::quit); // a guard only
        mainLoop.exec();

        QVERIFY2(levelAtClose >= 2, qPrintable(QString::number(levelAtClose))); // inside a wait
        QVERIFY(!WidgetSystemInfo::existing()->isRecognizing());
        QVERIFY(!ProtocolFrameExtraction::instance()->isEnabled());
        QVERIFY(ZThreadManager::instance()->thread(5)->isRunning());
        ZUiSerialPortAssistant::existing()->setSerialPortOpen(false);
        delete window_;
        window_ = nullptr;
        for (int n = 1; n <= 5; ++n)
            QVERIFY(!ZThreadManager::instance()->thread(n)->isRunning());
    }
};

TALMENO_TEST_MAIN(TstAutoConnect)
#include "tst_autoconnect.moc"
