#pragma once

#include <QHash>
#include <QList>
#include <QPointer>
#include <functional>

#include <QtCharts/QChart>
#include <QtCharts/QLineSeries>
#include <QtCharts/QValueAxis>

#include "views/ChartContainer.h"

class ChartView2D;
class QOpenGLWidget;

// The common 2D chart container: one chart with value axes X and Y, its view,
// and an X/Y read-out of the value under the mouse in the top bar.
class ChartContainer2D : public ChartContainer
{
    Q_OBJECT
public:
    // Builds the view of the kind on the chart; the container is its parent.
    using ViewFactory = std::function<ChartView2D*(QtCharts::QChart*, QWidget*)>;

    // Line items get a LineChartView; Scatter items the view makeView builds.
    // Any other type stops the program.
    ChartContainer2D(ChartContainerItem* item, QWidget* parent = nullptr, const ViewFactory& makeView = {});
    ~ChartContainer2D() override;

    ChartView2D* view() const { return view_; }
    QtCharts::QChart* chart() const { return chart_; }
    QtCharts::QValueAxis* axisX() const { return axisX_; }
    QtCharts::QValueAxis* axisY() const { return axisY_; }
    QtCharts::QLineSeries* referenceSeries() const { return referenceSeries_; }
    QLabel* xReadout() const { return xReadout_; }
    QLabel* yReadout() const { return yReadout_; }

    void addResource(BaseResource* resource) override;
    void removeResource(BaseResource* resource) override;
    void setScreenshotMode(bool on) override;
    QString takeScreenshot() override;
    // The picture takeScreenshot() saves: the view, with OpenGL-drawn series painted over.
    QPixmap grabChart();
    bool eventFilter(QObject* watched, QEvent* event) override;

protected:
    void showEvent(QShowEvent* event) override;

public slots:
    void updateCursorReadout(QPointF pos);

private:
    QOpenGLWidget* openGLWidget();
    void addSeriesToChart(QtCharts::QAbstractSeries* series);
    // Adds series to the chart on its axes.
    void joinChart(QtCharts::QAbstractSeries* series);
    // A series joins the chart once the chart is shown, and a line once it has two
    // points: a hidden chart, or a line of one point, draws nothing, yet a series'
    // place in the chart costs about 50 KB (its item, the hidden legend's marker):
    // a page of thousands of nodes nobody charts would pay that for nothing.
    bool readyToJoin(QtCharts::QAbstractSeries* series) const;
    void waitToJoin(QtCharts::QAbstractSeries* series);
    void joinIfReady(QtCharts::QAbstractSeries* series);
    void stopWaiting(QtCharts::QAbstractSeries* series);

    QtCharts::QChart* chart_;
    ChartView2D* view_;
    QtCharts::QValueAxis* axisX_;
    QtCharts::QValueAxis* axisY_;
    QtCharts::QLineSeries* referenceSeries_;
    QPointer<QOpenGLWidget> glWidget_;
    QLabel* xReadout_;
    QLabel* yReadout_;
    QHash<QtCharts::QAbstractSeries*, QList<QMetaObject::Connection>> waiting_;
};
