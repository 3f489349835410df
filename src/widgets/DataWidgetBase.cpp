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
#include "widgets/ZLazySlots.h"

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
    // Rows of one page wrap alike, so every slot takes the height of a built row.
    lazyRows_ = new ZLazySlots(
        column, statisticsLayout_,
        [this](QObject* item) { return buildRow(static_cast<LineResourceItem*>(item)); },
        [this](QWidget* sample, int width) {
            const QMargins m = statisticsLayout_->contentsMargins();
            const int inner = qMax(1, width - m.left() - m.right());
            return QSize(0, sample->hasHeightForWidth() ? sample->heightForWidth(inner) : sample->sizeHint().height());
        });

    // Parsers create items on worker threads: the automatic connection then builds
    // the row later, on this page's thread.
    connect(collector, &LineResourceCollector::item_created, this, &DataWidgetBase::addLineStatistic);
    // A node that gave up its place takes its rows (the item may be gone by then: its
    // address alone is used).
    connect(collector, &LineResourceCollector::item_removed, this, &DataWidgetBase::removeLineStatistic);
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
    if (lazyRows_->contains(item))
        return;
    items_.append(item);
    statisticsLayout_->addItem(lazyRows_->makeSlot(item));
    if (!builtRows_.isEmpty())
        widenLead(builtRows_.first()->leadWidthFor(item->name()));
}

void DataWidgetBase::removeLineStatistic(LineResourceItem* item)
{
    const int index = items_.indexOf(item);
    if (index < 0)
        return;
    items_.removeAt(index);
    if (QWidget* row = lazyRows_->take(item)) {
        builtRows_.removeAll(static_cast<LineStatisticWidget*>(row));
        delete row;
    }
}

LineStatisticWidget* DataWidgetBase::buildRow(LineResourceItem* item)
{
    auto* row = new LineStatisticWidget(item, this);
    // Check boxes as wide as the widest name of all items, built or not: every row
    // wraps at the same places, and a row scrolled into view later moves nothing.
    if (builtRows_.isEmpty()) {
        for (QObject* other : qAsConst(items_))
            if (other == item || lazyRows_->contains(other))
                leadWidth_ = qMax(leadWidth_, row->leadWidthFor(static_cast<LineResourceItem*>(other)->name()));
    }
    widenLead(row->leadWidth());
    row->setLeadWidth(leadWidth_);
    builtRows_ << row;
    scheduleStatisticsSizing();
    return row;
}

void DataWidgetBase::widenLead(int width)
{
    if (width <= leadWidth_)
        return;
    leadWidth_ = width;
    for (LineStatisticWidget* r : qAsConst(builtRows_))
        r->setLeadWidth(leadWidth_);
    lazyRows_->resizeSlots();
    scheduleStatisticsSizing();
}

LineStatisticWidget* DataWidgetBase::statisticRow(int index)
{
    if (!lazyRows_ || index < 0 || index >= items_.size())
        return nullptr;
    return static_cast<LineStatisticWidget*>(lazyRows_->widgetOf(items_.at(index)));
}

QList<LineStatisticWidget*> DataWidgetBase::statisticRows() const
{
    QList<LineStatisticWidget*> rows;
    for (QObject* item : items_)
        if (QWidget* row = lazyRows_->builtWidget(item))
            rows << static_cast<LineStatisticWidget*>(row);
    return rows;
}

void DataWidgetBase::updateStatistics()
{
    // Only built rows can be checked: a row never seen computes nothing.
    for (LineStatisticWidget* row : qAsConst(builtRows_))
        row->updateStatistics();
    refresh();
}

void DataWidgetBase::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // After the page got its geometry: the layouts settle on the next turn.
    scheduleStatisticsSizing();
}

void DataWidgetBase::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    // The splitter shares a new width out by the panes' old sizes: the column takes
    // what it leaves the data area again now, not when a row is next built.
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
    for (const LineStatisticWidget* row : builtRows_)
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
