#pragma once

#include <QSplitter>
#include <QSplitterHandle>

// A splitter whose size hints count its own frame and padding (the style sheet pads
// every widget), so that a layout never gives it less than its panes need.
class ZSplitter : public QSplitter
{
    Q_OBJECT
public:
    explicit ZSplitter(Qt::Orientation orientation, QWidget* parent = nullptr);

    QSize minimumSizeHint() const override;
    QSize sizeHint() const override;
};

// A splitter whose panes keep the sizes the user dragged them to: after a drag both
// panes beside the handle are fixed, except the last pane, which takes up any change
// of the splitter's own size.
class FixedSplitter : public ZSplitter
{
    Q_OBJECT
public:
    explicit FixedSplitter(QWidget* parent = nullptr);
    explicit FixedSplitter(Qt::Orientation orientation, QWidget* parent = nullptr);

protected:
    QSplitterHandle* createHandle() override;
};

class FixedSplitterHandle : public QSplitterHandle
{
    Q_OBJECT
public:
    FixedSplitterHandle(Qt::Orientation orientation, QSplitter* parent);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};
