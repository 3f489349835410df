#pragma once

#include "protocol/ProductHandleBase.h"

namespace UwbAna {

// The analyser models' handle: on recognition it loads the analyser's protocol
// group and reads the device's settings into the page.
class ProductHandle : public ProductHandleBase
{
    Q_OBJECT
public:
    ProductHandle(int productType, const QString& name, const QString& displayName, QObject* parent = nullptr);

    // Empty when the device answered (or there is no page to read into);
    // "Time out." when it did not.
    QString handleProductRecognized() override;
};

// Makes the analyser known to the program: its three protocols, the page set up
// when the group loads, and the handle of its models. Call once at start-up.
void registerAnalyser();

} // namespace UwbAna
