// A positioning device streaming node frame 2, anchor frame 0, tag frame 0, node
// frames 1, 3, 4, 5, 7 and AOA node frame 0 in turn at 100 Hz on a pty, with each frame group chosen by name the way the protocol chooser does: the
// pages, line charts, scatter and 3D views move live; a recording of the stream
// replayed gives the same decoded values; the export workbooks' rows match the
// frames. The services are wired as the main window wires them. With
// TALMENO_SCREENS_DIR set, screenshots of the running pages and their charts are
// written there.

#include "foundation/UserPaths.h"
#include "helpers/SenderFrames.h"
#include "foundation/ZColorSchemeManager.h"
#include "foundation/ZThreadManager.h"
#include "foundation/ZTimerManager.h"
#include "foundation/ZUdpOutput.h"
#include "link/ZSerialPort.h"
#include "model/ResourceItems.h"
#include "products/trelvan/TrelvanRegistration.h"
#include "products/trelvan/protocols/ProtocolAnchorFrame0.h"
#include "products/trelvan/protocols/NodeLabel.h"
#include "products/trelvan/protocols/ProtocolAoaNodeFrame0.h"
#include "products/trelvan/protocols/ProtocolNodeFrame1.h"
#include "products/trelvan/protocols/ProtocolNodeFrame2.h"
#include "products/trelvan/protocols/ProtocolNodeFrame3.h"
#include "products/trelvan/protocols/ProtocolNodeFrame4.h"
#include "products/trelvan/protocols/ProtocolNodeFrame5.h"
#include "products/trelvan/protocols/ProtocolNodeFrame7.h"
#include "products/trelvan/protocols/ProtocolTagFrame0.h"
#include "products/trelvan/views/ValueGrids.h"
#include "products/trelvan/views/WidgetAnchorFrame0.h"
#include "products/trelvan/views/WidgetAoaNodeFrame0.h"
#include "products/trelvan/views/WidgetNodeFrame1.h"
#include "products/trelvan/views/WidgetNodeFrame2.h"
#include "products/trelvan/views/WidgetNodeFrame3.h"
#include "products/trelvan/views/WidgetNodeFrame4.h"
#include "products/trelvan/views/WidgetNodeFrame5.h"
#include "products/trelvan/views/WidgetNodeFrame7.h"
#include "products/trelvan/views/WidgetTagFrame0.h"
#include "widgets/PlainTextEditWithFile.h"
#include "protocol/LinkServices.h"
#include "protocol/ProtocolFactory.h"
#include "protocol/ProtocolFrameExtraction.h"
#include "protocol/ProtocolSeams.h"
#include "views/AttitudeResource.h"
#include "sim/DeviceSimulator.h"
#include "sim/TrelvanScenario.h"
#include "support/RecordReplay.h"
#include "support/ScreenShot.h"
#include "support/WorkbookReader.h"
#include "support/testenv.h"
#include "views/CustomTabWidget.h"
#include "views/LineResource.h"
#include "views/ModelViewManagers.h"
#include "views/Scatter3DResource.h"
#include "views/ScatterResource.h"
#include "views/ViewManager.h"
#include "widgets/ZLabel.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineSeries>
#include <QMainWindow>
#include <QNetworkDatagram>
#include <QProcess>
#include <QScatterSeries>
#include <QScreen>
#include <QTabBar>
#include <QUdpSocket>
#include <QtDataVisualization/QScatter3DSeries>
#include <QtDataVisualization/QCustom3DItem>
#include <QtDataVisualization/QScatterDataProxy>

#include <cmath>
#include <functional>

using Trelvan::ProtocolAnchorFrame0;
using Trelvan::ProtocolNodeFrame2;
using namespace TestTrelvan;

namespace {

constexpr int kRate = 100;
constexpr int kRecordedFrames = 150;
const QString kNode2 = "Vexa_Trelvan_Node_Frame2";
const QString kAnchor0 = "Vexa_Trelvan_Anchor_Frame0";
const QString kTag0 = "Vexa_Trelvan_Tag_Frame0";
const QString kNode1 = "Vexa_Trelvan_Node_Frame1";
const QString kNode3 = "Vexa_Trelvan_Node_Frame3";

bool near(const QString& cell, double expected, double tolerance = 1e-4)
{
    bool ok = false;
    const double v = cell.toDouble(&ok);
    return ok && std::fabs(v - expected) <= tolerance * std::max(1.0, std::fabs(expected));
}

// A workbook row against the values a frame should give: texts exactly, numbers near.
bool rowMatches(const QStringList& row, const QList<QVariant>& expected, QString* why)
{
    if (row.size() != expected.size()) {
        *why = QString("%1 cells, %2 expected").arg(row.size()).arg(expected.size());
        return false;
    }
    for (int i = 0; i < row.size(); ++i) {
        const QVariant& e = expected[i];
        const bool same = e.type() == QVariant::String ? row[i] == e.toString() : near(row[i], e.toDouble());
        if (!same) {
            *why = QString("cell %1: %2, expected %3").arg(i).arg(row[i], e.toString());
            return false;
        }
    }
    return true;
}

} // namespace

