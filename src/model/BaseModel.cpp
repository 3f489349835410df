#include "model/BaseModel.h"

#include <QMetaObject>
#include <QSettings>
#include <algorithm>
#include <cstdlib>

#include "foundation/ZLog.h"
#include "model/ContainerItems.h"
#include "model/ResourceItems.h"
#include "model/RowCodec.h"

// ---------------------------------------------------------------- BaseModel

BaseModel::BaseModel(BaseItemFactory* factory, QObject* parent)
    : QAbstractTableModel(parent)
    , factory_(factory)
    , handOver_(this)
{
    registerModelMetaTypes();
    factory_->setParent(nullptr);
    factory_->setModel(this);
}

BaseModel::~BaseModel()
{
    const QList<BaseItem*> items = items_;
    items_.clear();
    qDeleteAll(items);
    delete factory_;
}

QString BaseModel::name() const
{
    return resourceTypeName(factory_->type());
}

ResourceType BaseModel::type() const
{
    return factory_->type();
}

int BaseModel::rowOf(const BaseItem* item) const
{
    return items_.indexOf(const_cast<BaseItem*>(item));
}

int BaseModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : items_.size();
}

int BaseModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : factory_->keys().size();
}

QVariant BaseModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= items_.size())
        return {};
    return items_.at(index.row())->data(index.column(), role);
}

bool BaseModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || role != Qt::EditRole || index.row() >= items_.size())
        return false;
    items_.at(index.row())->setData(index.column(), value);
    return true;
}

QVariant BaseModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1;
    return factory_->keys().value(section);
}

Qt::ItemFlags BaseModel::flags(const QModelIndex& index) const
{
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (index.isValid())
        flags |= Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    return flags;
}

bool BaseModel::setHeaderData(int, Qt::Orientation, const QVariant&, int)
{
    return false;
}

bool BaseModel::insertRows(int, int, const QModelIndex&)
{
    return false;
}

bool BaseModel::removeRows(int, int, const QModelIndex&)
{
    return false;
}

BaseItem* BaseModel::createItem(BaseItem::Data* record)
{
    if (handOver_.needed()) {
        BaseItem* result = nullptr;
        if (!handOver_.run([&]() { result = createItem(record); }))
            delete record;
        return result;
    }
    BaseItem* item = factory_->createItem(record);
    if (!appendItem(item)) {
        delete item;
        return nullptr;
    }
    return item;
}

bool BaseModel::appendItem(BaseItem* item)
{
    if (!acceptItem(item))
        return false;
    const int row = items_.size();
    beginInsertRows(QModelIndex(), row, row);
    items_.append(item);
    connectItem(item);
    endInsertRows();
    addItem(item);
    return true;
}

bool BaseModel::acceptItem(BaseItem*) const
{
    return true;
}

void BaseModel::connectItem(BaseItem* item)
{
    connect(
        item, &BaseItem::dataChanged, this, [this, item](int column) { forwardItemChange(item, column); },
        Qt::DirectConnection);
}

void BaseModel::forwardItemChange(BaseItem* item, int column)
{
    if (!handOver_.needed()) {
        const int row = items_.indexOf(item);
        if (row >= 0)
            emit dataChanged(index(row, column), index(row, column), {});
        return;
    }
    // Values arrive from parsing threads at frame rate: collect the cells and
    // let one queued pass on the model's thread announce them.
    QMutexLocker lock(&pendingMutex_);
    pendingChanges_.insert(qMakePair(item, column));
    if (!flushScheduled_) {
        flushScheduled_ = true;
        QMetaObject::invokeMethod(this, [this]() { flushPendingChanges(); }, Qt::QueuedConnection);
    }
}

void BaseModel::flushPendingChanges()
{
    QSet<QPair<BaseItem*, int>> changes;
    {
        QMutexLocker lock(&pendingMutex_);
        changes.swap(pendingChanges_);
        flushScheduled_ = false;
    }
    for (const auto& change : qAsConst(changes)) {
        const int row = items_.indexOf(change.first);
        if (row >= 0)
            emit dataChanged(index(row, change.second), index(row, change.second), {});
    }
}

