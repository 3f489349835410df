#pragma once

#include <QList>
#include <QStringList>
#include <functional>

#include "model/BaseItem.h"

class BaseResourceItem;

// One chart area (or data-view area) placed in a window of the page layout.
// Columns: 0 Name, 1 Window, 2 AsDefault, then 3 SeriesWidgetWidth for the
// chart kinds and the kind's own settings from 4 on.
class BaseContainerItem : public BaseItem
{
    Q_OBJECT
public:
    struct Data : BaseItem::Data
    {
        QString Name;
        QString Window;
        bool AsDefault = false;
    };

    enum Column { ColName = 0, ColWindow, ColAsDefault, ColSeriesWidgetWidth };

    using WindowNamesFunction = std::function<QStringList()>;

    // Copies the owner container model's window-names function.
    BaseContainerItem(Data* record, QObject* ownerModel);
    // Every resource still listed gets an empty ContainerName.
    ~BaseContainerItem() override;

    QVariant data(int column, int role) const override;
    int columnCount() const override;
    bool lessThan(const BaseItem* other) const override;
    bool setDataValue(int column, const QVariant& value) override;

    // Copies the container's history length into a resource placed in it.
    virtual void applyToResource(BaseResourceItem* resource);

    // Called once by the model when the item is added: announces it and
    // places it into the remembered window, else the first window.
    void attach();
    bool isAttached() const { return attached_; }

    // The resource items shown in this container (not owned). A resource that
    // is destroyed leaves the list by itself.
    const QList<BaseResourceItem*>& resources() const { return resources_; }
    void appendResource(BaseResourceItem* resource);
    void removeResource(BaseResourceItem* resource);

    const WindowNamesFunction& windowNamesFunction() const { return windowNames_; }
    QStringList availableWindowNames() const;

    Data* containerRecord() const { return record_; }
    QString name() const { return record_->Name; }
    QString window() const { return record_->Window; }
    bool isDefault() const { return record_->AsDefault; }
    QString pendingWindowName() const { return pendingWindow_; }

protected:
    // Writes value into the given column of every listed resource.
    void pushToResources(int resourceColumn, const QVariant& value);

private:
    bool setWindow(const QString& window);

    WindowNamesFunction windowNames_;
    Data* record_;
    QList<BaseResourceItem*> resources_;
    QString pendingWindow_;
    bool attached_ = false;
};

class ChartContainerItem : public BaseContainerItem
{
    Q_OBJECT
public:
    struct Data : BaseContainerItem::Data
    {
        int SeriesWidgetWidth = 100;
    };

    ChartContainerItem(Data* record, QObject* ownerModel);

    QVariant data(int column, int role) const override;
    int columnCount() const override;
    bool setDataValue(int column, const QVariant& value) override;

    Data* chartRecord() const { return record_; }

private:
    Data* record_;
};

// Columns 4 Points, 5 YMin, 6 YMax, 7 XGrids, 8 YGrids.
class LineContainerItem : public ChartContainerItem
{
    Q_OBJECT
public:
    struct Data : ChartContainerItem::Data
    {
        Data() { SeriesWidgetWidth = 300; }
        int Points = 500;
        double YMin = -1.0;
        double YMax = 11.0;
        int XGrids = 10;
        int YGrids = 10;
    };

    enum LineColumn { ColPoints = 4, ColYMin, ColYMax, ColXGrids, ColYGrids };

    LineContainerItem(Data* record, QObject* ownerModel);

    QVariant data(int column, int role) const override;
    int columnCount() const override;
    bool setDataValue(int column, const QVariant& value) override;
    void applyToResource(BaseResourceItem* resource) override;

    Data* lineRecord() const { return record_; }

private:
    Data* record_;
};

// Columns 4 XMin, 5 XMax, 6 YMin, 7 YMax, 8 XGrids, 9 YGrids, 10 EqualRatio,
// 11 UseMap, 12 MapXMin, 13 MapXMax, 14 MapYMin, 15 MapYMax, 16 MapFilePath,
// 17 TrackLength.
class ScatterContainerItem : public ChartContainerItem
{
    Q_OBJECT
public:
    struct Data : ChartContainerItem::Data
    {
        double XMin = -1.0;
        double XMax = 11.0;
        double YMin = -1.0;
        double YMax = 11.0;
        int XGrids = 10;
        int YGrids = 10;
        bool EqualRatio = false;
        bool UseMap = false;
        double MapXMin = -1.0;
        double MapXMax = 11.0;
        double MapYMin = -1.0;
        double MapYMax = 11.0;
        QString MapFilePath;
        int TrackLength = 500;
    };

