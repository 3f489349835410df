#pragma once

#include "support/LogCapture.h"
#include "support/WorkerThreads.h"

namespace testenv {

using talmeno_test::LogCapture;
using talmeno_test::startWorkerThreads;

} // namespace testenv
