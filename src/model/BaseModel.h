#pragma once

#include <QAbstractTableModel>
#include <QHash>
#include <QList>
#include <QMap>
#include <QMutex>
#include <QSet>
#include <QStringList>
#include <functional>

#include "model/BaseItem.h"
#include "model/ThreadHandOver.h"

class QSettings;
class BaseContainerItem;
class BaseResourceItem;

// A table model whose rows are items and whose columns are the factory's keys.
// Rows change on the model's own thread only: createItem and removeItem
// called from another thread are handed over and waited for.
class BaseModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    // Takes ownership of factory and points it at this model.
    explicit BaseModel(BaseItemFactory* factory, QObject* parent = nullptr);
    ~BaseModel() override;

    // The display name of the factory's type ("Data", "Line", "2D", ...).
    QString name() const;
    ResourceType type() const;
    BaseItemFactory* factory() const { return factory_; }
    const QList<BaseItem*>& items() const { return items_; }
    int rowOf(const BaseItem* item) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setHeaderData(int section, Qt::Orientation orientation, const QVariant& value, int role) override;
    bool insertRows(int row, int count, const QModelIndex& parent = QModelIndex()) override;
    bool removeRows(int row, int count, const QModelIndex& parent = QModelIndex()) override;

    // Builds an item on record (type defaults when null; the model takes the
    // record) and appends it as the last row. Null when the model refuses it
    // (container limit, duplicate name): every caller checks.
    BaseItem* createItem(BaseItem::Data* record = nullptr);

    // Reads "<name>/Version" and "<name>/Items" relative to the current group.
    // False (model empty) when the stored version differs.
    virtual bool load(QSettings& settings);
    // Writes "<name>/Version" and "<name>/Items" relative to the current group.
    virtual void save(QSettings& settings);
    // Takes the item out and deletes it; an item not in the model is logged
    // and left alone.
    virtual void removeItem(BaseItem* item);

protected:
    // Registers a freshly built item in the subclass's bookkeeping.
    virtual void addItem(BaseItem* item) = 0;
    // Checks a built item before it becomes a row; false refuses it (the
    // subclass logs why).
    virtual bool acceptItem(BaseItem* item) const;

    void connectItem(BaseItem* item);
    // Appends a built item as the last row unless acceptItem refuses it (the
    // caller then still owns it); model thread only.
    bool appendItem(BaseItem* item);
    // Row removal and deletion, without any subclass bookkeeping.
    void removeRow(BaseItem* item);
    ThreadHandOver& handOver() { return handOver_; }

private:
    void forwardItemChange(BaseItem* item, int column);
    void flushPendingChanges();

    QList<BaseItem*> items_;
    BaseItemFactory* factory_;
    ThreadHandOver handOver_;

    // Cell changes raised on other threads, delivered on the model's thread.
    QMutex pendingMutex_;
    QSet<QPair<BaseItem*, int>> pendingChanges_;
    bool flushScheduled_ = false;
};

// The containers (chart areas) of one type on a page: at most 100, unique
// names, one default container.
class BaseContainerModel : public BaseModel
{
    Q_OBJECT
public:
    using WindowNamesFunction = std::function<QStringList()>;

    static constexpr int MaxContainers = 100;

    explicit BaseContainerModel(BaseItemFactory* factory, QObject* parent = nullptr);
    // Announces every container as deleted before the model goes.
    ~BaseContainerModel() override;

    Qt::ItemFlags flags(const QModelIndex& index) const override;

    void setAvailableWindowNamesFunction(const WindowNamesFunction& function) { windowNames_ = function; }
    const WindowNamesFunction& availableWindowNamesFunction() const { return windowNames_; }

    BaseContainerItem* container(const QString& name) const { return containers_.value(name); }
    QString defaultContainerName() const { return defaultContainerName_; }
    void setDefaultContainer(const QString& name);
    // Makes the first other container (in name order) the default; false when
    // fewer than two containers exist.
    bool chooseOtherDefault();
    // The container names in name order.
    QStringList names() const { return containers_.keys(); }

