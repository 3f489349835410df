#include "views/ViewManager.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QScrollArea>
#include <QScrollBar>
#include <QShowEvent>
#include <QTabWidget>
#include <QTableView>
#include <QTreeView>
#include <QVBoxLayout>

#include "foundation/ZLog.h"
#include "model/BaseModel.h"
#include "model/ContainerItems.h"
#include "model/ModelManager.h"
#include "model/ResourceItems.h"
#include "model/WindowModel.h"
#include "views/AttitudeContainer.h"
#include "views/AttitudeResource.h"
#include "views/BaseContainer.h"
#include "views/BaseResource.h"
#include "views/ChartUpdateHandover.h"
#include "views/CustomTabWidget.h"
#include "views/DataContainer.h"
#include "views/DataResource.h"
#include "views/LineContainer.h"
#include "views/LineResource.h"
#include "views/Scatter3DContainer.h"
#include "views/Scatter3DResource.h"
#include "views/ScatterContainer.h"
#include "views/ScatterResource.h"
#include "views/WindowLayout.h"
#include "views/Z3DScatter.h"

namespace {

template <typename Container, typename Item>
BaseContainer* buildContainer(BaseContainerItem* item)
{
    auto* concrete = qobject_cast<Item*>(item);
    if (!concrete) {
        zWarning() << "container item of an unexpected class, no widget built:" << item->name();
        return nullptr;
    }
    return new Container(concrete);
}

BaseContainer* createContainerWidget(ResourceType type, BaseContainerItem* item)
{
    switch (type) {
    case ResourceType::Data: return buildContainer<DataContainer, DataContainerItem>(item);
    case ResourceType::Line: return buildContainer<LineContainer, LineContainerItem>(item);
    case ResourceType::Scatter: return buildContainer<ScatterContainer, ScatterContainerItem>(item);
    case ResourceType::Attitude: return buildContainer<AttitudeContainer, AttitudeContainerItem>(item);
    case ResourceType::Scatter3D: return buildContainer<Scatter3DContainer, Scatter3DContainerItem>(item);
    }
    return nullptr;
}

template <typename Resource, typename Item>
BaseResource* buildResource(BaseResourceItem* item, QObject* parent = nullptr)
{
    auto* concrete = qobject_cast<Item*>(item);
    if (!concrete) {
        zWarning() << "resource item of an unexpected class, nothing built:" << item->uniqueName();
        return nullptr;
    }
    return new Resource(concrete, parent);
}

BaseResource* createResourceObject(ResourceType type, BaseResourceItem* item, QObject* viewManager)
{
    switch (type) {
    case ResourceType::Data: return buildResource<DataResource, DataResourceItem>(item, viewManager);
    case ResourceType::Line: return buildResource<LineResource, LineResourceItem>(item);
    case ResourceType::Scatter: return buildResource<ScatterResource, ScatterResourceItem>(item);
    case ResourceType::Attitude: return buildResource<AttitudeResource, AttitudeResourceItem>(item);
    case ResourceType::Scatter3D: return buildResource<Scatter3DResource, Scatter3DResourceItem>(item);
    }
    return nullptr;
}

// The window model as the user reads it: names instead of the stored numbers of
// the type and orientation columns, and headers in the interface language. Edits
// still reach the model as numbers.
class WindowTreeNames : public QIdentityProxyModel
{
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex& index, int role) const override
    {
        const QVariant value = QIdentityProxyModel::data(index, role);
        if (role != Qt::DisplayRole || !value.isValid())
            return value;
        if (index.column() == WindowItem::ColType)
            return ViewManager::windowTypeName(value.toInt());
        if (index.column() == WindowItem::ColOrientation)
            return ViewManager::orientationName(value.toInt());
        return value;
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
            return QIdentityProxyModel::headerData(section, orientation, role);
        switch (section) {
        case WindowItem::ColType: return ViewManager::tr("Type");
        case WindowItem::ColName: return ViewManager::tr("Name");
        case WindowItem::ColOrientation: return ViewManager::tr("Orientation");
        case WindowItem::ColCurrentContainer: return ViewManager::tr("CurrentContainer");
        }
        return QIdentityProxyModel::headerData(section, orientation, role);
    }
};

