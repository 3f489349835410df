#include "products/sarvel/ParvoWidgetSetting.h"

#include "foundation/ZLog.h"
#include "products/sarvel/RangeParameterProtocol.h"
#include "products/sarvel/RangeSensorTables.h"
#include "protocol/ProtocolFactory.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>

namespace Parvo {

using Sarvel::ModeBits;

WidgetSetting::WidgetSetting(QWidget* parent)
    : RangeSettingWindow(ProtocolParameter::instance(), parent)
{
    QWidget* controls = buildFrame(tr("Sarvel-Vora Setting"));
    auto* column = new QVBoxLayout(controls);
    auto* grid = new QGridLayout;
    column->addLayout(grid);
    column->addStretch(1);

    int row = 0;
    grid->addWidget(new QLabel(tr("Local Time(ms)"), controls), row, 0);
    localTimeLabel_ = new QLabel(controls);
    grid->addWidget(localTimeLabel_, row++, 1);
    grid->addWidget(new QLabel(tr("ID"), controls), row, 0);
    idSpinBox_ = new QSpinBox(controls);
    idSpinBox_->setRange(0, 255);
    grid->addWidget(idSpinBox_, row++, 1);
    grid->addWidget(new QLabel(tr("Baudrate"), controls), row, 0);
    baudrateComboBox_ = new QComboBox(controls);
    grid->addWidget(baudrateComboBox_, row++, 1);
    interfaceGroup_ = addRadioRow(grid, row, tr("Interface"), {"UART", "CAN"}, controls);
    outputGroup_ = addRadioRow(grid, row, tr("Output"), {"ACTIVE", "INQUIRE"}, controls);
    pixelGroup_ = addRadioRow(grid, row, tr("Pixel"), {"8*8", "4*4"}, controls);
    targetOrderGroup_ = addRadioRow(grid, row, tr("Target Order"), {"closest", "strongest"}, controls);

    outputGroup_->button(0)->setChecked(true);
    pixelGroup_->button(0)->setChecked(true);
    targetOrderGroup_->button(0)->setChecked(true);
    connect(interfaceGroup_, &QButtonGroup::idClicked, this, &WidgetSetting::updateBaudrateList);
    interfaceGroup_->button(0)->click();

    centralWidget()->setEnabled(isOpen());
}

WidgetSetting::~WidgetSetting() = default;

void WidgetSetting::updateBaudrateList(int interfaceMode)
{
    const bool known = interfaceMode >= 0 && baudRates().contains(quint8(interfaceMode));
    refillBaudrates(baudrateComboBox_, known ? baudRateList(quint8(interfaceMode)) : QStringList(),
                    interfaceMode == 0);
}

void WidgetSetting::applyParameterFrame(const QByteArray& frame)
{
    if (frame.size() < Sarvel::kParameterFrameLength)
        return;
    idSpinBox_->setValue(quint8(frame[4]));
    localTimeLabel_->setText(QString::number(Sarvel::readU32(frame, 5)));

    const quint8 modes = quint8(frame[9]);
    selectMode(interfaceGroup_, ModeBits::interfaceMode(modes), "Interface mode is illegal.", true);
    selectMode(outputGroup_, ModeBits::outputMode(modes), "Output mode is illegal.");
    const int pixelMode = ModeBits::pixelMode(modes);
    if (selectMode(pixelGroup_, pixelMode, "pixel is illegal."))
        ProtocolFactory::loadProtocols(frameName(quint8(pixelMode)), this);
    selectMode(targetOrderGroup_, ModeBits::targetOrder(modes), "target order is illegal.");

    const QString baud = QString::number(Sarvel::readU24(frame, 12));
    const int baudIndex = baudrateComboBox_->findText(baud, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (baudIndex < 0)
        zWarning() << "Baudrate is illegal." << baud;
    baudrateComboBox_->setCurrentIndex(baudIndex);
}

QByteArray WidgetSetting::buildWriteFrame() const
{
    QByteArray f(Sarvel::kParameterFrameLength, char(0xFF));
    f[0] = char(0x54);
    f[1] = char(0x20);
    f[2] = char(0x00);
    f[4] = char(idSpinBox_->value());
    for (int i = 5; i <= 8; ++i)
        f[i] = char(0x00);
    const int interfaceId = qMax(0, interfaceGroup_->checkedId());
    f[9] = char(ModeBits::interfaceBits(interfaceId) | (qMax(0, outputGroup_->checkedId()) & 0x01) << 1
                | (qMax(0, pixelGroup_->checkedId()) & 0x01) << 5
                | (qMax(0, targetOrderGroup_->checkedId()) & 0x01) << 6);
    Sarvel::writeU24(f, 12, baudrateComboBox_->currentText().toUInt() & 0xFFFFFFu);
    Sarvel::sealParameterFrame(f);
    return f;
}

QList<Sarvel::RangeSettingWindow::KeptField> WidgetSetting::keptFields() const
{
    QList<KeptField> fields{
        {tr("ID"), 4, 1, 0xFF},       {tr("Interface"), 9, 1, 0x11},    {tr("Output"), 9, 1, 0x02},
        {tr("Pixel"), 9, 1, 0x20},    {tr("Target Order"), 9, 1, 0x40},
    };
    if (baudrateComboBox_->count() > 0)
        fields.append({tr("Baudrate"), 12, 3, 0xFF});
    return fields;
}

} // namespace Parvo
