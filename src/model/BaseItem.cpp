#include "model/BaseItem.h"

#include <QMutex>

const QStringList& resourceTypeNames()
{
    static const QStringList names{"Data", "Line", "2D", "Altitude", "3D"};
    return names;
}

QString resourceTypeName(int type)
{
    const QStringList& names = resourceTypeNames();
    return (type >= 0 && type < names.size()) ? names.at(type) : QString();
}

QString resourceTypeName(ResourceType type)
{
    return resourceTypeName(static_cast<int>(type));
}

bool isResourceType3D(ResourceType type)
{
    return type == ResourceType::Attitude || type == ResourceType::Scatter3D;
}

BaseItem::BaseItem(Data* record, QObject* ownerModel)
    : QObject(nullptr)
    , record_(record)
    , ownerModel_(ownerModel)
{
    registerModelMetaTypes();
}

BaseItem::~BaseItem()
{
    delete record_;
}

bool BaseItem::lessThan(const BaseItem*) const
{
    return true;
}

void BaseItem::setData(int column, const QVariant& value)
{
    if (setDataValue(column, value))
        emit dataChanged(column);
}

void BaseItem::setValues(const QVariantList& values)
{
    const int n = qMin(columnCount(), values.size());
    for (int column = 0; column < n; ++column) {
        if (setDataValue(column, values.at(column)))
            emit dataChanged(column);
    }
}

QStringList BaseItem::toStringList() const
{
    QStringList list;
    const int n = columnCount();
    list.reserve(n);
    for (int column = 0; column < n; ++column)
        list << data(column, Qt::DisplayRole).toString();
    return list;
}

BaseItemFactory::BaseItemFactory(const QStringList& keys, const QList<int>& versionTail, QObject* parent)
    : QObject(parent)
    , keys_(keys)
{
    QVector<int> segments{1};
    for (int digit : versionTail)
        segments << digit;
    version_ = QVersionNumber(segments);
}

BaseItem* BaseItemFactory::finish(BaseItem* item) const
{
    item->setType(type_);
    return item;
}
