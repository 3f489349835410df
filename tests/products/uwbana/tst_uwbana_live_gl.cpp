// A UWB analyser plugged in while the program runs: recognised and read without a
// click, a channel written, chips and charts live, a silent device times out.

#include "link/ZSerialPort.h"
#include "model/ResourceItems.h"
#include "products/uwbana/UwbAnaChipWidget.h"
#include "products/uwbana/UwbAnaProductHandle.h"
#include "products/uwbana/UwbAnaTables.h"
#include "products/uwbana/UwbAnaWidgetData.h"
#include "protocol/ProductsManager.h"
#include "protocol/WidgetSystemInfo.h"
#include "views/CustomTabWidget.h"
#include "views/LineResource.h"
#include "views/ModelViewManagers.h"
#include "views/ViewManager.h"
#include "sim/AnalyserSimulator.h"
#include "sim/DeviceSimulator.h"
#include "support/ScreenShot.h"
#include "support/WiredWindow.h"
#include "support/testenv.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QLineSeries>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QLabel>
#include <QTabBar>

namespace {

constexpr int kProductType = 19; // "KX40 Apex"
constexpr int kDeviceRate = 921600;

LineResourceItem* line(const QString& key)
{
    for (LineResourceItem* item : UwbAna::lineCollector->items())
        if (item->name() == key)
            return item;
    return nullptr;
}

} // namespace

class TestUwbAnaLive : public QObject
{
    Q_OBJECT

    talmeno_test::WiredWindow w_;
    sim::DeviceSimulator device_;
    std::unique_ptr<sim::Analyser> analyser_;

    static UwbAna::WidgetData* page() { return UwbAna::WidgetData::existing(); }

private slots:
    void initTestCase()
    {
        talmeno_test::startPipeline();
        QVERIFY(w_.setUp("uwb-analyser-usb", {1600, 900}, &UwbAna::registerAnalyser, false));
    }

    void cleanupTestCase()
    {
        w_.tearDown();
        if (analyser_)
            analyser_->stop();
        device_.stop();
    }

    // Run alone, a later case finds the analyser plugged in and recognised, as in order.
    void init()
    {
        if (!analyser_ && QByteArray(QTest::currentTestFunction()) != "plugInRecognisedAndRead")
            plugInRecognisedAndRead();
    }

