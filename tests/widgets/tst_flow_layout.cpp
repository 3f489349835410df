#include <QLabel>
#include <QPointer>
#include <QVBoxLayout>

#include "support/testenv.h"

#include "widgets/ZFlowLayout.h"

namespace {

QWidget* box(QWidget* parent, int w, int h, const QString& name = QString())
{
    auto* b = new QWidget(parent);
    b->setFixedSize(w, h);
    b->setObjectName(name);
    return b;
}

QStringList order(const ZFlowLayout* layout)
{
    QStringList names;
    for (int i = 0; i < layout->count(); ++i)
        names << layout->itemAt(i)->widget()->objectName();
    return names;
}

} // namespace

class TestFlowLayout : public QObject
{
    Q_OBJECT

private slots:
    void ordersByKey()
    {
        QWidget host;
        auto* layout = new ZFlowLayout(&host, 0, 10, 5);
        layout->addWidget(5, box(&host, 10, 10, "5a"));
        layout->addWidget(1, box(&host, 10, 10, "1"));
        layout->addWidget(5, box(&host, 10, 10, "5b"));
        layout->addWidget(3, box(&host, 10, 10, "3"));
        QCOMPARE(order(layout), QStringList({"1", "3", "5a", "5b"}));
        QCOMPARE(layout->count(), 4);
        QCOMPARE(layout->itemAt(4), nullptr);
        QCOMPARE(layout->itemAt(-1), nullptr);
        QCOMPARE(layout->takeAt(7), nullptr);

        // Keys beyond 32 bits: a role in the high word, an id in the low word.
        const qint64 role2 = qint64(2) << 32;
        const qint64 role1 = qint64(1) << 32;
        layout->addWidget(role2 | 0xFFFFFFFFu, box(&host, 10, 10, "r2"));
        layout->addWidget(role1 | 7, box(&host, 10, 10, "r1"));
        QCOMPARE(order(layout), QStringList({"1", "3", "5a", "5b", "r1", "r2"}));
        QCOMPARE(layout->keyAt(5), role2 | 0xFFFFFFFFu);
    }

    void plainAddAppendsWithCountKey()
    {
        QWidget host;
        auto* layout = new ZFlowLayout(&host, 0, 0, 0);
        layout->addWidget(box(&host, 10, 10, "a"));
        layout->addWidget(box(&host, 10, 10, "b"));
        QCOMPARE(layout->keyAt(0), 0);
        QCOMPARE(layout->keyAt(1), 1);
        layout->addWidget(0, box(&host, 10, 10, "k0"));
        QCOMPARE(order(layout), QStringList({"a", "k0", "b"}));
    }

    void wrapsByWidth()
    {
        QWidget host;
        auto* layout = new ZFlowLayout(&host, 0, 10, 5);
        QList<QWidget*> boxes;
        for (int i = 0; i < 5; ++i) {
            boxes << box(&host, 100, 20, QString::number(i));
            layout->addWidget(i, boxes.last());
        }
        layout->setGeometry(QRect(0, 0, 330, 200));
        // 0, 110, 220 fit into 330 (the last ends at 320); the fourth wraps.
        QCOMPARE(boxes[0]->geometry(), QRect(0, 0, 100, 20));
        QCOMPARE(boxes[1]->geometry(), QRect(110, 0, 100, 20));
        QCOMPARE(boxes[2]->geometry(), QRect(220, 0, 100, 20));
        QCOMPARE(boxes[3]->geometry(), QRect(0, 25, 100, 20));
        QCOMPARE(boxes[4]->geometry(), QRect(110, 25, 100, 20));
        QCOMPARE(layout->heightForWidth(330), 45);
        QCOMPARE(layout->heightForWidth(110), 5 * 20 + 4 * 5);
        QCOMPARE(layout->heightForWidth(1000), 20);
        // Five on one line take 540 (with the gaps): a line exactly that wide holds them.
        QCOMPARE(layout->lineWidth(), 5 * 100 + 4 * 10);
        QCOMPARE(layout->heightForWidth(540), 20);
        QCOMPARE(layout->heightForWidth(539), 45);
        QVERIFY(layout->hasHeightForWidth());
        QCOMPARE(layout->expandingDirections(), Qt::Orientations());
    }

