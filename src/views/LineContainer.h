#pragma once

#include "views/ChartContainer2D.h"

class LineContainerItem;
class ZPopupShadowWindow;
class QSpinBox;
class QDoubleSpinBox;

// The 2D container of line resources: values against their index, the X axis
// spanning the number of points kept; zoom mode, point count and a settings
// pop-up (Y range, grids) in the tool bar.
class LineContainer : public ChartContainer2D
{
    Q_OBJECT
public:
    explicit LineContainer(LineContainerItem* item, QWidget* parent = nullptr);

    LineContainerItem* lineItem() const { return lineItem_; }
    QToolButton* zoomButton() const { return zoomButton_; }
    QToolButton* settingsButton() const { return settingsButton_; }
    QSpinBox* pointsBox() const { return pointsBox_; }
    QDoubleSpinBox* yMinBox() const { return yMinBox_; }
    QDoubleSpinBox* yMaxBox() const { return yMaxBox_; }
    QSpinBox* xGridsBox() const { return xGridsBox_; }
    QSpinBox* yGridsBox() const { return yGridsBox_; }
    ZPopupShadowWindow* settingsPopup() const { return popup_; }

public slots:
    void handleItemDataChanged(int column) override;

private:
    void setZoomMode(bool zoomView);

    LineContainerItem* lineItem_;
    QToolButton* zoomButton_;
    QToolButton* settingsButton_;
    QSpinBox* pointsBox_;
    QDoubleSpinBox* yMinBox_;
    QDoubleSpinBox* yMaxBox_;
    QSpinBox* xGridsBox_;
    QSpinBox* yGridsBox_;
    ZPopupShadowWindow* popup_;
};
