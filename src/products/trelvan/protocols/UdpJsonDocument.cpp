#include "products/trelvan/protocols/UdpJsonDocument.h"

#include "foundation/ZLog.h"

namespace Trelvan {

UdpJsonDocument::UdpJsonDocument(std::string objectName, std::string arrayKey, QString frameName)
    : objectName_(std::move(objectName))
    , arrayKey_(std::move(arrayKey))
    , frameName_(frameName.isEmpty() ? QString::fromStdString(objectName_) : std::move(frameName))
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


bool UdpJsonDocument::sendText(const QByteArray& text)
{
    if (text.size() > kMaxDatagramSize) {
        // The socket would refuse it and the loss would go unnoticed: say so once.
        if (oversizeCount_++ == 0)
            zWarning().nospace() << frameName_ << ": JSON text of " << text.size()
                                 << " bytes is longer than one UDP datagram (" << kMaxDatagramSize
                                 << " bytes), not sent";
        return false;
    }
    return sendUdpText(text);
}

} // namespace Trelvan
