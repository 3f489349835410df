#pragma once

#include "foundation/ZUdpOutput.h"

#include <QByteArray>

#include <nlohmann/json.hpp>

#include <string>
#include <utility>

namespace Trelvan {

// The JSON text one frame class broadcasts over UDP: a document whose single
// top-level key names the frame ("node_frame0"), holding one object. Each frame
// overwrites that object's scalar members and empties its record array before
// appending the frame's records, so records of an earlier frame never survive into
// the next text. The array member stays null until a frame with records is sent.
// Keys come out in alphabetical order, compactly, non-ASCII text as UTF-8.
//
// A frame class keeps one document for the rest of the process, made on first use
// (a function-local static), and touches it only from the processing thread.
class UdpJsonDocument
{
public:
    UdpJsonDocument(std::string objectName, std::string arrayKey);

    const std::string& objectName() const { return objectName_; }
    const std::string& arrayKey() const { return arrayKey_; }

    // The frame's object.
    nlohmann::json& object() { return document_[objectName_]; }
    const nlohmann::json& document() const { return document_; }

    // Empties the record array (an array member that is still null stays null).
    void clearRecords();
    // Appends one record object (the array member becomes an array).
    void appendRecord(nlohmann::json record);

    // The compact text of the whole document.
    QByteArray text() const;

    // Builds and sends one frame's text: nothing at all happens while UDP output is
    // off. Otherwise the records are emptied, fill(object(), *this) writes the
    // scalars and appends the records, and the text goes out as one datagram.
    // Returns whether a datagram was sent.
    template <typename Fill>
    bool sendFrame(Fill&& fill)
    {
        if (!udpOutputEnabled.load(std::memory_order_relaxed))
            return false;
        clearRecords();
        std::forward<Fill>(fill)(object(), *this);
        return sendUdpText(text());
    }

private:
    std::string objectName_;
    std::string arrayKey_;
    nlohmann::json document_;
};

} // namespace Trelvan
