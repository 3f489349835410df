#include "products/trelvan/protocols/ProtocolAnchorFrame0.h"

#include "foundation/ZLog.h"
#include "model/ResourceItems.h"
#include "products/trelvan/TrelvanRegistration.h"
#include "products/trelvan/protocols/FrameDecoding.h"
#include "products/trelvan/protocols/TrelvanNaming.h"
#include "products/trelvan/protocols/UdpJsonDocument.h"
#include "products/trelvan/views/WidgetAnchorFrame0.h"

#include <QStringList>

#include <cstring>

namespace Trelvan {

namespace {
ProtocolAnchorFrame0* g_instance = nullptr;
}

ProtocolAnchorFrame0* ProtocolAnchorFrame0::instance(QObject* parent)
{
    if (!g_instance)
        g_instance = new ProtocolAnchorFrame0(parent);
    return g_instance;
}

ProtocolAnchorFrame0* ProtocolAnchorFrame0::existing()
{
    return g_instance;
}

void ProtocolAnchorFrame0::registerProtocol()
{
    registerFrameProtocol<ProtocolAnchorFrame0>();
}

ProtocolAnchorFrame0::ProtocolAnchorFrame0(QObject* parent)
    : DataFrameProtocol(kFrameKey, kFrameLength, kFrameLength, kFrameLength, parent)
    , DataExportObserver(this)
    , queue(name())
{
    exportColumns_ << makeItemName(Field::plr) << makeItemName(Field::role) << makeItemName(Field::id)
                   << makeItemName(Field::localTime) << makeItemName(Field::systemTime)
                   << makeItemName(Field::voltage) << makeItemName(Field::id) << makeVectorItemNames(Field::pos)
                   << makeArrayItemNames(Field::dis, 8);
}

ProtocolAnchorFrame0::~ProtocolAnchorFrame0()
{
    qDeleteAll(tagItems);
    if (g_instance == this)
        g_instance = nullptr;
}

float ProtocolAnchorFrame0::posMetres(const Node_t& n, int axis)
{
    return scaled(readInt24(reinterpret_cast<const char*>(n.pos + 3 * axis)), 1000.0f);
}

float ProtocolAnchorFrame0::disMetres(const Node_t& n, int i)
{
    const quint16 raw = n.dis[i];
    return scaled(raw, 100.0f);
}

bool ProtocolAnchorFrame0::verifyFrame(const char* frame)
{
    // No checksum: the tail byte alone marks a whole frame. The constant, not the
    // kept frame's tail: that record belongs to the processing thread.
    return frame && frameLength_ > 0 && quint8(frame[frameLength_ - 1]) == kTail;
}

void ProtocolAnchorFrame0::registerDataItems()
{
    plrItem = createLineItem(makeItemName(Field::plr));
    voltageItem = createLineItem(makeItemName(Field::voltage));
    validNodeCountItem = createLineItem(QStringLiteral("validNodeCount"));
    createDataItem(new WidgetAnchorFrame0Factory(lineCollector()));
}

void ProtocolAnchorFrame0::parseFrame(const QByteArray& frame)
{
    if (frame.size() < kFrameLength)
        return;
    std::memcpy(&frameRecord, frame.constData(), kFrameLength);
    const Frame_t& f = frameRecord;

    writeLine(plrItem, scaled(f.plr, 600.0f));
    writeLine(voltageItem, scaled(f.voltage, 1000.0f));

    QList<Node_t> records;
    QList<quint8> distinct;
    for (int k = 0; k < kSlots; ++k) {
        const Node_t& n = f.nodes[k];
        if (n.id == kEmptyId)
            continue; // later slots may still hold tags
        records.append(n);
        if (!distinct.contains(n.id))
            distinct.append(n.id);

        TagItems*& items = tagItems[n.id];
        if (!items) {
            items = new TagItems;
            const QString key = QString::number(n.id);
            items->pos = createLineItems(makeVectorItemNames(Field::pos, key));
            items->dis = createLineItems(makeArrayItemNames(Field::dis, 8, key));
            items->scatter = createItem(ResourceType::Scatter, key);
            items->scatter3D = createItem(ResourceType::Scatter3D, key);
        }
        const float x = posMetres(n, 0), y = posMetres(n, 1), z = posMetres(n, 2);
        writeLine(items->pos.value(0), x);
        writeLine(items->pos.value(1), y);
        writeLine(items->pos.value(2), z);
        for (int i = 0; i < 8; ++i)
            writeLine(items->dis.value(i), disMetres(n, i));
        writeScatter(items->scatter, x, y);
        writeScatter3D(items->scatter3D, Scatter3DValue{x, y, z, 0.0f, 0.0f, 0.0f});
    }

    if (distinct.size() != records.size()) {
        QStringList ids;
        for (const Node_t& n : qAsConst(records))
            ids << QString::number(n.id);
        qWarning().noquote().nospace() << logTimePrefix() << "id repeat: (" << ids.join(", ") << ")";
    }
    writeLineInt(validNodeCountItem, distinct.size());
    lastNodes = records;

    exportRow();

    auto data = QSharedPointer<Data>::create();
    data->systemTime = f.systemTime;
    data->pcTime = pcTimeOfDay();
    data->rawFrame = frame.left(kFrameLength);
    data->frame = f;
    data->nodes = std::move(records);
    publish(queue, data);

    sendJson();
}

void ProtocolAnchorFrame0::sendJson()
{
    static UdpJsonDocument doc("anchor_frame0", "tags");
    doc.sendFrame([this](nlohmann::json& object, UdpJsonDocument& d) {
        const Frame_t& f = frameRecord;
        object["id"] = unsigned(f.id);
        // Scaled numbers follow the single-precision convention of every value the
        // program shows or exports; nlohmann widens the float as it stands.
        object["plr"] = scaled(f.plr, 600.0f);
        object["role"] = int(f.role);
        object["system_time"] = quint32(f.systemTime);
        object["voltage"] = scaled(f.voltage, 1000.0f);
        for (const Node_t& n : qAsConst(lastNodes)) {
            nlohmann::json tag;
            nlohmann::json dis = nlohmann::json::array();
            for (int i = 0; i < 8; ++i)
                dis.push_back(scaled(n.dis[i], 100.0f));
            nlohmann::json pos = nlohmann::json::array();
            for (int axis = 0; axis < 3; ++axis)
                pos.push_back(scaled(readInt24(reinterpret_cast<const char*>(n.pos + 3 * axis)), 1000.0f));
            tag["dis"] = std::move(dis);
            tag["id"] = unsigned(n.id);
            tag["pos"] = std::move(pos);
            tag["role"] = int(n.role);
            d.appendRecord(std::move(tag));
        }
    });
}

QList<QVariant> ProtocolAnchorFrame0::fillExportRow()
{
    const Frame_t& f = frameRecord;
    QList<QVariant> row;
    row.reserve(6 + 12 * lastNodes.size());
    row << QVariant::fromValue(scaled(f.plr, 600.0f)) << int(f.role) << int(f.id)
        << QVariant::fromValue(quint32(f.localTime)) << QVariant::fromValue(quint32(f.systemTime))
        << QVariant::fromValue(scaled(f.voltage, 1000.0f));
    for (const Node_t& n : qAsConst(lastNodes)) {
        row << int(n.id);
        for (int axis = 0; axis < 3; ++axis)
            row << QVariant::fromValue(posMetres(n, axis));
        for (int i = 0; i < 8; ++i)
            row << QVariant::fromValue(disMetres(n, i));
    }
    return row;
}

} // namespace Trelvan
