#pragma once

class DataWidgetBase;
class DataResourceItem;
class QWidget;

// Builds the product data page shown by a Data resource. The factory object
// is owned by the data resource item's record, which deletes it with the item.
class DataWidgetBaseFactory
{
public:
    virtual ~DataWidgetBaseFactory() = default;
    // Builds the page for the item under the parent and hides it before returning.
    virtual DataWidgetBase* create(DataResourceItem* item, QWidget* parent) = 0;
};
