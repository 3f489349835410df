// A device on a pty streaming node frame 2 with node frame 0 and error frames in
// between: tool bar buttons, live node boxes, JSON texts, the offline check and the
// error popup. Screenshots go to TALMENO_SCREENS_DIR when set.

#include "foundation/UserPaths.h"
#include "foundation/ZColorSchemeManager.h"
#include "foundation/ZIconsManager.h"
#include "foundation/ZThreadManager.h"
#include "foundation/ZTimerManager.h"
#include "foundation/ZUdpOutput.h"
#include "link/ZSerialPort.h"
#include "products/trelvan/TrelvanRegistration.h"
#include "products/trelvan/protocols/ProtocolErrorFrame0.h"
#include "products/trelvan/protocols/ProtocolNodeFrame0.h"
#include "products/trelvan/protocols/ProtocolNodeFrame2.h"
#include "products/trelvan/views/WidgetErrorFrame0.h"
#include "products/trelvan/views/WidgetNodeFrame0.h"
#include "protocol/LinkServices.h"
#include "protocol/ProductsManager.h"
#include "protocol/ProtocolFactory.h"
#include "protocol/ProtocolFrameExtraction.h"
#include "protocol/ProtocolSeams.h"
#include "sim/DeviceSimulator.h"
#include "sim/TrelvanScenario.h"
#include "support/LogCapture.h"
#include "support/testenv.h"
#include "views/ModelViewManagers.h"
#include "widgets/PlainTextEditWithFile.h"
#include "widgets/WidgetIndicator.h"

#include <QCheckBox>
#include <QCursor>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QMainWindow>
#include <QNetworkDatagram>
#include <QScreen>
#include <QSpinBox>
#include <QToolButton>
#include <QUdpSocket>

using Trelvan::ProtocolErrorFrame0;
using Trelvan::ProtocolNodeFrame0;

namespace {

constexpr int kRate = 100;
const QString kNode2 = "Vexa_Trelvan_Node_Frame2";

QAction* toolBarAction(QToolBar* bar, const QString& text)
{
    for (QAction* a : bar->actions())
        if (a->text() == text)
            return a;
    return nullptr;
}

// The whole screen (the window and any popup over it), when it shows something.
bool saveScreen(const QString& fileName)
{
    QCoreApplication::processEvents();
    const QPixmap pixmap = QGuiApplication::primaryScreen()->grabWindow(0);
    if (pixmap.isNull())
        return false;
    QString folder = qEnvironmentVariable("TALMENO_SCREENS_DIR");
    if (folder.isEmpty())
        folder = QDir::tempPath();
    return pixmap.save(QDir(folder).filePath(fileName));
}

} // namespace

class TestTrelvanDataTransmission : public QObject
{
    Q_OBJECT

    QMainWindow* window_ = nullptr;
    ZSerialPort* port_ = nullptr;
    QToolBar* productBar_ = nullptr;
    QUdpSocket receiver_;
    sim::DeviceSimulator device_;
    sim::TrelvanScenario scenario_{kRate};

