#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QVBoxLayout>

#include "support/testenv.h"

#include "widgets/FixedSplitter.h"
#include "widgets/ZButtonTextEditable.h"
#include "widgets/ZComboBoxEditable.h"

namespace {

void dragHandle(QSplitterHandle* handle, int delta)
{
    const QPoint start(handle->width() / 2, handle->height() / 2);
    QTest::mousePress(handle, Qt::LeftButton, {}, start);
    const QPoint end = start + (handle->orientation() == Qt::Horizontal ? QPoint(delta, 0) : QPoint(0, delta));
    QMouseEvent move(QEvent::MouseMove, end, handle->mapToGlobal(end), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(handle, &move);
    QTest::mouseRelease(handle, Qt::LeftButton, {}, end);
}

bool isFixedWidth(const QWidget* w)
{
    return w->minimumWidth() == w->maximumWidth() && w->minimumWidth() == w->width();
}

} // namespace

class TestEditableInputs : public QObject
{
    Q_OBJECT

    QWidget* window = nullptr;
    ZComboBoxEditable* combo = nullptr;
    QLineEdit* other = nullptr;

    void typeIntoCombo(const QString& text, bool pressReturn = true)
    {
        QTest::mouseClick(combo, Qt::RightButton);
        QVERIFY(combo->editor()->isVisible());
        QVERIFY(combo->editor()->hasFocus());
        QCOMPARE(combo->editor()->text(), combo->currentText());
        combo->editor()->selectAll();
        QTest::keyClick(combo->editor(), Qt::Key_Backspace);
        QTest::keyClicks(combo->editor(), text);
        if (pressReturn)
            QTest::keyClick(combo->editor(), Qt::Key_Return);
    }

private slots:
    void init()
    {
        window = new QWidget;
        auto* layout = new QVBoxLayout(window);
        combo = new ZComboBoxEditable(window);
        other = new QLineEdit(window);
        layout->addWidget(combo);
        layout->addWidget(other);
        combo->addItems({QStringLiteral("9600"), QStringLiteral("230400")});
        window->show();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
    }

    void cleanup()
    {
        delete window;
        window = nullptr;
    }

    void comboInsertsInNumericOrder()
    {
        QCOMPARE(combo->toolTip(), QStringLiteral("Right click to insert customized value"));
        QVERIFY(combo->editor()->isHidden());
        typeIntoCombo(QStringLiteral("115200"));
        QCOMPARE(combo->itemTexts(),
                 QStringList({QStringLiteral("9600"), QStringLiteral("115200"), QStringLiteral("230400")}));
        QCOMPARE(combo->currentText(), QStringLiteral("115200"));
        QVERIFY(combo->editor()->isHidden());

        typeIntoCombo(QStringLiteral("1000000"));
        QCOMPARE(combo->itemText(3), QStringLiteral("1000000"));
        QCOMPARE(combo->currentIndex(), 3);
        typeIntoCombo(QStringLiteral("1200"));
        QCOMPARE(combo->itemText(0), QStringLiteral("1200"));
        QCOMPARE(combo->currentIndex(), 0);
        QCOMPARE(combo->count(), 5);
    }

    void comboSelectsExistingValue()
    {
        combo->setCurrentIndex(1);
        typeIntoCombo(QStringLiteral("9600"));
        QCOMPARE(combo->count(), 2);
        QCOMPARE(combo->currentIndex(), 0);

        // The current value typed again changes nothing.
        typeIntoCombo(QStringLiteral("9600"));
        QCOMPARE(combo->count(), 2);
        QCOMPARE(combo->currentIndex(), 0);
        QVERIFY(combo->editor()->isHidden());
    }

    void comboEmptyTextRemovesCurrent()
    {
        combo->setCurrentIndex(1);
        typeIntoCombo(QString());
        QCOMPARE(combo->itemTexts(), QStringList({QStringLiteral("9600")}));
        QVERIFY(combo->editor()->isHidden());

        // A popup taking the focus (the editor's context menu) does not end the edit.
        typeIntoCombo(QString(), false);
        QFocusEvent popupFocus(QEvent::FocusOut, Qt::PopupFocusReason);
        QApplication::sendEvent(combo->editor(), &popupFocus);
        QVERIFY(combo->editor()->isVisible());
        QCOMPARE(combo->count(), 1);

        // Leaving the editor empty by moving the focus away removes it as well.
        other->setFocus();
        QTRY_VERIFY(combo->editor()->isHidden());
        QCOMPARE(combo->count(), 0);
        QCOMPARE(combo->currentIndex(), -1);
    }

    void comboValidatorRefusesBelowOne()
    {
        QTest::mouseClick(combo, Qt::RightButton);
        combo->editor()->selectAll();
        QTest::keyClick(combo->editor(), Qt::Key_Backspace);
        QTest::keyClicks(combo->editor(), QStringLiteral("-5"));
        QCOMPARE(combo->editor()->text(), QStringLiteral("5"));
        combo->editor()->clear();
        QTest::keyClicks(combo->editor(), QStringLiteral("0"));
        QVERIFY(!combo->editor()->hasAcceptableInput());
        QTest::keyClick(combo->editor(), Qt::Key_Return);
        QCOMPARE(combo->count(), 2);
        QVERIFY(!combo->itemTexts().contains(QStringLiteral("0")));
    }