// Width of a view that shows all its columns whole.
int wholeWidth(QAbstractItemView* view, QHeaderView* header)
{
    int width = 0;
    for (int c = 0; c < header->count(); ++c)
        width += qMax(header->sectionSizeHint(c), view->sizeHintForColumn(c));
    return width + 2 * view->frameWidth() + view->verticalScrollBar()->sizeHint().width();
}

QTabWidget* modelTables(const QList<ResourceType>& types, const std::function<QAbstractItemModel*(ResourceType)>& model,
                        QWidget* parent)
{
    auto* tabs = new QTabWidget(parent);
    for (ResourceType type : types) {
        QAbstractItemModel* m = model(type);
        if (!m)
            continue;
        auto* table = new QTableView(tabs);
        table->setModel(m);
        table->horizontalHeader()->setStretchLastSection(true);
        tabs->addTab(table, resourceTypeName(type));
    }
    return tabs;
}

} // namespace

QString ViewManager::windowTypeName(int type)
{
    switch (type) {
    case WindowItem::Root: return tr("Root");
    case WindowItem::Splitter: return tr("Splitter");
    case WindowItem::Window: return tr("Window");
    }
    return QString::number(type);
}

QString ViewManager::orientationName(int orientation)
{
    switch (orientation) {
    case Qt::Horizontal: return tr("Horizontal");
    case Qt::Vertical: return tr("Vertical");
    }
    return QString::number(orientation);
}

QSize ViewManager::contentSize() const
{
    int width = 0;
    for (int c = 0; c < windowTree_->header()->count(); ++c)
        windowTree_->resizeColumnToContents(c);
    // The tree's first column also holds the indentation of the deepest item.
    width = wholeWidth(windowTree_, windowTree_->header()) + 2 * windowTree_->indentation();
    int rows = windowTree_->model()->rowCount();
    for (QTabWidget* tables : {containerTables_, resourceTables_}) {
        for (int i = 0; i < tables->count(); ++i) {
            auto* table = qobject_cast<QTableView*>(tables->widget(i));
            if (!table || !table->model())
                continue;
            table->resizeColumnsToContents();
            width = qMax(width, wholeWidth(table, table->horizontalHeader()) + table->verticalHeader()->sizeHint().width());
            rows = qMax(rows, table->model()->rowCount());
        }
    }
    const QMargins margins = layout()->contentsMargins();
    // Room for a few rows beyond the tab bar, the header and the corner button.
    const int rowHeight = windowTree_->fontMetrics().height() + 8;
    const int height = tabs_->sizeHint().height() + rowHeight * (qBound(4, rows, 12) + 2);
    return QSize(width + margins.left() + margins.right() + 2 * tabs_->style()->pixelMetric(QStyle::PM_DefaultFrameWidth) + 8,
                 height + margins.top() + margins.bottom());
}

void ViewManager::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // Once, at the first show: large enough for every header and value, never
    // smaller than it is, nor larger than the screen.
    if (sized_)
        return;
    sized_ = true;
    QSize wanted = contentSize().expandedTo(size());
    if (QScreen* s = screen())
        wanted = wanted.boundedTo(s->availableGeometry().size() * 0.9);
    resize(wanted);
}

QReadWriteLock& ViewManager::redrawLock()
{
    static QReadWriteLock lock(QReadWriteLock::NonRecursive);
    return lock;
}

