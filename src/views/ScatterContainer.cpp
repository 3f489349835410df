#include "views/ScatterContainer.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QLabel>
#include <QSpinBox>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "foundation/UserPaths.h"
#include "foundation/ZIconsManager.h"
#include "foundation/ZLog.h"
#include "model/ContainerItems.h"
#include "model/ResourceItems.h"
#include "views/ScatterChartView.h"
#include "views/ScatterResource.h"
#include "views/ViewHooks.h"
#include "widgets/ZPopupShadowWindow.h"
#include "widgets/ZWidgetHelpers.h"

QT_CHARTS_USE_NAMESPACE

using Item = ScatterContainerItem;

ScatterContainer::ScatterContainer(ScatterContainerItem* item, QWidget* parent)
    : ChartContainer2D(item, parent,
                       [](QChart* chart, QWidget* viewParent) { return new ScatterChartView(chart, viewParent); })
    , scatterItem_(item)
    , scatterView_(static_cast<ScatterChartView*>(view()))
{
    auto* column = createSettingsPopup(tr("Plot settings"), settingsButton_, popup_);
    toolBar()->addWidget(settingsButton_);

    // Axis ranges.
    auto* rangeGrid = createRangeGrid(tr("Axis Min"), tr("Axis Max"));
    int row = 1;
    xMinBox_ = new QDoubleSpinBox();
    xMaxBox_ = new QDoubleSpinBox();
    yMinBox_ = new QDoubleSpinBox();
    yMaxBox_ = new QDoubleSpinBox();
    addRangeRow(rangeGrid, row, tr("X"), Item::ColXMin, xMinBox_, Item::ColXMax, xMaxBox_);
    addRangeRow(rangeGrid, row, tr("Y"), Item::ColYMin, yMinBox_, Item::ColYMax, yMaxBox_);
    column->addLayout(rangeGrid);
    column->addWidget(createHLine());

    // Grids.
    auto* countGrid = new QGridLayout();
    row = 0;
    xGridsBox_ = addCountRow(countGrid, row, tr("X Grids"), Item::ColXGrids);
    yGridsBox_ = addCountRow(countGrid, row, tr("Y Grids"), Item::ColYGrids);
    column->addLayout(countGrid);
    column->addWidget(createHLine());

    // The map: its extents sit at the edges of the picture button.
    auto* mapGrid = new QGridLayout();
    useMapBox_ = new QCheckBox(tr("Use Background Map"));
    mapButton_ = new QToolButton();
    mapButton_->setIcon(ZIconsManager::instance()->icon(38));
    mapButton_->setIconSize(QSize(200, 140));
    mapButton_->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    mapXMinBox_ = addMapSpinBox(tr("XMin:"), Item::ColMapXMin);
    mapXMaxBox_ = addMapSpinBox(tr("XMax:"), Item::ColMapXMax);
    mapYMinBox_ = addMapSpinBox(tr("YMin:"), Item::ColMapYMin);
    mapYMaxBox_ = addMapSpinBox(tr("YMax:"), Item::ColMapYMax);
    mapGrid->addWidget(useMapBox_, 0, 0, 1, 2);
    mapGrid->addWidget(mapYMaxBox_, 1, 0);
    mapGrid->addWidget(mapButton_, 1, 1, 3, 3);
    mapGrid->addWidget(mapYMinBox_, 3, 0);
    mapGrid->addWidget(mapXMinBox_, 4, 1);
    mapGrid->addWidget(mapXMaxBox_, 4, 3);
    column->addLayout(mapGrid);

    trackLengthBox_ = new QSpinBox();
    trackLengthBox_->setRange(1, 1000000);
    trackLengthBox_->setPrefix(tr("All Track Length: "));
    trackLengthBox_->setSuffix(tr(" Points"));
    column->addWidget(trackLengthBox_);

    showMarkerBox_ = new QCheckBox(tr("Show All Series Marker"));
    showMarkerBox_->setChecked(true);
    showLineTrackBox_ = new QCheckBox(tr("Show All Series Line Track"));
    showLineTrackBox_->setChecked(true);
    showScatterTrackBox_ = new QCheckBox(tr("Show All Series Scatter Track"));
    showScatterTrackBox_->setChecked(false);
    column->addWidget(showMarkerBox_);
    column->addWidget(showLineTrackBox_);
    column->addWidget(showScatterTrackBox_);
    popup_->hide();

    connect(mapButton_, &QToolButton::clicked, this, [this] { chooseMapFile(); });
    connect(useMapBox_, &QCheckBox::clicked, this, &ScatterContainer::handleUseMapClicked);
    connect(trackLengthBox_, &QSpinBox::editingFinished, this,
            [this] { scatterItem_->setData(Item::ColTrackLength, trackLengthBox_->value()); });
    connect(showMarkerBox_, &QCheckBox::clicked, this,
            [this](bool on) { forEachScatterResource(&ScatterResource::setItemShowMarker, on); });
    connect(showLineTrackBox_, &QCheckBox::clicked, this,
            [this](bool on) { forEachScatterResource(&ScatterResource::setItemShowLineTrack, on); });
    connect(showScatterTrackBox_, &QCheckBox::clicked, this,
            [this](bool on) { forEachScatterResource(&ScatterResource::setItemShowScatterTrack, on); });

    connect(axisX(), &QValueAxis::minChanged, this, [this](qreal v) { writeAxisEnd(Item::ColXMin, v); });
    connect(axisX(), &QValueAxis::maxChanged, this, [this](qreal v) { writeAxisEnd(Item::ColXMax, v); });
    connect(axisY(), &QValueAxis::minChanged, this, [this](qreal v) { writeAxisEnd(Item::ColYMin, v); });
    connect(axisY(), &QValueAxis::maxChanged, this, [this](qreal v) { writeAxisEnd(Item::ColYMax, v); });
}

