#include "widgets/ZMainWindow.h"

#include <QCloseEvent>
#include <QEvent>
#include <QShowEvent>

ZMainWindow::ZMainWindow(QWidget* parent)
    : QMainWindow(parent)
{
    toolBar_ = new ZToolBar(this);
    toolBar_->setContextMenuPolicy(Qt::PreventContextMenu);
    toolBar_->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    toolBar_->setMovable(false);
    addToolBar(Qt::TopToolBarArea, toolBar_);

    setCentralWidget(new QWidget(this));
}

ZMainWindow::~ZMainWindow() = default;

void ZMainWindow::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    onVisibilityChanged(true);
    emit visibilityChanged(true);
}

void ZMainWindow::closeEvent(QCloseEvent* event)
{
    QMainWindow::closeEvent(event);
    onVisibilityChanged(false);
    emit visibilityChanged(false);
}

void ZMainWindow::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange)
        return;
    if (windowState() & Qt::WindowMaximized) {
        wasMaximized_ = true;
        emit maximizeChanged(true);
    } else if (wasMaximized_) {
        // Only a window leaving the maximised state reports it, once.
        wasMaximized_ = false;
        emit maximizeChanged(false);
    }
}

void ZMainWindow::onVisibilityChanged(bool)
{
}
