#include "products/trelvan/tools/DopVisualization.h"

#include "foundation/ZIconsManager.h"
#include "foundation/ZLog.h"
#include "views/GlContextCheck.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScreen>
#include <QSettings>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>
#include <QtDataVisualization/Q3DSurface>
#include <QtDataVisualization/QSurface3DSeries>
#include <QtDataVisualization/QValue3DAxis>

#include <cmath>
#include <limits>

using namespace QtDataVisualization;

namespace Trelvan {

const char* const DopVisualization::kGroup = "DopVisualization";

namespace {

constexpr double kHighest = std::numeric_limits<double>::max();
constexpr int kAutoIcon = 3;

QString key(const char* suffix)
{
    return QLatin1String(DopVisualization::kGroup) + QLatin1String(suffix);
}

// Equal when |a − b| · 1e12 ≤ min(|a|, |b|).
bool differs(double a, double b)
{
    return !qFuzzyCompare(a, b);
}

QDoubleSpinBox* doubleEditor(QWidget* parent)
{
    auto* box = new QDoubleSpinBox(parent);
    box->setRange(-kHighest, kHighest);
    // Sized for ordinary numbers, not for the largest double the range allows.
    box->setMinimumWidth(box->fontMetrics().horizontalAdvance(QStringLiteral("-00000.00")) + 24);
    box->setMaximumWidth(box->minimumWidth() * 2);
    return box;
}

} // namespace

QVector<QVector3D> DopVisualization::parseAnchors(const QString& text, QString* view)
{
    static const QRegularExpression pattern(
        QStringLiteral(R"((?<x>-?\d+(\.\d+)?).+?(?<y>-?\d+(\.\d+)?).+?(?<z>-?\d+(\.\d+)?))"));
    QVector<QVector3D> anchors;
    QString shown;
    auto it = pattern.globalMatch(text);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        const QString x = m.captured("x");
        const QString y = m.captured("y");
        const QString z = m.captured("z");
        anchors.append(QVector3D(x.toFloat(), y.toFloat(), z.toFloat()));
        shown += QStringLiteral("(%1,%2,%3) ").arg(x, y, z);
    }
    if (view)
        *view = shown;
    return anchors;
}

