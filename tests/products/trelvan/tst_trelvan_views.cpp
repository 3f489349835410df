// The node-frame page and box templates with a small frame instance, offscreen:
// boxes per node in role/id order, console blocks, changed and current marks,
// clear requests, remembered box sizes; and the value grids.

#include "support/testenv.h"

#include "helpers/TestNodeFrame.h"
#include "model/ResourceItems.h"
#include "products/trelvan/protocols/NodeLabel.h"
#include "products/trelvan/views/ValueGrids.h"
#include "products/trelvan/views/WidgetAnchorFrame0.h"
#include "products/trelvan/views/WidgetNodeFrame2.h"
#include "sim/TrelvanScenario.h"
#include "widgets/ZLabel.h"

#include <QGridLayout>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QSpinBox>
#include <QSplitter>
#include <QTime>

using namespace TestTrelvan;
using Data = ProtocolTestFrame::Data;
using Node = ProtocolTestFrame::Node_t;

namespace {

Node node(qint8 role, quint8 id, qint32 disMm = 0)
{
    Node n;
    n.role = role;
    n.id = id;
    const quint32 d = quint32(disMm) & 0xFFFFFF;
    n.dis[0] = quint8(d);
    n.dis[1] = quint8(d >> 8);
    n.dis[2] = quint8(d >> 16);
    return n;
}

QSharedPointer<Data> record(const QList<Node>& nodes, quint32 systemTime = 0, qint32 pcTime = 1000,
                            quint8 senderRole = 2, quint8 senderId = 9)
{
    auto d = QSharedPointer<Data>::create();
    d->systemTime = systemTime;
    d->pcTime = pcTime;
    d->frame.role = senderRole;
    d->frame.id = senderId;
    d->frame.voltage = 3700;
    d->nodes = nodes;
    d->rawFrame = QByteArray("\x55\x0C\xAB", 3);
    return d;
}

// A frame kind with 32-bit ids, as node frames 5 and 7 have.
struct Node32
{
    qint8 role = 0;
    quint32 id = 0;
};
struct Data32
{
    quint32 systemTime = 0;
    qint32 pcTime = 0;
    QByteArray rawFrame;
    struct
    {
        qint8 role = 0;
        quint32 id = 0;
    } frame;
    QList<Node32> nodes;
};
class Box32 : public Trelvan::WidgetNodeBase<Node32>
{
public:
    using WidgetNodeBase::WidgetNodeBase;
};
class Page32 : public Trelvan::WidgetNodeFrameBase<Box32, Data32>
{
public:
    Page32()
        : WidgetNodeFrameBase(QSize(200, 160), "Test_Trelvan_Frame32", nullptr, nullptr, nullptr)
    {
    }
    QList<QSharedPointer<Data32>> takeFrames() override { return queue.takeAll(); }
    ProtocolDataQueue<Data32> queue;
};

// Records without a role, all shown as tags (as node frame 4 does).
struct TagEntry
{
    quint8 id = 0;
};
} // namespace

namespace Trelvan {
template <>
struct NodeKey<TagEntry>
{
    static qint8 role(const TagEntry&) { return 2; }
    static quint64 id(const TagEntry& t) { return t.id; }
    static constexpr int idBits = 8;
};
} // namespace Trelvan

namespace {
struct TagData
{
    quint32 systemTime = 0;
    qint32 pcTime = 0;
    QByteArray rawFrame;
    struct
    {
        qint8 role = 0;
        quint8 id = 0;
    } frame;
    QList<TagEntry> nodes;
};
class TagBox : public Trelvan::WidgetNodeBase<TagEntry>
{
public:
    using WidgetNodeBase::WidgetNodeBase;
};
class TagPage : public Trelvan::WidgetNodeFrameBase<TagBox, TagData>
{
public:
    TagPage()
        : WidgetNodeFrameBase(QSize(350, 200), "Test_Trelvan_Tags", nullptr, nullptr, nullptr)
    {
    }
    QList<QSharedPointer<TagData>> takeFrames() override { return queue.takeAll(); }
    ProtocolDataQueue<TagData> queue;
};

QString pc(qint32 ms)
{
    return QTime::fromMSecsSinceStartOfDay(ms).toString("HH:mm:ss.zzz");
}

} // namespace