template <typename Setter>
void ScatterContainer::forEachScatterResource(Setter setter, bool on)
{
    for (BaseResource* r : resources()) {
        auto* scatter = qobject_cast<ScatterResource*>(r);
        if (scatter && !scatter->item()->isFixedVisibility())
            (scatter->*setter)(on);
    }
}

QDoubleSpinBox* ScatterContainer::addMapSpinBox(const QString& prefix, int column)
{
    auto* box = new QDoubleSpinBox();
    box->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    box->setPrefix(prefix);
    box->setDecimals(2);
    box->setRange(-1000000.0, 1000000.0);
    connect(box, &QDoubleSpinBox::editingFinished, this, [this, box, column] { item()->setData(column, box->value()); });
    return box;
}

void ScatterContainer::writeAxisEnd(int column, double value)
{
    // Until the item has been shown, axis changes come from building the chart.
    if (!isInitialized())
        return;
    writingBack_ = true;
    scatterItem_->setData(column, value);
    writingBack_ = false;
}

bool ScatterContainer::chooseMapFile()
{
    const QString path = ViewHooks::getOpenFileName(this, tr("Open File"), pictureDir,
                                                    tr("image files (*.bmp *.jpg *.jpeg *.png)"));
    if (path.isEmpty())
        return false;
    if (mapXMinBox_->value() >= mapXMaxBox_->value() || mapYMinBox_->value() >= mapYMaxBox_->value()) {
        qWarning().noquote().nospace() << logTimePrefix() << "map parameter is invalid,use default instead";
        const double xMin = xMinBox_->value(), xMax = xMaxBox_->value();
        const double yMin = yMinBox_->value(), yMax = yMaxBox_->value();
        // The boxes bound each other: open both ends before moving them.
        mapXMaxBox_->setMinimum(-1000000.0);
        mapXMinBox_->setMaximum(1000000.0);
        mapYMaxBox_->setMinimum(-1000000.0);
        mapYMinBox_->setMaximum(1000000.0);
        mapXMinBox_->setValue(xMin);
        mapXMaxBox_->setValue(xMax);
        mapYMinBox_->setValue(yMin);
        mapYMaxBox_->setValue(yMax);
        scatterItem_->setData(Item::ColMapXMin, xMin);
        scatterItem_->setData(Item::ColMapXMax, xMax);
        scatterItem_->setData(Item::ColMapYMin, yMin);
        scatterItem_->setData(Item::ColMapYMax, yMax);
    }
    scatterItem_->setData(Item::ColMapFilePath, path);
    return true;
}

void ScatterContainer::setScreenshotMode(bool on)
{
    ChartContainer2D::setScreenshotMode(on);
    // The map is the plot area's background: hiding that would leave it out of
    // the picture.
    if (on && scatterView_->useMap())
        chart()->setPlotAreaBackgroundVisible(true);
}

