#include "protocol/ProtocolDataProcessor.h"

#include "foundation/ZLog.h"
#include "protocol/ProtocolBase.h"

#include <QCoreApplication>
#include <QMutexLocker>
#include <QThread>
#include <QTimerEvent>

namespace {
ProtocolDataProcessor* g_processor = nullptr;
}

ProtocolDataProcessor* ProtocolDataProcessor::instance(QObject* parent)
{
    if (!g_processor)
        g_processor = new ProtocolDataProcessor(parent);
    return g_processor;
}

ProtocolDataProcessor::ProtocolDataProcessor(QObject* parent)
    : QObject(parent)
{
    timerId_ = startTimer(1, Qt::PreciseTimer);
    if (timerId_ == 0)
        qFatal("%sProtocolDataProcessor timer create failed", qPrintable(logTimePrefix()));
}

ProtocolDataProcessor::~ProtocolDataProcessor()
{
    if (g_processor == this)
        g_processor = nullptr;
}

void ProtocolDataProcessor::appendFrames(QVector<ExtractedFrame>& frames)
{
    if (frames.isEmpty())
        return;
    QMutexLocker lock(&mutex_);
    if (frames_.isEmpty())
        frames_.swap(frames);
    else
        frames_ += frames;
    frames.clear();
}

QVector<ExtractedFrame> ProtocolDataProcessor::takeFrames()
{
    QVector<ExtractedFrame> taken;
    QMutexLocker lock(&mutex_);
    taken.swap(frames_);
    return taken;
}

void ProtocolDataProcessor::processFrames()
{
    const QVector<ExtractedFrame> frames = takeFrames();
    for (const ExtractedFrame& f : frames)
        f.protocol->processFrame(f.frame);
}

void ProtocolDataProcessor::timerEvent(QTimerEvent* event)
{
    if (event->timerId() != timerId_) {
        QObject::timerEvent(event);
        return;
    }
    if (QThread::currentThread() == QCoreApplication::instance()->thread())
        zDebug() << "ProtocolDataProcessor shouldn't be in gui thread";
    processFrames();
}
