#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QRandomGenerator>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QThread>
#include <QVBoxLayout>

#include <cmath>

#include "support/testenv.h"

#include "foundation/ZThreadManager.h"
#include "model/ResourceItems.h"
#include "widgets/DataWidgetBase.h"
#include "widgets/FixedSplitter.h"
#include "widgets/LineStatisticWidget.h"
#include "widgets/ZLazySlots.h"
#include "widgets/ZWidgetHelpers.h"

namespace {

class CountingPage : public DataWidgetBase
{
public:
    using DataWidgetBase::DataWidgetBase;
    using DataWidgetBase::setDataWidthWanted;
    int refreshes = 0;
    void refresh() override { ++refreshes; }
};

LineResourceItem* makeLine(const QString& name, int length = 200)
{
    auto* record = new LineResourceItem::Data;
    record->Belong = QStringLiteral("Vexa_Test_Frame0");
    record->Name = name;
    record->Length = length;
    return new LineResourceItem(record, nullptr);
}

void feed(LineResourceItem* item, std::initializer_list<double> values)
{
    for (double v : values)
        item->setData(BaseResourceItem::ColValue, v);
}

void commitTarget(LineStatisticWidget* row, const QString& text)
{
    row->targetEdit()->selectAll();
    QTest::keyClick(row->targetEdit(), Qt::Key_Backspace);
    QTest::keyClicks(row->targetEdit(), text);
    QTest::keyClick(row->targetEdit(), Qt::Key_Return);
}

QStringList shown(const LineStatisticWidget* row)
{
    return {row->minLabel()->text(), row->maxLabel()->text(), row->halfLabel()->text(),
            row->meanLabel()->text(), row->stdLabel()->text(), row->biasLabel()->text()};
}

// Exposes the call a drag of a split handle makes.
class DraggedSplitter : public QSplitter
{
public:
    using QSplitter::QSplitter;
    using QSplitter::moveSplitter;
};

struct InView
{
    int rows = 0;  // built
    int waiting = 0; // slots still waiting for their rows
};

// What of layout (the content of scroll) shows: in the scroll area's viewport and in
// every widget around it (a scroll area around the page).
InView inView(const QScrollArea* scroll, const QLayout* layout)
{
    const QWidget* column = scroll->widget();
    QRect view = column->rect();
    for (const QWidget* w = column->parentWidget(); w; w = w->parentWidget())
        view &= QRect(column->mapFrom(w, QPoint(0, 0)), w->size());
    InView seen;
    for (int i = 0; i < layout->count(); ++i) {
        QLayoutItem* item = layout->itemAt(i);
        if (!item->geometry().intersects(view))
            continue;
        if (item->widget())
            ++seen.rows;
        else if (dynamic_cast<ZLazySlot*>(item))
            ++seen.waiting;
    }
    return seen;
}

// Handles events until widget is at rest, as the user finds it before acting: two
// turns of the event loop in a row in which it got no event at all (rows built or
// laid out, moved, resized), so that nothing it started is still pending. False if it
// never came to rest.
bool settle(QWidget* widget)
{
    struct Counter : QObject
    {
        int events = 0;
        bool eventFilter(QObject*, QEvent*) override
        {
            ++events;
            return false;
        }
    } counter;
    widget->installEventFilter(&counter);
    int quiet = 0;
    for (int turn = 0; turn < 1000 && quiet < 2; ++turn) {
        const int before = counter.events;
        QCoreApplication::processEvents();
        quiet = counter.events == before ? quiet + 1 : 0;
    }
    return quiet == 2;
}

const QStringList kBlank = {QString(), QString(), QString(), QString(), QString(), QString()};

} // namespace

class TestDataWidgetBase : public QObject
{
    Q_OBJECT

    QList<LineResourceItem*> items;

    LineResourceItem* line(const QString& name, int length = 200)
    {
        items << makeLine(name, length);
        return items.last();
    }

private slots:
    void cleanup()
    {
        qDeleteAll(items);
        items.clear();
    }

    void nullCollectorIsBare()
    {
        CountingPage page(nullptr);
        QCOMPARE(page.dataArea(), nullptr);
        QCOMPARE(page.statisticsLayout(), nullptr);
        QCOMPARE(page.layout(), nullptr);
        QVERIFY(page.findChildren<QSplitter*>().isEmpty());
        QVERIFY(page.findChildren<QScrollArea*>().isEmpty());
        page.addLineStatistic(line(QStringLiteral("x")));
        QVERIFY(page.statisticRows().isEmpty());
        page.updateStatistics();
        QCOMPARE(page.refreshes, 1);
    }