class TestTrelvanViews : public QObject
{
    Q_OBJECT

private:
    ProtocolTestFrame* p = nullptr;
    LineResourceCollector* collector = nullptr;

    // The order keys of the boxes, in flow order.
    template <typename Page>
    QList<qint64> flowKeys(Page* page)
    {
        QList<qint64> keys;
        for (int i = 0; i < page->flowLayout->count(); ++i)
            keys << page->flowLayout->keyAt(i);
        return keys;
    }

    WidgetTestNode* box(WidgetTestFrame* page, qint8 role, quint8 id)
    {
        return page->box(role, id);
    }

    QString consoleText(WidgetTestFrame* page)
    {
        page->rawConsole->flushPending();
        return page->rawConsole->toPlainText();
    }

private slots:
    void initTestCase()
    {
        p = ProtocolTestFrame::instance();
        collector = new LineResourceCollector(this);
    }

    void cleanupTestCase() { ProtocolTestFrame::destroyInstance(); }

    void init()
    {
        p->queue.takeAll();
        QSettings().remove(p->name());
    }

    void factoryBuildsHiddenPageWithTheLayout()
    {
        Trelvan::NodeFrameViewFactory<WidgetTestFrame> factory(collector);
        QWidget host;
        std::unique_ptr<DataWidgetBase> page(factory.create(nullptr, &host));
        auto* frame = qobject_cast<WidgetTestFrame*>(page.get());
        QVERIFY(frame);
        QVERIFY(frame->isHidden());
        QCOMPARE(frame->parentWidget(), &host);
        // With a collector the page content sits in the data area of the base.
        QVERIFY(frame->dataArea());
        QVERIFY(frame->dataArea()->layout());
        QVERIFY(frame->dataArea()->isAncestorOf(frame->rawConsole));
        QCOMPARE(frame->nodeWidthSpin->value(), 200);
        QCOMPARE(frame->nodeHeightSpin->value(), 120);
        QCOMPARE(frame->nodeWidthSpin->prefix(), QString("Node Width: "));
        QCOMPARE(frame->nodeHeightSpin->prefix(), QString("Node Height: "));
        QCOMPARE(frame->nodeWidthSpin->minimum(), 25);
        QCOMPARE(frame->nodeWidthSpin->maximum(), 10000);
        QCOMPARE(frame->nodeCountLabel->captionLabel()->text(), QString("Nodes of current frame"));
        QVERIFY(!frame->toolBar->isMovable());
        QCOMPARE(frame->toolBar->toolButtonStyle(), Qt::ToolButtonIconOnly);
        // First pane: tool bar, console, sender, then the instance's labels.
        QCOMPARE(frame->leftPaneLayout->indexOf(frame->toolBar), 0);
        QCOMPARE(frame->leftPaneLayout->indexOf(frame->rawConsole), 1);
        QCOMPARE(frame->leftPaneLayout->indexOf(frame->senderLabel), 2);
        QCOMPARE(frame->leftPaneLayout->indexOf(frame->systemTimeLabel), 3);
        QCOMPARE(frame->staticMetaObject.superClass(), &DataWidgetBase::staticMetaObject);
        QCOMPARE(WidgetTestNode::staticMetaObject.superClass(), &QGroupBox::staticMetaObject);

        // Without a collector the page lays itself out.
        WidgetTestFrame bare(QSize(50, 50), nullptr, nullptr);
        QVERIFY(!bare.dataArea());
        QVERIFY(bare.layout());
        QVERIFY(bare.findChild<QSplitter*>());
        QCOMPARE(bare.nodeWidthSpin->value(), 50);
    }

