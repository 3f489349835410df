// The setting window against the simulated node over a pty.

#include "support/EventLog.h"
#include "support/ScreenShot.h"
#include "support/testenv.h"

#include "foundation/ZAlgo.h"
#include "foundation/ZIconsManager.h"
#include "foundation/ZTimerManager.h"
#include "helpers/TrelvanPortEnv.h"
#include "link/ZSerialPort.h"
#include "products/trelvan/TrelvanRegistration.h"
#include "products/trelvan/calibration/AhrsCalibrationWindow.h"
#include "products/trelvan/config/ConfigItems.h"
#include "products/trelvan/config/ProtocolParameter.h"
#include "products/trelvan/config/TrelvanProductHandle.h"
#include "products/trelvan/config/WidgetSetting.h"
#include "products/trelvan/config/ZAppModeItem.h"
#include "products/trelvan/config/ZCoordinateItem.h"
#include "products/trelvan/protocols/NodeLabel.h"
#include "products/trelvan/protocols/ProtocolNodeFrame2.h"
#include "products/trelvan/wireless/WidgetWirelessSetting.h"
#include "protocol/ProductRegistration.h"
#include "support/LogCapture.h"
#include "views/RefreshManagers.h"
#include "views/ModelViewManagers.h"
#include "widgets/ZTableWidget.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QComboBox>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>

using namespace Trelvan;
using talmeno_test::LogCapture;
using Fault = sim::TrelvanParameterHandler::Fault;

class TestTrelvanSetting : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestTrelvan::NodeOnPort> node_;
    WidgetSetting* window_ = nullptr;

    QString status() const { return window_->statusBar()->currentMessage(); }

    void startNode(const sim::TrelvanNodeSetup& setup)
    {
        node_.reset();
        node_.reset(new TestTrelvan::NodeOnPort(setup));
        QVERIFY(node_->open());
        WidgetSetting::setPortLookup([this] { return &node_->port(); });
    }

    void startNode(quint8 role, quint8 id, quint8 mode, quint16 rate = 10)
    {
        sim::TrelvanNodeSetup setup;
        setup.role = role;
        setup.id = id;
        setup.localMode = mode;
        setup.refreshRate = rate;
        startNode(setup);
    }
    // A node whose record holds the capacity, read by the window.
    void readNode(quint8 role, quint8 mode, quint16 rate, quint8 capacity = 5)
    {
        startNode(role, 0, mode, rate);
        QByteArray f = node_->parameters().parameters();
        f[24] = char(capacity);
        node_->parameters().setParameters(f);
        window_->readButton()->click();
        QCOMPARE(status(), QString("Read parameter succeeded"));
    }
    QComboBox* combo(int item) const { return window_->configItemWidget(item)->findChild<QComboBox*>(); }
    void pick(int item, const QString& text)
    {
        QComboBox* box = combo(item);
        box->setCurrentIndex(box->findText(text));
        emit box->activated(box->currentIndex());
    }

    // Millimetres of anchor n as the node under test holds them.
    static std::array<qint32, 3> anchorMillimetres(int n) { return {1000 * n + 1, -1000 * n - 2, n + 3}; }

    // An anchor (23 unless given) in LP_MODE1 whose node holds 30 anchors (anchorMillimetres).
    void startAnchorOfThirtyAnchors(quint8 id = 23)
    {
        startNode(ANCHOR, id, 1);
        for (int n = 0; n < 30; ++n)
            node_->parameters().setAnchor(n, anchorMillimetres(n));
    }

