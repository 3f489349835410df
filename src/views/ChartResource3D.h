#pragma once

#include <QPointer>

#include "views/BaseResource.h"

#include <QtDataVisualization/Q3DScatter>

// A resource drawn in a 3D graph. A graph takes over the series and custom items
// added to it, so the resource adds and takes out its own objects through
// attachToGraph/detachFromGraph and deletes them itself.
class ChartResource3D : public ChartResource
{
    Q_OBJECT
public:
    using ChartResource::ChartResource;

    // Puts this resource's objects into the graph (a previous graph is left first).
    virtual void attachToGraph(QtDataVisualization::Q3DScatter* graph) = 0;
    // Takes them out again; nothing when not attached.
    virtual void detachFromGraph() = 0;
    QtDataVisualization::Q3DScatter* graph() const { return graph_; }

protected:
    QPointer<QtDataVisualization::Q3DScatter> graph_;
};
