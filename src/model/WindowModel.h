#pragma once

#include <QAbstractItemModel>
#include <QList>
#include <QMap>
#include <QObject>
#include <QString>

#include "model/ResourceType.h"

class BaseContainerItem;
class QXmlStreamReader;
class QXmlStreamWriter;

// One node of a page's window tree: the root, a splitter or a window.
class WindowItem : public QObject
{
    Q_OBJECT
public:
    enum WindowItemType { Root = 0, Splitter = 1, Window = 2 };
    Q_ENUM(WindowItemType)

    enum Column { ColType = 0, ColName, ColOrientation, ColCurrentContainer };

    WindowItem(WindowItemType type, const QString& name, Qt::Orientation orientation,
               const QString& currentContainer);
    // Every listed container leaves the window (its Window becomes empty);
    // the item leaves its parent; its children are destroyed.
    ~WindowItem() override;

    WindowItemType type() const { return type_; }
    void setType(WindowItemType type) { type_ = type; }
    QString name() const { return name_; }
    Qt::Orientation orientation() const { return orientation_; }
    void setOrientation(Qt::Orientation orientation) { orientation_ = orientation; }
    QString currentContainer() const { return currentContainer_; }
    void setCurrentContainer(const QString& name) { currentContainer_ = name; }

    WindowItem* parentItem() const { return parent_; }
    const QList<WindowItem*>& children() const { return children_; }
    int row() const;

    const QList<BaseContainerItem*>& containers() const { return containers_; }
    void addContainer(BaseContainerItem* container);
    void removeContainer(BaseContainerItem* container);

    // Column values: 0 Type, 1 Name, 2 Orientation, 3 CurrentContainer.
    QVariant columnData(int column) const;
    // Writes column 0, 2 or 3; true when the value changed (the name is fixed).
    bool setColumnData(int column, const QVariant& value);

private:
    friend class WindowModel;

    WindowItemType type_;
    QString name_;
    Qt::Orientation orientation_;
    QString currentContainer_;
    WindowItem* parent_ = nullptr;
    QList<WindowItem*> children_;
    QList<BaseContainerItem*> containers_;
};

// The window tree of a page, its XML form, and a four-column item model.
class WindowModel : public QAbstractItemModel
{
    Q_OBJECT
public:
    static constexpr const char* MimeType = "application/vnd.bimox.xml.task.z";
    static constexpr const char* XmlVersion = "1.2";
    // A layout deeper or larger than this is refused like a malformed one, and the
    // model never grows beyond it, so reading, saving and destruction stay bounded.
    static constexpr int MaxDepth = 32;
    static constexpr int MaxItems = 1000;

    explicit WindowModel(const QList<ResourceType>& neededTypes, QObject* parent = nullptr);
    ~WindowModel() override;

    WindowItem* root();
    WindowItem* item(const QString& name) const { return items_.value(name); }
    WindowItem* window(const QString& name) const { return windows_.value(name); }
    // The names of the windows placed in the tree, in name order.
    QStringList windowNames() const;
    const QList<ResourceType>& neededTypes() const { return neededTypes_; }
    WindowItem* itemFromIndex(const QModelIndex& index) const;
    QModelIndex indexOf(WindowItem* item, int column = 0) const;

    // Generates a free name "Window  [NN]" (two blanks before the bracket): drawn at
    // random while the two-digit pool has free names, then counted on.
    QString generateName();
    // Items in the tree below the root.
    int itemCount() const;

    QString save() const;
    // Reads the tree from text; an empty text, another version or malformed
    // XML give the default layout of one window (the last two with a warning).
    void load(const QString& text);
    void clear();

    // Item model.
    QModelIndex index(int row, int column, const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    bool insertRows(int row, int count, const QModelIndex& parent = QModelIndex()) override;
    bool removeRows(int row, int count, const QModelIndex& parent = QModelIndex()) override;
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    Qt::DropActions supportedDropActions() const override;
    bool dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                      const QModelIndex& parent) override;

public slots:
    // Refused (with a warning) when the tree would grow beyond MaxDepth or MaxItems.
    void addNew(WindowItem* parent, WindowItem::WindowItemType type = WindowItem::Window);
    void remove(WindowItem* item);
    void remove(QModelIndex index);
    void move(WindowItem* itemNeedMove, WindowItem* itemTarget);
    void move(QModelIndex src, QModelIndex dst);
    void handleContainerMoved(BaseContainerItem* item, QString oldWindowName, QString newWindowName);

signals:
    void itemCreated(WindowItem* item);
    void itemMoved(QString name, QString oldParentName, QString newParentName, int placeIndex = -1);
    void itemDeleted(QString uniqueName);

private:
    WindowItem* createItem(WindowItem::WindowItemType type, Qt::Orientation orientation, const QString& name,
                           const QString& currentContainer);
    void placeItem(WindowItem* item, WindowItem* parent, int place);
    WindowItem* splitAround(WindowItem* item);
    void destroyNow(WindowItem* item);
    void detachAndDelete(WindowItem* item);
    void addDefaultWindow();
    void writeItem(QXmlStreamWriter& writer, const WindowItem* item) const;
    // Reads Item elements under parent; with wrapper the text must start with
    // the WindowModel element of the current version. Returns false with
    // error set when the text is refused or malformed.
    bool readItems(QXmlStreamReader& reader, WindowItem* parent, bool wrapper, QString* error,
                   bool* versionRefused);
    // Whether `added` more items fit, and whether the subtree of `item` (null: none)
    // may sink by `deeper` levels, with a new leaf at `leafLevel` (0: none).
    bool withinLimits(int added, WindowItem* item, int deeper, int leafLevel) const;
    static int levelOf(const WindowItem* item);
    static int heightOf(const WindowItem* item);

    WindowItem* root_ = nullptr;
    QMap<QString, WindowItem*> items_;
    QMap<QString, WindowItem*> windows_;
    QList<ResourceType> neededTypes_;
    int nextNameNumber_ = 100; // once the two-digit pool is used up
};
