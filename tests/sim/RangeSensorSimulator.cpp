#include "RangeSensorSimulator.h"

#include "ProductReplies.h"

#include <cmath>

namespace sim {

namespace {

bool isRionType(int type)
{
    return type == 6 || type == 7 || (type >= 14 && type <= 17);
}

void putU16(QByteArray& f, int o, quint16 v)
{
    f[o] = char(v & 0xFF);
    f[o + 1] = char(v >> 8);
}

} // namespace

QByteArray rangeFrame(quint32 systemTime, qint32 distanceMm, quint8 status, quint16 signalStrength,
                      quint8 precisionCm)
{
    QByteArray f(16, '\0');
    f[0] = char(0x57);
    f[1] = char(0x00);
    for (int i = 0; i < 4; ++i)
        f[4 + i] = char((systemTime >> (8 * i)) & 0xFF);
    const quint32 d = static_cast<quint32>(distanceMm) & 0xFFFFFFu;
    f[8] = char(d & 0xFF);
    f[9] = char((d >> 8) & 0xFF);
    f[10] = char((d >> 16) & 0xFF);
    f[11] = char(status);
    putU16(f, 12, signalStrength);
    f[14] = char(precisionCm);
    sealSum8(f);
    return f;
}

bool isMultiZoneType(int productType)
{
    return (productType >= 8 && productType <= 10) || productType == 12 || productType == 13;
}

QByteArray zoneFrame(int pixelMode, quint8 id, quint32 systemTime, const std::vector<ZoneValue>& zones,
                     quint8 reserved)
{
    const int count = pixelMode == 1 ? 16 : 64;
    const int length = 9 + 6 * count + 6 + 1;
    QByteArray f(length, '\0');
    f[0] = char(0x57);
    f[1] = char(0x01);
    f[2] = char(reserved);
    f[3] = char(id);
    for (int i = 0; i < 4; ++i)
        f[4 + i] = char((systemTime >> (8 * i)) & 0xFF);
    f[8] = char(reserved);
    for (int i = 0; i < count && i < int(zones.size()); ++i) {
        const int o = 9 + 6 * i;
        const quint32 d = static_cast<quint32>(zones[i].distanceUm) & 0xFFFFFFu;
        f[o] = char(d & 0xFF);
        f[o + 1] = char((d >> 8) & 0xFF);
        f[o + 2] = char((d >> 16) & 0xFF);
        f[o + 3] = char(zones[i].status);
        putU16(f, o + 4, zones[i].strength);
    }
    for (int i = 9 + 6 * count; i < length - 1; ++i)
        f[i] = char(reserved);
    sealSum8(f);
    return f;
}

QByteArray rangeParameterDefaults(int productType, qint32 deviceRate)
{
    QByteArray f(32, char(0xFF));
    f[0] = char(0x54);
    f[1] = char(0x20);
    f[2] = char(0x00);
    f[4] = char(1);
    for (int i = 5; i <= 8; ++i)
        f[i] = char(0);
    const quint32 rate = static_cast<quint32>(deviceRate) & 0xFFFFFFu;
    f[12] = char(rate & 0xFF);
    f[13] = char((rate >> 8) & 0xFF);
    f[14] = char((rate >> 16) & 0xFF);
    if (isMultiZoneType(productType)) {
        f[9] = char(0x00); // UART, active, 8 x 8, closest
    } else {
        f[9] = char(isRionType(productType) ? 0x00 : 0x08); // UART, active, long range where offered
        f[15] = char(27);
        f[16] = char(27);
        f[17] = char(0);
        f[18] = char(0);
        putU16(f, 19, 0);
        putU16(f, 21, 100);
        putU16(f, 24, 100);
        f[26] = isRionType(productType) ? char(5) : char(0xFF);
    }
    sealSum8(f);
    return f;
}

RangeParameterHandler::RangeParameterHandler(int productType, qint32 deviceRate)
    : productType_(productType)
    , frame_(rangeParameterDefaults(productType, deviceRate))
    , startNs_(nowNs())
{
}

quint32 RangeParameterHandler::uptimeMs() const
{
    return static_cast<quint32>((nowNs() - startNs_) / 1000000);
}

QByteArray RangeParameterHandler::parameters() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return frame_;
}

void RangeParameterHandler::setParameters(const QByteArray& frame)
{
    std::lock_guard<std::mutex> lock(mutex_);
    frame_ = frame.left(32);
    frame_[2] = char(0x00);
    sealSum8(frame_);
}

QByteArray RangeParameterHandler::lastWriteFrame() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return lastWrite_;
}

void RangeParameterHandler::setWriteFilter(std::function<void(QByteArray&)> filter)
{
    std::lock_guard<std::mutex> lock(mutex_);
    writeFilter_ = std::move(filter);
}

