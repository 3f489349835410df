// The "AOA Setting" window and the AOA product handle against the simulated AOA
// node on a real port.

#include "support/testenv.h"

#include "helpers/TrelvanPortEnv.h"
#include "products/trelvan/calibration/AoaProductHandle.h"
#include "products/trelvan/calibration/AoaWidgetSetting.h"
#include "products/trelvan/calibration/UwbCalibrationPage.h"
#include "products/trelvan/protocols/AoaProtocolParameter.h"
#include "sim/AoaNodeSimulator.h"

#include <QComboBox>
#include <QRegularExpression>
#include <QSpinBox>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>

#include <memory>

using namespace Trelvan;
using Fault = sim::TrelvanParameterHandler::Fault;
using TestTrelvan::hexBytes;

namespace {

SystemInfoFrame systemInfo(quint8 type, quint8 model, quint8 role)
{
    SystemInfoFrame f = SystemInfoFrame::defaultFrame();
    f.bytes[3] = model;
    f.bytes[4] = type;
    f.bytes[22] = role;
    return f;
}

QStringList itemTexts(const QComboBox* box)
{
    QStringList texts;
    for (int i = 0; i < box->count(); ++i)
        texts << box->itemText(i);
    return texts;
}

} // namespace

class TestAoaSetting : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestTrelvan::NodeOnPort> node_;
    std::unique_ptr<AoaWidgetSetting> window_;

    QString status() const { return window_->statusBar()->currentMessage(); }

    // With streaming set the node sends data frames (node frame 2), which end the
    // wait after a restart command at once.
    void startNode(bool streaming = false)
    {
        window_.reset();
        node_.reset();
        sim::TrelvanNodeSetup setup = sim::AoaNode::setupFor(sim::AoaNode::kAnchorModel, 460800);
        if (streaming)
            setup.protocol = 4;
        node_.reset(new TestTrelvan::NodeOnPort(setup, streaming));
        QVERIFY(node_->open());
        AoaWidgetSetting::setPortLookup([this] { return &node_->port(); });
        window_.reset(new AoaWidgetSetting);
        window_->handleSystemInfoChanged(true, systemInfo(0, 15, 1));
    }

