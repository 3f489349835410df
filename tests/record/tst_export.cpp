// The Excel export: sheets made at their first row for the protocols active at the
// start, header and value rows read back with openpyxl, values Excel cannot hold,
// continuation sheets at the row limit, a failed save, an export with no protocol
// and rows written from the processing side while exports start and end.

#include "support/testenv.h"

#include "foundation/UserPaths.h"
#include "foundation/ZHooks.h"
#include "helpers/RecordKit.h"
#include "record/DataExportObserver.h"
#include "views/ViewHooks.h"

#include <QDateTime>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <atomic>
#include <cmath>
#include <limits>
#include <thread>

using Workbook = QList<QPair<QString, QList<QStringList>>>;

namespace {
QStringList sheetNames(const Workbook& wb)
{
    QStringList names;
    for (const auto& s : wb)
        names << s.first;
    return names;
}

QByteArray frameFor(const QByteArray& head, int seed)
{
    return kit::fixedFrame(head, 12, seed);
}
} // namespace

class TestExport : public QObject
{
    Q_OBJECT

    QStringList openedFolders_;
    QStringList boxes_;

    Workbook readBack(const QString& file)
    {
        DataExportSubject::instance()->waitForSaves();
        QString error;
        const Workbook wb = kit::readWorkbook(file, &error);
        if (!error.isEmpty())
            qWarning() << error;
        return wb;
    }

private slots:
    void initTestCase()
    {
        kit::initFolders();
        ViewHooks::setOpenFolderHook([this](const QString& path) { openedFolders_ << path; });
        messageBoxHook = [this](const QString& text) { boxes_ << text; };
    }

    void cleanup()
    {
        DataExportSubject::instance()->setSheetRowLimit(DataExportSubject::SheetRowLimit);
    }

    void sheetsFollowFirstRows()
    {
        kit::KitProtocol first("Vexa_Sarvel_Frame0", QByteArray("\x57\x01", 2), 12);
        kit::KitProtocol quiet("Vexa_Trelvan_Node_Frame0", QByteArray("\x55\x02", 2), 12);
        kit::KitProtocol second("Vexa_Trelvan_Node_Frame1", QByteArray("\x55\x03", 2), 12, {"Idx", "Len", "B2", "Hex"});
        kit::KitProtocol late("iot_frame0", QByteArray("\x55\x06", 2), 12);
        first.setActive(true);
        quiet.setActive(true);
        second.setActive(true);

        DataExportSubject* subject = DataExportSubject::instance();
        openedFolders_.clear();
        QVERIFY(subject->setExporting(true));
        QVERIFY(subject->isExporting());
        QVERIFY(first.isExporting());
        QVERIFY(!late.isExporting());
        late.setActive(true); // too late for this export

        // The second protocol decodes first: its sheet comes first.
        QList<QByteArray> secondFrames;
        QList<QByteArray> firstFrames;
        for (int i = 0; i < 5; ++i) {
            secondFrames << frameFor("\x55\x03", i);
            second.processFrame(secondFrames.last());
            late.processFrame(frameFor("\x55\x06", i));
        }
        for (int i = 0; i < 3; ++i) {
            firstFrames << frameFor("\x57\x01", 100 + i);
            first.processFrame(firstFrames.last());
        }
        QVERIFY(second.hasRows());
        QVERIFY(!quiet.hasRows());
        QVERIFY(subject->setExporting(false));
        QVERIFY(!subject->isExporting());
        QVERIFY(!first.isExporting());
        // Rows after the end go nowhere.
        first.processFrame(frameFor("\x57\x01", 9));

        const QString file = subject->fileName();
        QCOMPARE(QFileInfo(file).absolutePath(), QFileInfo(exportDataDir).absoluteFilePath());
        QVERIFY2(QRegularExpression("^_\\d{8}_\\d{6}\\.xlsx$").match(QFileInfo(file).fileName()).hasMatch(), qPrintable(file));
        QVERIFY(subject->waitForSaves());
        QTRY_COMPARE(openedFolders_, QStringList{QFileInfo(exportDataDir).absoluteFilePath()});

        const Workbook wb = readBack(file);
        QCOMPARE(sheetNames(wb), (QStringList{"Vexa_Trelvan_Node_Frame1", "Vexa_Sarvel_Frame0"}));
        const QList<QStringList>& rows = wb.at(0).second;
        QCOMPARE(rows.size(), 6);
        QCOMPARE(rows.at(0), (QStringList{"'Idx'", "'Len'", "'B2'", "'Hex'"}));
        for (int i = 0; i < 5; ++i) {
            const QByteArray& f = secondFrames.at(i);
            QCOMPARE(rows.at(i + 1), (QStringList{QString::number(i), "12", QString::number(quint8(f.at(2))),
                                                  "'" + QString::fromLatin1(f.toHex()) + "'"}));
        }
        const QList<QStringList>& firstRows = wb.at(1).second;
        QCOMPARE(firstRows.size(), 4);
        QCOMPARE(firstRows.at(0), (QStringList{"'Index'", "'Length'", "'First'", "'Hex'"}));
        QCOMPARE(firstRows.at(3).at(3), "'" + QString::fromLatin1(firstFrames.at(2).toHex()) + "'");

        // The protocol activated during the last export takes part in the next.
        QVERIFY(subject->setExporting(true));
        late.processFrame(frameFor("\x55\x06", 50));
        QVERIFY(subject->setExporting(false));
        QCOMPARE(sheetNames(readBack(subject->fileName())), QStringList{"iot_frame0"});
    }

