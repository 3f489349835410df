#include "views/ScatterChartView.h"

#include <QGraphicsLayout>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QShowEvent>
#include <QWheelEvent>
#include <QtCharts/QChart>
#include <cmath>
#include <functional>

#include "foundation/ZLog.h"

QT_CHARTS_USE_NAMESPACE

namespace {

// Both ends of the wheel zoom factor: one event zooms in or out by at most ten.
constexpr double kMinWheelFactor = 0.1;
constexpr double kMaxWheelFactor = 10.0;

bool positiveFinite(double v)
{
    return std::isfinite(v) && v > 0.0;
}

bool fuzzyEqualRect(const QRectF& a, const QRectF& b)
{
    return qFuzzyCompare(a.left(), b.left()) && qFuzzyCompare(a.top(), b.top())
           && qFuzzyCompare(a.right(), b.right()) && qFuzzyCompare(a.bottom(), b.bottom());
}

} // namespace

ScatterChartView::ScatterChartView(QChart* chart, QWidget* parent) : ChartView2D(chart, parent)
{
    axisX_ = qobject_cast<QValueAxis*>(chart->axes(Qt::Horizontal).value(0));
    axisY_ = qobject_cast<QValueAxis*>(chart->axes(Qt::Vertical).value(0));
    Q_ASSERT(axisX_ && axisY_);

    setRubberBand(QChartView::NoRubberBand);
    axisX_->setLabelFormat(QStringLiteral("%.4g"));
    axisY_->setLabelFormat(QStringLiteral("%.4g"));
    chart->setPlotAreaBackgroundVisible(true);

    mapTimer_.setInterval(100);
    connect(&mapTimer_, &QTimer::timeout, this, &ScatterChartView::redrawMap);
    // Every change of the X range (wheel, pan, keys, typed ranges) and of the plot
    // area outside a resize (labels taking more or less room) gives the scale that
    // pans and resizes work with; a resize keeps the scale it found.
    connect(axisX_, &QValueAxis::rangeChanged, this, &ScatterChartView::followPlot);
    connect(axisY_, &QValueAxis::rangeChanged, this, &ScatterChartView::followPlot);
    connect(chart, &QChart::plotAreaChanged, this, &ScatterChartView::followPlot);
}

QRectF ScatterChartView::plotArea() const
{
    // The chart lays itself out lazily; the geometry read here must be the current one.
    if (chart()->layout())
        chart()->layout()->activate();
    return chart()->plotArea();
}

QPointF ScatterChartView::valueAt(const QPointF& pos) const
{
    // The first series of the container's chart is its hidden reference series,
    // attached to both axes.
    return chart()->mapToValue(pos, chart()->series().value(0));
}

QRectF ScatterChartView::plotAreaGlobalRect() const
{
    const QRectF area = plotArea();
    const QPointF sceneTopLeft = chart()->mapToScene(area.topLeft());
    const QPoint viewTopLeft = mapFromScene(sceneTopLeft);
    const QPointF fraction = sceneTopLeft - QPointF(mapToScene(viewTopLeft));
    const QPointF global = QPointF(viewport()->mapToGlobal(viewTopLeft)) + fraction;
    return QRectF(global, area.size());
}

void ScatterChartView::followPlot()
{
    if (resizing_)
        return;
    updateScale();
    // A plot moved by its own labels is no move of the window.
    if (lastPlotRect_.isValid())
        lastPlotRect_ = plotAreaGlobalRect();
}

void ScatterChartView::updateScale()
{
    const double span = axisX_->max() - axisX_->min();
    const double s = plotArea().width() / span;
    if (positiveFinite(s))
        scale_ = s;
}

