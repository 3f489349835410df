#pragma once

#include <QColor>
#include <QList>
#include <QMap>
#include <QMutex>
#include <QObject>
#include <QString>

#include "model/BaseModel.h"
#include "model/ContainerItems.h"
#include "model/ResourceItems.h"
#include "model/ResourceType.h"
#include "model/ThreadHandOver.h"
#include "model/WindowModel.h"

class DataWidgetBaseFactory;

// The data side of one page: its window tree and, per needed type, one
// container model and one resource model; loads and saves the page's INI file
// (groups "Window", "Container", "Resource").
class ModelManager : public QObject
{
    Q_OBJECT
public:
    // Needed types are de-duplicated; with "Is3DEnabled" false the 3D types
    // (Attitude, Scatter3D) are dropped.
    ModelManager(const QString& fileName, const QList<ResourceType>& neededTypes, QObject* parent = nullptr);
    ~ModelManager() override;

    // Returns the item whose unique name is belong + name, creating it when
    // absent; null for a type this page does not offer (every caller checks).
    // Takes ownership of dataWidgetFactory (deleted when refused or replaced);
    // it is used for Data items only. Callable from any thread, and it never
    // waits for the manager's thread: called from another thread, a new item is
    // built there, moved to the manager's thread and returned at once, while its
    // insertion into the model (row, announcement, container) is posted to the
    // manager's thread, to run in call order. Values written into the item
    // before then are kept: views read them when they take the item. On the
    // manager's thread the item is in the model when this returns.
    BaseResourceItem* createResource(ResourceType type, const QString& belong, const QString& name, bool isUsed = true,
                                     DataWidgetBaseFactory* dataWidgetFactory = nullptr, bool fixedVisibility = false);
    // Takes the items out of their resource models (each announced by
    // resourceDeleted, so views drop their series and rows) and deletes them.
    // Callable from any thread and never waits: from another thread the removal
    // is posted, after any insertion of the same items still pending. The
    // caller must have dropped its own pointers; a later createResource of the
    // same name builds a new item.
    void releaseResources(const QList<BaseResourceItem*>& items);
    // Runs work on the manager's thread and waits for it. False when the wait
    // was given up (work not run): the waiting thread is stopping, or the
    // manager went away.
    bool runOnModelThread(const std::function<void()>& work);

    void loadSettings();
    void saveSettings();
    // Gives each used resource without a container the first container of its type.
    void activateResources();

    WindowModel* windowModel() const { return windowModel_; }
    BaseContainerModel* containerModel(ResourceType type) const { return containerModels_.value(type); }
    BaseResourceModel* resourceModel(ResourceType type) const { return resourceModels_.value(type); }
    const QMap<ResourceType, BaseContainerModel*>& containerModels() const { return containerModels_; }
    const QMap<ResourceType, BaseResourceModel*>& resourceModels() const { return resourceModels_; }
    const QList<ResourceType>& neededTypes() const { return neededTypes_; }
    QString fileName() const { return fileName_; }

    // The six chart colours handed out in turn to new chart resources of the
    // whole program.
    static const QList<QColor>& palette();
    // Takes the next palette colour (program-wide index, cycling).
    static QColor nextPaletteColor();
    // Sets the program-wide index of the next colour (0..5).
    static void resetPaletteIndex(int index = 0);

    // Item factories of a type (new objects; null for values outside 0..4).
    static BaseItemFactory* createContainerFactory(ResourceType type);
    static BaseItemFactory* createResourceFactory(ResourceType type);

signals:
    void resourceCreated(ResourceType type, BaseResourceItem* item);
    void resourceDeleted(ResourceType type, QString uniqueName);
    void resourceMoved(ResourceType type, QString resourceName, QString oldContainerName, QString newContainerName);
    void containerCreated(ResourceType type, BaseContainerItem* item);
    void containerDeleted(ResourceType type, QString uniqueName);
    void containerMoved(ResourceType type, QString containerName, QString oldWindowName, QString newWindowName);

private:
    // A change of the models asked for on any thread, run on the manager's thread
    // in the order asked.
    struct Pending
    {
        enum Kind { Insert, Update, Release };
        Kind kind = Insert;
        ResourceType type = ResourceType::Data;
        // Not read before the item is known to be in its model (Update, Release):
        // the model's thread may have deleted it meanwhile (a load).
        BaseResourceItem* item = nullptr;
        // Update: the factory to give the item (owned until then) and whether to.
        DataWidgetBaseFactory* factory = nullptr;
        bool setsFactory = false;
        bool fixedVisibility = false;
    };

    // Under pendingMutex_: queues a change and, when post is set, makes sure a
    // drain of the queue is posted to the manager's thread.
    void enqueueLocked(const Pending& change, bool post);
    void postDrainLocked();
    // Manager's thread: runs the queued changes in order; with a time budget it
    // gives the event loop a turn when the budget is spent and posts the rest.
    void drainPending(qint64 budgetMs = -1);
    void apply(const Pending& change);
    // What a pending change still owns, freed when it will never run.
    static void discard(const Pending& change);

    QMap<ResourceType, BaseResourceModel*> resourceModels_;
    QMap<ResourceType, BaseContainerModel*> containerModels_;
    WindowModel* windowModel_ = nullptr;
    QString fileName_;
    QList<ResourceType> neededTypes_;
    ThreadHandOver handOver_;

    QMutex pendingMutex_;
    QList<Pending> pending_;    // guarded by pendingMutex_
    bool drainPosted_ = false;  // guarded by pendingMutex_
    bool closing_ = false;      // guarded by pendingMutex_
};
