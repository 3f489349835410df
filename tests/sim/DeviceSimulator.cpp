#include "DeviceSimulator.h"

#include "PtyRate.h"

#include <QDir>
#include <QFile>

#include <algorithm>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace sim {

namespace {
// Bytes queued for the port beyond which a stream waits for the port to read.
constexpr int kOutputHighWater = 64 * 1024;
} // namespace

qint64 nowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

quint8 sum8(const char* data, int n)
{
    quint8 s = 0;
    for (int i = 0; i < n; ++i)
        s = static_cast<quint8>(s + static_cast<quint8>(data[i]));
    return s;
}

void sealSum8(QByteArray& frame)
{
    if (frame.isEmpty())
        return;
    frame[frame.size() - 1] = static_cast<char>(sum8(frame.constData(), frame.size() - 1));
}

QByteArray systemFrameReply(const SystemInfo& info)
{
    QByteArray f(32, '\0');
    f[0] = 0x52;
    f[1] = 0x00;
    f[2] = 0x00;
    f[3] = static_cast<char>(info.modelId);
    f[4] = static_cast<char>(info.productType);
    f[5] = static_cast<char>(info.hardwareMinor);
    f[6] = static_cast<char>(info.hardwareMajor);
    f[7] = static_cast<char>(info.firmware[3]);
    f[8] = static_cast<char>(info.firmware[2]);
    f[9] = static_cast<char>(info.firmware[1]);
    f[10] = static_cast<char>(info.firmware[0]);
    for (int i = 11; i < 19; ++i)
        f[i] = static_cast<char>(0xFF);
    const quint32 rate = static_cast<quint32>(info.baudRate) & 0xFFFFFFu;
    f[19] = static_cast<char>(rate & 0xFF);
    f[20] = static_cast<char>((rate >> 8) & 0xFF);
    f[21] = static_cast<char>((rate >> 16) & 0xFF);
    f[22] = static_cast<char>(info.role);
    f[23] = static_cast<char>(info.id);
    for (int i = 0; i < 4; ++i)
        f[24 + i] = static_cast<char>((info.systemTime >> (8 * i)) & 0xFF);
    sealSum8(f);
    return f;
}

QByteArray systemReadRequest()
{
    QByteArray f(32, '\0');
    f[0] = 0x52;
    f[2] = 0x01;
    for (int i = 11; i < 19; ++i)
        f[i] = static_cast<char>(0xFF);
    sealSum8(f);
    return f;
}

SystemFrameHandler::SystemFrameHandler(const QByteArray& reply)
{
    setReply(reply);
}

void SystemFrameHandler::setReply(const QByteArray& reply)
{
    QByteArray f = reply.left(32);
    f.append(QByteArray(32 - f.size(), '\0'));
    f[2] = static_cast<char>(static_cast<quint8>(f[2]) & 0xFE);
    sealSum8(f);
    std::lock_guard<std::mutex> lock(mutex_);
    reply_ = f;
}

QByteArray SystemFrameHandler::reply() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return reply_;
}

QByteArray SystemFrameHandler::lastWriteFrame() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return lastWrite_;
}

int RequestHandler::matchSealedFrame(const QByteArray& input, quint8 h0, quint8 h1)
{
    if (static_cast<quint8>(input[0]) != h0)
        return NotMine;
    if (input.size() < 2)
        return NeedMore;
    if (static_cast<quint8>(input[1]) != h1)
        return NotMine;
    if (input.size() < 32)
        return NeedMore;
    if (sum8(input.constData(), 31) != static_cast<quint8>(input[31]))
        return NotMine;
    return 32;
}

int SystemFrameHandler::handle(const QByteArray& input, const SimContext&, QByteArray& reply)
{
    const int found = matchSealedFrame(input, 0x52, 0x00);
    if (found != 32)
        return found;
    std::lock_guard<std::mutex> lock(mutex_);
    if (static_cast<quint8>(input[2]) & 0x01) {
        ++readRequests_;
        reply.append(reply_);
    } else {
        lastWrite_ = input.left(32);
    }
    return 32;
}

DeviceSimulator::DeviceSimulator() = default;

DeviceSimulator::~DeviceSimulator()
{
    stop();
    // Handlers may still send from threads of their own (answers that fall due
    // later): they go while the device is whole.
    std::vector<std::shared_ptr<RequestHandler>> handlers;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        handlers.swap(handlers_);
    }
}