    void marginsAndMinimumSize()
    {
        QWidget host;
        auto* layout = new ZFlowLayout(&host, 7, 4, 3);
        auto* a = box(&host, 50, 30, "a");
        auto* b = box(&host, 80, 10, "b");
        layout->addWidget(1, a);
        layout->addWidget(2, b);
        QCOMPARE(layout->contentsMargins(), QMargins(7, 7, 7, 7));
        QCOMPARE(layout->minimumSize(), QSize(80 + 14, 30 + 14));
        QCOMPARE(layout->sizeHint(), layout->minimumSize());
        layout->setGeometry(QRect(10, 20, 100, 100));
        QCOMPARE(a->pos(), QPoint(17, 27));
        // 17 + 50 + 4 = 71; 71 + 80 = 151 > right edge 102: wraps.
        QCOMPARE(b->pos(), QPoint(17, 27 + 30 + 3));
        QCOMPARE(layout->heightForWidth(100), 7 + 30 + 3 + 10 + 7);
    }

    void wideAndFirstItems()
    {
        QWidget host;
        auto* layout = new ZFlowLayout(&host, 0, 10, 5);
        auto* small = box(&host, 40, 20, "s");
        auto* wide = box(&host, 500, 30, "w");
        auto* after = box(&host, 40, 20, "t");
        layout->addWidget(0, small);
        layout->addWidget(1, wide);
        layout->addWidget(2, after);
        layout->setGeometry(QRect(0, 0, 300, 300));
        QCOMPARE(small->geometry(), QRect(0, 0, 40, 20));
        QCOMPARE(wide->geometry(), QRect(0, 25, 500, 30));
        QCOMPARE(after->geometry(), QRect(0, 60, 40, 20));

        // However narrow, the first item stays on the first line.
        layout->setGeometry(QRect(0, 0, 10, 300));
        QCOMPARE(small->geometry(), QRect(0, 0, 40, 20));
    }

    void deletedWidgetTakesItsKey()
    {
        QWidget host;
        auto* layout = new ZFlowLayout(&host, 0, 0, 0);
        auto* w10 = box(&host, 10, 10, "10");
        auto* w20 = box(&host, 10, 10, "20");
        auto* w30 = box(&host, 10, 10, "30");
        layout->addWidget(10, w10);
        layout->addWidget(20, w20);
        layout->addWidget(30, w30);
        delete w20;
        QCOMPARE(layout->count(), 2);
        QCOMPARE(order(layout), QStringList({"10", "30"}));
        layout->addWidget(25, box(&host, 10, 10, "25"));
        QCOMPARE(order(layout), QStringList({"10", "25", "30"}));
        QCOMPARE(layout->keyAt(1), 25);
        QCOMPARE(layout->keyAt(2), 30);
    }

    void styleSpacing()
    {
        QWidget host;
        auto* layout = new ZFlowLayout(&host, 0, -1, -1);
        QCOMPARE(layout->horizontalSpacing(), host.style()->pixelMetric(QStyle::PM_LayoutHorizontalSpacing, nullptr, &host));
        QCOMPARE(layout->verticalSpacing(), host.style()->pixelMetric(QStyle::PM_LayoutVerticalSpacing, nullptr, &host));

        QWidget outerHost;
        auto* outer = new QVBoxLayout(&outerHost);
        outer->setSpacing(13);
        auto* inner = new ZFlowLayout(0, -1, 8);
        outer->addLayout(inner);
        QCOMPARE(inner->horizontalSpacing(), 13);
        QCOMPARE(inner->verticalSpacing(), 8);

        ZFlowLayout orphan(0, -1, -1);
        QCOMPARE(orphan.horizontalSpacing(), -1);
    }

    void ownsItems()
    {
        QPointer<QWidget> host = new QWidget;
        auto* layout = new ZFlowLayout(host, 0, 0, 0);
        QPointer<QWidget> child = box(host, 10, 10, "c");
        layout->addWidget(1, child);
        QCOMPARE(child->parentWidget(), host.data());
        delete layout;
        QVERIFY(child); // items go, widgets stay with their parent
        delete host;
        QVERIFY(!child);
    }
};

TALMENO_TEST_MAIN(TestFlowLayout)
#include "tst_flow_layout.moc"
