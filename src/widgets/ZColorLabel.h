#pragma once

#include <QColor>
#include <QLabel>
#include <functional>

// A colour swatch: shows its colour as the background and opens a colour dialog
// when clicked with the left button. Carries the dynamic property withBorder so
// that the style sheet draws a frame around it.
class ZColorLabel : public QLabel
{
    Q_OBJECT
public:
    explicit ZColorLabel(QWidget* parent = nullptr);
    explicit ZColorLabel(const QColor& color, QWidget* parent = nullptr);

    // Stores a different colour, restyles and emits colorChanged; an equal colour
    // changes nothing.
    void setColor(const QColor& color);
    QColor color() const { return color_; }

    // The dialog that picks a colour (initial colour, title); an invalid result
    // means cancelled. Replaceable so that tests never wait on a modal dialog.
    using ColorDialog = std::function<QColor(const QColor& initial, const QString& title)>;
    static ColorDialog colorDialogHook;

signals:
    void colorChanged(QColor color);

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QColor color_ = Qt::transparent;
};
