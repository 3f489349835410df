#include "views/GlContextCheck.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QSurfaceFormat>

#include "foundation/ZLog.h"
#include "views/HookSlot.h"

namespace GlContextCheck {
namespace {

HookSlot<ProbeHook>& probeHook()
{
    static HookSlot<ProbeHook> h;
    return h;
}

HookSlot<InfoHook>& infoHook()
{
    static HookSlot<InfoHook> h;
    return h;
}

HookSlot<ModalBoxHook>& modalBoxHook()
{
    static HookSlot<ModalBoxHook> h;
    return h;
}

bool probe()
{
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return false;
    // These platforms have no window a graph could draw into: offscreen hands out
    // a context on a display and the graph then aborts on its version.
    const QString platform = QGuiApplication::platformName();
    if (platform == QLatin1String("offscreen") || platform == QLatin1String("minimal")) {
        zWarning() << "no 3D graphics on the platform" << platform;
        return false;
    }
    QOffscreenSurface surface;
    surface.setFormat(QSurfaceFormat::defaultFormat());
    surface.create();
    if (!surface.isValid()) {
        zWarning() << "no OpenGL surface";
        return false;
    }
    QOpenGLContext context;
    context.setFormat(QSurfaceFormat::defaultFormat());
    if (!context.create() || !context.makeCurrent(&surface)) {
        zWarning() << "no OpenGL context";
        return false;
    }
    const QSurfaceFormat format = context.format();
    const bool es = context.isOpenGLES();
    const bool versionOk = es ? format.majorVersion() >= 2 : format.version() >= qMakePair(2, 1);
    const bool answers = context.functions()->glGetString(GL_VERSION) != nullptr;
    context.doneCurrent();
    if (!versionOk || !answers) {
        zWarning() << "OpenGL" << format.majorVersion() << format.minorVersion() << (es ? "ES" : "")
                   << "is below what 3D graphs need";
        return false;
    }
    return true;
}

} // namespace

bool canCreate3DContext()
{
    const ProbeHook hook = probeHook().get();
    if (hook)
        return hook();
    static const bool result = probe();
    return result;
}

ProbeHook setProbeHook(ProbeHook hook)
{
    return probeHook().set(std::move(hook));
}

InfoHook setInfoHook(InfoHook hook)
{
    return infoHook().set(std::move(hook));
}

GlInfo adjustedInfo(GlInfo info)
{
    const InfoHook hook = infoHook().get();
    if (hook)
        hook(info);
    return info;
}

ModalBoxHook setModalBoxHook(ModalBoxHook hook)
{
    return modalBoxHook().set(std::move(hook));
}

void execModalBox(QMessageBox* box)
{
    const ModalBoxHook hook = modalBoxHook().get();
    if (hook) {
        hook(box);
        return;
    }
    // Nobody can see or answer a box on these platforms: it would wait for ever.
    const QString platform = QGuiApplication::platformName();
    if (platform == QLatin1String("offscreen") || platform == QLatin1String("minimal")) {
        zWarning() << box->windowTitle() + QStringLiteral(": ") + box->text();
        return;
    }
    box->exec();
}

} // namespace GlContextCheck
