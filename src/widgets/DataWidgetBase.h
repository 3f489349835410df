#pragma once

#include <QList>
#include <QWidget>

class LineResourceCollector;
class LineResourceItem;
class LineStatisticWidget;
class QResizeEvent;
class QShowEvent;
class QSplitter;
class QVBoxLayout;

// Base of every product's data page. Built with a collector, the page is a splitter
// whose first pane lists one statistics row per line item of the collector (rows for
// items created later are appended as they appear) and whose second pane, dataArea(),
// is where the product builds its own content. Built without one, the page is a bare
// widget that the product lays out directly.
class DataWidgetBase : public QWidget
{
    Q_OBJECT
public:
    explicit DataWidgetBase(LineResourceCollector* collector, QWidget* parent = nullptr);

    void addLineStatistic(LineResourceItem* item);
    // Recomputes every statistics row, then redraws the page.
    void updateStatistics();
    // Redraws the page from the newest data.
    virtual void refresh() = 0;

    QWidget* dataArea() const { return dataArea_; }
    const QList<LineStatisticWidget*>& statisticRows() const { return rows_; }
    QVBoxLayout* statisticsLayout() const { return statisticsLayout_; }

protected:
    // Pages that opt in get, once, when first laid out, a statistics pane as wide as
    // its rows (at most half the page) and the rest for their own content.
    void setFitStatisticsPaneWhenShown(bool on) { fitWhenShown_ = on; }
    void showEvent(QShowEvent* event) override;
    // A page first shown before its container was laid out is fitted when it gets
    // its real size.
    void resizeEvent(QResizeEvent* event) override;

private:
    void fitStatisticsPane();

    QSplitter* splitter_ = nullptr;
    bool fitWhenShown_ = false;
    bool statisticsPaneFitted_ = false;
    QList<LineStatisticWidget*> rows_;
    QWidget* dataArea_ = nullptr;
    QVBoxLayout* statisticsLayout_ = nullptr;
};
