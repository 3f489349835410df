#pragma once
// NMEA 0183 output of a positioning node: GPGGA, GPGSA and GPRMC ten times a second
// with moving values and valid checksums, now and then one sentence corrupted.

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace sim {

class DeviceSimulator;

// "$" + body + "*hh\r\n", hh the XOR of the body's bytes in upper-case hex.
QByteArray nmeaSentence(const QByteArray& body);

// The three sentences of epoch k (0.1 s apart); with corrupt set the GPGSA
// sentence's checksum is wrong.
QByteArray nmeaEpoch(int k, bool corrupt);

// Epochs 0 .. count-1; every corruptEvery-th epoch (0: none) carries a corrupted
// sentence. The marker field of a corrupted sentence reads "BAD".
QByteArray nmeaStream(int count, int corruptEvery = 7);

// Streams nmeaStream(count) in a loop at ten epochs a second.
void startNmeaStream(DeviceSimulator& device, int count = 600, int corruptEvery = 7);

} // namespace sim
