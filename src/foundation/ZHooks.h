#pragma once

#include <QString>
#include <functional>

// Process-wide hooks through which code in any thread puts a text in front of the
// user. The main window points them at itself while it exists (a warning box, the
// status line); before and after that they only log the text (warning, info).
extern std::function<void(const QString&)> messageBoxHook;
extern std::function<void(const QString&)> statusBarHook;

// Puts both hooks back to their logging defaults (the main window does it when it goes).
void resetMessageHooks();

// Opens a local folder or a URL with the desktop's default handler.
void openUrlInDesktop(const QString& url);
