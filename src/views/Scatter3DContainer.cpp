#include "views/Scatter3DContainer.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QLabel>
#include <QSpinBox>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <QtDataVisualization/QValue3DAxis>

#include "foundation/ZIconsManager.h"
#include "model/ContainerItems.h"
#include "model/ResourceItems.h"
#include "views/Scatter3DResource.h"
#include "views/Z3DScatter.h"
#include "widgets/ZPopupShadowWindow.h"
#include "widgets/ZWidgetHelpers.h"

using namespace QtDataVisualization;
using Item = Scatter3DContainerItem;

Scatter3DContainer::Scatter3DContainer(Scatter3DContainerItem* item, QWidget* parent)
    : ChartContainer3D(item, parent), item3D_(item)
{
    // Each series is drawn in one call, not one per point: an installation's tracks
    // hold tens of thousands of points, drawn on the page's thread.
    if (graph())
        graph()->setOptimizationHints(QAbstract3DGraph::OptimizationStatic);
    auto* column = createSettingsPopup(tr("Plot settings"), settingsButton_, popup_);
    toolBar()->addWidget(settingsButton_);

    auto* rangeGrid = createRangeGrid(tr("Axis Min"), tr("Axis Max"));
    int row = 1;
    xMinBox_ = new QDoubleSpinBox();
    xMaxBox_ = new QDoubleSpinBox();
    yMinBox_ = new QDoubleSpinBox();
    yMaxBox_ = new QDoubleSpinBox();
    zMinBox_ = new QDoubleSpinBox();
    zMaxBox_ = new QDoubleSpinBox();
    addRangeRow(rangeGrid, row, tr("X"), Item::ColXMin, xMinBox_, Item::ColXMax, xMaxBox_);
    addRangeRow(rangeGrid, row, tr("Y"), Item::ColYMin, yMinBox_, Item::ColYMax, yMaxBox_);
    addRangeRow(rangeGrid, row, tr("Z"), Item::ColZMin, zMinBox_, Item::ColZMax, zMaxBox_);
    column->addLayout(rangeGrid);
    column->addWidget(createHLine());

    auto* countGrid = new QGridLayout();
    row = 0;
    xGridsBox_ = addCountRow(countGrid, row, tr("X Grids"), Item::ColXGrids);
    yGridsBox_ = addCountRow(countGrid, row, tr("Y Grids"), Item::ColYGrids);
    zGridsBox_ = addCountRow(countGrid, row, tr("Z Grids"), Item::ColZGrids);
    column->addLayout(countGrid);
    column->addWidget(createHLine());
    column->addLayout(new QGridLayout());

    trackLengthBox_ = new QSpinBox();
    trackLengthBox_->setRange(1, 1000000);
    trackLengthBox_->setPrefix(tr("All Track Length: "));
    trackLengthBox_->setSuffix(tr(" Points"));
    column->addWidget(trackLengthBox_);
    showMarkerBox_ = new QCheckBox(tr("Show All Series Marker"));
    showMarkerBox_->setChecked(true);
    showTrackBox_ = new QCheckBox(tr("Show All Series Track"));
    showTrackBox_->setChecked(true);
    column->addWidget(showMarkerBox_);
    column->addWidget(showTrackBox_);
    popup_->hide();

    connect(trackLengthBox_, &QSpinBox::editingFinished, this,
            [this] { item3D_->setData(Item::ColTrackLength, trackLengthBox_->value()); });
    auto forEachResource = [this](void (Scatter3DResource::*setter)(bool), bool on) {
        for (BaseResource* r : resources()) {
            auto* s = qobject_cast<Scatter3DResource*>(r);
            if (s && !s->item()->isFixedVisibility())
                (s->*setter)(on);
        }
    };
    connect(showMarkerBox_, &QCheckBox::clicked, this,
            [forEachResource](bool on) { forEachResource(&Scatter3DResource::setItemShowMarker, on); });
    connect(showTrackBox_, &QCheckBox::clicked, this,
            [forEachResource](bool on) { forEachResource(&Scatter3DResource::setItemShowScatterTrack, on); });
}

void Scatter3DContainer::addResource(BaseResource* resource)
{
    ChartContainer3D::addResource(resource);
    // A hidden graph draws nothing, yet each series in it holds its render data (some
    // 300 KB a node): a resource joins the graph once the graph is shown.
    auto* r = qobject_cast<Scatter3DResource*>(resource);
    if (r && graph() && isVisible())
        r->attachToGraph(graph());
}

void Scatter3DContainer::showEvent(QShowEvent* event)
{
    ChartContainer3D::showEvent(event);
    if (!graph())
        return;
    for (BaseResource* resource : resources())
        if (auto* r = qobject_cast<Scatter3DResource*>(resource))
            r->attachToGraph(graph());
}

void Scatter3DContainer::removeResource(BaseResource* resource)
{
    ChartContainer3D::removeResource(resource);
    auto* r = qobject_cast<Scatter3DResource*>(resource);
    if (r && graph() && r->graph() == graph())
        r->detachFromGraph();
}

void Scatter3DContainer::showRange(QDoubleSpinBox* minBox, QDoubleSpinBox* maxBox, float min, float max)
{
    // Bounds first, so that neither value gets clipped by the other's old end.
    maxBox->setMinimum(min);
    minBox->setMaximum(max);
    minBox->setValue(min);
    maxBox->setValue(max);
}

void Scatter3DContainer::handleItemDataChanged(int column)
{
    const Item::Data* r = item3D_->scatter3DRecord();
    Z3DScatter* g = graph();
    // Both ends from the item: a lone end past the other would drag it along.
    auto setRange = [](QValue3DAxis* axis, float a, float b) { axis->setRange(qMin(a, b), qMax(a, b)); };
    switch (column) {
    case Item::ColXMin:
    case Item::ColXMax:
        if (g)
            setRange(g->axisX(), r->XMin, r->XMax);
        showRange(xMinBox_, xMaxBox_, r->XMin, r->XMax);
        break;
    case Item::ColYMin:
    case Item::ColYMax:
        if (g)
            setRange(g->axisZ(), r->YMin, r->YMax);
        showRange(yMinBox_, yMaxBox_, r->YMin, r->YMax);
        break;
    case Item::ColZMin:
    case Item::ColZMax:
        if (g)
            setRange(g->axisY(), r->ZMin, r->ZMax);
        showRange(zMinBox_, zMaxBox_, r->ZMin, r->ZMax);
        break;
    case Item::ColXGrids:
        if (g)
            g->axisX()->setSegmentCount(r->XGrids);
        xGridsBox_->setValue(r->XGrids);
        break;
    case Item::ColYGrids:
        if (g)
            g->axisZ()->setSegmentCount(r->YGrids);
        yGridsBox_->setValue(r->YGrids);
        break;
    case Item::ColZGrids:
        if (g)
            g->axisY()->setSegmentCount(r->ZGrids);
        zGridsBox_->setValue(r->ZGrids);
        break;
    case Item::ColTrackLength:
        trackLengthBox_->setValue(r->TrackLength);
        break;
    default:
        ChartContainer3D::handleItemDataChanged(column);
        break;
    }
}
