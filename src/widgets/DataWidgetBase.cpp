#include "widgets/DataWidgetBase.h"

#include <QHBoxLayout>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>

#include "model/ResourceItems.h"
#include "widgets/FixedSplitter.h"
#include "widgets/LineStatisticWidget.h"
#include "widgets/VerticalScrollArea.h"

DataWidgetBase::DataWidgetBase(LineResourceCollector* collector, QWidget* parent)
    : QWidget(parent)
{
    if (!collector)
        return;

    auto* layout = new QHBoxLayout(this);
    // The page's width goes to its values, not to a frame around them.
    layout->setContentsMargins(0, 0, 0, 0);
    auto* splitter = new FixedSplitter(Qt::Horizontal, this);
    splitter_ = splitter;
    splitter->setChildrenCollapsible(false);
    layout->addWidget(splitter);
    // A drag of the handle is the user's choice; the column stops following its rows.
    connect(splitter, &QSplitter::splitterMoved, this, [this] { statisticsSized_ = true; });

    // Rows wrap to the column's width rather than run past it.
    auto* scroll = new VerticalScrollArea(this);
    statisticsScroll_ = scroll;
    auto* column = new QWidget;
    scroll->setWidget(column);
    statisticsLayout_ = new QVBoxLayout(column);
    statisticsLayout_->setContentsMargins(2, 2, 2, 2);
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
    // (Looked up: a page of thousands of rows scanned them all for every new one;
    // a row whose item is gone no longer counts, its address may be taken again.)
    if (const LineStatisticWidget* known = rowOfItem_.value(item))
        if (known->item() == item)
            return;
    auto* row = new LineStatisticWidget(item, this);
    // Check boxes of one width: every row wraps at the same places.
    if (row->leadWidth() > leadWidth_) {
        leadWidth_ = row->leadWidth();
        for (LineStatisticWidget* r : qAsConst(rows_))
            r->setLeadWidth(leadWidth_);
    }
    row->setLeadWidth(leadWidth_);
    statisticsLayout_->addWidget(row);
    rows_.append(row);
    rowOfItem_.insert(item, row);
    scheduleStatisticsSizing();
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
    // After the page got its geometry: the layouts settle on the next turn.
    scheduleStatisticsSizing();
}

void DataWidgetBase::setDataWidthWanted(int width)
{
    if (width == dataWidthWanted_)
        return;
    dataWidthWanted_ = width;
    scheduleStatisticsSizing();
}

void DataWidgetBase::scheduleStatisticsSizing()
{
    if (!splitter_ || statisticsSized_ || sizingScheduled_ || !isVisible())
        return;
    // Once per turn of the event loop, after the layouts have settled.
    sizingScheduled_ = true;
    QTimer::singleShot(0, this, [this] {
        sizingScheduled_ = false;
        sizeStatisticsColumn();
    });
}

int DataWidgetBase::statisticsMinimumWidth() const
{
    return statisticsScroll_->minimumSizeHint().width();
}

int DataWidgetBase::statisticsLineWidth() const
{
    int widest = 0;
    for (const LineStatisticWidget* row : rows_)
        widest = qMax(widest, row->lineWidth());
    const QMargins m = statisticsLayout_->contentsMargins();
    return widest + m.left() + m.right() + statisticsScroll_->verticalScrollBar()->sizeHint().width()
           + 2 * statisticsScroll_->frameWidth();
}

void DataWidgetBase::sizeStatisticsColumn()
{
    if (statisticsSized_ || !splitter_ || splitter_->count() < 2 || !isVisible())
        return;
    const int total = splitter_->contentsRect().width() - splitter_->handleWidth();
    const int dataNeeds = qMax(dataArea_ ? dataArea_->minimumSizeHint().width() : 0, dataWidthWanted_);
    const int least = statisticsMinimumWidth();
    const int wanted = qMax(least, qMin(statisticsLineWidth(), total - dataNeeds));
    splitter_->setSizes({wanted, qMax(0, total - wanted)});
}
