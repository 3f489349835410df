#pragma once

#include <QPointer>
#include <QtDataVisualization/Q3DScatter>

#include "views/GlContextCheck.h"

class QMessageBox;

// The program's 3D scatter graph. The first one built in a run logs the OpenGL
// vendor, version and renderer and warns about Intel integrated graphics.
class Z3DScatter : public QtDataVisualization::Q3DScatter
{
    Q_OBJECT
public:
    // No parent, the default surface format.
    Z3DScatter();

    // Whether a graph of this run already reported the OpenGL strings.
    static bool graphicsAnnounced();
    // Logs "GL_VENDOR: ", "GL_VERSION: ", "GL_RENDERER: " lines and, for an Intel
    // vendor unless "IgnoreIntelCard" is set, opens the non-blocking notice.
    static void announceGraphics(const GlContextCheck::GlInfo& info);
    // The Intel notice while it is open, else null.
    static QMessageBox* intelNotice();

protected:
    // Renders are timed: they run on the page's thread (ChartDrawBudget).
    bool event(QEvent* event) override;
};
