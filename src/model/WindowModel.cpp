#include "model/WindowModel.h"

#include <QMimeData>
#include <QPointer>
#include <QTextCodec>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>
#include <algorithm>
#include <cstdlib>

#include "foundation/ZLog.h"
#include "model/ContainerItems.h"

// ---------------------------------------------------------------- WindowItem

WindowItem::WindowItem(WindowItemType type, const QString& name, Qt::Orientation orientation,
                       const QString& currentContainer)
    : QObject(nullptr)
    , type_(type)
    , name_(name)
    , orientation_(orientation)
    , currentContainer_(currentContainer)
{
}

WindowItem::~WindowItem()
{
    const QList<BaseContainerItem*> containers = containers_;
    containers_.clear();
    for (BaseContainerItem* container : containers) {
        disconnect(container, &QObject::destroyed, this, nullptr);
        container->setData(BaseContainerItem::ColWindow, QString());
    }
    if (parent_) {
        parent_->children_.removeAll(this);
        parent_ = nullptr;
    }
    const QList<WindowItem*> children = children_;
    for (WindowItem* child : children)
        delete child; // each child takes itself out of children_
    children_.clear();
}

int WindowItem::row() const
{
    return parent_ ? parent_->children_.indexOf(const_cast<WindowItem*>(this)) : 0;
}

void WindowItem::addContainer(BaseContainerItem* container)
{
    if (!container || containers_.contains(container))
        return;
    containers_.append(container);
    // A container deleted while listed must not be touched later.
    connect(container, &QObject::destroyed, this, [this, container]() { containers_.removeAll(container); });
}

void WindowItem::removeContainer(BaseContainerItem* container)
{
    if (containers_.removeAll(container) > 0)
        disconnect(container, &QObject::destroyed, this, nullptr);
}

QVariant WindowItem::columnData(int column) const
{
    switch (column) {
    case ColType: return static_cast<int>(type_);
    case ColName: return name_;
    case ColOrientation: return static_cast<int>(orientation_);
    case ColCurrentContainer: return currentContainer_;
    default: return {};
    }
}

bool WindowItem::setColumnData(int column, const QVariant& value)
{
    switch (column) {
    case ColType: {
        bool ok = false;
        const int raw = value.toInt(&ok);
        // A value outside the enum would be saved back as a layout no reader takes.
        if (!ok || raw < Root || raw > Window)
            return false;
        const auto type = static_cast<WindowItemType>(raw);
        if (type == type_)
            return false;
        type_ = type;
        return true;
    }
    case ColOrientation: {
        const auto orientation = static_cast<Qt::Orientation>(value.toInt());
        if (orientation == orientation_)
            return false;
        orientation_ = orientation;
        return true;
    }
    case ColCurrentContainer: {
        const QString name = value.toString();
        if (name == currentContainer_)
            return false;
        currentContainer_ = name;
        return true;
    }
    default: return false;
    }
}

// ---------------------------------------------------------------- WindowModel

WindowModel::WindowModel(const QList<ResourceType>& neededTypes, QObject* parent)
    : QAbstractItemModel(parent)
    , neededTypes_(neededTypes)
{
    registerModelMetaTypes();
}

WindowModel::~WindowModel()
{
    delete root_;
    root_ = nullptr;
    // Subtrees detached and waiting for their deferred deletion go with the model.
    QList<QPointer<WindowItem>> detached;
    for (WindowItem* item : qAsConst(items_)) {
        if (!item->parent_)
            detached << item;
    }
    for (const QPointer<WindowItem>& item : qAsConst(detached))
        delete item.data();
}

WindowItem* WindowModel::root()
{
    if (!root_)
        root_ = createItem(WindowItem::Root, Qt::Vertical, QStringLiteral("0"), QString());
    return root_;
}

QStringList WindowModel::windowNames() const
{
    QStringList names;
    for (auto it = windows_.cbegin(); it != windows_.cend(); ++it) {
        // Windows taken out of the tree wait for deletion: they hold nothing.
        const WindowItem* top = it.value();
        while (top->parent_)
            top = top->parent_;
        if (top == root_)
            names << it.key();
    }
    return names;
}

