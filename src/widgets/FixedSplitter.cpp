#include "widgets/FixedSplitter.h"

#include <QMouseEvent>

namespace {

// Largest size a pane may take while it is being dragged.
constexpr int kFreeMaximum = 19200;

void freePane(QWidget* pane, Qt::Orientation orientation)
{
    if (!pane)
        return;
    if (orientation == Qt::Horizontal) {
        pane->setMinimumWidth(0);
        pane->setMaximumWidth(kFreeMaximum);
    } else {
        pane->setMinimumHeight(0);
        pane->setMaximumHeight(kFreeMaximum);
    }
}

void fixPane(QWidget* pane, Qt::Orientation orientation)
{
    if (!pane)
        return;
    if (orientation == Qt::Horizontal)
        pane->setFixedWidth(pane->width());
    else
        pane->setFixedHeight(pane->height());
}

} // namespace

ZSplitter::ZSplitter(Qt::Orientation orientation, QWidget* parent)
    : QSplitter(orientation, parent)
{
}

QSize ZSplitter::minimumSizeHint() const
{
    const QMargins m = contentsMargins();
    return QSplitter::minimumSizeHint() + QSize(m.left() + m.right(), m.top() + m.bottom());
}

QSize ZSplitter::sizeHint() const
{
    const QMargins m = contentsMargins();
    return QSplitter::sizeHint() + QSize(m.left() + m.right(), m.top() + m.bottom());
}

FixedSplitter::FixedSplitter(QWidget* parent)
    : ZSplitter(Qt::Horizontal, parent)
{
}

FixedSplitter::FixedSplitter(Qt::Orientation orientation, QWidget* parent)
    : ZSplitter(orientation, parent)
{
}

QSplitterHandle* FixedSplitter::createHandle()
{
    return new FixedSplitterHandle(orientation(), this);
}

FixedSplitterHandle::FixedSplitterHandle(Qt::Orientation orientation, QSplitter* parent)
    : QSplitterHandle(orientation, parent)
{
}

void FixedSplitterHandle::mousePressEvent(QMouseEvent* event)
{
    QSplitterHandle::mousePressEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    QSplitter* s = splitter();
    const int i = s->indexOf(this);
    if (i < 1)
        return;
    freePane(s->widget(i - 1), orientation());
    freePane(s->widget(i), orientation());
}

void FixedSplitterHandle::mouseReleaseEvent(QMouseEvent* event)
{
    QSplitterHandle::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    QSplitter* s = splitter();
    const int i = s->indexOf(this);
    if (i < 1)
        return;
    fixPane(s->widget(i - 1), orientation());
    if (i != s->count() - 1)
        fixPane(s->widget(i), orientation());
}
