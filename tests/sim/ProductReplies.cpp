#include "ProductReplies.h"

namespace sim {

const std::vector<ProductModel>& supportedProducts()
{
    static const std::vector<ProductModel> rows{
        {0, 15, -2, {}, {}},
        {0, 16, -2, {}, {}},
        {0, 3, 0, {}, {}},
        {3, 0, 3, "Sarvel", "tof"},
        {4, 0, 4, "Sarvel Kiro", "sarvel_kiro"},
        {5, 0, 5, "Sarvel KiroNox", "sarvel_kironox"},
        {6, 0, 6, "Sarvel-Rion", "sarvel_rion"},
        {7, 0, 7, "Sarvel-Rion Kiro", "sarvel_rionkiro"},
        {8, 0, 8, "Sarvel-Vora", "sarvel_vora"},
        {8, 1, 9, "Sarvel-Vora Kiro", "sarvel_vorakiro"},
        {8, 2, 10, "Sarvel-Vora Nox", "sarvel_voranox"},
        {9, 0, 9, "Sarvel-Vora Kiro", "sarvel_vorakiro"},
        {10, 0, 10, "Sarvel-Vora Nox", "sarvel_voranox"},
        {11, 0, 11, {}, {}},
        {12, 0, 12, "Sarvel-Vora Nox", "sarvel_vora2nox"},
        {13, 0, 13, "Sarvel-Vora", "sarvel_vora2"},
        {14, 0, 14, "Beam Gauge Nano", "sarvel_rion2nano"},
        {15, 0, 15, "Beam Gauge (H)", "sarvel_rion2kiro"},
        {16, 0, 16, "Beam Gauge (J)", "sarvel_rion2kiroq"},
        {17, 0, 17, "Beam Gauge (G)", "sarvel_rion2"},
        {18, 0, 18, "Sarvel Nox", "sarvel_nox"},
        {19, 0, 19, "KX40 Apex", "kx40"},
        {20, 0, 20, "KX40 Core", "kx40_core"},
    };
    return rows;
}

const std::vector<std::pair<int, int>>& unsupportedProducts()
{
    static const std::vector<std::pair<int, int>> rows{{1, 0}, {2, 0}, {8, 3}, {8, 7}, {21, 0}, {200, 1}, {255, 0}};
    return rows;
}

SystemInfo productInfo(int productType, int modelId, qint32 deviceRate)
{
    SystemInfo info;
    info.productType = static_cast<quint8>(productType);
    info.modelId = static_cast<quint8>(modelId);
    info.hardwareMajor = 2;
    info.hardwareMinor = static_cast<quint8>(productType);
    info.firmware[0] = 3;
    info.firmware[1] = static_cast<quint8>(modelId);
    info.firmware[2] = 7;
    info.firmware[3] = 0;
    info.baudRate = deviceRate;
    info.role = 1;
    info.id = static_cast<quint8>(productType + 1);
    info.systemTime = 123456u + static_cast<quint32>(productType);
    return info;
}

std::shared_ptr<SystemFrameHandler> productHandler(int productType, int modelId, qint32 deviceRate)
{
    return std::make_shared<SystemFrameHandler>(systemFrameReply(productInfo(productType, modelId, deviceRate)));
}

} // namespace sim
