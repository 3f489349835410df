// Built into each multi-zone test from the single-point line's harness, so both
// lines run on one copy of it.
#include "products/sarvel/helpers/RangeTestEnv.cpp"