void BaseModel::removeItem(BaseItem* item)
{
    if (handOver_.needed()) {
        handOver_.run([&]() { removeItem(item); });
        return;
    }
    if (rowOf(item) < 0) {
        zCritical() << "BaseModel::removeItem: item not in model" << name();
        return;
    }
    removeRow(item);
}

void BaseModel::removeRow(BaseItem* item)
{
    const int row = items_.indexOf(item);
    if (row < 0)
        return;
    beginRemoveRows(QModelIndex(), row, row);
    items_.removeAt(row);
    endRemoveRows();
    {
        QMutexLocker lock(&pendingMutex_);
        for (auto it = pendingChanges_.begin(); it != pendingChanges_.end();) {
            if (it->first == item)
                it = pendingChanges_.erase(it);
            else
                ++it;
        }
    }
    delete item;
}

bool BaseModel::load(QSettings& settings)
{
    if (handOver_.needed()) {
        bool result = false;
        handOver_.run([&]() { result = load(settings); });
        return result;
    }
    // Drop whatever the model holds, announced like any removal.
    const QList<BaseItem*> old = items_;
    for (BaseItem* item : old)
        removeItem(item);
    if (!items_.isEmpty()) {
        beginResetModel();
        const QList<BaseItem*> rest = items_;
        items_.clear();
        qDeleteAll(rest);
        endResetModel();
    }

    const QString versionKey = name() + "/Version";
    const QString required = factory_->version().toString();
    const QString stored = settings.value(versionKey).toString();
    if (stored != required) {
        if (settings.contains(versionKey)) {
            zWarning() << name() << "model version is different,settings won't be used,required version:" << required
                       << ",settings version" << stored;
        }
        return false;
    }

    beginResetModel();
    QStringList rowTexts;
    const QList<QStringList> rows = RowCodec::parseItems(settings.value(name() + "/Items").toString(), &rowTexts);
    const QStringList& keys = factory_->keys();
    for (int i = 0; i < rows.size(); ++i) {
        const QStringList& fields = rows.at(i);
        if (fields.size() < keys.size()) {
            QString need;
            for (const QString& key : keys)
                need += key + '\t';
            zWarning() << "BaseModel::load" << QString(" need:%1,but get %2").arg(need, rowTexts.at(i));
            continue;
        }
        BaseItem* item = factory_->createItem(nullptr);
        QVariantList values;
        for (int column = 0; column < item->columnCount(); ++column)
            values << QVariant(fields.at(column));
        item->setValues(values);
        if (!acceptItem(item)) {
            delete item;
            continue;
        }
        items_.append(item);
        connectItem(item);
        addItem(item);
    }
    std::stable_sort(items_.begin(), items_.end(),
                     [](const BaseItem* a, const BaseItem* b) { return a->lessThan(b); });
    endResetModel();
    return true;
}

void BaseModel::save(QSettings& settings)
{
    if (handOver_.needed()) {
        handOver_.run([&]() { save(settings); });
        return;
    }
    QString rows;
    for (const BaseItem* item : qAsConst(items_))
        rows += RowCodec::joinRow(item->toStringList()) + ';';
    settings.setValue(name() + "/Version", factory_->version().toString());
    settings.setValue(name() + "/Items", rows);
}

// ---------------------------------------------------------------- BaseContainerModel

BaseContainerModel::BaseContainerModel(BaseItemFactory* factory, QObject* parent)
    : BaseModel(factory, parent)
{
}

BaseContainerModel::~BaseContainerModel()
{
    const QList<BaseContainerItem*> containers = containers_.values();
    for (BaseContainerItem* container : containers)
        removeItem(container);
}

Qt::ItemFlags BaseContainerModel::flags(const QModelIndex& index) const
{
    Qt::ItemFlags flags = BaseModel::flags(index);
    if (index.isValid())
        flags |= Qt::ItemIsEditable;
    return flags;
}

