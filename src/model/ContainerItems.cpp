#include "model/ContainerItems.h"

#include "foundation/ZLog.h"
#include "model/BaseModel.h"
#include "model/ItemStore.h"
#include "model/ResourceItems.h"

using namespace itemstore;

// ---------------------------------------------------------------- BaseContainerItem

BaseContainerItem::BaseContainerItem(Data* record, QObject* ownerModel)
    : BaseItem(record, ownerModel)
    , record_(record)
{
    if (auto model = qobject_cast<BaseContainerModel*>(ownerModel))
        windowNames_ = model->availableWindowNamesFunction();
}

BaseContainerItem::~BaseContainerItem()
{
    const QList<BaseResourceItem*> resources = resources_;
    resources_.clear();
    for (BaseResourceItem* resource : resources)
        resource->setData(BaseResourceItem::ColContainerName, QString());
}

QVariant BaseContainerItem::data(int column, int role) const
{
    if (!isEditRole(role))
        return {};
    switch (column) {
    case ColName: return record_->Name;
    case ColWindow: return record_->Window;
    case ColAsDefault: return record_->AsDefault;
    default: return {};
    }
}

int BaseContainerItem::columnCount() const
{
    return 3;
}

bool BaseContainerItem::lessThan(const BaseItem* other) const
{
    auto o = qobject_cast<const BaseContainerItem*>(other);
    return o && record_->Window < o->record_->Window;
}

bool BaseContainerItem::setDataValue(int column, const QVariant& value)
{
    switch (column) {
    case ColName: {
        const QString name = value.toString();
        if (name == record_->Name)
            return false;
        // The name keys the model's maps, the resources' ContainerName and the
        // window's current container: it is fixed once the item is attached.
        if (attached_) {
            zWarning() << "container name is fixed once attached, rename refused:" << record_->Name << "->"
                       << name;
            return false;
        }
        record_->Name = name;
        return true;
    }
    case ColWindow: return setWindow(value.toString());
    case ColAsDefault: return storeIfChanged(record_->AsDefault, value.toBool());
    default: return false;
    }
}

bool BaseContainerItem::setWindow(const QString& window)
{
    if (!attached_) {
        pendingWindow_ = window;
        return false;
    }
    if (window == record_->Window)
        return false;
    const QString old = record_->Window;
    if (auto model = qobject_cast<BaseContainerModel*>(ownerModel()))
        emit model->itemMoved(record_->Name, old, window);
    record_->Window = window;
    return true;
}

void BaseContainerItem::applyToResource(BaseResourceItem*)
{
}

void BaseContainerItem::attach()
{
    attached_ = true;
    if (auto model = qobject_cast<BaseContainerModel*>(ownerModel()))
        emit model->itemCreated(this);
    const QString pending = pendingWindow_;
    pendingWindow_.clear();
    const QStringList windows = availableWindowNames();
    QString target = pending;
    if (!(!pending.isEmpty() && windows.contains(pending))) {
        if (!windows.isEmpty())
            target = windows.first();
        else
            zCritical() << "availableWindowNames is empty," << resourceTypeName(type());
    }
    setData(ColWindow, target);
}

void BaseContainerItem::appendResource(BaseResourceItem* resource)
{
    if (!resource)
        return;
    resources_.append(resource);
    // Only the first entry needs the guard; a second one would remove twice.
    if (resources_.count(resource) == 1) {
        connect(resource, &QObject::destroyed, this, [this, resource]() { resources_.removeAll(resource); },
                Qt::DirectConnection);
    }
}

void BaseContainerItem::removeResource(BaseResourceItem* resource)
{
    const int index = resources_.indexOf(resource);
    if (index < 0)
        return;
    resources_.removeAt(index);
    if (!resources_.contains(resource))
        disconnect(resource, &QObject::destroyed, this, nullptr);
}

QStringList BaseContainerItem::availableWindowNames() const
{
    return windowNames_ ? windowNames_() : QStringList();
}

void BaseContainerItem::pushToResources(int resourceColumn, const QVariant& value)
{
    const QList<BaseResourceItem*> resources = resources_;
    for (BaseResourceItem* resource : resources)
        resource->setData(resourceColumn, value);
}

// ---------------------------------------------------------------- ChartContainerItem

ChartContainerItem::ChartContainerItem(Data* record, QObject* ownerModel)
    : BaseContainerItem(record, ownerModel)
    , record_(record)
{
}

QVariant ChartContainerItem::data(int column, int role) const
{
    if (column == ColSeriesWidgetWidth && isEditRole(role))
        return record_->SeriesWidgetWidth;
    return BaseContainerItem::data(column, role);
}

int ChartContainerItem::columnCount() const
{
    return 4;
}

bool ChartContainerItem::setDataValue(int column, const QVariant& value)
{
    if (column == ColSeriesWidgetWidth)
        return storeIfChanged(record_->SeriesWidgetWidth, value.toInt());
    return BaseContainerItem::setDataValue(column, value);
}

// ---------------------------------------------------------------- LineContainerItem

