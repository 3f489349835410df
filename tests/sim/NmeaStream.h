#pragma once
// NMEA 0183 output of a positioning node: GPGGA, GPGSA and GPRMC ten times a second
// with moving values and valid checksums, now and then one sentence corrupted.

#include "PacedThread.h"

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

// Sends the epochs of nmeaStream(600, corruptEvery) over and over, ten a second, from
// a thread of its own while the port runs at the device's rate, so that the
// sentences mix with whatever else the device sends.
class NmeaTalker
{
public:
    explicit NmeaTalker(DeviceSimulator& device, int corruptEvery = 7);

    void start();
    void stop();

private:
    DeviceSimulator& device_;
    int corruptEvery_;
    int k_ = 0; // the next epoch, on the thread only
    PacedThread thread_;
};

} // namespace sim
