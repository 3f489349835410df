#pragma once

// The range sensor harness of the single-point line serves the multi-zone tests as
// it is: the same pipeline start, sensor on a port and page model.
#include "products/sarvel/helpers/RangeTestEnv.h"
