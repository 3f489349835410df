// The analyser's chip widgets and page, fed with simulator frames and replies.

#include "link/ZSerialPortInterface.h"
#include "model/ModelManager.h"
#include "model/ResourceItems.h"
#include "products/uwbana/UwbAnaChipWidget.h"
#include "products/uwbana/UwbAnaProductHandle.h"
#include "products/uwbana/UwbAnaTables.h"
#include "products/uwbana/UwbAnaWidgetData.h"
#include "sim/AnalyserSimulator.h"
#include "support/LogCapture.h"
#include "support/WorkerThreads.h"
#include "support/testenv.h"
#include "widgets/PlainTextEditWithFile.h"
#include "widgets/ZWheelGuard.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <QWindow>

// Qt gives the wheel focus only on spontaneous events, before any event filter sees
// them: a wheel test must send what the window system sends. The one way Qt 5 leaves
// open for that (the friend of QCoreApplication its own tests define).
bool qt_sendSpontaneousEvent(QObject* receiver, QEvent* event)
{
    return QCoreApplication::sendSpontaneousEvent(receiver, event);
}

using namespace UwbAna;

namespace {

QStringList items(QComboBox* box)
{
    QStringList texts;
    for (int i = 0; i < box->count(); ++i)
        texts << box->itemText(i);
    return texts;
}

LineResourceItem* line(const QString& key)
{
    for (LineResourceItem* item : lineCollector->items())
        if (item->name() == key)
            return item;
    return nullptr;
}

// One notch of a real wheel over widget at at: delivered to its window, which finds
// the widget under the pointer as it does for the window system's events.
void turnWheel(QWidget* widget, QPoint at, int delta)
{
    QWidget* window = widget->window();
    QWheelEvent wheel(QPointF(widget->mapTo(window, at)), QPointF(widget->mapToGlobal(at)), QPoint(), QPoint(0, delta),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    qt_sendSpontaneousEvent(window->windowHandle(), &wheel);
}

QString historyText(PlainTextEditWithFile* view)
{
    view->flushPending();
    return view->toPlainText();
}

template <typename Record>
std::shared_ptr<Record> record(const QByteArray& frame, const QDateTime& at)
{
    auto d = std::make_shared<Record>();
    d->pcTime = at;
    d->raw = frame;
    std::copy(frame.constBegin(), frame.constBegin() + qMin<int>(frame.size(), int(d->frame.size())), d->frame.begin());
    return d;
}

std::shared_ptr<ProtocolFrame1::Data> receiveRecord(const sim::AnalyserReceive& r, const QDateTime& at)
{
    auto d = std::make_shared<ProtocolFrame1::Data>();
    d->pcTime = at;
    d->raw = sim::analyserReceiveFrame(r);
    std::copy(d->raw.constBegin(), d->raw.constBegin() + 50, d->header.begin());
    d->payload = r.payload;
    return d;
}

} // namespace

class TestUwbAnaPage : public QObject
{
    Q_OBJECT

    ModelManager* models_ = nullptr;
    WidgetData* page_ = nullptr;
    QByteArray written_;
    bool answer_ = true;
    bool buttonsDuringWait_ = true;

private slots:
    void initTestCase()
    {
        talmeno_test::startWorkerThreads();
        const QString file = QDir::temp().filePath("uwbana_page_test.ini");
        QFile::remove(file);
        models_ = new ModelManager(file, {ResourceType::Data, ResourceType::Line}, this);
        ProtocolParameter::instance(this)->setModelManager(models_);
        ProtocolFrame0::instance(this);
        ProtocolFrame1::instance(this);
        auto* manager = ZSerialPortInterfaceManager::instance();
        manager->setTimeoutHook([](int bytes, int extra) { return bytes / 10 + extra; });
        manager->setSetBaudRateHook([](int) {});
        // The device: answers each request as the simulator's settings handler does.
        manager->setWriteHook([this](const QByteArray& data) {
            written_ = data;
            buttonsDuringWait_ = page_->readButton()->isEnabled() || page_->writeButton()->isEnabled();
            if (answer_) {
                sim::AnalyserParameterHandler device(115200);
                QByteArray reply;
                device.handle(data, sim::SimContext{}, reply);
                ProtocolParameter::instance()->parseFrame(reply);
            }
            return true;
        });
        page_ = new WidgetData(nullptr, lineCollector);
    }

