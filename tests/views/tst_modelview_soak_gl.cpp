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
        // A floor, not a speed: the parser kept writing for the whole run (a sanitizer
        // build on a loaded machine manages a fraction of 1 kHz).
        QVERIFY2(out.writes > 300, qPrintable(QString::number(out.writes)));
        QVERIFY2(out.chartPasses > 30, qPrintable(QString::number(out.chartPasses)));
        // Every item a frame declared was granted, whether or not the GUI thread was slow.
        QVERIFY(out.parserAttempts >= 5);
        QCOMPARE(out.parserCreated, out.parserAttempts);
        QCOMPARE(out.drawnSeries, 6);
        QCOMPARE(out.drawnScatter, 3);
        QCOMPARE(out.drawnScatter3D, 2);
        QCOMPARE(out.drawnAttitude, 1);
    }
};

TALMENO_TEST_MAIN(TestModelViewSoak3D)
#include "tst_modelview_soak_gl.moc"
