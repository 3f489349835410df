#pragma once

#include "protocol/ProductHandleBase.h"

namespace Trelvan {

class AoaWidgetSetting;

// The handle of the AOA models (product type 0, models 15 and 16): brings the AOA
// parameter protocol and the "AOA Setting" window with its tool-bar action, and
// answers a recognition by reading the node's parameters through that window.
class AoaProductHandle : public ProductHandleBase
{
    Q_OBJECT
public:
    // Created on the first call; later calls ignore the parent.
    static AoaProductHandle* instance(QObject* parent = nullptr);
    static AoaProductHandle* existing();
    ~AoaProductHandle() override;

    QString handleProductRecognized() override;
    AoaWidgetSetting* settingWindow() const { return window_; }

private:
    explicit AoaProductHandle(QObject* parent);

    AoaWidgetSetting* window_ = nullptr;
};

} // namespace Trelvan
