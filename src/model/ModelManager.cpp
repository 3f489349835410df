#include "model/ModelManager.h"

#include <QCoreApplication>
#include <QMutex>
#include <QMutexLocker>
#include <QSettings>
#include <QTextCodec>

#include "foundation/ZLog.h"
#include "model/DataWidgetBaseFactory.h"
#include "model/ResourceItemFactories.h"

namespace {

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
    if (handOver_.needed()) {
        BaseResourceItem* result = nullptr;
        bool consumed = false;
        handOver_.run([&]() {
            consumed = true;
            result = createResourceHere(type, belong, name, isUsed, dataWidgetFactory, fixedVisibility);
        });
        if (!consumed)
            delete dataWidgetFactory;
        return result;
    }
    return createResourceHere(type, belong, name, isUsed, dataWidgetFactory, fixedVisibility);
}

bool ModelManager::runOnModelThread(const std::function<void()>& work)
{
    return handOver_.run(work);
}

void ModelManager::releaseResources(const QList<BaseResourceItem*>& items)
{
    if (items.isEmpty())
        return;
    // Items are found by address before anything of them is read: one removed
    // meanwhile is left alone.
    auto remove = [this, items]() {
        for (BaseResourceItem* item : items) {
            for (BaseResourceModel* model : qAsConst(resourceModels_)) {
                if (model->rowOf(item) >= 0) {
                    model->removeItem(item);
                    break;
                }
            }
        }
    };
    // On the manager's thread at once: a resource of the same name asked for right
    // after must be a new one, not the item about to go. From another thread the
    // removal is queued ahead of any later request, which is queued too.
    if (!handOver_.needed()) {
        remove();
        return;
    }
    QMetaObject::invokeMethod(this, remove, Qt::QueuedConnection);
}

BaseResourceItem* ModelManager::createResourceHere(ResourceType type, const QString& belong, const QString& name,
                                                   bool isUsed, DataWidgetBaseFactory* dataWidgetFactory,
                                                   bool fixedVisibility)
{
    BaseResourceModel* model = neededTypes_.contains(type) ? resourceModels_.value(type) : nullptr;
    if (!model) {
        delete dataWidgetFactory;
        return nullptr;
    }
    BaseResourceItem* item = model->resource(belong + name);
    const bool created = !item;
    if (created) {
        BaseResourceItem::Data* record = newResourceRecord(type);
        if (auto chart = dynamic_cast<ChartResourceItem::Data*>(record))
            chart->Color = nextPaletteColor();
        record->Belong = belong;
        record->Name = name;
        record->IsUsed = isUsed;
        item = qobject_cast<BaseResourceItem*>(model->createItem(record));
        if (!item) {
            delete dataWidgetFactory;
            return nullptr;
        }
    }
    if (auto data = qobject_cast<DataResourceItem*>(item))
        data->setFactory(dataWidgetFactory);
    else
        delete dataWidgetFactory;
    item->setFixedVisibility(fixedVisibility);
    // An item already in use is announced and placed once only; a second
    // announcement would also pull it into the default container.
    if (created || !item->isUsed())
        item->setUsed(item->resourceRecord()->IsUsed);
    return item;
}

void ModelManager::loadSettings()
{
    if (handOver_.needed()) {
        handOver_.run([this]() { loadSettings(); });
        return;
    }
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
