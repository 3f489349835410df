#include "model/ResourceItems.h"

#include <QMutexLocker>
#include <QQuaternion>

#include "foundation/ZLog.h"
#include "model/BaseModel.h"
#include "model/DataWidgetBaseFactory.h"
#include "model/ItemStore.h"

using QtDataVisualization::QScatterDataItem;
using namespace itemstore;

namespace {

// A history holds at least one entry: the newest value is always kept.
int atLeastOne(int length)
{
    return length < 1 ? 1 : length;
}

} // namespace

// ---------------------------------------------------------------- BaseResourceItem

BaseResourceItem::BaseResourceItem(Data* record, QObject* ownerModel)
    : BaseItem(record, ownerModel)
    , record_(record)
{
}

QVariant BaseResourceItem::data(int column, int role) const
{
    if (!isEditRole(role))
        return {};
    switch (column) {
    case ColBelong: return record_->Belong;
    case ColName: return record_->Name;
    case ColIsUsed: return record_->IsUsed;
    case ColContainerName: return record_->ContainerName;
    case ColVisible: return record_->visible;
    default: return {};
    }
}

int BaseResourceItem::columnCount() const
{
    return 5;
}

bool BaseResourceItem::lessThan(const BaseItem* other) const
{
    auto o = qobject_cast<const BaseResourceItem*>(other);
    if (!o)
        return false;
    if (record_->Belong != o->record_->Belong)
        return record_->Belong < o->record_->Belong;
    return record_->ContainerName < o->record_->ContainerName;
}

bool BaseResourceItem::setDataValue(int column, const QVariant& value)
{
    switch (column) {
    case ColBelong: return storeIfChanged(record_->Belong, value.toString());
    case ColName: return storeIfChanged(record_->Name, value.toString());
    case ColIsUsed: return storeIfChanged(record_->IsUsed, value.toBool());
    case ColContainerName: return setContainerName(value.toString());
    case ColVisible:
        if (fixedVisibility_)
            return false;
        return storeIfChanged(record_->visible, value.toBool());
    default: return false;
    }
}

bool BaseResourceItem::setContainerName(const QString& name)
{
    if (!used_) {
        pendingContainerName_ = name;
        return false;
    }
    if (name == record_->ContainerName)
        return false;
    const QString old = record_->ContainerName;
    if (auto model = qobject_cast<BaseResourceModel*>(ownerModel()))
        emit model->itemMoved(uniqueName(), old, name);
    record_->ContainerName = name;
    return true;
}

void BaseResourceItem::clear()
{
}

void BaseResourceItem::setUsed(bool used)
{
    used_ = used;
    if (!used)
        return;
    auto model = qobject_cast<BaseResourceModel*>(ownerModel());
    if (model)
        emit model->itemCreated(this);
    const QString pending = pendingContainerName_;
    pendingContainerName_.clear();
    QString target = pending;
    if (!(model && !pending.isEmpty() && model->availableContainerNames().contains(pending))) {
        const QString fallback = model ? model->defaultContainerName() : QString();
        if (!fallback.isEmpty())
            target = fallback;
        else
            zCritical() << "defaultContainerName is empty," << resourceTypeName(type());
    }
    setData(ColContainerName, target);
}

// ---------------------------------------------------------------- ChartResourceItem

ChartResourceItem::ChartResourceItem(Data* record, QObject* ownerModel)
    : BaseResourceItem(record, ownerModel)
    , record_(record)
{
}

QVariant ChartResourceItem::data(int column, int role) const
{
    if (column == ColColor && isEditRole(role))
        return record_->Color.name(QColor::HexRgb);
    return BaseResourceItem::data(column, role);
}

int ChartResourceItem::columnCount() const
{
    return 6;
}

bool ChartResourceItem::setDataValue(int column, const QVariant& value)
{
    if (column != ColColor)
        return BaseResourceItem::setDataValue(column, value);
    const QString text = value.toString();
    if (text == record_->Color.name(QColor::HexRgb))
        return false;
    record_->Color.setNamedColor(text);
    return true;
}

// ---------------------------------------------------------------- LineResourceItem