LineContainerItem::LineContainerItem(Data* record, QObject* ownerModel)
    : ChartContainerItem(record, ownerModel)
    , record_(record)
{
}

QVariant LineContainerItem::data(int column, int role) const
{
    if (!isEditRole(role))
        return {};
    switch (column) {
    case ColPoints: return record_->Points;
    case ColYMin: return record_->YMin;
    case ColYMax: return record_->YMax;
    case ColXGrids: return record_->XGrids;
    case ColYGrids: return record_->YGrids;
    default: return ChartContainerItem::data(column, role);
    }
}

int LineContainerItem::columnCount() const
{
    return 9;
}

bool LineContainerItem::setDataValue(int column, const QVariant& value)
{
    switch (column) {
    case ColPoints:
        if (!storeIfChanged(record_->Points, value.toInt()))
            return false;
        pushToResources(LineResourceItem::ColLength, record_->Points);
        return true;
    case ColYMin: return storeDouble(record_->YMin, value.toDouble());
    case ColYMax: return storeDouble(record_->YMax, value.toDouble());
    case ColXGrids: return storeIfChanged(record_->XGrids, value.toInt());
    case ColYGrids: return storeIfChanged(record_->YGrids, value.toInt());
    default: return ChartContainerItem::setDataValue(column, value);
    }
}

void LineContainerItem::applyToResource(BaseResourceItem* resource)
{
    if (resource)
        resource->setData(LineResourceItem::ColLength, record_->Points);
}

// ---------------------------------------------------------------- ScatterContainerItem

ScatterContainerItem::ScatterContainerItem(Data* record, QObject* ownerModel)
    : ChartContainerItem(record, ownerModel)
    , record_(record)
{
}

QVariant ScatterContainerItem::data(int column, int role) const
{
    if (!isEditRole(role))
        return {};
    switch (column) {
    case ColXMin: return record_->XMin;
    case ColXMax: return record_->XMax;
    case ColYMin: return record_->YMin;
    case ColYMax: return record_->YMax;
    case ColXGrids: return record_->XGrids;
    case ColYGrids: return record_->YGrids;
    case ColEqualRatio: return record_->EqualRatio;
    case ColUseMap: return record_->UseMap;
    case ColMapXMin: return record_->MapXMin;
    case ColMapXMax: return record_->MapXMax;
    case ColMapYMin: return record_->MapYMin;
    case ColMapYMax: return record_->MapYMax;
    case ColMapFilePath: return record_->MapFilePath;
    case ColTrackLength: return record_->TrackLength;
    default: return ChartContainerItem::data(column, role);
    }
}

int ScatterContainerItem::columnCount() const
{
    return 18;
}

bool ScatterContainerItem::setDataValue(int column, const QVariant& value)
{
    switch (column) {
    case ColXMin: return storeDouble(record_->XMin, value.toDouble());
    case ColXMax: return storeDouble(record_->XMax, value.toDouble());
    case ColYMin: return storeDouble(record_->YMin, value.toDouble());
    case ColYMax: return storeDouble(record_->YMax, value.toDouble());
    case ColXGrids: return storeIfChanged(record_->XGrids, value.toInt());
    case ColYGrids: return storeIfChanged(record_->YGrids, value.toInt());
    case ColEqualRatio: return storeIfChanged(record_->EqualRatio, value.toBool());
    case ColUseMap: return storeIfChanged(record_->UseMap, value.toBool());
    case ColMapXMin: return storeDouble(record_->MapXMin, value.toDouble());
    case ColMapXMax: return storeDouble(record_->MapXMax, value.toDouble());
    case ColMapYMin: return storeDouble(record_->MapYMin, value.toDouble());
    case ColMapYMax: return storeDouble(record_->MapYMax, value.toDouble());
    case ColMapFilePath: return storeIfChanged(record_->MapFilePath, value.toString());
    case ColTrackLength:
        if (!storeIfChanged(record_->TrackLength, value.toInt()))
            return false;
        pushToResources(ScatterResourceItem::ColTrackLength, record_->TrackLength);
        return true;
    default: return ChartContainerItem::setDataValue(column, value);
    }
}

void ScatterContainerItem::applyToResource(BaseResourceItem* resource)
{
    if (resource)
        resource->setData(ScatterResourceItem::ColTrackLength, record_->TrackLength);
}

// ---------------------------------------------------------------- Scatter3DContainerItem

Scatter3DContainerItem::Scatter3DContainerItem(Data* record, QObject* ownerModel)
    : ChartContainerItem(record, ownerModel)
    , record_(record)
{
}

QVariant Scatter3DContainerItem::data(int column, int role) const
{
    if (!isEditRole(role))
        return {};
    switch (column) {
    case ColXMin: return record_->XMin;
    case ColXMax: return record_->XMax;
    case ColYMin: return record_->YMin;
    case ColYMax: return record_->YMax;
    case ColZMin: return record_->ZMin;
    case ColZMax: return record_->ZMax;
    case ColXGrids: return record_->XGrids;
    case ColYGrids: return record_->YGrids;
    case ColZGrids: return record_->ZGrids;
    case ColTrackLength: return record_->TrackLength;
    default: return ChartContainerItem::data(column, role);
    }
}

