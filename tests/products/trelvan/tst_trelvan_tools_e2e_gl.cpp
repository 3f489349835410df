// The positioning node's tools as a user meets them, with the services wired as the
// main window wires them: the tag that `talmeno-sim --nmea` plays, whose parameters
// name NMEA 0183 output, is plugged in, recognised, and its sentences fill the three
// sentence pages by themselves (corrupted ones never show); choosing the sentence
// group by hand does the same. Then the attitude calibration window is opened from
// the tool bar and every sensor is calibrated by clicking through its steps, the
// node answering each at its own pace, and the DOP map is opened, its anchors
// edited, and once built without OpenGL. With TALMENO_SCREENS_DIR set, pictures are
// written there.

#include "foundation/ZColorSchemeManager.h"
#include "foundation/ZHooks.h"
#include "foundation/ZThreadManager.h"
#include "helpers/TrelvanPortEnv.h"
#include "link/ZSerialPort.h"
#include "link/ZUiSerialPortAssistant.h"
#include "products/trelvan/TrelvanRegistration.h"
#include "products/trelvan/calibration/AhrsCalibrationWindow.h"
#include "products/trelvan/config/TrelvanProductHandle.h"
#include "products/trelvan/tools/DopVisualization.h"
#include "products/trelvan/tools/ProtocolNmea0183.h"
#include "protocol/LinkServices.h"
#include "protocol/ProductsManager.h"
#include "protocol/ProtocolDataProcessor.h"
#include "protocol/ProtocolFactory.h"
#include "protocol/ProtocolFrameExtraction.h"
#include "protocol/WidgetSystemInfo.h"
#include "products/trelvan/calibration/AhrsCalibrationProtocol.h"
#include "sim/SimulatorCommand.h"
#include "sim/TrelvanTrial.h"
#include "support/ScreenShot.h"
#include "support/testenv.h"
#include "views/GlContextCheck.h"
#include "views/ModelViewManagers.h"
#include "views/RefreshManagers.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QMainWindow>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSerialPortInfo>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QtDataVisualization/Q3DSurface>
#include <QtDataVisualization/QSurface3DSeries>
#include <QtDataVisualization/QSurfaceDataProxy>

using Trelvan::WidgetAHRSCalibration;
using Trelvan::WidgetNmea0183Base;
using Trelvan::WidgetSensor;

namespace {
constexpr quint32 kDeviceRate = 921600;
}

class TestTrelvanToolsEndToEnd : public QObject
{
    Q_OBJECT

    QMainWindow* window_ = nullptr;
    ModelViewManagers* pages_ = nullptr;
    ZUiSerialPortAssistant* terminal_ = nullptr;
    QString linkPath_;
    sim::SimulatorCommand command_;
    QStringList boxes_;

    // The sentence page of a type (visible or not), null while it does not exist.
    WidgetNmea0183Base* page(const QString& type) const
    {
        for (WidgetNmea0183Base* p : window_->findChildren<WidgetNmea0183Base*>())
            if (!p->valueLabels().isEmpty() && p->valueLabels().first()->text() == type)
                return p;
        return nullptr;
    }

