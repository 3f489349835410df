#include "model/ResourceItemFactories.h"

#include "model/ItemStore.h"

using itemstore::recordOf;

ResourceItemFactory::ResourceItemFactory(const QStringList& keys, const QList<int>& versionTail, QObject* parent)
    : BaseItemFactory(QStringList{"Belong", "Name", "IsUsed", "ContainerName", "visible"} + keys,
                      QList<int>{1} + versionTail, parent)
{
}

ChartResourceItemFactory::ChartResourceItemFactory(const QStringList& keys, const QList<int>& versionTail,
                                                   QObject* parent)
    : ResourceItemFactory(QStringList{"Color"} + keys, QList<int>{1} + versionTail, parent)
{
}

LineResourceItemFactory::LineResourceItemFactory()
    : ChartResourceItemFactory({"Value", "Width", "Length"}, {1})
{
    type_ = ResourceType::Line;
}

BaseItem* LineResourceItemFactory::createItem(BaseItem::Data* record)
{
    return finish(new LineResourceItem(recordOf<LineResourceItem::Data>(record), model_));
}

ScatterResourceItemFactory::ScatterResourceItemFactory()
    : ChartResourceItemFactory({"Value", "ShowMarker", "ShowLineTrack", "ShowScatterTrack", "MarkerType",
                                "MarkerFilePath", "MarkerSize", "ShowName", "ShowCoordinate", "TrackWidth",
                                "TrackLength"},
                               {2})
{
    type_ = ResourceType::Scatter;
}

BaseItem* ScatterResourceItemFactory::createItem(BaseItem::Data* record)
{
    return finish(new ScatterResourceItem(recordOf<ScatterResourceItem::Data>(record), model_));
}

Scatter3DResourceItemFactory::Scatter3DResourceItemFactory()
    : ChartResourceItemFactory(
          {"Value", "ShowMarker", "ShowScatterTrack", "MarkerType", "MarkerSize", "TrackWidth", "TrackLength"}, {2})
{
    type_ = ResourceType::Scatter3D;
}

BaseItem* Scatter3DResourceItemFactory::createItem(BaseItem::Data* record)
{
    return finish(new Scatter3DResourceItem(recordOf<Scatter3DResourceItem::Data>(record), model_));
}

AttitudeResourceItemFactory::AttitudeResourceItemFactory()
    : ChartResourceItemFactory({"Value"}, {1})
{
    type_ = ResourceType::Attitude;
}

BaseItem* AttitudeResourceItemFactory::createItem(BaseItem::Data* record)
{
    return finish(new AttitudeResourceItem(recordOf<ChartResourceItem::Data>(record), model_));
}

DataResourceItemFactory::DataResourceItemFactory()
    : ResourceItemFactory({}, {1})
{
    type_ = ResourceType::Data;
}

BaseItem* DataResourceItemFactory::createItem(BaseItem::Data* record)
{
    return finish(new DataResourceItem(recordOf<DataResourceItem::Data>(record), model_));
}
