#include "widgets/ZColorTextLabel.h"

#include <QColorDialog>
#include <QFontMetrics>
#include <QMouseEvent>

namespace {

QColor standardColorDialog(const QColor& initial, QWidget* parent, const QString& title)
{
    return QColorDialog::getColor(initial, parent, title);
}

ZColorTextLabel::ColorDialogHook& colorDialogHook()
{
    static ZColorTextLabel::ColorDialogHook hook = standardColorDialog;
    return hook;
}

} // namespace

ZColorTextLabel::ZColorTextLabel(const QString& text, const QColor& color, QWidget* parent)
    : QLabel(text, parent)
{
    setColor(color);
}

ZColorTextLabel::ZColorTextLabel(QWidget* parent)
    : QLabel(parent)
{
}

void ZColorTextLabel::setColor(const QColor& color)
{
    color_ = color;
    setStyleSheet(QStringLiteral("QLabel{color:%1;}").arg(color.name()));
}

QSize ZColorTextLabel::sizeHint() const
{
    return QFontMetrics(font()).boundingRect(text()).size();
}

ZColorTextLabel::ColorDialogHook ZColorTextLabel::setColorDialogHook(ColorDialogHook hook)
{
    ColorDialogHook previous = colorDialogHook();
    colorDialogHook() = hook ? std::move(hook) : ColorDialogHook(standardColorDialog);
    return previous;
}

void ZColorTextLabel::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::RightButton) {
        QLabel::mouseReleaseEvent(event);
        return;
    }
    if (!colorChangeable_) {
        // Let the parent see the click (its own context handling, for instance).
        event->ignore();
        return;
    }
    const QColor picked = colorDialogHook()(color_, this, tr("Color dialog"));
    if (picked.isValid()) {
        setColor(picked);
        emit rightClicked(picked);
    }
    event->accept();
}

void ZColorTextLabel::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        emit leftDoubleClicked();
        event->accept();
        return;
    }
    QLabel::mouseDoubleClickEvent(event);
}
