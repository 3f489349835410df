#include "products/parvo/ParvoSurfaceGraph.h"

#include "foundation/ZColorSchemeManager.h"
#include "foundation/ZLog.h"
#include "views/GlContextCheck.h"
#include "widgets/ZFlowLayout.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLinearGradient>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <QtDataVisualization/Q3DCamera>
#include <QtDataVisualization/Q3DScene>
#include <QtDataVisualization/Q3DSurface>
#include <QtDataVisualization/Q3DTheme>
#include <QtDataVisualization/QSurface3DSeries>
#include <QtDataVisualization/QValue3DAxis>

#include <cmath>
#include <limits>

using namespace QtDataVisualization;

namespace Parvo {

namespace {
constexpr double kLowest = -std::numeric_limits<double>::max();
constexpr double kHighest = std::numeric_limits<double>::max();
constexpr int kBackgroundNormal = 4;
// Between a caption and its value, as in every captioned value label.
constexpr int kCaptionSpacing = 3;
} // namespace

const QStringList& SurfaceGraph::presetNames()
{
    static const QStringList names{
        "FrontLow",      "Front",          "FrontHigh",         "LeftLow",           "Left",
        "LeftHigh",      "RightLow",       "Right",             "RightHigh",         "BehindLow",
        "Behind",        "BehindHigh",     "IsometricLeft",     "IsometricLeftHigh", "IsometricRight",
        "IsometricRightHigh", "DirectlyAbove", "DirectlyAboveCW45", "DirectlyAboveCCW45", "FrontBelow",
        "LeftBelow",     "RightBelow",     "BehindBelow",       "DirectlyBelow"};
    return names;
}

SurfaceGraph::SurfaceGraph(int valueCount, double yMin, double yMax, const QString& title, QWidget* parent)
    : QWidget(parent)
    , side_(static_cast<int>(std::sqrt(static_cast<double>(qMax(0, valueCount)))))
    , rangeMin_(yMin)
    , rangeMax_(yMax)
{
    auto* box = new QVBoxLayout(this);
    auto* upper = new QHBoxLayout;
    // The controls and the mean in one row, wrapping where the surface is narrow.
    auto* lower = new ZFlowLayout(0, -1, -1);
    controls_ = lower;
    box->addLayout(upper, 1);
    box->addLayout(lower);

    titleLabel_ = new QLabel(title, this);
    yMinSpin_ = new QDoubleSpinBox(this);
    yMinSpin_->setRange(kLowest, yMax);
    yMinSpin_->setValue(yMin);
    yMaxSpin_ = new QDoubleSpinBox(this);
    yMaxSpin_->setRange(yMin, kHighest);
    yMaxSpin_->setValue(yMax);
    // The bounds may be any double: without a width of their own the boxes would
    // be sized for the longest such number and crowd out the page's other panes.
    for (QDoubleSpinBox* spin : {yMinSpin_, yMaxSpin_})
        spin->setFixedWidth(fontMetrics().horizontalAdvance(QStringLiteral("-00000.00")) + 24);
    // The title names the range beside it: they wrap as one.
    lower->addGroup({titleLabel_, yMinSpin_, yMaxSpin_}, lower->horizontalSpacing());
    // Each bound limits the other, so the range never turns round.
    connect(yMinSpin_, &QDoubleSpinBox::editingFinished, this, [this] {
        yMaxSpin_->setRange(yMinSpin_->value(), kHighest);
        applyRange();
    });
    connect(yMaxSpin_, &QDoubleSpinBox::editingFinished, this, [this] {
        yMinSpin_->setRange(kLowest, yMaxSpin_->value());
        applyRange();
    });

    meanBar_ = new QProgressBar(this);
    meanBar_->setOrientation(Qt::Vertical);
    meanBar_->setRange(0, kMeanBarMaximum);
    meanBar_->setValue(0);
    meanBar_->setTextVisible(false);
    meanLabel_ = new QLabel(this);

    if (GlContextCheck::canCreate3DContext())
        buildGraph();
    if (!graph_) {
        zCritical() << "Couldn't initialize the OpenGL context.";
    } else {
        QWidget* container = QWidget::createWindowContainer(graph_, this);
        container->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        container->setMinimumSize(120, 120);
        upper->addWidget(container, 1);

        presetCombo_ = new QComboBox(this);
        // Every preset's name whole, whichever is chosen.
        presetCombo_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
        for (int code = 0; code < presetNames().size(); ++code)
            presetCombo_->addItem(presetNames().at(code), code);
        connect(presetCombo_, &QComboBox::textActivated, this, &SurfaceGraph::applyPreset);
        connect(presetCombo_, &QComboBox::currentTextChanged, this, &SurfaceGraph::applyPreset);
        changePreset_ = new QPushButton(tr("Change Preset"), this);
        // A style sheet's minimum width stands in for the text's width when the button
        // is sized: give it the text's own.
        changePreset_->setStyleSheet(QStringLiteral("QPushButton { min-width: %1px; }")
                                         .arg(changePreset_->fontMetrics().horizontalAdvance(changePreset_->text())));
        changePreset_->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
        connect(changePreset_, &QPushButton::clicked, this, [this] {
            presetCombo_->setCurrentIndex((presetCombo_->currentIndex() + 1) % presetCombo_->count());
        });
        lower->addWidget(presetCombo_);
        lower->addWidget(changePreset_);
        presetCombo_->setCurrentText(presetNames().at(kStartPreset));
    }

    auto* barBox = new QVBoxLayout;
    barBox->addWidget(meanBar_);
    upper->addLayout(barBox);
    // Room for a mean of six significant digits, so that the row keeps its place
    // while the mean changes.
    meanLabel_->setMinimumWidth(meanLabel_->fontMetrics().horizontalAdvance(QStringLiteral("-0.000000e+00")));
    lower->addGroup({new QLabel(tr("Mean"), this), meanLabel_}, kCaptionSpacing);
}

void SurfaceGraph::buildGraph()
{
    auto* graph = new Q3DSurface();
    if (!graph->hasContext()) {
        delete graph;
        return;
    }
    graph_ = graph;
    graph_->setFlipHorizontalGrid(true);

    Q3DTheme* theme = graph_->activeTheme();
    theme->setType(Q3DTheme::ThemeQt);
    theme->setLabelBackgroundEnabled(false);
    theme->setLabelBorderEnabled(false);
    theme->setBackgroundEnabled(false);
    theme->setGridEnabled(false);
    theme->setWindowColor(ZColorSchemeManager::instance()->color(kBackgroundNormal));

    const float last = static_cast<float>(qMax(0, side_ - 1));
    graph_->axisX()->setTitle(QStringLiteral("X"));
    graph_->axisZ()->setTitle(QStringLiteral("Y")); // the rows of the zone grid
    for (QValue3DAxis* axis : {graph_->axisX(), graph_->axisZ()}) {
        axis->setSegmentCount(qMax(1, side_ - 1));
        axis->setRange(0.0f, last > 0.0f ? last : 1.0f);
        axis->setTitleVisible(true);
    }
    graph_->axisY()->setTitleVisible(true);
    graph_->axisY()->setRange(static_cast<float>(rangeMin_), static_cast<float>(rangeMax_));
    graph_->axisX()->setLabelAutoRotation(30.0f);
    graph_->axisZ()->setLabelAutoRotation(90.0f);
    graph_->axisY()->setLabelAutoRotation(90.0f);

    series_ = new QSurface3DSeries(new QSurfaceDataProxy);
    series_->setItemLabelFormat(QStringLiteral("(@xLabel, @zLabel): @yLabel"));
    series_->setDrawMode(QSurface3DSeries::DrawSurfaceAndWireframe);
    series_->setFlatShadingEnabled(true);
    QLinearGradient gradient;
    gradient.setColorAt(0.0, Qt::red);
    gradient.setColorAt(0.33, Qt::yellow);
    gradient.setColorAt(0.67, Qt::green);
    gradient.setColorAt(1.0, Qt::blue);
    series_->setBaseGradient(gradient);
    series_->setColorStyle(Q3DTheme::ColorStyleObjectGradient);
    graph_->addSeries(series_);

    array_ = new QSurfaceDataArray;
    array_->reserve(side_);
    for (int r = 0; r < side_; ++r)
        array_->append(new QSurfaceDataRow(side_));

    graph_->scene()->activeCamera()->setCameraPreset(Q3DCamera::CameraPreset(kStartPreset));
}

SurfaceGraph::~SurfaceGraph()
{
    if (graph_ && series_) {
        // The series leaves the graph and goes with its proxy, which owns the
        // array once it was handed over.
        graph_->removeSeries(series_);
        delete series_;
        series_ = nullptr;
    }
    if (!arrayHandedOver_ && array_) {
        qDeleteAll(*array_);
        delete array_;
    }
    array_ = nullptr;
    // The graph belongs to its window container, deleted with this widget.
}

int SurfaceGraph::controlsLineWidth() const
{
    const QMargins m = layout()->contentsMargins();
    return controls_->lineWidth() + m.left() + m.right();
}

int SurfaceGraph::cameraPreset() const
{
    return graph_ ? int(graph_->scene()->activeCamera()->cameraPreset()) : -1;
}

void SurfaceGraph::applyRange()
{
    rangeMin_ = yMinSpin_->value();
    rangeMax_ = yMaxSpin_->value();
    if (graph_)
        graph_->axisY()->setRange(static_cast<float>(rangeMin_), static_cast<float>(rangeMax_));
}

void SurfaceGraph::applyPreset(const QString& name)
{
    if (!graph_)
        return;
    const int code = presetNames().indexOf(name);
    graph_->scene()->activeCamera()->setCameraPreset(Q3DCamera::CameraPreset(code < 0 ? 0 : code));
}

void SurfaceGraph::setData(const QVector<QVector<float>>& matrix)
{
    if (side_ <= 0 || matrix.size() < side_)
        return;
    for (int r = 0; r < side_; ++r)
        if (matrix[r].size() < side_)
            return;
    double sum = 0.0;
    for (int r = 0; r < side_; ++r) {
        QSurfaceDataRow* row = array_ ? array_->at(r) : nullptr;
        for (int c = 0; c < side_; ++c) {
            const float v = matrix[r][c];
            if (row)
                (*row)[c].setPosition(QVector3D(float(c), v, float(r)));
            sum += static_cast<double>(v);
        }
    }
    const double mean = sum / double(side_ * side_);
    meanLabel_->setNum(mean);

    // Without a graph there is no axis range to measure the mean against.
    if (graph_) {
        const double width = rangeMax_ - rangeMin_;
        if (width != 0.0) {
            const double clamped = mean < rangeMin_ ? rangeMin_ : (mean > rangeMax_ ? rangeMax_ : mean);
            const double fraction = (clamped - rangeMin_) / width;
            meanBar_->setValue(static_cast<int>(kMeanBarMaximum * fraction));
        }
        // The same array each time: the proxy keeps it and only redraws.
        series_->dataProxy()->resetArray(array_);
        arrayHandedOver_ = true;
    }
}

} // namespace Parvo
