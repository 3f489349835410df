#pragma once

#include "protocol/ProductHandleBase.h"

namespace iot {

// Handle of the iot nodes (product type 11): loads the node frame when the device is
// recognised; the line has no tool-bar actions or windows of its own.
class ProductHandle : public ProductHandleBase
{
    Q_OBJECT
public:
    static constexpr int kProductType = 11;

    // Creates the one instance on the first call (with parent), returns it later.
    static ProductHandle* instance(QObject* parent = nullptr);
    // The instance if it exists.
    static ProductHandle* existing();
    ~ProductHandle() override;

    // Loads "iot_frame0"; nothing can fail here, so the answer is empty.
    QString handleProductRecognized() override;

private:
    explicit ProductHandle(QObject* parent);
};

// Makes the iot line known to the program: its handle and its frame protocol. Call
// once at start-up, before the first recognition (the main window does).
void registerIotLine();

} // namespace iot