DopVisualization::DopVisualization(QWidget* parent)
    : QMainWindow(parent)
{
    setWindowTitle(tr("DOP Visualization"));
    QSettings settings;

    // 1. The graph, only where OpenGL works.
    Q3DSurface* graph = nullptr;
    if (GlContextCheck::canCreate3DContext()) {
        graph = new Q3DSurface;
        if (!graph->hasContext()) {
            delete graph;
            graph = nullptr;
        }
    }
    if (!graph) {
        zCritical() << "Couldn't initialize the OpenGL context.";
        QMessageBox box(QMessageBox::Critical, windowTitle(), tr("Couldn't initialize the OpenGL context."),
                        QMessageBox::Ok, this);
        GlContextCheck::execModalBox(&box);
    }

    // 2. The surfaces, then the layout.
    surface_ = new SurfaceGraph(graph);
    auto* central = new QWidget(this);
    auto* row = new QHBoxLayout(central);
    if (graph) {
        QWidget* container = QWidget::createWindowContainer(graph, central);
        const QSize screen = graph->screen() ? graph->screen()->size() : QSize(1280, 800);
        container->setMinimumSize(screen.width() / 2, int(screen.height() / 1.6));
        container->setMaximumSize(screen);
        container->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        container->setFocusPolicy(Qt::StrongFocus);
        row->addWidget(container, 1);
    }
    auto* column = new QVBoxLayout;
    column->setAlignment(Qt::AlignTop);
    row->addLayout(column);
    setCentralWidget(central);

    auto* anchorsBox = new QGroupBox(tr("Anchors"), central);
    auto* anchorsLayout = new QVBoxLayout(anchorsBox);
    anchorEdit = new QPlainTextEdit(anchorsBox);
    anchorView = new QPlainTextEdit(anchorsBox);
    anchorView->setReadOnly(true);
    editButton = new QPushButton(anchorsBox);
    editButton->setCheckable(true);
    anchorsLayout->addWidget(anchorEdit);
    anchorsLayout->addWidget(anchorView);
    anchorsLayout->addWidget(editButton);
    column->addWidget(anchorsBox);

    auto* rangeBox = new QGroupBox(tr("Range"), central);
    auto* form = new QFormLayout(rangeBox);
    column->addWidget(rangeBox);

    auto* selectionBox = new QGroupBox(QStringLiteral("Selection Mode"), central);
    auto* selectionLayout = new QHBoxLayout(selectionBox);
    selectionGroup = new QButtonGroup(selectionBox);
    const QStringList modes{"None", "Item", "Row", "Column"};
    for (int id = 0; id < modes.size(); ++id) {
        auto* radio = new QRadioButton(modes.at(id), selectionBox);
        selectionGroup->addButton(radio, id);
        selectionLayout->addWidget(radio);
    }
    column->addWidget(selectionBox);

    auto* dopBox = new QGroupBox(tr("DOP"), central);
    auto* grid = new QGridLayout(dopBox);
    const QStringList headers{"Type", "Adjust", "Mean", "Min", "Max"};
    for (int c = 0; c < headers.size(); ++c)
        grid->addWidget(new QLabel(headers.at(c), dopBox), 0, c);
    for (int k = 0; k < kDopTypeCount; ++k) {
        kindBoxes[k] = new QCheckBox(dopTypeNames().at(k), dopBox);
        adjustButtons[k] = new QToolButton(dopBox);
        adjustButtons[k]->setIcon(ZIconsManager::instance()->icon(kAutoIcon));
        adjustButtons[k]->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
        meanLabels[k] = new QLabel(dopBox);
        minLabels[k] = new QLabel(dopBox);
        maxLabels[k] = new QLabel(dopBox);
        grid->addWidget(kindBoxes[k], k + 1, 0);
        grid->addWidget(adjustButtons[k], k + 1, 1);
        grid->addWidget(meanLabels[k], k + 1, 2);
        grid->addWidget(minLabels[k], k + 1, 3);
        grid->addWidget(maxLabels[k], k + 1, 4);
        const double nan = std::numeric_limits<double>::quiet_NaN();
        lastValues_[k] = DopValue{nan, nan, nan};
        connect(adjustButtons[k], &QToolButton::clicked, this,
                [this, k] { fitDopAxis(lastValues_[k].min, lastValues_[k].max); });
    }
    column->addWidget(dopBox);

    // 3. The anchor text.
    QString text = settings.value(key("/Anchors")).toString();
    if (text.isEmpty()) {
        for (const QVector3D& a : surface_->anchors)
            text += QStringLiteral("(%1,%2,%3) ")
                        .arg(QString::number(a.x(), 'g', 6), QString::number(a.y(), 'g', 6),
                             QString::number(a.z(), 'g', 6));
    }
    anchorEdit->setPlainText(text);

    // 4. The range editors, then the fit after every computation.
    buildRangeEditors(form);
    connect(surface_, &SurfaceGraph::dopRangeChanged, this, &DopVisualization::fitDopAxis);

    // 5. The selection mode; an id without a button falls back to item, row and slice.
    int mode = settings.value(key("/SelectionMode"), 2).toInt();
    if (!selectionGroup->button(mode))
        mode = 2;
    connect(selectionGroup, &QButtonGroup::idClicked, this, [this](int id) {
        surface_->setSelectionMode(id);
        QSettings().setValue(key("/SelectionMode"), id);
    });
    selectionGroup->button(mode)->click();

    // 6. The kinds' visibility, then their figures.
    for (int k = 0; k < kDopTypeCount; ++k) {
        const QString visibleKey = key("/dop_%1").arg(k);
        kindBoxes[k]->setChecked(settings.value(visibleKey, true).toBool());
        connect(kindBoxes[k], &QCheckBox::clicked, this, [this, k, visibleKey](bool on) {
            surface_->series(k)->setVisible(on);
            QSettings().setValue(visibleKey, on);
        });
        emit kindBoxes[k]->clicked(kindBoxes[k]->isChecked());
    }
    connect(surface_, &SurfaceGraph::meanDopChanged, this, [this](DopType type, DopValue value) {
        lastValues_[type] = value;
        meanLabels[type]->setNum(value.mean);
        minLabels[type]->setNum(value.min);
        maxLabels[type]->setNum(value.max);
    });

    // 7. Parse, store, hand over and compute the first surfaces.
    connect(anchorEdit, &QPlainTextEdit::textChanged, this, [this] {
        QString view;
        anchors_ = parseAnchors(anchorEdit->toPlainText(), &view);
        anchorView->setPlainText(view);
    });
    connect(editButton, &QPushButton::toggled, this, &DopVisualization::setEditMode);
    emit anchorEdit->textChanged();
    setEditMode(false);
}

