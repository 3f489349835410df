#pragma once

#include "products/sarvel/RangeSettingWindow.h"

#include <QMap>

class QButtonGroup;
class QComboBox;
class QGroupBox;
class QLabel;
class QSpinBox;

namespace Sarvel {

// Which controls a single-point product type offers.
struct ProductCapability
{
    QList<int> enabledInterfaces;
    QList<int> disabledInterfaces;
    bool rangeButtons = false;
    bool fovGroup = false;
    bool refreshRate = false;
};

// Keyed by product type; a missing type switches nothing on.
const QMap<int, ProductCapability>& productCapabilities();
// Maximum of the band spin boxes for a product type.
int bandLimit(int productType);
// Baud-rate texts for a product type and interface mode (0 UART, 1 CAN, 2 IO, 3 IIC).
QStringList baudRateList(int productType, int interfaceMode);

enum InterfaceMode { Uart = 0, Can = 1, Io = 2, Iic = 3 };

// The "Sarvel Setting" window of the single-point range sensors.
class WidgetSetting : public RangeSettingWindow
{
    Q_OBJECT
public:
    explicit WidgetSetting(int productType, QWidget* parent = nullptr);
    ~WidgetSetting() override;

    void setProductType(int type);
    int productType() const { return productType_; }
    void updateBaudrateList(int productType, int interfaceMode);
    void applyParameterFrame(const QByteArray& frame) override;
    QByteArray buildWriteFrame() const override;
    QList<KeptField> keptFields() const override;

    QSpinBox* idSpinBox() const { return idSpinBox_; }
    QLabel* localTimeLabel() const { return localTimeLabel_; }
    QButtonGroup* interfaceGroup() const { return interfaceGroup_; }
    QButtonGroup* outputGroup() const { return outputGroup_; }
    QButtonGroup* rangeGroup() const { return rangeGroup_; }
    QComboBox* baudrateComboBox() const { return baudrateComboBox_; }
    QGroupBox* fovGroupBox() const { return fovGroupBox_; }
    QSpinBox* xFovSpinBox() const { return xFovSpinBox_; }
    QSpinBox* xOffsetSpinBox() const { return xOffsetSpinBox_; }
    QSpinBox* yFovSpinBox() const { return yFovSpinBox_; }
    QSpinBox* yOffsetSpinBox() const { return yOffsetSpinBox_; }
    QSpinBox* bandStartSpinBox() const { return bandStartSpinBox_; }
    QSpinBox* bandWidthSpinBox() const { return bandWidthSpinBox_; }
    QSpinBox* filterFactorSpinBox() const { return filterFactorSpinBox_; }
    QComboBox* refreshRateComboBox() const { return refreshRateComboBox_; }

public slots:
    void onInterfaceChanged(int mode);

private:
    // Whether a control would be enabled with the port open.
    bool isOffered(const QWidget* widget) const;

    QSpinBox* idSpinBox_ = nullptr;
    QLabel* localTimeLabel_ = nullptr;
    QButtonGroup* interfaceGroup_ = nullptr;
    QButtonGroup* outputGroup_ = nullptr;
    QButtonGroup* rangeGroup_ = nullptr;
    QComboBox* baudrateComboBox_ = nullptr;
    QGroupBox* fovGroupBox_ = nullptr;
    QSpinBox* xFovSpinBox_ = nullptr;
    QSpinBox* xOffsetSpinBox_ = nullptr;
    QSpinBox* yFovSpinBox_ = nullptr;
    QSpinBox* yOffsetSpinBox_ = nullptr;
    QSpinBox* bandStartSpinBox_ = nullptr;
    QSpinBox* bandWidthSpinBox_ = nullptr;
    QSpinBox* filterFactorSpinBox_ = nullptr;
    QComboBox* refreshRateComboBox_ = nullptr;
    int productType_ = -1;
};

} // namespace Sarvel