bool BaseContainerModel::acceptItem(BaseItem* item) const
{
    auto container = qobject_cast<BaseContainerItem*>(item);
    if (!container)
        return false;
    if (items().size() >= MaxContainers) {
        zWarning() << "container count > 100";
        return false;
    }
    if (!container->name().isEmpty() && containers_.contains(container->name())) {
        zCritical() << "name already existed" << container->name();
        return false;
    }
    return true;
}

QString BaseContainerModel::generateName() const
{
    const QString pattern = name() + " [%1]";
    auto nameOf = [&](int n) { return pattern.arg(n, 2, 10, QLatin1Char('0')); };
    // Random first, as users know the names; the limit of 100 containers
    // leaves a free two-digit name, found by the scan when luck runs out.
    for (int attempt = 0; attempt < 1000; ++attempt) {
        const QString candidate = nameOf(std::rand() % 100);
        if (!containers_.contains(candidate))
            return candidate;
    }
    for (int n = 0;; ++n) {
        const QString candidate = nameOf(n);
        if (!containers_.contains(candidate))
            return candidate;
    }
}

void BaseContainerModel::addItem(BaseItem* item)
{
    auto container = qobject_cast<BaseContainerItem*>(item);
    if (!container)
        return;
    if (container->name().isEmpty())
        container->setData(BaseContainerItem::ColName, generateName());
    container->attach();
    containers_.insert(container->name(), container);
    if (container->isDefault())
        setDefaultContainer(container->name());
}

void BaseContainerModel::removeItem(BaseItem* item)
{
    if (handOver().needed()) {
        handOver().run([&]() { removeItem(item); });
        return;
    }
    auto container = qobject_cast<BaseContainerItem*>(item);
    if (!container || rowOf(container) < 0) {
        zCritical() << "BaseContainerModel::removeItem: container not in model" << name();
        return;
    }
    const QString containerName = container->name();
    // Resources move to the default container; when the default itself goes
    // they are left without one rather than named after a deleted container.
    const QString target = defaultContainerName_ == containerName ? QString() : defaultContainerName_;
    const QList<BaseResourceItem*> resources = container->resources();
    for (BaseResourceItem* resource : resources) {
        resource->setData(BaseResourceItem::ColContainerName, target);
        // Moved out: the container's deletion must not empty its name again.
        container->removeResource(resource);
    }
    container->setData(BaseContainerItem::ColWindow, QString());
    containers_.remove(containerName);
    // A default name that names no container would send resources nowhere.
    if (defaultContainerName_ == containerName)
        defaultContainerName_.clear();
    emit itemDeleted(containerName);
    removeRow(container);
}

void BaseContainerModel::setDefaultContainer(const QString& name)
{
    if (name == defaultContainerName_)
        return;
    if (BaseContainerItem* old = containers_.value(defaultContainerName_))
        old->setData(BaseContainerItem::ColAsDefault, false);
    if (BaseContainerItem* chosen = containers_.value(name))
        chosen->setData(BaseContainerItem::ColAsDefault, true);
    defaultContainerName_ = name;
}

bool BaseContainerModel::chooseOtherDefault()
{
    if (containers_.size() < 2)
        return false;
    for (auto it = containers_.cbegin(); it != containers_.cend(); ++it) {
        if (it.key() != defaultContainerName_) {
            setDefaultContainer(it.key());
            return true;
        }
    }
    return false;
}

bool BaseContainerModel::load(QSettings& settings)
{
    if (handOver().needed()) {
        bool result = false;
        handOver().run([&]() { result = load(settings); });
        return result;
    }
    const bool loaded = settings.childGroups().contains(name()) && BaseModel::load(settings);
    // A page always has a container of each of its types to put resources in.
    if (!loaded || containers_.isEmpty())
        createItem(nullptr);
    if (defaultContainerName_.isEmpty() && !containers_.isEmpty())
        setDefaultContainer(containers_.firstKey());
    return true;
}

// ---------------------------------------------------------------- BaseResourceModel

BaseResourceModel::BaseResourceModel(BaseItemFactory* factory, QObject* parent)
    : BaseModel(factory, parent)
{
}

