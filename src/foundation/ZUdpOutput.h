#pragma once

#include <QByteArray>
#include <QString>

#include <atomic>

// Process-wide UDP output switch and destination port. The menu writes them on the
// GUI thread; frame parsers read them on the processing thread.
extern std::atomic<bool> udpOutputEnabled;
extern std::atomic<int> udpOutputPort;

// Destination of the datagrams: TALMENO_UDP_ADDRESS when set, else the IPv4
// broadcast address.
QString udpOutputAddress();

// Sends one text as one datagram to udpOutputAddress() on udpOutputPort, through a
// single socket made on first use. Callable from any thread. Returns false when
// output is off, the port is unset, or the send fails.
bool sendUdpText(const QByteArray& text);

// Whether the datagram socket has been made (it is made by the first send).
bool udpSocketCreated();
