#pragma once

#include <QWidget>

class QHBoxLayout;

// A frameless popup with a drop shadow that hides itself as soon as it stops being
// the active window (a click elsewhere). Subclasses put their widgets into contentLayout().
class ZPopupShadowWindow : public QWidget
{
    Q_OBJECT
public:
    explicit ZPopupShadowWindow(QWidget* parent = nullptr);

    QHBoxLayout* contentLayout() const { return contentLayout_; }
    void popupAtCursor();

protected:
    void changeEvent(QEvent* event) override;

private:
    QHBoxLayout* contentLayout_ = nullptr;
};
