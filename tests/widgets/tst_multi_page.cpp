#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QStackedLayout>

#include "support/testenv.h"

#include "widgets/ZMultiPageWidget.h"

namespace {

class LabelPageFactory : public ZIPageFactory
{
public:
    int created = 0;
    QWidget* createPage(QWidget* parent) override
    {
        return new QLabel(QStringLiteral("page %1").arg(created++), parent);
    }
};

class HookedMultiPage : public ZMultiPageWidget
{
public:
    using ZMultiPageWidget::ZMultiPageWidget;
    QList<bool> hookCalls;

protected:
    void onEditableChanged(bool editable) override { hookCalls << editable; }
};

QPushButton* buttonWithText(QWidget* w, const QString& text)
{
    for (auto* b : w->findChildren<QPushButton*>())
        if (b->text() == text)
            return b;
    return nullptr;
}

QString pageText(QWidget* page)
{
    auto* label = qobject_cast<QLabel*>(page);
    return label ? label->text() : QString();
}

} // namespace

class TestMultiPage : public QObject
{
    Q_OBJECT

    HookedMultiPage* widget = nullptr;
    LabelPageFactory* factory = nullptr;

private slots:
    void init()
    {
        factory = new LabelPageFactory;
        widget = new HookedMultiPage(factory);
        widget->resize(400, 300);
        widget->show();
        QVERIFY(QTest::qWaitForWindowExposed(widget));
    }

    void cleanup()
    {
        delete widget;
        widget = nullptr;
    }

    void controlsInOrder()
    {
        QCOMPARE(factory->parent(), widget);
        QList<QWidget*> row;
        auto* layout = widget->controlRow()->layout();
        for (int i = 0; i < layout->count(); ++i)
            row << layout->itemAt(i)->widget();
        QCOMPARE(row.size(), 5);
        QCOMPARE(qobject_cast<QPushButton*>(row[0])->text(), QStringLiteral("-"));
        QCOMPARE(qobject_cast<QPushButton*>(row[1])->text(), QStringLiteral("<"));
        QCOMPARE(row[2], static_cast<QWidget*>(widget->pageChooser()));
        QCOMPARE(qobject_cast<QPushButton*>(row[3])->text(), QStringLiteral(">"));
        QCOMPARE(qobject_cast<QPushButton*>(row[4])->text(), QStringLiteral("+"));
        QVERIFY(widget->pageChooser()->isEditable());
        QCOMPARE(widget->pageChooser()->insertPolicy(), QComboBox::InsertAtCurrent);
        QCOMPARE(widget->currentPage(), nullptr);
        QCOMPARE(widget->currentIndex(), -1);
    }

    void addAndStep()
    {
        QSignalSpy changed(widget, &ZMultiPageWidget::currentIndexChanged);
        QSignalSpy activated(widget, &ZMultiPageWidget::activated);
        QTest::mouseClick(buttonWithText(widget, "+"), Qt::LeftButton);
        QCOMPARE(widget->pages().size(), 1);
        QCOMPARE(widget->currentIndex(), 0);
        QCOMPARE(widget->currentText(), QStringLiteral("unnamed"));
        QCOMPARE(pageText(widget->currentPage()), QStringLiteral("page 0"));
        QCOMPARE(changed.count(), 1);
        QVERIFY(widget->currentPage()->isVisible());

        widget->addNewPage(QStringLiteral("second"));
        widget->addNewPage(QStringLiteral("third"));
        QCOMPARE(widget->pages().size(), 3);
        QCOMPARE(widget->currentIndex(), 0); // adding does not switch pages
        QCOMPARE(factory->created, 3);

        QTest::mouseClick(buttonWithText(widget, ">"), Qt::LeftButton);
        QCOMPARE(widget->currentIndex(), 1);
        QCOMPARE(widget->currentText(), QStringLiteral("second"));
        QVERIFY(widget->pages().at(1)->isVisible());
        QVERIFY(!widget->pages().at(0)->isVisible());
        QCOMPARE(activated.last().at(0).toInt(), 1);

        widget->nextPage();
        widget->nextPage(); // last -> first
        QCOMPARE(widget->currentIndex(), 0);
        QCOMPARE(activated.last().at(0).toInt(), 0);
        QTest::mouseClick(buttonWithText(widget, "<"), Qt::LeftButton); // first -> last
        QCOMPARE(widget->currentIndex(), 2);
        QCOMPARE(activated.last().at(0).toInt(), 2);
        QCOMPARE(changed.last().at(0).toInt(), 2);
        QCOMPARE(pageText(widget->currentPage()), QStringLiteral("page 2"));

        widget->setCurrentIndex(1);
        QCOMPARE(widget->currentIndex(), 1);
        widget->setCurrentIndex(17);
        QCOMPARE(widget->currentIndex(), 0);
        widget->setCurrentIndex(-3);
        QCOMPARE(widget->currentIndex(), 0);
    }

