#include "widgets/DataWidgetBase.h"

#include <QHBoxLayout>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
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
    splitter_ = splitter;
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
    if (fitWhenShown_ && !statisticsPaneFitted_ && rows_.size() == 1 && isVisible())
        QTimer::singleShot(0, this, &DataWidgetBase::fitStatisticsPane);
}

void DataWidgetBase::updateStatistics()
{
    for (LineStatisticWidget* row : qAsConst(rows_))
        row->updateStatistics();
    refresh();
}

void DataWidgetBase::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (fitWhenShown_ && !statisticsPaneFitted_)
        QTimer::singleShot(0, this, &DataWidgetBase::fitStatisticsPane);
}

void DataWidgetBase::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (fitWhenShown_ && !statisticsPaneFitted_ && isVisible())
        QTimer::singleShot(0, this, &DataWidgetBase::fitStatisticsPane);
}

void DataWidgetBase::fitStatisticsPane()
{
    QSplitter* splitter = splitter_;
    // Rows of items made after the page come later: a pane fitted to no rows would
    // stay a sliver.
    if (statisticsPaneFitted_ || !splitter || splitter->count() < 2 || splitter->width() < 100 || rows_.isEmpty())
        return;
    statisticsPaneFitted_ = true;
    const int total = splitter->width() - splitter->handleWidth();
    int wanted = total / 3;
    if (auto* scroll = qobject_cast<QScrollArea*>(splitter->widget(0))) {
        if (scroll->widget())
            wanted = scroll->widget()->sizeHint().width() + scroll->verticalScrollBar()->sizeHint().width()
                     + 2 * scroll->frameWidth();
    }
    wanted = qMin(wanted, total / 2);
    splitter->setSizes({wanted, total - wanted});
}