    enum ScatterColumn {
        ColXMin = 4, ColXMax, ColYMin, ColYMax, ColXGrids, ColYGrids, ColEqualRatio, ColUseMap,
        ColMapXMin, ColMapXMax, ColMapYMin, ColMapYMax, ColMapFilePath, ColTrackLength
    };

    ScatterContainerItem(Data* record, QObject* ownerModel);

    QVariant data(int column, int role) const override;
    int columnCount() const override;
    bool setDataValue(int column, const QVariant& value) override;
    void applyToResource(BaseResourceItem* resource) override;

    Data* scatterRecord() const { return record_; }

private:
    Data* record_;
};

// Columns 4 XMin, 5 XMax, 6 YMin, 7 YMax, 8 ZMin, 9 ZMax (floats),
// 10 XGrids, 11 YGrids, 12 ZGrids, 13 TrackLength.
class Scatter3DContainerItem : public ChartContainerItem
{
    Q_OBJECT
public:
    struct Data : ChartContainerItem::Data
    {
        float XMin = -1.0f;
        float XMax = 11.0f;
        float YMin = -1.0f;
        float YMax = 11.0f;
        float ZMin = -3.0f;
        float ZMax = 3.0f;
        int XGrids = 5;
        int YGrids = 5;
        int ZGrids = 5;
        int TrackLength = 500;
    };

    enum Scatter3DColumn {
        ColXMin = 4, ColXMax, ColYMin, ColYMax, ColZMin, ColZMax, ColXGrids, ColYGrids, ColZGrids, ColTrackLength
    };

    Scatter3DContainerItem(Data* record, QObject* ownerModel);

    QVariant data(int column, int role) const override;
    int columnCount() const override;
    bool setDataValue(int column, const QVariant& value) override;
    void applyToResource(BaseResourceItem* resource) override;

    Data* scatter3DRecord() const { return record_; }

private:
    Data* record_;
};

class AttitudeContainerItem : public ChartContainerItem
{
    Q_OBJECT
public:
    AttitudeContainerItem(ChartContainerItem::Data* record, QObject* ownerModel);
};

class DataContainerItem : public BaseContainerItem
{
    Q_OBJECT
public:
    DataContainerItem(BaseContainerItem::Data* record, QObject* ownerModel);
};

// ---------------------------------------------------------------- factories

// Keys "Name", "Window", "AsDefault"; digit 2.
class ContainerItemFactory : public BaseItemFactory
{
    Q_OBJECT
public:
    ContainerItemFactory(const QStringList& keys, const QList<int>& versionTail, QObject* parent = nullptr);
};

// Adds "SeriesWidgetWidth"; digit 2. Builds a plain ChartContainerItem.
class ChartContainerItemFactory : public ContainerItemFactory
{
    Q_OBJECT
public:
    ChartContainerItemFactory(const QStringList& keys, const QList<int>& versionTail, QObject* parent = nullptr);
    BaseItem* createItem(BaseItem::Data* record) override;
};

// Version 1.2.2.1.
class LineContainerItemFactory : public ChartContainerItemFactory
{
    Q_OBJECT
public:
    LineContainerItemFactory();
    BaseItem* createItem(BaseItem::Data* record) override;
};

// Version 1.2.2.2.
class ScatterContainerItemFactory : public ChartContainerItemFactory
{
    Q_OBJECT
public:
    ScatterContainerItemFactory();
    BaseItem* createItem(BaseItem::Data* record) override;
};

// Version 1.2.2.1.
class Scatter3DContainerItemFactory : public ChartContainerItemFactory
{
    Q_OBJECT
public:
    Scatter3DContainerItemFactory();
    BaseItem* createItem(BaseItem::Data* record) override;
};

// Version 1.2.2.1.
class AttitudeContainerItemFactory : public ChartContainerItemFactory
{
    Q_OBJECT
public:
    AttitudeContainerItemFactory();
    BaseItem* createItem(BaseItem::Data* record) override;
};

// Version 1.2.1.
class DataContainerItemFactory : public ContainerItemFactory
{
    Q_OBJECT
public:
    DataContainerItemFactory();
    BaseItem* createItem(BaseItem::Data* record) override;
};
