#include "SimulatorCommand.h"

#include "AnalyserSimulator.h"
#include "AoaNodeSimulator.h"
#include "DeviceSimulator.h"
#include "IotNodeSimulator.h"
#include "NmeaStream.h"
#include "RangeSensorSimulator.h"
#include "TrelvanTrial.h"

#include <QCommandLineParser>
#include <QFile>
#include <QFileInfo>

namespace sim {

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
constexpr int kDefaultAnalyserProduct = 19;

bool isRangeProduct(int type)
{
    return type >= 3 && type <= 20 && type != 11;
}

bool isAnalyserProduct(int type)
{
    return type == 19 || type == 20;
}

} // namespace

struct SimulatorCommand::Played
{
    QCommandLineParser parser;
    QString error;
    int exitCode = 0;
    QString linkPath;
    // Declared first: the parts below answer and stream through it, so they go first.
    DeviceSimulator device;
    std::unique_ptr<RangeSensor> rangeSensor;
    std::unique_ptr<IotNode> iotNode;
    std::unique_ptr<TrelvanTrial> trelvan;
    std::unique_ptr<AoaNode> aoaNode;
    std::unique_ptr<Analyser> analyser;
    std::unique_ptr<NmeaTalker> nmea;

    bool fail(int code, const QString& text)
    {
        exitCode = code;
        error = text;
        return false;
    }
};

SimulatorCommand::SimulatorCommand()
    : p_(new Played)
{
}

SimulatorCommand::~SimulatorCommand()
{
    stop();
}

QString SimulatorCommand::helpText() const
{
    return p_->parser.helpText();
}

QString SimulatorCommand::error() const
{
    return p_->error;
}

int SimulatorCommand::exitCode() const
{
    return p_->exitCode;
}

DeviceSimulator& SimulatorCommand::device()
{
    return p_->device;
}

QString SimulatorCommand::portPath() const
{
    return p_->device.portPath();
}

TrelvanTrial* SimulatorCommand::trelvan() const
{
    return p_->trelvan.get();
}

