#pragma once

#include "views/ChartContainer2D.h"

class ScatterChartView;
class ScatterContainerItem;
class ZPopupShadowWindow;
class QCheckBox;
class QDoubleSpinBox;
class QSpinBox;

// The 2D container of scatter resources: positions on a plane with equal scales
// on both axes, an optional background map, and a settings pop-up (axis ranges,
// grids, map file and extents, track length, show-all switches). Every pan and
// zoom is written back into the item, so the plane is restored after a restart.
class ScatterContainer : public ChartContainer2D
{
    Q_OBJECT
public:
    explicit ScatterContainer(ScatterContainerItem* item, QWidget* parent = nullptr);

    ScatterContainerItem* scatterItem() const { return scatterItem_; }
    ScatterChartView* scatterView() const { return scatterView_; }

    // Asks for a map picture; invalid map extents are replaced by the axis
    // extents first. False when cancelled.
    bool chooseMapFile();
    // The picture's look; a background map stays in the picture.
    void setScreenshotMode(bool on) override;

    QToolButton* settingsButton() const { return settingsButton_; }
    ZPopupShadowWindow* settingsPopup() const { return popup_; }
    QDoubleSpinBox* xMinBox() const { return xMinBox_; }
    QDoubleSpinBox* xMaxBox() const { return xMaxBox_; }
    QDoubleSpinBox* yMinBox() const { return yMinBox_; }
    QDoubleSpinBox* yMaxBox() const { return yMaxBox_; }
    QSpinBox* xGridsBox() const { return xGridsBox_; }
    QSpinBox* yGridsBox() const { return yGridsBox_; }
    QCheckBox* useMapBox() const { return useMapBox_; }
    QToolButton* mapButton() const { return mapButton_; }
    QDoubleSpinBox* mapXMinBox() const { return mapXMinBox_; }
    QDoubleSpinBox* mapXMaxBox() const { return mapXMaxBox_; }
    QDoubleSpinBox* mapYMinBox() const { return mapYMinBox_; }
    QDoubleSpinBox* mapYMaxBox() const { return mapYMaxBox_; }
    QCheckBox* showMarkerBox() const { return showMarkerBox_; }
    QCheckBox* showLineTrackBox() const { return showLineTrackBox_; }
    QCheckBox* showScatterTrackBox() const { return showScatterTrackBox_; }
    QSpinBox* trackLengthBox() const { return trackLengthBox_; }

public slots:
    void handleItemDataChanged(int column) override;

private:
    QDoubleSpinBox* addMapSpinBox(const QString& prefix, int column);
    void handleUseMapClicked(bool checked);
    // Writes an axis end moved by the view into the item.
    void writeAxisEnd(int column, double value);
    void showAxisRange(QDoubleSpinBox* minBox, QDoubleSpinBox* maxBox, double min, double max);
    void applyMapExtent(int column);
    template <typename Setter>
    void forEachScatterResource(Setter setter, bool on);

    ScatterContainerItem* scatterItem_;
    ScatterChartView* scatterView_;
    QToolButton* settingsButton_;
    QDoubleSpinBox* xMinBox_;
    QDoubleSpinBox* xMaxBox_;
    QDoubleSpinBox* yMinBox_;
    QDoubleSpinBox* yMaxBox_;
    QSpinBox* xGridsBox_;
    QSpinBox* yGridsBox_;
    QCheckBox* useMapBox_;
    QToolButton* mapButton_;
    QDoubleSpinBox* mapXMinBox_;
    QDoubleSpinBox* mapXMaxBox_;
    QDoubleSpinBox* mapYMinBox_;
    QDoubleSpinBox* mapYMaxBox_;
    QCheckBox* showMarkerBox_;
    QCheckBox* showLineTrackBox_;
    QCheckBox* showScatterTrackBox_;
    QSpinBox* trackLengthBox_;
    ZPopupShadowWindow* popup_;
    // Set while an axis change of the view is being written into the item, so
    // that the item's echo does not set the axis again half-way.
    bool writingBack_ = false;
};
