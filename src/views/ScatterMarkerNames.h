#pragma once

#include <QStringList>

// Names of the 2D scatter marker shapes, indexed by MarkerType:
// 0 "Circle", 1 "Triangle", 2 "Customize" (a picture file). Translated, built on first use.
const QStringList& scatterMarkerNames();