LineResourceItem::LineResourceItem(Data* record, QObject* ownerModel)
    : ChartResourceItem(record, ownerModel)
    , record_(record)
{
}

QVariant LineResourceItem::data(int column, int role) const
{
    if (!isEditRole(role))
        return {};
    switch (column) {
    case ColValue: {
        QMutexLocker lock(&mutex_);
        return lastValue_;
    }
    case ColWidth: return record_->Width;
    case ColLength: return record_->Length;
    default: return ChartResourceItem::data(column, role);
    }
}

int LineResourceItem::columnCount() const
{
    return 9;
}

bool LineResourceItem::setDataValue(int column, const QVariant& value)
{
    switch (column) {
    case ColValue: return writeValue(value.toDouble());
    case ColWidth: return storeIfChanged(record_->Width, value.toInt());
    case ColLength: {
        // The writer reads the length under the lock while it trims.
        QMutexLocker lock(&mutex_);
        return storeIfChanged(record_->Length, atLeastOne(value.toInt()));
    }
    default: return ChartResourceItem::setDataValue(column, value);
    }
}

bool LineResourceItem::writeValue(double v)
{
    if (!acceptsValues())
        return false;
    QMutexLocker lock(&mutex_);
    const int length = atLeastOne(record_->Length);
    if (values_.size() + 1 > length) {
        while (values_.size() >= length)
            values_.removeFirst();
    }
    values_.append(v);
    const bool changed = !qFuzzyCompare(v, lastValue_);
    if (changed)
        lastValue_ = v;
    setDirty(true);
    return changed;
}

void LineResourceItem::clear()
{
    QMutexLocker lock(&mutex_);
    values_.clear();
}

QList<double> LineResourceItem::values() const
{
    QMutexLocker lock(&mutex_);
    return values_;
}

double LineResourceItem::lastValue() const
{
    QMutexLocker lock(&mutex_);
    return lastValue_;
}

// ---------------------------------------------------------------- ScatterResourceItem

ScatterResourceItem::ScatterResourceItem(Data* record, QObject* ownerModel)
    : ChartResourceItem(record, ownerModel)
    , record_(record)
{
}

QVariant ScatterResourceItem::data(int column, int role) const
{
    if (!isEditRole(role))
        return {};
    switch (column) {
    case ColValue: {
        QMutexLocker lock(&mutex_);
        return QVariant::fromValue(lastValue_);
    }
    case ColShowMarker: return record_->ShowMarker;
    case ColShowLineTrack: return record_->ShowLineTrack;
    case ColShowScatterTrack: return record_->ShowScatterTrack;
    case ColMarkerType: return record_->MarkerType;
    case ColMarkerFilePath: return record_->MarkerFilePath;
    case ColMarkerSize: return record_->MarkerSize;
    case ColShowName: return record_->ShowName;
    case ColShowCoordinate: return record_->ShowCoordinate;
    case ColTrackWidth: return record_->TrackWidth;
    case ColTrackLength: return record_->TrackLength;
    default: return ChartResourceItem::data(column, role);
    }
}

int ScatterResourceItem::columnCount() const
{
    return 17;
}

bool ScatterResourceItem::setDataValue(int column, const QVariant& value)
{
    switch (column) {
    case ColValue:
        if (value.userType() != qMetaTypeId<ScatterValue>())
            return false;
        return writeValue(value.value<ScatterValue>());
    case ColShowMarker: return storeIfChanged(record_->ShowMarker, value.toBool());
    case ColShowLineTrack: return storeIfChanged(record_->ShowLineTrack, value.toBool());
    case ColShowScatterTrack: return storeIfChanged(record_->ShowScatterTrack, value.toBool());
    case ColMarkerType: return storeIfChanged(record_->MarkerType, value.toInt());
    case ColMarkerFilePath: return storeIfChanged(record_->MarkerFilePath, value.toString());
    case ColMarkerSize: return storeIfChanged(record_->MarkerSize, value.toInt());
    case ColShowName: return storeIfChanged(record_->ShowName, value.toBool());
    case ColShowCoordinate: return storeIfChanged(record_->ShowCoordinate, value.toBool());
    case ColTrackWidth: return storeIfChanged(record_->TrackWidth, value.toInt());
    case ColTrackLength: {
        QMutexLocker lock(&mutex_);
        return storeIfChanged(record_->TrackLength, atLeastOne(value.toInt()));
    }
    default: return ChartResourceItem::setDataValue(column, value);
    }
}