    // The pages follow the stream: the GPGGA time changes, and no page ever shows a
    // corrupted GPGSA sentence while two of them go by.
    void pagesFollowTheStream()
    {
        QTRY_VERIFY_WITH_TIMEOUT(page("GPGGA") && page("GPGSA") && page("GPRMC"), 20000);
        QLabel* utc = page("GPGGA")->valueLabels().at(1);
        QLabel* mode = page("GPGSA")->valueLabels().at(1);
        const QString first = utc->text();
        QTRY_VERIFY_WITH_TIMEOUT(utc->text() != first, 10000);
        // Watched for at least 1.6 s of samples: the good mode shows, the bad never.
        QStringList modes;
        QTimer watch;
        connect(&watch, &QTimer::timeout, this, [&] { modes << mode->text(); });
        watch.start(10);
        QTRY_VERIFY_WITH_TIMEOUT(modes.size() >= 160 && modes.contains("A"), 30000);
        watch.stop();
        QVERIFY(!modes.contains("BAD"));
        QCOMPARE(page("GPRMC")->valueLabels().at(2)->text(), QString("A"));
        QCOMPARE(page("GPGSA")->valueLabels().size(), 18);
    }

private slots:
    void initTestCase()
    {
        ZColorSchemeManager::instance()->applyStyleSheet(QString());
        TestTrelvan::startPortPipeline();
        QStringList realPorts;
        for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
            realPorts << info.portName();
        QSettings().setValue("SerialPort/IgnoredPortNames", realPorts);
        linkPath_ = QDir::temp().filePath("trelvan-tools-usb");
        QFile::remove(linkPath_);
        qputenv("TALMENO_EXTRA_PORTS", linkPath_.toLocal8Bit());
        messageBoxHook = [this](const QString& text) { boxes_ << text; };

        window_ = new QMainWindow;
        pages_ = initViewServices(window_);
        initSerialPortInterface(window_);
        terminal_ = ZUiSerialPortAssistant::existing();
        QVERIFY(terminal_);
        initLinkServices(terminal_->serialPort());
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
        window_->resize(1200, 800);
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_));
    }

    void cleanupTestCase()
    {
        if (terminal_)
            terminal_->setSerialPortOpen(false);
        command_.stop();
        ProtocolFrameExtraction::instance()->setEnabled(false);
        ZThreadManager::instance()->runInThread(2, [] { ProtocolFrameExtraction::instance()->clearBuffers(); }, true);
        ZThreadManager::instance()->runInThread(3, [] { ProtocolDataProcessor::instance()->processFrames(); }, true);
        QFile::remove(linkPath_);
        delete ProductsManager::existing();
        delete window_;
        resetMessageHooks();
    }

    // Run alone, a later case finds the sentence node live, as in order.
    void init()
    {
        if (!Trelvan::ProductHandle::existing() && QByteArray(QTest::currentTestFunction()) != "sentenceNodeIsLive")
            sentenceNodeIsLive();
    }

    // Parameters naming protocol 128: the sentence group loads by itself.
    void sentenceNodeIsLive()
    {
        QVERIFY2(command_.start({"talmeno-sim", "--nmea", "--baud", QString::number(kDeviceRate), "--link", linkPath_}),
                 qPrintable(command_.error()));

        QTRY_VERIFY_WITH_TIMEOUT(terminal_->serialPort()->isOpen(), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(ProductsManager::existing()->currentProductType(), 0, 60000);
        QTRY_COMPARE_WITH_TIMEOUT(pages_->currentName(), QString("NMEA0183"), 20000);
        pagesFollowTheStream();
        talmeno_test::saveWindowIfAsked(window_, "trelvan_nmea_page");
    }

    // Another group, then the sentence group chosen by hand (the protocol chooser's call).
    void sentenceGroupChosenByHand()
    {
        ProtocolFactory::loadProtocols("Vexa_Trelvan_Node_Frame0", window_);
        QCOMPARE(pages_->currentName(), QString("Vexa_Trelvan_Node_Frame0"));
        for (ProtocolBase* p : Trelvan::ProtocolNmea0183Manager::protocols())
            QVERIFY(!p->isActive());
        ProtocolFactory::loadProtocols("NMEA0183", window_);
        QCOMPARE(pages_->currentName(), QString("NMEA0183"));
        for (ProtocolBase* p : Trelvan::ProtocolNmea0183Manager::protocols())
            QVERIFY(p->isActive());
        pagesFollowTheStream();
    }

    void calibrateEverySensorFromTheToolBar()
    {
        WidgetAHRSCalibration* w = WidgetAHRSCalibration::existing();
        QVERIFY(w);
        QAction* action = w->windowAction();
        QVERIFY(action && action->isVisible());
        QCOMPARE(action->text(), QString("AHRS Calibration"));
        QSignalSpy replies(Trelvan::ProtocolAhrsCalibration::instance(),
                           &Trelvan::ProtocolAhrsCalibration::replyReceived);
        action->trigger();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        QVERIFY(w->centralWidget()->isEnabled());

        // Every step of every sensor, each clicked when its text shows.
        const QList<QPair<WidgetSensor*, QStringList>> rows{
            {w->gyroRow(), {"Keep Static"}},
            {w->accRow(),
             {"Keep Axis X+ upward", "Keep Axis X- upward", "Keep Axis Y+ upward", "Keep Axis Y- upward",
              "Keep Axis Z+ upward", "Keep Axis Z- upward"}},
            {w->magRow(),
             {"Rotating around axis X uniformly", "Rotating around axis Y uniformly",
              "Rotating around axis Z uniformly"}}};
        const QStringList done{"", "Accelerometer calibration succeeded!", "Magnetometer calibration succeeded!"};
        // When each status message came and went, on one clock.
        QElapsedTimer clock;
        clock.start();
        QList<QPair<qint64, QString>> messages;
        QObject watch;
        connect(w->statusBar(), &QStatusBar::messageChanged, &watch,
                [&](const QString& text) { messages << qMakePair(clock.elapsed(), text); });
        for (int r = 0; r < rows.size(); ++r) {
            WidgetSensor* row = rows[r].first;
            const QStringList& steps = rows[r].second;
            for (int s = 0; s < steps.size(); ++s) {
                QCOMPARE(row->stepButton()->text(), steps[s]);
                row->stepButton()->click();
                // The sensor takes its time: the step shows as under way first.
                if (r == 0)
                    QTRY_COMPARE_WITH_TIMEOUT(row->statusButton()->text(), QString("Calibrating ..."), 10000);
                if (s + 1 < steps.size())
                    QTRY_COMPARE_WITH_TIMEOUT(row->currentStep(), s + 1, 10000);
                if (r == 1 && s == 2)
                    talmeno_test::saveWindowIfAsked(w, "ahrs_mid_calibration");
            }
            QTRY_COMPARE_WITH_TIMEOUT(row->statusButton()->text(), QString("Calibration succeeded"), 10000);
            QCOMPARE(row->stepButton()->text(), steps[0]);
            if (!done[r].isEmpty())
                QCOMPARE(w->statusBar()->currentMessage(), done[r]);
        }
        // The finish commands went out: gyroscope 2, accelerometer 8, magnetometer 2.
        sim::AhrsCalibrationHandler& ahrs = command_.trelvan()->ahrs();
        QTRY_COMPARE_WITH_TIMEOUT(ahrs.commands().size(), 13, 10000);
        QCOMPARE(quint8(ahrs.commands()[1][3]), quint8(2));
        QCOMPARE(quint8(ahrs.commands()[8][5]), quint8(8));
        QCOMPARE(quint8(ahrs.commands()[12][7]), quint8(2));
        // Every command answered, in order, with the sensor's progress: gyroscope
        // under way twice, then done; each direction; each rotation after the
        // unchanged state; each finish with the state it stores.
        const QList<QList<int>> expected{{0, 0, 0}, {0, 0, 0}, {1, 0, 0}, {1, 0, 0},  {0, 1, 0},  {0, 3, 0},
                                         {0, 7, 0}, {0, 15, 0}, {0, 31, 0}, {0, 63, 0}, {0, 63, 0}, {0, 0, 0},
                                         {0, 0, 1}, {0, 0, 1}, {0, 0, 3},  {0, 0, 3},  {0, 0, 7},  {0, 0, 7}};
        QTRY_COMPARE_WITH_TIMEOUT(replies.size(), expected.size(), 10000);
        for (int i = 0; i < replies.size(); ++i) {
            const QByteArray reply = replies.at(i).at(0).toByteArray();
            QCOMPARE((QList<int>{quint8(reply[4]), quint8(reply[6]), quint8(reply[8])}), expected[i]);
        }
        QVERIFY(boxes_.isEmpty());
        QCOMPARE(quint8(command_.trelvan()->parameters().parameters()[17]) & 0x0F, 9);
        // A success stays 5 s in the status bar (a coarse timer may end it 5 % early), then it clears.
        QTRY_VERIFY_WITH_TIMEOUT(messages.size() >= 2 && messages.last().second.isEmpty(), 20000);
        QCOMPARE(messages.at(messages.size() - 2).second, done[2]);
        const qint64 stayed = messages.last().first - messages.at(messages.size() - 2).first;
        QVERIFY2(stayed >= 4750, qPrintable(QString::number(stayed)));
        talmeno_test::saveWindowIfAsked(w, "ahrs_after_success");
        w->close();
    }

    void dopMapFromTheToolBar()
    {
        auto* handle = Trelvan::ProductHandle::existing();
        QVERIFY(handle);
        QAction* dop = nullptr;
        for (QAction* a : handle->toolBarActions())
            if (a->text() == "DOP")
                dop = a;
        QVERIFY(dop && dop->isVisible());
        dop->trigger();
        auto* w = qobject_cast<Trelvan::DopVisualization*>(handle->dopWindow());
        QVERIFY(w);
        QVERIFY(QTest::qWaitForWindowExposed(w));
        QVERIFY(w->surface()->graph());
        QCOMPARE(w->surface()->graph()->seriesList().size(), 5);
        QCOMPARE(w->surface()->series(0)->dataProxy()->rowCount(), 25);
        talmeno_test::saveWindowIfAsked(w, "dop_before_edit");

        w->editButton->click();
        w->anchorEdit->setPlainText("(0,0,3) (0,12,2.5) (12,12,3) (12,0,2) (6,6,4)");
        w->editButton->click();
        QCOMPARE(w->surface()->anchors.size(), 5);
        QCOMPARE(QSettings().value("DopVisualization/Anchors").toString(),
                 QString("(0,0,3) (0,12,2.5) (12,12,3) (12,0,2) (6,6,4) "));
        talmeno_test::saveWindowIfAsked(w, "dop_after_edit");
        w->close();
    }

    void dopMapWithoutOpenGl()
    {
        GlContextCheck::setProbeHook([] { return false; });
        QStringList shown;
        GlContextCheck::setModalBoxHook([&shown](QMessageBox* box) { shown << box->text(); });
        {
            Trelvan::DopVisualization w;
            QVERIFY(!w.surface()->graph());
            QCOMPARE(shown, QStringList{"Couldn't initialize the OpenGL context."});
            w.show();
            QVERIFY(QTest::qWaitForWindowExposed(&w));
            QVERIFY(!w.meanLabels[0]->text().isEmpty());
            talmeno_test::saveWindowIfAsked(&w, "dop_without_opengl");
        }
        GlContextCheck::setProbeHook({});
        GlContextCheck::setModalBoxHook({});
    }
};

TALMENO_TEST_MAIN(TestTrelvanToolsEndToEnd)
#include "tst_trelvan_tools_e2e_gl.moc"
