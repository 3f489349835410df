#pragma once

#include "products/sarvel/RangeSettingWindow.h"

class QButtonGroup;
class QComboBox;
class QLabel;
class QSpinBox;

namespace Parvo {

// The "Sarvel-Vora Setting" window of the multi-zone range sensors. Applying a
// frame read from the device also loads the zone frame of its pixel mode.
class WidgetSetting : public Sarvel::RangeSettingWindow
{
    Q_OBJECT
public:
    explicit WidgetSetting(QWidget* parent = nullptr);
    ~WidgetSetting() override;

    void applyParameterFrame(const QByteArray& frame) override;
    QByteArray buildWriteFrame() const override;
    QList<KeptField> keptFields() const override;

    QLabel* localTimeLabel() const { return localTimeLabel_; }
    QSpinBox* idSpinBox() const { return idSpinBox_; }
    QButtonGroup* interfaceGroup() const { return interfaceGroup_; }
    QButtonGroup* outputGroup() const { return outputGroup_; }
    QComboBox* baudrateComboBox() const { return baudrateComboBox_; }
    QButtonGroup* pixelGroup() const { return pixelGroup_; }
    QButtonGroup* targetOrderGroup() const { return targetOrderGroup_; }

public slots:
    void updateBaudrateList(int interfaceMode);

private:
    QLabel* localTimeLabel_ = nullptr;
    QSpinBox* idSpinBox_ = nullptr;
    QButtonGroup* interfaceGroup_ = nullptr;
    QButtonGroup* outputGroup_ = nullptr;
    QComboBox* baudrateComboBox_ = nullptr;
    QButtonGroup* pixelGroup_ = nullptr;
    QButtonGroup* targetOrderGroup_ = nullptr;
};

} // namespace Parvo
