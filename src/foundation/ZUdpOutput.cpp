#include "foundation/ZUdpOutput.h"

#include "foundation/ZLog.h"

#include <QHostAddress>
#include <QMutex>
#include <QMutexLocker>

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

std::atomic<bool> udpOutputEnabled{false};
std::atomic<int> udpOutputPort{0};

namespace {

// A plain datagram socket: sendto() may be called from any thread, unlike a
// QUdpSocket, which belongs to the thread that made it.
struct UdpSender
{
    QMutex mutex;
    int fd = -1;
    bool failed = false;
    quint32 address = 0; // IPv4, host order
    bool addressKnown = false;

    ~UdpSender()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

UdpSender& sender()
{
    static UdpSender s;
    return s;
}

std::atomic<bool> socketMade{false};

} // namespace

QString udpOutputAddress()
{
    const QString env = qEnvironmentVariable("TALMENO_UDP_ADDRESS").trimmed();
    return env.isEmpty() ? QStringLiteral("255.255.255.255") : env;
}

bool sendUdpText(const QByteArray& text)
{
    if (!udpOutputEnabled.load(std::memory_order_relaxed))
        return false;
    const int port = udpOutputPort.load(std::memory_order_relaxed);
    if (port <= 0 || port > 65535)
        return false;

    UdpSender& s = sender();
    QMutexLocker lock(&s.mutex);
    if (s.failed)
        return false;
    if (!s.addressKnown) {
        QHostAddress host(udpOutputAddress());
        bool ok = false;
        const quint32 v4 = host.toIPv4Address(&ok);
        if (!ok) {
            zWarning() << "UDP output address is not an IPv4 address:" << udpOutputAddress();
            s.failed = true;
            return false;
        }
        s.address = v4;
        s.addressKnown = true;
    }
    if (s.fd < 0) {
        s.fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        if (s.fd < 0) {
            zWarning() << "UDP output socket failed:" << std::strerror(errno);
            s.failed = true;
            return false;
        }
        const int on = 1;
        ::setsockopt(s.fd, SOL_SOCKET, SO_BROADCAST, &on, sizeof on);
        socketMade.store(true);
    }
    sockaddr_in to {};
    to.sin_family = AF_INET;
    to.sin_port = htons(static_cast<quint16>(port));
    to.sin_addr.s_addr = htonl(s.address);
    const ssize_t n = ::sendto(s.fd, text.constData(), static_cast<size_t>(text.size()), 0,
                               reinterpret_cast<const sockaddr*>(&to), sizeof to);
    return n == text.size();
}

bool udpSocketCreated()
{
    return socketMade.load();
}
