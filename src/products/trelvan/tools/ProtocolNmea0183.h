#pragma once

#include "model/DataWidgetBaseFactory.h"
#include "protocol/ProtocolBase.h"
#include "protocol/ProtocolDataQueue.h"
#include "widgets/DataWidgetBase.h"

#include <QList>
#include <QSharedPointer>
#include <QStringList>

class DataResourceItem;
class QLabel;

namespace Trelvan {

// One NMEA 0183 sentence type ("$GPGGA," ... "*hh\r\n"), found by its head text and
// its line end, checked by its XOR checksum and split into its text fields.
class ProtocolNmea0183Base : public ProtocolBase
{
    Q_OBJECT
public:
    // NMEA 0183 allows at most 82 characters from "$" to the line feed.
    static constexpr int kMaxSentenceLength = 82;
    using Record = QStringList; // the fields in order, the type first

    ProtocolNmea0183Base(const QString& type, const QStringList& fieldNames, QObject* parent = nullptr);

    bool verifyFrame(const char* data) override;
    void registerDataItems() override;
    void parseFrame(const QByteArray& frame) override;

    // The check of a whole sentence of n bytes ("$" to "\n"): "*" and exactly two
    // hexadecimal digits before "\r\n", equal to the XOR of the bytes between "$" and "*".
    // A candidate with a "$" after its first byte never gets here: the frame search
    // gives it up, as that "$" starts the next sentence.
    static bool checkSentence(const char* data, int n);
    // The fields between "$" and "*", empty ones kept.
    static QStringList splitSentence(const QByteArray& sentence);

    const QStringList& fieldNames() const { return fieldNames_; }
    DataResourceItem* dataItem() const { return dataItem_; }

    ProtocolDataQueue<Record> queue;

private:
    QStringList fieldNames_;
    DataResourceItem* dataItem_ = nullptr;
};

// The three sentence types, GPGGA, GPGSA and GPRMC, made once.
class ProtocolNmea0183Manager : public QObject
{
    Q_OBJECT
public:
    // Creates the manager on the first call (with that parent); a copy of its list.
    static QList<ProtocolBase*> protocols(QObject* parent = nullptr);
    // The field names of GPGGA, GPGSA, GPRMC.
    static QStringList ggaFieldNames();
    static QStringList gsaFieldNames();
    static QStringList rmcFieldNames();

private:
    explicit ProtocolNmea0183Manager(QObject* parent);
    ~ProtocolNmea0183Manager() override;
    QList<ProtocolBase*> protocols_;
};

// The page of one sentence type: one row per field name, the newest sentence's values.
class WidgetNmea0183Base : public DataWidgetBase
{
    Q_OBJECT
public:
    WidgetNmea0183Base(DataResourceItem* item, ProtocolNmea0183Base* protocol, const QStringList& fieldNames,
                       QWidget* parent = nullptr);

    void refresh() override;
    const QList<QLabel*>& valueLabels() const { return values_; }

private:
    QList<QLabel*> values_;
    ProtocolNmea0183Base* protocol_;
    DataResourceItem* item_;
};

class WidgetNmea0183BaseFactory : public DataWidgetBaseFactory
{
public:
    WidgetNmea0183BaseFactory(ProtocolNmea0183Base* protocol, const QStringList& fieldNames)
        : protocol_(protocol)
        , fieldNames_(fieldNames)
    {
    }
    DataWidgetBase* create(DataResourceItem* item, QWidget* parent) override;

private:
    ProtocolNmea0183Base* protocol_;
    QStringList fieldNames_;
};

// Makes the protocol factory's "NMEA0183" group bring the three sentence protocols.
void registerSentenceProtocols();

} // namespace Trelvan
