// talmeno-sim: a simulated device on a pseudo terminal, for trying the program
// without hardware. Prints the port path on the first line of its output and runs
// until it is stopped; killing it looks to the program like an unplugged adapter.

#include "AoaNodeSimulator.h"
#include "DeviceSimulator.h"
#include "IotNodeSimulator.h"
#include "NmeaStream.h"
#include "RangeSensorSimulator.h"
#include "TrelvanNodeSimulator.h"
#include "TrelvanScenario.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>

#include <csignal>
#include <cstdio>
#include <memory>
#include <pthread.h>
#include <unistd.h>

namespace {

// The frame kinds --trelvan streams, by their short frame names.
const char* const kTrelvanFrameNames[] = {"Node_Frame2",  "Anchor_Frame0", "Node_Frame0", "Tag_Frame0",
                                          "Node_Frame1",  "Node_Frame3",   "Node_Frame4", "Node_Frame5",
                                          "Node_Frame7",  "AOA_Node_Frame0"};

QString trelvanFrameNames()
{
    QStringList names;
    for (const char* name : kTrelvanFrameNames)
        names << QString::fromLatin1(name);
    return names.join(", ");
}

// The single-point range sensor played when --product is not given.
constexpr int kDefaultRangeProduct = 3;
// Frames in one loop of a Trelvan stream: a minute of movement at the chosen rate.
constexpr int kTrelvanLoopSeconds = 60;

bool isRangeProduct(int type)
{
    return type >= 3 && type <= 20 && type != 11;
}

} // namespace

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
    QCommandLineOption sarvelOpt("sarvel",
                                 "Play a range sensor of type --product (default 3) at --baud: answers recognition "
                                 "and parameter reads, streams range frames at --frame-rate (multi-zone types: "
                                 "zone frames at --zone-rate).");
    QCommandLineOption rangeOpt("range-sensor", "The same as --sarvel.");
    QCommandLineOption zoneRateOpt("zone-rate", "Zone frames per second of a multi-zone range sensor.", "hz", "15");
    QCommandLineOption trelvanOpt("trelvan",
                                  "Play a Trelvan node that answers recognition and parameter reads and streams "
                                  "this frame kind at --frame-rate, with node frame 0 and error frames between; "
                                  "one of: " + trelvanFrameNames() + ".",
                                  "frame name");
    QCommandLineOption frameRateOpt("frame-rate", "Frames per second of --sarvel and --trelvan.", "Hz", "100");
    QCommandLineOption iotOpt("iot", "Be an iot node (product type 11, series 0) streaming node frames at this rate.",
                              "hz");
    QCommandLineOption aoaOpt("aoa",
                              "Be an AOA node of this model (15 anchor, 16 tag): parameters, calibration frame and "
                              "AOA node frames at its update rate.",
                              "model");
    QCommandLineOption nmeaOpt("nmea", "Stream GPGGA, GPGSA and GPRMC sentences at 10 Hz, now and then a corrupted one.");
    parser.addOptions({rateOpt, modeOpt, replyOpt, productOpt, modelOpt, streamOpt, speedOpt, loopOpt, linkOpt,
                       sarvelOpt, rangeOpt, zoneRateOpt, trelvanOpt, frameRateOpt, iotOpt, aoaOpt, nmeaOpt});
    parser.process(app);

    bool rateOk = false;
    const int frameRate = parser.value(frameRateOpt).toInt(&rateOk);
    if (!rateOk || frameRate < 1 || frameRate > 1000) {
        std::fprintf(stderr, "--frame-rate needs 1 to 1000 frames per second\n");
        return 2;
    }
    const bool sarvel = parser.isSet(sarvelOpt) || parser.isSet(rangeOpt);
    const bool trelvan = parser.isSet(trelvanOpt);
    const bool iot = parser.isSet(iotOpt);
    const bool aoa = parser.isSet(aoaOpt);
    sim::TrelvanScenario::Kind trelvanKind = sim::TrelvanScenario::Kind::NodeFrame2;
    if (trelvan && !sim::TrelvanScenario::kindOfGroup(parser.value(trelvanOpt), &trelvanKind)) {
        std::fprintf(stderr, "unknown Trelvan frame: %s (known: %s)\n", qPrintable(parser.value(trelvanOpt)),
                     qPrintable(trelvanFrameNames()));
        return 2;
    }
    if (int(sarvel) + int(trelvan) + int(iot) + int(aoa) > 1) {
        std::fprintf(stderr, "--sarvel, --trelvan, --iot and --aoa exclude each other\n");
        return 2;
    }
    const bool wholeDevice = sarvel || trelvan || iot || aoa;
    if (wholeDevice && (parser.isSet(replyOpt) || parser.isSet(streamOpt) || parser.isSet(modeOpt))) {
        std::fprintf(stderr, "--sarvel, --trelvan, --iot and --aoa play a whole device: no --system-reply, --stream or --mode\n");
        return 2;
    }

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

    std::unique_ptr<sim::RangeSensor> rangeSensor;
    std::unique_ptr<sim::IotNode> iotNode;
    std::unique_ptr<sim::TrelvanNode> trelvanNode;
    std::unique_ptr<sim::AoaNode> aoaNode;
    const sim::TrelvanScenario scenario(frameRate);
    QByteArray reply;
    if (sarvel) {
        const int type = parser.isSet(productOpt) ? parser.value(productOpt).toInt() : kDefaultRangeProduct;
        if (!isRangeProduct(type)) {
            std::fprintf(stderr, "--sarvel needs a range sensor type (3 to 20 but 11), got %d\n", type);
            return 2;
        }
        const int model = parser.isSet(modelOpt) ? parser.value(modelOpt).toInt() : 0;
        rangeSensor.reset(new sim::RangeSensor(device, type, device.deviceRate(), model));
        // The sensor streams at the refresh rate kept in its parameters.
        QByteArray params = rangeSensor->parameters().parameters();
        params[24] = char(frameRate & 0xFF);
        params[25] = char((frameRate >> 8) & 0xFF);
        rangeSensor->parameters().setParameters(params);
        rangeSensor->setZoneRate(parser.value(zoneRateOpt).toInt());
    } else if (trelvan) {
        // The node names the streamed kind as its output protocol (the frame key), so
        // that recognition loads that kind's page.
        sim::TrelvanNodeSetup setup;
        setup.baudRate = quint32(device.deviceRate() > 0 ? device.deviceRate() : 115200);
        setup.protocol = quint8(scenario.frameAt(trelvanKind, 0).at(1));
        setup.refreshRate = quint16(frameRate);
        trelvanNode.reset(new sim::TrelvanNode(device, setup));
    } else if (aoa) {
        const int model = parser.value(aoaOpt).toInt();
        if (model != sim::AoaNode::kAnchorModel && model != sim::AoaNode::kTagModel) {
            std::fprintf(stderr, "--aoa needs model 15 or 16, got %d\n", model);
            return 2;
        }
        aoaNode.reset(new sim::AoaNode(device, model, quint32(device.deviceRate() > 0 ? device.deviceRate() : 115200)));
    } else if (iot) {
        iotNode.reset(new sim::IotNode(device, parser.value(iotOpt).toInt(), device.deviceRate()));
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
    if (!wholeDevice)
        device.addHandler(std::make_shared<sim::SystemFrameHandler>(reply));

    QString error;
    if (!device.start(&error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
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
    if (rangeSensor)
        rangeSensor->start();
    if (iotNode)
        iotNode->start();
    if (aoaNode)
        aoaNode->start(true);
    if (trelvanNode) {
        // Node frame 2 follows the node's own update rate (a parameter write changes
        // it); the other kinds stream from the scenario with node frame 0 and error
        // frames between.
        const bool ownStream = trelvanKind == sim::TrelvanScenario::Kind::NodeFrame2;
        trelvanNode->start(ownStream);
        if (!ownStream)
            scenario.streamMixedTo(device, trelvanKind, frameRate * kTrelvanLoopSeconds, true);
    }
    if (parser.isSet(nmeaOpt))
        sim::startNmeaStream(device);
    std::printf("%s\n", qPrintable(device.portPath()));
    std::fflush(stdout);

    int sig = 0;
    sigwait(&stopSignals, &sig);
    if (trelvanNode)
        trelvanNode->stop();
    if (aoaNode)
        aoaNode->stop();
    if (iotNode)
        iotNode->stop();
    if (rangeSensor)
        rangeSensor->stop();
    if (aoaNode)
        aoaNode->stop();
    device.stop();
    if (!linkPath.isEmpty())
        QFile::remove(linkPath);
    return 0;
}
