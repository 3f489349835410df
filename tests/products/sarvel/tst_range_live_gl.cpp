// A single-point range sensor plugged in while the program runs: it is connected,
// recognised, its parameters read, its range frame decoded, shown with statistics
// and line charts and sent as JSON, all without a click. The test wires the
// services the way the main window does. With TALMENO_SCREENS_DIR set, screenshots
// of the live page and both setting windows are written there.

#include "foundation/ZUdpOutput.h"
#include "link/ZSerialPort.h"
#include "model/ResourceItems.h"
#include "products/sarvel/ParvoWidgetSetting.h"
#include "products/sarvel/RangeParameterProtocol.h"
#include "products/sarvel/RangeProductHandles.h"
#include "products/sarvel/SarvelProtocolFrame0.h"
#include "products/sarvel/SarvelWidgetFrame0.h"
#include "products/sarvel/SarvelWidgetSetting.h"
#include "protocol/ProductsManager.h"
#include "protocol/WidgetSystemInfo.h"
#include "views/RefreshManagers.h"
#include "views/CustomTabWidget.h"
#include "views/LineResource.h"
#include "views/ModelViewManagers.h"
#include "views/ViewManager.h"
#include "widgets/LineStatisticWidget.h"
#include "widgets/ZLabel.h"
#include "helpers/RangeTestEnv.h"
#include "sim/DeviceSimulator.h"
#include "sim/RangeSensorSimulator.h"
#include "support/ScreenShot.h"
#include "support/WiredWindow.h"
#include "support/testenv.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QStatusBar>
#include <QToolButton>
#include <QComboBox>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineSeries>
#include <QNetworkDatagram>
#include <QScreen>
#include <QTabBar>
#include <QUdpSocket>

namespace {

constexpr int kProductType = 4;   // "Sarvel Kiro"
constexpr int kDeviceRate = 921600;

} // namespace

class TestRangeLive : public QObject
{
    Q_OBJECT

    talmeno_test::WiredWindow w_;
    QUdpSocket receiver_;
    sim::DeviceSimulator device_;
    std::unique_ptr<sim::RangeSensor> sensor_;

    Sarvel::WidgetFrame0* page() const { return w_.window->findChild<Sarvel::WidgetFrame0*>(); }

private slots:
    void initTestCase()
    {
        rangetest::startPipeline();
        QVERIFY(receiver_.bind(QHostAddress(QHostAddress::LocalHost), 0));
        QVERIFY(w_.setUp("range-sensor-usb", {1400, 860}, &Sarvel::registerRangeSensors));
        QVERIFY(udpOutputEnabled.load()); // "EnableUDPOutput" defaults to on
        udpOutputPort.store(receiver_.localPort());
    }

    void cleanupTestCase()
    {
        w_.tearDown();
        if (sensor_)
            sensor_->stop();
        device_.stop();
    }

    // Run alone, a later case finds the sensor plugged in and recognised, as in order.
    void init()
    {
        if (!sensor_ && QByteArray(QTest::currentTestFunction()) != "plugInRecognisedAndLive")
            plugInRecognisedAndLive();
    }

