#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <functional>

#include <QtCharts/QAbstractSeries>

class BaseResourceItem;
class ChartResourceItem;
class ChartResourceSettingWidget;
class QColor;

// The view side of one resource item: its chart series, 3D series or data view.
// Two paths drive it: the item's change signal (settings, GUI thread) and the
// refresh pass, which calls updateFromItem() for dirty, visible items. The chart
// pass runs on a worker thread: there updateFromItem() only copies the item's
// data (under the item's lock) and hands the copy to the GUI thread, which owns
// the series and applies it.
class BaseResource : public QObject
{
    Q_OBJECT
public:
    explicit BaseResource(BaseResourceItem* item, QObject* parent = nullptr);
    ~BaseResource() override;

    BaseResourceItem* item() const { return item_; }
    bool isInitialized() const { return initialised_; }

    // Every column through handleItemDataChanged, then handleInitialized().
    void syncFromItem();
    // Writes the item's "visible" column ("Select All Series").
    void setItemVisible(bool visible);

    virtual void setVisible(bool visible) = 0;
    // Copies the item's newest values into the series or view.
    virtual void updateFromItem() = 0;
    virtual void handleInitialized() {}

public slots:
    virtual void handleItemDataChanged(int column);

protected:
    // Runs apply on the GUI thread with this resource, unless the resource was
    // deleted meanwhile; at once when already on the GUI thread. A newer hand-over
    // replaces one not yet applied.
    void applyOnGuiThread(std::function<void(BaseResource*)> apply);

private:
    BaseResourceItem* item_;
    bool initialised_ = false;
    quint64 handoverId_;
};

// A resource drawn in a chart; owns the setting widget of the series panel, built
// when first asked for (a panel asks once the row comes into view).
class ChartResource : public BaseResource
{
    Q_OBJECT
public:
    ChartResource(ChartResourceItem* item, QObject* parent = nullptr);
    ~ChartResource() override;

    ChartResourceSettingWidget* settingWidget() const;
    ChartResourceItem* chartItem() const { return chartItem_; }

    virtual void setColor(const QColor& color) = 0;
    void handleInitialized() override;

public slots:
    void handleItemDataChanged(int column) override;

protected:
    // Concrete constructors say how their widget is built; it starts hidden.
    void setSettingWidgetFactory(std::function<ChartResourceSettingWidget*()> factory);

private:
    ChartResourceItem* chartItem_;
    std::function<ChartResourceSettingWidget*()> settingFactory_;
    mutable QPointer<ChartResourceSettingWidget> settingWidget_;
};

// A resource drawn with QtCharts series; the 2D containers add every series of
// seriesList() to their chart.
class ChartResource2D : public ChartResource
{
    Q_OBJECT
public:
    using ChartResource::ChartResource;
    ~ChartResource2D() override;

    QList<QtCharts::QAbstractSeries*> seriesList() const;

    void setVisible(bool visible) override;
    void setColor(const QColor& color) override;

protected:
    void addSeries(QtCharts::QAbstractSeries* series);

private:
    // A chart that is destroyed first deletes the series it holds.
    QList<QPointer<QtCharts::QAbstractSeries>> series_;
};
