#pragma once

#include "support/LogCapture.h"

// Collects every log message while alive (any thread), passing all but debug
// messages on to the test log too.
using LogCapture = talmeno_test::LogCapture;