    void batchOfThreeRecordsGivesOneUpdatePerBox()
    {
        WidgetTestFrame page(QSize(200, 120), nullptr, nullptr);
        for (int i = 0; i < 3; ++i)
            p->queue.push(record({node(0, 1, 1000 * (i + 1)), node(0, 2)}, 0, 1000 + i));
        page.updateStatistics();

        QCOMPARE(page.nodes().size(), 1);
        QCOMPARE(page.nodes().value(0).size(), 2);
        WidgetTestNode* a = box(&page, 0, 1);
        WidgetTestNode* b = box(&page, 0, 2);
        QCOMPARE(a->updateSizes, QList<int>{3});
        QCOMPARE(b->updateSizes, QList<int>{3});
        QVERIFY(page.nodes().value(0).value(1)->pending.isEmpty());
        QCOMPARE(a->dis->value(), QString("3")); // the last record of the batch
        QCOMPARE(a->lightStack->currentIndex(), 1);
        QCOMPARE(b->lightStack->currentIndex(), 1);
        QCOMPARE(a->changedLabel->text(), QString("Changed"));
        QCOMPARE(a->nameLabel->text(), QString("N_1"));
        QCOMPARE(a->infoLabel->text(), "pc: " + pc(1002));
        QCOMPARE(a->size(), QSize(200, 120));
        QCOMPARE(page.nodeCountLabel->value(), QString("2"));
        QCOMPARE(page.senderLabel->text(), QString("T_9"));
        QCOMPARE(page.voltageLabel->value(), QString("3.7"));

        const QString expected = "[pc: " + pc(1000) + "]\n55 0c ab\n[pc: " + pc(1001) + "]\n55 0c ab\n[pc: " +
                                 pc(1002) + "]\n55 0c ab\n";
        QCOMPARE(consoleText(&page), expected); // one chunk for the whole batch
        QCOMPARE(page.rawConsole->characterCount(), expected.size());

        // Nothing queued: the page stays as it is.
        page.updateStatistics();
        QCOMPARE(a->updateSizes.size(), 1);
        QCOMPARE(a->changedLabel->text(), QString("Changed"));
    }

    void changedAndCurrentMarks()
    {
        WidgetTestFrame page(QSize(200, 120), nullptr, nullptr);
        p->queue.push(record({node(1, 1, 1500), node(1, 2, 2500)}));
        page.refresh();
        // Next refresh: node 3 in an older frame, node 1 in the newest; node 2 absent.
        p->queue.push(record({node(1, 3)}));
        p->queue.push(record({node(1, 1, 1750)}, 0, 2000, 1, 1));
        page.refresh();
        WidgetTestNode* n1 = box(&page, 1, 1);
        WidgetTestNode* n2 = box(&page, 1, 2);
        WidgetTestNode* n3 = box(&page, 1, 3);
        QCOMPARE(n1->lightStack->currentIndex(), 1);
        QCOMPARE(n1->changedLabel->text(), QString("Changed"));
        QCOMPARE(n1->dis->value(), QString("1.75"));
        QCOMPARE(n3->lightStack->currentIndex(), 0);
        QCOMPARE(n3->changedLabel->text(), QString("Changed"));
        QCOMPARE(n2->lightStack->currentIndex(), 0);
        QVERIFY(n2->changedLabel->text().isEmpty());
        QCOMPARE(n2->dis->value(), QString("2.5")); // keeps its last values
        QCOMPARE(n2->nameLabel->text(), QString("A_2"));
        QCOMPARE(page.senderLabel->text(), QString("A_1"));

        // A record without nodes: its block, a count of 0, every light grey.
        p->queue.push(record({}, 0, 3000));
        page.refresh();
        QCOMPARE(page.nodeCountLabel->value(), QString("0"));
        for (WidgetTestNode* b : {n1, n2, n3})
            QCOMPARE(b->lightStack->currentIndex(), 0);
        QVERIFY(consoleText(&page).endsWith("[pc: " + pc(3000) + "]\n55 0c ab\n"));
    }

    void timeLines()
    {
        QCOMPARE(Trelvan::frameInfoLine(0, 1000), "pc: " + pc(1000));
        QCOMPARE(Trelvan::frameInfoLine(3723004, 0), QString("system: 01:02:03.004, pc: 00:00:00.000"));
        // No time of day from 24 h on: the system part is empty.
        QCOMPARE(Trelvan::frameInfoLine(86400000, 5), QString("system: , pc: 00:00:00.005"));
        QCOMPARE(Trelvan::timeOfDayText(86399999), QString("23:59:59.999"));
        QVERIFY(Trelvan::timeOfDayText(-1).isEmpty());
        QCOMPARE(Trelvan::rawFrameBlock("x", QByteArray("\x00\xFF\x0a", 3)), QString("[x]\n00 ff 0a\n"));

        WidgetTestFrame page(QSize(200, 120), nullptr, nullptr);
        p->queue.push(record({node(2, 4)}, 3723004, 7));
        page.refresh();
        QCOMPARE(box(&page, 2, 4)->infoLabel->text(), QString("system: 01:02:03.004, pc: 00:00:00.007"));
        QVERIFY(consoleText(&page).startsWith("[system: 01:02:03.004, pc: 00:00:00.007]\n"));
    }

