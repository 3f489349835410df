#pragma once

#include <QList>
#include <QWidget>

class LineResourceCollector;
class LineResourceItem;
class LineStatisticWidget;
class QScrollArea;
class QSplitter;
class QVBoxLayout;
class ZLazySlots;

// Base of every product's data page. Built with a collector, the page is a splitter
// whose first pane lists one statistics row per line item of the collector (rows for
// items created later are appended as they appear; a row is built when it first
// comes into view or is asked for) and whose second pane, dataArea(),
// is where the product builds its own content. Built without one, the page is a bare
// widget that the product lays out directly.
class DataWidgetBase : public QWidget
{
    Q_OBJECT
public:
    explicit DataWidgetBase(LineResourceCollector* collector, QWidget* parent = nullptr);

    void addLineStatistic(LineResourceItem* item);
    // Takes the row of an item the collector gave up (its address alone is used).
    void removeLineStatistic(LineResourceItem* item);
    // Recomputes every statistics row, then redraws the page.
    void updateStatistics();
    // Redraws the page from the newest data.
    virtual void refresh() = 0;

    QWidget* dataArea() const { return dataArea_; }
    // The number of statistics rows, built or not.
    int statisticCount() const { return items_.size(); }
    // The row of the index-th item, built now if it is not yet (null past the end
    // or once its unbuilt item is gone).
    LineStatisticWidget* statisticRow(int index);
    // The rows built so far, in the order of their items.
    QList<LineStatisticWidget*> statisticRows() const;
    QVBoxLayout* statisticsLayout() const { return statisticsLayout_; }
    // The splitter between the statistics column and the data area (null without one).
    QSplitter* statisticsSplitter() const { return splitter_; }

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    // The width the page's own content would like (its values side by side); the
    // statistics column leaves it that much room where it can. Below its minimum
    // the data area is never squeezed.
    void setDataWidthWanted(int width);

private:
    // Until the user moves the handle: the data area gets the room its values want,
    // the statistics column the rest, as far as its rows want it and never less
    // than its widest check box or figure (its rows wrap, the column scrolls).
    void sizeStatisticsColumn();
    void scheduleStatisticsSizing();
    int statisticsMinimumWidth() const;
    int statisticsLineWidth() const;

    LineStatisticWidget* buildRow(LineResourceItem* item);
    // Gives every row's check box at least width.
    void widenLead(int width);

    QList<QObject*> items_; // as added; an address stays when its item is gone
    QList<LineStatisticWidget*> builtRows_; // in the order built: every refresh goes over them
    ZLazySlots* lazyRows_ = nullptr;
    QSplitter* splitter_ = nullptr;
    QScrollArea* statisticsScroll_ = nullptr;
    bool statisticsSized_ = false;
    bool sizingScheduled_ = false;
    int leadWidth_ = 0;
    int dataWidthWanted_ = 0;
    QWidget* dataArea_ = nullptr;
    QVBoxLayout* statisticsLayout_ = nullptr;
};
