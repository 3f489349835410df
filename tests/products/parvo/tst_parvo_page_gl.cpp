// The zone-matrix page where no OpenGL context can be made: range boxes and mean only,
// a live stream followed, every frame in the console, the newest drawn.

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
#include "support/DeviceDrain.h"
#include "support/ScreenShot.h"
#include "support/testenv.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QMainWindow>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QSplitter>

using namespace Parvo;

using rangetest::edit;

class TestParvoPage : public QObject
{
    Q_OBJECT

    QMainWindow window_;
    ZSerialPort port_;
    sim::DeviceSimulator device_;
    std::unique_ptr<sim::RangeSensor> sensor_;

private slots:
    void initTestCase()
    {
        GlContextCheck::setProbeHook([] { return false; });
        ZColorSchemeManager::instance()->applyStyleSheet(QString());
        rangetest::startPipeline();
        ModelViewManagers* pages = initViewServices(&window_);
        initLinkServices(&port_);
        registerZoneFrames();
        window_.setCentralWidget(pages->pageStack());
        window_.resize(1500, 950);
        window_.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window_));
        QVERIFY(device_.start());
        sensor_.reset(new sim::RangeSensor(device_, 8, 921600));
        sensor_->start();
        port_.setPortName(device_.portPath());
        port_.setBaudRate(921600);
        QVERIFY(port_.open(3));
    }

    void cleanupTestCase()
    {
        port_.close();
        sensor_->stop();
        device_.stop();
    }

    void surfaceWithoutContext_data()
    {
        QTest::addColumn<int>("count");
        QTest::newRow("16") << 16;
        QTest::newRow("64") << 64;
    }

    void surfaceWithoutContext()
    {
        QFETCH(int, count);
        const int side = count == 16 ? 4 : 8;
        rangetest::LogCapture log;
        SurfaceGraph surface(count, 0.0, 5.0, "dis(m)");
        QCOMPARE(log.count(QtCriticalMsg, "Couldn't initialize the OpenGL context."), 1);
        QCOMPARE(surface.side(), side);
        QVERIFY(!surface.graph() && !surface.series() && surface.cameraPreset() == -1);
        QVERIFY(surface.findChildren<QComboBox*>().isEmpty() && surface.findChildren<QPushButton*>().isEmpty());

        // The mean is shown; with no axis to measure it against the bar stays empty.
        QVector<QVector<float>> m(side, QVector<float>(side, 1.0f));
        m[0][0] = 1.0f + float(side * side); // mean 2
        surface.setData(m);
        QCOMPARE(surface.meanLabel()->text(), QString("2"));
        QCOMPARE(surface.meanBar()->value(), 0);
        // A matrix of the wrong shape is ignored.
        surface.setData(QVector<QVector<float>>(side - 1, QVector<float>(side - 1, 9.0f)));
        QCOMPARE(surface.meanLabel()->text(), QString("2"));

        // Each bound still limits the other.
        surface.show();
        edit(surface.yMinSpinBox(), "1");
        QCOMPARE(surface.yMaxSpinBox()->minimum(), 1.0);
        edit(surface.yMaxSpinBox(), "3");
        QCOMPARE(surface.yMinSpinBox()->maximum(), 3.0);
        QCOMPARE(surface.rangeMin(), 1.0);
        QCOMPARE(surface.rangeMax(), 3.0);
    }

    void livePageWithoutGraphs()
    {
        rangetest::LogCapture log;
        ProtocolFactory::loadProtocols("Vexa_Sarvel-Vora_Frame0_64", &window_);
        ZoneMatrixPage* page = nullptr;
        QTRY_VERIFY_WITH_TIMEOUT((page = window_.findChild<ZoneMatrixPage*>()) && page->isVisible(), 8000);
        QCOMPARE(log.count(QtCriticalMsg, "Couldn't initialize the OpenGL context."), 2);

        // Console of 300 px, then the distance surface above the strength surface.
        QTRY_COMPARE_WITH_TIMEOUT(page->statisticCount(), 192, 5000);
        QCOMPARE(page->console()->width(), ZoneMatrixPage::kConsoleWidth);
        QCOMPARE(page->console()->maximumWidth(), ZoneMatrixPage::kConsoleWidth);
        auto* splitter = qobject_cast<QSplitter*>(page->console()->parentWidget());
        QVERIFY(splitter && splitter->widget(0) == page->console());
        SurfaceGraph* distance = page->distanceSurface();
        SurfaceGraph* strength = page->strengthSurface();
        QVERIFY(distance->mapTo(page, QPoint()).y() < strength->mapTo(page, QPoint()).y());
        QCOMPARE(distance->titleLabel()->text(), QString("dis(m)"));
        QCOMPARE(strength->titleLabel()->text(), QString("signal_strength"));
        QCOMPARE(distance->yMaxSpinBox()->value(), 5.0);
        QCOMPARE(strength->yMaxSpinBox()->value(), 65535.0);
        // The statistics rows get room once the page is laid out (a sliver before).
        auto* rows = page->findChild<QScrollArea*>();
        QVERIFY(rows);
        QTRY_VERIFY_WITH_TIMEOUT(rows->width() >= 300, 5000);
        QVERIFY(rows->width() <= page->window()->width() / 2);

        for (SurfaceGraph* s : {distance, strength}) {
            QVERIFY(!s->graph());
            QTRY_VERIFY_WITH_TIMEOUT(!s->meanLabel()->text().isEmpty(), 8000);
            const QString mean = s->meanLabel()->text();
            QTRY_VERIFY_WITH_TIMEOUT(s->meanLabel()->text() != mean, 8000);
            QCOMPARE(s->meanBar()->value(), 0);
        }
        const double metres = distance->meanLabel()->text().toDouble();
        QVERIFY2(metres > 1.0 && metres < 3.0, qPrintable(distance->meanLabel()->text()));
        page->console()->flushPending();
        QVERIFY(page->console()->toPlainText().contains("57 01 00 01 "));

        QVERIFY(talmeno_test::saveScreen(&window_, "parvo_page_no_opengl.png"));
    }

    // Three frames since the last refresh: three console blocks with their own
    // arrival times, only the third drawn; a clear request drops what was taken.
    void refreshShowsEveryFrameDrawsTheNewest()
    {
        if (!window_.findChild<ZoneMatrixPage*>()) // run alone: the live page first
            livePageWithoutGraphs();
        QByteArray quiet = sensor_->parameters().parameters();
        quiet[9] = char(quint8(quiet[9]) | 0x02); // inquire: the stream stops
        sensor_->parameters().setParameters(quiet);
        sensor_->stop(); // nor does the period under way send once more
        // Every frame it sent is decoded before the page's queue is looked at.
        QVERIFY(talmeno_test::drainDevice(device_, port_));
        ProtocolFrame0_64* p = ProtocolFrame0_64::existing();
        ZoneMatrixPage* page = window_.findChild<ZoneMatrixPage*>();
        page->refresh();
        QCOMPARE(p->queue.size(), 0);
        page->console()->clearAll();

        const int base = ((10 * 60 + 11) * 60 + 12) * 1000;
        QList<QByteArray> frames;
        for (int k = 0; k < 3; ++k) {
            std::vector<sim::ZoneValue> zones(64);
            for (int i = 0; i < 64; ++i)
                zones[i] = sim::ZoneValue{(k + 1) * 1000000 + i * 1000, quint8(i), quint16(100 * (k + 1))};
            frames << sim::zoneFrame(0, 7, quint32(k), zones);
            p->queue.push(QSharedPointer<Data<0>>::create(base + 251 * k, frames.last()));
        }
        page->refresh();
        QCOMPARE(p->queue.size(), 0);
        page->console()->flushPending();
        // Each block ends with its own line break.
        const QStringList lines = page->console()->toPlainText().split('\n');
        QCOMPARE(lines.size(), 7);
        QCOMPARE(lines.at(6), QString());
        QCOMPARE(lines.at(0), QString("[10:11:12:000]"));
        QCOMPARE(lines.at(2), QString("[10:11:12:251]"));
        QCOMPARE(lines.at(4), QString("[10:11:12:502]"));
        QCOMPARE(lines.at(5), QString::fromLatin1(frames.at(2).toHex(' ')));
        // The third frame: distances 3.000 .. 3.063 m, strength 300.
        QCOMPARE(page->distanceSurface()->meanLabel()->text(), QString("3.0315"));
        QCOMPARE(page->strengthSurface()->meanLabel()->text(), QString("300"));

        p->queue.push(QSharedPointer<Data<0>>::create(base, sim::RangeSensor::zoneFrameOf(5, 0, 1, 5)));
        p->dataItem()->clear();
        page->refresh();
        QVERIFY(!p->dataItem()->isClearRequested());
        QCOMPARE(p->queue.size(), 0);
        page->console()->flushPending();
        QCOMPARE(page->console()->toPlainText().split('\n').size(), 7);
        QCOMPARE(page->strengthSurface()->meanLabel()->text(), QString("300"));
    }
};

TALMENO_TEST_MAIN(TestParvoPage)
#include "tst_parvo_page_gl.moc"