    void plugInRecognisedAndRead()
    {
        QVERIFY(device_.start());
        analyser_.reset(new sim::Analyser(device_, kProductType, kDeviceRate));
        analyser_->start();
        QVERIFY(w_.plugIn(device_.portPath())); // plugged in

        QTRY_VERIFY_WITH_TIMEOUT(w_.port()->isOpen(), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(ProductsManager::existing()->currentProductType(), kProductType, 30000);
        auto* handle = qobject_cast<UwbAna::ProductHandle*>(ProductsManager::existing()->currentProductHandle());
        QVERIFY(handle);
        QCOMPARE(handle->name(), QString("kx40"));
        QCOMPARE(UwbAna::ProtocolParameter::existing()->parent(), handle);
        QCOMPARE(w_.pages->currentName(), QString("UWB_Analyzer"));
        QVERIFY(UwbAna::ProtocolFrame0::existing()->isActive() && UwbAna::ProtocolFrame1::existing()->isActive());

        // The read request went out on the wire: 78 00 01, 52 zero bytes, 79.
        QTRY_VERIFY_WITH_TIMEOUT(analyser_->parameters().readRequests() >= 1, 5000);
        QByteArray request(56, '\0');
        request[0] = char(0x78);
        request[2] = char(0x01);
        request[55] = char(0x79);
        QVERIFY(device_.received().contains(request));

        // The page shows the device's settings.
        QTRY_VERIFY_WITH_TIMEOUT(page() && page()->isVisible(), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(page()->baudRateBox()->currentText(), QString::number(kDeviceRate), 5000);
        QCOMPARE(page()->settings().toWriteFrame(), analyser_->parameters().parameters());
        QVERIFY(page()->readButton()->isEnabled());
    }

    void streamedFramesFillChips()
    {
        UwbAna::WidgetData* p = page();
        QVERIFY(p);
        QTRY_VERIFY_WITH_TIMEOUT(p->chip(0)->statusPage() != 0 && p->chip(2)->statusPage() != 0, 8000);
        QCOMPARE(p->chip(1)->statusPage(), 0);
        QTRY_VERIFY_WITH_TIMEOUT(p->chip(2)->latestView()->toPlainText().contains("rx_interval(ms): 50"), 8000);
        QVERIFY(p->chip(1)->latestView()->toPlainText().isEmpty());
        QTRY_VERIFY_WITH_TIMEOUT(line("0_fp_rssi") && line("0_fp_rssi")->values().size() > 5, 8000);
        // Every interval is 50 ms, the wrap of the radio clock included (it comes
        // about 1.25 s into the stream).
        QTRY_VERIFY_WITH_TIMEOUT(analyser_->receiveFramesSent() > 60, 10000);
        QTRY_VERIFY_WITH_TIMEOUT(line("2_rx_interval(ms)") && line("2_rx_interval(ms)")->values().size() > 30, 8000);
        for (double ms : line("2_rx_interval(ms)")->values())
            QVERIFY2(qAbs(ms - 50.0) < 1e-6, qPrintable(QString::number(ms)));

        // The chart of a chip value moves.
        ViewManager* view = w_.pages->currentManager()->viewManager();
        auto* chart = qobject_cast<LineResource*>(view->resource(ResourceType::Line, "UWB_Analyzer0_fp_rssi"));
        QVERIFY(chart);
        QTRY_VERIFY_WITH_TIMEOUT(chart->series()->count() > 5, 8000);
        QVERIFY(talmeno_test::saveScreen(w_.window, "uwbana_data_page_live.png"));
        // The model's clear reaches the page.
        UwbAna::dataViewItem()->clear();
        QVERIFY(p->systemTimeLabel()->text().isEmpty() && p->chip(0)->latestView()->toPlainText().isEmpty());
        QTRY_VERIFY_WITH_TIMEOUT(!UwbAna::dataViewItem()->isClearRequested(), 5000);
        auto* tabs = w_.window->findChild<CustomTabWidget*>();
        QVERIFY(tabs);
        for (int i = 0; i < tabs->count(); ++i)
            if (tabs->tabBar()->tabText(i).startsWith("Line"))
                tabs->setCurrentPage(tabs->page(i));
        QTest::qWait(1500);
        QVERIFY(talmeno_test::saveScreen(w_.window, "uwbana_line_charts_live.png"));
        for (int i = 0; i < tabs->count(); ++i)
            if (tabs->tabBar()->tabText(i).startsWith("Data"))
                tabs->setCurrentPage(tabs->page(i));
    }

    void falseHeadLosesNothing()
    {
        // "7A 01" inside noise, with a data_length that no frame will fill, then a
        // real frame of the otherwise silent chip 1. The search holds what follows
        // the false head until the claimed length has arrived without a valid sum
        // (the other chips keep streaming); the real frame is then found, not lost.
        QByteArray noise(50, '\0');
        noise[0] = char(0x7A);
        noise[1] = char(0x01);
        noise[48] = char(0x60);
        noise[49] = char(0xEA); // 60000
        sim::AnalyserReceive r = sim::Analyser::receiveOf(1, 5, 31337);
        device_.send(noise + sim::analyserReceiveFrame(r));
        QTRY_VERIFY_WITH_TIMEOUT(page()->chip(1)->latestView()->toPlainText().contains("system_time(ms): 31337"), 60000);
    }

    void writeChangedChannel()
    {
        UwbAna::WidgetData* p = page();
        p->chip(0)->combo(UwbAna::ChipWidget::Channel)->setCurrentText("2");
        p->chip(0)->combo(UwbAna::ChipWidget::PreambleCode)->setCurrentText("9");
        const int writesBefore = analyser_->parameters().writeRequests();
        QTest::mouseClick(p->writeButton(), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(analyser_->parameters().writeRequests(), writesBefore + 1, 5000);
        const QByteArray written = analyser_->parameters().lastWriteFrame();
        QCOMPARE(analyser_->parameters().parameters(), written); // kept by the device
        const UwbAna::ParameterSettings kept = UwbAna::ParameterSettings::fromFrame(written);
        QCOMPARE(kept.chips[0].field(UwbAna::ChipConfig::Channel), 3u);
        QCOMPARE(kept.chips[0].field(UwbAna::ChipConfig::PreambleCode), 9u);
        QCOMPARE(kept.chips[0].field(UwbAna::ChipConfig::Prf), 2u);
        QCOMPARE(kept.chips[0].words[1], 0u);
        // The other chips went back as they were read.
        const UwbAna::ParameterSettings defaults =
            UwbAna::ParameterSettings::fromFrame(sim::analyserParameterDefaults(kDeviceRate));
        for (int c = 1; c < 4; ++c)
            QCOMPARE(kept.chips[c].words[0], defaults.chips[c].words[0]);
        QVERIFY(page()->readButton()->isEnabled());
    }

    void silentDeviceTimesOut()
    {
        analyser_->setSilent(true);
        auto* handle = qobject_cast<UwbAna::ProductHandle*>(ProductsManager::existing()->currentProductHandle());
        QVERIFY(handle);
        const int timeout = ZSerialPortInterface::timeoutForBytes(56, 3000);
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(handle->handleProductRecognized(), QString("Time out."));
        QVERIFY2(clock.elapsed() >= timeout - 20, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(page()->readButton()->isEnabled() && UwbAna::ProtocolFrame1::existing()->isActive());
        analyser_->setSilent(false);
        QCOMPARE(page()->readParameter(), QString());
    }
};

TALMENO_TEST_MAIN(TestUwbAnaLive)
#include "tst_uwbana_live_gl.moc"
