#include "views/ChartContainer2D.h"

#include <QChildEvent>
#include <QGraphicsLayout>
#include <QGraphicsObject>
#include <QHBoxLayout>
#include <QLabel>
#include <QOpenGLWidget>
#include <QPainter>
#include <QVBoxLayout>
#include <QtCharts/QLegend>

#include "foundation/ZColorSchemeManager.h"
#include "model/ContainerItems.h"
#include "views/BaseResource.h"
#include "views/ChartView2D.h"
#include "widgets/ZWidgetHelpers.h"

QT_CHARTS_USE_NAMESPACE

static QColor schemeColor(int role)
{
    return ZColorSchemeManager::instance()->color(role);
}

ChartContainer2D::ChartContainer2D(ChartContainerItem* item, QWidget* parent, const ViewFactory& makeView)
    : ChartContainer(item, parent)
{
    if (item->type() != ResourceType::Line && !(item->type() == ResourceType::Scatter && makeView))
        qFatal("error type for ChartContainer2D");

    chart_ = new QChart();
    chart_->setMargins(QMargins(0, 0, 0, 0));
    chart_->layout()->setContentsMargins(0, 0, 0, 0);
    chart_->setBackgroundRoundness(0);
    chart_->setPlotAreaBackgroundVisible(true);
    chart_->setBackgroundBrush(QBrush(schemeColor(ZColorSchemeManager::BackgroundNormal), Qt::SolidPattern));
    chart_->legend()->setMarkerShape(QLegend::MarkerShapeCircle);
    chart_->legend()->hide();

    axisX_ = new QValueAxis();
    axisX_->setTitleText(tr("Axis X"));
    axisX_->setTitleVisible(false);
    axisY_ = new QValueAxis();
    axisY_->setTitleText(tr("Axis Y"));
    axisY_->setTitleVisible(false);
    for (QValueAxis* axis : {axisX_, axisY_}) {
        axis->setGridLineColor(schemeColor(ZColorSchemeManager::BorderNormal));
        axis->setLabelsColor(schemeColor(ZColorSchemeManager::ForegroundNormal));
        axis->setLabelFormat(QStringLiteral("%.2f"));
        axis->setLabelsFont(monospaceFont());
    }
    chart_->addAxis(axisX_, Qt::AlignBottom);
    chart_->addAxis(axisY_, Qt::AlignLeft);

    // The cursor read-out maps positions against this series; it never shows.
    referenceSeries_ = new QLineSeries();
    referenceSeries_->setUseOpenGL(true);
    addSeriesToChart(referenceSeries_);
    referenceSeries_->attachAxis(axisX_);
    referenceSeries_->attachAxis(axisY_);
    referenceSeries_->hide();

    if (item->type() == ResourceType::Line)
        view_ = new LineChartView(chart_, this);
    else
        view_ = makeView(chart_, this);
    chartLayout()->addWidget(view_);
    view_->viewport()->installEventFilter(this); // gives the OpenGL widget its own window
    glWidget_ = view_->findChild<QOpenGLWidget*>();

    xReadout_ = new QLabel(view_);
    yReadout_ = new QLabel(view_);
    xReadout_->setFont(monospaceFont());
    yReadout_->setFont(monospaceFont());
    xReadout_->show();
    yReadout_->show();
    extraBarLayout()->addWidget(xReadout_);
    extraBarLayout()->addWidget(yReadout_);

    connect(view_, &ChartView2D::mouseMoved, this, &ChartContainer2D::updateCursorReadout);
}

ChartContainer2D::~ChartContainer2D()
{
    // The chart deletes the series it holds, but resources own theirs and may
    // outlive the container: hand them back first.
    for (QAbstractSeries* s : chart_->series())
        if (s != referenceSeries_)
            chart_->removeSeries(s);
}

void ChartContainer2D::addResource(BaseResource* resource)
{
    ChartContainer::addResource(resource);
    auto* r2 = qobject_cast<ChartResource2D*>(resource);
    if (!r2)
        return;
    for (QAbstractSeries* s : r2->seriesList()) {
        if (s->chart() == chart_ || waiting_.contains(s))
            continue;
        if (s->chart())
            s->chart()->removeSeries(s);
        if (readyToJoin(s))
            joinChart(s);
        else
            waitToJoin(s);
    }
}

void ChartContainer2D::joinChart(QAbstractSeries* series)
{
    addSeriesToChart(series);
    series->attachAxis(axisX_);
    series->attachAxis(axisY_);
}

bool ChartContainer2D::readyToJoin(QAbstractSeries* series) const
{
    if (!isVisible())
        return false;
    auto* line = qobject_cast<QLineSeries*>(series);
    return !(item()->type() == ResourceType::Line && line && !line->pointsVisible() && line->count() < 2);
}

void ChartContainer2D::waitToJoin(QAbstractSeries* series)
{
    QList<QMetaObject::Connection> watch{
        connect(series, &QObject::destroyed, this, [this, series] { stopWaiting(series); })};
    if (auto* xy = qobject_cast<QXYSeries*>(series)) {
        const auto check = [this, series] { joinIfReady(series); };
        watch << connect(xy, &QXYSeries::pointsReplaced, this, check) << connect(xy, &QXYSeries::pointAdded, this, check);
    }
    waiting_.insert(series, watch);
}

