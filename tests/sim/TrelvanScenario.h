#pragma once

// The simulator as a small positioning system: a few tags moving on known circles
// in a room with four anchors. It builds the byte frames of node frame 2 (a tag
// reporting its own navigation state and its ranges to the anchors) and of anchor
// frame 0 (an anchor reporting every tag it sees), from the scenario or from
// hand-set fields, and streams them to a DeviceSimulator at a chosen frame rate.
// The frame writers here are independent of the program's decoders on purpose.

#include <QByteArray>
#include <QPair>
#include <QString>
#include <QVector>

#include <array>

namespace sim {

class DeviceSimulator;

struct NodeFrame2Record
{
    qint8 role = 1;
    quint8 id = 0;
    qint32 disMm = 0; // int24 on the wire
    quint8 fpRssi = 0;
    quint8 rxRssi = 0;
};

// Every field of node frame 2, raw (as on the wire).
struct NodeFrame2Fields
{
    quint8 role = 2;
    quint8 id = 0;
    quint32 systemTime = 0;
    std::array<quint8, 3> eop{};     // 1/100 m
    std::array<qint32, 3> posMm{};   // int24
    std::array<qint32, 3> vel{};     // int24, 1/10000 m/s
    std::array<qint32, 3> r012{};    // int24
    std::array<float, 3> g{};        // rad/s
    std::array<float, 3> a{};        // m/s^2
    std::array<float, 3> r456{};
    std::array<qint16, 3> angle{};   // 1/100 deg
    std::array<float, 4> q{};
    float r7 = 0;
    quint32 localTime = 0;
    float r8 = 0;
    float r9 = 0;
    quint16 plr = 0;
    quint16 voltage = 0; // mV
    QVector<NodeFrame2Record> nodes;
    int countOverride = -1; // node count written instead of nodes.size() when >= 0
};
// 120 + 13 n bytes, length field and 8-bit sum filled in.
QByteArray nodeFrame2(const NodeFrame2Fields& f);

struct AnchorTag
{
    quint8 id = 0;
    qint8 role = 2;
    std::array<qint32, 3> posMm{}; // int24
    std::array<quint16, 8> disCm{};
};

struct AnchorFrame0Fields
{
    std::array<AnchorTag, 30> tagSlots; // id 0xFF: empty slot (the default)
    quint32 localTime = 0;
    quint16 plr = 0;
    quint16 voltage = 0;
    quint32 systemTime = 0;
    quint8 id = 0;
    qint8 role = 1;
    quint8 tail = 0xEE;
    AnchorFrame0Fields();
};
// 896 bytes; no checksum, tail byte last.
QByteArray anchorFrame0(const AnchorFrame0Fields& f);

// One payload of node frame 0: the node (role, id) it came from and its bytes.
struct NodeFrame0Record
{
    qint8 role = 2;
    quint8 id = 0;
    QByteArray data;
    int lengthOverride = -1; // length field written instead of data.size() when >= 0
};

struct NodeFrame0Fields
{
    qint8 role = 3; // the console that outputs the frame
    quint8 id = 0;
    std::array<quint8, 4> reserved{};
    QVector<NodeFrame0Record> nodes;
    int countOverride = -1; // record count written instead of nodes.size() when >= 0
};
// 12 + sum(4 + payload) bytes, length field and 8-bit sum filled in.
QByteArray nodeFrame0(const NodeFrame0Fields& f);

// The fields of the 32-byte error frame (head 54 FA) that a node fills in.
struct ErrorFrameFields
{
    qint8 role = 2;
    quint8 id = 0;
    quint32 systemTime = 0;
    quint8 flags = 0; // bit 0 nodeRepeat ... bit 7 dtLengthOverflow
    std::array<quint8, 3> marks{};
};
// 32 bytes, 8-bit sum last.
QByteArray errorFrame0(const ErrorFrameFields& f);
// Every field of tag frame 0, raw (as on the wire).
struct TagFrame0Fields
{
    quint8 id = 0;
    quint8 reserved = 0;
    std::array<qint32, 3> posMm{}; // int24
    std::array<qint32, 3> vel{};   // int24, 1/10000 m/s
    std::array<qint32, 8> disMm{}; // int24
    std::array<float, 3> g{};      // rad/s
    std::array<float, 3> a{};      // m/s^2
    float r0 = 0;
    float r1 = 0;
    float r2 = 0;
    std::array<qint16, 3> angle{}; // 1/100 deg
    std::array<float, 4> q{};
    float r4 = 0;
    quint32 localTime = 0;
    quint32 systemTime = 0;
    quint8 r5 = 0;
    std::array<quint8, 3> eop{}; // 1/100 m
    quint16 voltage = 0;         // mV
    quint16 r6 = 0;
    quint16 plr = 0;
    quint8 r7 = 0;
};
// 128 bytes, 8-bit sum last.
QByteArray tagFrame0(const TagFrame0Fields& f);

struct NodeFrame1Record
{
    qint8 role = 2;
    quint8 id = 0;
    std::array<qint32, 3> posMm{}; // int24
};

struct NodeFrame1Fields
{
    qint8 role = 0;
    quint8 id = 0;
    quint32 systemTime = 0;
    quint32 localTime = 0;
    quint16 voltage = 0; // mV
    QVector<NodeFrame1Record> nodes;
    int countOverride = -1; // node count written instead of nodes.size() when >= 0
};
// 28 + 20 n bytes, length field and 8-bit sum filled in.
QByteArray nodeFrame1(const NodeFrame1Fields& f);

struct NodeFrame3Record
{
    qint8 role = 1;
    quint8 id = 0;
    qint32 disMm = 0; // int24
    quint8 fpRssi = 0;
    quint8 rxRssi = 0;
};

struct NodeFrame3Fields
{
    qint8 role = 2;
    quint8 id = 0;
    quint32 localTime = 0;
    quint32 systemTime = 0;
    quint16 voltage = 0; // mV
    QVector<NodeFrame3Record> nodes;
    int countOverride = -1; // node count written instead of nodes.size() when >= 0
};
// 22 + 7 n bytes, length field and 8-bit sum filled in.
QByteArray nodeFrame3(const NodeFrame3Fields& f);
// The sender part of node frames 4, 5, 7 and AOA node frame 0.
struct SenderFields
{
    quint8 role = 0;
    quint32 id = 0; // 32 bits on the wire in node frames 5 and 7, else 8
    quint32 localTime = 0;
    quint32 systemTime = 0;
    quint16 voltage = 0; // mV
    int countOverride = -1; // record count written instead of the real one when >= 0
};

// A ranged node of node frames 5 and 7 and AOA node frame 0.
struct RangeRecord
{
    qint8 role = 1;
    quint32 id = 0; // 8 bits on the wire in AOA node frame 0
    qint32 disMm = 0; // int24
    qint16 angle0 = 0; // 1/100 deg; AOA node frame 0: the angle of arrival
    qint16 angle1 = 0; // node frame 7 only
    quint8 fpRssi = 0;
    quint8 rxRssi = 0;
};
struct RangeFrameFields : SenderFields
{
    QVector<RangeRecord> nodes;
};
// 25 + 10 n, 25 + 16 n and 22 + 11 n bytes, length field and 8-bit sum filled in.
// Reserved bytes carry 0xA5 0x5A patterns.
QByteArray nodeFrame5(const RangeFrameFields& f);
QByteArray nodeFrame7(const RangeFrameFields& f);
QByteArray aoaNodeFrame0(const RangeFrameFields& f);

// A tag entry of node frame 4: its voltage and (anchor id, unsigned 24-bit mm) pairs.
struct TagDistances
{
    quint8 id = 0;
    quint8 voltage = 0; // 1/20 V
    QVector<QPair<quint8, quint32>> distancesMm;
    int countOverride = -1;
};
struct NodeFrame4Fields : SenderFields
{
    QVector<TagDistances> tags;
};
// 22 + sum of (5 + 4 x distances) bytes.
QByteArray nodeFrame4(const NodeFrame4Fields& f);

// The scenario: frame n is taken at n * 1000 / rate ms.
class TrelvanScenario
{
public:
    static constexpr int kAnchors = 4;
    static constexpr int kTags = 3;