ViewManager::ViewManager(ModelManager* modelManager, QWidget* parent)
    : QWidget(parent), modelManager_(modelManager)
{
    registerModelMetaTypes();
    setWindowTitle(tr("View Manager"));

    auto* layout = new QHBoxLayout(this);
    tabs_ = new CustomTabWidget(this);
    layout->addWidget(tabs_);
    activateButton_ = new QPushButton(tr("Activate"), this);
    tabs_->cornerLayout()->addWidget(activateButton_);
    connect(activateButton_, &QPushButton::clicked, modelManager_, &ModelManager::activateResources);

    windowTree_ = new QTreeView(this);
    windowTree_->setModel(new WindowTreeNames(windowTree_));
    static_cast<WindowTreeNames*>(windowTree_->model())->setSourceModel(modelManager_->windowModel());
    tabs_->addPage(windowTree_, tr("Window"));

    windowView_ = new WindowView(modelManager_->windowModel());
    connect(windowView_, &WindowView::newContainerNeeded, this, &ViewManager::createContainerInWindow,
            Qt::DirectConnection);

    // Ascending type order, as the model maps are ordered.
    const QList<ResourceType> types = modelManager_->containerModels().keys();
    containerTables_ =
        modelTables(types, [this](ResourceType t) { return modelManager_->containerModel(t); }, this);
    tabs_->addPage(containerTables_, tr("Container"));
    resourceTables_ = modelTables(
        modelManager_->resourceModels().keys(), [this](ResourceType t) { return modelManager_->resourceModel(t); },
        this);
    tabs_->addPage(resourceTables_, tr("Resource"));
    tabs_->setCurrentPage(windowTree_);

    connect(modelManager_, &ModelManager::resourceCreated, this, &ViewManager::handleResourceCreated);
    connect(modelManager_, &ModelManager::resourceDeleted, this, &ViewManager::handleResourceDeleted);
    connect(modelManager_, &ModelManager::resourceMoved, this, &ViewManager::handleResourceMoved);
    connect(modelManager_, &ModelManager::containerCreated, this, &ViewManager::handleContainerCreated);
    connect(modelManager_, &ModelManager::containerDeleted, this, &ViewManager::handleContainerDeleted);
    connect(modelManager_, &ModelManager::containerMoved, this, &ViewManager::handleContainerMoved);
}

ViewManager::~ViewManager()
{
    if (modelManager_)
        disconnect(modelManager_, nullptr, this, nullptr);
    QMap<ResourceType, QMap<QString, BaseResource*>> resources;
    QMap<ResourceType, QMap<QString, QPointer<BaseContainer>>> containers;
    {
        QWriteLocker lock(&redrawLock());
        resources.swap(resources_);
        containers.swap(containers_);
    }
    // Resources first: their setting widgets sit in the containers' series panels.
    for (const auto& byName : qAsConst(resources))
        qDeleteAll(byName);
    for (const auto& byName : qAsConst(containers))
        for (const QPointer<BaseContainer>& container : byName)
            delete container.data();
    delete windowView_.data();
}

BaseResource* ViewManager::resource(ResourceType type, const QString& uniqueName) const
{
    QReadLocker lock(&redrawLock());
    return resources_.value(type).value(uniqueName, nullptr);
}

BaseContainer* ViewManager::container(ResourceType type, const QString& name) const
{
    return containers_.value(type).value(name).data();
}

QStringList ViewManager::resourceNames(ResourceType type) const
{
    QReadLocker lock(&redrawLock());
    return resources_.value(type).keys();
}

QStringList ViewManager::containerNames(ResourceType type) const
{
    return containers_.value(type).keys();
}

// ---------------------------------------------------------------- passes

void ViewManager::refreshDataResources()
{
    // On the GUI thread, where the maps change: the lock covers the copy only, so
    // that a product view creating or deleting resources while it redraws cannot
    // deadlock on it; a resource deleted meanwhile drops out of the guarded copy.
    QList<QPointer<BaseResource>> walk;
    {
        QReadLocker lock(&redrawLock());
        const QMap<QString, BaseResource*> byName = resources_.value(ResourceType::Data);
        for (BaseResource* r : byName)
            walk << r;
    }
    for (const QPointer<BaseResource>& r : qAsConst(walk)) {
        if (!r)
            continue;
        BaseResourceItem* item = r->item();
        if (!item->isDirty() || !item->isVisible())
            continue;
        item->setDirty(false);
        r->updateFromItem();
    }
}

void ViewManager::refreshChartResources()
{
    refreshTypes({ResourceType::Line, ResourceType::Scatter, ResourceType::Attitude, ResourceType::Scatter3D});
}

int ViewManager::refreshTypes(std::initializer_list<ResourceType> types)
{
    int updated = 0;
    QReadLocker lock(&redrawLock());
    // One hand-over for the whole pass: one repaint of each chart, not one per series.
    ChartUpdateHandover::Batch batch;
    for (ResourceType type : types) {
        const QMap<QString, BaseResource*> byName = resources_.value(type);
        for (BaseResource* r : byName) {
            BaseResourceItem* item = r->item();
            if (!item->isDirty() || !item->isVisible())
                continue;
            // Cleared first: a value written meanwhile sets it again and is drawn next time.
            item->setDirty(false);
            r->updateFromItem();
            ++updated;
        }
    }
    return updated;
}