bool ScatterResourceItem::writeValue(const ScatterValue& v)
{
    if (!acceptsValues())
        return false;
    QMutexLocker lock(&mutex_);
    track_.append(QPointF(v.x, v.y));
    const int length = atLeastOne(record_->TrackLength);
    if (track_.size() > length)
        track_.erase(track_.begin(), track_.begin() + (track_.size() - length));
    const bool same = qFuzzyCompare(v.x, lastValue_.x) && qFuzzyCompare(v.y, lastValue_.y)
                      && qFuzzyCompare(v.angle, lastValue_.angle);
    if (!same)
        lastValue_ = v;
    setDirty(true);
    return !same;
}

void ScatterResourceItem::clear()
{
    QMutexLocker lock(&mutex_);
    track_.clear();
}

ScatterValue ScatterResourceItem::lastValue() const
{
    QMutexLocker lock(&mutex_);
    return lastValue_;
}

QVector<QPointF> ScatterResourceItem::track() const
{
    QMutexLocker lock(&mutex_);
    return track_;
}

void ScatterResourceItem::snapshot(ScatterValue* last, QVector<QPointF>* track) const
{
    QMutexLocker lock(&mutex_);
    if (last)
        *last = lastValue_;
    if (track)
        *track = track_;
}

// ---------------------------------------------------------------- Scatter3DResourceItem

const QStringList& Scatter3DResourceItem::markerTypeNames()
{
    static const QStringList names{"Sphere", "Pyramid", "Airplane"};
    return names;
}

Scatter3DResourceItem::Scatter3DResourceItem(Data* record, QObject* ownerModel)
    : ChartResourceItem(record, ownerModel)
    , record_(record)
{
}

QVariant Scatter3DResourceItem::data(int column, int role) const
{
    if (!isEditRole(role))
        return {};
    switch (column) {
    case ColValue: {
        QMutexLocker lock(&mutex_);
        return QVariant::fromValue(lastValue_);
    }
    case ColShowMarker: return record_->ShowMarker;
    case ColShowScatterTrack: return record_->ShowScatterTrack;
    case ColMarkerType: return record_->MarkerType;
    case ColMarkerSize: return record_->MarkerSize;
    case ColTrackWidth: return record_->TrackWidth;
    case ColTrackLength: return record_->TrackLength;
    default: return ChartResourceItem::data(column, role);
    }
}

int Scatter3DResourceItem::columnCount() const
{
    return 13;
}

bool Scatter3DResourceItem::setDataValue(int column, const QVariant& value)
{
    switch (column) {
    case ColValue:
        if (value.userType() != qMetaTypeId<Scatter3DValue>())
            return false;
        return writeValue(value.value<Scatter3DValue>());
    case ColShowMarker: return storeIfChanged(record_->ShowMarker, value.toBool());
    case ColShowScatterTrack: return storeIfChanged(record_->ShowScatterTrack, value.toBool());
    case ColMarkerType: return storeIfChanged(record_->MarkerType, value.toInt());
    case ColMarkerSize: {
        float size = value.toFloat();
        if (qAbs(size) <= 0.00001f) {
            size = 0.1f;
            zCritical() << "scatter3d markersize=0,auto replaced with 0.1f";
        }
        return storeFloat(record_->MarkerSize, size);
    }
    case ColTrackWidth: return storeFloat(record_->TrackWidth, value.toFloat());
    case ColTrackLength: {
        QMutexLocker lock(&mutex_);
        return storeIfChanged(record_->TrackLength, atLeastOne(value.toInt()));
    }
    default: return ChartResourceItem::setDataValue(column, value);
    }
}