BaseResourceModel::~BaseResourceModel()
{
    const QList<BaseResourceItem*> resources = resources_.values();
    for (BaseResourceItem* resource : resources)
        removeItem(resource);
}

void BaseResourceModel::addItem(BaseItem* item)
{
    auto resource = qobject_cast<BaseResourceItem*>(item);
    if (!resource)
        return;
    const QString key = resource->uniqueName();
    BaseResourceItem* previous = resources_.value(key, nullptr);
    if (previous && previous != resource) {
        QStringList& keys = keysOf_[previous];
        keys.removeAll(key);
        if (keys.isEmpty())
            keysOf_.remove(previous);
    }
    resources_.insert(key, resource);
    QStringList& keys = keysOf_[resource];
    if (!keys.contains(key))
        keys << key;
    QMutexLocker lock(&indexMutex_);
    // A reserved item released before its row came is about to go: indexed again,
    // a thread asking for its name would get it and write into it once deleted.
    if (resource == inserting_ && !indexedName_.contains(resource))
        return;
    indexLocked(resource->uniqueName(), resource);
}

void BaseResourceModel::indexLocked(const QString& name, BaseResourceItem* item)
{
    unindexLocked(item);
    if (BaseResourceItem* previous = index_.value(name))
        indexedName_.remove(previous);
    index_.insert(name, item);
    indexedName_.insert(item, name);
}

void BaseResourceModel::unindexLocked(BaseResourceItem* item)
{
    auto it = indexedName_.find(item);
    if (it == indexedName_.end())
        return;
    if (index_.value(it.value()) == item)
        index_.remove(it.value());
    indexedName_.erase(it);
}

BaseResourceItem* BaseResourceModel::indexed(const QString& uniqueName) const
{
    QMutexLocker lock(&indexMutex_);
    return index_.value(uniqueName);
}

BaseResourceItem* BaseResourceModel::findOrReserve(const QString& uniqueName,
                                                   const std::function<BaseResourceItem*()>& make, bool* created)
{
    QMutexLocker lock(&indexMutex_);
    *created = false;
    if (BaseResourceItem* item = index_.value(uniqueName))
        return item;
    BaseResourceItem* item = make();
    if (item) {
        indexLocked(uniqueName, item);
        *created = true;
    }
    return item;
}

void BaseResourceModel::unindex(BaseResourceItem* item)
{
    QMutexLocker lock(&indexMutex_);
    unindexLocked(item);
}

bool BaseResourceModel::insertReserved(BaseResourceItem* item)
{
    // Restored, not cleared: a view told of the new rows may drain further insertions.
    BaseResourceItem* const outer = inserting_;
    inserting_ = item;
    const bool appended = appendItem(item);
    inserting_ = outer;
    if (appended)
        return true;
    unindex(item);
    return false;
}

void BaseResourceModel::removeItem(BaseItem* item)
{
    if (handOver().needed()) {
        handOver().run([&]() { removeItem(item); });
        return;
    }
    auto resource = qobject_cast<BaseResourceItem*>(item);
    const QString uniqueName = resource ? resource->uniqueName() : QString();
    // Every name that leads to the item: its own and one left under an older
    // name (Belong or Name edited).
    // Looked up, not searched: a flood of nodes turning over removes items by the
    // hundred a second from models of thousands.
    QStringList names;
    if (resource) {
        for (const QString& key : keysOf_.take(resource)) {
            if (resources_.value(key, nullptr) == resource) {
                resources_.remove(key);
                names << key;
            }
        }
    }
    if (names.isEmpty()) {
        zCritical() << "item: " << uniqueName << " not existed in current resourceModel";
        return;
    }
    {
        // Only if its name still leads to it: another thread may have reserved
        // the name for a new item already.
        QMutexLocker lock(&indexMutex_);
        unindexLocked(resource);
    }
    resource->setData(BaseResourceItem::ColVisible, false);
    resource->setData(BaseResourceItem::ColContainerName, QString());
    emit itemDeleted(uniqueName);
    removeRow(resource);
}
