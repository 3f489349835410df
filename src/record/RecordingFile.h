#pragma once

#include <QString>
#include <QtGlobal>

// The 81-byte header at the start of a recording file, held in the byte layout in
// which it is written: eleven little-endian signed 64-bit fields, then a checksum
// byte (the 8-bit sum of the 80 bytes before it).
//
// Layout of the file: header, frame index section (16 bytes per chunk: elapsed ms,
// position of the chunk's record in the data section), data section (per chunk: a
// 32-bit byte count and the bytes), optional stamp section (per stamp: a 64-bit ms
// and a text in data-stream form).
struct RecordingFileHeader
{
    static constexpr int Size = 81;
    static constexpr int FrameRecordSize = 16;

    enum Field {
        FileSize = 0,
        LastElapsedMs = 8,
        FrameCount = 16,
        FramePos = 24,
        FrameSize = 32,
        DataPos = 40,
        DataSize = 48,
        StampCount = 56,
        StampPos = 64,
        StampSize = 72,
        Checksum = 80
    };

    quint8 bytes[Size] = {};

    qint64 field(Field f) const;
    void setField(Field f, qint64 value);
    void clear();

    qint64 fileSize() const { return field(FileSize); }
    qint64 lastElapsedMs() const { return field(LastElapsedMs); }
    qint64 frameCount() const { return field(FrameCount); }
    qint64 framePos() const { return field(FramePos); }
    qint64 frameSize() const { return field(FrameSize); }
    qint64 dataPos() const { return field(DataPos); }
    qint64 dataSize() const { return field(DataSize); }
    qint64 stampCount() const { return field(StampCount); }
    qint64 stampPos() const { return field(StampPos); }
    qint64 stampSize() const { return field(StampSize); }
    bool hasStamps() const { return stampPos() >= 1 && stampSize() >= 1; }

    // Writes the checksum byte.
    void seal();
    bool verify() const;

    // A file is untrusted input: checks that every section the header names lies
    // inside a file of actualSize bytes and that the counts fit their sections.
    // Returns an empty text when the header is usable, else what is wrong.
    QString checkSections(qint64 actualSize) const;
};

// One stamp of a recording: a time and a note.
struct RecordingStamp
{
    qint64 ms = 0;
    QString text;
};