    void valuesExcelCannotHoldStayReadable()
    {
        kit::KitProtocol p("Vexa_Sarvel-Vora_Frame0_64", QByteArray("\x57\x02", 2), 12,
                           {"int", "double", "nan", "inf", "-inf", "text", "bool", "none", "big", "unicode"});
        p.rowMaker = [](const QByteArray&, int index) {
            return QList<QVariant>{index,
                                   1.5,
                                   std::numeric_limits<double>::quiet_NaN(),
                                   std::numeric_limits<float>::infinity(),
                                   -std::numeric_limits<double>::infinity(),
                                   QString("a <b> & \"c\""),
                                   true,
                                   QVariant(),
                                   qint64(1) << 40,
                                   QString::fromUtf8("\xe6\xb5\x8b\xe8\xb7\x9d")};
        };
        p.setActive(true);
        DataExportSubject* subject = DataExportSubject::instance();
        QVERIFY(subject->setExporting(true));
        p.processFrame(frameFor("\x57\x02", 1));
        QVERIFY(subject->setExporting(false));
        const Workbook wb = readBack(subject->fileName());
        QCOMPARE(wb.size(), 1);
        const QStringList row = wb.at(0).second.at(1);
        QCOMPARE(row.mid(0, 9), (QStringList{"0", "1.5", "'nan'", "'inf'", "'-inf'", "'a <b> & \"c\"'", "True", "None",
                                             "1099511627776"}));
        QCOMPARE(row.at(9), QString::fromUtf8("'\xe6\xb5\x8b\xe8\xb7\x9d'"));
    }

    void fullSheetsContinueOnNewSheets()
    {
        DataExportSubject* subject = DataExportSubject::instance();
        subject->setSheetRowLimit(4); // header + 3 rows per sheet
        kit::KitProtocol longName("Vexa_Trelvan_AOA_Node_Frame0_with_a_long_suffix", QByteArray("\x55\x07", 2), 12);
        kit::KitProtocol sameStart("Vexa_Trelvan_AOA_Node_Frame0_with_another_one", QByteArray("\x55\x08", 2), 12);
        longName.setActive(true);
        sameStart.setActive(true);
        QVERIFY(subject->setExporting(true));
        for (int i = 0; i < 8; ++i)
            longName.processFrame(frameFor("\x55\x07", i));
        sameStart.processFrame(frameFor("\x55\x08", 0));
        QVERIFY(subject->setExporting(false));

        const Workbook wb = readBack(subject->fileName());
        const QStringList names = sheetNames(wb);
        QCOMPARE(names.size(), 4);
        QCOMPARE(names.at(0), QString("Vexa_Trelvan_AOA_Node_Frame0_wi"));
        QCOMPARE(names.at(1), QString("Vexa_Trelvan_AOA_Node_Frame0_2"));
        QCOMPARE(names.at(2), QString("Vexa_Trelvan_AOA_Node_Frame0_3"));
        for (const QString& n : names)
            QVERIFY(n.size() <= 31);
        QCOMPARE(QSet<QString>(names.begin(), names.end()).size(), 4);
        // Every sheet of the long protocol repeats the header; rows run on in order.
        QStringList indexes;
        for (int s = 0; s < 3; ++s) {
            const QList<QStringList>& rows = wb.at(s).second;
            QCOMPARE(rows.value(0).value(0), QString("'Index'"));
            QVERIFY(rows.size() <= 4);
            for (int r = 1; r < rows.size(); ++r)
                indexes << rows.at(r).value(0);
        }
        QCOMPARE(indexes, (QStringList{"0", "1", "2", "3", "4", "5", "6", "7"}));
        // The other protocol's sheet has a unique name of its own.
        QCOMPARE(wb.at(3).second.size(), 2);
    }