bool DeviceSimulator::start(QString* error)
{
    if (running_.load())
        return true;
    // Raw from the start: before the port opens the slave, a cooked line discipline
    // would echo what the device sends back to the device.
    struct termios raw {};
    cfmakeraw(&raw);
    cfsetispeed(&raw, B115200);
    cfsetospeed(&raw, B115200);
    char name[256] = {};
    if (openpty(&master_, &slave_, name, &raw, nullptr) != 0) {
        if (error)
            *error = QString("openpty failed: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    // The slave stays open here as well, so the master never sees a hang-up while
    // the port is closed.
    fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
    fcntl(master_, F_SETFD, FD_CLOEXEC);
    fcntl(slave_, F_SETFD, FD_CLOEXEC);
    wakeFd_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    path_ = QString::fromLocal8Bit(name);
    // The folder is made once; the link is made again on every start.
    if (!linkDir_)
        linkDir_.reset(new QTemporaryDir(QDir::tempPath() + "/talmeno-device-XXXXXX"));
    linkPath_ = linkDir_->filePath("tty");
    if (!linkDir_->isValid() || !QFile::link(path_, linkPath_)) {
        if (error)
            *error = "cannot link the device in " + QDir::tempPath();
        ::close(master_);
        ::close(slave_);
        ::close(wakeFd_);
        master_ = slave_ = wakeFd_ = -1;
        return false;
    }
    quit_.store(false);
    running_.store(true);
    thread_ = std::thread([this] { run(); });
    return true;
}

void DeviceSimulator::stop()
{
    if (!running_.load())
        return;
    // Unplugged: the path goes first, while the pty is still this device's.
    QFile::remove(linkPath_);
    quit_.store(true);
    wake();
    if (thread_.joinable())
        thread_.join();
    ::close(master_);
    ::close(slave_);
    ::close(wakeFd_);
    master_ = slave_ = wakeFd_ = -1;
    running_.store(false);
    receivedCv_.notify_all();
}

void DeviceSimulator::wake()
{
    if (wakeFd_ >= 0) {
        const uint64_t one = 1;
        [[maybe_unused]] ssize_t n = ::write(wakeFd_, &one, sizeof one);
    }
}

void DeviceSimulator::addHandler(const std::shared_ptr<RequestHandler>& handler)
{
    std::lock_guard<std::mutex> lock(mutex_);
    handlers_.push_back(handler);
}

void DeviceSimulator::send(const QByteArray& data)
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        output_.append(data);
    }
    wake();
}

void DeviceSimulator::stream(const QByteArray& data, int bytesPerSecond, bool loop, const QVector<int>& frameSizes)
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        streamData_ = data;
        streamPos_ = 0;
        streamSent_ = 0;
        streamStartNs_ = nowNs();
        streamRate_ = bytesPerSecond;
        streamLoop_ = loop;
        streamFrameEnds_.clear();
        qint64 end = 0;
        for (int n : frameSizes)
            streamFrameEnds_.push_back(end += n);
        if (end != data.size())
            streamFrameEnds_.clear(); // not the data's frames: any byte may end a write
    }
    wake();
}

bool DeviceSimulator::streamFile(const QString& path, int bytesPerSecond, bool loop, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    stream(file.readAll(), bytesPerSecond, loop);
    return true;
}

void DeviceSimulator::stopStream()
{
    std::lock_guard<std::mutex> lock(mutex_);
    streamData_.clear();
    streamPos_ = 0;
}

bool DeviceSimulator::isStreaming() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return streamPos_ < streamData_.size();
}

int DeviceSimulator::portRate() const
{
    if (master_ < 0)
        return -1;
    return ptyLineRate(master_);
}

QByteArray DeviceSimulator::received() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return received_;
}

void DeviceSimulator::clearReceived()
{
    std::lock_guard<std::mutex> lock(mutex_);
    received_.clear();
    receivedCount_.store(0);
}

int DeviceSimulator::unreadInput() const
{
    int n = 0;
    if (master_ < 0 || ::ioctl(master_, FIONREAD, &n) != 0)
        return 0;
    return n;
}

int DeviceSimulator::unsentOutput() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return output_.size();
}

bool DeviceSimulator::waitForReceived(quint64 count, int timeoutMs) const
{
    std::unique_lock<std::mutex> lock(mutex_);
    return receivedCv_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                [&] { return receivedCount_.load() >= count || !running_.load(); })
        && receivedCount_.load() >= count;
}

