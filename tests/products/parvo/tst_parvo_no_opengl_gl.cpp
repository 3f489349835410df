// The multi-zone page on a machine where no OpenGL context can be made (the probe
// is made to answer no, on a real X display): each surface logs the failure once
// and shows no graph, the page still follows a live zone-frame stream and nothing
// crashes. With TALMENO_SCREENS_DIR set, a screenshot is written there.

#include "foundation/ZColorSchemeManager.h"
#include "link/ZSerialPort.h"
#include "products/parvo/ParvoProtocolFrame0.h"
#include "products/parvo/ParvoSurfaceGraph.h"
#include "products/parvo/ParvoWidgetPixelData.h"
#include "protocol/LinkServices.h"
#include "protocol/ProtocolFactory.h"
#include "views/GlContextCheck.h"
#include "views/ModelViewManagers.h"
#include "views/RefreshManagers.h"
#include "widgets/PlainTextEditWithFile.h"
#include "helpers/RangeTestEnv.h"
#include "sim/DeviceSimulator.h"
#include "sim/RangeSensorSimulator.h"
#include "support/testenv.h"

#include <QComboBox>
#include <QLabel>
#include <QMainWindow>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QWindow>

class TestParvoNoOpenGl : public QObject
{
    Q_OBJECT

private slots:
    void pageWithoutGraphs()
    {
        GlContextCheck::setProbeHook([] { return false; });
        ZColorSchemeManager::instance()->applyStyleSheet(QString());
        rangetest::LogCapture log;
        rangetest::startPipeline();

        QMainWindow window;
        ModelViewManagers* pages = initViewServices(&window);
        ZSerialPort port;
        initLinkServices(&port);
        Parvo::registerZoneFrames();
        window.setCentralWidget(pages->pageStack());
        window.resize(1500, 950);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        sim::DeviceSimulator device;
        QVERIFY(device.start());
        sim::RangeSensor sensor(device, 8, 921600);
        sensor.start();
        port.setPortName(device.portPath());
        port.setBaudRate(921600);
        QVERIFY(port.open(3));
        ProtocolFactory::loadProtocols("Vexa_Sarvel-Vora_Frame0_64", &window);

        Parvo::ZoneMatrixPage* page = nullptr;
        QTRY_VERIFY_WITH_TIMEOUT((page = window.findChild<Parvo::ZoneMatrixPage*>()) && page->isVisible(), 8000);
        QCOMPARE(log.count(QtCriticalMsg, "Couldn't initialize the OpenGL context."), 2);
        for (Parvo::SurfaceGraph* s : {page->distanceSurface(), page->strengthSurface()}) {
            QVERIFY(!s->graph() && !s->series());
            QVERIFY(s->findChildren<QComboBox*>().isEmpty());
            QVERIFY(s->findChildren<QPushButton*>().isEmpty());
            QTRY_VERIFY_WITH_TIMEOUT(!s->meanLabel()->text().isEmpty(), 8000);
            const QString mean = s->meanLabel()->text();
            QTRY_VERIFY_WITH_TIMEOUT(s->meanLabel()->text() != mean, 8000);
            QCOMPARE(s->meanBar()->value(), 0);
        }
        // No window of a graph anywhere on the page.
        for (QWidget* w : page->findChildren<QWidget*>())
            QVERIFY(!w->windowHandle() || w->window() == &window);
        const double distanceMean = page->distanceSurface()->meanLabel()->text().toDouble();
        QVERIFY2(distanceMean > 1.0 && distanceMean < 3.0, qPrintable(page->distanceSurface()->meanLabel()->text()));
        page->console()->flushPending();
        QVERIFY(page->console()->toPlainText().contains("57 01 00 01 "));

        QCoreApplication::processEvents();
        const QPixmap shot = window.screen()->grabWindow(window.winId());
        QVERIFY(!shot.isNull());
        QString folder = qEnvironmentVariable("TALMENO_SCREENS_DIR");
        if (folder.isEmpty())
            folder = QDir::tempPath();
        QVERIFY(shot.save(QDir(folder).filePath("parvo_page_no_opengl.png")));

        port.close();
        sensor.stop();
        device.stop();
    }
};

TALMENO_TEST_MAIN(TestParvoNoOpenGl)
#include "tst_parvo_no_opengl_gl.moc"
