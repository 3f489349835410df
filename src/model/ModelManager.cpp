#include "model/ModelManager.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QMutex>
#include <QMutexLocker>
#include <QSettings>
#include <QTextCodec>

#include "foundation/ZLog.h"
#include "model/DataWidgetBaseFactory.h"
#include "model/ResourceItemFactories.h"

namespace {

// How long one posted drain of pending changes may hold the manager's thread.
constexpr qint64 kDrainBudgetMs = 20;

QMutex paletteMutex;
int paletteIndex = 0;

BaseResourceItem::Data* newResourceRecord(ResourceType type)
{
    switch (type) {
    case ResourceType::Data: return new DataResourceItem::Data;
    case ResourceType::Line: return new LineResourceItem::Data;
    case ResourceType::Scatter: return new ScatterResourceItem::Data;
    case ResourceType::Attitude: return new ChartResourceItem::Data;
    case ResourceType::Scatter3D: return new Scatter3DResourceItem::Data;
    }
    return nullptr;
}

bool isKnownType(ResourceType type)
{
    const int value = static_cast<int>(type);
    return value >= 0 && value <= 4;
}

} // namespace

const QList<QColor>& ModelManager::palette()
{
    static const QList<QColor> colors{QColor(109, 95, 213), QColor(191, 89, 62), QColor(32, 159, 223),
                                      QColor(153, 202, 83), QColor(246, 166, 37), QColor(255, 85, 0)};
    return colors;
}

QColor ModelManager::nextPaletteColor()
{
    QMutexLocker lock(&paletteMutex);
    const QColor color = palette().at(paletteIndex);
    if (++paletteIndex >= palette().size())
        paletteIndex = 0;
    return color;
}

void ModelManager::resetPaletteIndex(int index)
{
    QMutexLocker lock(&paletteMutex);
    paletteIndex = (index >= 0 && index < palette().size()) ? index : 0;
}

BaseItemFactory* ModelManager::createContainerFactory(ResourceType type)
{
    switch (type) {
    case ResourceType::Data: return new DataContainerItemFactory;
    case ResourceType::Line: return new LineContainerItemFactory;
    case ResourceType::Scatter: return new ScatterContainerItemFactory;
    case ResourceType::Attitude: return new AttitudeContainerItemFactory;
    case ResourceType::Scatter3D: return new Scatter3DContainerItemFactory;
    }
    return nullptr;
}

BaseItemFactory* ModelManager::createResourceFactory(ResourceType type)
{
    switch (type) {
    case ResourceType::Data: return new DataResourceItemFactory;
    case ResourceType::Line: return new LineResourceItemFactory;
    case ResourceType::Scatter: return new ScatterResourceItemFactory;
    case ResourceType::Attitude: return new AttitudeResourceItemFactory;
    case ResourceType::Scatter3D: return new Scatter3DResourceItemFactory;
    }
    return nullptr;
}

ModelManager::ModelManager(const QString& fileName, const QList<ResourceType>& neededTypes, QObject* parent)
    : QObject(parent)
    , fileName_(fileName)
    , handOver_(this)
{
    registerModelMetaTypes();
    const bool enable3D = QSettings().value("Is3DEnabled", true).toBool();
    for (ResourceType type : neededTypes) {
        if (!isKnownType(type) || neededTypes_.contains(type))
            continue;
        if (!enable3D && isResourceType3D(type))
            continue;
        neededTypes_ << type;
    }

    windowModel_ = new WindowModel(neededTypes_, this);

    for (ResourceType type : qAsConst(neededTypes_)) {
        containerModels_.insert(type, new BaseContainerModel(createContainerFactory(type)));
        resourceModels_.insert(type, new BaseResourceModel(createResourceFactory(type)));
    }

    WindowModel* windows = windowModel_;
    for (auto it = containerModels_.cbegin(); it != containerModels_.cend(); ++it) {
        const ResourceType type = it.key();
        BaseContainerModel* model = it.value();
        model->setAvailableWindowNamesFunction([windows]() { return windows->windowNames(); });
        connect(model, &BaseContainerModel::itemDeleted, this,
                [this, type](QString name) { emit containerDeleted(type, name); });
        connect(model, &BaseContainerModel::itemCreated, this,
                [this, type](BaseContainerItem* item) { emit containerCreated(type, item); });
        connect(model, &BaseContainerModel::itemMoved, this,
                [this, type](QString name, QString oldWindow, QString newWindow) {
                    emit containerMoved(type, name, oldWindow, newWindow);
                });
    }
    for (auto it = resourceModels_.cbegin(); it != resourceModels_.cend(); ++it) {
        const ResourceType type = it.key();
        BaseResourceModel* model = it.value();
        BaseContainerModel* containers = containerModels_.value(type);
        model->setAvailableContainerNamesFunction([containers]() { return containers->names(); });
        model->setDefaultContainerNameFunction([containers]() { return containers->defaultContainerName(); });
        connect(model, &BaseResourceModel::itemDeleted, this,
                [this, type](QString name) { emit resourceDeleted(type, name); });
        connect(model, &BaseResourceModel::itemCreated, this,
                [this, type](BaseResourceItem* item) { emit resourceCreated(type, item); });
        connect(model, &BaseResourceModel::itemMoved, this,
                [this, type](QString name, QString oldContainer, QString newContainer) {
                    emit resourceMoved(type, name, oldContainer, newContainer);
                });
    }
}