int RangeParameterHandler::handle(const QByteArray& input, const SimContext&, QByteArray& reply)
{
    const int found = matchSealedFrame(input, 0x54, 0x20);
    if (found != 32)
        return found;
    std::lock_guard<std::mutex> lock(mutex_);
    if (static_cast<quint8>(input[2]) & 0x01) {
        ++reads_;
    } else {
        ++writes_;
        lastWrite_ = input.left(32);
        QByteArray kept = lastWrite_;
        if (isMultiZoneType(productType_)) {
            // The multi-zone sensors have nothing in bytes 15 to 30.
            for (int i = 15; i <= 30; ++i)
                kept[i] = char(0xFF);
        }
        if (writeFilter_)
            writeFilter_(kept);
        frame_ = kept;
    }
    if (silent_.load())
        return 32;
    QByteArray answer = frame_;
    answer[2] = char(0x00);
    const quint32 t = uptimeMs();
    for (int i = 0; i < 4; ++i)
        answer[5 + i] = char((t >> (8 * i)) & 0xFF);
    sealSum8(answer);
    reply.append(answer);
    return 32;
}

RangeSensor::RangeSensor(DeviceSimulator& device, int productType, qint32 deviceRate, int modelId)
    : device_(device)
    , productType_(productType)
    , deviceRate_(deviceRate)
    , system_(productHandler(productType, modelId, deviceRate))
    , parameters_(std::make_shared<RangeParameterHandler>(productType, deviceRate))
{
}

RangeSensor::~RangeSensor()
{
    stop();
}

void RangeSensor::start()
{
    device_.setDeviceRate(deviceRate_);
    device_.addHandler(system_);
    device_.addHandler(parameters_);
    if (isMultiZoneType(productType_))
        thread_.start([this] { return zoneRateNow(); }, [this] { sendZones(); });
    else
        thread_.start([this] { return rangeRate(); }, [this] { sendRange(); });
}

void RangeSensor::stop()
{
    thread_.stop();
}

qint32 RangeSensor::distanceOf(quint64 n)
{
    return 1500 + static_cast<qint32>(std::lround(400.0 * std::sin(static_cast<double>(n) / 15.0)));
}

void RangeSensor::setZoneRate(int hz)
{
    zoneRate_.store(qMax(1, hz));
}

ZoneValue RangeSensor::zoneValueOf(quint64 n, int zone, int side)
{
    const int r = zone / side;
    const int c = zone % side;
    const double u = side > 1 ? double(c) / (side - 1) : 0.0;
    const double v = side > 1 ? double(r) / (side - 1) : 0.0;
    const double t = double(n) / 15.0;
    const double metres = 1.2 + 0.9 * u + 0.5 * v + 0.3 * std::sin(t + 2.0 * u);
    ZoneValue z;
    z.distanceUm = static_cast<qint32>(std::lround(metres * 1e6));
    z.status = static_cast<quint8>((n + quint64(zone) * 13) % 256);
    z.strength = static_cast<quint16>(1000 + 400 * r + 250 * c + (n * 37) % 500);
    return z;
}

QByteArray RangeSensor::zoneFrameOf(quint64 n, int pixelMode, quint8 id, quint32 systemTime)
{
    const int side = pixelMode == 1 ? 4 : 8;
    std::vector<ZoneValue> zones(side * side);
    for (int i = 0; i < side * side; ++i)
        zones[i] = zoneValueOf(n, i, side);
    return zoneFrame(pixelMode, id, systemTime, zones);
}

int RangeSensor::zoneRateNow() const
{
    const int pixelMode = (quint8(parameters_->parameters()[9]) >> 5) & 0x01;
    const int length = pixelMode == 1 ? 112 : 400;
    // Never more frames than the line carries (10 bits a byte), with room to spare.
    int hz = zoneRate_.load();
    if (deviceRate_ > 0)
        hz = qMax(1, qMin(hz, int(0.8 * deviceRate_ / 10.0 / length)));
    return hz;
}

void RangeSensor::sendZones()
{
    const QByteArray params = parameters_->parameters();
    const bool active = (quint8(params[9]) & 0x02) == 0;
    const int pixelMode = (quint8(params[9]) >> 5) & 0x01;
    if (!active || !device_.isRunning() || (deviceRate_ > 0 && device_.portRate() != deviceRate_))
        return;
    const quint64 n = framesSent_.load();
    device_.send(zoneFrameOf(n, pixelMode, quint8(params[4]), parameters_->uptimeMs()));
    if (pixelMode == 1)
        smallFramesSent_.fetch_add(1);
    framesSent_.store(n + 1);
}

int RangeSensor::rangeRate() const
{
    const QByteArray params = parameters_->parameters();
    const quint16 refresh = static_cast<quint16>(quint8(params[24]) | quint8(params[25]) << 8);
    return (refresh == 0 || refresh == 0xFFFF) ? 10 : refresh;
}

void RangeSensor::sendRange()
{
    const QByteArray params = parameters_->parameters();
    const bool active = (quint8(params[9]) & 0x02) == 0;
    // The sensor talks at its own rate only: at another rate the port would see noise.
    if (!active || !device_.isRunning() || (deviceRate_ > 0 && device_.portRate() != deviceRate_))
        return;
    const quint64 n = framesSent_.load();
    const quint16 strength = static_cast<quint16>(800 + (n * 7) % 200);
    device_.send(rangeFrame(parameters_->uptimeMs(), distanceOf(n), 0, strength, 2));
    framesSent_.store(n + 1);
}

} // namespace sim
