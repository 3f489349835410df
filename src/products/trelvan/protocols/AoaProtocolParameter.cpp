#include "products/trelvan/protocols/AoaProtocolParameter.h"

#include "protocol/ProtocolFactory.h"

#include <QMutexLocker>
#include <QPointer>
#include <QSettings>

namespace Trelvan {

const char* const kRecognizedBaudrateKey = "RecognizedBaudrate";
const char* const AoaProtocolParameter::kName = "Vexa_Trelvan_AOA_Parameter";

namespace {
QPointer<AoaProtocolParameter> g_instance;
// Key 7 of the frame-name table.
const char* const kAoaNodeFrameGroup = "Vexa_Trelvan_AOA_Node_Frame0";
} // namespace

AoaProtocolParameter* AoaProtocolParameter::instance(QObject* parent)
{
    if (!g_instance)
        g_instance = new AoaProtocolParameter(parent);
    return g_instance.data();
}

AoaProtocolParameter* AoaProtocolParameter::existing()
{
    return g_instance.data();
}

AoaProtocolParameter::AoaProtocolParameter(QObject* parent)
    : InsideReadWriteProtocol(QString::fromLatin1(kName), parent)
{
    isLengthKnown_ = true;
    frameLength_ = ParameterFrame::kSize;
    minFrameLength_ = ParameterFrame::kSize;
    maxFrameLength_ = ParameterFrame::kSize;
    head_ = ParameterFrame().toByteArray().left(2);
    emitParseFinished_ = true;
    searchedOnlyWhileActive_ = true;
}

AoaProtocolParameter::~AoaProtocolParameter() = default;

QByteArray AoaProtocolParameter::packReadRequest()
{
    return ParameterFrame::request(ParameterFrame::Read);
}

QByteArray AoaProtocolParameter::makeRestartCommand()
{
    return ParameterFrame::request(ParameterFrame::Restart);
}

ParameterFrame AoaProtocolParameter::receivedFrame() const
{
    QMutexLocker lock(&mutex_);
    return receivedFrame_;
}

void AoaProtocolParameter::parseFrame(const QByteArray& frame)
{
    const ParameterFrame reply = ParameterFrame::fromBytes(frame);
    {
        QMutexLocker lock(&mutex_);
        receivedFrame_ = reply;
    }
    // Any other frame with this head (a stray one, or bytes of a data stream while
    // the page is shown) would otherwise switch the group and write the settings as
    // often as it comes.
    if (!waitingForReply_.load())
        return;
    QSettings().setValue(kRecognizedBaudrateKey, reply.baudRate());
    // The group is loaded before the reply is signalled, so that a waiting page
    // finds the switch done (and this protocol out of the search) when it wakes.
    ProtocolFactory::loadProtocols(QString::fromLatin1(kAoaNodeFrameGroup), this);
    emit dataFrameReceived();
}

} // namespace Trelvan
