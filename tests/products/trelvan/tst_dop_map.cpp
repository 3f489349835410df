// The DOP map against an independent 3 × 3 solution, points without a fix, and the
// window's stored editors, anchor parsing and DOP axis fit. Series are not drawn.

#include "support/testenv.h"

#include "helpers/TestCapture.h"
#include "products/trelvan/tools/DopVisualization.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QToolButton>
#include <QtDataVisualization/QSurface3DSeries>
#include <QtDataVisualization/QSurfaceDataProxy>

#include "views/GlContextCheck.h"

#include <cmath>
#include <limits>
#include <memory>

using namespace QtDataVisualization;
using Trelvan::DopValue;
using Trelvan::DopVisualization;
using Trelvan::SurfaceGraph;

namespace {

constexpr double kMax = std::numeric_limits<double>::max();

// Pdop, Hdop, Vdop, Xdop, Ydop at (x, y, z) by Cramer's rule on HᵀH.
QVector<double> expectedDop(const QVector<QVector3D>& anchors, double x, double y, double z)
{
    double m[3][3] = {};
    for (const QVector3D& a : anchors) {
        const double d = std::sqrt((a.x() - x) * (a.x() - x) + (a.y() - y) * (a.y() - y) + (a.z() - z) * (a.z() - z));
        if (d <= 1e-12)
            continue;
        const double r[3] = {(a.x() - x) / d, (a.y() - y) / d, (a.z() - z) / d};
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j)
                m[i][j] += r[i] * r[j];
    }
    const double det = m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) -
                       m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
                       m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
    const double q00 = (m[1][1] * m[2][2] - m[1][2] * m[2][1]) / det;
    const double q11 = (m[0][0] * m[2][2] - m[0][2] * m[2][0]) / det;
    const double q22 = (m[0][0] * m[1][1] - m[0][1] * m[1][0]) / det;
    return {std::sqrt(q00 + q11 + q22), std::sqrt(q00 + q11), std::sqrt(q22), std::sqrt(q00), std::sqrt(q11)};
}

QVector3D at(SurfaceGraph& s, int kind, int row, int column)
{
    const QSurfaceDataArray* array = s.series(kind)->dataProxy()->array();
    return array->at(row)->at(column).position();
}

} // namespace

