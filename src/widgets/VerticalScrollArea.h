#pragma once

#include <QScrollArea>

// A resizable scroll area that scrolls up and down only: its content always takes
// the area's width and the area is never narrower than what its content needs, so
// rows that wrap (flow layouts) wrap inside it and nothing is cut at its right edge.
// It would like to show all of its content (as far as the screen is high).
class VerticalScrollArea : public QScrollArea
{
    Q_OBJECT
public:
    explicit VerticalScrollArea(QWidget* parent = nullptr);

    QSize minimumSizeHint() const override;
    QSize sizeHint() const override;

protected:
    bool event(QEvent* event) override;
    bool viewportEvent(QEvent* event) override;

private:
    int besideContent() const;
};
