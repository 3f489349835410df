#include "products/uwbana/UwbAnaProtocols.h"

#include "foundation/ZAlgo.h"
#include "products/uwbana/UwbAnaTables.h"

#include <QPointer>

#include <cstring>

namespace UwbAna {

namespace {

struct FieldBits
{
    int word;
    int shift;
    int width;
};

// Bit positions of the ChipConfig fields, in ChipConfig::Field order.
constexpr FieldBits kFields[ChipConfig::FieldCount] = {
    {0, 0, 4},  {0, 4, 4},  {0, 8, 5},  {0, 13, 2}, {0, 15, 3}, {0, 18, 3},
    {0, 21, 2}, {0, 23, 2}, {0, 25, 2}, {0, 27, 3}, {1, 0, 3},
};

quint16 u16(const uchar* p)
{
    return static_cast<quint16>(p[0] | p[1] << 8);
}

quint32 u32(const uchar* p)
{
    return quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24;
}

void putU32(char* p, quint32 v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

const uchar* bytes(const QByteArray& a)
{
    return reinterpret_cast<const uchar*>(a.constData());
}

template <std::size_t N>
void copyImage(std::array<quint8, N>& image, const QByteArray& frame)
{
    std::memcpy(image.data(), frame.constData(), std::min<std::size_t>(N, static_cast<std::size_t>(frame.size())));
}

QPointer<ProtocolParameter> g_parameter;
QPointer<ProtocolFrame0> g_frame0;
QPointer<ProtocolFrame1> g_frame1;

void registerRecordTypes()
{
    static const bool once = [] {
        qRegisterMetaType<std::shared_ptr<ProtocolFrame0::Data>>("ProtocolFrame0::Data");
        qRegisterMetaType<std::shared_ptr<ProtocolFrame1::Data>>("ProtocolFrame1::Data");
        qRegisterMetaType<std::shared_ptr<ProtocolParameter::Data>>("ProtocolParameter::Data");
        return true;
    }();
    Q_UNUSED(once);
}

} // namespace

// --- ChipConfig ---

quint32 ChipConfig::field(Field f) const
{
    const FieldBits& b = kFields[f];
    return (words[b.word] >> b.shift) & ((1u << b.width) - 1u);
}

void ChipConfig::setField(Field f, quint32 code)
{
    const FieldBits& b = kFields[f];
    const quint32 mask = ((1u << b.width) - 1u) << b.shift;
    words[b.word] = (words[b.word] & ~mask) | ((code << b.shift) & mask);
}

void ChipConfig::setSdc(bool on)
{
    words[1] = on ? (words[1] | 0x08u) : (words[1] & ~0x08u);
}

ChipConfig ChipConfig::fromBytes(const char* eightBytes)
{
    const auto* p = reinterpret_cast<const uchar*>(eightBytes);
    ChipConfig c;
    c.words[0] = u32(p);
    c.words[1] = u32(p + 4);
    return c;
}

void ChipConfig::toBytes(char* eightBytes) const
{
    putU32(eightBytes, words[0]);
    putU32(eightBytes + 4, words[1]);
}

// --- ParameterSettings ---

QByteArray ParameterSettings::toWriteFrame() const
{
    QByteArray frame(kFrameLength, '\0');
    char* d = frame.data();
    d[0] = char(0x78);
    putU32(d + 3, baud);
    d[7] = static_cast<char>(period);
    d[8] = static_cast<char>(radix & 0xFF);
    d[9] = static_cast<char>(radix >> 8);
    quint8 flags = 0;
    for (int i = 0; i < kChipCount; ++i)
        flags |= chipEnabled[i] ? quint8(1u << i) : 0;
    flags |= quint8((detectMode & 1u) << 4);
    flags |= diagnose ? 0x20 : 0;
    d[10] = static_cast<char>(flags);
    d[11] = static_cast<char>(threshold);
    for (int i = 0; i < kChipCount; ++i) {
        ChipConfig c = chips[i];
        // Reserved bits travel as 0.
        c.words[0] &= 0x3FFFFFFFu;
        c.words[1] &= 0x0000000Fu;
        if (chipTypeOf(i) == 0)
            c.setSdc(false); // the DW1000 has no SDC
        c.toBytes(d + 16 + 8 * i);
    }
    ZAlgo::updateCheckSum8(reinterpret_cast<quint8*>(d), kFrameLength);
    return frame;
}

ParameterSettings ParameterSettings::fromFrame(const QByteArray& frame)
{
    ParameterSettings s;
    if (frame.size() < kFrameLength)
        return s;
    const uchar* p = bytes(frame);
    s.baud = u32(p + 3);
    s.period = p[7];
    s.radix = u16(p + 8);
    for (int i = 0; i < kChipCount; ++i)
        s.chipEnabled[i] = (p[10] >> i) & 1u;
    s.detectMode = (p[10] >> 4) & 1u;
    s.diagnose = (p[10] >> 5) & 1u;
    s.threshold = p[11];
    for (int i = 0; i < kChipCount; ++i)
        s.chips[i] = ChipConfig::fromBytes(frame.constData() + 16 + 8 * i);
    return s;
}

// --- frame 0 and 1 fields ---

ChipStatus ChipStatus::fromBytes(const uchar* p)
{
    ChipStatus s;
    s.status = p[0];
    s.plr = u16(p + 1);
    s.rxfcgCount = u16(p + 3);
    s.rxpheCount = u16(p + 5);
    s.rxfceCount = u16(p + 7);
    s.rxfslCount = u16(p + 9);
    s.rxstoCount = u16(p + 11);
    return s;
}

ReceiveHeader ReceiveHeader::fromBytes(const uchar* p)
{
    ReceiveHeader h;
    h.chip = p[3];
    h.systemTime = u32(p + 4);
    h.rxTime = quint64(u32(p + 9)) | quint64(u32(p + 13)) << 32;
    h.fpRssi = p[17];
    h.rxRssi = p[18];
    h.fpIndex = u16(p + 19);
    h.fpAmpl = u16(p + 21);
    h.pkIndex = u16(p + 23);
    h.pkAmpl = u16(p + 25);
    h.idiff = p[27];
    h.luep = p[28];
    h.mc = p[29];
    h.prNlos = p[30];
    h.cl = p[31];
    const quint32 bits = u32(p + 32);
    std::memcpy(&h.hwClockOffset, &bits, sizeof bits);
    h.dataLength = u16(p + 48);
    return h;
}

double ReceiveHeader::intervalMs(quint64 rxTime, quint64 previousRxTime)
{
    const quint64 units = (rxTime - previousRxTime) & 0xFFFFFFFFFFull;
    return static_cast<double>(units) * kRxTimeUnitSeconds * 1000.0;
}

// --- ProtocolParameter ---

ParameterSettings ProtocolParameter::Data::settings() const
{
    return ParameterSettings::fromFrame(
        QByteArray::fromRawData(reinterpret_cast<const char*>(frame.data()), static_cast<int>(frame.size())));
}

QByteArray ProtocolParameter::readRequest()
{
    QByteArray request(ParameterSettings::kFrameLength, '\0');
    request[0] = char(0x78);
    request[2] = char(0x01);
    ZAlgo::updateCheckSum8(reinterpret_cast<quint8*>(request.data()), ParameterSettings::kFrameLength);
    return request;
}

ProtocolParameter* ProtocolParameter::instance(QObject* parent)
{
    if (!g_parameter)
        g_parameter = new ProtocolParameter(parent);
    return g_parameter.data();
}

ProtocolParameter* ProtocolParameter::existing()
{
    return g_parameter.data();
}

ProtocolParameter::ProtocolParameter(QObject* parent)
    : InsideReadWriteProtocol(textOf(frameNames, 2), parent)
    , readRequest_(readRequest())
{
    registerRecordTypes();
    isLengthKnown_ = true;
    frameLength_ = ParameterSettings::kFrameLength;
    minFrameLength_ = ParameterSettings::kFrameLength;
    maxFrameLength_ = ParameterSettings::kFrameLength;
    head_ = readRequest_.left(2);
}

ProtocolParameter::~ProtocolParameter() = default;

void ProtocolParameter::parseFrame(const QByteArray& frame)
{
    auto data = std::make_shared<Data>();
    data->pcTime = QDateTime::currentDateTime();
    data->raw = frame;
    copyImage(data->frame, frame);
    emit data_ready(data);
}

QByteArray ProtocolParameter::packReadRequest()
{
    return readRequest_;
}

// --- ProtocolFrame0 ---

quint32 ProtocolFrame0::Data::systemTime() const
{
    return u32(frame.data() + 3);
}

quint16 ProtocolFrame0::Data::voltage() const
{
    return u16(frame.data() + 7);
}

ChipStatus ProtocolFrame0::Data::chip(int index) const
{
    if (index < 0 || index >= kChipCount)
        return ChipStatus();
    return ChipStatus::fromBytes(frame.data() + 16 + 16 * index);
}

ProtocolFrame0* ProtocolFrame0::instance(QObject* parent)
{
    if (!g_frame0)
        g_frame0 = new ProtocolFrame0(parent);
    return g_frame0.data();
}

ProtocolFrame0* ProtocolFrame0::existing()
{
    return g_frame0.data();
}

ProtocolFrame0::ProtocolFrame0(QObject* parent)
    : ProtocolBase(textOf(frameNames, 0), parent)
{
    registerRecordTypes();
    isLengthKnown_ = true;
    frameLength_ = kFrameLength;
    minFrameLength_ = kFrameLength;
    maxFrameLength_ = kFrameLength;
    head_ = QByteArray("\x7A\x00", 2);
}

ProtocolFrame0::~ProtocolFrame0() = default;

void ProtocolFrame0::parseFrame(const QByteArray& frame)
{
    auto data = std::make_shared<Data>();
    data->pcTime = QDateTime::currentDateTime();
    data->raw = frame;
    copyImage(data->frame, frame);
    emit data_ready(data);
}

// --- ProtocolFrame1 ---

ProtocolFrame1* ProtocolFrame1::instance(QObject* parent)
{
    if (!g_frame1)
        g_frame1 = new ProtocolFrame1(parent);
    return g_frame1.data();
}

ProtocolFrame1* ProtocolFrame1::existing()
{
    return g_frame1.data();
}

ProtocolFrame1::ProtocolFrame1(QObject* parent)
    : ProtocolBase(textOf(frameNames, 1), parent)
{
    registerRecordTypes();
    isLengthKnown_ = true;
    frameLength_ = kMinLength;
    minFrameLength_ = kMinLength;
    maxFrameLength_ = kMaxLength;
    head_ = QByteArray("\x7A\x01", 2);
}

ProtocolFrame1::~ProtocolFrame1() = default;

bool ProtocolFrame1::checkFrameLength(const char* data, qint64 available)
{
    if (available < ReceiveHeader::kSize)
        return false;
    std::memcpy(header_.data(), data, ReceiveHeader::kSize);
    frameLength_ = u16(header_.data() + 48) + ReceiveHeader::kSize + 1;
    return true;
}

bool ProtocolFrame1::verifyFrame(const char* data)
{
    // The longest frames exceed the 16-bit length of the common check.
    return data && frameLength_ > ReceiveHeader::kSize
           && sum8(data, frameLength_ - 1) == static_cast<quint8>(data[frameLength_ - 1]);
}

void ProtocolFrame1::parseFrame(const QByteArray& frame)
{
    if (frame.size() < ReceiveHeader::kSize + 1)
        return;
    auto data = std::make_shared<Data>();
    data->pcTime = QDateTime::currentDateTime();
    data->raw = frame;
    copyImage(data->header, frame);
    const int length = u16(data->header.data() + 48);
    data->payload = frame.mid(ReceiveHeader::kSize, qMin(length, frame.size() - ReceiveHeader::kSize - 1));
    emit data_ready(data);
}

} // namespace UwbAna
