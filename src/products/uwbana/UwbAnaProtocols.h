#pragma once

#include "protocol/ProtocolBase.h"

#include <QByteArray>
#include <QDateTime>
#include <QMetaType>

#include <array>
#include <memory>

class ModelManager;

namespace UwbAna {

// The radio settings of one chip: two little-endian 32-bit words, each field a
// code of its value table.
struct ChipConfig
{
    enum Field { Channel, PreambleLength, PreambleCode, Prf, Pac, Sfd, DataRate, PhrMode, PhrRate, StsMode, StsLength,
                 FieldCount };

    quint32 words[2] = {0, 0};

    quint32 field(Field f) const;
    // Keeps the low bits of code that fit the field; other bits stay.
    void setField(Field f, quint32 code);
    bool sdc() const { return (words[1] >> 3) & 1u; }
    void setSdc(bool on);

    static ChipConfig fromBytes(const char* eightBytes);
    void toBytes(char* eightBytes) const;
};

// Everything the 56-byte parameter frame "78 00" carries.
struct ParameterSettings
{
    static constexpr int kFrameLength = 56;

    quint32 baud = 0;
    quint8 period = 0;
    quint16 radix = 0;
    bool chipEnabled[4] = {false, false, false, false};
    quint32 detectMode = 0; // only its lowest bit travels
    bool diagnose = false;
    quint8 threshold = 0;
    ChipConfig chips[4];

    // A write frame: command 0, every reserved byte and bit 0, sealed.
    QByteArray toWriteFrame() const;
    // Reads a frame of at least 56 bytes (an empty record otherwise).
    static ParameterSettings fromFrame(const QByteArray& frame);
};

// The status block of one chip in frame 0.
struct ChipStatus
{
    quint8 status = 0;
    quint16 plr = 0;
    quint16 rxfcgCount = 0;
    quint16 rxpheCount = 0;
    quint16 rxfceCount = 0;
    quint16 rxfslCount = 0;
    quint16 rxstoCount = 0;

    float plrPercent() const { return static_cast<float>(plr) / 100.0f; }
    static ChipStatus fromBytes(const uchar* sixteenBytes);
};

// The 50-byte header of a receive frame.
struct ReceiveHeader
{
    static constexpr int kSize = 50;
    static constexpr double kRxTimeUnitSeconds = 1.5650040064102565e-11;

    quint8 chip = 0;
    quint32 systemTime = 0;
    quint64 rxTime = 0;
    quint8 fpRssi = 0;
    quint8 rxRssi = 0;
    quint16 fpIndex = 0;
    quint16 fpAmpl = 0;
    quint16 pkIndex = 0;
    quint16 pkAmpl = 0;
    quint8 idiff = 0;
    quint8 luep = 0;
    quint8 mc = 0;
    quint8 prNlos = 0;
    quint8 cl = 0;
    float hwClockOffset = 0.0f;
    quint16 dataLength = 0;

    static float rssi(quint8 raw) { return static_cast<float>(raw) * -0.5f; }
    static float hundredths(quint8 raw) { return static_cast<float>(raw) / 100.0f; }
    static ReceiveHeader fromBytes(const uchar* fiftyBytes);
    // The interval in ms between two receive times of one chip; a wrap of the
    // radio's 40-bit clock still gives the true interval.
    static double intervalMs(quint64 rxTime, quint64 previousRxTime);
};

// The analyser's parameter frame: a fixed read request, replies decoded into records.
class ProtocolParameter : public InsideReadWriteProtocol
{
    Q_OBJECT
public:
    struct Data
    {
        QDateTime pcTime;
        QByteArray raw;
        std::array<quint8, ParameterSettings::kFrameLength> frame{};
        ParameterSettings settings() const;
    };

    static ProtocolParameter* instance(QObject* parent = nullptr);
    static ProtocolParameter* existing();
    ~ProtocolParameter() override;

    void parseFrame(const QByteArray& frame) override;
    QByteArray packReadRequest() override;
    // 78 00 01, 52 zero bytes, 79.
    static QByteArray readRequest();

    // Where the analyser's line items are created.
    void setModelManager(ModelManager* manager) { modelManager_ = manager; }

signals:
    void data_ready(std::shared_ptr<UwbAna::ProtocolParameter::Data> data);

private:
    explicit ProtocolParameter(QObject* parent);
    const QByteArray readRequest_;
};

// The status frame "7A 00", 88 bytes.
class ProtocolFrame0 : public ProtocolBase
{
    Q_OBJECT
public:
    static constexpr int kFrameLength = 88;

    struct Data
    {
        QDateTime pcTime;
        QByteArray raw;
        std::array<quint8, kFrameLength> frame{};
        quint32 systemTime() const;
        quint16 voltage() const;
        float volts() const { return static_cast<float>(voltage()) / 100.0f; }
        ChipStatus chip(int index) const;
    };

    static ProtocolFrame0* instance(QObject* parent = nullptr);
    static ProtocolFrame0* existing();
    ~ProtocolFrame0() override;

    void parseFrame(const QByteArray& frame) override;

signals:
    void data_ready(std::shared_ptr<UwbAna::ProtocolFrame0::Data> data);

private:
    explicit ProtocolFrame0(QObject* parent);
};

// The receive frame "7A 01": a 50-byte header, data_length payload bytes, the sum.
class ProtocolFrame1 : public ProtocolBase
{
    Q_OBJECT
public:
    static constexpr int kMinLength = ReceiveHeader::kSize;
    static constexpr int kMaxLength = ReceiveHeader::kSize + 0xFFFF + 1;

    struct Data
    {
        QDateTime pcTime;
        QByteArray raw;
        std::array<quint8, ReceiveHeader::kSize> header{};
        QByteArray payload;
        ReceiveHeader receiveHeader() const { return ReceiveHeader::fromBytes(header.data()); }
    };

    static ProtocolFrame1* instance(QObject* parent = nullptr);
    static ProtocolFrame1* existing();
    ~ProtocolFrame1() override;

    // Reads data_length from the header; the frame is data_length + 51 bytes.
    bool checkFrameLength(const char* data, qint64 available) override;
    bool verifyFrame(const char* data) override;
    void parseFrame(const QByteArray& frame) override;

signals:
    void data_ready(std::shared_ptr<UwbAna::ProtocolFrame1::Data> data);

private:
    explicit ProtocolFrame1(QObject* parent);
    std::array<quint8, ReceiveHeader::kSize> header_{}; // of the frame being measured
};

} // namespace UwbAna

Q_DECLARE_METATYPE(std::shared_ptr<UwbAna::ProtocolParameter::Data>)
Q_DECLARE_METATYPE(std::shared_ptr<UwbAna::ProtocolFrame0::Data>)
Q_DECLARE_METATYPE(std::shared_ptr<UwbAna::ProtocolFrame1::Data>)
