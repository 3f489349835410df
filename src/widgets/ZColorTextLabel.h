#pragma once

#include <QColor>
#include <QLabel>

#include <functional>

// A label drawn in its own text colour, which the user may pick with a right click
// while the label is colour-changeable.
class ZColorTextLabel : public QLabel
{
    Q_OBJECT
public:
    // Asks the user for a colour: (initial colour, parent, title) -> the chosen colour,
    // invalid when cancelled. Replaceable so that tests need no modal dialog.
    using ColorDialogHook = std::function<QColor(const QColor&, QWidget*, const QString&)>;

    ZColorTextLabel(const QString& text, const QColor& color, QWidget* parent = nullptr);
    explicit ZColorTextLabel(QWidget* parent = nullptr);

    void setColor(const QColor& color);
    QColor color() const { return color_; }

    void setColorChangeable(bool changeable) { colorChangeable_ = changeable; }
    bool isColorChangeable() const { return colorChangeable_; }

    QSize sizeHint() const override;

    // Installs a new dialog hook and returns the previous one; an empty hook restores
    // the standard colour dialog.
    static ColorDialogHook setColorDialogHook(ColorDialogHook hook);

signals:
    void rightClicked(QColor color);
    void leftDoubleClicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    bool colorChangeable_ = true;
    QColor color_;
};
