#pragma once

#include <QtCharts/QChartView>

QT_CHARTS_USE_NAMESPACE

// A chart view that reports where the mouse is, for the cursor read-out.
class ChartView2D : public QChartView
{
    Q_OBJECT
public:
    ChartView2D(QChart* chart, QWidget* parent);

signals:
    void mouseMoved(QPointF pos);
    void mouseDoubleClicked(QPointF pos);

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    // Draws are timed: they run on the page's thread (ChartDrawBudget).
    void paintEvent(QPaintEvent* event) override;
};

// The view of line containers.
class LineChartView : public ChartView2D
{
    Q_OBJECT
public:
    using ChartView2D::ChartView2D;
};
