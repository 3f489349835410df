// Colour swatch, self-hiding menu panel, vertical tool bar and the table with its
// row context menu.
#include <QAction>
#include <QElapsedTimer>
#include <QMenu>
#include <QSignalSpy>
#include <QToolButton>
#include <QVBoxLayout>

#include "support/testenv.h"
#include "widgets/ZColorLabel.h"
#include "widgets/ZMenuWidget.h"
#include "widgets/ZTableWidget.h"
#include "widgets/ZVToolBarWidget.h"

class TestLookFeelWidgets : public QObject
{
    Q_OBJECT

private:
    QColor dialogAnswer_;
    QColor dialogInitial_;
    QString dialogTitle_;
    int dialogCalls_ = 0;

    static void fillTexts(QTableWidget& table)
    {
        for (int row = 0; row < table.rowCount(); ++row)
            for (int column = 0; column < table.columnCount(); ++column)
                table.item(row, column)->setText(QString("%1,%2").arg(row).arg(column));
    }

    static void requestMenuAt(ZTableWidget& table, int row)
    {
        const QPoint pos = row >= 0 ? table.visualRect(table.model()->index(row, 0)).center()
                                    : QPoint(5, table.viewport()->height() - 3);
        emit table.customContextMenuRequested(pos);
        QVERIFY(table.contextMenu()->isVisible());
        table.contextMenu()->hide();
        QCOMPARE(table.contextRow(), row);
    }

private slots:
    void initTestCase()
    {
        ZColorLabel::colorDialogHook = [this](const QColor& initial, const QString& title) {
            ++dialogCalls_;
            dialogInitial_ = initial;
            dialogTitle_ = title;
            return dialogAnswer_;
        };
    }

