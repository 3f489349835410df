// The zone surfaces drawn through OpenGL (Xvfb).

#include "products/parvo/ParvoSurfaceGraph.h"
#include "views/GlContextCheck.h"
#include "support/testenv.h"
#include "helpers/RangeTestEnv.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QtDataVisualization/Q3DSurface>
#include <QtDataVisualization/QSurface3DSeries>
#include <QtDataVisualization/QValue3DAxis>

using namespace Parvo;
using namespace QtDataVisualization;

namespace {

QVector<QVector<float>> filled(int side, float value)
{
    return QVector<QVector<float>>(side, QVector<float>(side, value));
}

} // namespace

using rangetest::edit;

class TestParvoSurface : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY2(GlContextCheck::canCreate3DContext(), "this test needs OpenGL (Xvfb)"); }

    void zonePositions_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("zone");
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("z");
        QTest::newRow("4x4 zone 3") << 16 << 3 << 3 << 0;
        QTest::newRow("4x4 zone 12") << 16 << 12 << 0 << 3;
        QTest::newRow("8x8 zone 10") << 64 << 10 << 2 << 1;
    }

    void zonePositions()
    {
        QFETCH(int, count);
        QFETCH(int, zone);
        QFETCH(int, x);
        QFETCH(int, z);
        SurfaceGraph surface(count, 0.0, 100.0, "dis(m)");
        const int side = surface.side();
        QVector<QVector<float>> m = filled(side, 0.0f);
        for (int i = 0; i < count; ++i)
            m[i / side][i % side] = float(i);
        surface.setData(m);
        const QSurfaceDataArray* array = surface.series()->dataProxy()->array();
        QVERIFY(array && array->size() == side);
        QCOMPARE(array->at(z)->at(x).position(), QVector3D(float(x), float(zone), float(z)));

        // Later updates rewrite the same array in place.
        m[z][x] = 42.5f;
        surface.setData(m);
        QCOMPARE(surface.series()->dataProxy()->array(), array);
        QCOMPARE(array->at(z)->at(x).y(), 42.5f);
    }

    void meanBar_data()
    {
        QTest::addColumn<float>("value");
        QTest::addColumn<QString>("label");
        QTest::addColumn<int>("bar");
        QTest::newRow("half") << 2.5f << "2.5" << 50000;
        QTest::newRow("truncated") << 1.23456f << "1.23456" << 24691;
        QTest::newRow("below the range") << -1.0f << "-1" << 0;
        QTest::newRow("above the range") << 7.0f << "7" << 100000;
    }

    void meanBar()
    {
        QFETCH(float, value);
        QFETCH(QString, label);
        QFETCH(int, bar);
        SurfaceGraph surface(16, 0.0, 5.0, "dis(m)");
        QVector<QVector<float>> m = filled(4, value);
        // Spread the values around the mean so that the sum is really taken.
        m[0][0] = value - 1.0f;
        m[3][3] = value + 1.0f;
        surface.setData(m);
        QCOMPARE(surface.meanLabel()->text(), label);
        QCOMPARE(surface.meanBar()->value(), bar);
    }

    // Editing one bound limits the other and moves the axis; a range of zero width
    // leaves the bar where it was.
    void yRangeControls()
    {
        SurfaceGraph surface(64, 0.0, 5.0, "dis(m)");
        surface.resize(600, 400);
        surface.show();
        QVERIFY(QTest::qWaitForWindowExposed(&surface));

        edit(surface.yMinSpinBox(), "1");
        QCOMPARE(surface.yMaxSpinBox()->minimum(), 1.0);
        QCOMPARE(surface.graph()->axisY()->min(), 1.0f);
        QCOMPARE(surface.graph()->axisY()->max(), 5.0f);
        surface.setData(filled(8, 2.0f));
        QCOMPARE(surface.meanBar()->value(), 25000);

        edit(surface.yMaxSpinBox(), "3");
        QCOMPARE(surface.yMinSpinBox()->maximum(), 3.0);
        QCOMPARE(surface.graph()->axisY()->max(), 3.0f);
        surface.setData(filled(8, 2.0f));
        QCOMPARE(surface.meanBar()->value(), 50000);

        edit(surface.yMinSpinBox(), "3");
        QCOMPARE(surface.rangeMin(), surface.rangeMax());
        surface.setData(filled(8, 2.9f));
        QCOMPARE(surface.meanLabel()->text(), QString::number(double(2.9f)));
        QCOMPARE(surface.meanBar()->value(), 50000);
    }

    // However narrow the surface, the title wraps with its range boxes and "Mean" with
    // its value: a caption never ends one line with its value on the next.
    void captionsWrapWithTheirValues()
    {
        SurfaceGraph surface(64, 0.0, 5.0, "signal_strength");
        surface.setData(filled(8, 1.5f));
        surface.show();
        QLabel* mean = nullptr;
        for (QLabel* label : surface.findChildren<QLabel*>())
            mean = label->text() == "Mean" ? label : mean;
        QVERIFY(mean);
        int wraps = 0;
        for (int width = surface.minimumSizeHint().width(); width <= surface.controlsLineWidth() + 10; width += 7) {
            surface.resize(width, 400);
            QTRY_VERIFY(surface.width() == width && surface.meanLabel()->geometry().bottom() < surface.height());
            for (const auto& [caption, value] : {std::pair<QWidget*, QWidget*>{surface.titleLabel(), surface.yMinSpinBox()},
                                                 {surface.yMinSpinBox(), surface.yMaxSpinBox()}, {mean, surface.meanLabel()}})
                QVERIFY2(caption->geometry().contains(caption->x(), value->geometry().center().y())
                             && caption->geometry().right() < value->x(), qPrintable(QString("at width %1").arg(width)));
            wraps += surface.meanLabel()->y() > surface.titleLabel()->geometry().bottom() ? 1 : 0;
        }
        QVERIFY(wraps > 0); // the widths tried do wrap the row
    }

    void cameraPresets()
    {
        SurfaceGraph surface(16, 0.0, 5.0, "dis(m)");
        QComboBox* combo = surface.presetComboBox();
        combo->setCurrentText("DirectlyBelow");
        QCOMPARE(surface.cameraPreset(), 23);
        surface.changePresetButton()->click();
        QCOMPARE(combo->currentText(), QString("FrontLow"));
        QCOMPARE(surface.cameraPreset(), 0);
        surface.changePresetButton()->click();
        QCOMPARE(surface.cameraPreset(), 1);
    }

    // The data array is freed exactly once, with or without data handed to the series.
    void destroyedCleanly()
    {
        for (int round = 0; round < 3; ++round) {
            delete new SurfaceGraph(64, 0.0, 5.0, "dis(m)");
            auto* used = new SurfaceGraph(16, 0.0, 5.0, "dis(m)");
            used->setData(filled(4, float(round)));
            used->setData(filled(4, float(round) + 0.5f));
            QPointer<QSurface3DSeries> series = used->series();
            delete used;
            QVERIFY(series.isNull());
        }
    }
};

TALMENO_TEST_MAIN(TestParvoSurface)
#include "tst_parvo_surface_gl.moc"
