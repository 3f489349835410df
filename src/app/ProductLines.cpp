#include "app/ProductLines.h"

#include "products/iot/IotProductHandle.h"
#include "products/parvo/ParvoProtocolFrame0.h"
#include "products/sarvel/RangeProductHandles.h"
#include "products/trelvan/TrelvanRegistration.h"
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
    // The positioning line's UWB calibration window joins through
    // MainWindow::setUwbCalibrationWindowFactory when that line provides it.
}
