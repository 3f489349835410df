// talmeno-sim: a simulated device on a pseudo terminal, for trying the program
// without hardware. Prints the port path on the first line of its output and runs
// until it is stopped; killing it looks to the program like an unplugged adapter.

#include "DeviceSimulator.h"
#include "IotNodeSimulator.h"
#include "NmeaStream.h"
#include "RangeSensorSimulator.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>

#include <csignal>
#include <cstdio>
#include <memory>
#include <pthread.h>
#include <unistd.h>

int main(int argc, char** argv)
{
    // Stop signals are taken by sigwait below; blocked before any thread exists so
    // that every thread inherits the mask.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("talmeno-sim");

    QCommandLineParser parser;
    parser.setApplicationDescription("Simulated device on a pseudo terminal.");
    parser.addHelpOption();
    QCommandLineOption rateOpt("baud", "The device's own line rate; 0 answers at any rate.", "rate", "115200");
    QCommandLineOption modeOpt("mode", "device, echo or silent.", "mode", "device");
    QCommandLineOption replyOpt("system-reply", "The 32-byte system frame reply as hex (checksum is fixed).", "hex");
    QCommandLineOption productOpt("product", "Product type id of the default reply.", "id", "0");
    QCommandLineOption modelOpt("model", "Model id of the default reply.", "id", "1");
    QCommandLineOption streamOpt("stream", "Send the bytes of this file.", "file");
    QCommandLineOption speedOpt("rate", "Pace of --stream in bytes per second (0: as fast as read).", "bps", "0");
    QCommandLineOption loopOpt("loop", "Repeat --stream from the start.");
    QCommandLineOption linkOpt("link", "Also make a symbolic link to the port at this path.", "path");
    QCommandLineOption iotOpt("iot", "Be an iot node (product type 11, series 0) streaming node frames at this rate.",
                              "hz");
    QCommandLineOption rangeOpt("range-sensor",
                                "Play a range sensor of --product: parameter replies and its frame stream.");
    QCommandLineOption zoneRateOpt("zone-rate", "Zone frames per second of a multi-zone range sensor.", "hz", "15");
    QCommandLineOption nmeaOpt("nmea", "Stream GPGGA, GPGSA and GPRMC sentences at 10 Hz, now and then a corrupted one.");
    parser.addOptions({rateOpt, modeOpt, replyOpt, productOpt, modelOpt, streamOpt, speedOpt, loopOpt, linkOpt,
                       rangeOpt, zoneRateOpt, iotOpt, nmeaOpt});
    parser.process(app);

    sim::DeviceSimulator device;
    const QString mode = parser.value(modeOpt);
    if (mode == "echo")
        device.setMode(sim::DeviceSimulator::Mode::Echo);
    else if (mode == "silent")
        device.setMode(sim::DeviceSimulator::Mode::Silent);
    else if (mode != "device") {
        std::fprintf(stderr, "unknown mode: %s\n", qPrintable(mode));
        return 2;
    }
    device.setDeviceRate(parser.value(rateOpt).toInt());

    std::unique_ptr<sim::IotNode> iotNode;
    std::unique_ptr<sim::RangeSensor> rangeSensor;
    QByteArray reply;
    if (parser.isSet(iotOpt)) {
        iotNode.reset(new sim::IotNode(device, parser.value(iotOpt).toInt(), device.deviceRate()));
    } else if (parser.isSet(rangeOpt)) {
        rangeSensor.reset(new sim::RangeSensor(device, parser.value(productOpt).toInt(), device.deviceRate(),
                                               parser.value(modelOpt).toInt()));
        rangeSensor->setZoneRate(parser.value(zoneRateOpt).toInt());
    } else if (parser.isSet(replyOpt)) {
        reply = QByteArray::fromHex(parser.value(replyOpt).toLatin1());
        if (reply.size() != 32) {
            std::fprintf(stderr, "--system-reply needs 32 bytes, got %d\n", reply.size());
            return 2;
        }
    } else {
        sim::SystemInfo info;
        info.productType = static_cast<quint8>(parser.value(productOpt).toUInt());
        info.modelId = static_cast<quint8>(parser.value(modelOpt).toUInt());
        info.baudRate = device.deviceRate();
        reply = sim::systemFrameReply(info);
    }
    if (!iotNode && !rangeSensor)
        device.addHandler(std::make_shared<sim::SystemFrameHandler>(reply));

    QString error;
    if (!device.start(&error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    if (rangeSensor)
        rangeSensor->start();
    QString linkPath = parser.value(linkOpt);
    if (!linkPath.isEmpty()) {
        QFile::remove(linkPath);
        if (!QFile::link(device.portPath(), linkPath)) {
            std::fprintf(stderr, "cannot link %s\n", qPrintable(linkPath));
            linkPath.clear();
        }
    }
    if (parser.isSet(streamOpt)
        && !device.streamFile(parser.value(streamOpt), parser.value(speedOpt).toInt(), parser.isSet(loopOpt), &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    if (iotNode)
        iotNode->start();
    if (parser.isSet(nmeaOpt))
        sim::startNmeaStream(device);
    std::printf("%s\n", qPrintable(device.portPath()));
    std::fflush(stdout);

    int sig = 0;
    sigwait(&stopSignals, &sig);
    if (iotNode)
        iotNode->stop();
    if (rangeSensor)
        rangeSensor->stop();
    device.stop();
    if (!linkPath.isEmpty())
        QFile::remove(linkPath);
    return 0;
}