void DeviceSimulator::handleInput(const char* data, int n)
{
    received_.append(data, n);
    receivedCount_ += static_cast<quint64>(n);
    const Mode mode = mode_.load();
    if (mode == Mode::Silent)
        return;
    if (mode == Mode::Echo) {
        output_.append(data, n);
        return;
    }
    SimContext ctx;
    ctx.portRate = ptyLineRate(master_);
    ctx.deviceRate = deviceRate_.load();
    if (ctx.deviceRate > 0 && ctx.portRate != ctx.deviceRate) {
        // At a foreign rate the device hears only noise.
        input_.clear();
        return;
    }
    input_.append(data, n);
    while (!input_.isEmpty()) {
        bool needMore = false;
        int consumed = 0;
        for (const auto& h : handlers_) {
            QByteArray reply;
            const int r = h->handle(input_, ctx, reply);
            if (r > 0) {
                consumed = r;
                output_.append(reply);
                break;
            }
            if (r == RequestHandler::NeedMore)
                needMore = true;
        }
        if (consumed > 0)
            input_.remove(0, consumed);
        else if (needMore)
            break;
        else
            input_.remove(0, 1);
    }
    // A request never grows without bound.
    if (input_.size() > 65536)
        input_.remove(0, input_.size() - 65536);
}

void DeviceSimulator::feedStream()
{
    if (streamPos_ >= streamData_.size())
        return;
    qint64 allowed;
    if (streamRate_ <= 0) {
        allowed = kOutputHighWater - output_.size();
    } else {
        const qint64 elapsed = nowNs() - streamStartNs_;
        allowed = static_cast<qint64>(static_cast<double>(elapsed) * streamRate_ / 1e9) - streamSent_;
        allowed = qMin<qint64>(allowed, kOutputHighWater - output_.size());
    }
    while (allowed > 0 && streamPos_ < streamData_.size()) {
        qint64 n = qMin<qint64>(allowed, streamData_.size() - streamPos_);
        if (!streamFrameEnds_.empty()) {
            // Up to the last frame end within reach; nothing while a whole frame is not.
            const auto end = std::upper_bound(streamFrameEnds_.begin(), streamFrameEnds_.end(), streamPos_ + n);
            n = end == streamFrameEnds_.begin() ? 0 : *(end - 1) - streamPos_;
            if (n <= 0)
                break;
        }
        output_.append(streamData_.constData() + streamPos_, static_cast<int>(n));
        streamPos_ += n;
        streamSent_ += n;
        allowed -= n;
        if (streamPos_ >= streamData_.size() && streamLoop_)
            streamPos_ = 0;
    }
}

void DeviceSimulator::flushOutput()
{
    while (!output_.isEmpty()) {
        const ssize_t n = ::write(master_, output_.constData(), static_cast<size_t>(output_.size()));
        if (n > 0) {
            output_.remove(0, static_cast<int>(n));
            sentCount_ += static_cast<quint64>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        break; // EAGAIN: the port has not read yet
    }
}

void DeviceSimulator::run()
{
    char buf[65536];
    while (!quit_.load()) {
        bool wantOut;
        bool streaming;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            feedStream();
            flushOutput();
            wantOut = !output_.isEmpty();
            streaming = streamPos_ < streamData_.size();
        }
        struct pollfd fds[2];
        fds[0].fd = master_;
        fds[0].events = POLLIN | (wantOut ? POLLOUT : 0);
        fds[0].revents = 0;
        fds[1].fd = wakeFd_;
        fds[1].events = POLLIN;
        fds[1].revents = 0;
        const int timeout = streaming ? 2 : (wantOut ? 20 : 200);
        const int r = ::poll(fds, 2, timeout);
        if (r < 0 && errno != EINTR)
            break;
        if (fds[1].revents & POLLIN) {
            uint64_t v;
            [[maybe_unused]] ssize_t n = ::read(wakeFd_, &v, sizeof v);
        }
        if (fds[0].revents & POLLIN) {
            const ssize_t n = ::read(master_, buf, sizeof buf);
            if (n > 0) {
                {
                    std::lock_guard<std::mutex> lock(mutex_);
                    handleInput(buf, static_cast<int>(n));
                }
                receivedCv_.notify_all();
            }
        }
    }
}

} // namespace sim