private slots:
    void initTestCase()
    {
        TestTrelvan::startPortPipeline();
    }

    void cleanup()
    {
        window_.reset();
        node_.reset();
    }

    // Each notification in turn: (recognised, type, model, role) -> role list, the
    // current role, and whether the "ID" and "Update Rate" rows are shown.
    void roleListsAndRows()
    {
        AoaWidgetSetting window;
        struct Step
        {
            bool recognised;
            quint8 type, model, role;
            QStringList roles;
            QString current;
            bool idShown, rateShown;
        };
        const QStringList anchorRoles{"ANCHOR", "MONITOR"};
        const QList<Step> steps{
            {true, 0, 15, 6, anchorRoles, "MONITOR", false, false},
            {false, 0, 16, 2, anchorRoles, "MONITOR", false, false}, // not recognised
            {true, 1, 16, 2, anchorRoles, "MONITOR", false, false},  // another product type
            {true, 0, 15, 1, anchorRoles, "MONITOR", false, false},  // same model: not refilled
            {true, 0, 16, 2, {"TAG"}, "TAG", false, true},
            {true, 0, 17, 2, {}, "", false, true},                   // no role: rows unchanged
            {true, 0, 15, 1, anchorRoles, "ANCHOR", true, false},
        };
        for (const Step& s : steps) {
            window.handleSystemInfoChanged(s.recognised, systemInfo(s.type, s.model, s.role));
            QCOMPARE(itemTexts(window.roleCombo()), s.roles);
            QCOMPARE(window.roleCombo()->currentText(), s.current);
            QCOMPARE(window.isRowShown(window.idEditor()), s.idShown);
            QCOMPARE(window.isRowShown(window.updateRateCombo()), s.rateShown);
        }
    }

    // Read, then write the editors: the frame is the default record with the ten
    // fields, the node keeps it, and the buttons of window and page are locked
    // while each exchange runs.
    void readThenWrite()
    {
        startNode();
        QList<bool> enabledMeanwhile;
        auto probe = [&] {
            QTimer::singleShot(0, window_.get(), [&] {
                for (QToolButton* b : {window_->readButton(), window_->writeButton(), window_->restartButton(),
                                       window_->calibrationPage()->readButton(),
                                       window_->calibrationPage()->writeButton()})
                    enabledMeanwhile << b->isEnabled();
            });
        };
        // Before any read a write sends nothing.
        window_->writeButton()->click();
        QCOMPARE(status(), QString("Write parameter failed,no parameters read"));
        QCOMPARE(node_->parameters().writes(), 0);

        probe();
        window_->readButton()->click();
        QCOMPARE(status(), QString("Read parameter succeeded"));
        QCOMPARE(enabledMeanwhile, QList<bool>({false, false, false, false, false}));
        ParameterFrame edited = ParameterFrame::fromBytes(node_->parameters().parameters());
        edited.setSystemNum(3);
        edited.setSystemID(200);
        edited.setTxGain(21);
        edited.setRole(6);
        edited.setId(2);
        edited.setRefreshRate(50);
        edited.setFilterFactor(9);
        edited.setOnOffControl(0x01);
        window_->applyParameter(edited);
        // The default record with the ten fields: (offset, bytes).
        QByteArray expected = TestTrelvan::defaultParameterRecord(0x00, 0x00);
        const QList<QPair<int, const char*>> fields{{3, "06"},    {5, "00 08 07"}, {8, "03"}, {9, "02"}, {10, "32 00"},
                                                    {12, "C8"},   {16, "09"},      {19, "07"}, {20, "15"}};
        for (const auto& f : fields)
            expected.replace(f.first, hexBytes(f.second).size(), hexBytes(f.second));
        expected[14] = char(quint8(expected[14]) | 0x01);
        for (int i = 0; i < 127; ++i)
            expected[127] = char(quint8(expected[127]) + quint8(expected[i]));
        enabledMeanwhile.clear();
        probe();
        window_->writeButton()->click();
        QCOMPARE(status(), QString("Write parameter succeeded"));
        QCOMPARE(enabledMeanwhile, QList<bool>({false, false, false, false, false}));
        QCOMPARE(node_->parameters().lastRequest().toHex(' '), expected.toHex(' '));
        QCOMPARE(ParameterFrame::fromBytes(node_->parameters().parameters()).filterFactor(), quint8(9));
        QVERIFY(window_->writeButton()->isEnabled());
    }

    // The rates a node can be set to, before and after a read.
    void offersTheNodeBaudRates()
    {
        startNode();
        const QStringList rates{"4800",   "9600",   "14400",  "19200",   "38400",   "43000",   "57600",   "76800",  "115200",
                                "230400", "460800", "921600", "1000000", "1200000", "1500000", "2000000", "3000000"};
        QCOMPARE(itemTexts(window_->baudCombo()), rates);
        window_->readButton()->click();
        QCOMPARE(status(), QString("Read parameter succeeded"));
        QCOMPARE(window_->baudCombo()->currentText(), QString("460800"));
        QCOMPARE(itemTexts(window_->baudCombo()), rates);
    }

    // Failures and their status texts.
    void failures_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<int>("fault");
        QTest::addColumn<QString>("expected"); // a pattern
        QTest::newRow("read silent") << "read" << int(Fault::Silent) << "^Read parameter failed,Time out\\.$";
        QTest::newRow("read bad checksum") << "read" << int(Fault::BadChecksum) << "^Read parameter failed,Time out\\.$";
        QTest::newRow("write refused role and id")
            << "write" << -1 << "^Write parameter failed,roleid  write failed\\.$";
        QTest::newRow("restart") << "restart" << int(Fault::None) << "^Restart succeeded$";
        QTest::newRow("no restart") << "restart" << int(Fault::NoRestart)
                                    << "^Restart failed,currentSystemTime\\((\\d+)\\) > prevSystemTime\\((\\d+)\\)$";
    }
    void failures()
    {
        QFETCH(QString, action);
        QFETCH(int, fault);
        QFETCH(QString, expected);
        startNode(action == "restart");
        // A restarted node's clock starts again: the node must have run a while first.
        if (action == "restart")
            QTRY_VERIFY_WITH_TIMEOUT(
                ParameterFrame::fromBytes(node_->parameters().parameters()).systemTime() > 1500, 10000);
        if (action != "read")
            window_->readButton()->click();
        if (fault >= 0)
            node_->parameters().setFault(Fault(fault));
        else
            node_->parameters().setWriteFilter([](QByteArray& f) {
                f[3] = char(quint8(f[3]) + 1);
                f[9] = char(quint8(f[9]) + 1);
            });
        const int restarts = node_->parameters().restarts();
        QToolButton* button = action == "read"    ? window_->readButton()
                              : action == "write" ? window_->writeButton()
                                                  : window_->restartButton();
        button->click();
        const QRegularExpressionMatch m = QRegularExpression(expected).match(status());
        QVERIFY2(m.hasMatch(), qPrintable(status()));
        if (action == "restart") {
            QCOMPARE(node_->parameters().restarts(), restarts + 1);
            if (fault == int(Fault::NoRestart))
                QVERIFY(m.captured(1).toUInt() > m.captured(2).toUInt());
        }
    }

    // Showing the window reads once and keeps the protocol active until it closes.
    void showingReadsOnce()
    {
        startNode();
        AoaProtocolParameter* p = AoaProtocolParameter::instance();
        const int reads = node_->parameters().reads();
        window_->show();
        QTRY_COMPARE_WITH_TIMEOUT(status(), QString("Read parameter succeeded"), 10000);
        QCOMPARE(node_->parameters().reads(), reads + 1);
        QVERIFY(p->isActive());
        window_->close();
        QVERIFY(!p->isActive());
    }

    // Recognition returns the window's read result.
    void handle()
    {
        AoaProductHandle* h = AoaProductHandle::instance(nullptr);
        AoaWidgetSetting* window = h->settingWindow();

        node_.reset(new TestTrelvan::NodeOnPort(sim::AoaNode::setupFor(sim::AoaNode::kTagModel, 115200)));
        QVERIFY(node_->open());
        QCOMPARE(h->handleProductRecognized(), QString());
        QCOMPARE(window->frameFromEditors().baudRate(), 115200u);
        node_->parameters().setFault(Fault::Silent);
        QCOMPARE(h->handleProductRecognized(), QString("Time out."));
        node_.reset();
        delete h;
    }
};

TALMENO_TEST_MAIN(TestAoaSetting)
#include "tst_aoa_setting.moc"