void ScatterChartView::equaliseScales()
{
    // The Y span follows the X scale about the Y centre. New Y labels may change
    // the plot's width, and with it the scale: then once more.
    for (int turn = 0; turn < 4; ++turn) {
        lastPlotRect_ = plotAreaGlobalRect();
        updateScale();
        const double s = scale_;
        const double yMin = axisY_->min();
        const double yMax = axisY_->max();
        const double ySpan = yMax - yMin;
        const double k = (lastPlotRect_.height() / s) / ySpan;
        if (!positiveFinite(k)) {
            zWarning() << "scatter view: Y span" << ySpan << "cannot take the X scale";
            return;
        }
        const double c = (yMin + yMax) / 2.0;
        axisY_->setRange((yMin - c) * k + c, (yMax - c) * k + c);
        updateScale();
        if (qFuzzyCompare(s, scale_))
            break;
    }
    lastPlotRect_ = plotAreaGlobalRect();
}

void ScatterChartView::showEvent(QShowEvent* event)
{
    ChartView2D::showEvent(event);
    equaliseScales();
    if (useMap_)
        mapTimer_.start();
}

void ScatterChartView::resizeEvent(QResizeEvent* event)
{
    resizing_ = true;
    ChartView2D::resizeEvent(event);
    const QRectF r = plotAreaGlobalRect();
    if (!r.isValid() || !lastPlotRect_.isValid() || fuzzyEqualRect(r, lastPlotRect_) || !positiveFinite(scale_)) {
        if (r.isValid() && lastPlotRect_.isValid())
            lastPlotRect_ = r;
        resizing_ = false;
        return;
    }

    const double dw = r.width() - lastPlotRect_.width();
    const double dh = r.height() - lastPlotRect_.height();
    const double dx = r.left() - lastPlotRect_.left();
    const double dy = r.top() - lastPlotRect_.top();
    const bool moved = dx != 0.0 || dy != 0.0;
    const bool leftEdgeOnly = dx != 0.0 && qFuzzyCompare(std::abs(dx), std::abs(dw));
    const bool topEdgeOnly = dy != 0.0 && qFuzzyCompare(std::abs(dy), std::abs(dh));

    const double xMin = axisX_->min(), xMax = axisX_->max();
    const double yMin = axisY_->min(), yMax = axisY_->max();
    const double s = scale_;
    const bool keepCentre = moved && !leftEdgeOnly && !topEdgeOnly;
    bool first = true;
    settle([&](const QRectF& area) {
        if (!first) {
            // New labels moved the plot's edges: the scale stays, and the centre or
            // the top-left value as the first turn chose.
            const double cx = (axisX_->min() + axisX_->max()) / 2.0, cy = (axisY_->min() + axisY_->max()) / 2.0;
            const double left = keepCentre ? cx - area.width() / 2.0 / s : axisX_->min();
            const double top = keepCentre ? cy + area.height() / 2.0 / s : axisY_->max();
            axisX_->setRange(left, left + area.width() / s);
            axisY_->setRange(top - area.height() / s, top);
            return;
        }
        first = false;
        if (keepCentre) {
            // The plot moved as a whole (maximising): the centre stays.
            const double cx = (xMin + xMax) / 2.0;
            const double cy = (yMin + yMax) / 2.0;
            axisX_->setRange(cx - r.width() / 2.0 / s, cx + r.width() / 2.0 / s);
            axisY_->setRange(cy - r.height() / 2.0 / s, cy + r.height() / 2.0 / s);
        } else {
            // Only the moved edges take or give plane; the scale stays.
            const double newXMin = xMin + dx / s;
            axisX_->setRange(newXMin, newXMin + (xMax - xMin) + dw / s);
            const double newYMax = yMax - dy / s;
            axisY_->setRange(newYMax - (yMax - yMin) - dh / s, newYMax);
        }
    });
    lastPlotRect_ = plotAreaGlobalRect();
    resizing_ = false;
    updateScale();
}

void ScatterChartView::mousePressEvent(QMouseEvent* event)
{
    if (event->buttons() & Qt::RightButton) {
        panning_ = true;
        pressValue_ = valueAt(event->localPos());
        setCursor(Qt::ClosedHandCursor);
    }
    ChartView2D::mousePressEvent(event);
}