    void boxesFlowByRoleThenId()
    {
        WidgetTestFrame page(QSize(200, 120), nullptr, nullptr);
        p->queue.push(record({node(2, 1), node(1, 5)}));
        page.refresh();
        QCOMPARE(flowKeys(&page), (QList<qint64>{261, 513}));
        p->queue.push(record({node(1, 7)}));
        page.refresh();
        QCOMPARE(flowKeys(&page), (QList<qint64>{261, 263, 513}));
        WidgetTestNode* b17 = box(&page, 1, 7);
        QCOMPARE(page.flowLayout->itemAt(1)->widget(), b17);
        // Negative roles come first, as the map iterates them.
        p->queue.push(record({node(-1, 255), node(0, 0)}));
        page.refresh();
        QCOMPARE(flowKeys(&page), (QList<qint64>{-1, 0, 261, 263, 513}));
        QCOMPARE(page.nodes().firstKey(), qint8(-1));
    }

    void wideIdsKeepRoleOrder()
    {
        Page32 page;
        auto d = QSharedPointer<Data32>::create();
        Node32 a;
        a.role = 1;
        a.id = 0xFFFFFFFFu;
        Node32 b;
        b.role = 2;
        b.id = 1;
        Node32 c;
        c.role = 1;
        c.id = 0x100;
        d->nodes = {b, a, c};
        d->frame.role = 0;
        d->frame.id = 0xABCDEF01u;
        page.queue.push(d);
        page.refresh();
        // Role first, then the whole 32-bit id: a 32-bit key would wrap here.
        const QList<qint64> keys = flowKeys(&page);
        QCOMPARE(keys, (QList<qint64>{(qint64(1) << 32) + 0x100, (qint64(1) << 32) + 0xFFFFFFFFll, (qint64(2) << 32) + 1}));
        Box32* wide = page.box(1, 0xFFFFFFFFu);
        QCOMPARE(page.flowLayout->itemAt(1)->widget(), wide);
        QCOMPARE(page.box(1, 0xFFFFFFFFu)->nameLabel->text(), QString("A_4294967295"));
        QCOMPARE(page.senderLabel->text(), QString("N_2882400001"));
        QCOMPARE(page.nodeWidthSpin->value(), 200);
        QCOMPARE(page.nodeHeightSpin->value(), 160);
    }

    void recordsWithoutRoleAreTags()
    {
        TagPage page;
        auto d = QSharedPointer<TagData>::create();
        d->nodes = {TagEntry{7}, TagEntry{3}};
        page.queue.push(d);
        page.refresh();
        QCOMPARE(flowKeys(&page), (QList<qint64>{512 + 3, 512 + 7}));
        QCOMPARE(page.nodes().keys(), QList<qint8>{2});
        QCOMPARE(page.box(2, 7)->nameLabel->text(), QString("T_7"));
    }

    void clearRequestDropsBoxesAndRecords()
    {
        LineResourceCollector lines;
        DataResourceItem* item = nullptr;
        {
            // A free-standing data item, as the data model would hand the page.
            auto* rec = new DataResourceItem::Data;
            rec->Belong = p->name();
            rec->Name = "data";
            item = new DataResourceItem(rec, nullptr);
        }
        std::unique_ptr<DataResourceItem> owner(item);
        WidgetTestFrame page(QSize(200, 120), item, &lines);
        p->queue.push(record({node(1, 1), node(1, 2)}, 5000));
        page.refresh();
        QCOMPARE(page.flowLayout->count(), 2);
        QVERIFY(!page.systemTimeLabel->value().isEmpty());

        QPointer<WidgetTestNode> old = box(&page, 1, 1);
        p->queue.push(record({node(1, 3)}, 6000));
        item->clear();
        page.refresh();
        QVERIFY(!item->isClearRequested()); // taken
        QVERIFY(old.isNull());
        QVERIFY(page.nodes().isEmpty());
        QCOMPARE(page.flowLayout->count(), 0);
        QVERIFY(consoleText(&page).isEmpty());
        QVERIFY(page.systemTimeLabel->value().isEmpty());
        QCOMPARE(page.systemTimeLabel->captionLabel()->text(), QString("systemTime(ms)"));
        QCOMPARE(page.senderLabel->text(), QString("T_9")); // kept
        QCOMPARE(p->queue.size(), 0);                       // the record went unshown

        p->queue.push(record({node(1, 2)}, 7000));
        page.refresh();
        QCOMPARE(page.flowLayout->count(), 1);
        QCOMPARE(box(&page, 1, 2)->updateSizes, QList<int>{1});
        QCOMPARE(page.systemTimeLabel->value(), QString("7000"));
    }

