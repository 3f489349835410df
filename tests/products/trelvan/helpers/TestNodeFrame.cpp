#include "helpers/TestNodeFrame.h"

#include "model/ResourceItems.h"
#include "products/trelvan/protocols/FrameDecoding.h"
#include "products/trelvan/protocols/NodeLabel.h"
#include "products/trelvan/protocols/TrelvanNaming.h"
#include "products/trelvan/protocols/UdpJsonDocument.h"
#include "products/trelvan/views/ValueGrids.h"
#include "widgets/ZLabel.h"

#include <cstring>

namespace TestTrelvan {

namespace {
ProtocolTestFrame* g_instance = nullptr;
}

ProtocolTestFrame* ProtocolTestFrame::instance(QObject* parent)
{
    if (!g_instance)
        g_instance = new ProtocolTestFrame(parent);
    return g_instance;
}

void ProtocolTestFrame::destroyInstance()
{
    delete g_instance;
    g_instance = nullptr;
}

ProtocolTestFrame::ProtocolTestFrame(QObject* parent)
    : Trelvan::DataFrameProtocol(QStringLiteral("Test_Trelvan_Frame"), kKey, 0, kFixedPart, kFixedPart + 255 * kRecordSize + 1, parent)
    , DataExportObserver(this)
    , queue(QStringLiteral("Test_Trelvan_Frame"))
{
    using namespace Trelvan;
    exportColumns_ << makeItemName(Field::systemTime) << makeItemName(Field::voltage)
                   << makeItemName(Field::nodeCount) << makeItemName(Field::role) << makeItemName(Field::id)
                   << makeItemName(Field::dis) << makeItemName(Field::fpRssi);
}

ProtocolTestFrame::~ProtocolTestFrame()
{
    for (auto& byId : nodeItems)
        qDeleteAll(byId);
}

void ProtocolTestFrame::registerDataItems()
{
    using namespace Trelvan;
    systemTimeItem = createLineItem(makeItemName(Field::systemTime), false);
    voltageItem = createLineItem(makeItemName(Field::voltage));
    createDataItem(new NodeFrameViewFactory<WidgetTestFrame>(lineCollector()));
}

void ProtocolTestFrame::parseFrame(const QByteArray& frame)
{
    using namespace Trelvan;
    if (frame.size() < kFixedPart + 1)
        return;
    const char* p = frame.constData();
    const int count = readU8(p + 12);
    if (!fixedRecordsWithin(kFixedPart, count, kRecordSize, frame.size() - 1)) {
        ++droppedFrames;
        logRecordsPastFrame(name(), count, frame.size());
        return;
    }
    std::memcpy(&frameRecord, p, kFixedPart);

    nodes.clear();
    for (int i = 0; i < count; ++i) {
        Node_t n;
        std::memcpy(&n, p + kFixedPart + i * kRecordSize, kRecordSize);
        nodes.append(n);
    }

    writeLineInt(systemTimeItem, readU32(p + 6));
    writeLine(voltageItem, scaled(readU16(p + 10), 1000.0f));
    for (const Node_t& n : qAsConst(nodes)) {
        NodeItems*& items = nodeItems[n.role][n.id];
        if (!items) {
            items = new NodeItems;
            const QString key = nodeLabel(n.role, n.id);
            items->dis = createLineItem(makeRecordItemName(Field::dis, key));
            items->fpRssi = createLineItem(makeRecordItemName(Field::fpRssi, key));
        }
        writeLine(items->dis, scaled(readInt24(reinterpret_cast<const char*>(n.dis)), 1000.0f));
        writeLine(items->fpRssi, signalLevelDb(n.fpRssi));
    }

    exportRow();

    auto data = QSharedPointer<Data>::create();
    data->systemTime = readU32(p + 6);
    data->pcTime = pcTimeOfDay();
    data->rawFrame = frame;
    data->frame = frameRecord;
    data->nodes = nodes;
    publish(queue, data);

    static UdpJsonDocument json("test_frame", "nodes");
    json.sendFrame([this](nlohmann::json& object, UdpJsonDocument& doc) {
        object["role"] = int(qint8(frameRecord.role));
        object["id"] = unsigned(frameRecord.id);
        object["systemTime"] = quint32(frameRecord.systemTime);
        object["voltage"] = scaled(quint16(frameRecord.voltage), 1000.0f);
        for (const Node_t& n : qAsConst(nodes)) {
            nlohmann::json record;
            record["role"] = int(n.role);
            record["id"] = unsigned(n.id);
            record["dis"] = scaled(readInt24(reinterpret_cast<const char*>(n.dis)), 1000.0f);
            doc.appendRecord(std::move(record));
        }
    });
}

QList<QVariant> ProtocolTestFrame::fillExportRow()
{
    using namespace Trelvan;
    QList<QVariant> row{QVariant::fromValue(quint32(frameRecord.systemTime)),
                        QVariant::fromValue(scaled(quint16(frameRecord.voltage), 1000.0f)),
                        QVariant::fromValue(int(frameRecord.nodeCount))};
    for (const Node_t& n : qAsConst(nodes)) {
        row << int(n.role) << unsigned(n.id)
            << QVariant::fromValue(scaled(readInt24(reinterpret_cast<const char*>(n.dis)), 1000.0f))
            << QVariant::fromValue(signalLevelDb(n.fpRssi));
    }
    return row;
}

QByteArray buildTestFrame(quint8 role, quint8 id, quint32 systemTime, quint16 voltageMv,
                          const QVector<TestRecord>& records, int countOverride)
{
    QByteArray f;
    f.append(char(0x55)).append(char(ProtocolTestFrame::kKey));
    f.append(2, '\0'); // length, below
    f.append(char(role)).append(char(id));
    for (int i = 0; i < 4; ++i)
        f.append(char((systemTime >> (8 * i)) & 0xFF));
    f.append(char(voltageMv & 0xFF)).append(char(voltageMv >> 8));
    f.append(char(countOverride >= 0 ? countOverride : records.size()));
    for (const TestRecord& r : records) {
        f.append(char(r.role)).append(char(r.id));
        const quint32 d = quint32(r.disMm) & 0xFFFFFF;
        f.append(char(d & 0xFF)).append(char((d >> 8) & 0xFF)).append(char((d >> 16) & 0xFF));
        f.append(char(r.fpRssi));
    }
    const int length = f.size() + 1;
    f[2] = char(length & 0xFF);
    f[3] = char(length >> 8);
    quint8 sum = 0;
    for (char c : qAsConst(f))
        sum = quint8(sum + quint8(c));
    f.append(char(sum));
    return f;
}

WidgetTestNode::WidgetTestNode(QWidget* parent)
    : Trelvan::WidgetNodeBase<ProtocolTestFrame::Node_t>(parent)
    , dis(new ZLabel(Trelvan::makeItemName(Trelvan::Field::dis), this, 12))
{
    contentLayout->addWidget(dis);
}

void WidgetTestNode::updateNode(const QList<PendingNode>& pending)
{
    updateSizes.append(pending.size());
    const ProtocolTestFrame::Node_t& n = pending.last().node;
    dis->setValue(Trelvan::formatValue(Trelvan::scaled(Trelvan::readInt24(reinterpret_cast<const char*>(n.dis)), 1000.0f)));
}

WidgetTestFrame::WidgetTestFrame(const QSize& nodeSize, DataResourceItem* item, LineResourceCollector* collector,
                                 QWidget* parent)
    : WidgetNodeFrameBase(nodeSize, ProtocolTestFrame::instance()->name(), item, collector, parent)
    , systemTimeLabel(new ZLabel(Trelvan::makeItemName(Trelvan::Field::systemTime), this, 12))
    , voltageLabel(new ZLabel(Trelvan::makeItemName(Trelvan::Field::voltage), this, 12))
{
    leftPaneLayout->addWidget(systemTimeLabel);
    leftPaneLayout->addWidget(voltageLabel);
}

QList<QSharedPointer<ProtocolTestFrame::Data>> WidgetTestFrame::takeFrames()
{
    return ProtocolTestFrame::instance()->queue.takeAll();
}

void WidgetTestFrame::clearFrameInfo()
{
    Trelvan::clearLabelValues({systemTimeLabel, voltageLabel});
}

void WidgetTestFrame::showFrameInfo(const ProtocolTestFrame::Data* newest)
{
    systemTimeLabel->setValue(QString::number(newest->systemTime));
    voltageLabel->setValue(Trelvan::formatValue(Trelvan::scaled(quint16(newest->frame.voltage), 1000.0f)));
}

} // namespace TestTrelvan
