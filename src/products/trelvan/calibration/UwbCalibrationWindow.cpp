#include "products/trelvan/calibration/UwbCalibrationWindow.h"

#include "foundation/ZLog.h"
#include "products/trelvan/calibration/AoaCalibrationProtocols.h"
#include "widgets/ZWidgetHelpers.h"

#include <QFormLayout>
#include <QStatusBar>
#include <QToolButton>

using Trelvan::AoaCalibrationFrame;

namespace trelvan {

namespace {

QList<Trelvan::CalibrationField> windowFields()
{
    using F = AoaCalibrationFrame;
    return {
        {WidgetCalibration::tr("Xtrim Offset(ppm)"), F::XtrimOffset, 2, true, 100, 2, -327.68, 327.67, 0},
        {WidgetCalibration::tr("Antenna Tx Delay"), F::AntennaTxDelay, 2, true, 1, 0, -32768, 32767, 1},
        {WidgetCalibration::tr("Antenna Rx Delay"), F::AntennaRxDelay, 2, true, 1, 0, -32768, 32767, 1},
        {WidgetCalibration::tr("AOA Offset(deg)"), F::AoaOffset, 2, true, 100, 2, -180, 180, 2},
        {WidgetCalibration::tr("Tx Gain Offset(dB)"), F::TxGainOffset, 1, true, 1, 0, -128, 127, 3},
        {WidgetCalibration::tr("Distance Offset(m)"), F::DistanceOffset, 2, true, 1000, 3, -32.768, 32.767, 4},
    };
}

QList<Trelvan::CalibrationCheck> windowChecks()
{
    using F = AoaCalibrationFrame;
    return {{F::ItemType, 1, "item_type"},
            {F::AoaOffset, 2, "aoa_offset()"},
            {F::XtrimOffset, 2, "xtrim_offset()"},
            {F::AntennaRxDelay, 2, "antenna_rx_delay_offset"},
            {F::AntennaTxDelay, 2, "antenna_tx_delay_offset"},
            {F::TxGainOffset, 1, "tx_gain_offset"},
            {F::DistanceOffset, 2, "dis_offset()"}};
}

} // namespace

WidgetCalibration::WidgetCalibration(QWidget* parent)
    : AoaCalibrationEditor(ProtocolCalibration::instance(), tr("Item Type"),
                           {tr("Xtrim Offset"), tr("Antenna Delay"), tr("AOA Offset"), tr("Tx Gain Offset"),
                            tr("Distance Offset")},
                           windowFields(), windowChecks(), parent)
{
    if (!ProtocolCalibration::existing()->parent())
        ProtocolCalibration::existing()->setParent(this);
    statusBar_ = new QStatusBar(this);
    // The window is as wide as its longest message: a result is never cut.
    QStringList messages{tr("Read parameter failed, error type: timeout"),
                         tr("Write parameter failed, error type: timeout"),
                         tr("illegal offset value received: %1").arg(255), tr("Read parameter succeeded"),
                         tr("Write parameter succeeded")};
    for (const Trelvan::CalibrationCheck& check : windowChecks())
        messages << tr("Write parameter failed, error type: ") + check.key;
    fitStatusBarToMessages(statusBar_, messages);
    form()->addRow(statusBar_);
    connect(readButton(), &QToolButton::clicked, this, &WidgetCalibration::readParameter);
    connect(writeButton(), &QToolButton::clicked, this, &WidgetCalibration::writeParameter);
}

void WidgetCalibration::readParameter()
{
    AoaCalibrationFrame reply;
    if (!exchange(AoaCalibrationFrame::readRequest(AoaCalibrationFrame::Layout::Window), &reply)) {
        // Kept until the next message: the user may look away while waiting.
        statusBar_->showMessage(tr("Read parameter failed, error type: timeout"));
        return;
    }
    const int item = reply.u8(AoaCalibrationFrame::ItemType);
    applyFrame(reply);
    if (item >= itemCount())
        statusBar_->showMessage(tr("illegal offset value received: %1").arg(item), kStatusMs);
    else
        statusBar_->showMessage(tr("Read parameter succeeded"), kStatusMs);
}

void WidgetCalibration::writeParameter()
{
    const AoaCalibrationFrame sent = frameFromEditors();
    AoaCalibrationFrame echo;
    if (!exchange(sent.toByteArray(), &echo)) {
        statusBar_->showMessage(tr("Write parameter failed, error type: timeout"), kStatusMs);
        return;
    }
    const QStringList keys = mismatches(sent, echo);
    for (const QString& key : keys)
        zCritical().nospace() << "Write parameter failed, error type: " << key;
    if (keys.isEmpty())
        statusBar_->showMessage(tr("Write parameter succeeded"), kStatusMs);
    else
        statusBar_->showMessage(tr("Write parameter failed, error type: ") + keys.first(), kStatusMs);
}

} // namespace trelvan
