#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QDialog>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSerialPort>
#include <QSpinBox>
#include <QTabWidget>
#include <QTextBlock>
#include <QTimer>
#include <QToolButton>
#include <QTranslator>

#include "sim/DeviceSimulator.h"
#include "link/ZSerialPort.h"
#include "link/ZSerialPortInterface.h"
#include "link/ZUiSerialPortAssistant.h"
#include "support/testenv.h"
#include "widgets/PlainTextEditWithFile.h"
#include "widgets/ZButtonTextEditable.h"
#include "widgets/ZComboBox.h"
#include "widgets/ZComboBoxEditable.h"

namespace {
struct Box
{
    QString title;
    QString text;
};

QString lastLine(PlainTextEditWithFile* view)
{
    view->flushPending();
    return view->document()->lastBlock().text();
}
} // namespace

class TestTerminal : public QObject
{
    Q_OBJECT

    sim::DeviceSimulator device_;
    QList<Box> boxes_;
    ZUiSerialPortAssistant* w_ = nullptr;

    // A fresh window whose port combo lists the simulated device, selected.
    ZUiSerialPortAssistant* window()
    {
        w_ = ZUiSerialPortAssistant::instance();
        [&] {
            QTRY_VERIFY_WITH_TIMEOUT(w_->portComboBox()->findText(device_.portPath()) >= 0, 3000);
        }();
        w_->portComboBox()->setCurrentIndex(w_->portComboBox()->findText(device_.portPath()));
        return w_;
    }

    bool openWindowPort()
    {
        window();
        w_->baudrateComboBox()->setCurrentText("115200");
        return w_->setSerialPortOpen(true);
    }

    ZUiSerialPortAssistant::CriticalBox defaultBox_;

private slots:
    void initTestCase()
    {
        QString error;
        QVERIFY2(device_.start(&error), qPrintable(error));
        device_.setMode(sim::DeviceSimulator::Mode::Silent);
        qputenv("TALMENO_EXTRA_PORTS", device_.portPath().toLocal8Bit());
        defaultBox_ = ZUiSerialPortAssistant::criticalBoxHook();
        ZUiSerialPortAssistant::criticalBoxHook() = [this](QWidget*, const QString& title, const QString& text) {
            boxes_ << Box{title, text};
        };
    }

    void init()
    {
        boxes_.clear();
        device_.clearReceived();
        QSettings().clear();
    }

    void cleanup()
    {
        delete ZUiSerialPortAssistant::existing();
        w_ = nullptr;
    }

    void defaultsAndPortList()
    {
        w_ = ZUiSerialPortAssistant::instance();
        QCOMPARE(ZUiSerialPortAssistant::instance(), w_);
        QCOMPARE(w_->windowTitle(), QString("Serial Port"));
        QCOMPARE(w_->size(), QSize(800, 600));
        QCOMPARE(w_->baudrateComboBox()->count(), 21);
        QCOMPARE(w_->baudrateComboBox()->itemText(0), QString("1200"));
        QCOMPARE(w_->baudrateComboBox()->itemText(7), QString("43000"));
        QCOMPARE(w_->baudrateComboBox()->itemText(20), QString("3500000"));
        QCOMPARE(w_->baudrateComboBox()->currentText(), QString("921600"));
        QCOMPARE(w_->dataBitsComboBox()->currentText(), QString("8"));
        QCOMPARE(w_->dataBitsComboBox()->currentData().toInt(), int(QSerialPort::Data8));
        QCOMPARE(w_->stopBitsComboBox()->currentText(), QString("1"));
        QCOMPARE(w_->stopBitsComboBox()->itemData(1).toInt(), int(QSerialPort::OneAndHalfStop));
        QCOMPARE(w_->parityComboBox()->currentText(), QString("NoParity"));
        QCOMPARE(w_->parityComboBox()->itemData(1).toInt(), int(QSerialPort::EvenParity));
        QCOMPARE(w_->flowControlComboBox()->currentText(), QString("NoControl"));
        QVERIFY(w_->hexCheckBox()->isChecked());
        QCOMPARE(w_->transmitTabs()->count(), 3);
        QCOMPARE(w_->transmitTabs()->tabText(0), QString("Single Transmit"));
        QCOMPARE(w_->transmitTabs()->tabText(1), QString("Multi Transmit"));
        QCOMPARE(w_->transmitTabs()->tabText(2), QString("Check Sum"));
        // Filling the list must not have overwritten the stored rate.
        QVERIFY(!QSettings().contains("SerialPort/CurrentBaudrate"));

        // Before the first scan nothing can be opened.
        w_->handlePortsChanged({});
        QVERIFY(!w_->openButton()->isEnabled());
        QVERIFY(!w_->openAction()->isEnabled());
        // The scan finds the simulated device (an extra port, by path) and enables opening.
        window();
        QVERIFY(w_->openButton()->isEnabled());
        QVERIFY(w_->openAction()->isEnabled());

        // A refresh keeps the selected name when present, wherever it moved.
        w_->handlePortsChanged({"ttyA", "ttyB"});
        QCOMPARE(w_->portComboBox()->currentText(), QString("ttyA"));
        w_->portComboBox()->setCurrentIndex(1);
        w_->handlePortsChanged({"ttyC", "ttyB", "ttyA"});
        QCOMPARE(w_->portComboBox()->currentText(), QString("ttyB"));
        w_->handlePortsChanged({"ttyb", "ttyX"}); // case-sensitive
        QCOMPARE(w_->portComboBox()->currentText(), QString("ttyb"));
    }

