// The node parameter editors, wired as in the setting window and fed through the pipeline.

#include "support/ScreenShot.h"
#include "support/testenv.h"

#include "helpers/TrelvanPortEnv.h"
#include "model/ModelManager.h"
#include "model/ResourceItems.h"
#include "products/trelvan/config/ConfigItems.h"
#include "products/trelvan/config/ProtocolParameter.h"
#include "products/trelvan/config/ZAppModeItem.h"
#include "products/trelvan/config/ZCoordinateItem.h"
#include "products/trelvan/protocols/NodeLabel.h"
#include "protocol/ProtocolFrameExtraction.h"
#include "protocol/ProtocolSystem.h"
#include "sim/TrelvanParameterHandler.h"
#include "support/LogCapture.h"
#include "views/RefreshManagers.h"
#include "views/ModelViewManagers.h"
#include "widgets/ZTableWidget.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QToolButton>

using namespace Trelvan;
using talmeno_test::LogCapture;

namespace {

QStringList itemsOf(const QComboBox* box)
{
    QStringList list;
    for (int i = 0; i < box->count(); ++i)
        list << box->itemText(i);
    return list;
}

// The editors in a window, as the setting window holds them.
struct Editors
{
    QWidget window;
    ZOnOffItem* onOff = new ZOnOffItem(&window);
    ZRoleItem* role = new ZRoleItem(onOff, &window);
    ZAppModeItem* mode = new ZAppModeItem(role, &window);
    ZSystemChannelItem* channel = new ZSystemChannelItem(&window);
    ZSystemIDItem* systemId = new ZSystemIDItem(&window);
    ZTxPowerItem* tx = new ZTxPowerItem(&window);
    ZIdItem* id = new ZIdItem(&window);
    ZProtocolTypeItem* protocol = new ZProtocolTypeItem(&window);
    ZBaudrateItem* baud = new ZBaudrateItem(&window);
    ZNodeCapacityItem* capacity = new ZNodeCapacityItem(&window);
    ZRefreshRateItem* rate = new ZRefreshRateItem(&window);
    ZFilterFactorItem* filter = new ZFilterFactorItem(&window);
    ZMathModelItem* model = new ZMathModelItem(&window);
    ZCoordinateItem* coordinates = new ZCoordinateItem(&window);

    Editors()
    {
        ProtocolParameter* p = ProtocolParameter::instance();
        const QList<ZConfigItemInterface*> all{channel, systemId, tx,     mode,   role,  id,    protocol,
                                               baud,    capacity, rate,   onOff,  filter, model, coordinates};
        auto* grid = new QGridLayout(&window);
        for (int i = 0; i < all.size(); ++i) {
            p->registerConfigItem(i, all[i]);
            if (i != CoordinateItem)
                grid->addWidget(dynamic_cast<QWidget*>(all[i]), i < 3 ? 0 : 1 + (i - 3) / 2, i < 3 ? i : (i - 3) % 2);
        }
        grid->addWidget(coordinates, 0, 3, 8, 1);
        auto reload = [p] { p->loadConfigItems(); };
        QObject::connect(role, &ZRoleItem::currentRoleChanged, &window, reload);
        QObject::connect(mode, &ZAppModeItem::localModeChanged, &window, reload);
        QObject::connect(protocol, &ZProtocolTypeItem::currentTypeChanged, &window, reload);
        QObject::connect(baud, &ZBaudrateItem::currentBaudrateChanged, &window, reload);
        QObject::connect(capacity, &ZNodeCapacityItem::capacityChanged, &window, reload);
        window.resize(1100, 620);
    }
    ~Editors()
    {
        ProtocolParameter* p = ProtocolParameter::instance();
        for (int i = 0; i < ConfigItemCount; ++i)
            if (ZConfigItemInterface* item = p->configItem(i))
                p->unregisterConfigItem(item);
    }
};

// A reply of the node through the frame pipeline, then shown as the window does.
void receive(const ParameterFrame& frame)
{
    ProtocolParameter* p = ProtocolParameter::instance();
    QSignalSpy parsed(p, &ProtocolBase::dataParseFinished);
    p->setActive(true);
    ProtocolFrameExtraction::instance()->appendData(frame.toByteArray());
    QTRY_COMPARE_WITH_TIMEOUT(parsed.count(), 1, 10000);
    p->setActive(false);
    p->copyReceivedToBackup();
    p->loadConfigItems();
}

void receiveSystemFrame(quint8 modelId, quint8 productType)
{
    sim::SystemInfo info;
    info.modelId = modelId;
    info.productType = productType;
    ProtocolSystem* system = ProtocolSystem::instance();
    QSignalSpy parsed(system, &ProtocolBase::dataParseFinished);
    system->setActive(true);
    ProtocolFrameExtraction::instance()->appendData(sim::systemFrameReply(info));
    QTRY_COMPARE_WITH_TIMEOUT(parsed.count(), 1, 10000);
    system->setActive(false);
}
} // namespace

