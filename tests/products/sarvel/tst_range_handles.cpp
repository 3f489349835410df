#include "products/sarvel/ParvoWidgetSetting.h"
#include "products/sarvel/RangeParameterProtocol.h"
#include "products/sarvel/RangeProductHandles.h"
#include "products/sarvel/SarvelProtocolFrame0.h"
#include "products/sarvel/SarvelWidgetSetting.h"
#include "protocol/ProductRegistration.h"
#include "protocol/ProductsManager.h"
#include "views/RefreshManagers.h"
#include "views/ModelViewManagers.h"
#include "widgets/ZToolBar.h"
#include "helpers/RangeTestEnv.h"
#include "sim/RangeSensorSimulator.h"
#include "support/testenv.h"

#include <QAction>
#include <QButtonGroup>
#include <QComboBox>
#include <QSpinBox>

class TestRangeHandles : public QObject
{
    Q_OBJECT

    QWidget mainWindow_;
    std::unique_ptr<rangetest::SensorOnPort> sensor_;
    ModelViewManagers* pages_ = nullptr;

    static void deactivateAll()
    {
        for (ProtocolBase* p : ProtocolBase::activeProtocols())
            p->setActive(false);
    }

private slots:
    void initTestCase()
    {
        rangetest::startPipeline();
        pages_ = initViewServices(this);
        Sarvel::registerRangeSensors();
        sensor_.reset(new rangetest::SensorOnPort(6, 230400));
        QVERIFY(sensor_->open());
        ProductsManager::instance(&mainWindow_);
    }

    void cleanupTestCase()
    {
        delete ProductsManager::existing();
        sensor_.reset();
    }

    void handleOwnsWindowAndAction()
    {
        auto* handle = new Sarvel::ProductHandle(4, "sarvel_kiro", "Sarvel Kiro", nullptr);
        QCOMPARE(handle->name(), QString("sarvel_kiro"));
        QCOMPARE(handle->modelNames(), (QMap<int, QString>{{0, "Sarvel Kiro"}}));
        QCOMPARE(handle->productType(), 4);
        QVERIFY(handle->releaseNotesUrl(0, {}).endsWith("/sarvel_kiro/firmware/release/release-notes.txt"));
        Sarvel::WidgetSetting* window = handle->widgetSetting();
        QVERIFY(window);
        QCOMPARE(window->productType(), 4);
        QVERIFY(!window->parent());
        QAction* action = handle->settingAction();
        QVERIFY(action);
        QCOMPARE(action->parent(), window);
        QCOMPARE(window->windowAction(), action);
        QCOMPARE(action->text(), QString("Sarvel Setting"));
        QCOMPARE(handle->toolBarActions(), QList<QAction*>{action});
        QVERIFY(ProductsManager::instance()->productToolBar()->actions().contains(action));
        QVERIFY(!handle->isActive());
        QVERIFY(!action->isVisible());
        QVERIFY(Sarvel::ProtocolParameter::existing());

        handle->setActive(true);
        QVERIFY(action->isVisible());
        window->move(40, 50);
        action->trigger();
        QVERIFY(window->isVisible());
        QVERIFY(Sarvel::ProtocolParameter::instance()->isActive());
        window->showMinimized();
        action->trigger();
        QVERIFY(!window->isMinimized());
        handle->setActive(false);
        QVERIFY(!window->isVisible());
        QVERIFY(!Sarvel::ProtocolParameter::instance()->isActive());

        QPointer<Sarvel::WidgetSetting> gone(window);
        delete handle;
        QVERIFY(gone.isNull());
    }