    void boxSizeIsAppliedAndRemembered()
    {
        {
            WidgetTestFrame page(QSize(200, 120), nullptr, nullptr);
            p->queue.push(record({node(1, 1), node(2, 2)}));
            page.refresh();
            page.nodeWidthSpin->setValue(300);
            // Applied only when editing finishes; the size is each box's least, and
            // a box grows to its content.
            QCOMPARE(box(&page, 1, 1)->minimumWidth(), 200);
            emit page.nodeWidthSpin->editingFinished();
            QCOMPARE(box(&page, 1, 1)->minimumWidth(), 300);
            QCOMPARE(box(&page, 2, 2)->minimumWidth(), 300);
            page.nodeHeightSpin->setValue(10); // below the range
            QCOMPARE(page.nodeHeightSpin->value(), 25);
            emit page.nodeHeightSpin->editingFinished();
            QCOMPARE(box(&page, 2, 2)->minimumHeight(), 25);
            QVERIFY(box(&page, 2, 2)->sizeHint().height() > 25); // its rows need more
            // New boxes take the current size.
            p->queue.push(record({node(3, 3)}));
            page.refresh();
            QCOMPARE(box(&page, 3, 3)->minimumSize(), QSize(300, 25));
        }
        QSettings settings;
        QCOMPARE(settings.value(p->name() + "/NodeWidth").toInt(), 300);
        QCOMPARE(settings.value(p->name() + "/NodeHeight").toInt(), 25);
        WidgetTestFrame later(QSize(200, 120), nullptr, nullptr);
        QCOMPARE(later.nodeWidthSpin->value(), 300);
        QCOMPARE(later.nodeHeightSpin->value(), 25);
    }

    // The real pages in a data area of the default window's size, fed simulated
    // frames: no caption or value is squeezed or cut by its parent, and no box is
    // cut inside its pane (a page too wide for the window scrolls as a whole).
    void realPagesShowEveryCaptionAndValueWhole_data()
    {
        QTest::addColumn<bool>("anchor");
        QTest::newRow("node frame 2") << false;
        QTest::newRow("anchor frame 0") << true;
    }

    void realPagesShowEveryCaptionAndValueWhole()
    {
        QFETCH(bool, anchor);
        using namespace Trelvan;
        QScrollArea area;
        area.setWidgetResizable(true);
        DataWidgetBase* page = anchor ? static_cast<DataWidgetBase*>(new WidgetAnchorFrame0(
                                            WidgetAnchorFrame0::defaultNodeSize(), nullptr, nullptr))
                                      : new WidgetNodeFrame2(WidgetNodeFrame2::defaultNodeSize(), nullptr, nullptr);
        area.setWidget(page);
        area.resize(1100, 560);
        area.show();
        const sim::TrelvanScenario scenario(50);
        for (int n = 0; n < 5; ++n)
            anchor ? ProtocolAnchorFrame0::instance()->processFrame(scenario.anchorFrame0At(n))
                   : ProtocolNodeFrame2::instance()->processFrame(scenario.nodeFrame2At(n));
        page->refresh();
        const auto cut = [page] {
            QStringList out;
            for (QLabel* l : page->findChildren<QLabel*>()) {
                if (!l->isVisibleTo(page) || l->text().isEmpty())
                    continue;
                QRect r = l->rect();
                bool whole = l->width() >= l->minimumSizeHint().width() && l->height() >= l->minimumSizeHint().height();
                // Up to the scrolled content: a viewport shows the rest by scrolling.
                for (QWidget* w = l; whole && w != page && !qobject_cast<QAbstractScrollArea*>(w->parentWidget()->parentWidget());
                     w = w->parentWidget()) {
                    r.translate(w->pos());
                    whole = w->parentWidget()->rect().contains(r);
                }
                if (!whole)
                    out << l->text();
            }
            for (QScrollArea* pane : page->findChildren<QScrollArea*>())
                if (pane->widget()->findChild<QGroupBox*>() && pane->horizontalScrollBar()->maximum() > 0)
                    out << "box pane scrolls";
            return out;
        };
        QTRY_VERIFY(page->findChildren<QGroupBox*>().size() >= 3);
        QTRY_COMPARE_WITH_TIMEOUT(cut(), QStringList(), 5000);
        ProtocolNodeFrame2::instance()->queue.takeAll();
        ProtocolAnchorFrame0::instance()->queue.takeAll();
    }

