#pragma once

#include <QString>

class QWidget;

namespace talmeno_test {

// Saves a top-level window as the screen shows it (charts drawn by OpenGL included)
// under $TALMENO_SCREENS_DIR (the temporary folder when unset). False when the
// picture cannot be taken or is almost one flat colour (nothing drawn).
bool saveScreen(QWidget* window, const QString& fileName);

// Only with TALMENO_SCREENS_DIR set: shows the window and saves it there as name.png,
// from the screen where there is one, else as the widget paints itself (offscreen).
void saveWindowIfAsked(QWidget* window, const QString& name);

} // namespace talmeno_test