ModelManager::~ModelManager()
{
    QList<Pending> left;
    {
        QMutexLocker lock(&pendingMutex_);
        closing_ = true;
        left.swap(pending_);
    }
    // The posted drain goes with this object: what it would have run is freed
    // here, items still waiting for their row among it.
    for (const Pending& change : qAsConst(left))
        discard(change);

    const QList<BaseResourceModel*> resources = resourceModels_.values();
    resourceModels_.clear();
    qDeleteAll(resources);
    const QList<BaseContainerModel*> containers = containerModels_.values();
    containerModels_.clear();
    qDeleteAll(containers);
    delete windowModel_;
    windowModel_ = nullptr;
}

BaseResourceItem* ModelManager::createResource(ResourceType type, const QString& belong, const QString& name,
                                               bool isUsed, DataWidgetBaseFactory* dataWidgetFactory,
                                               bool fixedVisibility)
{
    const bool here = !handOver_.needed();
    BaseResourceItem* item = nullptr;
    DataWidgetBaseFactory* unused = dataWidgetFactory;
    {
        QMutexLocker lock(&pendingMutex_);
        BaseResourceModel* model =
            (closing_ || !neededTypes_.contains(type)) ? nullptr : resourceModels_.value(type);
        if (model) {
            bool created = false;
            // Built here, on the calling thread: the model's thread may be busy
            // drawing, and a parsing thread must not wait for it.
            item = model->findOrReserve(
                belong + name,
                [&]() -> BaseResourceItem* {
                    BaseResourceItem::Data* record = newResourceRecord(type);
                    if (auto chart = dynamic_cast<ChartResourceItem::Data*>(record))
                        chart->Color = nextPaletteColor();
                    record->Belong = belong;
                    record->Name = name;
                    record->IsUsed = isUsed;
                    return qobject_cast<BaseResourceItem*>(model->factory()->createItem(record));
                },
                &created);
            if (item && created) {
                if (auto data = qobject_cast<DataResourceItem*>(item)) {
                    data->setFactory(dataWidgetFactory);
                    unused = nullptr;
                }
                item->setFixedVisibility(fixedVisibility);
                if (item->thread() != thread())
                    item->moveToThread(thread());
                enqueueLocked({Pending::Insert, type, item}, !here);
            } else if (item) {
                Pending change{Pending::Update, type, item};
                if (qobject_cast<DataResourceItem*>(item)) {
                    change.factory = dataWidgetFactory;
                    change.setsFactory = true;
                    unused = nullptr;
                }
                change.fixedVisibility = fixedVisibility;
                enqueueLocked(change, !here);
            }
        }
    }
    delete unused;
    if (here)
        drainPending();
    return item;
}

void ModelManager::releaseResources(const QList<BaseResourceItem*>& items)
{
    const bool here = !handOver_.needed();
    {
        QMutexLocker lock(&pendingMutex_);
        if (closing_)
            return;
        for (BaseResourceItem* item : items) {
            BaseResourceModel* model = item ? resourceModels_.value(item->type()) : nullptr;
            if (!model)
                continue;
            // From now on a request for its name builds a new item.
            model->unindex(item);
            enqueueLocked({Pending::Release, item->type(), item}, !here);
        }
    }
    if (here)
        drainPending();
}

bool ModelManager::runOnModelThread(const std::function<void()>& work)
{
    return handOver_.run([this, &work]() {
        drainPending();
        work();
    });
}

void ModelManager::enqueueLocked(const Pending& change, bool post)
{
    pending_.append(change);
    if (post && !drainPosted_)
        postDrainLocked();
}

void ModelManager::postDrainLocked()
{
    drainPosted_ = true;
    // Bound to this object: dropped with it (the destructor frees the queue).
    QMetaObject::invokeMethod(this, [this]() { drainPending(kDrainBudgetMs); }, Qt::QueuedConnection);
}

