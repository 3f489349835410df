#include "widgets/ZVToolBarWidget.h"

#include <QToolButton>
#include <QVBoxLayout>

ZVToolBarWidget::ZVToolBarWidget(QWidget* parent) : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    layout_ = new QVBoxLayout(this);
    layout_->setContentsMargins(0, 0, 0, 0);
    layout_->setSpacing(0);
    // The trailing filler keeps the buttons at the top.
    auto* filler = new QWidget(this);
    filler->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    layout_->addWidget(filler, 1);
}

QToolButton* ZVToolBarWidget::addButton(const QIcon& icon, const QString& text)
{
    auto* button = new QToolButton(this);
    button->setIcon(icon);
    button->setText(text);
    addToolButton(button);
    return button;
}

void ZVToolBarWidget::addToolButton(QToolButton* button)
{
    if (!button)
        return;
    button->setParent(this);
    button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    button->setToolButtonStyle(style_);
    button->setAutoRaise(true);
    layout_->insertWidget(layout_->count() - 1, button);
    buttons_.append(button);
}

void ZVToolBarWidget::setToolButtonStyle(Qt::ToolButtonStyle style)
{
    style_ = style;
    for (QToolButton* button : qAsConst(buttons_))
        button->setToolButtonStyle(style);
}
