#include "protocol/ProductRegistration.h"

#include <QHash>
#include <QList>

namespace ProductRegistration {

namespace {

struct Registrations
{
    QHash<int, HandleCreator> lines; // by ProductLine
    QHash<int, HandleCreator> products;
};

Registrations& registrations()
{
    static Registrations r;
    return r;
}

} // namespace

const QList<ProductEntry>& products()
{
    using L = ProductLine;
    static const QList<ProductEntry> table{
        {kAoaType, L::TrelvanAoa, {}, {}},
        {0, L::Trelvan, {}, {}},
        {3, L::Sarvel, "Sarvel", "tof"},
        {4, L::Sarvel, "Sarvel Kiro", "sarvel_kiro"},
        {5, L::Sarvel, "Sarvel KiroNox", "sarvel_kironox"},
        {6, L::Sarvel, "Sarvel-Rion", "sarvel_rion"},
        {7, L::Sarvel, "Sarvel-Rion Kiro", "sarvel_rionkiro"},
        {8, L::Parvo, "Sarvel-Vora", "sarvel_vora"},
        {9, L::Parvo, "Sarvel-Vora Kiro", "sarvel_vorakiro"},
        {10, L::Parvo, "Sarvel-Vora Nox", "sarvel_voranox"},
        {11, L::Iot, {}, {}},
        {12, L::Parvo, "Sarvel-Vora Nox", "sarvel_vora2nox"},
        {13, L::Parvo, "Sarvel-Vora", "sarvel_vora2"},
        {14, L::Sarvel, "Beam Gauge Nano", "sarvel_rion2nano"},
        {15, L::Sarvel, "Beam Gauge (H)", "sarvel_rion2kiro"},
        {16, L::Sarvel, "Beam Gauge (J)", "sarvel_rion2kiroq"},
        {17, L::Sarvel, "Beam Gauge (G)", "sarvel_rion2"},
        {18, L::Sarvel, "Sarvel Nox", "sarvel_nox"},
        {19, L::UwbAna, "KX40 Apex", "kx40"},
        {20, L::UwbAna, "KX40 Core", "kx40_core"},
    };
    return table;
}

const ProductEntry* entry(int registryType)
{
    for (const ProductEntry& e : products()) {
        if (e.productType == registryType)
            return &e;
    }
    return nullptr;
}

int registryType(int productType, int modelId)
{
    if (productType == 0 && (modelId == 15 || modelId == 16))
        return kAoaType;
    if (productType == 8) {
        // Models 1 and 2 of type 8 are the products of types 9 and 10: they share
        // their handle, name and firmware folder.
        switch (modelId) {
        case 0:
            return 8;
        case 1:
            return 9;
        case 2:
            return 10;
        default:
            return kUnsupported;
        }
    }
    return entry(productType) ? productType : kUnsupported;
}

void registerLine(ProductLine line, HandleCreator creator)
{
    registrations().lines.insert(int(line), std::move(creator));
}

void registerProduct(int registryType, HandleCreator creator)
{
    registrations().products.insert(registryType, std::move(creator));
}

HandleCreator creator(int registryType)
{
    const Registrations& r = registrations();
    HandleCreator c = r.products.value(registryType);
    if (c)
        return c;
    const ProductEntry* e = entry(registryType);
    return e ? r.lines.value(int(e->line)) : HandleCreator();
}

void clearRegistrations()
{
    registrations() = Registrations{};
}

} // namespace ProductRegistration
