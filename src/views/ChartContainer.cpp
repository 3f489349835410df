#include "views/ChartContainer.h"

#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QLabel>
#include <QScrollArea>
#include <QSpinBox>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <limits>

#include "foundation/ZIconsManager.h"
#include "model/ContainerItems.h"
#include "model/ResourceItems.h"
#include "views/BaseResource.h"
#include "views/ChartContainerSplitter.h"
#include "views/ChartResourceSettingWidget.h"
#include "widgets/ZLazySlots.h"
#include "widgets/ZPopupShadowWindow.h"

ChartContainer::ChartContainer(ChartContainerItem* item, QWidget* parent) : BaseContainer(item, parent), chartItem_(item)
{
    seriesArea_ = new QScrollArea(this);
    seriesArea_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    seriesArea_->setStyleSheet(QStringLiteral("QScrollArea{border: 0px}"));
    seriesArea_->setWidgetResizable(true);
    auto* seriesWidget = new QWidget(seriesArea_);
    seriesLayout_ = new QVBoxLayout(seriesWidget);
    seriesLayout_->setContentsMargins(0, 0, 0, 0);
    seriesLayout_->setSpacing(0);
    // Rows stay packed at the top; series widgets are inserted above this stretch.
    seriesLayout_->addStretch(1);
    seriesArea_->setWidget(seriesWidget);
    // A page may chart thousands of items: a row is built when it comes into view.
    seriesRows_ = new ZLazySlots(
        seriesWidget, seriesLayout_,
        [](QObject* resource) -> QWidget* { return static_cast<ChartResource*>(resource)->settingWidget(); },
        [](QWidget* sample, int) { return QSize(0, sample->sizeHint().height()); });

    auto* chartArea = new QWidget(this);
    chartLayout_ = new QVBoxLayout(chartArea);
    chartLayout_->setContentsMargins(0, 0, 0, 0);
    chartLayout_->setSpacing(0);

    splitter_ = new ChartContainerSplitter(Qt::Horizontal, this);
    splitter_->addWidget(seriesArea_);
    splitter_->addWidget(chartArea);
    splitter_->setStretchFactor(1, 1);
    contentLayout()->addWidget(splitter_);

    selectAllButton_ = new QToolButton(toolBar());
    selectAllButton_->setToolTip(tr("Select All Series"));
    selectAllButton_->setCheckable(true);
    selectAllButton_->setChecked(true);
    selectAllButton_->setIcon(ZIconsManager::instance()->icon(102));
    toolBar()->addWidget(selectAllButton_);

    connect(splitter_, &ChartContainerSplitter::moveFinished, this,
            [this](int width) { chartItem_->setData(BaseContainerItem::ColSeriesWidgetWidth, width); });
    connect(selectAllButton_, &QToolButton::clicked, this, &ChartContainer::selectAllSeries);
}

ChartContainer::~ChartContainer()
{
    // Resources outlive containers; their setting widgets must not die with the panel.
    for (BaseResource* r : resources())
        releaseRow(r);
}

void ChartContainer::releaseRow(BaseResource* resource)
{
    QWidget* row = seriesRows_->take(resource);
    if (!row)
        return;
    row->hide();
    row->setParent(nullptr);
}

QWidget* ChartContainer::seriesRow(BaseResource* resource)
{
    return seriesRows_->widgetOf(resource);
}

void ChartContainer::handleItemDataChanged(int column)
{
    if (column < BaseContainerItem::ColSeriesWidgetWidth)
        BaseContainer::handleItemDataChanged(column);
    else if (column == BaseContainerItem::ColSeriesWidgetWidth)
        seriesArea_->setFixedWidth(chartItem_->chartRecord()->SeriesWidgetWidth);
}

void ChartContainer::addResource(BaseResource* resource)
{
    auto* chart = qobject_cast<ChartResource*>(resource);
    if (!chart || chart->item()->isFixedVisibility() || seriesRows_->contains(chart))
        return;
    seriesLayout_->insertItem(seriesLayout_->count() - 1, seriesRows_->makeSlot(chart));
}

void ChartContainer::removeResource(BaseResource* resource)
{
    // Checked by presence rather than by the flag, which may have changed since.
    releaseRow(resource);
}

void ChartContainer::selectAllSeries(bool checked)
{
    for (BaseResource* r : resources()) {
        if (r && r->item() && !r->item()->isFixedVisibility())
            r->setItemVisible(checked);
    }
}

void ChartContainer::addRangeRow(QGridLayout* grid, int& row, const QString& label, int minColumn,
                                 QDoubleSpinBox* minBox, int maxColumn, QDoubleSpinBox* maxBox)
{
    const double lim = double(std::numeric_limits<float>::max());
    for (QDoubleSpinBox* box : {minBox, maxBox})
        box->setRange(-lim, lim);
    connect(minBox, &QDoubleSpinBox::editingFinished, this,
            [this, minBox, minColumn] { item()->setData(minColumn, minBox->value()); });
    connect(maxBox, &QDoubleSpinBox::editingFinished, this,
            [this, maxBox, maxColumn] { item()->setData(maxColumn, maxBox->value()); });
    auto* text = new QLabel(label);
    text->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    grid->addWidget(text, row, 0);
    grid->addWidget(minBox, row, 1);
    grid->addWidget(maxBox, row, 2);
    ++row;
}

QSpinBox* ChartContainer::addCountRow(QGridLayout* grid, int& row, const QString& label, int column)
{
    auto* box = new QSpinBox();
    box->setRange(1, 1000);
    connect(box, &QSpinBox::editingFinished, this, [this, box, column] { item()->setData(column, box->value()); });
    grid->addWidget(new QLabel(label), row, 0);
    grid->addWidget(box, row, 1);
    ++row;
    return box;
}

QVBoxLayout* ChartContainer::createSettingsPopup(const QString& toolTip, QToolButton*& button,
                                                 ZPopupShadowWindow*& popup)
{
    button = new QToolButton(toolBar());
    button->setIcon(ZIconsManager::instance()->icon(72));
    button->setToolTip(toolTip);

    popup = new ZPopupShadowWindow(this);
    popup->setMaximumWidth(200);
    auto* column = new QVBoxLayout();
    popup->contentLayout()->addLayout(column);
    connect(button, &QToolButton::clicked, popup, &ZPopupShadowWindow::popupAtCursor);
    return column;
}

QGridLayout* ChartContainer::createRangeGrid(const QString& minHeader, const QString& maxHeader)
{
    auto* grid = new QGridLayout();
    grid->addWidget(new QLabel(minHeader), 0, 1);
    grid->addWidget(new QLabel(maxHeader), 0, 2);
    return grid;
}
