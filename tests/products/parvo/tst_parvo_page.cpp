// The zone-matrix page where no OpenGL context can be made (the probe answers no):
// the surfaces keep their controls and the mean, the console and the refresh rules
// hold. The drawn surfaces are tested under Xvfb in tst_parvo_surface_gl.

#include "model/ResourceItems.h"
#include "products/parvo/ParvoProtocolFrame0.h"
#include "products/parvo/ParvoSurfaceGraph.h"
#include "products/parvo/ParvoWidgetPixelData.h"
#include "views/GlContextCheck.h"
#include "widgets/PlainTextEditWithFile.h"
#include "helpers/RangeTestEnv.h"
#include "sim/RangeSensorSimulator.h"
#include "support/testenv.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QSplitter>
#include <QVBoxLayout>

using namespace Parvo;

namespace {

QVector<QVector<float>> filled(int side, float value)
{
    return QVector<QVector<float>>(side, QVector<float>(side, value));
}

// Types text into a spin box and presses Return, as a user finishes an edit.
void edit(QDoubleSpinBox* spin, const QString& text)
{
    spin->setFocus();
    spin->selectAll();
    QTest::keyClicks(spin, text);
    QTest::keyClick(spin, Qt::Key_Return);
}

} // namespace

class TestParvoPage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        GlContextCheck::setProbeHook([] { return false; });
        rangetest::startPipeline();
        rangetest::testModelManager();
        for (ZoneFrameProtocol* p : QList<ZoneFrameProtocol*>{ProtocolFrame0_16::instance(), ProtocolFrame0_64::instance()}) {
            p->processFrame(sim::RangeSensor::zoneFrameOf(0, p->pixelMode(), 1, 0));
            QVERIFY(p->dataItem());
        }
        ProtocolFrame0_16::instance()->takeAll();
        ProtocolFrame0_64::instance()->takeAll();
    }

    void surfaceWithoutContext_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("side");
        QTest::newRow("16") << 16 << 4;
        QTest::newRow("64") << 64 << 8;
    }

    void surfaceWithoutContext()
    {
        QFETCH(int, count);
        QFETCH(int, side);
        rangetest::LogCapture log;
        SurfaceGraph surface(count, 0.0, 5.0, "dis(m)");
        QCOMPARE(log.count(QtCriticalMsg, "Couldn't initialize the OpenGL context."), 1);
        QCOMPARE(surface.side(), side);
        QVERIFY(!surface.graph());
        QVERIFY(!surface.series());
        QVERIFY(!surface.presetComboBox() && !surface.findChild<QComboBox*>());
        QVERIFY(!surface.changePresetButton() && !surface.findChild<QPushButton*>());
        QCOMPARE(surface.cameraPreset(), -1);
        QCOMPARE(surface.titleLabel()->text(), QString("dis(m)"));

        // The mean is shown; with no axis to measure it against the bar stays empty.
        QVector<QVector<float>> m = filled(side, 1.0f);
        m[0][0] = 1.0f + float(side * side); // mean 2
        surface.setData(m);
        QCOMPARE(surface.meanLabel()->text(), QString("2"));
        QCOMPARE(surface.meanBar()->value(), 0);
        QCOMPARE(surface.meanBar()->maximum(), SurfaceGraph::kMeanBarMaximum);

        // Each bound still limits the other.
        surface.show();
        edit(surface.yMinSpinBox(), "1");
        QCOMPARE(surface.yMaxSpinBox()->minimum(), 1.0);
        QCOMPARE(surface.rangeMin(), 1.0);
        edit(surface.yMaxSpinBox(), "3");
        QCOMPARE(surface.yMinSpinBox()->maximum(), 3.0);
        QCOMPARE(surface.rangeMax(), 3.0);
        // A matrix of the wrong shape is ignored.
        surface.setData(filled(side - 1, 9.0f));
        QCOMPARE(surface.meanLabel()->text(), QString("2"));
    }

    void pageLayout_data()
    {
        QTest::addColumn<int>("pixelMode");
        QTest::addColumn<int>("rows");
        QTest::newRow("4x4") << 1 << 48;
        QTest::newRow("8x8") << 0 << 192;
    }

    void pageLayout()
    {
        QFETCH(int, pixelMode);
        QFETCH(int, rows);
        ZoneFrameProtocol* p = existingZoneProtocol(pixelMode);
        QWidget parent;
        DataWidgetBase* base = p->dataItem()->factory()->create(p->dataItem(), &parent);
        auto* page = qobject_cast<ZoneMatrixPage*>(base);
        QVERIFY(page);
        QVERIFY(page->isHidden());
        QCOMPARE(page->statisticRows().size(), rows);
        QCOMPARE(page->console()->width(), ZoneMatrixPage::kConsoleWidth);
        QCOMPARE(page->console()->minimumWidth(), 300);
        QCOMPARE(page->console()->maximumWidth(), 300);
        auto* splitter = qobject_cast<QSplitter*>(page->console()->parentWidget());
        QVERIFY(splitter);
        QCOMPARE(splitter->widget(0), page->console());
        QCOMPARE(page->distanceSurface()->titleLabel()->text(), QString("dis(m)"));
        QCOMPARE(page->strengthSurface()->titleLabel()->text(), QString("signal_strength"));
        QCOMPARE(page->distanceSurface()->yMaxSpinBox()->value(), 5.0);
        QCOMPARE(page->strengthSurface()->yMaxSpinBox()->value(), 65535.0);
        auto* frame = new QVBoxLayout(&parent);
        frame->addWidget(page);
        page->show();
        parent.resize(1500, 900);
        parent.show();
        QVERIFY(QTest::qWaitForWindowExposed(&parent));
        QVERIFY(page->distanceSurface()->mapTo(page, QPoint()).y() < page->strengthSurface()->mapTo(page, QPoint()).y());
        // The statistics rows get their width once the page is laid out, never more
        // than half of it.
        auto* rowsPane = page->findChild<QScrollArea*>();
        QVERIFY(rowsPane && rowsPane->widget());
        QTRY_VERIFY2_WITH_TIMEOUT(rowsPane->width() >= 300,
                                  qPrintable(QString("%1 %2 %3").arg(rowsPane->width()).arg(rowsPane->widget()->sizeHint().width()).arg(page->width())), 5000);
        QVERIFY(rowsPane->width() <= page->width() / 2);
    }

    // Three frames since the last refresh: three console blocks with their own
    // arrival times, only the third drawn; an empty refresh and a clear request
    // change nothing on screen.
    void refreshShowsEveryFrameDrawsTheNewest()
    {
        ProtocolFrame0_16* p = ProtocolFrame0_16::instance();
        p->takeAll();
        QWidget parent;
        auto* page = qobject_cast<ZoneMatrixPage*>(p->dataItem()->factory()->create(p->dataItem(), &parent));
        QVERIFY(page);

        page->refresh();
        page->console()->flushPending();
        QVERIFY(page->console()->toPlainText().isEmpty());
        QVERIFY(page->distanceSurface()->meanLabel()->text().isEmpty());

        const int base = ((10 * 60 + 11) * 60 + 12) * 1000;
        QList<QByteArray> frames;
        for (int k = 0; k < 3; ++k) {
            std::vector<sim::ZoneValue> zones(16);
            for (int i = 0; i < 16; ++i)
                zones[i] = sim::ZoneValue{(k + 1) * 1000000 + i * 1000, quint8(i), quint16(100 * (k + 1))};
            frames << sim::zoneFrame(1, 7, quint32(k), zones);
            p->queue.push(QSharedPointer<Data<1>>::create(base + 250 * k + k, frames.last()));
        }
        page->refresh();
        QCOMPARE(p->queue.size(), 0);
        page->console()->flushPending();
        const QStringList lines = page->console()->toPlainText().split('\n');
        QCOMPARE(lines.size(), 6);
        QCOMPARE(lines.at(0), QString("[10:11:12:000]"));
        QCOMPARE(lines.at(2), QString("[10:11:12:251]"));
        QCOMPARE(lines.at(4), QString("[10:11:12:502]"));
        QCOMPARE(lines.at(5), QString::fromLatin1(frames.at(2).toHex(' ')));
        QCOMPARE(lines.at(1).size(), 112 * 3 - 1);
        // The third frame: distances 3.000 .. 3.015 m (mean 3.0075), strength 300.
        QCOMPARE(page->distanceSurface()->meanLabel()->text(), QString("3.0075"));
        QCOMPARE(page->strengthSurface()->meanLabel()->text(), QString("300"));

        // A clear request: nothing printed or drawn, the taken records are gone.
        p->queue.push(QSharedPointer<Data<1>>::create(base, sim::RangeSensor::zoneFrameOf(5, 1, 1, 5)));
        p->dataItem()->clear();
        QVERIFY(p->dataItem()->isClearRequested());
        page->refresh();
        QVERIFY(!p->dataItem()->isClearRequested());
        QCOMPARE(p->queue.size(), 0);
        page->console()->flushPending();
        QCOMPARE(page->console()->toPlainText().split('\n').size(), 6);
        QCOMPARE(page->strengthSurface()->meanLabel()->text(), QString("300"));
    }
};

TALMENO_TEST_MAIN(TestParvoPage)
#include "tst_parvo_page.moc"