    void failedSaveIsReported()
    {
        const QString saved = exportDataDir;
        QTemporaryDir dir;
        QFile blocker(dir.filePath("file"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        exportDataDir = blocker.fileName() + "/export_data";

        kit::KitProtocol p("Vexa_Trelvan_Node_Frame2", QByteArray("\x55\x04", 2), 12);
        p.setActive(true);
        DataExportSubject* subject = DataExportSubject::instance();
        QCoreApplication::processEvents(); // folder openings of earlier saves
        boxes_.clear();
        openedFolders_.clear();
        kit::LogCapture log;
        // The workbook is made in memory; the failure shows when it is saved.
        QVERIFY(subject->setExporting(true));
        p.processFrame(frameFor("\x55\x04", 1));
        // The save runs on its own thread: the end returns at once, the wait tells.
        QVERIFY(subject->setExporting(false));
        QVERIFY(!subject->waitForSaves());
        QCOMPARE(boxes_.size(), 1);
        QCOMPARE(boxes_.first(), subject->fileName() + " save failed");
        QVERIFY(log.contains(subject->fileName() + " save failed"));
        QVERIFY(!subject->isExporting());
        QCoreApplication::processEvents();
        QVERIFY(openedFolders_.isEmpty());
        QVERIFY(subject->waitForSaves()); // the failure was told once
        exportDataDir = saved;

        // The next export works again.
        QVERIFY(subject->setExporting(true));
        p.processFrame(frameFor("\x55\x04", 2));
        QVERIFY(subject->setExporting(false));
        QCOMPARE(readBack(subject->fileName()).value(0).second.size(), 2);
    }

    void noActiveProtocolStillSavesAFile()
    {
        for (ProtocolBase* p : ProtocolBase::activeProtocols())
            p->setActive(false);
        DataExportSubject* subject = DataExportSubject::instance();
        QVERIFY(subject->setExporting(true));
        const QString file = subject->fileName();
        QFile::remove(file);
        QVERIFY(subject->setExporting(false));
        QVERIFY(subject->waitForSaves());
        QVERIFY(QFile::exists(file));
        QCOMPARE(sheetNames(readBack(file)), QStringList{"Sheet1"});
    }

    void rowsRaceStartAndEnd()
    {
        // Rows come from another thread, as from the processing thread, while the
        // GUI side starts and ends exports: every saved file is whole and every
        // sheet holds consecutive rows under its header.
        kit::KitProtocol p("Vexa_Trelvan_Node_Frame3", QByteArray("\x55\x05", 2), 12);
        std::atomic<int> counter{0};
        p.rowMaker = [&counter](const QByteArray&, int) { return QList<QVariant>{counter.fetch_add(1), "x"}; };
        p.setActive(true);
        std::atomic<bool> stop{false};
        const QByteArray frame = frameFor("\x55\x05", 3);
        std::thread producer([&] {
            while (!stop.load())
                p.exportRow();
        });
        DataExportSubject* subject = DataExportSubject::instance();
        QStringList files;
        for (int i = 0; i < 3; ++i) {
            QVERIFY(subject->setExporting(true));
            const qint64 second = QDateTime::currentSecsSinceEpoch(); // not earlier than the file name's
            // The producer writes into this export before it ends.
            const int before = counter.load();
            QTRY_VERIFY_WITH_TIMEOUT(counter.load() >= before + 10, 5000);
            QVERIFY(subject->setExporting(false));
            files << subject->fileName();
            QTRY_VERIFY_WITH_TIMEOUT(QDateTime::currentSecsSinceEpoch() > second, 5000); // a new file name
        }
        stop = true;
        producer.join();
        files.removeDuplicates();
        QCOMPARE(files.size(), 3);
        for (const QString& f : files) {
            const Workbook wb = readBack(f);
            QCOMPARE(wb.size(), 1);
            const QList<QStringList>& rows = wb.at(0).second;
            QVERIFY2(rows.size() > 1, qPrintable(f));
            QCOMPARE(rows.at(0).value(0), QString("'Index'"));
            int previous = rows.at(1).value(0).toInt();
            for (int r = 2; r < rows.size(); ++r) {
                const int v = rows.at(r).value(0).toInt();
                QVERIFY(v > previous);
                previous = v;
            }
        }
    }

    void destroyingTheSubjectSavesTheExport()
    {
        kit::KitProtocol p("Vexa_Trelvan_Node_Frame4", QByteArray("\x55\x09", 2), 12);
        p.setActive(true);
        DataExportSubject* subject = DataExportSubject::instance();
        QVERIFY(subject->setExporting(true));
        const QString file = subject->fileName();
        p.processFrame(frameFor("\x55\x09", 1));
        DataExportSubject::destroyInstance();
        QCOMPARE(readBack(file).value(0).second.size(), 2);
        // An observer outliving the subject goes quietly.
        p.exportRow();
    }
};

TALMENO_TEST_MAIN(TestExport)
#include "tst_export.moc"
