#pragma once

#include "model/BaseItem.h"
#include "model/ResourceItems.h"

// Keys "Belong", "Name", "IsUsed", "ContainerName", "visible"; digit 1.
class ResourceItemFactory : public BaseItemFactory
{
    Q_OBJECT
public:
    ResourceItemFactory(const QStringList& keys, const QList<int>& versionTail, QObject* parent = nullptr);
};

// Adds "Color"; digit 1.
class ChartResourceItemFactory : public ResourceItemFactory
{
    Q_OBJECT
public:
    ChartResourceItemFactory(const QStringList& keys, const QList<int>& versionTail, QObject* parent = nullptr);
};

// Version 1.1.1.1.
class LineResourceItemFactory : public ChartResourceItemFactory
{
    Q_OBJECT
public:
    LineResourceItemFactory();
    BaseItem* createItem(BaseItem::Data* record) override;
};

// Version 1.1.1.2.
class ScatterResourceItemFactory : public ChartResourceItemFactory
{
    Q_OBJECT
public:
    ScatterResourceItemFactory();
    BaseItem* createItem(BaseItem::Data* record) override;
};

// Version 1.1.1.2.
class Scatter3DResourceItemFactory : public ChartResourceItemFactory
{
    Q_OBJECT
public:
    Scatter3DResourceItemFactory();
    BaseItem* createItem(BaseItem::Data* record) override;
};

// Version 1.1.1.1.
class AttitudeResourceItemFactory : public ChartResourceItemFactory
{
    Q_OBJECT
public:
    AttitudeResourceItemFactory();
    BaseItem* createItem(BaseItem::Data* record) override;
};

// Version 1.1.1.
class DataResourceItemFactory : public ResourceItemFactory
{
    Q_OBJECT
public:
    DataResourceItemFactory();
    BaseItem* createItem(BaseItem::Data* record) override;
};
