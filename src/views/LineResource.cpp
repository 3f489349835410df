#include "views/LineResource.h"

#include <QPen>
#include <QtCharts/QLineSeries>

#include "model/ResourceItems.h"
#include "views/ChartResourceSettingWidget.h"

QT_CHARTS_USE_NAMESPACE

LineResource::LineResource(LineResourceItem* item, QObject* parent) : ChartResource2D(item, parent), lineItem_(item)
{
    series_ = new QLineSeries();
    series_->setName(item->name());
    series_->setUseOpenGL(true);
    addSeries(series_);
    setSettingWidgetFactory([item] { return new LineResourceSettingWidget(item); });
}

void LineResource::handleItemDataChanged(int column)
{
    if (column == LineResourceItem::ColWidth) {
        series_->setPen(QPen(lineItem_->color(), lineItem_->lineRecord()->Width));
        return;
    }
    if (column < LineResourceItem::ColValue)
        ChartResource2D::handleItemDataChanged(column);
}

void LineResource::updateFromItem()
{
    const QList<double> values = lineItem_->values(); // copied under the item's lock
    const int n = values.size();
    points_.resize(n);
    QPointF* p = points_.data();
    for (int i = 0; i < n; ++i)
        p[i] = QPointF(i, values.at(i));
    applyOnGuiThread([points = points_](BaseResource* self) {
        static_cast<LineResource*>(self)->series_->replace(points);
    });
}