    void cleanupTestCase()
    {
        delete page_;
    }

    void chipLists_data()
    {
        QTest::addColumn<int>("chip");
        QTest::addColumn<QStringList>("channels");
        QTest::addColumn<bool>("hasSdc");
        QTest::newRow("0 DW1000") << 0 << QStringList{"2", "3"} << false;
        QTest::newRow("2 DW3000") << 2 << QStringList{"5", "9"} << true;
        QTest::newRow("7 taken as DW1000") << 7 << QStringList{"2", "3"} << false;
    }
    void chipLists()
    {
        QFETCH(int, chip);
        QFETCH(QStringList, channels);
        QFETCH(bool, hasSdc);
        ChipWidget w(chip);
        QCOMPARE(items(w.combo(ChipWidget::Channel)), channels);
        QCOMPARE(w.sdcBox() != nullptr, hasSdc);
        // The initial channel's preamble codes are filled at construction.
        QCOMPARE(items(w.combo(ChipWidget::PreambleCode)),
                 channelPreambleCodes.value(codeOf(UwbAna::channels, channels.first())));
    }

    void cascades()
    {
        ChipWidget w(2);
        w.combo(ChipWidget::Channel)->setCurrentText("5");
        QCOMPARE(w.combo(ChipWidget::PreambleCode)->currentText(), QString("3"));
        QCOMPARE(w.prfLabel()->text(), QString("16MHz"));
        w.combo(ChipWidget::PreambleCode)->setCurrentText("9");
        QCOMPARE(w.prfLabel()->text(), QString("64MHz"));
    }

    void storeApplyRoundTrip_data()
    {
        QTest::addColumn<int>("chip");
        QTest::newRow("DW1000") << 1;
        QTest::newRow("DW3000") << 2;
    }
    void storeApplyRoundTrip()
    {
        QFETCH(int, chip);
        const ParameterSettings device = ParameterSettings::fromFrame(sim::analyserParameterDefaults(115200));
        ChipWidget w(chip);
        w.applyParameter(device.chips[chip]);
        ChipConfig stored;
        w.storeParameter(stored);
        QCOMPARE(stored.words[0], device.chips[chip].words[0]);
        QCOMPARE(stored.words[1], device.chips[chip].words[1]);

        // A channel the chip does not offer leaves the selection; unknown codes store 0.
        ChipConfig foreign = device.chips[chip];
        foreign.setField(ChipConfig::Channel, chip < 2 ? 10 : 3);
        foreign.setField(ChipConfig::Pac, 7);
        const QString before = w.combo(ChipWidget::Channel)->currentText();
        w.applyParameter(foreign);
        QCOMPARE(w.combo(ChipWidget::Channel)->currentText(), before);
        w.combo(ChipWidget::Pac)->clear();
        ChipConfig zeroPac;
        zeroPac.setField(ChipConfig::Pac, 5);
        w.storeParameter(zeroPac);
        QCOMPARE(zeroPac.field(ChipConfig::Pac), 0u);
    }

    void statusBlock()
    {
        ChipWidget w(1);
        ChipStatus s;
        s.status = 2;
        s.plr = 1234;
        s.rxfcgCount = 11;
        s.rxstoCount = 65535;
        w.updateStatus(s);
        QCOMPARE(w.statusPage(), 2);
        QCOMPARE(w.counterLabel(ChipWidget::Plr)->text(), QString("12.34"));
        QCOMPARE(w.counterLabel(ChipWidget::RxstoCount)->text(), QString("65535"));
        s.status = 3; // no light for it: the page stays
        w.updateStatus(s);
        QCOMPARE(w.statusPage(), 2);
        QCOMPARE(line("1_status")->lastValue(), 3.0);
        QCOMPARE(line("1_plr")->lastValue(), double(12.34f));
        QCOMPARE(line("1_rxsto_cnt")->lastValue(), 65535.0);
    }