    void plugInRecognisedAndLive()
    {
        QTest::qWait(300); // running, nothing plugged in
        QCOMPARE(ProductsManager::existing()->currentProductType(), -1);
        QVERIFY(!w_.port()->isOpen());

        QVERIFY(device_.start());
        sensor_.reset(new sim::RangeSensor(device_, kProductType, kDeviceRate));
        sensor_->start();
        QVERIFY(w_.plugIn(device_.portPath())); // plugged in

        QTRY_VERIFY_WITH_TIMEOUT(w_.port()->isOpen(), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(ProductsManager::existing()->currentProductType(), kProductType, 30000);
        QCOMPARE(w_.port()->baudRate(), kDeviceRate);
        auto* handle = qobject_cast<Sarvel::ProductHandle*>(ProductsManager::existing()->currentProductHandle());
        QVERIFY(handle);
        QCOMPARE(handle->displayName(), QString("Sarvel Kiro"));
        QTRY_VERIFY_WITH_TIMEOUT(sensor_->parameters().readRequests() >= 1, 5000);
        QTRY_VERIFY_WITH_TIMEOUT(Sarvel::ProtocolFrame0::existing() && Sarvel::ProtocolFrame0::existing()->isActive(),
                                 5000);
        QCOMPARE(w_.pages->currentName(), QString("Vexa_Sarvel_Frame0"));
        // The parameters read on recognition are in the setting window.
        QCOMPARE(handle->widgetSetting()->rangeGroup()->checkedId(), 2);
        QCOMPARE(handle->widgetSetting()->baudrateComboBox()->currentText(), QString::number(kDeviceRate));

        // The data page appears and follows the stream.
        QTRY_VERIFY_WITH_TIMEOUT(page() && page()->isVisible(), 5000);
        Sarvel::WidgetFrame0* p = page();
        QTRY_VERIFY_WITH_TIMEOUT(!p->label(1)->value().isEmpty(), 5000);
        const QString firstDistance = p->label(1)->value();
        const QString firstTime = p->label(0)->value();
        QTRY_VERIFY_WITH_TIMEOUT(p->label(0)->value() != firstTime, 6000);
        QTRY_VERIFY_WITH_TIMEOUT(p->label(1)->value() != firstDistance, 5000);
        const double shown = p->label(1)->value().toDouble();
        QVERIFY2(shown > 1.0 && shown < 2.0, qPrintable(p->label(1)->value()));

        // Statistics of the distance, once the user ticks its row.
        LineStatisticWidget* row = nullptr;
        for (int i = 0; i < p->statisticCount(); ++i)
            if (p->statisticRow(i)->item() && p->statisticRow(i)->item()->name() == "dis(m)")
                row = p->statisticRow(i);
        QVERIFY(row);
        row->checkBox()->setChecked(true);
        QTRY_VERIFY_WITH_TIMEOUT(!row->meanLabel()->text().isEmpty() && row->meanLabel()->text() != "0", 6000);
        const double minimum = row->minLabel()->text().section(':', -1).trimmed().toDouble();
        const double maximum = row->maxLabel()->text().section(':', -1).trimmed().toDouble();
        QVERIFY2(minimum >= 1.09 && maximum <= 1.91 && maximum > minimum,
                 qPrintable(row->minLabel()->text() + " " + row->maxLabel()->text()));

        // The line chart of the distance moves.
        ViewManager* view = w_.pages->currentManager()->viewManager();
        auto* line = qobject_cast<LineResource*>(view->resource(ResourceType::Line, "Vexa_Sarvel_Frame0dis(m)"));
        QVERIFY(line);
        QTRY_VERIFY_WITH_TIMEOUT(line->series()->count() > 5, 5000);
        const QVector<QPointF> before = line->series()->pointsVector();
        QTRY_VERIFY_WITH_TIMEOUT(line->series()->pointsVector() != before, 6000);
        for (const QPointF& point : line->series()->pointsVector())
            QVERIFY(point.y() >= 1.09 && point.y() <= 1.91);

        // Every frame goes out as JSON.
        QList<QJsonObject> datagrams;
        QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                while (receiver_.hasPendingDatagrams()) {
                    const QJsonObject o = QJsonDocument::fromJson(receiver_.receiveDatagram().data()).object();
                    if (!o.contains("system_frame")) // recognition sends the system frame too
                        datagrams << o;
                }
                return datagrams.size() >= 5;
            }(),
            5000);
        for (const QJsonObject& o : datagrams) {
            QCOMPARE(o.keys(), (QStringList{"dis", "dis_status", "range_precision", "signal_strength", "system_time"}));
            QVERIFY(o.value("dis").toDouble() >= 1.09 && o.value("dis").toDouble() <= 1.91);
            QCOMPARE(o.value("range_precision").toInt(), 2);
        }

        QVERIFY(talmeno_test::saveScreen(w_.window, "sarvel_data_page_live.png"));
        // The same page with its line charts in front.
        auto* tabs = w_.window->findChild<CustomTabWidget*>();
        QVERIFY(tabs);
        for (int i = 0; i < tabs->count(); ++i)
            if (tabs->tabBar()->tabText(i).startsWith("Line"))
                tabs->setCurrentPage(tabs->page(i));
        QTest::qWait(2500); // a few waves of the simulated distance
        QVERIFY(talmeno_test::saveScreen(w_.window, "sarvel_line_charts_live.png"));
    }

    void settingWindowsOnScreen()
    {
        auto* handle = qobject_cast<Sarvel::ProductHandle*>(ProductsManager::existing()->currentProductHandle());
        QVERIFY(handle);
        QVERIFY(handle->settingAction()->isVisible());
        handle->settingAction()->trigger();
        Sarvel::WidgetSetting* sarvel = handle->widgetSetting();
        QVERIFY(QTest::qWaitForWindowExposed(sarvel));
        QVERIFY(sarvel->centralWidget()->isEnabled());
        QVERIFY(Sarvel::ProtocolParameter::existing()->isActive());
        sarvel->readButton()->click();
        QCOMPARE(sarvel->statusBar()->currentMessage(), QString("Read parameter succeeded"));
        QVERIFY(talmeno_test::saveScreen(sarvel, "sarvel_setting_window.png"));

        // A Beam Gauge sensor's window: no range or FOV, refresh rate and filter factor.
        Sarvel::WidgetSetting rion(15);
        rion.show();
        QVERIFY(QTest::qWaitForWindowExposed(&rion));
        QVERIFY(talmeno_test::saveScreen(&rion, "sarvel_setting_window_type15.png"));
        rion.close();

        Parvo::WidgetSetting parvo;
        parvo.show();
        QVERIFY(QTest::qWaitForWindowExposed(&parvo));
        QVERIFY(talmeno_test::saveScreen(&parvo, "parvo_setting_window.png"));
        parvo.close();
        sarvel->close();
        QVERIFY(!Sarvel::ProtocolParameter::existing()->isActive());
    }
};

TALMENO_TEST_MAIN(TestRangeLive)
#include "tst_range_live_gl.moc"
