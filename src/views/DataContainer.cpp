#include "views/DataContainer.h"

#include <QScrollArea>
#include <QTabWidget>
#include <QVBoxLayout>

#include "foundation/UserPaths.h"
#include "foundation/ZLog.h"
#include "model/ContainerItems.h"
#include "model/ResourceItems.h"
#include "views/DataResource.h"
#include "views/ViewHooks.h"
#include "widgets/PlainTextEditWithFile.h"

DataContainer::DataContainer(DataContainerItem* item, QWidget* parent) : BaseContainer(item, parent)
{
    tabs_ = new QTabWidget(this);
    contentLayout()->addWidget(tabs_);
}

DataContainer::~DataContainer()
{
    // The pages belong to their resources, which may outlive this container.
    for (BaseResource* r : resources())
        removeResource(r);
}

void DataContainer::addResource(BaseResource* resource)
{
    auto* data = qobject_cast<DataResource*>(resource);
    if (!data || !data->scrollArea())
        return;
    tabs_->addTab(data->scrollArea(), data->item()->uniqueName());
    data->scrollArea()->show();
}

void DataContainer::removeResource(BaseResource* resource)
{
    auto* data = qobject_cast<DataResource*>(resource);
    if (!data || !data->scrollArea())
        return;
    QScrollArea* area = data->scrollArea();
    const int index = tabs_->indexOf(area);
    if (index < 0)
        return;
    area->hide();
    tabs_->removeTab(index);
    // The resource keeps its page; it no longer hangs in this container's tabs.
    area->setParent(qobject_cast<QWidget*>(data->parent()));
}

QString DataContainer::takeScreenshot()
{
    // A console whose repaint waits for the next turn of the event loop would be
    // missing from the grab.
    for (PlainTextEditWithFile* console : findChildren<PlainTextEditWithFile*>())
        console->resumeRepaint();
    const QPixmap pixmap = grab();
    const QString path = screenshotFilePath();
    if (!pixmap.save(path, "PNG")) {
        zWarning() << "screenshot not written:" << path;
        return QString();
    }
    ViewHooks::openFolder(screenshotDir);
    return path;
}
