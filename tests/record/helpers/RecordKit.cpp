#include "helpers/RecordKit.h"

#include "foundation/UserPaths.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QtEndian>

namespace kit {

void initFolders()
{
    static bool done = false;
    if (!done) {
        initUserDataFolders();
        done = true;
    }
}

namespace {
quint8 sum8(const QByteArray& b, int n)
{
    quint8 s = 0;
    for (int i = 0; i < n; ++i)
        s = quint8(s + quint8(b.at(i)));
    return s;
}

char payloadByte(int seed, int i, const QByteArray& avoid)
{
    quint8 v = quint8((seed * 131 + i * 29 + 7) & 0xFF);
    while (avoid.contains(char(v)))
        v = quint8(v + 1);
    return char(v);
}
} // namespace

QByteArray fixedFrame(const QByteArray& head, int length, int seed, const QByteArray& avoid)
{
    QByteArray f = head;
    for (int i = head.size(); i < length - 1; ++i)
        f += payloadByte(seed, i, avoid);
    f += char(sum8(f, f.size()));
    return f;
}

QByteArray lengthFrame(const QByteArray& head, int length, int seed, const QByteArray& avoid)
{
    QByteArray f = head;
    f += char(length & 0xFF);
    f += char((length >> 8) & 0xFF);
    for (int i = f.size(); i < length - 1; ++i)
        f += payloadByte(seed, i, avoid);
    f += char(sum8(f, f.size()));
    return f;
}

KitProtocol::KitProtocol(const QString& name, const QByteArray& head, int fixedLength, const QStringList& columns)
    : ProtocolBase(name)
    , DataExportObserver(this)
    , fixed_(fixedLength)
{
    head_ = head;
    frameLength_ = fixedLength;
    minFrameLength_ = fixedLength > 0 ? fixedLength : 6;
    exportColumns_ = columns.isEmpty() ? QStringList{"Index", "Length", "First", "Hex"} : columns;
}

bool KitProtocol::checkFrameLength(const char* data, qint64 available)
{
    if (fixed_ > 0)
        return true;
    if (available < 4)
        return false;
    const int len = qFromLittleEndian<quint16>(reinterpret_cast<const uchar*>(data) + 2);
    frameLength_ = qMax(len, minFrameLength_);
    return true;
}

namespace {
QMutex g_journalMutex;
QList<QPair<QString, QByteArray>> g_journal;
} // namespace

QList<QPair<QString, QByteArray>> KitProtocol::journal()
{
    QMutexLocker lock(&g_journalMutex);
    return g_journal;
}

void KitProtocol::clearJournal()
{
    QMutexLocker lock(&g_journalMutex);
    g_journal.clear();
}

void KitProtocol::parseFrame(const QByteArray& frame)
{
    {
        QMutexLocker lock(&g_journalMutex);
        g_journal.append({name(), frame});
    }
    {
        QMutexLocker lock(&mutex_);
        parsed_.append(frame);
        last_ = frame;
    }
    exportRow();
}

QList<QVariant> KitProtocol::fillExportRow()
{
    QMutexLocker lock(&mutex_);
    const int index = parsed_.size() - 1;
    if (rowMaker)
        return rowMaker(last_, index);
    return {index, last_.size(), last_.size() > head_.size() ? int(quint8(last_.at(head_.size()))) : 0, QString::fromLatin1(last_.toHex())};
}

QList<QByteArray> KitProtocol::parsed() const
{
    QMutexLocker lock(&mutex_);
    return parsed_;
}

int KitProtocol::parseCount() const
{
    QMutexLocker lock(&mutex_);
    return parsed_.size();
}

void KitProtocol::clear()
{
    QMutexLocker lock(&mutex_);
    parsed_.clear();
}

QByteArray HandMadeRecording::bytes() const
{
    QByteArray index;
    QByteArray data;
    auto put64 = [](QByteArray& b, qint64 v) {
        char raw[8];
        qToLittleEndian<qint64>(v, raw);
        b.append(raw, 8);
    };
    auto put32 = [](QByteArray& b, quint32 v) {
        char raw[4];
        qToLittleEndian<quint32>(v, raw);
        b.append(raw, 4);
    };
    for (const auto& c : chunks) {
        put64(index, c.first);
        put64(index, damagedDataPos.value(int(index.size() / 16), data.size()));
        put32(data, quint32(c.second.size()));
        data += c.second;
    }
    QByteArray stampBytes;
    for (const RecordingStamp& s : stamps) {
        put64(stampBytes, s.ms);
        if (s.text.isNull()) {
            put32(stampBytes, 0xFFFFFFFFu);
        } else {
            put32(stampBytes, quint32(s.text.size() * 2));
            for (QChar ch : s.text) {
                char raw[2];
                qToLittleEndian<quint16>(ch.unicode(), raw);
                stampBytes.append(raw, 2);
            }
        }
    }
    RecordingFileHeader h;
    const qint64 framePos = RecordingFileHeader::Size;
    const qint64 dataPos = framePos + index.size();
    h.setField(RecordingFileHeader::LastElapsedMs, chunks.isEmpty() ? 0 : chunks.last().first);
    h.setField(RecordingFileHeader::FrameCount, chunks.size());
    h.setField(RecordingFileHeader::FramePos, framePos);
    h.setField(RecordingFileHeader::FrameSize, index.size());
    h.setField(RecordingFileHeader::DataPos, dataPos);
    h.setField(RecordingFileHeader::DataSize, data.size());
    if (withStampSection) {
        h.setField(RecordingFileHeader::StampCount, stamps.size());
        h.setField(RecordingFileHeader::StampPos, dataPos + data.size());
        h.setField(RecordingFileHeader::StampSize, stampBytes.size());
    } else {
        h.setField(RecordingFileHeader::StampCount, -1);
        h.setField(RecordingFileHeader::StampPos, -1);
        h.setField(RecordingFileHeader::StampSize, -1);
    }
    const qint64 total = dataPos + data.size() + (withStampSection ? stampBytes.size() : 0);
    h.setField(RecordingFileHeader::FileSize, total);
    if (tamper)
        tamper(h);
    if (seal)
        h.seal();
    QByteArray out(reinterpret_cast<const char*>(h.bytes), RecordingFileHeader::Size);
    out += index;
    out += data;
    if (withStampSection)
        out += stampBytes;
    return out;
}

bool HandMadeRecording::write(const QString& path) const
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    const QByteArray b = bytes();
    return f.write(b) == b.size();
}