    void receiveFrames()
    {
        ChipWidget w(3);
        sim::AnalyserReceive r = sim::Analyser::receiveOf(3, 0, 4242);
        r.rxTime = (quint64(1) << 40) - 16;
        r.fpRssi = 160;
        r.luep = 255;
        r.hwClockOffset = 1.0f;
        r.payload = QByteArray::fromHex("0a1b2c");
        const auto first = receiveRecord(r, QDateTime::currentDateTime());
        w.showReceiveFrame("10:11:12.013", first->receiveHeader(), first->payload);
        const QStringList lines = w.latestView()->toPlainText().split('\n');
        QCOMPARE(lines.value(0), QString("pc_time: 10:11:12.013"));
        QCOMPARE(lines.value(1), QString("system_time(ms): 4242"));
        QCOMPARE(lines.value(2), QString("rx_time: %1").arg((quint64(1) << 40) - 16));
        QCOMPARE(lines.value(3), QString("rx_interval(ms): ")); // no interval before a chip's second frame
        QCOMPARE(lines.value(4), QString("fp_rssi: -80"));
        QCOMPARE(lines.value(11), QString("luep: 2.55"));
        QCOMPARE(lines.value(17), QString("payload: 0a 1b 2c"));
        QVERIFY(!line("3_rx_interval(ms)"));
        QCOMPARE(line("3_fp_rssi")->lastValue(), -80.0);
        // The history holds all but the latest: so far one empty line.
        QVERIFY(historyText(w.historyView()).trimmed().isEmpty());

        r.rxTime = 16; // across the wrap of the radio clock
        r.payload.clear();
        const auto second = receiveRecord(r, QDateTime::currentDateTime());
        w.showReceiveFrame("10:11:12.063", second->receiveHeader(), second->payload);
        const double interval = 32 * 1.5650040064102565e-11 * 1000.0;
        QCOMPARE(w.latestView()->toPlainText().split('\n').value(3),
                 "rx_interval(ms): " + QString::number(interval, 'g', 6));
        QCOMPARE(line("3_rx_interval(ms)")->values(), QList<double>{interval});
        QVERIFY(historyText(w.historyView()).contains("pc_time: 10:11:12.013\n"));
        QVERIFY(!historyText(w.historyView()).contains("pc_time: 10:11:12.063"));

        w.clearStatus();
        QVERIFY(w.latestView()->toPlainText().isEmpty());
        QCOMPARE(w.statusPage(), 0);
        // The interval survives a clear.
        r.rxTime = 48;
        const auto third = receiveRecord(r, QDateTime::currentDateTime());
        w.showReceiveFrame("10:11:12.113", third->receiveHeader(), third->payload);
        QCOMPARE(line("3_rx_interval(ms)")->values().size(), 2);
    }

