#pragma once

#include "record/RecordingFile.h"

#include <QDataStream>
#include <QFile>
#include <QList>
#include <QObject>

#include <functional>
#include <memory>
#include <mutex>

class QTemporaryDir;
class QTimer;

// Plays a recording file back into frame extraction: checks the file, splits its
// index and data sections into two temporary files in a private folder, and on a
// timer appends the recorded chunks to the extraction's input at the recorded pace,
// scaled by the speed. Lives in thread slot 1; every operation that touches the
// files or the timer runs on that thread (callers on other threads wait for it), so
// that no tick reads files that are being rewound or removed.
class ReplayCharger : public QObject
{
    Q_OBJECT
public:
    explicit ReplayCharger(QObject* parent = nullptr);
    ~ReplayCharger() override;

    // Checks and splits a recording file and rewinds; true when the replay can start.
    bool startReplay(const QString& path);
    void setSpeed(double speed);
    double speed() const;
    void rewind();
    // Stops playing, closes and deletes both temporary files.
    bool removeTempFiles();

    QList<RecordingStamp> stamps() const;
    RecordingFileHeader header() const;
    qint64 frameIndex() const;
    qint64 currentMs() const;
    bool isPlaying() const;
    // Milliseconds until the next tick, as last set.
    int timerInterval() const;
    // The temporary files while a replay is open (empty otherwise).
    QString frameFilePath() const;
    QString dataFilePath() const;

    // Copies size bytes from position of source to destination, 1 MiB at a time;
    // false when the source is short or a write fails.
    static bool copySection(QIODevice& source, QIODevice& destination, qint64 position, qint64 size);

    // Where chunks go; the frame extraction's appendData unless replaced (benchmarks).
    using ChunkSink = std::function<void(const QByteArray&)>;
    void setChunkSink(ChunkSink sink);

public slots:
    void setPlaying(bool playing);
    void jumpTo(qlonglong ms);
    void readData();

signals:
    void msChanged(qlonglong ms);
    void replayFinished();
    // The replay stopped at the record of ms: its data position lies outside the data
    // file (the log says it once per opened recording).
    void replayDamaged(qlonglong ms);

private:
    // Runs f on this object's thread and waits for it.
    void runHere(const std::function<void()>& f);
    bool startLocked(const QString& path);
    void rewindLocked();
    void jumpHere(qint64 ms);
    void closeFilesLocked();
    struct TickReport;
    // Sends the chunks due at this tick (readData's work under mutex_).
    void readDataLocked(TickReport& report);
    bool readRecordLocked(qint64 index, qint64& ms, qint64& dataPos);
    // Whether a chunk record (its 4-byte count at least) can start at dataPos.
    bool dataPosInsideLocked(qint64 dataPos) const;
    // Stops at a record whose data position lies outside the data file; the caller
    // emits replayDamaged once the lock is released.
    void stopDamagedLocked(qint64 record, qint64 ms, qint64 dataPos);
    // The timer interval between two chunk times at the current speed. Under mutex_.
    int waitBetween(qint64 previousMs, qint64 nextMs) const;
    bool openSection(QFile& recording, QFile& target, qint64 pos, qint64 size, const char* msg0, const char* msg1);

    mutable std::mutex mutex_;
    QFile frameFile_;
    QDataStream frameStream_;
    QFile dataFile_;
    QDataStream dataStream_;
    QList<RecordingStamp> stamps_;
    RecordingFileHeader header_;
    QTimer* timer_ = nullptr;
    qint64 frameIndex_ = 0;
    qint64 currentMs_ = 0;
    qint64 currentDataPos_ = 0;
    double speed_ = 1.0;
    bool open_ = false;
    // The record the replay stopped at for a data position outside the data file
    // (-1: none); nothing is read from there.
    qint64 damagedIndex_ = -1;
    bool damageSaid_ = false;
    std::unique_ptr<QTemporaryDir> tempFolder_;
    ChunkSink sink_;
};
