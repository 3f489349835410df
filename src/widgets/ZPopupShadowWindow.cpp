#include "widgets/ZPopupShadowWindow.h"

#include <QCursor>
#include <QEvent>
#include <QGraphicsDropShadowEffect>
#include <QHBoxLayout>

ZPopupShadowWindow::ZPopupShadowWindow(QWidget* parent)
    : QWidget(parent)
{
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_TranslucentBackground);

    // The outer margin leaves room for the shadow drawn around the inner widget.
    auto* outer = new QHBoxLayout(this);
    outer->setContentsMargins(10, 10, 10, 10);
    auto* inner = new QWidget(this);
    inner->setObjectName(QStringLiteral("popupContent"));
    // The window itself is transparent: the frame paints the background the shadow falls from.
    inner->setAutoFillBackground(true);
    outer->addWidget(inner);

    auto* shadow = new QGraphicsDropShadowEffect(inner);
    shadow->setBlurRadius(10.0);
    shadow->setOffset(2.0, 2.0);
    inner->setGraphicsEffect(shadow);

    contentLayout_ = new QHBoxLayout(inner);
}

void ZPopupShadowWindow::popupAtCursor()
{
    move(QCursor::pos());
    show();
    raise();
    activateWindow();
}

void ZPopupShadowWindow::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && !isActiveWindow())
        hide();
}
