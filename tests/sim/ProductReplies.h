#pragma once

// The simulator as any product of the maker: the (product type, model id) pairs
// that devices report, with the name and download key a user expects to see for
// each. Written from the product list, independently of the program's own table.

#include "DeviceSimulator.h"

#include <QString>

#include <vector>

namespace sim {

struct ProductModel
{
    int productType;  // system-frame byte 4
    int modelId;      // system-frame byte 3
    int handledAs;    // the product type whose handle serves it
    QString displayName; // empty for the lines that name their models themselves
    QString key;         // empty likewise
};

// Every product the program supports, one row per reported pair (type 0 and 11 with
// a sample model id).
const std::vector<ProductModel>& supportedProducts();
// Reported pairs the program must refuse.
const std::vector<std::pair<int, int>>& unsupportedProducts();

// The system info a device of that product reports.
SystemInfo productInfo(int productType, int modelId, qint32 deviceRate = 230400);

// A system-frame handler answering as the given product.
std::shared_ptr<SystemFrameHandler> productHandler(int productType, int modelId, qint32 deviceRate = 230400);

} // namespace sim
