#include "record/DataExportObserver.h"

#include "foundation/UserPaths.h"
#include "foundation/ZHooks.h"
#include "foundation/ZLog.h"
#include "protocol/ProtocolBase.h"
#include "views/RefreshManagers.h" // completes a type ModelViewManagers.h holds in a QPointer
#include "views/ModelViewManagers.h"
#include "views/ViewHooks.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <xlsxwriter.h>

#include <cmath>
#include <mutex>

namespace {
// The one lock of the export: the singleton pointer, the observer list, every
// observer's sheet and row, and the workbook.
std::mutex& exportMutex()
{
    static std::mutex m;
    return m;
}

DataExportSubject* g_subject = nullptr;

QString currentManagerName()
{
    ModelViewManagers* managers = ModelViewManagers::instance();
    return managers ? managers->currentName() : QString();
}

// Excel refuses these characters in sheet names, and apostrophes at either end.
QString sheetBaseName(const QString& protocolName)
{
    QString name = protocolName;
    for (QChar& c : name) {
        if (QStringLiteral("[]:*?/\\").contains(c))
            c = QLatin1Char('_');
    }
    while (name.startsWith(QLatin1Char('\'')))
        name.remove(0, 1);
    while (name.endsWith(QLatin1Char('\'')))
        name.chop(1);
    if (name.isEmpty())
        name = QStringLiteral("Sheet");
    return name;
}

void writeValue(lxw_worksheet* sheet, lxw_row_t row, lxw_col_t col, const QVariant& value)
{
    switch (value.userType()) {
    case QMetaType::UnknownType:
        return;
    case QMetaType::Bool:
        worksheet_write_boolean(sheet, row, col, value.toBool(), nullptr);
        return;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar: {
        const double d = value.toDouble();
        if (std::isfinite(d)) {
            worksheet_write_number(sheet, row, col, d, nullptr);
        } else {
            // A workbook holding a non-finite number is refused by Excel as damaged;
            // values decoded from device bytes can be NaN or infinite.
            const char* text = std::isnan(d) ? "nan" : (d > 0 ? "inf" : "-inf");
            worksheet_write_string(sheet, row, col, text, nullptr);
        }
        return;
    }
    default: {
        const QByteArray text = value.toString().toUtf8();
        if (!text.isEmpty())
            worksheet_write_string(sheet, row, col, text.constData(), nullptr);
        return;
    }
    }
}
} // namespace

// --- observer ---

DataExportObserver::DataExportObserver(ProtocolBase* owner)
    : owner_(owner)
{
    std::lock_guard<std::mutex> lock(exportMutex());
    if (!g_subject)
        g_subject = new DataExportSubject;
    g_subject->attach(this);
}

DataExportObserver::~DataExportObserver()
{
    std::lock_guard<std::mutex> lock(exportMutex());
    if (g_subject)
        g_subject->detach(this);
}

void DataExportObserver::setExporting(bool on)
{
    if (on) {
        hasRows_ = false;
        sheet_ = nullptr;
        row_ = 0;
        sheetCount_ = 0;
        // Only the protocols of the group loaded now take part in this export.
        exporting_.store(owner_ && owner_->isActive(), std::memory_order_release);
    } else {
        exporting_.store(false, std::memory_order_release);
        sheet_ = nullptr;
    }
}

void DataExportObserver::exportRow()
{
    if (!isExporting())
        return;
    // The protocol's own state is read on its own thread, outside the lock.
    const QList<QVariant> values = fillExportRow();
    std::lock_guard<std::mutex> lock(exportMutex());
    if (g_subject && isExporting())
        g_subject->writeRow(this, values);
}

// --- subject ---

DataExportSubject* DataExportSubject::instance()
{
    std::lock_guard<std::mutex> lock(exportMutex());
    if (!g_subject)
        g_subject = new DataExportSubject;
    return g_subject;
}

void DataExportSubject::destroyInstance()
{
    DataExportSubject* subject = nullptr;
    {
        std::lock_guard<std::mutex> lock(exportMutex());
        subject = g_subject;
    }
    if (!subject)
        return;
    // An export still running is saved, not thrown away.
    subject->setExporting(false);
    subject->waitForSaves();
    std::lock_guard<std::mutex> lock(exportMutex());
    if (g_subject == subject) {
        g_subject = nullptr;
        delete subject;
    }
}

DataExportSubject::~DataExportSubject()
{
    for (DataExportObserver* observer : observers_)
        observer->setExporting(false);
    if (workbook_)
        workbook_close(workbook_);
    for (Saver& saver : savers_)
        saver.thread.join();
}

QString DataExportSubject::exportFileName(const QString& managerName, const QDateTime& time)
{
    return QStringLiteral("%1/%2_%3.xlsx").arg(exportDataDir, managerName, time.toString("yyyyMMdd_HHmmss"));
}

void DataExportSubject::setSheetRowLimit(quint32 rows)
{
    std::lock_guard<std::mutex> lock(exportMutex());
    rowLimit_ = qBound<quint32>(2, rows, SheetRowLimit);
}

bool DataExportSubject::isExporting() const
{
    std::lock_guard<std::mutex> lock(exportMutex());
    return workbook_ != nullptr;
}

QString DataExportSubject::fileName() const
{
    std::lock_guard<std::mutex> lock(exportMutex());
    return fileName_;
}

void DataExportSubject::attach(DataExportObserver* observer)
{
    observers_.push_back(observer);
}

void DataExportSubject::detach(DataExportObserver* observer)
{
    observers_.remove(observer);
}

