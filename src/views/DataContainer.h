#pragma once

#include "views/BaseContainer.h"

class DataContainerItem;
class QTabWidget;

// The container of data resources: one tab per product data page, in the order
// the pages arrived. It shows the pages but does not own them.
class DataContainer : public BaseContainer
{
    Q_OBJECT
public:
    explicit DataContainer(DataContainerItem* item, QWidget* parent = nullptr);
    // Hands the pages still shown back to their resources.
    ~DataContainer() override;

    QTabWidget* tabs() const { return tabs_; }

    void addResource(BaseResource* resource) override;
    void removeResource(BaseResource* resource) override;
    // The whole container (top bar and current tab) as a PNG file.
    QString takeScreenshot() override;

private:
    QTabWidget* tabs_;
};
