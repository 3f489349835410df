#include "widgets/ZMenuWidget.h"

#include <QTimer>

MenuWidget::MenuWidget(QWidget* parent) : QWidget(parent) {}

void MenuWidget::enterEvent(QEvent* event)
{
    hovered = true;
    QWidget::enterEvent(event);
}

void MenuWidget::leaveEvent(QEvent* event)
{
    hovered = false;
    // Each leave has its own timer; a later re-entry wins over all of them.
    QTimer::singleShot(100, this, [this] {
        if (!hovered)
            hide();
    });
    QWidget::leaveEvent(event);
}