    void deletePages()
    {
        widget->addNewPage(QStringLiteral("a"));
        widget->addNewPage(QStringLiteral("b"));
        widget->addNewPage(QStringLiteral("c"));
        QPointer<QWidget> first = widget->pages().at(0);
        QTest::mouseClick(buttonWithText(widget, "-"), Qt::LeftButton);
        QCOMPARE(widget->pages().size(), 2);
        QCOMPARE(widget->pageChooser()->count(), 2);
        QCOMPARE(widget->currentText(), QStringLiteral("b"));
        QCOMPARE(pageText(widget->currentPage()), QStringLiteral("page 1"));
        QVERIFY(widget->currentPage()->isVisible());
        QTRY_VERIFY(!first); // deleted later

        // Deleting a page before the current one keeps the current page shown.
        widget->addNewPage(QStringLiteral("d"));
        widget->setCurrentIndex(2);
        QWidget* shownPage = widget->currentPage();
        widget->deletePage(0);
        QCOMPARE(widget->currentPage(), shownPage);
        QCOMPARE(widget->currentIndex(), 1);
        QCOMPARE(widget->currentText(), QStringLiteral("d"));
        QVERIFY(shownPage->isVisible());

        widget->deletePage(5);
        widget->deletePage(-1);
        QCOMPARE(widget->pages().size(), 2);

        widget->deletePage(1);
        widget->deletePage(0);
        QVERIFY(widget->pages().isEmpty());
        QCOMPARE(widget->currentPage(), nullptr);
        QCOMPARE(widget->currentIndex(), -1);
        widget->nextPage();
        widget->previousPage();
        QCOMPARE(widget->currentPage(), nullptr);
    }

    void renameByTyping()
    {
        widget->addNewPage(QStringLiteral("one"));
        widget->addNewPage(QStringLiteral("two"));
        widget->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(widget));
        QLineEdit* edit = widget->pageChooser()->lineEdit();
        QVERIFY(edit);
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, QStringLiteral("anchors"));
        QTest::keyClick(edit, Qt::Key_Return);
        QCOMPARE(widget->pageChooser()->count(), 2);
        QCOMPARE(widget->pageChooser()->itemText(0), QStringLiteral("anchors"));
        QCOMPARE(widget->currentText(), QStringLiteral("anchors"));
        QCOMPARE(pageText(widget->currentPage()), QStringLiteral("page 0"));
    }

    void editingOff()
    {
        widget->addNewPage(QStringLiteral("one"));
        widget->addNewPage(QStringLiteral("two"));
        QVERIFY(factory->isEditable());
        widget->setEditable(false);
        QCOMPARE(widget->hookCalls, QList<bool>({false}));
        widget->setEditable(false);
        QCOMPARE(widget->hookCalls.size(), 1);
        QVERIFY(!factory->isEditable());
        QVERIFY(!widget->isEditable());
        QVERIFY(buttonWithText(widget, "+")->isHidden());
        QVERIFY(buttonWithText(widget, "-")->isHidden());
        QVERIFY(!widget->pageChooser()->isEditable());
        QCOMPARE(widget->pageChooser()->lineEdit(), nullptr);

        // Pages can still be chosen and stepped through.
        widget->nextPage();
        QCOMPARE(widget->currentIndex(), 1);
        widget->pageChooser()->setCurrentIndex(0);
        QCOMPARE(pageText(widget->currentPage()), QStringLiteral("page 0"));

        widget->setEditable(true);
        QCOMPARE(widget->hookCalls, QList<bool>({false, true}));
        QVERIFY(!buttonWithText(widget, "+")->isHidden());
        QVERIFY(widget->pageChooser()->isEditable());
        QVERIFY(factory->isEditable());
    }

    void singlePageOnly()
    {
        widget->setMultiplePagesAllowed(false);
        widget->addNewPage();
        widget->addNewPage();
        QCOMPARE(widget->pages().size(), 1);
        QCOMPARE(factory->created, 1);
    }

    void factoryDeletedWithWidget()
    {
        QPointer<ZIPageFactory> f = new LabelPageFactory;
        auto* w = new ZMultiPageWidget(f);
        w->addNewPage();
        delete w;
        QVERIFY(!f);
    }
};

TALMENO_TEST_MAIN(TestMultiPage)
#include "tst_multi_page.moc"