void ScatterChartView::mouseReleaseEvent(QMouseEvent* event)
{
    if (!(event->buttons() & Qt::RightButton) && panning_) {
        panning_ = false;
        unsetCursor();
    }
    ChartView2D::mouseReleaseEvent(event);
}

void ScatterChartView::settle(const std::function<void(const QRectF&)>& apply)
{
    // The plot's edges depend on the widths of the axis labels, which change with
    // the ranges: solve again on the new plot area until it stands still.
    QRectF area = plotArea();
    for (int turn = 0; turn < 4; ++turn) {
        apply(area);
        const QRectF after = plotArea();
        if (fuzzyEqualRect(after, area))
            break;
        area = after;
    }
}

void ScatterChartView::mouseMoveEvent(QMouseEvent* event)
{
    if (panning_ && positiveFinite(scale_)) {
        const QPointF p = event->localPos();
        const double s = scale_;
        settle([&](const QRectF& area) {
            const double dx = (p.x() - area.left()) / s;
            const double dy = (p.y() - area.top()) / s;
            const double w = area.width() / s;
            const double h = area.height() / s;
            axisX_->setRange(pressValue_.x() - dx, pressValue_.x() + w - dx);
            axisY_->setRange(pressValue_.y() - (h - dy), pressValue_.y() + dy);
        });
    }
    ChartView2D::mouseMoveEvent(event);
}

double ScatterChartView::wheelZoomFactor(const QPoint& pixelDelta, const QPoint& angleDelta)
{
    double steps = 1.0;
    const QPoint degrees = angleDelta / 8;
    if (!pixelDelta.isNull()) {
        const double sign = pixelDelta.y() > 0 ? 1.0 : -1.0;
        steps = std::hypot(double(pixelDelta.x()), double(pixelDelta.y())) * sign / 30.0;
    } else if (!degrees.isNull()) {
        const double sign = degrees.y() > 0 ? 1.0 : -1.0;
        steps = std::hypot(double(degrees.x()), double(degrees.y())) * sign / 15.0;
    }
    // Without the bounds a fast touchpad swipe (steps >= 10) collapses the view.
    return qBound(kMinWheelFactor, 1.0 - steps * 0.1, kMaxWheelFactor);
}

void ScatterChartView::wheelEvent(QWheelEvent* event)
{
    const QPointF p = event->position();
    const QPointF c = valueAt(p);
    const double k = wheelZoomFactor(event->pixelDelta(), event->angleDelta());
    const double xMin = axisX_->min(), xMax = axisX_->max();
    const double yMin = axisY_->min(), yMax = axisY_->max();
    const double xSpan = (xMax - xMin) * k;
    const double ySpan = (yMax - yMin) * k;
    bool first = true;
    settle([&](const QRectF& area) {
        if (first) {
            first = false;
            axisX_->setRange(c.x() + (xMin - c.x()) * k, c.x() + (xMax - c.x()) * k);
            axisY_->setRange(c.y() + (yMin - c.y()) * k, c.y() + (yMax - c.y()) * k);
            return;
        }
        // The plot moved under the new labels: put c back under the cursor.
        const double left = c.x() - (p.x() - area.left()) / area.width() * xSpan;
        const double top = c.y() + (p.y() - area.top()) / area.height() * ySpan;
        axisX_->setRange(left, left + xSpan);
        axisY_->setRange(top - ySpan, top);
    });
    updateScale();
    ChartView2D::wheelEvent(event);
}

void ScatterChartView::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Left: chart()->scroll(-10, 0); break;
    case Qt::Key_Right: chart()->scroll(10, 0); break;
    case Qt::Key_Up: chart()->scroll(0, 10); break;
    case Qt::Key_Down: chart()->scroll(0, -10); break;
    case Qt::Key_Plus: chart()->zoomIn(); break;
    case Qt::Key_Minus: chart()->zoomOut(); break;
    default: ChartView2D::keyPressEvent(event); return;
    }
    event->accept();
}

