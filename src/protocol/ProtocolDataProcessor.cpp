#include "protocol/ProtocolDataProcessor.h"

#include "foundation/ZDemandTimer.h"
#include "foundation/ZLog.h"
#include "protocol/ProtocolBase.h"

#include <QCoreApplication>
#include <QMutexLocker>
#include <QThread>

namespace {
ProtocolDataProcessor* g_processor = nullptr;
thread_local qint64 t_decodingStreamOffset = -1;
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
    // A child: it moves to the processing thread with this object.
    timer_ = new ZDemandTimer(1, 2, [this] { runPass(); },
                              [this] {
                                  QMutexLocker lock(&mutex_);
                                  return !frames_.isEmpty();
                              },
                              this);
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
    {
        QMutexLocker lock(&mutex_);
        if (frames_.isEmpty())
            frames_.swap(frames);
        else
            frames_ += frames;
        frames.clear();
        const int over = frames_.size() - kMaxQueuedFrames;
        if (over > 0) {
            frames_.erase(frames_.begin(), frames_.begin() + over);
            dropped_ += quint64(over);
            unreported_ += quint64(over);
        }
    }
    reportDropped();
    timer_->wake();
}

quint64 ProtocolDataProcessor::droppedFrames() const
{
    QMutexLocker lock(&mutex_);
    return dropped_;
}

void ProtocolDataProcessor::reportDropped()
{
    quint64 count = 0;
    {
        QMutexLocker lock(&mutex_);
        if (unreported_ == 0 || (sinceReport_.isValid() && sinceReport_.elapsed() < 1000))
            return;
        count = unreported_;
        unreported_ = 0;
        sinceReport_.start();
    }
    zWarning() << "frame queue full:" << count << "oldest frames dropped";
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
    reportDropped(); // what the last second dropped, when no drop came since
    const QVector<ExtractedFrame> frames = takeFrames();
    for (const ExtractedFrame& f : frames) {
        t_decodingStreamOffset = f.streamOffset;
        f.protocol->processFrame(f.frame);
    }
    t_decodingStreamOffset = -1;
}

qint64 ProtocolDataProcessor::decodingStreamOffset()
{
    return t_decodingStreamOffset;
}

void ProtocolDataProcessor::runPass()
{
    if (QThread::currentThread() == QCoreApplication::instance()->thread())
        zDebug() << "ProtocolDataProcessor shouldn't be in gui thread";
    processFrames();
}
