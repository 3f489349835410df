#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QToolButton>

#include "sim/DeviceSimulator.h"
#include "link/WidgetMultiSend.h"
#include "link/ZSerialPort.h"
#include "support/testenv.h"
#include "widgets/ZButtonTextEditable.h"
#include "widgets/ZFlowLayout.h"

namespace {
void editName(WidgetSingleSend* item, const QString& name)
{
    item->nameButton()->startEdit();
    item->nameButton()->editor()->setText(name);
    emit item->nameButton()->editor()->editingFinished();
}

QStringList savedGroups()
{
    QSettings s;
    s.beginGroup("SerialPort/MultiSend");
    return s.childGroups();
}
} // namespace

class TestSend : public QObject
{
    Q_OBJECT

    sim::DeviceSimulator device_;
    std::unique_ptr<ZSerialPort> port_;

    void openPort()
    {
        if (!port_->isOpen()) {
            port_->setPortName(device_.portPath());
            QVERIFY(port_->open(5));
        }
    }

private slots:
    void initTestCase()
    {
        QString error;
        QVERIFY2(device_.start(&error), qPrintable(error));
        device_.setMode(sim::DeviceSimulator::Mode::Silent);
        port_.reset(new ZSerialPort);
    }

    void init()
    {
        QSettings().clear();
        device_.clearReceived();
    }

    void cleanupTestCase()
    {
        port_->close();
        port_.reset();
    }

    void savedItemsLoadInStoreOrder()
    {
        {
            QSettings s;
            s.setValue("SerialPort/MultiSend/B/Content", "hi");
            s.setValue("SerialPort/MultiSend/B/Hex", false);
            s.setValue("SerialPort/MultiSend/A/Content", "ABC");
            s.setValue("SerialPort/MultiSend/A/Peried", 50);
            s.setValue("SerialPort/MultiSend/A/ShowDetails", false);
        }
        WidgetMultiSend multi(port_.get());
        multi.show();
        QCOMPARE(multi.items().size(), 2);
        WidgetSingleSend* a = multi.items().at(0);
        WidgetSingleSend* b = multi.items().at(1);
        QCOMPARE(a->name(), QString("A"));
        QCOMPARE(a->nameButton()->text(), QString("A"));
        QCOMPARE(a->contentEdit()->toPlainText(), QString("ABC"));
        QVERIFY(a->hexCheckBox()->isChecked()); // default when absent
        QCOMPARE(a->periodSpinBox()->value(), 50);
        QVERIFY(!a->detailsButton()->isChecked());
        QCOMPARE(a->detailsButton()->arrowType(), Qt::RightArrow);
        QVERIFY(!a->contentEdit()->isVisible());
        QVERIFY(!a->hexCheckBox()->isVisible());
        QVERIFY(a->nameButton()->isVisible());
        QCOMPARE(b->name(), QString("B"));
        QVERIFY(!b->hexCheckBox()->isChecked());
        QCOMPARE(b->periodSpinBox()->value(), 10);
        QVERIFY(b->contentEdit()->isVisible());
        QCOMPARE(b->detailsButton()->arrowType(), Qt::LeftArrow);
        QCOMPARE(multi.flowLayout()->count(), 2);

        b->detailsButton()->click();
        QVERIFY(!b->contentEdit()->isVisible());
        QVERIFY(!b->periodSpinBox()->isVisible());
    }

    void itemsSendTheirContent()
    {
        openPort();
        WidgetMultiSend multi(port_.get());
        WidgetSingleSend* item = multi.addNewItem();
        item->contentEdit()->setPlainText("ABC");
        item->nameButton()->click();
        QVERIFY(device_.waitForReceived(2, 2000));
        QCOMPARE(device_.received(), QByteArray("\xab\x0c", 2));

        device_.clearReceived();
        item->contentEdit()->setPlainText("12 g3 4");
        item->send();
        QVERIFY(device_.waitForReceived(2, 2000));
        QCOMPARE(device_.received(), QByteArray("\x12\x34", 2));

        device_.clearReceived();
        item->hexCheckBox()->setChecked(false);
        item->contentEdit()->setPlainText("plain text");
        const quint64 before = port_->transmittedBytes();
        item->send();
        QVERIFY(device_.waitForReceived(10, 2000));
        QCOMPARE(device_.received(), QByteArray("plain text"));
        QCOMPARE(port_->transmittedBytes(), before + 10); // counts in the terminal's statistics
    }

