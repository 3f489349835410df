#include "TrelvanParameterHandler.h"

#include "TrelvanScenario.h"

namespace sim {

namespace {

constexpr int kSize = TrelvanParameterHandler::kFrameSize;

void putU24(QByteArray& f, int o, quint32 v)
{
    f[o] = char(v & 0xFF);
    f[o + 1] = char((v >> 8) & 0xFF);
    f[o + 2] = char((v >> 16) & 0xFF);
}

qint32 i24At(const QByteArray& f, int o)
{
    const quint32 raw = quint32(quint8(f[o])) | quint32(quint8(f[o + 1])) << 8 | quint32(quint8(f[o + 2])) << 16;
    return qint32(raw << 8) >> 8;
}

// Bytes a write never changes: the reserved ones, the capacities the node
// reports and its system time.
bool isNodeOwnByte(int i)
{
    return i == 13 || i == 15 || i == 18 || (i >= 21 && i <= 23) || i == 25 || i == 26 || (i >= 27 && i <= 35);
}

} // namespace

QByteArray trelvanParameterDefaults(const TrelvanNodeSetup& s)
{
    QByteArray f(kSize, '\0');
    f[0] = char(0x54);
    f[3] = char(s.role);
    putU24(f, 5, s.baudRate);
    f[9] = char(s.id);
    f[10] = char(s.refreshRate & 0xFF);
    f[11] = char(s.refreshRate >> 8);
    f[13] = char(0xFF);
    f[15] = char(0xFF);
    f[17] = char((s.localMode & 0x0F) << 4 | (s.localMode & 0x0F));
    f[18] = char(0xFF);
    f[19] = char(s.protocol);
    f[20] = char(33);
    f[21] = f[22] = char(0xFF);
    f[25] = char(s.anchorCapacity);
    f[26] = char(s.consoleCapacity);
    for (int i = 31; i <= 35; ++i)
        f[i] = char(0xFF);
    for (int r = 0; r < 10; ++r) {
        for (int a = 0; a < 3; ++a) {
            const qint32 mm = r < TrelvanScenario::kAnchors ? TrelvanScenario::anchorMm(r)[size_t(a)]
                                                            : TrelvanParameterHandler::kNoAnchorMm;
            putU24(f, 37 + 9 * r + 3 * a, quint32(mm));
        }
    }
    sealSum8(f);
    return f;
}

TrelvanParameterHandler::TrelvanParameterHandler(const TrelvanNodeSetup& setup)
    : startNs_(nowNs())
{
    for (auto& a : anchors_)
        a = {kNoAnchorMm, kNoAnchorMm, kNoAnchorMm};
    setParameters(trelvanParameterDefaults(setup));
}

quint32 TrelvanParameterHandler::uptimeMs() const
{
    return quint32((nowNs() - startNs_) / 1000000);
}

QByteArray TrelvanParameterHandler::parameters() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return answer(0);
}

void TrelvanParameterHandler::setParameters(const QByteArray& frame)
{
    std::lock_guard<std::mutex> lock(mutex_);
    frame_ = frame.left(kSize);
    frame_[2] = char(0);
    const int group = quint8(frame_[36]);
    for (int r = 0; r < 10 && group * 10 + r < kAnchorSlots; ++r) {
        for (int a = 0; a < 3; ++a)
            anchors_[size_t(group * 10 + r)][size_t(a)] = i24At(frame_, 37 + 9 * r + 3 * a);
    }
}

void TrelvanParameterHandler::setWriteFilter(std::function<void(QByteArray&)> filter)
{
    std::lock_guard<std::mutex> lock(mutex_);
    writeFilter_ = std::move(filter);
}

void TrelvanParameterHandler::setAnchor(int n, const std::array<qint32, 3>& mm)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (n >= 0 && n < kAnchorSlots)
        anchors_[size_t(n)] = mm;
}

std::array<qint32, 3> TrelvanParameterHandler::anchor(int n) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return anchors_[size_t(qBound(0, n, kAnchorSlots - 1))];
}

QByteArray TrelvanParameterHandler::lastRequest() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return lastRequest_;
}