    explicit TrelvanScenario(int rateHz = 100);

    int rateHz() const { return rate_; }
    quint32 timeOf(int n) const; // system time of frame n, ms (starts at 1000)
    // The frame a node streaming the scenario sends `elapsedMs` after it started: the
    // last one taken by then, whatever its pace, and never one it sent before (last).
    int frameNow(qint64 elapsedMs, int last) const;

    // Anchor k's position in mm (corners of a 10 m x 8 m room, 2.5 m high).
    static std::array<qint32, 3> anchorMm(int k);
    // Tag t's position in mm at time ms (a circle of its own around the room's middle).
    static std::array<qint32, 3> tagMm(int t, quint32 ms);
    // Distance in mm between two points.
    static qint32 distanceMm(const std::array<qint32, 3>& a, const std::array<qint32, 3>& b);
    // Signal levels (raw bytes: dB = -0.5 x byte) falling with distance.
    static quint8 fpRssiAt(qint32 disMm);
    static quint8 rxRssiAt(qint32 disMm);

    // Tag 0 reports: its position, velocity, heading as yaw, quaternion of the
    // heading, and its ranges to the four anchors (role 1, ids 0..3).
    NodeFrame2Fields nodeFrame2Fields(int n) const;
    // Anchor 0 reports the tags in slots 0, 2 and 5 (slots between are empty),
    // distances 0..3 to the anchors, 4..7 zero.
    AnchorFrame0Fields anchorFrame0Fields(int n) const;

