#pragma once

#include "support/LogCapture.h"

// Catches every Qt message while it lives (any thread) and passes none on.
class LogCapture : public talmeno_test::LogCapture
{
public:
    LogCapture()
        : talmeno_test::LogCapture(ForwardNone)
    {
    }
};
