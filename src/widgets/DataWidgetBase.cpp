#include "widgets/DataWidgetBase.h"

#include <QHBoxLayout>
#include <QScrollArea>
#include <QVBoxLayout>

#include "model/ResourceItems.h"
#include "widgets/FixedSplitter.h"
#include "widgets/LineStatisticWidget.h"

DataWidgetBase::DataWidgetBase(LineResourceCollector* collector, QWidget* parent)
    : QWidget(parent)
{
    if (!collector)
        return;

    auto* layout = new QHBoxLayout(this);
    auto* splitter = new FixedSplitter(Qt::Horizontal, this);
    layout->addWidget(splitter);

    auto* scroll = new QScrollArea(this);
    auto* column = new QWidget;
    scroll->setWidget(column);
    scroll->setWidgetResizable(true);
    statisticsLayout_ = new QVBoxLayout(column);
    splitter->addWidget(scroll);

    // Parsers create items on worker threads: the automatic connection then builds
    // the row later, on this page's thread.
    connect(collector, &LineResourceCollector::item_created, this, &DataWidgetBase::addLineStatistic);
    for (LineResourceItem* item : collector->items())
        addLineStatistic(item);

    dataArea_ = new QWidget(this);
    splitter->addWidget(dataArea_);
}

void DataWidgetBase::addLineStatistic(LineResourceItem* item)
{
    if (!statisticsLayout_ || !item)
        return;
    // An item announced while the page was listing the collector arrives twice.
    for (const LineStatisticWidget* row : qAsConst(rows_))
        if (row->item() == item)
            return;
    auto* row = new LineStatisticWidget(item, this);
    statisticsLayout_->addWidget(row);
    rows_.append(row);
}

void DataWidgetBase::updateStatistics()
{
    for (LineStatisticWidget* row : qAsConst(rows_))
        row->updateStatistics();
    refresh();
}