    void newItemsAreUnnamedAndShareOneGroup()
    {
        {
            WidgetMultiSend multi(port_.get());
            QVERIFY(multi.items().isEmpty());
            multi.addButton()->click();
            QCOMPARE(multi.items().size(), 1);
            WidgetSingleSend* first = multi.items().first();
            QCOMPARE(first->name(), QString("unnamed"));
            QVERIFY(!first->nameButton()->editor()->isHidden()); // editing the name at once
            emit first->nameButton()->editor()->editingFinished(); // left as it is
            QCOMPARE(first->name(), QString("unnamed"));
            WidgetSingleSend* second = multi.addNewItem();
            second->contentEdit()->setPlainText("second");
            QVERIFY(first->hexCheckBox()->isChecked());
            QCOMPARE(first->periodSpinBox()->value(), 10);
            QVERIFY(first->detailsButton()->isChecked());
        }
        QCOMPARE(savedGroups(), QStringList{"unnamed"});
        QCOMPARE(QSettings().value("SerialPort/MultiSend/unnamed/Content").toString(), QString("second"));
        WidgetMultiSend again(port_.get());
        QCOMPARE(again.items().size(), 1);
    }

    void renameAndDelete()
    {
        {
            WidgetMultiSend multi(port_.get());
            WidgetSingleSend* a = multi.addNewItem();
            editName(a, "A");
            a->contentEdit()->setPlainText("01");
            a->periodSpinBox()->setValue(33);
            WidgetSingleSend* gone = multi.addNewItem();
            editName(gone, "Gone");
            gone->contentEdit()->setPlainText("02");
            multi.save();
            QCOMPARE(savedGroups(), QStringList({"A", "Gone"}));

            editName(a, "B");
            QCOMPARE(a->name(), QString("B"));
            QCOMPARE(a->nameButton()->text(), QString("B"));
            QCOMPARE(savedGroups(), QStringList{"Gone"}); // the old group goes at once

            QPointer<WidgetSingleSend> watch(gone);
            editName(gone, "");
            QCOMPARE(savedGroups(), QStringList());
            QCOMPARE(multi.items().size(), 1);
            QCOMPARE(multi.flowLayout()->count(), 1);
            QTRY_VERIFY(watch.isNull());
        }
        QCOMPARE(savedGroups(), QStringList{"B"});
        QSettings s;
        QCOMPARE(s.value("SerialPort/MultiSend/B/Content").toString(), QString("01"));
        QCOMPARE(s.value("SerialPort/MultiSend/B/Peried").toInt(), 33);
        QCOMPARE(s.value("SerialPort/MultiSend/B/Hex").toBool(), true);
        QCOMPARE(s.value("SerialPort/MultiSend/B/ShowDetails").toBool(), true);
    }

    // Destroying the collection while a name is being edited must not reach the
    // destroyed collection nor drop the item's saved group.
    void teardownWhileEditingName()
    {
        openPort(); // the name is editable only with the port open
        {
            auto multi = std::make_unique<WidgetMultiSend>(port_.get());
            multi->show();
            QApplication::setActiveWindow(multi.get());
            WidgetSingleSend* kept = multi->addNewItem();
            QTRY_VERIFY(kept->nameButton()->editor()->hasFocus());
            kept->nameButton()->editor()->setText("");
            kept->contentEdit()->setPlainText("kept");
        }
        QCOMPARE(savedGroups(), QStringList{"unnamed"});
        QCOMPARE(QSettings().value("SerialPort/MultiSend/unnamed/Content").toString(), QString("kept"));
    }

    void timedSendingStopsWhenPortCloses()
    {
        port_->close();
        WidgetMultiSend multi(port_.get());
        WidgetSingleSend* a = multi.addNewItem();
        WidgetSingleSend* b = multi.addNewItem();
        QVERIFY(!a->nameButton()->isEnabled());
        QVERIFY(!a->timedSendCheckBox()->isEnabled());
        openPort();
        QVERIFY(a->nameButton()->isEnabled());
        QVERIFY(b->timedSendCheckBox()->isEnabled());

        a->contentEdit()->setPlainText("aa");
        b->contentEdit()->setPlainText("bb");
        a->periodSpinBox()->setValue(1); // 1 ms is accepted
        a->timedSendCheckBox()->setChecked(true);
        b->timedSendCheckBox()->setChecked(true);
        QCOMPARE(a->timer()->interval(), 1);
        QCOMPARE(b->timer()->interval(), 10);
        QTRY_VERIFY_WITH_TIMEOUT(device_.received().count(char(0xbb)) >= 3, 3000);
        QVERIFY(device_.received().count(char(0xaa)) >= 3);

        // A new interval applies when editing finishes.
        b->periodSpinBox()->setValue(25);
        QCOMPARE(b->timer()->interval(), 10);
        emit b->periodSpinBox()->editingFinished();
        QCOMPARE(b->timer()->interval(), 25);

        port_->close();
        for (WidgetSingleSend* item : {a, b}) {
            QVERIFY(!item->timedSendCheckBox()->isChecked());
            QVERIFY(!item->timer()->isActive());
            QVERIFY(!item->nameButton()->isEnabled());
        }
        openPort();
        QVERIFY(a->nameButton()->isEnabled());
        QVERIFY(!a->timedSendCheckBox()->isChecked());
        QVERIFY(!a->timer()->isActive());
        const quint64 count = device_.receivedCount();
        QTest::qWait(50);
        QCOMPARE(device_.receivedCount(), count);
    }
};

TALMENO_TEST_MAIN(TestSend)
#include "tst_send.moc"