    void parsedFramesReachThePage()
    {
        // The protocol's records, straight from frames, through the page.
        WidgetTestFrame page(QSize(200, 120), nullptr, nullptr);
        p->processFrame(buildTestFrame(1, 2, 3723004, 3300, {{2, 5, 1234, 10}}));
        p->processFrame(buildTestFrame(1, 2, 3723104, 3300, {{2, 5, -20, 10}, {2, 6, 5, 1}}));
        page.refresh();
        QCOMPARE(box(&page, 2, 5)->updateSizes, QList<int>{2});
        QCOMPARE(box(&page, 2, 5)->dis->value(), QString("-0.02"));
        QCOMPARE(page.senderLabel->text(), QString("A_2"));
        QCOMPARE(page.systemTimeLabel->value(), QString("3723104"));
        const QString text = consoleText(&page);
        QVERIFY(text.startsWith("[system: 01:02:03.004, pc: "));
        QVERIFY(text.contains(QString::fromLatin1(buildTestFrame(1, 2, 3723004, 3300, {{2, 5, 1234, 10}}).toHex(' '))));
    }

    void valueGrids()
    {
        Trelvan::WidgetArray array("dis(m)", 8, nullptr, 4);
        QCOMPARE(array.title(), QString("dis(m)"));
        QCOMPARE(array.labels.size(), 8);
        auto* grid = qobject_cast<QGridLayout*>(array.layout());
        QVERIFY(grid);
        QCOMPARE(grid->rowCount(), 2);
        for (int i = 0; i < 8; ++i) {
            QCOMPARE(array.labels[i]->captionLabel()->text(), QString("%1: ").arg(i));
            int row, col, rs, cs;
            grid->getItemPosition(grid->indexOf(array.labels[i]), &row, &col, &rs, &cs);
            QCOMPARE(row, i / 4);
            QCOMPARE(col, i % 4);
        }
        array.setValue(7, 0.1f);
        QCOMPARE(array.labels[7]->value(), QString("0.1"));
        array.setValue(8, 1.0f); // outside: ignored
        array.setValue(-1, 1.0f);

        Trelvan::WidgetArray q("q", 4, nullptr, 4);
        QCOMPARE(qobject_cast<QGridLayout*>(q.layout())->rowCount(), 1);
        Trelvan::WidgetArray none("none", 0, nullptr, 4);
        QVERIFY(none.labels.isEmpty());
        QVERIFY(none.layout());

        Trelvan::WidgetVector3D vec("pos(m)");
        QCOMPARE(vec.findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly).size(), 1);
        QCOMPARE(vec.findChild<QLabel*>(QString(), Qt::FindDirectChildrenOnly)->text(), QString("pos(m)"));
        QCOMPARE(vec.x->captionLabel()->text(), QString("x: "));
        QCOMPARE(vec.z->captionLabel()->text(), QString("z: "));
        QVERIFY(vec.x->value().isEmpty());
        const float xyz[3] = {0.1f, 1234567.0f, -0.001f};
        vec.setValue(xyz);
        QCOMPARE(vec.x->value(), QString("0.1"));
        QCOMPARE(vec.y->value(), QString("1.23457e+06"));
        QCOMPARE(vec.z->value(), QString("-0.001"));
        // The same numbers again leave the texts unchanged, also in colour.
        vec.x->setHighlightChanges(true);
        vec.setValue(xyz);
        QCOMPARE(vec.x->value(), QString("0.1"));
        QVERIFY(!vec.x->valueLabel()->styleSheet().contains(QColor(Qt::red).name()));
    }
};

TALMENO_TEST_MAIN(TestTrelvanViews)
#include "tst_trelvan_views.moc"
