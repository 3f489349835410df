#include "record/RecordingCharger.h"

#include "foundation/UserPaths.h"
#include "foundation/ZLog.h"
#include "views/RefreshManagers.h" // completes a type ModelViewManagers.h holds in a QPointer
#include "views/ModelViewManagers.h"
#include "views/ViewHooks.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {
QString temporaryTemplate(const char* what)
{
    // Unique names, created exclusively: nothing another user placed there is used.
    const QString folder = tempDir.isEmpty() ? QDir::tempPath() : tempDir;
    return folder + QStringLiteral("/talmeno_recording_%1_XXXXXX").arg(QLatin1String(what));
}

QString currentManagerName()
{
    ModelViewManagers* managers = ModelViewManagers::instance();
    return managers ? managers->currentName() : QString();
}
} // namespace

RecordingCharger::RecordingCharger(QObject* parent)
    : QObject(parent)
    , frameFile_(temporaryTemplate("frame"))
    , dataFile_(temporaryTemplate("data"))
{
    frameStream_.setByteOrder(QDataStream::LittleEndian);
    dataStream_.setByteOrder(QDataStream::LittleEndian);
}

RecordingCharger::~RecordingCharger() = default;

QString RecordingCharger::recordingFileName(const QString& managerName, const QDateTime& time)
{
    return QStringLiteral("%1/%2_%3.dat").arg(recordingDataDir, managerName, time.toString("yyyyMMdd_HHmmss"));
}

bool RecordingCharger::startRecording()
{
    clock_.start();
    header_.clear();
    writeFailed_ = false;

    frameStream_.setDevice(nullptr);
    dataStream_.setDevice(nullptr);
    if (!frameFile_.open() || !frameFile_.resize(0) || !frameFile_.seek(0)) {
        zCritical() << "recording failed, can't open frame file";
        return false;
    }
    frameStream_.setDevice(&frameFile_);
    frameStream_.setByteOrder(QDataStream::LittleEndian);
    frameStream_.resetStatus();

    if (!dataFile_.open() || !dataFile_.resize(0) || !dataFile_.seek(0)) {
        zCritical() << "recording failed, can't open data file";
        frameStream_.setDevice(nullptr);
        frameFile_.close();
        return false;
    }
    dataStream_.setDevice(&dataFile_);
    dataStream_.setByteOrder(QDataStream::LittleEndian);
    dataStream_.resetStatus();

    QDir().mkpath(recordingDataDir);
    fileName_ = recordingFileName(currentManagerName(), QDateTime::currentDateTime());
    recording_ = true;
    emit recordingStatusChanged(true);
    return true;
}

void RecordingCharger::record(const QByteArray& chunk)
{
    if (!recording_)
        return;
    const qint64 t = clock_.elapsed();
    frameStream_ << qint64(t) << qint64(dataFile_.pos());
    dataStream_ << chunk;
    if (frameStream_.status() != QDataStream::Ok || dataStream_.status() != QDataStream::Ok)
        writeFailed_ = true;
    header_.setField(RecordingFileHeader::FrameCount, header_.frameCount() + 1);
    header_.setField(RecordingFileHeader::LastElapsedMs, t);
}

bool RecordingCharger::failWriting(const char* what)
{
    zCritical() << what;
    return false;
}

bool RecordingCharger::finishRecording()
{
    recording_ = false;
    emit recordingStatusChanged(false);

    QFile file(fileName_);
    if (!file.open(QIODevice::WriteOnly)) {
        zCritical() << "finish recording failed,can't open file";
        return false;
    }
    if (file.write(reinterpret_cast<const char*>(header_.bytes), RecordingFileHeader::Size) != RecordingFileHeader::Size) {
        zDebug() << "file.write(reinterpret_cast<char *>(&header_),sizeof(header_)) != sizeof(header_)";
        return false;
    }
    if (header_.frameCount() <= 0) {
        zInfo() << "No data needs to be record";
        return true;
    }
    // A chunk that could not be stored would leave the file short of what the
    // index promises: report it rather than write a file that looks whole.
    if (writeFailed_ || !frameFile_.flush() || !dataFile_.flush())
        return failWriting("recording failed, the temporary files could not be written");

    header_.setField(RecordingFileHeader::FramePos, file.pos());
    header_.setField(RecordingFileHeader::FrameSize, frameFile_.size());
    frameStream_.setDevice(nullptr);
    if (!appendFile(file, frameFile_))
        return failWriting("error occurd when write fileFrame_ to file");

    header_.setField(RecordingFileHeader::DataPos, file.pos());
    header_.setField(RecordingFileHeader::DataSize, dataFile_.size());
    dataStream_.setDevice(nullptr);
    if (!appendFile(file, dataFile_))
        return failWriting("error occurd when write fileData_ to file");

    header_.setField(RecordingFileHeader::StampCount, -1);
    header_.setField(RecordingFileHeader::StampPos, -1);
    header_.setField(RecordingFileHeader::StampSize, -1);

    if (!file.flush())
        return failWriting("finish recording flush failed");
    header_.setField(RecordingFileHeader::FileSize, file.size());
    header_.seal();
    if (!file.seek(0)
        || file.write(reinterpret_cast<const char*>(header_.bytes), RecordingFileHeader::Size) != RecordingFileHeader::Size) {
        return failWriting("file.seek(0);file.write(reinterpret_cast<char *>(&header_),sizeof(header_)) != sizeof(header_)");
    }
    // The header's sizes must be on disk before the file is called finished.
    if (!file.flush())
        return failWriting("finish recording flush failed");
    file.close();
    if (file.error() != QFileDevice::NoError)
        return failWriting("finish recording flush failed");
    ViewHooks::openFolder(QFileInfo(recordingDataDir).absoluteFilePath());
    return true;
}

bool RecordingCharger::appendFile(QIODevice& destination, QIODevice& source)
{
    source.close();
    if (!source.open(QIODevice::ReadOnly)) {
        zCritical() << "recording append file failed";
        return false;
    }
    constexpr qint64 Block = 1048576;
    for (;;) {
        const QByteArray buffer = source.read(Block);
        if (buffer.isEmpty()) {
            // An error while reading is not the end of the file: the copy is short.
            if (source.atEnd() || source.bytesAvailable() == 0)
                break;
            zCritical() << "recording append file failed";
            source.close();
            return false;
        }
        const qint64 written = destination.write(buffer);
        if (written == -1) {
            zCritical() << "destination.write(buffer) == -1";
            source.close();
            return false;
        }
        if (written != buffer.size()) {
            zCritical() << "destination.write(buffer) wrote" << written << "of" << buffer.size() << "bytes";
            source.close();
            return false;
        }
    }
    source.close();
    return true;
}