    // The wheel turns a combo or spin box only while focused; else it neither focuses
    // nor changes it, and scrolls the page.
    void wheelTurnsOnlyFocusedBoxes_data()
    {
        QTest::addColumn<bool>("combo");
        QTest::addColumn<bool>("focused");
        QTest::newRow("combo box") << true << false;
        QTest::newRow("focused combo box") << true << true;
        QTest::newRow("spin box") << false << false;
        QTest::newRow("focused spin box") << false << true;
    }
    void wheelTurnsOnlyFocusedBoxes()
    {
        QFETCH(bool, combo);
        QFETCH(bool, focused);
        installWheelGuard(qApp);
        // The box where the wheel finds it: in view, on a page taller than the view.
        QScrollArea area;
        area.setWidgetResizable(true);
        auto* content = new QWidget;
        content->setMinimumHeight(3000);
        auto* column = new QVBoxLayout(content);
        auto* chip = combo ? new ChipWidget(2, content) : nullptr;
        QWidget* box = chip ? static_cast<QWidget*>(chip->combo(ChipWidget::Channel)) : new QSpinBox(content);
        column->addWidget(chip ? chip : box, 0, Qt::AlignTop);
        const char* value = combo ? "currentIndex" : "value";
        box->setProperty(value, combo ? 0 : 5);
        area.setWidget(content);
        area.resize(content->sizeHint().width() + 60, 400);
        area.show();
        QVERIFY(QTest::qWaitForWindowExposed(&area));
        const QPoint at = box->rect().center();
        QWidget* under = area.childAt(box->mapTo(&area, at));
        QVERIFY(under == box || box->isAncestorOf(under)); // a spin box's line edit
        QApplication::setActiveWindow(&area);
        QWidget* focus = focused ? box : &area;
        focus->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(focus->hasFocus());
        const QVariant before = box->property(value);
        turnWheel(box, at, -120);
        QCOMPARE(box->property(value) != before, focused);
        QCOMPARE(box->hasFocus(), focused);
        QCOMPARE(area.verticalScrollBar()->value() > 0, !focused);
    }

    void layoutAndControls()
    {
        page_->show();
        QVERIFY(page_->showConfigBox()->isChecked());
        QVERIFY(page_->configArea()->isVisible());
        page_->showConfigBox()->setChecked(false);
        QVERIFY(!page_->configArea()->isVisible() && !page_->chip(2)->configArea()->isVisible());
        QVERIFY(page_->chip(2)->latestView()->isVisible());
        page_->showConfigBox()->setChecked(true);
        QVERIFY(page_->chip(2)->configArea()->isVisible());
        page_->hide();
    }

    void refreshOrdersByDecodingTime()
    {
        page_->clear();
        const QDateTime t = QDateTime::fromString("2026-12-07T08:09:10.123", Qt::ISODateWithMs);
        sim::AnalyserChipStatus chips[4];
        chips[1].status = 1;
        const QByteArray status = sim::analyserStatusFrame(777, 499, chips);
        const QByteArray params = sim::analyserParameterDefaults(921600);
        sim::AnalyserReceive r = sim::Analyser::receiveOf(0, 0, 888);
        r.payload = QByteArray(2, char(0xAB));

        // Queued in the wrong order: frame 1 decoded 1 ms earlier; equal times after.
        emit ProtocolParameter::instance()->data_ready(record<ProtocolParameter::Data>(params, t.addMSecs(1)));
        emit ProtocolFrame0::instance()->data_ready(record<ProtocolFrame0::Data>(status, t.addMSecs(1)));
        emit ProtocolFrame1::instance()->data_ready(receiveRecord(r, t));
        emit ProtocolFrame1::instance()->data_ready(receiveRecord(r, t.addMSecs(1)));
        r.chip = 9; // no such chip: only the time label and the history take it
        emit ProtocolFrame1::instance()->data_ready(receiveRecord(r, t.addMSecs(2)));
        QCOMPARE(page_->queuedRecords(), 5);
        page_->refresh();
        QCOMPARE(page_->queuedRecords(), 0);

        const QStringList blocks = historyText(page_->history()).split("\n\n\n", Qt::SkipEmptyParts);
        QStringList kinds;
        for (const QString& b : blocks)
            kinds << b.section(',', 0, 1);
        QCOMPARE(kinds, (QStringList{"08:09:10.123,UWB_Analyzer_Frame1", "08:09:10.124,UWB_Analyzer_Frame0",
                                     "08:09:10.124,UWB_Analyzer_Frame1", "08:09:10.124,UWB_Analyzer_Parameter",
                                     "08:09:10.125,UWB_Analyzer_Frame1"}));
        QCOMPARE(blocks.at(1).trimmed(), "08:09:10.124,UWB_Analyzer_Frame0," + QString(status.toHex(' ')));
        QCOMPARE(page_->systemTimeLabel()->text(), QString("888"));
        QCOMPARE(page_->voltageLabel()->text(), QString("4.99"));
        QCOMPARE(page_->chip(1)->statusPage(), 1);
        QCOMPARE(page_->baudRateBox()->currentText(), QString("921600"));
        QCOMPARE(page_->detectModeBox()->currentText(), QString("Exist"));
        QVERIFY(page_->chip(2)->enableBox()->isChecked() && !page_->chip(1)->enableBox()->isChecked());
        QCOMPARE(line("voltage")->lastValue(), double(4.99f));
        QVERIFY(page_->chip(0)->latestView()->toPlainText().startsWith("pc_time: 08:09:10.124\n"));

        // A baud rate the box does not offer keeps the selection; an empty refresh changes nothing.
        ParameterSettings odd = ParameterSettings::fromFrame(params);
        odd.baud = 12345;
        emit ProtocolParameter::instance()->data_ready(record<ProtocolParameter::Data>(odd.toWriteFrame(), t));
        page_->refresh();
        QCOMPARE(page_->baudRateBox()->currentText(), QString("921600"));
        const QString shown = historyText(page_->history());
        page_->refresh();
        QCOMPARE(historyText(page_->history()), shown);

        page_->clear();
        QVERIFY(historyText(page_->history()).isEmpty() && page_->systemTimeLabel()->text().isEmpty());
    }