bool DataExportSubject::setExporting(bool on)
{
    if (on) {
        std::lock_guard<std::mutex> lock(exportMutex());
        if (workbook_)
            return true;
        QDir().mkpath(exportDataDir);
        fileName_ = exportFileName(currentManagerName(), QDateTime::currentDateTime());
        const QString tmp = tempDir.isEmpty() ? QDir::tempPath() : tempDir;
        tmpFolder_ = QFile::encodeName(tmp);
        lxw_workbook_options options = {};
        // Rows go to temporary files as they come: memory stays flat however long
        // the export runs.
        options.constant_memory = LXW_TRUE;
        options.tmpdir = tmpFolder_.data();
        options.use_zip64 = LXW_TRUE;
        workbook_ = workbook_new_opt(QFile::encodeName(fileName_).constData(), &options);
        if (!workbook_) {
            zCritical() << fileName_ << "can't create the workbook";
            return false;
        }
        sheetNames_.clear();
        for (DataExportObserver* observer : observers_)
            observer->setExporting(true);
        return true;
    }

    lxw_workbook* workbook = nullptr;
    QString file;
    {
        std::lock_guard<std::mutex> lock(exportMutex());
        if (!workbook_)
            return true;
        // No row touches the workbook once every flag is cleared under the lock, so
        // the (possibly long) save below does not hold up the processing thread.
        for (DataExportObserver* observer : observers_)
            observer->setExporting(false);
        workbook = workbook_;
        workbook_ = nullptr;
        file = fileName_;
    }
    std::lock_guard<std::mutex> lock(saveMutex_);
    // Savers that have ended are joined here, so that they do not pile up.
    for (auto it = savers_.begin(); it != savers_.end();) {
        if (it->done->load()) {
            it->thread.join();
            it = savers_.erase(it);
        } else {
            ++it;
        }
    }
    auto done = std::make_shared<std::atomic<bool>>(false);
    savers_.push_back({std::thread([this, workbook, file, done] {
                           save(workbook, file);
                           done->store(true);
                       }),
                       done});
    return true;
}

void DataExportSubject::save(lxw_workbook* workbook, const QString& file)
{
    const lxw_error error = workbook_close(workbook);
    if (error != LXW_NO_ERROR) {
        const QString text = file + " save failed";
        zCritical() << text << lxw_strerror(error);
        {
            std::lock_guard<std::mutex> lock(saveMutex_);
            saveFailed_ = true;
        }
        if (messageBoxHook)
            messageBoxHook(QCoreApplication::translate("DataExportSubject", "%1 save failed").arg(file));
        return;
    }
    const QString folder = QFileInfo(exportDataDir).absoluteFilePath();
    // The desktop is asked from the GUI thread.
    if (QCoreApplication* app = QCoreApplication::instance())
        QMetaObject::invokeMethod(app, [folder] { ViewHooks::openFolder(folder); }, Qt::QueuedConnection);
}

bool DataExportSubject::waitForSaves()
{
    std::vector<Saver> savers;
    {
        std::lock_guard<std::mutex> lock(saveMutex_);
        savers.swap(savers_);
    }
    for (Saver& saver : savers)
        saver.thread.join();
    std::lock_guard<std::mutex> lock(saveMutex_);
    const bool ok = !saveFailed_;
    saveFailed_ = false;
    return ok;
}

lxw_worksheet* DataExportSubject::addSheet(DataExportObserver* observer)
{
    const QString base = sheetBaseName(observer->owner_ ? observer->owner_->name() : QString());
    lxw_worksheet* sheet = nullptr;
    for (int n = observer->sheetCount_ + 1; !sheet && n < observer->sheetCount_ + 1000; ++n) {
        QString name;
        if (n == 1) {
            name = base.left(LXW_SHEETNAME_MAX);
        } else {
            const QString suffix = QStringLiteral("_%1").arg(n);
            QString stem = base.left(LXW_SHEETNAME_MAX - suffix.size());
            while (stem.size() > 1 && stem.endsWith(QLatin1Char('_')))
                stem.chop(1);
            name = stem + suffix;
        }
        if (sheetNames_.contains(name.toLower()))
            continue;
        sheet = workbook_add_worksheet(workbook_, name.toUtf8().constData());
        if (sheet) {
            sheetNames_.insert(name.toLower());
            observer->sheetCount_ = n;
        }
    }
    if (!sheet)
        return nullptr;
    const QStringList& columns = observer->owner_ ? observer->owner_->exportColumns() : QStringList();
    for (int c = 0; c < columns.size(); ++c)
        worksheet_write_string(sheet, 0, lxw_col_t(c), columns.at(c).toUtf8().constData(), nullptr);
    observer->sheet_ = sheet;
    observer->row_ = 0;
    return sheet;
}

void DataExportSubject::writeRow(DataExportObserver* observer, const QList<QVariant>& values)
{
    if (!workbook_)
        return;
    if (!observer->sheet_ || observer->row_ + 1 >= rowLimit_) {
        if (!addSheet(observer)) {
            zCritical() << "export: no sheet can be added for" << (observer->owner_ ? observer->owner_->name() : QString());
            observer->exporting_.store(false);
            return;
        }
    }
    observer->hasRows_ = true;
    ++observer->row_;
    const int n = qMin(values.size(), int(LXW_COL_MAX));
    for (int c = 0; c < n; ++c)
        writeValue(observer->sheet_, observer->row_, lxw_col_t(c), values.at(c));
}
