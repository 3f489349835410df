#include "record/ReplayCharger.h"

#include "foundation/UserPaths.h"
#include "foundation/ZLog.h"
#include "protocol/ProtocolFrameExtraction.h"

#include <QCryptographicHash>
#include <QDir>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <future>
#include <vector>

namespace {
QString md5Name(const char* word)
{
    return QString::fromLatin1(QCryptographicHash::hash(QByteArray(word), QCryptographicHash::Md5).toHex());
}

} // namespace

// What one tick did, reported once the lock is released so that a receiver in the
// same thread may call back into the charger.
struct ReplayCharger::TickReport
{
    std::vector<qint64> sent;
    bool finished = false;
    qint64 damagedMs = -1; // the time of a damaged record the tick stopped at
};

ReplayCharger::ReplayCharger(QObject* parent)
    : QObject(parent)
    , timer_(new QTimer(this))
{
    timer_->setTimerType(Qt::PreciseTimer);
    timer_->setSingleShot(false);
    timer_->setInterval(0);
    connect(timer_, &QTimer::timeout, this, &ReplayCharger::readData);
    frameStream_.setByteOrder(QDataStream::LittleEndian);
    dataStream_.setByteOrder(QDataStream::LittleEndian);
}

ReplayCharger::~ReplayCharger()
{
    std::lock_guard<std::mutex> lock(mutex_);
    closeFilesLocked();
}

void ReplayCharger::runHere(const std::function<void()>& f)
{
    QThread* own = thread();
    if (own == QThread::currentThread() || !own || !own->isRunning()) {
        // No event loop of the own thread can run a tick meanwhile.
        f();
        return;
    }
    // Waits on a standard promise rather than a blocking queued call, so that the
    // hand-over is visible to thread checkers as well.
    std::promise<void> done;
    std::future<void> finished = done.get_future();
    QMetaObject::invokeMethod(this, [&f, &done] {
        f();
        done.set_value();
    }, Qt::QueuedConnection);
    finished.wait();
}

void ReplayCharger::setChunkSink(ChunkSink sink)
{
    std::lock_guard<std::mutex> lock(mutex_);
    sink_ = std::move(sink);
}

bool ReplayCharger::startReplay(const QString& path)
{
    bool ok = false;
    runHere([&] {
        std::lock_guard<std::mutex> lock(mutex_);
        ok = startLocked(path);
    });
    return ok;
}

bool ReplayCharger::openSection(QFile& recording, QFile& target, qint64 pos, qint64 size, const char* msg0,
                                const char* msg1)
{
    target.close();
    if (!target.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        zCritical() << msg0;
        return false;
    }
    if (!copySection(recording, target, pos, size) || !target.flush()) {
        zCritical() << "start replay failed, copying a section of the recording failed:" << target.fileName();
        target.close();
        return false;
    }
    target.close();
    if (!target.open(QIODevice::ReadOnly)) {
        zCritical() << msg1;
        return false;
    }
    return true;
}

bool ReplayCharger::startLocked(const QString& path)
{
    timer_->stop();
    closeFilesLocked();

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        zCritical() << "start replay failed, can't open file" << path;
        return false;
    }
    RecordingFileHeader header;
    if (file.read(reinterpret_cast<char*>(header.bytes), RecordingFileHeader::Size) != RecordingFileHeader::Size) {
        zCritical() << "file.read(&header_,sizeof(header_)) != sizeof(header_)";
        return false;
    }
    if (!header.verify()) {
        zCritical() << "!ZAlgo::verifyCheckSum8(&header_,sizeof(header_))";
        return false;
    }
    // An empty recording is 81 zero bytes (its size field is 0): it is told apart as
    // empty before its size is compared.
    if (header.frameCount() <= 0) {
        zInfo() << "No data needs to be replayed";
        return false;
    }
    if (header.fileSize() != file.size()) {
        zCritical() << QStringLiteral("header_.fileSize != file_.size():%1,%2").arg(header.fileSize()).arg(file.size());
        return false;
    }
    const QString damage = header.checkSections(file.size());
    if (!damage.isEmpty()) {
        zCritical() << "start replay failed, damaged recording file:" << damage;
        return false;
    }

    // A private folder of this user (mode 0700, unique name): no other user's file or
    // link is written through, and two instances never share a file.
    if (!tempFolder_ || !tempFolder_->isValid()) {
        const QString base = tempDir.isEmpty() ? QDir::tempPath() : tempDir;
        tempFolder_.reset(new QTemporaryDir(base + "/talmeno_replay_XXXXXX"));
        if (!tempFolder_->isValid()) {
            zCritical() << "start replay failed, can't create a temporary folder in" << base;
            tempFolder_.reset();
            return false;
        }
    }
    frameFile_.setFileName(tempFolder_->filePath(md5Name("frame")));
    dataFile_.setFileName(tempFolder_->filePath(md5Name("data")));

    if (!openSection(file, frameFile_, header.framePos(), header.frameSize(), "start replay failed,can't open fileFrame_ 0",
                     "start replay failed,can't open fileFrame_ 1")) {
        closeFilesLocked();
        return false;
    }
    frameStream_.setDevice(&frameFile_);
    frameStream_.setByteOrder(QDataStream::LittleEndian);
    if (!openSection(file, dataFile_, header.dataPos(), header.dataSize(), "start replay failed,can't open fileData_ 0",
                     "start replay failed,can't open fileData_ 1")) {
        closeFilesLocked();
        return false;
    }
    dataStream_.setDevice(&dataFile_);
    dataStream_.setByteOrder(QDataStream::LittleEndian);

    QList<RecordingStamp> stamps;
    if (header.hasStamps()) {
        if (!file.seek(header.stampPos())) {
            zCritical() << "start replay failed, can't read the stamp section";
            closeFilesLocked();
            return false;
        }
        QDataStream in(&file);
        in.setByteOrder(QDataStream::LittleEndian);
        const qint64 sectionEnd = header.stampPos() + header.stampSize();
        for (qint64 i = 0; i < header.stampCount(); ++i) {
            RecordingStamp stamp;
            in >> stamp.ms >> stamp.text;
            if (in.status() != QDataStream::Ok || file.pos() > sectionEnd) {
                zCritical() << "start replay failed, stamp" << i << "lies outside the stamp section";
                closeFilesLocked();
                return false;
            }
            stamps.append(stamp);
        }
    }
    file.close();

    header_ = header;
    stamps_ = stamps;
    open_ = true;
    damageSaid_ = false;
    rewindLocked();
    return true;
}

