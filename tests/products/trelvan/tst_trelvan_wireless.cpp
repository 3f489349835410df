// The relay frame, the wireless setting page and the node menu against a node at a pty
// relaying to simulated remote nodes.

#include "support/ScreenShot.h"
#include "support/testenv.h"

#include "helpers/TrelvanPortEnv.h"
#include "products/trelvan/config/ConfigItems.h"
#include "products/trelvan/config/ProtocolParameter.h"
#include "products/trelvan/config/WidgetSetting.h"
#include "products/trelvan/config/ZAppModeItem.h"
#include "products/trelvan/config/ZCoordinateItem.h"
#include "products/trelvan/protocols/NodeLabel.h"
#include "products/trelvan/protocols/ProtocolNodeFrame2.h"
#include "products/trelvan/wireless/OperateMenu.h"
#include "products/trelvan/wireless/ProtocolWireless.h"
#include "products/trelvan/wireless/WidgetNode.h"
#include "products/trelvan/wireless/WidgetWirelessSetting.h"
#include "link/ZSerialPort.h"
#include "link/ZSerialPortHooks.h"
#include "link/ZSerialPortInterface.h"
#include "protocol/FirmwareUpdater.h"
#include "protocol/FirmwareWirelessHooks.h"
#include "protocol/WidgetFirmwareUpdate.h"
#include "sim/SimulatorCommand.h"
#include "sim/TrelvanRelayHandler.h"
#include "sim/TrelvanScenario.h"
#include "support/DeviceDrain.h"
#include "support/LogCapture.h"
#include "views/RefreshManagers.h"
#include "views/ModelViewManagers.h"
#include "widgets/ZLabel.h"
#include "widgets/ZTableWidget.h"

#include <QAction>
#include <QButtonGroup>
#include <QElapsedTimer>
#include <QPushButton>
#include <QScopeGuard>
#include <QSerialPort>
#include <QSettings>
#include <QSpinBox>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QtEndian>
#include <QToolButton>

using namespace Trelvan;
using talmeno_test::LogCapture;
using Mode = sim::TrelvanRelayHandler::Mode;

namespace {
constexpr quint8 kLocalMode = 13; // anchors 0-3, tags 0-3
// The program's answer waits (30 ms a search try, 100 ms after a pass) are too short
// for a busy machine: here five times as long; late answers come long after, slow within.
constexpr int kAnswerWaitScale = 5;
constexpr int kLateMs = 1000;

QByteArray sum8Appended(QByteArray bytes)
{
    quint8 s = 0;
    for (char c : bytes)
        s = quint8(s + quint8(c));
    return bytes.append(char(s));
}
// The whole 128-byte parameter frames starting with head among bytes.
QList<QByteArray> parameterFrames(const QByteArray& bytes, const QByteArray& head)
{
    QList<QByteArray> frames;
    for (int i = bytes.indexOf(head); i >= 0 && i + 128 <= bytes.size(); i = bytes.indexOf(head, i + 1))
        if (sum8Appended(bytes.mid(i, 127)) == bytes.mid(i, 128))
            frames << bytes.mid(i, 128);
    return frames;
}
} // namespace

class TestTrelvanWireless : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestTrelvan::NodeOnPort> node_;
    std::shared_ptr<sim::TrelvanRelayHandler> relay_;
    WidgetSetting* window_ = nullptr;
    WidgetWirelessSetting* page_ = nullptr;
    OperateMenu* menu_ = nullptr;
    QMap<QString, int> remote_; // "A1" -> node index
    QStringList questions_;
    bool answer_ = false;

    int answerWaitScale_ = kAnswerWaitScale;

    QString status() const { return window_->statusBar()->currentMessage(); }
    NodeWidgetCache* cache() const { return NodeWidgetCache::existing(); }
    WidgetNode* row(quint8 role, int id) const
    {
        return cache()->contains(role, id) ? cache()->findNode(role, id) : nullptr;
    }
    int stateOf(quint8 role, int id) const
    {
        WidgetNode* r = row(role, id);
        return r ? r->state() : -1;
    }
    int addRemote(const QString& name, quint8 role, quint8 id, std::array<quint8, 4> fw = {1, 2, 3, 4},
                  quint8 localMode = kLocalMode)
    {
        sim::TrelvanNodeSetup s;
        s.role = role;
        s.id = id;
        s.localMode = localMode;
        const int n = relay_->addNode(s, fw);
        remote_.insert(name, n);
        return n;
    }
    void resetRemotes()
    {
        for (int n : qAsConst(remote_)) {
            relay_->setMode(n, Mode::Normal);
            relay_->setAnswerLimit(n, -1);
            relay_->setWriteFilter(n, nullptr);
            relay_->parameters(n).setFault(sim::TrelvanParameterHandler::Fault::None);
        }
        relay_->setMode(remote_["T2"], Mode::OtherId);
        relay_->setMode(remote_["T3"], Mode::Late);
    }
    // All written reached the node and all answers, late ones too, were decoded.
    void settle()
    {
        QTRY_COMPARE_WITH_TIMEOUT(node_->device().unreadInput(), 0, 10000);
        QTRY_COMPARE_WITH_TIMEOUT(relay_->pendingAnswers(), 0, 10000);
        QVERIFY(talmeno_test::drainDevice(node_->device(), node_->port()));
    }
    void search()
    {
        settle();
        page_->findAllNodes(0);
        QVERIFY(window_->isEnabled());
    }
    // Byte 17 of each mode switch the node at the port was sent since its log was cleared.
    QList<quint8> modeSwitchesSent() const
    {
        QList<quint8> modes;
        for (const QByteArray& frame : parameterFrames(node_->device().received(), QByteArray::fromHex("540002")))
            modes << quint8(frame[17]);
        return modes;
    }
    // Run alone, a case on the found rows plays the search first.
    void nodesFound()
    {
        if (!window_->modeItem()->isWirelessSettingActive())
            wirelessSettingFindsNodes();
    }
    // Points the menu at a row and runs one of its actions; the time it took.
    qint64 runMenu(QAction* action, quint8 role, int id)
    {
        menu_->setTargetRole(role);
        menu_->setTargetId(id);
        QElapsedTimer t;
        t.start();
        action->trigger();
        return t.elapsed();
    }