void ChartContainer2D::joinIfReady(QAbstractSeries* series)
{
    if (!readyToJoin(series))
        return;
    stopWaiting(series);
    joinChart(series);
}

void ChartContainer2D::stopWaiting(QAbstractSeries* series)
{
    for (const QMetaObject::Connection& c : waiting_.take(series))
        disconnect(c);
}

void ChartContainer2D::showEvent(QShowEvent* event)
{
    ChartContainer::showEvent(event);
    if (waiting_.isEmpty())
        return;
    // In the resources' order, as they would have joined.
    for (BaseResource* resource : resources()) {
        if (auto* r2 = qobject_cast<ChartResource2D*>(resource))
            for (QAbstractSeries* s : r2->seriesList())
                if (waiting_.contains(s))
                    joinIfReady(s);
    }
}

void ChartContainer2D::addSeriesToChart(QAbstractSeries* series)
{
    const QList<QGraphicsItem*> before = chart_->childItems();
    chart_->addSeries(series);
    if (!series->useOpenGL())
        return;
    // The OpenGL widget draws this series; its item in the scene paints nothing but
    // still asks for a repaint of an empty spot at the plot's corner on every
    // update. That small raster repaint, in the same pass as the OpenGL widget's,
    // makes Qt repaint the whole plot area under the widget as well. An item
    // without contents asks for nothing; the picture is the same.
    for (QGraphicsItem* item : chart_->childItems()) {
        QGraphicsObject* object = item->toGraphicsObject();
        if (object && !before.contains(item) && object->inherits("QtCharts::XYChart"))
            item->setFlag(QGraphicsItem::ItemHasNoContents);
    }
}

void ChartContainer2D::removeResource(BaseResource* resource)
{
    ChartContainer::removeResource(resource);
    auto* r2 = qobject_cast<ChartResource2D*>(resource);
    if (!r2)
        return;
    for (QAbstractSeries* s : r2->seriesList()) {
        stopWaiting(s);
        if (s->chart() == chart_)
            chart_->removeSeries(s);
    }
}

bool ChartContainer2D::eventFilter(QObject* watched, QEvent* event)
{
    // The chart makes its OpenGL widget when it first draws an OpenGL series. As a
    // plain child, that widget makes the whole top-level window go through OpenGL
    // composition on every repaint of any widget in it (a label, the console); with
    // a native window of its own only the plot area is composed, and the rest of
    // the window is flushed as usual. The picture is the same.
    if (event->type() == QEvent::ChildPolished && watched == view_->viewport()) {
        auto* gl = qobject_cast<QOpenGLWidget*>(static_cast<QChildEvent*>(event)->child());
        if (gl && !gl->testAttribute(Qt::WA_NativeWindow)) {
            gl->setAttribute(Qt::WA_DontCreateNativeAncestors);
            gl->setAttribute(Qt::WA_NativeWindow);
        }
    }
    return ChartContainer::eventFilter(watched, event);
}

void ChartContainer2D::updateCursorReadout(QPointF pos)
{
    const QPointF value = chart_->mapToValue(pos, referenceSeries_);
    xReadout_->setText(QStringLiteral("X:%1").arg(value.x(), -12, 'g'));
    yReadout_->setText(QStringLiteral("Y:%1").arg(value.y(), -12, 'g'));
}

void ChartContainer2D::setScreenshotMode(bool on)
{
    if (on) {
        chart_->setPlotAreaBackgroundVisible(false);
        chart_->setBackgroundBrush(QBrush(Qt::transparent, Qt::SolidPattern));
    } else {
        chart_->setPlotAreaBackgroundVisible(true);
        chart_->setBackgroundBrush(QBrush(schemeColor(ZColorSchemeManager::BackgroundNormal), Qt::SolidPattern));
    }
}

QOpenGLWidget* ChartContainer2D::openGLWidget()
{
    // The chart view makes its OpenGL widget only when it first draws an OpenGL
    // series, so it is looked up again until found.
    if (!glWidget_)
        glWidget_ = view_->findChild<QOpenGLWidget*>();
    return glWidget_;
}

QPixmap ChartContainer2D::grabChart()
{
    QPixmap pixmap = view_->grab();
    QOpenGLWidget* gl = openGLWidget();
    if (gl && gl->isVisible()) {
        const QPoint offset = gl->mapToGlobal(QPoint(0, 0)) - view_->mapToGlobal(QPoint(0, 0));
        const QImage frame = gl->grabFramebuffer();
        QPainter painter(&pixmap);
        painter.setCompositionMode(QPainter::CompositionMode_SourceAtop);
        painter.drawImage(offset, frame);
    }
    return pixmap;
}

QString ChartContainer2D::takeScreenshot()
{
    setScreenshotMode(true);
    const QPixmap pixmap = grabChart();
    const QString path = saveScreenshot(pixmap);
    setScreenshotMode(false);
    return path;
}