class TestDopMap : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        TestTrelvan::startLogCapture(true);
        GlContextCheck::setModalBoxHook([](QMessageBox*) {});
    }
    void cleanupTestCase() { TestTrelvan::stopLogCapture(); }
    void init()
    {
        QSettings().clear();
        TestTrelvan::clearLog();
    }

    void surfacesMatchAnIndependentSolution_data()
    {
        QTest::addColumn<QVector<QVector3D>>("anchors");
        QTest::addColumn<double>("plane");
        QTest::addColumn<double>("xMin");
        QTest::addColumn<double>("xMax");
        QTest::addColumn<int>("steps");
        QTest::newRow("start layout") << QVector<QVector3D>{{0, 0, 2}, {0, 10, 2}, {10, 10, 2}, {10, 0, 2}} << 0.0
                                      << 0.0 << 10.0 << 25;
        // The first grid point lies on the first anchor: its row is zero.
        QTest::newRow("point on an anchor")
            << QVector<QVector3D>{{0, 0, 0}, {0, 10, 2}, {10, 10, 3}, {10, 0, 1}, {5, 5, 4}} << 0.0 << 0.0 << 10.0
            << 11;
        // 0.3 + 6 · 0.1 overshoots 0.9 in doubles: the last column and row still end on 0.9.
        QTest::newRow("overshooting steps")
            << QVector<QVector3D>{{0, 0, 2}, {0, 1, 2.5}, {1, 1, 2}, {1, 0, 3}} << 1.0 << 0.3 << 0.9 << 7;
    }
    void surfacesMatchAnIndependentSolution()
    {
        QFETCH(QVector<QVector3D>, anchors);
        QFETCH(double, plane);
        QFETCH(double, xMin);
        QFETCH(double, xMax);
        QFETCH(int, steps);
        SurfaceGraph s(nullptr);
        s.anchors = anchors;
        s.zPlane = plane;
        s.xMin = s.yMin = xMin;
        s.xMax = s.yMax = xMax;
        s.xSteps = s.ySteps = steps;
        QSignalSpy means(&s, &SurfaceGraph::meanDopChanged);
        s.computeDopSurfaces();
        QCOMPARE(means.size(), 5);

        const double step = (xMax - xMin) / (steps - 1);
        for (int kind = 0; kind < 5; ++kind) {
            QCOMPARE(s.series(kind)->dataProxy()->rowCount(), steps);
            QCOMPARE(s.series(kind)->dataProxy()->columnCount(), steps);
            double sum = 0, low = kMax, high = -kMax;
            for (int i = 0; i < steps; ++i) {
                for (int j = 0; j < steps; ++j) {
                    const double x = std::min(j * step + xMin, xMax);
                    const double y = std::min(i * step + xMin, xMax);
                    const double v = expectedDop(anchors, x, y, plane)[kind];
                    const QVector3D p = at(s, kind, i, j);
                    QCOMPARE(p.x(), float(x));
                    QCOMPARE(p.z(), float(y));
                    QVERIFY2(std::fabs(p.y() - v) <= 1e-4 * std::max(1.0, v),
                             qPrintable(QString("kind %1 at %2,%3: %4 vs %5").arg(kind).arg(i).arg(j).arg(p.y()).arg(v)));
                    sum += v;
                    low = std::min(low, v);
                    high = std::max(high, v);
                }
            }
            const DopValue value = means[kind][1].value<DopValue>();
            QVERIFY(std::fabs(value.mean - sum / (steps * steps)) < 1e-9 * high);
            QVERIFY(std::fabs(value.min - low) < 1e-9 * high);
            QVERIFY(std::fabs(value.max - high) < 1e-9 * high);
        }
    }

    void rangeOverVisibleKindsAndPointsWithoutFix()
    {
        SurfaceGraph s(nullptr);
        QSignalSpy means(&s, &SurfaceGraph::meanDopChanged);
        QSignalSpy range(&s, &SurfaceGraph::dopRangeChanged);
        // Only Vdop shown: the range is Vdop's.
        for (int k = 0; k < 5; ++k)
            s.series(k)->setVisible(k == 2);
        s.computeDopSurfaces();
        QCOMPARE(means.size(), 5);
        const DopValue v = means[2][1].value<DopValue>();
        QCOMPARE(range.last()[0].toDouble(), v.min);
        QCOMPARE(range.last()[1].toDouble(), v.max);

        // Every kind hidden: the largest double and its negative.
        s.series(2)->setVisible(false);
        s.computeDopSurfaces();
        QCOMPARE(means.size(), 10);
        QCOMPARE(range.last()[0].toDouble(), kMax);
        QCOMPARE(range.last()[1].toDouble(), -kMax);

        // No anchors: no point has a fix; drawn flat, the figures are NaN and the
        // range is not widened.
        for (int k = 0; k < 5; ++k)
            s.series(k)->setVisible(true);
        s.anchors.clear();
        s.computeDopSurfaces();
        for (int k = 0; k < 5; ++k) {
            const DopValue none = means[10 + k][1].value<DopValue>();
            QVERIFY(std::isnan(none.mean) && std::isnan(none.min) && std::isnan(none.max));
            QCOMPARE(at(s, k, 3, 4).y(), 0.0f);
        }
        QCOMPARE(range.last()[0].toDouble(), kMax);
    }

    void anchorParsing_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QVector<QVector3D>>("anchors");
        QTest::addColumn<QString>("view");
        QTest::newRow("blanks") << "1 2 3 4 5 6" << QVector<QVector3D>{{1, 2, 3}, {4, 5, 6}} << "(1,2,3) (4,5,6) ";
        QTest::newRow("as typed") << "(1.50,-2,3)" << QVector<QVector3D>{{1.5f, -2, 3}} << "(1.50,-2,3) ";
        QTest::newRow("no leading digit") << ".5 1 2" << QVector<QVector3D>{{5, 1, 2}} << "(5,1,2) ";
        QTest::newRow("rest too short") << "1,2,3;7,8" << QVector<QVector3D>{{1, 2, 3}} << "(1,2,3) ";
        QTest::newRow("no numbers") << "none" << QVector<QVector3D>{} << "";
    }
    void anchorParsing()
    {
        QFETCH(QString, text);
        QFETCH(QVector<QVector3D>, anchors);
        QFETCH(QString, view);
        DopVisualization w;
        w.editButton->setChecked(true);
        w.anchorEdit->setPlainText(text);
        QCOMPARE(w.parsedAnchors(), anchors);
        QCOMPARE(w.anchorView->toPlainText(), view);
        // Leaving edit mode stores the parsed view, hands the anchors over, computes.
        QSignalSpy means(w.surface(), &SurfaceGraph::meanDopChanged);
        w.editButton->setChecked(false);
        QCOMPARE(QSettings().value("DopVisualization/Anchors").toString(), view);
        QCOMPARE(w.surface()->anchors, anchors);
        QCOMPARE(means.size(), 5);
    }

    void startUpStoresAndFits()
    {
        DopVisualization w;
        QSettings s;
        // After the first computation the DOP axis covers the visible kinds.
        double low = kMax, high = -kMax;
        for (int k = 0; k < 5; ++k) {
            low = std::min(low, w.minLabels[k]->text().toDouble());
            high = std::max(high, w.maxLabels[k]->text().toDouble());
        }
        QCOMPARE(w.dopMinEdit->value(), std::floor(low * 100) / 100);
        QCOMPARE(w.dopMaxEdit->value(), std::ceil(high * 100) / 100);
        QCOMPARE(s.value("DopVisualization/DopMax").toDouble(), w.dopMaxEdit->value());

        // A hidden kind is stored; "Adjust" fits to that kind alone, rounded outward.
        w.kindBoxes[0]->click();
        QCOMPARE(s.value("DopVisualization/dop_0").toBool(), false);
        w.adjustButtons[2]->click();
        const double vmin = w.minLabels[2]->text().toDouble();
        const double vmax = w.maxLabels[2]->text().toDouble();
        QVERIFY(w.dopMinEdit->value() <= vmin && w.dopMaxEdit->value() >= vmax);
        QVERIFY(vmin - w.dopMinEdit->value() < 0.01 && w.dopMaxEdit->value() - vmax < 0.01);

        // A range that cannot be fitted changes nothing.
        const double before[2] = {w.dopMinEdit->value(), w.dopMaxEdit->value()};
        w.fitDopAxis(kMax, -kMax);
        w.fitDopAxis(std::nan(""), 3.0);
        QCOMPARE(w.dopMinEdit->value(), before[0]);
        QCOMPARE(w.dopMaxEdit->value(), before[1]);

        // The same step count again does not recompute; a new one does.
        QSignalSpy means(w.surface(), &SurfaceGraph::meanDopChanged);
        w.xStepsEdit->setValue(25);
        emit w.xStepsEdit->editingFinished();
        QCOMPARE(means.size(), 0);
        w.xStepsEdit->setValue(30);
        emit w.xStepsEdit->editingFinished();
        QCOMPARE(means.size(), 5);
        QCOMPARE(s.value("DopVisualization/AxisXSteps").toInt(), 30);
        QCOMPARE(w.surface()->series(1)->dataProxy()->columnCount(), 30);
    }

    void storedValuesPassTheEditorsBounds()
    {
        QSettings s;
        s.setValue("DopVisualization/AxisXSteps", 0);
        s.setValue("DopVisualization/AxisYSteps", 100000000);
        s.setValue("DopVisualization/SelectionMode", 7);
        s.setValue("DopVisualization/dop_3", false);
        s.setValue("DopVisualization/AxisXMax", 4.0);
        DopVisualization w;
        QCOMPARE(w.surface()->series(0)->dataProxy()->columnCount(), 2);
        QCOMPARE(w.surface()->series(0)->dataProxy()->rowCount(), 1000);
        QCOMPARE(w.xMinEdit->maximum(), 4.0);
        QCOMPARE(s.value("DopVisualization/SelectionMode").toInt(), 2);
        QVERIFY(!w.surface()->series(3)->isVisible());
    }

    // Stored anchors without three numbers: no point has a fix; the figures read
    // "nan" and the DOP axis keeps its defaults 0 and 5.
    void anchorsWithoutFix()
    {
        QSettings().setValue("DopVisualization/Anchors", "none");
        DopVisualization w;
        for (int k = 0; k < 5; ++k)
            QCOMPARE(w.meanLabels[k]->text() + w.minLabels[k]->text() + w.maxLabels[k]->text(), QString("nannannan"));
        QCOMPARE(w.dopMaxEdit->value(), 5.0);
        QCOMPARE(QSettings().value("DopVisualization/Anchors").toString(), QString());
    }

    void withoutOpenGlTheBoxAndNoGraph()
    {
        GlContextCheck::setProbeHook([] { return false; });
        QStringList boxes;
        GlContextCheck::setModalBoxHook([&boxes](QMessageBox* box) { boxes << box->text(); });
        {
            DopVisualization w;
            QVERIFY(!w.surface()->graph());
            QCOMPARE(boxes, QStringList{"Couldn't initialize the OpenGL context."});
            QVERIFY(!w.meanLabels[0]->text().isEmpty());
        }
        GlContextCheck::setProbeHook({});
        GlContextCheck::setModalBoxHook([](QMessageBox*) {});
    }
};

TALMENO_TEST_MAIN(TestDopMap)
#include "tst_dop_map.moc"
