#pragma once

#include <QColor>
#include <QList>
#include <QMap>
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
    // it is used for Data items only. Callable from any thread: the work runs
    // on the manager's thread and the caller waits for it (so never call it
    // while holding a lock that the manager's thread may wait for). A wait
    // given up because the calling thread is stopping returns null.
    BaseResourceItem* createResource(ResourceType type, const QString& belong, const QString& name, bool isUsed = true,
                                     DataWidgetBaseFactory* dataWidgetFactory = nullptr, bool fixedVisibility = false);
    // Runs work on the manager's thread and waits for it, as createResource does:
    // many resources made in one go cost the caller one wait, not one each. False
    // when the wait was given up (work not run).
    bool runOnModelThread(const std::function<void()>& work);
    // Removes items from their models on the manager's thread without waiting for
    // it (callable from any thread; at once on the manager's thread); each removal is
    // announced by resourceDeleted. The caller drops its own pointers to them first.
    // Items no longer in a model by then are left alone.
    void releaseResources(const QList<BaseResourceItem*>& items);

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
    BaseResourceItem* createResourceHere(ResourceType type, const QString& belong, const QString& name, bool isUsed,
                                         DataWidgetBaseFactory* dataWidgetFactory, bool fixedVisibility);

    QMap<ResourceType, BaseResourceModel*> resourceModels_;
    QMap<ResourceType, BaseContainerModel*> containerModels_;
    WindowModel* windowModel_ = nullptr;
    QString fileName_;
    QList<ResourceType> neededTypes_;
    ThreadHandOver handOver_;
};
