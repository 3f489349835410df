#include "products/trelvan/protocols/ProtocolNodeFrame0.h"

#include "foundation/ZLog.h"
#include "products/trelvan/TrelvanRegistration.h"
#include "products/trelvan/protocols/FrameDecoding.h"
#include "products/trelvan/protocols/UdpJsonDocument.h"
#include "products/trelvan/views/WidgetNodeFrame0.h"

#include <QMutexLocker>
#include <QTimer>

#include <cstring>

namespace Trelvan {

namespace {
ProtocolNodeFrame0* g_instance = nullptr;
} // namespace

ProtocolNodeFrame0* ProtocolNodeFrame0::instance(QObject* parent)
{
    if (!g_instance)
        g_instance = new ProtocolNodeFrame0(parent);
    return g_instance;
}

ProtocolNodeFrame0* ProtocolNodeFrame0::existing()
{
    return g_instance;
}

void ProtocolNodeFrame0::registerProtocol()
{
    registerFrameProtocol<ProtocolNodeFrame0>();
}

ProtocolNodeFrame0::ProtocolNodeFrame0(QObject* parent)
    : DataFrameProtocol(kFrameKey, 0, kFixedPart, kMaxLength, parent)
    , queue(name())
    , item(new WidgetNodeFrame0Item(this))
{
}

ProtocolNodeFrame0::~ProtocolNodeFrame0()
{
    if (g_instance == this)
        g_instance = nullptr;
}

void ProtocolNodeFrame0::registerDataItems()
{
    // The window is not a page of the layout: its item builds it on the GUI thread.
    item->createViewInGuiThread();
}

bool ProtocolNodeFrame0::decodeRecords(const QByteArray& frame, QList<Node_t>& records)
{
    if (frame.size() < kFixedPart)
        return false;
    const char* p = frame.constData();
    const qint64 bound = frame.size(); // the whole frame, its checksum included
    const int count = readU8(p + 10);
    qint64 offset = kFixedPart;
    for (int i = 0; i < count; ++i) {
        if (offset + kRecordHead > bound)
            return false;
        Node_t n;
        n.role = readI8(p + offset);
        n.id = readU8(p + offset + 1);
        n.dataLength = readU16(p + offset + 2);
        if (offset + kRecordHead + n.dataLength > bound)
            return false;
        n.data = QByteArray(p + offset + kRecordHead, n.dataLength);
        offset += kRecordHead + n.dataLength;
        records.append(std::move(n));
    }
    return true; // bytes between the last record and the checksum are ignored
}

bool ProtocolNodeFrame0::recordsWithinFrame(const char* frame, qint32 length)
{
    if (!frame || length < kFixedPart)
        return false;
    const auto recordSize = [](const char* record, int left) {
        return left < kRecordHead ? 0 : kRecordHead + readU16(record + 2);
    };
    return recordsWithin(frame, kFixedPart, readU8(frame + 10), length, recordSize);
}

void ProtocolNodeFrame0::parseFrame(const QByteArray& frame)
{
    if (frame.size() < kFixedPart)
        return;
    // The search queues no frame whose records run past it; decodeRecords applies the
    // same bound (recordsWithinFrame) to frames handed over directly. A dropped frame
    // leaves the fixed-part copy as it was.
    QList<Node_t> records;
    if (!decodeRecords(frame, records)) {
        qDebug().noquote().nospace() << logTimePrefix() << name()
                                     << " verify successed,but length not enough:" << logHex(frame);
        return;
    }
    std::memcpy(&frameRecord, frame.constData(), kFixedPart);

    // Every record reaches the window and the JSON; a box is made for each node the
    // bound shows.
    auto data = QSharedPointer<Data>::create();
    for (int i = 0; i < records.size(); ++i)
        if (!admitsNode(records.at(i).role, records.at(i).id))
            data->views.hide(i, records.size());
    settleEvictions(data->views);
    data->pcTime = pcTimeOfDay();
    data->rawFrame = frame;
    data->frame = frameRecord;
    data->nodes = records;
    queue.push(data);
    item->setDirty(true);

    if (checkEnabled.load()) {
        QMutexLocker lock(&checkMutex);
        // Any role restarts the clock of its id.
        for (const Node_t& n : qAsConst(records))
            if (n.id < checkNodeCount && n.id < nodeTimers.size())
                nodeTimers[n.id].restart();
    }

    sendJson(records);
}

void ProtocolNodeFrame0::sendJson(const QList<Node_t>& records)
{
    static UdpJsonDocument doc("node_frame0", "nodes", frameNames.value(kFrameKey));
    doc.sendFrame([this, &records](nlohmann::json& object, UdpJsonDocument& d) {
        object["id"] = unsigned(frameRecord.id);
        object["role"] = int(frameRecord.role);
        for (const Node_t& n : records) {
            nlohmann::json bytes = nlohmann::json::array();
            for (char c : n.data)
                bytes.push_back(unsigned(quint8(c)));
            nlohmann::json node;
            node["data"] = std::move(bytes);
            node["id"] = unsigned(n.id);
            node["role"] = int(n.role);
            d.appendRecord(std::move(node));
        }
    });
}

void ProtocolNodeFrame0::setCheckEnabled(bool on)
{
    QMutexLocker lock(&checkMutex);
    checkEnabled.store(on);
    if (!checkTimer) {
        checkTimer = new QTimer(this);
        connect(checkTimer, &QTimer::timeout, this, &ProtocolNodeFrame0::checkDataTransmission);
    }
    if (on) {
        checkTimer->start(checkPeriod);
        // Every watched node first gets a whole period.
        for (QElapsedTimer& t : nodeTimers)
            t.restart();
    } else {
        checkTimer->stop();
    }
}

void ProtocolNodeFrame0::setCheckNodeCount(int count)
{
    QMutexLocker lock(&checkMutex);
    count = qMax(0, count);
    checkNodeCount = count;
    if (count == nodeTimers.size())
        return;
    nodeTimers.resize(count);
    for (QElapsedTimer& t : nodeTimers)
        t.restart();
}

void ProtocolNodeFrame0::setCheckPeriod(int ms)
{
    // A timer of 0 ms would fire on every pass of the event loop.
    checkPeriod = qMax(1, ms);
    if (checkTimer)
        checkTimer->setInterval(checkPeriod);
}

int ProtocolNodeFrame0::checkNodeCountValue() const
{
    QMutexLocker lock(&checkMutex);
    return checkNodeCount;
}

void ProtocolNodeFrame0::checkDataTransmission()
{
    QString text;
    int offline = 0;
    {
        QMutexLocker lock(&checkMutex);
        for (int id = 0; id < checkNodeCount && id < nodeTimers.size(); ++id) {
            const qint64 elapsed = nodeTimers[id].elapsed();
            if (elapsed > checkPeriod) {
                ++offline;
                text += QStringLiteral("\nDT of node %1 is offline, time elapsed: %2 ms").arg(id).arg(elapsed);
            }
        }
    }
    if (!text.isEmpty())
        qCritical().noquote().nospace() << logTimePrefix() << "offline nodes: " << offline << text;
}

} // namespace Trelvan
