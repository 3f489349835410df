#include "products/trelvan/protocols/FrameDecoding.h"

#include "foundation/ZLog.h"

#include <QTime>

namespace Trelvan {

qint32 pcTimeOfDay()
{
    const QTime now = QTime::currentTime();
    return now.isValid() ? now.msecsSinceStartOfDay() : 0;
}

bool checkVariableFrameLength(const char* data, qint64 available, qint32 minLength, qint32& frameLength)
{
    if (!data || available < 4)
        return false;
    Q_UNUSED(minLength) // judged by the frame search, which knows the maximum too
    frameLength = readU16(data + 2);
    return true;
}

void logRecordsPastFrame(const QString& protocolName, int count, int frameLength)
{
    // nospace before the prefix: the prefix already ends in its one blank.
    qDebug().noquote().nospace() << logTimePrefix() << protocolName << ": record count " << count
                                 << " reaches past the frame of " << frameLength << " bytes, frame dropped";
}

void logInvalidNodeRole(qint64 role, quint64 id, const QByteArray& frame)
{
    qDebug().noquote().nospace() << logTimePrefix()
                                 << QString("Invalid node role encountered,role:%1,id:%2,raw data:%3")
                                        .arg(role)
                                        .arg(id)
                                        .arg(logHex(frame));
}

} // namespace Trelvan
