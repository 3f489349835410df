#include <QDoubleSpinBox>
#include <QSettings>

#include "foundation/UserPaths.h"
#include "foundation/ZColorSchemeManager.h"
#include "helpers/ChartTestSupport.h"
#include "support/testenv.h"
#include "views/AttitudeContainer.h"
#include "views/AttitudeResource.h"
#include "views/GlContextCheck.h"
#include "views/Scatter3DContainer.h"
#include "views/Scatter3DResource.h"
#include "views/ViewHooks.h"

using namespace charts_test;

namespace {

QStringList& logLines()
{
    static QStringList l;
    return l;
}

void collect(QtMsgType, const QMessageLogContext&, const QString& msg)
{
    logLines() << msg;
}

} // namespace

// Without a display that can draw 3D (the offscreen platform here), a 3D graph
// object would crash at its first call; the containers must do without one, and
// nobody is there to answer a box.
class TestScatter3DOffscreen : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QCOMPARE(QGuiApplication::platformName(), QString("offscreen"));
        initUserDataFolders();
        ZColorSchemeManager::instance()->applyStyleSheet(QString());
        ViewHooks::setOpenFolderHook([](const QString&) {});
    }

    void containersWithoutAGraph()
    {
        QVERIFY(!GlContextCheck::canCreate3DContext());
        QSettings().setValue("Is3DEnabled", true);
        QWidget mainWindow;
        mainWindow.show();
        QVERIFY(QTest::qWaitForWindowExposed(&mainWindow));

        logLines().clear();
        QtMessageHandler previous = qInstallMessageHandler(collect);
        Scatter3DContainerItemFactory f1;
        std::unique_ptr<Scatter3DContainerItem> item(static_cast<Scatter3DContainerItem*>(f1.createItem(nullptr)));
        Scatter3DContainer c(item.get()); // would wait for ever on an unanswered box
        AttitudeContainerItemFactory f2;
        std::unique_ptr<AttitudeContainerItem> aItem(static_cast<AttitudeContainerItem*>(f2.createItem(nullptr)));
        AttitudeContainer a(aItem.get());
        qInstallMessageHandler(previous);

        QVERIFY(!c.hasGraph());
        QVERIFY(!a.hasGraph());
        int boxes = 0;
        for (const QString& line : logLines())
            if (line.contains("3D context initialization failed: context initialization failed,lack of sufficient "
                              "platform support for OpenGL.The current graphics card does not support 3D rendering"))
                ++boxes;
        QCOMPARE(boxes, 1); // once per run
        QCOMPARE(QSettings().value("Is3DEnabled").toBool(), false);
        QVERIFY(!mainWindow.isVisible());

        // The containers work on without a graph.
        c.syncFromItem();
        a.syncFromItem();
        item->setData(Scatter3DContainerItem::ColZMax, 7.5f);
        QCOMPARE(c.zMaxBox()->value(), 7.5);
        auto s = scatter3DItem("uav");
        auto att = attitudeItem("imu");
        Scatter3DResource rs(s.get());
        AttitudeResource ra(att.get());
        rs.syncFromItem();
        ra.syncFromItem();
        c.putResource(&rs);
        a.putResource(&ra);
        s->setData(6, QVariant::fromValue(Scatter3DValue{1, 2, 3, 0, 0, 0}));
        rs.updateFromItem();
        ra.updateFromItem();
        c.show();
        a.show();
        QTest::qWait(20);
        QVERIFY(c.takeScreenshot().isEmpty());
        QVERIFY(a.takeScreenshot().isEmpty());
        c.clearChartArea();
        c.takeResource(&rs);
        a.takeResource(&ra);
        QVERIFY(!rs.graph());
    }
};

TALMENO_TEST_MAIN(TestScatter3DOffscreen)
#include "tst_scatter3d_offscreen.moc"
