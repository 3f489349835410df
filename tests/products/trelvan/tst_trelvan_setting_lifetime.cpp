// The setting window taken down while its wireless page shows: the page hides as its
// window goes, and nothing of the window runs on what is left of it.

#include "support/EventLog.h"
#include "support/testenv.h"

#include "helpers/TrelvanPortEnv.h"
#include "products/trelvan/config/WidgetSetting.h"
#include "products/trelvan/wireless/WidgetWirelessSetting.h"
#include "views/ModelViewManagers.h"

#include <QSettings>
#include <QSignalSpy>

using namespace Trelvan;

class TestTrelvanSettingLifetime : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QSettings().setValue("Is3DEnabled", false);
        TestTrelvan::startPortPipeline();
        ModelViewManagers::createInstance(this);
    }

    void windowGoesWhileItsWirelessPageShows()
    {
        WidgetSetting* window = WidgetSetting::instance(nullptr);
        WidgetWirelessSetting* page = WidgetWirelessSetting::existing();
        QVERIFY(page);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        page->show(); // as the wireless setting mode shows it
        QVERIFY(page->isVisible());

        talmeno_test::EventLog shown(QEvent::Show);
        shown.watch(window, "window");
        QSignalSpy pageVisibility(page, &WidgetWirelessSetting::visibilityChanged);
        delete window;

        // The page did hide on the way out; the window was not shown again for it.
        QCOMPARE(pageVisibility, QList<QVariantList>{{false}});
        QCOMPARE(shown.count("window"), 0);
        QVERIFY(!WidgetSetting::existing());
        QVERIFY(!WidgetWirelessSetting::existing());
    }
};

TALMENO_TEST_MAIN(TestTrelvanSettingLifetime)
#include "tst_trelvan_setting_lifetime.moc"
