#pragma once

namespace talmeno_test {

// Starts the worker threads once, with the timer manager in slot 5.
void startWorkerThreads();

} // namespace talmeno_test