    // The newest "node_frame0" object received, or an empty one.
    QJsonObject nextNodeFrame0()
    {
        QJsonObject last;
        while (receiver_.hasPendingDatagrams()) {
            const QJsonObject o = QJsonDocument::fromJson(receiver_.receiveDatagram().data()).object();
            if (o.contains("node_frame0"))
                last = o.value("node_frame0").toObject();
        }
        return last;
    }

private slots:
    void initTestCase()
    {
        ZColorSchemeManager::instance()->applyStyleSheet(QString());
        initUserDataFolders();
        QVERIFY(receiver_.bind(QHostAddress(QHostAddress::LocalHost), 0));

        // What the main window wires at start-up.
        window_ = new QMainWindow;
        port_ = new ZSerialPort(window_);
        initLinkServices(port_);
        udpOutputEnabled.store(true);
        udpOutputPort.store(receiver_.localPort());
        ModelViewManagers* pages = initViewServices(window_);
        ProtocolSeams::setCurrentModelManagerLookup(&ModelViewManagers::currentModelManager);
        productBar_ = ProductsManager::instance(window_)->productToolBar();
        QVERIFY(productBar_);
        window_->addToolBar(productBar_);
        Trelvan::registerProtocols();
        ZThreadManager::instance()->moveToThread(ZTimerManager::instance(), 5);
        ZThreadManager::instance()->startThreads();
        ProtocolFrameExtraction::instance()->setEnabled(true);

        window_->setCentralWidget(pages->pageStack());
        window_->setGeometry(0, 0, 1200, 800);
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_));

        QVERIFY(device_.start());
        port_->setPortName(device_.portPath());
        port_->setBaudRate(921600);
        QVERIFY(port_->open(3));
    }

    void cleanupTestCase()
    {
        udpOutputEnabled.store(false);
        device_.stopStream();
        if (port_)
            port_->close();
        device_.stop();
        delete window_;
    }

    // Run alone, a later case finds the node streaming with its data transmission button, as in order.
    void init()
    {
        if (!ProtocolNodeFrame0::existing() && QByteArray(QTest::currentTestFunction()) != "dataTransmissionLive")
            dataTransmissionLive();
    }

    void dataTransmissionLive()
    {
        ProtocolFactory::loadProtocols(kNode2, window_);
        ProtocolNodeFrame0* dt = ProtocolNodeFrame0::existing();
        QVERIFY(dt && !toolBarAction(productBar_, "Data Transmission"));

        scenario_.streamMixedTo(device_, sim::TrelvanScenario::Kind::NodeFrame2, 1000, true);

        // The button comes with the first node frame 0.
        QAction* open = nullptr;
        QTRY_VERIFY_WITH_TIMEOUT((open = toolBarAction(productBar_, "Data Transmission")) != nullptr, 10000);
        Trelvan::WidgetNodeFrame0* w = dt->viewItem()->view();
        open->trigger();
        QVERIFY(w && w->isVisible());
        w->setGeometry(140, 150, 1100, 640);

        QTRY_COMPARE_WITH_TIMEOUT(w->nodes().value(2).size(), 3, 10000);
        Trelvan::WidgetNode0* box = w->box(2, 2);
        QVERIFY(box);
        QTRY_VERIFY_WITH_TIMEOUT(box->console->characterCount() > 0, 5000);
        box->console->flushPending();
        // Node 2 delivers 32 bytes per frame.
        QVERIFY2(box->console->toPlainText().contains(", 32 B]"), qPrintable(box->console->toPlainText().left(200)));
        QCOMPARE(w->senderLabel->text(), QString("C_0"));

        // The JSON text of each frame: three nodes with their payloads.
        QJsonObject json;
        auto received = [&json, this] {
            const QJsonObject o = nextNodeFrame0();
            if (!o.isEmpty())
                json = o;
            return !json.isEmpty();
        };
        QTRY_VERIFY_WITH_TIMEOUT(received(), 10000);
        const QJsonArray nodes = json.value("nodes").toArray();
        QCOMPARE(nodes.size(), 3);
        QCOMPARE(json.value("role").toInt(), 3);
        QCOMPARE(nodes[1].toObject().value("id").toInt(), 1);
        QCOMPARE(nodes[1].toObject().value("role").toInt(), 2);
        QCOMPARE(nodes[1].toObject().value("data").toArray().size(), 8);
        QCOMPARE(nodes[2].toObject().value("data").toArray().size(), 32);

        QTest::qWait(1000); // a second of the live window for the picture
        QVERIFY(saveScreen("trelvan_data_transmission.png"));

        // The check with three watched nodes: silencing node 1 reports it alone.
        talmeno_test::LogCapture log;
        w->nodeCountSpinBox->setValue(3);
        emit w->nodeCountSpinBox->editingFinished();
        w->checkBox->setChecked(true);
        scenario_.setNodeSilenced(1, true);
        scenario_.streamMixedTo(device_, sim::TrelvanScenario::Kind::NodeFrame2, 1000, true);
        QTRY_VERIFY_WITH_TIMEOUT(log.count(QtCriticalMsg, "offline nodes: ") > 0, 10000);
        const QStringList lines = log.lines(QtCriticalMsg);
        QVERIFY2(lines.last().contains("offline nodes: 1\nDT of node 1 is offline, time elapsed: "),
                 qPrintable(lines.last()));
        QCOMPARE(log.count("DT of node 0 is offline") + log.count("DT of node 2 is offline"), 0);

        // Closing the window ends the check.
        QVERIFY(w->close());
        QVERIFY(!dt->isCheckEnabled());
        scenario_.setNodeSilenced(1, false);
    }

    void errorButtonAndPopup()
    {
        ProtocolErrorFrame0* errors = ProtocolErrorFrame0::existing();
        QAction* button = nullptr;
        QTRY_VERIFY_WITH_TIMEOUT((button = toolBarAction(productBar_, "Error Info")) != nullptr, 10000);
        Trelvan::WidgetErrorFrame0* popup = errors->viewItem()->view();
        QVERIFY(popup);
        const qint64 red = ZIconsManager::instance()->colorIcon(8).cacheKey();
        const qint64 green = ZIconsManager::instance()->colorIcon(7).cacheKey();

        // Green between the error frames (one every 3 s), red after each.
        QTRY_COMPARE_WITH_TIMEOUT(button->icon().cacheKey(), green, 10000);
        QTRY_COMPARE_WITH_TIMEOUT(button->icon().cacheKey(), red, 10000);
        auto* toolButton = qobject_cast<QToolButton*>(productBar_->widgetForAction(button));
        QCursor::setPos(toolButton->mapToGlobal(QPoint(toolButton->width() / 2, toolButton->height())));
        button->trigger();
        QVERIFY(popup->isVisible());
        QCOMPARE(popup->roleLabel->text(), QString("TAG"));
        QCOMPARE(popup->idLabel->text(), QString("7"));
        QVERIFY(popup->systemTimeLabel->text().toUInt() >= 1000);
        QVERIFY(popup->indicators[0]->state() && !popup->indicators[1]->state() && popup->indicators[4]->state());
        QCOMPARE(popup->markLabels[0]->text(), QString("2"));
        QVERIFY(saveScreen("trelvan_error_popup.png"));
        popup->hide();
        device_.stopStream();
    }
};

TALMENO_TEST_MAIN(TestTrelvanDataTransmission)
#include "tst_trelvan_dt_e2e_gl.moc"
