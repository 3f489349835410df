#pragma once

#include <QWidget>

class QStackedWidget;

// A two-state light: grey when off, red when on.
class WidgetIndicator : public QWidget
{
    Q_OBJECT
public:
    explicit WidgetIndicator(QWidget* parent = nullptr);

    void setState(bool on);
    bool state() const { return state_; }
    QStackedWidget* pages() const { return pages_; }

private:
    QStackedWidget* pages_ = nullptr;
    bool state_ = false;
};