    // Tag 0 reports its own state: position, velocity, heading, the four anchor
    // distances in dis_0 to dis_3 (zeros after), rates, eop, voltage and plr.
    TagFrame0Fields tagFrame0Fields(int n) const;
    // Node 0 lists the three tags (role 2, ids 0..2) and node 1 (role 0, fixed).
    NodeFrame1Fields nodeFrame1Fields(int n) const;
    // Tag 0 reports its ranges and signal levels to the four anchors (role 1).
    NodeFrame3Fields nodeFrame3Fields(int n) const;
    // Anchor 0 lists the three tags (ids 10, 11, 12) with their voltages and their
    // distances to the four anchors.
    NodeFrame4Fields nodeFrame4Fields(int n) const;
    // A node (role 0, id 0x00020000) at tag 0's place ranges the four anchors,
    // known by 32-bit ids 0x00010000 + k.
    RangeFrameFields nodeFrame5Fields(int n) const;
    // The same with the azimuth and elevation of each anchor seen from the node.
    RangeFrameFields nodeFrame7Fields(int n) const;
    // The AOA anchor 0 ranges the three tags, with the azimuth of each as its angle.
    RangeFrameFields aoaNodeFrame0Fields(int n) const;
    // Azimuth and elevation in 1/100 deg of `to` seen from `from`.
    static qint16 azimuth(const std::array<qint32, 3>& from, const std::array<qint32, 3>& to);
    static qint16 elevation(const std::array<qint32, 3>& from, const std::array<qint32, 3>& to);

    QByteArray nodeFrame2At(int n) const { return nodeFrame2(nodeFrame2Fields(n)); }
    QByteArray tagFrame0At(int n) const { return tagFrame0(tagFrame0Fields(n)); }
    QByteArray nodeFrame1At(int n) const { return nodeFrame1(nodeFrame1Fields(n)); }
    QByteArray nodeFrame3At(int n) const { return nodeFrame3(nodeFrame3Fields(n)); }
    QByteArray anchorFrame0At(int n) const { return anchorFrame0(anchorFrame0Fields(n)); }

