#pragma once

#include <QMetaObject>
#include <QPixmap>
#include <QPointF>
#include <QRectF>
#include <QTimer>
#include <functional>

#include <QtCharts/QValueAxis>

#include "views/ChartView2D.h"

// The view of scatter containers: a plane whose two axes keep the same scale
// (pixels per unit). Panning with the right mouse button keeps the pressed point
// under the cursor, the wheel zooms about the cursor, keys scroll and zoom, and a
// background map picture can be placed at given plane coordinates under the plot.
class ScatterChartView : public ChartView2D
{
    Q_OBJECT
public:
    // The chart must already hold its horizontal and vertical value axes.
    ScatterChartView(QChart* chart, QWidget* parent);

    double scale() const { return scale_; }
    bool isPanning() const { return panning_; }
    QRectF lastPlotRect() const { return lastPlotRect_; }
    QTimer* mapTimer() { return &mapTimer_; }

    bool useMap() const { return useMap_; }
    void setUseMap(bool on);
    QString mapPath() const { return mapPath_; }
    // Loads the picture (once per new path) and schedules a redraw.
    void setMapFile(const QString& path);
    QPixmap mapImage() const { return mapImage_; }

    double mapXMin() const { return mapXMin_; }
    double mapXMax() const { return mapXMax_; }
    double mapYMin() const { return mapYMin_; }
    double mapYMax() const { return mapYMax_; }
    void setMapXMin(double v) { mapXMin_ = v; }
    void setMapXMax(double v) { mapXMax_ = v; }
    void setMapYMin(double v) { mapYMin_ = v; }
    void setMapYMax(double v) { mapYMax_ = v; }

    // The plot area with its top-left corner in global screen coordinates.
    QRectF plotAreaGlobalRect() const;
    // scale = plot width / X span; kept as it was when that is not a positive number.
    void updateScale();
    // The zoom factor of one wheel event (below 1 zooms in), kept in a range
    // where every span stays positive.
    static double wheelZoomFactor(const QPoint& pixelDelta, const QPoint& angleDelta);

public slots:
    // Composes the visible part of the map under the plot area (map timer).
    void redrawMap();

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QRectF plotArea() const;
    QPointF valueAt(const QPointF& pos) const;
    // Applies axis ranges computed from the plot area, again while the new ranges
    // move the plot area (their labels take more or less room).
    void settle(const std::function<void(const QRectF&)>& apply);
    void clearMapBackground();
    void followPlot();
    void equaliseScales();

    double scale_ = 1.0;
    bool panning_ = false;
    bool resizing_ = false;
    QPointF pressValue_;
    QRectF lastPlotRect_;
    QTimer mapTimer_;
    bool useMap_ = false;
    QString mapPath_;
    double mapXMin_ = 0.0;
    double mapXMax_ = 390.0;
    double mapYMin_ = -532.5;
    double mapYMax_ = 0.0;
    QPixmap mapImage_;
    QtCharts::QValueAxis* axisX_ = nullptr;
    QtCharts::QValueAxis* axisY_ = nullptr;
    QMetaObject::Connection mapOnX_;
    QMetaObject::Connection mapOnY_;
};
