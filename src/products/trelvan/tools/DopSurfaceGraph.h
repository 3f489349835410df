#pragma once

#include <QMetaType>
#include <QObject>
#include <QStringList>
#include <QVector>
#include <QVector3D>

namespace QtDataVisualization {
class Q3DSurface;
class QSurface3DSeries;
} // namespace QtDataVisualization

namespace Trelvan {

// The dilution-of-precision kinds; the value is also the series index and the row
// of the window's table.
enum DopType { Pdop = 0, Hdop, Vdop, Xdop, Ydop };
constexpr int kDopTypeCount = 5;
// "Pdop", "Hdop", "Vdop", "Xdop", "Ydop".
const QStringList& dopTypeNames();

// One kind over the whole grid; NaN in all three when no point had a finite value.
struct DopValue
{
    double mean = 0.0;
    double min = 0.0;
    double max = 0.0;
};

// The DOP values of an anchor layout over a grid of points on the plane z = zPlane,
// one surface series per kind in one 3D surface graph. Works without a graph too
// (no OpenGL context): the series are then made but shown nowhere.
class SurfaceGraph : public QObject
{
    Q_OBJECT
public:
    // graph may be null; when given it is owned and deleted with this object.
    explicit SurfaceGraph(QtDataVisualization::Q3DSurface* graph);
    ~SurfaceGraph() override;

    // 0 none, 1 item, 2 item + row + slice, 3 item + column + slice; others: unchanged.
    void setSelectionMode(int mode);
    // Recomputes the five surfaces and reports them (meanDopChanged for every kind,
    // then dopRangeChanged over the visible kinds).
    void computeDopSurfaces();

    QtDataVisualization::Q3DSurface* graph() const { return graph_; }
    QtDataVisualization::QSurface3DSeries* series(int type) const { return series_.value(type); }

    // Written by the window; recompute after changing anchors, plane or grid.
    double xMin = 0.0;
    double xMax = 10.0;
    double yMin = 0.0;
    double yMax = 10.0;
    double dopMin = 0.0;
    double dopMax = 5.0;
    double zPlane = 0.0;
    int xSteps = 25;
    int ySteps = 25;
    QVector<QVector3D> anchors{{0, 0, 2}, {0, 10, 2}, {10, 10, 2}, {10, 0, 2}};

signals:
    void meanDopChanged(Trelvan::DopType type, Trelvan::DopValue value);
    void dopRangeChanged(double min, double max);

private:
    QtDataVisualization::Q3DSurface* graph_;
    QVector<QtDataVisualization::QSurface3DSeries*> series_;
};

} // namespace Trelvan

Q_DECLARE_METATYPE(Trelvan::DopType)
Q_DECLARE_METATYPE(Trelvan::DopValue)
