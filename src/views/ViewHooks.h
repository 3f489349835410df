#pragma once

#include <QString>
#include <functional>

class QWidget;

// Calls of the chart views that would block on a modal dialog or leave the
// program (file choice, opening a folder on the desktop). Each is replaceable so
// that headless runs answer them; an empty hook restores the standard behaviour.
namespace ViewHooks {

// (parent, title, start folder, filter) -> chosen file, empty when cancelled.
using OpenFileHook = std::function<QString(QWidget*, const QString&, const QString&, const QString&)>;
// Opens a local folder with the desktop's default handler.
using OpenFolderHook = std::function<void(const QString&)>;

OpenFileHook setOpenFileHook(OpenFileHook hook);
OpenFolderHook setOpenFolderHook(OpenFolderHook hook);

QString getOpenFileName(QWidget* parent, const QString& title, const QString& folder, const QString& filter);
void openFolder(const QString& path);

} // namespace ViewHooks
