#include "products/trelvan/calibration/UwbCalibrationPage.h"

#include "foundation/ZLog.h"
#include "products/trelvan/calibration/AoaCalibrationProtocols.h"

#include <QToolButton>

using Trelvan::AoaCalibrationFrame;

namespace {

QList<Trelvan::CalibrationField> pageFields()
{
    using F = AoaCalibrationFrame;
    return {
        {WidgetUwbCalibration::tr("Xtrim"), F::XtrimOffset, 2, true, 1000, 3, -32.768, 32.767, 0},
        {WidgetUwbCalibration::tr("AntennaTxDelay"), F::AntennaTxDelay, 2, false, 1, 0, 0, 65535, 1},
        {WidgetUwbCalibration::tr("AntennaRxDelay"), F::AntennaRxDelay, 2, false, 1, 0, 0, 65535, 1},
        {WidgetUwbCalibration::tr("AOA"), F::AoaOffset, 2, true, 100, 2, -180, 180, 2},
    };
}

QList<Trelvan::CalibrationCheck> pageChecks()
{
    using F = AoaCalibrationFrame;
    return {{F::ItemType, 1, "offsetType"},
            {F::XtrimOffset, 2, "offsetXtrim()"},
            {F::AoaOffset, 2, "offsetAoa()"},
            {F::AntennaRxDelay, 2, "offsetAntennaRxDelay"},
            {F::AntennaTxDelay, 2, "offsetAntennaTxDelay"}};
}

} // namespace

WidgetUwbCalibration::WidgetUwbCalibration(QWidget* parent)
    : AoaCalibrationEditor(ProtocolUwbCalibration::instance(), tr("Offset"), {"xtrim", "antenna_delay", "aoa"},
                           pageFields(), pageChecks(), parent)
{
    // The singleton belongs to the first page made.
    if (!ProtocolUwbCalibration::existing()->parent())
        ProtocolUwbCalibration::existing()->setParent(this);
    connect(readButton(), &QToolButton::clicked, this, &WidgetUwbCalibration::readParameter);
    connect(writeButton(), &QToolButton::clicked, this, &WidgetUwbCalibration::writeParameter);
}

void WidgetUwbCalibration::readParameter()
{
    AoaCalibrationFrame reply;
    if (!exchange(AoaCalibrationFrame::readRequest(AoaCalibrationFrame::Layout::Page), &reply)) {
        zCritical() << "Read parameter failed, error type: timeout";
        return;
    }
    const int item = reply.u8(AoaCalibrationFrame::ItemType);
    if (item >= itemCount())
        zWarning() << "illegal offset value received:" << item;
    applyFrame(reply);
    zInfo() << "Read parameter succeeded";
}

void WidgetUwbCalibration::writeParameter()
{
    const AoaCalibrationFrame sent = frameFromEditors();
    AoaCalibrationFrame echo;
    if (!exchange(sent.toByteArray(), &echo)) {
        zCritical() << "Write parameter failed, error type: timeout";
        return;
    }
    const QStringList keys = mismatches(sent, echo);
    for (const QString& key : keys)
        zCritical().nospace() << "Write parameter failed, error type: " << key;
    if (keys.isEmpty())
        zInfo() << "Write parameter succeeded";
}
