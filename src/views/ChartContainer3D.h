#pragma once

#include <QColor>
#include <QImage>
#include <QPointer>

#include "views/ChartContainer.h"
#include "views/Z3DScatter.h"

// The common base of the 3D containers: one scatter graph in a window container,
// with the program's axes mapped onto it (program x, y, z on the graph's x, depth
// and vertical axes). The graph is built only after a check that OpenGL can draw
// it; when it cannot, the user is told, "Is3DEnabled" is turned off, and the
// container holds no graph at all (graph() is null): its look, axes, resources
// and screenshots then skip it.
class ChartContainer3D : public ChartContainer
{
    Q_OBJECT
public:
    explicit ChartContainer3D(ChartContainerItem* item, QWidget* parent = nullptr);
    ~ChartContainer3D() override;

    Z3DScatter* graph() const { return graph_; }
    QWidget* graphWidget() const { return graphWidget_; }
    bool hasGraph() const { return graph_ != nullptr; }

    void setScreenshotMode(bool on) override;
    QString takeScreenshot() override;
    // The picture takeScreenshot() saves: the graph rendered into an image of its
    // own size (a widget grab of a 3D window comes out blank). Null without a graph.
    QImage renderGraph();

    // The texts of the box shown when no 3D context can be made.
    static QString contextFailureTitle();
    static QString contextFailureText();

protected:
    // The label colour the container returns to after a screenshot.
    void setOwnLabelTextColor(const QColor& color);

private:
    void reportContextFailure();

    QPointer<Z3DScatter> graph_;
    QWidget* graphWidget_ = nullptr;
    QColor ownLabelTextColor_;
};
