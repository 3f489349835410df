#include "products/trelvan/protocols/ProtocolNodeFrame3.h"

#include "model/ResourceItems.h"
#include "products/trelvan/TrelvanRegistration.h"
#include "products/trelvan/protocols/FrameDecoding.h"
#include "products/trelvan/protocols/NodeLabel.h"
#include "products/trelvan/protocols/TrelvanNaming.h"
#include "products/trelvan/views/WidgetNodeFrame3.h"

#include <cstring>

namespace Trelvan {

namespace {
ProtocolNodeFrame3* g_instance = nullptr;

bool expectedRole(qint8 role)
{
    return role == 0 || role == 1; // NODE, ANCHOR
}
} // namespace

ProtocolNodeFrame3* ProtocolNodeFrame3::instance(QObject* parent)
{
    if (!g_instance)
        g_instance = new ProtocolNodeFrame3(parent);
    return g_instance;
}

ProtocolNodeFrame3* ProtocolNodeFrame3::existing()
{
    return g_instance;
}

void ProtocolNodeFrame3::registerProtocol()
{
    registerFrameProtocol<ProtocolNodeFrame3>();
}

ProtocolNodeFrame3::ProtocolNodeFrame3(QObject* parent)
    : DataFrameProtocol(kFrameKey, 0, kFixedPart, kFixedPart + 255 * kRecordSize + 1, parent)
    , DataExportObserver(this)
    , queue(name())
{
    exportColumns_ << makeItemName(Field::localTime) << makeItemName(Field::systemTime)
                   << makeItemName(Field::voltage) << makeItemName(Field::nodeCount) << makeItemName(Field::role)
                   << makeItemName(Field::id) << makeItemName(Field::dis) << makeItemName(Field::fpRssi)
                   << makeItemName(Field::rxRssi);
}

ProtocolNodeFrame3::~ProtocolNodeFrame3()
{
    for (auto& byId : nodeItems)
        qDeleteAll(byId);
    if (g_instance == this)
        g_instance = nullptr;
}

float ProtocolNodeFrame3::disMetres(const Node_t& n)
{
    return scaled(readInt24(reinterpret_cast<const char*>(n.dis)), 1000.0f);
}

void ProtocolNodeFrame3::registerDataItems()
{
    localTimeItem = createLineItem(makeItemName(Field::localTime), false);
    systemTimeItem = createLineItem(makeItemName(Field::systemTime), false);
    voltageItem = createLineItem(makeItemName(Field::voltage));
    createDataItem(new WidgetNodeFrame3Factory(lineCollector()));
}

void ProtocolNodeFrame3::parseFrame(const QByteArray& frame)
{
    if (frame.size() < kFixedPart + 1)
        return;
    const char* p = frame.constData();
    const int count = readU8(p + kFixedPart - 1);
    // Records lie between the fixed part and the checksum; a count that reaches
    // past them marks a damaged frame, of which nothing is shown or exported.
    if (!fixedRecordsWithin(kFixedPart, count, kRecordSize, frame.size() - 1)) {
        ++droppedFrames;
        logRecordsPastFrame(name(), count, frame.size());
        return;
    }

    std::memcpy(&frameRecord, p, kFixedPart);
    const Frame_t& f = frameRecord;
    writeValue(localTimeItem, QVariant::fromValue(quint32(f.localTime)));
    writeValue(systemTimeItem, QVariant::fromValue(quint32(f.systemTime)));
    writeLine(voltageItem, scaled(quint16(f.voltage), 1000.0f));

    QList<Node_t> records;
    records.reserve(count);
    bool roleLogged = false;
    for (int i = 0; i < count; ++i) {
        Node_t n;
        std::memcpy(&n, p + kFixedPart + i * kRecordSize, kRecordSize);
        records.append(n);
        if (!roleLogged && !expectedRole(n.role)) {
            logInvalidNodeRole(n.role, n.id, frame);
            roleLogged = true;
        }
        NodeItems*& items = nodeItems[n.role][n.id];
        if (!items) {
            items = new NodeItems;
            const QString key = nodeLabel(n.role, n.id);
            items->dis = createLineItem(makeRecordItemName(Field::dis, key));
            items->fpRssi = createLineItem(makeRecordItemName(Field::fpRssi, key));
            items->rxRssi = createLineItem(makeRecordItemName(Field::rxRssi, key));
        }
        writeLine(items->dis, disMetres(n));
        writeLine(items->fpRssi, signalLevelDb(n.fpRssi));
        writeLine(items->rxRssi, signalLevelDb(n.rxRssi));
    }
    nodes = records;

    exportRow();

    auto data = QSharedPointer<Data>::create();
    data->systemTime = f.systemTime;
    data->pcTime = pcTimeOfDay();
    data->rawFrame = frame;
    data->frame = f;
    data->nodes = std::move(records);
    publish(queue, data);
}

QList<QVariant> ProtocolNodeFrame3::fillExportRow()
{
    const Frame_t& f = frameRecord;
    QList<QVariant> row;
    row.reserve(4 + 5 * nodes.size());
    row << QVariant::fromValue(quint32(f.localTime)) << QVariant::fromValue(quint32(f.systemTime))
        << QVariant::fromValue(scaled(quint16(f.voltage), 1000.0f)) << int(f.nodeCount);
    for (const Node_t& n : qAsConst(nodes)) {
        row << int(n.role) << int(n.id) << QVariant::fromValue(disMetres(n))
            << QVariant::fromValue(signalLevelDb(n.fpRssi)) << QVariant::fromValue(signalLevelDb(n.rxRssi));
    }
    return row;
}

} // namespace Trelvan
