#include "views/Scatter3DResource.h"

#include <QtDataVisualization/Q3DScatter>
#include <QtDataVisualization/QScatter3DSeries>
#include <QtDataVisualization/QScatterDataProxy>

#include "model/ResourceItems.h"
#include "views/ChartResourceSettingWidget.h"

using namespace QtDataVisualization;

static const char* const kPlaneMesh = ":/obj/paperplane.obj";
static const char* const kTrackMesh = ":/obj/trackpoint.obj";

Scatter3DResource::Scatter3DResource(Scatter3DResourceItem* item, QObject* parent)
    : ChartResource3D(item, parent), item3D_(item)
{
    marker_ = new QScatter3DSeries();
    marker_->setItemLabelFormat(QStringLiteral("%1:@xLabel,@zLabel,@yLabel").arg(item->name()));
    track_ = new QScatter3DSeries();
    track_->setItemLabelFormat(QStringLiteral("@xLabel,@zLabel,@yLabel"));
    // Track points are a few pixels wide and hundreds a node: a twenty-face ball looks
    // the same there as the default fine sphere, whose faces made a full installation's
    // draws take seconds and the renderer's memory grow by gigabytes.
    track_->setUserDefinedMesh(QString::fromLatin1(kTrackMesh));
    track_->setMesh(QAbstract3DSeries::MeshUserDefined);
    setSettingWidgetFactory([item] { return new Scatter3DResourceSettingWidget(item); });
}

Scatter3DResource::~Scatter3DResource()
{
    detachFromGraph();
    delete marker_.data();
    delete track_.data();
}

void Scatter3DResource::attachToGraph(Q3DScatter* graph)
{
    if (graph_ == graph)
        return;
    detachFromGraph();
    graph_ = graph;
    if (!graph)
        return;
    graph->addSeries(track_);
    graph->addSeries(marker_);
}

void Scatter3DResource::detachFromGraph()
{
    if (!graph_)
        return;
    // removeSeries hands the series back to us.
    if (marker_)
        graph_->removeSeries(marker_);
    if (track_)
        graph_->removeSeries(track_);
    graph_ = nullptr;
}

void Scatter3DResource::setItemShowMarker(bool show)
{
    item3D_->setData(Scatter3DResourceItem::ColShowMarker, show);
}

void Scatter3DResource::setItemShowScatterTrack(bool show)
{
    item3D_->setData(Scatter3DResourceItem::ColShowScatterTrack, show);
}

void Scatter3DResource::handleItemDataChanged(int column)
{
    switch (column) {
    case Scatter3DResourceItem::ColShowMarker:
    case Scatter3DResourceItem::ColShowScatterTrack:
        setVisible(item3D_->isVisible());
        break;
    case Scatter3DResourceItem::ColMarkerType:
    case Scatter3DResourceItem::ColMarkerSize:
        applyMesh();
        break;
    case Scatter3DResourceItem::ColTrackWidth:
        track_->setItemSize(item3D_->scatter3DRecord()->TrackWidth);
        break;
    default:
        if (column < Scatter3DResourceItem::ColValue)
            ChartResource3D::handleItemDataChanged(column);
        break;
    }
}

void Scatter3DResource::applyMesh()
{
    const Scatter3DResourceItem::Data* r = item3D_->scatter3DRecord();
    switch (r->MarkerType) {
    case 0:
        marker_->setMesh(QAbstract3DSeries::MeshSphere);
        marker_->setItemSize(r->MarkerSize);
        break;
    case 1:
        marker_->setMesh(QAbstract3DSeries::MeshMinimal);
        marker_->setItemSize(r->MarkerSize);
        break;
    case 2:
        marker_->setUserDefinedMesh(QString::fromLatin1(kPlaneMesh));
        marker_->setMesh(QAbstract3DSeries::MeshUserDefined);
        marker_->setItemSize(r->MarkerSize * 0.05f);
        break;
    default:
        break;
    }
}

void Scatter3DResource::setVisible(bool v)
{
    const Scatter3DResourceItem::Data* r = item3D_->scatter3DRecord();
    marker_->setVisible(v && r->ShowMarker);
    track_->setVisible(v && r->ShowScatterTrack);
}

void Scatter3DResource::setColor(const QColor& color)
{
    marker_->setBaseColor(color);
    track_->setBaseColor(color);
}

void Scatter3DResource::updateFromItem()
{
    const QVector<QScatterDataItem> track = item3D_->track(); // copied under the item's lock
    applyOnGuiThread([track](BaseResource* base) {
        auto* self = static_cast<Scatter3DResource*>(base);
        if (!self->marker_ || !self->track_)
            return;
        self->track_->dataProxy()->resetArray(new QScatterDataArray(track));
        QScatterDataProxy* markerProxy = self->marker_->dataProxy();
        if (track.isEmpty()) {
            if (markerProxy->itemCount() > 0)
                markerProxy->removeItems(0, 1);
        } else if (markerProxy->itemCount() > 0) {
            markerProxy->setItem(0, track.last());
        } else {
            markerProxy->addItem(track.last());
        }
    });
}
