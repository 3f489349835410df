#include "widgets/LineStatisticWidget.h"

#include <QCheckBox>
#include <QDoubleValidator>
#include <QBoxLayout>
#include <QLabel>
#include <QLineEdit>

#include <cmath>

#include "model/ResourceItems.h"
#include "widgets/ZFlowLayout.h"
#include "widgets/ZWidgetHelpers.h"

namespace {

constexpr int kValueDigits = 12;
constexpr int kCaptionSpacing = 3;

// Empty value label of 12 digits, so that the columns of all rows line up.
QLabel* valueLabel(QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setFont(monospaceFont());
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    label->setFixedWidth(digitsLabelWidth(label, kValueDigits));
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

    // The row wraps where the column is narrow. Each caption stays with its value in a
    // cell; with the check boxes of a page made equally wide (setLeadWidth) every row
    // wraps at the same places and the figures of all rows stand in columns. In a
    // column too narrow for a caption beside its value, the caption stands above it.
    const QList<QPair<QString, QLabel*>> figures{{tr("bias:"), biasLabel_}, {tr("mean:"), meanLabel_},
                                                  {tr("std:"), stdLabel_},   {tr("min:"), minLabel_},
                                                  {tr("max:"), maxLabel_},   {tr("half:"), halfLabel_}};
    auto* layout = new ZFlowLayout(this, 0, -1, 2);
    layout->addWidget(checkBox_);
    layout->addWidget(targetEdit_);
    QList<QLabel*> captions;
    for (const auto& figure : figures) {
        auto* cell = new QWidget(this);
        auto* pair = new QBoxLayout(QBoxLayout::LeftToRight, cell);
        pair->setContentsMargins(0, 0, 0, 0);
        pair->setSpacing(kCaptionSpacing);
        captions << new QLabel(figure.first, cell);
        pair->addWidget(captions.last());
        figure.second->setParent(cell);
        pair->addWidget(figure.second);
        cells_ << cell;
        layout->addWidget(cell);
    }

    // Sized as the style sheet draws them.
    ensurePolished();
    int captionWidth = 0;
    for (QLabel* caption : qAsConst(captions))
        captionWidth = qMax(captionWidth, caption->sizeHint().width());
    for (QLabel* caption : qAsConst(captions))
        caption->setFixedWidth(captionWidth);
    cellWidth_ = captionWidth + kCaptionSpacing + biasLabel_->width();
    for (QWidget* cell : qAsConst(cells_)) {
        // The column may be as narrow as a stacked cell.
        cell->setMinimumWidth(qMax(captionWidth, biasLabel_->width()));
        cell->setMaximumWidth(cellWidth_);
    }
    checkBox_->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    // Wide enough for its placeholder; a typed target is a short number.
    targetEdit_->setFixedWidth(lineEditWidth(targetEdit_, targetEdit_->placeholderText()));

    connect(targetEdit_, &QLineEdit::editingFinished, this,
            [this] { targetValue_ = targetEdit_->text().toDouble(); });
}

void LineStatisticWidget::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    stackFigures(width() < cellWidth_);
}

void LineStatisticWidget::stackFigures(bool stacked)
{
    if (stacked == stacked_)
        return;
    stacked_ = stacked;
    for (QWidget* cell : qAsConst(cells_))
        static_cast<QBoxLayout*>(cell->layout())->setDirection(stacked ? QBoxLayout::TopToBottom
                                                                       : QBoxLayout::LeftToRight);
}

int LineStatisticWidget::leadWidth() const
{
    return checkBox_->sizeHint().width();
}

void LineStatisticWidget::setLeadWidth(int width)
{
    checkBox_->setFixedWidth(qMax(width, leadWidth()));
}

int LineStatisticWidget::leadWidthFor(const QString& name) const
{
    const QFontMetrics fm = checkBox_->fontMetrics();
    const auto textWidth = [&fm](const QString& text) { return fm.size(Qt::TextShowMnemonic, text).width(); };
    return leadWidth() - textWidth(checkBox_->text()) + textWidth(name);
}

int LineStatisticWidget::lineWidth() const
{
    return static_cast<ZFlowLayout*>(layout())->lineWidth();
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
