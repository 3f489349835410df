#pragma once

#include <QString>
#include <functional>

class QMessageBox;

// Whether 3D graphs can be built here. A 3D graph needs an OpenGL context of
// version 2.1 or higher; without one the graph object is still constructed, but
// the first call on it crashes, and on some platforms the graph's constructor
// aborts the process. So the answer is found before any graph is built.
namespace GlContextCheck {

struct GlInfo
{
    QString vendor;
    QString version;
    QString renderer;
};

// True when an OpenGL context of version 2.1 or higher (or OpenGL ES 2) can be
// created and made current on this platform. The real probe runs once per run.
bool canCreate3DContext();

// Replaces the probe (an empty hook restores it); returns the previous hook.
// Lets headless runs fake a missing context.
using ProbeHook = std::function<bool()>;
ProbeHook setProbeHook(ProbeHook hook);

// Adjusts the OpenGL strings the first graph reads before they are logged and
// checked (headless runs fake a vendor). Returns the previous hook.
using InfoHook = std::function<void(GlInfo&)>;
InfoHook setInfoHook(InfoHook hook);
GlInfo adjustedInfo(GlInfo info);

// Runs a modal message box: exec() unless a hook answers it instead (headless
// runs cannot click). On the offscreen and minimal platforms, where no one could
// answer it, the box is logged instead. Returns the previous hook.
using ModalBoxHook = std::function<void(QMessageBox*)>;
ModalBoxHook setModalBoxHook(ModalBoxHook hook);
void execModalBox(QMessageBox* box);

} // namespace GlContextCheck