    void layoutWithCollector()
    {
        LineResourceCollector collector;
        collector.addItem(line(QStringLiteral("distance")));
        collector.addItem(line(QStringLiteral("rssi")));
        CountingPage page(&collector);

        auto* splitter = page.findChild<FixedSplitter*>();
        QVERIFY(splitter);
        QCOMPARE(splitter->orientation(), Qt::Horizontal);
        QCOMPARE(splitter->count(), 2);
        auto* scroll = qobject_cast<QScrollArea*>(splitter->widget(0));
        QVERIFY(scroll);
        QVERIFY(scroll->widgetResizable());
        QCOMPARE(splitter->widget(1), page.dataArea());
        QCOMPARE(page.statisticsLayout()->parentWidget(), scroll->widget());

        QCOMPARE(page.statisticCount(), 2);
        const LineStatisticWidget* row = page.statisticRow(0);
        QCOMPARE(row->parentWidget(), scroll->widget());
        QCOMPARE(row->checkBox()->text(), QStringLiteral("distance"));
        QCOMPARE(page.statisticRow(1)->checkBox()->text(), QStringLiteral("rssi"));
        QVERIFY(!row->checkBox()->isChecked());
        QCOMPARE(row->targetEdit()->placeholderText(), QStringLiteral("target val"));
        QCOMPARE(row->biasLabel()->toolTip(), QStringLiteral("bias = mean - target"));
        QCOMPARE(row->halfLabel()->toolTip(), QStringLiteral("half = 0.5*(max - min)"));
        QCOMPARE(shown(row), kBlank);
        for (QLabel* l : {row->minLabel(), row->maxLabel(), row->meanLabel(), row->stdLabel(),
                          row->halfLabel(), row->biasLabel()}) {
            QCOMPARE(l->font().family(), QStringLiteral("monospace"));
            QCOMPARE(l->maximumWidth(), l->minimumWidth());
            QVERIFY(l->minimumWidth() >= digitsWidth(l->font(), 12));
        }

        // Left to right: check box, target, then caption and value for each figure.
        QStringList sequence;
        QWidgetList widgets; // each caption stands in one cell with its value
        auto* rowLayout = row->layout();
        for (int i = 0; i < rowLayout->count(); ++i) {
            QWidget* w = rowLayout->itemAt(i)->widget();
            const bool cell = w->layout() && w->layout()->count() == 2;
            widgets << (cell ? QWidgetList{w->layout()->itemAt(0)->widget(), w->layout()->itemAt(1)->widget()} : QWidgetList{w});
        }
        for (QWidget* w : qAsConst(widgets)) {
            if (w == row->checkBox()) sequence << "check";
            else if (w == row->targetEdit()) sequence << "target";
            else if (w == row->biasLabel()) sequence << "BIAS";
            else if (w == row->meanLabel()) sequence << "MEAN";
            else if (w == row->stdLabel()) sequence << "STD";
            else if (w == row->minLabel()) sequence << "MIN";
            else if (w == row->maxLabel()) sequence << "MAX";
            else if (w == row->halfLabel()) sequence << "HALF";
            else sequence << qobject_cast<QLabel*>(w)->text();
        }
        QCOMPARE(sequence, QStringList({"check", "target", "bias:", "BIAS", "mean:", "MEAN", "std:", "STD",
                                        "min:", "MIN", "max:", "MAX", "half:", "HALF"}));

        // A line created after the page: its row goes to the bottom.
        collector.addItem(line(QStringLiteral("late")));
        QCOMPARE(page.statisticCount(), 3);
        QCOMPARE(page.statisticRow(2)->checkBox()->text(), QStringLiteral("late"));
        QCOMPARE(page.statisticsLayout()->indexOf(page.statisticRow(2)), 2);

        // The same item announced twice gets one row.
        page.addLineStatistic(items.last());
        QCOMPARE(page.statisticCount(), 3);
    }

