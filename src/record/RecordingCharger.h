#pragma once

#include "record/RecordingFile.h"

#include <QDataStream>
#include <QDateTime>
#include <QElapsedTimer>
#include <QObject>
#include <QTemporaryFile>

class QIODevice;

// Records the raw byte stream of the serial port chunk by chunk, with each chunk's
// time of arrival, into a recording file "<recording folder>/<page>_<time>.dat".
// Chunks collect in two temporary files (index and data) while recording; finishing
// writes the header and both sections into the recording file.
// start, record and finish run on the GUI thread (record is connected directly to
// the port), although the object lives in thread slot 1.
class RecordingCharger : public QObject
{
    Q_OBJECT
public:
    explicit RecordingCharger(QObject* parent = nullptr);
    ~RecordingCharger() override;

    bool startRecording();
    bool finishRecording();
    bool isRecording() const { return recording_; }

    // Copies the whole of source to the end of destination, 1 MiB at a time.
    static bool appendFile(QIODevice& destination, QIODevice& source);
    // "<recording folder>/<managerName>_<yyyyMMdd_HHmmss>.dat"
    static QString recordingFileName(const QString& managerName, const QDateTime& time);

    QString fileName() const { return fileName_; }
    const RecordingFileHeader& header() const { return header_; }

public slots:
    void record(const QByteArray& chunk);

signals:
    void recordingStatusChanged(bool isRecording);

private:
    bool failWriting(const char* what);

    QTemporaryFile frameFile_;
    QDataStream frameStream_;
    QTemporaryFile dataFile_;
    QDataStream dataStream_;
    RecordingFileHeader header_;
    QString fileName_;
    QElapsedTimer clock_;
    bool recording_ = false;
    // Set when a temporary file refused a write: the recording would be short.
    bool writeFailed_ = false;
};
