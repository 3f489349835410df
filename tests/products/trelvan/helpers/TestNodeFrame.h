#pragma once

// A small frame of the data-frame family, for tests only: head 55 0C, u16 length,
// sender role and id, u32 system time, u16 voltage (mV), u8 record count, then
// 6-byte records (role i8, id u8, distance int24 mm, first-path level u8), then
// the 8-bit sum. Its page and box are built from the view templates.

#include "products/trelvan/protocols/DataFrameProtocol.h"
#include "products/trelvan/views/WidgetNodeBase.h"
#include "products/trelvan/views/WidgetNodeFrameBase.h"
#include "record/DataExportObserver.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QPair>
#include <QSharedPointer>
#include <QSize>
#include <QVector>

class LineResourceItem;

namespace TestTrelvan {

class ProtocolTestFrame : public Trelvan::DataFrameProtocol, public DataExportObserver
{
    Q_OBJECT
public:
    static constexpr quint8 kKey = 0x0C;
    static constexpr int kFixedPart = 13;
    static constexpr int kRecordSize = 6;

#pragma pack(push, 1)
    struct Frame_t
    {
        quint8 head[2] = {0x55, kKey};
        quint16 frameLength = 0;
        quint8 role = 0;
        quint8 id = 0;
        quint32 systemTime = 0;
        quint16 voltage = 0;
        quint8 nodeCount = 0;
    };
    struct Node_t
    {
        qint8 role = 0;
        quint8 id = 0;
        quint8 dis[3] = {0, 0, 0};
        quint8 fpRssi = 0;
    };
#pragma pack(pop)
    static_assert(sizeof(Frame_t) == kFixedPart, "packed fixed part");
    static_assert(sizeof(Node_t) == kRecordSize, "packed record");

    struct Data
    {
        quint32 systemTime = 0;
        qint32 pcTime = 0;
        QByteArray rawFrame;
        Frame_t frame;
        QList<Node_t> nodes;
    };

    struct NodeItems
    {
        LineResourceItem* dis = nullptr;
        LineResourceItem* fpRssi = nullptr;
    };

    static ProtocolTestFrame* instance(QObject* parent = nullptr);
    // Deletes the singleton (end of a test run).
    static void destroyInstance();

    void registerDataItems() override;
    void parseFrame(const QByteArray& frame) override;
    QList<QVariant> fillExportRow() override;

    ProtocolDataQueue<Data> queue;
    Frame_t frameRecord;
    QList<Node_t> nodes;
    LineResourceItem* systemTimeItem = nullptr;
    LineResourceItem* voltageItem = nullptr;
    QMap<qint8, QMap<quint8, NodeItems*>> nodeItems;
    int droppedFrames = 0;

private:
    explicit ProtocolTestFrame(QObject* parent);
    ~ProtocolTestFrame() override;
};

// Builds one frame of the test kind; records are (role, id, distance mm, level).
struct TestRecord
{
    qint8 role;
    quint8 id;
    qint32 disMm;
    quint8 fpRssi;
};
QByteArray buildTestFrame(quint8 role, quint8 id, quint32 systemTime, quint16 voltageMv,
                          const QVector<TestRecord>& records, int countOverride = -1);

class WidgetTestNode : public Trelvan::WidgetNodeBase<ProtocolTestFrame::Node_t>
{
    Q_OBJECT
public:
    explicit WidgetTestNode(QWidget* parent = nullptr);
    void updateNode(const QList<PendingNode>& pending) override;
    // A few records for a box built later, so that updateSizes shows whole batches.
    static void keepForLaterBox(QList<PendingNode>& records) { keepNewest(records, 8); }

    ZLabel* dis = nullptr;
    // What updateNode was given, call by call (for the tests).
    QList<int> updateSizes;
};

class WidgetTestFrame : public Trelvan::WidgetNodeFrameBase<WidgetTestNode, ProtocolTestFrame::Data>
{
    Q_OBJECT
public:
    static QSize defaultNodeSize() { return QSize(200, 120); }
    WidgetTestFrame(const QSize& nodeSize, DataResourceItem* item, LineResourceCollector* collector,
                    QWidget* parent = nullptr);

    QList<QSharedPointer<ProtocolTestFrame::Data>> takeFrames() override;
    void clearFrameInfo() override;
    void showFrameInfo(const ProtocolTestFrame::Data* newest) override;

    ZLabel* systemTimeLabel = nullptr;
    ZLabel* voltageLabel = nullptr;
};

} // namespace TestTrelvan
