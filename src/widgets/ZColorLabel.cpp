#include "widgets/ZColorLabel.h"

#include <QColorDialog>
#include <QMouseEvent>

ZColorLabel::ColorDialog ZColorLabel::colorDialogHook = [](const QColor& initial, const QString& title) {
    return QColorDialog::getColor(initial, nullptr, title);
};

ZColorLabel::ZColorLabel(QWidget* parent) : QLabel(parent)
{
    setProperty("withBorder", true);
}

ZColorLabel::ZColorLabel(const QColor& color, QWidget* parent) : QLabel(parent)
{
    setProperty("withBorder", true);
    setColor(color);
}

void ZColorLabel::setColor(const QColor& color)
{
    if (color == color_)
        return;
    color_ = color;
    setStyleSheet(QStringLiteral("QLabel{background-color: %1;}").arg(color.name()));
    emit colorChanged(color);
}

void ZColorLabel::mouseReleaseEvent(QMouseEvent* event)
{
    QLabel::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton || !colorDialogHook)
        return;
    const QColor chosen = colorDialogHook(color_, tr("Color Dialog"));
    if (chosen.isValid())
        setColor(chosen);
}