private slots:
    void initTestCase()
    {
        TestTrelvan::startPortPipeline();
        ModelViewManagers::createInstance(this);
        ProtocolNodeFrame2::registerProtocol();
        window_ = WidgetSetting::instance(nullptr);
    }

    void cleanupTestCase()
    {
        WidgetSetting::setQuestionHook(nullptr);
        node_.reset();
        delete ProductHandle::existing();
    }

    // Run alone, a later case finds the window shown beside an anchor, as in order.
    void init()
    {
        if (!node_ && QByteArray(QTest::currentTestFunction()) != "windowFollowsPortAndShowReads")
            windowFollowsPortAndShowReads();
    }

    // The port decides whether the page can be used; showing reads once.
    void windowFollowsPortAndShowReads()
    {
        QVERIFY(!window_->centralWidget()->isEnabled());
        sim::TrelvanNodeSetup setup;
        setup.role = ANCHOR;
        setup.id = 3;
        startNode(setup);
        QVERIFY(window_->centralWidget()->isEnabled());
        window_->show();
        QTRY_COMPARE_WITH_TIMEOUT(node_->parameters().reads(), 1, 10000);
        QTRY_COMPARE_WITH_TIMEOUT(status(), QString("Read parameter succeeded"), 10000);
        QCOMPARE(window_->roleItem()->roleOfNodeConnectedDirectly(), int(ANCHOR));
        QCOMPARE(window_->idItem()->idOfNodeConnectedDirectly(), 3);
        // Exactly the items that apply to an anchor in LP_MODE0 show (common ones always).
        for (int i = 0; i < ConfigItemCount; ++i)
            QCOMPARE(window_->configItemWidget(i)->isVisibleTo(window_),
                     commonConfigItems.contains(i) || configItemApplies(0, ANCHOR, i));
        talmeno_test::saveWindowIfAsked(window_, "setting_anchor");
        node_->close();
        QVERIFY(!window_->centralWidget()->isEnabled());
        QVERIFY(node_->open());
    }

    // A silent or damaging node: each action waits its full time and reports it.
    void faultyNodeTexts_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<int>("fault");
        QTest::addColumn<int>("minMs");
        QTest::addColumn<QString>("text");
        init(); // the read time-out needs the node's port
        const int readMs = ZSerialPortInterface::timeoutForBytes(128, 3000) - 5;
        QTest::newRow("read silent") << "read" << int(Fault::Silent) << readMs << "Read parameter failed,time out";
        QTest::newRow("read bad checksum") << "read" << int(Fault::BadChecksum) << readMs << "Read parameter failed,time out";
        QTest::newRow("write silent") << "write" << int(Fault::Silent) << WidgetSetting::kWriteWaitMs << "Write parameter failed,time out";
        QTest::newRow("restart silent") << "restart" << int(Fault::Silent) << readMs << "Restart failed,read before restart failed,time out";
        // A silent node still takes the request: ask for the mode it runs.
        QTest::newRow("switch silent") << "switch" << int(Fault::Silent) << 0 << "Switch application failed:0";
    }
    void faultyNodeTexts()
    {
        QFETCH(QString, action);
        QFETCH(int, fault);
        QFETCH(int, minMs);
        QFETCH(QString, text);
        window_->readButton()->click();
        QCOMPARE(status(), QString("Read parameter succeeded"));
        node_->parameters().setFault(Fault(fault));
        QElapsedTimer t;
        t.start();
        if (action == "read")
            window_->readButton()->click();
        else if (action == "write")
            window_->writeButton()->click();
        else if (action == "restart")
            window_->restartButton()->click();
        else
            QVERIFY(!window_->switchApplication(0));
        const qint64 ms = t.elapsed();
        node_->parameters().setFault(Fault::None);
        QVERIFY(ms >= minMs);
        QCOMPARE(status(), text);
    }

    // Writes are refused before a read and with a coordinate that cannot be stored.
    void guardedWrites()
    {
        node_->close();
        QVERIFY(node_->open()); // a new opening forgets the read
        const int writes = node_->parameters().writes();
        window_->writeButton()->click();
        QCOMPARE(status(), QString("Write parameter failed,no parameters read"));
        window_->readButton()->click();
        QCOMPARE(status(), QString("Read parameter succeeded"));
        window_->coordinateItem()->currentTable()->item(2, 0)->setText("12,5");
        window_->writeButton()->click();
        QCOMPARE(status(), QString("Write parameter failed,invalid coordinate A2 X"));
        QCOMPARE(node_->parameters().writes(), writes);
        window_->readButton()->click();
    }

    void writesAreChecked()
    {
        window_->readButton()->click();
        auto* rate = window_->findChild<ZRefreshRateItem*>();
        QVERIFY(rate);
        rate->comboBox()->setCurrentText("5");
        emit rate->comboBox()->activated(rate->comboBox()->currentIndex());
        window_->writeButton()->click();
        QCOMPARE(status(), QString("Write parameter succeeded"));
        QCOMPARE(ParameterFrame::fromBytes(node_->parameters().parameters()).refreshRate(), quint16(5));

        // A node that ignores the rate fails the check, named in the log.
        node_->parameters().setWriteFilter([](QByteArray& f) { f[10] = char(5); });
        LogCapture log;
        rate->comboBox()->setCurrentText("2");
        emit rate->comboBox()->activated(rate->comboBox()->currentIndex());
        window_->writeButton()->click();
        QCOMPARE(status(), QString("Write parameter failed,check error"));
        QCOMPARE(log.count(QtWarningMsg, "refreshRate error"), 1);
        node_->parameters().setWriteFilter(nullptr);
    }

    void restarts()
    {
        // The second read comes 5.1 s or more after the restart: a node up for less looks not restarted.
        QTRY_VERIFY_WITH_TIMEOUT(node_->parameters().uptimeMs() > 9000, 15000);
        window_->restartButton()->click();
        QCOMPARE(status(), QString("Restart succeeded"));
        QCOMPARE(node_->parameters().restarts(), 1);
        node_->parameters().setFault(Fault::NoRestart);
        window_->restartButton()->click();
        QVERIFY2(status().startsWith("Restart failed,currentSystemTime("), qPrintable(status()));
        node_->parameters().setFault(Fault::None);
    }

    // In the wireless-setting state a restart asks first; Cancel sends nothing.
    void restartInWirelessStateAsks()
    {
        QStringList asked;
        WidgetSetting::setQuestionHook([&](QWidget*, const QString& text, const QString& informative) {
            asked << text << informative;
            return false;
        });
        window_->modeItem()->enterWirelessSetting();
        QTRY_VERIFY_WITH_TIMEOUT(window_->modeItem()->isWirelessSettingActive(), 10000);
        QCOMPARE(status(), QString("Switch mode succeeded"));
        QVERIFY(!window_->restartButton()->isEnabled());
        const int before = node_->parameters().requests();
        window_->restartNode();
        QCOMPARE(asked, (QStringList{"Restarting current node will make it exit wireless setting mode", "Confirm Restart?"}));
        QCOMPARE(node_->parameters().requests(), before);
        WidgetSetting::setQuestionHook(nullptr);
        // Hiding the window brings the node back to its local mode; showing reads.
        window_->close();
        QTRY_VERIFY_WITH_TIMEOUT(!window_->modeItem()->isWirelessSettingActive(), 10000);
        QCOMPARE(int(ParameterFrame::fromBytes(node_->parameters().parameters()).runningMode()), 0);
        QTRY_VERIFY_WITH_TIMEOUT(window_->restartButton()->isEnabled(), 10000);
        const int reads = node_->parameters().reads();
        window_->show();
        QTRY_COMPARE_WITH_TIMEOUT(node_->parameters().reads(), reads + 1, 10000);
    }

    // A write without an edit gives back the record read but for the bytes a write does not
    // carry (reserved, reported capacities 25-26, clock 27-30, sum). A value outside its
    // editor's list shows as itself; left outside a new list by a role or mode change, it
    // stops the write.
    void writeWithoutEditKeepsTheRecord_data()
    {
        QTest::addColumn<int>("role");
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("rate");
        QTest::addColumn<int>("capacity");
        QTest::addColumn<int>("item");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("refused");
        QTest::newRow("50 Hz in LP_MODE2") << 2 << 2 << 50 << 0 << int(RefreshRateItem) << "50 (?)" << "" << "";
        QTest::newRow("NODE in LP_MODE0") << 0 << 0 << 10 << 0 << int(RoleItem) << "0 (?)" << "" << "";
        QTest::newRow("capacity 30 in DR_MODE0") << 3 << 10 << 10 << 30 << int(NodeCapacityItem) << "30 (?)" << "" << "";
        QTest::newRow("TAG to ANCHOR") << 2 << 2 << 50 << 0 << int(ProtocolTypeItem) << "4 (?)" << "role" << "Protocol";
        QTest::newRow("LP_MODE0 to DT_MODE0") << 2 << 0 << 10 << 0 << int(RoleItem) << "2 (?)" << "mode" << "Role";
    }
    void writeWithoutEditKeepsTheRecord()
    {
        QFETCH(int, role);
        QFETCH(int, mode);
        QFETCH(int, rate);
        QFETCH(int, capacity);
        QFETCH(int, item);
        QFETCH(QString, shown);
        QFETCH(QString, change);
        QFETCH(QString, refused);
        readNode(quint8(role), quint8(mode), quint16(rate), quint8(capacity));
        const QByteArray read = node_->parameters().parameters();
        if (change == "role")
            pick(RoleItem, "ANCHOR");
        else if (change == "mode")
            window_->modeItem()->localGroup()->button(DT_MODE0)->click();
        QCOMPARE(combo(item)->currentText(), shown);
        const int writes = node_->parameters().writes();
        window_->writeButton()->click();
        if (!refused.isEmpty()) {
            QCOMPARE(status(), "Write parameter failed,invalid value of " + refused);
            QCOMPARE(node_->parameters().writes(), writes);
            return;
        }
        QCOMPARE(status(), QString("Write parameter succeeded"));
        const QByteArray written = node_->parameters().lastRequest();
        QByteArray expected = read;
        for (int i : {13, 15, 18, 21, 22, 23, 25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 35, 127})
            expected[i] = written[i];
        QCOMPARE(written.toHex(' '), expected.toHex(' '));
    }

    // In the DR modes the role byte is the node's number: the written fields are
    // still compared, and a node that kept its update rate fails the check.
    void numberedNodeWritesAreChecked_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("number");
        QTest::addColumn<bool>("ignores");
        QTest::newRow("DR_MODE0 node 3 ignores") << 10 << 3 << true;
        QTest::newRow("DR_MODE1 node 9 ignores") << 6 << 9 << true;
        QTest::newRow("DR_MODE1 node 9 takes it") << 6 << 9 << false;
    }
    void numberedNodeWritesAreChecked()
    {
        QFETCH(int, mode);
        QFETCH(int, number);
        QFETCH(bool, ignores);
        readNode(quint8(number), quint8(mode), 10);
        if (ignores)
            node_->parameters().setWriteFilter([](QByteArray& f) { f[10] = char(10); });
        pick(RefreshRateItem, "25");
        LogCapture log;
        window_->writeButton()->click();
        QCOMPARE(status(), ignores ? QString("Write parameter failed,check error") : QString("Write parameter succeeded"));
        QCOMPARE(log.count(QtWarningMsg, "refreshRate error"), ignores ? 1 : 0);
        QCOMPARE(int(quint8(node_->parameters().lastRequest()[3])), number);
    }

    // Anchor 23 in LP_MODE1 shows group 2: the node is asked for it, and a write
    // without an edit leaves the anchors of groups 0 and 2 as they were.
    void anchorShowsItsOwnGroup()
    {
        startAnchorOfThirtyAnchors();
        const auto mm = anchorMillimetres;
        window_->readButton()->click();
        ZCoordinateItem* editor = window_->coordinateItem();
        QCOMPARE(editor->pages()->currentIndex(), 2);
        QTRY_COMPARE_WITH_TIMEOUT(editor->currentTable()->item(3, 1)->text(), QString("-23.002"), 10000);
        QCOMPARE(int(quint8(node_->parameters().lastRequest()[36])), 2);
        window_->writeButton()->click();
        QCOMPARE(status(), QString("Write parameter succeeded"));
        QCOMPARE(int(quint8(node_->parameters().lastRequest()[36])), 2);
        for (int n = 0; n < 30; ++n)
            QCOMPARE(node_->parameters().anchor(n), mm(n));

        // An unread page can be neither edited nor written; opening one reads it, other edits kept.
        editor->pages()->setCurrentIndex(1);
        QVERIFY(!(editor->currentTable()->item(0, 0)->flags() & Qt::ItemIsEnabled));
        window_->writeButton()->click();
        QCOMPARE(status(), QString("Write parameter failed,coordinates of Group 1 not read"));
        window_->idItem()->spinBox()->setValue(22);
        emit editor->pages()->activated(0);
        QTRY_COMPARE_WITH_TIMEOUT(editor->currentTable()->item(3, 1)->text(), QString("-3.002"), 10000);
        QCOMPARE(window_->idItem()->spinBox()->value(), 22);
        editor->currentTable()->item(5, 0)->setText("7.5");
        window_->writeButton()->click();
        QCOMPARE(status(), QString("Write parameter succeeded"));
        const std::array<qint32, 3> typed{7500, mm(5)[1], mm(5)[2]};
        for (int n = 0; n < 30; ++n)
            QCOMPARE(node_->parameters().anchor(n), n == 5 ? typed : mm(n));
    }

    // A group read without an answer says so. Coordinates typed on another page than
    // the one written are named after the write, and kept (through the read that
    // follows a write, which shows the anchor's own page) until written; that page may
    // be the one with the edits.
    void coordinatePagesTellWhatIsLeft_data()
    {
        QTest::addColumn<int>("id");
        QTest::newRow("edited page off screen") << 23;
        QTest::newRow("edited page on screen") << 3;
    }
    void coordinatePagesTellWhatIsLeft()
    {
        QFETCH(int, id);
        startAnchorOfThirtyAnchors(quint8(id));
        const auto mm = anchorMillimetres;
        const QString ownY = ZCoordinateItem::millimetresText(mm(id)[1]);
        window_->readButton()->click();
        ZCoordinateItem* editor = window_->coordinateItem();
        QTRY_COMPARE_WITH_TIMEOUT(editor->currentTable()->item(3, 1)->text(), ownY, 10000);

        node_->parameters().setFault(Fault::Silent);
        emit editor->pages()->activated(1);
        QTRY_COMPARE_WITH_TIMEOUT(status(), QString("Read parameter failed,time out"), 20000);
        QCOMPARE(editor->pages()->currentIndex(), 1);
        QVERIFY(!(editor->currentTable()->item(0, 0)->flags() & Qt::ItemIsEnabled));
        node_->parameters().setFault(Fault::None);

        emit editor->pages()->activated(0);
        QTRY_COMPARE_WITH_TIMEOUT(editor->currentTable()->item(3, 1)->text(), QString("-3.002"), 10000);
        editor->currentTable()->item(4, 0)->setText("9.25");
        emit editor->pages()->activated(2);
        QTRY_COMPARE_WITH_TIMEOUT(editor->currentTable()->item(3, 1)->text(), QString("-23.002"), 10000);
        QTRY_VERIFY_WITH_TIMEOUT(window_->centralWidget()->isEnabled(), 10000);
        editor->currentTable()->item(1, 2)->setText("2.5");
        // The node read again inside the write, as recognition does after it.
        WidgetSetting::RecognitionHook previous;
        ZScopeGuard recognition(
            [&] { previous = WidgetSetting::setRecognitionHook([this] { window_->readParameterOfNodeConnected(0); }); },
            [&] { WidgetSetting::setRecognitionHook(previous); });
        window_->writeButton()->click();
        QCOMPARE(status(), QString("Write parameter succeeded; coordinates of Group 0 not written yet"));
        QCOMPARE(editor->pages()->currentIndex(), id / 10);
        QCOMPARE(node_->parameters().anchor(21), (std::array<qint32, 3>{mm(21)[0], mm(21)[1], 2500}));
        QCOMPARE(node_->parameters().anchor(4), mm(4));

        QTRY_VERIFY_WITH_TIMEOUT(window_->centralWidget()->isEnabled(), 10000);
        editor->pages()->setCurrentIndex(0);
        QCOMPARE(editor->currentTable()->item(4, 0)->text(), QString("9.25"));
        QVERIFY(editor->currentTable()->item(4, 0)->flags() & Qt::ItemIsEnabled);
        window_->writeButton()->click();
        QCOMPARE(status(), QString("Write parameter succeeded"));
        QCOMPARE(node_->parameters().anchor(4), (std::array<qint32, 3>{9250, mm(4)[1], mm(4)[2]}));
        QVERIFY(editor->unsentPages().isEmpty());
    }

    // A TAG at the port: the coordinate pages ask for their group.
    void tagAsksForCoordinateGroups()
    {
        sim::TrelvanNodeSetup setup;
        setup.role = TAG;
        setup.id = 7;
        setup.localMode = 1;
        startNode(setup);
        window_->readButton()->click();
        QCOMPARE(status(), QString("Read parameter succeeded"));
        const int reads = node_->parameters().reads();
        emit window_->coordinateItem()->pages()->activated(3);
        QTRY_COMPARE_WITH_TIMEOUT(node_->parameters().reads(), reads + 1, 10000);
        QCOMPARE(int(quint8(node_->parameters().lastRequest()[36])), 3);
        talmeno_test::saveWindowIfAsked(window_, "setting_tag");
    }

    // Running mode 8 polls the anchors one by one, until the node leaves the mode or
    // the user picks another running mode.
    void oneKeyCalibration()
    {
        sim::TrelvanNodeSetup setup;
        setup.role = ANCHOR;
        setup.id = 0;
        startNode(setup);
        window_->readButton()->click();
        QCOMPARE(status(), QString("Read parameter succeeded"));
        QTRY_VERIFY_WITH_TIMEOUT(!window_->modeItem()->oneKeySetupButton()->isHidden(), 10000);
        window_->modeItem()->oneKeySetupButton()->click();
        // The loop runs in this wait and ends when the node is back in its mode.
        QTRY_VERIFY_WITH_TIMEOUT(node_->parameters().polls() >= 4, 20000);
        QTRY_VERIFY_WITH_TIMEOUT(!WidgetSetting::isCalibrating(), 20000);
        ZTableWidget* table = window_->coordinateItem()->currentTable();
        QCOMPARE(table->item(1, 0)->text(), QString("10"));
        QCOMPARE(table->item(3, 1)->text(), QString("8"));
        QVERIFY(window_->readButton()->isEnabled());

        // Another running mode ends a loop the node would not end itself.
        node_->parameters().setCalibrationAnchors(100);
        const int polls = node_->parameters().polls();
        QTimer stopper;
        connect(&stopper, &QTimer::timeout, this, [this, &stopper, polls] {
            if (node_->parameters().polls() >= polls + 3 && WidgetSetting::isCalibrating()) {
                QVERIFY(!window_->readButton()->isEnabled());
                stopper.stop();
                window_->modeItem()->runningGroup()->button(0)->click();
            }
        });
        stopper.start(20);
        window_->modeItem()->oneKeySetupButton()->click();
        QTRY_VERIFY_WITH_TIMEOUT(node_->parameters().polls() >= polls + 3, 20000);
        QTRY_VERIFY_WITH_TIMEOUT(!WidgetSetting::isCalibrating(), 20000);
        QTRY_COMPARE_WITH_TIMEOUT(int(ParameterFrame::fromBytes(node_->parameters().parameters()).runningMode()), 0, 10000);
    }

    // The handle: recognition reads the node once; silence returns "time out" and
    // loads no data protocol.
    void productHandle()
    {
        ProductRegistration::clearRegistrations();
        Trelvan::registerProtocols();
        const auto creator = ProductRegistration::creator(0);
        ProductHandleBase* handle = creator(0, QString(), QString(), this);
        // The DOP map is made on the first use of its action and hidden with the product.
        QAction* dop = handle->toolBarActions().last();
        QVERIFY(!ProductHandle::instance()->dopWindow());
        dop->trigger();
        QWidget* dopWindow = ProductHandle::instance()->dopWindow();
        QVERIFY(dopWindow && dopWindow->isVisible());
        dop->trigger();
        QCOMPARE(ProductHandle::instance()->dopWindow(), dopWindow);
        handle->setActive(false);
        QVERIFY(!dopWindow->isVisible());

        sim::TrelvanNodeSetup setup;
        setup.role = NODE;
        setup.id = 10;
        setup.localMode = 6;
        setup.protocol = 4;
        startNode(setup);
        const int reads = node_->parameters().reads();
        QCOMPARE(handle->handleProductRecognized(), QString());
        QCOMPARE(node_->parameters().reads(), reads + 1);
        QCOMPARE(nodeLabel(0, 10), QString("NODE0_0A"));
        QVERIFY(ProtocolNodeFrame2::instance()->isActive());

        ProtocolNodeFrame2::instance()->setActive(false);
        node_->parameters().setFault(Fault::Silent);
        LogCapture log;
        QCOMPARE(handle->handleProductRecognized(), QString("time out"));
        QCOMPARE(log.count(QtWarningMsg, "Read parameter failed, time out"), 1);
        QVERIFY(!ProtocolNodeFrame2::instance()->isActive());
        node_->parameters().setFault(Fault::None);
        setup.role = ANCHOR;
        setup.id = 3;
        setup.localMode = 0;
        startNode(setup);
        QCOMPARE(handle->handleProductRecognized(), QString());
        QCOMPARE(nodeLabel(1, 3), QString("A_3"));
    }

    // The window taken down while its wireless page shows: the page hides on the way out,
    // and nothing of the window runs on what is left of it (it is not shown again).
    void windowGoesWhileItsWirelessPageShows()
    {
        WidgetWirelessSetting* page = WidgetWirelessSetting::existing();
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_));
        page->show(); // as the wireless setting mode shows it
        QVERIFY(page->isVisible());
        talmeno_test::EventLog shown(QEvent::Show);
        shown.watch(window_, "window");
        QSignalSpy pageVisibility(page, &WidgetWirelessSetting::visibilityChanged);
        delete window_;
        window_ = nullptr;
        QCOMPARE(pageVisibility, QList<QVariantList>{{false}});
        QCOMPARE(shown.count("window"), 0);
        QVERIFY(!WidgetSetting::existing() && !WidgetWirelessSetting::existing());
    }
};

TALMENO_TEST_MAIN(TestTrelvanSetting)
#include "tst_trelvan_setting.moc"
