#include "app/ProductLines.h"

#include "app/MainWindow.h"
#include "products/iot/IotProductHandle.h"
#include "products/parvo/ParvoProtocolFrame0.h"
#include "products/sarvel/RangeProductHandles.h"
#include "products/trelvan/TrelvanRegistration.h"
#include "products/trelvan/calibration/UwbCalibrationWindow.h"
#include "products/uwbana/UwbAnaProductHandle.h"

void registerProductLines()
{
    static bool registered = false;
    if (registered)
        return;
    registered = true;

    Trelvan::registerProtocols();
    Sarvel::registerRangeSensors();
    iot::registerIotLine();
    UwbAna::registerAnalyser();
    Parvo::registerZoneFrames();
    // The main window's "UWB Calibration" entry makes the window once, without parent.
    MainWindow::setUwbCalibrationWindowFactory([]() -> QWidget* { return new trelvan::WidgetCalibration(nullptr); });
}
