#pragma once

#include "protocol/ProductHandleBase.h"

#include <QPointer>

namespace Sarvel {

class RangeSettingWindow;
class WidgetSetting;

// Common part of the two range sensor handles: the setting window, its show action
// on the product tool bar, and the parameter read on recognition.
class RangeProductHandle : public ProductHandleBase
{
    Q_OBJECT
public:
    ~RangeProductHandle() override;

    // Reads the device's parameters through the setting window; "Time out." when
    // the device does not answer.
    QString handleProductRecognized() override;

    RangeSettingWindow* settingWindow() const { return window_; }
    QAction* settingAction() const;

protected:
    // name_ is the key (firmware path), the model map holds the display name under 0.
    RangeProductHandle(int productType, const QString& key, const QString& displayName, QObject* parent);
    // Puts the window on the hide list and gives it its tool-bar action.
    void adoptWindow(RangeSettingWindow* window);

private:
    RangeSettingWindow* window_ = nullptr;
};

// Handle of the single-point sensors (types 3 to 7 and 14 to 18).
class ProductHandle : public RangeProductHandle
{
    Q_OBJECT
public:
    ProductHandle(int productType, const QString& key, const QString& displayName, QObject* parent = nullptr);
    WidgetSetting* widgetSetting() const;
};

// Makes the range sensors known to the program: the product handles of both lines
// and the single-point range frame protocol. Call once at start-up, before the first
// recognition (the main window does).
void registerRangeSensors();

} // namespace Sarvel

namespace Parvo {

class WidgetSetting;

// Handle of the multi-zone sensors (types 8 to 10, 12 and 13).
class ProductHandle : public Sarvel::RangeProductHandle
{
    Q_OBJECT
public:
    ProductHandle(int productType, const QString& key, const QString& displayName, QObject* parent = nullptr);
    WidgetSetting* widgetSetting() const;
};

} // namespace Parvo
