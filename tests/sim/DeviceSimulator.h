#pragma once

// A simulated device on the far side of a pseudo terminal. The simulator owns the
// master side; the program under test opens the slave path like any serial port.
// Requests are answered by pluggable handlers (system frame here; products,
// parameter frames and the boot loader add their own), only while the port runs at
// the device's own line rate, as a real device would behave.

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <QVector>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace sim {

// Monotonic clock in nanoseconds.
qint64 nowNs();
// 8-bit sum of n bytes: the checksum of the maker's binary frames.
quint8 sum8(const char* data, int n);
// Writes the sum of all bytes before the last into the last byte.
void sealSum8(QByteArray& frame);

struct SimContext
{
    int portRate = 0;   // the rate the port side has set (0 when unknown)
    int deviceRate = 0; // the device's own rate (0: answers at any rate)
};

// Recognises one kind of request at the start of the received bytes.
class RequestHandler
{
public:
    static constexpr int NotMine = 0;
    static constexpr int NeedMore = -1;

    virtual ~RequestHandler() = default;
    // Returns the size of the request found at the start of input (its answer, if
    // any, appended to reply), NeedMore when input may be the start of one, NotMine
    // otherwise. Runs on the simulator's thread.
    virtual int handle(const QByteArray& input, const SimContext& ctx, QByteArray& reply) = 0;

protected:
    // For 32-byte frames of head h0 h1 sealed with sum8: 32 when input starts with
    // one, NeedMore while it may, NotMine otherwise.
    static int matchSealedFrame(const QByteArray& input, quint8 h0, quint8 h1);
};

// Fields of a 32-byte system frame reply.
struct SystemInfo
{
    quint8 modelId = 1;
    quint8 productType = 0;
    quint8 hardwareMajor = 1;
    quint8 hardwareMinor = 0;
    quint8 firmware[4] = {1, 2, 3, 4}; // first, second, third, fourth part
    qint32 baudRate = 115200;          // signed 24-bit on the wire
    qint8 role = 2;
    quint8 id = 0;
    quint32 systemTime = 0;
};

QByteArray systemFrameReply(const SystemInfo& info);
// The 32-byte read request a host sends (flags bit 0 set, reserved bytes 0xFF).
QByteArray systemReadRequest();

// Answers the system read request with a configured reply; remembers write frames.
class SystemFrameHandler : public RequestHandler
{
public:
    explicit SystemFrameHandler(const QByteArray& reply = systemFrameReply(SystemInfo{}));

    void setReply(const QByteArray& reply);
    QByteArray reply() const;
    int readRequests() const { return readRequests_.load(); }
    QByteArray lastWriteFrame() const;

    int handle(const QByteArray& input, const SimContext& ctx, QByteArray& reply) override;

private:
    mutable std::mutex mutex_;
    QByteArray reply_;
    QByteArray lastWrite_;
    std::atomic<int> readRequests_{0};
};

class DeviceSimulator
{
public:
    enum class Mode { Device, Echo, Silent };

    DeviceSimulator();
    ~DeviceSimulator();
    DeviceSimulator(const DeviceSimulator&) = delete;
    DeviceSimulator& operator=(const DeviceSimulator&) = delete;

    // Opens the pty pair and starts the device thread.
    bool start(QString* error = nullptr);
    // Takes the device's path away, then closes the master side: to the port it
    // looks as if the device was unplugged.
    void stop();
    bool isRunning() const { return running_.load(); }
    // The device's own path, to be opened by the port: a link to the slave side in
    // a folder of this simulator's. A pty number is taken again by the next pty
    // opened anywhere on the machine; the link goes with the device and no other
    // device ever shows under it.
    QString portPath() const { return linkPath_; }
    // The slave side itself (its number is free again once the device stops).
    QString ptyPath() const { return path_; }

    void setDeviceRate(int rate) { deviceRate_.store(rate); }
    int deviceRate() const { return deviceRate_.load(); }
    void setMode(Mode mode) { mode_.store(mode); }
    Mode mode() const { return mode_.load(); }
    void addHandler(const std::shared_ptr<RequestHandler>& handler);

    // Sends bytes to the port at once.
    void send(const QByteArray& data);
    // Sends data at a pace of bytesPerSecond (0: as fast as the port takes it),
    // from the start again when loop is set. With frameSizes (the data's frames, in
    // order, adding up to it) a frame goes out in one write, never split over two: a
    // busy reader then never holds half a frame while the rest waits.
    void stream(const QByteArray& data, int bytesPerSecond, bool loop = false, const QVector<int>& frameSizes = {});
    bool streamFile(const QString& path, int bytesPerSecond, bool loop, QString* error = nullptr);
    void stopStream();
    bool isStreaming() const;

    // The rate the port side has set, read from the master.
    int portRate() const;
    // Every byte the port has written, in order.
    QByteArray received() const;
    quint64 receivedCount() const { return receivedCount_.load(); }
    quint64 sentCount() const { return sentCount_.load(); }
    void clearReceived();
    // Bytes the port has written that the device has not read yet.
    int unreadInput() const;
    // Bytes the device has queued for the port but not yet written (a full pty holds
    // them back); a stopped stream has sent all of it once this is 0.
    int unsentOutput() const;
    // Blocks (without an event loop) until receivedCount() >= count or the time-out.
    bool waitForReceived(quint64 count, int timeoutMs) const;

private:
    void run();
    void wake();
    void handleInput(const char* data, int n);
    void feedStream(); // under mutex_
    void flushOutput(); // under mutex_

    int master_ = -1;
    int slave_ = -1;
    int wakeFd_ = -1;
    QString path_;
    std::unique_ptr<QTemporaryDir> linkDir_;
    QString linkPath_;
    std::thread thread_;
    std::atomic<bool> running_{false};
    std::atomic<bool> quit_{false};
    std::atomic<int> deviceRate_{0};
    std::atomic<Mode> mode_{Mode::Device};
    std::atomic<quint64> receivedCount_{0};
    std::atomic<quint64> sentCount_{0};

    mutable std::mutex mutex_;
    mutable std::condition_variable receivedCv_;
    std::vector<std::shared_ptr<RequestHandler>> handlers_;
    QByteArray input_;    // request bytes not yet consumed by a handler
    QByteArray output_;   // bytes waiting to go to the port
    QByteArray received_; // everything the port wrote

    QByteArray streamData_;
    qint64 streamPos_ = 0;
    qint64 streamStartNs_ = 0;
    qint64 streamSent_ = 0;
    int streamRate_ = 0;
    bool streamLoop_ = false;
    std::vector<qint64> streamFrameEnds_; // where the stream's frames end; empty: any byte
};

} // namespace sim
