#pragma once

#include <QBrush>
#include <QPixmap>

#include "views/BaseResource.h"

class ScatterResourceItem;
namespace QtCharts {
class QLineSeries;
class QScatterSeries;
}

// A 2D point drawn as a marker (turned by the value's angle) with a line track
// and a scatter track of the recent points.
class ScatterResource : public ChartResource2D
{
    Q_OBJECT
public:
    explicit ScatterResource(ScatterResourceItem* item, QObject* parent = nullptr);

    ScatterResourceItem* scatterItem() const { return scatterItem_; }
    QtCharts::QScatterSeries* marker() const { return marker_; }
    QtCharts::QLineSeries* lineTrack() const { return lineTrack_; }
    QtCharts::QScatterSeries* scatterTrack() const { return scatterTrack_; }
    QPixmap markerPixmap() const { return markerPixmap_; }
    QBrush markerBrush() const { return markerBrush_; }
    double lastAngle() const { return lastAngle_; }

    void setItemShowMarker(bool show);
    void setItemShowLineTrack(bool show);
    void setItemShowScatterTrack(bool show);

    void setVisible(bool visible) override;
    void setColor(const QColor& color) override;
    void updateFromItem() override;
    void handleInitialized() override;

    // Rebuilds the marker picture from type, size, colour and picture file.
    void applyMarker();
    void rotateMarker(double angle);

    static QPixmap triangleMarkerPixmap(int size, const QColor& color);

public slots:
    void handleItemDataChanged(int column) override;

private:
    void applyPointLabels();
    void applyTrackWidth();

    ScatterResourceItem* scatterItem_;
    QtCharts::QScatterSeries* marker_;
    QtCharts::QLineSeries* lineTrack_;
    QtCharts::QScatterSeries* scatterTrack_;
    QPixmap markerPixmap_;
    QBrush markerBrush_;
    // Not a real angle, so that the first one (0 included) is always applied.
    double lastAngle_ = 1e-6;
};