    // Shown, the statistics column leaves the data area the width it wants and takes
    // the rest, as far as its rows want it and never less than its widest check box
    // or figure: its rows wrap alike (their figures stand in columns) and nothing of
    // them lies outside the column, also for rows that come with the first frames;
    // after a drag of the handle it keeps the user's width.
    void statisticsColumnFitsItsRows_data()
    {
        QTest::addColumn<bool>("rowsAfterShow");
        QTest::addColumn<int>("windowWidth");
        QTest::addColumn<int>("dataWanted");
        QTest::newRow("rows before show") << false << 2400 << 300;
        QTest::newRow("rows with the first frames") << true << 2400 << 300;
        QTest::newRow("narrow window") << false << 500 << 300;
        QTest::newRow("data wants the whole window") << false << 600 << 2000;
    }

    void statisticsColumnFitsItsRows()
    {
        QFETCH(bool, rowsAfterShow);
        QFETCH(int, windowWidth);
        QFETCH(int, dataWanted);
        LineResourceCollector collector;
        const auto addRows = [&] {
            for (const char* n : {"systemTime(ms)", "fpRssi(dB)", "range_precision(cm)"})
                collector.addItem(line(n));
        };
        if (!rowsAfterShow)
            addRows();
        CountingPage page(&collector);
        page.setDataWidthWanted(dataWanted);
        page.resize(windowWidth, 400);
        page.show();
        if (rowsAfterShow)
            addRows();
        auto* scroll = qobject_cast<QScrollArea*>(page.statisticsSplitter()->widget(0));
        const int total = windowWidth - page.statisticsSplitter()->handleWidth();
        const auto fits = [&]() -> QString {
            if (page.statisticCount() < 3)
                return "rows missing";
            const int least = scroll->minimumSizeHint().width();
            if (scroll->width() < least || page.dataArea()->width() < qMin(dataWanted, total - least))
                return QString("column %1 of at least %2, data %3").arg(scroll->width()).arg(least).arg(page.dataArea()->width());
            QList<int> columns;
            for (int i = 0; i < page.statisticCount(); ++i) {
                LineStatisticWidget* row = page.statisticRow(i);
                QList<int> xs;
                bool oneLine = true;
                for (QWidget* w : row->findChildren<QWidget*>()) {
                    const int left = w->mapTo(scroll->viewport(), QPoint()).x();
                    if (left < 0 || left + w->width() > scroll->viewport()->width())
                        return QString("%1 at %2 in %3").arg(w->metaObject()->className()).arg(left).arg(scroll->viewport()->width());
                    if (w->parentWidget() == row) {
                        xs << w->x();
                        oneLine = oneLine && w->y() == row->checkBox()->y();
                    }
                }
                if (!columns.isEmpty() && xs != columns)
                    return "figures not in columns";
                columns = xs;
                // With room to spare a row stands on one line; in a narrow column it wraps.
                if (oneLine != (total - dataWanted >= scroll->sizeHint().width()))
                    return QString("one line: %1 at %2").arg(oneLine).arg(scroll->width());
            }
            return QString();
        };
        QTRY_COMPARE_WITH_TIMEOUT(fits(), QString(), 5000);

        emit page.statisticsSplitter()->splitterMoved(100, 1);
        const int userWidth = scroll->width();
        collector.addItem(line(QStringLiteral("late with a much longer caption than the others")));
        // Wider only as far as the new check box needs, once its row is laid out.
        QTRY_COMPARE_WITH_TIMEOUT(scroll->width(), qMax(userWidth, scroll->minimumSizeHint().width()), 5000);
    }

    void statisticsOfExample()
    {
        LineResourceCollector collector;
        LineResourceItem* item = line(QStringLiteral("distance"));
        collector.addItem(item);
        CountingPage page(&collector);
        LineStatisticWidget* row = page.statisticRow(0);
        feed(item, {1, 2, 3, 4});

        // Unchecked: nothing is computed, the page still redraws.
        page.updateStatistics();
        QCOMPARE(shown(row), kBlank);
        QCOMPARE(page.refreshes, 1);

        QTest::mouseClick(row->checkBox(), Qt::LeftButton);
        QVERIFY(row->checkBox()->isChecked());
        commitTarget(row, QStringLiteral("2"));
        QCOMPARE(row->targetValue(), 2.0);
        page.updateStatistics();
        QCOMPARE(page.refreshes, 2);
        QCOMPARE(shown(row), QStringList({"1", "4", "1.5", "2.5", "1.11803", "0.5"}));

        // The row follows the item.
        feed(item, {10});
        page.updateStatistics();
        QCOMPARE(row->meanLabel()->text(), QStringLiteral("4"));
        QCOMPARE(row->maxLabel()->text(), QStringLiteral("10"));
        QCOMPARE(row->halfLabel()->text(), QStringLiteral("4.5"));
        QCOMPARE(row->stdLabel()->text(), QString::number(std::sqrt(10.0), 'g', 6));
        QCOMPARE(row->biasLabel()->text(), QStringLiteral("2"));

        // Cleared target: the bias is no longer updated, the last one stays.
        commitTarget(row, QString());
        feed(item, {20});
        page.updateStatistics();
        QCOMPARE(row->meanLabel()->text(), QStringLiteral("6.66667"));
        QCOMPARE(row->biasLabel()->text(), QStringLiteral("2"));

        // Unchecked again: the labels keep what they show however the values change.
        const QStringList before = shown(row);
        QTest::mouseClick(row->checkBox(), Qt::LeftButton);
        feed(item, {-50, 70});
        page.updateStatistics();
        QCOMPARE(shown(row), before);
    }