private slots:
    void initTestCase()
    {
        // No 3D views: offscreen they have no context, and the program then closes.
        QSettings().setValue("Is3DEnabled", false);
        TestTrelvan::startPortPipeline();
        ModelViewManagers::createInstance(this);
        ProtocolNodeFrame2::registerProtocol();
        sim::TrelvanNodeSetup local;
        local.role = ANCHOR;
        local.id = 0;
        local.localMode = kLocalMode;
        node_.reset(new TestTrelvan::NodeOnPort(local));
        relay_ = std::make_shared<sim::TrelvanRelayHandler>(node_->device());
        node_->device().addHandler(relay_); // before the node's own handlers
        addRemote("A1", ANCHOR, 1);
        addRemote("A2", ANCHOR, 2, {1, 2, 4, 0});
        addRemote("T0", TAG, 0);
        addRemote("T1", TAG, 1);
        addRemote("T2", TAG, 2);
        addRemote("T3", TAG, 3);
        resetRemotes();
        QVERIFY(node_->open());
        const qint32 rate = node_->port().baudRate();
        ZSerialPortInterfaceManager::instance()->setTimeoutHook([this, rate](int bytes, int extraMs) {
            const bool answerWait = extraMs >= 10 && extraMs < 1000;
            return transferTimeoutMs(bytes, answerWait ? extraMs * answerWaitScale_ : extraMs, rate);
        });
        relay_->setLateDelayMs(kLateMs);
        WidgetSetting::setPortLookup([this] { return &node_->port(); });
        WidgetSetting::setQuestionHook([this](QWidget*, const QString& text, const QString& informative) {
            questions_ << text + "|" + informative;
            return answer_;
        });
        window_ = WidgetSetting::instance(nullptr);
        page_ = WidgetWirelessSetting::existing();
        menu_ = OperateMenu::existing();
        QVERIFY(page_ && menu_ && cache());
        window_->show();
        QTRY_COMPARE_WITH_TIMEOUT(status(), QString("Read parameter succeeded"), 10000);
    }

    void cleanupTestCase()
    {
        WidgetSetting::setQuestionHook(nullptr);
        delete window_;
        QVERIFY(!FirmwareWirelessHooks::hooks().wrapCommand);
        node_.reset();
    }

    void wrapCommand_data()
    {
        QTest::addColumn<int>("command");
        QTest::addColumn<QByteArray>("payload");
        QTest::addColumn<int>("role");
        QTest::addColumn<int>("id");
        QTest::addColumn<QByteArray>("header");
        QTest::newRow("empty") << 0xA1 << QByteArray() << 2 << 7 << QByteArray::fromHex("54F1A1FFFFFF02070000");
        QTest::newRow("read to A5") << 0xA1 << ProtocolParameter::instance()->packReadRequest() << 1 << 5
                                    << QByteArray::fromHex("54F1A1FFFFFF01058000");
        QTest::newRow("broadcast after unicast") << 0xA0 << ProtocolParameter::makeRestartCommand() << 1 << 0xFF
                                                 << QByteArray::fromHex("54F1A0FFFFFF01FF8000");
    }
    // Header, untouched payload (its own sum included) and the sum of everything.
    void wrapCommand()
    {
        QFETCH(int, command);
        QFETCH(QByteArray, payload);
        QFETCH(int, role);
        QFETCH(int, id);
        QFETCH(QByteArray, header);
        ProtocolWireless* relay = ProtocolWireless::instance();
        relay->wrapCommand(0xA1, QByteArray(3, '\x11'), 3, 9); // a unicast before
        const QByteArray frame = relay->wrapCommand(quint8(command), payload, quint8(role), quint8(id));
        QCOMPARE(frame, sum8Appended(header + payload));
        QCOMPARE(FirmwareWirelessHooks::hooks().wrapCommand(quint8(command), payload, quint8(role), qint8(id)), frame);
    }

    // `talmeno-sim --trelvan <kind>` relays a read to the addressed node of its system,
    // which answers as itself in the wireless setting mode; an empty address is silent.
    void simulatorRelaysToItsNodes_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("role");
        QTest::addColumn<int>("id");
        QTest::addColumn<int>("localMode");
        QTest::addColumn<int>("protocol");
        QTest::newRow("anchor's tag") << "Anchor_Frame0" << int(TAG) << 1 << 0 << 4;
        QTest::newRow("anchor's anchor") << "Anchor_Frame0" << int(ANCHOR) << 3 << 0 << 0;
        QTest::newRow("tag's anchor") << "Tag_Frame0" << int(ANCHOR) << 0 << 0 << 0;
        QTest::newRow("DR_MODE1 node") << "Node_Frame7" << int(NODE) << 2 << 6 << 11;
        QTest::newRow("DT_MODE0 slave") << "Node_Frame0" << int(SLAVE) << 1 << 3 << 2;
    }
    void simulatorRelaysToItsNodes()
    {
        QFETCH(QString, kind);
        QFETCH(int, role);
        QFETCH(int, id);
        QFETCH(int, localMode);
        QFETCH(int, protocol);
        sim::SimulatorCommand command;
        QVERIFY2(command.start({"talmeno-sim", "--trelvan", kind, "--frame-rate", "1"}), qPrintable(command.error()));
        QSerialPort port(command.portPath());
        port.setBaudRate(115200);
        QVERIFY(port.open(QIODevice::ReadWrite));
        QByteArray in;
        connect(&port, &QSerialPort::readyRead, this, [&] { in += port.readAll(); });
        const auto answers = [&in] { return parameterFrames(in, QByteArray::fromHex("5400")); };
        ProtocolWireless* relay = ProtocolWireless::instance();
        const QByteArray read = ProtocolParameter::instance()->packReadRequest();
        // First to a tag id no node has: its answer, were there one, would come first.
        port.write(relay->wrapCommand(0xA1, read, TAG, 9));
        port.write(relay->wrapCommand(0xA1, read, quint8(role), quint8(id)));
        QTRY_VERIFY_WITH_TIMEOUT(!answers().isEmpty(), 5000);
        const QByteArray answer = answers().first();
        QCOMPARE(int(quint8(answer[3])), role);
        QCOMPARE(int(quint8(answer[9])), id);
        QCOMPARE(quint8(answer[17]) >> 4, localMode);
        QCOMPARE(quint8(answer[17]) & 0x0F, 3);
        QCOMPARE(int(quint8(answer[19])), protocol);
        // The anchors of the system, where the node keeps them.
        QCOMPARE(answer.mid(37, 9), QByteArray::fromHex("000000000000C40900"));
    }

    // A `talmeno-sim` node names its role in its frames, and its system time runs
    // with real time whatever its pace.
    void simulatorFramesFollowTheNode_data() // rows named by the frame kind
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("role");
        QTest::addColumn<int>("timeAt"); // offset of the system time
        QTest::newRow("Node_Frame2") << QStringList{"--trelvan", "Node_Frame2", "--frame-rate", "50"} << int(TAG) << 6;
        // Among node frames 0 and error frames, as the README starts it.
        QTest::newRow("Node_Frame1") << QStringList{"--trelvan", "Node_Frame1"} << int(ANCHOR) << 6;
        QTest::newRow("AOA_Node_Frame0") << QStringList{"--aoa", "15"} << int(ANCHOR) << 10;
    }
    void simulatorFramesFollowTheNode()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, role);
        QFETCH(int, timeAt);
        sim::TrelvanScenario::Kind k;
        QVERIFY(sim::TrelvanScenario::kindOfGroup(QTest::currentDataTag(), &k));
        const QByteArray head = sim::TrelvanScenario(1).frameAt(k, 0).left(2);
        sim::SimulatorCommand command;
        QVERIFY2(command.start(QStringList{"talmeno-sim"} + arguments), qPrintable(command.error()));
        QSerialPort port(command.portPath());
        port.setBaudRate(115200);
        QVERIFY(port.open(QIODevice::ReadWrite));
        QByteArray in;
        QVector<int> roles;
        QVector<qint64> times, walls; // node and wall time of each sealed frame
        QElapsedTimer wall;
        wall.start();
        connect(&port, &QSerialPort::readyRead, this, [&] {
            in += port.readAll();
            for (int i; (i = in.indexOf(head)) >= 0 && i + 4 <= in.size();) {
                const int length = quint8(in[i + 2]) | quint8(in[i + 3]) << 8;
                if (i + length > in.size())
                    break;
                const bool sealed =
                    length > timeAt + 4 && sum8Appended(in.mid(i, length - 1)) == in.mid(i, length);
                if (sealed) {
                    roles << qint8(in[i + 4]);
                    times << qFromLittleEndian<quint32>(in.constData() + i + timeAt);
                    walls << wall.elapsed();
                }
                in.remove(0, sealed ? i + length : i + 1);
            }
        });
        QTRY_VERIFY_WITH_TIMEOUT(walls.size() > 1 && walls.last() - walls.first() >= 2000, 10000);
        QCOMPARE(roles, QVector<int>(roles.size(), role));
        const qint64 clock = times.last() - times.first(), real = walls.last() - walls.first();
        QVERIFY2(qAbs(clock - real) < real * 3 / 10, qPrintable(QString("%1 ms of node time in %2").arg(clock).arg(real)));
    }

    // Switching to "Wireless Setting" searches: every address of the local mode's
    // roles but the node's own, each at most twice; wrong and late answers give no row.
    void wirelessSettingFindsNodes()
    {
        LogCapture log;
        relay_->clearLog();
        window_->modeItem()->wirelessSettingButton()->click();
        QTRY_COMPARE_WITH_TIMEOUT(status(), QString("Finding nodes..."), 10000);
        QVERIFY(page_->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(window_->isEnabled() && page_->totalLabel()->value() == "5", 30000);
        QCOMPARE(page_->countLabel(ANCHOR)->value(), QString("3"));
        QCOMPARE(page_->countLabel(TAG)->value(), QString("2"));

        const auto asked = relay_->unicastTargets();
        QCOMPARE(asked.count({ANCHOR, 0}), 0);
        QCOMPARE(asked.count({ANCHOR, 1}), 1);
        QCOMPARE(asked.count({ANCHOR, 3}), 2); // nobody
        QCOMPARE(asked.count({TAG, 1}), 1);
        QCOMPARE(asked.count({TAG, 2}), 2); // answers as T3
        QCOMPARE(asked.count({TAG, 3}), 2); // too late
        QCOMPARE(asked.size(), 1 + 1 + 2 + 1 + 1 + 2 + 2);
        QVERIFY(log.contains("required role:2, id:2 ,but actually received role:2, id:3"));

        WidgetNode* local = row(ANCHOR, 0);
        QVERIFY(local && local->isSelected() && local->state() == Succeeded);
        QVERIFY(local->isLocal() && !row(ANCHOR, 1)->isLocal());
        WidgetNode* a1 = row(ANCHOR, 1);
        QVERIFY(a1 && a1->isSelected() && a1->state() == Succeeded);
        QCOMPARE(a1->firmwareLabel()->value(), QString("1.2.3.4"));
        WidgetNode* a2 = row(ANCHOR, 2);
        QVERIFY(a2 && a2->state() == Failed);
        QCOMPARE(a2->statusText(), QString("Different firmware"));
        QCOMPARE(a2->firmwareLabel()->value(), QString("1.2.4"));
        QVERIFY(row(TAG, 1) && !row(TAG, 2) && !row(TAG, 3));
        talmeno_test::saveWindowIfAsked(window_, "wireless_page");
    }

    void silentNodeAtPortLeavesNoRows_data()
    {
        QTest::addColumn<int>("mode");
        QTest::newRow("silent") << int(sim::DeviceSimulator::Mode::Silent);
        QTest::newRow("echo") << int(sim::DeviceSimulator::Mode::Echo);
    }
    void silentNodeAtPortLeavesNoRows()
    {
        QFETCH(int, mode);
        LogCapture log(LogCapture::ForwardAllButDebug);
        node_->device().setMode(sim::DeviceSimulator::Mode(mode));
        search();
        node_->device().setMode(sim::DeviceSimulator::Mode::Device);
        QVERIFY(log.contains("read systeminfo of nodeConnected failed"));
        QCOMPARE(page_->totalLabel()->value(), QString("0"));
        for (int role : {NODE, ANCHOR, TAG, CONSOLE})
            QCOMPARE(cache()->nodeCount(quint8(role)), 0);
        // The late node's answers must not meet the next search's own read.
        settle();
        page_->findAllNodes(500);
        QVERIFY(window_->isEnabled());
        QCOMPARE(page_->totalLabel()->value(), QString("5"));
    }

    void pageActions()
    {
        nodesFound();
        page_->applyModeAndRole(kLocalMode, ANCHOR);
        QCOMPARE(page_->writeRoleAction()->text(), QString("Setting all ANCHOR"));
        QVERIFY(page_->writeRoleAction()->isVisible() && page_->restartRoleAction()->isVisible());
        page_->applyModeAndRole(kLocalMode, CONSOLE);
        QVERIFY(!page_->writeRoleAction()->isVisible() && !page_->restartRoleAction()->isVisible());
        page_->applyModeAndRole(kLocalMode, TAG);

        QVERIFY(page_->restartAllAction()->isVisible());
        window_->modeItem()->localGroup()->button(6)->click(); // NODE only
        QVERIFY(!page_->restartAllAction()->isVisible());
        window_->modeItem()->localGroup()->button(kLocalMode)->click();
        QVERIFY(page_->restartAllAction()->isVisible());

        page_->firmwareAction()->setChecked(true);
        WidgetFirmwareUpdate* update = WidgetFirmwareUpdate::existing();
        QVERIFY(update && update->isVisible());
        QCOMPARE(update->updateButton()->text(), QString("Wireless Update"));
        page_->hide();
        QVERIFY(!page_->firmwareAction()->isChecked());
        QCOMPARE(update->updateButton()->text(), QString("Firmware Update"));
        update->hide();
        page_->show();
    }

    void menuRead_data()
    {
        QTest::addColumn<QString>("node");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("rowText");
        QTest::newRow("answers") << "T1" << int(Mode::Normal) << "";
        QTest::newRow("silent") << "A1" << int(Mode::Silent) << "time out";
        QTest::newRow("another id") << "A1" << int(Mode::OtherId) << "Error response";
    }
    void menuRead()
    {
        QFETCH(QString, node);
        QFETCH(int, mode);
        QFETCH(QString, rowText);
        const quint8 role = node[0] == 'A' ? ANCHOR : TAG;
        const int id = node.mid(1).toInt();
        relay_->setMode(remote_[node], Mode(mode));
        relay_->parameters(remote_[node]).setFault(sim::TrelvanParameterHandler::Fault::None);
        const QByteArray editorsBefore = ProtocolParameter::instance()->backupFrame().toByteArray();
        LogCapture log;
        window_->statusBar()->clearMessage();
        const qint64 ms = runMenu(menu_->readAction(), role, id);
        relay_->setMode(remote_[node], Mode::Normal);
        WidgetNode* r = row(role, id);
        QCOMPARE(r->statusText(), rowText);
        if (rowText.isEmpty()) {
            QCOMPARE(r->state(), int(Succeeded));
            const ParameterFrame shown = ProtocolParameter::instance()->backupFrame();
            QCOMPARE(qMakePair(shown.role(), shown.id()), relay_->address(remote_[node]));
            QCOMPARE(window_->roleItem()->currentRole(), TAG);
            QCOMPARE(window_->idItem()->spinBox()->value(), id);
            QCOMPARE(status(), QString());
            return;
        }
        QCOMPARE(r->state(), int(Failed));
        QCOMPARE(status(), QString("Read parameter failed"));
        QCOMPARE(ProtocolParameter::instance()->backupFrame().toByteArray(), editorsBefore);
        if (mode == int(Mode::Silent))
            QVERIFY(ms >= 3000);
        else
            QVERIFY(log.contains(QString("when read %1, error response of %2 received")
                                     .arg(nodeLabel(qint8(role), quint64(id)), nodeLabel(qint8(role), quint64(id + 1)))));
    }

    // Writes through the menu after a read of the same node: unchanged address,
    // a move to a free id, a move onto a known node, a refused field, a bad cell.
    void menuWrite_data()
    {
        QTest::addColumn<int>("newId");
        QTest::addColumn<QString>("refuse");
        QTest::addColumn<QString>("badCell");
        QTest::addColumn<QString>("rowText");
        QTest::newRow("same address") << 1 << "" << "" << "";
        QTest::newRow("new id") << 3 << "" << "" << "";
        QTest::newRow("taken id") << 2 << "" << "" << "Target ID already exists";
        QTest::newRow("refused") << 3 << "protocol" << "" << "protocol error";
        QTest::newRow("invalid cell") << 3 << "" << "12,5" << "invalid coordinate A1 X";
        QTest::newRow("port node's id, no row") << 0 << "" << "" << "Target ID already exists";
    }
    void menuWrite()
    {
        nodesFound();
        QFETCH(int, newId);
        QFETCH(QString, refuse);
        QFETCH(QString, badCell);
        QFETCH(QString, rowText);
        const int n = remote_["A1"];
        const int id = relay_->address(n).second; // the "new id" row moved it to 3
        runMenu(menu_->readAction(), ANCHOR, id);
        QCOMPARE(row(ANCHOR, id)->state(), int(Succeeded));
        window_->idItem()->spinBox()->setValue(newId);
        // Only the row just read may write the editors' values; elsewhere nothing goes out.
        const int t1Writes = relay_->parameters(remote_["T1"]).writes();
        menu_->setTargetRole(TAG);
        menu_->setTargetId(1);
        QVERIFY(!menu_->writeAction()->isEnabled());
        QVERIFY(!menu_->writeRemoteParameter(TAG, 1));
        QCOMPARE(relay_->parameters(remote_["T1"]).writes(), t1Writes);
        menu_->setTargetRole(ANCHOR);
        menu_->setTargetId(id);
        if (newId == 0) // the port node's address is taken even without a row
            cache()->release(row(ANCHOR, 0));
        const auto restoreOwnRow = qScopeGuard([this] { cache()->findNode(ANCHOR, 0); });
        if (!refuse.isEmpty())
            relay_->setWriteFilter(n, [](QByteArray& f) { f[19] = char(quint8(f[19]) == 4 ? 2 : 4); });
        if (!badCell.isEmpty())
            window_->coordinateItem()->currentTable()->item(1, 0)->setText(badCell);
        const int writesBefore = relay_->parameters(n).writes();
        const int askedBefore = relay_->unicastTargets().size();
        WidgetNode* old = row(ANCHOR, id);
        window_->statusBar()->clearMessage();
        runMenu(menu_->writeAction(), ANCHOR, id);
        relay_->setWriteFilter(n, nullptr);
        if (!badCell.isEmpty())
            window_->coordinateItem()->currentTable()->item(1, 0)->setText("0");

        if (rowText == "Target ID already exists" || !badCell.isEmpty()) {
            QCOMPARE(relay_->unicastTargets().size(), askedBefore); // nothing sent
            QCOMPARE(old->statusText(), rowText);
            QCOMPARE(old->state(), int(Failed));
            QCOMPARE(status(), QString("Write parameter failed."));
            return;
        }
        QCOMPARE(relay_->parameters(n).writes(), writesBefore + 1);
        const int now = relay_->address(n).second;
        WidgetNode* r = row(ANCHOR, now);
        QVERIFY(r);
        QCOMPARE(r->statusText(), rowText);
        if (!rowText.isEmpty()) {
            QCOMPARE(r->state(), int(Failed));
            QCOMPARE(status(), QString("Write parameter failed."));
            return;
        }
        QCOMPARE(now, newId);
        QCOMPARE(r->state(), int(Succeeded));
        QVERIFY(r->isSelected());
        if (newId == id) {
            QCOMPARE(r, old);
            return;
        }
        QVERIFY(!cache()->contains(ANCHOR, id));
        QVERIFY(!old->isVisible());
        menu_->setTargetId(now); // the editors hold the moved node's values
        QVERIFY(menu_->writeAction()->isEnabled());
        // Still the same device: its versions, and the time it just reported.
        QCOMPARE(r->firmwareLabel()->value(), QString("1.2.3.4"));
        QCOMPARE(r->timeLabel()->value(), QString::number(r->time()));
        QVERIFY(r->time() > 0);
    }

    void menuRestart_data()
    {
        QTest::addColumn<QString>("node");
        QTest::addColumn<int>("answers"); // -1 all
        QTest::addColumn<QString>("rowText");
        QTest::newRow("restarts") << "A2" << -1 << "";
        QTest::newRow("silent after the read") << "A2" << 1 << "time out";
        QTest::newRow("own node, cancelled") << "A0" << -1 << "";
    }
    void menuRestart()
    {
        nodesFound();
        QFETCH(QString, node);
        QFETCH(int, answers);
        QFETCH(QString, rowText);
        const int id = node.mid(1).toInt();
        questions_.clear();
        answer_ = false;
        const int asked = relay_->unicastTargets().size();
        if (node == "A0") {
            const int state = row(ANCHOR, 0)->state();
            runMenu(menu_->restartAction(), ANCHOR, 0);
            QCOMPARE(questions_, QStringList{"Restarting current node will make it exit wireless setting mode|Confirm Restart?"});
            QCOMPARE(relay_->unicastTargets().size(), asked);
            QCOMPARE(row(ANCHOR, 0)->state(), state);
            QVERIFY(window_->modeItem()->isWirelessSettingActive());
            return;
        }
        const int n = remote_[node];
        const int restarts = relay_->parameters(n).restarts();
        relay_->setAnswerLimit(n, answers);
        window_->statusBar()->clearMessage();
        const qint64 ms = runMenu(menu_->restartAction(), ANCHOR, id);
        relay_->setAnswerLimit(n, -1);
        QVERIFY(questions_.isEmpty());
        QCOMPARE(relay_->parameters(n).restarts(), restarts + 1);
        WidgetNode* r = row(ANCHOR, id);
        QCOMPARE(r->statusText(), rowText);
        if (rowText.isEmpty()) {
            QCOMPARE(r->state(), int(Succeeded));
            return;
        }
        QVERIFY(ms >= 2000 + 20 * 100);
        QCOMPARE(r->state(), int(Failed));
        QCOMPARE(status(), QString("Restart failed"));
    }

    // "Setting all" and "Restart all": answering rows Succeeded, the others Failed;
    // the window is disabled and, for its own role, its node left out meanwhile.
    void roleOperations()
    {
        resetRemotes();
        search();
        runMenu(menu_->readAction(), TAG, 0); // the editors hold a tag's parameters
        QCOMPARE(page_->currentRole(), qint8(TAG));
        // A cell that cannot be stored: nothing goes out.
        const int none = relay_->broadcasts(TAG);
        window_->coordinateItem()->currentTable()->item(1, 0)->setText("12,5");
        page_->writeRoleAction()->trigger();
        window_->coordinateItem()->currentTable()->item(1, 0)->setText("0");
        QCOMPARE(status(), QString("Write parameter failed,invalid coordinate A1 X"));
        QCOMPARE(relay_->broadcasts(TAG), none);

        relay_->setMode(remote_["T1"], Mode::Silent);
        // A slow answer counts in the pass that asked for it: the node is asked once.
        relay_->setMode(remote_["T0"], Mode::Late);
        relay_->setLateDelayMs(60);
        relay_->clearLog();
        const int broadcasts = relay_->broadcasts(TAG);
        LogCapture log;
        bool windowEnabledMeanwhile = true;
        QTimer::singleShot(1000, this, [&] { windowEnabledMeanwhile = window_->isEnabled(); });
        page_->writeRoleAction()->trigger();
        QVERIFY(!windowEnabledMeanwhile);
        QVERIFY(window_->isEnabled());
        QCOMPARE(relay_->broadcasts(TAG), broadcasts + 1);
        QCOMPARE(relay_->address(remote_["T1"]), qMakePair(quint8(TAG), quint8(1))); // ids kept
        QCOMPARE(stateOf(TAG, 0), int(Succeeded));
        QCOMPARE(stateOf(TAG, 1), int(Failed));
        QVERIFY(log.contains("traverseAll failed"));
        QCOMPARE(relay_->unicastTargets().count({TAG, 0}), 1);
        QCOMPARE(relay_->unicastTargets().count({TAG, 1}), WirelessSetting::kPasses);
        relay_->setMode(remote_["T1"], Mode::Normal);
        relay_->setMode(remote_["T0"], Mode::Normal);
        relay_->setLateDelayMs(kLateMs);

        page_->applyModeAndRole(kLocalMode, ANCHOR);
        relay_->parameters(remote_["A2"]).setFault(sim::TrelvanParameterHandler::Fault::NoRestart);
        bool ownSelectedMeanwhile = true;
        QTimer::singleShot(1000, this, [&] { ownSelectedMeanwhile = row(ANCHOR, 0)->isSelected(); });
        page_->restartRoleAction()->trigger();
        relay_->parameters(remote_["A2"]).setFault(sim::TrelvanParameterHandler::Fault::None);
        QVERIFY(!ownSelectedMeanwhile);
        QVERIFY(row(ANCHOR, 0)->isSelected());
        QCOMPARE(stateOf(ANCHOR, 0), int(Succeeded));
        QCOMPARE(stateOf(ANCHOR, relay_->address(remote_["A1"]).second), int(Succeeded));
        QCOMPARE(stateOf(ANCHOR, 2), int(Failed));
        QCOMPARE(row(ANCHOR, 2)->statusText(), QString("restart failed"));
    }

    // The firmware update relays to every node of role 0; rows that did not finish
    // turn Failed, then the search lists the nodes anew.
    void wirelessFirmwareUpdate()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath("node_9.9.9.bin");
        QByteArray image;
        for (int i = 0; i < 2500; ++i)
            image.append(char((i * 7 + i / 256) & 0xFF));
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(image) == image.size());
        f.close();
        const int n0 = addRemote("N0", NODE, 0);
        const int n4 = addRemote("N4", NODE, 4);
        window_->modeItem()->localGroup()->button(10)->click(); // NODE 0-79
        // Eighty addresses, nearly all silent: twice the waits only; the second try takes a late answer.
        answerWaitScale_ = 2;
        const auto restoreWaits = qScopeGuard([this] { answerWaitScale_ = kAnswerWaitScale; });
        search();
        QVERIFY(row(NODE, 0) && row(NODE, 4));
        row(NODE, 0)->setState(Idle);
        row(NODE, 4)->setState(Succeeded);
        page_->firmwareAction()->setChecked(true);
        WidgetFirmwareUpdate::existing()->hide();
        const QString error = FirmwareUpdater::instance(this)->updateFirmwareWireless(file);
        QCOMPARE(error, QString());
        for (int n : {n0, n4}) {
            QCOMPARE(relay_->firmwareImage(n, image.size()), image);
            QCOMPARE(relay_->firmwareFrames(n), 5 + 5 * 3);
        }
        QCOMPARE(stateOf(NODE, 0), int(Failed));
        QCOMPARE(stateOf(NODE, 4), int(Succeeded));
        settle(); // the relayed image has reached the nodes before the search asks them
        FirmwareWirelessHooks::hooks().findAllNodes(0);
        QCOMPARE(stateOf(NODE, 0), int(Succeeded));
        QCOMPARE(page_->countLabel(NODE)->value(), QString("2"));
        answerWaitScale_ = kAnswerWaitScale;
        window_->modeItem()->localGroup()->button(kLocalMode)->click();

        // Around the local node's wired update: its own mode, then the wireless setting again.
        auto runningMode = [this] { return quint8(node_->parameters().parameters()[17]) & 0x0F; };
        FirmwareWirelessHooks::hooks().restoreLocalRunningMode();
        QTRY_COMPARE_WITH_TIMEOUT(runningMode(), int(kLocalMode), 10000);
        QTRY_VERIFY_WITH_TIMEOUT(!page_->isVisible(), 10000);
        page_->totalLabel()->setValue("-");
        FirmwareWirelessHooks::hooks().enterWirelessSetting();
        QTRY_COMPARE_WITH_TIMEOUT(runningMode(), 3, 10000);
        QTRY_VERIFY_WITH_TIMEOUT(page_->isVisible(), 10000);
        QTRY_VERIFY_WITH_TIMEOUT(page_->totalLabel()->value() != "-" && window_->isEnabled(), 30000);
    }

    // A right click on a row opens the menu for that node.
    void rightClickOpensMenu()
    {
        search();
        WidgetNode* r = row(ANCHOR, 2);
        QVERIFY(r);
        bool shown = false;
        // The menu runs its own loop: look at it from there, then close it.
        QTimer::singleShot(300, this, [&] {
            shown = menu_->isVisible();
            talmeno_test::saveWindowIfAsked(window_, "wireless_menu_window");
            talmeno_test::saveWindowIfAsked(menu_, "wireless_menu");
            menu_->close();
        });
        QTest::mouseClick(r, Qt::RightButton, {}, QPoint(5, 5));
        QTRY_VERIFY_WITH_TIMEOUT(shown, 10000);
        QCOMPARE(menu_->targetRole(), quint8(ANCHOR));
        QCOMPARE(menu_->targetId(), 2);
    }

    // A remote anchor 23 in LP_MODE1 shows group 2, asked for through the relay.
    // Leaving the wireless page (to the own mode or the one-key setup) re-reads the
    // port's node and keeps its mode; until that read succeeded a write sends nothing.
    void remoteReadThenLeavingThePage_data()
    {
        QTest::addColumn<bool>("portAnswers");
        QTest::addColumn<QString>("lastRead");
        QTest::addColumn<bool>("oneKey");
        QTest::newRow("port answers") << true << "A1" << false;
        QTest::newRow("port silent") << false << "A1" << false;
        QTest::newRow("remote in another mode") << true << "A23" << false;
        QTest::newRow("one key setup after another mode") << true << "A23" << true;
    }
    void remoteReadThenLeavingThePage()
    {
        QFETCH(bool, portAnswers);
        QFETCH(QString, lastRead);
        QFETCH(bool, oneKey);
        if (!page_->isVisible()) {
            window_->modeItem()->wirelessSettingButton()->click();
            QTRY_COMPARE_WITH_TIMEOUT(status(), QString("Finding nodes..."), 10000);
            QTRY_VERIFY_WITH_TIMEOUT(window_->isEnabled(), 30000);
        }
        if (!remote_.contains("A23"))
            relay_->parameters(addRemote("A23", ANCHOR, 23, {1, 2, 3, 4}, 1)).setAnchor(22, {22000, 1, 2});
        relay_->clearLog();
        runMenu(menu_->readAction(), ANCHOR, 23);
        QTRY_COMPARE_WITH_TIMEOUT(window_->coordinateItem()->currentTable()->item(2, 0)->text(), QString("22"), 10000);
        QCOMPARE(relay_->unicastTargets().count({ANCHOR, 23}), 2);
        QCOMPARE(window_->modeItem()->localMode(), 1);
        if (lastRead == "A1") {
            const auto a1 = relay_->address(remote_["A1"]); // a node of the port's own mode
            runMenu(menu_->readAction(), a1.first, a1.second);
            QCOMPARE(ProtocolParameter::instance()->backupFrame().id(), a1.second);
        }
        QVERIFY(page_->isVisible()); // a remote reply leaves the running mode alone

        const int reads = node_->parameters().reads();
        const int writes = node_->parameters().writes();
        node_->device().clearReceived();
        ZAppModeItem* mode = window_->modeItem();
        (oneKey ? mode->oneKeySetupButton() : mode->wirelessSettingButton())->click();
        QVERIFY(!page_->isVisible());
        if (!portAnswers)
            node_->parameters().setFault(sim::TrelvanParameterHandler::Fault::Silent);
        QTRY_COMPARE_WITH_TIMEOUT(status(), portAnswers ? QString("Read parameter succeeded")
                                                        : QString("Read parameter failed,time out"), 10000);
        QTRY_VERIFY_WITH_TIMEOUT(!WidgetSetting::isCalibrating(), 10000);
        QCOMPARE(node_->parameters().reads(), reads + 1);
        // Every switch carried the node's own local mode; it runs that mode again.
        const QList<quint8> switches = modeSwitchesSent();
        QCOMPARE(switches.size(), 1);
        QCOMPARE(switches.first(), quint8(kLocalMode << 4 | (oneKey ? int(CM_MODE) : kLocalMode)));
        const auto ownMode = [this] { return quint8(node_->parameters().parameters()[17]); };
        const quint8 own = kLocalMode << 4 | kLocalMode;
        QTRY_COMPARE_WITH_TIMEOUT(ownMode(), own, 10000);
        if (portAnswers) { // the editors show the node at the port
            QCOMPARE(ProtocolParameter::instance()->backupFrame().id(), quint8(0));
            QCOMPARE(mode->localMode(), int(kLocalMode));
            QCOMPARE(mode->runningMode(), int(kLocalMode));
        }
        window_->writeButton()->click();
        node_->parameters().setFault(sim::TrelvanParameterHandler::Fault::None);
        if (!portAnswers) {
            QCOMPARE(status(), QString("Write parameter failed,no parameters read"));
            QCOMPARE(node_->parameters().writes(), writes);
            return;
        }
        QCOMPARE(status(), QString("Write parameter succeeded"));
        const QByteArray written = node_->parameters().lastRequest();
        QCOMPARE(written.mid(3, 1) + written.mid(9, 1) + written.mid(17, 1), QByteArray::fromHex("0100") + char(own));
        QCOMPARE(ownMode(), own);
    }
};

TALMENO_TEST_MAIN(TestTrelvanWireless)
#include "tst_trelvan_wireless.moc"
