#pragma once

// Makes every product line built into the program known to the frame pipeline and
// the product registry (protocol creators, product handles, node labels, the UWB
// calibration window). Runs once, before the product registry is made; later calls
// do nothing.
void registerProductLines();