class TestTrelvanEndToEnd : public QObject
{
    Q_OBJECT

    QMainWindow* window_ = nullptr;
    ModelViewManagers* pages_ = nullptr;
    ZSerialPort* port_ = nullptr;
    QUdpSocket receiver_;
    sim::DeviceSimulator device_;
    sim::TrelvanScenario scenario_{kRate};

    ViewManager* view() const { return pages_->currentManager()->viewManager(); }

    // Brings every chart tab of the page to the front in turn and takes its picture.
    void screenshotTabs(const QString& prefix)
    {
        QVERIFY(talmeno_test::saveScreen(window_, prefix + "_page_live.png"));
        // The page's chart kinds: "Data", "Line", "2D", ..., one tab each.
        CustomTabWidget* tabs = nullptr;
        for (CustomTabWidget* t : window_->findChildren<CustomTabWidget*>())
            if (t->isVisible() && t->count() > 1 && t->tabBar()->tabText(0).startsWith("Data"))
                tabs = t;
        QVERIFY(tabs);
        for (int i = 0; i < tabs->count(); ++i) {
            const QString text = tabs->tabBar()->tabText(i);
            tabs->setCurrentPage(tabs->page(i));
            QTest::qWait(1500);
            QString name = text.section(' ', 0, 0).toLower();
            QVERIFY(talmeno_test::saveScreen(window_, QString("%1_tab%2_%3.png").arg(prefix).arg(i).arg(name)));
        }
        tabs->setCurrentPage(tabs->page(0));
    }

    // Records the live stream while exporting, replays the recording while
    // exporting again, and answers both workbooks' rows of the sheet.
    void recordExportReplay(const QString& sheet, QList<QStringList>* liveRows, QList<QStringList>* replayRows)
    {
        sim::TrelvanScenario::Kind kind;
        QVERIFY2(sim::TrelvanScenario::kindOfGroup(sheet, &kind), qPrintable(sheet));
        QString liveFile, replayFile;
        talmeno_test::exportLiveAndReplay(
            port_, device_, kRecordedFrames * scenario_.frameAt(kind, 0).size(),
            [this] { device_.stopStream(); }, // the recording plays instead
            &liveFile, &replayFile);
        if (QTest::currentTestFailed())
            return;

        *liveRows = talmeno_test::readSheetRows(liveFile, sheet);
        *replayRows = talmeno_test::readSheetRows(replayFile, sheet);
    }

    // Loads a frame group by name, as the protocol chooser does, and streams the
    // scenario's frames of that kind.
    template <typename P>
    P* chooseAndStream(const QString& group, sim::TrelvanScenario::Kind kind)
    {
        ProtocolFactory::loadProtocols(group, window_);
        if (pages_->currentName() != group)
            return nullptr;
        P* protocol = P::existing();
        if (!protocol || !protocol->isActive())
            return nullptr;
        scenario_.streamTo(device_, kind, 1000, true);
        return protocol;
    }

    // The line chart of an item moves and the 2D scatter point of another does too.
    void lineAndScatterMove(const QString& lineItem, const QString& scatterItem)
    {
        auto* line = qobject_cast<LineResource*>(view()->resource(ResourceType::Line, lineItem));
        QVERIFY2(line, qPrintable(lineItem));
        QTRY_VERIFY_WITH_TIMEOUT(line->series()->count() > 5, 5000);
        const QVector<QPointF> before = line->series()->pointsVector();
        QTRY_VERIFY_WITH_TIMEOUT(line->series()->pointsVector() != before, 5000);
        auto* scatter = qobject_cast<ScatterResource*>(view()->resource(ResourceType::Scatter, scatterItem));
        QVERIFY2(scatter, qPrintable(scatterItem));
        QTRY_VERIFY_WITH_TIMEOUT(scatter->marker()->count() > 0, 5000);
        const QPointF at = scatter->marker()->at(0);
        QTRY_VERIFY_WITH_TIMEOUT(scatter->marker()->at(0) != at, 5000);
    }

    // The 3D point of an item moves.
    void point3DMoves(const QString& item)
    {
        auto* s3 = qobject_cast<Scatter3DResource*>(view()->resource(ResourceType::Scatter3D, item));
        QVERIFY2(s3, qPrintable(item));
        auto position3D = [s3]() -> QVector3D {
            auto* proxy = s3->marker() ? s3->marker()->dataProxy() : nullptr;
            return proxy && proxy->itemCount() > 0 ? proxy->itemAt(0)->position() : QVector3D(-1, -1, -1);
        };
        QTRY_VERIFY_WITH_TIMEOUT(position3D() != QVector3D(-1, -1, -1), 5000);
        const QVector3D p3 = position3D();
        QTRY_VERIFY_WITH_TIMEOUT(position3D() != p3, 5000);
    }