    // Node frame 0: nodes 0 to 2 (tags, role 2) each deliver one payload of their
    // chosen length per frame (bytes counting up from n + 16 x id); a silenced
    // node delivers nothing. The console C_0 outputs the frame (roles: see
    // setNodeFrame0Roles).
    static constexpr int kDtNodes = 3;
    void setPayloadLengths(const std::array<int, kDtNodes>& lengths) { payloadLengths_ = lengths; }
    void setNodeSilenced(int id, bool silenced);
    // The role of the node that outputs node frame 0 and of the nodes whose payloads it
    // carries (a console and tags unless set).
    void setNodeFrame0Roles(qint8 sender, qint8 nodes)
    {
        dtSenderRole_ = sender;
        dtNodeRole_ = nodes;
    }
    NodeFrame0Fields nodeFrame0Fields(int n) const;
    QByteArray nodeFrame0At(int n) const { return nodeFrame0(nodeFrame0Fields(n)); }
    // The error frame sent with frame n: tag T_7 reports nodeRepeat and hardFault
    // with errorTypeMark0 2 at the system time of frame n.
    ErrorFrameFields errorFrameFields(int n) const;
    QByteArray errorFrame0At(int n) const { return errorFrame0(errorFrameFields(n)); }

    // In a mixed stream node frame 0 follows every `frames`-th frame (10: 10 Hz at 100 Hz).
    void setNodeFrame0Interval(int frames) { nodeFrame0Interval_ = frames < 1 ? 1 : frames; }
    int nodeFrame0Interval() const { return nodeFrame0Interval_; }

    enum class Kind {
        NodeFrame2,
        AnchorFrame0,
        NodeFrame0,
        TagFrame0,
        NodeFrame1,
        NodeFrame3,
        NodeFrame4,
        NodeFrame5,
        NodeFrame7,
        AoaNodeFrame0
    };
    // The role the sending node plays, written into every frame of frameAt that
    // carries one (unless set, each kind's own).
    void setSenderRole(qint8 role)
    {
        senderRole_ = role;
        hasSenderRole_ = true;
    }
    // Frame n of a kind, and `count` of them from `first`, concatenated.
    QByteArray frameAt(Kind kind, int n) const;
    QByteArray stream(Kind kind, int first, int count) const;
    // The kind streamed for a protocol group, by its frame name
    // ("Vexa_Trelvan_Node_Frame4") or short name ("Node_Frame4"); false for others.
    static bool kindOfGroup(const QString& group, Kind* kind);
    // Streams `count` frames of one kind to the device at this scenario's frame rate,
    // over and over when loop is set.
    void streamTo(DeviceSimulator& device, Kind kind, int count, bool loop) const;

    // `count` frames of one kind from `first`, with node frame 0 after every
    // nodeFrame0Interval()-th frame and an error frame every 3 s (frame 0 first).
    // Kind::NodeFrame0 gives node frame 0 at every frame with the error frames.
    QByteArray mixedStream(Kind kind, int first, int count) const;
    // Streams mixedStream(kind, 0, count) at this scenario's frame rate.
    void streamMixedTo(DeviceSimulator& device, Kind kind, int count, bool loop) const;

private:
    template <typename Fields>
    Fields sent(Fields f) const
    {
        if (hasSenderRole_)
            f.role = decltype(f.role)(senderRole_);
        return f;
    }

    int rate_;
    qint8 senderRole_ = 0;
    bool hasSenderRole_ = false;
    std::array<int, kDtNodes> payloadLengths_{{3, 8, 32}};
    std::array<bool, kDtNodes> silenced_{{false, false, false}};
    qint8 dtSenderRole_ = 3;
    qint8 dtNodeRole_ = 2;
    int nodeFrame0Interval_ = 10;
};

} // namespace sim
