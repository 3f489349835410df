#pragma once

#include "foundation/ZUdpOutput.h"

#include <QByteArray>
#include <QString>

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
    // The largest payload one IPv4 UDP datagram carries; a longer text is refused
    // by the socket.
    static constexpr int kMaxDatagramSize = 65507;

    // frameName names the frame in the warning about a text too long to send.
    UdpJsonDocument(std::string objectName, std::string arrayKey, QString frameName = QString());

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
    // A text longer than one datagram is not sent; the first such text of the
    // document logs one warning with the frame's name and the text's size.
    // Returns whether a datagram was sent.
    template <typename Fill>
    bool sendFrame(Fill&& fill)
    {
        if (!udpOutputEnabled.load(std::memory_order_relaxed))
            return false;
        clearRecords();
        std::forward<Fill>(fill)(object(), *this);
        return sendText(text());
    }

    // Texts refused for their size so far.
    int oversizeCount() const { return oversizeCount_; }

private:
    bool sendText(const QByteArray& text);

    std::string objectName_;
    std::string arrayKey_;
    QString frameName_;
    nlohmann::json document_;
    int oversizeCount_ = 0;
};

} // namespace Trelvan