    void queuesAreBounded()
    {
        talmeno_test::LogCapture log;
        sim::AnalyserReceive r = sim::Analyser::receiveOf(1, 0, 1);
        for (int i = 0; i < 1003; ++i) {
            r.systemTime = quint32(i);
            emit ProtocolFrame1::instance()->data_ready(receiveRecord(r, QDateTime::currentDateTime()));
        }
        QCOMPARE(page_->queuedRecords(), 1000);
        QCOMPARE(log.count("UWB_Analyzer_Frame1:datas_.size() > 1000, previous data will be discarded"), 3);
        page_->refresh();
        QCOMPARE(page_->systemTimeLabel()->text(), QString("1002"));
        page_->clear();
    }

    void handleWithoutPageSkipsRead()
    {
        written_.clear();
        ProductHandle handle(20, "kx40_core", "KX40 Core");
        QCOMPARE(handle.handleProductRecognized(), QString());
        QVERIFY(written_.isEmpty());
    }

    void exchanges_data()
    {
        QTest::addColumn<bool>("write");
        QTest::addColumn<bool>("answer");
        QTest::newRow("read answered") << false << true;
        QTest::newRow("write answered") << true << true;
        QTest::newRow("read unanswered") << false << false;
    }
    void exchanges()
    {
        QFETCH(bool, write);
        QFETCH(bool, answer);
        ZSerialPortInterfaceManager::instance()->setOpen(true);
        QVERIFY(page_->readButton()->isEnabled() && page_->writeButton()->isEnabled());
        page_->chip(3)->combo(ChipWidget::Channel)->setCurrentText("5");
        page_->detectModeBox()->setCurrentText("Error");
        answer_ = answer;
        buttonsDuringWait_ = true;
        const QString result = write ? page_->writeParameter() : page_->readParameter();
        QCOMPARE(result, answer ? QString() : QString("Time out."));
        QVERIFY(!buttonsDuringWait_ && page_->readButton()->isEnabled());
        if (write) {
            const ParameterSettings sent = ParameterSettings::fromFrame(written_);
            QCOMPARE(quint8(written_[2]), quint8(0));
            QCOMPARE(textOf(channels, sent.chips[3].field(ChipConfig::Channel)), QString("5"));
            QCOMPARE(sent.detectMode, 0u);
            QVERIFY(historyText(page_->history()).contains("write: "));
        } else {
            QCOMPARE(written_, ProtocolParameter::readRequest());
            QVERIFY(historyText(page_->history()).contains("read: "));
        }
        ZSerialPortInterfaceManager::instance()->setOpen(false);
        QVERIFY(!page_->readButton()->isEnabled() && !page_->writeButton()->isEnabled());
    }
};

TALMENO_TEST_MAIN(TestUwbAnaPage)
#include "tst_uwbana_page.moc"
