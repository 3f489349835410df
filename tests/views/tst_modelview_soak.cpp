#include "support/testenv.h"

#include "tst_modelview_soak.inc"

class TestModelViewSoak : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        initUserDataFolders();
        ZThreadManager::instance()->startThreads();
    }
    void cleanupTestCase() { delete ZThreadManager::instance(); }

    void parserPagesAndChartPassTogether()
    {
        const soak::Outcome out = soak::run({ResourceType::Line, ResourceType::Scatter}, 3000);
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
        QCOMPARE(out.drawnScatter3D, 0); // no 3D kinds on these pages
        QCOMPARE(out.drawnAttitude, 0);
    }
};

TALMENO_TEST_MAIN(TestModelViewSoak)
#include "tst_modelview_soak.moc"
