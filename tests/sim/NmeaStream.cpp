#include "NmeaStream.h"

#include "DeviceSimulator.h"

#include <cmath>

namespace sim {

QByteArray nmeaSentence(const QByteArray& body)
{
    quint8 x = 0;
    for (char c : body)
        x ^= quint8(c);
    return "$" + body + "*" + QByteArray::number(x, 16).rightJustified(2, '0').toUpper() + "\r\n";
}

QByteArray nmeaEpoch(int k, bool corrupt)
{
    const int tenths = k % 864000;
    const QByteArray utc = QString("%1%2%3.%4")
                               .arg(tenths / 36000 % 24, 2, 10, QChar('0'))
                               .arg(tenths / 600 % 60, 2, 10, QChar('0'))
                               .arg(tenths / 10 % 60, 2, 10, QChar('0'))
                               .arg(tenths % 10 * 10, 2, 10, QChar('0'))
                               .toLatin1();
    // A slow circle around a fixed point.
    const double a = k * 0.01;
    const QByteArray lat = QByteArray::number(3030.0 + 0.05 * std::sin(a), 'f', 5);
    const QByteArray lon = QByteArray::number(11420.0 + 0.05 * std::cos(a), 'f', 5);
    const QByteArray alt = QByteArray::number(20.0 + (k % 50) * 0.1, 'f', 1);
    const QByteArray hdop = QByteArray::number(0.8 + (k % 10) * 0.01, 'f', 2);

    QByteArray out;
    out += nmeaSentence("GPGGA," + utc + "," + lat + ",N," + lon + ",E,1," + QByteArray::number(6 + k % 5) + "," +
                        hdop + "," + alt + ",M,-3.2,M,,");
    QByteArray gsa = nmeaSentence("GPGSA,A,3,01,02,03,04,05,06,,,,,,," + QByteArray::number(1.5 + (k % 10) * 0.01, 'f', 2) +
                                  "," + hdop + ",1.10");
    if (corrupt) {
        // Keep the checksum, change a field: the XOR no longer matches.
        gsa.replace(",3,01,", ",BAD,");
    }
    out += gsa;
    out += nmeaSentence("GPRMC," + utc + ",A," + lat + ",N," + lon + ",E," +
                        QByteArray::number((k % 30) * 0.1, 'f', 1) + "," + QByteArray::number(k % 360) +
                        ".0,071226,,,A");
    return out;
}

QByteArray nmeaStream(int count, int corruptEvery)
{
    QByteArray all;
    for (int k = 0; k < count; ++k)
        all += nmeaEpoch(k, corruptEvery > 0 && k % corruptEvery == corruptEvery - 1);
    return all;
}

namespace {
constexpr int kEpochsPerLoop = 600;
}

NmeaTalker::NmeaTalker(DeviceSimulator& device, int corruptEvery)
    : device_(device)
    , corruptEvery_(corruptEvery)
{
}

void NmeaTalker::start()
{
    thread_.start([] { return 10; },
                  [this] {
                      const int rate = device_.deviceRate();
                      if (!device_.isRunning() || (rate > 0 && device_.portRate() != rate))
                          return;
                      device_.send(nmeaEpoch(k_, corruptEvery_ > 0 && k_ % corruptEvery_ == corruptEvery_ - 1));
                      k_ = (k_ + 1) % kEpochsPerLoop;
                  });
}

void NmeaTalker::stop()
{
    thread_.stop();
}

} // namespace sim