DopVisualization::~DopVisualization()
{
    // The surfaces own the graph; its window container only notices it is gone.
    delete surface_;
}

void DopVisualization::buildRangeEditors(QFormLayout* form)
{
    QSettings settings;
    QWidget* parent = form->parentWidget();
    SurfaceGraph* s = surface_;

    zPlaneEdit = doubleEditor(parent);
    dopMinEdit = doubleEditor(parent);
    dopMaxEdit = doubleEditor(parent);
    xStepsEdit = new QSpinBox(parent);
    xMinEdit = doubleEditor(parent);
    xMaxEdit = doubleEditor(parent);
    yStepsEdit = new QSpinBox(parent);
    yMinEdit = doubleEditor(parent);
    yMaxEdit = doubleEditor(parent);
    for (QSpinBox* steps : {xStepsEdit, yStepsEdit})
        steps->setRange(2, 1000);
    form->addRow(QStringLiteral("Z Plane"), zPlaneEdit);
    form->addRow(QStringLiteral("Axis-Dop Min"), dopMinEdit);
    form->addRow(QStringLiteral("Axis-Dop Max"), dopMaxEdit);
    form->addRow(QStringLiteral("Axis-X Steps"), xStepsEdit);
    form->addRow(QStringLiteral("Axis-X Min"), xMinEdit);
    form->addRow(QStringLiteral("Axis-X Max"), xMaxEdit);
    form->addRow(QStringLiteral("Axis-Y Steps"), yStepsEdit);
    form->addRow(QStringLiteral("Axis-Y Min"), yMinEdit);
    form->addRow(QStringLiteral("Axis-Y Max"), yMaxEdit);

    // Stored values pass through their editor's bounds first, so the grid never gets a
    // step count the editor would refuse (0 divides by zero, 10^8 never ends).
    zPlaneEdit->setValue(settings.value(key("/ZPlane"), 0.0).toDouble());
    s->zPlane = zPlaneEdit->value();
    dopMinEdit->setValue(settings.value(key("/DopMin"), 0.0).toDouble());
    s->dopMin = dopMinEdit->value();
    dopMaxEdit->setMinimum(dopMinEdit->value());
    dopMaxEdit->setValue(settings.value(key("/DopMax"), 5.0).toDouble());
    s->dopMax = dopMaxEdit->value();

    struct Axis
    {
        QSpinBox* steps;
        QDoubleSpinBox* low;
        QDoubleSpinBox* high;
        int* stepsMember;
        double* lowMember;
        double* highMember;
        const char* stepsKey;
        const char* lowKey;
        const char* highKey;
    };
    const Axis axes[2] = {
        {xStepsEdit, xMinEdit, xMaxEdit, &s->xSteps, &s->xMin, &s->xMax, "/AxisXSteps", "/AxisXMin", "/AxisXMax"},
        {yStepsEdit, yMinEdit, yMaxEdit, &s->ySteps, &s->yMin, &s->yMax, "/AxisYSteps", "/AxisYMin", "/AxisYMax"}};
    for (const Axis& a : axes) {
        a.steps->setValue(settings.value(key(a.stepsKey), 25).toInt());
        *a.stepsMember = a.steps->value();
        a.low->setValue(settings.value(key(a.lowKey), 0.0).toDouble());
        *a.lowMember = a.low->value();
        a.high->setMinimum(a.low->value());
        a.high->setValue(settings.value(key(a.highKey), 10.0).toDouble());
        *a.highMember = a.high->value();
        a.low->setMaximum(a.high->value());

        connect(a.steps, &QSpinBox::editingFinished, this, [this, a] {
            const int v = a.steps->value();
            if (v == *a.stepsMember)
                return;
            QSettings().setValue(key(a.stepsKey), v);
            *a.stepsMember = v;
            recompute();
        });
        connect(a.low, &QDoubleSpinBox::editingFinished, this, [this, a] {
            const double v = a.low->value();
            if (!differs(v, *a.lowMember))
                return;
            QSettings().setValue(key(a.lowKey), v);
            a.high->setMinimum(v);
            *a.lowMember = v;
            recompute();
        });
        connect(a.high, &QDoubleSpinBox::editingFinished, this, [this, a] {
            const double v = a.high->value();
            if (!differs(v, *a.highMember))
                return;
            QSettings().setValue(key(a.highKey), v);
            a.low->setMaximum(v);
            *a.highMember = v;
            recompute();
        });
    }

    connect(zPlaneEdit, &QDoubleSpinBox::editingFinished, this, [this] {
        const double v = zPlaneEdit->value();
        if (!differs(v, surface_->zPlane))
            return;
        QSettings().setValue(key("/ZPlane"), v);
        surface_->zPlane = v;
        recompute();
    });
    connect(dopMinEdit, &QDoubleSpinBox::editingFinished, this, [this] {
        const double v = dopMinEdit->value();
        QSettings().setValue(key("/DopMin"), v);
        surface_->dopMin = v;
        if (surface_->graph())
            surface_->graph()->axisY()->setMin(float(v));
        dopMaxEdit->setMinimum(v);
    });
    connect(dopMaxEdit, &QDoubleSpinBox::editingFinished, this, [this] {
        const double v = dopMaxEdit->value();
        QSettings().setValue(key("/DopMax"), v);
        surface_->dopMax = v;
        if (surface_->graph())
            surface_->graph()->axisY()->setMax(float(v));
        dopMinEdit->setMaximum(v);
    });
    emit dopMinEdit->editingFinished();
    emit dopMaxEdit->editingFinished();
}

void DopVisualization::fitDopAxis(double min, double max)
{
    // Every kind hidden gives the largest double and its negative: nothing to fit.
    if (!std::isfinite(min) || !std::isfinite(max) || min > max)
        return;
    // Outward to the editors' two decimals, so the axis covers every value.
    const double low = std::floor(min * 100.0) / 100.0;
    const double high = std::ceil(max * 100.0) / 100.0;
    dopMaxEdit->setMinimum(low);
    dopMaxEdit->setValue(high);
    dopMinEdit->setMaximum(high);
    dopMinEdit->setValue(low);
    emit dopMaxEdit->editingFinished();
    emit dopMinEdit->editingFinished();
}

void DopVisualization::setEditMode(bool on)
{
    anchorEdit->setReadOnly(!on);
    anchorView->setVisible(on);
    if (on) {
        editButton->setText(tr("Quit Edit"));
        anchorEdit->setFocus();
        return;
    }
    editButton->setText(tr("Edit Coordinates"));
    QSettings().setValue(key("/Anchors"), anchorView->toPlainText());
    surface_->anchors = anchors_;
    recompute();
}

void DopVisualization::recompute()
{
    surface_->computeDopSurfaces();
}

} // namespace Trelvan