QString WindowModel::generateName()
{
    auto nameOf = [](int n) { return QStringLiteral("Window ") + QStringLiteral(" [%1]").arg(n, 2, 10, QLatin1Char('0')); };
    bool poolHasRoom = false;
    for (int n = 0; n < 100 && !poolHasRoom; ++n)
        poolHasRoom = !items_.contains(nameOf(n));
    if (poolHasRoom) {
        for (;;) {
            const QString candidate = nameOf(std::rand() % 100);
            if (!items_.contains(candidate))
                return candidate;
        }
    }
    // The pool is used up: count on from where the last such name was taken.
    while (items_.contains(nameOf(nextNameNumber_)))
        ++nextNameNumber_;
    return nameOf(nextNameNumber_++);
}

int WindowModel::itemCount() const
{
    if (!root_)
        return 0;
    int count = 0;
    QList<const WindowItem*> pending{root_};
    while (!pending.isEmpty()) {
        const WindowItem* item = pending.takeLast();
        count += item->children_.size();
        for (const WindowItem* child : item->children_)
            pending.append(child);
    }
    return count;
}

int WindowModel::levelOf(const WindowItem* item)
{
    int level = 0;
    for (const WindowItem* p = item ? item->parent_ : nullptr; p; p = p->parent_)
        ++level;
    return level;
}

int WindowModel::heightOf(const WindowItem* item)
{
    // Within the limits the recursion is at most MaxDepth deep.
    int height = 0;
    for (const WindowItem* child : item->children_)
        height = std::max(height, 1 + heightOf(child));
    return height;
}

bool WindowModel::withinLimits(int added, WindowItem* item, int deeper, int placedDepth) const
{
    bool ok = itemCount() + added <= MaxItems && placedDepth <= MaxDepth;
    if (ok && item && item != root_)
        ok = levelOf(item) + heightOf(item) + deeper <= MaxDepth;
    if (!ok)
        zWarning() << "window layout would exceed" << MaxDepth << "levels or" << MaxItems << "items, refused";
    return ok;
}

WindowItem* WindowModel::createItem(WindowItem::WindowItemType type, Qt::Orientation orientation, const QString& name,
                                    const QString& currentContainer)
{
    const QString itemName = name.isEmpty() ? generateName() : name;
    auto item = new WindowItem(type, itemName, orientation, currentContainer);
    items_.insert(itemName, item);
    if (type == WindowItem::Window)
        windows_.insert(itemName, item);
    connect(item, &QObject::destroyed, this, [this, itemName, item]() {
        if (items_.value(itemName) == item)
            items_.remove(itemName);
        if (windows_.value(itemName) == item)
            windows_.remove(itemName);
        emit itemDeleted(itemName);
    });
    emit itemCreated(item);
    return item;
}

void WindowModel::placeItem(WindowItem* item, WindowItem* parent, int place)
{
    const QString oldParentName = item->parent_ ? item->parent_->name_ : QString();
    if (item->parent_) {
        item->parent_->children_.removeAll(item);
        item->parent_ = nullptr;
    }
    if (parent) {
        if (place < 0 || place > parent->children_.size())
            parent->children_.append(item);
        else
            parent->children_.insert(place, item);
        item->parent_ = parent;
    }
    emit itemMoved(item->name_, oldParentName, parent ? parent->name_ : QString(), place);
}

WindowItem* WindowModel::splitAround(WindowItem* item)
{
    if (item == root() || !item->parent_)
        return root_;
    WindowItem* splitter = createItem(WindowItem::Splitter, item->orientation_, QString(), QString());
    placeItem(splitter, item->parent_, item->row());
    placeItem(item, splitter, -1);
    return splitter;
}

void WindowModel::destroyNow(WindowItem* item)
{
    delete item;
}

void WindowModel::detachAndDelete(WindowItem* item)
{
    placeItem(item, nullptr, -1);
    item->deleteLater();
}

void WindowModel::addDefaultWindow()
{
    beginResetModel();
    WindowItem* window = createItem(WindowItem::Window, root()->orientation_, QString(), QString());
    placeItem(window, root_, -1);
    endResetModel();
}

void WindowModel::addNew(WindowItem* parent, WindowItem::WindowItemType type)
{
    root();
    WindowItem* beside = parent && parent != root_ && parent->parent_ ? parent : nullptr;
    if (!(beside ? withinLimits(2, beside, 1, 0) : withinLimits(1, nullptr, 0, 1)))
        return;
    beginResetModel();
    WindowItem* target = splitAround(parent ? parent : root_);
    WindowItem* item = createItem(type, target->orientation_, QString(), QString());
    placeItem(item, target, -1);
    endResetModel();
}

