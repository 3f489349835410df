#include "products/trelvan/views/ValueGrids.h"

#include "widgets/ZLabel.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>

namespace Trelvan {

namespace {
constexpr int kValueDigits = 12;
}

QString formatValue(float value)
{
    return QString::number(double(value), 'g', 6);
}

WidgetVector3D::WidgetVector3D(const QString& caption, QWidget* parent)
    : QWidget(parent)
    , x(new ZLabel("x: ", this, kValueDigits))
    , y(new ZLabel("y: ", this, kValueDigits))
    , z(new ZLabel("z: ", this, kValueDigits))
{
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(new QLabel(caption, this));
    layout->addWidget(x);
    layout->addWidget(y);
    layout->addWidget(z);
}

void WidgetVector3D::setValue(const float* xyz)
{
    if (!xyz)
        return;
    x->setValue(formatValue(xyz[0]));
    y->setValue(formatValue(xyz[1]));
    z->setValue(formatValue(xyz[2]));
}

WidgetArray::WidgetArray(const QString& title, int count, QWidget* parent, int columns)
    : QGroupBox(parent)
{
    setTitle(title);
    auto* grid = new QGridLayout(this);
    // Narrow side margins and gaps: four 12-digit values in a row are the widest
    // line of the pages that show them, and they stand beside the node boxes.
    const QMargins m = grid->contentsMargins();
    grid->setContentsMargins(3, m.top(), 3, m.bottom());
    grid->setHorizontalSpacing(3);
    columns = qMax(columns, 1);
    for (int i = 0; i < count; ++i) {
        auto* label = new ZLabel(QString("%1: ").arg(i), this, kValueDigits);
        labels.append(label);
        grid->addWidget(label, i / columns, i % columns);
    }
}

WidgetArray::~WidgetArray() = default;

void WidgetArray::setValue(int index, float value)
{
    if (index >= 0 && index < labels.size())
        labels[index]->setValue(formatValue(value));
}

} // namespace Trelvan