QList<QPair<QString, QList<QStringList>>> readWorkbook(const QString& path, QString* error)
{
    static const char* script =
        "import json, sys, openpyxl\n"
        "wb = openpyxl.load_workbook(sys.argv[1], read_only=True)\n"
        "out = []\n"
        "for ws in wb.worksheets:\n"
        "    rows = [[repr(c) for c in r] for r in ws.iter_rows(values_only=True)]\n"
        "    out.append([ws.title, rows])\n"
        "print(json.dumps(out))\n";
    QProcess p;
    p.start("/usr/bin/python3", {"-c", script, path});
    QList<QPair<QString, QList<QStringList>>> result;
    if (!p.waitForFinished(60000) || p.exitCode() != 0) {
        if (error)
            *error = QString::fromLocal8Bit(p.readAllStandardError());
        return result;
    }
    const QJsonArray sheets = QJsonDocument::fromJson(p.readAllStandardOutput()).array();
    for (const QJsonValue& s : sheets) {
        const QJsonArray pair = s.toArray();
        QList<QStringList> rows;
        for (const QJsonValue& r : pair.at(1).toArray()) {
            QStringList cells;
            for (const QJsonValue& c : r.toArray())
                cells << c.toString();
            rows << cells;
        }
        result.append({pair.at(0).toString(), rows});
    }
    return result;
}

} // namespace kit
