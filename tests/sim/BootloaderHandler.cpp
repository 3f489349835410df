#include "BootloaderHandler.h"

#include <QtEndian>

namespace sim {

BootloaderHandler::BootloaderHandler(int appRate)
    : appRate_(appRate)
{
}

void BootloaderHandler::setRefusedFrames(const QList<int>& indexes)
{
    std::lock_guard<std::mutex> lock(mutex_);
    refused_ = indexes;
}

void BootloaderHandler::setUnansweredFrames(const QList<int>& indexes)
{
    std::lock_guard<std::mutex> lock(mutex_);
    unanswered_ = indexes;
}

QList<QByteArray> BootloaderHandler::frames() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return frames_;
}

QByteArray BootloaderHandler::image() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return flash_;
}

QByteArray BootloaderHandler::image(int imageSize) const
{
    return image().left(imageSize);
}

void BootloaderHandler::reset()
{
    std::lock_guard<std::mutex> lock(mutex_);
    notReady_.store(0);
    silent_.store(false);
    inBoot_.store(false);
    restarts_.store(0);
    handshakes_.store(0);
    completed_.store(false);
    blocks_.store(0);
    badFrames_.store(0);
    refused_.clear();
    unanswered_.clear();
    frameIndex_ = 0;
    frames_.clear();
    flash_.clear();
}

QByteArray BootloaderHandler::answer(quint8 flags)
{
    SystemInfo info;
    info.productType = 0;
    info.modelId = 0;
    info.baudRate = kBootRate;
    QByteArray f = systemFrameReply(info);
    f[30] = static_cast<char>(flags);
    sealSum8(f);
    return f;
}

int BootloaderHandler::handle(const QByteArray& input, const SimContext& ctx, QByteArray& reply)
{
    const quint8 b0 = static_cast<quint8>(input[0]);
    if (!inBoot_.load()) {
        if (appRate_ > 0 && ctx.portRate != appRate_)
            return input.size(); // noise at a foreign rate
        if (b0 != 0x52)
            return NotMine;
        if (input.size() < 32)
            return NeedMore;
        if (input[1] != 0x00 || sum8(input.constData(), 31) != static_cast<quint8>(input[31]))
            return NotMine;
        const quint8 flags = static_cast<quint8>(input[2]);
        const quint8 boot = static_cast<quint8>(input[30]);
        if ((flags & 0x01) || !(boot & 0x01))
            return NotMine; // a read request or an ordinary write: the application's
        blocks_.store(qFromLittleEndian<quint16>(input.constData() + 28));
        ++restarts_;
        completed_.store(false);
        inBoot_.store(true);
        return 32;
    }

    if (ctx.portRate != kBootRate)
        return input.size();
    if (b0 != 0x52)
        return 1;
    if (input.size() < 2)
        return NeedMore;
    const quint8 function = static_cast<quint8>(input[1]);
    if (function == 0x00) {
        if (input.size() < 32)
            return NeedMore;
        if (sum8(input.constData(), 31) != static_cast<quint8>(input[31]))
            return 1;
        if (static_cast<quint8>(input[30]) & 0x01) {
            blocks_.store(qFromLittleEndian<quint16>(input.constData() + 28));
            if (!silent_.load()) {
                ++handshakes_;
                if (notReady_.load() > 0) {
                    --notReady_;
                    reply.append(answer(0x00));
                } else {
                    reply.append(answer(0x02));
                }
            }
        }
        return 32;
    }
    if (function != 0x01)
        return 1;
    if (input.size() < kFrameSize)
        return NeedMore;
    const QByteArray frame = input.left(kFrameSize);
    if (sum8(frame.constData(), kFrameSize - 1) != static_cast<quint8>(frame[kFrameSize - 1])) {
        ++badFrames_;
        return 1; // not a frame after all: look for the next head
    }
    if (silent_.load())
        return kFrameSize;
    std::lock_guard<std::mutex> lock(mutex_);
    const int index = frameIndex_++;
    frames_.append(frame);
    if (unanswered_.contains(index))
        return kFrameSize;
    if (refused_.contains(index)) {
        reply.append(answer(0x02));
        return kFrameSize;
    }
    const quint32 address = qFromLittleEndian<quint32>(frame.constData() + 7);
    const int offset = static_cast<int>(address - kFlashBase);
    if (address < kFlashBase || offset > 16 * 1024 * 1024) {
        reply.append(answer(0x02));
        return kFrameSize;
    }
    if (flash_.size() < offset + kChunkSize)
        flash_.append(QByteArray(offset + kChunkSize - flash_.size(), static_cast<char>(0xFF)));
    flash_.replace(offset, kChunkSize, frame.mid(11, kChunkSize));
    reply.append(answer(0x06));
    if (static_cast<quint8>(frame[2]) & 0x02) {
        // The last frame: the new firmware starts.
        completed_.store(true);
        inBoot_.store(false);
    }
    return kFrameSize;
}

} // namespace sim
