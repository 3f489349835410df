#pragma once

#include <QColor>
#include <QList>
#include <QMutex>
#include <QPointF>
#include <QVector>
#include <QVector3D>
#include <QtDataVisualization/QScatterDataItem>
#include <atomic>

#include "model/BaseItem.h"
#include "model/ResourceValues.h"

class DataWidgetBaseFactory;

// One thing a product publishes for display (a series, a point with its track,
// an attitude, a data view). Column 6 ("Value") is written from parsing
// threads; the other columns are display settings.
//
// Columns: 0 Belong, 1 Name, 2 IsUsed, 3 ContainerName, 4 visible,
// then 5 Color for the chart kinds and the kind's own columns from 6 on.
class BaseResourceItem : public BaseItem
{
    Q_OBJECT
public:
    struct Data : BaseItem::Data
    {
        QString Belong;
        QString Name;
        bool IsUsed = true;
        QString ContainerName;
        bool visible = true;
    };

    enum Column { ColBelong = 0, ColName, ColIsUsed, ColContainerName, ColVisible, ColColor, ColValue };

    BaseResourceItem(Data* record, QObject* ownerModel);

    QVariant data(int column, int role) const override;
    int columnCount() const override;
    bool lessThan(const BaseItem* other) const override;
    bool setDataValue(int column, const QVariant& value) override;

    // Drops the item's live values (history, track, last attitude).
    virtual void clear();

    // Announces a used item through its model and places it into a container
    // (the remembered one when it exists, else the model's default).
    void setUsed(bool used);
    bool isUsed() const { return used_; }

    // Set when a new value was written into column 6; the chart and data
    // refresh passes clear it before copying the item into its view.
    void setDirty(bool dirty) { dirty_.store(dirty, std::memory_order_release); }
    bool isDirty() const { return dirty_.load(std::memory_order_acquire); }

    // While set, writes to the "visible" column are ignored.
    void setFixedVisibility(bool fixed) { fixedVisibility_ = fixed; }
    bool isFixedVisibility() const { return fixedVisibility_; }

    Data* resourceRecord() const { return record_; }
    // Belong followed directly by Name: the key of the item in its model.
    QString uniqueName() const { return record_->Belong + record_->Name; }
    QString belong() const { return record_->Belong; }
    QString name() const { return record_->Name; }
    QString containerName() const { return record_->ContainerName; }
    QString pendingContainerName() const { return pendingContainerName_; }
    bool isVisible() const { return record_->visible; }

protected:
    // Value writes are taken only while visible.
    bool acceptsValues() const { return record_->visible; }

private:
    bool setContainerName(const QString& name);

    Data* record_;
    bool used_ = false;
    QString pendingContainerName_;
    std::atomic<bool> dirty_{true};
    bool fixedVisibility_ = false;
};

// A resource drawn in a chart: adds the colour (column 5).
class ChartResourceItem : public BaseResourceItem
{
    Q_OBJECT
public:
    struct Data : BaseResourceItem::Data
    {
        QColor Color;
    };

    ChartResourceItem(Data* record, QObject* ownerModel);

    QVariant data(int column, int role) const override;
    int columnCount() const override;
    bool setDataValue(int column, const QVariant& value) override;

    QColor color() const { return record_->Color; }
    Data* chartRecord() const { return record_; }

private:
    Data* record_;
};

// A line series: a double per write, at most Length values kept.
// Columns 6 Value (double), 7 Width, 8 Length.
class LineResourceItem : public ChartResourceItem
{
    Q_OBJECT
public:
    struct Data : ChartResourceItem::Data
    {
        int Width = 2;
        int Length = 200;
    };

    enum LineColumn { ColWidth = 7, ColLength = 8 };

    LineResourceItem(Data* record, QObject* ownerModel);

    QVariant data(int column, int role) const override;
    int columnCount() const override;
    bool setDataValue(int column, const QVariant& value) override;
    void clear() override;

    // Guards the values and the last value.
    QMutex& mutex() const { return mutex_; }
    // A copy of the kept values, oldest first (implicitly shared: cheap).
    QList<double> values() const;
    double lastValue() const;
    Data* lineRecord() const { return record_; }

private:
    bool writeValue(double v);

    Data* record_;
    double lastValue_ = 0.0;
    mutable QMutex mutex_;
    QList<double> values_;
};

// A 2D point with its track of at most TrackLength points.
// Columns 6 Value (ScatterValue), 7 ShowMarker, 8 ShowLineTrack,
// 9 ShowScatterTrack, 10 MarkerType, 11 MarkerFilePath, 12 MarkerSize,
// 13 ShowName, 14 ShowCoordinate, 15 TrackWidth, 16 TrackLength.
class ScatterResourceItem : public ChartResourceItem
{
    Q_OBJECT
public:
    struct Data : ChartResourceItem::Data
    {
        bool ShowMarker = true;
        bool ShowLineTrack = true;
        bool ShowScatterTrack = false;
        int MarkerType = 0;
        QString MarkerFilePath;
        int MarkerSize = 30;
        bool ShowName = true;
        bool ShowCoordinate = false;
        int TrackWidth = 5;
        int TrackLength = 500;
    };

