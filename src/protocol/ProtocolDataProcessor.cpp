#include "protocol/ProtocolDataProcessor.h"

#include "foundation/ZDemandTimer.h"
#include "foundation/ZLog.h"
#include "protocol/ProtocolBase.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QMutexLocker>
#include <QThread>

#include <algorithm>

namespace {
ProtocolDataProcessor* g_processor = nullptr;
thread_local qint64 t_decodingStreamOffset = -1;
// Guards g_processor: protocols may go away on any thread, also while the processor does.
QBasicMutex g_processorMutex;
} // namespace

ProtocolDataProcessor* ProtocolDataProcessor::instance(QObject* parent)
{
    QMutexLocker lock(&g_processorMutex);
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
    QMutexLocker lock(&g_processorMutex);
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
    QVector<ExtractedFrame> frames = takeFrames();
    if (frames.isEmpty())
        return;
    Pass pass{frames.data(), frames.size(), 0, nullptr, QThread::currentThread()};
    QMutexLocker lock(&mutex_);
    passes_.append(&pass);
    for (; pass.current < pass.size; ++pass.current) {
        ExtractedFrame& f = pass.frames[pass.current];
        if (!f.protocol) // its protocol went away meanwhile
            continue;
        pass.decoding = f.protocol;
        lock.unlock();
        t_decodingStreamOffset = f.streamOffset;
        pass.decoding->processFrame(f.frame);
        t_decodingStreamOffset = -1;
        lock.relock();
        pass.decoding = nullptr;
        if (forgetting_ > 0)
            frameDecoded_.wakeAll();
    }
    passes_.removeOne(&pass);
}

qint64 ProtocolDataProcessor::decodingStreamOffset()
{
    return t_decodingStreamOffset;
}

void ProtocolDataProcessor::forgetProtocol(ProtocolBase* protocol)
{
    QMutexLocker global(&g_processorMutex);
    ProtocolDataProcessor* self = g_processor;
    if (!self)
        return;
    QMutexLocker lock(&self->mutex_);
    QVector<ExtractedFrame>& queued = self->frames_;
    queued.erase(std::remove_if(queued.begin(), queued.end(),
                                [protocol](const ExtractedFrame& f) { return f.protocol == protocol; }),
                 queued.end());
    for (Pass* pass : qAsConst(self->passes_)) {
        for (int i = pass->current + 1; i < pass->size; ++i) {
            if (pass->frames[i].protocol == protocol)
                pass->frames[i].protocol = nullptr;
        }
    }
    const auto beingDecoded = [self, protocol] {
        for (const Pass* pass : qAsConst(self->passes_)) {
            // A protocol destroyed from within its own decoding cannot wait for it.
            if (pass->decoding == protocol && pass->thread != QThread::currentThread())
                return true;
        }
        return false;
    };
    QDeadlineTimer deadline(kForgetWaitMs);
    ++self->forgetting_;
    while (beingDecoded()) {
        if (!self->frameDecoded_.wait(&self->mutex_, deadline)) {
            if (beingDecoded())
                zWarning() << protocol->name() << "goes away while one of its frames is still being decoded";
            break;
        }
    }
    --self->forgetting_;
}

void ProtocolDataProcessor::runPass()
{
    if (QThread::currentThread() == QCoreApplication::instance()->thread())
        zDebug() << "ProtocolDataProcessor shouldn't be in gui thread";
    processFrames();
}
