#include "support/testenv.h"

#include "tst_modelview_soak.inc"

// The same soak with the 3D kinds, which need OpenGL (run under Xvfb).
class TestModelViewSoak3D : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        initUserDataFolders();
        QSettings().setValue("Is3DEnabled", true);
        QSettings().setValue("IgnoreIntelCard", true);
        ZThreadManager::instance()->startThreads();
    }
    void cleanupTestCase() { delete ZThreadManager::instance(); }

    void parserPagesAndChartPassTogetherIn3D()
    {
        const soak::Outcome out = soak::run(
            {ResourceType::Line, ResourceType::Scatter, ResourceType::Attitude, ResourceType::Scatter3D}, 3000);
        QVERIFY2(out.failures.isEmpty(), qPrintable(out.failures.join("; ")));
        QVERIFY2(out.writes > 600, qPrintable(QString::number(out.writes)));
        QVERIFY2(out.chartPasses > 30, qPrintable(QString::number(out.chartPasses)));
        QCOMPARE(out.parserCreated, 12);
        QCOMPARE(out.drawnSeries, 6);
    }
};

TALMENO_TEST_MAIN(TestModelViewSoak3D)
#include "tst_modelview_soak_gl.moc"
