// Tag frame 0 through the real frame search and processor, its export row and page.

#include "support/testenv.h"

#include "helpers/FrameFixture.h"
#include "helpers/TestCapture.h"
#include "model/ResourceItems.h"
#include "products/trelvan/protocols/ProtocolTagFrame0.h"
#include "products/trelvan/views/ValueGrids.h"
#include "products/trelvan/views/WidgetTagFrame0.h"
#include "protocol/ProtocolFactory.h"
#include "sim/TrelvanScenario.h"
#include "views/DataResource.h"
#include "widgets/PlainTextEditWithFile.h"
#include "widgets/ZLabel.h"

#include <QLabel>
#include <QVector3D>

using Trelvan::ProtocolTagFrame0;
using sim::TagFrame0Fields;

namespace {
const QString kName = "Vexa_Trelvan_Tag_Frame0";

// A frame with the edge values of every field.
TagFrame0Fields edgeFields()
{
    TagFrame0Fields f;
    f.id = 9;
    f.posMm = {-1, -8388608, 123456};
    f.vel = {10000, -1, 0};
    f.disMm = {1000, -1, 2, 3, 4, 5, 6, 8388607};
    f.g = {0.1f, -0.2f, 1234567.0f};
    f.a = {9.81f, 0.0f, -0.001f};
    f.r0 = 1.5f;
    f.r1 = -2.5f;
    f.r2 = 3.25f;
    f.angle = {9000, -18000, 1};
    f.q = {1.0f, 0.5f, -0.25f, 0.125f};
    f.r4 = 4.75f;
    f.localTime = 0xFFFFFFFFu;
    f.systemTime = 3723004;
    f.r5 = 250;
    f.eop = {255, 10, 1};
    f.voltage = 3700;
    f.r6 = 65535;
    f.plr = 0xFFFF;
    f.r7 = 200;
    return f;
}
} // namespace

class TestTagFrame0 : public QObject
{
    Q_OBJECT

    TestTrelvan::FrameFixture fx;
    ProtocolTagFrame0* p = nullptr;

    double lastOf(const QString& name) const { return fx.lastOf(kName, name); }

private slots:
    void initTestCase()
    {
        fx.setUp(this);
        ProtocolFactory::clearRegistrations();
        ProtocolTagFrame0::registerProtocol();
        p = ProtocolTagFrame0::instance(this);
        p->setActive(true);
    }
    void cleanupTestCase() { fx.tearDown(); }
    void init()
    {
        fx.reset();
        p->queue.takeAll();
    }

    // The first frame of the run lands on a page without 3D views: the protocol
    // registers there, the 3D and attitude items are absent and skipped.
    void threeDViewsOffSkipsTheirItems()
    {
        TestTrelvan::setCurrentManager(fx.flatPage);
        fx.feed(sim::tagFrame0(edgeFields()));
        QVERIFY(p->tagScatter && !p->tagScatter3D && !p->tagAttitude);
        QCOMPARE(p->posItems.value(0)->lastValue(), double(-0.001f));
        QCOMPARE(p->queue.takeAll().size(), 1);
    }

    // Registered again on the page with 3D views: voltage(V) alone not in use.
    void registrationOnThreeDPage()
    {
        TestTrelvan::setCurrentManager(fx.fullPage);
        p->processFrame(sim::tagFrame0(TagFrame0Fields{}));
        p->registerDataItems();
        QVERIFY(fx.line(kName, "pos_x(m)")->isUsed() && !fx.line(kName, "voltage(V)")->isUsed());
        QVERIFY(p->tagScatter3D && p->tagAttitude);
    }

