#include "views/ViewHooks.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QMutex>
#include <QUrl>

namespace ViewHooks {
namespace {

QMutex& hookMutex()
{
    static QMutex m;
    return m;
}

OpenFileHook& openFileHook()
{
    static OpenFileHook h;
    return h;
}

OpenFolderHook& openFolderHook()
{
    static OpenFolderHook h;
    return h;
}

} // namespace

OpenFileHook setOpenFileHook(OpenFileHook hook)
{
    QMutexLocker lock(&hookMutex());
    OpenFileHook old = openFileHook();
    openFileHook() = std::move(hook);
    return old;
}

OpenFolderHook setOpenFolderHook(OpenFolderHook hook)
{
    QMutexLocker lock(&hookMutex());
    OpenFolderHook old = openFolderHook();
    openFolderHook() = std::move(hook);
    return old;
}

QString getOpenFileName(QWidget* parent, const QString& title, const QString& folder, const QString& filter)
{
    OpenFileHook hook;
    {
        QMutexLocker lock(&hookMutex());
        hook = openFileHook();
    }
    if (hook)
        return hook(parent, title, folder, filter);
    return QFileDialog::getOpenFileName(parent, title, folder, filter);
}

void openFolder(const QString& path)
{
    OpenFolderHook hook;
    {
        QMutexLocker lock(&hookMutex());
        hook = openFolderHook();
    }
    if (hook) {
        hook(path);
        return;
    }
    QDesktopServices::openUrl(QUrl::fromLocalFile(QDir(path).absolutePath()));
}

} // namespace ViewHooks
