#include "record/RecordingFile.h"

#include "foundation/ZAlgo.h"

#include <QtEndian>

qint64 RecordingFileHeader::field(Field f) const
{
    return qFromLittleEndian<qint64>(bytes + int(f));
}

void RecordingFileHeader::setField(Field f, qint64 value)
{
    qToLittleEndian<qint64>(value, bytes + int(f));
}

void RecordingFileHeader::clear()
{
    std::fill(bytes, bytes + Size, quint8(0));
}

void RecordingFileHeader::seal()
{
    ZAlgo::updateCheckSum8(bytes, Size);
}

bool RecordingFileHeader::verify() const
{
    return ZAlgo::verifyCheckSum8(bytes, Size);
}

namespace {
// pos and size describe a section inside [Size, fileSize); no overflow on hostile values.
bool sectionInside(qint64 pos, qint64 size, qint64 fileSize)
{
    if (pos < RecordingFileHeader::Size || size < 0 || pos > fileSize)
        return false;
    return size <= fileSize - pos;
}
} // namespace

QString RecordingFileHeader::checkSections(qint64 actualSize) const
{
    const qint64 count = frameCount();
    if (count > (actualSize / FrameRecordSize) || frameSize() != count * FrameRecordSize)
        return QStringLiteral("frame index size %1 does not match frame count %2").arg(frameSize()).arg(count);
    if (!sectionInside(framePos(), frameSize(), actualSize))
        return QStringLiteral("frame index section %1+%2 lies outside the file").arg(framePos()).arg(frameSize());
    if (!sectionInside(dataPos(), dataSize(), actualSize))
        return QStringLiteral("data section %1+%2 lies outside the file").arg(dataPos()).arg(dataSize());
    // Each chunk record holds at least its 4-byte count.
    if (dataSize() / 4 < count)
        return QStringLiteral("data section of %1 bytes cannot hold %2 chunks").arg(dataSize()).arg(count);
    if (hasStamps()) {
        if (!sectionInside(stampPos(), stampSize(), actualSize))
            return QStringLiteral("stamp section %1+%2 lies outside the file").arg(stampPos()).arg(stampSize());
        // A stamp is at least a time and a text's 4-byte count.
        if (stampCount() < 0 || stampCount() > stampSize() / 12)
            return QStringLiteral("stamp count %1 cannot fit a stamp section of %2 bytes").arg(stampCount()).arg(stampSize());
    }
    return QString();
}
