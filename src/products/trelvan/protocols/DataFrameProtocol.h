#pragma once

#include "model/ResourceType.h"
#include "model/ResourceValues.h"
#include "protocol/ProtocolBase.h"
#include "protocol/ProtocolDataQueue.h"

#include <QSharedPointer>
#include <QStringList>
#include <QVariant>
#include <QVector>

class BaseResourceItem;
class DataResourceItem;
class DataWidgetBaseFactory;
class LineResourceCollector;
class LineResourceItem;

namespace Trelvan {

// What every data-frame protocol of the positioning system shares: the head
// 0x55 + frame key, the name from the frame-name table, the fixed or variable
// length rule, the line-item collector, the "data" item and null-safe writes.
// A frame protocol derives from it (and from DataExportObserver when it exports),
// keeps its own ProtocolDataQueue<Data> and hands records over with publish().
class DataFrameProtocol : public ProtocolBase
{
    Q_OBJECT
public:
    static constexpr quint8 kHeadByte = 0x55;

    // fixedLength > 0: frames of that length (the default length check);
    // otherwise variable frames of minLength to maxLength bytes. maxLength is the
    // largest frame the kind can really carry: the frame search gives up a head
    // whose length field claims more, and holds no more bytes than that waiting.
    DataFrameProtocol(quint8 frameKey, int fixedLength, int minLength, int maxLength, QObject* parent);
    // The same for a frame kind named outside the frame-name table.
    DataFrameProtocol(const QString& name, quint8 frameKey, int fixedLength, int minLength, int maxLength,
                      QObject* parent);
    ~DataFrameProtocol() override;

    // Variable frames: the shared length rule; fixed frames: true.
    bool checkFrameLength(const char* data, qint64 available) override;

    quint8 frameKey() const { return frameKey_; }
    bool isVariableLength() const { return variable_; }
    // Every line item the protocol made; the frame's page builds its statistics from it.
    LineResourceCollector* lineCollector() const { return collector_; }
    // The item whose factory builds the frame's page; null before registration or
    // when no page offers data items.
    DataResourceItem* dataItem() const { return dataItem_; }

    // Writes a value into column 6 of an item; absent (null) items are skipped.
    static void writeValue(BaseResourceItem* item, const QVariant& value);
    static void writeLine(BaseResourceItem* item, float value);
    static void writeLineInt(BaseResourceItem* item, qint64 value);
    static void writeScatter(BaseResourceItem* item, float x, float y);
    static void writeScatter3D(BaseResourceItem* item, const Scatter3DValue& value);

protected:
    // Items of this protocol (Belong = its name, visibility not fixed); null when
    // the current page does not offer the type or there is no page.
    BaseResourceItem* createItem(ResourceType type, const QString& name, bool isUsed = true);
    // A line item, added to the collector when made.
    LineResourceItem* createLineItem(const QString& name, bool isUsed = true);
    QVector<LineResourceItem*> createLineItems(const QStringList& names, bool isUsed = true);
    // The item "data" with the page factory (owned by the item, deleted when refused).
    DataResourceItem* createDataItem(DataWidgetBaseFactory* factory);

    // Queues a decoded record for the page and marks "data" changed.
    template <typename Data>
    void publish(ProtocolDataQueue<Data>& queue, QSharedPointer<Data> record)
    {
        queue.push(std::move(record));
        markDataChanged();
    }
    void markDataChanged();

private:
    quint8 frameKey_;
    bool variable_;
    LineResourceCollector* collector_;
    DataResourceItem* dataItem_ = nullptr;
};

} // namespace Trelvan