    // Records, exports and replays; every replayed row equals the live row of the
    // same system time (column timeColumn) and is checked against the scenario's
    // frame of that time by checkRow.
    void exportRowsMatchTheFrames(ProtocolBase* protocol, int timeColumn, int minimumRows,
                                  const std::function<void(const QStringList&, int)>& checkRow)
    {
        QList<QStringList> live, replayed;
        recordExportReplay(protocol->name(), &live, &replayed);
        QVERIFY2(live.size() > minimumRows, qPrintable(QString::number(live.size())));
        QCOMPARE(live.first(), protocol->exportColumns());
        QCOMPARE(replayed.value(0), protocol->exportColumns());
        QMap<QString, QStringList> liveByTime;
        for (const QStringList& row : live.mid(1))
            liveByTime.insert(row.value(timeColumn), row);
        QVERIFY2(replayed.size() > minimumRows, qPrintable(QString::number(replayed.size())));
        for (const QStringList& row : replayed.mid(1)) {
            QVERIFY2(liveByTime.contains(row.value(timeColumn)), qPrintable(row.value(timeColumn)));
            QCOMPARE(row, liveByTime.value(row.value(timeColumn)));
            checkRow(row, int((row.value(timeColumn).toLongLong() - 1000) * kRate / 1000));
            if (QTest::currentTestFailed())
                return;
        }
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
        QVERIFY(udpOutputEnabled.load());
        udpOutputPort.store(receiver_.localPort());
        pages_ = initViewServices(window_);
        ProtocolSeams::setCurrentModelManagerLookup(&ModelViewManagers::currentModelManager);
        Trelvan::registerProtocols();
        ZThreadManager::instance()->moveToThread(ZTimerManager::instance(), 5);
        ZThreadManager::instance()->startThreads();
        ProtocolFrameExtraction::instance()->setEnabled(true);

        window_->setCentralWidget(pages_->pageStack());
        window_->resize(1500, 950);
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_));

        QVERIFY(device_.start());
        port_->setPortName(device_.portPath());
        port_->setBaudRate(921600);
        QVERIFY(port_->open(3));
    }

    void cleanupTestCase()
    {
        device_.stopStream();
        if (port_)
            port_->close();
        device_.stop();
        delete window_;
    }

    void nodeFrame2Live()
    {
        // Chosen by name, as the protocol chooser does.
        ProtocolFactory::loadProtocols(kNode2, window_);
        QCOMPARE(pages_->currentName(), kNode2);
        ProtocolNodeFrame2* protocol = ProtocolNodeFrame2::existing();
        QVERIFY(protocol && protocol->isActive());
        QVERIFY(!ProtocolAnchorFrame0::existing() || !ProtocolAnchorFrame0::existing()->isActive());

        scenario_.streamTo(device_, sim::TrelvanScenario::Kind::NodeFrame2, 1000, true);

        Trelvan::WidgetNodeFrame2* page = nullptr;
        QTRY_VERIFY_WITH_TIMEOUT((page = window_->findChild<Trelvan::WidgetNodeFrame2*>()) != nullptr, 5000);
        QTRY_VERIFY_WITH_TIMEOUT(page->isVisible(), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(!page->systemTimeLabel->value().isEmpty(), 5000);
        const QString firstTime = page->systemTimeLabel->value();
        QTRY_VERIFY_WITH_TIMEOUT(page->systemTimeLabel->value() != firstTime, 3000);
        QCOMPARE(page->senderLabel->text(), QString("T_0"));
        QTRY_COMPARE_WITH_TIMEOUT(page->nodes().value(1).size(), 4, 3000);
        QCOMPARE(page->nodeCountLabel->value(), QString("4"));
        const double x = page->posRow->x->value().toDouble();
        QVERIFY2(x >= 3.4 && x <= 6.6, qPrintable(page->posRow->x->value()));
        QCOMPARE(page->posRow->z->value(), QString("1"));
        Trelvan::WidgetNode2* a2 = page->box(1, 2);
        QVERIFY(a2);
        QTRY_VERIFY_WITH_TIMEOUT(!a2->disLabel->value().isEmpty(), 3000);
        const double d = a2->disLabel->value().toDouble();
        QVERIFY2(d > 3.0 && d < 9.0, qPrintable(a2->disLabel->value()));

        // Line chart of x, the scatter point and the 3D point move.
        lineAndScatterMove(kNode2 + "pos_x(m)", kNode2 + "tag");
        auto* line = qobject_cast<LineResource*>(view()->resource(ResourceType::Line, kNode2 + "pos_x(m)"));
        for (const QPointF& point : line->series()->pointsVector())
            QVERIFY2(point.y() >= 3.4 && point.y() <= 6.6, qPrintable(QString::number(point.y())));
        point3DMoves(kNode2 + "tag");

        screenshotTabs("trelvan_node_frame2");

        // Record, export, replay: the same decoded rows, matching the frames.
        exportRowsMatchTheFrames(protocol, 11, 100, [this](const QStringList& row, int n) {
            const sim::NodeFrame2Fields f = scenario_.nodeFrame2Fields(n);
            QCOMPARE(row.size(), 36 + 5 * 4);
            QVERIFY(near(row[0], f.plr / 600.0));
            QVERIFY(near(row[10], f.localTime));
            QVERIFY(near(row[15], f.posMm[0] / 1000.0));
            QVERIFY(near(row[16], f.posMm[1] / 1000.0));
            QVERIFY(near(row[29], f.angle[2] / 100.0));
            QVERIFY(near(row[34], f.voltage / 1000.0));
            QCOMPARE(row[35], QString("4"));
            for (int k = 0; k < 4; ++k) {
                QCOMPARE(row[36 + 5 * k], QString("1"));
                QCOMPARE(row[37 + 5 * k], QString::number(k));
                QVERIFY(near(row[38 + 5 * k], f.nodes[k].disMm / 1000.0));
                QVERIFY(near(row[39 + 5 * k], f.nodes[k].fpRssi * -0.5));
            }
        });
    }

    void anchorFrame0Live()
    {
        ProtocolFactory::loadProtocols(kAnchor0, window_);
        QCOMPARE(pages_->currentName(), kAnchor0);
        ProtocolAnchorFrame0* protocol = ProtocolAnchorFrame0::existing();
        QVERIFY(protocol && protocol->isActive());
        QVERIFY(!ProtocolNodeFrame2::existing() || !ProtocolNodeFrame2::existing()->isActive());
        while (receiver_.hasPendingDatagrams())
            receiver_.receiveDatagram();

        scenario_.streamTo(device_, sim::TrelvanScenario::Kind::AnchorFrame0, 1000, true);

        Trelvan::WidgetAnchorFrame0* page = nullptr;
        QTRY_VERIFY_WITH_TIMEOUT((page = window_->findChild<Trelvan::WidgetAnchorFrame0*>()) != nullptr, 5000);
        QTRY_VERIFY_WITH_TIMEOUT(page->isVisible(), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(!page->systemTimeLabel->value().isEmpty(), 5000);
        const QString firstTime = page->systemTimeLabel->value();
        QTRY_VERIFY_WITH_TIMEOUT(page->systemTimeLabel->value() != firstTime, 3000);
        QCOMPARE(page->senderLabel->text(), QString("A_0"));
        QTRY_COMPARE_WITH_TIMEOUT(page->nodes().value(2).size(), 3, 3000);
        Trelvan::WidgetAnchor0* t11 = page->box(2, 11);
        QVERIFY(t11);
        QCOMPARE(t11->nameLabel->text(), QString("T_11"));
        QTRY_VERIFY_WITH_TIMEOUT(!t11->distances->labels[0]->value().isEmpty(), 3000);
        QCOMPARE(t11->distances->labels[7]->value(), QString("0"));
        QCOMPARE(t11->position->z->value(), QString("1.25"));

        lineAndScatterMove(kAnchor0 + "pos_y[12](m)", kAnchor0 + "10");
        QVERIFY(view()->resource(ResourceType::Scatter3D, kAnchor0 + "12"));

        // Each frame goes out as JSON, its scaled numbers in single precision: a
        // frame of 3700 mV sends 3.7f widened.
        QList<QJsonObject> datagrams;
        bool sent3700 = false;
        QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                while (receiver_.hasPendingDatagrams()) {
                    const QByteArray text = receiver_.receiveDatagram().data();
                    sent3700 = sent3700 || text.contains(R"("voltage":3.700000047683716})");
                    datagrams << QJsonDocument::fromJson(text).object().value("anchor_frame0").toObject();
                }
                return datagrams.size() >= 20 && sent3700;
            }(),
            10000);
        for (const QJsonObject& o : datagrams) {
            QCOMPARE(o.keys(), (QStringList{"id", "plr", "role", "system_time", "tags", "voltage"}));
            const QJsonArray tags = o.value("tags").toArray();
            QCOMPARE(tags.size(), 3);
            const int n = int((o.value("system_time").toDouble() - 1000) * kRate / 1000);
            const sim::AnchorFrame0Fields f = scenario_.anchorFrame0Fields(n);
            QCOMPARE(tags[1].toObject().value("id").toInt(), 11);
            QCOMPARE(o.value("voltage").toDouble(), double(float(f.voltage) / 1000.0f));
            QCOMPARE(tags[1].toObject().value("pos").toArray()[0].toDouble(),
                     double(float(f.tagSlots[2].posMm[0]) / 1000.0f));
        }

        screenshotTabs("trelvan_anchor_frame0");

        exportRowsMatchTheFrames(protocol, 4, 50, [this](const QStringList& row, int n) {
            const sim::AnchorFrame0Fields f = scenario_.anchorFrame0Fields(n);
            QCOMPARE(row.size(), 6 + 12 * 3);
            QVERIFY(near(row[0], f.plr / 600.0));
            QCOMPARE(row[1], QString("1"));
            QVERIFY(near(row[3], f.localTime));
            QVERIFY(near(row[5], f.voltage / 1000.0));
            const int slotOf[3] = {0, 2, 5};
            for (int t = 0; t < 3; ++t) {
                const sim::AnchorTag& tag = f.tagSlots[size_t(slotOf[t])];
                QCOMPARE(row[6 + 12 * t], QString::number(tag.id));
                QVERIFY(near(row[7 + 12 * t], tag.posMm[0] / 1000.0));
                QVERIFY(near(row[8 + 12 * t], tag.posMm[1] / 1000.0));
                QVERIFY(near(row[10 + 12 * t], tag.disCm[0] / 100.0));
            }
        });
    }

    void tagFrame0Live()
    {
        auto* protocol =
            chooseAndStream<Trelvan::ProtocolTagFrame0>(kTag0, sim::TrelvanScenario::Kind::TagFrame0);
        QVERIFY(protocol);
        QVERIFY(!ProtocolNodeFrame2::existing() || !ProtocolNodeFrame2::existing()->isActive());

        Trelvan::WidgetTagFrame0* page = nullptr;
        QTRY_VERIFY_WITH_TIMEOUT((page = window_->findChild<Trelvan::WidgetTagFrame0*>()) != nullptr, 5000);
        QTRY_VERIFY_WITH_TIMEOUT(page->isVisible(), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(!page->systemTimeLabel->value().isEmpty(), 5000);
        const QString firstTime = page->systemTimeLabel->value();
        QTRY_VERIFY_WITH_TIMEOUT(page->systemTimeLabel->value() != firstTime, 3000);
        QCOMPARE(page->idLabel->value(), QString("0"));
        const double x = page->pos->x->value().toDouble();
        QVERIFY2(x >= 3.4 && x <= 6.6, qPrintable(page->pos->x->value()));
        QCOMPARE(page->pos->z->value(), QString("1"));
        const double d2 = page->dis->labels[2]->value().toDouble();
        QVERIFY2(d2 > 3.0 && d2 < 9.0, qPrintable(page->dis->labels[2]->value()));
        QCOMPARE(page->dis->labels[4]->value(), QString("0"));
        QCOMPARE(page->a->z->value(), QString("9.81"));

        lineAndScatterMove(kTag0 + "pos_x(m)", kTag0 + "tag");
        point3DMoves(kTag0 + "tag");
        auto* attitude = qobject_cast<AttitudeResource*>(view()->resource(ResourceType::Attitude, kTag0 + "tag"));
        QVERIFY(attitude && attitude->model());
        const QQuaternion turned = attitude->model()->rotation();
        QTRY_VERIFY_WITH_TIMEOUT(attitude->model()->rotation() != turned, 5000);

        screenshotTabs("trelvan_tag_frame0");

        exportRowsMatchTheFrames(protocol, 36, 100, [this](const QStringList& row, int n) {
            const sim::TagFrame0Fields f = scenario_.tagFrame0Fields(n);
            QCOMPARE(row.size(), 41);
            QVERIFY(near(row[0], f.plr / 600.0));
            QCOMPARE(row[5], QString::number(f.r5));
            QCOMPARE(row[6], QString::number(f.r6));
            QVERIFY(near(row[8], f.posMm[0] / 1000.0));
            QVERIFY(near(row[9], f.posMm[1] / 1000.0));
            QVERIFY(near(row[11], f.vel[0] / 10000.0));
            for (int k = 0; k < 8; ++k)
                QVERIFY(near(row[14 + k], f.disMm[size_t(k)] / 1000.0));
            QVERIFY(near(row[30], f.angle[2] / 100.0));
            QVERIFY(near(row[35], f.localTime));
            QVERIFY(near(row[37], f.eop[0] / 100.0));
            QVERIFY(near(row[40], f.voltage / 1000.0));
        });
    }

    void nodeFrame1Live()
    {
        auto* protocol =
            chooseAndStream<Trelvan::ProtocolNodeFrame1>(kNode1, sim::TrelvanScenario::Kind::NodeFrame1);
        QVERIFY(protocol);
        QVERIFY(!Trelvan::ProtocolTagFrame0::existing() || !Trelvan::ProtocolTagFrame0::existing()->isActive());

        Trelvan::WidgetNodeFrame1* page = nullptr;
        QTRY_VERIFY_WITH_TIMEOUT((page = window_->findChild<Trelvan::WidgetNodeFrame1*>()) != nullptr, 5000);
        QTRY_VERIFY_WITH_TIMEOUT(page->isVisible(), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(!page->systemTimeLabel->value().isEmpty(), 5000);
        const QString firstTime = page->systemTimeLabel->value();
        QTRY_VERIFY_WITH_TIMEOUT(page->systemTimeLabel->value() != firstTime, 3000);
        QCOMPARE(page->senderLabel->text(), QString("N_0"));
        QTRY_COMPARE_WITH_TIMEOUT(page->nodes().value(2).size(), 3, 3000);
        QCOMPARE(page->nodeCountLabel->value(), QString("4"));
        Trelvan::WidgetNode1* n1 = page->box(0, 1);
        QVERIFY(n1);
        QTRY_COMPARE_WITH_TIMEOUT(n1->position->y->value(), QString("6"), 3000);
        Trelvan::WidgetNode1* t2 = page->box(2, 2);
        QVERIFY(t2);
        QCOMPARE(t2->position->z->value(), QString("1.5"));
        const QString t2x = t2->position->x->value();
        QTRY_VERIFY_WITH_TIMEOUT(t2->position->x->value() != t2x, 3000);

        lineAndScatterMove(kNode1 + "pos_y[T_1](m)", kNode1 + "T_0");
        point3DMoves(kNode1 + "T_2");

        screenshotTabs("trelvan_node_frame1");

        exportRowsMatchTheFrames(protocol, 2, 100, [this](const QStringList& row, int n) {
            const sim::NodeFrame1Fields f = scenario_.nodeFrame1Fields(n);
            QCOMPARE(row.size(), 6 + 5 * 4);
            QCOMPARE(row[0], QString("0"));
            QVERIFY(near(row[3], f.localTime));
            QVERIFY(near(row[4], f.voltage / 1000.0));
            QCOMPARE(row[5], QString("4"));
            for (int k = 0; k < 4; ++k) {
                QCOMPARE(row[6 + 5 * k], QString::number(f.nodes[k].role));
                QCOMPARE(row[7 + 5 * k], QString::number(f.nodes[k].id));
                for (int c = 0; c < 3; ++c)
                    QVERIFY(near(row[8 + 5 * k + c], f.nodes[k].posMm[size_t(c)] / 1000.0));
            }
        });
    }

    void nodeFrame3Live()
    {
        auto* protocol =
            chooseAndStream<Trelvan::ProtocolNodeFrame3>(kNode3, sim::TrelvanScenario::Kind::NodeFrame3);
        QVERIFY(protocol);
        QVERIFY(!Trelvan::ProtocolNodeFrame1::existing() || !Trelvan::ProtocolNodeFrame1::existing()->isActive());

        Trelvan::WidgetNodeFrame3* page = nullptr;
        QTRY_VERIFY_WITH_TIMEOUT((page = window_->findChild<Trelvan::WidgetNodeFrame3*>()) != nullptr, 5000);
        QTRY_VERIFY_WITH_TIMEOUT(page->isVisible(), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(!page->systemTimeLabel->value().isEmpty(), 5000);
        const QString firstTime = page->systemTimeLabel->value();
        QTRY_VERIFY_WITH_TIMEOUT(page->systemTimeLabel->value() != firstTime, 3000);
        QCOMPARE(page->senderLabel->text(), QString("T_0"));
        QTRY_COMPARE_WITH_TIMEOUT(page->nodes().value(1).size(), 4, 3000);
        Trelvan::WidgetNode3* a1 = page->box(1, 1);
        QVERIFY(a1);
        QTRY_VERIFY_WITH_TIMEOUT(!a1->disLabel->value().isEmpty(), 3000);
        const double d = a1->disLabel->value().toDouble();
        QVERIFY2(d > 3.0 && d < 9.0, qPrintable(a1->disLabel->value()));
        QVERIFY(a1->fpRssiLabel->value().toDouble() < -75.0);
        const QString dis = a1->disLabel->value();
        QTRY_VERIFY_WITH_TIMEOUT(a1->disLabel->value() != dis, 3000);
        // This group offers pages only: no line views.
        QVERIFY(!view()->resource(ResourceType::Line, kNode3 + "voltage(V)"));
        QVERIFY(talmeno_test::saveScreen(window_, "trelvan_node_frame3_page_live.png"));

        exportRowsMatchTheFrames(protocol, 1, 100, [this](const QStringList& row, int n) {
            const sim::NodeFrame3Fields f = scenario_.nodeFrame3Fields(n);
            QCOMPARE(row.size(), 4 + 5 * 4);
            QVERIFY(near(row[0], f.localTime));
            QVERIFY(near(row[2], f.voltage / 1000.0));
            for (int k = 0; k < 4; ++k) {
                QCOMPARE(row[4 + 5 * k], QString("1"));
                QCOMPARE(row[5 + 5 * k], QString::number(k));
                QVERIFY(near(row[6 + 5 * k], f.nodes[k].disMm / 1000.0));
                QVERIFY(near(row[7 + 5 * k], f.nodes[k].fpRssi * -0.5));
                QVERIFY(near(row[8 + 5 * k], f.nodes[k].rxRssi * -0.5));
            }
        });
    }

    // Node frames 4, 5, 7 and AOA node frame 0, each chosen by its group: the page
    // moves live, a recording replayed shows the same values, and both exports'
    // rows are the frames the scenario built.
    void senderFramesLive_data()
    {
        QTest::addColumn<QString>("group");
        for (const char* g : {"Vexa_Trelvan_Node_Frame4", "Vexa_Trelvan_Node_Frame5", "Vexa_Trelvan_Node_Frame7",
                              "Vexa_Trelvan_AOA_Node_Frame0"})
            QTest::newRow(g) << QString(g);
    }
    void senderFramesLive()
    {
        QFETCH(QString, group);
        using Kind = sim::TrelvanScenario::Kind;
        Kind kind;
        QVERIFY(sim::TrelvanScenario::kindOfGroup(group, &kind));
        const sim::TrelvanScenario& sc = scenario_;
        switch (kind) {
        case Kind::NodeFrame4:
            senderFrameLive<Trelvan::WidgetNodeFrame4, Trelvan::ProtocolNodeFrame4>(
                group, kind, "55 06 ",
                [&sc](Trelvan::WidgetNodeFrame4* page, int n) {
                    const sim::NodeFrame4Fields f = sc.nodeFrame4Fields(n);
                    checkSender(page, f);
                    for (const sim::TagDistances& t : f.tags) {
                        Trelvan::WidgetTag* box = page->box(2, t.id);
                        QVERIFY(box);
                        QCOMPARE(box->voltageLabel->value(), Trelvan::formatValue(float(t.voltage) / 20.0f));
                        QCOMPARE(box->countLabel->value(), QString::number(t.distancesMm.size()));
                        QCOMPARE(box->anchorLabels.keys(), (QList<quint8>{0, 1, 2, 3}));
                        for (const auto& d : t.distancesMm)
                            QCOMPARE(box->anchorLabels.value(d.first)->value(),
                                     Trelvan::formatValue(float(d.second) / 1000.0f));
                        checkMarks(box);
                    }
                },
                [&sc](int n) {
                    const sim::NodeFrame4Fields f = sc.nodeFrame4Fields(n);
                    QList<QVariant> row = senderValues(f, f.tags.size());
                    for (const sim::TagDistances& t : f.tags) {
                        QStringList text;
                        for (const auto& d : t.distancesMm)
                            text << QString("%1: %2").arg(d.first).arg(double(float(d.second) / 1000.0f), 0, 'g', 6);
                        row << int(t.id) << double(float(t.voltage) / 20.0f) << t.distancesMm.size() << text.join(',');
                    }
                    return row;
                });
            break;
        case Kind::NodeFrame5:
            rangingFrameLive<Trelvan::WidgetNodeFrame5, Trelvan::ProtocolNodeFrame5>(
                group, kind, "55 08 ", [&sc](int n) { return sc.nodeFrame5Fields(n); }, 0);
            break;
        case Kind::NodeFrame7:
            rangingFrameLive<Trelvan::WidgetNodeFrame7, Trelvan::ProtocolNodeFrame7>(
                group, kind, "55 0b ", [&sc](int n) { return sc.nodeFrame7Fields(n); }, 2);
            break;
        case Kind::AoaNodeFrame0:
            rangingFrameLive<Trelvan::WidgetAoaNodeFrame0, Trelvan::ProtocolAoaNodeFrame0>(
                group, kind, "55 07 ", [&sc](int n) { return sc.aoaNodeFrame0Fields(n); }, 1);
            break;
        default:
            QFAIL("not a sender frame");
        }
    }

private:
    template <typename Page>
    static void checkSender(Page* page, const sim::SenderFields& f)
    {
        QCOMPARE(page->senderLabel->text(), Trelvan::nodeLabel(qint8(f.role), f.id));
        QCOMPARE(page->frameLabels.localTime->value(), QString::number(f.localTime));
        QCOMPARE(page->frameLabels.voltage->value(), Trelvan::formatValue(float(f.voltage) / 1000.0f));
    }
    template <typename Box>
    static void checkMarks(Box* box)
    {
        QCOMPARE(box->lightStack->currentIndex(), 1);
        QCOMPARE(box->changedLabel->text(), QString("Changed"));
    }

    template <typename Page, typename Protocol>
    void rangingFrameLive(const QString& group, sim::TrelvanScenario::Kind kind, const QString& head,
                          std::function<sim::RangeFrameFields(int)> fields, int angles)
    {
        senderFrameLive<Page, Protocol>(
            group, kind, head,
            [fields, angles](Page* page, int n) {
                const sim::RangeFrameFields f = fields(n);
                checkSender(page, f);
                QCOMPARE(page->nodeCountLabel->value(), QString::number(f.nodes.size()));
                for (const sim::RangeRecord& r : f.nodes) {
                    auto* box = page->box(r.role, r.id);
                    QVERIFY(box);
                    QCOMPARE(box->nameLabel->text(), Trelvan::nodeLabel(r.role, r.id));
                    const QList<float> values = rangeValues(r, angles);
                    QCOMPARE(box->fieldLabels.size(), values.size());
                    for (int i = 0; i < values.size(); ++i)
                        QCOMPARE(box->fieldLabels[i]->value(), Trelvan::formatValue(values[i]));
                    checkMarks(box);
                }
            },
            [fields, angles](int n) { return rangeRow(fields(n), angles); });
    }

    // The page of a sender frame group, live and after a replay, and its rows.
    template <typename Page, typename Protocol>
    void senderFrameLive(const QString& group, sim::TrelvanScenario::Kind kind, const QString& head,
                         std::function<void(Page*, int)> checkPage, std::function<QList<QVariant>(int)> expectedRow)
    {
        ProtocolFactory::loadProtocols(group, window_);
        QCOMPARE(pages_->currentName(), group);
        Protocol* protocol = Protocol::existing();
        QVERIFY(protocol && protocol->isActive());
        QVERIFY(!ProtocolNodeFrame2::existing() || !ProtocolNodeFrame2::existing()->isActive());

        scenario_.streamTo(device_, kind, 1000, true);

        Page* page = nullptr;
        QTRY_VERIFY_WITH_TIMEOUT((page = window_->findChild<Page*>()) != nullptr, 5000);
        QTRY_VERIFY_WITH_TIMEOUT(page->isVisible(), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(!page->frameLabels.systemTime->value().isEmpty(), 5000);
        const QString firstTime = page->frameLabels.systemTime->value();
        QTRY_VERIFY_WITH_TIMEOUT(page->frameLabels.systemTime->value() != firstTime, 3000);
        // Between two refreshes the page is still: it shows one frame of the scenario.
        auto frameShown = [&] { return int((page->frameLabels.systemTime->value().toLongLong() - 1000) * kRate / 1000); };
        checkPage(page, frameShown());
        if (QTest::currentTestFailed())
            return;
        page->rawConsole->flushPending();
        QVERIFY(page->rawConsole->toPlainText().contains("]\n" + head));
        QVERIFY(talmeno_test::saveScreen(window_, QString("trelvan_%1_page_live.png").arg(protocol->name().section('_', 2).toLower())));

        QList<QStringList> live, replayed;
        recordExportReplay(protocol->name(), &live, &replayed);
        QVERIFY2(live.size() > 100, qPrintable(QString::number(live.size())));
        QCOMPARE(live.first(), protocol->exportColumns());
        QCOMPARE(replayed.value(0), protocol->exportColumns());
        QMap<QString, QStringList> liveByTime;
        for (const QStringList& row : live.mid(1))
            liveByTime.insert(row.value(1), row);
        QVERIFY2(replayed.size() > 100, qPrintable(QString::number(replayed.size())));
        for (const QStringList& row : replayed.mid(1)) {
            QVERIFY2(liveByTime.contains(row.value(1)), qPrintable(row.value(1)));
            QCOMPARE(row, liveByTime.value(row.value(1)));
            QString why;
            const int n = int((row.value(1).toLongLong() - 1000) * kRate / 1000);
            QVERIFY2(rowMatches(row, expectedRow(n), &why), qPrintable(why));
        }
        // The replay's last frame is on the page, with the values it had live.
        const QString lastReplayed = replayed.last().value(1);
        QTRY_COMPARE_WITH_TIMEOUT(page->frameLabels.systemTime->value(), lastReplayed, 5000);
        checkPage(page, frameShown());
    }
};

TALMENO_TEST_MAIN(TestTrelvanEndToEnd)
#include "tst_trelvan_e2e_gl.moc"
