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
        // Loose bounds: a sanitizer build on two cores runs slower than real time.
        QVERIFY2(out.writes > 600, qPrintable(QString::number(out.writes)));
        QVERIFY2(out.chartPasses > 30, qPrintable(QString::number(out.chartPasses)));
        QCOMPARE(out.parserCreated, 12);
        QCOMPARE(out.drawnSeries, 6);
    }
};

TALMENO_TEST_MAIN(TestModelViewSoak)
#include "tst_modelview_soak.moc"