    void singleValueAndEmptyLine()
    {
        LineResourceCollector collector;
        LineResourceItem* empty = line(QStringLiteral("empty"));
        LineResourceItem* single = line(QStringLiteral("single"));
        collector.addItem(empty);
        collector.addItem(single);
        CountingPage page(&collector);
        for (int i = 0; i < page.statisticCount(); ++i)
            page.statisticRow(i)->checkBox()->setChecked(true);

        feed(single, {-3.25});
        page.updateStatistics();
        QCOMPARE(shown(page.statisticRow(0)), kBlank);
        QCOMPARE(shown(page.statisticRow(1)), QStringList({"-3.25", "-3.25", "0", "-3.25", "0", ""}));

        // A filled line that is then cleared keeps its last statistics on show.
        feed(empty, {1, 2, 3, 4});
        page.updateStatistics();
        const QStringList filled({"1", "4", "1.5", "2.5", "1.11803", ""});
        QCOMPARE(shown(page.statisticRow(0)), filled);
        const int refreshes = page.refreshes;
        empty->clear();
        single->clear();
        QVERIFY(empty->values().isEmpty());
        page.updateStatistics();
        QCOMPARE(page.refreshes, refreshes + 1);
        QCOMPARE(shown(page.statisticRow(0)), filled);
        QCOMPARE(shown(page.statisticRow(1)), QStringList({"-3.25", "-3.25", "0", "-3.25", "0", ""}));
    }

    void matchesIndependentComputation()
    {
        LineResourceCollector collector;
        LineResourceItem* item = line(QStringLiteral("noise"), 50);
        collector.addItem(item);
        CountingPage page(&collector);
        LineStatisticWidget* row = page.statisticRow(0);
        row->checkBox()->setChecked(true);
        commitTarget(row, QStringLiteral("1.5e2"));
        QCOMPARE(row->targetValue(), 150.0);

        QRandomGenerator rng(7);
        QList<double> all;
        for (int i = 0; i < 120; ++i) {
            const double v = 100.0 + rng.bounded(1000) / 10.0;
            all << v;
            item->setData(BaseResourceItem::ColValue, v);
        }
        page.updateStatistics();

        // Only the newest 50 values are kept by the item.
        const QList<double> kept = all.mid(all.size() - 50);
        double lo = kept.first(), hi = kept.first(), sum = 0, sumSq = 0;
        for (double v : kept) {
            lo = std::min(lo, v);
            hi = std::max(hi, v);
            sum += v;
            sumSq += v * v;
        }
        const double mean = sum / kept.size();
        const double sd = std::sqrt(sumSq / kept.size() - mean * mean);
        QCOMPARE(row->minLabel()->text().toDouble(), lo);
        QCOMPARE(row->maxLabel()->text().toDouble(), hi);
        QCOMPARE(row->meanLabel()->text(), QString::number(mean, 'g', 6));
        QVERIFY(std::abs(row->stdLabel()->text().toDouble() - sd) < 1e-4 * sd);
        QCOMPARE(row->biasLabel()->text(), QString::number(mean - 150.0, 'g', 6));
        QCOMPARE(row->halfLabel()->text(), QString::number(0.5 * (hi - lo), 'g', 6));
    }

