#include "views/ViewHooks.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QUrl>

#include "views/HookSlot.h"

namespace ViewHooks {
namespace {

HookSlot<OpenFileHook>& openFileHook()
{
    static HookSlot<OpenFileHook> h;
    return h;
}

HookSlot<OpenFolderHook>& openFolderHook()
{
    static HookSlot<OpenFolderHook> h;
    return h;
}

} // namespace

OpenFileHook setOpenFileHook(OpenFileHook hook)
{
    return openFileHook().set(std::move(hook));
}

OpenFolderHook setOpenFolderHook(OpenFolderHook hook)
{
    return openFolderHook().set(std::move(hook));
}

QString getOpenFileName(QWidget* parent, const QString& title, const QString& folder, const QString& filter)
{
    const OpenFileHook hook = openFileHook().get();
    if (hook)
        return hook(parent, title, folder, filter);
    return QFileDialog::getOpenFileName(parent, title, folder, filter);
}

void openFolder(const QString& path)
{
    const OpenFolderHook hook = openFolderHook().get();
    if (hook) {
        hook(path);
        return;
    }
    QDesktopServices::openUrl(QUrl::fromLocalFile(QDir(path).absolutePath()));
}

} // namespace ViewHooks
