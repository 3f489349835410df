#include "views/ScatterResource.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QtCharts/QLineSeries>
#include <QtCharts/QScatterSeries>
#include <cmath>

#include "foundation/ZColorSchemeManager.h"
#include "model/ResourceItems.h"
#include "views/ChartResourceSettingWidget.h"
#include "widgets/ZWidgetHelpers.h"

QT_CHARTS_USE_NAMESPACE

ScatterResource::ScatterResource(ScatterResourceItem* item, QObject* parent)
    : ChartResource2D(item, parent), scatterItem_(item)
{
    const QString name = item->name();
    marker_ = new QScatterSeries();
    marker_->setName(name);
    marker_->setUseOpenGL(false);
    marker_->setMarkerShape(QScatterSeries::MarkerShapeCircle);
    marker_->setBorderColor(Qt::transparent);
    marker_->setPointLabelsColor(ZColorSchemeManager::instance()->color(ZColorSchemeManager::ForegroundNormal));
    QFont font = monospaceFont();
    font.setWeight(75);
    marker_->setPointLabelsFont(font);

    lineTrack_ = new QLineSeries();
    lineTrack_->setName(name + QStringLiteral("_lt"));
    lineTrack_->setUseOpenGL(true);

    scatterTrack_ = new QScatterSeries();
    scatterTrack_->setName(name + QStringLiteral("_st"));
    scatterTrack_->setUseOpenGL(true);

    addSeries(marker_);
    addSeries(lineTrack_);
    addSeries(scatterTrack_);
    setSettingWidgetFactory([item] { return new ScatterResourceSettingWidget(item); });
}

void ScatterResource::setItemShowMarker(bool show)
{
    scatterItem_->setData(ScatterResourceItem::ColShowMarker, show);
}

void ScatterResource::setItemShowLineTrack(bool show)
{
    scatterItem_->setData(ScatterResourceItem::ColShowLineTrack, show);
}

void ScatterResource::setItemShowScatterTrack(bool show)
{
    scatterItem_->setData(ScatterResourceItem::ColShowScatterTrack, show);
}

void ScatterResource::handleItemDataChanged(int column)
{
    switch (column) {
    case ScatterResourceItem::ColShowMarker:
    case ScatterResourceItem::ColShowLineTrack:
    case ScatterResourceItem::ColShowScatterTrack:
        setVisible(scatterItem_->isVisible());
        break;
    case ScatterResourceItem::ColMarkerType:
    case ScatterResourceItem::ColMarkerFilePath:
    case ScatterResourceItem::ColMarkerSize:
        applyMarker();
        break;
    case ScatterResourceItem::ColShowName:
    case ScatterResourceItem::ColShowCoordinate:
        applyPointLabels();
        break;
    case ScatterResourceItem::ColTrackWidth:
        applyTrackWidth();
        break;
    default:
        if (column < ScatterResourceItem::ColValue)
            ChartResource2D::handleItemDataChanged(column);
        break;
    }
}

void ScatterResource::setVisible(bool v)
{
    const ScatterResourceItem::Data* r = scatterItem_->scatterRecord();
    marker_->setVisible(v && r->ShowMarker);
    scatterTrack_->setVisible(v && r->ShowScatterTrack);
    lineTrack_->setVisible(v && r->ShowLineTrack);
}

void ScatterResource::setColor(const QColor& color)
{
    ChartResource2D::setColor(color);
    applyMarker();
}

void ScatterResource::handleInitialized()
{
    ChartResource2D::handleInitialized();
    applyMarker();
}

void ScatterResource::applyPointLabels()
{
    const ScatterResourceItem::Data* r = scatterItem_->scatterRecord();
    QString label;
    if (r->ShowName) {
        label = r->Name;
        if (r->ShowCoordinate)
            label += QStringLiteral(":");
    }
    if (r->ShowCoordinate)
        label += QStringLiteral("(@xPoint, @yPoint)");
    marker_->setPointLabelsFormat(label);
    marker_->setPointLabelsVisible(!label.isEmpty());
}

void ScatterResource::applyTrackWidth()
{
    const ScatterResourceItem::Data* r = scatterItem_->scatterRecord();
    lineTrack_->setPen(QPen(r->Color, r->TrackWidth));
    scatterTrack_->setPen(QPen(r->Color, std::round(r->TrackWidth * 1.618)));
}

QPixmap ScatterResource::triangleMarkerPixmap(int s, const QColor& color)
{
    QPixmap pixmap(s, s);
    pixmap.fill(Qt::transparent);
    const double h = s / 2.0;
    const double a = h / std::sqrt(2.0);
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    path.moveTo(h, 0);
    path.lineTo(h - a, h + a);
    path.lineTo(h + a, h + a);
    path.closeSubpath();
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QBrush(color, Qt::SolidPattern));
    painter.drawPath(path);
    return pixmap;
}

void ScatterResource::applyMarker()
{
    if (!isInitialized())
        return;
    const ScatterResourceItem::Data* r = scatterItem_->scatterRecord();
    const int s = r->MarkerSize;
    marker_->setMarkerSize(s);
    marker_->setColor(r->Color);

    bool built = true;
    switch (r->MarkerType) {
    case 0: {
        QPixmap pixmap(s, s);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QBrush(r->Color, Qt::SolidPattern));
        painter.drawEllipse(QPointF(int(s / 2.0), int(s / 2.0)), s / 2.0, s / 2.0);
        painter.end();
        markerPixmap_ = pixmap;
        break;
    }
    case 1:
        markerPixmap_ = triangleMarkerPixmap(s, r->Color);
        break;
    case 2:
        markerPixmap_ = QPixmap::fromImage(
            QImage(r->MarkerFilePath).scaled(s, s, Qt::KeepAspectRatio, Qt::SmoothTransformation));
        break;
    default:
        built = false;
        break;
    }
    if (built) {
        markerBrush_.setTexture(markerPixmap_);
        marker_->setBrush(markerBrush_);
    }
    const double angle = scatterItem_->lastValue().angle; // read under the item's lock
    rotateMarker(angle);
}

void ScatterResource::rotateMarker(double angle)
{
    if (marker_->useOpenGL())
        return;
    if (qFuzzyCompare(angle, lastAngle_))
        return;
    lastAngle_ = angle;
    const double s = scatterItem_->scatterRecord()->MarkerSize;
    QTransform t;
    t.translate(s / 2, s / 2);
    t.rotate(-angle, Qt::ZAxis);
    t.translate(-s / 2, -s / 2);
    markerBrush_.setTransform(t);
    marker_->setBrush(markerBrush_);
}

void ScatterResource::updateFromItem()
{
    ScatterValue last;
    QVector<QPointF> track;
    scatterItem_->snapshot(&last, &track); // one lock for both

    applyOnGuiThread([last, track](BaseResource* base) {
        auto* self = static_cast<ScatterResource*>(base);
        const ScatterResourceItem::Data* r = self->scatterItem_->scatterRecord();
        if (r->ShowMarker) {
            if (track.isEmpty()) {
                self->marker_->clear();
            } else {
                const QPointF p(last.x, last.y);
                if (self->marker_->count() > 0)
                    self->marker_->replace(0, p);
                else
                    self->marker_->append(p);
                self->rotateMarker(last.angle);
            }
        }
        if (r->ShowLineTrack)
            self->lineTrack_->replace(track);
        if (r->ShowScatterTrack)
            self->scatterTrack_->replace(track);
    });
}