void ReplayCharger::closeFilesLocked()
{
    frameStream_.setDevice(nullptr);
    dataStream_.setDevice(nullptr);
    frameFile_.close();
    dataFile_.close();
    open_ = false;
}

void ReplayCharger::rewind()
{
    runHere([this] {
        std::lock_guard<std::mutex> lock(mutex_);
        rewindLocked();
    });
}

void ReplayCharger::rewindLocked()
{
    frameIndex_ = 0;
    currentMs_ = 0;
    damagedIndex_ = -1;
    timer_->stop();
    if (!open_)
        return;
    frameFile_.seek(0);
    dataFile_.seek(0);
    frameStream_.resetStatus();
    dataStream_.resetStatus();
}

bool ReplayCharger::removeTempFiles()
{
    runHere([this] {
        std::lock_guard<std::mutex> lock(mutex_);
        timer_->stop();
        closeFilesLocked();
        if (!frameFile_.fileName().isEmpty())
            QFile::remove(frameFile_.fileName());
        if (!dataFile_.fileName().isEmpty())
            QFile::remove(dataFile_.fileName());
        frameFile_.setFileName(QString());
        dataFile_.setFileName(QString());
        frameIndex_ = 0;
        currentMs_ = 0;
    });
    return true;
}

void ReplayCharger::setSpeed(double speed)
{
    if (!(speed >= 0.01 && speed <= 100.0))
        return;
    std::lock_guard<std::mutex> lock(mutex_);
    speed_ = speed;
}

double ReplayCharger::speed() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return speed_;
}

void ReplayCharger::setPlaying(bool playing)
{
    runHere([this, playing] {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (!playing || !open_) {
                timer_->stop();
                return;
            }
            timer_->start();
        }
        readData();
    });
}

bool ReplayCharger::readRecordLocked(qint64 index, qint64& ms, qint64& dataPos)
{
    if (!frameFile_.seek(index * RecordingFileHeader::FrameRecordSize))
        return false;
    frameStream_.resetStatus();
    frameStream_ >> ms >> dataPos;
    return frameStream_.status() == QDataStream::Ok;
}

bool ReplayCharger::dataPosInsideLocked(qint64 dataPos) const
{
    return dataPos >= 0 && dataPos <= header_.dataSize() - 4;
}

void ReplayCharger::stopDamagedLocked(qint64 record, qint64 ms, qint64 dataPos)
{
    timer_->stop();
    currentMs_ = ms;
    damagedIndex_ = frameIndex_;
    if (damageSaid_)
        return;
    damageSaid_ = true;
    zCritical() << QStringLiteral("replay stopped, damaged recording: record %1 (%2 ms) points to data position %3, "
                                  "outside the data section of %4 bytes")
                       .arg(record)
                       .arg(ms)
                       .arg(dataPos)
                       .arg(header_.dataSize());
}

void ReplayCharger::jumpTo(qlonglong ms)
{
    runHere([this, ms] { jumpHere(ms); });
}

