#pragma once

#include "model/ResourceItems.h"
#include "protocol/ProtocolBase.h"
#include "protocol/ProtocolDataQueue.h"
#include "record/DataExportObserver.h"

#include <QByteArray>
#include <QList>
#include <QSharedPointer>
#include <QVariant>

namespace Sarvel {

// The decoded view of one 16-byte range frame "57 00 ...".
struct RangeFrameValues
{
    quint32 systemTime = 0; // ms since the sensor started
    qint32 distanceMm = 0;  // signed 24-bit
    quint8 status = 0;
    quint16 signalStrength = 0;
    quint8 rangePrecisionCm = 0;

    // Metres in single precision, as shown, plotted and exported.
    float distanceMetres() const { return static_cast<float>(distanceMm) / 1000.0f; }
    // Reads a frame of at least 16 bytes.
    static RangeFrameValues decode(const QByteArray& frame);
};

// The single-point range frame: keeps every raw frame for the data page, writes
// the values into the page's line items, one export row per frame, and the values
// as one JSON datagram while UDP output is on.
class ProtocolFrame0 : public ProtocolBase, public DataExportObserver
{
    Q_OBJECT
public:
    static constexpr int kFrameLength = 16;

    // Creates the one instance on the first call (with parent), returns it later.
    static ProtocolFrame0* instance(QObject* parent = nullptr);
    // The instance if it exists.
    static ProtocolFrame0* existing();
    ~ProtocolFrame0() override;

    void registerDataItems() override;
    void parseFrame(const QByteArray& frame) override;
    QList<QVariant> fillExportRow() override;

    // The JSON text of one frame: keys in name order, compact.
    static QByteArray jsonText(const RangeFrameValues& values);

    // The raw frames not yet shown, oldest first.
    ProtocolDataQueue<QByteArray> queue;

    LineResourceCollector* collector() { return &collector_; }
    DataResourceItem* dataItem() const { return dataItem_; }
    LineResourceItem* lineItem(int index) const { return index >= 0 && index < 5 ? items_[index] : nullptr; }
    QByteArray lastFrame() const { return frame_; }

    // Names of the five line items, also the export columns.
    static const QStringList& itemNames();

private:
    explicit ProtocolFrame0(QObject* parent);

    QByteArray frame_;
    LineResourceItem* items_[5] = {nullptr, nullptr, nullptr, nullptr, nullptr};
    DataResourceItem* dataItem_ = nullptr;
    LineResourceCollector collector_;
};

} // namespace Sarvel
