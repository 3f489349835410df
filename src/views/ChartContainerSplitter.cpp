#include "views/ChartContainerSplitter.h"

#include <QMouseEvent>

ChartContainerSplitter::ChartContainerSplitter(Qt::Orientation orientation, QWidget* parent)
    : QSplitter(orientation, parent)
{
}

QSplitterHandle* ChartContainerSplitter::createHandle()
{
    return new ChartContainerSplitterHandle(orientation(), this);
}

void ChartContainerSplitter::beginDrag()
{
    QWidget* first = widget(0);
    if (!first)
        return;
    // The fixed width would hold the handle still: free it for the drag.
    first->setMinimumWidth(0);
    first->setMaximumWidth(10000);
    QList<int> s;
    for (int i = 0; i < count(); ++i)
        s << widget(i)->width();
    setSizes(s);
}

void ChartContainerSplitter::endDrag()
{
    QWidget* first = widget(0);
    if (!first)
        return;
    const int w = sizes().value(0);
    first->setFixedWidth(w);
    emit moveFinished(w);
}

ChartContainerSplitterHandle::ChartContainerSplitterHandle(Qt::Orientation orientation,
                                                           ChartContainerSplitter* parent)
    : QSplitterHandle(orientation, parent), owner_(parent)
{
}

void ChartContainerSplitterHandle::mousePressEvent(QMouseEvent* event)
{
    QSplitterHandle::mousePressEvent(event);
    if (event->button() == Qt::LeftButton)
        owner_->beginDrag();
}

void ChartContainerSplitterHandle::mouseReleaseEvent(QMouseEvent* event)
{
    QSplitterHandle::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton)
        owner_->endDrag();
}