QScatterDataItem Scatter3DResourceItem::toGraphItem(const Scatter3DValue& v)
{
    const QQuaternion rotation = QQuaternion::fromEulerAngles(-v.b, v.c - 90.0f, -v.a);
    return QScatterDataItem(QVector3D(v.x, v.z, v.y), rotation);
}

bool Scatter3DResourceItem::writeValue(const Scatter3DValue& v)
{
    if (!acceptsValues())
        return false;
    QMutexLocker lock(&mutex_);
    track_.append(toGraphItem(v));
    const int length = atLeastOne(record_->TrackLength);
    if (track_.size() > length)
        track_.erase(track_.begin(), track_.begin() + (track_.size() - length));
    const bool changed = v.x != lastValue_.x || v.y != lastValue_.y || v.z != lastValue_.z
                         || v.a != lastValue_.a || v.b != lastValue_.b || v.c != lastValue_.c;
    if (changed)
        lastValue_ = v;
    setDirty(true);
    return changed;
}

void Scatter3DResourceItem::clear()
{
    QMutexLocker lock(&mutex_);
    track_.clear();
}

Scatter3DValue Scatter3DResourceItem::lastValue() const
{
    QMutexLocker lock(&mutex_);
    return lastValue_;
}

QVector<QScatterDataItem> Scatter3DResourceItem::track() const
{
    QMutexLocker lock(&mutex_);
    return track_;
}

// ---------------------------------------------------------------- AttitudeResourceItem

AttitudeResourceItem::AttitudeResourceItem(ChartResourceItem::Data* record, QObject* ownerModel)
    : ChartResourceItem(record, ownerModel)
{
}

QVariant AttitudeResourceItem::data(int column, int role) const
{
    if (column == ColValue && isEditRole(role)) {
        QMutexLocker lock(&mutex_);
        return lastValue_;
    }
    return ChartResourceItem::data(column, role);
}

int AttitudeResourceItem::columnCount() const
{
    return 7;
}

bool AttitudeResourceItem::setDataValue(int column, const QVariant& value)
{
    if (column != ColValue)
        return ChartResourceItem::setDataValue(column, value);
    if (!acceptsValues() || value.userType() != QMetaType::QVector3D)
        return false;
    const QVector3D v = value.value<QVector3D>();
    QMutexLocker lock(&mutex_);
    if (v.x() == lastValue_.x() && v.y() == lastValue_.y() && v.z() == lastValue_.z())
        return false;
    lastValue_ = v;
    setDirty(true);
    return true;
}

void AttitudeResourceItem::clear()
{
    QMutexLocker lock(&mutex_);
    lastValue_ = QVector3D();
}

QVector3D AttitudeResourceItem::lastValue() const
{
    QMutexLocker lock(&mutex_);
    return lastValue_;
}

// ---------------------------------------------------------------- DataResourceItem

DataResourceItem::Data::~Data()
{
    delete factory;
}

DataResourceItem::DataResourceItem(Data* record, QObject* ownerModel)
    : BaseResourceItem(record, ownerModel)
    , record_(record)
{
}

void DataResourceItem::clear()
{
    emit clearRequired();
    clearRequest_.store(true);
}

void DataResourceItem::setFactory(DataWidgetBaseFactory* factory)
{
    if (record_->factory == factory)
        return;
    delete record_->factory;
    record_->factory = factory;
}

// ---------------------------------------------------------------- LineResourceCollector

LineResourceCollector::LineResourceCollector(QObject* parent)
    : QObject(parent)
{
}

void LineResourceCollector::addItem(LineResourceItem* item)
{
    {
        QMutexLocker lock(&mutex_);
        items_.append(item);
    }
    emit item_created(item);
}

void LineResourceCollector::removeItems(const QList<LineResourceItem*>& items)
{
    {
        QMutexLocker lock(&mutex_);
        for (LineResourceItem* item : items)
            items_.removeAll(item);
    }
    for (LineResourceItem* item : items)
        emit item_removed(item);
}

QList<LineResourceItem*> LineResourceCollector::items() const
{
    QMutexLocker lock(&mutex_);
    return items_;
}