class TestTrelvanConfigItems : public QObject
{
    Q_OBJECT

    // The page the coordinates load into (the first case makes it after its check).
    void makeCurrentPage()
    {
        if (ModelViewManagers::instance())
            return;
        ModelViewManagers::createInstance(this);
        ModelViewManagers::instance()->setCurrentManager("Trelvan_Config_Test",
            {ResourceType::Data, ResourceType::Line, ResourceType::Scatter});
    }

private slots:
    void initTestCase()
    {
        TestTrelvan::startPortPipeline();
        ProtocolParameter::instance(this);
    }

    // Before any page is current the coordinate load waits, with a single retry.
    void coordinateRetryWithoutPage()
    {
        Editors e;
        QVERIFY(!ModelViewManagers::instance());
        receive(TestTrelvan::nodeParameters(ANCHOR, 3, 0, 0, 0));
        QVERIFY(e.coordinates->isRetryPending());
        e.coordinates->loadFromParameter();
        e.coordinates->loadFromParameter();
        QCOMPARE(e.coordinates->findChildren<QTimer*>().size(), 1);
        makeCurrentPage();
    }

    void protocolChoices_data()
    {
        QTest::addColumn<int>("role");
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("protocol");
        QTest::addColumn<QStringList>("offered");
        QTest::addColumn<QString>("selected");
        QTest::addColumn<int>("mirrored");
        // A value the list lacks is shown as itself and kept.
        QTest::newRow("anchor with node frame 0")
            << 1 << 0 << 2 << QStringList{"Anchor_Frame0", "Node_Frame1", "Node_Frame4", "2 (?)"} << "2 (?)" << 2;
        QTest::newRow("tag in mode 13") << 2 << 13 << 5
                                        << QStringList{"Tag_Frame0", "Node_Frame2", "Node_Frame3", "NMEA0183", "UBX"}
                                        << "Node_Frame3" << 5;
        QTest::newRow("master offers none") << 4 << 3 << 4 << QStringList{"4 (?)"} << "4 (?)" << 4;
        QTest::newRow("node in DR_MODE1") << 0 << 6 << 11 << QStringList{"Node_Frame5", "Node_Frame7"} << "Node_Frame7"
                                          << 11;
    }
    void protocolChoices()
    {
        QFETCH(int, role);
        QFETCH(int, mode);
        QFETCH(int, protocol);
        QFETCH(QStringList, offered);
        QFETCH(QString, selected);
        QFETCH(int, mirrored);
        Editors e;
        QSignalSpy changed(e.protocol, &ZProtocolTypeItem::currentTypeChanged);
        receive(TestTrelvan::nodeParameters(quint8(role), 1, quint8(mode), quint8(mode), quint8(protocol)));
        QCOMPARE(itemsOf(e.protocol->comboBox()), offered);
        QCOMPARE(e.protocol->comboBox()->currentText(), selected);
        QCOMPARE(int(ProtocolParameter::instance()->backupFrame().protocol()), mirrored);
        QCOMPARE(changed.count(), mirrored != protocol ? 1 : 0);
        e.protocol->storeToParameter();
        QCOMPARE(int(ProtocolParameter::instance()->writeFrame().protocol()), mirrored);
    }