int Scatter3DContainerItem::columnCount() const
{
    return 14;
}

bool Scatter3DContainerItem::setDataValue(int column, const QVariant& value)
{
    switch (column) {
    case ColXMin: return storeFloat(record_->XMin, value.toFloat());
    case ColXMax: return storeFloat(record_->XMax, value.toFloat());
    case ColYMin: return storeFloat(record_->YMin, value.toFloat());
    case ColYMax: return storeFloat(record_->YMax, value.toFloat());
    case ColZMin: return storeFloat(record_->ZMin, value.toFloat());
    case ColZMax: return storeFloat(record_->ZMax, value.toFloat());
    case ColXGrids: return storeIfChanged(record_->XGrids, value.toInt());
    case ColYGrids: return storeIfChanged(record_->YGrids, value.toInt());
    case ColZGrids: return storeIfChanged(record_->ZGrids, value.toInt());
    case ColTrackLength:
        if (!storeIfChanged(record_->TrackLength, value.toInt()))
            return false;
        pushToResources(Scatter3DResourceItem::ColTrackLength, record_->TrackLength);
        return true;
    default: return ChartContainerItem::setDataValue(column, value);
    }
}

void Scatter3DContainerItem::applyToResource(BaseResourceItem* resource)
{
    if (resource)
        resource->setData(Scatter3DResourceItem::ColTrackLength, record_->TrackLength);
}

// ---------------------------------------------------------------- Attitude, Data

AttitudeContainerItem::AttitudeContainerItem(ChartContainerItem::Data* record, QObject* ownerModel)
    : ChartContainerItem(record, ownerModel)
{
}

DataContainerItem::DataContainerItem(BaseContainerItem::Data* record, QObject* ownerModel)
    : BaseContainerItem(record, ownerModel)
{
}

// ---------------------------------------------------------------- factories

ContainerItemFactory::ContainerItemFactory(const QStringList& keys, const QList<int>& versionTail, QObject* parent)
    : BaseItemFactory(QStringList{"Name", "Window", "AsDefault"} + keys, QList<int>{2} + versionTail, parent)
{
}

ChartContainerItemFactory::ChartContainerItemFactory(const QStringList& keys, const QList<int>& versionTail,
                                                     QObject* parent)
    : ContainerItemFactory(QStringList{"SeriesWidgetWidth"} + keys, QList<int>{2} + versionTail, parent)
{
}

BaseItem* ChartContainerItemFactory::createItem(BaseItem::Data* record)
{
    return finish(new ChartContainerItem(recordOf<ChartContainerItem::Data>(record), model_));
}

LineContainerItemFactory::LineContainerItemFactory()
    : ChartContainerItemFactory({"Points", "YMin", "YMax", "XGrids", "YGrids"}, {1})
{
    type_ = ResourceType::Line;
}

BaseItem* LineContainerItemFactory::createItem(BaseItem::Data* record)
{
    return finish(new LineContainerItem(recordOf<LineContainerItem::Data>(record), model_));
}

ScatterContainerItemFactory::ScatterContainerItemFactory()
    : ChartContainerItemFactory({"XMin", "XMax", "YMin", "YMax", "XGrids", "YGrids", "EqualRatio", "UseMap",
                                 "MapXMin", "MapXMax", "MapYMin", "MapYMax", "MapFilePath", "TrackLength"},
                                {2})
{
    type_ = ResourceType::Scatter;
}

BaseItem* ScatterContainerItemFactory::createItem(BaseItem::Data* record)
{
    return finish(new ScatterContainerItem(recordOf<ScatterContainerItem::Data>(record), model_));
}

Scatter3DContainerItemFactory::Scatter3DContainerItemFactory()
    : ChartContainerItemFactory(
          {"XMin", "XMax", "YMin", "YMax", "ZMin", "ZMax", "XGrids", "YGrids", "ZGrids", "TrackLength"}, {1})
{
    type_ = ResourceType::Scatter3D;
}

BaseItem* Scatter3DContainerItemFactory::createItem(BaseItem::Data* record)
{
    return finish(new Scatter3DContainerItem(recordOf<Scatter3DContainerItem::Data>(record), model_));
}

AttitudeContainerItemFactory::AttitudeContainerItemFactory()
    : ChartContainerItemFactory({}, {1})
{
    type_ = ResourceType::Attitude;
}

BaseItem* AttitudeContainerItemFactory::createItem(BaseItem::Data* record)
{
    return finish(new AttitudeContainerItem(recordOf<ChartContainerItem::Data>(record), model_));
}

DataContainerItemFactory::DataContainerItemFactory()
    : ContainerItemFactory({}, {1})
{
    type_ = ResourceType::Data;
}

BaseItem* DataContainerItemFactory::createItem(BaseItem::Data* record)
{
    return finish(new DataContainerItem(recordOf<BaseContainerItem::Data>(record), model_));
}
