#pragma once

#include "support/LogCapture.h"
#include "support/WorkerThreads.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

namespace testenv {

using talmeno_test::LogCapture;
using talmeno_test::startWorkerThreads;

// Every frame the processor holds, as (protocol name, bytes), emptying its queue.
QList<QPair<QString, QByteArray>> takeQueued();

} // namespace testenv
