#include "widgets/VerticalScrollArea.h"

#include <QEvent>
#include <QScreen>
#include <QScrollBar>

VerticalScrollArea::VerticalScrollArea(QWidget* parent)
    : QScrollArea(parent)
{
    setWidgetResizable(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

int VerticalScrollArea::besideContent() const
{
    return verticalScrollBar()->sizeHint().width() + 2 * frameWidth();
}

QSize VerticalScrollArea::minimumSizeHint() const
{
    QSize size = QScrollArea::minimumSizeHint();
    if (widget())
        size.setWidth(widget()->minimumSizeHint().width() + besideContent());
    return size;
}

QSize VerticalScrollArea::sizeHint() const
{
    QSize size = QScrollArea::sizeHint();
    if (widget()) {
        // All of the content where the screen has room for it.
        const QSize content = widget()->sizeHint().expandedTo(widget()->minimumSizeHint());
        size.setWidth(content.width() + besideContent());
        size.setHeight(qMin(content.height() + 2 * frameWidth(), screen()->availableGeometry().height()));
    }
    return size;
}

bool VerticalScrollArea::event(QEvent* event)
{
    if (event->type() == QEvent::LayoutRequest)
        updateGeometry();
    return QScrollArea::event(event);
}

bool VerticalScrollArea::viewportEvent(QEvent* event)
{
    // The content's needs changed (a row wrapped, a widget appeared): so do ours.
    if (event->type() == QEvent::LayoutRequest)
        updateGeometry();
    return QScrollArea::viewportEvent(event);
}
