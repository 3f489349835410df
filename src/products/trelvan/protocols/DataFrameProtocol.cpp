#include "products/trelvan/protocols/DataFrameProtocol.h"

#include "model/DataWidgetBaseFactory.h"
#include "model/ModelManager.h"
#include "model/ResourceItems.h"
#include "products/trelvan/protocols/FrameDecoding.h"
#include "products/trelvan/protocols/NodeLabel.h"
#include "products/trelvan/protocols/TrelvanTables.h"

namespace Trelvan {

DataFrameProtocol::DataFrameProtocol(quint8 frameKey, int fixedLength, int minLength, int maxLength,
                                     QObject* parent)
    : DataFrameProtocol(frameNames.value(frameKey), frameKey, fixedLength, minLength, maxLength, parent)
{
}

DataFrameProtocol::DataFrameProtocol(const QString& name, quint8 frameKey, int fixedLength, int minLength,
                                     int maxLength, QObject* parent)
    : ProtocolBase(name, parent)
    , frameKey_(frameKey)
    , variable_(fixedLength <= 0)
    , collector_(new LineResourceCollector(this))
{
    isLengthKnown_ = true;
    if (variable_) {
        minFrameLength_ = minLength;
        maxFrameLength_ = maxLength < minLength ? minLength : maxLength;
        if (frameLength_ < minFrameLength_)
            frameLength_ = minFrameLength_;
    } else {
        frameLength_ = fixedLength;
        minFrameLength_ = fixedLength;
        maxFrameLength_ = fixedLength;
    }
    head_.append(char(kHeadByte));
    head_.append(char(frameKey));
}

DataFrameProtocol::~DataFrameProtocol() = default;

bool DataFrameProtocol::checkFrameLength(const char* data, qint64 available)
{
    if (!variable_)
        return ProtocolBase::checkFrameLength(data, available);
    return checkVariableFrameLength(data, available, minFrameLength_, frameLength_);
}

void DataFrameProtocol::writeValue(BaseResourceItem* item, const QVariant& value)
{
    if (item)
        item->setData(BaseResourceItem::ColValue, value);
}

void DataFrameProtocol::writeLine(BaseResourceItem* item, float value)
{
    if (item)
        item->setData(BaseResourceItem::ColValue, QVariant::fromValue(value));
}

void DataFrameProtocol::writeLineInt(BaseResourceItem* item, qint64 value)
{
    if (item)
        item->setData(BaseResourceItem::ColValue, QVariant::fromValue(value));
}

bool DataFrameProtocol::fixedRecordsFit(const char* frame, qint32 length, int fixedPart, int recordSize)
{
    if (!frame || fixedPart < 1 || length < fixedPart + 1)
        return false;
    return fixedRecordsWithin(fixedPart, readU8(frame + fixedPart - 1), recordSize, length - 1);
}

bool DataFrameProtocol::keepsRecords(const QByteArray& frame, int count)
{
    if (recordsFit(frame.constData(), frame.size()))
        return true;
    ++droppedFrames;
    logRecordsPastFrame(name(), count, frame.size());
    return false;
}

void DataFrameProtocol::writeScatter(BaseResourceItem* item, float x, float y)
{
    if (item)
        item->setData(BaseResourceItem::ColValue, QVariant::fromValue(ScatterValue{x, y, 0.0f}));
}

void DataFrameProtocol::writeScatter3D(BaseResourceItem* item, const Scatter3DValue& value)
{
    if (item)
        item->setData(BaseResourceItem::ColValue, QVariant::fromValue(value));
}

BaseResourceItem* DataFrameProtocol::createItem(ResourceType type, const QString& name, bool isUsed)
{
    ModelManager* manager = modelManager();
    if (!manager)
        return nullptr;
    return manager->createResource(type, name_, name, isUsed, nullptr, false);
}

LineResourceItem* DataFrameProtocol::createLineItem(const QString& name, bool isUsed)
{
    auto* line = qobject_cast<LineResourceItem*>(createItem(ResourceType::Line, name, isUsed));
    if (line)
        collector_->addItem(line);
    return line;
}

bool DataFrameProtocol::isKnownRole(qint8 role)
{
    return role >= 0 && role < roleLetters.size();
}

bool DataFrameProtocol::admitsNode(qint8 role, quint64 id)
{
    // Damaged roles are logged where the frame checks its roles; their records make
    // nothing (their labels would make phantom series) and take no place.
    if (!isKnownRole(role))
        return false;
    return nodeBound_.admits(nodeKey(role, id), name_, [role, id] { return nodeLabel(role, id); });
}

bool DataFrameProtocol::admitsKey(NodeBound& bound, quint64 key, const std::function<QString()>& label)
{
    return bound.admits(key, name_, label);
}

QList<BaseResourceItem*> DataFrameProtocol::takeNodeItems(qint8 role, quint64 id)
{
    Q_UNUSED(role)
    Q_UNUSED(id)
    return {};
}

void DataFrameProtocol::settleEvictions(NodeViews& views)
{
    views.shown = nodeBound_.roster();
    const QVector<quint64> keys = nodeBound_.takeEvicted();
    if (keys.isEmpty())
        return;
    QList<BaseResourceItem*> items;
    for (quint64 key : keys) {
        const NodeRef node = nodeOfKey(key);
        items += takeNodeItems(node.role, node.id);
    }
    releaseItems(items);
}

void DataFrameProtocol::releaseItems(const QList<BaseResourceItem*>& items)
{
    QList<BaseResourceItem*> present;
    QList<LineResourceItem*> lines;
    for (BaseResourceItem* item : items) {
        if (!item)
            continue;
        present << item;
        if (auto* line = qobject_cast<LineResourceItem*>(item))
            lines << line;
    }
    if (present.isEmpty())
        return;
    collector_->removeItems(lines);
    if (ModelManager* manager = modelManager())
        manager->releaseResources(present);
}

QVector<LineResourceItem*> DataFrameProtocol::createLineItems(const QStringList& names, bool isUsed)
{
    QVector<LineResourceItem*> items;
    items.reserve(names.size());
    for (const QString& name : names)
        items.append(createLineItem(name, isUsed));
    return items;
}

DataResourceItem* DataFrameProtocol::createDataItem(DataWidgetBaseFactory* factory)
{
    ModelManager* manager = modelManager();
    if (!manager) {
        delete factory;
        return dataItem_;
    }
    dataItem_ = qobject_cast<DataResourceItem*>(
        manager->createResource(ResourceType::Data, name_, QStringLiteral("data"), true, factory, false));
    return dataItem_;
}

void DataFrameProtocol::markDataChanged()
{
    if (dataItem_)
        dataItem_->setDirty(true);
}

} // namespace Trelvan
