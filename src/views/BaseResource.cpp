#include "views/BaseResource.h"

#include <QtCharts/QChart>
#include <QtCharts/QXYSeries>

#include "model/ResourceItems.h"
#include "views/ChartResourceSettingWidget.h"
#include "views/ChartUpdateHandover.h"

QT_CHARTS_USE_NAMESPACE

BaseResource::BaseResource(BaseResourceItem* item, QObject* parent)
    : QObject(parent), item_(item), handoverId_(ChartUpdateHandover::instance().registerResource(this))
{
    connect(item_, &BaseItem::dataChanged, this, &BaseResource::handleItemDataChanged);
}

BaseResource::~BaseResource()
{
    ChartUpdateHandover::instance().unregisterResource(handoverId_);
}

void BaseResource::syncFromItem()
{
    const int n = item_->columnCount();
    for (int c = 0; c < n; ++c)
        handleItemDataChanged(c);
    initialised_ = true;
    handleInitialized();
}

void BaseResource::setItemVisible(bool visible)
{
    item_->setData(BaseResourceItem::ColVisible, visible);
}

void BaseResource::handleItemDataChanged(int column)
{
    if (column == BaseResourceItem::ColVisible)
        setVisible(item_->isVisible());
}

void BaseResource::applyOnGuiThread(std::function<void(BaseResource*)> apply)
{
    ChartUpdateHandover::instance().post(handoverId_, std::move(apply));
}

// ---------------------------------------------------------------- ChartResource

ChartResource::ChartResource(ChartResourceItem* item, QObject* parent) : BaseResource(item, parent), chartItem_(item)
{
}

ChartResource::~ChartResource()
{
    delete settingWidget_.data();
}

ChartResourceSettingWidget* ChartResource::settingWidget() const
{
    if (!settingWidget_ && settingFactory_) {
        settingWidget_ = settingFactory_();
        settingWidget_->hide();
        if (isInitialized())
            settingWidget_->refreshAll();
    }
    return settingWidget_.data();
}

void ChartResource::setSettingWidgetFactory(std::function<ChartResourceSettingWidget*()> factory)
{
    settingFactory_ = std::move(factory);
}

void ChartResource::handleInitialized()
{
    if (settingWidget_)
        settingWidget_->refreshAll();
}

void ChartResource::handleItemDataChanged(int column)
{
    if (column == BaseResourceItem::ColColor)
        setColor(chartItem_->color());
    else if (column < BaseResourceItem::ColColor)
        BaseResource::handleItemDataChanged(column);
}

// ---------------------------------------------------------------- ChartResource2D

ChartResource2D::~ChartResource2D()
{
    for (const QPointer<QAbstractSeries>& s : series_) {
        if (!s)
            continue;
        // A series still in a chart may not be deleted: take it out first.
        if (QChart* chart = s->chart())
            chart->removeSeries(s);
        delete s.data();
    }
}

QList<QAbstractSeries*> ChartResource2D::seriesList() const
{
    QList<QAbstractSeries*> list;
    for (const QPointer<QAbstractSeries>& s : series_)
        if (s)
            list << s.data();
    return list;
}

void ChartResource2D::addSeries(QAbstractSeries* series)
{
    series_ << series;
}

void ChartResource2D::setVisible(bool visible)
{
    for (QAbstractSeries* s : seriesList())
        s->setVisible(visible);
}

void ChartResource2D::setColor(const QColor& color)
{
    for (QAbstractSeries* s : seriesList())
        if (auto* xy = qobject_cast<QXYSeries*>(s))
            xy->setColor(color);
}
