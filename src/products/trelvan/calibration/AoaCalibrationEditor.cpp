#include "products/trelvan/calibration/AoaCalibrationEditor.h"

#include "foundation/ZAlgo.h"
#include "foundation/ZIconsManager.h"
#include "foundation/ZTimerManager.h"
#include "products/trelvan/calibration/AoaCalibrationProtocols.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QSpinBox>
#include <QToolButton>

#include <limits>

namespace Trelvan {

namespace {

constexpr int kReplyWaitMs = 3000;
constexpr int kReadIcon = 61;
constexpr int kWriteIcon = 87;

QToolButton* makeButton(QWidget* parent, int icon, const QString& text)
{
    auto* b = new QToolButton(parent);
    b->setIcon(ZIconsManager::instance()->icon(icon));
    b->setText(text);
    b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    return b;
}

void rawRange(const CalibrationField& f, qint32* lowest, qint32* highest)
{
    if (f.width == 1) {
        *lowest = f.isSigned ? -128 : 0;
        *highest = f.isSigned ? 127 : 255;
    } else {
        *lowest = f.isSigned ? -32768 : 0;
        *highest = f.isSigned ? 32767 : 65535;
    }
}

} // namespace

AoaCalibrationEditor::AoaCalibrationEditor(AoaCalibrationProtocol* protocol, const QString& itemLabel,
                                           const QStringList& itemNames, const QList<CalibrationField>& fields,
                                           const QList<CalibrationCheck>& checks, QWidget* parent)
    : QWidget(parent)
    , protocol_(protocol)
    , itemNames_(itemNames)
    , fields_(fields)
    , checks_(checks)
{
    form_ = new QFormLayout(this);
    auto* buttons = new QHBoxLayout;
    readButton_ = makeButton(this, kReadIcon, tr("Read"));
    writeButton_ = makeButton(this, kWriteIcon, tr("Write"));
    buttons->addWidget(readButton_);
    buttons->addWidget(writeButton_);
    buttons->addStretch();
    form_->addRow(buttons);

    itemCombo_ = new QComboBox(this);
    for (int i = 0; i < itemNames_.size(); ++i)
        itemCombo_->addItem(itemNames_.at(i), i);
    form_->addRow(itemLabel, itemCombo_);
    for (const CalibrationField& f : fields_) {
        QAbstractSpinBox* box = nullptr;
        if (f.scale == 1) {
            auto* spin = new QSpinBox(this);
            spin->setRange(int(f.lowest), int(f.highest));
            box = spin;
        } else {
            auto* spin = new QDoubleSpinBox(this);
            spin->setDecimals(f.decimals);
            spin->setRange(f.lowest, f.highest);
            box = spin;
        }
        editors_.insert(f.offset, box);
        form_->addRow(f.label, box);
    }
    connect(itemCombo_, qOverload<int>(&QComboBox::currentIndexChanged), this,
            &AoaCalibrationEditor::onItemSelected);
    onItemSelected(itemCombo_->currentIndex());
    connect(AoaCalibrationExchange::instance(), &AoaCalibrationExchange::runningChanged, this,
            &AoaCalibrationEditor::updateButtons);
    updateButtons();
}

AoaCalibrationEditor::~AoaCalibrationEditor() = default;

void AoaCalibrationEditor::onItemSelected(int index)
{
    for (const CalibrationField& f : fields_)
        editors_.value(f.offset)->setEnabled(index >= 0 && f.itemType == index);
}

void AoaCalibrationEditor::updateButtons()
{
    const bool enabled = isOpen() && !locked_ && !AoaCalibrationExchange::instance()->isRunning();
    readButton_->setEnabled(enabled);
    writeButton_->setEnabled(enabled);
}

void AoaCalibrationEditor::setExchangeLocked(bool locked)
{
    locked_ = locked;
    updateButtons();
}

void AoaCalibrationEditor::handleSerialPortStatusChanged(bool)
{
    updateButtons();
}

double AoaCalibrationEditor::value(int offset) const
{
    const QAbstractSpinBox* box = editors_.value(offset);
    if (const auto* d = qobject_cast<const QDoubleSpinBox*>(box))
        return d->value();
    const auto* i = qobject_cast<const QSpinBox*>(box);
    return i ? i->value() : 0.0;
}

void AoaCalibrationEditor::setValue(int offset, double value)
{
    QAbstractSpinBox* box = editors_.value(offset);
    if (auto* d = qobject_cast<QDoubleSpinBox*>(box))
        d->setValue(value);
    else if (auto* i = qobject_cast<QSpinBox*>(box))
        i->setValue(int(value));
}

QList<int> AoaCalibrationEditor::enabledFields() const
{
    QList<int> on;
    for (auto it = editors_.constBegin(); it != editors_.constEnd(); ++it) {
        if (it.value()->isEnabled())
            on << it.key();
    }
    return on;
}

AoaCalibrationFrame AoaCalibrationEditor::frameFromEditors() const
{
    AoaCalibrationFrame f = AoaCalibrationFrame::defaults(protocol_->layout());
    f.setU8(AoaCalibrationFrame::CommandByte, AoaCalibrationFrame::Write);
    const int item = itemCombo_->currentIndex();
    f.setU8(AoaCalibrationFrame::ItemType, item < 0 ? 0xFF : quint8(item));
    for (const CalibrationField& field : fields_) {
        qint32 lowest = 0;
        qint32 highest = 0;
        rawRange(field, &lowest, &highest);
        const qint32 raw = scaledToInteger(value(field.offset), field.scale, lowest, highest);
        if (field.width == 1)
            f.setU8(field.offset, quint8(raw & 0xFF));
        else
            f.setU16(field.offset, quint16(raw & 0xFFFF));
    }
    f.seal();
    return f;
}

void AoaCalibrationEditor::applyFrame(const AoaCalibrationFrame& frame)
{
    const int item = frame.u8(AoaCalibrationFrame::ItemType);
    itemCombo_->setCurrentIndex(item < itemNames_.size() ? item : -1);
    for (const CalibrationField& field : fields_) {
        qint32 raw = 0;
        if (field.width == 1)
            raw = field.isSigned ? qint32(qint8(frame.u8(field.offset))) : qint32(frame.u8(field.offset));
        else
            raw = field.isSigned ? qint32(frame.s16(field.offset)) : qint32(frame.u16(field.offset));
        setValue(field.offset, double(raw) / field.scale);
    }
}

QStringList AoaCalibrationEditor::mismatches(const AoaCalibrationFrame& sent, const AoaCalibrationFrame& echo) const
{
    QStringList keys;
    for (const CalibrationCheck& c : checks_) {
        if (sent.differs(echo, c.offset, c.width))
            keys << QString::fromLatin1(c.key);
    }
    return keys;
}

bool AoaCalibrationEditor::exchange(const QByteArray& request, AoaCalibrationFrame* reply)
{
    AoaCalibrationProtocol* p = protocol_;
    ZScopeGuard active(
        [p] {
            AoaCalibrationExchange::instance()->begin();
            p->setActive(true);
        },
        [p] {
            p->setActive(false);
            AoaCalibrationExchange::instance()->end();
        });
    const bool timedOut = sendAndWaitForReply(ZTimerManager::instance(), kReplyWaitMs, p,
                                              &ProtocolBase::dataParseFinished, [&request] { write(request); });
    if (timedOut)
        return false;
    *reply = p->heldFrame();
    return true;
}

} // namespace Trelvan
