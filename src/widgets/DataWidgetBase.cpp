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
    // A drag of the handle is the user's choice; the column stops following its rows.
    connect(splitter, &QSplitter::splitterMoved, this, [this] { statisticsSized_ = true; });

    auto* scroll = new QScrollArea(this);
    statisticsScroll_ = scroll;
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

void DataWidgetBase::scheduleStatisticsSizing()
{
    if (splitter_ && !statisticsSized_ && isVisible())
        QTimer::singleShot(0, this, &DataWidgetBase::sizeStatisticsColumn);
}

int DataWidgetBase::statisticsContentWidth() const
{
    if (!statisticsScroll_ || !statisticsScroll_->widget())
        return 0;
    return statisticsScroll_->widget()->sizeHint().width() + statisticsScroll_->verticalScrollBar()->sizeHint().width()
           + 2 * statisticsScroll_->frameWidth();
}

void DataWidgetBase::sizeStatisticsColumn()
{
    if (statisticsSized_ || !splitter_ || splitter_->count() < 2 || !isVisible())
        return;
    // Rows arrive with the first frames: until the user moves the handle the column
    // follows them. It takes its rows' width as far as the data area leaves room in
    // the window (up to half of it), and at least a quarter of the window, which
    // holds the check boxes and captions whole; past that the column scrolls.
    const int windowWidth = window()->width();
    const int dataNeeds = dataArea_ ? dataArea_->minimumSizeHint().width() : 0;
    const int room = qMax(windowWidth / 4, qMin(windowWidth / 2, windowWidth - dataNeeds - 40));
    const int wanted = qMin(statisticsContentWidth(), room);
    statisticsScroll_->setMinimumWidth(wanted);
    const int total = splitter_->width() - splitter_->handleWidth();
    splitter_->setSizes({wanted, qMax(0, total - wanted)});
}