bool SimulatorCommand::start(const QStringList& arguments)
{
    Played& p = *p_;
    QCommandLineParser& parser = p.parser;
    parser.setApplicationDescription("Simulated device on a pseudo terminal.");
    const QCommandLineOption helpOpt = parser.addHelpOption();
    QCommandLineOption rateOpt("baud", "The device's own line rate; 0 answers at any rate.", "rate", "115200");
    QCommandLineOption modeOpt("mode", "device, echo or silent.", "mode", "device");
    QCommandLineOption replyOpt("system-reply", "The 32-byte system frame reply as hex (checksum is fixed).", "hex");
    QCommandLineOption productOpt("product", "Product type id of the default reply, of --sarvel or of --uwbana.",
                                  "id", "0");
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
    QCommandLineOption trelvanOpt(
        "trelvan",
        "Play a Trelvan node whose role and mode offer this frame kind and which names it as its output: it answers "
        "recognition, parameter reads and writes, relayed requests for remote nodes and the AHRS calibration, and "
        "streams the kind at --frame-rate with node frame 0 and error frames between; one of: "
            + trelvanFrameNames() + ".",
        "frame name");
    QCommandLineOption frameRateOpt("frame-rate", "Frames per second of --sarvel and --trelvan.", "Hz", "100");
    QCommandLineOption iotOpt("iot", "Be an iot node (product type 11, series 0) streaming node frames at this rate.",
                              "hz");
    QCommandLineOption aoaOpt("aoa",
                              "Be an AOA node of this model (15 anchor, 16 tag): parameters, calibration frame and "
                              "AOA node frames at its update rate.",
                              "model");
    QCommandLineOption uwbanaOpt("uwbana",
                                 "Be a UWB analyser of type --product (19, the default, or 20): answers recognition "
                                 "and its settings frame (read and write), streams a status frame every period and "
                                 "receive frames of each enabled chip.");
    QCommandLineOption nmeaOpt("nmea",
                               "Stream GPGGA, GPGSA and GPRMC sentences at 10 Hz, now and then a corrupted one; "
                               "alone, from a Trelvan tag whose output is NMEA0183.");
    parser.addOptions({rateOpt, modeOpt, replyOpt, productOpt, modelOpt, streamOpt, speedOpt, loopOpt, linkOpt,
                       sarvelOpt, rangeOpt, zoneRateOpt, trelvanOpt, frameRateOpt, iotOpt, aoaOpt, uwbanaOpt,
                       nmeaOpt});
    if (!parser.parse(arguments))
        return p.fail(2, parser.errorText());
    if (parser.isSet(helpOpt))
        return p.fail(0, QString());
    if (!parser.positionalArguments().isEmpty())
        return p.fail(2, "unexpected argument: " + parser.positionalArguments().first());

    bool rateOk = false;
    const int frameRate = parser.value(frameRateOpt).toInt(&rateOk);
    if (!rateOk || frameRate < 1 || frameRate > 1000)
        return p.fail(2, "--frame-rate needs 1 to 1000 frames per second");
    const bool sarvel = parser.isSet(sarvelOpt) || parser.isSet(rangeOpt);
    const bool trelvan = parser.isSet(trelvanOpt);
    const bool iot = parser.isSet(iotOpt);
    const bool aoa = parser.isSet(aoaOpt);
    const bool uwbana = parser.isSet(uwbanaOpt);
    const bool nmea = parser.isSet(nmeaOpt);
    TrelvanTrial::Output output;
    output.nmea = !trelvan;
    if (trelvan && !TrelvanScenario::kindOfGroup(parser.value(trelvanOpt), &output.kind))
        return p.fail(2, QString("unknown Trelvan frame: %1 (known: %2)")
                             .arg(parser.value(trelvanOpt), trelvanFrameNames()));
    if (int(sarvel) + int(trelvan) + int(iot) + int(aoa) + int(uwbana) > 1)
        return p.fail(2, "--sarvel, --trelvan, --iot, --aoa and --uwbana exclude each other");
    // --nmea alone plays the tag that outputs the sentences.
    const bool nmeaNode = nmea && !(sarvel || trelvan || iot || aoa || uwbana);
    const bool wholeDevice = sarvel || trelvan || iot || aoa || uwbana || nmeaNode;
    if (wholeDevice && (parser.isSet(replyOpt) || parser.isSet(streamOpt) || parser.isSet(modeOpt)))
        return p.fail(2, "--sarvel, --trelvan, --iot, --aoa, --uwbana and --nmea play a whole device: no "
                         "--system-reply, --stream or --mode");

    DeviceSimulator& device = p.device;
    const QString mode = parser.value(modeOpt);
    if (mode == "echo")
        device.setMode(DeviceSimulator::Mode::Echo);
    else if (mode == "silent")
        device.setMode(DeviceSimulator::Mode::Silent);
    else if (mode != "device")
        return p.fail(2, "unknown mode: " + mode);
    device.setDeviceRate(parser.value(rateOpt).toInt());
    const quint32 nodeRate = quint32(device.deviceRate() > 0 ? device.deviceRate() : 115200);

    QByteArray reply;
    if (sarvel) {
        const int type = parser.isSet(productOpt) ? parser.value(productOpt).toInt() : kDefaultRangeProduct;
        if (!isRangeProduct(type))
            return p.fail(2, QString("--sarvel needs a range sensor type (3 to 20 but 11), got %1").arg(type));
        const int model = parser.isSet(modelOpt) ? parser.value(modelOpt).toInt() : 0;
        p.rangeSensor.reset(new RangeSensor(device, type, device.deviceRate(), model));
        // The sensor streams at the refresh rate kept in its parameters.
        QByteArray params = p.rangeSensor->parameters().parameters();
        params[24] = char(frameRate & 0xFF);
        params[25] = char((frameRate >> 8) & 0xFF);
        p.rangeSensor->parameters().setParameters(params);
        p.rangeSensor->setZoneRate(parser.value(zoneRateOpt).toInt());
    } else if (trelvan || nmeaNode) {
        p.trelvan.reset(new TrelvanTrial(device, output, frameRate, nodeRate));
    } else if (aoa) {
        const int model = parser.value(aoaOpt).toInt();
        if (model != AoaNode::kAnchorModel && model != AoaNode::kTagModel)
            return p.fail(2, QString("--aoa needs model 15 or 16, got %1").arg(model));
        p.aoaNode.reset(new AoaNode(device, model, nodeRate));
    } else if (iot) {
        p.iotNode.reset(new IotNode(device, parser.value(iotOpt).toInt(), device.deviceRate()));
    } else if (uwbana) {
        const int type = parser.isSet(productOpt) ? parser.value(productOpt).toInt() : kDefaultAnalyserProduct;
        if (!isAnalyserProduct(type))
            return p.fail(2, QString("--uwbana needs analyser type 19 or 20, got %1").arg(type));
        p.analyser.reset(new Analyser(device, type, device.deviceRate()));
    } else if (parser.isSet(replyOpt)) {
        reply = QByteArray::fromHex(parser.value(replyOpt).toLatin1());
        if (reply.size() != 32)
            return p.fail(2, QString("--system-reply needs 32 bytes, got %1").arg(reply.size()));
    } else {
        SystemInfo info;
        info.productType = static_cast<quint8>(parser.value(productOpt).toUInt());
        info.modelId = static_cast<quint8>(parser.value(modelOpt).toUInt());
        info.baudRate = device.deviceRate();
        reply = systemFrameReply(info);
    }
    if (!wholeDevice)
        device.addHandler(std::make_shared<SystemFrameHandler>(reply));

    QString error;
    if (!device.start(&error))
        return p.fail(1, error);
    if (parser.isSet(linkOpt)) {
        // An earlier simulator's link is taken over; any other file at the path is kept.
        const QString link = parser.value(linkOpt);
        if (QFileInfo(link).isSymLink())
            QFile::remove(link);
        if (!QFile::link(device.portPath(), link))
            return p.fail(1, "cannot link " + link + ": the path is taken");
        p.linkPath = link;
    }
    if (parser.isSet(streamOpt)
        && !device.streamFile(parser.value(streamOpt), parser.value(speedOpt).toInt(), parser.isSet(loopOpt), &error))
        return p.fail(1, error);
    if (p.rangeSensor)
        p.rangeSensor->start();
    if (p.iotNode)
        p.iotNode->start();
    if (p.aoaNode)
        p.aoaNode->start(true);
    if (p.trelvan)
        p.trelvan->start();
    if (p.analyser)
        p.analyser->start();
    if (nmea) {
        p.nmea.reset(new NmeaTalker(device));
        p.nmea->start();
    }
    return true;
}

void SimulatorCommand::stop()
{
    Played& p = *p_;
    if (p.nmea)
        p.nmea->stop();
    if (p.analyser)
        p.analyser->stop();
    if (p.trelvan)
        p.trelvan->stop();
    if (p.aoaNode)
        p.aoaNode->stop();
    if (p.iotNode)
        p.iotNode->stop();
    if (p.rangeSensor)
        p.rangeSensor->stop();
    // The link goes only while it is still this simulator's: a later one may have
    // taken it over.
    if (!p.linkPath.isEmpty() && QFile::symLinkTarget(p.linkPath) == p.device.portPath())
        QFile::remove(p.linkPath);
    p.linkPath.clear();
    p.device.stop();
}

} // namespace sim