    enum ScatterColumn {
        ColShowMarker = 7, ColShowLineTrack, ColShowScatterTrack, ColMarkerType, ColMarkerFilePath,
        ColMarkerSize, ColShowName, ColShowCoordinate, ColTrackWidth, ColTrackLength
    };

    ScatterResourceItem(Data* record, QObject* ownerModel);

    QVariant data(int column, int role) const override;
    int columnCount() const override;
    bool setDataValue(int column, const QVariant& value) override;
    void clear() override;

    QMutex& mutex() const { return mutex_; }
    ScatterValue lastValue() const;
    QVector<QPointF> track() const;
    // Last value and track taken under one lock.
    void snapshot(ScatterValue* last, QVector<QPointF>* track) const;
    Data* scatterRecord() const { return record_; }

private:
    bool writeValue(const ScatterValue& v);

    Data* record_;
    mutable QMutex mutex_;
    ScatterValue lastValue_;
    QVector<QPointF> track_;
};

// A 3D point with its marker rotation and a track of at most TrackLength entries.
// Columns 6 Value (Scatter3DValue), 7 ShowMarker, 8 ShowScatterTrack,
// 9 MarkerType, 10 MarkerSize (float), 11 TrackWidth (float), 12 TrackLength.
class Scatter3DResourceItem : public ChartResourceItem
{
    Q_OBJECT
public:
    struct Data : ChartResourceItem::Data
    {
        bool ShowMarker = true;
        bool ShowScatterTrack = true;
        int MarkerType = 2;
        float MarkerSize = 0.2f;
        float TrackWidth = 0.1f;
        int TrackLength = 500;
    };

    enum Scatter3DColumn {
        ColShowMarker = 7, ColShowScatterTrack, ColMarkerType, ColMarkerSize, ColTrackWidth, ColTrackLength
    };

    // "Sphere" (0), "Pyramid" (1), "Airplane" (2).
    static const QStringList& markerTypeNames();

    Scatter3DResourceItem(Data* record, QObject* ownerModel);

    QVariant data(int column, int role) const override;
    int columnCount() const override;
    bool setDataValue(int column, const QVariant& value) override;
    void clear() override;

    QMutex& mutex() const { return mutex_; }
    Scatter3DValue lastValue() const;
    // Graph positions (the value's z is the graph's vertical axis) and marker
    // rotations, oldest first.
    QVector<QtDataVisualization::QScatterDataItem> track() const;
    Data* scatter3DRecord() const { return record_; }

    // The graph entry of a value: position (x, z, y), rotation from the Euler
    // angles with pitch -b, yaw c - 90, roll -a.
    static QtDataVisualization::QScatterDataItem toGraphItem(const Scatter3DValue& v);

private:
    bool writeValue(const Scatter3DValue& v);

    Data* record_;
    mutable QMutex mutex_;
    Scatter3DValue lastValue_;
    QVector<QtDataVisualization::QScatterDataItem> track_;
};

// Three angles in degrees (QVector3D) for the attitude model. Column 6 Value.
class AttitudeResourceItem : public ChartResourceItem
{
    Q_OBJECT
public:
    AttitudeResourceItem(ChartResourceItem::Data* record, QObject* ownerModel);

    QVariant data(int column, int role) const override;
    int columnCount() const override;
    bool setDataValue(int column, const QVariant& value) override;
    void clear() override;

    QMutex& mutex() const { return mutex_; }
    QVector3D lastValue() const;

private:
    mutable QMutex mutex_;
    QVector3D lastValue_;
};

// A product-specific data view. Its record owns the page factory.
class DataResourceItem : public BaseResourceItem
{
    Q_OBJECT
public:
    struct Data : BaseResourceItem::Data
    {
        ~Data() override;
        DataWidgetBaseFactory* factory = nullptr; // owned
    };

    DataResourceItem(Data* record, QObject* ownerModel);

    // Emits clearRequired() and raises the clear request that the product's
    // view reads and resets.
    void clear() override;
    bool isClearRequested() const { return clearRequest_.load(); }
    void resetClearRequest() { clearRequest_.store(false); }

    DataWidgetBaseFactory* factory() const { return record_->factory; }
    // Takes ownership of factory; the previous one (when different) is deleted.
    void setFactory(DataWidgetBaseFactory* factory);
    Data* dataRecord() const { return record_; }

signals:
    void clearRequired();

private:
    Data* record_;
    std::atomic<bool> clearRequest_{false};
};

// Collects the line items a product page creates; its views learn of each new
// one through item_created.
class LineResourceCollector : public QObject
{
    Q_OBJECT
public:
    explicit LineResourceCollector(QObject* parent = nullptr);

    void addItem(LineResourceItem* item);
    // Forgets items about to be removed from their model; each is announced by
    // item_removed, so that pages drop their rows.
    void removeItems(const QList<LineResourceItem*>& items);
    QList<LineResourceItem*> items() const;

signals:
    void item_created(LineResourceItem* item);
    void item_removed(LineResourceItem* item);

private:
    mutable QMutex mutex_;
    QList<LineResourceItem*> items_;
};
