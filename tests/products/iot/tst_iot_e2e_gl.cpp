// An iot node plugged in while the program runs: recognised, its grid and charts
// live without a click; export and replay of a recording give the frames' rows.

#include "foundation/ZUdpOutput.h"
#include "link/ZSerialPort.h"
#include "model/ResourceItems.h"
#include "products/iot/IotProductHandle.h"
#include "products/iot/IotProtocolFrame0.h"
#include "products/iot/IotWidgetFrame0.h"
#include "protocol/ProductsManager.h"
#include "protocol/WidgetSystemInfo.h"
#include "sim/DeviceSimulator.h"
#include "sim/IotNodeSimulator.h"
#include "support/RecordReplay.h"
#include "support/ScreenShot.h"
#include "support/WiredWindow.h"
#include "support/WorkbookReader.h"
#include "support/testenv.h"
#include "views/LineResource.h"
#include "views/ModelViewManagers.h"
#include "views/ViewManager.h"
#include "widgets/ZLabel.h"

#include <QLabel>
#include <QLineSeries>

#include <cmath>
#include <memory>

namespace {

constexpr int kDeviceRate = 921600;
constexpr int kHz = 50;

bool near(const QString& cell, double expected)
{
    bool ok = false;
    const double v = cell.toDouble(&ok);
    return ok && std::fabs(v - expected) <= 1e-6 * std::max(1.0, std::fabs(expected));
}

// Whether an export row is the row of frame n of the simulated scene.
bool rowOfFrame(const QStringList& row, quint64 n)
{
    const sim::IotSlots slots_ = sim::IotNode::scene(n);
    if (row.size() != int(5 * slots_.size()))
        return false;
    for (size_t i = 0; i < slots_.size(); ++i) {
        const sim::IotNodeRecord& r = slots_[i].second;
        const int c = int(5 * i);
        if (row[c] != QString::number(r.id) || row[c + 1] != QString::number(r.cnt) ||
            !near(row[c + 2], double(float(r.disMm) / 1000.0f)) || !near(row[c + 3], double(float(r.aoaH) / 1000.0f)) ||
            !near(row[c + 4], double(float(r.aoaV) / 1000.0f)))
            return false;
    }
    return true;
}

// The frame number of an export row (its counters give n modulo 256), or -1.
qint64 frameOfRow(const QStringList& row, quint64 framesSent)
{
    if (row.size() < 2)
        return -1;
    for (quint64 n = row[1].toUInt(); n <= framesSent + 256; n += 256)
        if (rowOfFrame(row, n))
            return qint64(n);
    return -1;
}

} // namespace

class TestIotEndToEnd : public QObject
{
    Q_OBJECT

    talmeno_test::WiredWindow w_;
    sim::DeviceSimulator device_;
    std::unique_ptr<sim::IotNode> node_;

    iot::WidgetFrame0* page() const { return w_.window->findChild<iot::WidgetFrame0*>(); }
    ViewManager* view() const { return w_.pages->currentManager()->viewManager(); }

private slots:
    void initTestCase()
    {
        udpOutputEnabled.store(false);
        talmeno_test::startPipeline();
        QVERIFY(w_.setUp("iot-node-usb", {1500, 950}, &iot::registerIotLine));
    }

    void cleanupTestCase()
    {
        w_.tearDown();
        if (node_)
            node_->stop();
        device_.stop();
    }

