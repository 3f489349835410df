#pragma once

#include "views/ChartContainer3D.h"

class AttitudeContainerItem;

// The 3D container of attitude resources: each resource's plane model turns in
// a bare graph (no grid, no labels) whose camera stays where it is.
class AttitudeContainer : public ChartContainer3D
{
    Q_OBJECT
public:
    explicit AttitudeContainer(AttitudeContainerItem* item, QWidget* parent = nullptr);

    void addResource(BaseResource* resource) override;
    void removeResource(BaseResource* resource) override;

public slots:
    void handleItemDataChanged(int column) override;
};