    void updateRates_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("baud");
        QTest::addColumn<int>("protocol");
        QTest::addColumn<int>("capacity");
        QTest::addColumn<QStringList>("rates");
        QTest::newRow("anchor frame at 115200") << 0 << 115200 << 0 << 0 << QStringList{"1", "2", "5", "10"};
        QTest::newRow("node frame 1 at 921600") << 0 << 921600 << 3 << 0 << QStringList{"1", "2", "5", "10", "25", "50"};
        QTest::newRow("rate equal to the limit") << 0 << 500 << 4 << 0 << QStringList{"1", "2"};
        QTest::newRow("DR_MODE0 capacity 2") << 10 << 115200 << 4 << 2 << QStringList{"250", "500", "1000"};
        QTest::newRow("DR_MODE0 capacity 30") << 10 << 115200 << 4 << 30 << QStringList{};
        QTest::newRow("LP_MODE5") << 13 << 115200 << 4 << 0 << QStringList{"1", "2", "5", "10", "25", "50", "100", "200"};
    }
    void updateRates()
    {
        QFETCH(int, mode);
        QFETCH(int, baud);
        QFETCH(int, protocol);
        QFETCH(int, capacity);
        QFETCH(QStringList, rates);
        Editors e;
        ProtocolParameter* p = ProtocolParameter::instance();
        p->backupFrame() = TestTrelvan::nodeParameters(mode == 10 ? NODE : ANCHOR, 1, quint8(mode), quint8(mode), quint8(protocol));
        p->backupFrame().setBaudRate(quint32(baud));
        p->backupFrame().setNodeCapacity(quint8(capacity));
        e.rate->loadFromParameter();
        // The record's own rate (10) is added when the list lacks it.
        if (!rates.contains("10"))
            rates << "10 (?)";
        QCOMPARE(itemsOf(e.rate->comboBox()), rates);
    }

    void baudRatesFollowTheModel_data()
    {
        QTest::addColumn<int>("modelId");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("last");
        QTest::newRow("model 2") << 2 << 13 << "1000000";
        QTest::newRow("model 5") << 5 << 17 << "3000000";
    }
    void baudRatesFollowTheModel()
    {
        QFETCH(int, modelId);
        QFETCH(int, count);
        QFETCH(QString, last);
        receiveSystemFrame(quint8(modelId), 0);
        Editors e;
        receive(TestTrelvan::nodeParameters(TAG, 1, 0, 0));
        QCOMPARE(e.baud->comboBox()->count(), count);
        QCOMPARE(e.baud->comboBox()->itemText(count - 1), last);
        QCOMPARE(e.baud->comboBox()->currentText(), QString("115200"));
        // A rate the list lacks is shown as itself and stored unchanged.
        ParameterFrame odd = TestTrelvan::nodeParameters(TAG, 1, 0, 0);
        odd.setBaudRate(3500000 & 0xFFFFFF);
        odd.seal();
        receive(odd);
        QCOMPARE(e.baud->comboBox()->currentText(), QString("3500000 (?)"));
        QCOMPARE(e.baud->comboBox()->count(), count + 1);
        e.baud->storeToParameter();
        QCOMPARE(ProtocolParameter::instance()->writeFrame().baudRate(), 3500000u);
    }

    void plainEditorsMirrorAndStore()
    {
        Editors e;
        ProtocolParameter* p = ProtocolParameter::instance();
        ParameterFrame f = TestTrelvan::nodeParameters(TAG, 5, 0, 0);
        f.setTxGain(67);
        f.setOnOffControl(0x5E);
        f.seal();
        receive(f);
        QCOMPARE(e.tx->spinBox()->value(), 33.5);
        e.tx->spinBox()->setValue(12.3);
        e.tx->commitEdit();
        QCOMPARE(e.tx->spinBox()->value(), 12.5);
        QCOMPARE(p->backupFrame().txGain(), quint8(25));

        // LED: only bit 0 of the edited record; the store keeps the other bits.
        e.onOff->ledButton()->click();
        QCOMPARE(p->backupFrame().onOffControl(), quint8(0x5F));
        p->writeFrame().setOnOffControl(0x9E);
        e.onOff->storeToParameter();
        QCOMPARE(p->writeFrame().onOffControl(), quint8(0x9F)); // bit 5 follows the switch (off)

        // The math model and IDC switch survive a reload caused by another editor.
        QVERIFY(e.onOff->idcAutoSetButton()->isEnabled()); // a TAG in an LP mode
        e.model->comboBox()->setCurrentIndex(2);
        emit e.model->comboBox()->activated(2);
        e.onOff->idcAutoSetButton()->click();
        emit e.capacity->capacityChanged();
        QCOMPARE(e.model->comboBox()->currentIndex(), 2);
        QVERIFY(e.onOff->idcAutoSetButton()->isChecked());

        // Id range by the role's capacity in the checked mode.
        QCOMPARE(e.id->spinBox()->maximum(), 39);
        QCOMPARE(e.id->spinBox()->value(), 5);
    }

    // DR_MODE1: NODE only, the number box with the raw role, hexadecimal labels.
    void roleEditorAndNodeLabels()
    {
        Editors e;
        ProtocolParameter* p = ProtocolParameter::instance();
        receive(TestTrelvan::nodeParameters(9, 10, DR_MODE1, DR_MODE1, 8));
        QCOMPARE(itemsOf(e.role->comboBox()), QStringList{"NODE"});
        QVERIFY(e.role->roleSpinBox()->isVisibleTo(&e.window));
        QCOMPARE(e.role->roleSpinBox()->value(), 9);
        QCOMPARE(nodeLabel(0, 10), QString("NODE0_0A"));
        e.role->storeToParameter();
        QCOMPARE(p->writeFrame().role(), quint8(9));
        QVERIFY(!e.onOff->idcAutoSetButton()->isEnabled());
        receive(TestTrelvan::nodeParameters(ANCHOR, 3, 0, 0, 0));
        QVERIFY(!e.role->roleSpinBox()->isVisibleTo(&e.window));
        QCOMPARE(itemsOf(e.role->comboBox()), (QStringList{"ANCHOR", "TAG", "CONSOLE"}));
        talmeno_test::saveWindowIfAsked(&e.window, "editors_lp_anchor");
        receive(TestTrelvan::nodeParameters(NODE, 3, DR_MODE1, DR_MODE1, 8));
        talmeno_test::saveWindowIfAsked(&e.window, "editors_dr_mode1_node");
    }

    void modeEditorShortcuts()
    {
        Editors e;
        QSignalSpy required(e.mode, &ZAppModeItem::runningModeRequired);
        QSignalSpy changed(e.mode, &ZAppModeItem::runningModeChanged);
        // No node read at the port yet: no shortcuts.
        receive(TestTrelvan::nodeParameters(ANCHOR, 1, 0, 0, 0));
        QVERIFY(e.mode->wirelessSettingButton()->isHidden() && e.mode->oneKeySetupButton()->isHidden());
        e.role->setRoleOfNodeConnectedDirectly(ANCHOR);
        receive(TestTrelvan::nodeParameters(ANCHOR, 1, 0, 0, 0));
        QVERIFY(e.mode->localGroup()->button(0)->isChecked());
        QCOMPARE(e.mode->currentRunningButton(), e.mode->runningGroup()->button(0));
        QVERIFY(!e.mode->oneKeySetupButton()->isHidden());
        const int changedBefore = changed.count();

        e.mode->wirelessSettingButton()->click();
        QCOMPARE(required.count(), 1);
        QCOMPARE(int(required.last().at(0).value<LPSMode>()), 3);
        QVERIFY(e.mode->runningGroup()->button(0)->isChecked());
        QCOMPARE(ProtocolParameter::instance()->makeModeSwitchRequest().at(17), char(0x03));

        receive(TestTrelvan::nodeParameters(ANCHOR, 1, 0, 3, 0));
        QCOMPARE(changed.count(), changedBefore + 1);
        QCOMPARE(int(changed.last().at(0).value<LPSMode>()), 3);
        QVERIFY(e.mode->isWirelessSettingActive());
        e.mode->wirelessSettingButton()->click();
        QCOMPARE(int(required.last().at(0).value<LPSMode>()), 0);

        // Local mode 3 running 3: both hidden, never a change signal.
        const int before = changed.count();
        receive(TestTrelvan::nodeParameters(MASTER, 1, 3, 3));
        QVERIFY(e.mode->wirelessSettingButton()->isHidden());
        QVERIFY(e.mode->oneKeySetupButton()->isHidden());
        receive(TestTrelvan::nodeParameters(MASTER, 1, 3, 0));
        receive(TestTrelvan::nodeParameters(MASTER, 1, 3, 3));
        QCOMPARE(changed.count(), before);

        e.role->setRoleOfNodeConnectedDirectly(NODE);
        receive(TestTrelvan::nodeParameters(NODE, 1, 10, 10));
        QVERIFY(!e.mode->wirelessSettingButton()->isHidden());
        QVERIFY(e.mode->oneKeySetupButton()->isHidden());
        e.role->setRoleOfNodeConnectedDirectly(TAG);
        receive(TestTrelvan::nodeParameters(TAG, 1, 0, 0));
        QVERIFY(e.mode->wirelessSettingButton()->isHidden());
        QVERIFY(e.mode->oneKeySetupButton()->isHidden());

        // A local mode without a button is logged and keeps the previous check.
        LogCapture log;
        ProtocolParameter::instance()->backupFrame().setLocalMode(8);
        e.mode->loadFromParameter();
        QCOMPARE(log.count(QtCriticalMsg, "error local mode : 8"), 1);
        QVERIFY(e.mode->localGroup()->button(0)->isChecked());
        // Store: local and running nibbles of the checked buttons.
        e.mode->storeToParameter();
        QCOMPARE(ProtocolParameter::instance()->writeFrame().appMode(), quint8(0x00));
        // A click on a local mode mirrors it and rebuilds the dependent lists.
        QSignalSpy local(e.mode, &ZAppModeItem::localModeChanged);
        e.mode->localGroup()->button(12)->click();
        QCOMPARE(local.count(), 1);
        QCOMPARE(e.coordinates->pages()->pages().size(), 1); // follows the received mode only
        QCOMPARE(ProtocolParameter::instance()->backupFrame().localMode(), quint8(12));
    }

    // A remote node's reply fills the editors; running mode, shortcuts and mode switches stay
    // the port node's, and a write gives the remote node back its own running mode.
    void modeEditorAfterRemoteReply()
    {
        Editors e;
        ProtocolParameter* p = ProtocolParameter::instance();
        QSignalSpy changed(e.mode, &ZAppModeItem::runningModeChanged);
        QSignalSpy required(e.mode, &ZAppModeItem::runningModeRequired);
        e.role->setRoleOfNodeConnectedDirectly(ANCHOR);
        receive(TestTrelvan::nodeParameters(ANCHOR, 0, 13, DT_MODE0, 0)); // the port's, wireless setting
        const int changes = changed.count();
        p->setRemoteExchange(true);
        receive(TestTrelvan::nodeParameters(ANCHOR, 23, 1, 1, 0));
        p->setRemoteExchange(false);
        QCOMPARE(e.mode->localMode(), 1);
        QCOMPARE(e.mode->runningMode(), int(DT_MODE0));
        QCOMPARE(changed.count(), changes);
        QVERIFY(e.mode->isWirelessSettingActive() && !e.mode->wirelessSettingButton()->isHidden());
        e.mode->storeToParameter();
        QCOMPARE(p->writeFrame().appMode(), quint8(0x11));
        e.mode->wirelessSettingButton()->click(); // leave for the port's own mode
        QCOMPARE(int(required.last().at(0).value<LPSMode>()), 13);
        QCOMPARE(quint8(p->makeModeSwitchRequest().at(17)), quint8(0xDD));
    }

    void coordinatePagesAndPoints()
    {
        makeCurrentPage();
        Editors e;
        receive(TestTrelvan::nodeParameters(ANCHOR, 3, 12, 12, 0));
        QCOMPARE(e.coordinates->pages()->pages().size(), 13);
        QCOMPARE(e.coordinates->pages()->pageChooser()->itemText(12), QString("Group 12"));
        receive(TestTrelvan::nodeParameters(ANCHOR, 3, 0, 0, 0));
        QCOMPARE(e.coordinates->pages()->pages().size(), 1);

        // Mode 1, anchor 23: page 2; a record of group 0 leaves it empty and asks for group 2.
        QSignalSpy asked(e.coordinates, &ZCoordinateItem::readCoordinatesRequired);
        receive(TestTrelvan::nodeParameters(ANCHOR, 23, 1, 1, 0));
        QCOMPARE(e.coordinates->pages()->currentIndex(), 2);
        QCOMPARE(e.coordinates->currentTable()->item(0, 0)->text(), QString());
        QCOMPARE(asked.count(), 1);
        QCOMPARE(asked.last().at(0).toInt(), 2);

        // The record of group 2: rows A20 to A29, points named by row.
        ParameterFrame f = TestTrelvan::nodeParameters(ANCHOR, 23, 1, 1, 0);
        f.setCoordinateGroup(2);
        f.setAnchorCoordinate(0, 0, 1500);
        f.setAnchorCoordinate(0, 1, -2097151);
        f.setAnchorCoordinate(0, 2, 1000001);
        f.setAnchorCoordinate(4, 0, -8388000);
        f.seal();
        receive(f);
        QCOMPARE(e.coordinates->pages()->pages().size(), 4);
        QCOMPARE(e.coordinates->pages()->currentIndex(), 2);
        ZTableWidget* table = e.coordinates->currentTable();
        QCOMPARE(table->verticalHeaderItem(0)->text(), QString("A20"));
        QCOMPARE(table->item(0, 0)->text(), QString("1.5"));
        QCOMPARE(table->item(0, 1)->text(), QString("-2097.151"));
        QCOMPARE(table->item(0, 2)->text(), QString("1000.001"));
        QCOMPARE(table->item(4, 0)->text(), QString("-8388"));
        ModelManager* models = ModelViewManagers::currentModelManager();
        auto* a20 = qobject_cast<ScatterResourceItem*>(
            models->createResource(ResourceType::Scatter, "Vexa_Trelvan_Parameter", "A20"));
        QVERIFY(a20);
        QCOMPARE(a20->lastValue().x, 1.5f);
        auto* a24 = qobject_cast<ScatterResourceItem*>(
            models->createResource(ResourceType::Scatter, "Vexa_Trelvan_Parameter", "A24"));
        QVERIFY(a24->track().isEmpty());

        // Untouched cells store the bytes read; typed cells round to the millimetre.
        ProtocolParameter* p = ProtocolParameter::instance();
        e.coordinates->storeToParameter();
        QCOMPARE(p->writeFrame().coordinateGroup(), quint8(2));
        for (int r = 0; r < 10; ++r)
            for (int c = 0; c < 3; ++c)
                QCOMPARE(p->writeFrame().anchorCoordinate(r, c), f.anchorCoordinate(r, c));
        table->item(1, 0)->setText("1.2345");
        table->item(1, 1)->setText("-0.001");
        e.coordinates->storeToParameter();
        QCOMPARE(p->writeFrame().toByteArray().mid(37 + 9, 6).toHex(' '), QByteArray("d2 04 00 ff ff ff"));

        // A reload for the same reply (another editor changed) keeps typed cells.
        emit e.capacity->capacityChanged();
        QCOMPARE(e.coordinates->currentTable()->item(1, 0)->text(), QString("1.2345"));
        QVERIFY(e.coordinates->firstInvalidCell().isEmpty());
        table->item(2, 1)->setText("abc");
        QCOMPARE(e.coordinates->firstInvalidCell(), QString("A22 Y"));
        table->item(2, 1)->setText("-8388.608");
        QVERIFY(e.coordinates->firstInvalidCell().isEmpty());

        // Mode 0 has one page: the same anchor shows page 0, points A0 to A9.
        receive(TestTrelvan::nodeParameters(ANCHOR, 23, 0, 0, 0));
        QCOMPARE(e.coordinates->pages()->currentIndex(), 0);
        QCOMPARE(e.coordinates->currentTable()->verticalHeaderItem(0)->text(), QString("A0"));

        // A TAG at the port: cells disabled, a page activation asks for its group.
        e.role->setRoleOfNodeConnectedDirectly(TAG);
        receive(TestTrelvan::nodeParameters(TAG, 1, 1, 1));
        QVERIFY(!(e.coordinates->currentTable()->item(0, 0)->flags() & Qt::ItemIsEnabled));
        QSignalSpy group(e.coordinates, &ZCoordinateItem::readCoordinatesRequired);
        emit e.coordinates->pages()->activated(3);
        QCOMPARE(group.count(), 1);
        QCOMPARE(group.last().at(0).toInt(), 3);
        talmeno_test::saveWindowIfAsked(&e.window, "editors_lp_tag_coordinates");

        // DR modes have no anchors: nothing changes.
        const int pages = e.coordinates->pages()->pages().size();
        receive(TestTrelvan::nodeParameters(NODE, 1, DR_MODE0, DR_MODE0));
        QCOMPARE(e.coordinates->pages()->pages().size(), pages);
    }

    void cellTextsAndMillimetres_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<int>("mm");
        QTest::newRow("half toward zero") << "0.0005" << true << 0;
        QTest::newRow("negative half toward zero") << "-2.0025" << true << -2002;
        QTest::newRow("upper bound") << "8388.607" << true << 8388607;
        QTest::newRow("above") << "8388.608" << false << 0;
        QTest::newRow("lower bound") << "-8388.608" << true << -8388608;
        QTest::newRow("not a number") << "1,5" << false << 0;
        QTest::newRow("empty") << "" << false << 0;
    }
    void cellTextsAndMillimetres()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QFETCH(int, mm);
        qint32 got = 0;
        QCOMPARE(ZCoordinateItem::cellToMillimetres(text, &got), valid);
        if (valid) {
            QCOMPARE(got, mm);
            QCOMPARE(ZCoordinateItem::millimetresText(got).toDouble() * 1000.0, double(mm));
        }
    }
};

TALMENO_TEST_MAIN(TestTrelvanConfigItems)
#include "tst_trelvan_config_items.moc"