void ReplayCharger::jumpHere(qint64 ms)
{
    bool playing = false;
    qint64 damagedMs = -1;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!open_)
            return;
        const qint64 count = header_.frameCount();
        const qint64 last = header_.lastElapsedMs();
        qint64 i = 0;
        if (last > 0 && ms > 0) {
            // 128-bit product: hostile headers cannot overflow it.
            const __int128 estimate = __int128(ms) * count / last;
            i = qint64(qBound<__int128>(0, estimate, count - 1));
        }
        qint64 above = -1;
        qint64 below = -1;
        for (;;) {
            qint64 t = 0;
            qint64 pos = 0;
            if (!readRecordLocked(i, t, pos))
                break;
            if (t > ms) {
                above = i;
                if (i - 1 < 0)
                    break;
                --i;
            } else if (t < ms) {
                below = i;
                if (i + 1 >= count)
                    break;
                ++i;
            } else {
                break;
            }
            if (above >= 0 && below >= 0)
                break;
        }
        const qint64 result = (below >= 0 && above >= below) ? below : i;
        frameIndex_ = result;
        damagedIndex_ = -1;
        qint64 t = 0;
        qint64 pos = 0;
        if (readRecordLocked(result, t, pos)) {
            if (!dataPosInsideLocked(pos)) {
                stopDamagedLocked(result, t, pos);
                damagedMs = t;
            } else {
                currentMs_ = t;
                currentDataPos_ = pos;
                dataFile_.seek(pos);
                dataStream_.resetStatus();
            }
        }
        playing = timer_->isActive();
    }
    if (damagedMs >= 0)
        emit replayDamaged(damagedMs);
    else if (playing)
        readData();
}

int ReplayCharger::waitBetween(qint64 previousMs, qint64 nextMs) const
{
    // Times of a damaged file may run backwards or leap past the recording's end:
    // that chunk goes on at once. Checked first, so the difference cannot overflow.
    if (nextMs <= previousMs || nextMs > header_.lastElapsedMs() || previousMs < 0)
        return 0;
    const double interval = double(nextMs - previousMs) / speed_;
    return int(qMin(interval, double(INT_MAX)));
}

void ReplayCharger::readData()
{
    TickReport report;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        readDataLocked(report);
    }
    for (qint64 ms : report.sent)
        emit msChanged(ms);
    if (report.finished)
        emit replayFinished();
    if (report.damagedMs >= 0)
        emit replayDamaged(report.damagedMs);
}

void ReplayCharger::readDataLocked(TickReport& report)
{
    if (!open_) {
        timer_->stop();
        return;
    }
    if (frameIndex_ == damagedIndex_) {
        // Stopped at a damaged record: played again, it stays there.
        timer_->stop();
        report.damagedMs = currentMs_;
        return;
    }
    ChunkSink sink = sink_;
    ProtocolFrameExtraction* extraction = sink ? nullptr : ProtocolFrameExtraction::instance();
    const qint64 start = currentMs_;
    for (;;) {
        QByteArray chunk;
        dataStream_ >> chunk;
        if (!chunk.isEmpty()) {
            if (sink)
                sink(chunk);
            else
                extraction->appendData(chunk);
        }
        report.sent.push_back(currentMs_);
        ++frameIndex_;
        if (frameIndex_ >= header_.frameCount()) {
            currentMs_ = 0;
            frameIndex_ = 0;
            timer_->stop();
            frameFile_.seek(0);
            dataFile_.seek(0);
            frameStream_.resetStatus();
            dataStream_.resetStatus();
            report.finished = true;
            return;
        }
        qint64 t = 0;
        qint64 pos = 0;
        frameStream_ >> t >> pos;
        if (!dataPosInsideLocked(pos)) {
            // The index stream stands just past the record read.
            stopDamagedLocked(frameFile_.pos() / RecordingFileHeader::FrameRecordSize - 1, t, pos);
            report.damagedMs = t;
            return;
        }
        currentMs_ = t;
        currentDataPos_ = pos;
        if (currentMs_ == start)
            continue;
        timer_->setInterval(waitBetween(start, currentMs_));
        return;
    }
}

QList<RecordingStamp> ReplayCharger::stamps() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return stamps_;
}

RecordingFileHeader ReplayCharger::header() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return header_;
}

qint64 ReplayCharger::frameIndex() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return frameIndex_;
}

qint64 ReplayCharger::currentMs() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return currentMs_;
}

bool ReplayCharger::isPlaying() const
{
    // The timer belongs to the own thread: ask there.
    bool active = false;
    const_cast<ReplayCharger*>(this)->runHere([&] { active = timer_->isActive(); });
    return active;
}

int ReplayCharger::timerInterval() const
{
    int interval = 0;
    const_cast<ReplayCharger*>(this)->runHere([&] { interval = timer_->interval(); });
    return interval;
}

QString ReplayCharger::frameFilePath() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return open_ ? frameFile_.fileName() : QString();
}

QString ReplayCharger::dataFilePath() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return open_ ? dataFile_.fileName() : QString();
}

bool ReplayCharger::copySection(QIODevice& source, QIODevice& destination, qint64 position, qint64 size)
{
    if (position < 0 || size < 0 || !source.seek(position))
        return false;
    constexpr qint64 Block = 1048576;
    qint64 remaining = size;
    while (remaining > 0) {
        const QByteArray buffer = source.read(qMin(remaining, Block));
        if (buffer.isEmpty())
            return false; // the source ended early
        if (destination.write(buffer) != buffer.size())
            return false;
        remaining -= buffer.size();
    }
    return true;
}