    void recognisingASinglePointSensor()
    {
        deactivateAll();
        rangetest::LogCapture log;
        ProductHandleBase* base = ProductsManager::instance()->setCurrentProduct(6, 0);
        auto* handle = qobject_cast<Sarvel::ProductHandle*>(base);
        QVERIFY(handle);
        QCOMPARE(handle->name(), QString("sarvel_rion"));
        QCOMPARE(handle->modelNames().value(0), QString("Sarvel-Rion"));
        QVERIFY(handle->isActive());
        QVERIFY(handle->settingAction()->isVisible());
        QCOMPARE(log.count("sarvel parameter received"), 1);
        QVERIFY(Sarvel::ProtocolFrame0::existing() && Sarvel::ProtocolFrame0::existing()->isActive());
        QCOMPARE(pages_->currentName(), QString("Vexa_Sarvel_Frame0"));
        Sarvel::WidgetSetting* window = handle->widgetSetting();
        QVERIFY(window->filterFactorSpinBox());
        QCOMPARE(window->filterFactorSpinBox()->value(), 5);
        QCOMPARE(window->baudrateComboBox()->count(), 17);
        QCOMPARE(window->baudrateComboBox()->currentText(), QString("230400"));
        QCOMPARE(Sarvel::ProtocolParameter::existing()->parent(), handle);
        // The same type again reuses the handle and reads again.
        QCOMPARE(ProductsManager::instance()->setCurrentProduct(6, 0), base);
        QCOMPARE(log.count("sarvel parameter received"), 2);
    }

    void recognisingAMultiZoneSensor()
    {
        // The device now answers as an 8 x 8 multi-zone sensor.
        if (!ProductsManager::instance()->currentProductHandle()) // run alone: a single-point sensor before it
            QVERIFY(ProductsManager::instance()->setCurrentProduct(6, 0));
        sensor_->sensor().parameters().setParameters(sim::rangeParameterDefaults(8, 230400));
        ProductHandleBase* previous = ProductsManager::instance()->currentProductHandle();
        rangetest::LogCapture log;
        auto* handle = qobject_cast<Parvo::ProductHandle*>(ProductsManager::instance()->setCurrentProduct(8, 0));
        QVERIFY(handle);
        QCOMPARE(handle->name(), QString("sarvel_vora"));
        QCOMPARE(handle->settingAction()->text(), QString("Sarvel-Vora Setting"));
        QVERIFY(!previous->isActive());
        QVERIFY(!previous->toolBarActions().first()->isVisible());
        QVERIFY(handle->settingAction()->isVisible());
        QCOMPARE(handle->widgetSetting()->pixelGroup()->checkedId(), 0);
        QCOMPARE(handle->widgetSetting()->baudrateComboBox()->currentText(), QString("230400"));
        QCOMPARE(log.count("Current protocol is not supported,check the name: Vexa_Sarvel-Vora_Frame0_64"), 1);
        QCOMPARE(log.count("sarvel parameter received"), 0);
        QVERIFY(Parvo::ProtocolParameter::existing());
        QCOMPARE(Parvo::ProtocolParameter::existing()->parent(), handle);

        // Model 1 of type 8 is handled as type 9, with its own handle and window.
        auto* kiro = qobject_cast<Parvo::ProductHandle*>(ProductsManager::instance()->setCurrentProduct(8, 1));
        QVERIFY(kiro && kiro != handle);
        QCOMPARE(kiro->name(), QString("sarvel_vorakiro"));
        QVERIFY(kiro->widgetSetting() != handle->widgetSetting());
        sensor_->sensor().parameters().setParameters(sim::rangeParameterDefaults(6, 230400));
    }

    void silentSensorLoadsNothing()
    {
        if (!Sarvel::ProtocolFrame0::existing()) // run alone: a sensor that answered before it
            QVERIFY(ProductsManager::instance()->setCurrentProduct(6, 0));
        deactivateAll();
        sensor_->sensor().parameters().setSilent(true);
        auto* handle = qobject_cast<Sarvel::ProductHandle*>(ProductsManager::instance()->setCurrentProduct(5, 0));
        sensor_->sensor().parameters().setSilent(false);
        QVERIFY(handle);
        QVERIFY(!Sarvel::ProtocolFrame0::existing()->isActive());
        QVERIFY(!Sarvel::ProtocolParameter::existing()->isActive());
        QCOMPARE(handle->name(), QString("sarvel_kironox"));
    }
};

TALMENO_TEST_MAIN(TestRangeHandles)
#include "tst_range_handles.moc"
