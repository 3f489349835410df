#pragma once

#include <QString>

class QWidget;

namespace talmeno_test {

// Saves a picture of a top-level window as the screen shows it (OpenGL drawing
// included) as fileName in $TALMENO_SCREENS_DIR, else in the temporary folder.
// False when nothing could be grabbed or the picture is nearly one flat colour.
bool saveScreen(QWidget* window, const QString& fileName);

} // namespace talmeno_test
