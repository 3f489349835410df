#pragma once

#include <QString>

class QWidget;

namespace talmeno_test {

// Saves a top-level window as the screen shows it (charts drawn by OpenGL included)
// under $TALMENO_SCREENS_DIR (the temporary folder when unset). False when the
// picture cannot be taken or is almost one flat colour (nothing drawn).
bool saveScreen(QWidget* window, const QString& fileName);

} // namespace talmeno_test
