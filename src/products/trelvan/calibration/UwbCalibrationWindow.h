#pragma once

#include "products/trelvan/calibration/AoaCalibrationEditor.h"

class QStatusBar;

namespace trelvan {

// The stand-alone "UWB Calibration" window: all six calibration offsets in the
// window layout of the calibration frame, results in its own status bar.
class WidgetCalibration : public Trelvan::AoaCalibrationEditor
{
    Q_OBJECT
public:
    static constexpr int kStatusMs = 6000;

    explicit WidgetCalibration(QWidget* parent = nullptr);

    QStatusBar* statusBar() const { return statusBar_; }
    void readParameter();
    void writeParameter();

private:
    QStatusBar* statusBar_ = nullptr;
};

} // namespace trelvan
