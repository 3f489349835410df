#include "TestProtocols.h"

#include <QMutexLocker>
#include <QRandomGenerator>

namespace frames {

quint8 sum8(const QByteArray& bytes, int n)
{
    quint32 s = 0;
    for (int i = 0; i < n; ++i)
        s += static_cast<quint8>(bytes[i]);
    return static_cast<quint8>(s & 0xFF);
}

static QByteArray payload(int n, quint32 seed, const QByteArray& avoid)
{
    QRandomGenerator rng(seed);
    QByteArray p;
    p.reserve(n);
    while (p.size() < n) {
        const char c = static_cast<char>(rng.bounded(256));
        if (!avoid.contains(c))
            p.append(c);
    }
    return p;
}

QByteArray fixed(const QByteArray& head, int length, quint32 seed, const QByteArray& avoid)
{
    QByteArray f = head + payload(length - head.size() - 1, seed, avoid);
    f.append(static_cast<char>(sum8(f, f.size())));
    return f;
}

QByteArray lengthField(const QByteArray& head, int length, quint32 seed, const QByteArray& avoid)
{
    QByteArray f = head;
    f.append(static_cast<char>(length & 0xFF));
    f.append(static_cast<char>((length >> 8) & 0xFF));
    f += payload(length - f.size() - 1, seed, avoid);
    f.append(static_cast<char>(sum8(f, f.size())));
    return f;
}

QByteArray nmea(const QByteArray& body)
{
    quint8 x = 0;
    for (char c : body)
        x ^= static_cast<quint8>(c);
    return "$" + body + "*" + QByteArray::number(x, 16).rightJustified(2, '0').toUpper() + "\r\n";
}

} // namespace frames

RecordingProtocol::RecordingProtocol(const QString& name, const QByteArray& head, QObject* parent)
    : ProtocolBase(name, parent)
{
    head_ = head;
}

QList<QByteArray> RecordingProtocol::parsed() const
{
    QMutexLocker lock(&mutex_);
    return parsed_;
}

QStringList RecordingProtocol::calls() const
{
    QMutexLocker lock(&mutex_);
    return calls_;
}

void RecordingProtocol::registerDataItems()
{
    QMutexLocker lock(&mutex_);
    calls_ << "register";
}

void RecordingProtocol::parseFrame(const QByteArray& frame)
{
    QMutexLocker lock(&mutex_);
    calls_ << "parse";
    parsed_ << frame;
    parseThread_.store(QThread::currentThread());
    ++parseCount_;
}

FixedProtocol::FixedProtocol(const QString& name, const QByteArray& head, int length, QObject* parent)
    : RecordingProtocol(name, head, parent)
{
    frameLength_ = length;
}

bool FixedProtocol::checkFrameLength(const char*, qint64)
{
    noteSearch();
    return true;
}

LengthFieldProtocol::LengthFieldProtocol(const QString& name, const QByteArray& head, int minLength, QObject* parent)
    : RecordingProtocol(name, head, parent)
{
    minFrameLength_ = minLength;
}

bool LengthFieldProtocol::checkFrameLength(const char* data, qint64 available)
{
    noteSearch();
    if (available < 4)
        return false;
    frameLength_ = static_cast<quint8>(data[2]) | (static_cast<quint8>(data[3]) << 8);
    return true;
}

bool LengthFieldProtocol::verifyFrame(const char* data)
{
    return frameLength_ >= minFrameLength_ && ProtocolBase::verifyFrame(data);
}

SentenceProtocol::SentenceProtocol(const QString& name, const QByteArray& head, int minLength, QObject* parent)
    : RecordingProtocol(name, head, parent)
{
    isLengthKnown_ = false;
    tail_ = "\r\n";
    minFrameLength_ = minLength;
}

bool SentenceProtocol::verifyFrame(const char* data)
{
    noteSearch();
    const QByteArray s(data, frameLength_);
    const int star = s.lastIndexOf('*');
    if (s.size() < 6 || s[0] != '$' || star < 0 || star + 5 != s.size())
        return false;
    quint8 x = 0;
    for (int i = 1; i < star; ++i)
        x ^= static_cast<quint8>(s[i]);
    bool ok = false;
    return s.mid(star + 1, 2).toUInt(&ok, 16) == x && ok;
}