void ViewManager::addNewWindow()
{
    if (!modelManager_)
        return;
    modelManager_->windowModel()->addNew(nullptr, WindowItem::Window);
}

// ---------------------------------------------------------------- containers

void ViewManager::createContainerInWindow(ResourceType type, QString windowName)
{
    BaseContainerModel* model = modelManager_ ? modelManager_->containerModel(type) : nullptr;
    if (!model)
        return;
    auto* item = qobject_cast<BaseContainerItem*>(model->createItem(nullptr));
    // Refused (limit, duplicate): the model said why.
    if (!item)
        return;
    item->setData(BaseContainerItem::ColWindow, windowName);
    if (model->items().size() == 1)
        model->setDefaultContainer(item->name());
}

void ViewManager::handleContainerCreated(ResourceType type, BaseContainerItem* item)
{
    if (!item)
        return;
    BaseContainer* widget = createContainerWidget(type, item);
    if (!widget)
        return;
    QPointer<BaseContainer> old;
    {
        QWriteLocker lock(&redrawLock());
        old = containers_[type].value(item->name());
        containers_[type].insert(item->name(), widget);
    }
    if (old && old != widget)
        delete old.data();
    widget->syncFromItem();
}

void ViewManager::handleContainerDeleted(ResourceType type, QString containerName)
{
    QPointer<BaseContainer> widget;
    bool found = false;
    {
        QWriteLocker lock(&redrawLock());
        auto byType = containers_.find(type);
        if (byType != containers_.end() && byType->contains(containerName)) {
            widget = byType->take(containerName);
            found = true;
        }
    }
    if (!found) {
        zCritical() << "try to delete container not existed:" << static_cast<int>(type) << containerName;
        return;
    }
    delete widget.data();
}

void ViewManager::handleContainerMoved(ResourceType type, QString containerName, QString oldWindowName,
                                       QString newWindowName)
{
    BaseContainer* widget = containers_.value(type).value(containerName).data();
    if (!widget)
        return;
    if (windowView_)
        windowView_->handleContainerMoved(widget, oldWindowName, newWindowName);
}

// ---------------------------------------------------------------- resources

void ViewManager::handleResourceCreated(ResourceType type, BaseResourceItem* item)
{
    if (!item)
        return;
    // An item announced again (used once more) keeps its object and its place.
    if (BaseResource* existing = resources_.value(type).value(item->uniqueName(), nullptr)) {
        if (existing->item() == item) {
            existing->syncFromItem();
            return;
        }
    }
    BaseResource* resource = createResourceObject(type, item, this);
    if (!resource)
        return;
    resource->syncFromItem();
    BaseResource* old = nullptr;
    {
        QWriteLocker lock(&redrawLock());
        old = resources_[type].value(item->uniqueName(), nullptr);
        resources_[type].insert(item->uniqueName(), resource);
    }
    if (old) {
        delete old;
        // The replaced object held the place; the item's container does not move,
        // so no announcement will place the new one.
        if (BaseContainer* to = containers_.value(type).value(item->containerName()).data())
            to->putResource(resource);
    }
}

void ViewManager::handleResourceDeleted(ResourceType type, QString uniqueName)
{
    BaseResource* resource = nullptr;
    {
        QWriteLocker lock(&redrawLock());
        auto byType = resources_.find(type);
        if (byType != resources_.end())
            resource = byType->take(uniqueName);
    }
    delete resource;
}

void ViewManager::handleResourceMoved(ResourceType type, QString resourceName, QString oldContainerName,
                                      QString newContainerName)
{
    BaseResource* resource = resources_.value(type).value(resourceName, nullptr);
    // A resource without an object (not used yet, or refused) is passed on to nobody.
    if (!resource)
        return;
    if (BaseContainer* from = containers_.value(type).value(oldContainerName).data())
        from->takeResource(resource);
    if (BaseContainer* to = containers_.value(type).value(newContainerName).data())
        to->putResource(resource);
}
