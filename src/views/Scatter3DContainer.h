#pragma once

#include "views/ChartContainer3D.h"

class Scatter3DContainerItem;
class ZPopupShadowWindow;
class QCheckBox;
class QDoubleSpinBox;
class QSpinBox;

// The 3D container of 3D scatter resources: each resource's marker and track in
// the graph, with axis ranges, grids (segment counts), track length and the
// show-all switches in a settings pop-up.
class Scatter3DContainer : public ChartContainer3D
{
    Q_OBJECT
public:
    explicit Scatter3DContainer(Scatter3DContainerItem* item, QWidget* parent = nullptr);

    Scatter3DContainerItem* scatter3DItem() const { return item3D_; }

    void addResource(BaseResource* resource) override;
    void removeResource(BaseResource* resource) override;

    QToolButton* settingsButton() const { return settingsButton_; }
    ZPopupShadowWindow* settingsPopup() const { return popup_; }
    QDoubleSpinBox* xMinBox() const { return xMinBox_; }
    QDoubleSpinBox* xMaxBox() const { return xMaxBox_; }
    QDoubleSpinBox* yMinBox() const { return yMinBox_; }
    QDoubleSpinBox* yMaxBox() const { return yMaxBox_; }
    QDoubleSpinBox* zMinBox() const { return zMinBox_; }
    QDoubleSpinBox* zMaxBox() const { return zMaxBox_; }
    QSpinBox* xGridsBox() const { return xGridsBox_; }
    QSpinBox* yGridsBox() const { return yGridsBox_; }
    QSpinBox* zGridsBox() const { return zGridsBox_; }
    QCheckBox* showMarkerBox() const { return showMarkerBox_; }
    QCheckBox* showTrackBox() const { return showTrackBox_; }
    QSpinBox* trackLengthBox() const { return trackLengthBox_; }

public slots:
    void handleItemDataChanged(int column) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void showRange(QDoubleSpinBox* minBox, QDoubleSpinBox* maxBox, float min, float max);

    Scatter3DContainerItem* item3D_;
    QToolButton* settingsButton_;
    QDoubleSpinBox* xMinBox_;
    QDoubleSpinBox* xMaxBox_;
    QDoubleSpinBox* yMinBox_;
    QDoubleSpinBox* yMaxBox_;
    QDoubleSpinBox* zMinBox_;
    QDoubleSpinBox* zMaxBox_;
    QSpinBox* xGridsBox_;
    QSpinBox* yGridsBox_;
    QSpinBox* zGridsBox_;
    QCheckBox* showMarkerBox_;
    QCheckBox* showTrackBox_;
    QSpinBox* trackLengthBox_;
    ZPopupShadowWindow* popup_;
};
