#pragma once

#include <QPointer>

#include "views/ChartResource3D.h"

class Scatter3DResourceItem;
#include <QtDataVisualization/QScatter3DSeries>

// A 3D point drawn as one marker item with a track series of the recent points.
class Scatter3DResource : public ChartResource3D
{
    Q_OBJECT
public:
    explicit Scatter3DResource(Scatter3DResourceItem* item, QObject* parent = nullptr);
    ~Scatter3DResource() override;

    Scatter3DResourceItem* scatter3DItem() const { return item3D_; }
    QtDataVisualization::QScatter3DSeries* marker() const { return marker_; }
    QtDataVisualization::QScatter3DSeries* trackSeries() const { return track_; }

    void setItemShowMarker(bool show);
    void setItemShowScatterTrack(bool show);

    void setVisible(bool visible) override;
    void setColor(const QColor& color) override;
    void updateFromItem() override;
    void attachToGraph(QtDataVisualization::Q3DScatter* graph) override;
    void detachFromGraph() override;

public slots:
    void handleItemDataChanged(int column) override;

private:
    void applyMesh();

    Scatter3DResourceItem* item3D_;
    QPointer<QtDataVisualization::QScatter3DSeries> marker_;
    QPointer<QtDataVisualization::QScatter3DSeries> track_;
};
