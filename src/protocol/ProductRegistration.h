#pragma once

#include <QList>
#include <QString>

#include <functional>

class ProductHandleBase;
class QObject;

// The products the program knows, by the product type id of the system frame, and
// the handle creators that the product lines register when they are built.
namespace ProductRegistration {

enum class ProductLine { Trelvan, TrelvanAoa, Sarvel, Parvo, Iot, UwbAna };

// The registry key of the AOA models of product type 0.
constexpr int kAoaType = -2;
// Returned by registryType for a product the program does not support.
constexpr int kUnsupported = -1000;

struct ProductEntry
{
    int productType; // registry key
    ProductLine line;
    // Display name and key of the handles built from the table; empty for the
    // singleton handles, which carry their own.
    QString displayName;
    QString key;
};

// The registry key of a reported product: type 0 with model 15 or 16 is the AOA
// handle (-2); type 8 with model 1 or 2 is handled as type 9 or 10; kUnsupported for
// type 8 with any other model id but 0 and for every id missing from the table.
int registryType(int productType, int modelId);
// The table row of a registry key; null when there is none.
const ProductEntry* entry(int registryType);
// Every row, in table order.
const QList<ProductEntry>& products();

// (registry key, key, display name, parent) -> the handle; the singleton handles
// ignore key and name.
using HandleCreator = std::function<ProductHandleBase*(int productType, const QString& key,
                                                       const QString& displayName, QObject* parent)>;
void registerLine(ProductLine line, HandleCreator creator);
// A creator for one registry key, used before its line's creator.
void registerProduct(int registryType, HandleCreator creator);
// The creator for a registry key; empty when its line is not registered.
HandleCreator creator(int registryType);
// Forgets every registration (tests).
void clearRegistrations();

} // namespace ProductRegistration