void WindowModel::remove(WindowItem* item)
{
    if (!item)
        return;
    if (item == root_) {
        clear();
        return;
    }
    beginResetModel();
    WindowItem* splitter = item->parent_;
    detachAndDelete(item);
    if (splitter && splitter != root_ && splitter->type_ == WindowItem::Splitter) {
        if (WindowItem* first = splitter->children_.value(0))
            placeItem(first, splitter->parent_, splitter->row());
        destroyNow(splitter);
    }
    endResetModel();
}

void WindowModel::remove(QModelIndex index)
{
    remove(index.isValid() ? itemFromIndex(index) : root());
}

void WindowModel::move(WindowItem* itemNeedMove, WindowItem* itemTarget)
{
    if (!itemNeedMove || !itemTarget || itemNeedMove == root_)
        return;
    // Moving an item onto itself or into its own subtree would cut the tree.
    for (WindowItem* p = itemTarget; p; p = p->parent_) {
        if (p == itemNeedMove) {
            zWarning() << "window move into its own subtree refused:" << itemNeedMove->name_;
            return;
        }
    }
    const bool split = itemTarget != root() && itemTarget->parent_;
    if (!(split ? withinLimits(1, itemTarget, 1, levelOf(itemTarget) + 1 + heightOf(itemNeedMove))
                : withinLimits(0, nullptr, 0, 1 + heightOf(itemNeedMove))))
        return;
    beginResetModel();
    WindowItem* target = splitAround(itemTarget);
    WindowItem* oldParent = itemNeedMove->parent_;
    placeItem(itemNeedMove, target, -1);
    if (oldParent && oldParent != root_) {
        if (WindowItem* first = oldParent->children_.value(0))
            placeItem(first, oldParent->parent_, -1);
        destroyNow(oldParent);
    }
    endResetModel();
}

void WindowModel::move(QModelIndex src, QModelIndex dst)
{
    move(itemFromIndex(src), dst.isValid() ? itemFromIndex(dst) : root());
}

void WindowModel::handleContainerMoved(BaseContainerItem* item, QString oldWindowName, QString newWindowName)
{
    if (WindowItem* old = windows_.value(oldWindowName))
        old->removeContainer(item);
    if (WindowItem* now = windows_.value(newWindowName))
        now->addContainer(item);
}

void WindowModel::clear()
{
    beginResetModel();
    if (root_) {
        const QList<WindowItem*> children = root_->children_;
        for (WindowItem* child : children)
            detachAndDelete(child);
    }
    endResetModel();
}

// ---------------------------------------------------------------- XML

void WindowModel::writeItem(QXmlStreamWriter& writer, const WindowItem* item) const
{
    writer.writeStartElement(QStringLiteral("Item"));
    writer.writeAttribute(QStringLiteral("Type"), QString::number(static_cast<int>(item->type_)));
    writer.writeAttribute(QStringLiteral("Name"), item->name_);
    writer.writeAttribute(QStringLiteral("Orientation"),
                          item->orientation_ == Qt::Horizontal ? QStringLiteral("H") : QStringLiteral("V"));
    writer.writeAttribute(QStringLiteral("CurrentContainer"), item->currentContainer_);
    for (const WindowItem* child : item->children_)
        writeItem(writer, child);
    writer.writeEndElement();
}

QString WindowModel::save() const
{
    QString text;
    QXmlStreamWriter writer(&text);
    writer.setAutoFormatting(true);
    writer.setCodec(QTextCodec::codecForLocale());
    writer.writeStartDocument();
    writer.writeStartElement(QStringLiteral("WindowModel"));
    writer.writeAttribute(QStringLiteral("Version"), QString::fromLatin1(XmlVersion));
    if (root_) {
        for (const WindowItem* child : root_->children_)
            writeItem(writer, child);
    }
    writer.writeEndElement();
    writer.writeEndDocument();
    return text;
}