    void rowsForItemsCreatedOnWorkerThread()
    {
        ZThreadManager* threads = ZThreadManager::instance();
        threads->startThreads();

        LineResourceCollector collector;
        LineResourceItem* first = line(QStringLiteral("first"));
        collector.addItem(first);
        CountingPage page(&collector);
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));

        // As a parser does: create the items and write their values on the processing thread.
        QList<LineResourceItem*> created;
        threads->runInThread(3, [&] {
            for (const char* name : {"w1", "w2"}) {
                LineResourceItem* item = makeLine(QString::fromLatin1(name));
                created << item;
                collector.addItem(item);
                for (double v : {5.0, 7.0})
                    item->setData(BaseResourceItem::ColValue, v);
            }
        }, true);
        QCOMPARE(created.size(), 2);
        QVERIFY(created.first()->thread() != QThread::currentThread());
        items << created;

        QTRY_COMPARE(page.statisticCount(), 3);
        QCOMPARE(page.statisticRow(1)->checkBox()->text(), QStringLiteral("w1"));
        QCOMPARE(page.statisticRow(2)->checkBox()->text(), QStringLiteral("w2"));
        QCOMPARE(page.statisticsLayout()->indexOf(page.statisticRow(2)), 2);

        LineStatisticWidget* row = page.statisticRow(2);
        row->checkBox()->setChecked(true);
        page.updateStatistics();
        QCOMPARE(row->meanLabel()->text(), QStringLiteral("6"));
        QCOMPARE(row->stdLabel()->text(), QStringLiteral("1"));

        threads->stopThreads();
    }

    void rowOutlivesItem()
    {
        LineResourceCollector collector;
        LineResourceItem* item = makeLine(QStringLiteral("gone"));
        collector.addItem(item);
        CountingPage page(&collector);
        LineStatisticWidget* row = page.statisticRow(0);
        row->checkBox()->setChecked(true);
        feed(item, {2, 4});
        page.updateStatistics();
        QCOMPARE(row->meanLabel()->text(), QStringLiteral("3"));
        delete item;
        page.updateStatistics();
        QCOMPARE(row->meanLabel()->text(), QStringLiteral("3"));
        QCOMPARE(page.refreshes, 2);

        // An item gone before its row was built leaves no row.
        LineResourceItem* unseen = makeLine(QStringLiteral("unseen"));
        collector.addItem(unseen);
        delete unseen;
        QCOMPARE(page.statisticRow(1), nullptr);
    }

    // Thousands of items (fresh node ids) must not cost a row of widgets each: rows
    // are built as they come into view, in their places.
    void rowsAreBuiltAsTheyComeIntoView()
    {
        LineResourceCollector collector;
        for (int i = 0; i < 300; ++i)
            collector.addItem(line(QString("dis(m)[%1]").arg(i, 0, 16)));
        CountingPage page(&collector);
        page.resize(900, 300);
        page.show();
        QTRY_VERIFY(page.statisticRows().size() > 1); // the first at once, then those in view
        auto* scroll = qobject_cast<QScrollArea*>(page.statisticsSplitter()->widget(0));
        QVERIFY(settle(scroll->widget()));
        QCOMPARE(page.statisticCount(), 300);
        QVERIFY2(page.statisticRows().size() < 20, qPrintable(QString::number(page.statisticRows().size())));
        LineStatisticWidget* first = page.statisticRow(0);
        first->checkBox()->setChecked(true);
        feed(items.first(), {1, 3});
        const int lead = first->checkBox()->minimumWidth();
        const int columnWidth = scroll->width();

        // Scrolled to the end: the rows there are built by the scroll alone.
        scroll->verticalScrollBar()->setValue(scroll->verticalScrollBar()->maximum());
        QTRY_COMPARE(page.statisticsLayout()->indexOf(page.statisticRows().last()), 299);
        QCOMPARE(inView(scroll, page.statisticsLayout()).waiting, 0);
        QVERIFY(page.statisticRows().size() < 40);
        // Every slot had a built row's height: the last row stands where 299 rows put it.
        LineStatisticWidget* last = page.statisticRows().last();
        const int spacing = page.statisticsLayout()->spacing();
        QTRY_COMPARE(last->y() - first->y(), 299 * (first->height() + spacing));
        QCOMPARE(last->checkBox()->text(), QStringLiteral("dis(m)[12b]"));
        // Check boxes as wide as the longest name from the start: neither a row's
        // figures nor the column's width move as the rows are scrolled into view.
        QCOMPARE(last->checkBox()->minimumWidth(), lead);
        QCOMPARE(first->checkBox()->minimumWidth(), lead);
        QCOMPARE(scroll->width(), columnWidth);
        page.updateStatistics();
        QCOMPARE(first->meanLabel()->text(), QStringLiteral("2"));
    }

    // More of a scrolled column comes into view while the column keeps its size and
    // place: a viewport that grows (the window made taller, a split handle dragged) or
    // a scroll area around the page that scrolls it; the rows there are built with no
    // further input. Dragging the column's own scroll bar builds rows as they come
    // into view, yet never changes the column's width (also after the window widened).
    void rowsFillTheViewportAsItGrows_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<int>("width"); // of the window at first
        QTest::addColumn<int>("dataWanted");
        QTest::newRow("window made taller") << "taller" << 1390 << 600;
        QTest::newRow("split handle dragged") << "handle" << 1390 << 600;
        QTest::newRow("page scrolled in its own area") << "page" << 1390 << 600;
        QTest::newRow("scroll bar dragged") << "bar" << 1000 << 600;
    }
    void rowsFillTheViewportAsItGrows()
    {
        QFETCH(QString, change);
        QFETCH(int, width);
        QFETCH(int, dataWanted);
        LineResourceCollector collector;
        // Names of one width: the rows built later leave the column as wide as it was.
        for (int i = 0; i < 300; ++i)
            collector.addItem(line(QString("dis(m)[%1]").arg(i, 3, 10, QLatin1Char('0'))));
        QWidget window;
        auto* layout = new QVBoxLayout(&window);
        auto* split = new DraggedSplitter(Qt::Vertical);
        split->setChildrenCollapsible(false);
        layout->addWidget(split);
        auto* above = new QWidget; // a chart over the page, say
        above->setMinimumHeight(20);
        split->addWidget(above);
        // The program shows each page in a scroll area of its own: a page taller than
        // the window scrolls as a whole.
        auto* outer = new QScrollArea;
        outer->setWidgetResizable(true);
        auto* page = new CountingPage(&collector);
        outer->setWidget(page);
        split->addWidget(outer);
        if (change == "page")
            page->setMinimumHeight(1500);
        page->setDataWidthWanted(dataWanted);
        window.resize(width, change == "bar" ? 880 : 450);
        split->setSizes({250, 200});
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        auto* scroll = qobject_cast<QScrollArea*>(page->statisticsSplitter()->widget(0));
        QScrollBar* bar = scroll->verticalScrollBar();
        QTRY_VERIFY(page->statisticRows().size() > 1 && bar->maximum() > 0);
        if (change == "bar") {
            // Every row the wider window shows is built already: the window's new
            // width alone sizes the column.
            for (int i = 0; i < 40; ++i)
                page->statisticRow(i);
            QVERIFY(settle(page));
            window.resize(1390, 880);
            // The wider window's room goes to the column: the data area keeps the width it wants.
            QTRY_COMPARE(page->dataArea()->width(), dataWanted);
        } else {
            bar->setValue(bar->maximum() / 2);
        }
        QTRY_COMPARE(inView(scroll, page->statisticsLayout()).waiting, 0);
        QVERIFY(settle(page));
        const InView before = inView(scroll, page->statisticsLayout());
        QVERIFY(before.rows > 0);
        const int viewportHeight = scroll->viewport()->height();
        const QRect column = scroll->widget()->geometry();

        if (change == "handle")
            split->moveSplitter(20, 1);
        else if (change == "taller")
            window.resize(1390, 880);
        else if (change == "page")
            outer->verticalScrollBar()->setValue(outer->verticalScrollBar()->maximum());
        if (change == "bar") {
            for (int value : {bar->maximum() / 2, bar->maximum(), 0, bar->maximum() / 3}) {
                bar->setValue(value);
                QTRY_COMPARE(inView(scroll, page->statisticsLayout()).waiting, 0);
                QVERIFY(settle(page));
                QCOMPARE(scroll->widget()->width(), column.width());
            }
            return;
        }
        if (change != "page")
            QTRY_VERIFY(scroll->viewport()->height() > viewportHeight + 100);
        QCOMPARE(scroll->widget()->geometry(), column);
        QTRY_COMPARE(inView(scroll, page->statisticsLayout()).waiting, 0);
        if (change != "page")
            QVERIFY(inView(scroll, page->statisticsLayout()).rows > before.rows);
    }
};

TALMENO_TEST_MAIN(TestDataWidgetBase)
#include "tst_data_widget_base.moc"
