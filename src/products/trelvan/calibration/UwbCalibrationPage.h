#pragma once

#include "products/trelvan/calibration/AoaCalibrationEditor.h"

// The calibration page of the AOA setting window: crystal trim, antenna delays
// and the AOA offset in the page layout of the calibration frame. It reports to the
// log only.
class WidgetUwbCalibration : public Trelvan::AoaCalibrationEditor
{
    Q_OBJECT
public:
    explicit WidgetUwbCalibration(QWidget* parent = nullptr);

    void readParameter();
    void writeParameter();
};