bool WindowModel::readItems(QXmlStreamReader& reader, WindowItem* parent, bool wrapper, QString* error,
                            bool* versionRefused)
{
    WindowItem* current = parent;
    bool first = true;
    int level = levelOf(parent);
    int count = itemCount();
    QList<QPointer<WindowItem>> created; // directly under parent, taken back on failure
    auto refuse = [&](const QString& why) {
        *error = why;
        for (const QPointer<WindowItem>& item : qAsConst(created))
            delete item.data();
        return false;
    };
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::StartElement) {
            zDebug() << "reader->name()" << reader.name().toString();
            if (first && wrapper) {
                first = false;
                if (reader.name() != QLatin1String("WindowModel")
                    || reader.attributes().value(QStringLiteral("Version")) != QLatin1String(XmlVersion)) {
                    zWarning() << "Window model version is different,settings won't be used";
                    *versionRefused = true;
                    return false;
                }
                continue;
            }
            first = false;
            if (reader.name() == QLatin1String("Item")) {
                const QXmlStreamAttributes attributes = reader.attributes();
                bool known = false;
                const int rawType = attributes.value(QStringLiteral("Type")).toInt(&known);
                if (!known || rawType < WindowItem::Root || rawType > WindowItem::Window)
                    return refuse(QStringLiteral("unknown item type \"%1\"")
                                      .arg(attributes.value(QStringLiteral("Type")).toString()));
                if (++level > MaxDepth)
                    return refuse(QStringLiteral("items nested deeper than %1 levels").arg(MaxDepth));
                if (++count > MaxItems)
                    return refuse(QStringLiteral("more than %1 items").arg(MaxItems));
                const auto type = static_cast<WindowItem::WindowItemType>(rawType);
                QString name = attributes.value(QStringLiteral("Name")).toString();
                if (!wrapper && items_.contains(name))
                    name.clear(); // a dropped copy gets names of its own
                const Qt::Orientation orientation =
                    attributes.value(QStringLiteral("Orientation")) == QLatin1String("H") ? Qt::Horizontal
                                                                                           : Qt::Vertical;
                WindowItem* item = createItem(type, orientation, name,
                                              attributes.value(QStringLiteral("CurrentContainer")).toString());
                placeItem(item, current, -1);
                if (current == parent)
                    created << item;
                current = item;
            }
        } else if (token == QXmlStreamReader::EndElement) {
            if (reader.name() == QLatin1String("Item") && current != parent && current->parent_) {
                current = current->parent_;
                --level;
            }
        }
    }
    if (reader.hasError())
        return refuse(reader.errorString());
    return true;
}

void WindowModel::load(const QString& text)
{
    root();
    clear();
    if (!text.isEmpty()) {
        beginResetModel();
        QXmlStreamReader reader(text);
        QString error;
        bool versionRefused = false;
        const bool ok = readItems(reader, root_, true, &error, &versionRefused);
        endResetModel();
        // A tree without any window could show nothing: it gets the default window.
        if (ok && !windowNames().isEmpty())
            return;
        if (ok) {
            zWarning() << "window layout holds no window, the default layout is used";
            clear();
            addDefaultWindow();
            return;
        }
        if (!versionRefused) {
            zWarning() << "window layout is not well-formed XML or is refused, the default layout is used:" << error;
        }
        // Whatever was read before the fault goes: half a tree is no layout.
        clear();
    }
    addDefaultWindow();
}

// ---------------------------------------------------------------- item model

WindowItem* WindowModel::itemFromIndex(const QModelIndex& index) const
{
    return index.isValid() ? static_cast<WindowItem*>(index.internalPointer()) : nullptr;
}

QModelIndex WindowModel::indexOf(WindowItem* item, int column) const
{
    if (!item || item == root_ || !item->parent_)
        return {};
    return createIndex(item->row(), column, item);
}

QModelIndex WindowModel::index(int row, int column, const QModelIndex& parent) const
{
    if (!root_ || row < 0 || column < 0 || column > 3)
        return {};
    if (parent.isValid() && parent.column() != 0)
        return {};
    WindowItem* parentItem = parent.isValid() ? itemFromIndex(parent) : root_;
    if (!parentItem || row >= parentItem->children_.size())
        return {};
    return createIndex(row, column, parentItem->children_.at(row));
}

QModelIndex WindowModel::parent(const QModelIndex& child) const
{
    WindowItem* item = itemFromIndex(child);
    if (!item || !item->parent_ || item->parent_ == root_)
        return {};
    WindowItem* parentItem = item->parent_;
    return createIndex(parentItem->row(), 0, parentItem);
}

int WindowModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid() && parent.column() != 0)
        return 0;
    WindowItem* item = parent.isValid() ? itemFromIndex(parent) : root_;
    return item ? item->children_.size() : 0;
}

int WindowModel::columnCount(const QModelIndex& parent) const
{
    return (!parent.isValid() || parent.column() == 0) ? 4 : 0;
}

