#pragma once

#include <QList>
#include <QObject>
#include <QStringList>
#include <QVariant>
#include <QVersionNumber>

#include "model/ResourceType.h"

// One row of a table model: a record of settings exposed column by column.
// setData() is the single write path for values and settings alike.
class BaseItem : public QObject
{
    Q_OBJECT
public:
    // Root of all item records: settings only, never live values.
    struct Data
    {
        virtual ~Data() = default;
    };

    // Takes ownership of record (never null). ownerModel is the table model
    // that created the item (may be null for a free-standing item).
    BaseItem(Data* record, QObject* ownerModel);
    ~BaseItem() override;

    // The value of one column for the display (0) and edit (2) roles; any
    // other role or unknown column gives an invalid QVariant.
    virtual QVariant data(int column, int role) const = 0;
    virtual int columnCount() const = 0;
    // Ordering used when a model sorts its rows after loading.
    virtual bool lessThan(const BaseItem* other) const;
    // Stores one column; true only when the stored value changed.
    virtual bool setDataValue(int column, const QVariant& value) = 0;

    // Writes one column and emits dataChanged(column) when it changed.
    void setData(int column, const QVariant& value);
    // Writes columns 0..columnCount()-1 from the list (extra entries ignored).
    void setValues(const QVariantList& values);
    // The display text of every column, in column order (the stored row form).
    QStringList toStringList() const;

    ResourceType type() const { return type_; }
    void setType(ResourceType type) { type_ = type; }
    QObject* ownerModel() const { return ownerModel_; }
    Data* record() const { return record_; }

signals:
    void dataChanged(int column);

private:
    Data* record_;
    QObject* ownerModel_;
    ResourceType type_ = ResourceType::Data;
};

// Builds the items of one table model and carries its column keys and the
// version that guards the stored layout of its rows.
class BaseItemFactory : public QObject
{
    Q_OBJECT
public:
    // The version is 1 followed by versionTail; each subclass puts its own keys
    // and digit before those handed up by its own subclass.
    BaseItemFactory(const QStringList& keys, const QList<int>& versionTail, QObject* parent = nullptr);

    // Builds an item on record (a default record of the factory's class when
    // null). The caller owns the item; the item owns the record.
    virtual BaseItem* createItem(BaseItem::Data* record) = 0;

    const QStringList& keys() const { return keys_; }
    const QVersionNumber& version() const { return version_; }
    ResourceType type() const { return type_; }
    QObject* model() const { return model_; }
    void setModel(QObject* model) { model_ = model; }

protected:
    // Finishes an item built by a concrete factory: sets its type.
    BaseItem* finish(BaseItem* item) const;

    QObject* model_ = nullptr;
    QStringList keys_;
    ResourceType type_ = ResourceType::Data;
    QVersionNumber version_;
};
