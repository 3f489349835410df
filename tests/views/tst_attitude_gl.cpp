#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QSettings>
#include <QtDataVisualization/Q3DCamera>
#include <QtDataVisualization/Q3DInputHandler>
#include <QtDataVisualization/Q3DScene>
#include <QtDataVisualization/Q3DTheme>
#include <QtDataVisualization/QCustom3DItem>
#include <QtDataVisualization/QValue3DAxis>

#include "foundation/UserPaths.h"
#include "foundation/ZColorSchemeManager.h"
#include "helpers/ChartTestSupport.h"
#include "support/testenv.h"
#include "views/AttitudeContainer.h"
#include "views/AttitudeResource.h"
#include "views/GlContextCheck.h"
#include "views/Scatter3DContainer.h"
#include "views/ViewHooks.h"
#include "views/Z3DScatter.h"

using namespace QtDataVisualization;
using namespace charts_test;

namespace {

std::unique_ptr<AttitudeContainerItem> attitudeContainerItem(const QString& name)
{
    AttitudeContainerItemFactory factory;
    auto* item = static_cast<AttitudeContainerItem*>(factory.createItem(nullptr));
    item->setData(0, name);
    return std::unique_ptr<AttitudeContainerItem>(item);
}

std::unique_ptr<Scatter3DContainerItem> scatter3DContainerItem(const QString& name)
{
    Scatter3DContainerItemFactory factory;
    auto* item = static_cast<Scatter3DContainerItem*>(factory.createItem(nullptr));
    item->setData(0, name);
    return std::unique_ptr<Scatter3DContainerItem>(item);
}

int countNear(const QImage& image, const QColor& c, int tol)
{
    int n = 0;
    const QImage img = image.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < img.height(); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        for (int x = 0; x < img.width(); ++x)
            if (qAbs(qRed(line[x]) - c.red()) < tol && qAbs(qGreen(line[x]) - c.green()) < tol
                && qAbs(qBlue(line[x]) - c.blue()) < tol)
                ++n;
    }
    return n;
}

// A right-button drag across the graph's window, as the mouse would do it.
void dragOnGraph(QWindow* w)
{
    const QPoint from(w->width() / 2, w->height() / 2);
    QTest::mousePress(w, Qt::RightButton, Qt::NoModifier, from);
    for (int i = 1; i <= 10; ++i) {
        QTest::mouseMove(w, from + QPoint(i * 15, i * 6));
        QTest::qWait(16);
    }
    QTest::mouseRelease(w, Qt::RightButton, Qt::NoModifier, from + QPoint(150, 60));
    QTest::qWait(50);
}

} // namespace

class TestAttitude : public QObject
{
    Q_OBJECT

    QStringList openedFolders_;

private slots:
    void initTestCase()
    {
        if (!GlContextCheck::canCreate3DContext())
            QFAIL("no OpenGL 2.1 context on this display");
        initUserDataFolders();
        ZColorSchemeManager::instance()->applyStyleSheet(QString());
        ViewHooks::setOpenFolderHook([this](const QString& path) { openedFolders_ << path; });
    }

    void bareLookWithAFixedCamera()
    {
        auto item = attitudeContainerItem("Attitude");
        AttitudeContainer c(item.get());
        c.syncFromItem();
        QVERIFY(c.hasGraph());
        Z3DScatter* g = c.graph();
        Q3DTheme* theme = g->activeTheme();
        QVERIFY(!theme->isGridEnabled());
        QVERIFY(!theme->isLabelBorderEnabled());
        QVERIFY(!theme->isLabelBackgroundEnabled());
        QCOMPARE(theme->labelTextColor().alpha(), 0);
        for (QValue3DAxis* axis : {g->axisX(), g->axisY(), g->axisZ()}) {
            QVERIFY(!axis->isTitleVisible());
            QVERIFY(!axis->isAutoAdjustRange());
            QCOMPARE(axis->segmentCount(), 1);
            QCOMPARE(axis->min(), -10.0f);
            QCOMPARE(axis->max(), 10.0f);
        }
        int handlers = 0;
        for (QAbstract3DInputHandler* h : g->inputHandlers()) {
            auto* input = qobject_cast<Q3DInputHandler*>(h);
            QVERIFY(input);
            QVERIFY(!input->isRotationEnabled());
            QVERIFY(!input->isZoomAtTargetEnabled());
            QVERIFY(input->isZoomEnabled()); // plain wheel zoom stays
            ++handlers;
        }
        QVERIFY(handlers >= 1);
        QCOMPARE(g->scene()->activeCamera()->target(), QVector3D(0, 0, 0));
        QCOMPARE(g->scene()->activeCamera()->cameraPreset(), Q3DCamera::CameraPresetFront);
    }

