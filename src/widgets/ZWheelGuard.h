#pragma once

class QApplication;

// Combo boxes and spin boxes (every subclass included) take the mouse wheel only
// while they have the keyboard focus: a wheel turned over one the user did not click
// or tab into neither focuses nor changes it, and scrolls what lies under it instead,
// so that scrolling a page cannot change a value a later write would send.
// Installed once on the application; a second call changes nothing.
void installWheelGuard(QApplication* app);
