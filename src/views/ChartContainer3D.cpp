#include "views/ChartContainer3D.h"

#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QSettings>
#include <QVBoxLayout>
#include <QtDataVisualization/Q3DCamera>
#include <QtDataVisualization/Q3DScene>
#include <QtDataVisualization/Q3DTheme>
#include <QtDataVisualization/QValue3DAxis>

#include "foundation/UserPaths.h"
#include "foundation/ZColorSchemeManager.h"
#include "foundation/ZLog.h"
#include "model/ContainerItems.h"
#include "views/ChartResource3D.h"
#include "views/GlContextCheck.h"
#include "views/ViewHooks.h"
#include "views/Z3DScatter.h"

using namespace QtDataVisualization;

namespace {

// The failure box comes once per run: every later 3D container of the run is
// built without a graph and without asking again.
bool s_failureReported = false;

QColor windowColour()
{
    return ZColorSchemeManager::instance()->color(ZColorSchemeManager::BackgroundNormal);
}

} // namespace

ChartContainer3D::ChartContainer3D(ChartContainerItem* item, QWidget* parent) : ChartContainer(item, parent)
{
    if (!GlContextCheck::canCreate3DContext()) {
        reportContextFailure();
        return;
    }
    auto* graph = new Z3DScatter();
    if (!graph->hasContext()) {
        delete graph;
        reportContextFailure();
        return;
    }
    graph_ = graph;
    graphWidget_ = QWidget::createWindowContainer(graph, this);
    chartLayout()->addWidget(graphWidget_);

    Q3DTheme* theme = graph->activeTheme();
    theme->setType(Q3DTheme::ThemeQt);
    QFont font = theme->font();
    font.setPointSize(10);
    theme->setFont(font);
    graph->setShadowQuality(QAbstract3DGraph::ShadowQualityNone);
    graph->scene()->activeCamera()->setCameraPreset(Q3DCamera::CameraPresetFront);
    theme->setLabelBackgroundEnabled(false);
    theme->setLabelBorderEnabled(false);
    theme->setBackgroundEnabled(false);
    theme->setWindowColor(windowColour());
    ownLabelTextColor_ = theme->labelTextColor();

    // The graph's vertical axis is its y: the program's z goes there, the
    // program's y goes to the depth axis; titles follow the program's names.
    const struct {
        QValue3DAxis* axis;
        const char* title;
    } axes[] = {{graph->axisX(), "X"}, {graph->axisY(), "Z"}, {graph->axisZ(), "Y"}};
    for (const auto& a : axes) {
        a.axis->setTitle(QString::fromLatin1(a.title));
        a.axis->setTitleVisible(true);
        a.axis->setRange(-10.0f, 10.0f);
        a.axis->setAutoAdjustRange(false);
    }
}

ChartContainer3D::~ChartContainer3D()
{
    // The graph deletes what it holds, but resources own their series and items
    // and may be put into another container: hand them back first.
    for (BaseResource* r : resources()) {
        auto* r3 = qobject_cast<ChartResource3D*>(r);
        if (r3 && graph_ && r3->graph() == graph_.data())
            r3->detachFromGraph();
    }
}

QString ChartContainer3D::contextFailureTitle()
{
    return tr("3D context initialization failed");
}

QString ChartContainer3D::contextFailureText()
{
    return tr("context initialization failed,lack of sufficient platform support for OpenGL.")
           + tr("The current graphics card does not support 3D rendering of this application. The program will be "
                "closed. Please restart later");
}

void ChartContainer3D::reportContextFailure()
{
    zWarning() << "3D graph not built: no OpenGL context of version 2.1 or higher";
    if (s_failureReported)
        return;
    s_failureReported = true;
    QMessageBox box(QMessageBox::Warning, contextFailureTitle(), contextFailureText(), QMessageBox::Ok, this);
    GlContextCheck::execModalBox(&box);
    QSettings().setValue(QStringLiteral("Is3DEnabled"), false);
    QApplication::closeAllWindows();
}

void ChartContainer3D::setOwnLabelTextColor(const QColor& color)
{
    ownLabelTextColor_ = color;
    if (graph_)
        graph_->activeTheme()->setLabelTextColor(color);
}

void ChartContainer3D::setScreenshotMode(bool on)
{
    if (!graph_)
        return;
    Q3DTheme* theme = graph_->activeTheme();
    if (on) {
        theme->setBackgroundEnabled(true);
        theme->setBackgroundColor(Qt::white);
        theme->setWindowColor(Qt::white);
        // Black labels on white; a container that shows no labels keeps none.
        if (ownLabelTextColor_.alpha() > 0)
            theme->setLabelTextColor(Qt::black);
    } else {
        theme->setBackgroundEnabled(false);
        theme->setWindowColor(windowColour());
        theme->setLabelTextColor(ownLabelTextColor_);
    }
}

QImage ChartContainer3D::renderGraph()
{
    if (!graph_)
        return QImage();
    return graph_->renderToImage(100, graph_->size());
}

QString ChartContainer3D::takeScreenshot()
{
    if (!graph_) {
        zWarning() << "screenshot skipped: the container has no 3D graph";
        return QString();
    }
    setScreenshotMode(true);
    const QImage image = renderGraph();
    QString path = screenshotFilePath();
    QDir().mkpath(screenshotDir);
    if (image.isNull() || !image.save(path, "PNG", 100)) {
        zWarning() << "screenshot not written:" << path;
        path.clear();
    } else {
        ViewHooks::openFolder(screenshotDir);
    }
    setScreenshotMode(false);
    return path;
}