    void openLocksSettingsAndAppliesThem()
    {
        window();
        w_->baudrateComboBox()->setCurrentText("230400");
        w_->dataBitsComboBox()->setCurrentText("7");
        w_->stopBitsComboBox()->setCurrentText("2");
        w_->parityComboBox()->setCurrentText("EvenParity");
        QVERIFY(w_->setSerialPortOpen(true));
        ZSerialPort* port = w_->serialPort();
        QVERIFY(port->isOpen());
        QVERIFY(device_.portPath().endsWith(port->portName()));
        QCOMPARE(port->baudRate(), 230400);
        QCOMPARE(port->dataBits(), QSerialPort::Data7);
        QCOMPARE(port->stopBits(), QSerialPort::TwoStop);
        QCOMPARE(port->parity(), QSerialPort::EvenParity);
        QTRY_COMPARE(device_.portRate(), 230400);

        QVERIFY(w_->openButton()->isChecked());
        QVERIFY(w_->openAction()->isChecked());
        QVERIFY(w_->openButton()->isEnabled());
        for (QWidget* c : {static_cast<QWidget*>(w_->portComboBox()), static_cast<QWidget*>(w_->baudrateComboBox()),
                           static_cast<QWidget*>(w_->dataBitsComboBox()), static_cast<QWidget*>(w_->stopBitsComboBox()),
                           static_cast<QWidget*>(w_->parityComboBox()), static_cast<QWidget*>(w_->flowControlComboBox())})
            QVERIFY(!c->isEnabled());
        QVERIFY(w_->ignoredPortNamesEdit()->isEnabled());

        // Closing from the tool-bar action unlocks them again.
        w_->openAction()->trigger();
        QVERIFY(!port->isOpen());
        QVERIFY(!w_->openButton()->isChecked());
        QVERIFY(w_->dataBitsComboBox()->isEnabled());
        QVERIFY(w_->portComboBox()->isEnabled());
    }

    void receivesTextAndHex()
    {
        QVERIFY(openWindowPort());
        PlainTextEditWithFile* view = w_->receiveView();
        device_.send(QByteArray("\x0a\xff", 2));
        QTRY_COMPARE(lastLine(view), QString("0a ff "));

        w_->hexCheckBox()->setChecked(false);
        // "é" split over two chunks still decodes, and each chunk is its own line.
        device_.send("ab\xc3");
        QTRY_COMPARE(w_->serialPort()->receivedBytes(), quint64(5));
        device_.send("\xa9 ok");
        QTRY_COMPARE(lastLine(view), QString::fromUtf8("\xc3\xa9 ok"));
        QCOMPARE(view->toPlainText(), QString::fromUtf8("0a ff \nab\n\xc3\xa9 ok"));

        w_->clearReceivedButton()->click();
        QCOMPARE(view->toPlainText(), QString());
        QCOMPARE(view->fileSize(), qint64(0));
    }

