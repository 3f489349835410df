#include "widgets/LineStatisticWidget.h"

#include <QCheckBox>
#include <QDoubleValidator>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

#include <cmath>

#include "model/ResourceItems.h"
#include "widgets/ZWidgetHelpers.h"

namespace {

// Empty value label of 12 digits, so that the columns of all rows line up.
QLabel* valueLabel(QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setFont(monospaceFont());
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    label->setFixedWidth(digitsWidth(label->font(), 12));
    return label;
}

} // namespace

LineStatisticWidget::LineStatisticWidget(LineResourceItem* item, QWidget* /*parent*/)
    : QWidget(nullptr)
    , item_(item)
    , itemGuard_(item)
{
    checkBox_ = new QCheckBox(item ? item->name() : QString(), this);
    minLabel_ = valueLabel(this);
    maxLabel_ = valueLabel(this);
    meanLabel_ = valueLabel(this);
    stdLabel_ = valueLabel(this);
    halfLabel_ = valueLabel(this);
    targetEdit_ = new QLineEdit(this);
    targetEdit_->setValidator(new QDoubleValidator(this));
    targetEdit_->setPlaceholderText(tr("target val"));
    biasLabel_ = valueLabel(this);
    biasLabel_->setToolTip(tr("bias = mean - target"));
    halfLabel_->setToolTip(tr("half = 0.5*(max - min)"));

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(checkBox_);
    layout->addWidget(targetEdit_);
    layout->addWidget(new QLabel(tr("bias:"), this));
    layout->addWidget(biasLabel_);
    layout->addWidget(new QLabel(tr("mean:"), this));
    layout->addWidget(meanLabel_);
    layout->addWidget(new QLabel(tr("std:"), this));
    layout->addWidget(stdLabel_);
    layout->addWidget(new QLabel(tr("min:"), this));
    layout->addWidget(minLabel_);
    layout->addWidget(new QLabel(tr("max:"), this));
    layout->addWidget(maxLabel_);
    layout->addWidget(new QLabel(tr("half:"), this));
    layout->addWidget(halfLabel_);

    connect(targetEdit_, &QLineEdit::editingFinished, this,
            [this] { targetValue_ = targetEdit_->text().toDouble(); });
}

void LineStatisticWidget::updateStatistics()
{
    if (!checkBox_->isChecked() || !item())
        return;
    // A shared copy taken under the item's lock; the parsers keep writing meanwhile.
    const QList<double> values = item_->values();
    const int n = values.size();
    if (n == 0)
        return; // nothing to summarise yet: keep what is shown

    double minimum = values.first();
    double maximum = minimum;
    double sum = 0.0;
    for (double v : values) {
        minimum = qMin(minimum, v);
        maximum = qMax(maximum, v);
        sum += v;
    }
    const double mean = sum / n;
    double squares = 0.0;
    for (double v : values)
        squares += (v - mean) * (v - mean);
    const double deviation = std::sqrt(squares / n);
    const double half = 0.5 * (maximum - minimum);

    minLabel_->setNum(minimum);
    maxLabel_->setNum(maximum);
    halfLabel_->setNum(half);
    meanLabel_->setNum(mean);
    stdLabel_->setNum(deviation);
    if (!targetEdit_->text().isEmpty())
        biasLabel_->setNum(mean - targetValue_);
}