QVariant WindowModel::data(const QModelIndex& index, int role) const
{
    WindowItem* item = itemFromIndex(index);
    if (!item)
        return {};
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return item->columnData(index.column());
    if (role == Qt::TextAlignmentRole) {
        return index.column() == WindowItem::ColName ? int(Qt::AlignLeft | Qt::AlignVCenter)
                                                     : int(Qt::AlignRight | Qt::AlignVCenter);
    }
    return {};
}

QVariant WindowModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    static const QStringList headers{"Type", "Name", "Orientation", "CurrentContainer"};
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return headers.value(section);
    return {};
}

Qt::ItemFlags WindowModel::flags(const QModelIndex& index) const
{
    Qt::ItemFlags flags = QAbstractItemModel::flags(index);
    if (!index.isValid())
        return flags;
    flags |= Qt::ItemIsSelectable | Qt::ItemIsEditable | Qt::ItemIsEnabled;
    if (index.column() == WindowItem::ColName)
        flags |= Qt::ItemIsDragEnabled | Qt::ItemIsDropEnabled | Qt::ItemIsUserCheckable;
    return flags;
}

bool WindowModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    WindowItem* item = itemFromIndex(index);
    if (!item || role != Qt::EditRole)
        return false;
    if (item->setColumnData(index.column(), value))
        emit dataChanged(index, index);
    return true;
}

bool WindowModel::insertRows(int, int count, const QModelIndex& parent)
{
    WindowItem* parentItem = parent.isValid() ? itemFromIndex(parent) : root();
    if (!parentItem || count < 1 || count > MaxItems || !withinLimits(count, nullptr, 0, levelOf(parentItem) + 1))
        return false;
    const int first = parentItem->children_.size();
    beginInsertRows(parent, first, first + count - 1);
    for (int i = 0; i < count; ++i) {
        WindowItem* item = createItem(WindowItem::Window, parentItem->orientation_, QString(), QString());
        placeItem(item, parentItem, -1);
    }
    endInsertRows();
    return true;
}

bool WindowModel::removeRows(int row, int count, const QModelIndex& parent)
{
    zDebug() << QString("removeRows,row:%1,count:%2").arg(row).arg(count);
    WindowItem* parentItem = parent.isValid() ? itemFromIndex(parent) : root_;
    if (!parentItem || row < 0 || count < 1 || row + count > parentItem->children_.size())
        return false;
    beginRemoveRows(parent, row, row + count - 1);
    for (int i = 0; i < count; ++i) {
        if (WindowItem* child = parentItem->children_.value(row))
            destroyNow(child);
    }
    endRemoveRows();
    return true;
}

QStringList WindowModel::mimeTypes() const
{
    return {QString::fromLatin1(MimeType)};
}

QMimeData* WindowModel::mimeData(const QModelIndexList& indexes) const
{
    if (indexes.size() != 1)
        return nullptr;
    WindowItem* item = itemFromIndex(indexes.first());
    if (!item)
        return nullptr;
    QByteArray bytes;
    QXmlStreamWriter writer(&bytes);
    writer.setAutoFormatting(true);
    writeItem(writer, item);
    auto mime = new QMimeData;
    mime->setData(QString::fromLatin1(MimeType), qCompress(bytes, 9));
    return mime;
}

Qt::DropActions WindowModel::supportedDropActions() const
{
    return Qt::MoveAction;
}

bool WindowModel::dropMimeData(const QMimeData* data, Qt::DropAction action, int, int column,
                               const QModelIndex& parent)
{
    if (action == Qt::IgnoreAction)
        return true;
    if (action != Qt::MoveAction || column >= 1 || !data || !data->hasFormat(QString::fromLatin1(MimeType)))
        return false;
    WindowItem* parentItem = parent.isValid() ? itemFromIndex(parent) : root();
    if (!parentItem)
        return false;
    // The dragged element is a bare Item subtree: read it without the
    // document wrapper, under the drop target.
    const QByteArray bytes = qUncompress(data->data(QString::fromLatin1(MimeType)));
    beginResetModel();
    QXmlStreamReader reader(bytes);
    QString error;
    bool versionRefused = false;
    const bool ok = readItems(reader, parentItem, false, &error, &versionRefused);
    endResetModel();
    if (!ok)
        zWarning() << "window drop refused:" << error;
    return ok;
}