    void statisticsCountBothDirections()
    {
        QVERIFY(openWindowPort());
        device_.send(QByteArray(100, 'x'));
        w_->transmitter()->hexCheckBox()->setChecked(false);
        w_->singleTransmitText()->setPlainText("hello");
        w_->transmitter()->sendButton()->click();
        QVERIFY(device_.waitForReceived(5, 2000));
        QTRY_COMPARE_WITH_TIMEOUT(w_->receivedLabel()->text(), QString("100"), 3000);
        QTRY_COMPARE_WITH_TIMEOUT(w_->transmittedLabel()->text(), QString("5"), 3000);
        w_->clearStatisticsButton()->click();
        QCOMPARE(w_->receivedLabel()->text(), QString("0"));
        QCOMPARE(w_->receivedPerSecondLabel()->text(), QString("0"));
        QCOMPARE(w_->transmittedLabel()->text(), QString("0"));
        QCOMPARE(w_->transmittedPerSecondLabel()->text(), QString("0"));
    }

    void singleTransmitSendsTextAndHex()
    {
        window();
        QVERIFY(!w_->transmitter()->sendButton()->isEnabled());
        w_->baudrateComboBox()->setCurrentText("115200");
        QVERIFY(w_->setSerialPortOpen(true));
        ZTransmitDataWidget* t = w_->transmitter();
        QVERIFY(t->sendButton()->isEnabled());

        w_->singleTransmitText()->setPlainText("1 2 3");
        t->sendButton()->click();
        QVERIFY(device_.waitForReceived(2, 2000));
        QCOMPARE(device_.received(), QByteArray("\x12\x03", 2));

        device_.clearReceived();
        t->hexCheckBox()->setChecked(false);
        w_->singleTransmitText()->setPlainText(QString::fromUtf8("AT+VER?\xc3\xa9\n"));
        t->sendButton()->click();
        QVERIFY(device_.waitForReceived(10, 2000));
        QCOMPARE(device_.received(), QByteArray("AT+VER?\xc3\xa9\n"));

        // Timed sending repeats until the port closes.
        device_.clearReceived();
        w_->singleTransmitText()->setPlainText("z");
        t->intervalSpinBox()->setValue(10);
        t->timedSendCheckBox()->setChecked(true);
        QTRY_VERIFY_WITH_TIMEOUT(device_.receivedCount() >= 5, 3000);
        QCOMPARE(device_.received(), QByteArray(int(device_.receivedCount()), 'z'));
        QVERIFY(w_->setSerialPortOpen(false));
        QVERIFY(!t->timedSendCheckBox()->isChecked());
        QVERIFY(!t->timer()->isActive());
        QVERIFY(!t->sendButton()->isEnabled());
        QVERIFY(w_->setSerialPortOpen(true));
        QVERIFY(t->sendButton()->isEnabled());
        QVERIFY(!t->timedSendCheckBox()->isChecked());
    }

