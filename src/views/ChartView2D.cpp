#include "views/ChartView2D.h"

#include <QMouseEvent>

#include "views/ChartDrawBudget.h"

ChartView2D::ChartView2D(QChart* chart, QWidget* parent) : QChartView(chart, parent)
{
    setProperty("noBorder", true);
    setRenderHint(QPainter::Antialiasing);
    setMouseTracking(true);
}

void ChartView2D::mouseMoveEvent(QMouseEvent* event)
{
    emit mouseMoved(QPointF(event->pos()));
    QChartView::mouseMoveEvent(event);
}

void ChartView2D::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        emit mouseDoubleClicked(QPointF(event->pos()));
        return;
    }
    QChartView::mouseDoubleClickEvent(event);
}

void ChartView2D::paintEvent(QPaintEvent* event)
{
    ChartDrawBudget::Scope draw;
    QChartView::paintEvent(event);
}
