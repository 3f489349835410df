#pragma once

#include <QWidget>

// A pop-up panel that hides itself 100 ms after the mouse leaves it, unless the
// mouse came back meanwhile. The page that builds it sets its flags and contents.
class MenuWidget : public QWidget
{
    Q_OBJECT
public:
    explicit MenuWidget(QWidget* parent = nullptr);

    bool isHovered() const { return hovered; }

protected:
    void enterEvent(QEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    bool hovered = false;
};