    void swatchStoresAndSignals()
    {
        ZColorLabel plain;
        QCOMPARE(plain.color(), QColor(Qt::transparent));
        QCOMPARE(plain.property("withBorder").toBool(), true);

        ZColorLabel swatch(QColor("#1c9dff"));
        QCOMPARE(swatch.property("withBorder").toBool(), true);
        QCOMPARE(swatch.color(), QColor("#1c9dff"));
        QCOMPARE(swatch.styleSheet(), QString("QLabel{background-color: #1c9dff;}"));

        QSignalSpy spy(&swatch, &ZColorLabel::colorChanged);
        swatch.setColor(QColor("#1c9dff"));
        QCOMPARE(spy.count(), 0);
        swatch.setColor(QColor(10, 20, 30));
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).value<QColor>(), QColor(10, 20, 30));
        QCOMPARE(swatch.styleSheet(), QString("QLabel{background-color: #0a141e;}"));
        // The style sheet really paints the swatch in its colour.
        swatch.resize(40, 20);
        const QImage image = swatch.grab().toImage();
        QCOMPARE(image.pixelColor(20, 10), QColor(10, 20, 30));
    }

    void swatchClickUsesTheDialog()
    {
        ZColorLabel swatch(QColor("#232323"));
        swatch.resize(60, 20);
        swatch.show();
        QSignalSpy spy(&swatch, &ZColorLabel::colorChanged);

        dialogCalls_ = 0;
        dialogAnswer_ = QColor("#0078d7");
        QTest::mouseClick(&swatch, Qt::LeftButton);
        QCOMPARE(dialogCalls_, 1);
        QCOMPARE(dialogInitial_, QColor("#232323"));
        QCOMPARE(dialogTitle_, QString("Color Dialog"));
        QCOMPARE(swatch.color(), QColor("#0078d7"));
        QCOMPARE(spy.count(), 1);

        // Cancel gives an invalid colour: nothing changes.
        dialogAnswer_ = QColor();
        QTest::mouseClick(&swatch, Qt::LeftButton);
        QCOMPARE(dialogCalls_, 2);
        QCOMPARE(swatch.color(), QColor("#0078d7"));
        QCOMPARE(spy.count(), 1);

        // Other buttons do not open it.
        dialogAnswer_ = QColor(Qt::yellow);
        QTest::mouseClick(&swatch, Qt::RightButton);
        QTest::mouseClick(&swatch, Qt::MiddleButton);
        QCOMPARE(dialogCalls_, 2);
        QCOMPARE(swatch.color(), QColor("#0078d7"));
    }

    void menuWidgetHidesAfterLeaving()
    {
        MenuWidget menu;
        menu.resize(100, 60);
        menu.show();
        QEvent enter(QEvent::Enter);
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(&menu, &enter);
        QVERIFY(menu.isHovered());
        QElapsedTimer sinceLeaving;
        sinceLeaving.start();
        QCoreApplication::sendEvent(&menu, &leave);
        QVERIFY(!menu.isHovered());
        QVERIFY(menu.isVisible()); // not at once
        QTRY_VERIFY_WITH_TIMEOUT(!menu.isVisible(), 10000);
        QVERIFY2(sinceLeaving.elapsed() >= 90, qPrintable(QString::number(sinceLeaving.elapsed())));
    }

    void menuWidgetStaysWhenReentered()
    {
        MenuWidget menu;
        menu.resize(100, 60);
        menu.show();
        QEvent enter(QEvent::Enter);
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(&menu, &enter);
        QCoreApplication::sendEvent(&menu, &leave);
        QCoreApplication::sendEvent(&menu, &enter); // back before the leave's time ran out
        QTest::qWait(250);
        QVERIFY(menu.isVisible());
        QVERIFY(menu.isHovered());
    }

    void verticalToolBarPacksButtonsAtTheTop()
    {
        ZVToolBarWidget bar;
        QCOMPARE(bar.sizePolicy().horizontalPolicy(), QSizePolicy::Fixed);
        QCOMPARE(bar.sizePolicy().verticalPolicy(), QSizePolicy::Preferred);
        QCOMPARE(bar.toolButtonStyle(), Qt::ToolButtonTextBesideIcon);
        auto* layout = qobject_cast<QVBoxLayout*>(bar.layout());
        QVERIFY(layout);
        QCOMPARE(layout->spacing(), 0);
        QCOMPARE(layout->contentsMargins(), QMargins(0, 0, 0, 0));

        QToolButton* first = bar.addButton(QIcon(), "First");
        QToolButton* second = bar.addButton(QIcon(), "Second");
        auto* own = new QToolButton;
        own->setText("Own");
        bar.addToolButton(own);
        QCOMPARE(bar.buttons(), (QList<QToolButton*>{first, second, own}));
        for (QToolButton* button : bar.buttons()) {
            QCOMPARE(button->parentWidget(), &bar);
            QVERIFY(button->autoRaise());
            QCOMPARE(button->toolButtonStyle(), Qt::ToolButtonTextBesideIcon);
            QCOMPARE(button->sizePolicy().horizontalPolicy(), QSizePolicy::Expanding);
            QCOMPARE(button->sizePolicy().verticalPolicy(), QSizePolicy::Preferred);
        }
        QCOMPARE(first->text(), QString("First"));
        // Buttons in insertion order above the stretching filler.
        QCOMPARE(layout->count(), 4);
        QCOMPARE(layout->itemAt(0)->widget(), first);
        QCOMPARE(layout->itemAt(1)->widget(), second);
        QCOMPARE(layout->itemAt(2)->widget(), own);
        bar.resize(120, 400);
        bar.show();
        QVERIFY(QTest::qWaitForWindowExposed(&bar));
        QVERIFY(first->geometry().top() < second->geometry().top());
        QVERIFY(own->geometry().bottom() < 200);

        bar.setToolButtonStyle(Qt::ToolButtonIconOnly);
        for (QToolButton* button : bar.buttons())
            QCOMPARE(button->toolButtonStyle(), Qt::ToolButtonIconOnly);
        QToolButton* late = bar.addButton(QIcon(), "Late");
        QCOMPARE(late->toolButtonStyle(), Qt::ToolButtonIconOnly);
        QCOMPARE(layout->itemAt(3)->widget(), late);
    }

    void tableFillsEveryCell()
    {
        ZTableWidget table(nullptr, 3, 2, {"A", "B", "C"}, {"r1", "r2"});
        QCOMPARE(table.columnCount(), 3);
        QCOMPARE(table.rowCount(), 2);
        QCOMPARE(table.horizontalHeaderItem(2)->text(), QString("C"));
        QCOMPARE(table.verticalHeaderItem(1)->text(), QString("r2"));
        QCOMPARE(table.contextMenuPolicy(), Qt::CustomContextMenu);
        QStringList texts;
        for (QAction* action : table.contextMenu()->actions())
            texts << action->text();
        QCOMPARE(texts, (QStringList{"Insert new row", "Delete current row", "Delete rows current and later", "Clear"}));

        table.setRowCount(5);
        for (int row = 0; row < 5; ++row)
            for (int column = 0; column < 3; ++column)
                QVERIFY(table.item(row, column) != nullptr);
        table.setColumnCount(4);
        for (int row = 0; row < 5; ++row)
            QVERIFY(table.item(row, 3) != nullptr);

        fillTexts(table);
        table.setCellsEnabled(false);
        for (int row = 0; row < 5; ++row) {
            for (int column = 0; column < 4; ++column) {
                QVERIFY(table.item(row, column)->text().isEmpty());
                QVERIFY(!(table.item(row, column)->flags() & Qt::ItemIsEnabled));
            }
        }
        table.setCellsEnabled(true);
        QVERIFY(table.item(4, 3)->flags() & Qt::ItemIsEnabled);

        ZTableWidget bare(nullptr, 2, 1, {}, {});
        QVERIFY(bare.item(0, 1) != nullptr);
    }

    void tableContextMenuInsertsAndDeletes()
    {
        ZTableWidget table(nullptr, 2, 4, {"A", "B"}, {});
        table.resize(300, 300);
        table.show();
        QVERIFY(QTest::qWaitForWindowExposed(&table));
        fillTexts(table);
        QSignalSpy inserted(&table, &ZTableWidget::newRowInserted);
        QSignalSpy removed(&table, &ZTableWidget::rowRemoved);

        // Insert on the last row goes above it.
        requestMenuAt(table, 3);
        table.insertRowAction()->trigger();
        QCOMPARE(table.rowCount(), 5);
        QCOMPARE(inserted.count(), 1);
        QCOMPARE(inserted.at(0).at(0).toInt(), 3);
        QVERIFY(table.item(3, 0) && table.item(3, 1));
        QVERIFY(table.item(3, 0)->text().isEmpty());
        QCOMPARE(table.item(4, 0)->text(), QString("3,0"));

        // A click below the last row: the row actions do nothing.
        requestMenuAt(table, -1);
        table.insertRowAction()->trigger();
        table.deleteRowAction()->trigger();
        table.deleteLaterRowsAction()->trigger();
        QCOMPARE(table.rowCount(), 5);
        QCOMPARE(inserted.count(), 1);
        QCOMPARE(removed.count(), 0);

        requestMenuAt(table, 1);
        table.deleteRowAction()->trigger();
        QCOMPARE(table.rowCount(), 4);
        QCOMPARE(removed.count(), 1);
        QCOMPARE(table.item(1, 1)->text(), QString("2,1"));

        requestMenuAt(table, 2);
        table.deleteLaterRowsAction()->trigger();
        QCOMPARE(table.rowCount(), 2);
        QCOMPARE(removed.count(), 2);
        QCOMPARE(table.item(1, 0)->text(), QString("2,0"));

        // The context row may be stale after rows went away: checked again on use.
        table.deleteRowAction()->trigger();
        QCOMPARE(table.rowCount(), 2);

        requestMenuAt(table, 0);
        table.deleteLaterRowsAction()->trigger();
        QCOMPARE(table.rowCount(), 0);
        QCOMPARE(removed.count(), 3);

        table.setRowCount(3);
        table.clearAction()->trigger();
        QCOMPARE(table.rowCount(), 0);
        QCOMPARE(removed.count(), 3);
        QCOMPARE(inserted.count(), 1);
    }
};

TALMENO_TEST_MAIN(TestLookFeelWidgets)
#include "tst_lookfeel_widgets.moc"
