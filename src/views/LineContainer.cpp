#include "views/LineContainer.h"

#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QSpinBox>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "foundation/ZIconsManager.h"
#include "model/ContainerItems.h"
#include "views/ChartView2D.h"
#include "widgets/ZPopupShadowWindow.h"
#include "widgets/ZWidgetHelpers.h"

QT_CHARTS_USE_NAMESPACE

LineContainer::LineContainer(LineContainerItem* item, QWidget* parent) : ChartContainer2D(item, parent), lineItem_(item)
{
    zoomButton_ = new QToolButton(toolBar());
    zoomButton_->setCheckable(true);
    zoomButton_->setIcon(ZIconsManager::instance()->icon(108));
    zoomButton_->setToolTip(tr("Zoom View Mode"));

    auto* column = createSettingsPopup(tr("Plot settings"), settingsButton_, popup_);

    pointsBox_ = new QSpinBox(toolBar());
    pointsBox_->setKeyboardTracking(false);
    pointsBox_->setPrefix(tr("Points") + QStringLiteral("  "));
    pointsBox_->setRange(2, 1000000000);
    pointsBox_->setSingleStep(100);

    toolBar()->addWidget(zoomButton_);
    toolBar()->addWidget(settingsButton_);
    toolBar()->addWidget(pointsBox_);

    auto* rangeGrid = createRangeGrid(tr("Axis Min"), tr("Axis Max"));
    int row = 1;
    yMinBox_ = new QDoubleSpinBox();
    yMaxBox_ = new QDoubleSpinBox();
    addRangeRow(rangeGrid, row, tr("Y"), LineContainerItem::ColYMin, yMinBox_, LineContainerItem::ColYMax, yMaxBox_);
    column->addLayout(rangeGrid);
    column->addWidget(createHLine());
    auto* countGrid = new QGridLayout();
    row = 0;
    xGridsBox_ = addCountRow(countGrid, row, tr("X Grids"), LineContainerItem::ColXGrids);
    yGridsBox_ = addCountRow(countGrid, row, tr("Y Grids"), LineContainerItem::ColYGrids);
    column->addLayout(countGrid);
    popup_->hide();

    connect(zoomButton_, &QToolButton::toggled, this, &LineContainer::setZoomMode);
    emit zoomButton_->toggled(zoomButton_->isChecked());
    connect(pointsBox_, QOverload<int>::of(&QSpinBox::valueChanged), this,
            [this](int points) { lineItem_->setData(LineContainerItem::ColPoints, points); });
    // A rubber-band zoom is stored in the item. Until the item has been shown,
    // axis changes come from building the chart, not from the user.
    connect(axisY(), &QValueAxis::minChanged, this, [this](qreal min) {
        if (isInitialized())
            lineItem_->setData(LineContainerItem::ColYMin, double(min));
    });
    connect(axisY(), &QValueAxis::maxChanged, this, [this](qreal max) {
        if (isInitialized())
            lineItem_->setData(LineContainerItem::ColYMax, double(max));
    });
}

void LineContainer::setZoomMode(bool zoomView)
{
    if (zoomView) {
        view()->setRubberBand(QChartView::RectangleRubberBand);
    } else {
        view()->setRubberBand(QChartView::VerticalRubberBand);
        axisX()->setRange(0, lineItem_->lineRecord()->Points);
    }
}

void LineContainer::handleItemDataChanged(int column)
{
    const LineContainerItem::Data* r = lineItem_->lineRecord();
    switch (column) {
    case LineContainerItem::ColPoints:
        pointsBox_->setValue(r->Points);
        axisX()->setRange(0, r->Points);
        break;
    case LineContainerItem::ColYMin:
        yMinBox_->setValue(r->YMin);
        yMaxBox_->setMinimum(r->YMin);
        // Both ends from the item: a lone setMin past the old maximum would drag
        // the maximum along and write it back over the stored YMax.
        axisY()->setRange(r->YMin, qMax(r->YMin, r->YMax));
        break;
    case LineContainerItem::ColYMax:
        yMaxBox_->setValue(r->YMax);
        yMinBox_->setMaximum(r->YMax);
        axisY()->setRange(qMin(r->YMin, r->YMax), r->YMax);
        break;
    case LineContainerItem::ColXGrids:
        xGridsBox_->setValue(r->XGrids);
        axisX()->setTickCount(r->XGrids + 1);
        break;
    case LineContainerItem::ColYGrids:
        yGridsBox_->setValue(r->YGrids);
        axisY()->setTickCount(r->YGrids + 1);
        break;
    default:
        ChartContainer2D::handleItemDataChanged(column);
        break;
    }
}
