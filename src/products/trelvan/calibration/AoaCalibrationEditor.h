#pragma once

#include "link/ZSerialPortInterface.h"
#include "products/trelvan/calibration/AoaCalibrationFrame.h"

#include <QList>
#include <QMap>
#include <QStringList>
#include <QWidget>

class QAbstractSpinBox;
class QComboBox;
class QFormLayout;
class QToolButton;

namespace Trelvan {

class AoaCalibrationProtocol;

// One value of the calibration frame as an editor shows it.
struct CalibrationField
{
    QString label;
    int offset = 0;
    int width = 2;     // bytes: 1 or 2
    bool isSigned = true;
    int scale = 1;     // shown = raw / scale; 1: a spin box, else a double spin box
    int decimals = 0;
    double lowest = 0;
    double highest = 0;
    int itemType = 0;  // the item whose selection enables the editor
};

// A field compared after a write, with the key logged when it differs.
struct CalibrationCheck
{
    int offset;
    int width;
    const char* key;
};

// What the calibration page and the calibration window share: the Read and Write
// buttons, the item selector that enables the editors of one item, the value
// editors of one layout, the request built from them, the exchange with its
// protocol and the field-by-field echo check. The two differ in layout and in
// where they report.
class AoaCalibrationEditor : public QWidget, public ZSerialPortInterface
{
    Q_OBJECT
public:
    ~AoaCalibrationEditor() override;

    QToolButton* readButton() const { return readButton_; }
    QToolButton* writeButton() const { return writeButton_; }
    QComboBox* itemCombo() const { return itemCombo_; }
    // The editor of the field at this offset; null when the layout has none.
    QAbstractSpinBox* editor(int offset) const { return editors_.value(offset); }
    // The value shown by the editor of the field at offset, as the user reads it.
    double value(int offset) const;
    void setValue(int offset, double value);
    // Offsets of the enabled value editors, in frame order.
    QList<int> enabledFields() const;

    // The write frame from the editors (selected item in byte 3, FF when none), sealed.
    AoaCalibrationFrame frameFromEditors() const;
    // Selects the frame's item (none when out of range) and shows its values.
    void applyFrame(const AoaCalibrationFrame& frame);
    // Keys of the checked fields where echo differs from sent, in check order.
    QStringList mismatches(const AoaCalibrationFrame& sent, const AoaCalibrationFrame& echo) const;

    // Held by a window that hosts the editor while it runs its own exchanges.
    void setExchangeLocked(bool locked);
    void handleSerialPortStatusChanged(bool isOpen) override;

protected:
    AoaCalibrationEditor(AoaCalibrationProtocol* protocol, const QString& itemLabel, const QStringList& itemNames,
                         const QList<CalibrationField>& fields, const QList<CalibrationCheck>& checks,
                         QWidget* parent);

    QFormLayout* form() const { return form_; }
    int itemCount() const { return itemNames_.size(); }
    // Writes request with the protocol active and waits up to 3000 ms for its
    // reply; false on time-out, else the reply in *reply.
    bool exchange(const QByteArray& request, AoaCalibrationFrame* reply);

private:
    void onItemSelected(int index);
    void updateButtons();

    AoaCalibrationProtocol* protocol_;
    QStringList itemNames_;
    QList<CalibrationField> fields_;
    QList<CalibrationCheck> checks_;
    QFormLayout* form_ = nullptr;
    QToolButton* readButton_ = nullptr;
    QToolButton* writeButton_ = nullptr;
    QComboBox* itemCombo_ = nullptr;
    QMap<int, QAbstractSpinBox*> editors_;
    bool locked_ = false;
};

} // namespace Trelvan
