#include "views/AttitudeContainer.h"

#include <QtDataVisualization/Q3DCamera>
#include <QtDataVisualization/Q3DInputHandler>
#include <QtDataVisualization/Q3DScene>
#include <QtDataVisualization/Q3DTheme>
#include <QtDataVisualization/QValue3DAxis>

#include "model/ContainerItems.h"
#include "views/AttitudeResource.h"
#include "views/Z3DScatter.h"

using namespace QtDataVisualization;

AttitudeContainer::AttitudeContainer(AttitudeContainerItem* item, QWidget* parent) : ChartContainer3D(item, parent)
{
    Z3DScatter* g = graph();
    if (!g)
        return;
    Q3DTheme* theme = g->activeTheme();
    theme->setGridEnabled(false);
    theme->setLabelBorderEnabled(false);
    theme->setLabelBackgroundEnabled(false);
    setOwnLabelTextColor(Qt::transparent);
    for (QValue3DAxis* axis : {g->axisX(), g->axisY(), g->axisZ()}) {
        axis->setTitleVisible(false);
        axis->setAutoAdjustRange(false);
        axis->setSegmentCount(1);
        axis->setRange(-10.0f, 10.0f);
    }
    // The model turns, the camera stays: no rotation and no zoom toward the
    // pointed spot (plain wheel zoom remains).
    for (QAbstract3DInputHandler* handler : g->inputHandlers()) {
        if (auto* h = qobject_cast<Q3DInputHandler*>(handler)) {
            h->setZoomAtTargetEnabled(false);
            h->setRotationEnabled(false);
        }
    }
    Q3DCamera* camera = g->scene()->activeCamera();
    camera->setTarget(QVector3D(0.0f, 0.0f, 0.0f));
    camera->setCameraPreset(Q3DCamera::CameraPresetFront);
}

void AttitudeContainer::addResource(BaseResource* resource)
{
    ChartContainer3D::addResource(resource);
    auto* r = qobject_cast<AttitudeResource*>(resource);
    if (r && graph())
        r->attachToGraph(graph());
}

void AttitudeContainer::removeResource(BaseResource* resource)
{
    ChartContainer3D::removeResource(resource);
    auto* r = qobject_cast<AttitudeResource*>(resource);
    if (r && graph() && r->graph() == graph())
        r->detachFromGraph();
}

void AttitudeContainer::handleItemDataChanged(int column)
{
    // Only the columns every chart container has; the look is fixed.
    if (column <= BaseContainerItem::ColSeriesWidgetWidth)
        ChartContainer3D::handleItemDataChanged(column);
}