void ScatterChartView::setUseMap(bool on)
{
    useMap_ = on;
    disconnect(mapOnX_);
    disconnect(mapOnY_);
    if (on) {
        // The map follows 100 ms after the last range change.
        mapOnX_ = connect(axisX_, &QValueAxis::rangeChanged, &mapTimer_, QOverload<>::of(&QTimer::start));
        mapOnY_ = connect(axisY_, &QValueAxis::rangeChanged, &mapTimer_, QOverload<>::of(&QTimer::start));
        mapTimer_.start();
    } else {
        clearMapBackground();
    }
}

void ScatterChartView::setMapFile(const QString& path)
{
    if (path == mapPath_)
        return;
    mapImage_ = QPixmap();
    if (!mapImage_.load(path)) {
        zWarning() << "set map file failed" << path;
        mapImage_ = QPixmap();
    }
    mapPath_ = path;
    mapTimer_.start();
}

void ScatterChartView::clearMapBackground()
{
    chart()->setPlotAreaBackgroundBrush(QBrush(Qt::transparent, Qt::SolidPattern));
}

void ScatterChartView::redrawMap()
{
    mapTimer_.stop();
    // A hidden view is drawn again when it is shown.
    if (!useMap_ || !isVisible())
        return;

    const double ax0 = axisX_->min(), ax1 = axisX_->max();
    const double ay0 = axisY_->min(), ay1 = axisY_->max();
    const double mx0 = mapXMin_, mx1 = mapXMax_, my0 = mapYMin_, my1 = mapYMax_;
    const QRectF area = plotArea();

    // Nothing here may be divided by: an empty map or span leaves the plot bare.
    if (mapImage_.isNull()) {
        zWarning() << "background map skipped: no picture loaded from" << mapPath_;
        clearMapBackground();
        return;
    }
    if (!positiveFinite(mx1 - mx0) || !positiveFinite(my1 - my0)) {
        zWarning() << "background map skipped: map extents" << mx0 << mx1 << my0 << my1 << "span nothing";
        clearMapBackground();
        return;
    }
    if (!positiveFinite(ax1 - ax0) || !positiveFinite(ay1 - ay0) || area.width() < 1.0 || area.height() < 1.0) {
        zWarning() << "background map skipped: axis ranges" << ax0 << ax1 << ay0 << ay1 << "or plot area" << area
                   << "span nothing";
        clearMapBackground();
        return;
    }

    // The map's rectangle in plot pixels (y grows downwards, so its top is my1).
    const double px = area.width() / (ax1 - ax0);
    const double py = area.height() / (ay1 - ay0);
    const QRectF mapInPlot(QPointF((mx0 - ax0) * px, (ay1 - my1) * py), QPointF((mx1 - ax0) * px, (ay1 - my0) * py));
    const QRectF plot(QPointF(0, 0), area.size());
    const QRectF visible = mapInPlot.intersected(plot);

    // Only the visible part is drawn, into a picture of the view's size: zooming far
    // out or in never asks for more than that.
    const QSize canvasSize = chart()->size().toSize();
    QPixmap canvas(canvasSize.expandedTo(QSize(1, 1)));
    canvas.fill(Qt::transparent);
    if (!visible.isEmpty()) {
        // The picture stretches over the map extents.
        const double ix = mapImage_.width() / mapInPlot.width();
        const double iy = mapImage_.height() / mapInPlot.height();
        const QRectF source((visible.left() - mapInPlot.left()) * ix, (visible.top() - mapInPlot.top()) * iy,
                            visible.width() * ix, visible.height() * iy);
        QPainter painter(&canvas);
        painter.drawPixmap(visible.translated(area.topLeft()), mapImage_, source);
    }
    chart()->setPlotAreaBackgroundBrush(QBrush(canvas));
}