void ScatterContainer::handleUseMapClicked(bool checked)
{
    bool value = checked;
    if (checked && scatterItem_->scatterRecord()->MapFilePath.isEmpty() && !chooseMapFile()) {
        value = scatterItem_->scatterRecord()->UseMap;
        useMapBox_->setChecked(value);
    }
    scatterItem_->setData(Item::ColUseMap, value);
}

void ScatterContainer::showAxisRange(QDoubleSpinBox* minBox, QDoubleSpinBox* maxBox, double min, double max)
{
    // Each box bounds the other; bounds first, so that neither value gets clipped
    // by the other's old end.
    maxBox->setMinimum(min);
    minBox->setMaximum(max);
    minBox->setValue(min);
    maxBox->setValue(max);
}

void ScatterContainer::applyMapExtent(int column)
{
    const Item::Data* r = scatterItem_->scatterRecord();
    ScatterChartView* v = scatterView_;
    double value = 0.0;
    double current = 0.0;
    switch (column) {
    case Item::ColMapXMin:
        value = r->MapXMin;
        current = v->mapXMin();
        mapXMinBox_->setValue(value);
        mapXMaxBox_->setMinimum(value);
        if (!qFuzzyCompare(value, current))
            v->setMapXMin(value);
        break;
    case Item::ColMapXMax:
        value = r->MapXMax;
        current = v->mapXMax();
        mapXMaxBox_->setValue(value);
        mapXMinBox_->setMaximum(value);
        if (!qFuzzyCompare(value, current))
            v->setMapXMax(value);
        break;
    case Item::ColMapYMin:
        value = r->MapYMin;
        current = v->mapYMin();
        mapYMinBox_->setValue(value);
        mapYMaxBox_->setMinimum(value);
        if (!qFuzzyCompare(value, current))
            v->setMapYMin(value);
        break;
    case Item::ColMapYMax:
        value = r->MapYMax;
        current = v->mapYMax();
        mapYMaxBox_->setValue(value);
        mapYMinBox_->setMaximum(value);
        if (!qFuzzyCompare(value, current))
            v->setMapYMax(value);
        break;
    default:
        return;
    }
    if (!qFuzzyCompare(value, current))
        v->mapTimer()->start();
}

void ScatterContainer::handleItemDataChanged(int column)
{
    const Item::Data* r = scatterItem_->scatterRecord();
    switch (column) {
    case Item::ColXMin:
    case Item::ColXMax:
        showAxisRange(xMinBox_, xMaxBox_, r->XMin, r->XMax);
        // Both ends from the item: a lone end past the other would drag it along
        // and write it back over the stored value.
        if (!writingBack_)
            axisX()->setRange(qMin(r->XMin, r->XMax), qMax(r->XMin, r->XMax));
        break;
    case Item::ColYMin:
    case Item::ColYMax:
        showAxisRange(yMinBox_, yMaxBox_, r->YMin, r->YMax);
        if (!writingBack_)
            axisY()->setRange(qMin(r->YMin, r->YMax), qMax(r->YMin, r->YMax));
        break;
    case Item::ColXGrids:
        xGridsBox_->setValue(r->XGrids);
        axisX()->setTickCount(r->XGrids + 1);
        break;
    case Item::ColYGrids:
        yGridsBox_->setValue(r->YGrids);
        axisY()->setTickCount(r->YGrids + 1);
        break;
    case Item::ColEqualRatio:
        // The view always keeps equal scales.
        break;
    case Item::ColUseMap:
        useMapBox_->setChecked(r->UseMap);
        mapButton_->setEnabled(r->UseMap);
        scatterView_->setUseMap(r->UseMap);
        break;
    case Item::ColMapXMin:
    case Item::ColMapXMax:
    case Item::ColMapYMin:
    case Item::ColMapYMax:
        applyMapExtent(column);
        break;
    case Item::ColMapFilePath:
        scatterView_->setMapFile(r->MapFilePath);
        break;
    case Item::ColTrackLength:
        trackLengthBox_->setValue(r->TrackLength);
        break;
    default:
        ChartContainer2D::handleItemDataChanged(column);
        break;
    }
}