    // Loads the stored containers, else makes one default container.
    bool load(QSettings& settings) override;
    void removeItem(BaseItem* item) override;

signals:
    void itemCreated(BaseContainerItem* item);
    void itemMoved(QString containerName, QString oldWindowName, QString newWindowName);
    void itemDeleted(QString uniqueName);

protected:
    void addItem(BaseItem* item) override;
    bool acceptItem(BaseItem* item) const override;

private:
    QString generateName() const;

    WindowNamesFunction windowNames_;
    QMap<QString, BaseContainerItem*> containers_;
    QString defaultContainerName_;
};

// The resources of one type on a page, keyed by unique name (Belong + Name).
class BaseResourceModel : public BaseModel
{
    Q_OBJECT
public:
    using ContainerNamesFunction = std::function<QStringList()>;
    using DefaultContainerFunction = std::function<QString()>;

    explicit BaseResourceModel(BaseItemFactory* factory, QObject* parent = nullptr);
    // Announces every resource as deleted before the model goes.
    ~BaseResourceModel() override;

    void setAvailableContainerNamesFunction(const ContainerNamesFunction& function) { containerNames_ = function; }
    void setDefaultContainerNameFunction(const DefaultContainerFunction& function) { defaultContainer_ = function; }
    QStringList availableContainerNames() const { return containerNames_ ? containerNames_() : QStringList(); }
    QString defaultContainerName() const { return defaultContainer_ ? defaultContainer_() : QString(); }

    BaseResourceItem* resource(const QString& uniqueName) const { return resources_.value(uniqueName); }
    QList<BaseResourceItem*> resources() const { return resources_.values(); }

    void removeItem(BaseItem* item) override;

    // The name index, readable from any thread: the model's resources and the
    // items reserved for an insertion still to come, by unique name.
    BaseResourceItem* indexed(const QString& uniqueName) const;
    // Any thread: the item indexed under uniqueName; when there is none, make()
    // builds one (on the calling thread, under the index lock, so that two threads
    // never build the same name twice) and it is reserved. *created tells which;
    // a null from make() reserves nothing.
    BaseResourceItem* findOrReserve(const QString& uniqueName, const std::function<BaseResourceItem*()>& make,
                                    bool* created);
    // Any thread: frees the names that still lead to item, so that a later
    // request builds a new item rather than one about to go.
    void unindex(BaseResourceItem* item);
    // Model thread: makes a reserved item the last row (rows inserted, connected,
    // indexed unless unindex() released it meanwhile); false when it is refused
    // (the caller still owns it).
    bool insertReserved(BaseResourceItem* item);

signals:
    void itemCreated(BaseResourceItem* item);
    void itemDeleted(QString uniqueName);
    void itemMoved(QString resourceName, QString oldContainerName, QString newContainerName);

protected:
    void addItem(BaseItem* item) override;

private:
    ContainerNamesFunction containerNames_;
    DefaultContainerFunction defaultContainer_;
    QMap<QString, BaseResourceItem*> resources_;
    // The names each item stands under in resources_ (its name when added; one more
    // when added again after Belong or Name changed).
    QHash<BaseResourceItem*, QStringList> keysOf_;
    // Under a name, or forgotten by name, in both maps at once.
    void indexLocked(const QString& name, BaseResourceItem* item);
    void unindexLocked(BaseResourceItem* item);

    mutable QMutex indexMutex_;
    // Guarded by indexMutex_. An item is indexed under the name it had when
    // reserved or added, as resources_ keeps it; the second map finds that name
    // again once Belong or Name changed.
    QHash<QString, BaseResourceItem*> index_;
    QHash<BaseResourceItem*, QString> indexedName_;
    // Model thread: the reserved item insertReserved is adding.
    BaseResourceItem* inserting_ = nullptr;
};