void ModelManager::drainPending(qint64 budgetMs)
{
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        Pending change;
        {
            QMutexLocker lock(&pendingMutex_);
            if (pending_.isEmpty()) {
                drainPosted_ = false;
                return;
            }
            // A first frame of many new nodes brings thousands of items, each
            // building its series: the page draws between slices of them.
            if (budgetMs >= 0 && clock.elapsed() >= budgetMs) {
                postDrainLocked();
                return;
            }
            // One at a time: a change may make a view ask for items, which drains
            // the same queue further, still in order.
            change = pending_.takeFirst();
        }
        apply(change);
    }
}

void ModelManager::apply(const Pending& change)
{
    BaseResourceModel* model = resourceModels_.value(change.type);
    BaseResourceItem* item = change.item;
    switch (change.kind) {
    case Pending::Insert:
        if (!model || !model->insertReserved(item)) {
            // Left alive: the thread that asked for it writes into it.
            zCritical() << "resource refused by its model:" << item->uniqueName();
            return;
        }
        // A view announced by a change run in between may have asked for it already.
        if (!item->isUsed())
            item->setUsed(item->resourceRecord()->IsUsed);
        return;
    case Pending::Update:
        if (!model || model->rowOf(item) < 0) {
            discard(change);
            return;
        }
        if (change.setsFactory) {
            if (auto data = qobject_cast<DataResourceItem*>(item))
                data->setFactory(change.factory);
            else
                delete change.factory;
        }
        item->setFixedVisibility(change.fixedVisibility);
        // An item already in use is announced and placed once only; a second
        // announcement would also pull it into the default container.
        if (!item->isUsed())
            item->setUsed(item->resourceRecord()->IsUsed);
        return;
    case Pending::Release:
        if (model && model->rowOf(item) >= 0)
            model->removeItem(item);
        else
            zWarning() << "released resource is not in its model";
        return;
    }
}

void ModelManager::discard(const Pending& change)
{
    switch (change.kind) {
    case Pending::Insert:
        delete change.item; // its record owns its page factory
        return;
    case Pending::Update:
        if (change.setsFactory)
            delete change.factory;
        return;
    case Pending::Release:
        return; // in its model (deleted with it) or freed with its own insertion
    }
}

void ModelManager::loadSettings()
{
    if (handOver_.needed()) {
        handOver_.run([this]() { loadSettings(); });
        return;
    }
    // Items asked for before the load are in the model first, as if made at once.
    drainPending();
    QSettings settings(fileName_, QSettings::IniFormat);
    settings.setIniCodec(QTextCodec::codecForLocale());

    settings.beginGroup("Window");
    QString text = settings.value("Window").toString();
    settings.endGroup();
    // Stored with single quotes; an apostrophe of a name was kept as &apos;.
    text.replace(QLatin1Char('\''), QLatin1Char('"'));
    windowModel_->load(text);
    QCoreApplication::processEvents();

    settings.beginGroup("Container");
    for (BaseContainerModel* model : qAsConst(containerModels_))
        model->load(settings);
    settings.endGroup();
    QCoreApplication::processEvents();

    settings.beginGroup("Resource");
    for (BaseResourceModel* model : qAsConst(resourceModels_))
        model->load(settings);
    settings.endGroup();
    QCoreApplication::processEvents();
}

void ModelManager::saveSettings()
{
    if (handOver_.needed()) {
        handOver_.run([this]() { saveSettings(); });
        return;
    }
    drainPending();
    QSettings settings(fileName_, QSettings::IniFormat);
    settings.setIniCodec(QTextCodec::codecForLocale());

    QString text = windowModel_->save();
    // The quote swap below would turn an apostrophe into a delimiter.
    text.replace(QLatin1String("'"), QLatin1String("&apos;"));
    text.replace(QLatin1Char('"'), QLatin1Char('\''));
    settings.beginGroup("Window");
    settings.setValue("Window", text);
    settings.endGroup();

    settings.beginGroup("Container");
    for (BaseContainerModel* model : qAsConst(containerModels_))
        model->save(settings);
    settings.endGroup();

    settings.beginGroup("Resource");
    for (BaseResourceModel* model : qAsConst(resourceModels_))
        model->save(settings);
    settings.endGroup();
    settings.sync();
    if (settings.status() != QSettings::NoError)
        zWarning() << "page settings could not be written:" << fileName_;
}

void ModelManager::activateResources()
{
    drainPending();
    for (BaseResourceModel* model : qAsConst(resourceModels_)) {
        const QList<BaseItem*> items = model->items();
        for (BaseItem* base : items) {
            auto item = qobject_cast<BaseResourceItem*>(base);
            if (!item || !item->isUsed() || !item->containerName().isEmpty())
                continue;
            const QStringList names = model->availableContainerNames();
            if (!names.isEmpty())
                item->setData(BaseResourceItem::ColContainerName, names.first());
        }
    }
}