    void checkSum_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("result");
        QTest::addColumn<QString>("count");
        QTest::newRow("three") << "01 02 FF" << "02 01 00 00 00 00 00 00 " << "Total bytes: 3";
        QTest::newRow("odd") << "1" << "01 00 00 00 00 00 00 00 " << "Total bytes: 1";
        QTest::newRow("empty") << "" << "00 00 00 00 00 00 00 00 " << "Total bytes: 0";
        QTest::newRow("ABC") << "A,B;C" << "b7 00 00 00 00 00 00 00 " << "Total bytes: 2";
        QTest::newRow("carry") << QString("ff ").repeated(300) << "d4 2a 01 00 00 00 00 00 "
                               << "Total bytes: 300";
    }
    void checkSum()
    {
        QFETCH(QString, text);
        QFETCH(QString, result);
        QFETCH(QString, count);
        w_ = ZUiSerialPortAssistant::instance();
        w_->checkSumText()->setPlainText(text);
        w_->calculateButton()->click();
        QCOMPARE(w_->checkSumResult()->text(), result);
        QCOMPARE(w_->checkSumCountLabel()->text(), count);
        QVERIFY(w_->checkSumResult()->isReadOnly());
    }

    void ignoredNamesEditedAndStored()
    {
        w_ = ZUiSerialPortAssistant::instance();
        w_->ignoredPortNamesEdit()->setText("COM1, COM2;COM3");
        emit w_->ignoredPortNamesEdit()->editingFinished();
        QCOMPARE(w_->ignoredPortNamesEdit()->text(), QString("COM1|COM2|COM3"));
        QCOMPARE(QSettings().value("SerialPort/IgnoredPortNames").toStringList(),
                 QStringList({"COM1", "COM2", "COM3"}));
        delete w_;
        w_ = ZUiSerialPortAssistant::instance();
        QCOMPARE(w_->ignoredPortNamesEdit()->text(), QString("COM1|COM2|COM3"));
    }

    // The open-failure text, with the port's real error name.
    void openFailureShowsErrorName()
    {
        window();
        QSerialPort holder(device_.portPath());
        QVERIFY(holder.open(QIODevice::ReadWrite)); // locks the device
        QElapsedTimer clock;
        clock.start();
        bool enabledWhileOpening = true;
        QTimer::singleShot(300, [&] {
            enabledWhileOpening = w_->openButton()->isEnabled() || w_->openAction()->isEnabled();
        });
        QVERIFY(!w_->setSerialPortOpen(true));
        QVERIFY(!enabledWhileOpening); // no second request while the tries run
        QVERIFY(clock.elapsed() >= 2500); // thirty tries, 100 ms apart
        QCOMPARE(boxes_.size(), 1);
        QCOMPARE(boxes_[0].title, QString("Error"));
        const QString expected = "Failed to open the serial port," + QString(62, ' ') +
                                 "please check whether the serial port driver" + QString(63, ' ') +
                                 "is normal or whether the current serial port is occupied.Error code:" +
                                 w_->serialPort()->errorName();
        QCOMPARE(boxes_[0].text, expected);
        QVERIFY(boxes_[0].text.endsWith("Error code:PermissionError"));
        QVERIFY(!w_->openButton()->isChecked());
        QVERIFY(!w_->openAction()->isChecked());
        QVERIFY(w_->openButton()->isEnabled());
        QVERIFY(w_->dataBitsComboBox()->isEnabled());
        holder.close();
        QVERIFY(w_->setSerialPortOpen(true));
        QCOMPARE(boxes_.size(), 1);
    }

    // The box shows the open-failure text as three whole lines in either language,
    // the error name at the end of the last; the text handed over keeps its blanks.
    void errorBoxShowsWholeLines_data()
    {
        QTest::addColumn<QString>("translation");
        QTest::addColumn<QString>("firstLine");
        QTest::newRow("English") << QString() << "Failed to open the serial port,";
        QTest::newRow("Chinese") << ":/translations/language_zh.qm" << QString::fromUtf8("串口打开失败，");
    }

    void errorBoxShowsWholeLines()
    {
        QFETCH(QString, translation);
        QFETCH(QString, firstLine);
        QTranslator translator;
        QVERIFY(translation.isEmpty() || translator.load(translation));
        QCoreApplication::installTranslator(&translator);
        const QString text = ZUiSerialPortAssistant::openFailureText("PermissionError");
        QCoreApplication::removeTranslator(&translator);
        QVERIFY(text.contains(QString(62, ' ')) && text.contains(QString(63, ' ')));

        QStringList lines;
        bool wrapped = true;
        QTimer::singleShot(0, [&] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                auto* label = w->isVisible() ? w->findChild<QLabel*>("errorBoxText") : nullptr;
                if (!label)
                    continue;
                lines = label->text().split('\n');
                int longest = 0;
                for (const QString& line : lines)
                    longest = qMax(longest, label->fontMetrics().horizontalAdvance(line));
                wrapped = label->wordWrap() || label->width() < longest;
                qobject_cast<QDialog*>(w)->accept();
            }
        });
        defaultBox_(nullptr, "Error", text);
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines.first(), firstLine);
        QVERIFY(lines.last().endsWith("PermissionError") && !lines.join("").contains("  "));
        QVERIFY(!wrapped);
    }

    void baudRateChangesAndPersistence()
    {
        QVERIFY(openWindowPort());
        QVERIFY(w_->setBaudRate(250000, true));
        QCOMPARE(w_->baudrateComboBox()->currentText(), QString("250000"));
        QCOMPARE(w_->baudrateComboBox()->count(), 22);
        QCOMPARE(QSettings().value("SerialPort/CurrentBaudrate").toString(), QString("250000"));
        QTRY_COMPARE(device_.portRate(), 250000);

        QVERIFY(w_->setBaudRate(9600, false));
        QCOMPARE(w_->baudrateComboBox()->currentText(), QString("250000"));
        QCOMPARE(w_->serialPort()->baudRate(), 9600);

        QTest::ignoreMessage(QtDebugMsg, QRegularExpression("restore baudrate:ui 250000 actual:250000$"));
        w_->restoreBaudRate();
        QCOMPARE(w_->serialPort()->baudRate(), 250000);
        QVERIFY(!w_->setBaudRate(0, false)); // refused, port unchanged
        QCOMPARE(w_->serialPort()->baudRate(), 250000);

        w_->dataBitsComboBox()->setEnabled(true);
        w_->dataBitsComboBox()->setCurrentText("6");
        w_->parityComboBox()->setCurrentText("MarkParity");
        w_->stopBitsComboBox()->setCurrentText("1.5");
        w_->flowControlComboBox()->setCurrentText("SoftwareControl");
        w_->resize(900, 700);
        QVERIFY(!QSettings().contains("SerialPort/DataBits")); // written at destruction only
        delete w_;
        w_ = nullptr;

        QSettings s;
        QCOMPARE(s.value("SerialPort/Baudrates").toStringList().last(), QString("250000"));
        QCOMPARE(s.value("SerialPort/Baudrates").toStringList().size(), 22);
        QCOMPARE(s.value("SerialPort/DataBits").toString(), QString("6"));
        QCOMPARE(s.value("SerialPort/Parity").toString(), QString("MarkParity"));
        QCOMPARE(s.value("SerialPort/StopBits").toString(), QString("1.5"));
        QCOMPARE(s.value("SerialPort/FlowControl").toString(), QString("SoftwareControl"));
        QCOMPARE(s.value("SerialPort/Size").toSize(), QSize(900, 700));

        w_ = ZUiSerialPortAssistant::instance();
        QCOMPARE(w_->baudrateComboBox()->currentText(), QString("250000"));
        QCOMPARE(w_->dataBitsComboBox()->currentText(), QString("6"));
        QCOMPARE(w_->dataBitsComboBox()->currentData().toInt(), int(QSerialPort::Data6));
        QCOMPARE(w_->stopBitsComboBox()->currentData().toInt(), int(QSerialPort::OneAndHalfStop));
        QCOMPARE(w_->flowControlComboBox()->currentData().toInt(), int(QSerialPort::SoftwareControl));
        QCOMPARE(w_->size(), QSize(900, 700));

        // A stored rate that is not listed leaves no item current.
        QSettings().setValue("SerialPort/CurrentBaudrate", "12345");
        delete w_;
        w_ = ZUiSerialPortAssistant::instance();
        QCOMPARE(w_->baudrateComboBox()->currentIndex(), -1);
        // No rate shown: the port keeps its own and the open proceeds.
        window();
        QVERIFY(w_->setSerialPortOpen(true));
        QCOMPARE(w_->serialPort()->baudRate(), 9600);
    }

    // Destroying the window while an edit has the focus ends that edit; the window's
    // handlers must not run on its destroyed members then.
    void teardownWhileEditing()
    {
        w_ = ZUiSerialPortAssistant::instance();
        w_->show();
        QApplication::setActiveWindow(w_);
        w_->ignoredPortNamesEdit()->setFocus();
        QTRY_VERIFY(w_->ignoredPortNamesEdit()->hasFocus());
        w_->ignoredPortNamesEdit()->setText("COM7 COM8");
        delete w_;
        w_ = nullptr;
        QVERIFY(!QSettings().contains("SerialPort/IgnoredPortNames"));
        QVERIFY(QSettings().contains("SerialPort/Size"));
    }

    void interfaceHooks()
    {
        initSerialPortInterface(nullptr);
        w_ = ZUiSerialPortAssistant::existing();
        QVERIFY(w_);
        window();
        QVERIFY(!ZSerialPortInterface::write("closed"));
        QVERIFY(!ZSerialPortInterfaceManager::instance()->isOpen());
        QVERIFY(openWindowPort());
        QVERIFY(ZSerialPortInterfaceManager::instance()->isOpen());
        QVERIFY(ZSerialPortInterface::write("open"));
        QVERIFY(device_.waitForReceived(4, 2000));
        QCOMPARE(device_.received(), QByteArray("open"));

        QVERIFY(w_->setBaudRate(921600, true));
        QCOMPARE(ZSerialPortInterface::timeoutForBytes(1000, 0), 22);
        QVERIFY(w_->setBaudRate(115200, false));
        QCOMPARE(ZSerialPortInterface::timeoutForBytes(32, 300), 306);
        w_->setSerialPortOpen(false);
        QVERIFY(!ZSerialPortInterfaceManager::instance()->isOpen());

        // The window's end takes the manager with it.
        QPointer<ZSerialPortInterfaceManager> manager(ZSerialPortInterfaceManager::existing());
        delete w_;
        w_ = nullptr;
        QTRY_VERIFY(manager.isNull());
    }
};

TALMENO_TEST_MAIN(TestTerminal)
#include "tst_terminal.moc"
