#pragma once

#include "views/BaseContainer.h"

class ChartContainerItem;
class ChartContainerSplitter;
class QScrollArea;
class QGridLayout;
class QDoubleSpinBox;
class QSpinBox;
class ZPopupShadowWindow;
class ZLazySlots;

// A container with a series panel (one setting widget per series the user may
// hide) beside the chart area; the panel's width is stored in the item.
class ChartContainer : public BaseContainer
{
    Q_OBJECT
public:
    explicit ChartContainer(ChartContainerItem* item, QWidget* parent = nullptr);
    // Hands the setting widgets of resources still inside back to them.
    ~ChartContainer() override;

    ChartContainerItem* chartItem() const { return chartItem_; }
    QScrollArea* seriesArea() const { return seriesArea_; }
    ChartContainerSplitter* splitter() const { return splitter_; }
    QToolButton* selectAllButton() const { return selectAllButton_; }
    QVBoxLayout* seriesLayout() const { return seriesLayout_; }
    // The panel row of resource, built now if it is not yet; null when the resource
    // has no row in this panel.
    QWidget* seriesRow(BaseResource* resource);

    void addResource(BaseResource* resource) override;
    void removeResource(BaseResource* resource) override;
    // Switches the chart's look for a picture: true before the grab, false after.
    virtual void setScreenshotMode(bool on) = 0;

    // Writes checked into "visible" of every resource the user may hide.
    void selectAllSeries(bool checked);

public slots:
    void handleItemDataChanged(int column) override;

protected:
    QVBoxLayout* chartLayout() const { return chartLayout_; }
    // A settings tool button (the caller puts it on the tool bar) and the pop-up it
    // opens at the cursor; returns the pop-up's column layout. Texts come translated
    // from the caller.
    QVBoxLayout* createSettingsPopup(const QString& toolTip, QToolButton*& button, ZPopupShadowWindow*& popup);
    // A grid for range rows, its first row heading the min and max columns.
    QGridLayout* createRangeGrid(const QString& minHeader, const QString& maxHeader);
    // A "label  min  max" row of a settings pop-up; both boxes write their
    // column of the item when editing finishes.
    void addRangeRow(QGridLayout* grid, int& row, const QString& label, int minColumn, QDoubleSpinBox* minBox,
                     int maxColumn, QDoubleSpinBox* maxBox);
    // A "label  count" row (1 to 1000).
    QSpinBox* addCountRow(QGridLayout* grid, int& row, const QString& label, int column);

private:
    // Takes resource's row (or its slot) out of the panel; the resource keeps its widget.
    void releaseRow(BaseResource* resource);

    ChartContainerItem* chartItem_;
    QVBoxLayout* seriesLayout_;
    ZLazySlots* seriesRows_; // rows built as they come into view
    QVBoxLayout* chartLayout_;
    QScrollArea* seriesArea_;
    ChartContainerSplitter* splitter_;
    QToolButton* selectAllButton_;
};