    void dragTurnsNoCamera()
    {
        // The same drag turns the camera of a 3D scatter container ...
        auto sItem = scatter3DContainerItem("Space");
        Scatter3DContainer s(sItem.get());
        s.syncFromItem();
        s.resize(600, 400);
        s.show();
        QVERIFY(QTest::qWaitForWindowExposed(&s));
        // Mouse input reaches the graph once it has laid out its view.
        QTRY_VERIFY(!s.graph()->scene()->primarySubViewport().isEmpty());
        Q3DCamera* sCamera = s.graph()->scene()->activeCamera();
        const float sx = sCamera->xRotation(), sy = sCamera->yRotation();
        dragOnGraph(s.graph());
        QVERIFY2(sCamera->xRotation() != sx || sCamera->yRotation() != sy, "the drag reaches the graph");
        s.hide();

        // ... but not that of an attitude container.
        auto item = attitudeContainerItem("Attitude");
        AttitudeContainer c(item.get());
        c.syncFromItem();
        c.resize(600, 400);
        c.show();
        QVERIFY(QTest::qWaitForWindowExposed(&c));
        QTRY_VERIFY(!c.graph()->scene()->primarySubViewport().isEmpty());
        Q3DCamera* camera = c.graph()->scene()->activeCamera();
        const float x = camera->xRotation(), y = camera->yRotation();
        dragOnGraph(c.graph());
        QCOMPARE(camera->xRotation(), x);
        QCOMPARE(camera->yRotation(), y);
    }

    void modelTurnsAndScreenshotKeepsTheLook()
    {
        auto item = attitudeContainerItem("Attitude");
        AttitudeContainer c(item.get());
        c.syncFromItem();
        c.resize(700, 500);
        const QColor colour(40, 120, 230);
        auto att = attitudeItem("imu", colour);
        AttitudeResource r(att.get());
        r.syncFromItem();
        c.putResource(&r);
        QCOMPARE(c.graph()->customItems().size(), 1);
        QCOMPARE(r.graph(), static_cast<Q3DScatter*>(c.graph()));

        // (0, 0, 90) is the identity; the plane then shows its top from the front.
        att->setData(6, QVariant::fromValue(QVector3D(25, -15, 60)));
        r.updateFromItem();
        QVERIFY(qFuzzyCompare(r.model()->rotation(), AttitudeResource::rotationOf(QVector3D(25, -15, 60))));
        c.show();
        QVERIFY(QTest::qWaitForWindowExposed(&c));
        QTest::qWait(200);

        openedFolders_.clear();
        const QString path = c.takeScreenshot();
        QVERIFY(QFileInfo::exists(path));
        QVERIFY(QFileInfo(path).fileName().startsWith("[Attitude]ScreenShot_"));
        const QImage shot(path);
        const QString out = qEnvironmentVariable("TALMENO_CHART_SCREENSHOT_DIR");
        if (!out.isEmpty()) {
            QDir().mkpath(out);
            QImage window = c.grab().toImage();
            QPainter p(&window);
            p.drawImage(c.graphWidget()->mapTo(&c, QPoint(0, 0)), c.renderGraph());
            p.end();
            window.save(out + "/attitude_container.png");
            shot.save(out + "/attitude_screenshot.png");
        }

        QVERIFY2(countNear(shot, colour, 70) > 200, qPrintable(QString::number(countNear(shot, colour, 70))));
        QCOMPARE(openedFolders_, QStringList{screenshotDir});
        // No labels in the picture either, and none after it.
        c.setScreenshotMode(true);
        QVERIFY(c.graph()->activeTheme()->isBackgroundEnabled());
        QCOMPARE(c.graph()->activeTheme()->windowColor(), QColor(Qt::white));
        QCOMPARE(c.graph()->activeTheme()->labelTextColor().alpha(), 0);
        c.setScreenshotMode(false);
        QCOMPARE(c.graph()->activeTheme()->labelTextColor().alpha(), 0);
        QVERIFY(!c.graph()->activeTheme()->isBackgroundEnabled());

        // Taken out, the model is released, not deleted.
        c.takeResource(&r);
        QCOMPARE(c.graph()->customItems().size(), 0);
        QVERIFY(r.model());
        QVERIFY(!r.graph());
        // A container that goes first hands the model back.
        {
            AttitudeContainer other(item.get());
            other.putResource(&r);
            QCOMPARE(other.graph()->customItems().size(), 1);
        }
        QVERIFY(r.model());
        QVERIFY(!r.graph());
    }
};

TALMENO_TEST_MAIN(TestAttitude)
#include "tst_attitude_gl.moc"
