#pragma once

#include <QDateTime>
#include <QList>
#include <QSet>
#include <QString>
#include <QVariant>

#include <atomic>
#include <list>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

class ProtocolBase;
struct lxw_workbook;
struct lxw_worksheet;

// Second base of every data-frame protocol: while an export runs, each decoded
// frame becomes one row of the protocol's sheet in the export workbook.
class DataExportObserver
{
public:
    // Registers with the export subject (created on first use).
    explicit DataExportObserver(ProtocolBase* owner);
    virtual ~DataExportObserver();
    DataExportObserver(const DataExportObserver&) = delete;
    DataExportObserver& operator=(const DataExportObserver&) = delete;

    // The values of the frame just decoded, one per export column, in column order.
    virtual QList<QVariant> fillExportRow() = 0;

    // Called by the protocol's parser after each decoded frame (processing thread).
    void exportRow();
    // Starts or ends this observer's part of an export; the subject calls it, under
    // the workbook lock.
    void setExporting(bool on);

    bool isExporting() const { return exporting_.load(std::memory_order_acquire); }
    bool hasRows() const { return hasRows_; }
    ProtocolBase* owner() const { return owner_; }

private:
    friend class DataExportSubject;

    ProtocolBase* owner_;
    bool hasRows_ = false;
    std::atomic<bool> exporting_{false};
    // Under the workbook lock: the sheet rows go to (made at the first row), the
    // last row written in it (0 = its header row) and how many sheets it has used.
    lxw_worksheet* sheet_ = nullptr;
    quint32 row_ = 0;
    int sheetCount_ = 0;
};

// The process-wide holder of the observers and of the workbook of the export in
// progress, "<export folder>/<page>_<yyyyMMdd_HHmmss>.xlsx". The workbook is
// written in constant memory: rows go to disk as they come. A protocol's sheet is
// made at its first row, so only protocols that were active at the start and
// decoded frames get one; a sheet that reaches Excel's row limit is continued on a
// new sheet that repeats the header row. One lock guards the observer list and the
// workbook: start and end run on the GUI thread, rows on the processing thread.
class DataExportSubject
{
public:
    static DataExportSubject* instance();
    // Ends an export in progress (saving it) and deletes the singleton.
    static void destroyInstance();

    // Starts (true) or ends (false) an export. Ending hands the workbook to a saver
    // thread, since saving a long export takes seconds (about 7 s per million rows):
    // the caller does not freeze. False when the workbook could not be made. The
    // save's result is logged; a failure is told to the user (message box hook), a
    // success opens the export folder.
    bool setExporting(bool on);
    // Waits until every save begun so far has ended; false when one of them failed
    // since the last wait. The program's close waits here.
    bool waitForSaves();
    bool isExporting() const;
    // The file of the export in progress, or of the last one.
    QString fileName() const;

    // "<export folder>/<managerName>_<yyyyMMdd_HHmmss>.xlsx"
    static QString exportFileName(const QString& managerName, const QDateTime& time);
    // Rows per sheet, header included (Excel's limit unless lowered for tests).
    static constexpr quint32 SheetRowLimit = 1048576;
    void setSheetRowLimit(quint32 rows);

private:
    friend class DataExportObserver;
    DataExportSubject() = default;
    ~DataExportSubject();

    void attach(DataExportObserver* observer);
    void detach(DataExportObserver* observer);
    void writeRow(DataExportObserver* observer, const QList<QVariant>& values);
    lxw_worksheet* addSheet(DataExportObserver* observer);

    void save(lxw_workbook* workbook, const QString& file);

    std::list<DataExportObserver*> observers_;
    lxw_workbook* workbook_ = nullptr;
    QString fileName_;
    QSet<QString> sheetNames_; // lower case: Excel compares names without case
    quint32 rowLimit_ = SheetRowLimit;
    QByteArray tmpFolder_; // kept alive while the workbook uses it
    // The savers and whether one failed since the last wait (own lock: a save never
    // holds up rows or the next export).
    std::mutex saveMutex_;
    struct Saver
    {
        std::thread thread;
        std::shared_ptr<std::atomic<bool>> done;
    };
    std::vector<Saver> savers_;
    bool saveFailed_ = false;
};