    void buttonRename()
    {
        auto* button = new ZButtonTextEditable(QStringLiteral("Send"), window);
        window->layout()->addWidget(button);
        QTRY_VERIFY(button->isVisible());
        QCOMPARE(button->toolTip(), QStringLiteral("Right click to change name of the button"));
        QSignalSpy spy(button, &ZButtonTextEditable::textEditFinished);
        QSignalSpy clicked(button, &QPushButton::clicked);

        QTest::mouseClick(button, Qt::RightButton);
        QVERIFY(button->editor()->isVisible());
        QCOMPARE(button->editor()->selectedText(), QStringLiteral("Send"));
        QTest::keyClicks(button->editor(), QStringLiteral("Reset"));
        QTest::keyClick(button->editor(), Qt::Key_Return);
        QCOMPARE(button->text(), QStringLiteral("Reset"));
        QVERIFY(button->editor()->isHidden());
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toString(), QStringLiteral("Reset"));
        QCOMPARE(clicked.count(), 0);

        // An empty name is reported as it is.
        button->startEdit();
        QTest::keyClick(button->editor(), Qt::Key_Delete);
        QTest::keyClick(button->editor(), Qt::Key_Return);
        QCOMPARE(button->text(), QString());
        QCOMPARE(spy.count(), 2);
        QCOMPARE(spy.at(1).at(0).toString(), QString());

        // Finishing by focus loss reports once as well.
        button->startEdit();
        QTest::keyClicks(button->editor(), QStringLiteral("Go"));
        other->setFocus();
        QTRY_COMPARE(spy.count(), 3);
        QCOMPARE(button->text(), QStringLiteral("Go"));
        QTest::qWait(20);
        QCOMPARE(spy.count(), 3);
    }

    void fixedSplitterKeepsDraggedSizes()
    {
        FixedSplitter splitter(Qt::Horizontal);
        QWidget* panes[3];
        for (auto& p : panes) {
            p = new QLabel(QStringLiteral("pane"));
            splitter.addWidget(p);
        }
        splitter.resize(600, 200);
        splitter.setSizes({200, 200, 200});
        splitter.show();
        QVERIFY(QTest::qWaitForWindowExposed(&splitter));
        QVERIFY(qobject_cast<FixedSplitterHandle*>(splitter.handle(1)));

        const int before0 = panes[0]->width();
        dragHandle(splitter.handle(1), 50);
        QCOMPARE(panes[0]->width(), before0 + 50);
        QVERIFY(isFixedWidth(panes[0]));
        QVERIFY(isFixedWidth(panes[1]));
        QCOMPARE(panes[2]->maximumWidth(), QWIDGETSIZE_MAX);

        // Growing the splitter: the fixed panes keep their sizes, the last takes the rest.
        const int w0 = panes[0]->width(), w1 = panes[1]->width(), w2 = panes[2]->width();
        splitter.resize(800, 200);
        QTRY_COMPARE(panes[2]->width(), w2 + 200);
        QCOMPARE(panes[0]->width(), w0);
        QCOMPARE(panes[1]->width(), w1);

        // The last handle fixes the pane before it and leaves the last pane free.
        dragHandle(splitter.handle(2), -40);
        QCOMPARE(panes[1]->width(), w1 - 40);
        QVERIFY(isFixedWidth(panes[1]));
        QVERIFY(panes[2]->maximumWidth() > panes[2]->width());
        QCOMPARE(panes[2]->minimumWidth(), 0);
        const int w2b = panes[2]->width();
        splitter.resize(900, 200);
        QTRY_COMPARE(panes[2]->width(), w2b + 100);

        // A fixed pane can be dragged again: the press frees it.
        dragHandle(splitter.handle(1), -30);
        QCOMPARE(panes[0]->width(), w0 - 30);
        QVERIFY(isFixedWidth(panes[0]));
    }

    void fixedSplitterVertical()
    {
        FixedSplitter splitter(Qt::Vertical);
        auto* top = new QLabel(QStringLiteral("top"));
        auto* bottom = new QLabel(QStringLiteral("bottom"));
        splitter.addWidget(top);
        splitter.addWidget(bottom);
        splitter.resize(200, 400);
        splitter.setSizes({200, 200});
        splitter.show();
        QVERIFY(QTest::qWaitForWindowExposed(&splitter));
        const int h = top->height();
        dragHandle(splitter.handle(1), 60);
        QCOMPARE(top->height(), h + 60);
        QCOMPARE(top->minimumHeight(), top->maximumHeight());
        QVERIFY(bottom->maximumHeight() > bottom->height());
        QCOMPARE(bottom->minimumHeight(), 0);
    }
};

TALMENO_TEST_MAIN(TestEditableInputs)
#include "tst_editable_inputs.moc"
