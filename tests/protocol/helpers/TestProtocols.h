#pragma once

#include "protocol/ProtocolBase.h"

#include <QByteArray>
#include <QList>
#include <QMutex>
#include <QStringList>
#include <QThread>

#include <atomic>

// Frame builders, written independently of the program's own checksum code.
namespace frames {
quint8 sum8(const QByteArray& bytes, int n);
// head + payload bytes from seed (none equal to any byte in avoid) + 8-bit sum; length in total.
QByteArray fixed(const QByteArray& head, int length, quint32 seed, const QByteArray& avoid = QByteArray());
// head, little-endian 16-bit total length, payload, 8-bit sum.
QByteArray lengthField(const QByteArray& head, int length, quint32 seed, const QByteArray& avoid = QByteArray());
// "$" + body + "*" + two hex digits of the XOR of body + "\r\n".
QByteArray nmea(const QByteArray& body);
} // namespace frames

// Records what the pipeline does with it; safe to read from the test thread.
class RecordingProtocol : public ProtocolBase
{
    Q_OBJECT
public:
    RecordingProtocol(const QString& name, const QByteArray& head, QObject* parent = nullptr);

    QList<QByteArray> parsed() const;
    QStringList calls() const; // "register" and "parse" in call order
    int parseCount() const { return parseCount_.load(); }
    QThread* parseThread() const { return parseThread_.load(); }
    QThread* searchThread() const { return searchThread_.load(); }
    void setMaxFrameLength(int n) { maxFrameLength_ = n; }
    using ProtocolBase::emitParseFinished_;

    void registerDataItems() override;
    void parseFrame(const QByteArray& frame) override;

protected:
    void noteSearch() { searchThread_.store(QThread::currentThread()); }

private:
    mutable QMutex mutex_;
    QList<QByteArray> parsed_;
    QStringList calls_;
    std::atomic<int> parseCount_{0};
    std::atomic<QThread*> parseThread_{nullptr};
    std::atomic<QThread*> searchThread_{nullptr};
};

// Fixed length, 8-bit sum in the last byte.
class FixedProtocol : public RecordingProtocol
{
    Q_OBJECT
public:
    FixedProtocol(const QString& name, const QByteArray& head, int length, QObject* parent = nullptr);
    bool checkFrameLength(const char* data, qint64 available) override;
};

// Total length in bytes 2..3 (little-endian), at least minLength; 8-bit sum last.
class LengthFieldProtocol : public RecordingProtocol
{
    Q_OBJECT
public:
    LengthFieldProtocol(const QString& name, const QByteArray& head, int minLength, QObject* parent = nullptr);
    bool checkFrameLength(const char* data, qint64 available) override;
    bool verifyFrame(const char* data) override;
};

// Found by its tail "\r\n"; XOR checksum after '*'.
class SentenceProtocol : public RecordingProtocol
{
    Q_OBJECT
public:
    SentenceProtocol(const QString& name, const QByteArray& head, int minLength = 0, QObject* parent = nullptr);
    bool verifyFrame(const char* data) override;
};
