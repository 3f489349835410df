#pragma once

// Shared pieces of the recording, replay and export tests: frame protocols that
// remember what they decoded and export one row per frame, frame builders, a
// builder of hand-made recording files, a log capture and the workbook reader.

#include "protocol/ProtocolBase.h"
#include "record/DataExportObserver.h"
#include "record/RecordingFile.h"
#include "support/LogCapture.h"
#include "support/WorkerThreads.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QMutex>
#include <QPair>
#include <QStringList>
#include <QVariant>

#include <functional>

namespace kit {

using talmeno_test::startWorkerThreads;
// Makes the user folders in the test's private home once.
void initFolders();

// A frame protocol: fixed length (fixedLength > 0) or a 16-bit little-endian length
// in bytes 2 and 3; 8-bit sum in the last byte. Keeps every frame it decodes and
// exports (index, length, first payload byte, hex text) per frame.
class KitProtocol : public ProtocolBase, public DataExportObserver
{
public:
    KitProtocol(const QString& name, const QByteArray& head, int fixedLength, const QStringList& columns = {});

    bool checkFrameLength(const char* data, qint64 available) override;
    void parseFrame(const QByteArray& frame) override;
    QList<QVariant> fillExportRow() override;

    QList<QByteArray> parsed() const;
    int parseCount() const;
    void clear();
    // Every frame decoded by any KitProtocol, in decoding order, as (name, bytes).
    static QList<QPair<QString, QByteArray>> journal();
    static void clearJournal();
    // Replaces the exported values of a frame.
    std::function<QList<QVariant>(const QByteArray& frame, int index)> rowMaker;

private:
    mutable QMutex mutex_;
    QList<QByteArray> parsed_;
    QByteArray last_;
    int fixed_;
};

// A frame of head + payload + sum; bytes of `avoid` never appear in the payload.
QByteArray fixedFrame(const QByteArray& head, int length, int seed, const QByteArray& avoid = QByteArray());
QByteArray lengthFrame(const QByteArray& head, int length, int seed, const QByteArray& avoid = QByteArray());

// A recording file made by hand: chunks with their times, optional stamps.
struct HandMadeRecording
{
    QList<QPair<qint64, QByteArray>> chunks;
    QList<RecordingStamp> stamps;
    bool withStampSection = false;
    // Data positions written into the frame index instead of the true ones, by record.
    QMap<int, qint64> damagedDataPos;
    // Applied to the header after it is filled in, before it is sealed.
    std::function<void(RecordingFileHeader&)> tamper;
    bool seal = true;

    QByteArray bytes() const;
    bool write(const QString& path) const;
};

// Collects log lines while alive, passing every one on to the test log.
class LogCapture : public talmeno_test::LogCapture
{
public:
    LogCapture()
        : talmeno_test::LogCapture(ForwardAll)
    {
    }
};

// Reads a workbook with openpyxl: sheet name -> rows, each cell as Python repr text
// ("None", "'text'", "1", "1.5", "True"). Empty map and error text on failure.
QList<QPair<QString, QList<QStringList>>> readWorkbook(const QString& path, QString* error = nullptr);

} // namespace kit