    void valuesAreScaledQueuedFirstAndExported()
    {
        TestTrelvan::setCurrentManager(fx.fullPage);
        if (!p->plrItem) { // run alone: a first frame of other values makes the items
            fx.feed(sim::tagFrame0(TagFrame0Fields{}));
            p->queue.takeAll();
        }
        // The page's record is in the queue before the first item changes.
        int queuedAtFirstWrite = -1;
        const QMetaObject::Connection c = connect(p->plrItem, &BaseItem::dataChanged, this, [&] {
            if (queuedAtFirstWrite < 0)
                queuedAtFirstWrite = p->queue.size();
        }, Qt::DirectConnection);
        const QByteArray frame = sim::tagFrame0(edgeFields());
        fx.feed(frame);
        disconnect(c);
        QCOMPARE(queuedAtFirstWrite, 1);

        // One of each scaling.
        const QList<QPair<QString, double>> expected{
            {"plr", double(65535.0f / 600.0f)}, {"r2", 3.25}, {"r6", 65535.0}, {"voltage(V)", double(3.7f)},
            {"pos_y(m)", double(-8388.608f)}, {"vel_y(m/s)", double(-0.0001f)}, {"dis_7(m)", double(8388.607f)},
            {"g_z(rad/s)", 1234567.0}, {"a_x(m/s^2)", double(9.81f)}, {"angle_y(deg)", -180.0}, {"q_3", 0.125},
            {"eop_x(m)", double(2.55f)}, {"eop_z(m)", double(0.01f)}};
        for (const auto& e : expected)
            QVERIFY2(lastOf(e.first) == e.second, qPrintable(e.first + " " + QString::number(lastOf(e.first))));

        const ScatterValue v2 = qobject_cast<ScatterResourceItem*>(p->tagScatter)->lastValue();
        QVERIFY(v2.x == -0.001f && v2.y == -8388.608f && v2.angle == 0.0f);
        const Scatter3DValue v3 = qobject_cast<Scatter3DResourceItem*>(p->tagScatter3D)->lastValue();
        QVERIFY(v3.z == 123.456f && v3.a == 90.0f && v3.b == -180.0f && v3.c == 0.01f);
        QCOMPARE(qobject_cast<AttitudeResourceItem*>(p->tagAttitude)->lastValue(), QVector3D(90.0f, -180.0f, 0.01f));

        const auto records = p->queue.takeAll();
        QCOMPARE(records.size(), 1);
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(&records[0]->frame), 128), frame);

        // 41 values under the 41 columns; r5 to r7 integers, r0 to r4 floats.
        QCOMPARE(p->exportColumns().join(' '),
                 QString("plr r0 r1 r2 r4 r5 r6 r7 pos_x(m) pos_y(m) pos_z(m) vel_x(m/s) vel_y(m/s) vel_z(m/s) "
                         "dis_0(m) dis_1(m) dis_2(m) dis_3(m) dis_4(m) dis_5(m) dis_6(m) dis_7(m) g_x(rad/s) "
                         "g_y(rad/s) g_z(rad/s) a_x(m/s^2) a_y(m/s^2) a_z(m/s^2) angle_x(deg) angle_y(deg) "
                         "angle_z(deg) q_0 q_1 q_2 q_3 localTime(ms) systemTime(ms) eop_x(m) eop_y(m) eop_z(m) "
                         "voltage(V)"));
        const QList<QVariant> row = p->fillExportRow();
        QCOMPARE(row.size(), 41);
        for (int i = 0; i < 8; ++i)
            QCOMPARE(row[i].userType(), int(i < 5 ? QMetaType::Float : QMetaType::Int));
        const QList<QPair<int, double>> cells{{0, 109.225f}, {4, 4.75}, {6, 65535}, {8, -0.001f}, {11, 1},
                                              {21, 8388.607f}, {24, 1234567}, {28, 90}, {34, 0.125},
                                              {35, 4294967295.0}, {36, 3723004}, {37, 2.55f}, {40, 3.7f}};
        for (const auto& c : cells)
            QVERIFY2(row[c.first].toDouble() == c.second, qPrintable(QString::number(c.first)));
    }

    void pageShowsTheNewestFrame()
    {
        TestTrelvan::setCurrentManager(fx.fullPage);
        if (!p->dataItem()) { // run alone: the first frame makes the items
            fx.feed(sim::tagFrame0(edgeFields()));
            p->queue.takeAll();
        }
        QWidget host;
        DataResource resource(p->dataItem(), &host);
        auto* page = qobject_cast<Trelvan::WidgetTagFrame0*>(resource.view());
        QVERIFY(page && !page->isVisible());

        TagFrame0Fields older = edgeFields();
        older.id = 3;
        older.systemTime = 86400000; // no time of day: empty stamp
        const QByteArray first = sim::tagFrame0(older);
        const QByteArray second = sim::tagFrame0(edgeFields());
        fx.feed(first + second);
        page->refresh();
        page->console->flushPending();
        QCOMPARE(page->console->toPlainText(),
                 QString("\n%1\n[01:02:03:004]\n%2\n")
                     .arg(QString::fromLatin1(first.toHex(' ')), QString::fromLatin1(second.toHex(' '))));
        const QList<QPair<ZLabel*, QString>> shown{
            {page->idLabel, "9"},       {page->plrLabel, "109.225"},       {page->localTimeLabel, "4294967295"},
            {page->voltageLabel, "3.7"}, {page->pos->y, "-8388.61"},       {page->vel->y, "-0.0001"},
            {page->dis->labels[7], "8388.61"}, {page->g->z, "1.23457e+06"}, {page->angle->y, "-180"},
            {page->q->labels[3], "0.125"}, {page->eop->x, "2.55"}};
        for (const auto& s : shown)
            QVERIFY2(s.first->value() == s.second, qPrintable(s.first->captionLabel()->text() + s.first->value()));

        // A clear taken with new records drops them and empties every value.
        p->dataItem()->clear();
        fx.feed(sim::tagFrame0(older));
        page->refresh();
        for (ZLabel* label : page->valueLabels())
            QVERIFY2(label->value().isEmpty(), qPrintable(label->captionLabel()->text()));
        page->console->flushPending();
        QVERIFY(page->console->toPlainText().isEmpty());
        fx.feed(second);
        page->refresh();
        QCOMPARE(page->idLabel->value(), QString("9"));
    }
};

TALMENO_TEST_MAIN(TestTagFrame0)
#include "tst_tagframe0.moc"
