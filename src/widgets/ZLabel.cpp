#include "widgets/ZLabel.h"

#include <QHBoxLayout>
#include <QLabel>

#include "foundation/ZColorSchemeManager.h"
#include "widgets/ZWidgetHelpers.h"

ZLabel::ZLabel(const QString& caption, QWidget* parent, int digits)
    : QWidget(parent)
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(3);

    caption_ = new QLabel(caption, this);
    caption_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    value_ = new QLabel(this);
    value_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    value_->setFont(monospaceFont());
    if (digits >= 1)
        value_->setFixedWidth(digitsLabelWidth(value_, digits));

    layout->addWidget(caption_);
    layout->addWidget(value_);
}

void ZLabel::setValue(const QString& text)
{
    const bool changed = text != value_->text();
    if (changed)
        value_->setText(text);
    if (!highlightChanges_)
        return;
    const QColor color = changed ? highlightColor_ : ZColorSchemeManager::instance()->color(0);
    if (color != shownColor_) {
        // Style sheets are costly to apply: only when the colour really changes.
        shownColor_ = color;
        value_->setStyleSheet(QStringLiteral("QLabel{color:%1;}").arg(color.name()));
    }
}

QString ZLabel::value() const
{
    return value_->text();
}

void ZLabel::setFixedWidthInDigits(int n)
{
    // Never narrower than the caption and the value label need: fixed as a least
    // width, the value is not cut at the label's right edge.
    ensurePolished();
    setFixedWidth(qMax(digitsWidth(value_->font(), n), layout()->minimumSize().width()));
}

void ZLabel::setCaptionRightAligned(bool rightAligned)
{
    caption_->setAlignment(rightAligned ? Qt::AlignRight : (Qt::AlignLeft | Qt::AlignVCenter));
}
