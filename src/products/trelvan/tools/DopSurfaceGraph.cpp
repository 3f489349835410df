#include "products/trelvan/tools/DopSurfaceGraph.h"

#include "foundation/ZColorSchemeManager.h"

#include <QLinearGradient>
#include <QtDataVisualization/Q3DSurface>
#include <QtDataVisualization/Q3DTheme>
#include <QtDataVisualization/QSurface3DSeries>
#include <QtDataVisualization/QValue3DAxis>

// Eigen is slow to compile: this is the only file that includes it.
#include <Eigen/Dense>

#include <algorithm>
#include <cmath>
#include <limits>

using namespace QtDataVisualization;

namespace Trelvan {

namespace {
constexpr int kBackgroundNormal = 4;
constexpr double kHighest = std::numeric_limits<double>::max();
} // namespace

const QStringList& dopTypeNames()
{
    static const QStringList names{"Pdop", "Hdop", "Vdop", "Xdop", "Ydop"};
    return names;
}

SurfaceGraph::SurfaceGraph(Q3DSurface* graph)
    : graph_(graph)
{
    qRegisterMetaType<Trelvan::DopType>("Trelvan::DopType");
    qRegisterMetaType<Trelvan::DopValue>("Trelvan::DopValue");
    if (graph_) {
        Q3DTheme* theme = graph_->activeTheme();
        theme->setType(Q3DTheme::ThemeQt);
        theme->setLabelBackgroundEnabled(false);
        theme->setLabelBorderEnabled(false);
        theme->setBackgroundEnabled(false);
        theme->setWindowColor(ZColorSchemeManager::instance()->color(kBackgroundNormal));
        graph_->axisX()->setTitle(QStringLiteral("X"));
        graph_->axisZ()->setTitle(QStringLiteral("Y"));
        graph_->axisY()->setTitle(QStringLiteral("DOP"));
        for (QValue3DAxis* axis : {graph_->axisX(), graph_->axisY(), graph_->axisZ()}) {
            axis->setTitleVisible(true);
            axis->setLabelFormat(QStringLiteral("%.2f"));
        }
        graph_->axisX()->setLabelAutoRotation(30.0f);
        graph_->axisZ()->setLabelAutoRotation(30.0f);
        graph_->axisY()->setLabelAutoRotation(90.0f);
    }
    QLinearGradient gradient;
    gradient.setColorAt(0.0, Qt::black);
    gradient.setColorAt(0.33, Qt::blue);
    gradient.setColorAt(0.67, Qt::red);
    gradient.setColorAt(1.0, Qt::yellow);
    for (int k = 0; k < kDopTypeCount; ++k) {
        auto* series = new QSurface3DSeries(new QSurfaceDataProxy);
        series->setItemLabelFormat(QStringLiteral("(@xLabel, @zLabel): @yLabel"));
        series->setDrawMode(QSurface3DSeries::DrawSurfaceAndWireframe);
        series->setFlatShadingEnabled(true);
        series->setColorStyle(Q3DTheme::ColorStyleObjectGradient);
        series->setBaseGradient(gradient);
        if (graph_)
            graph_->addSeries(series);
        series_.append(series);
    }
}

SurfaceGraph::~SurfaceGraph()
{
    // The graph deletes the series it holds; without one they are ours.
    if (graph_)
        delete graph_;
    else
        qDeleteAll(series_);
}

void SurfaceGraph::setSelectionMode(int mode)
{
    QAbstract3DGraph::SelectionFlags flags;
    switch (mode) {
    case 0: flags = QAbstract3DGraph::SelectionNone; break;
    case 1: flags = QAbstract3DGraph::SelectionItem; break;
    case 2: flags = QAbstract3DGraph::SelectionItemAndRow | QAbstract3DGraph::SelectionSlice; break;
    case 3: flags = QAbstract3DGraph::SelectionItemAndColumn | QAbstract3DGraph::SelectionSlice; break;
    default: return;
    }
    if (graph_)
        graph_->setSelectionMode(flags);
}

void SurfaceGraph::computeDopSurfaces()
{
    const int columns = std::max(1, xSteps);
    const int rows = std::max(1, ySteps);
    const double stepX = columns > 1 ? (xMax - xMin) / (columns - 1) : 0.0;
    const double stepY = rows > 1 ? (yMax - yMin) / (rows - 1) : 0.0;

    double sum[kDopTypeCount] = {};
    int finite[kDopTypeCount] = {};
    double low[kDopTypeCount];
    double high[kDopTypeCount];
    QSurfaceDataArray* arrays[kDopTypeCount];
    for (int k = 0; k < kDopTypeCount; ++k) {
        low[k] = kHighest;
        high[k] = -kHighest;
        arrays[k] = new QSurfaceDataArray;
        arrays[k]->reserve(rows);
    }

    const int n = anchors.size();
    Eigen::MatrixXd h(n, 3);
    Eigen::MatrixXd hth(3, 3);
    Eigen::MatrixXd q(3, 3);
    double values[kDopTypeCount];
    for (int i = 0; i < rows; ++i) {
        const double y = std::min(i * stepY + yMin, yMax);
        QSurfaceDataRow* row[kDopTypeCount];
        for (int k = 0; k < kDopTypeCount; ++k) {
            row[k] = new QSurfaceDataRow(columns);
            arrays[k]->append(row[k]);
        }
        for (int j = 0; j < columns; ++j) {
            const double x = std::min(j * stepX + xMin, xMax);
            for (int a = 0; a < n; ++a) {
                const double ax = anchors[a].x();
                const double ay = anchors[a].y();
                const double az = anchors[a].z();
                const double d = std::sqrt((y - ay) * (y - ay) + (x - ax) * (x - ax) + (zPlane - az) * (zPlane - az));
                if (d <= 1e-12)
                    h.row(a).setZero();
                else
                    h.row(a) << (ax - x) / d, (ay - y) / d, (az - zPlane) / d;
            }
            hth.noalias() = h.transpose() * h;
            q = hth.partialPivLu().inverse();
            values[Pdop] = std::sqrt(q(0, 0) + q(1, 1) + q(2, 2));
            values[Hdop] = std::sqrt(q(0, 0) + q(1, 1));
            values[Vdop] = std::sqrt(q(2, 2));
            values[Xdop] = std::sqrt(q(0, 0));
            values[Ydop] = std::sqrt(q(1, 1));
            for (int k = 0; k < kDopTypeCount; ++k) {
                const double v = values[k];
                // A point without a fix (singular HᵀH) lies flat and counts nowhere.
                const bool ok = std::isfinite(v);
                (*row[k])[j].setPosition(QVector3D(float(x), ok ? float(v) : 0.0f, float(y)));
                if (!ok)
                    continue;
                sum[k] += v;
                ++finite[k];
                high[k] = std::max(high[k], v);
                low[k] = std::min(low[k], v);
            }
        }
    }

    double overallMin = kHighest;
    double overallMax = -kHighest;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (int k = 0; k < kDopTypeCount; ++k) {
        series_[k]->dataProxy()->resetArray(arrays[k]);
        DopValue value;
        if (finite[k] > 0)
            value = DopValue{sum[k] / finite[k], low[k], high[k]};
        else
            value = DopValue{nan, nan, nan};
        emit meanDopChanged(DopType(k), value);
        if (series_[k]->isVisible() && finite[k] > 0) {
            overallMax = std::max(overallMax, high[k]);
            overallMin = std::min(overallMin, low[k]);
        }
    }
    emit dopRangeChanged(overallMin, overallMax);
}

} // namespace Trelvan
