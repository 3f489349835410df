#include "products/trelvan/protocols/UdpJsonDocument.h"

namespace Trelvan {

UdpJsonDocument::UdpJsonDocument(std::string objectName, std::string arrayKey)
    : objectName_(std::move(objectName))
    , arrayKey_(std::move(arrayKey))
    , document_(nlohmann::json::object())
{
    nlohmann::json& obj = document_[objectName_];
    obj = nlohmann::json::object();
    obj[arrayKey_] = nullptr;
}

void UdpJsonDocument::clearRecords()
{
    nlohmann::json& records = object()[arrayKey_];
    if (records.is_array())
        records.clear();
}

void UdpJsonDocument::appendRecord(nlohmann::json record)
{
    nlohmann::json& records = object()[arrayKey_];
    if (!records.is_array())
        records = nlohmann::json::array();
    records.push_back(std::move(record));
}

QByteArray UdpJsonDocument::text() const
{
    // Invalid UTF-8 in a text field is replaced rather than thrown on the processing thread.
    const std::string s = document_.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
    return QByteArray(s.data(), int(s.size()));
}

} // namespace Trelvan
