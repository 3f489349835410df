#pragma once

#include <QPointer>
#include <QScrollArea>

#include "views/BaseResource.h"

class DataResourceItem;
class DataWidgetBase;

// A data item shown as the product's own page (built by the item's factory),
// inside a scroll area. Updated by the data pass on the GUI thread.
class DataResource : public BaseResource
{
    Q_OBJECT
public:
    // parent: the view manager (a widget), which also parents the scroll area.
    explicit DataResource(DataResourceItem* item, QObject* parent = nullptr);
    ~DataResource() override;

    DataResourceItem* dataItem() const { return dataItem_; }
    QScrollArea* scrollArea() const { return scrollArea_; }
    DataWidgetBase* view() const { return view_; }

    void setVisible(bool visible) override;
    void updateFromItem() override;

private:
    DataResourceItem* dataItem_;
    QPointer<QScrollArea> scrollArea_;
    DataWidgetBase* view_ = nullptr;
};
