#include <QCheckBox>
#include <QSpinBox>
#include <QTimer>
#include <QToolButton>

#include "support/testenv.h"
#include "widgets/ZButtonTextEditable.h"
#include "widgets/ZTransmitDataWidget.h"

class TestTransmit : public QObject
{
    Q_OBJECT

    QList<QByteArray> written_;
    QString text_;

    ZTransmitDataWidget* make(bool open)
    {
        return new ZTransmitDataWidget(
            [this](const QByteArray& b) {
                written_ << b;
                return qint64(b.size());
            },
            open, [this] { return text_; });
    }

private slots:
    void init() { written_.clear(); }

    void hexRules_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("odd last digit") << "1 2 3" << QByteArray("\x12\x03", 2);
        QTest::newRow("hyphens") << "a-b-c-" << QByteArray("\xab\x0c", 2);
        QTest::newRow("invalid dropped") << "12 g3 4" << QByteArray("\x12\x34", 2);
        QTest::newRow("no digit") << "xyz !" << QByteArray();
        QTest::newRow("upper and lower") << "DeAdBEef" << QByteArray("\xde\xad\xbe\xef", 4);
        QTest::newRow("single") << "f" << QByteArray("\x0f", 1);
    }
    void hexRules()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        std::unique_ptr<ZTransmitDataWidget> w(make(true));
        QVERIFY(w->hexCheckBox()->isChecked());
        text_ = text;
        w->sendButton()->click();
        QCOMPARE(written_, QList<QByteArray>{bytes});
    }

    void textModeSendsLocalEncoding()
    {
        std::unique_ptr<ZTransmitDataWidget> w(make(true));
        QSignalSpy format(w.get(), &ZTransmitDataWidget::transmitFormatChanged);
        w->hexCheckBox()->setChecked(false);
        QCOMPARE(format.count(), 1);
        QCOMPARE(format.at(0).at(0).toBool(), false);
        text_ = "AT+1 é\r\n";
        w->send();
        QCOMPARE(written_, QList<QByteArray>{text_.toLocal8Bit()});
        QCOMPARE(written_.first(), QByteArray("AT+1 \xc3\xa9\r\n"));
        w->hexCheckBox()->setChecked(true);
        QCOMPARE(format.count(), 2);
        QCOMPARE(format.at(1).at(0).toBool(), true);
    }

    void timedSendingFollowsPortState()
    {
        std::unique_ptr<ZTransmitDataWidget> w(make(false));
        QVERIFY(!w->sendButton()->isEnabled());
        QVERIFY(!w->timedSendCheckBox()->isEnabled());
        w->handleStatusChanged(true);
        QVERIFY(w->sendButton()->isEnabled());
        QVERIFY(w->timedSendCheckBox()->isEnabled());

        text_ = "01";
        w->intervalSpinBox()->setValue(5);
        w->timedSendCheckBox()->setChecked(true);
        QVERIFY(w->timer()->isActive());
        QCOMPARE(w->timer()->interval(), 5);
        QTRY_VERIFY_WITH_TIMEOUT(written_.size() >= 5, 2000);
        for (const auto& b : written_)
            QCOMPARE(b, QByteArray("\x01", 1));

        // A new interval takes effect when editing finishes.
        w->intervalSpinBox()->setValue(20);
        QCOMPARE(w->timer()->interval(), 5);
        emit w->intervalSpinBox()->editingFinished();
        QCOMPARE(w->timer()->interval(), 20);

        w->handleStatusChanged(false);
        QVERIFY(!w->timedSendCheckBox()->isChecked());
        QVERIFY(!w->timer()->isActive());
        QVERIFY(!w->sendButton()->isEnabled());
        QVERIFY(!w->timedSendCheckBox()->isEnabled());
        const int count = written_.size();
        QTest::qWait(60);
        QCOMPARE(written_.size(), count);

        w->handleStatusChanged(true);
        QVERIFY(w->sendButton()->isEnabled());
        QVERIFY(!w->timedSendCheckBox()->isChecked());
        QVERIFY(!w->timer()->isActive());

        // While not repeating a new interval only changes the value.
        w->intervalSpinBox()->setValue(7);
        emit w->intervalSpinBox()->editingFinished();
        QVERIFY(!w->timer()->isActive());
    }

    void optionsButtonShowsAndHides()
    {
        std::unique_ptr<ZTransmitDataWidget> w(make(true));
        w->show();
        QVERIFY(w->optionsButton()->isChecked());
        QCOMPARE(w->optionsButton()->arrowType(), Qt::RightArrow);
        QVERIFY(w->hexCheckBox()->isVisible());
        w->optionsButton()->click();
        QCOMPARE(w->optionsButton()->arrowType(), Qt::LeftArrow);
        QVERIFY(!w->hexCheckBox()->isVisible());
        QVERIFY(!w->timedSendCheckBox()->isVisible());
        QVERIFY(!w->intervalSpinBox()->isVisible());
        QVERIFY(w->sendButton()->isVisible());
        w->optionsButton()->click();
        QVERIFY(w->intervalSpinBox()->isVisible());
        QCOMPARE(w->intervalSpinBox()->minimum(), 1);
        QCOMPARE(w->intervalSpinBox()->maximum(), 100000000);
    }
};

TALMENO_TEST_MAIN(TestTransmit)
#include "tst_transmit.moc"
