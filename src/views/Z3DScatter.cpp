#include "views/Z3DScatter.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QSettings>

#include "foundation/ZLog.h"
#include "views/ChartDrawBudget.h"

namespace {

bool s_announced = false;

QPointer<QMessageBox>& noticeBox()
{
    static QPointer<QMessageBox> box;
    return box;
}

QString glString(QOpenGLFunctions* f, GLenum name)
{
    const GLubyte* s = f->glGetString(name);
    return s ? QString::fromLatin1(reinterpret_cast<const char*>(s)) : QString();
}

} // namespace

Z3DScatter::Z3DScatter() : Q3DScatter()
{
    if (s_announced || !hasContext())
        return;
    // The graph's constructor leaves its own context current.
    QOpenGLContext* context = QOpenGLContext::currentContext();
    if (!context)
        return;
    s_announced = true;
    QOpenGLFunctions* f = context->functions();
    GlContextCheck::GlInfo info{glString(f, GL_VENDOR), glString(f, GL_VERSION), glString(f, GL_RENDERER)};
    announceGraphics(GlContextCheck::adjustedInfo(info));
}

bool Z3DScatter::event(QEvent* event)
{
    if (event->type() == QEvent::UpdateRequest || event->type() == QEvent::Expose) {
        ChartDrawBudget::Scope draw;
        return Q3DScatter::event(event);
    }
    return Q3DScatter::event(event);
}

bool Z3DScatter::graphicsAnnounced()
{
    return s_announced;
}

QMessageBox* Z3DScatter::intelNotice()
{
    return noticeBox().data();
}

void Z3DScatter::announceGraphics(const GlContextCheck::GlInfo& info)
{
    // One text per line after the time prefix, nothing added between.
    qInfo().noquote().nospace() << logTimePrefix() << "GL_VENDOR: " << info.vendor;
    qInfo().noquote().nospace() << logTimePrefix() << "GL_VERSION: " << info.version;
    qInfo().noquote().nospace() << logTimePrefix() << "GL_RENDERER: " << info.renderer;

    if (!info.vendor.contains(QLatin1String("Intel"), Qt::CaseInsensitive))
        return;
    if (QSettings().value(QStringLiteral("IgnoreIntelCard"), false).toBool())
        return;
    if (noticeBox())
        return;

    auto* box = new QMessageBox();
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setIcon(QMessageBox::Warning);
    box->setText(tr("Detected that you are using the Intel integrated graphics card"));
    box->setInformativeText(
        tr("It is known that some Intel integrated graphics cards cannot support 3D rendering of this software "
           "successfully. If you have multiple graphics cards, you can set this application to use a dedicated "
           "graphics card, such as NVIDIA. At the same time, software performance will be improved. After that, "
           "you can restart this application and check the menu to confirm that 3D feature has been turned on (do "
           "not connect the device before turning on 3D)."));
    box->setStandardButtons(QMessageBox::Ok | QMessageBox::Ignore);
    box->setDefaultButton(QMessageBox::Ok);
    QObject::connect(box, &QMessageBox::buttonClicked, box, [box](QAbstractButton* button) {
        if (box->standardButton(button) == QMessageBox::Ignore)
            QSettings().setValue(QStringLiteral("IgnoreIntelCard"), true);
    });
    noticeBox() = box;
    box->setModal(false);
    box->show();
}
