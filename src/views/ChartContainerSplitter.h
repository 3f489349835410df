#pragma once

#include <QSplitter>
#include <QSplitterHandle>

// The splitter between a chart container's series panel and its chart. Between
// drags the series panel has a fixed width; a drag frees it and its end reports
// the new width.
class ChartContainerSplitter : public QSplitter
{
    Q_OBJECT
public:
    explicit ChartContainerSplitter(Qt::Orientation orientation, QWidget* parent = nullptr);

signals:
    void moveFinished(int seriesWidth);

protected:
    QSplitterHandle* createHandle() override;

private:
    friend class ChartContainerSplitterHandle;
    void beginDrag();
    void endDrag();
};

class ChartContainerSplitterHandle : public QSplitterHandle
{
    Q_OBJECT
public:
    ChartContainerSplitterHandle(Qt::Orientation orientation, ChartContainerSplitter* parent);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    ChartContainerSplitter* owner_;
};
