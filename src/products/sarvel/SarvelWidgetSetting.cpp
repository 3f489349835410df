#include "products/sarvel/SarvelWidgetSetting.h"

#include "foundation/ZLog.h"
#include "products/sarvel/RangeParameterProtocol.h"
#include "products/sarvel/RangeSensorTables.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>

namespace Sarvel {

const QMap<int, ProductCapability>& productCapabilities()
{
    static const QMap<int, ProductCapability> table = [] {
        QMap<int, ProductCapability> t;
        const ProductCapability plain{{Uart, Can, Io}, {Iic}, true, true, false};
        const ProductCapability rion{{Uart, Iic, Io}, {Can}, false, false, true};
        for (int type : {3, 4, 5, 18})
            t.insert(type, plain);
        for (int type : {6, 7, 14, 15, 16, 17})
            t.insert(type, rion);
        return t;
    }();
    return table;
}

int bandLimit(int productType)
{
    if (productType == 7)
        return 25000;
    return isRionProductType(productType) ? 20000 : 5000;
}

QStringList baudRateList(int productType, int interfaceMode)
{
    static const QStringList uartAll{"4800",   "9600",    "14400",   "19200",   "38400",   "43000",
                                     "57600",  "76800",   "115200",  "230400",  "460800",  "921600",
                                     "1000000", "1200000", "1500000", "2000000", "3000000"};
    static const QStringList uartFast{"115200",  "230400",  "460800",  "921600", "1000000",
                                      "1200000", "1500000", "2000000", "3000000"};
    static const QStringList can{"100000", "250000", "500000", "1000000", "2000000", "3000000"};
    switch (interfaceMode) {
    case Uart:
        return isRionProductType(productType) ? uartAll : uartFast;
    case Can:
        return can;
    default:
        return QStringList();
    }
}

WidgetSetting::WidgetSetting(int productType, QWidget* parent)
    : RangeSettingWindow(ProtocolParameter::instance(), parent)
{
    QWidget* controls = buildFrame(tr("Sarvel Setting"));
    auto* column = new QVBoxLayout(controls);
    auto* grid = new QGridLayout;
    column->addLayout(grid);

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

    interfaceGroup_ = addRadioRow(grid, row, tr("Interface"), {"UART", "CAN", "IO", "IIC"}, controls);
    outputGroup_ = addRadioRow(grid, row, tr("Output"), {"ACTIVE", "INQUIRE"}, controls);
    rangeGroup_ = addRadioRow(grid, row, tr("Range"), {"SHORT", "MEDIUM", "LONG"}, controls);

    grid->addWidget(new QLabel(tr("Band Start"), controls), row, 0);
    bandStartSpinBox_ = new QSpinBox(controls);
    grid->addWidget(bandStartSpinBox_, row++, 1);
    grid->addWidget(new QLabel(tr("Band Width"), controls), row, 0);
    bandWidthSpinBox_ = new QSpinBox(controls);
    grid->addWidget(bandWidthSpinBox_, row++, 1);

    grid->addWidget(new QLabel(tr("Refresh Rate(Hz)"), controls), row, 0);
    refreshRateComboBox_ = new QComboBox(controls);
    refreshRateComboBox_->addItems({"1", "2", "5", "10", "25", "50", "100", "200", "350"});
    grid->addWidget(refreshRateComboBox_, row++, 1);

    if (isRionProductType(productType)) {
        grid->addWidget(new QLabel(tr("Filter Factor"), controls), row, 0);
        filterFactorSpinBox_ = new QSpinBox(controls);
        filterFactorSpinBox_->setRange(0, 255);
        filterFactorSpinBox_->setValue(5);
        grid->addWidget(filterFactorSpinBox_, row++, 1);
    }

    fovGroupBox_ = new QGroupBox(tr("FOV"), controls);
    auto* fovGrid = new QGridLayout(fovGroupBox_);
    auto addAxis = [this, fovGrid](int axisRow, const QString& axis, QSpinBox*& fov, QSpinBox*& offset) {
        fovGrid->addWidget(new QLabel(axis, fovGroupBox_), axisRow, 0);
        fov = new QSpinBox(fovGroupBox_);
        fov->setRange(15, 27);
        fov->setValue(27);
        fovGrid->addWidget(fov, axisRow, 1);
        fovGrid->addWidget(new QLabel(tr("Offset"), fovGroupBox_), axisRow, 2);
        offset = new QSpinBox(fovGroupBox_);
        offset->setRange(-6, 6);
        offset->setValue(0);
        fovGrid->addWidget(offset, axisRow, 3);
    };
    addAxis(0, QStringLiteral("X"), xFovSpinBox_, xOffsetSpinBox_);
    addAxis(1, QStringLiteral("Y"), yFovSpinBox_, yOffsetSpinBox_);
    column->addWidget(fovGroupBox_);
    column->addStretch(1);

    // The starting choices, set without running onInterfaceChanged.
    interfaceGroup_->button(Uart)->setChecked(true);
    outputGroup_->button(0)->setChecked(true);
    rangeGroup_->button(0)->setChecked(true);
    baudrateComboBox_->addItem(QStringLiteral("115200"));
    connect(interfaceGroup_, &QButtonGroup::idClicked, this, &WidgetSetting::onInterfaceChanged);

    setProductType(productType);
    centralWidget()->setEnabled(isOpen());
}

WidgetSetting::~WidgetSetting() = default;

void WidgetSetting::setProductType(int type)
{
    if (type == productType_)
        return;
    productType_ = type;
    const auto it = productCapabilities().constFind(type);
    const ProductCapability capability = it != productCapabilities().constEnd() ? *it : ProductCapability{};
    for (int id : capability.enabledInterfaces)
        interfaceGroup_->button(id)->setEnabled(true);
    for (int id : capability.disabledInterfaces)
        interfaceGroup_->button(id)->setEnabled(false);
    for (QAbstractButton* button : rangeGroup_->buttons())
        button->setEnabled(capability.rangeButtons);
    fovGroupBox_->setEnabled(capability.fovGroup);
    refreshRateComboBox_->setEnabled(capability.refreshRate);
    const int limit = bandLimit(type);
    bandStartSpinBox_->setRange(0, limit);
    bandWidthSpinBox_->setRange(0, limit);
    updateBaudrateList(type, interfaceGroup_->checkedId());
}

void WidgetSetting::updateBaudrateList(int productType, int interfaceMode)
{
    refillBaudrates(baudrateComboBox_, baudRateList(productType, interfaceMode), interfaceMode == Uart);
}

void WidgetSetting::onInterfaceChanged(int mode)
{
    updateBaudrateList(productType_, mode);
    const bool io = mode == Io;
    idSpinBox_->setEnabled(!io);
    baudrateComboBox_->setEnabled(!io);
    bandStartSpinBox_->setEnabled(io);
    bandWidthSpinBox_->setEnabled(io);
    const bool inquireOnly = mode == Io || mode == Iic;
    if (inquireOnly)
        outputGroup_->button(1)->setChecked(true);
    for (QAbstractButton* button : outputGroup_->buttons())
        button->setEnabled(!inquireOnly);
}

void WidgetSetting::applyParameterFrame(const QByteArray& frame)
{
    if (frame.size() < kParameterFrameLength)
        return;
    idSpinBox_->setValue(quint8(frame[4]));
    localTimeLabel_->setText(QString::number(readU32(frame, 5)));

    const quint8 modes = quint8(frame[9]);
    const int interfaceMode = ModeBits::interfaceMode(modes);
    selectMode(interfaceGroup_, interfaceMode, "Interface mode is illegal.", true);
    selectMode(outputGroup_, ModeBits::outputMode(modes), "Output mode is illegal.");
    selectMode(rangeGroup_, ModeBits::rangeMode(modes), "Range mode is illegal.");

    const QString baud = QString::number(readU24(frame, 12));
    const int baudIndex = baudrateComboBox_->findText(baud, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (baudIndex < 0 && interfaceMode != Io)
        zWarning() << "Baudrate is illegal." << baud;
    baudrateComboBox_->setCurrentIndex(baudIndex);

    xFovSpinBox_->setValue(quint8(frame[15]));
    xOffsetSpinBox_->setValue(qint8(frame[17]));
    yFovSpinBox_->setValue(quint8(frame[16]));
    yOffsetSpinBox_->setValue(qint8(frame[18]));
    bandStartSpinBox_->setValue(readU16(frame, 19));
    bandWidthSpinBox_->setValue(readU16(frame, 21));

    const int refreshIndex = refreshRateComboBox_->findText(QString::number(readU16(frame, 24)),
                                                            Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (refreshIndex >= 0)
        refreshRateComboBox_->setCurrentIndex(refreshIndex);
    if (filterFactorSpinBox_)
        filterFactorSpinBox_->setValue(quint8(frame[26]));
}

QByteArray WidgetSetting::buildWriteFrame() const
{
    QByteArray f(kParameterFrameLength, '\0');
    f[0] = char(0x54);
    f[1] = char(0x20);
    f[2] = char(0x00);
    f[3] = char(0xFF);
    f[4] = char(idSpinBox_->value());
    const int interfaceId = qMax(0, interfaceGroup_->checkedId());
    const int outputId = qMax(0, outputGroup_->checkedId());
    const int rangeId = qMax(0, rangeGroup_->checkedId());
    f[9] = char(ModeBits::interfaceBits(interfaceId) | (outputId & 0x01) << 1 | (rangeId & 0x03) << 2);
    f[10] = f[11] = char(0xFF);
    writeU24(f, 12, baudrateComboBox_->currentText().toUInt() & 0xFFFFFFu);
    f[15] = char(xFovSpinBox_->value());
    f[16] = char(yFovSpinBox_->value());
    f[17] = char(qint8(xOffsetSpinBox_->value()));
    f[18] = char(qint8(yOffsetSpinBox_->value()));
    writeU16(f, 19, quint16(bandStartSpinBox_->value()));
    writeU16(f, 21, quint16(bandWidthSpinBox_->value()));
    f[23] = char(0xFF);
    writeU16(f, 24, quint16(refreshRateComboBox_->currentText().toUInt()));
    f[26] = filterFactorSpinBox_ ? char(filterFactorSpinBox_->value()) : char(0xFF);
    for (int i = 27; i <= 30; ++i)
        f[i] = char(0xFF);
    sealParameterFrame(f);
    return f;
}

bool WidgetSetting::isOffered(const QWidget* widget) const
{
    return widget && widget->isEnabledTo(centralWidget());
}

QList<RangeSettingWindow::KeptField> WidgetSetting::keptFields() const
{
    QList<KeptField> fields;
    // The id and the range bits are compared whether or not their controls are
    // enabled: the frame carries what the window read, so a device that changed
    // either has not kept the write.
    fields.append({tr("ID"), 4, 1, 0xFF});
    fields.append({tr("Interface"), 9, 1, 0x11});
    fields.append({tr("Output"), 9, 1, 0x02});
    fields.append({tr("Range"), 9, 1, 0x0C});
    if (isOffered(baudrateComboBox_) && baudrateComboBox_->count() > 0)
        fields.append({tr("Baudrate"), 12, 3, 0xFF});
    if (isOffered(xFovSpinBox_)) {
        fields.append({tr("FOV X"), 15, 1, 0xFF});
        fields.append({tr("FOV Y"), 16, 1, 0xFF});
        fields.append({tr("Offset X"), 17, 1, 0xFF});
        fields.append({tr("Offset Y"), 18, 1, 0xFF});
    }
    if (isOffered(bandStartSpinBox_))
        fields.append({tr("Band Start"), 19, 2, 0xFF});
    if (isOffered(bandWidthSpinBox_))
        fields.append({tr("Band Width"), 21, 2, 0xFF});
    if (isOffered(refreshRateComboBox_))
        fields.append({tr("Refresh Rate(Hz)"), 24, 2, 0xFF});
    if (isOffered(filterFactorSpinBox_))
        fields.append({tr("Filter Factor"), 26, 1, 0xFF});
    return fields;
}

} // namespace Sarvel
