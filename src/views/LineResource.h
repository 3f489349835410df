#pragma once

#include <QPointF>
#include <QVector>

#include "views/BaseResource.h"

class LineResourceItem;
namespace QtCharts {
class QLineSeries;
}

// A line item drawn as a QLineSeries: value i at x = i (the index in the kept
// history, not a time).
class LineResource : public ChartResource2D
{
    Q_OBJECT
public:
    explicit LineResource(LineResourceItem* item, QObject* parent = nullptr);

    LineResourceItem* lineItem() const { return lineItem_; }
    QtCharts::QLineSeries* series() const { return series_; }

    void updateFromItem() override;

public slots:
    void handleItemDataChanged(int column) override;

private:
    LineResourceItem* lineItem_;
    QtCharts::QLineSeries* series_;
    // Reused between updates on the refresh thread.
    QVector<QPointF> points_;
};
