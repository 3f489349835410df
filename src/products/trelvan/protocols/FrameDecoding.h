#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

// Little-endian field readers and the checks shared by the variable-length frames.
// Frames keep raw integers; scaling happens where a value is written out.
namespace Trelvan {

inline quint8 readU8(const char* p)
{
    return static_cast<quint8>(p[0]);
}
inline qint8 readI8(const char* p)
{
    return static_cast<qint8>(p[0]);
}
inline quint16 readU16(const char* p)
{
    const auto* b = reinterpret_cast<const quint8*>(p);
    return static_cast<quint16>(b[0] | (b[1] << 8));
}
inline qint16 readI16(const char* p)
{
    return static_cast<qint16>(readU16(p));
}
inline quint32 readU24(const char* p)
{
    const auto* b = reinterpret_cast<const quint8*>(p);
    return quint32(b[0]) | (quint32(b[1]) << 8) | (quint32(b[2]) << 16);
}
// Three bytes b0 b1 b2 as (b2 << 16 | b1 << 8 | b0), sign-extended from bit 23:
// FF FF FF is -1, 00 00 80 is -8388608.
inline qint32 readInt24(const char* p)
{
    const quint32 v = readU24(p);
    return (v & 0x800000u) ? static_cast<qint32>(v | 0xFF000000u) : static_cast<qint32>(v);
}
inline quint32 readU32(const char* p)
{
    const auto* b = reinterpret_cast<const quint8*>(p);
    return quint32(b[0]) | (quint32(b[1]) << 8) | (quint32(b[2]) << 16) | (quint32(b[3]) << 24);
}
inline qint32 readI32(const char* p)
{
    return static_cast<qint32>(readU32(p));
}

// A raw integer in single precision divided by its scale (mm /1000 -> m,
// hundredths of a degree /100 -> deg, mV /1000 -> V).
inline float scaled(qint64 raw, float scale)
{
    return static_cast<float>(raw) / scale;
}
// Signal levels: the unsigned byte in steps of -0.5 dB.
inline float signalLevelDb(quint8 raw)
{
    return static_cast<float>(raw) * -0.5f;
}

// Milliseconds since local midnight now; 0 when the clock gives no valid time.
qint32 pcTimeOfDay();

// The length rule of the variable frames. Fewer than 4 bytes: false (incomplete).
// Otherwise the u16 in bytes 2 and 3 becomes frameLength, then true. A length
// below minLength (or above the kind's maximum) marks no frame: the frame search
// drops the candidate rather than judge it at another length.
bool checkVariableFrameLength(const char* data, qint64 available, qint32 minLength, qint32& frameLength);

// Walks `count` records from offset `first`; sizeOf(record, bytesLeft) gives each
// record's size in bytes (below 1: the size cannot be read within bytesLeft).
// True when every record lies wholly before `bound`; nothing at or past the bound
// is handed to sizeOf beyond the bytesLeft it is told about.
template <typename SizeOf>
bool recordsWithin(const char* frame, int first, int count, int bound, SizeOf&& sizeOf)
{
    if (first < 0 || count < 0 || first > bound)
        return false;
    qint64 offset = first;
    for (int i = 0; i < count; ++i) {
        const qint64 left = bound - offset;
        if (left <= 0)
            return false;
        const int size = sizeOf(frame + offset, static_cast<int>(left));
        if (size < 1 || size > left)
            return false;
        offset += size;
    }
    return true;
}

// The same for records of one fixed size.
inline bool fixedRecordsWithin(int first, int count, int recordSize, int bound)
{
    return first >= 0 && count >= 0 && recordSize > 0 && qint64(first) + qint64(count) * recordSize <= bound;
}

// Debug line for a frame whose record count reaches past its end (the frame is
// dropped, nothing read beyond it).
void logRecordsPastFrame(const QString& protocolName, int count, int frameLength);

// Debug line for a record whose role is neither NODE nor ANCHOR: the role signed,
// the id unsigned, the frame in hexadecimal (its first kLogHexBytes when longer).
// Callers log it once per frame.
void logInvalidNodeRole(qint64 role, quint64 id, const QByteArray& frame);

} // namespace Trelvan
