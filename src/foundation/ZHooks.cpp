#include "foundation/ZHooks.h"

#include <QDesktopServices>
#include <QUrl>

#include "foundation/ZLog.h"

namespace {
void logAsWarning(const QString& text)
{
    zWarning().quote() << text;
}

void logAsInfo(const QString& text)
{
    zInfo().quote() << text;
}
} // namespace

std::function<void(const QString&)> messageBoxHook = logAsWarning;
std::function<void(const QString&)> statusBarHook = logAsInfo;

void resetMessageHooks()
{
    messageBoxHook = logAsWarning;
    statusBarHook = logAsInfo;
}

void openUrlInDesktop(const QString& url)
{
    const QUrl target = QUrl::fromUserInput(url);
    if (!QDesktopServices::openUrl(target))
        zWarning() << "could not open" << target.toString();
}