QByteArray TrelvanParameterHandler::answer(quint8 group) const
{
    QByteArray a = frame_;
    a[2] = char(0);
    const quint32 t = uptimeMs();
    for (int i = 0; i < 4; ++i)
        a[27 + i] = char((t >> (8 * i)) & 0xFF);
    a[36] = char(group);
    for (int r = 0; r < 10; ++r) {
        const int n = group * 10 + r;
        for (int k = 0; k < 3; ++k)
            putU24(a, 37 + 9 * r + 3 * k, quint32(n < kAnchorSlots ? anchors_[size_t(n)][size_t(k)] : kNoAnchorMm));
    }
    sealSum8(a);
    return a;
}

int TrelvanParameterHandler::handle(const QByteArray& input, const SimContext&, QByteArray& reply)
{
    if (quint8(input[0]) != 0x54)
        return NotMine;
    if (input.size() < 2)
        return NeedMore;
    if (quint8(input[1]) != 0x00)
        return NotMine;
    if (input.size() < kSize)
        return NeedMore;
    if (sum8(input.constData(), kSize - 1) != quint8(input[kSize - 1]))
        return NotMine;

    std::lock_guard<std::mutex> lock(mutex_);
    ++requests_;
    lastRequest_ = input.left(kSize);
    const quint8 command = quint8(input[2]);
    quint8 group = 0;
    const quint8 localMode = quint8(frame_[17]) >> 4;
    if (command & 0x08) {
        ++restarts_;
        if (fault_.load() != Fault::NoRestart) {
            startNs_ = nowNs();
            frame_[17] = char(localMode << 4 | localMode);
        }
    } else if (command & 0x20) {
        ++polls_;
        if ((quint8(frame_[17]) & 0x0F) == 8) {
            // One anchor measured per poll; the node leaves calibration after the last.
            if (measured_ < calibrationAnchors_.load()) {
                const auto mm = TrelvanScenario::anchorMm(measured_);
                anchors_[size_t(measured_)] = {mm[0], mm[1], mm[2]};
                ++measured_;
            }
            if (measured_ >= calibrationAnchors_.load())
                frame_[17] = char(localMode << 4 | localMode);
        }
    } else if (command & 0x02) {
        ++modeSwitches_;
        const quint8 running = quint8(input[17]) & 0x0F;
        if (fault_.load() != Fault::KeepMode) {
            frame_[17] = char(localMode << 4 | running);
            if (running == 8) {
                measured_ = 0;
                for (int n = 0; n < calibrationAnchors_.load() && n < kAnchorSlots; ++n)
                    anchors_[size_t(n)] = {kNoAnchorMm, kNoAnchorMm, kNoAnchorMm};
            }
        }
    } else if (command & 0x01) {
        ++reads_;
        group = quint8(input[36]);
    } else {
        ++writes_;
        QByteArray kept = input.left(kSize);
        if (writeFilter_)
            writeFilter_(kept);
        for (int i = 2; i < 37; ++i) {
            if (!isNodeOwnByte(i) && i != 2)
                frame_[i] = kept[i];
        }
        group = quint8(kept[36]);
        for (int r = 0; r < 10 && group * 10 + r < kAnchorSlots; ++r) {
            for (int a = 0; a < 3; ++a)
                anchors_[size_t(group * 10 + r)][size_t(a)] = i24At(kept, 37 + 9 * r + 3 * a);
        }
    }

    switch (fault_.load()) {
    case Fault::Silent:
        return kSize;
    case Fault::BadChecksum: {
        QByteArray a = answer(group);
        a[kSize - 1] = char(quint8(a[kSize - 1]) + 1);
        reply.append(a);
        return kSize;
    }
    case Fault::WrongNode: {
        QByteArray a = answer(group);
        a[3] = char(quint8(a[3]) ^ 0x01);
        a[9] = char(quint8(a[9]) + 1);
        sealSum8(a);
        reply.append(a);
        return kSize;
    }
    case Fault::None:
    case Fault::KeepMode:
    case Fault::NoRestart:
        break;
    }
    reply.append(answer(group));
    return kSize;
}

} // namespace sim
