#include "views/DataResource.h"

#include <QScrollArea>

#include "foundation/ZLog.h"
#include "model/DataWidgetBaseFactory.h"
#include "model/ResourceItems.h"
#include "widgets/DataWidgetBase.h"

DataResource::DataResource(DataResourceItem* item, QObject* parent) : BaseResource(item, parent), dataItem_(item)
{
    scrollArea_ = new QScrollArea(qobject_cast<QWidget*>(parent));
    scrollArea_->setWidgetResizable(true);
    if (DataWidgetBaseFactory* factory = item->factory()) {
        view_ = factory->create(item, scrollArea_);
        if (view_) {
            scrollArea_->setWidget(view_);
            // The factory hands the page over hidden; the scroll area decides from now on.
            view_->show();
        }
    } else {
        zWarning() << "data resource without a view factory:" << item->uniqueName();
    }
}

DataResource::~DataResource()
{
    delete scrollArea_.data();
}

void DataResource::setVisible(bool visible)
{
    if (scrollArea_)
        scrollArea_->setVisible(visible);
}

void DataResource::updateFromItem()
{
    // The page is a widget: it is redrawn on the GUI thread whoever asks.
    applyOnGuiThread([](BaseResource* self) {
        if (DataWidgetBase* view = static_cast<DataResource*>(self)->view_)
            view->updateStatistics();
    });
}
