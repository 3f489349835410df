#include "views/AttitudeResource.h"

#include <QImage>
#include <QtDataVisualization/Q3DScatter>
#include <QtDataVisualization/QCustom3DItem>

#include "model/ResourceItems.h"
#include "views/ChartResourceSettingWidget.h"

using namespace QtDataVisualization;

AttitudeResource::AttitudeResource(AttitudeResourceItem* item, QObject* parent)
    : ChartResource3D(item, parent), attitudeItem_(item)
{
    model_ = new QCustom3DItem();
    model_->setMeshFile(QStringLiteral(":/obj/paperplane.obj"));
    model_->setScaling(QVector3D(0.05f, 0.05f, 0.05f));
    setSettingWidgetFactory([item] { return new AttitudeResourceSettingWidget(item); });
}

AttitudeResource::~AttitudeResource()
{
    detachFromGraph();
    delete model_.data();
}

QQuaternion AttitudeResource::rotationOf(const QVector3D& v)
{
    return QQuaternion::fromEulerAngles(-v.y(), v.z() - 90.0f, -v.x());
}

void AttitudeResource::attachToGraph(Q3DScatter* graph)
{
    if (graph_ == graph)
        return;
    detachFromGraph();
    graph_ = graph;
    if (graph && model_)
        graph->addCustomItem(model_);
}

void AttitudeResource::detachFromGraph()
{
    if (!graph_)
        return;
    // releaseCustomItem hands the item back without deleting it.
    if (model_)
        graph_->releaseCustomItem(model_);
    graph_ = nullptr;
}

void AttitudeResource::handleItemDataChanged(int column)
{
    if (column < AttitudeResourceItem::ColValue)
        ChartResource3D::handleItemDataChanged(column);
}

void AttitudeResource::setVisible(bool visible)
{
    model_->setVisible(visible);
}

void AttitudeResource::setColor(const QColor& color)
{
    texture_ = QImage(2, 2, QImage::Format_RGB32);
    texture_.fill(color);
    model_->setTextureImage(texture_);
}

void AttitudeResource::updateFromItem()
{
    const QQuaternion rotation = rotationOf(attitudeItem_->lastValue()); // read under the item's lock
    applyOnGuiThread([rotation](BaseResource* base) {
        auto* self = static_cast<AttitudeResource*>(base);
        if (!self->model_)
            return;
        const QQuaternion current = self->model_->rotation();
        // Exact comparison: only a real change costs a redraw.
        if (current.scalar() != rotation.scalar() || current.x() != rotation.x() || current.y() != rotation.y()
            || current.z() != rotation.z())
            self->model_->setRotation(rotation);
    });
}