    void plugInRecognisedAndLive()
    {
        QVERIFY(device_.start());
        node_.reset(new sim::IotNode(device_, kHz, kDeviceRate, 0));
        node_->start();
        QVERIFY(w_.plugIn(device_.portPath())); // plugged in

        QTRY_VERIFY_WITH_TIMEOUT(w_.port()->isOpen(), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(ProductsManager::existing()->currentProductType(), 11, 30000);
        QCOMPARE(w_.port()->baudRate(), kDeviceRate);
        QCOMPARE(ProductsManager::existing()->currentProductHandle(),
                 static_cast<ProductHandleBase*>(iot::ProductHandle::existing()));
        QCOMPARE(WidgetSystemInfo::existing()->productLabel()->text(), QString("IOT"));
        iot::ProtocolFrame0* protocol = iot::ProtocolFrame0::existing();
        QTRY_VERIFY_WITH_TIMEOUT(protocol && protocol->isActive(), 5000);
        QCOMPARE(w_.pages->currentName(), QString("iot_frame0"));

        // The node grid: one box per node, values moving, a node greying out while
        // it is away and coming back.
        QTRY_VERIFY_WITH_TIMEOUT(page() && page()->isVisible(), 5000);
        iot::WidgetFrame0* p = page();
        QTRY_COMPARE_WITH_TIMEOUT(p->nodes().value(0).size(), 5, 8000);
        QStringList order;
        for (quint64 id : p->nodes().value(0).keys())
            QVERIFY(p->box(0, id)); // built on demand where out of view
        for (int i = 0; i < p->flowLayout->count(); ++i)
            order << qobject_cast<iot::WidgetNode0*>(p->flowLayout->itemAt(i)->widget())->nameLabel->text();
        QCOMPARE(order, (QStringList{"9", "1a", "101", "201", "80000005"}));
        iot::WidgetNode0* box = p->box(0, 0x1a);
        QVERIFY(box);
        const QString firstDis = box->disLabel->value();
        QTRY_VERIFY_WITH_TIMEOUT(box->disLabel->value() != firstDis, 5000);
        QTRY_VERIFY_WITH_TIMEOUT(box->lightStack->currentIndex() == 0 && box->changedLabel->text().isEmpty(), 6000);
        QTRY_VERIFY_WITH_TIMEOUT(box->lightStack->currentIndex() == 1, 6000);
        QVERIFY(talmeno_test::saveScreen(w_.window, "iot_node_grid_live.png"));

        // The line charts of chosen nodes: two that share their low byte stay apart.
        w_.showTab("Line");
        for (const char* name : {"iot_frame0dis(m)[101]", "iot_frame0dis(m)[201]", "iot_frame0aoa_h(deg)[80000005]"}) {
            auto* line = qobject_cast<LineResource*>(view()->resource(ResourceType::Line, name));
            QVERIFY2(line, name);
            QTRY_VERIFY_WITH_TIMEOUT(line->series()->count() > 5, 5000);
            const QVector<QPointF> before = line->series()->pointsVector();
            QTRY_VERIFY_WITH_TIMEOUT(line->series()->pointsVector() != before, 5000);
        }
        auto* a = qobject_cast<LineResource*>(view()->resource(ResourceType::Line, "iot_frame0dis(m)[101]"));
        auto* b = qobject_cast<LineResource*>(view()->resource(ResourceType::Line, "iot_frame0dis(m)[201]"));
        // Node 0x0101 stays within 1.0..2.0 m, node 0x0201 within 1.7..2.7 m.
        for (const QPointF& point : a->series()->pointsVector())
            QVERIFY2(point.y() >= 0.99 && point.y() <= 2.01, qPrintable(QString::number(point.y())));
        for (const QPointF& point : b->series()->pointsVector())
            QVERIFY2(point.y() >= 1.69 && point.y() <= 2.71, qPrintable(QString::number(point.y())));
        QTest::qWait(2000);
        QVERIFY(talmeno_test::saveScreen(w_.window, "iot_line_charts_live.png"));
        w_.showTab("Data");
    }

    void exportAndReplayGiveTheFramesRows()
    {
        if (!node_) {
            plugInRecognisedAndLive(); // run alone: the node streams first
            if (QTest::currentTestFailed())
                return;
        }
        quint64 sent = 0;
        QString liveFile, replayFile;
        talmeno_test::exportLiveAndReplay(
            w_.port(), device_, 80 * sim::IotNode::frame(0).size(),
            [&] {
                node_->stop(); // the recording plays instead
                sent = node_->framesSent();
            },
            &liveFile, &replayFile);
        if (QTest::currentTestFailed())
            return;

        QString error;
        const QList<QStringList> live = talmeno_test::readSheetRows(liveFile, "iot_frame0", &error);
        QVERIFY2(live.size() > 50, qPrintable(error + QString::number(live.size())));
        const QList<QStringList> replayed = talmeno_test::readSheetRows(replayFile, "iot_frame0", &error);
        QVERIFY2(replayed.size() > 50, qPrintable(error + QString::number(replayed.size())));
        const QStringList header{"id", "cnt", "dis(m)", "aoa_h(deg)", "aoa_v(deg)"};
        QCOMPARE(live.first(), header);
        QCOMPARE(replayed.first(), header);

        QMap<qint64, QStringList> liveByFrame;
        for (const QStringList& row : live.mid(1)) {
            const qint64 n = frameOfRow(row, sent);
            QVERIFY2(n >= 0, qPrintable(row.join(' ')));
            liveByFrame.insert(n, row);
        }
        for (const QStringList& row : replayed.mid(1)) {
            const qint64 n = frameOfRow(row, sent);
            QVERIFY2(n >= 0, qPrintable(row.join(' ')));
            QVERIFY2(liveByFrame.contains(n), qPrintable(QString::number(n)));
            QCOMPARE(row, liveByFrame.value(n));
        }
        // The replay shows in the grid too.
        QVERIFY(page()->isVisible());
        QCOMPARE(page()->nodes().value(0).size(), 5);
    }
};

TALMENO_TEST_MAIN(TestIotEndToEnd)
#include "tst_iot_e2e_gl.moc"
